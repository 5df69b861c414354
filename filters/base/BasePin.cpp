#include "filters/base/BasePin.h"

#include <cstring>
#include <new>

#include "filters/base/BaseFilter.h"
#include "filters/base/EnumMediaTypes.h"

namespace filterbase {

BasePin::BasePin(BaseFilter* filter, PIN_DIRECTION dir, const wchar_t* name)
    : filter_(filter), dir_(dir), name_(name ? name : L"") {}

BasePin::~BasePin() { ClearConnection(); }

STDMETHODIMP BasePin::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPin)) {
        *out = static_cast<IPin*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) BasePin::AddRef() { return filter_->AddRef(); }
STDMETHODIMP_(ULONG) BasePin::Release() { return filter_->Release(); }

STDMETHODIMP BasePin::Connect(IPin*, const AM_MEDIA_TYPE*) { return E_UNEXPECTED; }
STDMETHODIMP BasePin::ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) { return E_UNEXPECTED; }

STDMETHODIMP BasePin::Disconnect() {
    Lock lock(filter_->FilterLock());
    if (filter_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
    if (!connected_) return S_FALSE;
    BreakConnect();
    ClearConnection();
    return S_OK;
}

void BasePin::ClearConnection() {
    connected_.Reset();
    mt_.Clear();
}

STDMETHODIMP BasePin::ConnectedTo(IPin** pin) {
    if (!pin) return E_POINTER;
    Lock lock(filter_->FilterLock());
    *pin = Retained(connected_.Get()).Detach();
    return *pin ? S_OK : VFW_E_NOT_CONNECTED;
}

STDMETHODIMP BasePin::ConnectionMediaType(AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    Lock lock(filter_->FilterLock());
    if (!connected_) {
        ZeroMemory(mt, sizeof(*mt));
        return VFW_E_NOT_CONNECTED;
    }
    return mt_.CopyTo(mt);
}

STDMETHODIMP BasePin::QueryPinInfo(PIN_INFO* info) {
    if (!info) return E_POINTER;
    info->pFilter = filter_;
    filter_->AddRef();
    info->dir = dir_;
    size_t n = name_.size();
    if (n >= MAX_PIN_NAME) n = MAX_PIN_NAME - 1;
    wmemcpy(info->achName, name_.c_str(), n);
    info->achName[n] = L'\0';
    return S_OK;
}

STDMETHODIMP BasePin::QueryDirection(PIN_DIRECTION* dir) {
    if (!dir) return E_POINTER;
    *dir = dir_;
    return S_OK;
}

STDMETHODIMP BasePin::QueryId(LPWSTR* id) {
    if (!id) return E_POINTER;
    size_t bytes = (name_.size() + 1) * sizeof(wchar_t);
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*id) return E_OUTOFMEMORY;
    memcpy(*id, name_.c_str(), bytes);
    return S_OK;
}

STDMETHODIMP BasePin::QueryAccept(const AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    return CheckMediaType(*mt) == S_OK ? S_OK : S_FALSE;
}

STDMETHODIMP BasePin::EnumMediaTypes(IEnumMediaTypes** types) {
    if (!types) return E_POINTER;
    *types = new (std::nothrow) MediaTypeEnumerator(this, 0);
    return *types ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP BasePin::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }
STDMETHODIMP BasePin::EndOfStream() { return E_UNEXPECTED; }
STDMETHODIMP BasePin::BeginFlush() { return E_UNEXPECTED; }
STDMETHODIMP BasePin::EndFlush() { return E_UNEXPECTED; }
STDMETHODIMP BasePin::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) { return E_UNEXPECTED; }

HRESULT BasePin::GetMediaType(int, MediaType*) { return VFW_S_NO_MORE_ITEMS; }

HRESULT BasePin::SetMediaType(const AM_MEDIA_TYPE& mt) { return mt_.Set(mt); }

}  // namespace filterbase
