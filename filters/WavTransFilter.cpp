#include "filters/WavTransFilter.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>

using filterbase::MediaType;

// The output pin runs the monitor queue's thread while the filter is active.
class WavTransFilter::OutputPin : public filterbase::TransformOutputPin {
public:
    explicit OutputPin(WavTransFilter* filter) : TransformOutputPin(filter), grabber_(filter) {}
    HRESULT Active() override {
        HRESULT hr = TransformOutputPin::Active();
        if (SUCCEEDED(hr) && IsConnected()) grabber_->MonitorQueue()->Start();
        return hr;
    }
    HRESULT Inactive() override {
        grabber_->MonitorQueue()->Stop();
        return TransformOutputPin::Inactive();
    }

private:
    WavTransFilter* grabber_;
};

WavTransFilter::WavTransFilter(const CLSID& clsid, long eventCode, BYTE initialMode, bool monitorQueue)
    : TransformFilter(clsid), eventCode_(eventCode), mode_(initialMode) {
    if (monitorQueue) {
        ReplaceOutputPin(new OutputPin(this));
        monitor_.reset(new filterbase::OutputQueue(&Output(), L"capture queue"));
    }
}

HRESULT WavTransFilter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    if (!monitor_) return TransformFilter::DecideBufferSize(allocator, request);
    // About a second of sound may wait for a renderer before any is dropped.
    const WAVEFORMATEX* wf = Input().CurrentType().Wave();
    long size = static_cast<long>(wf->nAvgBytesPerSec / 10);
    if (IMemAllocator* upstream = Input().Allocator()) {
        ALLOCATOR_PROPERTIES props = {};
        if (SUCCEEDED(upstream->GetProperties(&props)) && props.cbBuffer > size) size = props.cbBuffer;
    }
    return filterbase::OutputPin::SetAllocatorSize(allocator, *request, 10, size);
}

HRESULT WavTransFilter::Send(IMediaSample* sample) {
    if (!monitor_) return Output().Deliver(sample);
    monitor_->Sample(sample);
    return S_OK;
}

HRESULT WavTransFilter::CheckInputType(const AM_MEDIA_TYPE& mt) {
    return MediaType::IsPcm(mt) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT WavTransFilter::OnInputConnected() {
    const WAVEFORMATEX* wf = Input().CurrentType().Wave();
    // The FIFO rides out two seconds (at least 256 KiB) of a program that
    // is slow to hand the next block.
    size_t capacity = std::max<size_t>(2 * static_cast<size_t>(wf->nAvgBytesPerSec), 256 * 1024);
    blocks_.Configure(wf->nBlockAlign, capacity);
    silence_ = wf->wBitsPerSample == 8 ? 128 : 0;
    return S_OK;
}

HRESULT WavTransFilter::QueueBlock(WAVEHDR* header, DWORD headerBytes) {
    // Only the fields up to dwBytesRecorded are used.
    if (header && headerBytes < offsetof(WAVEHDR, dwUser)) return E_INVALIDARG;
    WAVEHDR* full = nullptr;
    HRESULT hr = blocks_.Queue(header, &full);
    if (full) ReportFull(full);
    return hr;
}

HRESULT WavTransFilter::SetModeByte(BYTE mode) {
    mode_ = mode ? 1 : 0;
    return S_OK;
}

HRESULT WavTransFilter::SetSampleWidthByte(BYTE bits16) {
    silence_ = bits16 ? 0 : 128;
    return S_OK;
}

HRESULT WavTransFilter::ResetBlocks() {
    blocks_.Reset();
    return S_OK;
}

void WavTransFilter::ReportFull(WAVEHDR* header) {
    NotifyEvent(eventCode_, static_cast<LONG_PTR>(header->dwBytesRecorded),
                reinterpret_cast<LONG_PTR>(header));
}

HRESULT WavTransFilter::Receive(IMediaSample* in) {
    BYTE* data = nullptr;
    HRESULT hr = in->GetPointer(&data);
    if (FAILED(hr)) return hr;
    long bytes = in->GetActualDataLength();
    if (bytes <= 0) return S_OK;
    if (WAVEHDR* full = blocks_.Push(data, static_cast<size_t>(bytes))) ReportFull(full);
    size_t dropped = blocks_.DroppedBytes();
    if (dropped != droppedReported_) {
        // Only a program that took no block for seconds gets here.
        char text[96];
        snprintf(text, sizeof(text), "WAV Trans: carry-over full, %u bytes dropped in all\n",
                 static_cast<unsigned>(dropped));
        OutputDebugStringA(text);
        droppedReported_ = dropped;
    }
    return PassOn(in, data, bytes);
}

HRESULT WavTransFilter::PassOn(IMediaSample* in, const BYTE* data, long bytes) {
    if (!Output().IsConnected()) return S_OK;
    bool sound = mode_ != 0;
    int silence = static_cast<int>(silence_);
    bool first = true;
    // Normally one output sample per input; an input larger than our
    // buffers goes on in pieces.
    while (bytes > 0) {
        ComPtr<IMediaSample> out;
        // With a monitor queue a renderer that fell behind costs it this
        // sample, not the upstream thread a wait.
        HRESULT hr = Output().GetDeliveryBuffer(out.GetAddressOf(), nullptr, nullptr,
                                                monitor_ ? AM_GBF_NOWAIT : 0);
        if (monitor_ && hr == VFW_E_TIMEOUT) return S_OK;
        if (FAILED(hr)) return hr;
        BYTE* dst = nullptr;
        out->GetPointer(&dst);
        long n = std::min(bytes, out->GetSize());
        if (first) CopySampleProperties(in, out.Get());
        else out->SetTime(nullptr, nullptr);
        if (sound) memcpy(dst, data, n);
        else memset(dst, silence, n);
        out->SetActualDataLength(n);
        hr = Send(out.Get());
        if (hr != S_OK) return hr;
        data += n;
        bytes -= n;
        first = false;
    }
    return S_OK;
}

HRESULT WavTransFilter::OnEndOfStream() {
    if (WAVEHDR* full = blocks_.EndOfStream()) ReportFull(full);
    if (!monitor_) return TransformFilter::OnEndOfStream();
    monitor_->EndOfStream();
    return S_OK;
}

HRESULT WavTransFilter::OnBeginFlush() {
    blocks_.Flush();
    if (!monitor_) return TransformFilter::OnBeginFlush();
    monitor_->BeginFlush();
    return S_OK;
}

HRESULT WavTransFilter::OnEndFlush() {
    if (!monitor_) return TransformFilter::OnEndFlush();
    monitor_->EndFlush();
    return S_OK;
}

HRESULT WavTransFilter::OnNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    if (!monitor_) return TransformFilter::OnNewSegment(start, stop, rate);
    monitor_->NewSegment(start, stop, rate);
    return S_OK;
}
