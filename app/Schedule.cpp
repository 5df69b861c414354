// Recording by the time schedule: the list of schedule lines, the table of
// streaming addresses, switching schedule mode, the per-tick checks and the
// legacy schedule controls of the main face. Everything here runs on the
// user-interface thread; the record timer's tick reaches it as a message.
#include "app/VelorinDlg.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/resource.h"
#include "dialogs/DayDateDlg.h"
#include "dialogs/ScheduleDlg.h"
#include "dialogs/ScheduleFile.h"
#include "engine/EngineState.h"
#include "framework/SafeString.h"
#include "ui/BrowserLauncher.h"
#include "ui/SettingsStore.h"

namespace {

const RECT kScheduleButtonArea{469, 280, 542, 305};
constexpr DWORD kScheduleToggleDelayMs = 300;
// Every media address goes through the same page file: a second page is
// held back until the browser of the first had time to read it.
constexpr DWORD kUrlPageSpacingMs = 3000;
const char kScheduleLineTestRefusal[] = "Schedule not started: a line test is running";

}  // namespace

DWORD WINAPI DelayedScheduleToggleThread(LPVOID) {
    Sleep(kScheduleToggleDelayMs);
    if (HWND window = MainWindow) PostMessageA(window, WM_DELAYED_SCHEDULETOGGLE, 0, 0);
    return 0;
}

namespace {

// Starts the 300 ms delay; without a thread the message is posted at once,
// so the mode still comes back.
void StartScheduleToggleDelay(HWND window) {
    HANDLE thread = CreateThread(nullptr, 0, DelayedScheduleToggleThread, nullptr, 0, nullptr);
    if (thread) CloseHandle(thread);
    else PostMessageA(window, WM_DELAYED_SCHEDULETOGGLE, 0, 0);
}

void EndUrlProcess(ScheduleUrlEntry& entry) {
    if (!entry.ProcessHandle) return;
    TerminateProcess(entry.ProcessHandle, 0);
    CloseHandle(entry.ProcessHandle);
    entry.ProcessHandle = nullptr;
}


}  // namespace

// ---- the clock -----------------------------------------------------------

void CVelorinDlg::ReadScheduleClock(ScheduleClock* clock) {
    // Local time and UTC from one reading, so they never straddle a second.
    FILETIME utc, local;
    GetSystemTimeAsFileTime(&utc);
    SYSTEMTIME st{};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st))
        GetLocalTime(&st);
    ULARGE_INTEGER value;
    value.LowPart = utc.dwLowDateTime;
    value.HighPart = utc.dwHighDateTime;
    clock->utcSeconds = static_cast<int64_t>(value.QuadPart / 10000000ULL) - 11644473600LL;
    clock->year = st.wYear;
    clock->month = st.wMonth;
    clock->day = st.wDay;
    clock->weekday = st.wDayOfWeek;
    clock->hour = st.wHour;
    clock->minute = st.wMinute;
    clock->second = st.wSecond;
}

ScheduleMode CVelorinDlg::CurrentScheduleMode() const {
    ScheduleMode mode;
    mode.relative = ScheduleTypeValue == 1;
    mode.stampUtc = ScheduleStartStamp;
    mode.stampLocalSeconds = ScheduleStampSeconds;
    return mode;
}

void CVelorinDlg::TakeScheduleStamp() {
    ScheduleClock clock;
    ReadScheduleClock(&clock);
    ScheduleStartStamp = clock.utcSeconds;
    ScheduleStampSeconds = clock.hour * 3600 + clock.minute * 60 + clock.second;
}

void CVelorinDlg::ApplyRelativeTime(char* text) {
    int seconds;
    if (!ReadScheduleTime(text, &seconds)) return;
    ScheduleMode mode = CurrentScheduleMode();
    mode.relative = true;
    ShownScheduleTime(seconds, mode, text, 9);
}

// Line2 of a message, a blank and a line's time as the user reads it.
void CVelorinDlg::AnnounceScheduleTime(const char* key, int seconds) {
    char line1[200] = "", line2[200] = "", line3[200] = "", time[16];
    LanguageDocument.GetMessageLines(key, line1, line2, line3, sizeof line1);
    FormatScheduleTime(seconds, time, sizeof time);
    if (ScheduleTypeValue == 1) ApplyRelativeTime(time);
    char text[240];
    SafeFormat(text, "%s %s", line2, time);
    ShowStatusText(nullptr, StatusLine1, text);
}

