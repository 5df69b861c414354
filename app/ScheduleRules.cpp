#include "app/ScheduleRules.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

const char* const kStreamingExtensionList[] = {
    "mp3", "m3u", "wav", "mpg", "mpeg", "mpv", "mps", "m2v", "m1v", "mpe", "mpa",
    "avi", "mp4", "m4e", "rt", "ra", "rm", "rmvb", "rp", "rv", "wma", "wmv",
    "wax", "asx", "asf", "wm", "wmx", "wvx", "mov", "qt", "aac", "m4a", "m4p",
    "mp2", "mp1", "mpga", "pls", "xpl", "smi", "smil", "ssm", "sdp", "au", "aif",
    "aiff", "mid", "midi", "rmi", "acp", "rpl", "3gp", "amr", "awb", "3g2"};

int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

int SecondOfDay(const ScheduleClock& clock) {
    return clock.hour * 3600 + clock.minute * 60 + clock.second;
}

// Where the clock stands in the schedule's day: the local time of day, or
// in relative mode the seconds since the stamp within their day (`day`
// gets the day key).
int ClockPosition(const ScheduleMode& mode, const ScheduleClock& clock, int64_t* day) {
    if (mode.relative) {
        const int64_t elapsed = clock.utcSeconds - mode.stampUtc;
        *day = FloorDiv(elapsed, 86400);
        return static_cast<int>(elapsed - *day * 86400);
    }
    *day = DaysFromCivil(clock.year, clock.month, clock.day);
    return SecondOfDay(clock);
}

// The next line after `from` (or the first, for -1) that is a schedule line
// applying today, or -1.
int NextApplicableLine(const std::vector<ScheduleEntry>& lines, int from,
                       const ScheduleClock& clock) {
    for (size_t i = static_cast<size_t>(from + 1); i < lines.size(); ++i) {
        const ScheduleEntry& e = lines[i];
        if (e.valid && ScheduleDayApplies(e.line.days, clock.year, clock.month, clock.day,
                                          clock.weekday))
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

std::vector<ScheduleEntry> ParseScheduleEntries(const std::vector<std::string>& texts) {
    std::vector<ScheduleEntry> entries(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        entries[i].text = texts[i];
        entries[i].valid = ParseScheduleLine(texts[i].c_str(), &entries[i].line);
    }
    return entries;
}

bool ScheduleDayApplies(const std::string& days, int year, int month, int day, int weekday) {
    if (days.empty()) return true;
    // Only a date holds "/"; formatting one for every line of every tick
    // would cost the user-interface thread most of the tick.
    if (days.find('/') != std::string::npos) {
        char date[40];
        snprintf(date, sizeof date, "%d/%d/%d", month, day, year);
        if (days == date) return true;
    }
    return weekday >= 0 && weekday < 7 && days.find(kScheduleWeekdays[weekday]) != std::string::npos;
}

bool InScheduleWindow(int clock, int start, int end) {
    if (start <= end) return clock >= start && clock < end;
    return clock >= start || clock < end;
}

int64_t DaysFromCivil(int year, int month, int day) {
    const int64_t y = static_cast<int64_t>(year) - (month <= 2);
    const int64_t era = FloorDiv(y, 400);
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t days, int* year, int* month, int* day, int* weekday) {
    const int64_t z = days + 719468;
    const int64_t era = FloorDiv(z, 146097);
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    *year = static_cast<int>(yoe + era * 400 + (m <= 2));
    *month = m;
    *day = d;
    // 1970-01-01 was a Thursday.
    *weekday = static_cast<int>(((days % 7) + 11) % 7);
}

ScheduleWindowView ViewScheduleWindow(const ScheduleLine& line, int start, int end,
                                      const ScheduleMode& mode, const ScheduleClock& clock) {
    ScheduleWindowView view;
    int64_t day;
    const int position = ClockPosition(mode, clock, &day);
    if (!InScheduleWindow(position, start, end)) return view;
    // The part after midnight of a window that began the day before.
    view.startDay = start > end && position < end ? day - 1 : day;
    bool applies;
    if (mode.relative || view.startDay == day) {
        applies = ScheduleDayApplies(line.days, clock.year, clock.month, clock.day, clock.weekday);
    } else {
        int y, m, d, w;
        CivilFromDays(view.startDay, &y, &m, &d, &w);
        applies = ScheduleDayApplies(line.days, y, m, d, w);
    }
    view.inside = applies;
    return view;
}

void ShownScheduleTime(int seconds, const ScheduleMode& mode, char* out, size_t size) {
    FormatScheduleTime(mode.relative ? seconds + mode.stampLocalSeconds : seconds, out, size);
}

ScheduleTick RunScheduleTick(ScheduleRunState& state, const std::vector<ScheduleEntry>& lines,
                             const ScheduleMode& mode, const ScheduleClock& clock,
                             bool multiFile) {
    ScheduleTick tick;
    if (state.recording) {
        // The active line is found by its text: the list may have been
        // re-sorted or reloaded since it opened.
        int active = -1;
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].valid && lines[i].text == state.activeText) {
                active = static_cast<int>(i);
                break;
            }
        bool stays = false;
        if (active >= 0) {
            const ScheduleLine& line = lines[static_cast<size_t>(active)].line;
            const int64_t elapsed = clock.utcSeconds - state.activeOpenedUtc;
            stays = ViewScheduleWindow(line, line.startSeconds, line.endSeconds, mode, clock)
                        .inside &&
                    elapsed >= 0 && elapsed < state.activeLength;
        }
        if (stays) {
            state.windowOpen = true;
            return tick;
        }
        state.recording = false;
        state.activeText.clear();
        tick.ended = true;
        tick.announceStart = NextApplicableLine(lines, active, clock);
        if (active < 0) tick.announceStart = NextScheduleStart(lines, mode, clock);
        state.windowOpen = false;
        if (multiFile) return tick;
    }
    state.windowOpen = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const ScheduleEntry& e = lines[i];
        if (!e.valid) continue;
        const ScheduleWindowView view =
            ViewScheduleWindow(e.line, e.line.startSeconds, e.line.endSeconds, mode, clock);
        if (!view.inside) continue;
        auto opened = state.openedOn.find(e.text);
        if (opened != state.openedOn.end() && opened->second == view.startDay) continue;
        // What is left of the window from now on; the recording never
        // runs longer, whatever the local clock does meanwhile.
        int64_t day;
        const int position = ClockPosition(mode, clock, &day);
        state.recording = true;
        state.activeText = e.text;
        state.activeOpenedUtc = clock.utcSeconds;
        state.activeLength = ((e.line.endSeconds - position) % 86400 + 86400) % 86400;
        state.openedOn[e.text] = view.startDay;
        state.windowOpen = true;
        tick.opened = static_cast<int>(i);
        return tick;
    }
    return tick;
}

