// Recordings with a background file mixed in, end to end: the bench plays
// a 1 kHz tone into the recorded sink, the background file holds a 3 kHz
// tone, and a hidden window hands the blocks of both graphs to the engine
// as the main window does. The file shows both tones at the balance's
// gains, and a background shorter than the recording leaves the rest of it
// intact.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench.h"
#include "engine/CaptureGraph.h"
#include "recorded_device.h"
#include "engine/EngineState.h"
#include "engine/PlayerGraph.h"
#include "engine/RingBuffer.h"

namespace {

int BackgroundErrors = 0;

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_GRAPHNOTIFY:
        // Both graphs report through the one message; each reads its own.
        if (CaptureGraph) CaptureGraph->OnCaptureGraphEvent(msg, wParam, lParam);
        if (PlayerGraph) PlayerGraph->OnPlayerMessage(msg, wParam, lParam);
        return 0;
    case WM_PLAYER_RUN:
        if (PlayerGraph) PlayerGraph->OnPlayerMessage(msg, wParam, lParam);
        return 0;
    case MM_WIM_DATA:
        if (wParam == 1) ProcessCaptureBuffer(reinterpret_cast<WAVEHDR*>(lParam));
        else ProcessBackgroundBuffer(reinterpret_cast<WAVEHDR*>(lParam));
        return 0;
    case WM_BACKGROUND_ERROR:
        ++BackgroundErrors;
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

void WriteToneWav(const std::string& path, double freq, double seconds, double amplitude) {
    const int rate = 44100, channels = 2;
    std::vector<int16_t> samples;
    for (int i = 0; i < static_cast<int>(seconds * rate); ++i) {
        const auto v = static_cast<int16_t>(amplitude * 32767 * sin(2 * M_PI * freq * i / rate));
        samples.push_back(v);
        samples.push_back(v);
    }
    ASSERT_TRUE(bench::WriteWav(path, rate, channels, samples)) << path;
}

class MixedRecording : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(bench::HaveSound());
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        window_ = bench::MessageWindow("MixTestMain", MainProc);
        ASSERT_NE(nullptr, window_);
        capture_.notifyWindow = window_;
        CaptureGraph = &capture_;
        player_.notifyWindow = window_;
        PlayerGraph = &player_;
        InstallBackgroundPlayer();
        ASSERT_EQ(S_OK, capture_.CreateGraph());
        ASSERT_EQ(S_OK, FillCaptureDeviceList(&devices_));
        ASSERT_EQ(S_OK, capture_.SelectDevice(bench::RecordedDeviceIn(devices_), &devices_, &pins_));
        RecordingOptions.RingBufferSize = 8000000;
        RecordingOptions.PlaybackMetering = 0;
        BackgroundErrors = 0;
    }
    void TearDown() override {
        StopCapture();
        ShutdownBackgroundPlayer();
        BackgroundPlayer = BackgroundPlayerHooks();
        player_.ReleaseGraph();
        PlayerGraph = nullptr;
        capture_.Shutdown();
        CaptureGraph = nullptr;
        RecordingOptions.BackgroundMixOn = 0;
        RecordingOptions.RingBufferSize = 80000;
        if (window_) DestroyWindow(window_);
        CoUninitialize();
    }

    bool PiecesPresent() {
        ComRef<IBaseFilter> f;
        for (const CLSID* clsid : {&CLSID_CaptureWavTrans, &CLSID_BackgroundWavTrans, &CLSID_InfTee}) {
            if (FAILED(CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                        f.OutVoid())))
                return false;
        }
        return capture_.HasCaptureOutput() && SUCCEEDED(FindPcmResampler(&f));
    }

    // Records `seconds` with the background file at `balance` percent.
    bench::Wav Record(const std::string& name, const std::string& background, int balance,
                      double seconds) {
        const std::string path = bench::ArtifactDir() + "\\" + name;
        RecordingOptions.BackgroundMixOn = 1;
        RecordingOptions.MixBalance = balance;
        SetBackgroundFile(background.c_str());
        CaptureFormat f;
        f.channels = 2;
        f.rate = 44100;
        f.bits = 16;
        bench::Wav wav;
        EXPECT_EQ(CaptureStarted, StartCapture(0, path.c_str(), f, EncoderWav, 0, 0));
        bench::Pump(static_cast<DWORD>(seconds * 1000));
        StopCapture();
        std::string error;
        EXPECT_TRUE(bench::ReadWav(path, &wav, &error)) << error;
        return wav;
    }

    HWND window_ = nullptr;
    CCaptureGraph capture_;
    CPlayerGraph player_;
    CaptureDeviceList devices_;
    PinNameList pins_;
};

