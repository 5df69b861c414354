// The decisions of the schedule run, apart from the window: which line's
// window opens, when the open one ends, what the info line announces and
// when a line's streaming address is due. Everything is a function of the
// lines, the run's state and one clock reading, so it can be driven by a
// simulated clock.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "dialogs/ScheduleFile.h"

// One reading of the clock: the local date and time and the UTC seconds
// since 1970 (which run on through the local clock's daylight-saving
// changes).
struct ScheduleClock {
    int year = 1970, month = 1, day = 1, weekday = 4;  // weekday: Sunday = 0
    int hour = 0, minute = 0, second = 0;
    int64_t utcSeconds = 0;
};

// One item of the main window's list, parsed once when the list changes.
struct ScheduleEntry {
    std::string text;
    bool valid = false;
    ScheduleLine line;
};
std::vector<ScheduleEntry> ParseScheduleEntries(const std::vector<std::string>& texts);

// How the times of the lines are read.
struct ScheduleMode {
    bool relative = false;
    // Relative mode: the moment schedule mode started, in UTC seconds, and
    // the local second of the day at that moment (for the texts shown).
    int64_t stampUtc = 0;
    int stampLocalSeconds = 0;
};

// The line's window as the run sees it: whether the clock is inside it,
// and the day key of the window's start (a window that runs past midnight
// belongs to the day it started).
struct ScheduleWindowView {
    bool inside = false;
    int64_t startDay = 0;
};

// Whether the day text names the date (month/day/year) or holds the
// weekday's name. An empty day text applies every day.
bool ScheduleDayApplies(const std::string& days, int year, int month, int day, int weekday);
// Whether second `clock` of the day lies in [start, end); a line whose
// start is after its end runs across midnight.
bool InScheduleWindow(int clock, int start, int end);
// Days since 1970-01-01 of a date, and back.
int64_t DaysFromCivil(int year, int month, int day);
void CivilFromDays(int64_t days, int* year, int* month, int* day, int* weekday);

// The window of [start, end) at the clock: absolute times against the
// local time of day (the day test on the window's start day), relative
// times against the seconds elapsed since the stamp.
ScheduleWindowView ViewScheduleWindow(const ScheduleLine& line, int start, int end,
                                      const ScheduleMode& mode, const ScheduleClock& clock);

// The time a user reads for a second of a line: itself in absolute mode,
// moved by the stamp's time of day in relative mode.
void ShownScheduleTime(int seconds, const ScheduleMode& mode, char* out, size_t size);

// What the run remembers between ticks.
struct ScheduleRunState {
    bool recording = false;  // a window is being recorded
    std::string activeText;  // the line whose window that is
    int64_t activeOpenedUtc = 0;
    int activeLength = 0;    // seconds; the recording never runs longer
    bool windowOpen = false;
    // Each line opens at most once per window start day: a clock put back
    // (the repeated hour of a fall-back) does not reopen it. Emptied when
    // the user switches schedule mode on.
    std::map<std::string, int64_t> openedOn;
    void Reset() {
        recording = false;
        activeText.clear();
        activeOpenedUtc = 0;
        activeLength = 0;
        windowOpen = false;
        openedOn.clear();
    }
};

// What one tick asks of the window.
struct ScheduleTick {
    bool ended = false;      // the active window ended (pause, or close the file)
    int opened = -1;         // this line's window opens now: resume
    int announceStart = -1;  // after an end: the line whose start to announce
};

// One tick. With `multiFile` an end stops the check (the window closes the
// file and starts anew); otherwise a later line may open in the same tick.
ScheduleTick RunScheduleTick(ScheduleRunState& state, const std::vector<ScheduleEntry>& lines,
                             const ScheduleMode& mode, const ScheduleClock& clock,
                             bool multiFile);

// The line whose start to announce when schedule mode goes on: the first
// line still to come today, or -1. Lines that do not apply today are left
// out.
int NextScheduleStart(const std::vector<ScheduleEntry>& lines, const ScheduleMode& mode,
                      const ScheduleClock& clock);

// A streaming address's due window: from its start less the loading time
// to the end of its line's window.
ScheduleWindowView ViewAddressWindow(const ScheduleLine& line, const ScheduleMode& mode,
                                     const ScheduleClock& clock);

// The page text that hands a media address to the browser, the address
// escaped for HTML.
std::string StreamingUrlPageText(const char* address);
// Whether the address ends in one of the media extensions that are opened
// through the page.
bool IsStreamingMediaAddress(const char* address);
