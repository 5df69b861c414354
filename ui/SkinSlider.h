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

// What both sliders share: the track and thumb rectangles and pictures, the
// value range, the pixel range the thumb's centre moves in, and the capture.
class CSkinSliderBase {
public:
    CSkinSliderBase() = default;
    CSkinSliderBase(const CSkinSliderBase&) = delete;
    CSkinSliderBase& operator=(const CSkinSliderBase&) = delete;

    // The owner lost the mouse capture: the drag is over.
    void CaptureChanged() { captured_ = dragging_ = false; }
    bool HitTest(int x, int y) const;

    bool IsCaptured() const { return captured_; }
    bool IsDragging() const { return dragging_; }
    const RECT& Track() const { return track_; }
    const RECT& Thumb() const { return thumb_; }

protected:
    enum class Press { None, Thumb, Track };

    void Init(HWND owner, const RECT& track, int step, int maximum, const char* trackBitmap,
              const char* thumbBitmap, int lo, int hi);
    // Takes the capture for a press on the thumb (a drag) or the track.
    Press TakePress(int x, int y);
    // Ends a drag; true when the thumb should snap to a step.
    bool EndDrag();
    void ReleasePress();
    int ClampCentre(int c) const;

    HWND owner_ = nullptr;
    RECT track_{};
    RECT thumb_{};
    CPicture trackPicture_;
    CPicture thumbPicture_;
    int maximum_ = 0;
    int thumbWidth_ = 0;
    int thumbHeight_ = 0;
    int step_ = 0;
    int lo_ = 0;  // the thumb centre's range along the slider
    int hi_ = 0;
    bool captured_ = false;
    bool dragging_ = false;
};

class CSkinSlider : public CSkinSliderBase {
public:
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
    void Draw(HDC dc);

    int GetPos() const;
    void SetPos(int v);

    int ThumbCentre() const { return thumb_.left + thumbWidth_ / 2; }

private:
    void Redraw(HDC dc);
    void MoveCentreTo(int centre);
};

// Vertical twin. With step below 2 the value grows upward (0 at the
// bottom); with step 2 or more it grows downward from the top. Draw paints
// only the thumb: the owner's face carries the track, so after a move the
// owner repaints the dirty strip MouseMove reports.
class CSkinVSlider : public CSkinSliderBase {
public:
    void Create(HWND owner, int left, int top, int right, int bottom, int step, int maximum,
                const char* trackBitmap, const char* thumbBitmap, int minY, int maxY);
    void SetThumbSize(int width, int height);

    bool MouseDown(HDC dc, int x, int y, RECT* dirty = nullptr);
    void MouseMove(HDC dc, RECT* dirty, int y);
    void MouseUp(HDC dc, RECT* dirty = nullptr);
    void Draw(HDC dc);

    int GetPos() const;
    void SetPos(int v);

    int ThumbCentre() const { return thumb_.top + thumbHeight_ / 2; }
    CPicture& TrackPicture() { return trackPicture_; }

private:
    void MoveCentreTo(int centre, RECT* dirty);
};
