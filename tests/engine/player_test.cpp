// The player's pure pieces, the level test of background blocks, stale
// block messages, and a background that cannot be played (no sound device
// needed: the file never opens).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "bench.h"
#include "engine/PlayerGraph.h"
#include "engine/RingBuffer.h"

namespace {

TEST(PlayerText, PositionTextVolumeAndSliderScale) {
    const struct {
        LONGLONG ms;
        const char* text;
    } positions[] = {
        {0, "00m:00.000s"},
        {61500, "01m:01.500s"},
        {2599, "00m:02.599s"},
        {59999, "00m:59.999s"},
        {3600000 + 1, "60m:00.001s"},
        {-5, "00m:00.000s"},
    };
    for (const auto& p : positions) {
        char text[32];
        FormatPositionText(text, sizeof text, p.ms);
        EXPECT_STREQ(p.text, text) << p.ms;
    }
    // A buffer too small is cut, never overrun.
    char small[6] = "xxxxx";
    FormatPositionText(small, sizeof small, 61500);
    EXPECT_STREQ("01m:0", small);

    EXPECT_EQ(-2500, VolumeForPercent(50));
    EXPECT_EQ(-5000, VolumeForPercent(0));
    EXPECT_EQ(0, VolumeForPercent(100));
    EXPECT_EQ(-5000, VolumeForPercent(-20));
    EXPECT_EQ(0, VolumeForPercent(250));

    // Durations of recordings longer than 3.6 minutes (100 ns units) and
    // an unknown duration.
    const LONGLONG hour = 36000000000LL;
    EXPECT_EQ(hour / 2, SliderSeekPosition(hour, 50));
    EXPECT_EQ(hour, SliderSeekPosition(hour, 100));
    EXPECT_EQ(0, SliderSeekPosition(0, 50));
    EXPECT_EQ(0, SliderSeekPosition(-1, 50));
    EXPECT_EQ(hour, SliderSeekPosition(hour, 140));
    EXPECT_EQ(990, SliderSeekPosition(1000, 99));
    EXPECT_EQ(617, SliderSeekPosition(1234, 50));
}

TEST(PlayerText, AsfReaderOnlyForWindowsMediaEndings) {
    const struct {
        const char* name;
        bool asf;
    } names[] = {
        {"c:\\rec\\song.wma", true},
        {"C:\\REC\\SONG.WMA", true},
        {"clip.Wmv", true},
        {"talk.asf", true},
        {"d:\\x.wma.d\\song.mp3", false},
        {"song.wma.wav", false},
        {"song.mp3", false},
        {"wma", false},
        {"", false},
        {nullptr, false},
    };
    for (const auto& n : names) EXPECT_EQ(n.asf, UsesAsfReader(n.name)) << (n.name ? n.name : "null");
    // Longer than a path: only the first 260 characters are looked at.
    std::string longName(300, 'a');
    EXPECT_FALSE(UsesAsfReader((longName + ".wma").c_str()));
    EXPECT_TRUE(UsesAsfReader((std::string(250, 'a') + ".wma").c_str()));
}

TEST(PlayerLevel, MonitorBlocksAtMinus48dB) {
    MonitorFormat = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    // Stereo: left loud, right below -48 dB (130) and zeroed.
    int16_t block[400];
    for (int i = 0; i < 200; ++i) {
        block[2 * i] = static_cast<int16_t>(i % 2 ? 1000 : -1000);
        block[2 * i + 1] = static_cast<int16_t>(i % 2 ? 129 : -129);
    }
    EXPECT_TRUE(MeasureMonitorLevel(reinterpret_cast<BYTE*>(block), sizeof block));
    EXPECT_EQ(1000, LevelLeft);
    EXPECT_EQ(129, LevelRight);
    EXPECT_EQ(1000, MonitorLevelLeft.load());
    EXPECT_EQ(129, MonitorLevelRight.load());
    for (int i = 0; i < 200; ++i) EXPECT_EQ(0, block[2 * i + 1]);
    EXPECT_EQ(-1000, block[0]);

    // All quiet: no signal.
    int16_t quiet[100] = {};
    EXPECT_FALSE(MeasureMonitorLevel(reinterpret_cast<BYTE*>(quiet), sizeof quiet));
    EXPECT_EQ(0, LevelLeft);

    // 8-bit mono: 128 is silence, the threshold is 0 + 5.
    MonitorFormat = {WAVE_FORMAT_PCM, 1, 8000, 8000, 1, 8, 0};
    BYTE eight[90];
    memset(eight, 128 + 20, sizeof eight);
    EXPECT_TRUE(MeasureMonitorLevel(eight, sizeof eight));
    EXPECT_EQ(20, LevelLeft);
    EXPECT_EQ(0, LevelRight);
    memset(eight, 128 + 4, sizeof eight);
    EXPECT_FALSE(MeasureMonitorLevel(eight, sizeof eight));
    EXPECT_EQ(4, eight[0] - 128);  // 8-bit samples are never zeroed

    EXPECT_FALSE(MeasureMonitorLevel(nullptr, 100));
    EXPECT_FALSE(MeasureMonitorLevel(eight, 0));
}

// A hidden window in place of the main window: counts what the player
// posts, and hands graph events to the player as the main window does.
struct Posted {
    int backgroundErrors = 0;
    int finished = 0;
    int blocks = 0;
};
Posted Seen;

LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_BACKGROUND_ERROR:
        ++Seen.backgroundErrors;
        return 0;
    case WM_PLAYBACK_FINISHED:
        ++Seen.finished;
        return 0;
    case MM_WIM_DATA:
        if (wParam == 0) {
            ++Seen.blocks;
            ProcessBackgroundBuffer(reinterpret_cast<WAVEHDR*>(lParam));
        }
        return 0;
    case WM_GRAPHNOTIFY:
    case WM_PLAYER_RUN:
        if (PlayerGraph) PlayerGraph->OnPlayerMessage(msg, wParam, lParam);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

class PlayerFailure : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        window_ = bench::MessageWindow("PlayerUnitMain", TestWindowProc);
        ASSERT_NE(nullptr, window_);
        player_.notifyWindow = window_;
        PlayerGraph = &player_;
        Seen = Posted();
    }
    void TearDown() override {
        ShutdownBackgroundPlayer();
        player_.ReleaseGraph();
        PlayerGraph = nullptr;
        DestroyWindow(window_);
        CoUninitialize();
    }
    HWND window_ = nullptr;
    CPlayerGraph player_;
};

