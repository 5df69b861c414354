#include "standins/audiocapture/AudioCaptureFilter.h"

#include <uuids.h>

#include <algorithm>
#include <cstring>

#include "standins/audiocapture/WaveInCapture.h"

using filterbase::Lock;
using filterbase::MediaType;

namespace {

constexpr DWORD kMinRate = 8000;
constexpr DWORD kMaxRate = 48000;

bool FormatSupported(const AM_MEDIA_TYPE& mt) {
    if (!MediaType::IsPcm(mt)) return false;
    const WAVEFORMATEX* wf = MediaType::WaveOf(mt);
    return (wf->nChannels == 1 || wf->nChannels == 2) && wf->nSamplesPerSec >= kMinRate &&
           wf->nSamplesPerSec <= kMaxRate;
}

std::wstring Wide(const std::string& text) {
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 1) return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &out[0], n);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

}  // namespace

// ---- output pin ----

CaptureOutputPin::CaptureOutputPin(AudioCaptureFilter* filter)
    : SourceStreamPin(filter, L"Capture", L"capture source"), owner_(filter), format_(MediaType::Pcm(2, 44100, 16)) {}

CaptureOutputPin::~CaptureOutputPin() { StopThread(); }

STDMETHODIMP CaptureOutputPin::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IAMStreamConfig)) {
        *out = static_cast<IAMStreamConfig*>(this);
    } else if (IsEqualIID(iid, IID_IAMBufferNegotiation)) {
        *out = static_cast<IAMBufferNegotiation*>(this);
    } else {
        return SourceStreamPin::QueryInterface(iid, out);
    }
    AddRef();
    return S_OK;
}

HRESULT CaptureOutputPin::CheckMediaType(const AM_MEDIA_TYPE& mt) {
    // Only the format chosen through IAMStreamConfig is delivered.
    Lock lock(filter_->FilterLock());
    const WAVEFORMATEX* want = format_.Wave();
    const WAVEFORMATEX* wf = MediaType::WaveOf(mt);
    if (!MediaType::IsPcm(mt) || !want || !wf) return VFW_E_TYPE_NOT_ACCEPTED;
    return wf->nChannels == want->nChannels && wf->nSamplesPerSec == want->nSamplesPerSec &&
                   wf->wBitsPerSample == want->wBitsPerSample
               ? S_OK
               : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CaptureOutputPin::GetMediaType(int index, MediaType* out) {
    if (!out) return E_POINTER;
    if (index != 0) return VFW_S_NO_MORE_ITEMS;
    Lock lock(filter_->FilterLock());
    *out = format_;
    return S_OK;
}

STDMETHODIMP CaptureOutputPin::SetFormat(AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    Lock lock(filter_->FilterLock());
    if (filter_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
    if (!FormatSupported(*mt)) return VFW_E_INVALIDMEDIATYPE;
    if (IsConnected()) {
        // A connection keeps its format; asking for that same one is fine.
        return CheckMediaType(*mt) == S_OK ? S_OK : VFW_E_ALREADY_CONNECTED;
    }
    const WAVEFORMATEX* wf = MediaType::WaveOf(*mt);
    // Stored in its canonical form, whatever the caller left in the
    // derived fields.
    format_ = MediaType::Pcm(wf->nChannels, wf->nSamplesPerSec, wf->wBitsPerSample);
    return S_OK;
}

STDMETHODIMP CaptureOutputPin::GetFormat(AM_MEDIA_TYPE** mt) {
    if (!mt) return E_POINTER;
    Lock lock(filter_->FilterLock());
    *mt = format_.CreateCopy();
    return *mt ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CaptureOutputPin::GetNumberOfCapabilities(int* count, int* size) {
    if (!count || !size) return E_POINTER;
    *count = 1;
    *size = sizeof(AUDIO_STREAM_CONFIG_CAPS);
    return S_OK;
}

STDMETHODIMP CaptureOutputPin::GetStreamCaps(int index, AM_MEDIA_TYPE** mt, BYTE* caps) {
    if (!mt || !caps) return E_POINTER;
    if (index != 0) return S_FALSE;
    AUDIO_STREAM_CONFIG_CAPS c = {};
    c.guid = MEDIATYPE_Audio;
    c.MinimumChannels = 1;
    c.MaximumChannels = 2;
    c.ChannelsGranularity = 1;
    c.MinimumBitsPerSample = 8;
    c.MaximumBitsPerSample = 16;
    c.BitsPerSampleGranularity = 8;
    c.MinimumSampleFrequency = kMinRate;
    c.MaximumSampleFrequency = kMaxRate;
    c.SampleFrequencyGranularity = 1;
    memcpy(caps, &c, sizeof c);
    return GetFormat(mt);
}

STDMETHODIMP CaptureOutputPin::SuggestAllocatorProperties(const ALLOCATOR_PROPERTIES* props) {
    if (!props) return E_POINTER;
    Lock lock(filter_->FilterLock());
    // The buffers are agreed when the pin connects.
    if (IsConnected()) return VFW_E_ALREADY_CONNECTED;
    suggested_ = *props;
    return S_OK;
}

STDMETHODIMP CaptureOutputPin::GetAllocatorProperties(ALLOCATOR_PROPERTIES* props) {
    if (!props) return E_POINTER;
    Lock lock(filter_->FilterLock());
    if (!Allocator()) return E_FAIL;
    return Allocator()->GetProperties(props);
}

HRESULT CaptureOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    const WAVEFORMATEX* wf = format_.Wave();
    const long align = wf->nBlockAlign;
    // Unless told otherwise: four buffers of 100 ms.
    long size = static_cast<long>(wf->nAvgBytesPerSec / 10);
    long count = 4;
    if (suggested_.cbBuffer > 0) size = suggested_.cbBuffer;
    if (suggested_.cBuffers > 0) count = suggested_.cBuffers;
    size -= size % align;
    if (size < align) size = align;
    ALLOCATOR_PROPERTIES want = *request;
    if (suggested_.cbAlign > 0) want.cbAlign = suggested_.cbAlign;
    if (suggested_.cbPrefix >= 0) want.cbPrefix = suggested_.cbPrefix;
    // A size asked for is the block size the caller counts on: the
    // receiver may add buffers but not grow them.
    if (suggested_.cbBuffer > 0) want.cbBuffer = size;
    return SetAllocatorSize(allocator, want, count, size);
}

// ---- recording lines ----

LinePin::LinePin(AudioCaptureFilter* filter, int line, const std::wstring& name)
    : BasePin(filter, PINDIR_INPUT, name.c_str()), owner_(filter), line_(line) {}

STDMETHODIMP LinePin::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IAMAudioInputMixer)) {
        *out = static_cast<IAMAudioInputMixer*>(this);
        AddRef();
        return S_OK;
    }
    return BasePin::QueryInterface(iid, out);
}

