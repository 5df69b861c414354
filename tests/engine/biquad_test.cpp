// The high-pass and low-pass filters on real signals at every rate the
// program records at.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "engine/Biquad.h"

namespace {

const int kRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};

std::vector<short> Sine(double freq, int rate, int frames, int channels, double amplitude) {
    std::vector<short> v(static_cast<size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            v[static_cast<size_t>(i) * channels + c] =
                static_cast<short>(amplitude * sin(2 * M_PI * freq * i / rate));
    return v;
}

double Rms(const std::vector<short>& v, int channels, int channel, size_t firstFrame) {
    double sum = 0;
    size_t n = 0;
    for (size_t i = firstFrame * channels + channel; i < v.size(); i += channels, ++n)
        sum += static_cast<double>(v[i]) * v[i];
    return n ? sqrt(sum / n) : 0;
}

// Runs a one-second tone through the filter in 100 ms blocks, as capture
// blocks arrive, and returns the gain in dB of the last half second.
double GainDb(CFilter& filter, double freq, int rate, int channels) {
    std::vector<short> in = Sine(freq, rate, rate, channels, 8000);
    std::vector<short> out = in;
    int block = rate / 10;
    for (int f = 0; f < rate; f += block) {
        int n = std::min(block, rate - f);
        filter.Process(out.data() + static_cast<size_t>(f) * channels, n, channels, rate);
    }
    return 20 * log10(Rms(out, channels, 0, rate / 2) / Rms(in, channels, 0, rate / 2));
}

template <class F>
std::unique_ptr<F> Make(int cutoff, int rate) {
    auto f = std::make_unique<F>();
    f->cutoff = cutoff;
    f->Q = 1.0f;
    f->sampleRate = rate;
    f->Recalc();
    return f;
}

TEST(Biquad, HighPassStopsAnOctaveBelowAndPassesTwoOctavesAbove) {
    const int f0 = 300;
    for (int rate : kRates) {
        for (int channels : {1, 2}) {
            SCOPED_TRACE(testing::Message() << rate << " Hz, " << channels << " ch");
            EXPECT_LE(GainDb(*Make<CHighPassFilter>(f0, rate), f0 / 2.0, rate, channels), -9.0);
            EXPECT_NEAR(0.0, GainDb(*Make<CHighPassFilter>(f0, rate), f0 * 4.0, rate, channels),
                        1.0);
        }
    }
}

TEST(Biquad, LowPassStopsAnOctaveAboveAndPassesTwoOctavesBelow) {
    for (int rate : kRates) {
        // The highest cut-off whose octave above still lies below Nyquist.
        const int f0 = std::min(3000, rate / 5);
        for (int channels : {1, 2}) {
            SCOPED_TRACE(testing::Message() << rate << " Hz, " << channels << " ch, f0 " << f0);
            EXPECT_LE(GainDb(*Make<CLowPassFilter>(f0, rate), f0 * 2.0, rate, channels), -9.0);
            EXPECT_NEAR(0.0, GainDb(*Make<CLowPassFilter>(f0, rate), f0 / 4.0, rate, channels),
                        1.0);
        }
    }
}

// The default low-pass cut-off (20000 Hz) and typed-in values lie at or
// above half of most rates: the filter must stay stable there, leave a
// tone well below the cut-off as it was, and never pin the output at the
// rails.
TEST(Biquad, CutoffAtOrAboveNyquistStaysStable) {
    for (int rate : kRates) {
        for (int cutoff : {rate / 2, rate / 2 + 1, 20000, 10000, 1000000}) {
            for (int channels : {1, 2}) {
                SCOPED_TRACE(testing::Message()
                             << rate << " Hz, cut-off " << cutoff << ", " << channels << " ch");
                auto lp = Make<CLowPassFilter>(cutoff, rate);
                std::vector<short> in = Sine(rate / 40.0, rate, rate, channels, 12000);
                std::vector<short> out = in;
                lp->Process(out.data(), rate, channels, rate);
                int rails = 0;
                for (short s : out) rails += (s == 32767 || s == -32768);
                EXPECT_EQ(0, rails);
                double g = 20 * log10(Rms(out, channels, 0, rate / 2) / Rms(in, channels, 0, rate / 2));
                EXPECT_NEAR(0.0, g, 1.0);
                for (const auto& h : lp->history) {
                    EXPECT_LT(std::abs(h.y1), 40000);
                    EXPECT_LT(std::abs(h.y2), 40000);
                }
            }
        }
    }
    EXPECT_EQ(9922, EffectiveCutoff(20000, 22050));
    EXPECT_EQ(19845, EffectiveCutoff(20000, 44100));
    EXPECT_EQ(300, EffectiveCutoff(300, 8000));
}

// A full-scale square wave rings at its edges. The output stays inside 16
// bits, the stereo history (kept before the clamp) stays bounded, and the
// low-pass output still follows the square once each edge has settled.
TEST(Biquad, FullScaleSquareStaysInRangeAndTracksTheInput) {
    const int half = 37;  // samples per half period
    for (int rate : kRates) {
        for (int channels : {1, 2}) {
            struct Row {
                std::unique_ptr<CFilter> f;
                bool tracks;
            };
            Row rows[] = {{Make<CLowPassFilter>(20000, rate), true},
                          {Make<CLowPassFilter>(rate / 8, rate), true},
                          {Make<CHighPassFilter>(300, rate), false},
                          {Make<CHighPassFilter>(rate, rate), false}};
            for (Row& r : rows) {
                SCOPED_TRACE(testing::Message() << rate << " Hz, " << channels << " ch, f0 "
                                                << r.f->cutoff);
                std::vector<short> sq(static_cast<size_t>(rate) * channels);
                for (size_t i = 0; i < sq.size(); ++i)
                    sq[i] = (i / channels / half) % 2 ? 32767 : -32768;
                std::vector<short> out = sq;
                r.f->Process(out.data(), rate, channels, rate);
                for (const auto& h : r.f->history) {
                    EXPECT_LT(std::abs(h.y1), 65536);
                    EXPECT_LT(std::abs(h.y2), 65536);
                }
                if (!r.tracks) continue;
                int wrong = 0;
                for (size_t i = 0; i < sq.size(); ++i) {
                    size_t inHalf = (i / channels) % half;
                    if (inHalf >= half - 10 && (out[i] > 0) != (sq[i] > 0)) ++wrong;
                }
                EXPECT_EQ(0, wrong);
            }
        }
    }
}

// Blocks the filter must leave exactly as they are.
TEST(Biquad, LeavesBlocksAloneWhenThereIsNothingToFilter) {
    struct Case {
        const char* name;
        int cutoff, rate, channels;
    };
    const Case cases[] = {
        {"three channels", 1000, 44100, 3},
        {"no channels", 1000, 44100, 0},
        {"low-pass at 0 Hz", 0, 44100, 2},
        {"negative cut-off", -500, 44100, 1},
        {"rate 0", 1000, 0, 2},
        {"negative rate", 1000, -8000, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CLowPassFilter lp;
        lp.cutoff = c.cutoff;
        lp.sampleRate = c.rate;
        lp.Recalc();
        std::vector<short> in = Sine(440, 8000, 800, 3, 9000), out = in;
        lp.Process(out.data(), 800, c.channels, c.rate);
        EXPECT_EQ(in, out);
    }
}

TEST(Biquad, NewRateRecomputesBeforeFiltering) {
    CHighPassFilter hp;
    hp.cutoff = 300;
    hp.Recalc();  // for 44100
    float b0at44 = hp.b0;
    std::vector<short> block(160, 1000);
    hp.Process(block.data(), 160, 1, 8000);
    EXPECT_EQ(8000, hp.sampleRate);
    CHighPassFilter ref;
    ref.cutoff = 300;
    ref.sampleRate = 8000;
    ref.Recalc();
    EXPECT_FLOAT_EQ(ref.b0, hp.b0);
    EXPECT_NE(b0at44, hp.b0);
    // A filter never recomputed runs with its initial coefficients (all 1).
    CLowPassFilter raw;
    short s[3] = {10, 20, 30};
    raw.Process(s, 3, 1, 44100);
    EXPECT_EQ(10, s[0]);  // 10
    EXPECT_EQ(20, s[1]);  // 20 + 10 - 10
    EXPECT_EQ(30, s[2]);  // 30 + 20 + 10 - 20 - 10
}

// In mono the history keeps the clamped output, in stereo the output before
// the clamp, so an overshoot feeds back differently.
TEST(Biquad, HistoryKeepsClampedMonoAndUnclampedStereoOutput) {
    for (int channels : {1, 2}) {
        CLowPassFilter f;
        f.b0 = 2.0f;
        f.b1 = f.b2 = f.a1 = f.a2 = 0.0f;
        std::vector<short> s(static_cast<size_t>(channels), 20000);
        f.Process(s.data(), 1, channels, 44100);
        EXPECT_EQ(32767, s[0]);
        EXPECT_EQ(channels == 1 ? 32767 : 40000, f.history[0].y1) << channels;
        EXPECT_EQ(20000, f.history[0].x1);
    }
}

TEST(Biquad, ResetForgetsThePreviousRecording) {
    CHighPassFilter a, b;
    for (CHighPassFilter* f : {&a, &b}) {
        f->cutoff = 300;
        f->Recalc();
    }
    std::vector<short> loud = Sine(50, 44100, 4410, 2, 30000);
    a.Process(loud.data(), 4410, 2, 44100);
    a.Reset();
    std::vector<short> x = Sine(1000, 44100, 441, 2, 5000), y = x;
    a.Process(x.data(), 441, 2, 44100);
    b.Process(y.data(), 441, 2, 44100);
    EXPECT_EQ(y, x);
}

}  // namespace
