// The control's recorder on the bench's capture device with fake encoder
// entry points (they count and check what the recorder hands them), its
// start failures and refusals, the recording lines, and the GIF walker of
// the picture window over crafted inputs.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "control/AnimatedPicture.h"
#include "control/CtlLines.h"
#include "control/CtlRecorder.h"
#include "control/GifFrames.h"
#include "control/Mp3OutputFormat.h"
#include "control/PanelText.h"
#include "engine/Mp3Encoder.h"
#include "tests/support/bench.h"

namespace {

// ---- fake encoder ----------------------------------------------------------

struct FakeEncoder {
    DWORD samplesPerChunk = 2304;
    std::mutex m;
    std::vector<std::string> log;  // "encode", "deinit", "close" in call order
    std::vector<DWORD> counts;
    int outOfBounds = 0;
    std::atomic<bool> stallNext{false};
    std::atomic<bool> stalled{false};
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
} Fake;

HBE_STREAM const FakeStream = reinterpret_cast<HBE_STREAM>(0x5AB1);

BE_ERR FakeInit(BE_CONFIG*, DWORD* samples, DWORD* bufferSize, PHBE_STREAM stream) {
    *samples = Fake.samplesPerChunk;
    *bufferSize = 8000;
    *stream = FakeStream;
    return BE_ERR_SUCCESSFUL;
}

BE_ERR FakeEncode(HBE_STREAM, DWORD samples, SHORT* pcm, BYTE* out, DWORD* outBytes) {
    if (Fake.stallNext.exchange(false)) {
        Fake.stalled = true;
        WaitForSingleObject(Fake.release, INFINITE);
    }
    const BYTE* first = CtlCaptureState.Mp3Work;
    const BYTE* p = reinterpret_cast<const BYTE*>(pcm);
    std::lock_guard<std::mutex> lock(Fake.m);
    // Every sample read must lie inside the recorder's work buffer.
    if (!first || p < first || p + 2 * samples > first + CtlCaptureState.Mp3WorkBytes)
        ++Fake.outOfBounds;
    Fake.counts.push_back(samples);
    Fake.log.push_back("encode");
    memset(out, 0xE5, 10);
    *outBytes = 10;
    return BE_ERR_SUCCESSFUL;
}

BE_ERR FakeDeinit(HBE_STREAM, BYTE* out, DWORD* outBytes) {
    std::lock_guard<std::mutex> lock(Fake.m);
    Fake.log.push_back("deinit");
    memset(out, 0xD1, 5);
    *outBytes = 5;
    return BE_ERR_SUCCESSFUL;
}

BE_ERR FakeClose(HBE_STREAM) {
    std::lock_guard<std::mutex> lock(Fake.m);
    Fake.log.push_back("close");
    return BE_ERR_SUCCESSFUL;
}

VOID FakeVersion(BE_VERSION*) {}
BE_ERR FakeVbr(LPCSTR) { return BE_ERR_SUCCESSFUL; }

void InstallFakeEncoder(DWORD samplesPerChunk) {
    UnloadMp3Encoder();
    Fake.samplesPerChunk = samplesPerChunk;
    Fake.log.clear();
    Fake.counts.clear();
    Fake.outOfBounds = 0;
    ResetEvent(Fake.release);
    beInitStream = FakeInit;
    beEncodeChunk = FakeEncode;
    beDeinitStream = FakeDeinit;
    beCloseStream = FakeClose;
    beVersion = FakeVersion;
    beWriteVBRHeader = FakeVbr;
}

int CountLog(const char* what) {
    std::lock_guard<std::mutex> lock(Fake.m);
    int n = 0;
    for (const std::string& s : Fake.log) n += s == what;
    return n;
}

// ---- the window the device reports to --------------------------------------

// Bytes of the blocks the device handed back while recording (what the
// recorder must write, besides the blocks returned at the stop).
uint64_t DeliveredBytes = 0;
int Finished = 0;

LPARAM FinishedBytes = -1;  // what the last end notice said was recorded

LRESULT CALLBACK ReportProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == MM_WIM_DATA) {
        auto* h = reinterpret_cast<WAVEHDR*>(lp);
        int i = static_cast<int>(h - CtlCaptureState.Headers);
        if (CtlIsRecording() && i >= 0 && i < CtlBufferCount && CtlCaptureState.InDevice[i] &&
            !CtlCaptureState.Paused)
            DeliveredBytes += h->dwBytesRecorded;
        CtlProcessCaptureBuffer(reinterpret_cast<HWAVEIN>(wp), h);
        return 0;
    }
    if (msg == CtlFinishedMessage) {
        ++Finished;
        FinishedBytes = lp;
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

HWND ReportWindow() {
    static HWND wnd = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ReportProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "CtlRecorderReport";
        RegisterClassA(&wc);
        return CreateWindowA("CtlRecorderReport", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             wc.hInstance, nullptr);
    }();
    return wnd;
}

