// brindle.exe on the display: the shaped, skinned main window, real mouse
// input on its face (buttons, sliders, window drag), the close button with
// the settings written, the first-start message, and stored settings the
// system no longer matches. Some cases run the program as a process of its
// own; others run the main window inside this test to watch its messages.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/VelorinDlg.h"

#include <commctrl.h>
#include "bench.h"
#include "brindle_process.h"

namespace {

const int kX = 200, kY = 200;  // where the window opens

// Centre of a face button in screen coordinates, the window at (wx, wy).
POINT ButtonCentre(UINT id, int wx = kX, int wy = kY) {
    for (const FaceButtonSpec& b : FaceButtonTable)
        if (b.id == id) return {wx + b.x + b.width / 2, wy + b.y + b.height / 2};
    ADD_FAILURE() << "no face button " << id;
    return {0, 0};
}

void ClickButton(UINT id, int wx = kX, int wy = kY) {
    POINT p = ButtonCentre(id, wx, wy);
    bench::Click(p.x, p.y);
}

}  // namespace

TEST(MainWindowProgram, FirstStartShowsTheShapedFaceAndClosesWithItsSettingsWritten) {
    ClearSettings();
    Program p;
    ASSERT_TRUE(p.Start(""));
    bench::Pump(700);  // the start-up message and the first paint

    RECT r = p.Rect();
    EXPECT_EQ(kX, r.left);
    EXPECT_EQ(kY, r.top);
    EXPECT_EQ(592, r.right - r.left);
    EXPECT_EQ(392, r.bottom - r.top);
    char title[64] = "";
    GetWindowTextA(p.window, title, sizeof title);
    EXPECT_STREQ("Brindle", title);

    // The outline cuts the rounded corners and the strip right of the face.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(COMPLEXREGION, GetWindowRgn(p.window, region));
    EXPECT_FALSE(PtInRegion(region, 1, 1));
    EXPECT_FALSE(PtInRegion(region, 590, 30));
    EXPECT_TRUE(PtInRegion(region, 300, 300));
    EXPECT_TRUE(PtInRegion(region, 591, 200));
    DeleteObject(region);
    // Outside the outline the screen shows what lies behind the window.
    EXPECT_EQ(WindowFromPoint(POINT{kX + 1, kY + 1}) == p.window, false);

    // The notification-area icon: without a shell's tray on the display
    // Wine shows it in a small tray window of its own.
    HWND tray = FindWindowA(nullptr, "Wine System Tray");
    ASSERT_NE(nullptr, tray);
    EXPECT_TRUE(IsWindowVisible(tray));

    std::string shot = bench::Screenshot("main-window");
    EXPECT_FALSE(shot.empty());
    std::printf("screenshot: %s\n", shot.c_str());

    ClickButton(1014);
    EXPECT_EQ(0, p.WaitExit(10000));
    // The icon went with the program.
    EXPECT_TRUE(bench::PumpUntil([&] { return !IsWindowVisible(tray); }, 3000));
    // The first start chose the first device; the face's format and the
    // output path were saved.
    EXPECT_EQ(0, StoredDword("Device"));
    EXPECT_EQ(1, StoredDword("Channel"));
    EXPECT_EQ(1, StoredDword("Bit"));
    EXPECT_EQ(0, StoredDword("Freq"));
    EXPECT_EQ("C:\\Velorin.wav", StoredText("LastName"));
}

