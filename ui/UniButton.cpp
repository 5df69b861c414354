#include "ui/UniButton.h"

#include <cstdio>
#include <cstring>

namespace {

const char kSelfProp[] = "BrindleUniButton";


// A GDI object owned for one scope.
struct GdiObject {
    HGDIOBJ h;
    explicit GdiObject(HGDIOBJ o) : h(o) {}
    ~GdiObject() {
        if (h) DeleteObject(h);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
};

}  // namespace

CUniButton::CUniButton() {
    for (COLORREF& c : colours) c = GetSysColor(COLOR_BTNFACE);
}

CUniButton::~CUniButton() {
    Destroy();
    DeleteRegionFaces();
    if (region_) DeleteObject(region_);
}

void CUniButton::Destroy() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

CUniButton* CUniButton::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<CUniButton*>(GetPropA(hwnd, kSelfProp)) : nullptr;
}

bool CUniButton::ReflectDrawItem(LPARAM lParam) {
    auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    CUniButton* self = item ? FromHandle(item->hwndItem) : nullptr;
    if (!self) return false;
    self->DrawItem(*item);
    return true;
}

bool CUniButton::Create(const char* baseName, DWORD style, HRGN shape, HWND parent, UINT id,
                        int x, int y) {
    if (hwnd_ || !shape || !baseName) return false;
    if (region_) DeleteObject(region_);
    region_ = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(region_, shape, nullptr, RGN_COPY);
    RECT box;
    GetRgnBox(region_, &box);
    OffsetRgn(region_, -box.left, -box.top);
    int w = box.right - box.left;
    int h = box.bottom - box.top;
    centre_ = {w / 2, h / 2};
    snprintf(baseName_, sizeof(baseName_), "%s", baseName);
    id_ = id;
    hwnd_ = CreateWindowExA(0, "BUTTON", baseName_, style | BS_OWNERDRAW, x, y, w, h, parent,
                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                            GetModuleHandleA(nullptr), nullptr);
    if (!hwnd_) return false;
    SetPropA(hwnd_, kSelfProp, this);
    baseProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    // The system owns whatever region it is given: hand it a copy and keep
    // ours for clipping, filling and hit tests.
    HRGN windowRegion = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(windowRegion, region_, nullptr, RGN_COPY);
    if (!SetWindowRgn(hwnd_, windowRegion, TRUE)) DeleteObject(windowRegion);
    facesDirty_ = true;
    return true;
}

LRESULT CALLBACK CUniButton::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CUniButton* self = FromHandle(hwnd);
    if (!self) return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    return self->WindowProc(msg, wParam, lParam);
}

bool CUniButton::PushedNow() const {
    // Straight to the button class: through our own procedure this would
    // come back here.
    return (CallWindowProcA(baseProc_, hwnd_, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
}

LRESULT CUniButton::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // A double click is two clicks, not a click and a double-click notice.
    if (msg == WM_LBUTTONDBLCLK) msg = WM_LBUTTONDOWN;
    return CallWindowProcA(baseProc_, hwnd_, msg, wParam, lParam);
}

LRESULT CUniButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = hwnd_;
    switch (msg) {
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT:
        PaintSelf();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        pressed_ = true;
        if (!captured_) {
            SetCapture(hwnd);
            captured_ = true;
        }
        break;
    case WM_LBUTTONUP: {
        bool wasPushed = PushedNow();
        LRESULT r = DefWindowProc(msg, wParam, lParam);
        if (!IsWindow(hwnd)) return r;  // the click handler destroyed us
        pressed_ = false;
        if (captured_) {
            captured_ = false;
            // Only ours: the click may have handed the mouse to a window
            // it opened.
            if (GetCapture() == hwnd) ReleaseCapture();
        }
        if (wasPushed) Redraw();
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(hwnd, &pt);
        HoverTest(pt);
        return r;
    }
    case WM_MOUSEMOVE:
        if (!pressed_) HoverTest({static_cast<short>(LOWORD(lParam)),
                                  static_cast<short>(HIWORD(lParam))});
        break;
    case WM_CAPTURECHANGED:
        // Lost to someone else (a dialog opened from the click, Alt+Tab):
        // without this the hover face would stick until the next visit.
        if (reinterpret_cast<HWND>(lParam) != hwnd) {
            captured_ = false;
            pressed_ = false;
            if (hover_) {
                hover_ = false;
                InvalidateRect(hwnd, nullptr, FALSE);
            }
        }
        break;
    case WM_ENABLE: {
        // The system changes the style before it tells us, so the state
        // check below never sees a difference: without this the old face
        // stays until something else repaints the button.
        LRESULT r = DefWindowProc(msg, wParam, lParam);
        if (!IsWindow(hwnd) || hwnd_ != hwnd) return r;
        if (!wParam) LeaveHover();
        Redraw();
        return r;
    }
    case WM_SHOWWINDOW:
        if (!wParam) LeaveHover();
        break;
    case WM_STYLECHANGED: {
        // The same for a style set directly rather than by EnableWindow.
        LRESULT r = DefWindowProc(msg, wParam, lParam);
        const auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
        if (wParam == static_cast<WPARAM>(GWL_STYLE) && change && IsWindow(hwnd) && hwnd_ == hwnd &&
            ((change->styleOld ^ change->styleNew) & WS_DISABLED))
            Redraw();
        return r;
    }
    case WM_NCDESTROY: {
        LRESULT r = DefWindowProc(msg, wParam, lParam);
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(baseProc_));
        RemovePropA(hwnd, kSelfProp);
        hwnd_ = nullptr;
        return r;
    }
    default:
        break;
    }
    // The owner-draw button paints state changes through its parent; repaint
    // ourselves whenever the pushed state moved.
    bool pushed = PushedNow();
    LRESULT r = DefWindowProc(msg, wParam, lParam);
    if (IsWindow(hwnd) && hwnd_ == hwnd && PushedNow() != pushed) {
        InvalidateRect(hwnd, nullptr, FALSE);
        UpdateWindow(hwnd);
    }
    return r;
}

