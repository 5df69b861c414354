// Names the calling thread, so a debugger or a bench that splits the
// process's CPU time by thread can tell our threads apart. The call is
// looked up at run time: kernel32 has it only from Windows 10 1607 on, and
// not every Wine has it. Where it is missing this does nothing.
#pragma once

#include <windows.h>

#include "framework/GetProc.h"

inline void NameCurrentThread(const wchar_t* name) {
    using SetThreadDescriptionFn = HRESULT(WINAPI*)(HANDLE, PCWSTR);
    static const SetThreadDescriptionFn set = GetProc<SetThreadDescriptionFn>(
        GetModuleHandleW(L"kernel32.dll"), "SetThreadDescription");
    if (set) set(GetCurrentThread(), name);
}
