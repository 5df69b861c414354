// Recordings through the real capture graph: the bench plays a tone into
// the recorded sink, the capture device and the grabber deliver blocks to a
// window that hands them to the engine as the main window does, and the
// files are checked as a user would (header, tone, length, gaps; ffprobe
// for MP3).
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "bench.h"
#include "engine/CaptureGraph.h"
#include "engine/EngineState.h"
#include "engine/Id3Tag.h"
#include "engine/Mp3Encoder.h"
#include "engine/RingBuffer.h"
#include "recorded_device.h"

namespace {

// Everything the grabber delivered to the engine while a recording ran,
// in order.
std::vector<BYTE> Delivered;
int DeliveredBlocks = 0;
std::set<DWORD> BlockSizes;

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GRAPHNOTIFY) {
        if (CaptureGraph) CaptureGraph->OnCaptureGraphEvent(msg, wParam, lParam);
        return 0;
    }
    if (msg == MM_WIM_DATA && wParam == 1) {
        auto* header = reinterpret_cast<WAVEHDR*>(lParam);
        if (CaptureRunning() && CaptureGraph && header == CaptureGraph->currentBlock &&
            !RecordingSession.StopRequested) {
            DWORD n = std::min(header->dwBytesRecorded, header->dwBufferLength);
            BYTE* p = reinterpret_cast<BYTE*>(header->lpData);
            Delivered.insert(Delivered.end(), p, p + n);
            ++DeliveredBlocks;
            BlockSizes.insert(n);
        }
        ProcessCaptureBuffer(header);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

CaptureFormat Format(uint32_t channels, uint32_t rate, uint16_t bits, uint16_t kbps = 128) {
    CaptureFormat f;
    f.channels = channels;
    f.rate = rate;
    f.bits = bits;
    f.mp3Bitrate = kbps;
    return f;
}

using bench::FileBytes;

uint64_t Checksum(const std::vector<BYTE>& data) {
    uint64_t h = 1469598103934665603ull;  // FNV-1a
    for (BYTE b : data) h = (h ^ b) * 1099511628211ull;
    return h;
}

class CaptureBench : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(bench::HaveSound());
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        window_ = bench::MessageWindow("EngineTestMain", MainWindowProc);
        ASSERT_NE(nullptr, window_);
        graph_.notifyWindow = window_;
        CaptureGraph = &graph_;
        ASSERT_EQ(S_OK, graph_.CreateGraph());
        ASSERT_EQ(S_OK, SelectRecordedDevice());
        Delivered.clear();
        DeliveredBlocks = 0;
        BlockSizes.clear();
    }

    void TearDown() override {
        StopCapture();
        graph_.Shutdown();
        CaptureGraph = nullptr;
        if (window_) DestroyWindow(window_);
        CoUninitialize();
    }

    // The capture grabber and a capture device with outputs are our own
    // filters, registered on the bench; without them nothing can record.
    bool FiltersPresent() {
        ComRef<IBaseFilter> grabber;
        if (FAILED(CoCreateInstance(CLSID_CaptureWavTrans, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IBaseFilter, grabber.OutVoid())))
            return false;
        return graph_.HasCaptureOutput();
    }

    // The capture device that records the test's sink: the one named after
    // it, else the default device (which the bench points at it).
    int RecordedDevice() { return bench::RecordedDeviceIn(devices_); }

    // Lists the devices and selects the recorded one. The category lives
    // in the registry every test process of the bench shares, and another
    // one's listing may rewrite an entry between our listing and binding:
    // then list again.
    HRESULT SelectRecordedDevice() {
        HRESULT hr = E_FAIL;
        for (int attempt = 0; attempt < 5 && FAILED(hr); ++attempt) {
            if (attempt) Sleep(200);
            hr = FillCaptureDeviceList(&devices_);
            if (SUCCEEDED(hr)) hr = graph_.SelectDevice(RecordedDevice(), &devices_, &pins_);
        }
        return hr;
    }

    // Records `seconds` of whatever plays into the sink.
    CaptureResult Record(const std::string& path, CaptureFormat f, int32_t kind, double seconds,
                         uint8_t direct = 0) {
        Delivered.clear();
        DeliveredBlocks = 0;
        BlockSizes.clear();
        CaptureResult r = StartCapture(0, path.empty() ? nullptr : path.c_str(), f, kind, 0, direct);
        if (r != CaptureStarted) return r;
        bench::Pump(static_cast<DWORD>(seconds * 1000));
        StopCapture();
        return r;
    }

    // Header exact, sample-exact against the grabber's blocks, the tone at
    // 1 kHz, the length as recorded, and no gap inside.
    void CheckToneWav(const std::string& path, CaptureFormat f, double seconds) {
        SCOPED_TRACE(path);
        bench::Wav wav;
        std::string error;
        ASSERT_TRUE(bench::ReadWav(path, &wav, &error)) << error;
        EXPECT_EQ(static_cast<int>(f.channels), wav.channels);
        EXPECT_EQ(static_cast<int>(f.rate), wav.rate);
        EXPECT_EQ(f.bits, wav.bits);
        EXPECT_EQ(wav.fileSize - 8, wav.riffSize);
        EXPECT_EQ(wav.fileSize - 44, wav.dataSize);
        std::vector<BYTE> data = FileBytes(path, 44);
        EXPECT_EQ(Delivered.size(), data.size());
        EXPECT_EQ(Checksum(Delivered), Checksum(data));
        EXPECT_NEAR(seconds, wav.Seconds(), 0.3);
        for (int c = 0; c < wav.channels; ++c) {
            EXPECT_GT(bench::ToneLevel(wav, c, 1000), 0.3) << "channel " << c;
            EXPECT_LT(bench::ToneLevel(wav, c, 1500), 0.02) << "channel " << c;
        }
        EXPECT_LT(bench::LongestInnerZeroRun(wav), static_cast<size_t>(f.rate / 100));
        // Every block the grabber handed back was whole frames.
        for (DWORD n : BlockSizes) EXPECT_EQ(0u, n % (f.channels * f.bits / 8)) << n;
    }

    HWND window_ = nullptr;
    CCaptureGraph graph_;
    CaptureDeviceList devices_;
    PinNameList pins_;
};

