#include "filters/base/TransformFilter.h"

#include <cstring>

namespace filterbase {

// ---- input pin ----

TransformInputPin::TransformInputPin(TransformFilter* filter, const wchar_t* name)
    : InputPin(filter, name), owner_(filter) {}

HRESULT TransformInputPin::CheckMediaType(const AM_MEDIA_TYPE& mt) {
    return owner_->CheckInputType(mt);
}

HRESULT TransformInputPin::OnReceive(IMediaSample* sample) { return owner_->ReceiveLocked(sample); }

HRESULT TransformInputPin::OnEndOfStream() {
    Lock lock(owner_->StreamLock());
    return owner_->OnEndOfStream();
}

// Flushes must not wait for the stream lock: they exist to free a blocked
// streaming thread.
HRESULT TransformInputPin::OnBeginFlush() { return owner_->OnBeginFlush(); }
HRESULT TransformInputPin::OnEndFlush() { return owner_->OnEndFlush(); }

HRESULT TransformInputPin::OnNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    return owner_->OnNewSegment(start, stop, rate);
}

HRESULT TransformInputPin::CompleteConnect(IPin*) { return owner_->OnInputConnected(); }

// ---- output pin ----

TransformOutputPin::TransformOutputPin(TransformFilter* filter, const wchar_t* name)
    : OutputPin(filter, name), owner_(filter) {}

HRESULT TransformOutputPin::CheckMediaType(const AM_MEDIA_TYPE& mt) {
    if (!owner_->Input().IsConnected()) return VFW_E_NOT_CONNECTED;
    return owner_->CheckOutputType(owner_->Input().CurrentType().Get(), mt);
}

HRESULT TransformOutputPin::GetMediaType(int index, MediaType* out) {
    if (!owner_->Input().IsConnected()) return VFW_S_NO_MORE_ITEMS;
    return owner_->GetOutputType(index, out);
}

HRESULT TransformOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    return owner_->DecideBufferSize(allocator, request);
}

HRESULT TransformOutputPin::CompleteConnect(IPin*) { return owner_->OnOutputConnected(); }

// ---- filter ----

TransformFilter::TransformFilter(const CLSID& clsid, ULONG miscFlags)
    : BaseFilter(clsid, miscFlags),
      input_(new TransformInputPin(this, L"Input")),
      output_(new TransformOutputPin(this, L"Output")) {
    output_->PassSeekingFrom(input_.get());
}

TransformFilter::~TransformFilter() = default;

void TransformFilter::ReplaceInputPin(TransformInputPin* pin) {
    input_.reset(pin);
    output_->PassSeekingFrom(input_.get());
}

void TransformFilter::ReplaceOutputPin(TransformOutputPin* pin) {
    output_.reset(pin);
    output_->PassSeekingFrom(input_.get());
}

BasePin* TransformFilter::PinAt(int index) {
    if (index == 0) return input_.get();
    if (index == 1) return output_.get();
    return nullptr;
}

HRESULT TransformFilter::CheckOutputType(const AM_MEDIA_TYPE& in, const AM_MEDIA_TYPE& out) {
    if (!IsEqualGUID(in.majortype, out.majortype) || !IsEqualGUID(in.subtype, out.subtype) ||
        !IsEqualGUID(in.formattype, out.formattype) || in.cbFormat != out.cbFormat)
        return VFW_E_TYPE_NOT_ACCEPTED;
    if (in.cbFormat && memcmp(in.pbFormat, out.pbFormat, in.cbFormat) != 0)
        return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT TransformFilter::GetOutputType(int index, MediaType* out) {
    if (index != 0) return VFW_S_NO_MORE_ITEMS;
    return out->Set(input_->CurrentType().Get());
}

HRESULT TransformFilter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    long size = 0;
    if (IMemAllocator* upstream = input_->Allocator()) {
        ALLOCATOR_PROPERTIES props = {};
        if (SUCCEEDED(upstream->GetProperties(&props))) size = props.cbBuffer;
    }
    if (const WAVEFORMATEX* wf = output_->CurrentType().Wave()) {
        if (size < static_cast<long>(wf->nAvgBytesPerSec) / 10) size = wf->nAvgBytesPerSec / 10;
    }
    if (size <= 0) size = 65536;
    return OutputPin::SetAllocatorSize(allocator, *request, 4, size);
}

HRESULT TransformFilter::Transform(IMediaSample* in, IMediaSample* out) {
    BYTE* src = nullptr;
    BYTE* dst = nullptr;
    HRESULT hr = in->GetPointer(&src);
    if (SUCCEEDED(hr)) hr = out->GetPointer(&dst);
    if (FAILED(hr)) return hr;
    long n = in->GetActualDataLength();
    if (n > out->GetSize()) return E_FAIL;
    memcpy(dst, src, n);
    return out->SetActualDataLength(n);
}

HRESULT TransformFilter::Receive(IMediaSample* in) {
    if (!output_->IsConnected()) return S_OK;  // nothing downstream takes it
    ComPtr<IMediaSample> out;
    HRESULT hr = output_->GetDeliveryBuffer(out.GetAddressOf());
    if (FAILED(hr)) return hr;
    CopySampleProperties(in, out.Get());
    hr = Transform(in, out.Get());
    if (hr == S_OK) return output_->Deliver(out.Get());
    return hr == S_FALSE ? S_OK : hr;  // S_FALSE: nothing to send for this one
}

HRESULT TransformFilter::ReceiveLocked(IMediaSample* in) {
    Lock lock(streamLock_);
    if (State() == State_Stopped) return VFW_E_WRONG_STATE;
    return Receive(in);
}

HRESULT TransformFilter::OnStop() {
    // The output allocator is decommitted by now, so a Receive waiting for
    // a buffer has failed out; this waits for it to leave.
    Lock lock(streamLock_);
    return S_OK;
}

void TransformFilter::CopySampleProperties(IMediaSample* in, IMediaSample* out) {
    REFERENCE_TIME start = 0, stop = 0;
    HRESULT hr = in->GetTime(&start, &stop);
    if (hr == S_OK) out->SetTime(&start, &stop);
    else if (hr == VFW_S_NO_STOP_TIME) out->SetTime(&start, nullptr);
    else out->SetTime(nullptr, nullptr);
    LONGLONG mstart = 0, mstop = 0;
    if (in->GetMediaTime(&mstart, &mstop) == S_OK) out->SetMediaTime(&mstart, &mstop);
    else out->SetMediaTime(nullptr, nullptr);
    out->SetSyncPoint(in->IsSyncPoint() == S_OK);
    out->SetDiscontinuity(in->IsDiscontinuity() == S_OK);
    out->SetPreroll(in->IsPreroll() == S_OK);
}

}  // namespace filterbase
