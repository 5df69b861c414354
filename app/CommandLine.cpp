#include "app/CommandLine.h"

#include <cctype>
#include <cstring>

#include "framework/DeviceNames.h"
#include "framework/SafeString.h"

CommandLineOptionSet CommandLineOptions;

const int Mp3BitrateTable[16] = {128, 8,  16,  24,  32,  40,  48,  64,
                                 80,  96, 112, 128, 160, 192, 256, 320};
const int CommandLineRates[9] = {8, 11, 12, 16, 22, 24, 32, 44, 48};

namespace {

constexpr size_t kLineLimit = 1024;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The switches a value ends at. A value switch ends the one before it
// wherever it stands ("a.wav-bit 8" always meant the name "a.wav"); a "/"
// switch only after a blank, since a path may be written with "/".
const char* const kValueSwitches[] = {"-filename ", "-frequency ", "-bit ", "-channels ",
                                      "-mp3bitrate "};
const char* const kSlashSwitches[] = {"/r", "/hide"};

// Where the next known switch after `from` begins (its blank included), or
// the end of the text.
const char* ValueEnd(const char* from) {
    const char* end = from + strlen(from);
    for (const char* name : kValueSwitches)
        if (const char* at = strstr(from, name)) {
            while (at > from && IsBlank(at[-1])) --at;
            if (at < end) end = at;
        }
    for (const char* name : kSlashSwitches)
        for (const char* at = strstr(from, name); at && at < end; at = strstr(at + 1, name))
            if (at > from && IsBlank(at[-1])) {
                while (at > from && IsBlank(at[-1])) --at;
                end = at;
                break;
            }
    return end;
}

// The value of a switch: from its end to where the next known switch
// begins, or the end of the text, into `value` (bounded). A name may so
// hold a "-" ("c:\my-recs\a.wav"). False when the switch is not there.
bool SwitchValue(const char* line, const char* name, char* value, size_t capacity) {
    const char* at = strstr(line, name);
    if (!at) return false;
    const char* from = at + strlen(name);
    size_t length = static_cast<size_t>(ValueEnd(from) - from);
    if (length >= capacity) length = capacity - 1;
    memcpy(value, from, length);
    value[length] = '\0';
    return true;
}

// A number never holds a "-": its value ends at the first one, as it
// always did ("-bit -16" gives no number).
void CutAtDash(char* value) {
    if (char* dash = strchr(value, '-')) *dash = '\0';
}

const char* SkipBlanks(const char* s) {
    while (*s && IsBlank(*s)) ++s;
    return s;
}

bool IsEmptyValue(const char* value) { return *SkipBlanks(value) == '\0'; }

// Decimal digits from the start (after blanks); 0 when there are none.
int NumberOf(const char* value) {
    const char* p = SkipBlanks(value);
    long n = 0;
    while (*p >= '0' && *p <= '9' && n < 100000000) n = n * 10 + (*p++ - '0');
    return static_cast<int>(n);
}

bool EndsWith(const char* s, const char* tail) {
    size_t n = strlen(s), t = strlen(tail);
    return n >= t && strcmp(s + n - t, tail) == 0;
}

// Characters no Windows file name may hold; ':' only ends a drive letter.
bool NameWindowsTakes(const char* name) {
    for (const char* p = name; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c < 32 || strchr("<>|?*\"", c)) return false;
        if (c == ':' && p != name + 1) return false;
    }
    return true;
}

// "-filename ": leading and trailing blanks and one pair of surrounding
// quotes go, so a path the shell quoted still counts. Returns why the name
// cannot be used, or FileNameUsable: nothing, a stray quote, an extension
// other than ".wav" or ".mp3", a name longer than the field (a cut name has
// lost its extension anyway), a character Windows refuses, or a device
// name. FileName is then left empty.
int TakeFileName(const char* value, CommandLineOptionSet* out) {
    out->FileName[0] = '\0';
    const char* p = SkipBlanks(value);
    if (!*p) return FileNameUnusable;
    char name[kLineLimit + 1];
    SafeCopy(name, p);
    size_t n = strlen(name);
    while (n > 0 && IsBlank(name[n - 1])) name[--n] = '\0';
    if (n >= 2 && name[0] == '"' && strchr(name + 1, '"') == name + n - 1) {
        name[n - 1] = '\0';
        memmove(name, name + 1, n - 1);
    }
    if (!EndsWith(name, ".wav") && !EndsWith(name, ".mp3")) return FileNameNotWavOrMp3;
    if (strlen(name) >= sizeof out->FileName) return FileNameTooLong;
    if (!NameWindowsTakes(name)) return FileNameUnusable;
    if (IsDeviceFileName(name)) return FileNameIsDevice;
    SafeCopy(out->FileName, name);
    return FileNameUsable;
}

}  // namespace

void ParseCommandLine(const char* text, CommandLineOptionSet* out) {
    out->FileName[0] = '\0';
    out->FileNameRefused = 0;
    out->FileNameProblem = FileNameUsable;
    if (!text || !*text) {
        out->RecordSwitchGiven = 0;
        return;
    }
    char line[kLineLimit + 1];
    SafeCopy(line, text);  // longer lines are cut after 1024 characters
    for (char* p = line; *p; ++p)
        if (*p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p - 'A' + 'a');

    if (strstr(line, "/hide")) out->HideAtStart = 1;

    bool record = true;
    if (strstr(line, "/rst")) out->StartMode = StartSignalAndSchedule;
    else if (strstr(line, "/rs")) out->StartMode = StartSignalRecord;
    else if (strstr(line, "/rt")) out->StartMode = StartSchedule;
    else if (strstr(line, "/r")) out->StartMode = StartRecordNow;
    else record = false;

    out->BitsIndex = -1;
    out->SampleRateIndex = -1;
    out->Mp3BitrateIndex = -1;  // absent: the stored bitrate stays
    out->ChannelsIndex = -1;
    if (!record) {
        out->RecordSwitchGiven = 0;
        return;
    }
    out->RecordSwitchGiven = 1;

    char value[kLineLimit + 1];
    if (SwitchValue(line, "-filename ", value, sizeof value)) {
        out->FileNameProblem = TakeFileName(value, out);
        out->FileNameRefused = out->FileNameProblem != FileNameUsable;
    }
    // Each number's value: its switch's value up to the first "-".
    auto number = [&](const char* name) {
        if (!SwitchValue(line, name, value, sizeof value)) return false;
        CutAtDash(value);
        return !IsEmptyValue(value);
    };
    if (number("-frequency ")) {
        int khz = NumberOf(value);
        for (int i = 0; i < 9; ++i)
            if (CommandLineRates[i] == khz) {
                out->SampleRateIndex = i;
                break;
            }
    }
    if (number("-bit "))
        out->BitsIndex = NumberOf(value) == 16 ? 1 : 0;
    if (number("-channels "))
        out->ChannelsIndex = NumberOf(value) == 1 ? 0 : 1;
    if (number("-mp3bitrate ")) {
        int kbps = NumberOf(value);
        out->Mp3BitrateIndex = 0;
        for (int i = 1; i < 16; ++i)
            if (Mp3BitrateTable[i] == kbps) {
                out->Mp3BitrateIndex = i;
                break;
            }
    }
}