// A button that cannot be clicked holds no hover capture: the mouse's
// next press would go to it, unseen, instead of the window under the
// pointer (a panel's close button hides itself under the pointer, and the
// next click on the button shown in its place was lost).
void CUniButton::LeaveHover() {
    if (pressed_) return;  // the press's own capture ends with the press
    const bool wasHover = hover_;
    hover_ = false;
    if (captured_) {
        captured_ = false;
        if (GetCapture() == hwnd_) ReleaseCapture();
    }
    if (wasHover) InvalidateRect(hwnd_, nullptr, FALSE);
}

void CUniButton::HoverTest(POINT pt) {
    // The private copy answers the hit test: asking the window for its
    // region would cost a temporary region on every move.
    bool inside = region_ && IsWindowVisible(hwnd_) && IsWindowEnabled(hwnd_) && PtInRegion(region_, pt.x, pt.y);
    if (inside) {
        if (!captured_) {
            SetCapture(hwnd_);
            captured_ = true;
        }
        if (hover_) return;
        hover_ = true;
        Redraw();
        return;
    }
    bool wasHover = hover_;
    hover_ = false;
    if (captured_) {
        captured_ = false;
        ReleaseCapture();
    }
    if (wasHover) Redraw();
}

void CUniButton::Redraw() {
    if (hwnd_) RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

void CUniButton::PaintSelf() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = id_;
    item.itemAction = ODA_DRAWENTIRE;
    if (!IsWindowEnabled(hwnd_)) item.itemState |= ODS_DISABLED;
    if (PushedNow()) item.itemState |= ODS_SELECTED;
    if (GetFocus() == hwnd_) item.itemState |= ODS_FOCUS;
    item.hwndItem = hwnd_;
    item.hDC = dc;
    GetClientRect(hwnd_, &item.rcItem);
    DrawItem(item);
    EndPaint(hwnd_, &ps);
}

void CUniButton::DrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const RECT& rc = item.rcItem;
    bool disabled = (item.itemState & ODS_DISABLED) != 0;
    bool selected = (item.itemState & ODS_SELECTED) != 0;
    SelectClipRgn(dc, region_);
    if (faceMode == kRegionFaces) {
        if (facesDirty_) {
            BuildRegionFaces(dc, rc);
            facesDirty_ = false;
        }
        int state = disabled ? kDisabled : selected ? kPressed : hover_ ? kHover : kNormal;
        lastFace_[0] = '\0';
        if (HDC mem = CreateCompatibleDC(dc)) {
            HGDIOBJ old = SelectObject(mem, stateBitmaps_[state]);
            BitBlt(dc, 0, 0, rc.right - rc.left, rc.bottom - rc.top, mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteDC(mem);
        }
    } else {
        const char* suffix;
        if (disabled) {
            suffix = "DISABLE";
        } else if (selected) {
            suffix = "DOWN";
        } else if (faceMode == kResourceFaces) {
            suffix = "UP";  // no hover face of its own
        } else {
            suffix = checked ? "DOWN" : "UP";
        }
        DrawResourceFace(dc, rc, suffix);
    }
    SelectClipRgn(dc, nullptr);
}

void CUniButton::DrawResourceFace(HDC dc, const RECT& rc, const char* suffix) {
    char name[80];
    snprintf(name, sizeof(name), "%s%s", baseName_, suffix);
    snprintf(lastFace_, sizeof(lastFace_), "%s", name);
    // Faces change only with the state: keep the decoded one while it is
    // still the one asked for.
    if (strcmp(name, loadedFace_) != 0 || !picture_.IsLoaded()) {
        loadedFace_[0] = '\0';
        if (picture_.Load(name, "BMP")) snprintf(loadedFace_, sizeof(loadedFace_), "%s", name);
    }
    if (!picture_.IsLoaded()) return;  // a missing face leaves the region as it was
    CXTMemDC mem(dc, &rc);
    SIZE natural = picture_.NaturalSize(mem);
    picture_.Draw(mem, 0, 0, natural.cx, natural.cy);
}

