// The stand-in's COM entry points. Registration points the system audio
// capture filter's class at this DLL, so the audio capture category's
// monikers (which name that class) bind to the stand-in. Done only in the
// test prefix.
#include <windows.h>
#include <uuids.h>

#include <cstdio>

#include "filters/base/FilterClass.h"
#include "filters/base/Module.h"
#include "standins/audiocapture/AudioCaptureFilter.h"

namespace {

const filterbase::FilterClass kClasses[] = {
    {&CLSID_AudioRecord, L"Audio Capture Filter", filterbase::CreateFilter<AudioCaptureFilter>,
     nullptr, MERIT_DO_NOT_USE},
};

// HKEY_CLASSES_ROOT\CLSID\{class}\InprocServer32
void ServerKeyName(char* out, size_t size) {
    WCHAR clsid[40] = {};
    StringFromGUID2(CLSID_AudioRecord, clsid, 40);
    snprintf(out, size, "CLSID\\%ls\\InprocServer32", clsid);
}

LONG SetServer(const char* path) {
    char key[128];
    ServerKeyName(key, sizeof key);
    HKEY k = nullptr;
    LONG r = RegCreateKeyExA(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k,
                             nullptr);
    if (r != ERROR_SUCCESS) return r;
    r = RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                       static_cast<DWORD>(strlen(path) + 1));
    static const char model[] = "Both";
    if (r == ERROR_SUCCESS)
        r = RegSetValueExA(k, "ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(model),
                           sizeof model);
    RegCloseKey(k);
    return r;
}

}  // namespace

extern "C" {

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return filterbase::GetFilterClassObject(kClasses, 1, clsid, iid, out);
}

STDAPI DllCanUnloadNow() { return filterbase::ModuleInUse() ? S_FALSE : S_OK; }

STDAPI DllRegisterServer() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(filterbase::ThisModule(), path, sizeof path);
    if (!n || n >= sizeof path) return E_FAIL;
    return SetServer(path) == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}

// Gives the class back to the system's filter.
STDAPI DllUnregisterServer() {
    return SetServer("qcap.dll") == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}

}  // extern "C"
