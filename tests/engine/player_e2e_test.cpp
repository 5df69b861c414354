// The player on the real graph under Wine, its sound going to the test's
// own output sink, which the host records (parec) to hear what came out:
// plain playback of WAV and MP3 to the end, seeking, pausing, looping,
// volume, the ASF reader, and the background chain (ring contents, muted
// speakers, metered playback).
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench.h"
#include "engine/PlayerGraph.h"
#include "engine/RingBuffer.h"

namespace {

struct Posted {
    int backgroundErrors = 0;
    int finished = 0;
    int blocks = 0;
    int positionTicks = 0;
};
Posted Seen;
// The slider's answer to WM_USER (its position, 0 to 100).
int SliderPercent = 0;

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_BACKGROUND_ERROR:
        ++Seen.backgroundErrors;
        return 0;
    case WM_PLAYBACK_FINISHED:
        ++Seen.finished;
        return 0;
    case WM_TIMER:
        if (wParam == PlayerPositionTimer) ++Seen.positionTicks;
        return 0;
    case MM_WIM_DATA:
        if (wParam == 0) {
            ++Seen.blocks;
            ProcessBackgroundBuffer(reinterpret_cast<WAVEHDR*>(lParam));
        }
        return 0;
    case WM_GRAPHNOTIFY:
    case WM_PLAYER_RUN:
    case WM_HSCROLL:
        if (PlayerGraph) PlayerGraph->OnPlayerMessage(msg, wParam, lParam);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK SliderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_USER) return SliderPercent;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void WriteWav(const std::string& path, int rate, int channels, const std::vector<int16_t>& samples) {
    ASSERT_TRUE(bench::WriteWav(path, rate, channels, samples)) << path;
}

std::vector<int16_t> Tone(double freq, double seconds, int rate, int channels, double amplitude) {
    std::vector<int16_t> out;
    const size_t frames = static_cast<size_t>(seconds * rate);
    for (size_t i = 0; i < frames; ++i) {
        const auto v = static_cast<int16_t>(amplitude * 32767 * sin(2 * M_PI * freq * i / rate));
        for (int c = 0; c < channels; ++c) out.push_back(v);
    }
    return out;
}

// Noise that never repeats within a file, so a match in the ring can only
// be the right place of the file.
std::vector<int16_t> Noise(double seconds, int rate, int channels) {
    std::vector<int16_t> out;
    uint32_t x = 12345;
    const size_t n = static_cast<size_t>(seconds * rate) * channels;
    for (size_t i = 0; i < n; ++i) {
        x = x * 1664525u + 1013904223u;
        out.push_back(static_cast<int16_t>(static_cast<int32_t>(x >> 16) - 32768) / 4);
    }
    return out;
}

// Records the output sink on the host while it lives.
class SinkRecorder {
public:
    explicit SinkRecorder(const std::string& rawPath) : path_(rawPath) {
        process_ = std::make_unique<bench::HostProcess>(
            "exec parec --device=" + bench::OutputSink() +
            ".monitor --raw --format=s16le --rate=44100 --channels=2 --latency-msec=20 > '" +
            bench::UnixPath(rawPath) + "'");
    }
    bench::Wav Stop() {
        process_->Stop();
        bench::Wav wav;
        wav.channels = 2;
        wav.rate = 44100;
        wav.bits = 16;
        FILE* f = fopen(path_.c_str(), "rb");
        if (!f) return wav;
        int16_t buf[4096];
        size_t n;
        while ((n = fread(buf, 2, 4096, f)) > 0) wav.samples.insert(wav.samples.end(), buf, buf + n);
        fclose(f);
        return wav;
    }

private:
    std::string path_;
    std::unique_ptr<bench::HostProcess> process_;
};

int PeakOf(const bench::Wav& wav, size_t firstFrame = 0) {
    int peak = 0;
    for (size_t i = firstFrame * wav.channels; i < wav.samples.size(); ++i)
        peak = std::max(peak, std::abs(wav.samples[i]));
    return peak;
}

