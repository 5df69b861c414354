// Encodes a raw PCM file (16-bit little-endian) with the encoder library at
// 128 kbit/s CBR and prints its speed. Run by lame_vs_native.sh next to the
// native command-line encoder on the same file.
//
//   lame_dll_bench.exe IN.raw OUT.mp3 [rate] [channels]
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/engine_bench_util.h"
#include "engine/Mp3Encoder.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: %s IN.raw OUT.mp3 [rate] [channels]\n", argv[0]);
        return 2;
    }
    uint32_t rate = argc > 3 ? static_cast<uint32_t>(atoi(argv[3])) : 44100;
    uint16_t channels = argc > 4 ? static_cast<uint16_t>(atoi(argv[4])) : 2;
    if (!LoadMp3EncoderFrom(benchutil::WinePath(LAME_DLL_PATH).c_str())) {
        fprintf(stderr, "cannot load %s\n", LAME_DLL_PATH);
        return 1;
    }
    double t0 = benchutil::Now(), cpu0 = benchutil::ProcessCpuSeconds();
    FILE* in = fopen(argv[1], "rb");
    FILE* out = fopen(argv[2], "wb");
    if (!in || !out) {
        fprintf(stderr, "cannot open the files\n");
        return 1;
    }
    DWORD samples = 0, outSize = 0;
    if (!InitMp3Encoder(rate, channels, 128, Mp3Flags(), &samples, &outSize)) {
        fprintf(stderr, "the encoder refused the format\n");
        return 1;
    }
    std::vector<short> pcm(samples);
    std::vector<BYTE> buf(outSize);
    uint64_t totalSamples = 0;
    for (;;) {
        size_t got = fread(pcm.data(), sizeof(short), samples, in);
        if (got == 0) break;
        totalSamples += got;
        // The stream takes whole chunks: pad the last one with silence.
        for (size_t i = got; i < samples; ++i) pcm[i] = 0;
        DWORD n = 0;
        if (beEncodeChunk(Mp3Stream, samples, pcm.data(), buf.data(), &n) != BE_ERR_SUCCESSFUL) {
            fprintf(stderr, "encode failed\n");
            return 1;
        }
        fwrite(buf.data(), 1, n, out);
        if (got < samples) break;
    }
    bool ok = false;
    FinishMp3Stream(out, buf.data(), &ok);
    fclose(out);
    fclose(in);
    double wall = benchutil::Now() - t0, cpu = benchutil::ProcessCpuSeconds() - cpu0;
    double audio = static_cast<double>(totalSamples) / channels / rate;
    printf("dll: %.1f s of audio, wall %.3f s (%.1fx real time), cpu %.3f s (%.1fx real time)\n",
           audio, wall, audio / wall, cpu, audio / cpu);
    UnloadMp3Encoder();
    return ok ? 0 : 1;
}
