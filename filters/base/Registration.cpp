#include "filters/base/Registration.h"

#include <dshow.h>
#include <uuids.h>

#include "filters/base/ComScope.h"
#include "filters/base/RegistryScript.h"
#include "filters/base/Retain.h"

namespace filterbase {

namespace {

// CLSID\{clsid} with its name, and InprocServer32 = the DLL.
HRESULT WriteClassKeys(const FilterClass& cls, const wchar_t* modulePath, bool registering) {
    wchar_t clsid[40] = {};
    StringFromGUID2(*cls.clsid, clsid, 40);
    const RegScriptKey script[] = {
        {0, L"CLSID", nullptr, RegNoRemove, nullptr, nullptr},
        {1, clsid, cls.name, 0, nullptr, nullptr},
        {2, L"InprocServer32", L"%MODULE%", 0, L"ThreadingModel", L"Both"},
    };
    return registering ? RegisterScript(script, modulePath) : UnregisterScript(script);
}

HRESULT WithMapper(HRESULT (*action)(IFilterMapper2*, const FilterClass&), const FilterClass& cls) {
    ComScope com;
    ComPtr<IFilterMapper2> mapper;
    HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IFilterMapper2, OutVoid(mapper));
    if (FAILED(hr)) return hr;
    return action(mapper.Get(), cls);
}

HRESULT AddToCategory(IFilterMapper2* mapper, const FilterClass& cls) {
    REGFILTER2 filter = {};
    filter.dwVersion = 1;
    filter.dwMerit = cls.merit;
    filter.cPins = 0;
    filter.rgPins = nullptr;
    return mapper->RegisterFilter(*cls.clsid, cls.name, nullptr, cls.category, nullptr, &filter);
}

HRESULT RemoveFromCategory(IFilterMapper2* mapper, const FilterClass& cls) {
    return mapper->UnregisterFilter(cls.category, nullptr, *cls.clsid);
}

}  // namespace

HRESULT RegisterFilterClasses(const FilterClass* table, size_t count) {
    wchar_t path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(ThisModule(), path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return E_FAIL;
    for (size_t i = 0; i < count; ++i) {
        HRESULT hr = WriteClassKeys(table[i], path, true);
        if (SUCCEEDED(hr) && table[i].category) hr = WithMapper(AddToCategory, table[i]);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT GetFilterClassObject(const FilterClass* table, size_t count, REFCLSID clsid, REFIID iid,
                             void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (size_t i = 0; i < count; ++i)
        if (IsEqualCLSID(*table[i].clsid, clsid)) return GetClassObject(table[i].create, iid, out);
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT UnregisterFilterClasses(const FilterClass* table, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (table[i].category) WithMapper(RemoveFromCategory, table[i]);
        WriteClassKeys(table[i], nullptr, false);
    }
    return S_OK;
}

}  // namespace filterbase