CaptureParams Params(const std::string& path, uint32_t rate, uint32_t channels, uint32_t bits,
                     bool mp3, uint32_t kbps = 128) {
    CaptureParams p{};
    p.CallbackWindow = ReportWindow();
    p.Line = 0;
    p.OutputPath = path.empty() ? nullptr : path.c_str();
    p.Channels = channels;
    p.SampleRate = rate;
    p.Bits = bits | (kbps << 16);
    p.Mp3 = mp3 ? 1 : 0;
    p.MixerId = static_cast<uint32_t>(ProbeWaveInDevice());
    return p;
}

long FileSize(const std::string& path) {
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return -1;
    fseek(f, 0, SEEK_END);
    long n = ftell(f);
    fclose(f);
    return n;
}

void StopAndFinish() {
    int before = Finished;
    CtlStopCapture();
    CtlWaitForFinish();
    bench::PumpUntil([&] { return Finished > before; }, 2000);
}

}  // namespace

// MP3 blocks are cut into whole chunks of what the device recorded, the rest
// carried to the next block; nothing is read past the work buffer, every
// delivered block is encoded, and the stream ends once.
TEST(CtlRecorder, Mp3BlocksAreEncodedAsWholeChunksWithTheRestCarried) {
    ASSERT_TRUE(bench::HaveSound());
    auto tone = bench::PlayTone(1000, 30);
    struct Case {
        DWORD spc;
        DWORD blockSize;
    } cases[] = {{2304, 18432}, {6000, 40000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spc);
        InstallFakeEncoder(c.spc);
        std::string path = bench::ScratchDir() + "\\chunks.mp3";
        DeliveredBytes = 0;
        ASSERT_EQ(CtlStarted, CtlStartCapture(Params(path, 44100, 2, 16, true)));
        EXPECT_EQ(c.blockSize, CtlCaptureState.BlockSize);
        bench::Pump(2000);
        StopAndFinish();

        EXPECT_EQ(0, Fake.outOfBounds);
        EXPECT_EQ(0, CtlCaptureState.FifoOverflows);
        uint64_t encoded = 0;
        for (DWORD n : Fake.counts) {
            EXPECT_EQ(c.spc, n);
            encoded += 2 * n;
        }
        EXPECT_GT(DeliveredBytes, 0u);
        // Everything delivered, plus what the stop took back from the device
        // (at most two blocks) and the padded rest (under one chunk).
        EXPECT_GE(encoded, DeliveredBytes);
        EXPECT_LE(encoded, DeliveredBytes + 2 * c.blockSize + 2 * 2 * c.spc);
        EXPECT_EQ(1, CountLog("deinit"));
        EXPECT_EQ(1, CountLog("close"));
        EXPECT_EQ(static_cast<long>(10 * Fake.counts.size() + 5), FileSize(path));
    }
    UnloadMp3Encoder();
}

