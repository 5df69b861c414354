#include "filters/base/RegistryScript.h"

#include <string>
#include <vector>

namespace filterbase {

namespace {

std::wstring Expand(const wchar_t* text, const wchar_t* modulePath) {
    static const wchar_t kModule[] = L"%MODULE%";
    std::wstring out = text;
    for (size_t at = out.find(kModule); at != std::wstring::npos;
         at = out.find(kModule, at + wcslen(modulePath)))
        out.replace(at, wcslen(kModule), modulePath);
    return out;
}

LONG SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// The full path of keys[i], from the chain of its ancestors in the table.
class PathStack {
public:
    const std::wstring& Enter(const RegScriptKey& key) {
        size_t depth = key.level < 0 ? 0 : static_cast<size_t>(key.level);
        if (paths_.size() > depth) paths_.resize(depth);
        std::wstring path = paths_.empty() ? std::wstring() : paths_.back() + L"\\";
        paths_.push_back(path + key.name);
        return paths_.back();
    }

private:
    std::vector<std::wstring> paths_;
};

LONG WriteKey(const RegScriptKey& key, const std::wstring& path, const wchar_t* modulePath) {
    if (key.flags & RegForceRemove) {
        LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return rc;
    }
    HKEY handle = nullptr;
    LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              &handle, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    if (key.value) rc = SetString(handle, nullptr, Expand(key.value, modulePath));
    if (rc == ERROR_SUCCESS && key.valueName)
        rc = SetString(handle, key.valueName, Expand(key.valueData, modulePath));
    RegCloseKey(handle);
    return rc;
}

}  // namespace

HRESULT RegisterScript(const RegScriptKey* keys, size_t count, const wchar_t* modulePath) {
    PathStack paths;
    for (size_t i = 0; i < count; ++i) {
        LONG rc = WriteKey(keys[i], paths.Enter(keys[i]), modulePath);
        if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
    }
    return S_OK;
}

HRESULT UnregisterScript(const RegScriptKey* keys, size_t count) {
    PathStack paths;
    HRESULT first = S_OK;
    for (size_t i = 0; i < count; ++i) {
        const std::wstring& path = paths.Enter(keys[i]);
        if (keys[i].flags & RegNoRemove) continue;
        LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND && first == S_OK)
            first = HRESULT_FROM_WIN32(rc);
        // Whatever the script lists below this key went with it.
        while (i + 1 < count && keys[i + 1].level > keys[i].level) paths.Enter(keys[++i]);
    }
    return first;
}

}  // namespace filterbase