STDMETHODIMP LinePin::put_Enable(BOOL enable) {
    owner_->EnableLine(line_, enable != FALSE);
    return S_OK;
}

STDMETHODIMP LinePin::get_Enable(BOOL* enable) {
    if (!enable) return E_POINTER;
    *enable = owner_->LineEnabled(line_);
    return S_OK;
}

STDMETHODIMP LinePin::put_MixLevel(double level) {
    return owner_->SetLineGain(line_, level, owner_->GetLineGain(line_).pan);
}

STDMETHODIMP LinePin::get_MixLevel(double* level) {
    if (!level) return E_POINTER;
    *level = owner_->GetLineGain(line_).level;
    return S_OK;
}

STDMETHODIMP LinePin::put_Pan(double pan) {
    return owner_->SetLineGain(line_, owner_->GetLineGain(line_).level, pan);
}

STDMETHODIMP LinePin::get_Pan(double* pan) {
    if (!pan) return E_POINTER;
    *pan = owner_->GetLineGain(line_).pan;
    return S_OK;
}

// ---- filter ----

AudioCaptureFilter::AudioCaptureFilter()
    : BaseFilter(CLSID_AudioRecord, AM_FILTER_MISC_FLAGS_IS_SOURCE), output_(this) {}

STDMETHODIMP AudioCaptureFilter::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IPersistPropertyBag)) {
        *out = static_cast<IPersistPropertyBag*>(this);
        AddRef();
        return S_OK;
    }
    return BaseFilter::QueryInterface(iid, out);
}

