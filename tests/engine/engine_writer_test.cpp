// The writer and finisher threads on a synthetic recording: blocks of a
// 1 kHz tone go through ProcessCaptureBuffer into the capture ring, the
// writer thread encodes them (WAV, or MP3 through the real lame_enc.dll),
// and the stop drains the ring before the finisher closes the file. The
// capture graph is left out: these blocks are made here.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "bench.h"
#include "engine/EngineInternal.h"
#include "engine/EngineState.h"
#include "engine/Mp3Encoder.h"
#include "engine/RingBuffer.h"
#include "engine/WmaWriter.h"

namespace {

using bench::FileBytes;

// Drives one recording through the engine's threads. Returns what the
// blocks carried, in order.
std::vector<BYTE> SyntheticRecording(const std::string& path, int channels, int rate, int32_t kind,
                                     int kbps, double seconds) {
    EngineSession& s = RecordingSession;
    WaveInFormat = WAVEFORMATEX{WAVE_FORMAT_PCM, static_cast<WORD>(channels), static_cast<DWORD>(rate),
                                static_cast<DWORD>(rate * channels * 2), static_cast<WORD>(channels * 2),
                                16, 0};
    const DWORD block = static_cast<DWORD>(rate * channels * 2 / 10);
    s.EncoderKind = kind;
    s.WriteToFile = 1;
    s.DirectWavWrite = 0;
    s.StopRequested = 0;
    s.Paused = 0;
    s.CaptureBlockSize = block;
    s.WavBytesWritten = 0;
    s.RecordedBytes = 0;
    if (kind == EncoderMp3) {
        DWORD samples = 0, outSize = 0;
        if (!InitMp3Encoder(rate, static_cast<uint16_t>(channels), static_cast<uint16_t>(kbps), Mp3Flags(),
                            &samples, &outSize))
            return {};
        s.SamplesPerChunk = samples;
        s.EncoderOutBufferSize = outSize;
        s.EncoderOutBuffer = static_cast<BYTE*>(malloc(outSize));
        s.OutputFile = fopen(path.c_str(), "wb");
    } else if (kind == EncoderWma) {
        s.SamplesPerChunk = s.EncoderOutBufferSize = block;
        if (WmaOutput.begin(channels, rate, 16, path.c_str()) != S_OK) return {};
    } else {
        s.SamplesPerChunk = s.EncoderOutBufferSize = block;
        if (OpenWavOutput(path.c_str()) != 0) return {};
    }
    RingBufferInit(&CaptureRing, 4000000);
    for (int i = 0; i < CaptureBlockCount; ++i) {
        s.CaptureHeaders[i] = WAVEHDR{};
        s.CaptureHeaders[i].lpData = reinterpret_cast<LPSTR>(s.CaptureBuffers[i]);
        s.CaptureHeaders[i].dwBufferLength = block;
    }
    s.CaptureBufferIndex = 1;
    EngineInternal.running = true;
    s.DataEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    s.EncoderThreadHandle = CreateThread(nullptr, 0, EncoderThread, nullptr, 0, nullptr);
    HANDLE finisher = CreateThread(nullptr, 0, FinishRecordingThread, nullptr, 0, nullptr);

    std::vector<BYTE> delivered;
    const long frames = static_cast<long>(seconds * rate);
    long frame = 0;
    while (frame < frames) {
        WAVEHDR* h = &s.CaptureHeaders[(s.CaptureBufferIndex + 2) % 3];
        auto* p = reinterpret_cast<int16_t*>(h->lpData);
        // The last block is short: the stop must still write it whole.
        const long n = std::min<long>(block / (2 * channels), frames - frame);
        for (long i = 0; i < n; ++i, ++frame) {
            int16_t v = static_cast<int16_t>(16000 * sin(2 * M_PI * 1000.0 * frame / rate));
            for (int c = 0; c < channels; ++c) p[i * channels + c] = v;
        }
        h->dwBytesRecorded = static_cast<DWORD>(n * 2 * channels);
        delivered.insert(delivered.end(), reinterpret_cast<BYTE*>(p),
                         reinterpret_cast<BYTE*>(p) + h->dwBytesRecorded);
        ProcessCaptureBuffer(h);
        // Now and then faster than real time, so the ring holds a backlog
        // at the stop.
        if (frame % (rate / 2) < n) Sleep(1);
    }
    s.StopRequested = 1;
    EngineInternal.running = false;
    SetEvent(s.DataEvent);
    WaitForSingleObject(finisher, 30000);
    CloseHandle(finisher);
    CloseHandle(s.DataEvent);
    s.DataEvent = nullptr;
    return delivered;
}

TEST(WriterThread, WavIsSampleExactIncludingTheTail) {
    const struct {
        int channels, rate;
    } cases[] = {{2, 44100}, {1, 11025}, {2, 48000}};
    for (const auto& c : cases) {
        std::string path = bench::ArtifactDir() + "\\writer_" + std::to_string(c.rate) + ".wav";
        SCOPED_TRACE(path);
        std::vector<BYTE> in = SyntheticRecording(path, c.channels, c.rate, EncoderWav, 0, 3.33);
        ASSERT_FALSE(in.empty());
        EXPECT_EQ(nullptr, RecordingSession.WavFile);
        EXPECT_EQ(nullptr, CaptureRing.base);  // released by the finisher
        bench::Wav wav;
        ASSERT_TRUE(bench::ReadWav(path, &wav));
        EXPECT_EQ(wav.fileSize - 44, wav.dataSize);
        EXPECT_EQ(in, FileBytes(path, 44));
        EXPECT_EQ(in.size(), RecordingSession.RecordedBytes.load());
    }
}

TEST(WriterThread, Mp3DecodesToTheToneWithTheTailAndTag) {
    ASSERT_TRUE(LoadMp3EncoderFrom(bench::WinPath(LAME_DLL_PATH).c_str()));
    RecordingOptions.Id3TagOn = 1;
    Id3Tag& t = RecordingOptions.Id3Tag;
    snprintf(t.title, sizeof t.title, "Synthetic");
    snprintf(t.artist, sizeof t.artist, "Writer");
    snprintf(t.album, sizeof t.album, "Thread");
    snprintf(t.year, sizeof t.year, "2026");
    t.genre = 0;
    std::string path = bench::ArtifactDir() + "\\writer.mp3";
    std::vector<BYTE> in = SyntheticRecording(path, 2, 44100, EncoderMp3, 128, 4.0);
    ASSERT_FALSE(in.empty());
    EXPECT_EQ(nullptr, RecordingSession.OutputFile);
    EXPECT_EQ(nullptr, RecordingSession.EncoderOutBuffer);
    EXPECT_EQ(nullptr, Mp3Stream);
    EXPECT_EQ("mp3", bench::Ffprobe(path, "stream=codec_name"));
    // 4 s, plus at most one chunk of padding and the encoder's own delay.
    EXPECT_NEAR(4.0, atof(bench::Ffprobe(path, "format=duration").c_str()), 0.1);
    EXPECT_EQ("Synthetic", bench::Ffprobe(path, "format_tags=title"));
    EXPECT_EQ("Blues", bench::Ffprobe(path, "format_tags=genre"));
    bench::Wav decoded;
    ASSERT_TRUE(bench::DecodeWithFfmpeg(path, &decoded));
    EXPECT_NEAR(16000.0 / 32768, bench::ToneLevel(decoded, 0, 1000, 4410, 4 * 44100 - 8820), 0.05);
    // The tone runs to the end: the last 100 ms were written, not dropped.
    const size_t total = decoded.samples.size() / 2;
    EXPECT_GT(bench::ToneLevel(decoded, 0, 1000, 44100 * 39 / 10, 3000), 0.3) << total;
    UnloadMp3Encoder();
}

// The WMA branch through the program's WMA writer, hooked in as the main
// window does, on the bench's Windows Media stand-in.
TEST(WriterThread, WmaThroughTheWriterHooks) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ASSERT_EQ(S_OK, CreateWmaWriterObjects());
    std::vector<WmaProfileName> profiles;
    ASSERT_EQ(S_OK, ListWmaProfiles(nullptr, &profiles));
    int index = -1;
    for (auto& p : profiles)
        if (p.name.find("128") != std::string::npos) index = p.index;
    ASSERT_GE(index, 0);
    ASSERT_EQ(S_OK, SelectWmaProfile(index));
    WmaOutput.begin = WmaBeginWriting;
    WmaOutput.writeSample = WmaWriteSample;
    WmaOutput.end = WmaEndWriting;

