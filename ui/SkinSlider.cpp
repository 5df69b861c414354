#include "ui/SkinSlider.h"

#include <algorithm>
#include <cmath>

namespace slider_math {

int OffsetOf(int v, int maximum, int range) {
    if (maximum <= 0 || range <= 0) return 0;
    v = std::clamp(v, 0, maximum);
    return static_cast<int>(std::lround(double(range) * v / maximum));
}

int ValueAt(int p, int maximum, int range) {
    if (maximum <= 0 || range <= 0) return 0;
    long v = std::lround(double(p) * maximum / range);
    return static_cast<int>(std::clamp<long>(v, 0, maximum));
}

int Snap(int centre, int lo, int hi, int step) {
    if (step < 2) return centre;
    int c = centre - lo;
    if (c < 0) return lo;
    int k = c / step + (c % step > step / 2 ? 1 : 0);
    // A range that is not a whole number of steps must not snap past its end.
    return std::clamp(lo + k * step, lo, std::max(lo, hi));
}

}  // namespace slider_math

// ----- horizontal ----------------------------------------------------------

void CSkinSlider::Create(HWND owner, int left, int top, int right, int bottom, int step,
                         int maximum, const char* trackBitmap, const char* thumbBitmap, int minX,
                         int maxX) {
    owner_ = owner;
    track_ = {left, top, right, bottom};
    thumbWidth_ = 7;
    thumbHeight_ = 12;
    thumb_ = {left + 8, bottom - 12, left + 15, bottom};
    step_ = step;
    maximum_ = maximum;
    minX_ = minX;
    maxX_ = maxX;
    trackPicture_.Load(trackBitmap, "BMP");
    thumbPicture_.Load(thumbBitmap, "BMP");
    captured_ = dragging_ = false;
}

void CSkinSlider::SetThumbSize(int width, int height) {
    thumbWidth_ = std::max(1, width);
    thumbHeight_ = std::max(1, height);
    thumb_.right = thumb_.left + thumbWidth_;
    thumb_.bottom = track_.bottom;
    thumb_.top = thumb_.bottom - thumbHeight_;
}

bool CSkinSlider::HitTest(int x, int y) const {
    POINT pt{x, y};
    return PtInRect(&thumb_, pt) || PtInRect(&track_, pt);
}

void CSkinSlider::MoveCentreTo(int centre) {
    thumb_.left = centre - thumbWidth_ / 2;
    thumb_.right = thumb_.left + thumbWidth_;
}

bool CSkinSlider::MouseDown(HDC dc, int x, int y) {
    POINT pt{x, y};
    if (PtInRect(&thumb_, pt)) {
        captured_ = dragging_ = true;
        SetCapture(owner_);
        return true;
    }
    if (PtInRect(&track_, pt)) {
        captured_ = true;
        SetCapture(owner_);
        MouseMove(dc, nullptr, x);  // the thumb jumps here; no snapping follows
        return true;
    }
    return false;
}

void CSkinSlider::MouseMove(HDC dc, RECT* dirty, int x) {
    if (!captured_) return;
    int oldCentre = ThumbCentre();
    int centre = std::clamp(x, minX_, std::max(minX_, maxX_));
    if (dirty) {
        *dirty = {thumb_.left, thumb_.top, thumb_.right, thumb_.bottom};
        if (centre < oldCentre) dirty->left = centre - thumbWidth_ / 2;
        else dirty->right = centre + thumbWidth_ / 2 + 1;
    }
    MoveCentreTo(centre);
    Redraw(dc);
}

void CSkinSlider::MouseUp(HDC dc) {
    if (dragging_) {
        dragging_ = false;
        if (step_ >= 2) {
            MoveCentreTo(slider_math::Snap(ThumbCentre(), minX_, maxX_, step_));
            Redraw(dc);
        }
    }
    if (captured_) {
        captured_ = false;
        ReleaseCapture();
    }
}

void CSkinSlider::CaptureChanged() { captured_ = dragging_ = false; }

void CSkinSlider::Draw(HDC dc) {
    trackPicture_.Draw(dc, track_.left, track_.top, track_.right - track_.left,
                       track_.bottom - track_.top);
    thumbPicture_.Draw(dc, thumb_.left, thumb_.top, thumbWidth_, thumbHeight_);
}

void CSkinSlider::Redraw(HDC dc) {
    if (!dc) return;
    CXTMemDC mem(dc, &track_);
    Draw(mem);
}

