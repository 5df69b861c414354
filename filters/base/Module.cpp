#include "filters/base/Module.h"

#include <new>
#include <string>
#include <vector>

namespace filterbase {

namespace {

LONG liveObjects = 0;

struct ThreadStart {
    LPTHREAD_START_ROUTINE proc;
    void* arg;
    HMODULE module;  // the loader reference the thread gives back
};

DWORD WINAPI ModuleThreadMain(void* param) {
    ThreadStart start = *static_cast<ThreadStart*>(param);
    delete static_cast<ThreadStart*>(param);
    DWORD result = start.proc(start.arg);
    UnlockModule();
    FreeLibraryAndExitThread(start.module, result);
}

CriticalSection& ClassLock() {
    static CriticalSection lock;
    return lock;
}

std::vector<std::string>& ClassNames() {
    static std::vector<std::string> names;
    return names;
}

}  // namespace

void LockModule() { InterlockedIncrement(&liveObjects); }
void UnlockModule() { InterlockedDecrement(&liveObjects); }
bool ModuleInUse() { return InterlockedCompareExchange(&liveObjects, 0, 0) != 0; }

HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

HANDLE StartModuleThread(LPTHREAD_START_ROUTINE proc, void* arg, DWORD* threadId) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&ModuleThreadMain), &module))
        return nullptr;
    auto* start = new (std::nothrow) ThreadStart{proc, arg, module};
    if (!start) {
        FreeLibrary(module);
        return nullptr;
    }
    LockModule();
    HANDLE thread = CreateThread(nullptr, 0, ModuleThreadMain, start, 0, threadId);
    if (!thread) {
        delete start;
        UnlockModule();
        FreeLibrary(module);
    }
    return thread;
}

bool RegisterModuleClass(const WNDCLASSA& wc) {
    WNDCLASSA ours = wc;
    ours.hInstance = ThisModule();
    Lock hold(ClassLock());
    if (!RegisterClassA(&ours) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    for (const std::string& name : ClassNames())
        if (lstrcmpiA(name.c_str(), wc.lpszClassName) == 0) return true;
    ClassNames().push_back(wc.lpszClassName);
    return true;
}

void UnregisterModuleClasses() {
    Lock hold(ClassLock());
    for (const std::string& name : ClassNames()) UnregisterClassA(name.c_str(), ThisModule());
    ClassNames().clear();
}

}  // namespace filterbase
