// 60 s of capture-sized blocks pushed through the capture and background
// rings at ten times real time with the background mix on: a producer
// thread plays the user-interface thread (capture blocks of 100 ms, and
// background blocks of another size), a consumer thread the writer (whole
// chunks from both rings, mixed, appended to a file). The file must hold
// exactly the mix of everything that went in, in order.
//
//   ring_stress_bench.exe [seconds] [speed]
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "bench/engine_bench_util.h"
#include "engine/MixBalance.h"
#include "engine/RingBuffer.h"

namespace {

const int kRate = 44100, kChannels = 2, kFrame = kChannels * 2;
const int kCaptureBlock = kRate / 10 * kFrame;        // 100 ms
const int kBackgroundBlock = kRate * 7 / 100 * kFrame;  // 70 ms, cut differently
const int kChunk = 2 * 2304;                          // the encoder's chunk at 44100 Hz stereo
const int kBalance = 37;

}  // namespace

int main(int argc, char** argv) {
    double seconds = argc > 1 ? atof(argv[1]) : 60.0;
    double speed = argc > 2 ? atof(argv[2]) : 10.0;
    size_t frames = static_cast<size_t>(seconds * kRate);
    std::vector<int16_t> capture = benchutil::PinkNoise(frames, kChannels, 1);
    std::vector<int16_t> background = benchutil::PinkNoise(frames, kChannels, 2);
    const BYTE* cap = reinterpret_cast<const BYTE*>(capture.data());
    const BYTE* bg = reinterpret_cast<const BYTE*>(background.data());
    const size_t total = capture.size() * 2;

    // What must come out: the two streams mixed in one piece.
    std::vector<int16_t> expected(capture.size());
    MixBackgroundChunk(capture.data(), background.data(), expected.data(),
                       static_cast<int32_t>(total), kBalance);
    benchutil::Checksum want, wantCapture;
    want.Add(expected.data(), total);
    wantCapture.Add(cap, total);

    // Ring sizes as the start makes them with mixing: RingBufferSize / 2.
    if (RingBufferInit(&CaptureRing, 40000) != -1 || RingBufferInit(&BackgroundRing, 40000) != -1) {
        fprintf(stderr, "ring allocation failed\n");
        return 1;
    }
    std::string path = benchutil::TempFile("ring_stress.raw");
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return 1;

    std::atomic<bool> stop{false};
    int64_t blocks = 0, bgBlocks = 0;
    size_t failedAt = 0;  // capture bytes pushed when a ring first refused a byte
    double t0 = benchutil::Now();
    std::thread producer([&] {
        // One capture block every 100 ms / speed of wall time; background
        // blocks whenever the background has fallen behind the capture.
        size_t capPos = 0, bgPos = 0;
        const double period = 0.1 / speed;
        double next = benchutil::Now();
        while (capPos < total) {
            while (benchutil::Now() < next) Sleep(1);
            next += period;
            int32_t n = static_cast<int32_t>(std::min<size_t>(kCaptureBlock, total - capPos));
            capPos += RingBufferWriteFrames(&CaptureRing, cap + capPos, n, kFrame);
            ++blocks;
            while (bgPos < capPos) {
                int32_t m = static_cast<int32_t>(std::min<size_t>(kBackgroundBlock, total - bgPos));
                int32_t took = RingBufferWriteFrames(&BackgroundRing, bg + bgPos, m, kFrame);
                bgPos += took;
                ++bgBlocks;
                if (took < m) break;
            }
            // A refused byte is a lost byte: the stream cannot be resumed
            // in order, so the run ends here and the checksum shows it.
            if (RingBufferDropped(&CaptureRing) || RingBufferDropped(&BackgroundRing)) {
                failedAt = capPos;
                break;
            }
        }
        stop = true;
    });

    static BYTE MixCaptureBuffer[MixBufferBytes], MixBackgroundBuffer[MixBufferBytes],
        MixOutputBuffer[MixBufferBytes];
    benchutil::Checksum got, gotCapture;
    int64_t passes = 0, maxFill = 0;
    auto take = [&](int32_t want) {
        int32_t len = RingBufferRead(&CaptureRing, MixCaptureBuffer, want);
        int32_t blen = RingBufferRead(&BackgroundRing, MixBackgroundBuffer, len);
        if (blen < len) memset(MixBackgroundBuffer + blen, 0, len - blen);
        gotCapture.Add(MixCaptureBuffer, len);
        MixBackgroundChunk(MixCaptureBuffer, MixBackgroundBuffer, MixOutputBuffer, len, kBalance);
        fwrite(MixOutputBuffer, 1, len, f);
        got.Add(MixOutputBuffer, len);
    };
    std::thread consumer([&] {
        for (;;) {
            bool stopping = stop.load();
            int32_t fill = RingBufferFill(&CaptureRing);
            if (fill > maxFill) maxFill = fill;
            if (fill >= kChunk && RingBufferFill(&BackgroundRing) >= kChunk) take(kChunk);
            ++passes;
            if (stopping) break;
            Sleep(1);
        }
        // The stop: whole chunks first, then the rest.
        while (RingBufferFill(&CaptureRing) >= kChunk) take(kChunk);
        if (RingBufferFill(&CaptureRing) > 0) take(RingBufferFill(&CaptureRing));
    });
    producer.join();
    consumer.join();
    double wall = benchutil::Now() - t0;
    fclose(f);

    // Read the file back: what reached the disk is what counts.
    benchutil::Checksum onDisk;
    f = fopen(path.c_str(), "rb");
    std::vector<BYTE> buf(1 << 16);
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), f)) > 0) onDisk.Add(buf.data(), n);
    fclose(f);
    DeleteFileA(path.c_str());

    const long long capDropped = static_cast<long long>(RingBufferDropped(&CaptureRing)),
                    bgDropped = static_cast<long long>(RingBufferDropped(&BackgroundRing));
    if (capDropped || bgDropped) {
        // The run stopped at the first refused byte, so its wall time and
        // pass counts describe a shortened run: no speed figure for it.
        printf("FAILED: a ring refused bytes after %.2f s of audio (%lld capture blocks) at "
               "%.0fx real time; dropped: capture %lld, background %lld bytes\n",
               static_cast<double>(failedAt) / (kRate * kFrame), static_cast<long long>(blocks),
               speed, capDropped, bgDropped);
        RingBufferRelease(&CaptureRing);
        RingBufferRelease(&BackgroundRing);
        return 1;
    }
    printf("%.0f s of audio at %.0fx real time: wall %.2f s (%.1fx), %lld capture blocks, "
           "%lld background blocks, %lld writer passes, highest capture fill %lld of %d bytes\n",
           seconds, speed, wall, seconds / wall, static_cast<long long>(blocks),
           static_cast<long long>(bgBlocks), static_cast<long long>(passes),
           static_cast<long long>(maxFill), CaptureRing.capacity);
    printf("capture in  %llu bytes %016llx\ncapture out %llu bytes %016llx\n",
           static_cast<unsigned long long>(wantCapture.Bytes()),
           static_cast<unsigned long long>(wantCapture.Value()),
           static_cast<unsigned long long>(gotCapture.Bytes()),
           static_cast<unsigned long long>(gotCapture.Value()));
    printf("mix expected %llu bytes %016llx\nmix written  %llu bytes %016llx\n",
           static_cast<unsigned long long>(want.Bytes()), static_cast<unsigned long long>(want.Value()),
           static_cast<unsigned long long>(onDisk.Bytes()),
           static_cast<unsigned long long>(onDisk.Value()));
    bool ok = want.Value() == onDisk.Value() && want.Bytes() == onDisk.Bytes() &&
              wantCapture.Value() == gotCapture.Value() && got.Value() == onDisk.Value();
    printf("%s\n", ok ? "no byte lost or reordered" : "MISMATCH");
    RingBufferRelease(&CaptureRing);
    RingBufferRelease(&BackgroundRing);
    return ok ? 0 : 1;
}