TEST_F(MixedRecording, BothTonesAtTheBalanceGains) {
    if (!PiecesPresent()) GTEST_SKIP() << "grabbers, tee, PCM converter or capture device missing";
    const std::string background = bench::ScratchDir() + "\\bg3k.wav";
    WriteToneWav(background, 3000, 20.0, 0.25);
    auto tone = bench::PlayTone(1000, 60, 0.25);
    bench::Pump(500);

    // Gains (100 - p) x 2 / 100 for the capture and p x 2 / 100 for the
    // background: 1/1 at 50, 2/0 at 0, 0/2 at 100.
    const struct {
        int balance;
        double capture, background;
    } cases[] = {{50, 0.25, 0.25}, {0, 0.5, 0.0}, {100, 0.0, 0.5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.balance);
        bench::Wav wav = Record("mix" + std::to_string(c.balance) + ".wav", background, c.balance, 5.0);
        EXPECT_NEAR(5.0, wav.Seconds(), 0.4);
        // Past the start of both streams, and short of the end: the writer
        // holds the capture until the background's first blocks arrive, so
        // on a slow machine the stop drains up to a second or so of capture
        // that has no background left to mix with.
        const size_t skip = wav.rate / 2, span = static_cast<size_t>(wav.rate) * 5 / 2;
        for (int ch = 0; ch < 2; ++ch) {
            EXPECT_NEAR(c.capture, bench::ToneLevel(wav, ch, 1000, skip, span), 0.05)
                << "channel " << ch;
            EXPECT_NEAR(c.background, bench::ToneLevel(wav, ch, 3000, skip, span), 0.05)
                << "channel " << ch;
        }
        EXPECT_LT(bench::LongestInnerZeroRun(wav), static_cast<size_t>(wav.rate / 100));
        EXPECT_EQ(0, BackgroundErrors);
    }
}

TEST_F(MixedRecording, ShortOrMissingBackgroundLeavesTheRecordingWhole) {
    if (!PiecesPresent()) GTEST_SKIP() << "grabbers, tee, PCM converter or capture device missing";
    const std::string background = bench::ScratchDir() + "\\short3k.wav";
    WriteToneWav(background, 3000, 1.5, 0.25);
    auto tone = bench::PlayTone(1000, 60, 0.25);
    bench::Pump(500);

    // 1.5 s of background in a 5 s recording: the rest is the capture at
    // its gain, no stall, full length.
    bench::Wav wav = Record("short.wav", background, 50, 5.0);
    EXPECT_NEAR(5.0, wav.Seconds(), 0.4);
    const size_t rate = wav.rate;
    EXPECT_GT(bench::ToneLevel(wav, 0, 3000, rate / 4, rate), 0.15);
    EXPECT_LT(bench::ToneLevel(wav, 0, 3000, 2 * rate, 2 * rate), 0.01);
    EXPECT_NEAR(0.25, bench::ToneLevel(wav, 0, 1000, 2 * rate, 2 * rate), 0.05);
    EXPECT_EQ(1, BackgroundEnded.load());
    EXPECT_EQ(0, BackgroundErrors);

    // With loop on, the short background starts again and sounds to the
    // end of the recording.
    player_.loop = 1;
    bench::Wav looped = Record("looped.wav", background, 50, 5.0);
    player_.loop = 0;
    EXPECT_NEAR(5.0, looped.Seconds(), 0.4);
    EXPECT_GT(bench::ToneLevel(looped, 0, 3000, 2 * rate, 2 * rate), 0.15);
    EXPECT_NEAR(0.25, bench::ToneLevel(looped, 0, 1000, 2 * rate, 2 * rate), 0.05);

    // A background that cannot be opened: reported once, mixing off, the
    // capture recorded alone and whole.
    bench::Wav alone = Record("missing.wav", bench::ScratchDir() + "\\gone.wav", 50, 3.0);
    bench::Pump(200);
    EXPECT_EQ(1, BackgroundErrors);
    EXPECT_EQ(0, RecordingOptions.BackgroundMixOn.load());
    EXPECT_NEAR(3.0, alone.Seconds(), 0.4);
    EXPECT_GT(bench::ToneLevel(alone, 0, 1000, rate / 2), 0.2);
}

}  // namespace
