#include "ui/LevelMeters.h"

#include "engine/LevelTable.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

const COLORREF kGrey = RGB(102, 102, 102);
const COLORREF kUnlit = RGB(0, 0, 0);
// One unlit red for the top three segments, whether first drawn or redrawn.
const COLORREF kUnlitRed = RGB(156, 0, 0);
const COLORREF kGroups[8] = {RGB(0, 153, 0),   RGB(51, 153, 0),  RGB(51, 204, 0),
                             RGB(102, 204, 0), RGB(153, 204, 51), RGB(204, 204, 0),
                             RGB(204, 153, 0), RGB(204, 102, 0)};
const COLORREF kFace = RGB(28, 210, 252);
const COLORREF kThresholdFill = RGB(107, 101, 99);
const BYTE kBarR[16] = {0, 25, 51, 76, 102, 127, 153, 176, 204, 204, 204, 204, 204, 204, 204, 204};
const BYTE kBarG[16] = {127, 127, 127, 127, 127, 127, 127, 127, 127, 127, 127, 127, 102, 76, 51, 25};

// A solid fill that creates no GDI object: an opaque empty text run paints
// its rectangle in the background colour. Hours of metering at 20 paints a
// second must not cost a brush per cell.
void Fill(HDC dc, int x, int y, int w, int h, COLORREF colour) {
    RECT r{x, y, x + w, y + h};
    COLORREF old = SetBkColor(dc, colour);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

COLORREF UnlitColour(int k) { return k >= 45 ? kUnlitRed : kUnlit; }

void Dots(HDC dc, int x, int y, int k, COLORREF colour) {
    Fill(dc, x + 3 * k + 1, y + 1, 2, 2, colour);
    Fill(dc, x + 3 * k + 1, y + 4, 2, 2, colour);
}

// Draws `s` at (x, y) and returns the right end of what it drew.
int Text(HDC dc, int x, int y, const char* s) {
    const int length = static_cast<int>(strlen(s));
    TextOutA(dc, x, y, s, length);
    SIZE size{};
    GetTextExtentPoint32A(dc, s, length, &size);
    return x + size.cx;
}

}  // namespace

int MeterLevelIndex(int32_t amplitude, bool bits16) { return LevelDbIndex(amplitude, bits16); }

CLevelMeters::CLevelMeters() {
    for (int k = 0; k < kBars; ++k) bars_[k] = {256 + 4 * k, 36, 259 + 4 * k, 53};
}

void CLevelMeters::Reset() {
    lastLeft_ = lastRight_ = 49;
    peakLeft_ = peakRight_ = 48;
    maxLeft_ = maxRight_ = 48;
    barCounter_ = offsetCounter_ = 0;
    labelsDrawn_ = false;
}

void CLevelMeters::Invalidate() {
    lastLeft_ = lastRight_ = 49;
    peakLeft_ = peakRight_ = 48;
    labelsDrawn_ = false;
}

void CLevelMeters::SetBarDisplay(bool on) {
    if (on == barDisplay_) return;
    barDisplay_ = on;
    // The other display left its pixels behind: start from a full repaint.
    Invalidate();
}

void CLevelMeters::DrawSegmentMeter(HDC dc, int level, int last, int* peak, int x, int y) {
    level = std::clamp(level, 0, 48);
    *peak = std::clamp(*peak, 0, 48);
    // A steady level: the meter shows it already. Twenty full repaints a
    // second of an unchanged meter were most of the window's work.
    if (level == last && *peak == level) return;
    if (last == 49) {
        Fill(dc, x, y, kMeterWidth, kMeterHeight, kGrey);
        for (int k = 0; k < 48; ++k) Dots(dc, x, y, k, UnlitColour(k));
    }
    int lit = 48 - level;
    int held = 48 - *peak;
    if (lit < held) {
        // Falling: drop the held top by one segment a step.
        Dots(dc, x, y, held - 1, UnlitColour(held - 1));
        *peak = std::min(48, *peak + 1);
        return;
    }
    for (int k = 0; k < 48; ++k) {
        Fill(dc, x + 3 * k, y, 4, kMeterHeight, kGrey);
        Dots(dc, x, y, k, k < lit ? kGroups[k / 6] : UnlitColour(k));
    }
    *peak = level;
}

