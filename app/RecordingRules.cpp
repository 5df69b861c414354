#include "app/RecordingRules.h"

#include <algorithm>
#include <cstdio>

#include "app/CommandLine.h"  // Mp3BitrateTable

const char* StartResultKey(int32_t result) {
    switch (result) {
    case 1:
    case 101: return "MemError";
    case 2: return "FileError";
    case 3: return "MP3Support";
    case 4: return "MP3Frequency";
    case 5: return "MP3BitRate";
    case 6: return "FormatError";
    case 7: return "DeviceAvailabity";
    case 8: return "WMAError";
    case 100: return "BackgroundError";
    default: return nullptr;
    }
}

bool StartResultRuns(int32_t result) { return result == 0 || result == 100; }

uint32_t RecordRingSize(uint64_t freeBytes, bool backgroundMix) {
    const uint64_t need = backgroundMix ? 160000 : 80000;
    if (freeBytes >= need) {
        uint64_t half = freeBytes / 2;
        return static_cast<uint32_t>(std::min<uint64_t>(std::max(need, half), UINT32_MAX));
    }
    if (freeBytes > need / 2) return static_cast<uint32_t>(need / 2);
    return 0;
}

bool ApplyMp3Format(CaptureFormat* format, int32_t modeSetting, int32_t bitrateSetting) {
    if (modeSetting == 1 || modeSetting == 2) format->channels = static_cast<uint32_t>(modeSetting);
    const int index = bitrateSetting >= 0 && bitrateSetting <= 15 ? bitrateSetting : 0;
    format->mp3Bitrate = static_cast<uint16_t>(Mp3BitrateTable[index]);
    if (format->rate < 32000) format->rate = 44100;
    if (format->bits == 8) {
        format->bits = 16;
        return true;
    }
    return false;
}

void FormatHistoryDuration(int64_t ms, char* out, size_t size) {
    if (ms < 0) ms = 0;
    const int64_t seconds = ms / 1000;
    snprintf(out, size, "%d:%02d", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
}

void FormatFileSizeText(uint64_t b, int64_t t, char* out, size_t size) {
    if (t < 0) t = 0;
    char sizePart[48];
    if (b < 1048576) {
        snprintf(sizePart, sizeof sizePart, "%dKB / ", static_cast<int>(b / 1024));
    } else {
        // Hundredths of a megabyte, in integers: x / 10.24 in floating
        // point falls just short of whole values (512 KB gave .49).
        const int f = static_cast<int>(((b / 1024) % 1024) * 100 / 1024);
        if (b >= 1048576000ull)
            snprintf(sizePart, sizeof sizePart, "%d,%03d.%02dMB / ", static_cast<int>(b / 1048576000ull),
                     static_cast<int>((b / 1048576) % 1000), f);
        else
            snprintf(sizePart, sizeof sizePart, "%d.%02dMB / ", static_cast<int>(b / 1048576), f);
    }
    // A scheduled recording may pass a day: hours go on counting.
    const int hours = static_cast<int>(t / 3600);
    const int minutes = static_cast<int>(t / 60 - (t / 3600) * 60);
    const int seconds = static_cast<int>(t - (t / 60) * 60);
    char timePart[32];
    if (hours != 0)
        snprintf(timePart, sizeof timePart, "%02d:%02d:%02d", hours, minutes, seconds);
    else
        snprintf(timePart, sizeof timePart, "%02d:%02d", minutes, seconds);
    snprintf(out, size, "%s%s", sizePart, timePart);
}

void FormatPlayPositionText(int64_t positionMs, int64_t lengthMs, char* out, size_t size) {
    const int64_t p = std::max<int64_t>(0, positionMs) / 1000;
    const int64_t l = std::max<int64_t>(0, lengthMs) / 1000;
    snprintf(out, size, "%d:%02d / %d:%02d", static_cast<int>(p / 60), static_cast<int>(p % 60),
             static_cast<int>(l / 60), static_cast<int>(l % 60));
}

int SliderPositionFor(int64_t positionMs, int64_t lengthMs, int maximum) {
    if (lengthMs <= 0 || maximum <= 0) return 0;
    const int64_t p = std::clamp<int64_t>(positionMs, 0, lengthMs);
    return static_cast<int>(p * maximum / lengthMs);
}

int64_t PositionForSlider(int sliderPos, int maximum, int64_t lengthMs) {
    if (maximum <= 0 || lengthMs <= 0) return 0;
    const int64_t s = std::clamp<int64_t>(sliderPos, 0, maximum);
    return s * lengthMs / maximum;
}

void FormatThresholdText(int position, char* out, size_t size) {
    snprintf(out, size, "-%ddB", 48 - std::clamp(position, 0, 47));
}

uint32_t MasterVolumeForSlider(int position, int sliderMax, uint32_t minimum, uint32_t maximum) {
    if (minimum >= maximum || sliderMax <= 0) return minimum;
    const uint64_t p = static_cast<uint64_t>(std::clamp(position, 0, sliderMax));
    const uint64_t span = maximum - minimum;
    return minimum + static_cast<uint32_t>((p * span + sliderMax / 2) / sliderMax);
}

int SliderForMasterVolume(uint32_t value, uint32_t minimum, uint32_t maximum, int sliderMax) {
    if (minimum >= maximum || sliderMax <= 0) return 0;
    const uint64_t v = std::clamp(value, minimum, maximum) - minimum;
    const uint64_t span = maximum - minimum;
    return static_cast<int>((v * static_cast<uint64_t>(sliderMax) + span / 2) / span);
}