// Stop while an encode hangs: the finisher waits for the encoder instead of
// closing under it, then ends the stream exactly once with nothing after.
TEST(CtlRecorder, StopDuringAStalledEncodeClosesOnceAfterIt) {
    ASSERT_TRUE(bench::HaveSound());
    auto tone = bench::PlayTone(1000, 30);
    InstallFakeEncoder(2304);
    std::string path = bench::ScratchDir() + "\\stall.mp3";
    int finishedBefore = Finished;
    ASSERT_EQ(CtlStarted, CtlStartCapture(Params(path, 44100, 2, 16, true)));
    Fake.stalled = false;
    Fake.stallNext = true;
    ASSERT_TRUE(bench::PumpUntil([] { return Fake.stalled.load(); }, 5000));
    CtlStopCapture();
    bench::Pump(300);
    EXPECT_EQ(0, CountLog("deinit"));
    EXPECT_EQ(finishedBefore, Finished);
    SetEvent(Fake.release);
    CtlWaitForFinish();
    bench::PumpUntil([&] { return Finished > finishedBefore; }, 2000);
    EXPECT_EQ(finishedBefore + 1, Finished);
    std::lock_guard<std::mutex> lock(Fake.m);
    ASSERT_GE(Fake.log.size(), 2u);
    EXPECT_EQ("close", Fake.log.back());
    EXPECT_EQ("deinit", Fake.log[Fake.log.size() - 2]);
    UnloadMp3Encoder();
}

// 12 kHz mono 8-bit fills a 40000-byte block in 3.3 s: a 1.5 s recording
// exists only because the stop writes what the device hands back. The
// header describes the data, and a late block of the closed device is not
// written into the file.
TEST(CtlRecorder, WavStopWritesTheBlocksStillInTheDevice) {
    ASSERT_TRUE(bench::HaveSound());
    auto tone = bench::PlayTone(1000, 30);
    struct Case {
        uint32_t rate, channels, bits;
    } cases[] = {{12000, 1, 8}, {44100, 2, 16}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        std::string path = bench::ScratchDir() + "\\take.wav";
        ASSERT_EQ(CtlStarted, CtlStartCapture(Params(path, c.rate, c.channels, c.bits, false)));
        HWAVEIN device = CtlCaptureState.WaveIn;
        DWORD start = GetTickCount();
        bench::Pump(1500);
        DWORD elapsed = GetTickCount() - start;
        StopAndFinish();
        long size = FileSize(path);
        CtlCaptureState.Headers[0].dwFlags |= WHDR_DONE;
        CtlProcessCaptureBuffer(device, &CtlCaptureState.Headers[0]);
        EXPECT_EQ(size, FileSize(path));

        bench::Wav wav;
        std::string error;
        ASSERT_TRUE(bench::ReadWav(path, &wav, &error)) << error;
        EXPECT_EQ(static_cast<int>(c.rate), wav.rate);
        EXPECT_EQ(static_cast<int>(c.channels), wav.channels);
        EXPECT_EQ(static_cast<int>(c.bits), wav.bits);
        EXPECT_EQ(wav.dataSize + 36, wav.riffSize);
        EXPECT_EQ(0u, wav.dataSize % (c.channels * c.bits / 8));
        EXPECT_EQ(static_cast<LPARAM>(wav.dataSize), FinishedBytes) << "the end notice tells the take's size";
        EXPECT_NEAR(elapsed / 1000.0, wav.Seconds(), 0.5);
        EXPECT_GT(bench::ToneLevel(wav, 0, 1000, c.rate / 10, c.rate / 2), 0.1);
    }
}