TEST_F(PlayerFailure, BackgroundThatCannotBeOpenedTurnsMixingOffOnce) {
    const std::string missing = bench::ScratchDir() + "\\no such background.wav";
    CaptureFormat f;
    EXPECT_EQ(6, StartBackgroundPlayback(f, missing.c_str()));
    EXPECT_EQ(1, BackgroundStopped.load());
    EXPECT_EQ(1, BackgroundEnded.load());
    EXPECT_FALSE(player_.HasGraph());
    EXPECT_EQ(PlaybackStopped, PlaybackState.load());

    // Through the recording's thread: mixing goes off, the writer is told
    // the background has ended, the main window hears of it once, and a
    // ring the writer may still read is left in place.
    ASSERT_EQ(-1, RingBufferInit(&BackgroundRing, 80000));
    RecordingOptions.BackgroundMixOn = 1;
    BackgroundEnded = 0;
    SetBackgroundFile(missing.c_str());
    RecordingSession.CaptureFormat = f;
    HANDLE thread = CreateThread(nullptr, 0, BackgroundPlayThread, nullptr, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 20000));
    CloseHandle(thread);
    bench::Pump(200);
    EXPECT_EQ(0, RecordingOptions.BackgroundMixOn.load());
    EXPECT_EQ(1, BackgroundEnded.load());
    EXPECT_EQ(1, Seen.backgroundErrors);
    EXPECT_NE(nullptr, BackgroundRing.base);
    RingBufferRelease(&BackgroundRing);

    // The stop after a failed start does nothing twice and hangs nowhere.
    StopBackgroundPlayback();
    StopBackgroundPlayback();
    EXPECT_EQ(1, Seen.backgroundErrors);
}

TEST_F(PlayerFailure, OperationsWithoutAGraphAndStaleBlocks) {
    char text[32];
    LONGLONG ms = 7;
    EXPECT_TRUE(FAILED(player_.GetPositionText(text, sizeof text, &ms)));
    EXPECT_STREQ("<00:00.000>", text);
    EXPECT_EQ(7, ms);
    EXPECT_EQ(0u, player_.Run());
    EXPECT_TRUE(FAILED(player_.SeekPlayback(1000)));
    EXPECT_TRUE(FAILED(player_.OpenFile("x.wav")));
    player_.PausePlayback();
    player_.StopPlayback();
    player_.SetVolume(130);
    EXPECT_EQ(100, player_.volume);
    player_.MuteBackground();
    EXPECT_EQ(0, player_.OnPlayerMessage(WM_GRAPHNOTIFY, 0, 0));
    EXPECT_EQ(0, player_.OnPlayerMessage(WM_HSCROLL, SB_ENDSCROLL, 0));
    EXPECT_EQ(E_POINTER, player_.BuildBackgroundGraph());

    // A block message from a chain that is gone changes nothing.
    ASSERT_EQ(-1, RingBufferInit(&BackgroundRing, 80000));
    RecordingOptions.PlaybackMetering = 0;
    BackgroundStopped = 0;
    MonitorHeaders[0].lpData = reinterpret_cast<LPSTR>(MonitorBuffers[0]);
    MonitorHeaders[0].dwBufferLength = MonitorBufferBytes;
    MonitorHeaders[0].dwBytesRecorded = 4000;
    ProcessBackgroundBuffer(&MonitorHeaders[0]);
    ProcessBackgroundBuffer(nullptr);
    EXPECT_EQ(0, RingBufferFill(&BackgroundRing));
    BackgroundStopped = 1;
    RingBufferRelease(&BackgroundRing);

    // A graph of nothing: CreateGraph works, an unknown file fails, the
    // duration stays 0 and nothing can be seeked past it.
    ASSERT_EQ(S_OK, player_.CreateGraph());
    EXPECT_TRUE(FAILED(player_.OpenFile((bench::ScratchDir() + "\\none.mp3").c_str())));
    EXPECT_EQ(0, player_.Duration());
    ComRef<IBaseFilter> renderer;
    EXPECT_TRUE(FAILED(FindAudioRenderer(player_.graph.Get(), &renderer)));
    player_.ReleaseGraph();
    EXPECT_FALSE(player_.HasGraph());
}

}  // namespace
