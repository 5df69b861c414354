#include "framework/RegKey.h"

#include <cstring>
#include <string>

namespace {
bool IsPredefined(HKEY key) {
    // The predefined roots are the small values with the top bit set.
    return (reinterpret_cast<ULONG_PTR>(key) & 0x80000000u) != 0 &&
           reinterpret_cast<ULONG_PTR>(key) <= 0x800000ffu;
}
}  // namespace

RegKey& RegKey::operator=(RegKey&& other) noexcept {
    if (this != &other) {
        Close();
        key_ = std::exchange(other.key_, nullptr);
    }
    return *this;
}

LONG RegKey::Open(HKEY root, const char* subKey, REGSAM access) {
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExA(root, subKey, 0, access, &key);
    if (rc == ERROR_SUCCESS) {
        Close();
        key_ = key;
    }
    return rc;
}

LONG RegKey::Create(HKEY root, const char* subKey, REGSAM access) {
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr);
    if (rc == ERROR_SUCCESS) {
        Close();
        key_ = key;
    }
    return rc;
}

void RegKey::Close() {
    HKEY key = std::exchange(key_, nullptr);
    if (key && !IsPredefined(key)) RegCloseKey(key);
}

LONG RegKey::QueryDword(const char* name, DWORD* value) const {
    if (!key_ || !value) return ERROR_INVALID_HANDLE;
    DWORD type = 0, data = 0, size = sizeof data;
    LONG rc = RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    // A longer value of another type answers "more data": still the wrong kind.
    if (rc == ERROR_MORE_DATA) return ERROR_INVALID_DATA;
    if (rc != ERROR_SUCCESS) return rc;
    if (type != REG_DWORD || size != sizeof data) return ERROR_INVALID_DATA;
    *value = data;
    return ERROR_SUCCESS;
}

LONG RegKey::QueryString(const char* name, char* buf, DWORD capacity) const {
    if (!buf || capacity == 0) return ERROR_INVALID_PARAMETER;
    buf[0] = '\0';
    if (!key_) return ERROR_INVALID_HANDLE;
    DWORD type = 0, size = 0;
    LONG rc = RegQueryValueExA(key_, name, nullptr, &type, nullptr, &size);
    if (rc != ERROR_SUCCESS) return rc;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_DATA;
    // Read the whole value into a buffer of its own size plus a NUL, so a
    // value stored without its terminator still ends where it should.
    std::string data(static_cast<size_t>(size) + 1, '\0');
    DWORD got = size;
    rc = RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &got);
    if (rc != ERROR_SUCCESS) return rc;
    data.resize(got);
    size_t length = data.find('\0');
    if (length == std::string::npos) length = data.size();
    bool cut = length >= capacity;
    if (cut) length = capacity - 1;
    memcpy(buf, data.data(), length);
    buf[length] = '\0';
    return cut ? ERROR_MORE_DATA : ERROR_SUCCESS;
}

LONG RegKey::SetDword(const char* name, DWORD value) {
    if (!key_) return ERROR_INVALID_HANDLE;
    return RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

LONG RegKey::SetString(const char* name, const char* text) {
    if (!key_) return ERROR_INVALID_HANDLE;
    if (!text) text = "";
    return RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(lstrlenA(text) + 1));
}

LONG RegKey::DeleteValue(const char* name) {
    if (!key_) return ERROR_INVALID_HANDLE;
    return RegDeleteValueA(key_, name);
}