TEST_F(CaptureBench, DevicesAreTheWaveInDevicesWithTheirInputPins) {
    std::set<std::string> listed;
    for (int i = 0; i < devices_.Count(); ++i) {
        listed.insert(devices_.Name(i));
        EXPECT_NE(nullptr, devices_.Moniker(i)) << devices_.Name(i);
    }
    const UINT n = waveInGetNumDevs();
    ASSERT_GT(n, 0u);
    for (UINT id = 0; id < n; ++id) {
        WAVEINCAPSA caps = {};
        ASSERT_EQ(MMSYSERR_NOERROR, waveInGetDevCapsA(id, &caps, sizeof caps));
        EXPECT_EQ(1u, listed.count(caps.szPname)) << caps.szPname;
    }
    if (!FiltersPresent()) GTEST_SKIP() << "capture grabber or capture device filter not registered";
    EXPECT_GT(pins_.Count(), 0);
    for (int i = 0; i < pins_.Count(); ++i) {
        EXPECT_STRNE("", pins_.Name(i));
        EXPECT_STRNE("<ERROR>", pins_.Name(i));
        EXPECT_EQ(S_OK, EnableInputPin(i)) << pins_.Name(i);
    }
    EXPECT_TRUE(FAILED(EnableInputPin(pins_.Count())));

    // Entries that name no device change nothing.
    CaptureDeviceList none;
    EXPECT_EQ(1, ListCaptureDevices(nullptr, &none));
    ASSERT_EQ(1, none.Count());
    EXPECT_STREQ(NoCaptureDeviceName, none.Name(0));
    EXPECT_EQ(E_INVALIDARG, graph_.SelectDevice(0, &none, &pins_));
    EXPECT_EQ(E_INVALIDARG, graph_.SelectDevice(devices_.Count(), &devices_, &pins_));
    EXPECT_EQ(E_INVALIDARG, graph_.SelectDevice(-1, &devices_, &pins_));
    EXPECT_TRUE(graph_.HasDevice());
}

TEST_F(CaptureBench, WavToneAtThreeFormats) {
    if (!FiltersPresent()) GTEST_SKIP() << "capture grabber or capture device filter not registered";
    auto tone = bench::PlayTone(1000, 30, 0.5);
    bench::Pump(500);
    const struct {
        CaptureFormat format;
        DWORD block;
    } cases[] = {
        {Format(2, 44100, 16), 17640},
        {Format(1, 11025, 16), 2204},  // 2205 bytes would split a sample
        {Format(1, 8000, 8), 800},
    };
    for (const auto& c : cases) {
        std::string path = bench::ArtifactDir() + "\\tone_" + std::to_string(c.format.rate) + "_" +
                           std::to_string(c.format.bits) + "_" + std::to_string(c.format.channels) + ".wav";
        ASSERT_EQ(CaptureStarted, Record(path, c.format, EncoderWav, 5.0));
        EXPECT_EQ(c.block, RecordingSession.CaptureBlockSize);
        CheckToneWav(path, c.format, 5.0);
    }
}

