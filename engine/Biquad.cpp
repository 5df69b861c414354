#include "engine/Biquad.h"

#include <algorithm>
#include <cmath>

CHighPassFilter HighPassFilter;
CLowPassFilter LowPassFilter;

int32_t EffectiveCutoff(int32_t cutoff, int32_t rate) {
    if (rate <= 0) return cutoff;
    // 0.45 x rate, in integers so every rate of the table gives one value.
    int32_t limit = static_cast<int32_t>(static_cast<int64_t>(rate) * 45 / 100);
    return std::min(cutoff, limit);
}

void CFilter::Reset() {
    history[0] = History();
    history[1] = History();
}

bool CFilter::Prepare(float* c, float* g, float* alpha) {
    int32_t f0 = EffectiveCutoff(cutoff, sampleRate);
    if (sampleRate <= 0 || f0 <= 0) {
        active = false;
        return false;
    }
    active = true;
    float w0 = 6.283185f * static_cast<float>(f0) / static_cast<float>(sampleRate);
    *c = static_cast<float>(cos(static_cast<double>(w0)));
    float s = static_cast<float>(sin(static_cast<double>(w0)));
    *alpha = s / (2.0f * Q);
    *g = 1.0f / (1.0f + *alpha);
    return true;
}

void CHighPassFilter::Recalc() {
    float c, g, alpha;
    if (!Prepare(&c, &g, &alpha)) return;
    b0 = (1.0f + c) * 0.5f * g;
    b1 = -(1.0f + c) * g;
    b2 = b0;
    a1 = -2.0f * c * g;
    a2 = (1.0f - alpha) * g;
}

void CLowPassFilter::Recalc() {
    float c, g, alpha;
    if (!Prepare(&c, &g, &alpha)) return;
    b0 = (1.0f - c) * 0.5f * g;
    b1 = (1.0f - c) * g;
    b2 = b0;
    a1 = -2.0f * c * g;
    a2 = (1.0f - alpha) * g;
}

void CFilter::Process(short* samples, int frames, int channels, int rate) {
    if (!samples || frames <= 0 || (channels != 1 && channels != 2)) return;
    if (rate != sampleRate) {
        sampleRate = rate;
        Recalc();
    }
    if (!active) return;
    // The stereo history keeps the output before the 16-bit clamp; it is
    // still held inside the 32-bit range so that converting it is defined
    // whatever the coefficients.
    constexpr float kHistoryLimit = 2147483520.0f;  // largest float below 2^31
    for (int i = 0; i < frames; ++i) {
        for (int ch = 0; ch < channels; ++ch) {
            History& h = history[ch];
            short& sample = samples[i * channels + ch];
            int32_t x = sample;
            float y = b0 * static_cast<float>(x) + b1 * static_cast<float>(h.x1) +
                      b2 * static_cast<float>(h.x2) - a1 * static_cast<float>(h.y1) -
                      a2 * static_cast<float>(h.y2);
            if (std::isnan(y)) y = 0.0f;
            int32_t clamped = static_cast<int32_t>(std::clamp(y, -32768.0f, 32767.0f));
            sample = static_cast<short>(clamped);
            h.x2 = h.x1;
            h.x1 = x;
            h.y2 = h.y1;
            h.y1 = channels == 1 ? clamped
                                 : static_cast<int32_t>(
                                       std::clamp(y, -kHistoryLimit, kHistoryLimit));
        }
    }
}
