// Recording by the schedule in the real main window while a tone plays:
// windows just ahead on the real clock (one file, then a file a window),
// windows on a simulated clock that crosses midnight and is put back and
// forward, a schedule file with bad lines, and a streaming address opened
// in a stand-in browser ahead of its window and ended with it.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "app/VelorinDlg.h"
#include "bench.h"
#include "brindle_process.h"
#include "framework/SafeString.h"
#include "watched_dialog.h"

namespace {

// A text value anywhere in the current user's registry (the browser's).
void StoreRegText(const std::string& path, const char* name, const std::string& text) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size()));
    RegCloseKey(key);
}

std::string ReadAll(const std::string& path) {
    std::string bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return bytes;
    for (int c = getc(f); c != EOF; c = getc(f)) bytes.push_back(static_cast<char>(c));
    fclose(f);
    return bytes;
}

void WriteAll(const std::string& path, const std::string& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f) << path;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

int64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Seconds since 1970 with their fraction, from the system clock.
double NowSeconds() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER v;
    v.LowPart = ft.dwLowDateTime;
    v.HighPart = ft.dwHighDateTime;
    return v.QuadPart / 1e7 - 11644473600.0;
}

void WaitUntil(double when) {
    while (NowSeconds() < when) Sleep(5);
}

// "HH:MM:SS" of the local time at a moment given in UTC seconds.
std::string LocalTimeText(double utc) {
    const ULONGLONG ticks = static_cast<ULONGLONG>((utc + 11644473600.0) * 1e7);
    FILETIME ft{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)}, local;
    SYSTEMTIME st;
    FileTimeToLocalFileTime(&ft, &local);
    FileTimeToSystemTime(&local, &st);
    char text[16];
    snprintf(text, sizeof text, "%02d:%02d:%02d", st.wHour, st.wMinute, st.wSecond);
    return text;
}

// The header of a finished WAV: RIFF and data sizes against the file's.
void ExpectWholeWav(const std::string& path) {
    const std::string bytes = ReadAll(path);
    ASSERT_GE(bytes.size(), 44u) << path;
    auto at = [&](size_t i) {
        return static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) |
               static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8 |
               static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 2])) << 16 |
               static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 3])) << 24;
    };
    EXPECT_EQ(bytes.size() - 8, at(4)) << path;
    EXPECT_EQ(bytes.size() - 44, at(40)) << path;
}

double WavSeconds(const std::string& path) {
    bench::Wav wav;
    std::string error;
    if (!bench::ReadWav(path, &wav, &error)) {
        ADD_FAILURE() << path << ": " << error;
        return -1;
    }
    EXPECT_GT(bench::ToneLevel(wav, 0, 1000, static_cast<size_t>(wav.rate / 10)), 0.3) << path;
    return wav.Seconds();
}

// A clock that runs in real time from a chosen local moment and can be put
// back or forward (the local time alone, as a daylight-saving change does).
struct SimulatedClock {
    std::atomic<bool> on{false};
    std::atomic<int> localShift{0};
    bool skipMidnight = false;  // no reading ever shows 00:00:00
    int64_t startLocal = 0;     // seconds since 1970 of the local start
    int64_t startUtc = 0;
    DWORD startTick = 0;

    void Start(int year, int month, int day, int hour, int minute, int second) {
        startLocal = DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
        startUtc = startLocal - 3600;  // any zone will do
        localShift = 0;
        startTick = GetTickCount();
        on = true;
    }
    void Read(ScheduleClock* c) const {
        const int64_t elapsed = (GetTickCount() - startTick) / 1000;
        int64_t local = startLocal + elapsed + localShift;
        if (skipMidnight && local % 86400 == 0) ++local;
        c->utcSeconds = startUtc + elapsed;
        CivilFromDays(local / 86400, &c->year, &c->month, &c->day, &c->weekday);
        const int second = static_cast<int>(local % 86400);
        c->hour = second / 3600;
        c->minute = second / 60 % 60;
        c->second = second % 60;
    }
};

SimulatedClock Clock;

class ClockedDialog : public WatchedDialog {
public:
    void ReadScheduleClock(ScheduleClock* clock) override {
        if (Clock.on) Clock.Read(clock);
        else CVelorinDlg::ReadScheduleClock(clock);
    }
};

std::string Status2() {
    return ReadOnWindow<std::string>([] { return std::string(Dialog->StatusLine2); });
}