class PlayerBench : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(bench::HaveSound());
        // As the main window: COM in the multithreaded apartment.
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        window_ = bench::MessageWindow("PlayerTestMain", MainProc);
        slider_ = bench::MessageWindow("PlayerTestSlider", SliderProc);
        ASSERT_NE(nullptr, window_);
        player_.notifyWindow = window_;
        player_.positionSlider = slider_;
        PlayerGraph = &player_;
        Seen = Posted();
        dir_ = bench::ScratchDir();
    }
    void TearDown() override {
        ShutdownBackgroundPlayer();
        player_.ReleaseGraph();
        PlayerGraph = nullptr;
        RingBufferRelease(&BackgroundRing);
        RecordingOptions.PlaybackMetering = 0;
        RecordingOptions.BackgroundMixOn = 0;
        DestroyWindow(slider_);
        DestroyWindow(window_);
        CoUninitialize();
    }

    std::string Open(const std::string& path) {
        EXPECT_EQ(S_OK, player_.CreateGraph());
        HRESULT hr = player_.OpenFile(path.c_str());
        EXPECT_EQ(S_OK, hr) << path;
        return path;
    }

    LONGLONG PositionMs() {
        char text[32];
        LONGLONG ms = -1;
        player_.GetPositionText(text, sizeof text, &ms);
        return ms;
    }

    // The background chain's pieces are our own filters and stand-ins.
    bool BackgroundChainAvailable() {
        ComRef<IBaseFilter> f;
        if (FAILED(CoCreateInstance(CLSID_BackgroundWavTrans, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IBaseFilter, f.OutVoid())))
            return false;
        if (FAILED(CoCreateInstance(CLSID_InfTee, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                    f.OutVoid())))
            return false;
        return SUCCEEDED(FindPcmResampler(&f));
    }

    HWND window_ = nullptr;
    HWND slider_ = nullptr;
    CPlayerGraph player_;
    std::string dir_;
};

TEST_F(PlayerBench, WavAndMp3PlayToTheEndOnce) {
    const std::string wav = dir_ + "\\tone.wav";
    WriteWav(wav, 44100, 2, Tone(1000, 2.0, 44100, 2, 0.5));
    const std::string mp3 = dir_ + "\\tone.mp3";
    ASSERT_EQ(0, bench::Host("ffmpeg -v error -y -i '" + bench::UnixPath(wav) +
                             "' -codec:a libmp3lame -b:a 128k '" + bench::UnixPath(mp3) + "'"));
    for (const std::string& file : {wav, mp3}) {
        SCOPED_TRACE(file);
        Seen = Posted();
        Open(file);
        EXPECT_NEAR(2.0, player_.Duration() / 1e7, 0.1);
        SinkRecorder recorder(file + ".out.raw");
        bench::Pump(300);
        ASSERT_NE(0u, player_.Run());
        EXPECT_EQ(PlaybackRunning, PlaybackState.load());
        ASSERT_TRUE(bench::PumpUntil([] { return Seen.finished > 0; }, 8000));
        bench::Pump(500);
        bench::Wav heard = recorder.Stop();
        EXPECT_EQ(1, Seen.finished);
        EXPECT_GT(Seen.positionTicks, 5);
        EXPECT_EQ(PlaybackStopped, PlaybackState.load());
        char text[32];
        LONGLONG ms = -1;
        EXPECT_EQ(S_OK, player_.GetPositionText(text, sizeof text, &ms));
        EXPECT_STREQ("00m:00.000s", text);
        EXPECT_EQ(0, ms);
        // The tone came out of the speakers, and nothing after the end.
        EXPECT_GT(bench::ToneLevel(heard, 0, 1000), 0.1);
        EXPECT_GT(bench::ToneLevel(heard, 1, 1000), 0.1);
        const int ticks = Seen.positionTicks;
        bench::Pump(300);
        EXPECT_EQ(ticks, Seen.positionTicks);  // timers went with the end
        player_.ReleaseGraph();
    }
}

