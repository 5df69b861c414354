// The whole-dB amplitude table and its two readings.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "engine/LevelTable.h"

namespace {

TEST(LevelTable, EntriesAreTheTruncatedAmplitudesOfEachDbStep) {
    for (int n = 1; n <= 48; ++n) {
        EXPECT_EQ(static_cast<int32_t>(127 * pow(10.0, -n / 20.0)), LevelDbTable[n - 1]) << n;
        EXPECT_EQ(static_cast<int32_t>(32767 * pow(10.0, -n / 20.0)), LevelDbTable[47 + n]) << n;
    }
}

TEST(LevelTable, MeterLevelOfAnAmplitude) {
    struct Case {
        int32_t a;
        bool bits16;
        int want;
    };
    const Case cases[] = {
        {29204, true, 0}, {29203, true, 1},  {32767, true, 0}, {-32768, true, 0},
        {-29204, true, 0}, {131, true, 47}, {130, true, 48},  {0, true, 48},
        {INT_MIN, true, 0}, {114, false, 0}, {113, false, 1}, {1, false, 42},
        {0, false, 48},   {-128, false, 0}, {2, false, 36},
    };
    for (const Case& c : cases) EXPECT_EQ(c.want, LevelDbIndex(c.a, c.bits16)) << c.a;
}

TEST(LevelTable, ThresholdOfAStoredIndex) {
    struct Case {
        int index;
        bool bits16;
        int32_t want;
    };
    const Case cases[] = {
        {0, true, 130},    {47, true, 29203}, {46, true, 26027}, {0, false, 0},
        {47, false, 113},  {-5, true, 130},   {48, true, 29203}, {1000, false, 113},
    };
    for (const Case& c : cases) EXPECT_EQ(c.want, ThresholdAmplitude(c.index, c.bits16)) << c.index;
}

}  // namespace
