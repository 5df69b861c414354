#include "ui/SettingsStore.h"

#include <climits>
#include <cstring>

#include "framework/RegKey.h"
#include "framework/SafeString.h"

namespace {

constexpr SettingSpec Text(const char* name) {
    return {name, SettingSpec::Text, 0, SettingSpec::AnyValue, 0, 0};
}
constexpr SettingSpec Number(const char* name, int32_t def, int32_t lo, int32_t hi) {
    return {name, SettingSpec::Dword, def, SettingSpec::Checked, lo, hi};
}
constexpr SettingSpec AnyNumber(const char* name, int32_t def) {
    return {name, SettingSpec::Dword, def, SettingSpec::AnyValue, 0, 0};
}
constexpr SettingSpec Flag(const char* name, int32_t def) { return Number(name, def, 0, 1); }

// The longest InstallPath the program takes (its buffers hold 200 bytes).
constexpr size_t kInstallPathBytes = 200;

}  // namespace

// Every value the program keeps, with its default and the range a stored
// number must lie in to be used; several are table indexes further on.
const SettingSpec SettingsTable[] = {
    Text("InstallPath"),
    Text("LastName"),
    Text("Language"),
    Text("PlayFile"),
    Text("Ability"),
    Text("Artist"),
    Text("Album"),
    Text("Title"),
    Text("Year"),
    Text("Background File"),
    Text("WMAAlbum"),
    Text("WMAArtist"),
    Text("WMATitle"),
    Text("WMAComposer"),
    Text("WMACopyright"),
    Text("WMADescription"),
    Number("Freq", 0, 0, 8),  // index into the nine sample rates
    Flag("Bit", 1),
    Flag("Channel", 1),
    Number("Device", -1, -1, INT_MAX),    // the caller checks the upper end
    Number("AudoLine", -1, -1, INT_MAX),  // against its own list
    Flag("ShowSwitch", 0),
    Number("Volume", 0, 0, 65535),
    Number("MP3Mode", 0, 0, 2),
    Number("MP3Bitrate", 0, 0, 15),  // index into the 16 bitrates
    Flag("CRC", 0),
    Flag("Original", 0),
    Flag("Copyright", 0),
    Flag("Private", 0),
    Flag("ID3", 0),
    Number("Genre", 12, 0, 79),  // 12 is "Other"
    {"Threshold", SettingSpec::Dword, 0, SettingSpec::Clamped, 0, 47},
    Number("SignalType", 0, 0, 2),
    Number("NewFileDelay", 0, 0, 25),
    Flag("ScheduleType", 0),
    Flag("BtnMultiFileStatus", 0),
    Flag("BtnTimeStampedStatus", 0),
    Flag("Alert", 1),  // ask before an output file is overwritten
    Number("NoiseThreshold", 0, 0, 47),
    Number("ReleaseTime", 0, 0, 25),
    Number("AttackTime", 0, 0, 25),
    Number("LowPass", 20000, 10000, 20000),
    Number("HighPass", 0, 0, 10000),
    Number("Background Scale", 50, 0, 100),
    Number("Background Channel", 0, 0, 2),
    Number("Recording Channel", 0, 0, 2),
    Number("Vocal Channel", 0, 0, 2),
    Flag("Remove Voice", 0),
    Flag("Background Enable Preview", 1),
    Number("Background Action", 0, 0, 2),
    AnyNumber("WMAGenre", 0),    // an index past the genre list names no genre
    AnyNumber("WMAFormat", -1),  // a profile number; -1 none chosen
};
const size_t SettingsTableCount = sizeof SettingsTable / sizeof SettingsTable[0];

const SettingSpec* FindSetting(const char* name) {
    if (!name) return nullptr;
    for (const SettingSpec& spec : SettingsTable)
        if (strcmp(spec.name, name) == 0) return &spec;
    return nullptr;
}

bool ValidateSetting(const SettingSpec* spec, int32_t stored, int32_t* result) {
    if (!spec || spec->range == SettingSpec::AnyValue) {
        *result = stored;
        return true;
    }
    if (stored >= spec->minValue && stored <= spec->maxValue) {
        *result = stored;
        return true;
    }
    if (spec->range == SettingSpec::Clamped) {
        *result = stored < spec->minValue ? spec->minValue : spec->maxValue;
        return true;
    }
    return false;
}

SettingsStore::SettingsStore() { SafeCopy(appTitle, "Velorin"); }

bool SettingsStore::KeyPath(char (&path)[256]) const {
    return SafeFormat(path, "Software\\%s\\Parameters", appTitle);
}

bool SettingsStore::OpenForRead(HKEY* out) {
    *out = nullptr;
    char path[256];
    if (!KeyPath(path)) return false;
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key);
    if (rc == ERROR_SUCCESS) {
        *out = key;
        return true;
    }
    if (rc == ERROR_FILE_NOT_FOUND) {
        // First run: leave the key in place for the writers; nothing to read.
        RegKey created;
        created.Create(HKEY_CURRENT_USER, path, KEY_WRITE);
    }
    return false;
}

bool SettingsStore::QueryDword(const char* name, int32_t* value) {
    HKEY raw = nullptr;
    if (!OpenForRead(&raw)) return false;
    RegKey key(raw);
    DWORD stored = 0;
    if (key.QueryDword(name, &stored) != ERROR_SUCCESS) return false;
    return ValidateSetting(FindSetting(name), static_cast<int32_t>(stored), value);
}

