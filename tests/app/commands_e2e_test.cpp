// The main window's keys, switches, format radios, start with Windows,
// help links and upload commands, driven by real keys and clicks on the
// real window while a tone plays. The program runs with Wine's own
// Windows Media runtime (no writer): WMA is unavailable here.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/VelorinDlg.h"
#include "app/resource.h"
#include "bench.h"
#include "sharing/UploadDlgIds.h"
#include "tests/sharing/service_standin.h"
#include "ui/TrackList.h"
#include "window_bench.h"

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Runonce";

uint64_t FileBytes(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Holds a key down for `ms`: the system repeats it, as a held key does.
void HoldKey(WORD vk, DWORD ms) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    for (DWORD held = 0; held < ms; held += 50) {
        SendInput(1, &in, sizeof in);
        Sleep(50);
    }
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &in, sizeof in);
    Sleep(100);
}

bool Recording() { return ReadOnWindow<bool>([] { return Dialog->IsRecording != 0; }); }

void WaitStopped() {
    bench::PumpUntil([] { return !ReadOnWindow<bool>([] { return Dialog->CaptureActive; }); }, 30000);
}

std::string FileBox() {
    char text[1000] = "";
    GetDlgItemTextA(MainWindow, IDC_FILENAME, text, sizeof text);
    return text;
}

bool Enabled(UINT id) { return IsWindowEnabled(GetDlgItem(MainWindow, id)) != FALSE; }

std::string QueryText(HKEY root, const char* key, const char* name) {
    char text[600] = "";
    DWORD size = sizeof text - 1;
    if (RegGetValueA(root, key, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) return "<missing>";
    return text;
}

// A right click where the mouse is (a left one on the face would start
// dragging the window).
void RightClickAt(int x, int y) {
    bench::MouseMove(x, y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, in, sizeof(INPUT));
}

// Clicks an entry of the pop-up menu while it is shown. No window is
// named: given one, the item's rectangle comes relative to that window's
// client area instead of the menu's place on the screen. A sub-menu has
// a rectangle only once it has opened.
void ClickMenuItem(HMENU menu, int index) {
    RECT r{};
    bench::PumpUntil([&] { return GetMenuItemRect(nullptr, menu, index, &r) != FALSE; }, 5000);
    ASSERT_TRUE(GetMenuItemRect(nullptr, menu, index, &r)) << index;
    bench::Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Sleep(200);
}

// Right-click on the face, then an entry (and an entry of its sub-menu).
void ChooseFromPopupMenu(int index, int subIndex = -1) {
    RightClickAt(kX + 300, kY + 300);  // the face, away from buttons and sliders
    Sleep(400);
    HMENU menu = GetSubMenu(Dialog->PopupMenu, 0);
    ClickMenuItem(menu, index);
    if (subIndex >= 0) ClickMenuItem(GetSubMenu(menu, index), subIndex);
}

HWND WaitForCaption(const char* caption, DWORD ms = 20000) {
    HWND found = nullptr;
    bench::PumpUntil([&] { return (found = FindWindowA("#32770", caption)) && IsWindowVisible(found); }, ms);
    return found;
}

class CommandsBench : public RecordingBench {};

}  // namespace