TEST(MainWindowProgram, StoredValuesTheSystemNoLongerHasAreTakenSafely) {
    ClearSettings();
    // Past any device count: the recording tests running beside this one
    // add wave-in devices of their own to the shared sound server.
    StoreDword("Device", 250);
    StoreDword("AudoLine", 9);
    StoreDword("Freq", 12);
    StoreDword("MP3Bitrate", 40);
    StoreDword("MP3Mode", 5);
    StoreDword("Threshold", 60);
    // File names an older version let through that are devices: opening
    // one waits on it for ever. Clicking the background and play rows opens
    // what they name.
    StoreText("LastName", "c:\\t3\\com1.wav");
    StoreText("PlayFile", "c:\\t3\\com1.wav");
    StoreText("Background File", "c:\\t3\\COM2.mp3");
    {
        Program p;
        ASSERT_TRUE(p.Start(""));
        bench::Pump(500);
        bench::Screenshot("stale-device");
        bench::Click(kX + 400, kY + 90);
        bench::Click(kX + 400, kY + 104);
        ClickButton(1014);
        ASSERT_EQ(0, p.WaitExit(10000));
    }
    EXPECT_EQ(0, StoredDword("Device"));
    EXPECT_EQ(0, StoredDword("Freq"));
    EXPECT_EQ(0, StoredDword("MP3Bitrate"));
    EXPECT_EQ(0, StoredDword("MP3Mode"));
    EXPECT_EQ(47, StoredDword("Threshold"));
    EXPECT_EQ("C:\\Velorin.wav", StoredText("LastName"));
    EXPECT_EQ("", StoredText("PlayFile"));
    EXPECT_EQ("", StoredText("Background File"));

    // A start-with-Windows line hides the window and leaves the stored
    // bitrate alone. Whatever the starts record goes to a scratch file,
    // without questions.
    StoreDword("MP3Bitrate", 7);
    StoreDword("Alert", 0);
    StoreText("LastName", bench::ScratchDir() + "\\stale.wav");
    {
        Program p;
        ASSERT_TRUE(p.Start("/rs /hide", false));
        // Shown by the start-up, then hidden by the to-tray press once the
        // window's loop runs.
        bool seen = false;
        bench::PumpUntil(
            [&] {
                seen = seen || IsWindowVisible(p.window);
                return seen && !IsWindowVisible(p.window);
            },
            8000);
        bench::Pump(500);
        EXPECT_FALSE(IsWindowVisible(p.window));
        PostMessageA(p.window, WM_COMMAND, 1014, 0);
        ASSERT_EQ(0, p.WaitExit(10000));
    }
    EXPECT_EQ(7, StoredDword("MP3Bitrate"));

    // Format switches on the command line reach the settings saved at exit.
    {
        Program p;
        ASSERT_TRUE(p.Start("/r /hide -frequency 22 -bit 8 -channels 1 -mp3bitrate 320", false));
        bench::Pump(500);
        PostMessageA(p.window, WM_COMMAND, 1014, 0);
        ASSERT_EQ(0, p.WaitExit(10000));
    }
    EXPECT_EQ(4, StoredDword("Freq"));
    EXPECT_EQ(0, StoredDword("Bit"));
    EXPECT_EQ(0, StoredDword("Channel"));
    EXPECT_EQ(15, StoredDword("MP3Bitrate"));
}

TEST(MainWindowProgram, SliderDragMovesTheSliderAndAFacePressMovesTheWindow) {
    ClearSettings();
    StoreDword("Device", 0);
    StoreDword("Volume", 0);
    Program p;
    ASSERT_TRUE(p.Start(""));
    bench::Pump(500);

    // The volume thumb (value 0: at the bottom of its range) dragged up.
    bench::Drag(kX + 213, kY + 150, kX + 213, kY + 70);
    bench::MouseMove(kX + 300, kY + 30);  // the button is up: nothing follows
    bench::Pump(200);
    RECT r = p.Rect();
    EXPECT_EQ(kX, r.left);
    EXPECT_EQ(kY, r.top);
    bench::Screenshot("volume-dragged");

    // An empty place of the face (the title strip) drags the window.
    bench::Drag(kX + 150, kY + 14, kX + 270, kY + 74);
    bench::Pump(300);
    r = p.Rect();
    EXPECT_EQ(kX + 120, r.left);
    EXPECT_EQ(kY + 60, r.top);

    ClickButton(1014, r.left, r.top);
    ASSERT_EQ(0, p.WaitExit(10000));
    // Dragged to 80 of the 114 pixels: about 70% of 65535.
    int64_t volume = StoredDword("Volume");
    EXPECT_GT(volume, 40000);
    EXPECT_LT(volume, 52000);
}

