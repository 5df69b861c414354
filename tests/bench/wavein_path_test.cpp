// The sound path every recording test stands on: a tone played into the
// bench's recorded sink comes back through wave-in at its frequency.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <vector>

#include "bench.h"

namespace {

std::vector<short> RecordWaveIn(int seconds, int rate, int channels) {
    WAVEFORMATEX fmt = {};
    fmt.wFormatTag = WAVE_FORMAT_PCM;
    fmt.nChannels = (WORD)channels;
    fmt.nSamplesPerSec = rate;
    fmt.wBitsPerSample = 16;
    fmt.nBlockAlign = (WORD)(channels * 2);
    fmt.nAvgBytesPerSec = rate * fmt.nBlockAlign;
    HANDLE done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HWAVEIN in = nullptr;
    EXPECT_EQ(MMSYSERR_NOERROR,
              waveInOpen(&in, WAVE_MAPPER, &fmt, (DWORD_PTR)done, 0, CALLBACK_EVENT));
    const int blockBytes = fmt.nAvgBytesPerSec / 10;
    std::vector<std::vector<char>> bufs(4, std::vector<char>(blockBytes));
    std::vector<WAVEHDR> hdrs(4);
    for (int i = 0; i < 4; ++i) {
        hdrs[i] = {};
        hdrs[i].lpData = bufs[i].data();
        hdrs[i].dwBufferLength = blockBytes;
        waveInPrepareHeader(in, &hdrs[i], sizeof(WAVEHDR));
        waveInAddBuffer(in, &hdrs[i], sizeof(WAVEHDR));
    }
    std::vector<short> samples;
    waveInStart(in);
    size_t want = (size_t)seconds * rate * channels;
    DWORD start = GetTickCount();
    while (samples.size() < want && GetTickCount() - start < (DWORD)seconds * 1000 + 5000) {
        WaitForSingleObject(done, 200);
        for (auto& h : hdrs) {
            if (!(h.dwFlags & WHDR_DONE)) continue;
            const short* s = (const short*)h.lpData;
            samples.insert(samples.end(), s, s + h.dwBytesRecorded / 2);
            h.dwFlags &= ~WHDR_DONE;
            waveInAddBuffer(in, &h, sizeof(WAVEHDR));
        }
    }
    waveInReset(in);
    for (auto& h : hdrs) waveInUnprepareHeader(in, &h, sizeof(WAVEHDR));
    waveInClose(in);
    CloseHandle(done);
    return samples;
}

TEST(WaveInPath, ToneInTheSinkIsRecordedAtItsFrequency) {
    ASSERT_TRUE(bench::HaveSound());
    auto tone = bench::PlayTone(1000, 8);
    bench::Pump(500);
    std::vector<short> s = RecordWaveIn(3, 44100, 2);
    ASSERT_GE(s.size(), 3u * 44100 * 2 * 9 / 10);
    bench::Wav wav;
    wav.channels = 2;
    wav.rate = 44100;
    wav.bits = 16;
    wav.samples.assign(s.begin(), s.end());
    // The player may start late on a busy machine: judge the loudest half
    // second, not a fixed window.
    double at1k = 0, at3k = 0;
    for (size_t first = 0; first + 22050 <= s.size() / 2; first += 11025) {
        double level = bench::ToneLevel(wav, 0, 1000, first, 22050);
        if (level > at1k) {
            at1k = level;
            at3k = bench::ToneLevel(wav, 0, 3000, first, 22050);
        }
    }
    EXPECT_GT(at1k, 0.4) << "tone amplitude 0.5 expected";
    EXPECT_LT(at3k, 0.01);
}

}  // namespace
