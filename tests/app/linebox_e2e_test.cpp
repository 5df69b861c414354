// The audio-line box as a user meets it: opened and closed on the real
// program, the automatic line test finding a tone and the program's own
// clip on the bench's sound devices, the manual test of one row, and the
// capability report. The line test walks every device of the sound
// server, so these cases run alone.
// The framework first: the DirectShow headers rename some of its members.
#include "app/VelorinDlg.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "bench.h"
#include "brindle_process.h"
#include "engine/CaptureGraph.h"
#include "engine/EngineState.h"
#include "watched_dialog.h"

namespace {

// What the screen shows in a rectangle of the window at kX, kY.
std::vector<DWORD> ScreenPixels(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<DWORD> pixels(static_cast<size_t>(w) * h);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, w, h, screen, kX + r.left, kY + r.top, SRCCOPY);
    SelectObject(mem, old);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    GetDIBits(mem, bitmap, 0, h, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::vector<std::string> CaptureDeviceNames() {
    std::vector<std::string> names;
    CaptureDeviceList devices;
    if (SUCCEEDED(FillCaptureDeviceList(&devices)))
        for (int i = 0; i < devices.Count(); ++i) names.push_back(devices.Name(i));
    return names;
}

int FirstNamed(const std::vector<std::string>& names, const std::string& part) {
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i].find(part) != std::string::npos) return static_cast<int>(i);
    return -1;
}

// Test recordings left in either place they may be written to.
int LeftTestFiles() {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    int found = 0;
    for (const std::string& folder : {std::string("c:\\"), std::string(temp)}) {
        WIN32_FIND_DATAA data;
        HANDLE h = FindFirstFileA((folder + "AudioTestRec*.wav").c_str(), &data);
        if (h == INVALID_HANDLE_VALUE) continue;
        do ++found;
        while (FindNextFileA(h, &data));
        FindClose(h);
    }
    return found;
}

bool Wait(std::function<bool()> condition, DWORD ms) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > ms) return false;
        Sleep(50);
    }
    return true;
}

}  // namespace

TEST(AudioLineBoxProgram, OpensWithTheProbeAndClosesAndTheWindowButtonsStillWork) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int devices = static_cast<int>(CaptureDeviceNames().size());
    CoUninitialize();
    ClearSettings();
    StoreDword("Device", 0);
    StoreDword("AudoLine", 0);
    Program p;
    ASSERT_TRUE(p.Start(""));
    bench::Pump(500);

    auto width = [&] { RECT r = p.Rect(); return r.right - r.left; };
    auto visible = [&](int id) { return IsWindowVisible(GetDlgItem(p.window, id)) != FALSE; };
    // The window grows first; the box's buttons come once the formats are
    // probed, the detect strip goes with them.
    auto boxOpen = [&] { return width() == 949 && visible(1021) && !visible(1008); };
    auto boxClosed = [&] { return width() == 592 && visible(1008) && !visible(1021); };
    ClickButton(1008);
    const DWORD clicked = GetTickCount();
    EXPECT_TRUE(bench::PumpUntil([&] { return width() == 949; }, 1000));
    const DWORD grown = GetTickCount();
    EXPECT_TRUE(bench::PumpUntil(boxOpen, 5000));
    std::printf("window grown after %lu ms, box open after %lu ms\n", grown - clicked,
                GetTickCount() - clicked);
    EXPECT_EQ(392, p.Rect().bottom - p.Rect().top);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(p.window, region);
    EXPECT_TRUE(PtInRegion(region, 900, 200));
    EXPECT_FALSE(PtInRegion(region, 591, 370));
    DeleteObject(region);
    for (int id : {1020, 1021, 1121, 1067}) EXPECT_TRUE(visible(id)) << id;
    EXPECT_FALSE(visible(1008));
    // Wine's query takes every format.
    EXPECT_EQ(std::string(35, '1'), StoredText("Ability"));
    bench::Pump(300);
    bench::Screenshot("audio-box");

    // The marker of a row that is not shown takes no click.
    if (devices < 10) {
        const RECT markers{886, 96, 902, 330};
        const std::vector<DWORD> before = ScreenPixels(markers);
        bench::Click(kX + 894, kY + 98 + 23 * 9 + 6);
        bench::Pump(400);
        EXPECT_TRUE(before == ScreenPixels(markers));
    }

    ClickButton(1021);
    EXPECT_TRUE(bench::PumpUntil(boxClosed, 1000));
    EXPECT_TRUE(visible(1008));
    for (int id : {1020, 1021, 1121, 1067}) EXPECT_FALSE(visible(id)) << id;

    ClickButton(1013);
    EXPECT_TRUE(bench::PumpUntil([&] { return IsIconic(p.window) != FALSE; }, 2000));
    PostMessageA(p.window, WM_COMMAND, 32771, 0);
    EXPECT_TRUE(bench::PumpUntil([&] { return !IsIconic(p.window); }, 2000));
    bench::Pump(300);

    // Opened by a click, the box takes its Ctrl+Alt keys at once: the
    // detect button that held the focus is hidden, and the face holds it.
    ClickButton(1008);
    EXPECT_TRUE(bench::PumpUntil(boxOpen, 5000));
    bench::KeyPress('C', true, false, true);
    EXPECT_TRUE(bench::PumpUntil(boxClosed, 5000)) << "Ctrl+Alt+C did not close the box";

    // Closing with the box open frees it and ends cleanly.
    ClickButton(1008);
    EXPECT_TRUE(bench::PumpUntil(boxOpen, 5000));
    ClickButton(1014);
    EXPECT_EQ(0, p.WaitExit(10000));
}

