#include "filters/base/OutputPin.h"

#include <uuids.h>

#include <utility>

#include "filters/base/BaseFilter.h"

namespace filterbase {

OutputPin::OutputPin(BaseFilter* filter, const wchar_t* name) : BasePin(filter, PINDIR_OUTPUT, name) {}

OutputPin::~OutputPin() { BreakConnect(); }

STDMETHODIMP OutputPin::QueryInterface(REFIID iid, void** out) {
    if (out && seeking_ && IsEqualIID(iid, IID_IMediaSeeking)) {
        *out = static_cast<IMediaSeeking*>(seeking_.get());
        AddRef();
        return S_OK;
    }
    return BasePin::QueryInterface(iid, out);
}

void OutputPin::PassSeekingFrom(InputPin* input) { seeking_.reset(new SeekingPassThru(this, input)); }

STDMETHODIMP OutputPin::Connect(IPin* receiver, const AM_MEDIA_TYPE* mt) {
    if (!receiver) return E_POINTER;
    Lock lock(filter_->FilterLock());
    if (connected_) return VFW_E_ALREADY_CONNECTED;
    if (filter_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
    PIN_DIRECTION dir;
    if (FAILED(receiver->QueryDirection(&dir)) || dir != PINDIR_INPUT)
        return VFW_E_INVALID_DIRECTION;
    if (mt && MediaType::IsComplete(*mt)) return AttemptConnection(receiver, *mt);

    // Our own types first, then those the receiver proposes.
    for (int i = 0;; ++i) {
        MediaType own;
        if (GetMediaType(i, &own) != S_OK) break;
        if (mt && !MediaType::MatchesPartial(own.Get(), *mt)) continue;
        if (SUCCEEDED(AttemptConnection(receiver, own.Get()))) return S_OK;
    }
    ComPtr<IEnumMediaTypes> types;
    if (SUCCEEDED(receiver->EnumMediaTypes(types.GetAddressOf())) && types) {
        AM_MEDIA_TYPE* proposed = nullptr;
        HRESULT found = VFW_E_NO_ACCEPTABLE_TYPES;
        while (found != S_OK && types->Next(1, &proposed, nullptr) == S_OK) {
            if ((!mt || MediaType::MatchesPartial(*proposed, *mt)) &&
                SUCCEEDED(AttemptConnection(receiver, *proposed)))
                found = S_OK;
            MediaType::Delete(proposed);
        }
        if (found == S_OK) return S_OK;
    }
    return VFW_E_NO_ACCEPTABLE_TYPES;
}

HRESULT OutputPin::AttemptConnection(IPin* receiver, const AM_MEDIA_TYPE& mt) {
    if (CheckMediaType(mt) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    HRESULT hr = SetMediaType(mt);
    if (FAILED(hr)) return hr;
    connected_ = Retained(receiver);
    hr = receiver->ReceiveConnection(this, &mt);
    if (FAILED(hr)) {
        ClearConnection();
        return hr;
    }
    hr = receiver->QueryInterface(IID_IMemInputPin, OutVoid(input_));
    if (SUCCEEDED(hr)) hr = DecideAllocator(input_.Get(), &allocator_);
    if (SUCCEEDED(hr)) hr = CompleteConnect(receiver);
    if (FAILED(hr)) {
        receiver->Disconnect();
        BreakConnect();
        ClearConnection();
    }
    return hr;
}

HRESULT OutputPin::DecideAllocator(IMemInputPin* input, ComPtr<IMemAllocator>* chosen) {
    ALLOCATOR_PROPERTIES request = {};
    input->GetAllocatorRequirements(&request);
    if (request.cbAlign == 0) request.cbAlign = 1;

    // The receiver's allocator first, then a memory allocator of our own.
    for (int attempt = 0; attempt < 2; ++attempt) {
        ComPtr<IMemAllocator> allocator;
        HRESULT hr = attempt == 0 ? input->GetAllocator(allocator.GetAddressOf())
                                  : CoCreateInstance(CLSID_MemoryAllocator, nullptr,
                                                     CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                                     OutVoid(allocator));
        if (SUCCEEDED(hr)) hr = DecideBufferSize(allocator.Get(), &request);
        if (SUCCEEDED(hr)) hr = input->NotifyAllocator(allocator.Get(), FALSE);
        if (SUCCEEDED(hr)) {
            *chosen = std::move(allocator);
            return S_OK;
        }
        if (attempt == 1) return hr;
    }
    return E_UNEXPECTED;
}

HRESULT OutputPin::SetAllocatorSize(IMemAllocator* allocator, const ALLOCATOR_PROPERTIES& request,
                                    long count, long size) {
    ALLOCATOR_PROPERTIES want = request;
    if (want.cBuffers < count) want.cBuffers = count;
    if (want.cbBuffer < size) want.cbBuffer = size;
    if (want.cbAlign <= 0) want.cbAlign = 1;
    ALLOCATOR_PROPERTIES got = {};
    HRESULT hr = allocator->SetProperties(&want, &got);
    if (FAILED(hr)) return hr;
    if (got.cbBuffer < size || got.cBuffers < 1) return E_FAIL;
    return S_OK;
}

void OutputPin::BreakConnect() {
    allocator_.Reset();
    input_.Reset();
}

HRESULT OutputPin::Active() {
    if (!allocator_) return connected_ ? VFW_E_NO_ALLOCATOR : S_OK;
    return allocator_->Commit();
}

HRESULT OutputPin::Inactive() {
    if (!allocator_) return S_OK;
    return allocator_->Decommit();
}

HRESULT OutputPin::GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start,
                                     REFERENCE_TIME* stop, DWORD flags) {
    if (!sample) return E_POINTER;
    *sample = nullptr;
    if (!allocator_) return VFW_E_NO_ALLOCATOR;
    return allocator_->GetBuffer(sample, start, stop, flags);
}

HRESULT OutputPin::Deliver(IMediaSample* sample) {
    if (!input_) return VFW_E_NOT_CONNECTED;
    return input_->Receive(sample);
}

HRESULT OutputPin::DeliverEndOfStream() {
    IPin* peer = connected_.Get();
    return peer ? peer->EndOfStream() : VFW_E_NOT_CONNECTED;
}

HRESULT OutputPin::DeliverBeginFlush() {
    IPin* peer = connected_.Get();
    return peer ? peer->BeginFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT OutputPin::DeliverEndFlush() {
    IPin* peer = connected_.Get();
    return peer ? peer->EndFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT OutputPin::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    segmentStart_ = start;
    segmentStop_ = stop;
    segmentRate_ = rate;
    IPin* peer = connected_.Get();
    return peer ? peer->NewSegment(start, stop, rate) : VFW_E_NOT_CONNECTED;
}

}  // namespace filterbase
