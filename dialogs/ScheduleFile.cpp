#include "dialogs/ScheduleFile.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/SafeString.h"
#include "ui/XmlDocument.h"

namespace {

// Gathers characters into lines; shared by the file reader and the
// in-memory one so both split alike.
class LineGatherer {
public:
    explicit LineGatherer(ScheduleFileText& text) : text_(text) {}

    // Takes the next block of the file; the first block decides about a
    // byte-order mark.
    void Put(const unsigned char* data, size_t size) {
        size_t i = 0;
        if (first_) {
            first_ = false;
            if (size >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF))) {
                // Two bytes a character: every line would hold NULs. The
                // whole file counts as one unreadable line.
                text_.byteOrderMark = 16;
                text_.unreadableCount = 1;
                text_.firstUnreadable = 1;
                return;
            }
            if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
                text_.byteOrderMark = 8;
                i = 3;
            }
        }
        if (text_.byteOrderMark == 16) return;
        for (; i < size; ++i) Put(data[i]);
    }

    void Put(int c) {
        if (c == '\n') {
            EndLine();
            return;
        }
        pending_ = true;
        if (c == '\0') text_.holdsNul = true;
        if (bad_) return;
        // A UTF-8 line reads as its ANSI text only while it is ASCII.
        const bool foreign = text_.byteOrderMark == 8 && c >= 0x80;
        if (c == '\0' || c == 0x1A || foreign || line_.size() >= kScheduleReadLimit) {
            bad_ = true;
            line_.clear();
            line_.shrink_to_fit();
            return;
        }
        line_.push_back(static_cast<char>(c));
    }

    void Finish() {
        if (pending_) EndLine();
    }

private:
    void EndLine() {
        ++number_;
        if (bad_) {
            if (text_.unreadableCount++ == 0) text_.firstUnreadable = number_;
        } else {
            if (!line_.empty() && line_.back() == '\r') line_.pop_back();
            text_.lines.push_back(line_);
            text_.lineNumbers.push_back(number_);
        }
        line_.clear();
        bad_ = false;
        pending_ = false;
    }

    ScheduleFileText& text_;
    std::string line_;
    bool first_ = true;
    bool bad_ = false;
    bool pending_ = false;
    int number_ = 0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal loading time: optional blanks, an optional sign, digits,
// optional blanks. Clamped to 0..kLoadingTimeMaximum.
bool ReadLoadingTime(const std::string& text, int* out) {
    const char* p = text.c_str();
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == '\0') {
        *out = 0;
        return true;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (!IsDigit(*p)) return false;
    long value = 0;
    while (IsDigit(*p)) {
        if (value <= kLoadingTimeMaximum) value = value * 10 + (*p - '0');
        ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;
    if (*p != '\0') return false;
    if (negative) value = 0;
    *out = value > kLoadingTimeMaximum ? kLoadingTimeMaximum : static_cast<int>(value);
    return true;
}

}  // namespace

bool MakeScheduleFilePath(const char* installPath, char* out, size_t size) {
    char folder[400];
    const bool folderOk = MakeDocumentsFolder(installPath, folder, sizeof folder);
    if (!SafeCopy(out, size, folder)) return false;
    return SafeAppend(out, size, "TimeSchedule.txt") && folderOk;
}

ScheduleFileText ParseScheduleText(const char* data, size_t size) {
    ScheduleFileText text;
    text.opened = true;
    LineGatherer gather(text);
    gather.Put(reinterpret_cast<const unsigned char*>(data), size);
    gather.Finish();
    return text;
}

ScheduleFileText ReadScheduleFile(const char* path) {
    ScheduleFileText text;
    // Bytes, not text mode: text mode ends the file at the first Ctrl-Z,
    // and the lines behind it would vanish from the list and the file.
    FILE* file = fopen(path, "rb");
    if (!file) return text;
    text.opened = true;
    LineGatherer gather(text);
    // Read in blocks: a character at a time costs a stream lock per byte,
    // which a large or hostile file turns into seconds. The first block
    // holds a whole byte-order mark: fread fills it unless the file ends.
    unsigned char block[16384];
    for (size_t got; (got = fread(block, 1, sizeof block, file)) > 0;) gather.Put(block, got);
    gather.Finish();
    fclose(file);
    return text;
}

bool ScheduleFileReplaceable(const ScheduleFileText& text) { return text.unreadableCount == 0; }

