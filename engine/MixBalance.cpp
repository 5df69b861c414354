#include "engine/MixBalance.h"

#include <algorithm>
#include <cstring>

namespace {

int32_t ClampBalance(int32_t p) { return std::clamp<int32_t>(p, 0, 100); }

int16_t Sample(const unsigned char* p) {
    int16_t s;
    memcpy(&s, p, sizeof s);
    return s;
}

}  // namespace

double CaptureGain(int32_t balance) { return (100 - ClampBalance(balance)) * 2 / 100.0; }

double BackgroundGain(int32_t balance) { return ClampBalance(balance) * 2 / 100.0; }

void MixBackgroundChunk(const void* capture, const void* background, void* output,
                        int32_t length, int32_t balance) {
    if (length <= 0) return;
    const double gc = CaptureGain(balance);
    const double gb = BackgroundGain(balance);
    const auto* cap = static_cast<const unsigned char*>(capture);
    const auto* bg = static_cast<const unsigned char*>(background);
    auto* out = static_cast<unsigned char*>(output);
    const int32_t samples = length / 2;
    for (int32_t i = 0; i < samples; ++i) {
        // Each product is truncated on its own before the sum, as the
        // recordings made so far were mixed.
        int32_t c = static_cast<int32_t>(Sample(cap + 2 * i) * gc);
        int32_t b = bg ? static_cast<int32_t>(Sample(bg + 2 * i) * gb) : 0;
        int16_t mixed = static_cast<int16_t>(std::clamp<int32_t>(c + b, -32768, 32767));
        memcpy(out + 2 * i, &mixed, sizeof mixed);
    }
    if (length & 1) out[length - 1] = cap[length - 1];
}