void CVelorinDlg::ShowScheduleProblem() {
    if (ScheduleProblem.empty()) return;
    ShowStatusText(nullptr, StatusLine1, ScheduleProblem.c_str());
}

// ---- the list and the address table ----------------------------------------

void CVelorinDlg::LoadScheduleList() {
    HWND list = ::GetDlgItem(m_hWnd, IDC_SCHEDULELIST);
    if (!list) return;
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    ScheduleProblem.clear();
    char path[400];
    MakeScheduleFilePath(InstallPath, path, sizeof path);
    const ScheduleFileText file = ReadScheduleFile(path);
    int firstBad = file.unreadableCount ? file.firstUnreadable : 0;
    for (size_t i = 0; i < file.lines.size(); ++i) {
        if (ParseScheduleLine(file.lines[i].c_str(), nullptr)) {
            ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(file.lines[i].c_str()));
        } else if (firstBad == 0 || file.lineNumbers[i] < firstBad) {
            firstBad = file.lineNumbers[i];
        }
    }
    if (firstBad) {
        char text[120];
        SafeFormat(text, "Schedule line %d is not a schedule line: skipped", firstBad);
        ScheduleProblem = text;
    }
    if (!file.opened) {
        // No file, no addresses: the browsers opened for the old ones end.
        for (int i = 0; i < ScheduleUrlCount; ++i) EndUrlProcess(ScheduleUrlEntries[i]);
        ScheduleUrlCount = 0;
        ScheduleLines.clear();
        return;
    }
    ScheduleListChanged();
    ShowScheduleProblem();
}

void CVelorinDlg::ScheduleListChanged() {
    HWND list = ::GetDlgItem(m_hWnd, IDC_SCHEDULELIST);
    std::vector<std::string> texts;
    const LRESULT count = list ? ::SendMessageA(list, LB_GETCOUNT, 0, 0) : 0;
    for (int i = 0; i < count; ++i) texts.push_back(ScheduleListItem(list, i));
    ScheduleLines = ParseScheduleEntries(texts);
    // The open window is looked up again by its text at the next tick.
    ScheduleActiveLine = -1;
    BuildScheduleUrlEntries();
}

void CVelorinDlg::BuildScheduleUrlEntries() {
    ScheduleUrlEntry old[kScheduleUrlMaximum];
    const int oldCount = ScheduleUrlCount;
    for (int i = 0; i < oldCount; ++i) {
        old[i] = ScheduleUrlEntries[i];
        ScheduleUrlEntries[i] = ScheduleUrlEntry();
    }
    int count = 0;
    for (const ScheduleEntry& e : ScheduleLines) {
        if (!e.valid || e.line.address.empty()) continue;
        if (count == kScheduleUrlMaximum) break;
        ScheduleUrlEntry& entry = ScheduleUrlEntries[count];
        if (!SafeCopy(entry.Url, e.line.address.c_str())) {
            // Cut short it would open another address: refused, and said.
            if (ScheduleProblem.empty())
                ScheduleProblem = "Address too long, not opened: " + e.line.address.substr(0, 40);
            entry = ScheduleUrlEntry();
            continue;
        }
        FormatScheduleTime(e.line.startSeconds - e.line.loadingSeconds, entry.TimeText,
                           sizeof entry.TimeText);
        SafeCopy(entry.DayText, e.line.days.c_str());
        entry.LineText = e.text;
        entry.Line = e.line;
        // An address whose time has passed waits for the clock to leave its
        // window first: loading the list never opens a browser at once.
        entry.Launched = 1;
        // A browser already running for the same line stays with it.
        for (int k = 0; k < oldCount; ++k)
            if (old[k].ProcessHandle && old[k].LineText == e.text) {
                entry.ProcessHandle = old[k].ProcessHandle;
                old[k].ProcessHandle = nullptr;
                break;
            }
        ++count;
    }
    for (int k = 0; k < oldCount; ++k) EndUrlProcess(old[k]);
    ScheduleUrlCount = count;
}

