#include "engine/SampleRateTable.h"

const uint32_t SampleRateTable[9] = {8000, 11025, 12000, 16000, 22050,
                                     24000, 32000, 44100, 48000};

bool IsTableSampleRate(int64_t rate) {
    for (uint32_t r : SampleRateTable)
        if (rate == r) return true;
    return false;
}