int SettingsStore::ReadString(const char* name, char* out, size_t capacity) {
    if (!out || capacity == 0) return 1;
    out[0] = '\0';
    HKEY raw = nullptr;
    if (!OpenForRead(&raw)) return 1;
    RegKey key(raw);
    DWORD room = capacity > MAXDWORD ? MAXDWORD : static_cast<DWORD>(capacity);
    // A text cut to fit would be a different path or name: treat it as missing.
    if (key.QueryString(name, out, room) != ERROR_SUCCESS) out[0] = '\0';
    return 1;
}

int SettingsStore::WriteString(const char* name, const char* text) {
    char path[256];
    if (!KeyPath(path)) return 0;
    RegKey key;
    if (key.Create(HKEY_CURRENT_USER, path, KEY_SET_VALUE) != ERROR_SUCCESS) return 0;
    if (!text) text = "";
    // Stored without the terminating NUL; readers end the text at the
    // returned length, so both forms read back alike.
    LONG rc = RegSetValueExA(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                             static_cast<DWORD>(strlen(text)));
    return rc == ERROR_SUCCESS ? 1 : 0;
}

int SettingsStore::WriteDword(const char* name, DWORD value) {
    char path[256];
    if (!KeyPath(path)) return 0;
    RegKey key;
    if (key.Create(HKEY_CURRENT_USER, path, KEY_SET_VALUE) != ERROR_SUCCESS) return 0;
    return key.SetDword(name, value) == ERROR_SUCCESS ? 1 : 0;
}

int SettingsStore::ReadInstallPath(char* out, size_t capacity) {
    return ReadString("InstallPath", out, capacity < kInstallPathBytes ? capacity : kInstallPathBytes);
}
int SettingsStore::ReadLastName(char* out, size_t capacity) { return ReadString("LastName", out, capacity); }
int SettingsStore::WriteLastName(const char* text) { return WriteString("LastName", text); }
int SettingsStore::ReadLanguage(char* out, size_t capacity) { return ReadString("Language", out, capacity); }

int SettingsStore::ReadDword(const char* name, DWORD* value) {
    int32_t found = 0;
    if (value && QueryDword(name, &found)) *value = static_cast<DWORD>(found);
    return 1;
}

int SettingsStore::ReadDword(const char* name, int* value) {
    int32_t found = 0;
    if (value && QueryDword(name, &found)) *value = found;
    return 1;
}

int32_t SettingsStore::ReadSetting(const char* name) {
    const SettingSpec* spec = FindSetting(name);
    int32_t value = spec ? spec->defaultValue : 0;
    QueryDword(name, &value);
    return value;
}

int SettingsStore::ReadListIndex(const char* name, int count) {
    int32_t value = -1;
    if (!QueryDword(name, &value) || value < 0 || value >= count) return -1;
    return value;
}

int SettingsStore::ReadNamed(const char* name, DWORD* value) {
    if (!value) return 1;
    *value = 0;
    return ReadDword(name, value);
}

int SettingsStore::WriteFreq(DWORD value) { return WriteDword("Freq", value); }
int SettingsStore::WriteBit(DWORD value) { return WriteDword("Bit", value); }
int SettingsStore::WriteChannel(DWORD value) { return WriteDword("Channel", value); }
int SettingsStore::ReadMP3Mode(DWORD* value) { return ReadNamed("MP3Mode", value); }
int SettingsStore::WriteMP3Mode(DWORD value) { return WriteDword("MP3Mode", value); }
int SettingsStore::ReadMP3Bitrate(DWORD* value) { return ReadNamed("MP3Bitrate", value); }
int SettingsStore::WriteMP3Bitrate(DWORD value) { return WriteDword("MP3Bitrate", value); }
int SettingsStore::ReadThreshold(DWORD* value) { return ReadNamed("Threshold", value); }
int SettingsStore::WriteThreshold(DWORD value) { return WriteDword("Threshold", value); }
int SettingsStore::ReadSignalType(DWORD* value) { return ReadNamed("SignalType", value); }
int SettingsStore::WriteSignalType(DWORD value) { return WriteDword("SignalType", value); }
int SettingsStore::ReadNewFileDelay(DWORD* value) { return ReadNamed("NewFileDelay", value); }
int SettingsStore::WriteNewFileDelay(DWORD value) { return WriteDword("NewFileDelay", value); }
int SettingsStore::ReadScheduleType(DWORD* value) { return ReadNamed("ScheduleType", value); }
int SettingsStore::WriteScheduleType(DWORD value) { return WriteDword("ScheduleType", value); }
int SettingsStore::ReadBtnMultiFileStatus(DWORD* value) { return ReadNamed("BtnMultiFileStatus", value); }
int SettingsStore::WriteBtnMultiFileStatus(DWORD value) { return WriteDword("BtnMultiFileStatus", value); }
int SettingsStore::ReadBtnTimeStampedStatus(DWORD* value) { return ReadNamed("BtnTimeStampedStatus", value); }
int SettingsStore::WriteBtnTimeStampedStatus(DWORD value) { return WriteDword("BtnTimeStampedStatus", value); }
