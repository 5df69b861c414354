// An MCI driver for the "MPEGVideo" device type that hands every message to
// the system's driver for that type and differs in one point only: a file
// without video still takes a player window. The window commands then
// succeed and change nothing, as the device does on Windows, so a player
// window (MCIWnd) opens an MP3 and plays it. Registration points the device
// type at this DLL; done only in the test prefix.
#include <windows.h>
#include <mmsystem.h>
#include <digitalv.h>

#include <cstring>

#include "framework/GetProc.h"

// The driver's side of a notice, declared by the driver kit's header only.
extern "C" BOOL WINAPI mciDriverNotify(HANDLE callback, MCIDEVICEID device, UINT status);

namespace {

const char kDeviceType[] = "MPEGVideo";
const char kSystemDriver[] = "mciqtz32.dll";

using DriverProcFn = LRESULT(CALLBACK*)(DWORD_PTR, HDRVR, UINT, LPARAM, LPARAM);

HMODULE g_self;
DriverProcFn g_system;

bool LoadSystemDriver() {
    if (g_system) return true;
    HMODULE module = LoadLibraryA(kSystemDriver);
    if (!module) return false;
    g_system = GetProc<DriverProcFn>(module, "DriverProc");
    if (!g_system) FreeLibrary(module);
    return g_system != nullptr;
}

// The answer a device with no video gives to a window command it was asked
// for: nothing to place, nothing to show.
LRESULT NoVideoAnswer(DWORD_PTR device, UINT msg, LPARAM flags, LPARAM params) {
    if (msg == MCI_WHERE && params) {
        auto* where = reinterpret_cast<MCI_DGV_RECT_PARMS*>(params);
        SetRectEmpty(&where->rc);
    }
    if ((flags & MCI_NOTIFY) && params) {
        auto* generic = reinterpret_cast<MCI_GENERIC_PARMS*>(params);
        mciDriverNotify(reinterpret_cast<HANDLE>(generic->dwCallback),
                        static_cast<MCIDEVICEID>(device), MCI_NOTIFY_SUCCESSFUL);
    }
    return 0;
}

// Where the system looks up the driver of a device type: the registry's
// MCI32 key and the [mci] section of system.ini.
LONG SetDriver(const char* file) {
    HKEY key = nullptr;
    LONG r = RegCreateKeyExA(HKEY_LOCAL_MACHINE,
                             "Software\\Microsoft\\Windows NT\\CurrentVersion\\MCI32", 0, nullptr,
                             0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (r != ERROR_SUCCESS) return r;
    r = RegSetValueExA(key, kDeviceType, 0, REG_SZ, reinterpret_cast<const BYTE*>(file),
                       static_cast<DWORD>(strlen(file) + 1));
    RegCloseKey(key);
    if (r != ERROR_SUCCESS) return r;
    return WritePrivateProfileStringA("mci", kDeviceType, file, "system.ini") ? ERROR_SUCCESS
                                                                             : GetLastError();
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" LRESULT CALLBACK DriverProc(DWORD_PTR id, HDRVR driver, UINT msg, LPARAM p1,
                                       LPARAM p2) {
    if (!LoadSystemDriver()) return msg == DRV_LOAD ? 0 : DefDriverProc(id, driver, msg, p1, p2);
    LRESULT r = g_system(id, driver, msg, p1, p2);
    // The system's driver refuses these (with an internal error) when the
    // file has no video to put in a window.
    bool windowCommand = msg == MCI_WINDOW || msg == MCI_WHERE || msg == MCI_PUT;
    bool refused = r == MCIERR_INTERNAL || r == MCIERR_UNSUPPORTED_FUNCTION;
    if (windowCommand && refused) return NoVideoAnswer(id, msg, p1, p2);
    return r;
}

extern "C" HRESULT WINAPI DllRegisterServer() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(g_self, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return E_FAIL;
    // The lookup takes the text up to a space as the file name.
    if (strchr(path, ' ') && GetShortPathNameA(path, path, MAX_PATH) == 0) return E_FAIL;
    return SetDriver(path) == ERROR_SUCCESS ? S_OK : E_FAIL;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    return SetDriver(kSystemDriver) == ERROR_SUCCESS ? S_OK : E_FAIL;
}