TEST_F(PlayerBench, SeekPausePositionSliderAndVolume) {
    WriteWav(dir_ + "\\ten.wav", 44100, 2, Tone(440, 10.0, 44100, 2, 0.3));
    Open(dir_ + "\\ten.wav");
    EXPECT_NEAR(10.0, player_.Duration() / 1e7, 0.05);
    ASSERT_NE(0u, player_.Run());
    bench::Pump(300);

    EXPECT_EQ(S_OK, player_.SeekPlayback(2500));
    char text[32];
    LONGLONG ms = 0;
    EXPECT_EQ(S_OK, player_.GetPositionText(text, sizeof text, &ms));
    EXPECT_EQ(0, strncmp(text, "00m:02.5", 8)) << text;

    // Pause holds the position; the second press plays on.
    player_.PausePlayback();
    EXPECT_EQ(PlaybackPaused, PlaybackState.load());
    const LONGLONG held = PositionMs();
    bench::Pump(600);
    EXPECT_EQ(held, PositionMs());
    player_.PausePlayback();
    EXPECT_EQ(PlaybackRunning, PlaybackState.load());
    bench::Pump(600);
    EXPECT_GT(PositionMs(), held + 300);

    // A slider drag to 70 %, released: the position follows the duration.
    SliderPercent = 70;
    SendMessageA(window_, WM_HSCROLL, SB_THUMBTRACK, reinterpret_cast<LPARAM>(slider_));
    SendMessageA(window_, WM_HSCROLL, SB_ENDSCROLL, reinterpret_cast<LPARAM>(slider_));
    EXPECT_NEAR(7000, PositionMs(), 300);
    EXPECT_EQ(PlaybackRunning, PlaybackState.load());
    // Scroll messages of another control are not the position slider's.
    SendMessageA(window_, WM_HSCROLL, SB_ENDSCROLL, reinterpret_cast<LPARAM>(window_));
    EXPECT_GT(PositionMs(), 6500);

    // Volume on the renderer: percent x 50 - 5000.
    ComRef<IBaseFilter> renderer;
    ASSERT_EQ(S_OK, FindAudioRenderer(player_.graph.Get(), &renderer));
    ComRef<IBasicAudio> audio;
    ASSERT_EQ(S_OK, renderer.As(IID_IBasicAudio, &audio));
    long volume = 1;
    player_.SetVolume(50);
    EXPECT_EQ(S_OK, audio->get_Volume(&volume));
    EXPECT_EQ(-2500, volume);
    player_.SetVolume(0);
    EXPECT_EQ(S_OK, audio->get_Volume(&volume));
    EXPECT_EQ(-5000, volume);
    player_.MuteBackground();
    EXPECT_EQ(S_OK, audio->get_Volume(&volume));
    EXPECT_EQ(-10000, volume);
    player_.SetVolume(100);
    EXPECT_EQ(S_OK, audio->get_Volume(&volume));
    EXPECT_EQ(0, volume);

    // A start request: Run seeks there first.
    player_.StopPlayback();
    EXPECT_EQ(PlaybackStopped, PlaybackState.load());
    player_.SetStartRequest(4000);
    ASSERT_NE(0u, player_.Run());
    EXPECT_NEAR(4000, PositionMs(), 300);
    EXPECT_EQ(0, Seen.finished);
}

TEST_F(PlayerBench, LoopRestartsUntilTurnedOff) {
    WriteWav(dir_ + "\\short.wav", 44100, 2, Tone(1000, 1.0, 44100, 2, 0.5));
    Open(dir_ + "\\short.wav");
    player_.loop = 1;
    SinkRecorder recorder(dir_ + "\\loop.raw");
    bench::Pump(300);
    ASSERT_NE(0u, player_.Run());
    bench::Pump(3300);
    bench::Wav heard = recorder.Stop();
    EXPECT_EQ(0, Seen.finished);
    EXPECT_EQ(PlaybackRunning, PlaybackState.load());
    EXPECT_LT(PositionMs(), 1000);
    // The tone still sounds in the last part, two loops later.
    const size_t frames = heard.samples.size() / 2;
    ASSERT_GT(frames, 44100u);
    EXPECT_GT(bench::ToneLevel(heard, 0, 1000, frames - 30000, 22050), 0.1);

    player_.loop = 0;
    ASSERT_TRUE(bench::PumpUntil([] { return Seen.finished > 0; }, 3000));
    bench::Pump(300);
    EXPECT_EQ(1, Seen.finished);
    EXPECT_EQ(0, PositionMs());
}

