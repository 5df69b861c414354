#include "filters/base/ClassFactory.h"

#include "filters/base/Module.h"
#include "filters/base/Retain.h"

namespace filterbase {

ClassFactory::ClassFactory(const FilterClass& cls) : cls_(cls) { LockModule(); }

ClassFactory::~ClassFactory() { UnlockModule(); }

STDMETHODIMP ClassFactory::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ClassFactory::AddRef() { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) ClassFactory::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    ComPtr<IUnknown> object;
    HRESULT hr = cls_.create(object.GetAddressOf());
    if (FAILED(hr)) return hr;
    return object->QueryInterface(iid, out);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
    if (lock) LockModule();
    else UnlockModule();
    return S_OK;
}

HRESULT GetFilterClassObject(const FilterClass* table, size_t count, REFCLSID clsid, REFIID iid,
                             void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (size_t i = 0; i < count; ++i) {
        if (!IsEqualCLSID(*table[i].clsid, clsid)) continue;
        ComPtr<ClassFactory> factory;
        *factory.GetAddressOf() = new (std::nothrow) ClassFactory(table[i]);
        if (!factory) return E_OUTOFMEMORY;
        return factory->QueryInterface(iid, out);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace filterbase