void CLevelMeters::DrawBar(HDC dc, int bar, int level) {
    if (bar < 0 || bar >= kBars) return;
    level = std::clamp(level, 0, 48);
    const RECT& r = bars_[bar];
    Fill(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, kFace);
    int lines = 16 - level / 3;
    for (int i = 0; i < lines; ++i) {
        Fill(dc, r.left, r.bottom - i - 1, r.right - r.left, 1, RGB(kBarR[15 - i], kBarG[15 - i], 0));
    }
}

void CLevelMeters::DrawLabels(HDC dc, int left, int right, const LevelMeterInput& in) {
    const Labels now{left, right, maxLeft_, maxRight_, in.signalTriggered,
                     in.signalTriggered ? std::clamp(in.signalLevelIndex, 0, 47) : 0};
    if (labelsDrawn_ && now == labels_) return;
    labels_ = now;
    labelsDrawn_ = true;
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    COLORREF oldColour = SetTextColor(dc, RGB(0, 0, 0));
    UINT oldAlign = SetTextAlign(dc, TA_LEFT | TA_TOP);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    Fill(dc, kLabelBox.left, kLabelBox.top, std::max<int>(kLabelBox.right, labelsRight_) - kLabelBox.left,
         kLabelBox.bottom - kLabelBox.top, kFace);
    char s[32];
    int textEnd = kLabelBox.right;
    Text(dc, 409, 32, "L");
    snprintf(s, sizeof(s), ":-%ddB", left);
    Text(dc, 417, 32, s);
    snprintf(s, sizeof(s), "Max:-%ddB", maxLeft_);
    textEnd = std::max(textEnd, Text(dc, 451, 32, s));
    Text(dc, 409, 42, "R");
    snprintf(s, sizeof(s), ":-%ddB", right);
    Text(dc, 417, 42, s);
    snprintf(s, sizeof(s), "Max:-%ddB", maxRight_);
    textEnd = std::max(textEnd, Text(dc, 451, 42, s));
    labelsRight_ = textEnd;
    if (in.signalTriggered) {
        const RECT& b = kThresholdBox;
        Fill(dc, b.left, b.top, b.right - b.left, b.bottom - b.top, kThresholdFill);
        SetTextColor(dc, RGB(255, 255, 255));
        SetTextAlign(dc, TA_CENTER | TA_TOP);
        int cx = (b.left + b.right) / 2;
        Text(dc, cx, b.top, "Threshold");
        snprintf(s, sizeof(s), "-%ddB", 48 - std::clamp(in.signalLevelIndex, 0, 47));
        Text(dc, cx, b.top + 13, s);
    }
    SetBkMode(dc, oldMode);
    SetTextAlign(dc, oldAlign);
    SetTextColor(dc, oldColour);
    SelectObject(dc, oldFont);
}

int CLevelMeters::SampleLevel(const LevelMeterInput& in, size_t offset) const {
    if (!in.block || !in.signalActive) return 48;
    int32_t v;
    if (in.bits16) {
        if (offset * 2 + 2 > in.blockBytes) return 48;  // beyond the block: silence
        int16_t s;
        memcpy(&s, in.block + offset * 2, sizeof(s));
        v = s;
    } else {
        if (offset + 1 > in.blockBytes) return 48;
        v = static_cast<int32_t>(in.block[offset]) - 128;
    }
    return MeterLevelIndex(v, in.bits16);
}

void CLevelMeters::DrawLevelMeters(HDC dc, const LevelMeterInput& in) {
    int i = MeterLevelIndex(in.levelLeft, in.bits16);
    int j = MeterLevelIndex(in.levelRight, in.bits16);
    SetBarDisplay(in.barDisplay);
    if (barDisplay_) {
        size_t p = static_cast<size_t>(offsetCounter_);
        int c = barCounter_ % 6;
        DrawBar(dc, c, SampleLevel(in, 40 * p));
        DrawBar(dc, c + 6, SampleLevel(in, 40 * p + 200));
        DrawBar(dc, c + 12, SampleLevel(in, 40 * p + 400));
        DrawLabels(dc, i, j, in);
        barCounter_ = (barCounter_ + 1) % 20;
        offsetCounter_ = (offsetCounter_ + 1) % 40;
        return;
    }
    DrawSegmentMeter(dc, i, lastLeft_, &peakLeft_, kLeftX, kLeftY);
    DrawSegmentMeter(dc, j, lastRight_, &peakRight_, kRightX, kRightY);
    lastLeft_ = i;
    lastRight_ = j;
    maxLeft_ = std::min(maxLeft_, i);
    maxRight_ = std::min(maxRight_, j);
    DrawLabels(dc, i, j, in);
}