TEST_F(CaptureBench, NoFileDirectWriteAndAnUnwritablePath) {
    if (!FiltersPresent()) GTEST_SKIP() << "capture grabber or capture device filter not registered";
    auto tone = bench::PlayTone(1000, 30, 0.5);
    bench::Pump(500);
    const CaptureFormat f = Format(2, 22050, 16);

    // Capture for the meters only: blocks flow, nothing is written, no writer.
    ASSERT_EQ(CaptureStarted, StartCapture(0, nullptr, f, EncoderWav, 0, 0));
    EXPECT_EQ(nullptr, RecordingSession.EncoderThreadHandle);
    Delivered.clear();
    DeliveredBlocks = 0;
    bench::Pump(1500);
    EXPECT_GT(DeliveredBlocks, 5);
    EXPECT_GT(LevelLeft, 1000);
    EXPECT_EQ(0u, RecordingSession.RecordedBytes.load());
    StopCapture();

    // Direct write: 2000-byte blocks straight into the file, no writer.
    std::string direct = bench::ArtifactDir() + "\\direct.wav";
    ASSERT_EQ(CaptureStarted, StartCapture(0, direct.c_str(), f, EncoderWav, 0, 1));
    EXPECT_EQ(2000u, RecordingSession.CaptureBlockSize);
    EXPECT_EQ(nullptr, RecordingSession.EncoderThreadHandle);
    Delivered.clear();
    BlockSizes.clear();
    bench::Pump(3000);
    StopCapture();
    CheckToneWav(direct, f, 3.0);
    EXPECT_EQ(std::set<DWORD>{2000}, BlockSizes);

    // A path that cannot be written: "FileError", nothing left open.
    std::string bad = bench::ScratchDir() + "\\missing\\folder\\x.wav";
    EXPECT_EQ(CaptureFileError, StartCapture(0, bad.c_str(), f, EncoderWav, 0, 0));
    EXPECT_FALSE(CaptureRunning());
    EXPECT_EQ(nullptr, RecordingSession.WavFile);
    EXPECT_EQ(nullptr, RecordingSession.DataEvent);
    EXPECT_FALSE(static_cast<bool>(graph_.grabberFilter));
    // And the device records again afterwards.
    std::string after = bench::ArtifactDir() + "\\after.wav";
    ASSERT_EQ(CaptureStarted, Record(after, f, EncoderWav, 2.0));
    CheckToneWav(after, f, 2.0);
}

TEST_F(CaptureBench, StopThenStartLosesNothingFromEitherFile) {
    if (!FiltersPresent()) GTEST_SKIP() << "capture grabber or capture device filter not registered";
    auto tone = bench::PlayTone(1000, 30, 0.5);
    bench::Pump(500);
    const CaptureFormat f = Format(2, 44100, 16);
    std::string first = bench::ArtifactDir() + "\\first.wav";
    std::string second = bench::ArtifactDir() + "\\second.wav";

    Delivered.clear();
    ASSERT_EQ(CaptureStarted, StartCapture(0, first.c_str(), f, EncoderWav, 0, 0));
    bench::Pump(3000);
    StopCapture();
    std::vector<BYTE> firstDelivered = Delivered;
    // At once, without a message loop in between.
    Delivered.clear();
    BlockSizes.clear();
    ASSERT_EQ(CaptureStarted, StartCapture(0, second.c_str(), f, EncoderWav, 0, 0));
    bench::Pump(3000);
    StopCapture();

    CheckToneWav(second, f, 3.0);
    Delivered = firstDelivered;
    CheckToneWav(first, f, 3.0);
}

