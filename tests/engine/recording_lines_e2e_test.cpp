// Recording lines and WMA recordings through the real capture graph: the
// bench's capture device offers one line per wave-in source, so a tone
// played into one sink is heard on exactly the line that records it, and
// the line's level and pan show in the samples.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench.h"
#include "engine/CaptureGraph.h"
#include "engine/EngineState.h"
#include "engine/RecordingLines.h"
#include "engine/WmaWriter.h"

namespace {

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GRAPHNOTIFY) {
        if (CaptureGraph) CaptureGraph->OnCaptureGraphEvent(msg, wParam, lParam);
        return 0;
    }
    if (msg == MM_WIM_DATA && wParam == 1) {
        ProcessCaptureBuffer(reinterpret_cast<WAVEHDR*>(lParam));
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

CaptureFormat Format(uint32_t channels, uint32_t rate) {
    CaptureFormat f;
    f.channels = channels;
    f.rate = rate;
    f.bits = 16;
    return f;
}

class LineBench : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(bench::HaveSound());
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        window_ = bench::MessageWindow("LineTestMain", MainWindowProc);
        ASSERT_NE(nullptr, window_);
        graph_.notifyWindow = window_;
        CaptureGraph = &graph_;
        ASSERT_EQ(S_OK, graph_.CreateGraph());
        // The category lives in the registry every test process of the
        // bench shares; another one's listing may rewrite an entry between
        // our listing and binding: then list again.
        HRESULT hr = E_FAIL;
        for (int attempt = 0; attempt < 5 && FAILED(hr); ++attempt) {
            if (attempt) Sleep(200);
            ASSERT_EQ(S_OK, FillCaptureDeviceList(&devices_));
            device_ = DeviceNamed(bench::Env("BENCH_REC_DEVICE"));
            ASSERT_GE(device_, 0);
            hr = graph_.SelectDevice(device_, &devices_, &pins_);
        }
        ASSERT_EQ(S_OK, hr);
        if (!graph_.HasCaptureOutput() || pins_.Count() == 0)
            GTEST_SKIP() << "the capture device stand-in is not registered";
        // The grabber passes silence on, so the output sink carries only
        // what the test plays into it.
        RecordingOptions.CaptureFilterMode = 0;
    }

    void TearDown() override {
        StopCapture();
        graph_.Shutdown();
        CaptureGraph = nullptr;
        if (window_) DestroyWindow(window_);
        CoUninitialize();
    }

    int DeviceNamed(const std::string& part) {
        for (int i = 0; i < devices_.Count(); ++i)
            if (!part.empty() && strstr(devices_.Name(i), part.c_str())) return i;
        return -1;
    }
    // The line (input pin) whose name holds `part`, or -1.
    int LineNamed(const std::string& part) {
        for (int i = 0; i < pins_.Count(); ++i)
            if (strstr(pins_.Name(i), part.c_str())) return i;
        return -1;
    }

    // Records `seconds` from a line into a WAV and reads it back.
    void RecordLine(int line, const std::string& name, CaptureFormat f, double seconds,
                    bench::Wav* wav) {
        std::string path = bench::ArtifactDir() + "\\" + name + ".wav";
        ASSERT_EQ(CaptureStarted, StartCapture(line, path.c_str(), f, EncoderWav, 0, 0));
        bench::Pump(static_cast<DWORD>(seconds * 1000));
        StopCapture();
        std::string error;
        ASSERT_TRUE(bench::ReadWav(path, wav, &error)) << error;
        // Lengths are checked elsewhere; here only enough must be there to
        // measure (on a busy machine the last blocks may still be on their
        // way at the stop).
        ASSERT_GT(wav->Seconds(), seconds - 1.0);
    }

    // The tone's level in the recording: the median over its 100 ms
    // stretches after the first half second (the device settles after a
    // line switch), so a rare hiccup of the bench's player does not count.
    static double Level(const bench::Wav& wav, int channel, double freq) {
        const size_t frames = wav.samples.size() / static_cast<size_t>(wav.channels);
        const size_t step = static_cast<size_t>(wav.rate / 10);
        std::vector<double> levels;
        for (size_t first = static_cast<size_t>(wav.rate / 2); first + step <= frames; first += step)
            levels.push_back(bench::ToneLevel(wav, channel, freq, first, step));
        if (levels.empty()) return 0;
        std::nth_element(levels.begin(), levels.begin() + levels.size() / 2, levels.end());
        return levels[levels.size() / 2];
    }

    HWND window_ = nullptr;
    CCaptureGraph graph_;
    CaptureDeviceList devices_;
    PinNameList pins_;
    int device_ = -1;
};

