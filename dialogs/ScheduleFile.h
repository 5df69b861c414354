// The schedule file "TimeSchedule.txt" of the install folder: one timed
// recording a line, "HH:MM:SS - HH:MM:SS[|days][|address[|seconds]]"
// ("||" before an address without day text). The editor writes it, the
// editor and the main window read it; both go through this module so they
// read the same lines the same way.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

// The longest line the editor builds; longer lines are refused there.
constexpr size_t kScheduleLineMaximum = 511;
// A line longer than this is no schedule line the program ever wrote: the
// reader reports it as unreadable instead of holding it.
constexpr size_t kScheduleReadLimit = 64 * 1024;
constexpr int kLoadingTimeMaximum = 100;

// The install folder ("c:\" when it is empty) and "TimeSchedule.txt".
bool MakeScheduleFilePath(const char* installPath, char* out, size_t size);

struct ScheduleFileText {
    bool opened = false;
    // The readable lines, in file order, without their line ends.
    std::vector<std::string> lines;
    std::vector<int> lineNumbers;  // 1-based, in the file, of each kept line
    // Lines holding a NUL or a Ctrl-Z (0x1A), or longer than
    // kScheduleReadLimit: counted, with the 1-based number of the first,
    // but not kept.
    int unreadableCount = 0;
    int firstUnreadable = 0;
    // A NUL byte anywhere: two-byte text such as UTF-16 without its mark.
    bool holdsNul = false;
    // The byte-order mark the file starts with: 8 (UTF-8), 16 (UTF-16,
    // either order; none of its lines is read) or 0 (none, ANSI text).
    // Lines of a UTF-8 file are kept only where they are ASCII.
    int byteOrderMark = 0;
};

// Reads the whole file as bytes (a Ctrl-Z ends nothing). A last line
// without a line end is a line; one trailing "\r" of a line is dropped. A
// missing file gives `opened` false and no lines.
ScheduleFileText ReadScheduleFile(const char* path);
// The same over bytes already in memory.
ScheduleFileText ParseScheduleText(const char* data, size_t size);
// Whether writing the list back may replace the file: only when every
// line of it was read, since anything else would empty it (Unicode text)
// or drop lines the user cannot see.
bool ScheduleFileReplaceable(const ScheduleFileText& text);

// Writes every line and a line end after it into a new file beside
// `path`, then puts it in the old one's place; the old file stays whole
// when anything fails. False on any failure.
bool WriteScheduleFile(const char* path, const std::vector<std::string>& lines);

// The "|"-separated fields of a line: times, days, address and the rest
// (the loading time). `count` is the number of fields present (1 to 4).
struct ScheduleFields {
    std::string times, days, address, rest;
    int count = 1;
    // More than three "|": the address itself held one.
    bool extraBars = false;
};
ScheduleFields SplitScheduleFields(const char* line);

// A line the run can execute.
struct ScheduleLine {
    int startSeconds = 0;  // second of the day, 0..86399
    int endSeconds = 0;
    std::string days;      // empty: every day
    std::string address;   // empty: none
    int loadingSeconds = 0;  // 0..kLoadingTimeMaximum
};

// True when `text` is a schedule line: the times "dd:dd:dd - dd:dd:dd" in
// range, then nothing or "|", at most four fields, a loading time that is
// a number (clamped to 0..100). `out` may be null.
bool ParseScheduleLine(const char* text, ScheduleLine* out);

// "HH:MM:SS" of a second of the day (taken modulo one day).
void FormatScheduleTime(int seconds, char* out, size_t size);
// Reads "HH:MM:SS" in range at `text`; false otherwise.
bool ReadScheduleTime(const char* text, int* seconds);

// A typed address that starts like a host name but has no scheme
// ("www.example.com/a.mp3") gets "http://" in front; others stay as typed.
std::string AddressWithScheme(const std::string& address);

// A date day text "m/d/yyyy" in sane ranges into `date` (the rest zero).
bool ParseScheduleDate(const char* text, SYSTEMTIME* date);

// The whole text of item `index` of a list box of schedule lines ("" when
// there is none).
std::string ScheduleListItem(HWND list, int index);

// The weekday names of day texts, Sunday first.
extern const char* const kScheduleWeekdays[7];
// The day text of the ticked weekdays: their names joined by ",".
std::string WeekdayText(const bool ticked[7]);
