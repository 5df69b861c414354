// The encoder DLL built by tools/build-lame: loads, offers the six entry
// points, and encodes a tone that an independent decoder reads back.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "../../engine/Mp3EncoderApi.h"
#include "bench.h"

namespace {

template <class F>
F Proc(HMODULE dll, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

TEST(LameDll, EncodesAToneThatDecodesAtItsFrequency) {
    HMODULE dll = LoadLibraryA(bench::WinPath(LAME_DLL_PATH).c_str());
    ASSERT_NE(dll, nullptr);
    auto init = Proc<BEINITSTREAM>(dll, "beInitStream");
    auto encode = Proc<BEENCODECHUNK>(dll, "beEncodeChunk");
    auto deinit = Proc<BEDEINITSTREAM>(dll, "beDeinitStream");
    auto close = Proc<BECLOSESTREAM>(dll, "beCloseStream");
    auto version = Proc<BEVERSION>(dll, "beVersion");
    auto vbr = Proc<BEWRITEVBRHEADER>(dll, "beWriteVBRHeader");
    ASSERT_TRUE(init && encode && deinit && close && version && vbr);

    BE_VERSION v = {};
    version(&v);
    EXPECT_EQ(3, v.byMajorVersion);
    EXPECT_EQ(100, v.byMinorVersion);

    BE_CONFIG cfg = {};
    cfg.dwConfig = BE_CONFIG_MP3;
    cfg.format.mp3.dwSampleRate = 44100;
    cfg.format.mp3.byMode = BE_MP3_MODE_STEREO;
    cfg.format.mp3.wBitrate = 128;
    DWORD samples = 0, outSize = 0;
    HBE_STREAM stream = nullptr;
    ASSERT_EQ(BE_ERR_SUCCESSFUL, init(&cfg, &samples, &outSize, &stream));
    EXPECT_EQ(2304u, samples);
    ASSERT_GT(outSize, 0u);

    std::string path = bench::ScratchDir() + "\\tone.mp3";
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::vector<SHORT> pcm(samples);
    std::vector<BYTE> out(outSize);
    long frame = 0;
    const long totalFrames = 2 * 44100;
    while (frame < totalFrames) {
        for (DWORD i = 0; i < samples; i += 2, ++frame) {
            SHORT s = (SHORT)(16000 * sin(2 * M_PI * 1000 * frame / 44100.0));
            pcm[i] = pcm[i + 1] = s;
        }
        DWORD n = 0;
        ASSERT_EQ(BE_ERR_SUCCESSFUL, encode(stream, samples, pcm.data(), out.data(), &n));
        fwrite(out.data(), 1, n, f);
    }
    DWORD n = 0;
    ASSERT_EQ(BE_ERR_SUCCESSFUL, deinit(stream, out.data(), &n));
    fwrite(out.data(), 1, n, f);
    fclose(f);
    close(stream);
    FreeLibrary(dll);

    bench::Wav wav;
    ASSERT_TRUE(bench::DecodeWithFfmpeg(path, &wav));
    EXPECT_NEAR(2.0, wav.Seconds(), 0.1);
    EXPECT_GT(bench::ToneLevel(wav, 0, 1000, 4410, 44100), 0.3);
    EXPECT_LT(bench::ToneLevel(wav, 0, 3000, 4410, 44100), 0.01);
}

}  // namespace
