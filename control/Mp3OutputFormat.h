// What the MP3 encoder writes. Asked for a rate and bitrate it cannot pair
// (8000 Hz at 320 kb/s, 48000 Hz at 8 kb/s), the encoder resamples or moves
// the bitrate to one the frames can carry; the panel names what the file
// holds, read from the frames the encoder makes.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

struct Mp3FrameFormat {
    uint32_t rate = 0;  // Hz
    uint16_t kbps = 0;
};

// The format of the first Layer III frame in bytes: a frame header that is
// followed by the next frame's header where the buffer still holds it (a
// false sync in other bytes is passed over). False when there is none.
bool FindMp3FrameFormat(const BYTE* bytes, size_t size, Mp3FrameFormat* out);

// What the loaded encoder library writes for 16-bit PCM of this rate and
// channel count at kbps, asked of the library with a stream of its own that
// encodes a moment of silence (a recording's stream is left alone). The
// answers are kept for the process. False without the library, for a
// format a recording's start refuses, or when the library refuses it.
bool CtlMp3OutputFormat(uint32_t rate, uint16_t channels, uint16_t kbps, Mp3FrameFormat* out);
