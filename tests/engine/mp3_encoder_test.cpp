// The encoder library loader, the stream set-up and its end, against the
// real lame_enc.dll built for the bench.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "bench.h"
#include "engine/MixBalance.h"
#include "engine/Mp3Encoder.h"
#include "engine/Mp3Frames.h"

namespace {

std::string DllPath() { return bench::WinPath(LAME_DLL_PATH); }

bool AllEntriesNull() {
    return !beInitStream && !beEncodeChunk && !beDeinitStream && !beCloseStream && !beVersion &&
           !beWriteVBRHeader;
}

bool CopyDll(const std::string& to) { return CopyFileA(DllPath().c_str(), to.c_str(), FALSE); }

// Which file the entry points came from.
std::string LoadedFrom() {
    HMODULE m = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(reinterpret_cast<void*>(beInitStream)), &m))
        return "";
    char path[MAX_PATH] = {};
    GetModuleFileNameA(m, path, MAX_PATH);
    return CharLowerA(path);
}

std::string Lower(std::string s) {
    CharLowerA(&s[0]);
    return s;
}

TEST(Mp3Encoder, LoadsOnlyALibraryWithAllSixEntryPoints) {
    EXPECT_FALSE(LoadMp3EncoderFrom((bench::ScratchDir() + "\\none.dll").c_str()));
    EXPECT_TRUE(AllEntriesNull());
    EXPECT_FALSE(Mp3EncoderAvailable());
    // A real library without the interface.
    EXPECT_FALSE(LoadMp3EncoderFrom("kernel32.dll"));
    EXPECT_TRUE(AllEntriesNull());

    ASSERT_TRUE(LoadMp3EncoderFrom(DllPath().c_str()));
    EXPECT_TRUE(Mp3EncoderAvailable());
    BE_VERSION v = {};
    beVersion(&v);
    EXPECT_EQ(3, v.byMajorVersion);
    UnloadMp3Encoder();
    EXPECT_TRUE(AllEntriesNull());
    EXPECT_EQ(nullptr, GetModuleHandleA(DllPath().c_str()));
}

// The search: the system's search first, then c:\, then the install
// folder, then the second name. SetDllDirectory stands in for "a folder on
// the system's search path".
TEST(Mp3Encoder, SearchesTheFourPlacesInOrder) {
    std::string scratch = bench::ScratchDir();
    std::string searchDir = scratch + "\\search", install = scratch + "\\install";
    CreateDirectoryA(searchDir.c_str(), nullptr);
    CreateDirectoryA(install.c_str(), nullptr);
    const char* rootCopy = "c:\\lame_enc.dll";
    DeleteFileA(rootCopy);

    // Nothing anywhere.
    EXPECT_FALSE(LoadMp3Encoder(install.c_str()));
    EXPECT_FALSE(LoadMp3Encoder(nullptr));

    // Only the second name, found by the system's search.
    ASSERT_TRUE(CopyDll(searchDir + "\\Quorlix.dll"));
    ASSERT_TRUE(SetDllDirectoryA(searchDir.c_str()));
    EXPECT_TRUE(LoadMp3Encoder(install.c_str()));
    EXPECT_EQ(Lower(searchDir + "\\quorlix.dll"), LoadedFrom());
    UnloadMp3Encoder();

    // The install folder comes before the second name.
    ASSERT_TRUE(CopyDll(install + "\\lame_enc.dll"));
    EXPECT_TRUE(LoadMp3Encoder(install.c_str()));
    EXPECT_EQ(Lower(install + "\\lame_enc.dll"), LoadedFrom());
    UnloadMp3Encoder();

    // c:\ comes before the install folder.
    ASSERT_TRUE(CopyDll(rootCopy));
    EXPECT_TRUE(LoadMp3Encoder(install.c_str()));
    EXPECT_EQ(std::string(rootCopy), LoadedFrom());
    UnloadMp3Encoder();

    // The system's search comes first of all.
    ASSERT_TRUE(CopyDll(searchDir + "\\lame_enc.dll"));
    EXPECT_TRUE(LoadMp3Encoder(install.c_str()));
    EXPECT_EQ(Lower(searchDir + "\\lame_enc.dll"), LoadedFrom());
    // A loaded library is kept.
    EXPECT_TRUE(LoadMp3Encoder(nullptr));
    EXPECT_EQ(Lower(searchDir + "\\lame_enc.dll"), LoadedFrom());
    UnloadMp3Encoder();

    SetDllDirectoryA(nullptr);
    DeleteFileA(rootCopy);
    // An install path too long for a path buffer is skipped, not cut.
    std::string longPath(400, 'x');
    EXPECT_FALSE(LoadMp3Encoder(longPath.c_str()));
}

