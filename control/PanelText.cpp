#include "control/PanelText.h"

#include <cstdio>

namespace {

constexpr uint32_t KiB = 1024;
constexpr uint32_t MiB = 1024 * 1024;

}  // namespace

void FormatRecordedSize(uint32_t bytes, char* out, size_t outSize) {
    if (!out || outSize == 0) return;
    // Hundredths of a MiB from the KiB beyond the whole MiB (x 100 / 1024).
    unsigned hundredths = static_cast<unsigned>((bytes / KiB % 1024) * 100 / 1024);
    if (bytes < MiB) {
        snprintf(out, outSize, "%uKB", static_cast<unsigned>(bytes / KiB));
    } else if (bytes < 1000u * MiB) {
        snprintf(out, outSize, "%u.%02uMB", static_cast<unsigned>(bytes / MiB), hundredths);
    } else {
        snprintf(out, outSize, "%u,%03u.%02uMB", static_cast<unsigned>(bytes / (1000u * MiB)),
                 static_cast<unsigned>(bytes / MiB % 1000), hundredths);
    }
}

void FormatElapsedTime(uint32_t seconds, char* out, size_t outSize) {
    if (!out || outSize == 0) return;
    unsigned h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    if (h > 0)
        snprintf(out, outSize, "%02u:%02u:%02u", h, m, s);
    else
        snprintf(out, outSize, "%02u:%02u", m, s);
}

void FormatPlayTime(uint32_t positionMs, uint32_t lengthMs, char* out, size_t outSize) {
    if (!out || outSize == 0) return;
    uint32_t p = positionMs / 1000, l = lengthMs / 1000;
    snprintf(out, outSize, "%u:%02u / %u:%02u", static_cast<unsigned>(p / 60),
             static_cast<unsigned>(p % 60), static_cast<unsigned>(l / 60),
             static_cast<unsigned>(l % 60));
}

int SliderPosFromPoint(int x, int channelLeft, int channelRight, int min, int max, int current) {
    int64_t width = static_cast<int64_t>(channelRight) - channelLeft;
    if (width <= 0 || max < min) return current;
    int64_t span = static_cast<int64_t>(max) - min + 1;
    int64_t offset = static_cast<int64_t>(x) - channelLeft;
    // Floor division, so a pointer left of the channel does not round to min.
    int64_t scaled = offset * span;
    int64_t step = scaled >= 0 ? scaled / width : -((-scaled + width - 1) / width);
    int64_t pos = min + step;
    if (pos < min) pos = min;
    if (pos > max) pos = max;
    return static_cast<int>(pos);
}

int PlayPercent(uint32_t positionMs, uint32_t lengthMs) {
    if (lengthMs == 0) return 0;
    uint64_t percent = static_cast<uint64_t>(positionMs) * 100 / lengthMs;
    return static_cast<int>(percent > 100 ? 100 : percent);
}

uint32_t PlayPositionMs(int percent, uint32_t lengthMs) {
    if (percent <= 0) return 0;
    if (percent >= 100) return lengthMs;
    return static_cast<uint32_t>(static_cast<uint64_t>(percent) * lengthMs / 100);
}
