#include "filters/WavTransFilter.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>

using filterbase::MediaType;

WavTransFilter::WavTransFilter(const CLSID& clsid, long eventCode, BYTE initialMode)
    : TransformFilter(clsid), eventCode_(eventCode), mode_(initialMode) {}

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
        HRESULT hr = Output().GetDeliveryBuffer(out.GetAddressOf());
        if (FAILED(hr)) return hr;
        BYTE* dst = nullptr;
        out->GetPointer(&dst);
        long n = std::min(bytes, out->GetSize());
        if (first) CopySampleProperties(in, out.Get());
        else out->SetTime(nullptr, nullptr);
        if (sound) memcpy(dst, data, n);
        else memset(dst, silence, n);
        out->SetActualDataLength(n);
        hr = Output().Deliver(out.Get());
        if (hr != S_OK) return hr;
        data += n;
        bytes -= n;
        first = false;
    }
    return S_OK;
}

HRESULT WavTransFilter::OnEndOfStream() {
    if (WAVEHDR* full = blocks_.EndOfStream()) ReportFull(full);
    return TransformFilter::OnEndOfStream();
}

HRESULT WavTransFilter::OnBeginFlush() {
    blocks_.Flush();
    return TransformFilter::OnBeginFlush();
}