std::string CVelorinDlg::WriteStreamingUrlPage(const char* address) {
    if (!IsStreamingMediaAddress(address)) return address;
    char folder[400], path[500];
    MakeDocumentsFolder(InstallPath, folder, sizeof folder);
    if (!SafeFormat(path, "%sbrindleurl.htm", folder)) return address;
    FILE* page = fopen(path, "wt");
    if (!page) return address;
    const std::string text = StreamingUrlPageText(address);
    const bool written = fputs(text.c_str(), page) >= 0;
    if (fclose(page) != 0 || !written) return address;
    LastUrlPageTick = GetTickCount();
    UrlPageWritten = true;
    return path;
}

// ---- switching the mode ----------------------------------------------------

void CVelorinDlg::ToggleScheduleMode() {
    if (IsPlaying) return;
    if (SendDlgItemMessage(IDC_SCHEDULELIST, LB_GETCOUNT, 0, 0) <= 0) {
        OnBtnScheduleSettings();
        return;
    }
    const bool on = !ButtonDown(1051);
    // A line test holds the capture; a start now would only fail and blame
    // the device.
    if (on && LineTestBusy()) {
        ShowStatusText(nullptr, StatusLine1, kScheduleLineTestRefusal);
        return;
    }
    // The user's own toggle wins over a re-toggle still on its way.
    if (!DelayedToggleActive) SchedulePending = 0;
    SetButtonDown(1051, on);
    RepaintRect(kScheduleButtonArea);
    ScheduleModeOn = on;
    ScheduleAction = MultiFileOn ? 1 : 0;
    if (!on) {
        StopScheduleRecording();
        return;
    }
    ScheduleActiveLine = -1;
    ScheduleRecording = ScheduleWindowOpen = 0;
    if (DelayedToggleActive) {
        // The mode comes back after a window's file: what was opened today
        // stays opened.
        ScheduleRun.recording = ScheduleRun.windowOpen = false;
        ScheduleRun.activeText.clear();
    } else {
        ScheduleRun.Reset();
    }
    if (!IsRecording) {
        // With the pause down a start would only arm the recording.
        if (ButtonDown(1003)) OnBtnPause();
        const uint32_t shownBefore = StatusTextShown;
        if (DelayedToggleActive) StartRecording();
        else OnBtnRecord();
        if (!IsRecording) {
            // Nothing records: the mode does not stay on over nothing.
            SetButtonDown(1051, false);
            RepaintRect(kScheduleButtonArea);
            ScheduleModeOn = 0;
            // The start's own reason stands, even when it reads as the one
            // already shown (REC refused the same name before); only a
            // start that said nothing, or no more than that it began, is
            // put down to the device. The user's own No needs no reason.
            const bool explained = StatusTextShown != shownBefore &&
                                   !(StatusLine1 == "Recording" && StatusLine2.IsEmpty());
            if (!explained && !StartDeclined) ShowMessage("DeviceAvailabity");
            return;
        }
    }
    StartScheduleCheck();
    ScheduleRecording = 0;
    if (!IsPaused) OnBtnPause();
}

void CVelorinDlg::StopScheduleRecording() {
    SetButtonDown(1051, false);
    RepaintRect(kScheduleButtonArea);
    ScheduleModeOn = 0;
    const bool signal = SignalModeOn;  // the stop clears it
    StopRecording();
    if (CaptureRunning()) StopCapture();
    if (signal) RestartSignalRecordLater();
}

void CVelorinDlg::StartScheduleCheck() {
    ScheduleClock clock;
    ReadScheduleClock(&clock);
    const int next = NextScheduleStart(ScheduleLines, CurrentScheduleMode(), clock);
    if (next >= 0) AnnounceScheduleTime("RecordingStart", ScheduleLines[next].line.startSeconds);
    else ShowScheduleProblem();
}

void CVelorinDlg::OnBtnScheduleStart() {
    TakeScheduleStamp();
    ToggleScheduleMode();
}

void CVelorinDlg::OnMenuScheduleRecord() {
    // Relative times need an origin; the button's last press is it.
    if (ScheduleStartStamp == 0) TakeScheduleStamp();
    ToggleScheduleMode();
}

