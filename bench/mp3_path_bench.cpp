// MP3 encoding speed through the engine's path (capture blocks into the
// capture ring, the writer taking whole chunks, beEncodeChunk, the file)
// against a bare loop calling the library on the same PCM, in one run.
// Both must produce the same MP3 bytes. The three paths run in several
// rounds, each round in another order (every order once in six rounds), so
// no path always runs first on a cold cache or last on a hot, throttled
// core; the figures are each path's median over the rounds.
//
//   mp3_path_bench.exe [seconds] [rounds]
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "bench/engine_bench_util.h"
#include "engine/MixBalance.h"
#include "engine/Mp3Encoder.h"
#include "engine/RingBuffer.h"

namespace {

const uint32_t kRate = 44100;
const uint16_t kChannels = 2;
const int kBlockBytes = kRate * kChannels * 2 / 10;  // one 100 ms capture block

struct Result {
    double wall = 0, cpu = 0;
    uint64_t bytes = 0;
    benchutil::Checksum mp3;
};

// Encodes one chunk and appends the result to f and to the checksum.
void EncodeChunk(const BYTE* chunk, DWORD samples, std::vector<BYTE>& out, FILE* f, Result& r) {
    DWORD n = 0;
    if (beEncodeChunk(Mp3Stream, samples, reinterpret_cast<SHORT*>(const_cast<BYTE*>(chunk)),
                      out.data(), &n) != BE_ERR_SUCCESSFUL)
        return;
    fwrite(out.data(), 1, n, f);
    r.mp3.Add(out.data(), n);
    r.bytes += n;
}

void EndStream(std::vector<BYTE>& out, FILE* f, Result& r) {
    bool ok = false;
    // The flush goes through the same helper the finisher uses; its bytes
    // are taken from the buffer for the checksum.
    DWORD n = FinishMp3Stream(f, out.data(), &ok);
    if (ok && n) r.mp3.Add(out.data(), n);
    r.bytes += n;
}

Result BareLoop(const std::vector<BYTE>& pcm, const char* path) {
    Result r;
    DWORD samples = 0, outSize = 0;
    InitMp3Encoder(kRate, kChannels, 128, Mp3Flags(), &samples, &outSize);
    std::vector<BYTE> out(outSize), chunk(2 * samples);
    FILE* f = fopen(path, "wb");
    double t0 = benchutil::Now(), c0 = benchutil::ProcessCpuSeconds();
    size_t chunkBytes = 2 * samples;
    for (size_t pos = 0; pos < pcm.size(); pos += chunkBytes) {
        size_t n = std::min(chunkBytes, pcm.size() - pos);
        memcpy(chunk.data(), pcm.data() + pos, n);
        memset(chunk.data() + n, 0, chunkBytes - n);
        EncodeChunk(chunk.data(), samples, out, f, r);
    }
    EndStream(out, f, r);
    fclose(f);
    r.wall = benchutil::Now() - t0;
    r.cpu = benchutil::ProcessCpuSeconds() - c0;
    return r;
}

// The writer thread's steps: test the fill under the lock, take one chunk,
// copy it to the output buffer, encode, append; sleep 1 ms after each pass.
// With drain set, the pass repeats while a whole chunk is waiting and only
// sleeps when there is none. At the end the rest is drained, the last
// partial chunk padded with silence.
Result EnginePath(const std::vector<BYTE>& pcm, const char* path, bool drain) {
    Result r;
    DWORD samples = 0, outSize = 0;
    InitMp3Encoder(kRate, kChannels, 128, Mp3Flags(), &samples, &outSize);
    static BYTE MixCaptureBuffer[MixBufferBytes], MixOutputBuffer[MixBufferBytes];
    std::vector<BYTE> out(outSize);
    FILE* f = fopen(path, "wb");
    // Ring size as the start makes it without mixing: RingBufferSize 80000.
    RingBufferInit(&CaptureRing, 80000);
    std::atomic<bool> stop{false};
    double t0 = benchutil::Now(), c0 = benchutil::ProcessCpuSeconds();

    // Capture side: blocks as fast as the ring takes them (the benchmark
    // measures the writer, so no block is dropped here).
    std::thread producer([&] {
        size_t pos = 0;
        while (pos < pcm.size()) {
            int32_t n = static_cast<int32_t>(std::min<size_t>(kBlockBytes, pcm.size() - pos));
            if (RingBufferFill(&CaptureRing) + n > CaptureRing.capacity) {
                Sleep(1);
                continue;
            }
            pos += RingBufferWriteFrames(&CaptureRing, pcm.data() + pos, n, kChannels * 2);
        }
        stop = true;
    });

    const int32_t chunk = static_cast<int32_t>(2 * samples);
    for (;;) {
        bool stopping = stop.load();
        while (RingBufferFill(&CaptureRing) >= chunk) {
            int32_t len = RingBufferRead(&CaptureRing, MixCaptureBuffer, chunk);
            memcpy(MixOutputBuffer, MixCaptureBuffer, len);
            EncodeChunk(MixOutputBuffer, samples, out, f, r);
            if (!drain) break;
        }
        if (stopping && RingBufferFill(&CaptureRing) < chunk) break;
        Sleep(1);
    }
    int32_t len = RingBufferRead(&CaptureRing, MixCaptureBuffer, chunk);
    if (len > 0) {
        memcpy(MixOutputBuffer, MixCaptureBuffer, len);
        memset(MixOutputBuffer + len, 0, chunk - len);
        EncodeChunk(MixOutputBuffer, samples, out, f, r);
    }
    EndStream(out, f, r);
    producer.join();
    fclose(f);
    r.wall = benchutil::Now() - t0;
    r.cpu = benchutil::ProcessCpuSeconds() - c0;
    RingBufferRelease(&CaptureRing);
    return r;
}

// The middle value (the mean of the two middle ones for an even count).
double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Path {
    const char* name;
    std::string file;
    std::vector<double> walls, cpus;
    Result last;
};

void Print(const Path& p, double audio) {
    const double wall = Median(p.walls);
    printf("%-37s wall %7.3f s  %6.1fx real time   cpu %7.3f s   %llu MP3 bytes  checksum %016llx\n",
           p.name, wall, audio / wall, Median(p.cpus), static_cast<unsigned long long>(p.last.bytes),
           static_cast<unsigned long long>(p.last.mp3.Value()));
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = argc > 1 ? atof(argv[1]) : 120.0;
    const int rounds = argc > 2 ? atoi(argv[2]) : 6;
    if (!(seconds > 0) || rounds < 1) {
        fprintf(stderr, "usage: mp3_path_bench.exe [seconds > 0] [rounds >= 1]\n");
        return 2;
    }
    if (!LoadMp3EncoderFrom(benchutil::WinePath(LAME_DLL_PATH).c_str())) {
        fprintf(stderr, "cannot load %s\n", LAME_DLL_PATH);
        return 1;
    }
    size_t frames = static_cast<size_t>(seconds * kRate);
    std::vector<int16_t> noise = benchutil::PinkNoise(frames, kChannels, 12345);
    std::vector<BYTE> pcm(noise.size() * 2);
    memcpy(pcm.data(), noise.data(), pcm.size());
    printf("%.0f s of pink noise, %u Hz stereo, 128 kbit/s\n", seconds, kRate);

    Path paths[3] = {{"bare loop", benchutil::TempFile("bench_bare.mp3"), {}, {}, {}},
                     {"engine path (1 chunk per 1 ms pass)",
                      benchutil::TempFile("bench_engine.mp3"), {}, {}, {}},
                     {"engine path (drain, then 1 ms)",
                      benchutil::TempFile("bench_engine_drain.mp3"), {}, {}, {}}};
    // Every run of every path must give the same bytes as the first run.
    bool same = true;
    bool haveReference = false;
    uint64_t refBytes = 0, refSum = 0;
    int order[3] = {0, 1, 2};
    for (int round = 0; round < rounds; ++round) {
        printf("round %d:", round + 1);
        for (int k = 0; k < 3; ++k) {
            Path& p = paths[order[k]];
            const char* file = p.file.c_str();
            p.last = order[k] == 0 ? BareLoop(pcm, file) : EnginePath(pcm, file, order[k] == 2);
            p.walls.push_back(p.last.wall);
            p.cpus.push_back(p.last.cpu);
            printf("  %s %.3f s", order[k] == 0 ? "bare" : order[k] == 1 ? "paced" : "drain",
                   p.last.wall);
            if (!haveReference) {
                refBytes = p.last.bytes;
                refSum = p.last.mp3.Value();
                haveReference = true;
            } else if (p.last.bytes != refBytes || p.last.mp3.Value() != refSum) {
                same = false;
            }
        }
        printf("\n");
        std::next_permutation(order, order + 3);  // wraps to the first order after the last
    }
    printf("median of %d rounds:\n", rounds);
    for (const Path& p : paths) Print(p, seconds);
    const double bareWall = Median(paths[0].walls);
    printf("engine/bare wall ratio: %.3f (one chunk per pass), %.3f (drain)\n",
           Median(paths[1].walls) / bareWall, Median(paths[2].walls) / bareWall);
    printf("outputs identical: %s\n", same ? "yes" : "NO");
    UnloadMp3Encoder();
    return same ? 0 : 1;
}