namespace {

// The window with the test steps it ran: (tick, TestLine) at each change.
class LineDialog : public WatchedDialog {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        LRESULT result = WatchedDialog::WindowProc(message, wParam, lParam);
        if (TestLine != seenTestLine) {
            seenTestLine = TestLine;
            changes.emplace_back(GetTickCount(), TestLine);
        }
        return result;
    }
    int seenTestLine = -1;
    std::vector<std::pair<DWORD, int>> changes;
};

LineDialog* Lines() { return static_cast<LineDialog*>(Dialog); }

struct WalkResult {
    std::string line1, line2;
    int device = -1, line = -1;
    std::vector<double> steps;  // seconds each test recording took
};

// Waits for a walk to end and reports where it ended; the steps are those
// since the last call.
WalkResult FinishWalk() {
    WalkResult r;
    const bool ended = Wait(
        [] {
            return ReadOnWindow<bool>([] {
                const std::string s = static_cast<const char*>(Dialog->StatusLine1);
                return !Dialog->LineTestBusy() && !Dialog->LineTestNextPending &&
                       !Dialog->AutoSetupPending &&
                       (s == "Record Line Found" || s == "Record Line Not Found");
            });
        },
        60000);
    EXPECT_TRUE(ended) << "the walk did not end";
    OnWindow([&] {
        r.line1 = static_cast<const char*>(Dialog->StatusLine1);
        r.line2 = static_cast<const char*>(Dialog->StatusLine2);
        r.device = Dialog->DeviceIndex;
        r.line = Dialog->LineIndex;
        auto& changes = Lines()->changes;
        for (size_t i = 0; i + 1 < changes.size(); ++i)
            if (changes[i].second >= 0 && changes[i + 1].second < 0)
                r.steps.push_back((changes[i + 1].first - changes[i].first) / 1000.0);
        changes.clear();
        Dialog->StatusLine1 = "";
    });
    for (double s : r.steps) {
        EXPECT_GE(s, 0.9);
        EXPECT_LE(s, 3.0);  // 2 s on a machine, more when emulated and loaded
    }
    return r;
}

void PrintWalk(const char* what, const WalkResult& r) {
    std::printf("%s: \"%s\" / \"%s\", device %d, line %d, steps", what, r.line1.c_str(),
                r.line2.c_str(), r.device, r.line);
    for (double s : r.steps) std::printf(" %.2f s", s);
    std::printf("\n");
}

void OpenBox() {
    ClickButton(1008);
    EXPECT_TRUE(Wait([] { return ReadOnWindow<bool>([] { return Dialog->AudioBoxOpen != 0; }); }, 2000));
    Sleep(300);
}

void CloseBox() {
    ClickButton(1021);
    EXPECT_TRUE(Wait([] { return ReadOnWindow<bool>([] { return !Dialog->AudioBoxOpen; }); }, 2000));
    EXPECT_EQ(0, LeftTestFiles());
}

RECT RowRect(int row) {
    RECT r = row < 5 ? RECT{680, 92 + 23 * row, 725, 114 + 23 * row}
                     : RECT{680, 207 + 23 * (row - 5), 725, 229 + 23 * (row - 5)};
    return r;
}

void ClickRow(int row) {
    const RECT r = RowRect(row);
    bench::Click(kX + (r.left + r.right) / 2, kY + (r.top + r.bottom) / 2);
}