// One MPEG audio frame header, as the encoder wrote it.
struct FrameHeader {
    bool found = false;
    bool crc = false, priv = false, copyright = false, original = false;
    int mode = -1;  // 0 stereo, 1 joint, 2 dual, 3 mono
};

FrameHeader FirstFrame(const std::vector<unsigned char>& mp3) {
    FrameHeader h;
    for (size_t i = 0; i + 4 <= mp3.size(); ++i) {
        if (mp3[i] == 0xFF && (mp3[i + 1] & 0xE0) == 0xE0) {
            h.found = true;
            h.crc = !(mp3[i + 1] & 1);
            h.priv = mp3[i + 2] & 1;
            h.mode = mp3[i + 3] >> 6;
            h.copyright = mp3[i + 3] & 8;
            h.original = mp3[i + 3] & 4;
            break;
        }
    }
    return h;
}

// Encodes `seconds` of a 1 kHz tone with the engine's calls and returns the
// file's bytes.
std::vector<unsigned char> EncodeTone(const std::string& path, uint32_t rate, uint16_t channels,
                                      uint16_t kbps, const Mp3Flags& flags, double seconds) {
    std::vector<unsigned char> bytes;
    DWORD samples = 123, outSize = 456;
    EXPECT_EQ(1, InitMp3Encoder(rate, channels, kbps, flags, &samples, &outSize));
    if (!samples) return bytes;
    EXPECT_LE(2 * samples, static_cast<DWORD>(MixBufferBytes));
    EXPECT_NE(nullptr, Mp3Stream);
    FILE* f = fopen(path.c_str(), "wb");
    EXPECT_NE(nullptr, f);
    if (!f) return bytes;
    std::vector<short> pcm(samples);
    std::vector<BYTE> out(outSize);
    long frame = 0, total = static_cast<long>(seconds * rate);
    while (frame < total) {
        for (DWORD i = 0; i < samples; i += channels, ++frame)
            for (int c = 0; c < channels; ++c)
                pcm[i + c] = static_cast<short>(12000 * sin(2 * M_PI * 1000 * frame / rate));
        DWORD n = 0;
        EXPECT_EQ(BE_ERR_SUCCESSFUL, beEncodeChunk(Mp3Stream, samples, pcm.data(), out.data(), &n));
        fwrite(out.data(), 1, n, f);
    }
    bool ok = false;
    FinishMp3Stream(f, out.data(), &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(nullptr, Mp3Stream);
    fclose(f);
    f = fopen(path.c_str(), "rb");
    int ch;
    while ((ch = fgetc(f)) != EOF) bytes.push_back(static_cast<unsigned char>(ch));
    fclose(f);
    return bytes;
}

// The configuration reaches the stream: rate, channel mode, bitrate and the
// four header flags, read back from the file by ffprobe and from the frame
// headers.
TEST(Mp3Encoder, StreamCarriesTheRecordingFormatAndFlags) {
    ASSERT_TRUE(LoadMp3EncoderFrom(DllPath().c_str()));
    struct Case {
        uint32_t rate;
        uint16_t channels, kbps;
        Mp3Flags flags;
        DWORD samples;  // the encoder's chunk for that format
        int mode;
    };
    Mp3Flags none, all;
    all.crc = all.copyright = all.priv = all.original = 1;
    Mp3Flags crcOnly;
    crcOnly.crc = 1;
    const Case cases[] = {
        {44100, 2, 128, none, 2304, 0},
        {32000, 1, 64, all, 1152, 3},
        {22050, 1, 64, crcOnly, 576, 3},
        {48000, 2, 192, all, 2304, 0},
    };
    std::string dir = bench::ScratchDir();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz " << c.channels << " ch " << c.kbps);
        DWORD samples = 0, outSize = 0;
        ASSERT_EQ(1, InitMp3Encoder(c.rate, c.channels, c.kbps, c.flags, &samples, &outSize));
        EXPECT_EQ(c.samples, samples);
        CloseMp3Stream();

        std::string path = dir + "\\f" + std::to_string(c.rate) + ".mp3";
        auto bytes = EncodeTone(path, c.rate, c.channels, c.kbps, c.flags, 2.0);
        FrameHeader h = FirstFrame(bytes);
        ASSERT_TRUE(h.found);
        EXPECT_EQ(c.mode, h.mode);
        EXPECT_EQ(c.flags.crc != 0, h.crc);
        EXPECT_EQ(c.flags.priv != 0, h.priv);
        EXPECT_EQ(c.flags.copyright != 0, h.copyright);
        EXPECT_EQ(c.flags.original != 0, h.original);
        EXPECT_EQ(std::to_string(c.rate), bench::Ffprobe(path, "stream=sample_rate"));
        EXPECT_EQ(std::to_string(c.channels), bench::Ffprobe(path, "stream=channels"));
        EXPECT_EQ(std::to_string(c.kbps * 1000), bench::Ffprobe(path, "stream=bit_rate"));
        bench::Wav wav;
        ASSERT_TRUE(bench::DecodeWithFfmpeg(path, &wav, static_cast<int>(c.rate)));
        EXPECT_NEAR(2.0, wav.Seconds(), 0.1);
        EXPECT_GT(bench::ToneLevel(wav, 0, 1000, c.rate / 10, c.rate), 0.2);
    }
    UnloadMp3Encoder();
}