namespace {

// The main window in this process, with its commands and window messages
// counted on the way in.
class WatchedDialog : public CVelorinDlg {
public:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        // Clicks of controls only (not the edit box's notices, not posted
        // commands).
        if (lParam && HIWORD(wParam) == BN_CLICKED) {
            commands.push_back(LOWORD(wParam));
            ++clicks;
        }
        return CVelorinDlg::OnCommand(wParam, lParam);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SHOW_STARTUP) ++startupMessages;
        if (message == WM_RECORD_TICK) ++ticks;
        if (message == kStartRecordTimer) {
            StartRecordTimer(50);
            Sleep(static_cast<DWORD>(wParam));  // a slow handler holds the thread
            return 0;
        }
        if (message == kStopRecordTimer) {
            StopRecordTimer();
            return 0;
        }
        if (message == kRunHere) {
            (*reinterpret_cast<std::function<void()>*>(wParam))();
            return 0;
        }
        if (message == kLayout) {
            AudioBoxOpen = (wParam & 1) != 0;
            ArchiveOpen = (wParam & 2) != 0;
            ApplyWindowRegion(TRUE);
            return 0;
        }
        return CVelorinDlg::WindowProc(message, wParam, lParam);
    }
    static constexpr UINT kStartRecordTimer = WM_APP + 200;
    static constexpr UINT kStopRecordTimer = WM_APP + 201;
    static constexpr UINT kLayout = WM_APP + 202;
    static constexpr UINT kRunHere = WM_APP + 203;
    // The texts the window handed its tooltips, in order.
    BOOL OnToolTipNeedText(UINT id, NMHDR* header, LRESULT* result) override {
        const BOOL answered = CVelorinDlg::OnToolTipNeedText(id, header, result);
        if (answered) tips.push_back(reinterpret_cast<NMTTDISPINFOA*>(header)->lpszText);
        return answered;
    }
    std::vector<std::string> tips;
    std::vector<UINT> commands;
    std::atomic<int> startupMessages{0};
    std::atomic<int> clicks{0};
    std::atomic<int> ticks{0};
};

// Runs the dialog modally here while `drive` works the mouse from another
// thread; `drive` ends by closing the window.
void RunDialog(WatchedDialog& dialog, void (*drive)()) {
    std::thread driver([drive] { DriveShownWindow(&MainWindow, 600, drive); });
    dialog.DoModal();
    driver.join();
}

}  // namespace

namespace {
WatchedDialog* Clicked = nullptr;
}  // namespace

TEST(MainWindowInProcess, FaceButtonClicksReachTheirCommandsAndTheStartupMessageComesOnce) {
    ClearSettings();
    // Whatever the transport does with them, it works on a scratch file
    // and asks nothing.
    StoreText("LastName", bench::ScratchDir() + "\\clicks.wav");
    StoreDword("Alert", 0);
    {
        WatchedDialog dialog;
        Clicked = &dialog;
        RunDialog(dialog, [] {
            // Each click is taken before the next: a record start or stop
            // may hold the window's thread for a while, and the closing
            // command, posted, would overtake input still queued.
            int n = 0;
            for (UINT id : {1000u, 1004u, 1006u, 1003u}) {  // record, stop, play, pause
                ClickButton(id);
                ++n;
                bench::PumpUntil([n] { return Clicked->clicks.load() >= n; }, 15000);
            }
        });
        EXPECT_EQ(1, dialog.startupMessages.load());
        std::vector<UINT> expected{1000, 1004, 1006, 1003};
        EXPECT_EQ(expected, dialog.commands);
        EXPECT_EQ(0, dialog.DeviceIndex);
    }
    // The first start left a device behind: no start-up message again.
    EXPECT_EQ(0, StoredDword("Device"));
    {
        WatchedDialog dialog;
        Clicked = &dialog;
        RunDialog(dialog, [] {
            ClickButton(1062);
            bench::PumpUntil([] { return Clicked->clicks.load() >= 1; }, 15000);
        });
        EXPECT_EQ(0, dialog.startupMessages.load());
        ASSERT_FALSE(dialog.commands.empty());
        EXPECT_EQ(1062u, dialog.commands.front());
    }
}

