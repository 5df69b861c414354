// Second-order high-pass and low-pass filters over 16-bit blocks, in place.
#pragma once

#include <cstdint>

class CFilter {
public:
    CFilter() = default;
    virtual ~CFilter() = default;

    // Filters `frames` frames of 16-bit samples in place; channels 1 or 2
    // (anything else is left alone). A rate other than the stored one is
    // stored and the coefficients recomputed first.
    virtual void Process(short* samples, int frames, int channels, int rate);

    // Recomputes the coefficients from sampleRate, cutoff and Q.
    virtual void Recalc() = 0;

    // Forgets the history, so a recording does not start with the tail of
    // the previous one.
    void Reset();

    int32_t sampleRate = 44100;
    int32_t cutoff = 1000;  // f0, Hz, as the owner set it
    float Q = 1.0f;
    float b0 = 1.0f, b1 = 1.0f, b2 = 1.0f, a1 = 1.0f, a2 = 1.0f;
    struct History {
        int32_t x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    };
    History history[2];  // left (or mono) and right
    // False when rate or cut-off leave nothing to filter (f0 <= 0 or
    // rate <= 0): the block then passes through untouched.
    bool active = true;

protected:
    // Shared first half of Recalc: w0 from a cut-off kept below Nyquist.
    // Returns false (and clears `active`) when there is nothing to filter.
    bool Prepare(float* c, float* g, float* alpha);
};

class CHighPassFilter : public CFilter {
public:
    void Recalc() override;
};

class CLowPassFilter : public CFilter {
public:
    void Recalc() override;
};

// Highest cut-off used for a rate: a biquad at or above half the rate is
// unstable, so the cut-off is held at 0.45 x rate.
int32_t EffectiveCutoff(int32_t cutoff, int32_t rate);

extern CHighPassFilter HighPassFilter;
extern CLowPassFilter LowPassFilter;