// F8 records once, F6 pauses and resumes (a held F6 once), F5 stops: the
// file holds the time recorded less the paused time. Enter records and
// Esc stops with the window still open; Space plays the last file. The
// background settings, refused while recording, say why; a line that does
// not exist is named "Unknown".
TEST_F(CommandsBench, HotKeysDriveTheRecordingOnceEach) {
    auto tone = bench::PlayTone(1000, 90, 0.5);
    static double wall = 0, paused = 0;
    static uint64_t pausedGrowth = ~0ull, grownAfterResume = 0;
    static int heldPausedState = -1, recordingAfterEnter = -1, recordingAfterEsc = -1;
    static int playingAfterSpace = -1;
    static bool windowOpen = false;
    static std::string backgroundRefusal, missingLine;
    const std::string take = out_ + "\\take.wav";
    WatchedDialog dialog;
    RunDialog(dialog, [take] {
        SetForegroundWindow(MainWindow);
        Sleep(300);
        bench::KeyPress(VK_F8);
        // The time recorded runs from when the capture has started: under
        // emulation starting it takes a good part of a second.
        bench::PumpUntil([] { return ReadOnWindow<bool>([] { return Dialog->CaptureActive; }); }, 5000);
        const DWORD start = GetTickCount();
        Sleep(1500);
        bench::KeyPress(VK_F6);
        DWORD pauseAt = GetTickCount();
        Sleep(300);
        const uint64_t before = FileBytes(take);
        Sleep(2000);
        pausedGrowth = FileBytes(take) - before;
        bench::KeyPress(VK_F6);
        paused += (GetTickCount() - pauseAt) / 1000.0;
        Sleep(1000);
        grownAfterResume = FileBytes(take) - before;
        // Held for a second: one pause however often the key repeats.
        pauseAt = GetTickCount();
        HoldKey(VK_F6, 1000);
        heldPausedState = ReadOnWindow<int>([] { return Dialog->IsPaused; });
        bench::KeyPress(VK_F6);
        paused += (GetTickCount() - pauseAt) / 1000.0;
        Sleep(1000);
        bench::KeyPress(VK_F5);
        wall = (GetTickCount() - start) / 1000.0;
        WaitStopped();

        SetOutputFile(take.substr(0, take.size() - 4) + "_enter.wav");
        bench::KeyPress(VK_RETURN);
        Sleep(1500);
        recordingAfterEnter = Recording();
        bench::KeyPress('B', true, true);
        auto status1 = [] { return ReadOnWindow<std::string>([] { return std::string(Dialog->StatusLine1); }); };
        bench::PumpUntil([&] { return status1() != "Recording"; }, 5000);
        backgroundRefusal = status1();
        bench::Screenshot("background-refused");
        missingLine = ReadOnWindow<std::string>([] { return std::string(Dialog->GetMixerLineName(99)); });
        bench::KeyPress(VK_ESCAPE);
        WaitStopped();
        recordingAfterEsc = Recording();
        windowOpen = IsWindowVisible(MainWindow) != FALSE;

        bench::KeyPress(VK_SPACE);
        bench::PumpUntil([] { return ReadOnWindow<int>([] { return Dialog->IsPlaying; }) != 0; }, 3000);
        playingAfterSpace = ReadOnWindow<int>([] { return Dialog->IsPlaying; });
        bench::KeyPress(VK_F5);
        Sleep(300);
    });
    EXPECT_LT(pausedGrowth, 8820u) << "the file grew while paused";  // less than 50 ms of sound
    EXPECT_GT(grownAfterResume, 100000u);
    EXPECT_EQ(1, heldPausedState);
    EXPECT_EQ(1, recordingAfterEnter);
    EXPECT_EQ("Stop the recording first", backgroundRefusal);
    EXPECT_EQ("Unknown", missingLine);
    EXPECT_EQ(0, recordingAfterEsc);
    EXPECT_TRUE(windowOpen) << "Esc closed the window";
    EXPECT_EQ(1, playingAfterSpace);
    // Two recordings in all (F8, Enter): one history line each.
    EXPECT_EQ(2u, ReadLines(DayFile()).size());
    bench::Wav wav;
    std::string error;
    ASSERT_TRUE(bench::ReadWav(take, &wav, &error)) << error;
    std::printf("F8 take: %.2f s between F8 and F5, %.2f s paused, %.2f s in the file\n", wall, paused,
                wav.Seconds());
    EXPECT_NEAR(wall - paused, wav.Seconds(), 0.3);
    EXPECT_GT(ToneOf(wav), 0.3);
}

