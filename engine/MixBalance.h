// The background balance mix of one chunk of 16-bit samples.
#pragma once

#include <cstdint>

// Size of each of the writer thread's static work buffers. A chunk must fit
// in one, so the start refuses any encoder answer that would not.
constexpr int32_t MixBufferBytes = 80000;

// Capture and background gains for a balance of p percent background:
// (100 - p) * 2 / 100 and p * 2 / 100, both 1.0 at p = 50. p is clamped to
// 0..100 first: a balance read from the registry may lie outside it.
double CaptureGain(int32_t balance);
double BackgroundGain(int32_t balance);

// output = clamp(trunc(capture * gc) + trunc(background * gb)) for each
// 16-bit sample of a chunk of `length` bytes, each product truncated toward
// zero separately and the sum clamped to [-32768, 32767]. Stereo frames and
// mono sample pairs mix alike, sample by sample. A trailing odd byte is
// copied from the capture unchanged. `output` may alias `capture`. A null
// `background` mixes silence: the capture still gets its gain after the
// background sound has ended.
void MixBackgroundChunk(const void* capture, const void* background, void* output,
                        int32_t length, int32_t balance);
