// The class objects of one of our COM DLLs, from a table of the classes it
// serves. Every object is created with one reference held by the creator.
#pragma once

#include <windows.h>
#include <dshow.h>
#include <unknwn.h>

#include <cstddef>
#include <new>

namespace filterbase {

struct FilterClass {
    const CLSID* clsid;
    // Registry name of the class and, with a category, its FriendlyName.
    const wchar_t* name;
    // Makes a new object holding one reference (for the caller).
    HRESULT (*create)(IUnknown** object);
    // Filter category to list the filter in (IFilterMapper2), or nullptr.
    const CLSID* category;
    DWORD merit;
};

class ClassFactory : public IClassFactory {
public:
    explicit ClassFactory(const FilterClass& cls);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    virtual ~ClassFactory();
    LONG refs_ = 1;
    const FilterClass& cls_;
};

// DllGetClassObject over a table.
HRESULT GetFilterClassObject(const FilterClass* table, size_t count, REFCLSID clsid, REFIID iid,
                             void** out);

// FilterClass::create for a filter class T with a default constructor.
template <class T>
HRESULT CreateFilter(IUnknown** object) {
    T* created = new (std::nothrow) T();
    if (!created) return E_OUTOFMEMORY;
    *object = static_cast<IBaseFilter*>(created);
    return S_OK;
}

}  // namespace filterbase