// Keys that are not the face's: typed into the track list's title editor,
// or into a dialog of the main window's own during a recording.
TEST_F(CommandsBench, KeysElsewhereLeaveTheRecorderAlone) {
    auto tone = bench::PlayTone(1000, 40, 0.5);
    static int recordingAfterEditorF8 = -1, recordingAfterDialogF5 = -1, recordingAfterFaceF5 = -1;
    static bool dialogSeen = false;
    static std::function<void()> openDialog;
    WatchedDialog dialog;
    RunDialog(dialog, [] {
        SetForegroundWindow(MainWindow);
        Sleep(300);
        // A row of the track list, its title being edited.
        OnWindow([] {
            Dialog->OnBtnArchive();
            TrackListRow row{};
            SafeCopy(row.name, "take.wav");
            SafeCopy(row.location, "C:\\Rec\\");
            ::SendMessageA(Dialog->TrackListWnd, TLM_ADDROW, 0, reinterpret_cast<LPARAM>(&row));
            ::SendMessageA(Dialog->TrackListWnd, TLM_SELECTROW, 0, 0);
            ::SendMessageA(Dialog->TrackListWnd, TLM_EDITTITLE, 0, 0);
        });
        Sleep(300);
        bench::KeyPress(VK_F8);
        Sleep(700);
        recordingAfterEditorF8 = Recording();
        OnWindow([] { Dialog->ShowArchivePanel(); });
        SetForegroundWindow(MainWindow);
        Sleep(300);

        // A recording, then a dialog the main window owns.
        bench::KeyPress(VK_F8);
        Sleep(1000);
        openDialog = [] {
            CDialog owned(900, Dialog);
            owned.DoModal();
        };
        PostMessageA(MainWindow, WatchedDialog::kRunHere, reinterpret_cast<WPARAM>(&openDialog), 0);
        HWND owned = WaitForCaption("Owned Dialog", 5000);
        dialogSeen = owned != nullptr;
        if (owned) {
            SetForegroundWindow(owned);
            Sleep(300);
            bench::KeyPress(VK_F5);
            Sleep(700);
            recordingAfterDialogF5 = Recording();
            PostMessageA(owned, WM_COMMAND, IDCANCEL, 0);
            Sleep(300);
        }
        SetForegroundWindow(MainWindow);
        Sleep(300);
        bench::KeyPress(VK_F5);
        WaitStopped();
        recordingAfterFaceF5 = Recording();
    });
    EXPECT_EQ(0, recordingAfterEditorF8);
    EXPECT_TRUE(dialogSeen);
    EXPECT_EQ(1, recordingAfterDialogF5);
    EXPECT_EQ(0, recordingAfterFaceF5);
}

// A notification carrying 525 stops the recording; one carrying no header
// at all is ignored; the process lives on.
TEST_F(CommandsBench, StopNotificationStopsWithoutReadingAHeader) {
    auto tone = bench::PlayTone(1000, 20, 0.5);
    static int before = -1, after = -1;
    WatchedDialog dialog;
    RunDialog(dialog, [] {
        ClickButton(1000);
        Sleep(1500);
        before = Recording();
        SendMessageA(MainWindow, WM_NOTIFY, 0, 0);
        SendMessageA(MainWindow, WM_NOTIFY, 0, 525);
        WaitStopped();
        after = Recording();
    });
    EXPECT_EQ(1, before);
    EXPECT_EQ(0, after);
}

// The switches by their places on the face: 8-bit turns the filters and
// the background switch off, 16-bit on again; mono records one channel;
// during a recording the switches change nothing.
TEST_F(CommandsBench, ChannelAndSampleSizeSwitches) {
    auto tone = bench::PlayTone(1000, 120, 0.5);
    static bool after8[3], after16[3], filtersDuringRecording = false;
    static int bitsDuringRecording = -1, stereoDuringRecording = -1, paused = -1;
    WatchedDialog dialog;
    RunDialog(dialog, [] {
        const UINT ids[3] = {1115, 1116, 1166};
        // Each switch is read once its click has been handled.
        auto bits16 = [] { return ReadOnWindow<int>([] { return Dialog->Bits16On; }); };
        bench::Click(262, 275);  // 8-bit
        bench::PumpUntil([&] { return bits16() == 0; }, 30000);
        for (int i = 0; i < 3; ++i) after8[i] = Enabled(ids[i]);
        bench::Screenshot("eight-bit");
        bench::Click(262, 247);  // 16-bit
        bench::PumpUntil([&] { return bits16() == 1; }, 30000);
        for (int i = 0; i < 3; ++i) after16[i] = Enabled(ids[i]);
        bench::Click(262, 344);  // mono
        bench::PumpUntil([] { return ReadOnWindow<int>([] { return Dialog->StereoOn; }) == 0; }, 30000);
        ClickButton(1000);
        bench::PumpUntil(
            [] { return ReadOnWindow<bool>([] { return Dialog->CaptureActive && TakenMilliseconds() >= 2000; }); },
            60000);
        bench::Click(262, 275);  // 8-bit, refused
        bench::Click(262, 316);  // stereo, refused
        // Pause works while recording; once its click is handled, the two
        // before it have been too.
        ClickButton(1003);
        bench::PumpUntil([] { return ReadOnWindow<int>([] { return Dialog->IsPaused; }) == 1; }, 30000);
        paused = ReadOnWindow<int>([] { return Dialog->IsPaused; });
        filtersDuringRecording = Enabled(1115);
        bitsDuringRecording = bits16();
        stereoDuringRecording = ReadOnWindow<int>([] { return Dialog->StereoOn; });
        ClickButton(1004);
        WaitStopped();
    });
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(after8[i]) << i;
        EXPECT_TRUE(after16[i]) << i;
    }
    ASSERT_EQ(1, paused);
    EXPECT_TRUE(filtersDuringRecording);
    EXPECT_EQ(1, bitsDuringRecording);
    EXPECT_EQ(0, stereoDuringRecording);
    bench::Wav wav;
    std::string error;
    ASSERT_TRUE(bench::ReadWav(out_ + "\\take.wav", &wav, &error)) << error;
    EXPECT_EQ(1, wav.channels);
    EXPECT_EQ(16, wav.bits);
    EXPECT_GT(wav.Seconds(), 1.5);
}

