// The writer side of the stand-in: writer, file sink, profiles, input
// formats and samples. Encoding and the container come from FFmpeg (WMA v2
// in ASF); header attributes are written into the finished file's header.
// The file itself is opened and written as the runtime does it: made anew
// at the start, readable but not writable by others meanwhile, each data
// packet written as it is made, and a failed write reported by the sample
// that met it with the system's reason.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "AsfTags.h"
#include "AttributeStore.h"
#include "MediaObjects.h"
#include "StandinCom.h"

namespace {

using wmstandin::Buffer;
using wmstandin::InputProps;

struct ProfileInfo {
    const wchar_t* name;
    int bitrate;  // 0 for the video profiles
};

// The system profiles of version 8.0 that this stand-in offers.
const ProfileInfo kProfiles[] = {
    {L"Video for local area network (384 Kbps)", 0},
    {L"Audio for dial-up modems, voice (32 Kbps)", 32000},
    {L"Audio for broadband, FM radio quality (64 Kbps)", 64000},
    {L"Video for broadband (256 Kbps)", 0},
    {L"Audio, near CD quality (96 Kbps)", 96000},
    {L"Audio, CD quality (128 Kbps)", 128000},
    {L"Audio, high quality (160 Kbps)", 160000},
};
const int kProfileCount = sizeof kProfiles / sizeof kProfiles[0];

const int kRates[] = {48000, 44100, 32000, 22050, 16000, 11025, 8000};

WAVEFORMATEX Pcm(int channels, int rate, int bits) {
    WAVEFORMATEX wf = {};
    wf.wFormatTag = WAVE_FORMAT_PCM;
    wf.nChannels = (WORD)channels;
    wf.nSamplesPerSec = rate;
    wf.wBitsPerSample = (WORD)bits;
    wf.nBlockAlign = (WORD)(channels * bits / 8);
    wf.nAvgBytesPerSec = rate * wf.nBlockAlign;
    return wf;
}

std::vector<WAVEFORMATEX> InputFormats() {
    std::vector<WAVEFORMATEX> v;
    for (int channels : {2, 1})
        for (int bits : {16, 8})
            for (int rate : kRates) v.push_back(Pcm(channels, rate, bits));
    return v;
}

// {4C0B5D0E-7A55-4D7B-9B55-2C5A3B1E6F01}: private identity of our objects.
const GUID kStandinSelf = {0x4c0b5d0e, 0x7a55, 0x4d7b, {0x9b, 0x55, 0x2c, 0x5a, 0x3b, 0x1e, 0x6f, 0x01}};

class Profile : public IWMProfile, public StandinObject {
public:
    explicit Profile(int index) : index(index) {}
    STANDIN_IUNKNOWN(IWMProfile, STANDIN_IID(IWMProfile) if (iid == kStandinSelf) *out = this;)
    HRESULT STDMETHODCALLTYPE GetName(WCHAR* name, DWORD* chars) override {
        std::wstring n = kProfiles[index].name;
        if (!chars) return E_POINTER;
        if (!name) {
            *chars = (DWORD)n.size() + 1;
            return S_OK;
        }
        if (*chars < n.size() + 1) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
        wcscpy(name, n.c_str());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetVersion(WMT_VERSION* v) override { *v = WMT_VER_8_0; return S_OK; }
    STANDIN_NOTIMPL(SetName, const WCHAR*)
    STANDIN_NOTIMPL(GetDescription, WCHAR*, DWORD*)
    STANDIN_NOTIMPL(SetDescription, const WCHAR*)
    STANDIN_NOTIMPL(GetStreamCount, DWORD*)
    STANDIN_NOTIMPL(GetStream, DWORD, IWMStreamConfig**)
    STANDIN_NOTIMPL(GetStreamByNumber, WORD, IWMStreamConfig**)
    STANDIN_NOTIMPL(RemoveStream, IWMStreamConfig*)
    STANDIN_NOTIMPL(RemoveStreamByNumber, WORD)
    STANDIN_NOTIMPL(AddStream, IWMStreamConfig*)
    STANDIN_NOTIMPL(ReconfigStream, IWMStreamConfig*)
    STANDIN_NOTIMPL(CreateNewStream, REFGUID, IWMStreamConfig**)
    STANDIN_NOTIMPL(GetMutualExclusionCount, DWORD*)
    STANDIN_NOTIMPL(GetMutualExclusion, DWORD, IWMMutualExclusion**)
    STANDIN_NOTIMPL(RemoveMutualExclusion, IWMMutualExclusion*)
    STANDIN_NOTIMPL(AddMutualExclusion, IWMMutualExclusion*)
    STANDIN_NOTIMPL(CreateNewMutualExclusion, IWMMutualExclusion**)
    int index;
};

class ProfileManager : public IWMProfileManager2, public StandinObject {
public:
    STANDIN_IUNKNOWN(IWMProfileManager2, STANDIN_IID(IWMProfileManager) STANDIN_IID(IWMProfileManager2))
    HRESULT STDMETHODCALLTYPE GetSystemProfileCount(DWORD* n) override {
        *n = kProfileCount;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE LoadSystemProfile(DWORD i, IWMProfile** p) override {
        if (!p) return E_POINTER;
        if (i >= (DWORD)kProfileCount) return E_INVALIDARG;
        *p = new Profile((int)i);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSystemProfileVersion(WMT_VERSION v) override {
        return v == WMT_VER_8_0 ? S_OK : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE GetSystemProfileVersion(WMT_VERSION* v) override {
        *v = WMT_VER_8_0;
        return S_OK;
    }
    STANDIN_NOTIMPL(CreateEmptyProfile, WMT_VERSION, IWMProfile**)
    STANDIN_NOTIMPL(LoadProfileByID, REFGUID, IWMProfile**)
    STANDIN_NOTIMPL(LoadProfileByData, const WCHAR*, IWMProfile**)
    STANDIN_NOTIMPL(SaveProfile, IWMProfile*, WCHAR*, DWORD*)
};

class Sink : public IWMWriterFileSink2, public StandinObject {
public:
    STANDIN_IUNKNOWN(IWMWriterFileSink2, STANDIN_IID(IWMWriterSink) STANDIN_IID(IWMWriterFileSink)
                                             STANDIN_IID(IWMWriterFileSink2) if (iid == kStandinSelf) *out = this;)
    HRESULT STDMETHODCALLTYPE Open(const WCHAR* name) override {
        if (!name || !*name) return E_INVALIDARG;
        std::lock_guard<std::mutex> lock(mutex);
        file = name;
        bytes = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFileSize(QWORD* size) override {
        if (!size) return E_POINTER;
        std::lock_guard<std::mutex> lock(mutex);
        *size = bytes;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Close() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsClosed(WINBOOL* closed) override { *closed = TRUE; return S_OK; }
    HRESULT STDMETHODCALLTYPE IsRealTime(WINBOOL* rt) override { *rt = FALSE; return S_OK; }
    STANDIN_NOTIMPL(OnHeader, INSSBuffer*)
    STANDIN_NOTIMPL(AllocateDataUnit, DWORD, INSSBuffer**)
    STANDIN_NOTIMPL(OnDataUnit, INSSBuffer*)
    STANDIN_NOTIMPL(OnEndWriting)
    STANDIN_NOTIMPL(Start, QWORD)
    STANDIN_NOTIMPL(Stop, QWORD)
    STANDIN_NOTIMPL(IsStopped, WINBOOL*)
    STANDIN_NOTIMPL(GetFileDuration, QWORD*)

    std::mutex mutex;
    std::wstring file;
    QWORD bytes = 0;
};

}  // namespace

namespace {

class Writer : public IWMWriter, public IWMWriterAdvanced, public AttributeStore, public StandinObject {
public:
    ~Writer() override {
        Close();
        if (sink_) sink_->Release();
    }
    STANDIN_IUNKNOWN(IWMWriter, STANDIN_IID(IWMWriter) STANDIN_IID(IWMWriterAdvanced)
                                    STANDIN_IID(IWMHeaderInfo) STANDIN_IID(IWMHeaderInfo2)
                                        STANDIN_IID(IWMHeaderInfo3))

    HRESULT STDMETHODCALLTYPE SetProfile(IWMProfile* profile) override {
        Profile* p = nullptr;
        if (!profile || FAILED(profile->QueryInterface(kStandinSelf, reinterpret_cast<void**>(&p))))
            return E_INVALIDARG;
        int bitrate = kProfiles[p->index].bitrate;
        p->Release();
        if (!bitrate) return E_INVALIDARG;  // video profiles need a video input we lack
        bitrate_ = bitrate;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetInputCount(DWORD* n) override {
        *n = bitrate_ ? 1 : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetInputFormatCount(DWORD input, DWORD* count) override {
        if (!count) return E_POINTER;
        if (!bitrate_ || input != 0) return E_UNEXPECTED;
        *count = (DWORD)InputFormats().size();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetInputFormat(DWORD input, DWORD i, IWMInputMediaProps** props) override {
        if (!props) return E_POINTER;
        std::vector<WAVEFORMATEX> formats = InputFormats();
        if (!bitrate_ || input != 0 || i >= formats.size()) return E_INVALIDARG;
        *props = new InputProps(formats[i]);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetInputProps(DWORD input, IWMInputMediaProps* props) override {
        if (input != 0 || !props) return E_INVALIDARG;
        DWORD size = 0;
        if (FAILED(props->GetMediaType(nullptr, &size))) return E_INVALIDARG;
        std::vector<BYTE> buf(size);
        auto* type = reinterpret_cast<WM_MEDIA_TYPE*>(buf.data());
        if (FAILED(props->GetMediaType(type, &size)) || type->cbFormat < sizeof(WAVEFORMATEX) ||
            type->formattype != kWmFormatWaveFormatEx)
            return E_INVALIDARG;
        memcpy(&input_, type->pbFormat, sizeof input_);
        haveInput_ = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AddSink(IWMWriterSink* sink) override {
        Sink* s = nullptr;
        if (!sink || FAILED(sink->QueryInterface(kStandinSelf, reinterpret_cast<void**>(&s))))
            return E_INVALIDARG;
        if (sink_) sink_->Release();
        sink_ = s;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE BeginWriting() override;
    HRESULT STDMETHODCALLTYPE AllocateSample(DWORD size, INSSBuffer** sample) override {
        if (!sample) return E_POINTER;
        *sample = new Buffer(size);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE WriteSample(DWORD input, QWORD, DWORD, INSSBuffer* sample) override;
    HRESULT STDMETHODCALLTYPE EndWriting() override;
    HRESULT STDMETHODCALLTYPE IsRealTime(WINBOOL* rt) override { *rt = FALSE; return S_OK; }

    STANDIN_NOTIMPL(SetProfileByID, REFGUID)
    STANDIN_NOTIMPL(SetOutputFilename, const WCHAR*)
    STANDIN_NOTIMPL(GetInputProps, DWORD, IWMInputMediaProps**)
    STANDIN_NOTIMPL(Flush)
    STANDIN_NOTIMPL(GetSinkCount, DWORD*)
    STANDIN_NOTIMPL(GetSink, DWORD, IWMWriterSink**)
    STANDIN_NOTIMPL(RemoveSink, IWMWriterSink*)
    STANDIN_NOTIMPL(WriteStreamSample, WORD, QWORD, DWORD, QWORD, DWORD, INSSBuffer*)
    STANDIN_NOTIMPL(SetLiveSource, WINBOOL)
    STANDIN_NOTIMPL(GetWriterTime, QWORD*)
    STANDIN_NOTIMPL(GetStatistics, WORD, WM_WRITER_STATISTICS*)
    STANDIN_NOTIMPL(SetSyncTolerance, DWORD)
    STANDIN_NOTIMPL(GetSyncTolerance, DWORD*)

private:
    HRESULT OpenEncoder();
    HRESULT OpenFile();
    HRESULT EncodePending(bool flush);
    HRESULT Drain();
    void Close();
    static int WriteOut(void* opaque, uint8_t* data, int size);
    static int64_t SeekOut(void* opaque, int64_t offset, int whence);
    void KeepWholePackets(int64_t end);
    HRESULT Failure() const { return writeError_ ? HRESULT_FROM_WIN32(writeError_) : E_FAIL; }
    void UpdateSize() {
        if (!sink_ || !fmt_ || !fmt_->pb) return;
        std::lock_guard<std::mutex> lock(sink_->mutex);
        sink_->bytes = (QWORD)avio_tell(fmt_->pb);
    }

    int bitrate_ = 0;
    bool haveInput_ = false;
    WAVEFORMATEX input_ = {};
    Sink* sink_ = nullptr;
    std::wstring path_;
    AVFormatContext* fmt_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVStream* stream_ = nullptr;
    std::vector<std::vector<float>> pending_;
    int64_t pts_ = 0;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    int64_t filePos_ = 0;
    int64_t headerEnd_ = 0;    // where the data packets begin
    int64_t packetBytes_ = 0;  // every data packet is this long
    DWORD writeError_ = 0;     // the system's reason of the write that failed
};

HRESULT Writer::OpenEncoder() {
    if (avformat_alloc_output_context2(&fmt_, nullptr, "asf", nullptr) < 0) return E_FAIL;
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
    if (!codec) return E_FAIL;
    stream_ = avformat_new_stream(fmt_, nullptr);
    if (!stream_) return E_OUTOFMEMORY;
    // A profile's bitrate may be too high for a low sample rate: step down
    // until the encoder takes it.
    for (int rate = bitrate_; rate >= 24000; rate = rate * 3 / 4) {
        codec_ = avcodec_alloc_context3(codec);
        codec_->sample_fmt = AV_SAMPLE_FMT_FLTP;
        codec_->sample_rate = (int)input_.nSamplesPerSec;
        av_channel_layout_default(&codec_->ch_layout, input_.nChannels);
        codec_->bit_rate = rate;
        codec_->time_base = {1, (int)input_.nSamplesPerSec};
        if (fmt_->oformat->flags & AVFMT_GLOBALHEADER) codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (avcodec_open2(codec_, codec, nullptr) >= 0) break;
        avcodec_free_context(&codec_);
    }
    if (!codec_) return E_FAIL;
    if (avcodec_parameters_from_context(stream_->codecpar, codec_) < 0) return E_FAIL;
    stream_->time_base = codec_->time_base;
    HRESULT hr = OpenFile();
    if (FAILED(hr)) return hr;
    if (avformat_write_header(fmt_, nullptr) < 0) return Failure();
    avio_flush(fmt_->pb);
    if (fmt_->pb->error < 0) return Failure();
    headerEnd_ = filePos_;
    if (av_opt_get_int(fmt_->priv_data, "packet_size", 0, &packetBytes_) < 0) packetBytes_ = 0;
    pending_.assign(input_.nChannels, std::vector<float>());
    pts_ = 0;
    UpdateSize();
    return S_OK;
}

HRESULT Writer::OpenFile() {
    file_ = CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(GetLastError());
    filePos_ = 0;
    writeError_ = 0;
    const int size = 64 * 1024;
    auto* buffer = static_cast<unsigned char*>(av_malloc(size));
    fmt_->pb = buffer ? avio_alloc_context(buffer, size, 1, this, nullptr, &Writer::WriteOut,
                                           &Writer::SeekOut)
                      : nullptr;
    if (!fmt_->pb) {
        av_free(buffer);
        return E_OUTOFMEMORY;
    }
    fmt_->flags |= AVFMT_FLAG_CUSTOM_IO;
    return S_OK;
}

int Writer::WriteOut(void* opaque, uint8_t* data, int size) {
    Writer* w = static_cast<Writer*>(opaque);
    DWORD done = 0;
    const BOOL ok = WriteFile(w->file_, data, (DWORD)size, &done, nullptr);
    if (ok && done == (DWORD)size) {
        w->filePos_ += size;
        return size;
    }
    // A write that took only part of the data ran out of room.
    const DWORD error = ok ? ERROR_DISK_FULL : GetLastError();
    w->writeError_ = error ? error : ERROR_WRITE_FAULT;
    w->KeepWholePackets(w->filePos_ + done);
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? AVERROR(ENOSPC)
                                                                       : AVERROR(EIO);
}

// Where a write failed, Windows leaves none of it, while other systems
// may keep the part that fitted: the file keeps whole packets only.
void Writer::KeepWholePackets(int64_t end) {
    int64_t keep = 0;
    if (headerEnd_ > 0 && packetBytes_ > 0 && end >= headerEnd_)
        keep = headerEnd_ + (end - headerEnd_) / packetBytes_ * packetBytes_;
    LARGE_INTEGER at;
    at.QuadPart = keep;
    if (SetFilePointerEx(file_, at, nullptr, FILE_BEGIN)) SetEndOfFile(file_);
    filePos_ = keep;
}

int64_t Writer::SeekOut(void* opaque, int64_t offset, int whence) {
    Writer* w = static_cast<Writer*>(opaque);
    LARGE_INTEGER size;
    if (whence & AVSEEK_SIZE) return GetFileSizeEx(w->file_, &size) ? size.QuadPart : AVERROR(EIO);
    whence &= ~AVSEEK_FORCE;
    const DWORD method = whence == SEEK_CUR   ? FILE_CURRENT
                         : whence == SEEK_END ? FILE_END
                                              : FILE_BEGIN;
    LARGE_INTEGER to, at;
    to.QuadPart = offset;
    if (!SetFilePointerEx(w->file_, to, &at, method)) return AVERROR(EIO);
    w->filePos_ = at.QuadPart;
    return at.QuadPart;
}

HRESULT Writer::BeginWriting() {
    if (!bitrate_ || !haveInput_ || !sink_) return E_UNEXPECTED;
    if (input_.wFormatTag != WAVE_FORMAT_PCM || input_.nChannels < 1 || input_.nChannels > 2 ||
        (input_.wBitsPerSample != 8 && input_.wBitsPerSample != 16))
        return E_INVALIDARG;
    Close();
    {
        std::lock_guard<std::mutex> lock(sink_->mutex);
        path_ = sink_->file;
    }
    if (path_.empty()) return E_UNEXPECTED;
    HRESULT hr = OpenEncoder();
    if (FAILED(hr)) Close();
    return hr;
}

HRESULT Writer::Drain() {
    AVPacket* pkt = av_packet_alloc();
    int ret;
    while ((ret = avcodec_receive_packet(codec_, pkt)) >= 0) {
        av_packet_rescale_ts(pkt, codec_->time_base, stream_->time_base);
        pkt->stream_index = stream_->index;
        if (av_interleaved_write_frame(fmt_, pkt) < 0) {
            av_packet_free(&pkt);
            return Failure();
        }
    }
    av_packet_free(&pkt);
    // Each packet goes to the file as soon as it is made.
    avio_flush(fmt_->pb);
    if (fmt_->pb->error < 0) return Failure();
    UpdateSize();
    return ret == AVERROR(EAGAIN) || ret == AVERROR_EOF ? S_OK : E_FAIL;
}

HRESULT Writer::EncodePending(bool flush) {
    const int frameSize = codec_->frame_size;
    while (pending_[0].size() >= (size_t)frameSize || (flush && !pending_[0].empty())) {
        AVFrame* frame = av_frame_alloc();
        frame->nb_samples = frameSize;
        frame->format = codec_->sample_fmt;
        av_channel_layout_copy(&frame->ch_layout, &codec_->ch_layout);
        if (av_frame_get_buffer(frame, 0) < 0) {
            av_frame_free(&frame);
            return E_OUTOFMEMORY;
        }
        for (size_t c = 0; c < pending_.size(); ++c) {
            std::vector<float>& src = pending_[c];
            size_t n = std::min(src.size(), (size_t)frameSize);
            float* dst = reinterpret_cast<float*>(frame->data[c]);
            memcpy(dst, src.data(), n * sizeof(float));
            // The last frame is padded with silence: the codec takes whole frames only.
            std::fill(dst + n, dst + frameSize, 0.0f);
            src.erase(src.begin(), src.begin() + n);
        }
        frame->pts = pts_;
        pts_ += frameSize;
        int ret = avcodec_send_frame(codec_, frame);
        av_frame_free(&frame);
        if (ret < 0) return E_FAIL;
        HRESULT hr = Drain();
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT Writer::WriteSample(DWORD input, QWORD, DWORD, INSSBuffer* sample) {
    if (input != 0 || !sample) return E_INVALIDARG;
    if (!codec_) return E_UNEXPECTED;
    BYTE* data = nullptr;
    DWORD length = 0;
    if (FAILED(sample->GetBufferAndLength(&data, &length))) return E_INVALIDARG;
    const int channels = input_.nChannels;
    const int bytes = input_.wBitsPerSample / 8;
    size_t frames = length / (channels * bytes);
    for (size_t f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c) {
            const BYTE* s = data + (f * channels + c) * bytes;
            float v = bytes == 2 ? (int16_t)(s[0] | s[1] << 8) / 32768.0f : (s[0] - 128) / 128.0f;
            pending_[c].push_back(v);
        }
    }
    return EncodePending(false);
}

HRESULT Writer::EndWriting() {
    if (!codec_) return E_UNEXPECTED;
    HRESULT hr = EncodePending(true);
    if (SUCCEEDED(hr) && avcodec_send_frame(codec_, nullptr) >= 0) hr = Drain();
    if (SUCCEEDED(hr) && av_write_trailer(fmt_) < 0) hr = Failure();
    // The attributes go in before the file is let go, as the runtime has
    // its header whole when it closes: nobody sees the file finished early.
    if (SUCCEEDED(hr) && !attrs.empty() && !WriteAsfAttributes(file_, attrs)) hr = E_FAIL;
    std::wstring path = path_;
    Close();
    if (sink_) {
        WIN32_FILE_ATTRIBUTE_DATA info;
        if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info)) {
            std::lock_guard<std::mutex> lock(sink_->mutex);
            sink_->bytes = ((QWORD)info.nFileSizeHigh << 32) | info.nFileSizeLow;
        }
    }
    return hr;
}

void Writer::Close() {
    if (fmt_) {
        if (fmt_->pb) {
            av_freep(&fmt_->pb->buffer);
            avio_context_free(&fmt_->pb);
        }
        avformat_free_context(fmt_);
        fmt_ = nullptr;
    }
    if (codec_) avcodec_free_context(&codec_);
    stream_ = nullptr;
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
}

}  // namespace

extern "C" {

HRESULT WINAPI WMCreateWriter(IUnknown*, IWMWriter** writer) {
    if (!writer) return E_POINTER;
    *writer = new Writer;
    return S_OK;
}

HRESULT WINAPI WMCreateWriterFileSink(IWMWriterFileSink** sink) {
    if (!sink) return E_POINTER;
    *sink = new Sink;
    return S_OK;
}

HRESULT WINAPI WMCreateProfileManager(IWMProfileManager** manager) {
    if (!manager) return E_POINTER;
    *manager = new ProfileManager;
    return S_OK;
}

}  // extern "C"