// The library takes any rate and bitrate it can map to a valid stream, so
// its refusal is played by a set-up entry that refuses; what matters here is
// that a refusal leaves no stream and no chunk sizes behind.
BE_ERR RefusingInit(BE_CONFIG*, DWORD* samples, DWORD* bufferSize, PHBE_STREAM stream) {
    *samples = 1152;
    *bufferSize = 7920;
    *stream = nullptr;
    return 1;  // the interface's "invalid format parameters"
}

TEST(Mp3Encoder, RefusalsLeaveNoStreamAndZeroChunkSizes) {
    DWORD samples = 7, outSize = 9;
    UnloadMp3Encoder();
    EXPECT_EQ(0, InitMp3Encoder(44100, 2, 128, Mp3Flags(), &samples, &outSize));
    EXPECT_EQ(0u, samples);
    EXPECT_EQ(0u, outSize);

    ASSERT_TRUE(LoadMp3EncoderFrom(DllPath().c_str()));
    BEINITSTREAM realInit = beInitStream;
    beInitStream = RefusingInit;
    samples = 7;
    outSize = 9;
    EXPECT_EQ(0, InitMp3Encoder(44100, 2, 128, Mp3Flags(), &samples, &outSize));
    EXPECT_EQ(0u, samples);
    EXPECT_EQ(0u, outSize);
    EXPECT_EQ(nullptr, Mp3Stream);
    beInitStream = realInit;

    // Ending a stream that was never opened does nothing.
    BYTE buf[16];
    bool ok = true;
    EXPECT_EQ(0u, FinishMp3Stream(nullptr, buf, &ok));
    EXPECT_FALSE(ok);
    CloseMp3Stream();
    UnloadMp3Encoder();
}