void CUniButton::DeleteRegionFaces() {
    for (HBITMAP& b : stateBitmaps_) {
        if (b) DeleteObject(b);
        b = nullptr;
    }
}

void CUniButton::FillBevel(HDC dc, int depth, COLORREF colour) {
    // The edge strip is the region minus a copy of itself moved by the depth.
    GdiObject moved(CreateRectRgn(0, 0, 0, 0));
    GdiObject strip(CreateRectRgn(0, 0, 0, 0));
    GdiObject brush(CreateSolidBrush(colour));
    CombineRgn(static_cast<HRGN>(moved.h), region_, nullptr, RGN_COPY);
    OffsetRgn(static_cast<HRGN>(moved.h), depth, depth);
    CombineRgn(static_cast<HRGN>(strip.h), region_, static_cast<HRGN>(moved.h), RGN_DIFF);
    FillRgn(dc, static_cast<HRGN>(strip.h), static_cast<HBRUSH>(brush.h));
}

void CUniButton::DrawCaption(HDC dc, const RECT&, bool pressed, bool disabled) {
    char caption[128] = "";
    GetWindowTextA(hwnd_, caption, sizeof(caption));
    char* second = strchr(caption, '|');
    if (second) *second++ = '\0';

    HFONT parentFont = reinterpret_cast<HFONT>(SendMessageA(GetParent(hwnd_), WM_GETFONT, 0, 0));
    if (!parentFont) parentFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA lf{};
    GetObjectA(parentFont, sizeof(lf), &lf);
    // Two pixels smaller than the parent's text, whichever sign the height has.
    if (lf.lfHeight < -2) lf.lfHeight += 2;
    else if (lf.lfHeight > 2) lf.lfHeight -= 2;
    GdiObject font(CreateFontIndirectA(&lf));
    HGDIOBJ oldFont = SelectObject(dc, font.h ? font.h : parentFont);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    int th = tm.tmHeight;
    int lines = second ? (strcmp(second, "Enter") == 0 ? 3 : 2) : 1;
    int x = centre_.x + (pressed ? bevelDepth : 0);
    int y = centre_.y - lines * th / 2 + th + (pressed ? bevelDepth : 0);
    int y2 = y + (second && strcmp(second, "Enter") == 0 ? 2 * th : th);
    UINT oldAlign = SetTextAlign(dc, TA_CENTER | TA_BOTTOM);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    auto out = [&](int dx, int dy, COLORREF colour) {
        SetTextColor(dc, colour);
        TextOutA(dc, x + dx, y + dy, caption, static_cast<int>(strlen(caption)));
        if (second) TextOutA(dc, x + dx, y2 + dy, second, static_cast<int>(strlen(second)));
    };
    if (disabled) {
        out(1, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
        out(0, 0, GetSysColor(COLOR_BTNSHADOW));
    } else {
        out(0, 0, GetSysColor(COLOR_BTNTEXT));
    }
    SetBkMode(dc, oldMode);
    SetTextAlign(dc, oldAlign);
    SelectObject(dc, oldFont);
}

void CUniButton::BuildRegionFaces(HDC dc, const RECT& rc) {
    DeleteRegionFaces();  // a re-created button must not leak its old faces
    int w = rc.right - rc.left;
    int h = rc.bottom - rc.top;
    HDC mem = CreateCompatibleDC(dc);
    if (!mem) return;
    for (int state = 0; state < 4; ++state) {
        stateBitmaps_[state] = CreateCompatibleBitmap(dc, w, h);
        if (!stateBitmaps_[state]) continue;
        HGDIOBJ old = SelectObject(mem, stateBitmaps_[state]);
        {
            GdiObject brush(CreateSolidBrush(colours[state]));
            FillRgn(mem, region_, static_cast<HBRUSH>(brush.h));
        }
        bool pressed = state == kPressed;
        DrawCaption(mem, rc, pressed, state == kDisabled);
        COLORREF hi = GetSysColor(COLOR_BTNHIGHLIGHT), dk = GetSysColor(COLOR_3DDKSHADOW);
        COLORREF sh = GetSysColor(COLOR_BTNSHADOW), lt = GetSysColor(COLOR_3DLIGHT);
        if (!pressed) {
            if (bevelDepth == 2) {
                FillBevel(mem, 2, hi);
                FillBevel(mem, -2, sh);
                FillBevel(mem, 1, lt);
                FillBevel(mem, -1, dk);
            } else {
                FillBevel(mem, 1, hi);
                FillBevel(mem, -1, dk);
            }
        } else if (bevelDepth == 2) {
            FillBevel(mem, 2, dk);
            FillBevel(mem, -2, lt);
            FillBevel(mem, 1, sh);
            FillBevel(mem, -1, hi);
        } else {
            FillBevel(mem, 1, dk);
            FillBevel(mem, -1, hi);
        }
        SelectObject(mem, old);
    }
    DeleteDC(mem);
}
