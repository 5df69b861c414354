#include "filters/base/ClassFactory.h"

#include <new>

#include "filters/base/Module.h"
#include "filters/base/Retain.h"

namespace filterbase {

ClassFactory::ClassFactory(CreateInstanceFn create) : create_(create) { LockModule(); }

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
    if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    ComPtr<IUnknown> object;
    HRESULT hr = create_(outer, object.GetAddressOf());
    if (FAILED(hr)) return hr;
    return object->QueryInterface(iid, out);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
    if (lock) LockModule();
    else UnlockModule();
    return S_OK;
}

HRESULT GetClassObject(CreateInstanceFn create, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    ComPtr<ClassFactory> factory;
    *factory.GetAddressOf() = new (std::nothrow) ClassFactory(create);
    if (!factory) return E_OUTOFMEMORY;
    return factory->QueryInterface(iid, out);
}

HRESULT GetComClassObject(const ComClass* table, size_t count, REFCLSID clsid, REFIID iid,
                          void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (size_t i = 0; i < count; ++i)
        if (IsEqualCLSID(*table[i].clsid, clsid)) return GetClassObject(table[i].create, iid, out);
    return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace filterbase