// Each of the bench's two sinks is a line of the device: the one enabled is
// the one recorded, and only it.
TEST_F(LineBench, TheEnabledLineIsTheOneRecorded) {
    const int recLine = LineNamed(bench::Env("BENCH_REC_DEVICE"));
    const int outLine = LineNamed(bench::Env("BENCH_OUT_DEVICE"));
    ASSERT_GE(recLine, 0);
    ASSERT_GE(outLine, 0);
    ASSERT_NE(recLine, outLine);
    auto low = bench::PlayTone(1000, 30, 0.5, bench::RecordSink());
    auto high = bench::PlayTone(3000, 30, 0.5, bench::OutputSink());
    bench::Pump(500);

    const struct {
        int line;
        double heard, silent;
    } cases[] = {{recLine, 1000, 3000}, {outLine, 3000, 1000}, {recLine, 1000, 3000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(pins_.Name(c.line));
        bench::Wav wav;
        RecordLine(c.line, std::string("line") + std::to_string(c.line), Format(2, 44100), 2.5,
                   &wav);
        for (int ch = 0; ch < 2; ++ch) {
            EXPECT_GT(Level(wav, ch, c.heard), 0.3) << "channel " << ch;
            EXPECT_LT(Level(wav, ch, c.silent), 0.02) << "channel " << ch;
        }
    }
}

// Level scales the samples; pan turns one side down and leaves the other.
TEST_F(LineBench, MixLevelAndPanShapeTheRecording) {
    const int line = LineNamed(bench::Env("BENCH_REC_DEVICE"));
    ASSERT_GE(line, 0);
    auto tone = bench::PlayTone(1000, 40, 0.5);
    bench::Pump(500);

    const struct {
        double level, pan;
        double left, right;  // expected share of the full tone
    } cases[] = {
        {1.0, 0.0, 1.0, 1.0},
        {0.5, 0.0, 0.5, 0.5},
        {1.0, -0.5, 1.0, 0.5},
        {0.8, 1.0, 0.0, 0.8},
    };
    double full = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << " pan " << c.pan);
        ASSERT_EQ(S_OK, SetInputMixLevel(line, c.level));
        ASSERT_EQ(S_OK, SetInputPan(c.pan, line));
        bench::Wav wav;
        RecordLine(line, "gain", Format(2, 44100), 2.0, &wav);
        const double left = Level(wav, 0, 1000), right = Level(wav, 1, 1000);
        if (full == 0) full = (left + right) / 2;
        ASSERT_GT(full, 0.3);
        EXPECT_NEAR(c.left, left / full, 0.05);
        EXPECT_NEAR(c.right, right / full, 0.05);
    }
    // Mono keeps the level and has no side to pan to.
    ASSERT_EQ(S_OK, SetInputMixLevel(line, 0.5));
    ASSERT_EQ(S_OK, SetInputPan(-1.0, line));
    bench::Wav mono;
    RecordLine(line, "gain_mono", Format(1, 22050), 2.0, &mono);
    EXPECT_NEAR(0.5, Level(mono, 0, 1000) / full, 0.05);
}

