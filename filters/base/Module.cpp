#include "filters/base/Module.h"

namespace filterbase {

namespace {
LONG liveObjects = 0;
}

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

}  // namespace filterbase
