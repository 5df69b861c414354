#include "standins/graphfilters/PcmConverter.h"

#include <algorithm>
#include <cstring>

using filterbase::Lock;
using filterbase::MediaType;

namespace {

bool SameShape(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b) {
    const WAVEFORMATEX* x = MediaType::WaveOf(a);
    const WAVEFORMATEX* y = MediaType::WaveOf(b);
    return x && y && x->nChannels == y->nChannels && x->nSamplesPerSec == y->nSamplesPerSec &&
           x->wBitsPerSample == y->wBitsPerSample;
}

}  // namespace

// The output pin with the stream configuration the program sets the
// converted format through.
class PcmConverter::OutputPin : public filterbase::TransformOutputPin, public IAMStreamConfig {
public:
    explicit OutputPin(PcmConverter* filter) : TransformOutputPin(filter), converter_(filter) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (out && IsEqualIID(iid, IID_IAMStreamConfig)) {
            *out = static_cast<IAMStreamConfig*>(this);
            AddRef();
            return S_OK;
        }
        return TransformOutputPin::QueryInterface(iid, out);
    }
    FILTERBASE_FORWARD_ADDREF_RELEASE(TransformOutputPin)

    STDMETHODIMP SetFormat(AM_MEDIA_TYPE* mt) override {
        Lock lock(filter_->FilterLock());
        if (!mt) {
            converter_->RequestedType().Clear();
            return S_OK;
        }
        if (!MediaType::IsPcm(*mt)) return VFW_E_INVALIDMEDIATYPE;
        MediaType wanted = MediaType::Pcm(MediaType::WaveOf(*mt)->nChannels,
                                          MediaType::WaveOf(*mt)->nSamplesPerSec,
                                          MediaType::WaveOf(*mt)->wBitsPerSample);
        if (IsConnected()) {
            if (SameShape(CurrentType().Get(), wanted.Get())) return S_OK;
            if (filter_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
            // Connected already: reconnect the same peer with the new shape.
            ComPtr<IPin> peer = filterbase::Retained(Peer());
            if (peer->QueryAccept(&wanted.Get()) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
            peer->Disconnect();
            Disconnect();
            converter_->RequestedType() = wanted;
            return Connect(peer.Get(), &wanted.Get());
        }
        converter_->RequestedType() = wanted;
        return S_OK;
    }

    STDMETHODIMP GetFormat(AM_MEDIA_TYPE** mt) override {
        if (!mt) return E_POINTER;
        Lock lock(filter_->FilterLock());
        MediaType current;
        if (IsConnected()) current = CurrentType();
        else if (FAILED(converter_->GetOutputType(0, &current)) || current.Empty())
            return VFW_E_NOT_CONNECTED;
        *mt = current.CreateCopy();
        return *mt ? S_OK : E_OUTOFMEMORY;
    }

    STDMETHODIMP GetNumberOfCapabilities(int* count, int* size) override {
        if (!count || !size) return E_POINTER;
        *count = 1;
        *size = sizeof(AUDIO_STREAM_CONFIG_CAPS);
        return S_OK;
    }

    STDMETHODIMP GetStreamCaps(int index, AM_MEDIA_TYPE** mt, BYTE* caps) override {
        if (!mt || !caps) return E_POINTER;
        if (index != 0) return S_FALSE;
        MediaType preferred = MediaType::Pcm(2, 44100, 16);
        converter_->GetOutputType(0, &preferred);
        *mt = preferred.CreateCopy();
        if (!*mt) return E_OUTOFMEMORY;
        AUDIO_STREAM_CONFIG_CAPS c = {};
        c.guid = MEDIATYPE_Audio;
        c.MinimumChannels = 1;
        c.MaximumChannels = 2;
        c.ChannelsGranularity = 1;
        c.MinimumBitsPerSample = 8;
        c.MaximumBitsPerSample = 16;
        c.BitsPerSampleGranularity = 8;
        c.MinimumSampleFrequency = 1000;
        c.MaximumSampleFrequency = 192000;
        c.SampleFrequencyGranularity = 1;
        memcpy(caps, &c, sizeof(c));
        return S_OK;
    }

private:
    PcmConverter* converter_;
};

PcmConverter::PcmConverter() : TransformFilter(CLSID_PcmConverterStandin) {
    ReplaceOutputPin(new OutputPin(this));
}

HRESULT PcmConverter::CheckInputType(const AM_MEDIA_TYPE& mt) {
    return MediaType::IsPcm(mt) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT PcmConverter::CheckOutputType(const AM_MEDIA_TYPE&, const AM_MEDIA_TYPE& out) {
    if (!MediaType::IsPcm(out)) return VFW_E_TYPE_NOT_ACCEPTED;
    if (!requested_.Empty() && !SameShape(out, requested_.Get())) return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT PcmConverter::GetOutputType(int index, MediaType* out) {
    if (index != 0) return VFW_S_NO_MORE_ITEMS;
    if (!requested_.Empty()) return out->Set(requested_.Get());
    if (!Input().IsConnected()) return VFW_S_NO_MORE_ITEMS;
    const WAVEFORMATEX* in = Input().CurrentType().Wave();
    *out = MediaType::Pcm(in->nChannels, in->nSamplesPerSec, in->wBitsPerSample);
    return S_OK;
}

HRESULT PcmConverter::OnInputConnected() {
    // A new input under a connected output (a reconnection) converts anew.
    if (Output().IsConnected())
        convert_.SetFormats(*Input().CurrentType().Wave(), *Output().CurrentType().Wave());
    return S_OK;
}

HRESULT PcmConverter::OnOutputConnected() {
    convert_.SetFormats(*Input().CurrentType().Wave(), *Output().CurrentType().Wave());
    return S_OK;
}

HRESULT PcmConverter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    const WAVEFORMATEX* in = Input().CurrentType().Wave();
    const WAVEFORMATEX* out = Output().CurrentType().Wave();
    long inBytes = static_cast<long>(in->nAvgBytesPerSec / 10);
    if (IMemAllocator* upstream = Input().Allocator()) {
        ALLOCATOR_PROPERTIES props = {};
        if (SUCCEEDED(upstream->GetProperties(&props)) && props.cbBuffer > inBytes) inBytes = props.cbBuffer;
    }
    PcmConvert sizing;
    sizing.SetFormats(*in, *out);
    long size = static_cast<long>(sizing.MaxOutputBytes(inBytes));
    size = std::max(size, static_cast<long>(out->nAvgBytesPerSec / 10));
    size -= size % out->nBlockAlign;
    return filterbase::OutputPin::SetAllocatorSize(allocator, *request, 4, size);
}

HRESULT PcmConverter::DeliverBytes(const std::vector<BYTE>& bytes, REFERENCE_TIME* start) {
    const WAVEFORMATEX* out = Output().CurrentType().Wave();
    size_t done = 0;
    while (done < bytes.size()) {
        ComPtr<IMediaSample> sample;
        HRESULT hr = Output().GetDeliveryBuffer(sample.GetAddressOf());
        if (FAILED(hr)) return hr;
        BYTE* dst = nullptr;
        sample->GetPointer(&dst);
        size_t room = static_cast<size_t>(sample->GetSize());
        room -= room % out->nBlockAlign;
        size_t n = std::min(room, bytes.size() - done);
        memcpy(dst, bytes.data() + done, n);
        sample->SetActualDataLength(static_cast<long>(n));
        REFERENCE_TIME stop = *start + static_cast<REFERENCE_TIME>(n / out->nBlockAlign) * 10000000 /
                                           out->nSamplesPerSec;
        sample->SetTime(start, &stop);
        sample->SetSyncPoint(TRUE);
        *start = stop;
        hr = Output().Deliver(sample.Get());
        if (hr != S_OK) return hr;
        done += n;
    }
    return S_OK;
}

HRESULT PcmConverter::Receive(IMediaSample* in) {
    if (!Output().IsConnected()) return S_OK;
    BYTE* data = nullptr;
    HRESULT hr = in->GetPointer(&data);
    if (FAILED(hr)) return hr;
    long bytes = in->GetActualDataLength();
    REFERENCE_TIME start = 0, stop = 0;
    if (SUCCEEDED(in->GetTime(&start, &stop))) nextStart_ = start;
    std::vector<BYTE> converted;
    converted.reserve(convert_.MaxOutputBytes(bytes));
    convert_.Convert(data, static_cast<size_t>(bytes), &converted);
    return DeliverBytes(converted, &nextStart_);
}

HRESULT PcmConverter::OnEndOfStream() {
    if (Output().IsConnected()) {
        std::vector<BYTE> tail;
        convert_.Drain(&tail);
        if (!tail.empty()) DeliverBytes(tail, &nextStart_);
    }
    return TransformFilter::OnEndOfStream();
}

HRESULT PcmConverter::OnBeginFlush() {
    HRESULT hr = TransformFilter::OnBeginFlush();
    // The streaming thread has left Receive once the flush went downstream.
    Lock lock(StreamLock());
    convert_.Reset();
    return hr;
}

HRESULT PcmConverter::OnStop() {
    HRESULT hr = TransformFilter::OnStop();
    convert_.Reset();
    nextStart_ = 0;
    return hr;
}