TEST_F(PlayerBench, WindowsMediaNamesGoThroughTheAsfReader) {
    const std::string wav = dir_ + "\\src.wav";
    WriteWav(wav, 44100, 2, Tone(1000, 1.0, 44100, 2, 0.5));
    const std::string wma = dir_ + "\\SONG.WMA";
    ASSERT_EQ(0, bench::Host("ffmpeg -v error -y -i '" + bench::UnixPath(wav) +
                             "' -codec:a wmav2 -f asf '" + bench::UnixPath(wma) + "'"));
    ASSERT_EQ(S_OK, player_.CreateGraph());
    const HRESULT hr = player_.OpenFile(wma.c_str());
    ComRef<IBaseFilter> reader;
    EXPECT_EQ(S_OK, player_.graph->FindFilterByName(L"ASF Reader", reader.Out()));
    // Decoding WMA needs codecs the bench may lack; where it opens, it plays.
    if (SUCCEEDED(hr)) {
        ASSERT_NE(0u, player_.Run());
        EXPECT_TRUE(bench::PumpUntil([] { return Seen.finished > 0; }, 5000));
    }
    player_.ReleaseGraph();

    // The same name ending in .mp3 behind a ".wma" folder is no ASF file.
    ASSERT_TRUE(CreateDirectoryA((dir_ + "\\x.wma.d").c_str(), nullptr));
    const std::string mp3 = dir_ + "\\x.wma.d\\song.mp3";
    ASSERT_EQ(0, bench::Host("ffmpeg -v error -y -i '" + bench::UnixPath(wav) +
                             "' -codec:a libmp3lame '" + bench::UnixPath(mp3) + "'"));
    Open(mp3);
    EXPECT_NE(S_OK, player_.graph->FindFilterByName(L"ASF Reader", reader.Out()));
}

TEST_F(PlayerBench, BackgroundFillsTheRingWithTheFileMuted) {
    if (!BackgroundChainAvailable())
        GTEST_SKIP() << "background grabber, tee or PCM converter not registered";
    const std::string file = dir_ + "\\background.wav";
    const std::vector<int16_t> samples = Noise(2.0, 44100, 2);
    WriteWav(file, 44100, 2, samples);
    ASSERT_EQ(-1, RingBufferInit(&BackgroundRing, 4000000));

    // As a recording starts it: the recording's format, its thread.
    RecordingOptions.PlaybackMetering = 0;
    RecordingOptions.BackgroundMixOn = 1;
    BackgroundEnded = 0;
    SetBackgroundFile(file.c_str());
    RecordingSession.CaptureFormat = CaptureFormat{2, 44100, 16, 128};
    player_.audible = 1;
    SinkRecorder recorder(dir_ + "\\muted.raw");
    bench::Pump(300);
    HANDLE thread = CreateThread(nullptr, 0, BackgroundPlayThread, nullptr, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    ASSERT_TRUE(bench::PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 20000));
    CloseHandle(thread);
    EXPECT_EQ(0, Seen.backgroundErrors);
    EXPECT_EQ(0, player_.audible.load());

    ASSERT_TRUE(bench::PumpUntil([] { return Seen.finished > 0; }, 8000));
    bench::Pump(300);
    bench::Wav heard = recorder.Stop();
    EXPECT_EQ(1, Seen.finished);
    EXPECT_EQ(1, BackgroundEnded.load());
    EXPECT_GT(Seen.positionTicks, 3);  // the timers reached the window's thread

    // Block by block, the file's samples from the start.
    const int32_t fill = RingBufferFill(&BackgroundRing);
    const int32_t fileBytes = static_cast<int32_t>(samples.size() * 2);
    EXPECT_GE(fill, fileBytes - static_cast<int32_t>(MonitorBufferBytes));
    EXPECT_LE(fill, fileBytes);
    EXPECT_GE(Seen.blocks, fill / static_cast<int32_t>(MonitorBufferBytes));
    std::vector<int16_t> ring(fill / 2);
    ASSERT_EQ(fill, RingBufferRead(&BackgroundRing, ring.data(), fill));
    size_t same = 0;
    while (same < ring.size() && ring[same] == samples[same]) ++same;
    EXPECT_EQ(ring.size(), same) << "first difference at sample " << same;

    // Nothing of it reached the speakers.
    EXPECT_LT(PeakOf(heard), 40);

    StopBackgroundPlayback();
    EXPECT_EQ(1, BackgroundStopped.load());
    EXPECT_EQ(nullptr, BackgroundWaitThreadHandle);
    EXPECT_EQ(PlaybackStopped, PlaybackState.load());

    // A block that arrives after the stop is not written; it sets the end
    // event, which is still open (the next start replaces it).
    WAVEHDR* late = player_.CurrentMonitorBlock();
    ASSERT_NE(nullptr, late);
    late->dwBytesRecorded = 4000;
    ProcessBackgroundBuffer(late);
    EXPECT_EQ(0, RingBufferFill(&BackgroundRing));
    ASSERT_NE(nullptr, BackgroundEndEvent);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(BackgroundEndEvent, 0));
}

