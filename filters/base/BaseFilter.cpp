#include "filters/base/BaseFilter.h"

#include <cwchar>
#include <new>

#include "filters/base/BasePin.h"
#include "filters/base/EnumPins.h"

namespace filterbase {

BaseFilter::BaseFilter(const CLSID& clsid, ULONG miscFlags) : clsid_(clsid), miscFlags_(miscFlags) {
    LockModule();
}

BaseFilter::~BaseFilter() { UnlockModule(); }

STDMETHODIMP BaseFilter::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPersist) ||
        IsEqualIID(iid, IID_IMediaFilter) || IsEqualIID(iid, IID_IBaseFilter)) {
        *out = static_cast<IBaseFilter*>(this);
    } else if (IsEqualIID(iid, IID_IAMFilterMiscFlags) && miscFlags_) {
        *out = static_cast<IAMFilterMiscFlags*>(this);
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) BaseFilter::AddRef() { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) BaseFilter::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP BaseFilter::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = clsid_;
    return S_OK;
}

STDMETHODIMP BaseFilter::Stop() {
    Lock lock(lock_);
    HRESULT result = S_OK;
    if (state_ != State_Stopped) {
        for (int i = 0; i < PinCount(); ++i) {
            HRESULT hr = PinAt(i)->Inactive();
            if (FAILED(hr) && SUCCEEDED(result)) result = hr;
        }
    }
    state_ = State_Stopped;
    HRESULT hr = OnStop();
    return FAILED(result) ? result : hr;
}

STDMETHODIMP BaseFilter::Pause() {
    Lock lock(lock_);
    if (state_ == State_Stopped) {
        for (int i = 0; i < PinCount(); ++i) {
            HRESULT hr = PinAt(i)->Active();
            if (FAILED(hr)) {
                for (int j = 0; j < i; ++j) PinAt(j)->Inactive();
                return hr;
            }
        }
    }
    state_ = State_Paused;
    HRESULT hr = OnPause();
    if (FAILED(hr)) return hr;
    return IsLiveSource() ? VFW_S_CANT_CUE : S_OK;
}

STDMETHODIMP BaseFilter::Run(REFERENCE_TIME start) {
    Lock lock(lock_);
    if (state_ == State_Stopped) {
        HRESULT hr = Pause();
        if (FAILED(hr)) return hr;
    }
    start_ = start;
    state_ = State_Running;
    return OnRun(start);
}

STDMETHODIMP BaseFilter::GetState(DWORD, FILTER_STATE* state) {
    if (!state) return E_POINTER;
    *state = State();
    return (*state == State_Paused && IsLiveSource()) ? VFW_S_CANT_CUE : S_OK;
}

STDMETHODIMP BaseFilter::SetSyncSource(IReferenceClock* clock) {
    Lock lock(lock_);
    clock_ = Retained(clock);
    return S_OK;
}

STDMETHODIMP BaseFilter::GetSyncSource(IReferenceClock** clock) {
    if (!clock) return E_POINTER;
    *clock = Clock();
    return S_OK;
}

IReferenceClock* BaseFilter::Clock() {
    Lock lock(lock_);
    return Retained(clock_.Get()).Detach();
}

STDMETHODIMP BaseFilter::EnumPins(IEnumPins** pins) {
    if (!pins) return E_POINTER;
    *pins = new (std::nothrow) PinEnumerator(this, 0);
    return *pins ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP BaseFilter::FindPin(LPCWSTR id, IPin** pin) {
    if (!id || !pin) return E_POINTER;
    Lock lock(lock_);
    for (int i = 0; i < PinCount(); ++i) {
        BasePin* p = PinAt(i);
        if (p->Name() == id) {
            *pin = p;
            p->AddRef();
            return S_OK;
        }
    }
    *pin = nullptr;
    return VFW_E_NOT_FOUND;
}

STDMETHODIMP BaseFilter::QueryFilterInfo(FILTER_INFO* info) {
    if (!info) return E_POINTER;
    Lock lock(lock_);
    size_t n = name_.size();
    if (n >= MAX_FILTER_NAME) n = MAX_FILTER_NAME - 1;
    wmemcpy(info->achName, name_.c_str(), n);
    info->achName[n] = L'\0';
    info->pGraph = graph_;
    if (graph_) graph_->AddRef();
    return S_OK;
}

STDMETHODIMP BaseFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    Lock lock(lock_);
    graph_ = graph;
    name_ = (graph && name) ? name : L"";
    eventSink_ = nullptr;
    if (graph) {
        // Weak like the graph pointer: a reference here would keep the
        // graph alive through its own filter.
        ComPtr<IMediaEventSink> sink;
        if (SUCCEEDED(graph->QueryInterface(IID_IMediaEventSink, OutVoid(sink)))) eventSink_ = sink.Get();
    }
    return S_OK;
}

STDMETHODIMP BaseFilter::QueryVendorInfo(LPWSTR* info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP_(ULONG) BaseFilter::GetMiscFlags() { return miscFlags_; }

HRESULT BaseFilter::NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2) {
    IMediaEventSink* sink = eventSink_;
    if (!sink) return E_FAIL;
    return sink->Notify(code, param1, param2);
}

}  // namespace filterbase
