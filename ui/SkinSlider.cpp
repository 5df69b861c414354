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

// ----- shared --------------------------------------------------------------

void CSkinSliderBase::Init(HWND owner, const RECT& track, int step, int maximum,
                           const char* trackBitmap, const char* thumbBitmap, int lo, int hi) {
    owner_ = owner;
    track_ = track;
    step_ = step;
    maximum_ = maximum;
    lo_ = lo;
    hi_ = hi;
    trackPicture_.Load(trackBitmap, "BMP");
    thumbPicture_.Load(thumbBitmap, "BMP");
    captured_ = dragging_ = false;
}

bool CSkinSliderBase::HitTest(int x, int y) const {
    POINT pt{x, y};
    return PtInRect(&thumb_, pt) || PtInRect(&track_, pt);
}

CSkinSliderBase::Press CSkinSliderBase::TakePress(int x, int y) {
    POINT pt{x, y};
    Press press = PtInRect(&thumb_, pt) ? Press::Thumb : PtInRect(&track_, pt) ? Press::Track : Press::None;
    if (press == Press::None) return press;
    captured_ = true;
    dragging_ = press == Press::Thumb;
    SetCapture(owner_);
    return press;
}

bool CSkinSliderBase::EndDrag() {
    const bool wasDragging = dragging_;
    dragging_ = false;
    return wasDragging && step_ >= 2;
}

void CSkinSliderBase::ReleasePress() {
    if (!captured_) return;
    captured_ = false;
    ReleaseCapture();
}

int CSkinSliderBase::ClampCentre(int c) const { return std::clamp(c, lo_, std::max(lo_, hi_)); }

// ----- horizontal ----------------------------------------------------------

void CSkinSlider::Create(HWND owner, int left, int top, int right, int bottom, int step,
                         int maximum, const char* trackBitmap, const char* thumbBitmap, int minX,
                         int maxX) {
    Init(owner, RECT{left, top, right, bottom}, step, maximum, trackBitmap, thumbBitmap, minX, maxX);
    thumbWidth_ = 7;
    thumbHeight_ = 12;
    thumb_ = {left + 8, bottom - 12, left + 15, bottom};
}

void CSkinSlider::SetThumbSize(int width, int height) {
    thumbWidth_ = std::max(1, width);
    thumbHeight_ = std::max(1, height);
    thumb_.right = thumb_.left + thumbWidth_;
    thumb_.bottom = track_.bottom;
    thumb_.top = thumb_.bottom - thumbHeight_;
}

void CSkinSlider::MoveCentreTo(int centre) {
    thumb_.left = centre - thumbWidth_ / 2;
    thumb_.right = thumb_.left + thumbWidth_;
}

bool CSkinSlider::MouseDown(HDC dc, int x, int y) {
    const Press press = TakePress(x, y);
    if (press == Press::Track) MouseMove(dc, nullptr, x);  // the thumb jumps here; no snapping follows
    return press != Press::None;
}

void CSkinSlider::MouseMove(HDC dc, RECT* dirty, int x) {
    if (!captured_) return;
    int oldCentre = ThumbCentre();
    int centre = ClampCentre(x);
    if (dirty) {
        *dirty = {thumb_.left, thumb_.top, thumb_.right, thumb_.bottom};
        if (centre < oldCentre) dirty->left = centre - thumbWidth_ / 2;
        else dirty->right = centre + thumbWidth_ / 2 + 1;
    }
    MoveCentreTo(centre);
    Redraw(dc);
}

void CSkinSlider::MouseUp(HDC dc) {
    if (EndDrag()) {
        MoveCentreTo(slider_math::Snap(ThumbCentre(), lo_, hi_, step_));
        Redraw(dc);
    }
    ReleasePress();
}

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
    return slider_math::ValueAt(ThumbCentre() - lo_, maximum_, hi_ - lo_);
}

void CSkinSlider::SetPos(int v) {
    const int value = std::clamp(v, 0, std::max(0, maximum_));
    MoveCentreTo(lo_ + slider_math::OffsetOf(value, maximum_, hi_ - lo_));
}

// ----- vertical ------------------------------------------------------------

void CSkinVSlider::Create(HWND owner, int left, int top, int right, int bottom, int step,
                          int maximum, const char* trackBitmap, const char* thumbBitmap, int minY,
                          int maxY) {
    Init(owner, RECT{left, top, right, bottom}, step, maximum, trackBitmap, thumbBitmap, minY, maxY);
    thumbWidth_ = 14;
    thumbHeight_ = 16;
    int x = left + (right - left) / 2 - 7;
    int y = top + (bottom - top) / 2 - 8;
    thumb_ = {x, y, x + thumbWidth_, y + thumbHeight_};
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

void CSkinVSlider::MoveCentreTo(int centre, RECT* dirty) {
    RECT old = thumb_;
    thumb_.top = centre - thumbHeight_ / 2;
    thumb_.bottom = thumb_.top + thumbHeight_;
    if (dirty) UnionRect(dirty, &old, &thumb_);
}

bool CSkinVSlider::MouseDown(HDC dc, int x, int y, RECT* dirty) {
    if (dirty) SetRectEmpty(dirty);
    const Press press = TakePress(x, y);
    if (press == Press::Track) MouseMove(dc, dirty, y);
    return press != Press::None;
}

void CSkinVSlider::MouseMove(HDC dc, RECT* dirty, int y) {
    if (dirty) SetRectEmpty(dirty);
    if (!captured_) return;
    MoveCentreTo(ClampCentre(y), dirty);
    (void)dc;  // the owner repaints the strip: its face carries the track
}

void CSkinVSlider::MouseUp(HDC dc, RECT* dirty) {
    if (dirty) SetRectEmpty(dirty);
    if (EndDrag()) MoveCentreTo(slider_math::Snap(ThumbCentre(), lo_, hi_, step_), dirty);
    ReleasePress();
    (void)dc;
}

void CSkinVSlider::Draw(HDC dc) {
    thumbPicture_.Draw(dc, thumb_.left, thumb_.top, thumbWidth_, thumbHeight_);
}

int CSkinVSlider::GetPos() const {
    int range = hi_ - lo_;
    if (step_ >= 2) return slider_math::ValueAt(ThumbCentre() - lo_, maximum_, range);
    return slider_math::ValueAt(hi_ - ThumbCentre(), maximum_, range);
}

void CSkinVSlider::SetPos(int v) {
    const int value = std::clamp(v, 0, std::max(0, maximum_));
    int offset = slider_math::OffsetOf(value, maximum_, hi_ - lo_);
    MoveCentreTo(step_ >= 2 ? lo_ + offset : hi_ - offset, nullptr);
}