class ScheduleBench : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(bench::HaveSound());
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        Clock.on = false;
        Clock.skipMidnight = false;
        folder_ = bench::ScratchDir();
        // A blank in the install folder: the page's path must be quoted.
        install_ = folder_ + "\\install dir";
        out_ = folder_ + "\\sched_files";
        CreateDirectoryA(install_.c_str(), nullptr);
        CreateDirectoryA(out_.c_str(), nullptr);
        int device = 0, line = 0;
        const std::string why = FindTestRecordingLine(&device, &line);
        if (why == kNoCaptureDevice) GTEST_SKIP() << "the capture device stand-in is not registered";
        ASSERT_EQ(why, "");
        ClearSettings();
        StoreDword("Device", static_cast<DWORD>(device));
        StoreDword("AudoLine", static_cast<DWORD>(line));
        StoreDword("Freq", 7);
        StoreDword("Bit", 1);
        StoreDword("Channel", 1);
        StoreDword("Alert", 0);
        StoreDword("ScheduleType", 0);
        StoreText("InstallPath", install_);
        StoreText("LastName", out_ + "\\take.wav");
        DeleteFileA((out_ + "\\take.wav").c_str());
    }
    void TearDown() override { CoUninitialize(); }

    void WriteSchedule(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& l : lines) text += l + "\r\n";
        WriteAll(install_ + "\\TimeSchedule.txt", text);
    }
    // A window [from, to) seconds ahead of `base`, as a line of local times.
    static std::string Window(double base, int from, int to, const std::string& tail = "") {
        return LocalTimeText(base + from) + " - " + LocalTimeText(base + to) + tail;
    }

    std::string folder_, install_, out_;
};

// One file: the WAV grows only inside the two windows, ends with their 10 s
// of tone and a whole header; the info line says when the window ends and
// when the next one starts, and once the last has ended, no longer when it
// will stop.
TEST_F(ScheduleBench, OneFileGrowsOnlyInsideItsWindows) {
    auto tone = bench::PlayTone(1000, 90, 0.5);
    // Whole seconds, so the windows start on a second of the clock.
    const double base = static_cast<double>(static_cast<int64_t>(NowSeconds())) + 8;
    WriteSchedule({Window(base, 0, 5), Window(base, 9, 14)});
    static std::vector<std::pair<double, int64_t>> sizes;
    static std::string inside, between, after;
    sizes.clear();
    const std::string file = out_ + "\\take.wav";
    ClockedDialog dialog;
    RunDialog(dialog, [&] {
        bench::Click(705, 492);  // the schedule button
        while (NowSeconds() < base + 16) {
            sizes.emplace_back(NowSeconds() - base, FileSize(file));
            if (inside.empty() && NowSeconds() > base + 2.5) {
                inside = Status2();
                bench::Screenshot("schedule-window");
            }
            if (between.empty() && NowSeconds() > base + 7) between = Status2();
            if (NowSeconds() > base + 15.5) after = Status2();
            Sleep(250);
        }
        ClickButton(1004);
        bench::PumpUntil([] { return !ReadOnWindow<bool>([] { return Dialog->CaptureActive; }); },
                         5000);
    });
    EXPECT_EQ("Recording will stop at " + LocalTimeText(base + 5), inside);
    EXPECT_EQ("Recording will start at " + LocalTimeText(base + 9), between);
    EXPECT_EQ(std::string::npos, after.find("will stop")) << after;
    // Growth per phase, with a margin for the tick and the writer.
    auto grew = [](double from, double to) {
        int64_t first = -1, last = -1;
        for (const auto& s : sizes)
            if (s.first >= from && s.first <= to) {
                if (first < 0) first = s.second;
                last = s.second;
            }
        return last - first;
    };
    EXPECT_EQ(0, grew(-3, -0.7)) << "before the first window";
    EXPECT_GT(grew(0.7, 4.3), 100000) << "inside the first window";
    EXPECT_EQ(0, grew(5.7, 8.3)) << "between the windows";
    EXPECT_GT(grew(9.7, 13.3), 100000) << "inside the second window";
    EXPECT_EQ(0, grew(14.7, 15.9)) << "after the windows";
    EXPECT_NEAR(10.0, WavSeconds(file), 0.5);
    ExpectWholeWav(file);
}

