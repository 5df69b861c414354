// The program's settings: named values under HKEY_CURRENT_USER
// "Software\<appTitle>\Parameters". Every accessor opens the key, does its
// one read or write and closes it again; the object holds no handle.
//
// Stored values are somebody else's input: a value of the wrong type, a
// text longer than the caller's buffer, or a number outside the range that
// SettingsTable gives for its name reads as missing (Threshold alone is
// clamped into 0..47). The stored value itself is never changed by a read.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// One row of the table of every value the program keeps.
struct SettingSpec {
    enum Kind : uint8_t { Dword, Text };
    enum Range : uint8_t { AnyValue, Checked, Clamped };
    const char* name;  // the registry value name, spelled as stored
    Kind kind;
    int32_t defaultValue;  // Dword only; texts default to ""
    Range range;
    int32_t minValue;  // inclusive, signed
    int32_t maxValue;
};

extern const SettingSpec SettingsTable[];
extern const size_t SettingsTableCount;
// The row of a value name (exact spelling), or null.
const SettingSpec* FindSetting(const char* name);
// What a stored number means for that name: the value itself when it is in
// range (or clamped into range), false when it must be treated as missing.
bool ValidateSetting(const SettingSpec* spec, int32_t stored, int32_t* result);

class SettingsStore {
public:
    SettingsStore();

    // The program title, the key's middle component.
    char appTitle[64];

    // Texts. Readers give "" when the key or value is missing, is not a
    // text, or does not fit the buffer; the result is always terminated.
    int ReadInstallPath(char* out, size_t capacity);  // at most 200 bytes are used
    int ReadLastName(char* out, size_t capacity);
    int WriteLastName(const char* text);
    int ReadLanguage(char* out, size_t capacity);
    int ReadString(const char* name, char* out, size_t capacity);
    int WriteString(const char* name, const char* text);
    template <size_t N> int ReadInstallPath(char (&out)[N]) { return ReadInstallPath(out, N); }
    template <size_t N> int ReadLastName(char (&out)[N]) { return ReadLastName(out, N); }
    template <size_t N> int ReadLanguage(char (&out)[N]) { return ReadLanguage(out, N); }
    template <size_t N> int ReadString(const char* name, char (&out)[N]) { return ReadString(name, out, N); }

    // Named numbers: a missing or invalid value reads as 0 (Threshold is
    // clamped into 0..47).
    int WriteFreq(DWORD value);
    int WriteBit(DWORD value);
    int WriteChannel(DWORD value);
    int ReadMP3Mode(DWORD* value);
    int WriteMP3Mode(DWORD value);
    int ReadMP3Bitrate(DWORD* value);
    int WriteMP3Bitrate(DWORD value);
    int ReadThreshold(DWORD* value);
    int WriteThreshold(DWORD value);
    int ReadSignalType(DWORD* value);
    int WriteSignalType(DWORD value);
    int ReadNewFileDelay(DWORD* value);
    int WriteNewFileDelay(DWORD value);
    int ReadScheduleType(DWORD* value);
    int WriteScheduleType(DWORD value);
    int ReadBtnMultiFileStatus(DWORD* value);
    int WriteBtnMultiFileStatus(DWORD value);
    int ReadBtnTimeStampedStatus(DWORD* value);
    int WriteBtnTimeStampedStatus(DWORD value);

    // Generic number reader: *value holds the caller's default on entry and
    // keeps it unless a valid value is stored.
    int ReadDword(const char* name, DWORD* value);
    int ReadDword(const char* name, int* value);
    int WriteDword(const char* name, DWORD value);

    // The stored value, or the default of SettingsTable when it is missing
    // or invalid (0 for a name the table does not hold).
    int32_t ReadSetting(const char* name);
    // A stored list index (Device, AudoLine): -1 unless it is 0..count-1.
    int ReadListIndex(const char* name, int count);

    // Readers return 1. Writers return 1 once the value is stored, 0 when
    // the key cannot be opened or created or the write fails.

private:
    bool KeyPath(char (&path)[256]) const;
    // Opens the key for reading; creates it (and answers false) when it is
    // missing, so a first run leaves the key in place.
    bool OpenForRead(HKEY* key);
    bool QueryDword(const char* name, int32_t* value);
    int ReadNamed(const char* name, DWORD* value);
};