class LineTestBench : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(bench::HaveSound());
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        {
            CCaptureGraph graph;
            CaptureDeviceList devices;
            PinNameList pins;
            ASSERT_EQ(S_OK, graph.CreateGraph());
            ASSERT_EQ(S_OK, FillCaptureDeviceList(&devices));
            ASSERT_EQ(S_OK, graph.SelectDevice(0, &devices, &pins));
            if (!graph.HasCaptureOutput() || pins.Count() == 0)
                GTEST_SKIP() << "the capture device stand-in is not registered";
            graph.Shutdown();
        }
        names_ = CaptureDeviceNames();
        for (size_t i = 0; i < names_.size(); ++i) std::printf("device %zu: %s\n", i, names_[i].c_str());
        recDevice_ = FirstNamed(names_, bench::Env("BENCH_REC_DEVICE"));
        const int pulse = FirstNamed(names_, "PulseAudio");
        if (pulse >= 0 && (recDevice_ < 0 || pulse < recDevice_)) recDevice_ = pulse;
        outDevice_ = FirstNamed(names_, bench::Env("BENCH_OUT_DEVICE"));
        ASSERT_GE(outDevice_, 0);
        ASSERT_LT(outDevice_, 10) << "the box shows ten rows";
        ClearSettings();
        StoreDword("Device", 0);
        StoreDword("AudoLine", 0);
        StoreDword("Alert", 0);
        StoreText("LastName", bench::ScratchDir() + "\\take.wav");
        ASSERT_EQ(0, LeftTestFiles());
    }
    void TearDown() override { CoUninitialize(); }

    std::vector<std::string> names_;
    int recDevice_ = -1, outDevice_ = -1;
};

}  // namespace

// The walk stops at the first device that hears something: the tone of
// the recorded sink, else the program's own clip on the monitor of the
// sink it plays into; the same without NT 6's one-device-per-line.
TEST_F(LineTestBench, AutomaticTestFindsTheToneThenTheProgramsOwnClip) {
    static WalkResult tone, clip, posted, lines;
    static int outPin = -1;
    LineDialog dialog;
    RunDialog(dialog, [] {
        {
            // The program's own clip goes to a sink no device before the
            // tone's hears: a speaker that is not recorded.
            bench::Host("pactl set-sink-mute " + bench::OutputSink() + " 1");
            // Long enough for the walk, short enough to be over before the
            // next one: the bench cannot always stop a player it started.
            const DWORD toneStart = GetTickCount();
            auto player = bench::PlayTone(1000, 20, 0.5);
            Sleep(500);
            OpenBox();
            ClickButton(1020);
            tone = FinishWalk();
            CloseBox();
            bench::Host("pactl set-sink-mute " + bench::OutputSink() + " 0");
            player.reset();
            while (GetTickCount() - toneStart < 21000) Sleep(100);
        }
        Sleep(500);
        OpenBox();
        ClickButton(1020);
        clip = FinishWalk();
        bench::Screenshot("line-found");
        CloseBox();

        PostMessageA(MainWindow, WM_AUTOCONFIG, 0, 0);
        posted = FinishWalk();
        CloseBox();

        // The older systems' lines: the inputs of the first device, whose
        // own source comes first and the out sink's monitor later.
        OnWindow([] {
            Dialog->IsNt6 = 0;
            Dialog->DeviceIndex = 0;
            Dialog->CaptureGraphObject.SelectDevice(0, &Dialog->DeviceList, &Dialog->LineList);
            Dialog->LineCount = Dialog->LineList.Count();
            for (int i = 0; i < Dialog->LineList.Count(); ++i) std::printf("line %d: %s\n", i, Dialog->LineList.Name(i));
            for (int i = 0; i < Dialog->LineList.Count(); ++i)
                if (std::string(Dialog->LineList.Name(i)).find(bench::Env("BENCH_OUT_DEVICE")) !=
                    std::string::npos && outPin < 0)
                    outPin = i;
        });
        OpenBox();
        ClickButton(1020);
        lines = FinishWalk();
        CloseBox();
    });
    PrintWalk("tone", tone);
    PrintWalk("clip", clip);
    PrintWalk("posted", posted);
    PrintWalk("lines", lines);
    EXPECT_EQ("Record Line Found", tone.line1);
    EXPECT_EQ("Ready To Record", tone.line2);
    EXPECT_EQ(recDevice_, tone.device);
    EXPECT_EQ(static_cast<size_t>(recDevice_ + 1), tone.steps.size());
    EXPECT_EQ("Record Line Found", clip.line1);
    EXPECT_EQ(outDevice_, clip.device);
    EXPECT_EQ(static_cast<size_t>(outDevice_ + 1), clip.steps.size());
    EXPECT_EQ("Record Line Found", posted.line1);
    EXPECT_EQ(outDevice_, posted.device);
    ASSERT_GE(outPin, 0);
    EXPECT_EQ("Record Line Found", lines.line1);
    EXPECT_EQ(outPin, lines.line);
    EXPECT_EQ(static_cast<size_t>(outPin + 1), lines.steps.size());
    EXPECT_EQ(0, LeftTestFiles());
}