LRESULT CVelorinDlg::OnDelayedScheduleToggle(WPARAM, LPARAM) {
    // A stop or a user's toggle since the window ended cancelled it; the
    // mode flag, which only held user actions back, follows the button.
    if (!SchedulePending || IsPlaying ||
        SendDlgItemMessage(IDC_SCHEDULELIST, LB_GETCOUNT, 0, 0) <= 0) {
        SchedulePending = 0;
        ScheduleModeOn = ButtonDown(1051);
        return 0;
    }
    // The finished file must be closed before the next start.
    if (!IsRecording && CaptureRunning()) {
        StartScheduleToggleDelay(m_hWnd);
        return 0;
    }
    SchedulePending = 0;
    ScheduleModeOn = ButtonDown(1051);
    if (ScheduleModeOn) return 0;
    // A signal restart may have started the recording meanwhile: the
    // toggle then only pauses it for the next window.
    DelayedToggleActive = 1;
    ToggleScheduleMode();
    DelayedToggleActive = 0;
    return 0;
}

void CVelorinDlg::ScheduleToggleAfterSignalOff() {
    // Signal mode went off inside schedule mode: the schedule comes back on
    // 300 ms later with a new recording.
    ScheduleModeOn = 1;
    SchedulePending = 1;
    StartScheduleToggleDelay(m_hWnd);
}

// ---- the per-tick checks ------------------------------------------------------

void CVelorinDlg::CheckSchedule() {
    ScheduleClock clock;
    ReadScheduleClock(&clock);
    const ScheduleTick tick =
        RunScheduleTick(ScheduleRun, ScheduleLines, CurrentScheduleMode(), clock, ScheduleAction == 1);
    ScheduleRecording = ScheduleRun.recording;
    ScheduleWindowOpen = ScheduleRun.windowOpen;
    if (tick.ended) {
        ScheduleActiveLine = -1;
        if (tick.announceStart >= 0)
            AnnounceScheduleTime("RecordingStart", ScheduleLines[tick.announceStart].line.startSeconds);
        else
            ShowStatusText(nullptr, StatusLine1, "");  // "will stop at" is over
        if (ScheduleAction == 1) {
            // The window's file is finished now; the next recording starts
            // paused 300 ms later, unless a stop or a toggle comes first.
            StopScheduleRecording();
            ScheduleModeOn = 1;
            SchedulePending = 1;
            StartScheduleToggleDelay(m_hWnd);
            return;
        }
        if (!IsPaused) OnBtnPause();
    }
    if (tick.opened >= 0) {
        ScheduleActiveLine = tick.opened;
        AnnounceScheduleTime("RecordingStop", ScheduleLines[tick.opened].line.endSeconds);
        if (IsPaused) OnBtnPause();
    }
}

void CVelorinDlg::CheckScheduledUrls() {
    if (ScheduleUrlCount == 0) return;
    ScheduleClock clock;
    ReadScheduleClock(&clock);
    const ScheduleMode mode = CurrentScheduleMode();
    for (int i = 0; i < ScheduleUrlCount; ++i) {
        ScheduleUrlEntry& entry = ScheduleUrlEntries[i];
        if (!ViewAddressWindow(entry.Line, mode, clock).inside) {
            // The window is over (or not yet due): its browser ends.
            EndUrlProcess(entry);
            entry.Launched = 0;
            continue;
        }
        if (entry.Launched) continue;
        if (IsStreamingMediaAddress(entry.Url) && UrlPageWritten &&
            GetTickCount() - LastUrlPageTick < kUrlPageSpacingMs)
            continue;  // the page file is still another address's
        entry.Launched = 1;
        const std::string target = WriteStreamingUrlPage(entry.Url);
        if (!IsBrowsableAddress(target.c_str())) {
            char text[200];
            SafeFormat(text, "Cannot open the address %.120s", entry.Url);
            ShowStatusText(nullptr, StatusLine1, text);
            continue;
        }
        EndUrlProcess(entry);
        entry.ProcessHandle = OpenUrlInBrowser(target.c_str());
    }
}