TEST(MainWindowInProcess, OnlyOwnCaptureBlocksAreTaken) {
    ClearSettings();
    StoreDword("Device", 0);
    WatchedDialog dialog;
    static WAVEHDR foreign;
    static char bytes[16];
    foreign.lpData = bytes;
    foreign.dwBufferLength = sizeof bytes;
    foreign.dwBytesRecorded = 1u << 30;
    RunDialog(dialog, [] {
        // A stranger's header, a wild pointer, an unknown source, and one
        // of our own blocks while nothing records: none is processed.
        PostMessageA(MainWindow, MM_WIM_DATA, 1, reinterpret_cast<LPARAM>(&foreign));
        PostMessageA(MainWindow, MM_WIM_DATA, 1, 0x12345678);
        PostMessageA(MainWindow, MM_WIM_DATA, 2, 0x12345678);
        RecordingSession.CaptureHeaders[0].dwBytesRecorded = 1u << 30;
        PostMessageA(MainWindow, MM_WIM_DATA, 1,
                     reinterpret_cast<LPARAM>(&RecordingSession.CaptureHeaders[0]));
        Sleep(300);
    });
    EXPECT_EQ(static_cast<DWORD>(1u << 30), foreign.dwBytesRecorded);
    EXPECT_EQ(nullptr, RecordingSession.LastBlock.load());
    EXPECT_FALSE(CaptureRunning());
}

namespace {
WatchedDialog* TickDialog = nullptr;
int TicksAtStop = 0, TicksAfterStop = 0;
DWORD FreeMs = 0;
}  // namespace

TEST(MainWindowInProcess, TheRecordTimerHandsOverOneTickAtATime) {
    ClearSettings();
    StoreDword("Device", 0);
    WatchedDialog dialog;
    TickDialog = &dialog;
    RunDialog(dialog, [] {
        // 600 ms of a busy window thread: the timer keeps running, but only
        // one tick may wait for the thread, not twelve.
        SendMessageA(MainWindow, WatchedDialog::kStartRecordTimer, 600, 0);
        // Half a second free, longer where a loaded machine delays the
        // timer's thread.
        const DWORD free = GetTickCount();
        Sleep(500);
        while (TickDialog->ticks < 5 && GetTickCount() - free < 5000) Sleep(20);
        SendMessageA(MainWindow, WatchedDialog::kStopRecordTimer, 0, 0);
        FreeMs = GetTickCount() - free;
        TicksAtStop = TickDialog->ticks;
        Sleep(300);
        TicksAfterStop = TickDialog->ticks;
    });
    EXPECT_TRUE(dialog.MultimediaTimerOn);
    // One waiting tick plus one per 50 ms of free time (about ten in half
    // a second), not the twelve of the busy time on top.
    EXPECT_GE(TicksAtStop, 5);
    EXPECT_LE(TicksAtStop, static_cast<int>(4 + FreeMs / 50)) << FreeMs << " ms free";
    // Nothing arrives once the timer is stopped.
    EXPECT_EQ(TicksAtStop, TicksAfterStop);
}

namespace {
// Inside the window's region after a layout: points of the audio-line box
// strip, of the history panel, and of the plain face's right edge.
struct RegionProbe {
    bool box, history, faceEdge;
};
RegionProbe Layouts[4];
}  // namespace

TEST(MainWindowInProcess, EachLayoutHasItsOwnOutline) {
    ClearSettings();
    StoreDword("Device", 0);
    WatchedDialog dialog;
    RunDialog(dialog, [] {
        for (int layout = 0; layout < 4; ++layout) {
            SendMessageA(MainWindow, WatchedDialog::kLayout, layout, 0);
            HRGN region = CreateRectRgn(0, 0, 0, 0);
            GetWindowRgn(MainWindow, region);
            Layouts[layout] = {PtInRegion(region, 900, 200) != FALSE,
                               PtInRegion(region, 300, 600) != FALSE,
                               PtInRegion(region, 591, 200) != FALSE};
            DeleteObject(region);
        }
        SendMessageA(MainWindow, WatchedDialog::kLayout, 0, 0);
    });
    // Plain face (A), audio-line box (B), history panel (C), both (C').
    EXPECT_FALSE(Layouts[0].box);
    EXPECT_FALSE(Layouts[0].history);
    EXPECT_TRUE(Layouts[0].faceEdge);
    EXPECT_TRUE(Layouts[1].box);
    EXPECT_FALSE(Layouts[1].history);
    EXPECT_FALSE(Layouts[2].box);
    EXPECT_TRUE(Layouts[2].history);
    EXPECT_TRUE(Layouts[2].faceEdge);
    EXPECT_TRUE(Layouts[3].box);
    EXPECT_TRUE(Layouts[3].history);
}