// A file a window: each window's file is finished at its end and the next
// recording waits paused; a stop within 300 ms after a window's end starts
// nothing more and leaves schedule mode off.
TEST_F(ScheduleBench, MultipleFilesAndAStopInTheGap) {
    StoreDword("BtnMultiFileStatus", 1);
    auto tone = bench::PlayTone(1000, 90, 0.5);
    const double base = static_cast<double>(static_cast<int64_t>(NowSeconds())) + 8;
    WriteSchedule({Window(base, 0, 5), Window(base, 9, 14), Window(base, 18, 23)});
    static int waitingPaused = -1, modeAfterStop = -1, recordingAfterStop = -1;
    ClockedDialog dialog;
    RunDialog(dialog, [&] {
        ClickButton(1051);
        WaitUntil(base + 15.5);
        waitingPaused = ReadOnWindow<int>([] {
            return Dialog->ScheduleModeOn && Dialog->IsRecording && Dialog->IsPaused ? 1 : 0;
        });
        WaitUntil(base + 23.1);
        bench::Click(483, 414);  // Stop, inside the 300 ms before the next recording
        Sleep(1200);
        modeAfterStop = ReadOnWindow<int>([] { return Dialog->ScheduleModeOn; });
        recordingAfterStop = ReadOnWindow<int>([] { return Dialog->IsRecording; });
    });
    EXPECT_EQ(1, waitingPaused);
    EXPECT_EQ(0, modeAfterStop);
    EXPECT_EQ(0, recordingAfterStop);
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((out_ + "\\*.WAV").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do files.push_back(out_ + "\\" + found.cFileName);
        while (FindNextFileA(h, &found));
        FindClose(h);
    }
    std::sort(files.begin(), files.end());
    // Three windows, three files; the paused recording between them held
    // nothing and the stop left no fourth file behind.
    ASSERT_EQ(3u, files.size());
    for (const std::string& f : files) {
        SCOPED_TRACE(f);
        EXPECT_NEAR(5.0, WavSeconds(f), 0.5);
        ExpectWholeWav(f);
    }
}

// The simulated clock: midnight, a skipped midnight tick, the repeated hour
// of a fall-back, a clock put back inside an open window, a jump past the
// end and relative times across midnight. Each recording's length counts.
TEST_F(ScheduleBench, WindowsOnASimulatedClock) {
    struct Case {
        const char* name;
        const char* line;
        int type;                // ScheduleType
        int start[6];            // simulated local start
        bool skipMidnight;
        int jumpAt, jumpBy;      // real seconds after the start; local seconds (0: none)
        int runFor;              // real seconds before Stop
        double expected;         // seconds recorded
    } cases[] = {
        {"across midnight", "23:59:58 - 00:00:03", 0, {2026, 12, 9, 23, 59, 56}, false, 0, 0, 9, 5},
        {"midnight tick missed", "23:59:58 - 00:00:03", 0, {2026, 12, 9, 23, 59, 56}, true, 0, 0, 9, 5},
        {"the repeated hour does not reopen", "01:00:02 - 01:00:06", 0, {2026, 10, 25, 1, 0, 0},
         false, 8, -8, 14, 4},
        {"put back inside an open window", "01:00:02 - 01:00:12", 0, {2026, 10, 25, 1, 0, 0}, false,
         6, -3, 16, 10},
        {"jump forward past the end", "08:00:02 - 08:00:30", 0, {2026, 12, 9, 8, 0, 0}, false, 5, 60,
         8, 3},
        {"relative across midnight", "00:00:05 - 00:00:10", 1, {2026, 12, 9, 23, 59, 55}, false, 0, 0,
         12, 5},
    };
    auto tone = bench::PlayTone(1000, 180, 0.5);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA((out_ + "\\take.wav").c_str());
        StoreDword("ScheduleType", static_cast<DWORD>(c.type));
        WriteSchedule({c.line});
        Clock.on = false;
        Clock.skipMidnight = c.skipMidnight;
        ClockedDialog dialog;
        RunDialog(dialog, [&] {
            Clock.Start(c.start[0], c.start[1], c.start[2], c.start[3], c.start[4], c.start[5]);
            const DWORD started = GetTickCount();
            ClickButton(1051);
            if (c.jumpBy) {
                while (GetTickCount() - started < static_cast<DWORD>(c.jumpAt) * 1000) Sleep(10);
                Clock.localShift = c.jumpBy;
            }
            while (GetTickCount() - started < static_cast<DWORD>(c.runFor) * 1000) Sleep(10);
            ClickButton(1004);
            bench::PumpUntil(
                [] { return !ReadOnWindow<bool>([] { return Dialog->CaptureActive; }); }, 5000);
        });
        Clock.on = false;
        EXPECT_NEAR(c.expected, WavSeconds(out_ + "\\take.wav"), 0.5);
    }
}

