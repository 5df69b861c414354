// Cost of the schedule on the user-interface thread.
//   schedule_bench    median of 20 runs each: reading and parsing a
//                     10,000-line "TimeSchedule.txt" into a sorted list
//                     box (what loading the list does), and one tick of the
//                     window check over those lines (every 50 ms while
//                     schedule mode runs; it must stay well under 5 ms)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/ScheduleRules.h"
#include "dialogs/ScheduleFile.h"

namespace {

double Milliseconds(LARGE_INTEGER a, LARGE_INTEGER b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return 1000.0 * double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string MakeScheduleFile() {
    char folder[MAX_PATH], path[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    snprintf(path, sizeof path, "%sschedule_bench.txt", folder);
    FILE* f = fopen(path, "wt");
    if (!f) return std::string();
    const char* days[] = {"", "|Mon,Wed,Fri", "|12/24/2026", "|Sat"};
    for (int i = 0; i < 10000; ++i) {
        const int start = (i * 7919) % 86000;
        const int end = start + 60 + i % 300;
        char from[16], to[16];
        FormatScheduleTime(start, from, sizeof from);
        FormatScheduleTime(end, to, sizeof to);
        if (i % 5 == 0)
            fprintf(f, "%s - %s%s%shttp://127.0.0.1:8080/stream%d.mp3|%d\n", from, to, days[i % 4],
                    i % 4 ? "|" : "||", i, i % 100);
        else
            fprintf(f, "%s - %s%s\n", from, to, days[i % 4]);
    }
    fclose(f);
    return path;
}

}  // namespace

int main() {
    const std::string path = MakeScheduleFile();
    if (path.empty()) {
        fprintf(stderr, "cannot write the schedule file\n");
        return 1;
    }
    HWND list = CreateWindowExA(0, "LISTBOX", "", LBS_SORT | LBS_EXTENDEDSEL, 0, 0, 100, 100,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!list) {
        fprintf(stderr, "cannot create a list box\n");
        return 1;
    }
    std::vector<double> loads, ticks;
    std::vector<ScheduleEntry> entries;
    for (int run = 0; run < 20; ++run) {
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        const ScheduleFileText file = ReadScheduleFile(path.c_str());
        for (const std::string& line : file.lines)
            if (ParseScheduleLine(line.c_str(), nullptr))
                SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        std::vector<std::string> texts;
        const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        char item[600];
        for (int i = 0; i < count; ++i) {
            if (SendMessageA(list, LB_GETTEXTLEN, i, 0) >= static_cast<LRESULT>(sizeof item)) continue;
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
            texts.push_back(item);
        }
        entries = ParseScheduleEntries(texts);
        QueryPerformanceCounter(&b);
        loads.push_back(Milliseconds(a, b));
    }
    ScheduleRunState state;
    ScheduleMode mode;
    ScheduleClock clock;
    clock.year = 2026;
    clock.month = 12;
    clock.day = 9;
    clock.weekday = 3;
    for (int run = 0; run < 20; ++run) {
        // A moment no window covers: every line is looked at.
        clock.hour = 23;
        clock.minute = 59;
        clock.second = 59;
        clock.utcSeconds = 1796860799 + run;
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        RunScheduleTick(state, entries, mode, clock, false);
        for (const ScheduleEntry& e : entries)
            if (e.valid && !e.line.address.empty()) ViewAddressWindow(e.line, mode, clock);
        QueryPerformanceCounter(&b);
        ticks.push_back(Milliseconds(a, b));
    }
    printf("schedule lines: %zu\n", entries.size());
    printf("load (read, list box, parse): median %.2f ms of 20\n", Median(loads));
    printf("tick (windows and addresses): median %.3f ms of 20 (limit 5 ms)\n", Median(ticks));
    DestroyWindow(list);
    DeleteFileA(path.c_str());
    return Median(ticks) < 5.0 ? 0 : 2;
}
