// Sablet.dll's entry points: the class table (the control and its property
// page), self-registration (registry scripts 103 and 108, the type
// library, the safety categories) and the module's start and end.
#include <windows.h>
#include <comcat.h>
#include <olectl.h>

#include "control/Sablet2.h"
#include "control/SabletProp.h"
#include "filters/base/ClassFactory.h"
#include "filters/base/ComScope.h"
#include "filters/base/Module.h"
#include "filters/base/RegistryScript.h"
#include "framework/App.h"
#include "framework/Gdi.h"

using filterbase::RegForceRemove;
using filterbase::RegNoRemove;
using filterbase::RegScriptKey;

namespace {

const filterbase::ComClass kClasses[] = {
    {&CLSID_Sablet2, CSablet2::CreateInstance},
    {&CLSID_SabletProp, SabletProp::CreateInstance},
};

#define SABLET2_CLSID L"{848B4094-6C23-4EC7-ACD7-8A7F0A4050BA}"
#define SABLETPROP_CLSID L"{A28E791F-113C-480F-83F6-4DC9515EDE9D}"
#define SABLET_LIBID L"{98C75098-99BA-453D-9BD9-E98A27AA41B2}"

// Registry script 103: the control.
const RegScriptKey kScript103[] = {
    {0, L"Sablet.Sablet2.1", L"Sablet2 Class", 0, nullptr, nullptr},
    {1, L"CLSID", SABLET2_CLSID, 0, nullptr, nullptr},
    {0, L"Sablet.Sablet2", L"Sablet2 Class", 0, nullptr, nullptr},
    {1, L"CLSID", SABLET2_CLSID, 0, nullptr, nullptr},
    {1, L"CurVer", L"Sablet.Sablet2.1", 0, nullptr, nullptr},
    {0, L"CLSID", nullptr, RegNoRemove, nullptr, nullptr},
    {1, SABLET2_CLSID, L"Sablet2 Class", RegForceRemove, nullptr, nullptr},
    {2, L"ProgID", L"Sablet.Sablet2.1", 0, nullptr, nullptr},
    {2, L"VersionIndependentProgID", L"Sablet.Sablet2", 0, nullptr, nullptr},
    {2, L"Programmable", nullptr, 0, nullptr, nullptr},
    {2, L"InprocServer32", L"%MODULE%", 0, L"ThreadingModel", L"Apartment"},
    {2, L"Control", nullptr, 0, nullptr, nullptr},
    {2, L"Insertable", nullptr, 0, nullptr, nullptr},
    {2, L"ToolboxBitmap32", L"%MODULE%, 102", 0, nullptr, nullptr},
    {2, L"MiscStatus", L"0", 0, nullptr, nullptr},
    {3, L"1", L"131473", 0, nullptr, nullptr},
    {2, L"TypeLib", SABLET_LIBID, 0, nullptr, nullptr},
    {2, L"Version", L"1.0", 0, nullptr, nullptr},
};

// Registry script 108: the property page.
const RegScriptKey kScript108[] = {
    {0, L"Sablet.SabletProp.1", L"SabletProp Class", 0, nullptr, nullptr},
    {1, L"CLSID", SABLETPROP_CLSID, 0, nullptr, nullptr},
    {0, L"Sablet.SabletProp", L"SabletProp Class", 0, nullptr, nullptr},
    {1, L"CLSID", SABLETPROP_CLSID, 0, nullptr, nullptr},
    {1, L"CurVer", L"Sablet.SabletProp.1", 0, nullptr, nullptr},
    {0, L"CLSID", nullptr, RegNoRemove, nullptr, nullptr},
    {1, SABLETPROP_CLSID, L"SabletProp Class", RegForceRemove, nullptr, nullptr},
    {2, L"Programmable", nullptr, 0, nullptr, nullptr},
    {2, L"InprocServer32", L"%MODULE%", 0, L"ThreadingModel", L"Apartment"},
};

// {7DD95801-9882-11CF-9FA9-00AA006C42C4}, {7DD95802-...}
const CATID kSafeForScripting = {0x7DD95801, 0x9882, 0x11CF,
                                 {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}};
const CATID kSafeForInitializing = {0x7DD95802, 0x9882, 0x11CF,
                                    {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}};

bool ModulePath(wchar_t (&path)[MAX_PATH]) {
    DWORD n = GetModuleFileNameW(filterbase::ThisModule(), path, MAX_PATH);
    return n > 0 && n < MAX_PATH;
}

HRESULT RegisterModuleTypeLib() {
    wchar_t path[MAX_PATH];
    if (!ModulePath(path)) return E_FAIL;
    ITypeLib* library = nullptr;
    HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, &library);
    if (FAILED(hr)) return hr;
    hr = RegisterTypeLib(library, path, nullptr);
    library->Release();
    return hr;
}