// A schedule file with bad lines: the window runs the good ones and names
// the first bad one in the info line. A start the schedule cannot make says
// why, as REC does.
TEST_F(ScheduleBench, BadLinesAreSkippedAndNamed) {
    const std::string address(150 - 7, 'a');
    WriteAll(install_ + "\\TimeSchedule.txt",
             "08:00:00 - 09:00:00\r\n"
             "\r\n"
             "10:00:00 - 11:00:00|Mon|http://a|10|x\r\n"
             "12:00:00 - 13:00:00||http://" + address + "|20\r\n"
             "25:00:00 - 26:00:00\r\n"
             "14:00:00 - 15:00:00|Sat");
    static std::string status, refusal, deviceRefusal;
    static std::vector<std::string> kept;
    static bool modeOn = true;
    ClockedDialog dialog;
    RunDialog(dialog, [] {
        status = Status2();
        kept = ReadOnWindow<std::vector<std::string>>([] {
            std::vector<std::string> texts;
            for (const ScheduleEntry& e : Dialog->ScheduleLines) texts.push_back(e.text);
            return texts;
        });
        // While a line test holds the capture the schedule does not start,
        // and the user is told why rather than that the device is missing.
        modeOn = ReadOnWindow<bool>([] {
            Dialog->LineTestRunning = 1;
            Dialog->OnBtnScheduleStart();
            Dialog->LineTestRunning = 0;
            return Dialog->ScheduleModeOn || Dialog->ButtonDown(1051) || Dialog->IsRecording;
        });
        refusal = Status2();
        // A name that REC refuses, refused by the schedule for the same
        // reason, though REC put that reason on the info line already.
        OnWindow([] { Dialog->SetDlgItemText(1001, "c:\\t3\\nul.wav"); });
        ClickButton(1000);
        bench::PumpUntil([] { return Status2() == "It names a device (nul, con, com1...)"; }, 10000);
        deviceRefusal = ReadOnWindow<std::string>([] {
            Dialog->OnBtnScheduleStart();
            const bool on = Dialog->ScheduleModeOn || Dialog->ButtonDown(1051) || Dialog->IsRecording;
            return std::string(on ? "on: " : "off: ") + std::string(Dialog->StatusLine1) + " / " +
                   std::string(Dialog->StatusLine2);
        });
    });
    EXPECT_FALSE(modeOn);
    EXPECT_EQ("Schedule not started: a line test is running", refusal);
    EXPECT_EQ("off: Cannot use that file name / It names a device (nul, con, com1...)", deviceRefusal);
    EXPECT_EQ("Schedule line 2 is not a schedule line: skipped", status);
    ASSERT_EQ(3u, kept.size());
    EXPECT_EQ("08:00:00 - 09:00:00", kept[0]);
    EXPECT_EQ("12:00:00 - 13:00:00||http://" + address + "|20", kept[1]);
    EXPECT_EQ("14:00:00 - 15:00:00|Sat", kept[2]);
}

// A streaming address opens once, its loading time before the window, in
// the registered browser, on the page beside the schedule (the address
// escaped in it); the browser ends with the window and its handle is let go.
TEST_F(ScheduleBench, StreamingAddressOpensAheadAndEndsWithTheWindow) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string stub = exe;
    stub = stub.substr(0, stub.rfind('\\')) + "\\schedule_stub_browser.exe";
    const std::string stubCopy = install_ + "\\stub browser.exe";
    ASSERT_TRUE(CopyFileA(stub.c_str(), stubCopy.c_str(), FALSE)) << stub;
    const std::string log = install_ + "\\starts.txt";
    DeleteFileA(log.c_str());
    const std::string clients = "SOFTWARE\\Clients\\StartMenuInternet";
    StoreRegText(clients, "", "Stub");
    StoreRegText(clients + "\\Stub\\shell\\open\\command", "",
              "\"" + stubCopy + "\" %1");

    auto tone = bench::PlayTone(1000, 60, 0.5);
    const double base = static_cast<double>(static_cast<int64_t>(NowSeconds())) + 10;
    WriteSchedule({Window(base, 0, 4, "||http://127.0.0.1:8089/a&b.mp3|5")});
    static int handleAfter = -1;
    ClockedDialog dialog;
    RunDialog(dialog, [&] {
        ClickButton(1051);
        WaitUntil(base + 5);
        handleAfter = ReadOnWindow<int>([] {
            return Dialog->ScheduleUrlCount == 1 && !Dialog->ScheduleUrlEntries[0].ProcessHandle ? 1 : 0;
        });
        ClickButton(1004);
    });
    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Clients");
    EXPECT_EQ(1, handleAfter);
    // One start, about 5 s before the window, on the quoted page path.
    const std::string starts = ReadAll(log);
    double when = 0;
    unsigned long pid = 0;
    char line[2048] = "";
    ASSERT_EQ(3, sscanf(starts.c_str(), "%lf %lu %2047[^\n]", &when, &pid, line)) << starts;
    EXPECT_EQ(std::string::npos, starts.find('\n', starts.find('\n') + 1)) << "started twice";
    // The schedule looks at the clock once a second and a busy machine
    // delays the start further: late by up to 2 s, but well ahead of the window.
    EXPECT_GE(when, base - 6.0);
    EXPECT_LE(when, base - 3.0);
    const std::string page = install_ + "\\brindleurl.htm";
    EXPECT_NE(std::string::npos, std::string(line).find("\"" + page + "\"")) << line;
    EXPECT_NE(std::string::npos, ReadAll(page).find("a&amp;b.mp3"));
    // The browser was ended at the window's end.
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 0));
        CloseHandle(process);
    }
}

