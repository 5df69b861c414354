// The settings store against the real registry, with HKEY_CURRENT_USER
// mapped to a scratch key of this process so no user's settings are read
// or touched: defaults on a first run, round trips of every value, and
// stored values that are out of range, of the wrong type or too long.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "framework/RegKey.h"
#include "ui/SettingsStore.h"

namespace {

const char kParameters[] = "Software\\Velorin\\Parameters";

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        snprintf(scratch_, sizeof scratch_, "Software\\BrindleTests\\settings-%lu", GetCurrentProcessId());
        RegDeleteTreeA(HKEY_CURRENT_USER, scratch_);
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, scratch_, &key), ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, key), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void TearDown() override {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegDeleteTreeA(HKEY_CURRENT_USER, scratch_);
    }

    static bool KeyExists() {
        RegKey key;
        return key.Open(HKEY_CURRENT_USER, kParameters) == ERROR_SUCCESS;
    }
    // Plants a raw value, as another program or a hand edit would.
    static void Plant(const char* name, DWORD type, const void* data, DWORD size) {
        RegKey key;
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, kParameters), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }
    static void PlantDword(const char* name, int32_t value) { Plant(name, REG_DWORD, &value, sizeof value); }
    static void PlantText(const char* name, const std::string& text) {
        Plant(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }

    char scratch_[128];
};

TEST_F(SettingsStoreTest, FirstRunCreatesTheKeyAndEveryValueReadsAsItsDefault) {
    SettingsStore store;
    EXPECT_STREQ(store.appTitle, "Velorin");
    ASSERT_FALSE(KeyExists());
    DWORD threshold = 99;
    EXPECT_EQ(store.ReadThreshold(&threshold), 1);
    EXPECT_EQ(threshold, 0u);
    EXPECT_TRUE(KeyExists()) << "the first read leaves the key for the writers";

    DWORD fifty = 50;
    store.ReadDword("Threshold", &fifty);
    EXPECT_EQ(fifty, 50u) << "the generic reader keeps the caller's default";
    int minusOne = -1;
    store.ReadDword("Device", &minusOne);
    EXPECT_EQ(minusOne, -1);

    for (size_t i = 0; i < SettingsTableCount; ++i) {
        const SettingSpec& spec = SettingsTable[i];
        if (spec.kind == SettingSpec::Dword) {
            EXPECT_EQ(store.ReadSetting(spec.name), spec.defaultValue) << spec.name;
        } else {
            char text[1000] = "stale";
            EXPECT_EQ(store.ReadString(spec.name, text), 1);
            EXPECT_STREQ(text, "") << spec.name;
        }
    }
    // Defaults that matter to the user: ask before overwriting, "Other" genre.
    EXPECT_EQ(store.ReadSetting("Alert"), 1);
    EXPECT_EQ(store.ReadSetting("Genre"), 12);
    EXPECT_EQ(store.ReadSetting("LowPass"), 20000);
    EXPECT_EQ(store.ReadSetting("WMAFormat"), -1);
    EXPECT_EQ(store.ReadListIndex("AudoLine", 5), -1);
}