TEST_F(PlayerBench, BackgroundAtAnotherFormatAndMeteredPlayback) {
    if (!BackgroundChainAvailable())
        GTEST_SKIP() << "background grabber, tee or PCM converter not registered";
    const std::string file = dir_ + "\\tone3k.wav";
    WriteWav(file, 44100, 2, Tone(3000, 2.0, 44100, 2, 0.5));

    // Converted to the recording's format: 22050 Hz mono, still 3 kHz.
    ASSERT_EQ(-1, RingBufferInit(&BackgroundRing, 4000000));
    player_.audible = 0;
    player_.SetGrabberMode(0);
    ASSERT_EQ(0, StartBackgroundPlayback(CaptureFormat{1, 22050, 16, 128}, file.c_str()));
    EXPECT_EQ(S_OK, player_.SeekPlayback(0));
    ASSERT_TRUE(bench::PumpUntil([] { return Seen.finished > 0; }, 8000));
    bench::Pump(300);
    StopBackgroundPlayback();
    const int32_t fill = RingBufferFill(&BackgroundRing);
    EXPECT_NEAR(2.0 * 22050 * 2, fill, 40000 + 2000);
    bench::Wav got;
    got.channels = 1;
    got.rate = 22050;
    got.bits = 16;
    std::vector<int16_t> ring(fill / 2);
    RingBufferRead(&BackgroundRing, ring.data(), fill);
    got.samples.assign(ring.begin(), ring.end());
    EXPECT_GT(bench::ToneLevel(got, 0, 3000), 0.3);
    EXPECT_LT(bench::ToneLevel(got, 0, 1000), 0.02);

    // Metered playback: heard on the speakers, the levels follow it, the
    // ring is not touched.
    Seen = Posted();
    RecordingOptions.PlaybackMetering = 1;
    LevelLeft = 0;
    player_.audible = 1;
    player_.SetGrabberMode(1);
    SinkRecorder recorder(dir_ + "\\metered.raw");
    bench::Pump(300);
    ASSERT_EQ(0, StartBackgroundPlayback(CaptureFormat{2, 44100, 16, 128}, file.c_str()));
    ASSERT_TRUE(bench::PumpUntil([] { return Seen.blocks >= 3; }, 5000));
    EXPECT_GT(LevelLeft, 5000);  // a 0.5 sine averages 0.5 x 2/pi of full scale
    EXPECT_GT(MonitorLevelRight.load(), 5000);
    EXPECT_TRUE(RecordingSession.SignalActive.load());
    EXPECT_EQ(0, RingBufferFill(&BackgroundRing));
    ASSERT_TRUE(bench::PumpUntil([] { return Seen.finished > 0; }, 5000));
    bench::Wav heard = recorder.Stop();
    EXPECT_GT(bench::ToneLevel(heard, 0, 3000), 0.1);
    StopBackgroundPlayback();
}

}  // namespace