bool WriteScheduleFile(const char* path, const std::vector<std::string>& lines) {
    // A file the user marked read-only stays as it is, whatever the file
    // system would let a rename do to it.
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
    char temporary[MAX_PATH + 8];
    if (!SafeFormat(temporary, "%s.new", path)) return false;
    FILE* file = fopen(temporary, "wt");
    if (!file) return false;
    bool ok = true;
    for (const std::string& line : lines) {
        if (fputs(line.c_str(), file) < 0 || fputs("\n", file) < 0) {
            ok = false;
            break;
        }
    }
    if (fclose(file) != 0) ok = false;
    if (ok) ok = MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING) != 0;
    if (!ok) DeleteFileA(temporary);
    return ok;
}

ScheduleFields SplitScheduleFields(const char* line) {
    ScheduleFields fields;
    std::string* parts[] = {&fields.times, &fields.days, &fields.address, &fields.rest};
    int index = 0;
    for (const char* p = line; *p; ++p) {
        if (*p == '|') {
            if (index < 3) {
                ++index;
                continue;
            }
            fields.extraBars = true;
        }
        parts[index]->push_back(*p);
    }
    fields.count = index + 1;
    return fields;
}

bool ReadScheduleTime(const char* text, int* seconds) {
    for (int i = 0; i < 8; ++i) {
        if (i == 2 || i == 5) {
            if (text[i] != ':') return false;
        } else if (!IsDigit(text[i])) {
            return false;
        }
    }
    const int h = (text[0] - '0') * 10 + (text[1] - '0');
    const int m = (text[3] - '0') * 10 + (text[4] - '0');
    const int s = (text[6] - '0') * 10 + (text[7] - '0');
    if (h > 23 || m > 59 || s > 59) return false;
    *seconds = h * 3600 + m * 60 + s;
    return true;
}

bool ParseScheduleLine(const char* text, ScheduleLine* out) {
    if (!text || strlen(text) < 19) return false;
    ScheduleLine line;
    // Each check stops at the first NUL, so a short text is never read past.
    if (!ReadScheduleTime(text, &line.startSeconds)) return false;
    if (strncmp(text + 8, " - ", 3) != 0) return false;
    if (!ReadScheduleTime(text + 11, &line.endSeconds)) return false;
    if (text[19] != '\0' && text[19] != '|') return false;
    const ScheduleFields fields = SplitScheduleFields(text);
    if (fields.extraBars) return false;
    line.days = fields.days;
    line.address = fields.address;
    if (fields.count >= 4 && !ReadLoadingTime(fields.rest, &line.loadingSeconds)) return false;
    if (out) *out = std::move(line);
    return true;
}

void FormatScheduleTime(int seconds, char* out, size_t size) {
    seconds %= 86400;
    if (seconds < 0) seconds += 86400;
    snprintf(out, size, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
}

std::string AddressWithScheme(const std::string& address) {
    if (address.find("://") != std::string::npos) return address;
    const size_t hostEnd = address.find('/');
    const std::string host = address.substr(0, hostEnd);
    if (host.empty() || host.find('.') == std::string::npos) return address;
    for (char c : host) {
        const bool hostChar = IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                              c == '.' || c == '-' || c == ':';
        if (!hostChar) return address;
    }
    // "c:" alone before the rest is a drive, not a host.
    if (host.size() >= 2 && host[1] == ':') return address;
    return "http://" + address;
}

bool ParseScheduleDate(const char* text, SYSTEMTIME* date) {
    int month = 0, day = 0, year = 0;
    char rest = 0;
    if (sscanf(text, "%d/%d/%d%c", &month, &day, &year, &rest) != 3) return false;
    if (month < 1 || month > 12 || day < 1 || day > 31 || year < 1753 || year > 9999) return false;
    *date = SYSTEMTIME{};
    date->wYear = static_cast<WORD>(year);
    date->wMonth = static_cast<WORD>(month);
    date->wDay = static_cast<WORD>(day);
    return true;
}

std::string ScheduleListItem(HWND list, int index) {
    // Lines have no fixed length: ask for it first.
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length < 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT got = SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(&text[0]));
    text.resize(got == LB_ERR || got < 0 ? 0 : std::min(static_cast<size_t>(got), text.size() - 1));
    return text;
}

const char* const kScheduleWeekdays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

std::string WeekdayText(const bool ticked[7]) {
    std::string text;
    for (int i = 0; i < 7; ++i) {
        if (!ticked[i]) continue;
        if (!text.empty()) text += ",";
        text += kScheduleWeekdays[i];
    }
    return text;
}
