// Typed GetProcAddress: GetProc<decltype(&beInitStream)>(module, "beInitStream").
// Null when the module is null or lacks the name. The cast goes through
// void* because function pointer types of different shapes do not convert.
#pragma once

#include <windows.h>

template <class F>
F GetProc(HMODULE module, const char* name) {
    FARPROC p = module ? ::GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<F>(reinterpret_cast<void*>(p));
}