// No encoder here answers with a chunk larger than the writer's buffers, so
// this case replaces the library's set-up entry with one that does, and
// checks that the stream it opened is closed again.
int FakeClosed = 0;
BE_ERR FakeInit(BE_CONFIG*, DWORD* samples, DWORD* bufferSize, PHBE_STREAM stream) {
    *samples = MixBufferBytes / 2 + 2;
    *bufferSize = 100000;
    *stream = reinterpret_cast<HBE_STREAM>(0x1234);
    return BE_ERR_SUCCESSFUL;
}
BE_ERR FakeClose(HBE_STREAM stream) {
    if (stream == reinterpret_cast<HBE_STREAM>(0x1234)) ++FakeClosed;
    return BE_ERR_SUCCESSFUL;
}

TEST(Mp3Encoder, ChunkLargerThanTheWorkBuffersIsRefused) {
    ASSERT_TRUE(LoadMp3EncoderFrom(DllPath().c_str()));
    BEINITSTREAM realInit = beInitStream;
    BECLOSESTREAM realClose = beCloseStream;
    beInitStream = FakeInit;
    beCloseStream = FakeClose;
    DWORD samples = 1, outSize = 1;
    EXPECT_EQ(0, InitMp3Encoder(44100, 2, 128, Mp3Flags(), &samples, &outSize));
    EXPECT_EQ(0u, samples);
    EXPECT_EQ(1, FakeClosed);
    EXPECT_EQ(nullptr, Mp3Stream);
    beInitStream = realInit;
    beCloseStream = realClose;
    // The largest chunk that fits is taken.
    EXPECT_EQ(1, InitMp3Encoder(44100, 2, 128, Mp3Flags(), &samples, &outSize));
    CloseMp3Stream();
    UnloadMp3Encoder();
}

// A second set-up while a stream is open closes the old stream first; the
// end writes the encoder's last bytes (the tail of the tone is in them).
TEST(Mp3Encoder, EndOfStreamWritesTheLastFrames) {
    ASSERT_TRUE(LoadMp3EncoderFrom(DllPath().c_str()));
    DWORD samples = 0, outSize = 0;
    ASSERT_EQ(1, InitMp3Encoder(44100, 2, 128, Mp3Flags(), &samples, &outSize));
    HBE_STREAM first = Mp3Stream;
    ASSERT_EQ(1, InitMp3Encoder(44100, 2, 128, Mp3Flags(), &samples, &outSize));
    EXPECT_NE(nullptr, Mp3Stream);
    (void)first;
    std::string path = bench::ScratchDir() + "\\tail.mp3";
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    // One chunk only: everything audible is still inside the encoder.
    std::vector<short> pcm(samples, 0);
    for (DWORD i = 0; i < samples; ++i) pcm[i] = static_cast<short>(10000 * sin(i * 0.1));
    std::vector<BYTE> out(outSize);
    DWORD n = 0;
    ASSERT_EQ(BE_ERR_SUCCESSFUL,
              EncodeMp3Chunk(samples, reinterpret_cast<const BYTE*>(pcm.data()), out.data(), &n));
    fwrite(out.data(), 1, n, f);
    bool ok = false;
    DWORD last = FinishMp3Stream(f, out.data(), &ok);
    EXPECT_TRUE(ok);
    EXPECT_GT(last, 0u);
    EXPECT_EQ(static_cast<long>(n + last), ftell(f));
    fclose(f);
    UnloadMp3Encoder();
}