TEST_F(CaptureBench, DeviceLostFinishesTheFileAndReturnsToIdle) {
    if (!FiltersPresent()) GTEST_SKIP() << "capture grabber or capture device filter not registered";
    auto tone = bench::PlayTone(1000, 30, 0.5);
    bench::Pump(500);
    const CaptureFormat f = Format(1, 16000, 16);
    std::string path = bench::ArtifactDir() + "\\lost.wav";
    ASSERT_EQ(CaptureStarted, StartCapture(0, path.c_str(), f, EncoderWav, 0, 0));
    bench::Pump(2000);
    // The device reports itself gone, as a capture filter does when its
    // hardware is unplugged.
    ComRef<IMediaEventSink> sink;
    ASSERT_EQ(S_OK, graph_.graph.As(IID_IMediaEventSink, &sink));
    ASSERT_EQ(S_OK, sink->Notify(EC_DEVICE_LOST, 0, 0));
    sink.Reset();
    EXPECT_TRUE(bench::PumpUntil([] { return !CaptureRunning(); }, 3000));
    EXPECT_FALSE(graph_.HasDevice());
    EXPECT_EQ(0, devices_.Count());
    CheckToneWav(path, f, 2.0);
    // Idle, and a start is refused until a device is chosen again.
    EXPECT_EQ(CaptureDeviceError, StartCapture(0, path.c_str(), f, EncoderWav, 0, 0));
    StopCapture();
    EXPECT_EQ(S_OK, SelectRecordedDevice());
    std::string again = bench::ArtifactDir() + "\\again.wav";
    ASSERT_EQ(CaptureStarted, Record(again, f, EncoderWav, 1.5));
    CheckToneWav(again, f, 1.5);
}

// A sample counter played into the sink (left n, right n xor 0x5555) and
// recorded for a minute through the device, the grabber and the writer:
// every frame follows its predecessor, so nothing was lost, repeated,
// reordered or swapped between channels.
TEST_F(CaptureBench, SampleCounterRampArrivesWhole) {
    if (!FiltersPresent()) GTEST_SKIP() << "capture grabber or capture device filter not registered";
    const int rate = 44100;
    std::string raw = bench::ScratchDir() + "\\ramp.raw";
    {
        FILE* f = fopen(raw.c_str(), "wb");
        ASSERT_NE(nullptr, f);
        std::vector<uint16_t> frames(2 * rate);
        uint32_t n = 0;
        for (int second = 0; second < 75; ++second) {
            for (int i = 0; i < rate; ++i, ++n) {
                frames[2 * i] = static_cast<uint16_t>(n);
                frames[2 * i + 1] = static_cast<uint16_t>(n ^ 0x5555);
            }
            fwrite(frames.data(), 2, frames.size(), f);
        }
        fclose(f);
    }
    // A deep player buffer: an underrun of the player would put silence
    // into the sink and drop counter values before any of ours could.
    bench::HostProcess player("pacat -p --raw --rate=44100 --channels=2 --format=s16le "
                              "--latency-msec=400 --device=" + bench::RecordSink() + " '" +
                              bench::UnixPath(raw) + "'");
    bench::Pump(1500);
    const CaptureFormat f = Format(2, rate, 16);
    std::string path = bench::ArtifactDir() + "\\ramp.wav";
    ASSERT_EQ(CaptureStarted, Record(path, f, EncoderWav, 60.0));

    bench::Wav wav;
    std::string error;
    ASSERT_TRUE(bench::ReadWav(path, &wav, &error)) << error;
    EXPECT_EQ(wav.fileSize - 44, wav.dataSize);
    EXPECT_NEAR(60.0, wav.Seconds(), 0.3);
    std::vector<BYTE> data = FileBytes(path, 44);
    EXPECT_EQ(Checksum(Delivered), Checksum(data));
    const size_t frames = wav.samples.size() / 2;
    ASSERT_GT(frames, static_cast<size_t>(rate));
    size_t breaks = 0, swapped = 0, firstBreak = 0;
    for (size_t i = 0; i < frames; ++i) {
        const uint16_t left = static_cast<uint16_t>(wav.samples[2 * i]);
        const uint16_t right = static_cast<uint16_t>(wav.samples[2 * i + 1]);
        if (static_cast<uint16_t>(left ^ 0x5555) != right) ++swapped;
        if (i && static_cast<uint16_t>(left - static_cast<uint16_t>(wav.samples[2 * i - 2])) != 1) {
            if (!breaks) firstBreak = i;
            ++breaks;
        }
    }
    EXPECT_EQ(0u, breaks) << "first at frame " << firstBreak;
    EXPECT_EQ(0u, swapped);
}

