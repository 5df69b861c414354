#include "filters/base/Registration.h"

#include <dshow.h>
#include <uuids.h>

#include <string>

#include "filters/base/Retain.h"

namespace filterbase {

namespace {

std::wstring ClassKey(const CLSID& clsid) {
    wchar_t text[40] = {};
    StringFromGUID2(clsid, text, 40);
    return std::wstring(L"CLSID\\") + text;
}

LONG SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

HRESULT WriteClassKeys(const FilterClass& cls, const std::wstring& modulePath) {
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, ClassKey(*cls.clsid).c_str(), 0, nullptr, 0,
                              KEY_WRITE, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
    rc = SetString(key, nullptr, cls.name);
    HKEY server = nullptr;
    if (rc == ERROR_SUCCESS)
        rc = RegCreateKeyExW(key, L"InprocServer32", 0, nullptr, 0, KEY_WRITE, nullptr, &server,
                             nullptr);
    if (rc == ERROR_SUCCESS) {
        rc = SetString(server, nullptr, modulePath);
        if (rc == ERROR_SUCCESS) rc = SetString(server, L"ThreadingModel", L"Both");
        RegCloseKey(server);
    }
    RegCloseKey(key);
    return HRESULT_FROM_WIN32(rc);
}

// COM for the mapper, whatever the caller (regsvr32) set up.
class ComScope {
public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }

private:
    HRESULT hr_;
};

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
        HRESULT hr = WriteClassKeys(table[i], path);
        if (SUCCEEDED(hr) && table[i].category) hr = WithMapper(AddToCategory, table[i]);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT UnregisterFilterClasses(const FilterClass* table, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (table[i].category) WithMapper(RemoveFromCategory, table[i]);
        RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey(*table[i].clsid).c_str());
    }
    return S_OK;
}

}  // namespace filterbase