HRESULT CreateCategoryManager(ComPtr<ICatRegister>* manager) {
    return CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                            IID_ICatRegister, reinterpret_cast<void**>(manager->GetAddressOf()));
}

HRESULT RegisterControlCategory(const CATID& catid, const wchar_t* description) {
    filterbase::ComScope com;
    ComPtr<ICatRegister> manager;
    HRESULT hr = CreateCategoryManager(&manager);
    if (FAILED(hr)) return hr;
    CATEGORYINFO info = {};
    info.catid = catid;
    info.lcid = 1033;
    lstrcpynW(info.szDescription, description, 128);  // cut to 127 and terminated
    return manager->RegisterCategories(1, &info);
}

HRESULT AddClassToCategory(const CLSID& clsid, const CATID& catid) {
    filterbase::ComScope com;
    ComPtr<ICatRegister> manager;
    HRESULT hr = CreateCategoryManager(&manager);
    if (FAILED(hr)) return hr;
    CATID ids[1] = {catid};
    return manager->RegisterClassImplCategories(clsid, 1, ids);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        // Templates, strings and the type library come from this DLL, not
        // from the container's program.
        AfxSetResourceHandle(instance);
    } else if (reason == DLL_THREAD_DETACH) {
        AfxDeleteTemporaryObjects();
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        // Unloaded while the process goes on: a class left behind would
        // point into this image after a reload, and so would the wrappers
        // this thread still holds.
        filterbase::UnregisterModuleClasses();
        AfxDeleteTemporaryObjects();
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return filterbase::GetComClassObject(kClasses, sizeof kClasses / sizeof kClasses[0], clsid, iid,
                                         out);
}

STDAPI DllCanUnloadNow() { return filterbase::ModuleInUse() ? S_FALSE : S_OK; }

STDAPI DllRegisterServer() {
    wchar_t path[MAX_PATH];
    if (!ModulePath(path)) return SELFREG_E_CLASS;
    // The classes and their names first; a classes root that takes no
    // writes ends it here.
    if (FAILED(filterbase::RegisterScript(kScript103, path)) ||
        FAILED(filterbase::RegisterScript(kScript108, path)))
        return SELFREG_E_CLASS;
    if (FAILED(RegisterModuleTypeLib())) return SELFREG_E_TYPELIB;
    if (FAILED(RegisterControlCategory(kSafeForScripting, L"Controls that are safely scriptable")) ||
        FAILED(RegisterControlCategory(kSafeForInitializing,
                                       L"Controls safely initializable from persistent data")) ||
        FAILED(AddClassToCategory(CLSID_Sablet2, kSafeForScripting)) ||
        FAILED(AddClassToCategory(CLSID_Sablet2, kSafeForInitializing)))
        return SELFREG_E_CLASS;
    return S_OK;
}

// The category definitions stay: other controls may be listed in them.
STDAPI DllUnregisterServer() {
    HRESULT first = filterbase::UnregisterScript(kScript103);
    HRESULT hr = filterbase::UnregisterScript(kScript108);
    if (SUCCEEDED(first)) first = hr;
    hr = UnRegisterTypeLib(LIBID_SABLETLib, 1, 0, LOCALE_NEUTRAL, SYS_WIN32);
    if (SUCCEEDED(first) && hr != TYPE_E_REGISTRYACCESS && hr != TYPE_E_CANTLOADLIBRARY) first = hr;
    return first;
}
