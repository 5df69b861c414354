// MP3 encoding speed through the engine's path (capture blocks into the
// capture ring, the writer taking whole chunks, beEncodeChunk, the file)
// against a bare loop calling the library on the same PCM, in one run.
// Both must produce the same MP3 bytes.
//
//   mp3_path_bench.exe [seconds]
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

void Print(const char* name, const Result& r, double audio) {
    printf("%-37s wall %7.3f s  %6.1fx real time   cpu %7.3f s   %llu MP3 bytes  checksum %016llx\n",
           name, r.wall, audio / r.wall, r.cpu, static_cast<unsigned long long>(r.bytes),
           static_cast<unsigned long long>(r.mp3.Value()));
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = argc > 1 ? atof(argv[1]) : 120.0;
    if (!LoadMp3EncoderFrom(benchutil::WinePath(LAME_DLL_PATH).c_str())) {
        fprintf(stderr, "cannot load %s\n", LAME_DLL_PATH);
        return 1;
    }
    size_t frames = static_cast<size_t>(seconds * kRate);
    std::vector<int16_t> noise = benchutil::PinkNoise(frames, kChannels, 12345);
    std::vector<BYTE> pcm(noise.size() * 2);
    memcpy(pcm.data(), noise.data(), pcm.size());
    printf("%.0f s of pink noise, %u Hz stereo, 128 kbit/s\n", seconds, kRate);

    std::string bare = benchutil::TempFile("bench_bare.mp3");
    std::string paced = benchutil::TempFile("bench_engine.mp3");
    std::string drained = benchutil::TempFile("bench_engine_drain.mp3");
    Result a = BareLoop(pcm, bare.c_str());
    Result b = EnginePath(pcm, paced.c_str(), false);
    Result c = EnginePath(pcm, drained.c_str(), true);
    Print("bare loop", a, seconds);
    Print("engine path (1 chunk per 1 ms pass)", b, seconds);
    Print("engine path (drain, then 1 ms)", c, seconds);
    printf("engine/bare wall ratio: %.3f (one chunk per pass), %.3f (drain)\n", b.wall / a.wall,
           c.wall / a.wall);
    bool same = a.mp3.Value() == b.mp3.Value() && a.mp3.Value() == c.mp3.Value() &&
                a.bytes == b.bytes && a.bytes == c.bytes;
    printf("outputs identical: %s\n", same ? "yes" : "NO");
    UnloadMp3Encoder();
    return same ? 0 : 1;
}
