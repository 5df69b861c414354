// Process-wide state of one of our COM DLLs: the count of live objects and
// server locks that DllCanUnloadNow answers from, the DLL's own handle, the
// threads that run its code, and the window classes whose procedure lives
// in it.
#pragma once

#include <windows.h>

namespace filterbase {

void LockModule();
void UnlockModule();
bool ModuleInUse();
// The module this code is linked into (the DLL, or the test program).
HMODULE ThisModule();

// Starts a thread running proc(arg) that holds the module twice until proc
// has returned: a lock, so DllCanUnloadNow answers S_FALSE, and a loader
// reference, so an unload the container asks for anyway waits. The thread
// drops the lock and then the reference as its very last act
// (FreeLibraryAndExitThread), so no code of the DLL runs after the module
// can go. Returns the thread's handle for the caller to wait on and close,
// or nullptr (nothing held) when the thread cannot be made.
HANDLE StartModuleThread(LPTHREAD_START_ROUTINE proc, void* arg, DWORD* threadId = nullptr);

// Registers a window class whose procedure is in this module (hInstance is
// set to it). A class of that name already registered by this module
// counts as success. Such classes are unregistered by
// UnregisterModuleClasses, which DllMain calls when the DLL is unloaded: a
// class left behind would point into the old image after a reload.
bool RegisterModuleClass(const WNDCLASSA& wc);
void UnregisterModuleClasses();

// Owner of a CRITICAL_SECTION and a scope that holds one.
class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&cs_); }
    ~CriticalSection() { DeleteCriticalSection(&cs_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    void Enter() { EnterCriticalSection(&cs_); }
    void Leave() { LeaveCriticalSection(&cs_); }

private:
    CRITICAL_SECTION cs_;
};

class Lock {
public:
    explicit Lock(CriticalSection& cs) : cs_(cs) { cs_.Enter(); }
    ~Lock() { cs_.Leave(); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CriticalSection& cs_;
};

}  // namespace filterbase