TEST_F(SettingsStoreTest, EveryValueOfTheTableRoundTrips) {
    SettingsStore store;
    for (size_t i = 0; i < SettingsTableCount; ++i) {
        const SettingSpec& spec = SettingsTable[i];
        if (spec.kind == SettingSpec::Dword) {
            // The far end of the range, so nothing reads back by accident.
            int32_t value = spec.range == SettingSpec::AnyValue ? 123456 : spec.maxValue;
            if (value == INT_MAX) value = 7;
            ASSERT_EQ(store.WriteDword(spec.name, static_cast<DWORD>(value)), 1) << spec.name;
            EXPECT_EQ(store.ReadSetting(spec.name), value) << spec.name;
            DWORD generic = 0xdeadbeef;
            store.ReadDword(spec.name, &generic);
            EXPECT_EQ(generic, static_cast<DWORD>(value)) << spec.name;
        } else {
            std::string text = std::string("text of ") + spec.name + ", with \xe9 and \\";
            ASSERT_EQ(store.WriteString(spec.name, text.c_str()), 1) << spec.name;
            char back[1000] = "";
            store.ReadString(spec.name, back);
            EXPECT_EQ(std::string(back), text) << spec.name;
            // A text type (the writer passes its length without the NUL; the
            // system adds the terminator itself when the byte after is NUL).
            RegKey key;
            ASSERT_EQ(key.Open(HKEY_CURRENT_USER, kParameters), ERROR_SUCCESS);
            DWORD type = 0;
            ASSERT_EQ(RegQueryValueExA(key.Get(), spec.name, nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
            EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << spec.name;
        }
    }
}

TEST_F(SettingsStoreTest, NamedAccessorsAndTextsRoundTrip) {
    SettingsStore store;
    struct Pair {
        const char* name;
        int (SettingsStore::*read)(DWORD*);
        int (SettingsStore::*write)(DWORD);
        DWORD value;
    };
    const Pair pairs[] = {
        {"MP3Mode", &SettingsStore::ReadMP3Mode, &SettingsStore::WriteMP3Mode, 2},
        {"MP3Bitrate", &SettingsStore::ReadMP3Bitrate, &SettingsStore::WriteMP3Bitrate, 15},
        {"Threshold", &SettingsStore::ReadThreshold, &SettingsStore::WriteThreshold, 47},
        {"SignalType", &SettingsStore::ReadSignalType, &SettingsStore::WriteSignalType, 2},
        {"NewFileDelay", &SettingsStore::ReadNewFileDelay, &SettingsStore::WriteNewFileDelay, 25},
        {"ScheduleType", &SettingsStore::ReadScheduleType, &SettingsStore::WriteScheduleType, 1},
        {"BtnMultiFileStatus", &SettingsStore::ReadBtnMultiFileStatus, &SettingsStore::WriteBtnMultiFileStatus, 1},
        {"BtnTimeStampedStatus", &SettingsStore::ReadBtnTimeStampedStatus,
         &SettingsStore::WriteBtnTimeStampedStatus, 1},
    };
    for (const Pair& p : pairs) {
        ASSERT_EQ((store.*p.write)(p.value), 1) << p.name;
        DWORD back = 0;
        EXPECT_EQ((store.*p.read)(&back), 1);
        EXPECT_EQ(back, p.value) << p.name;
        DWORD generic = 0;
        store.ReadDword(p.name, &generic);
        EXPECT_EQ(generic, p.value) << p.name << " under its own name";
    }
    ASSERT_EQ(store.WriteFreq(7), 1);
    ASSERT_EQ(store.WriteBit(0), 1);
    ASSERT_EQ(store.WriteChannel(0), 1);
    EXPECT_EQ(store.ReadSetting("Freq"), 7);
    EXPECT_EQ(store.ReadSetting("Bit"), 0);
    EXPECT_EQ(store.ReadSetting("Channel"), 0);

    ASSERT_EQ(store.WriteLastName("abc"), 1);
    char text[1000];
    store.ReadLastName(text);
    EXPECT_STREQ(text, "abc");
    ASSERT_EQ(store.WriteLastName(""), 1);
    store.ReadLastName(text);
    EXPECT_STREQ(text, "") << "an empty text is stored with no bytes at all";

    // A text stored with its NUL by another writer reads the same.
    PlantText("Language", "Deutsch");
    store.ReadLanguage(text);
    EXPECT_STREQ(text, "Deutsch");
    PlantText("InstallPath", "C:\\Program Files\\Brindle");
    char install[200];
    store.ReadInstallPath(install);
    EXPECT_STREQ(install, "C:\\Program Files\\Brindle");
    Plant("PlayFile", REG_EXPAND_SZ, "C:\\x.wav", 9);
    store.ReadString("PlayFile", text);
    EXPECT_STREQ(text, "C:\\x.wav");
}

TEST_F(SettingsStoreTest, OutOfRangeNumbersReadAsDefaultsAndStayStored) {
    SettingsStore store;
    struct Case {
        const char* name;
        int32_t stored;
        int32_t setting;  // ReadSetting: the table default, or clamped
        int32_t generic;  // ReadDword with a caller default of 77
    };
    const Case cases[] = {
        {"Freq", 9, 0, 77},
        {"Freq", -1, 0, 77},
        {"Freq", 8, 8, 8},
        {"MP3Bitrate", 16, 0, 77},
        {"MP3Mode", 3, 0, 77},
        {"Threshold", 60, 47, 47},  // clamped, not replaced
        {"Threshold", -3, 0, 0},
        {"NoiseThreshold", 48, 0, 77},
        {"NewFileDelay", 30, 0, 77},
        {"SignalType", 5, 0, 77},
        {"LowPass", 5000, 20000, 77},
        {"LowPass", 10000, 10000, 10000},
        {"HighPass", 10001, 0, 77},
        {"Genre", 80, 12, 77},
        {"Background Scale", 101, 50, 77},
        {"Background Action", 3, 0, 77},
        {"Volume", 65536, 0, 77},
        {"Device", -5, -1, 77},
        {"Device", 3, 3, 3},
        {"Bit", 2, 1, 77},
        {"WMAFormat", -7, -7, -7},  // any profile number is taken
        {"NotInTheTable", -9, -9, -9},
    };
    for (const Case& c : cases) {
        PlantDword(c.name, c.stored);
        EXPECT_EQ(store.ReadSetting(c.name), c.setting) << c.name << " " << c.stored;
        int generic = 77;
        store.ReadDword(c.name, &generic);
        EXPECT_EQ(generic, c.generic) << c.name << " " << c.stored;
        RegKey key;
        ASSERT_EQ(key.Open(HKEY_CURRENT_USER, kParameters), ERROR_SUCCESS);
        DWORD raw = 0;
        ASSERT_EQ(key.QueryDword(c.name, &raw), ERROR_SUCCESS);
        EXPECT_EQ(static_cast<int32_t>(raw), c.stored) << "a read never rewrites the stored value";
    }
    // Named readers give 0 for what they cannot use.
    DWORD v = 5;
    PlantDword("SignalType", 5);
    store.ReadSignalType(&v);
    EXPECT_EQ(v, 0u);
    PlantDword("Threshold", 60);
    store.ReadThreshold(&v);
    EXPECT_EQ(v, 47u);

    PlantDword("Device", 3);
    EXPECT_EQ(store.ReadListIndex("Device", 4), 3);
    EXPECT_EQ(store.ReadListIndex("Device", 3), -1) << "past the end of a list of three";
    EXPECT_EQ(store.ReadListIndex("Device", 0), -1);
}

TEST_F(SettingsStoreTest, ValuesOfTheWrongTypeReadAsMissing) {
    SettingsStore store;
    const char text[] = "12";
    const BYTE two[2] = {1, 0};
    const BYTE eight[8] = {3, 0, 0, 0, 9, 9, 9, 9};
    struct Case {
        const char* label;
        DWORD type;
        const void* data;
        DWORD size;
    };
    const Case cases[] = {
        {"text under a number", REG_SZ, text, sizeof text},
        {"2-byte binary", REG_BINARY, two, sizeof two},
        {"8-byte binary", REG_BINARY, eight, sizeof eight},
        {"3-byte dword", REG_DWORD, eight, 3},
        {"qword", REG_QWORD, eight, sizeof eight},
    };
    for (const Case& c : cases) {
        Plant("Threshold", c.type, c.data, c.size);
        DWORD named = 99;
        store.ReadThreshold(&named);
        EXPECT_EQ(named, 0u) << c.label;
        DWORD generic = 31;
        store.ReadDword("Threshold", &generic);
        EXPECT_EQ(generic, 31u) << c.label;
        EXPECT_EQ(store.ReadSetting("Threshold"), 0) << c.label;
    }
    PlantDword("LastName", 7);
    char out[1000] = "stale";
    store.ReadLastName(out);
    EXPECT_STREQ(out, "");
    Plant("Artist", REG_BINARY, "abc", 3);
    store.ReadString("Artist", out);
    EXPECT_STREQ(out, "");
    Plant("Title", REG_MULTI_SZ, "a\0b\0", 5);
    store.ReadString("Title", out);
    EXPECT_STREQ(out, "");
}

TEST_F(SettingsStoreTest, TextsLongerThanTheBufferReadAsMissingWithoutOverrun) {
    SettingsStore store;
    struct Case {
        const char* name;
        size_t stored;     // characters stored
        size_t capacity;   // the caller's buffer
        bool readsWhole;   // or "" when it does not fit
    };
    const Case cases[] = {
        {"LastName", 5000, 1000, false},
        {"LastName", 999, 1000, true},
        {"LastName", 1000, 1000, false},
        {"InstallPath", 200, 200, false},
        {"InstallPath", 199, 200, true},
        {"InstallPath", 250, 1000, false},  // at most 200 bytes are ever taken
        {"Artist", 30, 31, true},
        {"Artist", 31, 31, false},
        {"Year", 5, 5, false},
    };
    for (const Case& c : cases) {
        const std::string text(c.stored, 'p');
        PlantText(c.name, text);
        std::string buffer(c.capacity + 16, '#');  // canary bytes after the buffer
        char* out = &buffer[0];
        if (strcmp(c.name, "InstallPath") == 0)
            store.ReadInstallPath(out, c.capacity);
        else
            store.ReadString(c.name, out, c.capacity);
        EXPECT_EQ(std::string(out), c.readsWhole ? text : std::string()) << c.name << " " << c.stored;
        EXPECT_EQ(buffer.substr(c.capacity), std::string(16, '#')) << c.name << " " << c.stored;
    }
    // A stored text without a NUL that exactly fills the buffer's room.
    Plant("Album", REG_SZ, "abcd", 4);
    char album[5];
    store.ReadString("Album", album);
    EXPECT_STREQ(album, "abcd");
}

TEST_F(SettingsStoreTest, WritersCreateAMissingKeyAndReportFailure) {
    SettingsStore store;
    ASSERT_FALSE(KeyExists());
    EXPECT_EQ(store.WriteDword("Volume", 300), 1) << "a write before any read still lands";
    EXPECT_EQ(store.ReadSetting("Volume"), 300);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Velorin");
    EXPECT_EQ(store.WriteString("PlayFile", "C:\\a.wav"), 1) << "key deleted while the program runs";
    char text[1000];
    store.ReadString("PlayFile", text);
    EXPECT_STREQ(text, "C:\\a.wav");

    EXPECT_EQ(store.WriteDword("Freq", 3), 1);
    // Another title is another key: nothing leaks between programs.
    SettingsStore second;
    strcpy(second.appTitle, "VelorinSecond");
    EXPECT_EQ(second.ReadSetting("Freq"), 0);
    EXPECT_EQ(second.WriteDword("Freq", 5), 1);
    EXPECT_EQ(store.ReadSetting("Freq"), 3);
    EXPECT_EQ(second.ReadSetting("Freq"), 5);
}

}  // namespace