// The radios give the output file their extension: an extension of three
// letters is replaced, none is added to. Without a Windows Media writer
// the WMA radio only says so.
TEST_F(CommandsBench, FormatRadiosRenameTheOutputFile) {
    static std::string afterMp3, afterWav, afterWma, status;
    WatchedDialog dialog;
    RunDialog(dialog, [] {
        SetOutputFile("C:\\Rec\\talk");
        bench::Click(631, 551);
        afterMp3 = FileBox();
        SetOutputFile("C:\\Rec\\talk_001.MP3");
        bench::Click(563, 551);
        afterWav = FileBox();
        bench::Click(698, 551);
        afterWma = FileBox();
        status = ReadOnWindow<std::string>([] { return std::string(Dialog->StatusLine1); });
        bench::Screenshot("wma-unavailable");
    });
    EXPECT_EQ("C:\\Rec\\talk.MP3", afterMp3);
    EXPECT_EQ("C:\\Rec\\talk_001.WAV", afterWav);
    EXPECT_EQ("C:\\Rec\\talk_001.WAV", afterWma);
    EXPECT_EQ("Failed to Init WMA encoder", status);
}

// "Add to Startup " from the pop-up menu: one quoted Run value, the
// running program's path without an install folder; RunOnce untouched.
TEST_F(CommandsBench, StartWithWindowsWritesOneRunValue) {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Brindle");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunOnceKey, "Brindle");
    StoreText("InstallPath", "");
    static std::string first, second, runOnce, withFolder;
    WatchedDialog dialog;
    RunDialog(dialog, [] {
        RightClickAt(kX + 300, kY + 300);
        Sleep(400);
        bench::Screenshot("popup-menu");
        ClickMenuItem(GetSubMenu(Dialog->PopupMenu, 0), 13);
        first = QueryText(HKEY_CURRENT_USER, kRunKey, "Brindle");
        ChooseFromPopupMenu(13);
        second = QueryText(HKEY_CURRENT_USER, kRunKey, "Brindle");
        runOnce = QueryText(HKEY_CURRENT_USER, kRunOnceKey, "Brindle");
        StoreText("InstallPath", "C:\\Program Files\\Brindle\\");
        SendMessageA(MainWindow, WM_COMMAND, 32785, 0);
        withFolder = QueryText(HKEY_CURRENT_USER, kRunKey, "Brindle");
    });
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    EXPECT_EQ("\"" + std::string(self) + "\" /rs /hide", first);
    EXPECT_EQ(first, second);
    EXPECT_EQ("<missing>", runOnce);
    EXPECT_EQ("\"C:\\Program Files\\Brindle\\brindle.exe\" /rs /hide", withFolder);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Brindle");
}

