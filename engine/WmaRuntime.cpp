#include "WmaRuntime.h"

#include <cstring>

namespace {

WmaRuntime g_runtime;
bool g_loaded = false;

template <class F>
void Resolve(HMODULE module, const char* name, F* out) {
    *out = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

bool IsWineBuiltinModule(HMODULE module) {
    if (!module) return false;
    const char* stub = reinterpret_cast<const char*>(module) + 0x40;
    return !memcmp(stub, "Wine builtin DLL", 16) || !memcmp(stub, "Wine placeholder DLL", 20);
}

const WmaRuntime& GetWmaRuntime() {
    if (g_loaded) return g_runtime;
    g_loaded = true;
    HMODULE module = LoadLibraryA("wmvcore.dll");
    if (!module) return g_runtime;
    if (IsWineBuiltinModule(module)) {
        OutputDebugStringA("Windows Media runtime is not usable here\n");
        FreeLibrary(module);
        return g_runtime;
    }
    WmaRuntime r;
    Resolve(module, "WMCreateWriter", &r.CreateWriter);
    Resolve(module, "WMCreateWriterFileSink", &r.CreateWriterFileSink);
    Resolve(module, "WMCreateProfileManager", &r.CreateProfileManager);
    Resolve(module, "WMCreateEditor", &r.CreateEditor);
    // The module stays loaded for the life of the process.
    if (r.Complete()) g_runtime = r;
    return g_runtime;
}

void SetWmaRuntime(const WmaRuntime& runtime) {
    g_runtime = runtime;
    g_loaded = true;
}
