// Mix level and pan of a recording line, applied to captured PCM in place
// the way a sound card's input mixer scales what it records.
#pragma once

#include <windows.h>
#include <mmsystem.h>

// Level 0..1 (1 = as captured); pan -1 (left only) .. 1 (right only); a
// level below 0 stands for automatic gain and records as captured.
struct LineGain {
    double level = 1.0;
    double pan = 0.0;

    // Gains of the left and right channel (mono uses the left one).
    double Left() const;
    double Right() const;
    bool IsUnity() const { return Left() == 1.0 && Right() == 1.0; }
};

// Scales 8-bit (unsigned, centred on 128) or 16-bit PCM frames in place.
void ApplyLineGain(const LineGain& gain, const WAVEFORMATEX& format, BYTE* data, DWORD bytes);