int NextScheduleStart(const std::vector<ScheduleEntry>& lines, const ScheduleMode& mode,
                      const ScheduleClock& clock) {
    int64_t day;
    const int position = ClockPosition(mode, clock, &day);
    int previous = -1;
    for (int i = NextApplicableLine(lines, -1, clock); i >= 0;
         i = NextApplicableLine(lines, i, clock)) {
        const ScheduleLine& line = lines[static_cast<size_t>(i)].line;
        if (previous < 0) {
            if (position < line.startSeconds) return i;
        } else if (position >= lines[static_cast<size_t>(previous)].line.endSeconds &&
                   position <= line.startSeconds) {
            return i;
        }
        previous = i;
    }
    return -1;
}

ScheduleWindowView ViewAddressWindow(const ScheduleLine& line, const ScheduleMode& mode,
                                     const ScheduleClock& clock) {
    const int opening = ((line.startSeconds - line.loadingSeconds) % 86400 + 86400) % 86400;
    return ViewScheduleWindow(line, opening, line.endSeconds, mode, clock);
}

std::string StreamingUrlPageText(const char* address) {
    std::string escaped;
    for (const char* p = address; *p; ++p) {
        switch (*p) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        default: escaped += *p; break;
        }
    }
    return "<html><head><title>Streaming URL</title></head><body><b>Loaded by Brindle</b><p>" +
           escaped + "</p><embed src=\"" + escaped +
           "\" width=\"128\" height=\"128\"></body></html>";
}

bool IsStreamingMediaAddress(const char* address) {
    std::string text = address;
    while (!text.empty() && isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    std::string ext = text.size() > 4 ? text.substr(text.size() - 4) : text;
    for (char& c : ext) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    for (const char* known : kStreamingExtensionList)
        if (ext == known) return true;
    return false;
}