// A double click on a line of the (hidden) schedule list runs the day and
// date dialog on the line's day part only: its address and loading time
// stay, and so does its place in the address table.
TEST_F(ScheduleBench, DayAndDateDialogKeepsTheRestOfTheLine) {
    WriteSchedule({"08:00:00 - 09:00:00|Mon|http://127.0.0.1:8080/a|10"});
    static std::string afterFri, tableAfterFri, afterDate;
    static int boxesTicked = -1;
    ClockedDialog dialog;
    RunDialog(dialog, [] {
        auto open = [] {
            OnWindow([] {
                HWND list = ::GetDlgItem(Dialog->m_hWnd, 1055);
                SendMessageA(list, LB_SETSEL, TRUE, 0);
                SendMessageA(list, LB_SETCARETINDEX, 0, 0);
                PostMessageA(Dialog->m_hWnd, WM_COMMAND, MAKEWPARAM(1055, LBN_DBLCLK),
                             reinterpret_cast<LPARAM>(list));
            });
            HWND d = bench::WaitForDialog(GetCurrentProcessId(), "Set Date for the specified time");
            Sleep(300);
            return d;
        };
        auto clickItem = [](HWND d, int id) {
            RECT r{};
            GetWindowRect(GetDlgItem(d, id), &r);
            bench::Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            Sleep(200);
        };
        auto firstLine = [] {
            return ReadOnWindow<std::string>([] {
                return Dialog->ScheduleLines.empty() ? std::string() : Dialog->ScheduleLines[0].text;
            });
        };
        HWND d = open();
        if (!d) return;
        bench::Screenshot("day-date-dialog", d);
        clickItem(d, 1092);  // Fri
        clickItem(d, IDOK);
        Sleep(300);
        afterFri = firstLine();
        tableAfterFri = ReadOnWindow<std::string>([] {
            return Dialog->ScheduleUrlCount == 1 ? Dialog->ScheduleUrlEntries[0].LineText : std::string();
        });
        // 5 March 2027, clicked in the calendar once March 2027 shows.
        d = open();
        if (!d) return;
        HWND calendar = GetDlgItem(d, 1070);
        SYSTEMTIME day{};
        day.wYear = 2027;
        day.wMonth = 3;
        day.wDay = 6;
        SendMessageA(calendar, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&day));
        RECT area{};
        GetClientRect(calendar, &area);
        POINT cell{-1, -1};
        for (int y = 0; y < area.bottom && cell.x < 0; y += 3)
            for (int x = 0; x < area.right && cell.x < 0; x += 3) {
                MCHITTESTINFO hit{};
                hit.cbSize = MCHITTESTINFO_V1_SIZE;
                hit.pt = POINT{x, y};
                SendMessageA(calendar, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
                if (hit.uHit == MCHT_CALENDARDATE && hit.st.wYear == 2027 && hit.st.wMonth == 3 &&
                    hit.st.wDay == 5)
                    cell = POINT{x + 1, y + 1};
            }
        if (cell.x < 0) {
            PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        ClientToScreen(calendar, &cell);
        bench::Click(cell.x, cell.y);
        Sleep(300);
        boxesTicked = 0;
        for (int id = 1087; id <= 1093; ++id)
            if (SendMessageA(GetDlgItem(d, id), BM_GETCHECK, 0, 0) == BST_CHECKED) ++boxesTicked;
        clickItem(d, IDOK);
        Sleep(300);
        afterDate = firstLine();
    });
    EXPECT_EQ("08:00:00 - 09:00:00|Mon,Fri|http://127.0.0.1:8080/a|10", afterFri);
    EXPECT_EQ(afterFri, tableAfterFri);
    EXPECT_EQ(0, boxesTicked);
    EXPECT_EQ("08:00:00 - 09:00:00|3/5/2027|http://127.0.0.1:8080/a|10", afterDate);
}

}  // namespace
