// Owner of one registry key (RegCloseKey when it goes; predefined root
// keys are never closed). Open/Create return the Win32 error code.
// Strings read back are cut to the caller's buffer and always terminated,
// whatever the stored value holds (missing NUL, odd length, wrong type).
#pragma once

#include <windows.h>

#include <utility>

class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : key_(key) {}
    ~RegKey() { Close(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    RegKey(RegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    RegKey& operator=(RegKey&& other) noexcept;

    LONG Open(HKEY root, const char* subKey, REGSAM access = KEY_READ);
    LONG Create(HKEY root, const char* subKey, REGSAM access = KEY_READ | KEY_WRITE);
    void Close();
    HKEY Get() const { return key_; }
    HKEY Release() { return std::exchange(key_, nullptr); }
    explicit operator bool() const { return key_ != nullptr; }

    // ERROR_SUCCESS only for a REG_DWORD of 4 bytes.
    LONG QueryDword(const char* name, DWORD* value) const;
    // REG_SZ/REG_EXPAND_SZ into buf (capacity bytes, terminated and cut to
    // fit); ERROR_MORE_DATA when it was cut.
    LONG QueryString(const char* name, char* buf, DWORD capacity) const;
    LONG SetDword(const char* name, DWORD value);
    // Stores the text with its terminating NUL.
    LONG SetString(const char* name, const char* text);
    LONG DeleteValue(const char* name);

private:
    HKEY key_ = nullptr;
};
