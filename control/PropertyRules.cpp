#include "control/PropertyRules.h"

#include <cstring>

#include "control/CtlRecorder.h"
#include "engine/SampleRateTable.h"

namespace sablet {

const short Mp3BitrateTable[15] = {8, 16, 24, 32, 40, 48, 64, 80, 96, 112, 128, 160, 192, 256, 320};

long SampleFrequencyRule(long rate) { return IsTableSampleRate(rate) ? rate : 16000; }

bool RecordableRate(long rate) {
    return rate >= static_cast<long>(CtlLowestRate) && rate <= static_cast<long>(CtlHighestRate);
}

short ChannelRule(short channels) { return channels == 1 || channels == 2 ? channels : 2; }

bool SampleBitAccepted(short bits) { return bits == 8 || bits == 16; }

bool Mp3BitrateAccepted(short kbps) {
    for (short rate : Mp3BitrateTable)
        if (rate == kbps) return true;
    return false;
}

void CopyWideToAnsi(char* out, size_t capacity, const wchar_t* text, size_t maxChars,
                    UINT codePage) {
    if (!out || capacity == 0) return;
    size_t used = 0;
    for (size_t chars = 0; text && text[0] && chars < maxChars; ++chars) {
        int units = IS_HIGH_SURROGATE(text[0]) && IS_LOW_SURROGATE(text[1]) ? 2 : 1;
        char bytes[8];
        int n = WideCharToMultiByte(codePage, 0, text, units, bytes, sizeof bytes, nullptr, nullptr);
        if (n <= 0 || used + static_cast<size_t>(n) > capacity - 1) break;
        memcpy(out + used, bytes, n);
        used += n;
        text += units;
    }
    out[used] = '\0';
}

bool PageHostFromUrl(const char* url, char* out, size_t capacity, UINT codePage) {
    const char* start = url ? strstr(url, "//") : nullptr;
    if (!start || !out || capacity == 0) return false;
    start += 2;
    size_t used = 0;
    for (const char* p = start; *p && *p != '/';) {
        size_t size = IsDBCSLeadByteEx(codePage, static_cast<BYTE>(*p)) && p[1] ? 2 : 1;
        if (used + size > capacity - 1) break;
        memcpy(out + used, p, size);
        used += size;
        p += size;
    }
    out[used] = '\0';
    return true;
}

}  // namespace sablet