// What a start refuses or fails leaves nothing behind: the next start works.
TEST(CtlRecorder, FailedAndRefusedStartsLeaveTheRecorderUsable) {
    ASSERT_TRUE(bench::HaveSound());
    std::string path = bench::ScratchDir() + "\\f.wav";
    CtlStopCapture();  // idle: nothing to stop, nothing signalled
    EXPECT_EQ(CtlFormatRefused, CtlStartCapture(Params(path, 44100, 2, 12, false)));
    // Rates a page can set that the sound layer must never see (a negative
    // rate reaches the recorder as a huge unsigned one); the file of an
    // earlier take is not touched by the refusal.
    ASSERT_TRUE(bench::WriteWav(path, 44100, 1, std::vector<int16_t>(441, 7)));
    const std::vector<BYTE> before = bench::FileBytes(path);
    for (uint32_t rate : {0u, 7999u, 48001u, 65535u, 1000000u, static_cast<uint32_t>(-5),
                          static_cast<uint32_t>(-1)}) {
        SCOPED_TRACE(rate);
        EXPECT_EQ(CtlFormatRefused, CtlStartCapture(Params(path, rate, 2, 16, false)));
        EXPECT_EQ(CtlFormatRefused, CtlStartCapture(Params(path, rate, 1, 8, false)));
        EXPECT_FALSE(CtlIsRecording());
    }
    EXPECT_EQ(before, bench::FileBytes(path));
    // The two ends of the range are recorded.
    for (uint32_t rate : {CtlLowestRate, CtlHighestRate}) {
        ASSERT_EQ(CtlStarted, CtlStartCapture(Params(path, rate, 1, 16, false))) << rate;
        bench::Pump(200);
        StopAndFinish();
        bench::Wav wav;
        ASSERT_TRUE(bench::ReadWav(path, &wav));
        EXPECT_EQ(static_cast<int>(rate), wav.rate);
    }
    EXPECT_FALSE(CtlIsRecording());
    EXPECT_EQ(nullptr, CtlCaptureState.DataEvent);
    EXPECT_TRUE(DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(CtlFileError,
              CtlStartCapture(Params(bench::ScratchDir() + "\\no\\such\\x.wav", 44100, 2, 16,
                                     false)));
    UnloadMp3Encoder();
    EXPECT_EQ(CtlFormatRefused, CtlStartCapture(Params(path, 44100, 2, 16, true)));

    // 8-bit MP3 is captured at 16 bits; a second Record while recording is
    // refused and leaves the first recording alone.
    InstallFakeEncoder(1152);
    ASSERT_EQ(CtlStarted, CtlStartCapture(Params(path + ".mp3", 22050, 1, 8, true)));
    EXPECT_EQ(16, CtlCaptureState.WaveInFormat.wBitsPerSample);
    HWAVEIN device = CtlCaptureState.WaveIn;
    EXPECT_EQ(CtlDeviceError, CtlStartCapture(Params(path, 44100, 2, 16, false)));
    EXPECT_EQ(device, CtlCaptureState.WaveIn);
    EXPECT_TRUE(CtlIsRecording());
    bench::Pump(300);
    StopAndFinish();
    UnloadMp3Encoder();

    // Stop and record again at once, several times: each file is whole.
    // (ScratchDir empties the folder, so it is asked once.)
    const std::string dir = bench::ScratchDir();
    for (int i = 0; i < 5; ++i) {
        std::string p = dir + "\\quick" + std::to_string(i) + ".wav";
        ASSERT_EQ(CtlStarted, CtlStartCapture(Params(p, 44100, 2, 16, false)));
        bench::Pump(200);
        CtlStopCapture();
    }
    CtlWaitForFinish();
    for (int i = 0; i < 5; ++i) {
        bench::Wav wav;
        std::string error;
        EXPECT_TRUE(bench::ReadWav(dir + "\\quick" + std::to_string(i) + ".wav", &wav, &error))
            << error;
        EXPECT_EQ(wav.dataSize + 36, wav.riffSize);
    }
}

// The lines as the bench's mixer shows them (printed for the record), and
// the bounds a combo box or a stored choice can break.
TEST(CtlRecorder, RecordingLinesAreBounded) {
    int32_t mixer = ProbeWaveInDevice();
    int lines = CountCaptureLines(static_cast<uint32_t>(mixer));
    printf("mixer %d, %d line(s)\n", mixer, lines);
    for (int i = 0; i < lines; ++i) {
        char name[ListWaveInLineChars];
        ListWaveInLines(name, sizeof name, i, static_cast<uint32_t>(mixer));
        printf("  line %d: \"%s\"\n", i, name);
    }
    char small[4];
    ListWaveInLines(small, sizeof small, 0, static_cast<uint32_t>(mixer));
    EXPECT_EQ('\0', small[3]);
    char name[ListWaveInLineChars];
    ListWaveInLines(name, sizeof name, 1000, static_cast<uint32_t>(mixer));
    EXPECT_STREQ("Unknown", name);
    ListWaveInLines(name, sizeof name, 0, static_cast<uint32_t>(-1));
    EXPECT_STREQ("Unknown", name);
    EXPECT_EQ(0, CountCaptureLines(static_cast<uint32_t>(-1)));
    int outside = lines >= 2 ? 0 : 1;
    EXPECT_EQ(outside, SelectCaptureLine(-1, static_cast<uint32_t>(mixer)));
    EXPECT_EQ(outside, SelectCaptureLine(lines, static_cast<uint32_t>(mixer)));
    EXPECT_STREQ("Line ", MixerLineTypeName(0x1002));
    EXPECT_STREQ(" ", MixerLineTypeName(0x2000));
}

// ---- GIF walker ------------------------------------------------------------

namespace {

using Bytes = std::vector<BYTE>;

Bytes Screen(BYTE packed, BYTE background, int tableEntries) {
    Bytes b = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, packed, background, 0};
    for (int i = 0; i < tableEntries; ++i) {
        BYTE v = static_cast<BYTE>(i * 255);
        b.insert(b.end(), {v, v, v});
    }
    return b;
}

// One 1 x 1 image, optionally after a control extension with `delay`.
void AddFrame(Bytes* b, int delay, BYTE disposal = 0) {
    if (delay >= 0)
        b->insert(b->end(), {0x21, 0xF9, 4, static_cast<BYTE>(disposal << 2),
                             static_cast<BYTE>(delay & 0xFF), static_cast<BYTE>(delay >> 8), 0,
                             0});
    b->insert(b->end(), {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0});
}

Bytes Trailer(Bytes b) {
    b.push_back(0x3B);
    return b;
}

}  // namespace

