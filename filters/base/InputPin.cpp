#include "filters/base/InputPin.h"

#include <uuids.h>

#include "filters/base/BaseFilter.h"

namespace filterbase {

InputPin::InputPin(BaseFilter* filter, const wchar_t* name) : BasePin(filter, PINDIR_INPUT, name) {}

InputPin::~InputPin() = default;

STDMETHODIMP InputPin::QueryInterface(REFIID iid, void** out) {
    if (out && IsEqualIID(iid, IID_IMemInputPin)) {
        *out = static_cast<IMemInputPin*>(this);
        AddRef();
        return S_OK;
    }
    return BasePin::QueryInterface(iid, out);
}

STDMETHODIMP InputPin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) {
    if (!connector || !mt) return E_POINTER;
    Lock lock(filter_->FilterLock());
    if (connected_) return VFW_E_ALREADY_CONNECTED;
    if (filter_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
    PIN_DIRECTION dir;
    if (FAILED(connector->QueryDirection(&dir)) || dir != PINDIR_OUTPUT)
        return VFW_E_INVALID_DIRECTION;
    if (CheckMediaType(*mt) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    HRESULT hr = SetMediaType(*mt);
    if (FAILED(hr)) return hr;
    connected_ = Retained(connector);
    hr = CompleteConnect(connector);
    if (FAILED(hr)) {
        BreakConnect();
        ClearConnection();
    }
    return hr;
}

void InputPin::BreakConnect() { allocator_.Reset(); }

STDMETHODIMP InputPin::EndOfStream() {
    if (flushing_) return S_FALSE;
    endOfStream_ = 1;
    return OnEndOfStream();
}

STDMETHODIMP InputPin::BeginFlush() {
    flushing_ = 1;
    return OnBeginFlush();
}

STDMETHODIMP InputPin::EndFlush() {
    HRESULT hr = OnEndFlush();
    endOfStream_ = 0;
    flushing_ = 0;
    return hr;
}

STDMETHODIMP InputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    segmentStart_ = start;
    segmentStop_ = stop;
    segmentRate_ = rate;
    return OnNewSegment(start, stop, rate);
}

STDMETHODIMP InputPin::GetAllocator(IMemAllocator** allocator) {
    if (!allocator) return E_POINTER;
    Lock lock(filter_->FilterLock());
    if (!allocator_) {
        HRESULT hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IMemAllocator, OutVoid(allocator_));
        if (FAILED(hr)) {
            *allocator = nullptr;
            return hr;
        }
    }
    *allocator = Retained(allocator_.Get()).Detach();
    return S_OK;
}

STDMETHODIMP InputPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) {
    if (!allocator) return E_POINTER;
    Lock lock(filter_->FilterLock());
    allocator_ = Retained(allocator);
    readOnly_ = readOnly != FALSE;
    return S_OK;
}

STDMETHODIMP InputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) { return E_NOTIMPL; }

STDMETHODIMP InputPin::Receive(IMediaSample* sample) {
    if (!sample) return E_POINTER;
    if (!connected_) return VFW_E_NOT_CONNECTED;
    if (filter_->State() == State_Stopped) return VFW_E_WRONG_STATE;
    if (flushing_) return S_FALSE;
    if (endOfStream_) return VFW_E_SAMPLE_REJECTED_EOS;
    // A format change travels with the sample; take it when it fits.
    AM_MEDIA_TYPE* changed = nullptr;
    if (sample->GetMediaType(&changed) == S_OK && changed) {
        HRESULT hr = CheckMediaType(*changed) == S_OK ? SetMediaType(*changed)
                                                        : VFW_E_INVALIDMEDIATYPE;
        MediaType::Delete(changed);
        if (FAILED(hr)) return hr;
    }
    return OnReceive(sample);
}

STDMETHODIMP InputPin::ReceiveMultiple(IMediaSample** samples, long count, long* processed) {
    if (!samples || !processed) return E_POINTER;
    HRESULT hr = S_OK;
    *processed = 0;
    while (*processed < count) {
        hr = Receive(samples[*processed]);
        if (hr != S_OK) break;
        ++*processed;
    }
    return hr;
}

STDMETHODIMP InputPin::ReceiveCanBlock() { return S_OK; }

HRESULT InputPin::Active() {
    flushing_ = 0;
    endOfStream_ = 0;
    return S_OK;
}

HRESULT InputPin::Inactive() {
    flushing_ = 0;
    endOfStream_ = 0;
    return S_OK;
}

}  // namespace filterbase