namespace {

WatchedDialog* Watched = nullptr;

// Runs `f` on the window's thread and waits for it.
void OnWindow(std::function<void()> f) {
    SendMessageA(MainWindow, WatchedDialog::kRunHere, reinterpret_cast<WPARAM>(&f), 0);
}

// The speakers' volume control as another handle of this process sees it.
struct TestMixer {
    HMIXER handle = nullptr;
    MIXERCONTROLA control{};
    bool Open() {
        if (mixerOpen(&handle, 0, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) return false;
        MIXERLINEA line{};
        line.cbStruct = sizeof line;
        line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
        if (mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(handle), &line,
                              MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE))
            return false;
        control.cbStruct = sizeof control;
        MIXERLINECONTROLSA controls{};
        controls.cbStruct = sizeof controls;
        controls.dwLineID = line.dwLineID;
        controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
        controls.cControls = 1;
        controls.cbmxctrl = sizeof control;
        controls.pamxctrl = &control;
        return mixerGetLineControlsA(reinterpret_cast<HMIXEROBJ>(handle), &controls,
                                     MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) == 0;
    }
    ~TestMixer() {
        if (handle) mixerClose(handle);
    }
    // Read (set false) or write one channel of the control.
    DWORD Value(DWORD value = 0, bool set = false) {
        MIXERCONTROLDETAILS_UNSIGNED detail{value};
        MIXERCONTROLDETAILS details{};
        details.cbStruct = sizeof details;
        details.dwControlID = control.dwControlID;
        details.cChannels = 1;
        details.cbDetails = sizeof detail;
        details.paDetails = &detail;
        if (set)
            mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(handle), &details,
                                   MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
        else
            mixerGetControlDetailsA(reinterpret_cast<HMIXEROBJ>(handle), &details,
                                    MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE);
        return detail.dwValue;
    }
};

BOOL CALLBACK FindShownTooltip(HWND w, LPARAM found) {
    char name[64] = "";
    DWORD pid = 0;
    GetClassNameA(w, name, sizeof name);
    GetWindowThreadProcessId(w, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(w) &&
        lstrcmpiA(name, "tooltips_class32") == 0)
        *reinterpret_cast<bool*>(found) = true;
    return TRUE;
}

// A shown tooltip window of this process.
bool TooltipShown() {
    bool shown = false;
    EnumWindows(FindShownTooltip, reinterpret_cast<LPARAM>(&shown));
    return shown;
}

// Rests the pointer at a screen point until a tip shows (at most 3 s);
// the last text the window handed out, "" when none showed.
std::string TipAt(int x, int y) {
    bench::MouseMove(kX + 300, kY + 30);  // off every tool: tips go
    bench::PumpUntil([] { return !TooltipShown(); }, 2000);
    OnWindow([] { Watched->tips.clear(); });
    bench::MouseMove(x, y);
    std::string tip;
    bench::PumpUntil(
        [&] {
            OnWindow([&] { tip = Watched->tips.empty() ? "" : Watched->tips.back(); });
            return TooltipShown() && !tip.empty();
        },
        3000);
    return TooltipShown() ? tip : "";
}

struct FaceProbe {
    bool mixerOpened = false;
    int dragged = -1;
    DWORD mixerAfterDrag = 0, range = 0, minimum = 0;
    int fromMixer = -1, afterStrangers = -1;
    RECT thumbBefore{}, thumbAfter{};
    std::string rateTip, recordTip, statusTip, statusExpected;
} Face;

}  // namespace