TEST(GifFrames, CraftedInputsAreWalkedWithinTheirBytes) {
    Bytes one = Screen(0x80, 0, 2);
    AddFrame(&one, -1);
    Bytes three = Screen(0x80, 1, 2);
    AddFrame(&three, 4, 2);
    AddFrame(&three, 50);
    AddFrame(&three, 0);
    Bytes bigBackground = Screen(0x80, 255, 2);
    AddFrame(&bigBackground, 10);
    Bytes truncated = Screen(0x80, 0, 2);
    AddFrame(&truncated, 10);
    truncated[truncated.size() - 4] = 40;  // the sub-block claims 40 bytes
    Bytes pastEnd = Screen(0x80, 0, 2);
    AddFrame(&pastEnd, 10);
    AddFrame(&pastEnd, 10);
    pastEnd.resize(pastEnd.size() - 7);  // the second image stops in its descriptor
    Bytes tableTooLong = Screen(0x87, 0, 2);
    AddFrame(&tableTooLong, 10);

    struct Case {
        const char* name;
        Bytes data;
        bool ok;
        std::vector<DWORD> delaysMs;
        bool background;
    } cases[] = {
        {"empty", {}, false, {}, false},
        {"header alone", {'G', 'I', 'F', '8', '9', 'a'}, false, {}, false},
        {"one still image", Trailer(one), true, {100}, true},
        {"three frames", Trailer(three), true, {100, 500, 100}, true},
        {"background index past the table", Trailer(bigBackground), true, {100}, false},
        {"truncated sub-block", truncated, false, {}, true},
        {"second frame past the end", pastEnd, true, {100}, true},
        {"table longer than the data", tableTooLong, false, {}, false},
        {"not a GIF", {'B', 'M', 0, 0}, false, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GifLayout layout;
        EXPECT_EQ(c.ok, ParseGifFrames(c.data.data(), static_cast<DWORD>(c.data.size()), &layout));
        ASSERT_EQ(c.delaysMs.size(), layout.Frames.size());
        for (size_t i = 0; i < layout.Frames.size(); ++i) {
            const GifFrameSpan& f = layout.Frames[i];
            EXPECT_EQ(c.delaysMs[i], GifFrameDelayMs(f.Delay));
            EXPECT_LE(f.Offset + f.Length, c.data.size());
            Bytes gif = BuildFrameGif(c.data.data(), layout, f);
            EXPECT_EQ(layout.HeaderBytes + f.Length + 1, gif.size());
            EXPECT_EQ(0x3B, gif.back());
        }
        EXPECT_EQ(c.background, layout.HasBackground);
    }
    GifLayout layout;
    Bytes t = Trailer(three);
    ASSERT_TRUE(ParseGifFrames(t.data(), static_cast<DWORD>(t.size()), &layout));
    EXPECT_EQ(2, layout.Frames[0].Disposal);
    EXPECT_EQ(RGB(255, 255, 255), layout.Background);
    EXPECT_EQ(19u, layout.HeaderBytes);
}

// The picture window takes the same inputs through the system's loader:
// nothing crashes, broken data shows nothing, an animation runs on one
// thread and stops with the window.
TEST(GifFrames, PictureWindowSurvivesTheCorpus) {
    OleInitialize(nullptr);
    HWND wnd = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 10, 10, 40, 40, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, wnd);
    CAnimatedPicture picture;
    ASSERT_TRUE(picture.SubclassWindow(wnd));
    EXPECT_FALSE(CAnimatedPicture().SubclassWindow(wnd));

    Bytes three = Screen(0x80, 1, 2);
    AddFrame(&three, 4, 2);
    AddFrame(&three, 50, 3);
    AddFrame(&three, 0);
    three = Trailer(three);
    Bytes cut = three;
    cut.resize(20);
    Bytes header = {'G', 'I', 'F', '8', '9', 'a'};
    auto load = [&](const Bytes& data) {
        HGLOBAL m = GlobalAlloc(GMEM_MOVEABLE, data.empty() ? 1 : data.size());
        if (!data.empty()) memcpy(GlobalLock(m), data.data(), data.size());
        if (!data.empty()) GlobalUnlock(m);
        int r = picture.Load(m, static_cast<DWORD>(data.size()));
        GlobalFree(m);
        return r;
    };
    EXPECT_EQ(0, load({}));
    EXPECT_EQ(0, load(header));
    EXPECT_EQ(0, load(cut));
    EXPECT_EQ(0, picture.Draw());
    ASSERT_EQ(1, load(three));
    EXPECT_EQ(3u, picture.FrameCount());
    EXPECT_EQ(0, picture.Draw());
    EXPECT_TRUE(bench::PumpUntil([&] { return picture.IsPlaying(); }, 2000));
    EXPECT_EQ(0, picture.Draw());  // restarts, never a second thread
    bench::Pump(700);

    // The control's own background: a many-frame GIF from the skin
    // generator, through the walker and the system's loader.
    ASSERT_EQ(1, picture.LoadFromResource("IDR_WEBBACKGROUND", "GIF"));
    EXPECT_GT(picture.FrameCount(), 1u);
    EXPECT_EQ(468, picture.Size().cx);
    EXPECT_EQ(60, picture.Size().cy);
    EXPECT_EQ(0, picture.Draw());
    bench::Pump(500);
    bench::Screenshot("web-background", wnd);
    BITMAP bm{};
    HBITMAP face = LoadBitmapA(GetModuleHandleA(nullptr), "IDR_BTNRECORDUP");
    ASSERT_NE(nullptr, face);
    GetObjectA(face, sizeof bm, &bm);
    EXPECT_EQ(34, bm.bmWidth);
    EXPECT_EQ(35, bm.bmHeight);
    DeleteObject(face);

    DestroyWindow(wnd);
    EXPECT_FALSE(picture.IsPlaying());
    EXPECT_EQ(nullptr, picture.Window());
    OleUninitialize();
}

