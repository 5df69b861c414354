// Process-wide state of one of our COM DLLs: the count of live objects and
// server locks that DllCanUnloadNow answers from, and the DLL's own handle.
#pragma once

#include <windows.h>

namespace filterbase {

void LockModule();
void UnlockModule();
bool ModuleInUse();
// The module this code is linked into (the DLL, or the test program).
HMODULE ThisModule();

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