// Setting and reading back, and what a line that does not exist answers.
TEST_F(LineBench, LevelAndPanReadBackAndAMissingLineChangesNothing) {
    const int count = pins_.Count();
    for (int line = 0; line < count; ++line) {
        SCOPED_TRACE(pins_.Name(line));
        ASSERT_EQ(S_OK, SetInputMixLevel(line, 0.25 + 0.5 * line / count));
        ASSERT_EQ(S_OK, SetInputPan(-0.75 + line * 0.1, line));
    }
    for (int line = 0; line < count; ++line) {
        double level = -5, pan = -5;
        EXPECT_EQ(0, GetInputMixLevel(line, &level));
        EXPECT_DOUBLE_EQ(0.25 + 0.5 * line / count, level);
        EXPECT_EQ(S_OK, GetInputPan(line, &pan));
        EXPECT_DOUBLE_EQ(-0.75 + line * 0.1, pan);
    }
    // Out-of-range values are the mixer's to refuse.
    EXPECT_TRUE(FAILED(SetInputMixLevel(0, 1.5)));
    EXPECT_TRUE(FAILED(SetInputPan(-1.5, 0)));

    ASSERT_EQ(S_OK, EnableInputPin(count - 1));
    // The search's own failure comes back, and no line changes.
    ComRef<IPin> none;
    const HRESULT searchFailure = FindGraphPin(graph_.deviceFilter.Get(), PINDIR_INPUT, count, &none);
    ASSERT_TRUE(FAILED(searchFailure));
    EXPECT_EQ(searchFailure, EnableInputPin(count));
    EXPECT_EQ(searchFailure, SetInputMixLevel(count, 0.1));
    EXPECT_EQ(searchFailure, SetInputPan(0.1, count));
    double level = -5, pan = -5;
    EXPECT_EQ(0, GetInputMixLevel(count, &level));
    EXPECT_EQ(1.0, level);  // a defined slider position
    EXPECT_EQ(searchFailure, GetInputPan(count, &pan));
    EXPECT_EQ(0.0, pan);
    EXPECT_EQ(E_INVALIDARG, ReadInputMixer(0, "TREBLE", &level));
    for (int line = 0; line < count; ++line) {
        ComRef<IPin> pin;
        ASSERT_EQ(S_OK, FindGraphPin(graph_.deviceFilter.Get(), PINDIR_INPUT, line, &pin));
        ComRef<IAMAudioInputMixer> mixer;
        ASSERT_EQ(S_OK, pin.As(IID_IAMAudioInputMixer, &mixer));
        BOOL enabled = FALSE;
        ASSERT_EQ(S_OK, mixer->get_Enable(&enabled));
        EXPECT_EQ(line == count - 1, enabled != FALSE) << pins_.Name(line);
        EXPECT_EQ(0, GetInputMixLevel(line, &level));
        EXPECT_DOUBLE_EQ(0.25 + 0.5 * line / count, level);
    }

    // The source is available exactly when the line exists.
    EXPECT_EQ(1, SelectRecordingSource(0, device_));
    EXPECT_EQ(0, SelectRecordingSource(count, device_));
    EXPECT_EQ(device_, FindWaveInMixer(device_));
}

// WMA through the capture graph and the bench's Windows Media stand-in:
// the header attributes set before the start, then rewritten in the file.
class WmaBench : public LineBench {
protected:
    void SetUp() override {
        LineBench::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_EQ(S_OK, CreateWmaWriterObjects()) << "the Windows Media stand-in is not installed";
        ASSERT_EQ(S_OK, ListWmaProfiles(nullptr, &profiles_));
        WmaOutput.begin = WmaBeginWriting;
        WmaOutput.writeSample = WmaWriteSample;
        WmaOutput.end = WmaEndWriting;
    }
    void TearDown() override {
        LineBench::TearDown();
        WmaOutput = WmaOutputHooks{};
        ReleaseWmaWriter();
    }
    int ProfileWith(const char* text) {
        for (auto& p : profiles_)
            if (p.name.find(text) != std::string::npos) return p.index;
        return -1;
    }
    std::string RecordWma(const std::string& name, double seconds) {
        std::string path = bench::ArtifactDir() + "\\" + name + ".wma";
        DeleteFileA(path.c_str());
        EXPECT_EQ(CaptureStarted, StartCapture(0, path.c_str(), Format(2, 44100), EncoderWma, 0, 0));
        bench::Pump(static_cast<DWORD>(seconds * 1000));
        StopCapture();
        return path;
    }
    std::vector<WmaProfileName> profiles_;
};

