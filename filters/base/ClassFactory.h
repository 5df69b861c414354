// The class objects of one of our COM DLLs, from a table of the classes it
// serves. Every object is created with one reference held by the creator.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <cstddef>

namespace filterbase {

// Makes a new object holding one reference (for the caller). With an outer
// unknown the object is aggregated and *object is its inner (non-delegating)
// unknown; a class that cannot be aggregated answers CLASS_E_NOAGGREGATION.
typedef HRESULT (*CreateInstanceFn)(IUnknown* outer, IUnknown** object);

struct ComClass {
    const CLSID* clsid;
    CreateInstanceFn create;
};

// A plain (not single-instance) class factory. It holds a module lock while
// it lives, and so does LockServer(TRUE). An outer unknown is taken only
// together with IID_IUnknown, as aggregation requires.
class ClassFactory : public IClassFactory {
public:
    explicit ClassFactory(CreateInstanceFn create);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    virtual ~ClassFactory();
    LONG refs_ = 1;
    CreateInstanceFn create_;
};

// DllGetClassObject over a table.
HRESULT GetComClassObject(const ComClass* table, size_t count, REFCLSID clsid, REFIID iid,
                          void** out);
// The class factory for one creator, queried for iid.
HRESULT GetClassObject(CreateInstanceFn create, REFIID iid, void** out);

}  // namespace filterbase
