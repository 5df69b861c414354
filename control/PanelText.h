// The panel's readouts and the skinned trackbar's pointer arithmetic, kept
// free of windows so their edges can be checked in a table.
#pragma once

#include <cstddef>
#include <cstdint>

// The recorded size: "%uKB" below 1 MiB, "%u.%02uMB" below 1000 MiB, then
// "%u,%03u.%02uMB" (thousands of MiB). Unsigned throughout: a recording
// past 2 GiB still reads right.
void FormatRecordedSize(uint32_t bytes, char* out, size_t outSize);

// "hh:mm:ss" once an hour has passed, else "mm:ss".
void FormatElapsedTime(uint32_t seconds, char* out, size_t outSize);

// "m:ss / m:ss" of the play position and the length (milliseconds).
void FormatPlayTime(uint32_t positionMs, uint32_t lengthMs, char* out, size_t outSize);

// The trackbar position for a pointer at x over the channel [left, right):
// min + fraction x (max - min + 1), held within [min, max]. A channel
// without width leaves `current`.
int SliderPosFromPoint(int x, int channelLeft, int channelRight, int min, int max, int current);

// Position slider (0..100) and play position in milliseconds, with 64-bit
// products: a recording of hours overflows 32 bits.
int PlayPercent(uint32_t positionMs, uint32_t lengthMs);
uint32_t PlayPositionMs(int percent, uint32_t lengthMs);
