// The control's recorder through the container host and real clicks on the
// panel: the tone plays into the recorded sink, Record and Stop are
// pressed, and the file in %TEMP% (the test's scratch folder) is checked.
// lame_enc.dll sits beside this program only (its own output folder).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "SabletHost.h"
#include <commctrl.h>

#include "control/resource.h"
#include "tests/support/bench.h"

using sablethost::ControlHost;
using sablethost::PropertyBag;

namespace {

// When the Stop button takes its click: the panel's work after it (the
// finished file measured by MCI) can hold this thread for seconds, so the
// time Press returns says little.
HWND g_watchedButton = nullptr;
DWORD g_buttonUpTick = 0;

LRESULT CALLBACK NoteButtonUp(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_LBUTTONUP &&
        msg->hwnd == g_watchedButton && g_buttonUpTick == 0)
        g_buttonUpTick = GetTickCount();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class SabletRecorder : public ::testing::Test {
protected:
    void SetUp() override {
        OleInitialize(nullptr);
        temp = bench::ScratchDir();
        // The control writes %TEMP%\Sablet.*: nowhere but the scratch folder.
        SetEnvironmentVariableA("TMP", temp.c_str());
        SetEnvironmentVariableA("TEMP", temp.c_str());
    }
    void TearDown() override {
        if (HasFailure()) bench::Screenshot("failure");
        host.Destroy();
        OleUninitialize();
    }
    void Show(PropertyBag* bag) {
        ASSERT_EQ(S_OK, host.Create(sablethost::kSabletClsid, L"http://pages.test/rec.htm", bag));
        bench::Pump(300);
        panel = host.ControlWindow();
        ASSERT_NE(nullptr, panel);
    }
    HWND Item(int id) const { return GetDlgItem(panel, id); }
    void Press(int id) {
        RECT r;
        GetWindowRect(Item(id), &r);
        bench::Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // Record for `seconds`, Stop, and wait until Play is offered (the file
    // is complete and measured). Returns the time from the recording's
    // start to the Stop button taking its click: input reaches an emulated
    // program late, so the times the clicks were sent say little.
    double RecordFor(double seconds) {
        Press(IDC_RECORD);
        EXPECT_TRUE(bench::PumpUntil([&] { return !IsWindowEnabled(Item(IDC_CONFIG)); }, 8000));
        DWORD start = GetTickCount();
        bench::Pump(static_cast<DWORD>(seconds * 1000));
        g_watchedButton = Item(IDC_STOP);
        g_buttonUpTick = 0;
        HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, NoteButtonUp, nullptr, GetCurrentThreadId());
        Press(IDC_STOP);
        EXPECT_TRUE(bench::PumpUntil([&] { return IsWindowEnabled(Item(IDC_CONFIG)) != 0; }, 8000));
        if (hook) UnhookWindowsHookEx(hook);
        EXPECT_NE(0u, g_buttonUpTick);
        double elapsed = ((g_buttonUpTick ? g_buttonUpTick : GetTickCount()) - start) / 1000.0;
        // MCI measuring an MP3 takes seconds on the emulated bench.
        EXPECT_TRUE(bench::PumpUntil([&] { return IsWindowEnabled(Item(IDC_PLAY)) != 0; }, 20000));
        return elapsed;
    }

    std::string temp;
    ControlHost host;
    HWND panel = nullptr;
};

TEST_F(SabletRecorder, WavRecordingsMatchTheirProperties) {
    ASSERT_TRUE(bench::HaveSound());
    struct Case {
        const wchar_t* rate;
        const wchar_t* bits;
        const wchar_t* channels;
        int r, b, c;
    } cases[] = {{L"44100", L"16", L"2", 44100, 16, 2}, {L"12000", L"8", L"1", 12000, 8, 1}};
    auto tone = bench::PlayTone(1000, 180);  // ended when the test ends
    for (const Case& c : cases) {
        SCOPED_TRACE(c.r);
        PropertyBag bag;
        bag.Set(L"UseMP3", L"0");
        bag.Set(L"Frequency", c.rate);
        bag.Set(L"SampleBit", c.bits);
        bag.Set(L"Channel", c.channels);
        Show(&bag);
        EXPECT_FALSE(IsWindowEnabled(Item(IDC_PLAY)));
        bench::Screenshot("idle");
        Press(IDC_RECORD);
        bench::Pump(1500);
        EXPECT_FALSE(IsWindowEnabled(Item(IDC_CONFIG)));
        bench::Screenshot("recording");
        Press(IDC_STOP);
        ASSERT_TRUE(bench::PumpUntil([&] { return IsWindowEnabled(Item(IDC_PLAY)) != 0; }, 8000));
        double elapsed = RecordFor(5.0);

        std::string path = temp + "\\Sablet.wav";
        bench::Wav wav;
        std::string error;
        ASSERT_TRUE(bench::ReadWav(path, &wav, &error)) << error;
        EXPECT_EQ(c.r, wav.rate);
        EXPECT_EQ(c.b, wav.bits);
        EXPECT_EQ(c.c, wav.channels);
        EXPECT_EQ(wav.dataSize + 36, wav.riffSize);
        EXPECT_EQ(0u, wav.dataSize % static_cast<uint32_t>(c.c * c.b / 8));
        EXPECT_NEAR(elapsed, wav.Seconds(), 0.5);
        EXPECT_GT(bench::ToneLevel(wav, 0, 1000, c.r / 2, c.r), 0.1);
        // A sine passes through exact zero now and then; a dropped block
        // would be a run of 10 ms or more.
        EXPECT_LT(bench::LongestInnerZeroRun(wav), static_cast<size_t>(c.r / 100));
        std::string soxRate;
        bench::Host("sox --i -r '" + bench::UnixPath(path) + "'", &soxRate);
        EXPECT_EQ(c.r, atoi(soxRate.c_str()));

        // Play runs to the end and offers Play and Record again.
        Press(IDC_PLAY);
        bench::Pump(1000);
        bench::Screenshot("playing");
        EXPECT_GT(SendMessageA(Item(IDC_POSITION), TBM_GETPOS, 0, 0), 0);
        EXPECT_TRUE(bench::PumpUntil([&] { return IsWindowEnabled(Item(IDC_RECORD)) != 0; },
                                     8000));
        host.Destroy();
    }
}

TEST_F(SabletRecorder, Mp3RecordingDecodesAndPlaysTheTone) {
    ASSERT_TRUE(bench::HaveSound());
    PropertyBag bag;
    bag.Set(L"UseMP3", L"1");
    bag.Set(L"Frequency", L"44100");
    bag.Set(L"SampleBit", L"8");
    bag.Set(L"Channel", L"2");
    bag.Set(L"MP3Bitrate", L"128");
    Show(&bag);
    auto tone = bench::PlayTone(1000, 20);
    double elapsed = RecordFor(5.0);
    std::string path = temp + "\\Sablet.mp3";
    std::string duration = bench::Ffprobe(path, "format=duration");
    // Nothing lost: no shorter than the time recorded. The emulated bench's
    // capture hands over up to about half a second from before the start.
    double seconds = atof(duration.c_str());
    EXPECT_GT(seconds, elapsed - 0.3) << duration;
    EXPECT_LT(seconds, elapsed + 1.0) << duration;
    bench::Wav wav;
    ASSERT_TRUE(bench::DecodeWithFfmpeg(path, &wav, 44100));
    EXPECT_GT(bench::ToneLevel(wav, 0, 1000, 22050, 44100), 0.1);

    // Play runs the take through the control's player: the position moves,
    // the recorded tone reaches the output sink, and at the end the panel
    // is idle again.
    std::string played = bench::UnixPath(temp + "\\played");
    bench::HostProcess sink(
        "exec parec --device=" + bench::OutputSink() +
        ".monitor --raw --format=s16le --rate=44100 --channels=2 > '" + played + ".raw'");
    Press(IDC_PLAY);
    DWORD playStart = GetTickCount();
    EXPECT_TRUE(bench::PumpUntil(
        [&] { return SendMessageA(Item(IDC_POSITION), TBM_GETPOS, 0, 0) > 0; }, 20000));
    bench::Screenshot("playing");
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_RECORD)));
    EXPECT_TRUE(bench::PumpUntil([&] { return IsWindowEnabled(Item(IDC_RECORD)) != 0; }, 30000));
    // Not cut short: idle only once the whole take has had its time.
    EXPECT_GT((GetTickCount() - playStart) / 1000.0, atof(duration.c_str()) - 0.5);
    sink.Stop();
    ASSERT_EQ(0, bench::Host("sox -t raw -r 44100 -e signed -b 16 -c 2 '" + played + ".raw' '" +
                             played + ".wav'"));
    bench::Wav heard;
    ASSERT_TRUE(bench::ReadWav(temp + "\\played.wav", &heard));
    EXPECT_GT(bench::ToneLevel(heard, 0, 1000), 0.05) << heard.Seconds() << " s heard";
}

// Stop and Record again at once, many times: every file stays whole.
TEST_F(SabletRecorder, QuickStopThenRecordLosesNothing) {
    ASSERT_TRUE(bench::HaveSound());
    PropertyBag bag;
    bag.Set(L"UseMP3", L"0");
    bag.Set(L"Frequency", L"22050");
    Show(&bag);
    auto tone = bench::PlayTone(1000, 30);
    for (int i = 0; i < 20; ++i) {
        Press(IDC_RECORD);
        bench::Pump(150);
        Press(IDC_STOP);
        bench::Pump(50);
    }
    ASSERT_TRUE(bench::PumpUntil([&] { return IsWindowEnabled(Item(IDC_RECORD)) != 0; }, 5000));
    bench::Pump(500);
    bench::Wav wav;
    std::string error;
    ASSERT_TRUE(bench::ReadWav(temp + "\\Sablet.wav", &wav, &error)) << error;
    EXPECT_EQ(wav.dataSize + 36, wav.riffSize);
}

}  // namespace