TEST_F(WmaBench, ToneWithAttributesThenTagsRewritten) {
    for (auto& p : profiles_) EXPECT_NE(std::string::npos, p.name.find("Audio")) << p.name;
    ASSERT_GE(ProfileWith("128"), 0);
    ASSERT_EQ(S_OK, SelectWmaProfile(ProfileWith("128")));
    MediaTagRecord tags = {};
    snprintf(tags.title, sizeof tags.title, "%s", "Line check");
    snprintf(tags.author, sizeof tags.author, "%s", "Dana Reed");
    snprintf(tags.album, sizeof tags.album, "%s", "Bench takes");
    snprintf(tags.genre, sizeof tags.genre, "%s", "Speech");
    snprintf(tags.composer, sizeof tags.composer, "%s", "Eli");
    snprintf(tags.copyright, sizeof tags.copyright, "%s", "(c) 2026 Dana");
    snprintf(tags.description, sizeof tags.description, "%s", "Kitchen window");
    LoadWmaWriterTags(tags);

    auto tone = bench::PlayTone(1000, 30, 0.5);
    bench::Pump(500);
    const std::string path = RecordWma("tone", 5.0);
    EXPECT_EQ("wmav2", bench::Ffprobe(path, "stream=codec_name"));
    EXPECT_EQ("44100", bench::Ffprobe(path, "stream=sample_rate"));
    EXPECT_EQ("2", bench::Ffprobe(path, "stream=channels"));
    EXPECT_NEAR(5.0, atof(bench::Ffprobe(path, "format=duration").c_str()), 0.2);
    EXPECT_EQ("Line check", bench::Ffprobe(path, "format_tags=title"));
    EXPECT_EQ("Dana Reed", bench::Ffprobe(path, "format_tags=artist"));
    EXPECT_EQ("Bench takes", bench::Ffprobe(path, "format_tags=album"));
    EXPECT_EQ("Speech", bench::Ffprobe(path, "format_tags=genre"));
    EXPECT_EQ("Eli", bench::Ffprobe(path, "format_tags=composer"));
    EXPECT_EQ("(c) 2026 Dana", bench::Ffprobe(path, "format_tags=copyright"));
    EXPECT_EQ("Kitchen window", bench::Ffprobe(path, "format_tags=comment"));
    bench::Wav decoded;
    ASSERT_TRUE(bench::DecodeWithFfmpeg(path, &decoded));
    EXPECT_GT(bench::ToneLevel(decoded, 0, 1000, decoded.rate / 2), 0.3);
    EXPECT_LT(bench::ToneLevel(decoded, 0, 1500, decoded.rate / 2), 0.02);

    MediaTagRecord changed = tags;
    snprintf(changed.title, sizeof changed.title, "%s", "Line check, second");
    snprintf(changed.album, sizeof changed.album, "%s", "Other takes");
    ASSERT_EQ(S_OK, WriteWmaTags(path.c_str(), changed));
    EXPECT_EQ("Line check, second", bench::Ffprobe(path, "format_tags=title"));
    EXPECT_EQ("Other takes", bench::Ffprobe(path, "format_tags=album"));
    EXPECT_EQ("Dana Reed", bench::Ffprobe(path, "format_tags=artist"));
    EXPECT_NEAR(5.0, atof(bench::Ffprobe(path, "format=duration").c_str()), 0.2);
    MediaTagRecord read = {};
    ASSERT_EQ(S_OK, ReadWmaTags(path.c_str(), &read));
    EXPECT_STREQ("Line check, second", read.title);
    EXPECT_STREQ("Other takes", read.album);
    EXPECT_STREQ("Eli", read.composer);
    ASSERT_EQ(0, ReadMediaFileInfo(path.c_str()));
    EXPECT_STREQ("Artist : Dana Reed", MediaInfoLines[0]);
    EXPECT_STREQ("Title : Line check, second", MediaInfoLines[1]);
    EXPECT_STREQ("Album : Other takes", MediaInfoLines[2]);
}

TEST_F(WmaBench, TheChosenProfileSetsTheBitrate) {
    auto tone = bench::PlayTone(1000, 30, 0.5);
    bench::Pump(500);
    for (long kbps : {64L, 160L}) {
        const std::string which = std::to_string(kbps);
        ASSERT_GE(ProfileWith(which.c_str()), 0) << which;
        ASSERT_EQ(S_OK, SelectWmaProfile(ProfileWith(which.c_str())));
        const std::string path = RecordWma("rate" + which, 3.0);
        EXPECT_NEAR(kbps * 1000.0, atol(bench::Ffprobe(path, "stream=bit_rate").c_str()),
                    kbps * 100.0);
        EXPECT_NEAR(3.0, atof(bench::Ffprobe(path, "format=duration").c_str()), 0.3);
    }
}

}  // namespace