// ---- panel readouts ----------------------------------------------------------

TEST(PanelText, SizesTimesAndSliderPositionsAtTheirEdges) {
    struct SizeRow {
        uint32_t bytes;
        const char* text;
    } sizes[] = {
        {0, "0KB"},
        {1048575, "1023KB"},
        {1048576, "1.00MB"},
        {1048576 + 512 * 1024, "1.50MB"},
        {1048576000u - 1, "999.99MB"},
        {1048576000u, "1,000.00MB"},
        {1048576000u + 5 * 1048576u, "1,005.00MB"},
        {0xFFFFFFFFu, "4,095.99MB"},
    };
    for (const SizeRow& r : sizes) {
        char text[32];
        FormatRecordedSize(r.bytes, text, sizeof text);
        EXPECT_STREQ(r.text, text) << r.bytes;
    }
    char text[32];
    FormatElapsedTime(59, text, sizeof text);
    EXPECT_STREQ("00:59", text);
    FormatElapsedTime(3600 + 61, text, sizeof text);
    EXPECT_STREQ("01:01:01", text);
    FormatPlayTime(61500, 125000, text, sizeof text);
    EXPECT_STREQ("1:01 / 2:05", text);
    char tiny[4];
    FormatRecordedSize(1048576000u, tiny, sizeof tiny);
    EXPECT_STREQ("1,0", tiny);

    struct SliderRow {
        int x, left, right, min, max, current, pos;
    } sliders[] = {
        {10, 10, 110, 0, 100, 50, 0},     // left end
        {110, 10, 110, 0, 100, 50, 100},  // right end: never max + 1
        {60, 10, 110, 0, 100, 7, 50},
        {-40, 10, 110, 0, 100, 50, 0},    // left of the channel
        {500, 10, 110, 0, 100, 50, 100},
        {50, 10, 10, 0, 100, 42, 42},     // no width: unchanged
        {50, 20, 10, 0, 100, 42, 42},
        {9, 10, 110, 0, 2000, 1000, 0},
        {60, 10, 110, 0, 2000, 1000, 1000},
    };
    for (const SliderRow& r : sliders)
        EXPECT_EQ(r.pos, SliderPosFromPoint(r.x, r.left, r.right, r.min, r.max, r.current))
            << r.x << " in " << r.left << ".." << r.right;

    // Six hours of playback: the products need 64 bits.
    uint32_t sixHours = 6u * 3600 * 1000;
    EXPECT_EQ(50, PlayPercent(sixHours / 2, sixHours));
    EXPECT_EQ(sixHours / 4, PlayPositionMs(25, sixHours));
    EXPECT_EQ(0, PlayPercent(5, 0));
    EXPECT_EQ(sixHours, PlayPositionMs(100, sixHours));
}