    std::string path = bench::ArtifactDir() + "\\writer.wma";
    std::vector<BYTE> in = SyntheticRecording(path, 2, 44100, EncoderWma, 0, 4.05);
    ASSERT_FALSE(in.empty());
    EXPECT_GT(RecordingSession.RecordedBytes.load(), 10000u);
    EXPECT_EQ("wmav2", bench::Ffprobe(path, "stream=codec_name"));
    EXPECT_NEAR(4.05, atof(bench::Ffprobe(path, "format=duration").c_str()), 0.2);
    bench::Wav decoded;
    ASSERT_TRUE(bench::DecodeWithFfmpeg(path, &decoded));
    EXPECT_GT(bench::ToneLevel(decoded, 0, 1000, 44100, 88200), 0.3);
    WmaOutput = WmaOutputHooks{};
    ReleaseWmaWriter();
    CoUninitialize();
}

HANDLE StuckRelease = nullptr;
DWORD WINAPI StuckFinisher(LPVOID) { return WaitForSingleObject(StuckRelease, INFINITE); }

// The program's exit bounds its wait for the last file: a finisher stuck in
// its writer makes the bounded stop give up, and the next start still waits
// for it before it touches any shared state.
TEST(WriterThread, BoundedStopGivesUpOnAStuckFinisherAndTheNextStartWaits) {
    EngineSession& s = RecordingSession;
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    StuckRelease = release;
    s.DataEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    EngineInternal.running = true;
    EngineInternal.finisherThread = CreateThread(nullptr, 0, StuckFinisher, nullptr, 0, nullptr);

    const DWORD before = GetTickCount();
    EXPECT_FALSE(StopCapture(200));
    EXPECT_LT(GetTickCount() - before, 5000u);
    EXPECT_FALSE(CaptureRunning());
    EXPECT_NE(nullptr, EngineInternal.finisherThread);
    EXPECT_NE(nullptr, s.DataEvent);  // the finisher may still wait on it

    SetEvent(release);
    std::string path = bench::ScratchDir() + "\\next.wav";
    EXPECT_EQ(CaptureDeviceError,
              StartCapture(0, path.c_str(), CaptureFormat{2, 44100, 16}, EncoderWav, 0, 0));
    EXPECT_EQ(nullptr, EngineInternal.finisherThread);
    EXPECT_EQ(nullptr, s.DataEvent);
    CloseHandle(release);
}

}  // namespace
