#include "app/CommandLine.h"

#include <cctype>
#include <cstring>

#include "framework/SafeString.h"

CommandLineOptionSet CommandLineOptions;

const int Mp3BitrateTable[16] = {128, 8,  16,  24,  32,  40,  48,  64,
                                 80,  96, 112, 128, 160, 192, 256, 320};
const int CommandLineRates[9] = {8, 11, 12, 16, 22, 24, 32, 44, 48};

namespace {

constexpr size_t kLineLimit = 1024;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The value of a switch: from its end to the next '-' or the end of the
// text, into `value` (bounded). False when the switch is not there.
bool SwitchValue(const char* line, const char* name, char* value, size_t capacity) {
    const char* at = strstr(line, name);
    if (!at) return false;
    const char* from = at + strlen(name);
    const char* to = strchr(from, '-');
    size_t length = to ? static_cast<size_t>(to - from) : strlen(from);
    if (length >= capacity) length = capacity - 1;
    memcpy(value, from, length);
    value[length] = '\0';
    return true;
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

// "-filename ": leading blanks and one pair of surrounding quotes go, so a
// path the shell quoted still counts. Returns false when the name cannot be
// used: nothing, a stray quote, an extension other than ".wav" or ".mp3"
// (a blank before the next switch counts as part of the name), a name
// longer than the field (a cut name has lost its extension anyway), or a
// character Windows refuses. FileName is then left empty.
bool TakeFileName(const char* value, CommandLineOptionSet* out) {
    out->FileName[0] = '\0';
    const char* p = SkipBlanks(value);
    if (!*p) return false;
    char name[kLineLimit + 1];
    SafeCopy(name, p);
    size_t n = strlen(name);
    if (n >= 2 && name[0] == '"') {
        char* close = strchr(name + 1, '"');
        if (close && (close[1] == '\0' || IsBlank(close[1]))) {
            bool onlyBlanksAfter = *SkipBlanks(close + 1) == '\0';
            if (onlyBlanksAfter) {
                *close = '\0';
                memmove(name, name + 1, strlen(name + 1) + 1);
            }
        }
    }
    if (!EndsWith(name, ".wav") && !EndsWith(name, ".mp3")) return false;
    if (strlen(name) >= sizeof out->FileName) return false;
    if (!NameWindowsTakes(name)) return false;
    SafeCopy(out->FileName, name);
    return true;
}

}  // namespace

void ParseCommandLine(const char* text, CommandLineOptionSet* out) {
    out->FileName[0] = '\0';
    out->FileNameRefused = 0;
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
    if (SwitchValue(line, "-filename ", value, sizeof value))
        out->FileNameRefused = !TakeFileName(value, out);
    if (SwitchValue(line, "-frequency ", value, sizeof value) && !IsEmptyValue(value)) {
        int khz = NumberOf(value);
        for (int i = 0; i < 9; ++i)
            if (CommandLineRates[i] == khz) {
                out->SampleRateIndex = i;
                break;
            }
    }
    if (SwitchValue(line, "-bit ", value, sizeof value) && !IsEmptyValue(value))
        out->BitsIndex = NumberOf(value) == 16 ? 1 : 0;
    if (SwitchValue(line, "-channels ", value, sizeof value) && !IsEmptyValue(value))
        out->ChannelsIndex = NumberOf(value) == 1 ? 0 : 1;
    if (SwitchValue(line, "-mp3bitrate ", value, sizeof value) && !IsEmptyValue(value)) {
        int kbps = NumberOf(value);
        out->Mp3BitrateIndex = 0;
        for (int i = 1; i < 16; ++i)
            if (Mp3BitrateTable[i] == kbps) {
                out->Mp3BitrateIndex = i;
                break;
            }
    }
}