void CVelorinDlg::EndScheduleUrlProcesses() {
    for (int i = 0; i < ScheduleUrlCount; ++i) EndUrlProcess(ScheduleUrlEntries[i]);
}

// ---- settings and the legacy schedule controls --------------------------------

void CVelorinDlg::OnBtnScheduleSettings() {
    {
        CScheduleDlg dialog(this);
        dialog.DoModal();
    }
    LoadScheduleList();
    SettingsStore store;
    DWORD value = 0;
    store.ReadScheduleType(&value);
    ScheduleTypeValue = static_cast<int32_t>(value);
}

void CVelorinDlg::OnRadioAbsolute() { SetSchedulePickers(false); }
void CVelorinDlg::OnRadioRelative() { SetSchedulePickers(true); }

void CVelorinDlg::SetSchedulePickers(bool relative) {
    SYSTEMTIME time{};
    if (relative) {
        time.wYear = 1998;
        time.wMonth = 4;
        time.wDay = 3;
        time.wDayOfWeek = 5;
    } else {
        GetLocalTime(&time);
    }
    for (int picker : {1053, 1054}) {
        SendDlgItemMessage(picker, DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>("HH:mm:ss"));
        SendDlgItemMessage(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    }
    ScheduleTypeValue = relative ? 1 : 0;
}

void CVelorinDlg::OnBtnAddScheduleItem() {
    SYSTEMTIME start{}, end{};
    if (SendDlgItemMessage(1053, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&start)) != GDT_VALID ||
        SendDlgItemMessage(1054, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&end)) != GDT_VALID)
        return;
    char from[16], to[16];
    SafeFormat(from, "%02d:%02d:%02d", start.wHour, start.wMinute, start.wSecond);
    SafeFormat(to, "%02d:%02d:%02d", end.wHour, end.wMinute, end.wSecond);
    if (strcmp(from, to) >= 0) {
        MessageBox("Start time should be earlier than the end time", "Please set correct time", MB_OK);
        return;
    }
    char line[40];
    SafeFormat(line, "%s - %s", from, to);
    SendDlgItemMessage(IDC_SCHEDULELIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    ScheduleListChanged();
}

void CVelorinDlg::OnBtnDeleteScheduleItem() {
    HWND list = ::GetDlgItem(m_hWnd, IDC_SCHEDULELIST);
    if (!list) return;
    const LRESULT selected = ::SendMessageA(list, LB_GETSELCOUNT, 0, 0);
    if (selected <= 0) return;
    std::vector<int> items(static_cast<size_t>(selected));
    const LRESULT got = ::SendMessageA(list, LB_GETSELITEMS, static_cast<WPARAM>(selected),
                                       reinterpret_cast<LPARAM>(items.data()));
    if (got <= 0) return;
    items.resize(static_cast<size_t>(got));
    // From the last to the first, so the indexes still to go stay valid.
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        ::SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(*it), 0);
    ScheduleListChanged();
}

void CVelorinDlg::OnScheduleListDblClk() {
    HWND list = ::GetDlgItem(m_hWnd, IDC_SCHEDULELIST);
    if (!list) return;
    const LRESULT index = ::SendMessageA(list, LB_GETCARETINDEX, 0, 0);
    if (index == LB_ERR || index < 0) return;
    const std::string line = ScheduleListItem(list, static_cast<int>(index));
    if (line.empty()) return;
    const ScheduleFields fields = SplitScheduleFields(line.c_str());
    // Only the day part goes to the dialog; the address and the loading
    // time are put back as they were.
    CAboutDlg dialog(this);
    dialog.Language = &LanguageDocument;
    SafeCopy(dialog.TimeText, fields.times.c_str());
    SafeCopy(dialog.DayText, fields.days.c_str());
    if (dialog.DoModal() != IDOK) return;
    std::string rebuilt = fields.times;
    const std::string days = dialog.DayText;
    if (!days.empty()) rebuilt += "|" + days;
    if (fields.count >= 3) {
        rebuilt += days.empty() ? "||" : "|";
        rebuilt += fields.address;
        if (fields.count >= 4) rebuilt += "|" + fields.rest;
    }
    ::SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(rebuilt.c_str()));
    ScheduleListChanged();
}