namespace {
std::string OpenedReport;
void RecordOpener(HWND, const char* path) { OpenedReport = path; }
}  // namespace

// A click on a row tests that line by itself and plays the recording back;
// the capability report lists what the first device opens.
TEST_F(LineTestBench, ManualTestOfOneRowAndTheCapabilityReport) {
    static std::string during, finish;
    static int deviceDuring = -1, deviceAfterOtherClick = -1, deviceAfter = -1, testLineDuring = -2;
    static int recordingDuringStep = -1, filesAfterStop = -1;
    static bool afterStop = true;
    static const int row = outDevice_;
    ASSERT_NE(0, row) << "the out device must not be the selected one";
    LineDialog dialog;
    RunDialog(dialog, [] {
        OpenBox();
        ClickRow(row);
        Wait([] { return ReadOnWindow<bool>([] { return Dialog->TestLine >= 0; }); }, 2000);
        OnWindow([] {
            during = std::string(static_cast<const char*>(Dialog->StatusLine1)) + " / " + static_cast<const char*>(Dialog->StatusLine2);
            deviceDuring = Dialog->DeviceIndex;
        });
        // Another row during the step changes nothing.
        ClickRow(0);
        Sleep(200);
        OnWindow([] {
            deviceAfterOtherClick = Dialog->DeviceIndex;
            testLineDuring = Dialog->TestLine;
        });
        Wait([] { return ReadOnWindow<bool>([] { return !Dialog->LineTestBusy(); }); }, 4000);
        OnWindow([] {
            finish = std::string(static_cast<const char*>(Dialog->StatusLine1)) + " / " + static_cast<const char*>(Dialog->StatusLine2);
            deviceAfter = Dialog->DeviceIndex;
        });
        Sleep(300);
        bench::Screenshot("manual-test");

        // A second step: Record is refused while it runs, Stop ends it.
        ClickRow(0);
        Wait([] { return ReadOnWindow<bool>([] { return Dialog->TestLine >= 0; }); }, 2000);
        ClickButton(1000);
        Sleep(200);
        recordingDuringStep = ReadOnWindow<int>([] { return Dialog->IsRecording; });
        ClickButton(1004);
        Sleep(200);
        OnWindow([] {
            afterStop = Dialog->LineTestBusy() || CaptureRunning() || Dialog->TestFileName[0];
        });
        filesAfterStop = LeftTestFiles();
        CloseBox();

        OnWindow([] {
            CVelorinDlg::SetReportOpener(RecordOpener);
            Dialog->WriteCapabilityReport();
        });
    });
    const std::string number = std::to_string(row + 1);
    EXPECT_EQ("Testing Recording Line / Line " + number, during);
    EXPECT_EQ(row, deviceDuring);
    EXPECT_EQ(row, deviceAfterOtherClick);
    EXPECT_EQ(row, testLineDuring);
    EXPECT_EQ("Testing Recording Line / Line " + number + "  Finish", finish);
    EXPECT_EQ(row, deviceAfter);
    EXPECT_EQ(0, recordingDuringStep);
    EXPECT_FALSE(afterStop) << "the step still ran after Stop";
    // The first step's recording went when the second test began, the
    // second's with the stop.
    EXPECT_EQ(0, filesAfterStop);
    EXPECT_EQ(0, LeftTestFiles());

    ASSERT_FALSE(OpenedReport.empty());
    std::printf("report: %s\n", OpenedReport.c_str());
    FILE* f = fopen(OpenedReport.c_str(), "r");
    ASSERT_NE(nullptr, f);
    std::string text;
    char buf[512];
    while (fgets(buf, sizeof buf, f)) text += buf;
    fclose(f);
    DeleteFileA(OpenedReport.c_str());
    const std::string head =
        "The resource for the format you are using\nis occupied by the media you are playing\n\n"
        "For this Media you are playing,\nyou can only use one of the following formats to record:\n\n";
    EXPECT_EQ(0u, text.find(head));
    size_t formats = 0;
    for (size_t at = 0; (at = text.find(" KHZ ", at)) != std::string::npos; ++at) ++formats;
    EXPECT_EQ(36u, formats);
    EXPECT_NE(std::string::npos, text.find("22 KHZ    Mono     8 bit \n"));
    EXPECT_NE(std::string::npos, text.find("44 KHZ  Stereo    16 bit \n"));
}
