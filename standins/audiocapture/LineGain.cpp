#include "standins/audiocapture/LineGain.h"

#include <cmath>

namespace {

double LevelGain(double level) {
    if (level < 0) return 1.0;  // automatic gain
    return level > 1.0 ? 1.0 : level;
}

// Pan turns one side down and leaves the other as it is.
double PanGain(double pan, bool left) {
    if (pan > 1.0) pan = 1.0;
    if (pan < -1.0) pan = -1.0;
    if (left) return pan > 0 ? 1.0 - pan : 1.0;
    return pan < 0 ? 1.0 + pan : 1.0;
}

int Scale(int value, double gain, int lo, int hi) {
    long v = lround(value * gain);
    return v < lo ? lo : v > hi ? hi : static_cast<int>(v);
}

}  // namespace

double LineGain::Left() const { return LevelGain(level) * PanGain(pan, true); }
double LineGain::Right() const { return LevelGain(level) * PanGain(pan, false); }

void ApplyLineGain(const LineGain& gain, const WAVEFORMATEX& format, BYTE* data, DWORD bytes) {
    if (!data || (format.nChannels < 2 ? LevelGain(gain.level) == 1.0 : gain.IsUnity())) return;
    const int channels = format.nChannels;
    if (channels < 1) return;
    // A mono recording keeps the level; its pan has nowhere to go.
    const double left = channels >= 2 ? gain.Left() : LevelGain(gain.level);
    const double right = channels >= 2 ? gain.Right() : left;
    if (format.wBitsPerSample == 16) {
        auto* s = reinterpret_cast<short*>(data);
        const DWORD count = bytes / 2;
        for (DWORD i = 0; i < count; ++i) {
            const int ch = static_cast<int>(i % static_cast<DWORD>(channels));
            s[i] = static_cast<short>(Scale(s[i], ch == 1 ? right : left, -32768, 32767));
        }
    } else if (format.wBitsPerSample == 8) {
        for (DWORD i = 0; i < bytes; ++i) {
            const int ch = static_cast<int>(i % static_cast<DWORD>(channels));
            data[i] = static_cast<BYTE>(Scale(data[i] - 128, ch == 1 ? right : left, -128, 127) + 128);
        }
    }
}
