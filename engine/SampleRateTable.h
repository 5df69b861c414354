// The nine sample-rate choices, shared by the program's settings and the
// control's properties.
#pragma once

#include <cstdint>

extern const uint32_t SampleRateTable[9];

// True when rate is one of SampleRateTable.
bool IsTableSampleRate(int64_t rate);