int CSkinSlider::GetPos() const {
    return slider_math::ValueAt(ThumbCentre() - minX_, maximum_, maxX_ - minX_);
}

void CSkinSlider::SetPos(int v) {
    value_ = std::clamp(v, 0, std::max(0, maximum_));
    MoveCentreTo(minX_ + slider_math::OffsetOf(value_, maximum_, maxX_ - minX_));
}

// ----- vertical ------------------------------------------------------------

void CSkinVSlider::Create(HWND owner, int left, int top, int right, int bottom, int step,
                          int maximum, const char* trackBitmap, const char* thumbBitmap, int minY,
                          int maxY) {
    owner_ = owner;
    track_ = {left, top, right, bottom};
    thumbWidth_ = 14;
    thumbHeight_ = 16;
    int x = left + (right - left) / 2 - 7;
    int y = top + (bottom - top) / 2 - 8;
    thumb_ = {x, y, x + thumbWidth_, y + thumbHeight_};
    step_ = step;
    maximum_ = maximum;
    minY_ = minY;
    maxY_ = maxY;
    trackPicture_.Load(trackBitmap, "BMP");
    thumbPicture_.Load(thumbBitmap, "BMP");
    captured_ = dragging_ = false;
}

void CSkinVSlider::SetThumbSize(int width, int height) {
    int cx = thumb_.left + thumbWidth_ / 2;
    int cy = ThumbCentre();
    thumbWidth_ = std::max(1, width);
    thumbHeight_ = std::max(1, height);
    thumb_.left = cx - thumbWidth_ / 2;
    thumb_.right = thumb_.left + thumbWidth_;
    thumb_.top = cy - thumbHeight_ / 2;
    thumb_.bottom = thumb_.top + thumbHeight_;
}

bool CSkinVSlider::HitTest(int x, int y) const {
    POINT pt{x, y};
    return PtInRect(&thumb_, pt) || PtInRect(&track_, pt);
}

void CSkinVSlider::MoveCentreTo(int centre, RECT* dirty) {
    RECT old = thumb_;
    thumb_.top = centre - thumbHeight_ / 2;
    thumb_.bottom = thumb_.top + thumbHeight_;
    if (dirty) UnionRect(dirty, &old, &thumb_);
}

bool CSkinVSlider::MouseDown(HDC dc, int x, int y, RECT* dirty) {
    POINT pt{x, y};
    if (PtInRect(&thumb_, pt)) {
        captured_ = dragging_ = true;
        SetCapture(owner_);
        if (dirty) SetRectEmpty(dirty);
        return true;
    }
    if (PtInRect(&track_, pt)) {
        captured_ = true;
        SetCapture(owner_);
        MouseMove(dc, dirty, y);
        return true;
    }
    return false;
}

void CSkinVSlider::MouseMove(HDC dc, RECT* dirty, int y) {
    if (dirty) SetRectEmpty(dirty);
    if (!captured_) return;
    MoveCentreTo(std::clamp(y, minY_, std::max(minY_, maxY_)), dirty);
    (void)dc;  // the owner repaints the strip: its face carries the track
}

void CSkinVSlider::MouseUp(HDC dc, RECT* dirty) {
    if (dirty) SetRectEmpty(dirty);
    if (dragging_) {
        dragging_ = false;
        if (step_ >= 2) MoveCentreTo(slider_math::Snap(ThumbCentre(), minY_, maxY_, step_), dirty);
    }
    if (captured_) {
        captured_ = false;
        ReleaseCapture();
    }
    (void)dc;
}

void CSkinVSlider::CaptureChanged() { captured_ = dragging_ = false; }

void CSkinVSlider::Draw(HDC dc) {
    thumbPicture_.Draw(dc, thumb_.left, thumb_.top, thumbWidth_, thumbHeight_);
}

int CSkinVSlider::GetPos() const {
    int range = maxY_ - minY_;
    if (step_ >= 2) return slider_math::ValueAt(ThumbCentre() - minY_, maximum_, range);
    return slider_math::ValueAt(maxY_ - ThumbCentre(), maximum_, range);
}

void CSkinVSlider::SetPos(int v) {
    value_ = std::clamp(v, 0, std::max(0, maximum_));
    int offset = slider_math::OffsetOf(value_, maximum_, maxY_ - minY_);
    MoveCentreTo(step_ >= 2 ? minY_ + offset : maxY_ - offset, nullptr);
}