TEST_F(CaptureBench, Mp3ToneWithAndWithoutTag) {
    if (!FiltersPresent()) GTEST_SKIP() << "capture grabber or capture device filter not registered";
    ASSERT_TRUE(LoadMp3EncoderFrom(bench::WinPath(LAME_DLL_PATH).c_str()));
    auto tone = bench::PlayTone(1000, 30, 0.5);
    bench::Pump(500);
    const struct {
        CaptureFormat format;
        bool tag;
    } cases[] = {{Format(2, 44100, 16, 128), false}, {Format(1, 32000, 16, 64), true}};
    for (const auto& c : cases) {
        std::string path = bench::ArtifactDir() + "\\tone_" + std::to_string(c.format.rate) + ".mp3";
        SCOPED_TRACE(path);
        RecordingOptions.Id3TagOn = c.tag;
        Id3Tag& t = RecordingOptions.Id3Tag;
        t = Id3Tag{};
        snprintf(t.title, sizeof t.title, "Morning Take");
        snprintf(t.artist, sizeof t.artist, "Test Bench");
        snprintf(t.album, sizeof t.album, "Engine Runs");
        snprintf(t.year, sizeof t.year, "2026");
        t.genre = 8;  // "Jazz"
        ASSERT_EQ(CaptureStarted, Record(path, c.format, EncoderMp3, 5.0));

        EXPECT_EQ("mp3", bench::Ffprobe(path, "stream=codec_name"));
        EXPECT_EQ(std::to_string(c.format.rate), bench::Ffprobe(path, "stream=sample_rate"));
        EXPECT_EQ(std::to_string(c.format.channels), bench::Ffprobe(path, "stream=channels"));
        EXPECT_NEAR(5.0, atof(bench::Ffprobe(path, "format=duration").c_str()), 0.2);
        bench::Wav decoded;
        ASSERT_TRUE(bench::DecodeWithFfmpeg(path, &decoded));
        EXPECT_GT(bench::ToneLevel(decoded, 0, 1000, decoded.rate / 2), 0.3);
        EXPECT_LT(bench::ToneLevel(decoded, 0, 1500, decoded.rate / 2), 0.02);

        std::vector<BYTE> file = FileBytes(path);
        ASSERT_GT(file.size(), 128u);
        const bool tagged = memcmp(file.data() + file.size() - 128, "TAG", 3) == 0;
        EXPECT_EQ(c.tag, tagged);
        if (c.tag) {
            EXPECT_EQ("Morning Take", bench::Ffprobe(path, "format_tags=title"));
            EXPECT_EQ("Test Bench", bench::Ffprobe(path, "format_tags=artist"));
            EXPECT_EQ("Engine Runs", bench::Ffprobe(path, "format_tags=album"));
            EXPECT_EQ("2026", bench::Ffprobe(path, "format_tags=date"));
            EXPECT_EQ("Jazz", bench::Ffprobe(path, "format_tags=genre"));
            EXPECT_EQ("1", bench::Ffprobe(path, "format_tags=track"));
        }
    }
    RecordingOptions.Id3TagOn = 0;
    UnloadMp3Encoder();
}

TEST_F(CaptureBench, RefusalsLeaveNothingBehind) {
    if (!FiltersPresent()) GTEST_SKIP() << "capture grabber or capture device filter not registered";
    std::string path = bench::ScratchDir() + "\\x.wma";
    WmaOutput = WmaOutputHooks{};
    EXPECT_EQ(CaptureWmaError, StartCapture(0, path.c_str(), Format(2, 44100, 16), EncoderWma, 0, 0));
    EXPECT_FALSE(CaptureRunning());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
    // MP3 without the encoder library: refused before any file exists.
    UnloadMp3Encoder();
    path = bench::ScratchDir() + "\\x.mp3";
    EXPECT_EQ(CaptureMp3BitRate, StartCapture(0, path.c_str(), Format(2, 44100, 16), EncoderMp3, 0, 0));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
    EXPECT_EQ(nullptr, RecordingSession.EncoderOutBuffer);
    // A ring that could not hold two chunks would never be written from.
    path = bench::ScratchDir() + "\\small.wav";
    RecordingOptions.RingBufferSize = 60000;  // 100 ms at 48000 Hz stereo is 19200 bytes
    EXPECT_EQ(CaptureRingError, StartCapture(0, path.c_str(), Format(2, 48000, 16), EncoderWav, 0, 0));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
    EXPECT_EQ(nullptr, CaptureRing.base);
    EXPECT_FALSE(CaptureRunning());
    RecordingOptions.RingBufferSize = 80000;
}

}  // namespace
