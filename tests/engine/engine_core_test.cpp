// The engine without a capture device: WAV header and output, the level
// test and noise gate on known blocks, the block path, the writer's chunk
// logic and drain, and the start's refusals.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "bench.h"
#include "engine/EngineInternal.h"
#include "engine/EngineState.h"
#include "engine/MixBalance.h"
#include "engine/RingBuffer.h"
#include "engine/WavHeader.h"

namespace {

WAVEFORMATEX Pcm(int channels, int rate, int bits) {
    WAVEFORMATEX f = {};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = static_cast<WORD>(channels);
    f.nSamplesPerSec = static_cast<DWORD>(rate);
    f.wBitsPerSample = static_cast<WORD>(bits);
    f.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
    return f;
}

uint32_t U32(const std::vector<BYTE>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t U16(const std::vector<BYTE>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

std::vector<BYTE> ReadAll(const std::string& path) {
    std::vector<BYTE> out;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return out;
    BYTE buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
    fclose(f);
    return out;
}

// The block path as the graph would drive it, without a graph: a running
// recording of the given format whose blocks the test fills itself.
void PretendRecording(int channels, int rate, int bits) {
    WaveInFormat = Pcm(channels, rate, bits);
    EngineSession& s = RecordingSession;
    s.StopRequested = 0;
    s.Paused = 0;
    s.WriteToFile = 0;
    s.DirectWavWrite = 0;
    for (int i = 0; i < CaptureBlockCount; ++i) {
        s.CaptureHeaders[i] = WAVEHDR{};
        s.CaptureHeaders[i].lpData = reinterpret_cast<LPSTR>(s.CaptureBuffers[i]);
        s.CaptureHeaders[i].dwBufferLength = 4000;
    }
    // Block 0 is with the grabber, as after a start.
    s.CaptureBufferIndex = 1;
    EngineInternal.running = true;
}

WAVEHDR* LastBlock = nullptr;

// Fills the block the grabber would hold now: the one handed out last.
WAVEHDR* Block(const std::vector<int16_t>& samples) {
    const int index = (RecordingSession.CaptureBufferIndex + CaptureBlockCount - 1) % CaptureBlockCount;
    WAVEHDR* h = &RecordingSession.CaptureHeaders[index];
    memcpy(h->lpData, samples.data(), samples.size() * 2);
    h->dwBytesRecorded = static_cast<DWORD>(samples.size() * 2);
    LastBlock = h;
    return h;
}

std::vector<int16_t> BlockSamples(size_t n) {
    const auto* p = reinterpret_cast<const int16_t*>(LastBlock->lpData);
    return std::vector<int16_t>(p, p + n);
}

TEST(WavHeader, FieldsFollowFormatAndDataSize) {
    struct Case {
        int channels, rate, bits;
        uint32_t data;
    } cases[] = {{2, 44100, 16, 0}, {1, 11025, 16, 220500}, {1, 8000, 8, 40001}, {2, 48000, 16, 123456}};
    for (const Case& c : cases) {
        BYTE raw[WavHeaderBytes];
        BuildWavHeader(raw, Pcm(c.channels, c.rate, c.bits), c.data);
        std::vector<BYTE> h(raw, raw + WavHeaderBytes);
        SCOPED_TRACE(c.rate);
        EXPECT_EQ(0, memcmp(raw, "RIFF", 4));
        EXPECT_EQ(c.data + 36, U32(h, 4));
        EXPECT_EQ(0, memcmp(raw + 8, "WAVEfmt ", 8));
        EXPECT_EQ(16u, U32(h, 16));
        EXPECT_EQ(1, U16(h, 20));
        EXPECT_EQ(c.channels, U16(h, 22));
        EXPECT_EQ(static_cast<uint32_t>(c.rate), U32(h, 24));
        EXPECT_EQ(static_cast<uint32_t>(c.rate * c.channels * c.bits / 8), U32(h, 28));
        EXPECT_EQ(c.channels * c.bits / 8, U16(h, 32));
        EXPECT_EQ(c.bits, U16(h, 34));
        EXPECT_EQ(0, memcmp(raw + 36, "data", 4));
        EXPECT_EQ(c.data, U32(h, 40));
    }
    // The largest describable data keeps the RIFF size within 32 bits, in
    // whole frames.
    EXPECT_EQ(0xFFFFFFFFu - 36 - 3, MaxWavDataBytes(Pcm(2, 44100, 16)));
    EXPECT_EQ(0xFFFFFFFFu - 36, MaxWavDataBytes(Pcm(1, 8000, 8)));
}

TEST(WavOutput, WritesHeaderDataAndStopsBeforeTheRiffLimit) {
    WaveInFormat = Pcm(2, 44100, 16);
    const std::string path = bench::ScratchDir() + "\\out.wav";
    ASSERT_EQ(0, OpenWavOutput(path.c_str()));
    std::vector<BYTE> data(2000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<BYTE>(i * 7);
    RecordingSession.RecordedBytes = 0;
    EXPECT_EQ(1, WriteWavData(data.data(), 0));
    EXPECT_EQ(0, WriteWavData(data.data(), 2000));
    EXPECT_EQ(2000u, RecordingSession.WavBytesWritten.load());
    EXPECT_EQ(2000u, RecordingSession.RecordedBytes.load());
    WriteWavHeader();
    fclose(RecordingSession.WavFile);
    RecordingSession.WavFile = nullptr;
    std::vector<BYTE> file = ReadAll(path);
    ASSERT_EQ(2044u, file.size());
    EXPECT_EQ(2036u, U32(file, 4));
    EXPECT_EQ(2000u, U32(file, 40));
    EXPECT_EQ(0, memcmp(file.data() + 44, data.data(), 2000));

    // Near 4 GiB: only the frames that still fit are appended, then none.
    ASSERT_EQ(0, OpenWavOutput(path.c_str()));
    const uint32_t limit = MaxWavDataBytes(WaveInFormat);
    RecordingSession.WavBytesWritten = limit - 1000;
    RecordingSession.RecordedBytes = 0;
    WriteWavData(data.data(), 2000);
    EXPECT_EQ(limit, RecordingSession.WavBytesWritten.load());
    EXPECT_EQ(1000u, RecordingSession.RecordedBytes.load());
    WriteWavData(data.data(), 2000);
    EXPECT_EQ(limit, RecordingSession.WavBytesWritten.load());
    WriteWavHeader();
    fclose(RecordingSession.WavFile);
    RecordingSession.WavFile = nullptr;
    file = ReadAll(path);
    ASSERT_EQ(1044u, file.size());
    EXPECT_EQ(0xFFFFFFFFu - 3, U32(file, 4));  // a size that does not wrap
}

// While the file grows, its sizes are rewritten once a second from what
// really reached it, so a process killed now leaves a file that says how
// much sound it holds; the end leaves the same bytes as ever.
TEST(WavOutput, AGrowingFileKeepsItsSizesCurrent) {
    WaveInFormat = Pcm(2, 44100, 16);
    const std::string path = bench::ScratchDir() + "\\growing.wav";
    ASSERT_EQ(0, OpenWavOutput(path.c_str()));
    std::vector<BYTE> data(3000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<BYTE>(i * 13);
    WriteWavData(data.data(), 2000);
    Sleep(1100);
    WriteWavData(data.data() + 2000, 1000);
    // Read while the writer still holds the file open, as a reader after a
    // crash would find it.
    std::vector<BYTE> file = ReadAll(path);
    ASSERT_EQ(3044u, file.size());
    EXPECT_EQ(3036u, U32(file, 4));
    EXPECT_EQ(3000u, U32(file, 40));
    EXPECT_EQ(0, memcmp(file.data() + 44, data.data(), 3000));
    // Appends go on where the data ends.
    WriteWavData(data.data(), 500);
    WriteWavHeader();
    fclose(RecordingSession.WavFile);
    RecordingSession.WavFile = nullptr;
    file = ReadAll(path);
    ASSERT_EQ(3544u, file.size());
    EXPECT_EQ(3536u, U32(file, 4));
    EXPECT_EQ(3500u, U32(file, 40));
    EXPECT_EQ(0, memcmp(file.data() + 3044, data.data(), 500));
}

TEST(WavOutput, CountsOnlyWhatReachesTheFile) {
    WaveInFormat = Pcm(1, 8000, 8);
    const std::string path = bench::ScratchDir() + "\\ro.wav";
    FILE* f = fopen(path.c_str(), "wb");
    fclose(f);
    // A stream that refuses writes stands for a full disk.
    RecordingSession.WavFile = fopen(path.c_str(), "rb");
    ASSERT_NE(nullptr, RecordingSession.WavFile);
    RecordingSession.WavBytesWritten = 0;
    RecordingSession.RecordedBytes = 0;
    BYTE data[100] = {};
    WriteWavData(data, sizeof data);
    EXPECT_EQ(0u, RecordingSession.WavBytesWritten.load());
    EXPECT_EQ(0u, RecordingSession.RecordedBytes.load());
    fclose(RecordingSession.WavFile);
    RecordingSession.WavFile = nullptr;
    EXPECT_EQ(1, OpenWavOutput((bench::ScratchDir() + "\\no\\such\\dir\\x.wav").c_str()));
    EXPECT_EQ(nullptr, RecordingSession.WavFile);
}

TEST(LevelTest, KnownBlocks) {
    struct Case {
        const char* name;
        int channels, bits;
        std::vector<int> samples;  // 8-bit given centred
        int index;                 // SignalLevelIndex
        bool signal, strong;
        int left, right;
    } cases[] = {
        {"silence", 1, 16, {0, 0, 0, 0, 0, 0}, 0, false, false, 0, 0},
        {"full scale incl. -32768", 1, 16, {-32768, 32767, -32768, 32767}, 47, true, true, 32767, 0},
        // -1 dB threshold is 29203: 29203 passes, 29202 does not.
        {"at the threshold", 1, 16, {29203, -29203, 29203}, 47, true, true, 29203, 0},
        {"below the threshold", 1, 16, {29202, -29202, 29202}, 47, false, false, 29202, 0},
        {"two thirds quiet is still signal", 1, 16, {1000, 0, 0}, 10, true, false, 333, 0},
        {"more than two thirds quiet", 1, 16, {1000, 0, 0, 0}, 10, false, false, 250, 0},
        {"stereo channels apart", 2, 16, {1000, 3000, -1000, -3000}, 0, true, true, 1000, 3000},
        // 8-bit: -48 dB entry 0, plus 5.
        {"8-bit quiet", 1, 8, {4, -4, 4, -4}, 0, false, false, 4, 0},
        {"8-bit loud", 2, 8, {100, -50, -100, 50}, 0, true, true, 100, 50},
        // Indexes from the registry outside 0..47 are clamped.
        {"index above 47", 1, 16, {29203, 29203, 29203}, 500, true, true, 29203, 0},
        {"index below 0", 1, 16, {131, 131, 131}, -9, true, true, 131, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WaveInFormat = Pcm(c.channels, 44100, c.bits);
        RecordingOptions.SignalLevelIndex = c.index;
        RecordingOptions.NoiseGateOn = 0;
        std::vector<BYTE> block;
        for (int v : c.samples) {
            if (c.bits == 8) {
                block.push_back(static_cast<BYTE>(v + 128));
            } else {
                int16_t s = static_cast<int16_t>(v);
                block.insert(block.end(), reinterpret_cast<BYTE*>(&s), reinterpret_cast<BYTE*>(&s) + 2);
            }
        }
        std::vector<BYTE> before = block;
        EXPECT_EQ(c.signal, MeasureBlockLevel(block.data(), static_cast<DWORD>(block.size())));
        EXPECT_EQ(c.strong, SignalStrong.load() != 0);
        EXPECT_EQ(c.left, LevelLeft);
        EXPECT_EQ(c.right, LevelRight);
        // Measuring never changes the recording while the gate is off.
        EXPECT_EQ(before, block);
    }
}

TEST(LevelTest, TinyBlocksAndSquelch) {
    // Less than one stereo frame: no level, and no division by zero.
    WaveInFormat = Pcm(2, 44100, 16);
    LevelLeft = 77;
    LevelRight = 78;
    BYTE two[2] = {0x10, 0x27};
    EXPECT_FALSE(MeasureBlockLevel(two, 2));
    EXPECT_EQ(77, LevelLeft);
    WaveInFormat = Pcm(2, 8000, 8);
    BYTE one[1] = {255};
    EXPECT_FALSE(MeasureBlockLevel(one, 1));
    EXPECT_EQ(77, LevelLeft);
    EXPECT_FALSE(MeasureBlockLevel(nullptr, 10));

    // With the noise gate on, samples below -48 dB become 0.
    WaveInFormat = Pcm(1, 44100, 16);
    RecordingOptions.NoiseGateOn = 1;
    int16_t s[6] = {129, -129, 130, -130, -32768, 5};
    MeasureBlockLevel(reinterpret_cast<BYTE*>(s), sizeof s);
    const int16_t want[6] = {0, 0, 130, -130, -32768, 0};
    EXPECT_EQ(0, memcmp(s, want, sizeof s));
}

TEST(BlockPath, NoiseGateClosesAfterTheReleaseTime) {
    PretendRecording(1, 11025, 16);
    RecordingOptions.NoiseGateOn = 1;
    RecordingOptions.NoiseGateLevelIndex = 28;  // -20 dB: 3276
    RecordingOptions.NoiseGateSeconds = 2;
    const std::vector<int16_t> loud(200, 8000), quiet(200, 1000);
    GateOpen = 0;

    ProcessCaptureBuffer(Block(loud));
    EXPECT_EQ(1, GateOpen);
    EXPECT_EQ(loud, BlockSamples(200));
    // The first quiet block only notes the time and passes.
    ProcessCaptureBuffer(Block(quiet));
    EXPECT_EQ(0, GateOpen);
    EXPECT_EQ(quiet, BlockSamples(200));
    ProcessCaptureBuffer(Block(quiet));
    EXPECT_EQ(quiet, BlockSamples(200));
    // Release time over: silenced until a block reaches the threshold.
    GateQuietSince -= 2;
    ProcessCaptureBuffer(Block(quiet));
    EXPECT_EQ(std::vector<int16_t>(200, 0), BlockSamples(200));
    ProcessCaptureBuffer(Block(loud));
    EXPECT_EQ(loud, BlockSamples(200));
    EXPECT_EQ(1, GateOpen);
}

TEST(BlockPath, WhatIsWrittenAndWhatIsDropped) {
    PretendRecording(2, 8000, 16);
    const std::string path = bench::ScratchDir() + "\\direct.wav";
    ASSERT_EQ(0, OpenWavOutput(path.c_str()));
    EngineSession& s = RecordingSession;
    s.WriteToFile = 1;
    s.DirectWavWrite = 1;
    RecordingOptions.SignalLevelIndex = 28;
    const std::vector<int16_t> loud(400, 8000), silent(400, 0);

    ProcessCaptureBuffer(Block(loud));
    EXPECT_EQ(800u, s.WavBytesWritten.load());
    RecordingOptions.SignalTriggered = 1;
    ProcessCaptureBuffer(Block(silent));  // no signal: dropped
    EXPECT_EQ(800u, s.WavBytesWritten.load());
    EXPECT_EQ(0, s.SignalActive.load());
    ProcessCaptureBuffer(Block(loud));
    EXPECT_EQ(1600u, s.WavBytesWritten.load());
    s.Paused = 1;
    ProcessCaptureBuffer(Block(loud));
    EXPECT_EQ(1600u, s.WavBytesWritten.load());
    s.Paused = 0;

    // A count from the filter larger than the block is cut to the block,
    // and to whole frames.
    WAVEHDR* h = Block(loud);
    h->dwBufferLength = 602;
    h->dwBytesRecorded = 40000;
    ProcessCaptureBuffer(h);
    EXPECT_EQ(2200u, s.WavBytesWritten.load());
    // Blocks that are not ours, or arrive after the stop, write nothing.
    WAVEHDR foreign = *Block(loud);
    ProcessCaptureBuffer(&foreign);
    ProcessCaptureBuffer(nullptr);
    EngineInternal.running = false;
    ProcessCaptureBuffer(Block(loud));
    EXPECT_EQ(2200u, s.WavBytesWritten.load());
    fclose(s.WavFile);
    s.WavFile = nullptr;
}

// The writer's chunk logic on rings filled by hand.
class WriterChunks : public ::testing::Test {
protected:
    void SetUp() override {
        WaveInFormat = Pcm(2, 44100, 16);
        path_ = bench::ScratchDir() + "\\writer.wav";
        ASSERT_EQ(0, OpenWavOutput(path_.c_str()));
        RecordingSession.EncoderKind = EncoderWav;
        RecordingSession.SamplesPerChunk = 1000;  // chunks of 2000 bytes
        ASSERT_TRUE(RingBufferInit(&CaptureRing, 8000));
        EngineInternal.mixActive = 0;
        BackgroundEnded = 0;
    }
    void TearDown() override {
        RingBufferRelease(&CaptureRing);
        RingBufferRelease(&BackgroundRing);
        if (RecordingSession.WavFile) fclose(RecordingSession.WavFile);
        RecordingSession.WavFile = nullptr;
    }
    std::vector<int16_t> Written() {
        fflush(RecordingSession.WavFile);
        std::vector<BYTE> f = ReadAll(path_);
        std::vector<int16_t> out((f.size() - 44) / 2);
        memcpy(out.data(), f.data() + 44, out.size() * 2);
        return out;
    }
    std::string path_;
};

// The writer's idle wait: as long as the missing bytes take, 1..20 ms.
TEST(WriterIdleWait, FollowsTheMissingBytes) {
    struct Case { int32_t fill, chunk; DWORD rate, want; } cases[] = {
        {0, 4608, 176400, 20},     // a whole MP3 chunk missing: 26 ms, capped
        {3000, 4608, 176400, 9},   // 1608 bytes at 176400 B/s
        {4600, 4608, 176400, 1},   // a few bytes: never less than 1 ms
        {4608, 4608, 176400, 1},   // a chunk ready (the background was missing)
        {9000, 4608, 176400, 1},
        {0, 4608, 0, 1},           // no format known: the old 1 ms
        {0, 4608, 8000, 20},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.want, WriterIdleWaitMs(c.fill, c.chunk, c.rate)) << c.fill << " " << c.rate;
}

TEST_F(WriterChunks, WholeChunksWhileRecordingTheRestAtTheStop) {
    std::vector<int16_t> in(2700);  // 5400 bytes: two chunks and a tail
    for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<int16_t>(i);
    RingBufferWrite(&CaptureRing, in.data(), 5400);
    EXPECT_TRUE(WriteReadyChunks(false));
    EXPECT_EQ(4000u, RecordingSession.WavBytesWritten.load());
    EXPECT_EQ(1400, RingBufferFill(&CaptureRing));
    EXPECT_FALSE(WriteReadyChunks(false));
    EXPECT_TRUE(WriteReadyChunks(true));
    EXPECT_EQ(0, RingBufferFill(&CaptureRing));
    EXPECT_EQ(in, Written());
}

TEST_F(WriterChunks, MixWaitsForTheBackgroundUntilItHasEnded) {
    ASSERT_TRUE(RingBufferInit(&BackgroundRing, 8000));
    EngineInternal.mixActive = 1;
    RecordingOptions.BackgroundMixOn = 1;
    RecordingOptions.MixBalance = 50;
    std::vector<int16_t> capture(1000, 1000), background(1000, 300);
    RingBufferWrite(&CaptureRing, capture.data(), 2000);
    EXPECT_FALSE(WriteReadyChunks(false));  // no background yet
    RingBufferWrite(&BackgroundRing, background.data(), 2000);
    EXPECT_TRUE(WriteReadyChunks(false));
    EXPECT_EQ(std::vector<int16_t>(1000, 1300), Written());

    // The background has ended: the capture goes on, mixed with silence.
    RingBufferWrite(&CaptureRing, capture.data(), 2000);
    EXPECT_FALSE(WriteReadyChunks(false));
    BackgroundEnded = 1;
    EXPECT_TRUE(WriteReadyChunks(false));
    std::vector<int16_t> all = Written();
    ASSERT_EQ(2000u, all.size());
    EXPECT_EQ(std::vector<int16_t>(1000, 1000), std::vector<int16_t>(all.begin() + 1000, all.end()));

    // A capture ring more than half full no longer waits either.
    BackgroundEnded = 0;
    std::vector<int16_t> more(2100, 500);
    RingBufferWrite(&CaptureRing, more.data(), 4200);
    EXPECT_TRUE(WriteReadyChunks(false));
    EXPECT_EQ(2200, RingBufferFill(&CaptureRing));
    RecordingOptions.BackgroundMixOn = 0;
}

TEST(StartRefusals, FormatsOutsideTheChoicesAndNoDevice) {
    struct Case {
        uint32_t channels, rate;
        uint16_t bits;
        int32_t kind;
        CaptureResult want;
    } cases[] = {
        {3, 44100, 16, EncoderWav, CaptureFormatError},
        {0, 44100, 16, EncoderWav, CaptureFormatError},
        {2, 44100, 24, EncoderWav, CaptureFormatError},
        {2, 0, 16, EncoderWav, CaptureFormatError},
        {2, 44000, 16, EncoderWav, CaptureFormatError},
        {2, 44100, 8, EncoderMp3, CaptureFormatError},
        {2, 44100, 16, 7, CaptureFormatError},
        // A sound format, but no capture graph at all.
        {2, 44100, 16, EncoderWav, CaptureDeviceError},
        {1, 8000, 8, EncoderWma, CaptureDeviceError},
    };
    const std::string path = bench::ScratchDir() + "\\never.wav";
    for (const Case& c : cases) {
        CaptureFormat f;
        f.channels = c.channels;
        f.rate = c.rate;
        f.bits = c.bits;
        EXPECT_EQ(c.want, StartCapture(0, path.c_str(), f, c.kind, 0, 0)) << c.channels << " " << c.rate;
        EXPECT_FALSE(CaptureRunning());
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
    }
    StopCapture();  // nothing runs: nothing happens
    EXPECT_EQ(nullptr, RecordingSession.DataEvent);
}

TEST(Options, BackgroundFileIsCutToItsBuffer) {
    std::string longName(400, 'a');
    SetBackgroundFile(longName.c_str());
    EXPECT_EQ(255u, strlen(RecordingOptions.BackgroundFile));
    SetBackgroundFile("c:\\bg.wav");
    EXPECT_STREQ("c:\\bg.wav", RecordingOptions.BackgroundFile);
    SetBackgroundFile(nullptr);
    EXPECT_STREQ("", RecordingOptions.BackgroundFile);
}

}  // namespace
