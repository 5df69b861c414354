// Registry scripts of our COM DLLs: a table of keys under
// HKEY_CLASSES_ROOT, each one level below the nearest key before it with a
// smaller level, with a default value and at most one named value (REG_SZ).
// "%MODULE%" in a value stands for the DLL's path.
#pragma once

#include <windows.h>

#include <cstddef>

namespace filterbase {

enum RegKeyFlags : unsigned {
    // Replaced whole when registering, so nothing of an older registration
    // survives under it.
    RegForceRemove = 1,
    // A shared key (such as CLSID): never removed; the keys listed under it
    // are.
    RegNoRemove = 2,
};

struct RegScriptKey {
    int level;                // 0: directly under HKEY_CLASSES_ROOT
    const wchar_t* name;
    const wchar_t* value;     // default value, or nullptr for none
    unsigned flags;           // RegKeyFlags
    const wchar_t* valueName; // a named value, or nullptr
    const wchar_t* valueData;
};

// Creates the keys and writes their values. Stops at the first failure and
// returns it (what was written before stays).
HRESULT RegisterScript(const RegScriptKey* keys, size_t count, const wchar_t* modulePath);
// Removes each key of the script (with everything below it) unless it is
// marked RegNoRemove. Keys already gone are no failure; the first other
// failure is returned after the rest has been tried.
HRESULT UnregisterScript(const RegScriptKey* keys, size_t count);

template <size_t N>
HRESULT RegisterScript(const RegScriptKey (&keys)[N], const wchar_t* modulePath) {
    return RegisterScript(keys, N, modulePath);
}
template <size_t N>
HRESULT UnregisterScript(const RegScriptKey (&keys)[N]) {
    return UnregisterScript(keys, N);
}

}  // namespace filterbase
