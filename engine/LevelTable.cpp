#include "engine/LevelTable.h"

#include <algorithm>
#include <cstdlib>

// Written out rather than computed at start-up, so readers in other
// translation units never see a table that is not filled yet.
const int32_t LevelDbTable[96] = {
    113,   100,   89,    80,    71,    63,    56,    50,    45,    40,    35,    31,
    28,    25,    22,    20,    17,    15,    14,    12,    11,    10,    8,     8,
    7,     6,     5,     5,     4,     4,     3,     3,     2,     2,     2,     2,
    1,     1,     1,     1,     1,     1,     0,     0,     0,     0,     0,     0,
    29203, 26027, 23197, 20674, 18426, 16422, 14636, 13044, 11626, 10361, 9234,  8230,
    7335,  6537,  5826,  5193,  4628,  4125,  3676,  3276,  2920,  2602,  2319,  2067,
    1842,  1642,  1463,  1304,  1162,  1036,  923,   823,   733,   653,   582,   519,
    462,   412,   367,   327,   292,   260,   231,   206,   184,   164,   146,   130,
};

int LevelDbIndex(int32_t amplitude, bool bits16) {
    // |INT32_MIN| does not fit an int32_t.
    int64_t a = std::llabs(static_cast<int64_t>(amplitude));
    const int32_t* half = LevelDbTable + (bits16 ? 48 : 0);
    for (int d = 0; d < 48; ++d) {
        if (half[d] < a) return d;
    }
    return 48;
}

int32_t ThresholdAmplitude(int levelIndex, bool bits16) {
    int i = std::clamp(levelIndex, 0, 47);
    return LevelDbTable[(bits16 ? 48 : 0) + 47 - i];
}
