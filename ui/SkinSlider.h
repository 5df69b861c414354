// Sliders drawn inside their owner's face: no windows of their own. The
// owner forwards button-down, move, button-up, capture loss and paint, and
// reads the value back.
#pragma once

#include <windows.h>

#include "ui/Picture.h"

// Value <-> pixel mapping shared by both sliders. Values are clamped to
// [0, maximum]; positions round to the nearest pixel so that, whenever the
// pixel range is at least the value range, value -> position -> value is
// the identity (and position -> value -> position otherwise).
namespace slider_math {
// Pixel offset (from the start of the range) of value v.
int OffsetOf(int v, int maximum, int range);
// Value at pixel offset p.
int ValueAt(int p, int maximum, int range);
// Snaps a centre to the nearest multiple of step from lo, kept in [lo, hi].
int Snap(int centre, int lo, int hi, int step);
}  // namespace slider_math

class CSkinSlider {
public:
    CSkinSlider() = default;
    CSkinSlider(const CSkinSlider&) = delete;
    CSkinSlider& operator=(const CSkinSlider&) = delete;

    void Create(HWND owner, int left, int top, int right, int bottom, int step, int maximum,
                const char* trackBitmap, const char* thumbBitmap, int minX, int maxX);
    // Resizes the thumb keeping its left edge and its bottom on the track's bottom.
    void SetThumbSize(int width, int height);

    // True when the press hit the thumb or the track (the owner then must
    // not start a window drag with the same press).
    bool MouseDown(HDC dc, int x, int y);
    // While captured: follows x; *dirty (optional) gets the strip that changed.
    void MouseMove(HDC dc, RECT* dirty, int x);
    void MouseUp(HDC dc);
    // The owner lost the mouse capture: the drag is over.
    void CaptureChanged();
    void Draw(HDC dc);
    bool HitTest(int x, int y) const;

    int GetPos() const;
    void SetPos(int v);

    bool IsCaptured() const { return captured_; }
    bool IsDragging() const { return dragging_; }
    const RECT& Track() const { return track_; }
    const RECT& Thumb() const { return thumb_; }
    int ThumbCentre() const { return thumb_.left + thumbWidth_ / 2; }

private:
    void Redraw(HDC dc);
    void MoveCentreTo(int centre);

    HWND owner_ = nullptr;
    RECT track_{};
    RECT thumb_{};
    CPicture trackPicture_;
    CPicture thumbPicture_;
    int maximum_ = 0;
    int value_ = 0;
    int thumbWidth_ = 7;
    int thumbHeight_ = 12;
    int step_ = 0;
    int minX_ = 0;
    int maxX_ = 0;
    bool captured_ = false;
    bool dragging_ = false;
};

// Vertical twin. With step below 2 the value grows upward (0 at the
// bottom); with step 2 or more it grows downward from the top. Draw paints
// only the thumb: the owner's face carries the track, so after a move the
// owner repaints the dirty strip MouseMove reports.
class CSkinVSlider {
public:
    CSkinVSlider() = default;
    CSkinVSlider(const CSkinVSlider&) = delete;
    CSkinVSlider& operator=(const CSkinVSlider&) = delete;

    void Create(HWND owner, int left, int top, int right, int bottom, int step, int maximum,
                const char* trackBitmap, const char* thumbBitmap, int minY, int maxY);
    void SetThumbSize(int width, int height);

    bool MouseDown(HDC dc, int x, int y, RECT* dirty = nullptr);
    void MouseMove(HDC dc, RECT* dirty, int y);
    void MouseUp(HDC dc, RECT* dirty = nullptr);
    void CaptureChanged();
    void Draw(HDC dc);
    bool HitTest(int x, int y) const;

    int GetPos() const;
    void SetPos(int v);

    bool IsCaptured() const { return captured_; }
    bool IsDragging() const { return dragging_; }
    const RECT& Track() const { return track_; }
    const RECT& Thumb() const { return thumb_; }
    int ThumbCentre() const { return thumb_.top + thumbHeight_ / 2; }
    CPicture& TrackPicture() { return trackPicture_; }

private:
    void MoveCentreTo(int centre, RECT* dirty);

    HWND owner_ = nullptr;
    RECT track_{};
    RECT thumb_{};
    CPicture trackPicture_;
    CPicture thumbPicture_;
    int maximum_ = 0;
    int value_ = 0;
    int thumbWidth_ = 14;
    int thumbHeight_ = 16;
    int step_ = 0;
    int minY_ = 0;
    int maxY_ = 0;
    bool captured_ = false;
    bool dragging_ = false;
};