STDMETHODIMP AudioCaptureFilter::Load(IPropertyBag* bag, IErrorLog*) {
    if (!bag) return E_POINTER;
    Lock lock(FilterLock());
    if (loaded_) return E_UNEXPECTED;
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    HRESULT hr = bag->Read(L"WaveInID", &id, nullptr);
    if (FAILED(hr)) return hr;
    if (id.vt != VT_I4) {
        hr = VariantChangeType(&id, &id, 0, VT_I4);
        if (FAILED(hr)) return hr;
    }
    const std::vector<std::string> names = WaveInDeviceNames();
    // The category is kept in the registry, which every process of the
    // prefix shares: an entry may have been written by another process
    // whose devices are numbered otherwise. The name decides then.
    VARIANT friendly;
    VariantInit(&friendly);
    std::string name;
    if (SUCCEEDED(bag->Read(L"FriendlyName", &friendly, nullptr)) && friendly.vt == VT_BSTR) {
        char text[256] = {};
        WideCharToMultiByte(CP_ACP, 0, friendly.bstrVal, -1, text, sizeof text - 1, nullptr, nullptr);
        name = text;
    }
    VariantClear(&friendly);
    LONG device = id.lVal;
    if (!name.empty() && (device < 0 || static_cast<size_t>(device) >= names.size() ||
                          names[static_cast<size_t>(device)] != name)) {
        device = -1;
        for (size_t d = 0; d < names.size(); ++d)
            if (names[d] == name) device = static_cast<LONG>(d);
    }
    if (device < 0 || static_cast<size_t>(device) >= names.size()) return VFW_E_NO_CAPTURE_HARDWARE;
    ownDevice_ = static_cast<UINT>(device);
    // The device's own input is its first line.
    std::vector<UINT> order{ownDevice_};
    for (UINT d = 0; d < names.size(); ++d)
        if (d != ownDevice_) order.push_back(d);
    Lock lines(lineLock_);
    for (UINT d : order) {
        Line line{d, LineGain{}, nullptr};
        line.pin.reset(new LinePin(this, static_cast<int>(lines_.size()), Wide(names[d])));
        lines_.push_back(std::move(line));
    }
    enabledLine_ = 0;
    loaded_ = true;
    return S_OK;
}

int AudioCaptureFilter::PinCount() {
    Lock lock(lineLock_);
    return 1 + static_cast<int>(lines_.size());
}

filterbase::BasePin* AudioCaptureFilter::PinAt(int index) {
    if (index == 0) return &output_;
    Lock lock(lineLock_);
    return index > 0 && static_cast<size_t>(index) <= lines_.size()
               ? lines_[static_cast<size_t>(index - 1)].pin.get()
               : nullptr;
}

void AudioCaptureFilter::EnableLine(int line, bool enable) {
    Lock lock(lineLock_);
    if (line < 0 || static_cast<size_t>(line) >= lines_.size()) return;
    // One line records at a time, as on a card whose recording source is
    // a selector; switching the last one off falls back to the device's own.
    if (enable) enabledLine_ = line;
    else if (enabledLine_ == line) enabledLine_ = 0;
}

bool AudioCaptureFilter::LineEnabled(int line) {
    Lock lock(lineLock_);
    return line == enabledLine_;
}

HRESULT AudioCaptureFilter::SetLineGain(int line, double level, double pan) {
    // -1 asks for automatic gain.
    if (!(level >= 0.0 && level <= 1.0) && level != -1.0) return E_INVALIDARG;
    if (!(pan >= -1.0 && pan <= 1.0)) return E_INVALIDARG;
    Lock lock(lineLock_);
    if (line < 0 || static_cast<size_t>(line) >= lines_.size()) return E_INVALIDARG;
    lines_[static_cast<size_t>(line)].gain = LineGain{level, pan};
    return S_OK;
}

LineGain AudioCaptureFilter::GetLineGain(int line) {
    Lock lock(lineLock_);
    if (line < 0 || static_cast<size_t>(line) >= lines_.size()) return LineGain{};
    return lines_[static_cast<size_t>(line)].gain;
}

UINT AudioCaptureFilter::CurrentSource(LineGain* gain) {
    Lock lock(lineLock_);
    if (lines_.empty()) {
        *gain = LineGain{};
        return ownDevice_;
    }
    const Line& line = lines_[static_cast<size_t>(enabledLine_)];
    *gain = line.gain;
    return line.waveInId;
}

// ---- streaming ----