// The format the panel reads from the encoder's frames: MPEG-1 and 2.5
// headers, a sync found after other bytes or passed over when no frame
// follows it, and headers that name no frame.
TEST(Mp3Frames, FormatComesFromTheFirstHeaderAFrameFollows) {
    auto frames = [](BYTE b1, BYTE b2, size_t length, int count, std::vector<BYTE> before = {}) {
        for (int i = 0; i < count; ++i) {
            std::vector<BYTE> f(length, 0);
            f[0] = 0xFF, f[1] = b1, f[2] = b2, f[3] = 0xC0;
            before.insert(before.end(), f.begin(), f.end());
        }
        return before;
    };
    const struct { const char* what; std::vector<BYTE> bytes; uint32_t rate; uint16_t kbps; } rows[] = {
        {"MPEG-2.5", frames(0xE3, 0x88, 576, 2), 8000, 64},
        {"MPEG-1", frames(0xFB, 0x90, 417, 2), 44100, 128},
        {"the next frame beyond the bytes", frames(0xF3, 0x48, 144, 1), 16000, 32},
        {"after other bytes", frames(0xF3, 0x48, 144, 2, {0x00, 0xFF, 0xFB}), 16000, 32},
        {"a sync no frame follows", frames(0xF3, 0x48, 144, 3, {0xFF, 0xFB, 0x90, 0xC0}), 16000, 32},
        {"free bitrate", frames(0xFB, 0x00, 64, 1), 0, 0},
        {"reserved rate", frames(0xFB, 0x9C, 64, 1), 0, 0},
        {"layer II", frames(0xFD, 0x90, 64, 1), 0, 0},
        {"three bytes", {0xFF, 0xFB, 0x90}, 0, 0},
    };
    for (const auto& r : rows) {
        Mp3FrameFormat f;
        EXPECT_EQ(r.rate != 0, FindMp3FrameFormat(r.bytes.data(), r.bytes.size(), &f)) << r.what;
        EXPECT_EQ(r.rate, f.rate) << r.what;
        EXPECT_EQ(r.kbps, f.kbps) << r.what;
    }
}