// The help buttons start the registered browser on the help page; the
// before-you-start help without its file and the recording control under
// Wine end cleanly, and the window still answers.
TEST_F(CommandsBench, HelpLinksAndSystemTools) {
    const std::string dir = bench::ScratchDir();
    const std::string browser = dir + "\\browser.exe", log = dir + "\\cmdline.txt";
    ASSERT_TRUE(CopyFileA(bench::WinPath(bench::Env("BENCH_BUILD_DIR") + "/tests/ui/url_recorder.exe").c_str(),
                          browser.c_str(), FALSE));
    const std::string key = "SOFTWARE\\Clients\\StartMenuInternet";
    RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), nullptr, REG_SZ, "BenchBrowser", 13);
    const std::string command = "\"" + browser + "\" \"%1\"";
    RegSetKeyValueA(HKEY_CURRENT_USER, (key + "\\BenchBrowser\\shell\\open\\command").c_str(), nullptr, REG_SZ,
                    command.c_str(), static_cast<DWORD>(command.size() + 1));
    static std::vector<std::string> opened;
    static bool answering = false;
    WatchedDialog dialog;
    RunDialog(dialog, [log] {
        for (UINT id : {1034u, 1056u}) {
            DeleteFileA(log.c_str());
            SendMessageA(MainWindow, WM_COMMAND, id, 0);
            bench::PumpUntil([&] { return GetFileAttributesA(log.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000);
            Sleep(300);
            std::vector<std::string> lines = ReadLines(log);
            opened.push_back(lines.empty() ? "" : lines.back());
        }
        SendMessageA(MainWindow, WM_COMMAND, 1041, 0);
        SendMessageA(MainWindow, WM_COMMAND, 1067, 0);
        Sleep(2000);
        DWORD_PTR result = 0;
        answering = SendMessageTimeoutA(MainWindow, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 3000, &result) != 0;
    });
    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
    ASSERT_EQ(2u, opened.size());
    for (const std::string& line : opened) EXPECT_EQ("http://www.velorin.com/brindle/help_intro.html", line);
    EXPECT_TRUE(answering);
}

// Uploads of the last recording against the stand-in service.
class UploadBench : public CommandsBench {
protected:
    void SetUp() override {
        // The proxy setting goes into a private HKCU, the window's settings too.
        sharing_test::IsolateUserRegistry();
        CommandsBench::SetUp();
    }
};

TEST_F(UploadBench, UploadLastSendsTheRecordingAndHoldsTheWindow) {
    sharing_test::ServiceStandIn service("", "cmd-" + std::to_string(GetCurrentProcessId()) + ".cantabel.test");
    ASSERT_TRUE(service.Ok());
    auto tone = bench::PlayTone(1000, 30, 0.5);
    static std::string statusWhileRecording;
    static size_t requestsWhileRecording = 99;
    static bool dialogSeen = false, mainDisabled = false, refusedLongPath = false;
    const std::string take = out_ + "\\take.wav";
    WatchedDialog dialog;
    RunDialog(dialog, [&service] {
        ClickButton(1000);
        Sleep(1500);
        ChooseFromPopupMenu(15, 0);  // Share audio > Upload last recorded file
        Sleep(500);
        statusWhileRecording = ReadOnWindow<std::string>([] { return std::string(Dialog->StatusLine1); });
        requestsWhileRecording = service.Requests().size();
        ClickButton(1004);
        WaitStopped();

        ChooseFromPopupMenu(15, 0);
        HWND upload = WaitForCaption("UpLoad");
        dialogSeen = upload != nullptr;
        if (!upload) return;
        mainDisabled = !IsWindowEnabled(MainWindow);
        Sleep(300);
        SetDlgItemTextA(upload, IDC_UP_USERNAME, "alice");
        SetDlgItemTextA(upload, IDC_UP_PASSWORD, "secret");
        bench::Screenshot("upload-form", upload);
        PostMessageA(upload, WM_COMMAND, IDC_UP_UPLOAD, 0);
        bench::PumpUntil([&] { return IsWindowVisible(GetDlgItem(upload, IDC_UP_RESULT)) != FALSE; }, 30000);
        PostMessageA(upload, WM_COMMAND, IDCANCEL, 0);
        bench::PumpUntil([&] { return !IsWindow(upload); }, 5000);

        // A path longer than the dialog's field: its refusal, nothing sent.
        SetOutputFile("C:\\" + std::string(296, 'x'));
        PostMessageA(MainWindow, WM_COMMAND, 32793, 0);
        HWND refusal = WaitForCaption("Velorin", 5000);
        refusedLongPath = refusal != nullptr;
        if (refusal) PostMessageA(refusal, WM_COMMAND, IDOK, 0);
        Sleep(300);
    });
    EXPECT_EQ("Stop the recording first", statusWhileRecording);
    EXPECT_EQ(0u, requestsWhileRecording);
    EXPECT_TRUE(dialogSeen);
    EXPECT_TRUE(mainDisabled);
    std::vector<sharing_test::LoggedRequest> uploads = service.Requests("upload");
    ASSERT_EQ(1u, uploads.size());
    EXPECT_EQ(sharing_test::ReadFileBytes(take), service.StoredFile(uploads[0].stored));
    EXPECT_TRUE(refusedLongPath);
    EXPECT_EQ(1u, service.Requests("upload").size());
}
