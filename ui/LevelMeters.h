// The main window's level display: two 48-segment meters with a falling
// peak, their dB readouts, the signal threshold box, and the alternative
// field of 18 vertical bars. Drawn every 50 ms with solid fills only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// Meter level of an amplitude: 0 (loudest) to 48 (silence), from the dB
// table's 8-bit or 16-bit half. Negative amplitudes count by magnitude.
int MeterLevelIndex(int32_t amplitude, bool bits16);

// What one meter step reads. The block is the source's last block with its
// valid byte count; `bits16` is the sample width of that block's source
// (the player's format while a file is being played).
struct LevelMeterInput {
    int32_t levelLeft = 0;   // amplitudes the engine stored for the last block
    int32_t levelRight = 0;
    const BYTE* block = nullptr;
    size_t blockBytes = 0;
    bool bits16 = true;
    bool barDisplay = false;      // the show-input-level switch
    bool signalActive = false;    // a block has passed the level test
    bool signalTriggered = false; // signal-activated recording is on
    int signalLevelIndex = 0;     // 0..47, shown as 48 - index dB below 0
};

class CLevelMeters {
public:
    // Geometry of the main face.
    static constexpr int kLeftX = 257, kLeftY = 37, kRightX = 257, kRightY = 46;
    static constexpr int kMeterWidth = 145, kMeterHeight = 7;
    static constexpr RECT kLabelBox{409, 32, 501, 53};
    static constexpr RECT kThresholdBox{254, 157, 339, 185};
    static constexpr int kBars = 18;

    CLevelMeters();

    // Back to the state before the first draw (record or play start).
    void Reset();
    // Switching between bars and segments repaints the meters in full.
    void SetBarDisplay(bool on);
    // The face was painted over the meters: the next step draws them and
    // their readouts in full, whatever changed.
    void Invalidate();

    // One meter step.
    void DrawLevelMeters(HDC dc, const LevelMeterInput& in);
    // Segment meter at (x, y): `last` is the previous level index (49 before
    // the first draw), `peak` the held index, updated here. A step that
    // would paint the pixels already there (same level, peak held at it)
    // draws nothing.
    void DrawSegmentMeter(HDC dc, int level, int last, int* peak, int x, int y);
    void DrawBar(HDC dc, int bar, int level);
    void DrawLabels(HDC dc, int left, int right, const LevelMeterInput& in);

    int lastLeft() const { return lastLeft_; }
    int lastRight() const { return lastRight_; }
    int peakLeft() const { return peakLeft_; }
    int peakRight() const { return peakRight_; }
    int maxLeft() const { return maxLeft_; }
    int maxRight() const { return maxRight_; }

private:
    int SampleLevel(const LevelMeterInput& in, size_t sampleOffset) const;

    int lastLeft_ = 49, lastRight_ = 49;
    int peakLeft_ = 48, peakRight_ = 48;
    int maxLeft_ = 48, maxRight_ = 48;
    // What the readouts show now; labelsDrawn_ false until they were drawn
    // on the face as it is.
    struct Labels {
        int left, right, maxLeft, maxRight;
        bool triggered;
        int threshold;
        bool operator==(const Labels& o) const {
            return left == o.left && right == o.right && maxLeft == o.maxLeft &&
                   maxRight == o.maxRight && triggered == o.triggered && threshold == o.threshold;
        }
    };
    Labels labels_{};
    bool labelsDrawn_ = false;
    // Right end of the widest readout text last drawn: a "Max" text may run
    // past the label box, and its tail must go when the text shortens.
    int labelsRight_ = kLabelBox.right;
    int barCounter_ = 0;
    int offsetCounter_ = 0;
    bool barDisplay_ = false;
    RECT bars_[kBars];
};