// A recording stopped before any sound reached the encoder: the end alone
// would leave the encoder's information frame without an audio frame, which
// readers refuse. The file opens, as a short silence, at every rate the
// program records MP3 at.
TEST(Mp3Encoder, AStreamEndedBeforeAnyChunkStillOpens) {
    ASSERT_TRUE(LoadMp3EncoderFrom(DllPath().c_str()));
    std::string dir = bench::ScratchDir();
    const struct {
        uint32_t rate;
        uint16_t channels, kbps;
    } cases[] = {{44100, 2, 128}, {48000, 1, 64}, {32000, 2, 320}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.rate) + " Hz " + std::to_string(c.channels) + " ch");
        DWORD samples = 0, outSize = 0;
        ASSERT_EQ(1, InitMp3Encoder(c.rate, c.channels, c.kbps, Mp3Flags(), &samples, &outSize));
        std::string path = dir + "\\empty" + std::to_string(c.rate) + ".mp3";
        FILE* f = fopen(path.c_str(), "wb");
        ASSERT_NE(nullptr, f);
        std::vector<BYTE> out(outSize);
        bool ok = false;
        DWORD written = FinishMp3Stream(f, out.data(), &ok);
        EXPECT_TRUE(ok);
        EXPECT_EQ(static_cast<long>(written), ftell(f));
        fclose(f);
        std::printf("ended before any chunk: %lu bytes\n", static_cast<unsigned long>(written));
        EXPECT_EQ("audio", bench::Ffprobe(path, "stream=codec_type"));
        bench::Wav wav;
        ASSERT_TRUE(bench::DecodeWithFfmpeg(path, &wav));
        EXPECT_GT(wav.Seconds(), 0.0);
        EXPECT_LT(wav.Seconds(), 0.2);
    }
    UnloadMp3Encoder();
}

// Frame sizes of the three MPEG versions, with and without padding, and
// headers that are none; the frames of a stream followed through pieces
// that end anywhere, headers split between them included.
TEST(Mp3Frames, TheLastWholeFrameIsKnownWhereverTheWrittenPiecesEnd) {
    const struct {
        BYTE header[4];
        uint32_t bytes;
    } headers[] = {
        {{0xFF, 0xFB, 0x90, 0x00}, 417},  // MPEG 1, 128 kbit/s, 44100 Hz
        {{0xFF, 0xFB, 0x92, 0x00}, 418},  // the same, padded
        {{0xFF, 0xF3, 0x80, 0x00}, 208},  // MPEG 2, 64 kbit/s, 22050 Hz
        {{0xFF, 0xE3, 0x18, 0x00}, 72},   // MPEG 2.5, 8 kbit/s, 8000 Hz
        {{0xFF, 0xFB, 0xF0, 0x00}, 0},    // bad bitrate
        {{0xFF, 0xFB, 0x00, 0x00}, 0},    // free bitrate
        {{0xFF, 0xFD, 0x90, 0x00}, 0},    // Layer II
        {{0xFF, 0xEB, 0x90, 0x00}, 0},    // reserved version
        {{0xFF, 0xFB, 0x9C, 0x00}, 0},    // reserved rate
        {{0x7F, 0xFB, 0x90, 0x00}, 0},    // no sync
    };
    for (const auto& h : headers) EXPECT_EQ(h.bytes, Mp3FrameBytes(h.header)) << h.bytes;

    std::vector<BYTE> stream;
    for (int i : {0, 1, 2}) {
        stream.insert(stream.end(), headers[i].header, headers[i].header + 4);
        stream.resize(stream.size() + headers[i].bytes - 4, 0x55);
    }
    stream.resize(stream.size() + 4, 0);  // then no header where one is due
    const struct {
        size_t upTo;
        uint64_t whole;
    } pieces[] = {{1, 0}, {416, 0}, {417, 417}, {418, 417}, {420, 417}, {920, 835},
                  {1043, 1043}, {1045, 1043}, {1047, 1047}};
    Mp3FrameTracker tracker;
    size_t fed = 0;
    for (const auto& p : pieces) {
        tracker.Add(stream.data() + fed, p.upTo - fed);
        fed = p.upTo;
        EXPECT_EQ(p.whole, tracker.WholeBytes()) << "after " << fed << " bytes";
    }
    tracker.Reset();
    EXPECT_EQ(0u, tracker.WholeBytes());
}

}  // namespace
