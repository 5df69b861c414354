// The background balance mix.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/MixBalance.h"

namespace {

std::vector<int16_t> Mix(const std::vector<int16_t>& cap, const std::vector<int16_t>& bg,
                         int balance) {
    std::vector<int16_t> out(cap.size(), 0x5555);
    MixBackgroundChunk(cap.data(), bg.data(), out.data(), static_cast<int32_t>(cap.size() * 2),
                       balance);
    return out;
}

TEST(MixBalance, GainsFollowTheBalanceAndStayInRange) {
    struct Case {
        int p;
        double gc, gb;
    };
    const Case cases[] = {
        {0, 2.0, 0.0},   {50, 1.0, 1.0},  {100, 0.0, 2.0}, {25, 1.5, 0.5},
        {33, 1.34, 0.66}, {-20, 2.0, 0.0}, {250, 0.0, 2.0},  // registry values outside 0..100
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(c.gc, CaptureGain(c.p)) << c.p;
        EXPECT_DOUBLE_EQ(c.gb, BackgroundGain(c.p)) << c.p;
    }
}

// Each row: one stereo frame of capture and background, the balance, and the
// frame that must come out.
TEST(MixBalance, MixesTruncatesEachProductAndClamps) {
    struct Case {
        const char* name;
        int p;
        int16_t cl, cr, bl, br;
        int16_t ol, or_;
    };
    const Case cases[] = {
        {"p 0 doubles the capture", 0, 1000, -1000, 5000, 5000, 2000, -2000},
        {"p 0 clamps the doubled capture high", 0, 20000, -20000, 0, 0, 32767, -32768},
        {"p 100 doubles the background", 100, 7000, 7000, 300, -301, 600, -602},
        {"p 100 clamps the background low", 100, 0, 0, -32768, 32767, -32768, 32767},
        {"p 50 adds both", 50, 20000, -20000, 20000, -20000, 32767, -32768},
        {"p 50 small values", 50, 3, -3, 4, 4, 7, 1},
        // 1.34 x 1 = 1.34 -> 1, 0.66 x 1 = 0.66 -> 0: products truncated
        // separately, not their sum (2.0 -> 2).
        {"products truncated separately", 33, 1, -1, 1, -1, 1, -1},
        // 1.5 x -3 = -4.5 -> -4 (toward zero), 0.5 x -3 = -1.5 -> -1.
        {"truncation toward zero for negatives", 25, -3, 3, -3, 3, -5, 5},
        {"balance below 0 acts as 0", -40, 100, 100, 9999, 9999, 200, 200},
        {"balance above 100 acts as 100", 400, 9999, 9999, 100, 100, 200, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto out = Mix({c.cl, c.cr}, {c.bl, c.br}, c.p);
        EXPECT_EQ(c.ol, out[0]);
        EXPECT_EQ(c.or_, out[1]);
    }
}

// A mono chunk of an odd number of samples (2205 at 11025 Hz): every sample
// is mixed, none past the chunk is touched.
TEST(MixBalance, OddSampleCountsAndOddByteCounts) {
    const int n = 2205;
    std::vector<int16_t> cap(n + 1), bg(n + 1), out(n + 1, 0x1234);
    for (int i = 0; i < n + 1; ++i) {
        cap[i] = static_cast<int16_t>(i);
        bg[i] = static_cast<int16_t>(-2 * i);
    }
    MixBackgroundChunk(cap.data(), bg.data(), out.data(), n * 2, 50);
    for (int i = 0; i < n; ++i) ASSERT_EQ(-i, out[i]) << i;
    EXPECT_EQ(0x1234, out[n]);

    // An odd byte count: the whole samples are mixed, the last byte is the
    // capture's own.
    unsigned char c8[5] = {10, 0, 20, 0, 0x7F}, b8[5] = {1, 0, 2, 0, 0x01}, o8[6] = {};
    o8[5] = 0xAA;
    MixBackgroundChunk(c8, b8, o8, 5, 50);
    EXPECT_EQ(11, o8[0]);
    EXPECT_EQ(22, o8[2]);
    EXPECT_EQ(0x7F, o8[4]);
    EXPECT_EQ(0xAA, o8[5]);
}

// Once the background has ended the writer mixes silence: the capture keeps
// its own gain, doubled at p = 0 and halved at p = 75.
TEST(MixBalance, MissingBackgroundMixesSilence) {
    struct Case {
        int p;
        int16_t in, out;
    };
    const Case cases[] = {{0, 1000, 2000}, {50, -1000, -1000}, {75, 1001, 500}, {100, 5000, 0}};
    for (const Case& c : cases) {
        int16_t cap[2] = {c.in, c.in}, out[2] = {};
        MixBackgroundChunk(cap, nullptr, out, 4, c.p);
        EXPECT_EQ(c.out, out[0]) << c.p;
        EXPECT_EQ(c.out, out[1]) << c.p;
    }
}

TEST(MixBalance, OutputMayBeTheCaptureBuffer) {
    std::vector<int16_t> cap = {100, -200, 300, -400}, bg = {1, 2, 3, 4};
    MixBackgroundChunk(cap.data(), bg.data(), cap.data(), 8, 50);
    EXPECT_EQ((std::vector<int16_t>{101, -198, 303, -396}), cap);
}

}  // namespace