HRESULT CaptureOutputPin::Active() {
    // Taken here, under the filter's lock, not on the streaming thread: a
    // stop holding that lock waits for the thread.
    streamFormat_ = *format_.Wave();
    return SourceStreamPin::Active();
}

HRESULT CaptureOutputPin::OnThreadStart() {
    ALLOCATOR_PROPERTIES props = {};
    if (!Allocator() || FAILED(Allocator()->GetProperties(&props))) return E_UNEXPECTED;
    const DWORD align = streamFormat_.nBlockAlign;
    deviceBufferBytes_ = static_cast<DWORD>(props.cbBuffer) - static_cast<DWORD>(props.cbBuffer) % align;
    if (!deviceBufferBytes_) return E_UNEXPECTED;
    // The device gets buffers of its own, a few seconds of them: while a
    // sample waits downstream (a renderer that blocks, a busy machine)
    // the device goes on recording, and nothing is lost.
    deviceBufferCount_ = static_cast<int>(std::min<DWORD>(
        256, std::max<DWORD>(4, 4 * streamFormat_.nAvgBytesPerSec / deviceBufferBytes_ + 1)));
    pending_ = nullptr;
    pendingOffset_ = 0;
    frames_ = 0;
    return S_OK;
}

void CaptureOutputPin::OnThreadStop() {
    pending_ = nullptr;
    device_.Close();
}

HRESULT CaptureOutputPin::FillBuffer(IMediaSample* sample) {
    const DWORD align = streamFormat_.nBlockAlign;
    LineGain gain;
    while (!pending_) {
        if (StopRequested()) return S_FALSE;
        const UINT source = owner_->CurrentSource(&gain);
        if (!device_.IsOpen() || device_.DeviceId() != source) {
            // A line switch: the stream goes on from the other source.
            pending_ = nullptr;
            if (device_.Open(source, streamFormat_, deviceBufferBytes_, deviceBufferCount_) !=
                MMSYSERR_NOERROR) {
                WaitForSingleObject(StopEvent(), 50);
                continue;
            }
        }
        WAVEHDR* header = device_.Next(50);
        if (!header) continue;
        // A live source delivers only while running; what the device
        // records while paused is dropped.
        if (filter_->State() != State_Running || header->dwBytesRecorded < align) {
            device_.Requeue(header);
            continue;
        }
        ApplyLineGain(gain, streamFormat_, reinterpret_cast<BYTE*>(header->lpData),
                      header->dwBytesRecorded);
        pending_ = header;
        pendingOffset_ = 0;
    }

    BYTE* out = nullptr;
    if (FAILED(sample->GetPointer(&out)) || !out) return E_POINTER;
    DWORD n = std::min<DWORD>(pending_->dwBytesRecorded - pendingOffset_,
                              static_cast<DWORD>(sample->GetSize()));
    n -= n % align;
    if (!n) return E_UNEXPECTED;
    memcpy(out, pending_->lpData + pendingOffset_, n);
    pendingOffset_ += n;
    if (pending_->dwBytesRecorded - pendingOffset_ < align) {
        device_.Requeue(pending_);
        pending_ = nullptr;
    }
    sample->SetActualDataLength(static_cast<long>(n));
    const LONGLONG count = n / align;
    if (frames_ == 0) {
        // The stream's times count from the moment its first buffer was
        // captured on the graph's clock, so a renderer behind never waits
        // for a time still to come.
        timeBase_ = 0;
        if (IReferenceClock* clock = filter_->Clock()) {
            REFERENCE_TIME now = 0;
            if (SUCCEEDED(clock->GetTime(&now))) {
                timeBase_ = now - filter_->StreamStart() -
                            count * 10000000 / streamFormat_.nSamplesPerSec;
                if (timeBase_ < 0) timeBase_ = 0;
            }
            clock->Release();
        }
    }
    REFERENCE_TIME start = timeBase_ + frames_ * 10000000 / streamFormat_.nSamplesPerSec;
    REFERENCE_TIME stop = timeBase_ + (frames_ + count) * 10000000 / streamFormat_.nSamplesPerSec;
    sample->SetTime(&start, &stop);
    sample->SetSyncPoint(TRUE);
    sample->SetDiscontinuity(frames_ == 0 ? TRUE : FALSE);
    frames_ += count;
    return S_OK;
}
