// Whole-dB amplitude thresholds shared by the level test, the noise gate
// and the level meters.
#pragma once

#include <cstdint>

// trunc(127 x 10^(-n/20)) for 8-bit samples, then trunc(32767 x 10^(-n/20))
// for 16-bit samples, n = 1..48 (-1 dB .. -48 dB).
extern const int32_t LevelDbTable[96];

// Meter level of an amplitude, counted from the loud end: the first d with
// table[d] < |amplitude| in the half of the sample width, 48 (silence) when
// there is none. 8-bit amplitudes are taken as sample - 128 by the caller.
int LevelDbIndex(int32_t amplitude, bool bits16);

// Amplitude threshold of a stored threshold index, counted from the quiet
// end: index 0 is -48 dB, 47 is -1 dB (entry 47 - index of the half).
// Indexes outside 0..47 (settings typed in by hand) are clamped.
int32_t ThresholdAmplitude(int levelIndex, bool bits16);