TEST(MainWindowInProcess, VolumeSliderAndMixerFollowEachOtherAndTipsNameTheirKeys) {
    ClearSettings();
    StoreDword("Device", 0);
    StoreDword("Volume", 0);
    WatchedDialog dialog;
    Watched = &dialog;
    RunDialog(dialog, [] {
        TestMixer mixer;
        Face.mixerOpened = mixer.Open();
        if (!Face.mixerOpened) return;
        Face.minimum = mixer.control.Bounds.dwMinimum;
        Face.range = mixer.control.Bounds.dwMaximum - Face.minimum;

        // The thumb from the bottom to about 70 %: the mixer follows.
        bench::Drag(kX + 213, kY + 150, kX + 213, kY + 70);
        bench::Pump(200);
        OnWindow([] { Face.dragged = Watched->VolumeSlider.GetPos(); });
        Face.mixerAfterDrag = mixer.Value();

        // The mixer moved by someone else: its notice moves the thumb.
        // Wine's mixer sends none, so the test posts what it would.
        DWORD id = 0;
        HMIXER own = nullptr;
        OnWindow([&] {
            id = Watched->MasterVolumeControlId;
            own = Watched->MixerHandle;
            Face.thumbBefore = Watched->VolumeSlider.Thumb();
        });
        mixer.Value(Face.minimum + static_cast<DWORD>(uint64_t(20000) * Face.range / 65535), true);
        PostMessageA(MainWindow, MM_MIXM_CONTROL_CHANGE, reinterpret_cast<WPARAM>(own), id);
        bench::Pump(300);
        OnWindow([] {
            Face.fromMixer = Watched->VolumeSlider.GetPos();
            Face.thumbAfter = Watched->VolumeSlider.Thumb();
        });
        bench::Screenshot("volume-from-mixer");
        // Another control of that mixer, or another mixer: nothing moves.
        mixer.Value(Face.minimum + Face.range / 2, true);
        PostMessageA(MainWindow, MM_MIXM_CONTROL_CHANGE, reinterpret_cast<WPARAM>(own),
                     id == 1 ? 2 : 1);
        PostMessageA(MainWindow, MM_MIXM_CONTROL_CHANGE, reinterpret_cast<WPARAM>(mixer.handle),
                     id);
        bench::Pump(300);
        OnWindow([] { Face.afterStrangers = Watched->VolumeSlider.GetPos(); });

        // Tips: an area with its two keys, a button with its keys, and the
        // status texts however long.
        Face.rateTip = TipAt(kX + 136, kY + 95);
        bench::Screenshot("tip-area");
        POINT record = ButtonCentre(1000);
        Face.recordTip = TipAt(record.x, record.y);
        Face.statusExpected = std::string(300, 'a') + " " + std::string(900, 'b');
        Face.statusExpected.resize(1023);
        OnWindow([] {
            Watched->ShowStatusText(nullptr, std::string(300, 'a').c_str(),
                                    std::string(900, 'b').c_str());
        });
        Face.statusTip = TipAt(kX + 360, kY + 137);
        bench::Screenshot("tip-status");
        bench::MouseMove(kX + 300, kY + 30);
    });
    Watched = nullptr;
    ASSERT_TRUE(Face.mixerOpened);
    // Dragged 80 of 114 pixels; the mixer holds the slider's share of its
    // range.
    EXPECT_GT(Face.dragged, 40000);
    EXPECT_LT(Face.dragged, 52000);
    const double share = double(Face.mixerAfterDrag - Face.minimum) / Face.range;
    EXPECT_NEAR(Face.dragged / 65535.0, share, 0.01);
    EXPECT_NEAR(20000, Face.fromMixer, 656);
    EXPECT_GT(Face.thumbAfter.top, Face.thumbBefore.top + 20);
    EXPECT_EQ(Face.fromMixer, Face.afterStrangers);

    EXPECT_EQ("Sample rate - Hot Key :[SHIFT+UPARROW , SHIFT+DOWNARROW]", Face.rateTip);
    EXPECT_EQ("Record - Hot Key :[F8,ENTER,CTRL+R]", Face.recordTip);
    EXPECT_EQ(Face.statusExpected, Face.statusTip);
}
