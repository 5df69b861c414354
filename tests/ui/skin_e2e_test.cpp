// The skinned controls in real windows under the display: real mouse input
// through the system queue, pixel checks and screenshots of the faces.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "bench.h"
#include "ui/LevelMeters.h"
#include "ui/Picture.h"
#include "ui/SkinSlider.h"
#include "ui/UniButton.h"

namespace {

const COLORREF kPanel = RGB(44, 49, 57);
const COLORREF kLcd = RGB(28, 210, 252);
const int kOriginX = 40, kOriginY = 40;

struct ButtonSpec {
    const char* base;
    UINT id;
    int x, y, w, h;
    int mode;
    BYTE checked = 0;
    bool disabled = false;
    bool ellipse = false;
};

DWORD GdiCount() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return c;
}

// Pixel of a skin picture drawn at its natural size.
COLORREF FacePixel(const char* name, int x, int y, int w, int h) {
    CPicture pic;
    if (!pic.Load(name)) return CLR_INVALID;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    pic.Draw(mem, 0, 0, w, h);
    COLORREF c = GetPixel(mem, x, y);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return c;
}

bool Near(COLORREF a, COLORREF b, int tol = 8) {
    return abs(GetRValue(a) - GetRValue(b)) <= tol && abs(GetGValue(a) - GetGValue(b)) <= tol &&
           abs(GetBValue(a) - GetBValue(b)) <= tol;
}

// A borderless window that hosts skinned buttons, both sliders and the
// meters the way the program's faces do.
class Scene {
public:
    Scene(int w, int h, const char* face = nullptr) : w_(w), h_(h) {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA wc{};
            wc.lpfnWndProc = &Scene::Proc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
            wc.lpszClassName = "BrindleSkinScene";
            RegisterClassA(&wc);
            registered = true;
        }
        if (face) facePicture.Load(face);
        hwnd = CreateWindowExA(WS_EX_TOPMOST, "BrindleSkinScene", "skin", WS_POPUP, kOriginX,
                               kOriginY, w, h, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    }
    ~Scene() {
        buttons.clear();
        DestroyWindow(hwnd);
        bench::Pump(30);
    }

    void Show() {
        ShowWindow(hwnd, SW_SHOW);
        SetForegroundWindow(hwnd);
        UpdateWindow(hwnd);
        bench::Pump(250);
        // A display server busy with other tests may map the window later
        // than any fixed pause: wait until the screen shows what the window
        // painted in two opposite corners.
        for (int i = 0; i < 100 && !OnScreen(); ++i) bench::Pump(50);
    }

    bool OnScreen() const {
        const POINT probes[] = {{1, 1}, {w_ - 2, h_ - 2}};
        HDC own = GetDC(hwnd);
        bool shown = true;
        for (const POINT& p : probes)
            shown = shown && GetPixel(own, p.x, p.y) == ScreenPixel(kOriginX + p.x, kOriginY + p.y);
        ReleaseDC(hwnd, own);
        return shown;
    }

    CUniButton* Add(const ButtonSpec& s) {
        HRGN shape = s.ellipse ? CreateEllipticRgn(0, 0, s.w + 1, s.h + 1)
                               : CreateRectRgn(0, 0, s.w, s.h);
        auto b = std::make_unique<CUniButton>();
        b->Create(s.base, WS_CHILD | WS_VISIBLE, shape, hwnd, s.id, s.x, s.y);
        DeleteObject(shape);  // the button keeps its own copy
        b->faceMode = s.mode;
        b->checked = s.checked;
        if (s.disabled) EnableWindow(b->GetSafeHwnd(), FALSE);
        buttons.push_back(std::move(b));
        return buttons.back().get();
    }

    HDC Dc() { return GetDC(hwnd); }
    void Release(HDC dc) { ReleaseDC(hwnd, dc); }
    POINT Screen(int x, int y) const { return {kOriginX + x, kOriginY + y}; }

    HWND hwnd = nullptr;
    std::vector<std::unique_ptr<CUniButton>> buttons;
    CPicture facePicture;
    CPicture vTrack;
    CSkinSlider hslider;
    CSkinVSlider vslider;
    bool hasH = false, hasV = false, hasMeters = false;
    CLevelMeters meters;
    LevelMeterInput meterInput;
    std::map<UINT, int> clicks;
    int faceDowns = 0;
    bool dragOnFace = true;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE) {
            auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        }
        auto* self = reinterpret_cast<Scene*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self) {
            LRESULT r = 0;
            if (self->Handle(hwnd, msg, wp, lp, &r)) return r;
        }
        return DefWindowProcA(hwnd, msg, wp, lp);
    }

    void Paint(HDC target) {
        RECT all{0, 0, w_, h_};
        CXTMemDC dc(target, &all);
        if (facePicture.IsLoaded()) {
            facePicture.Draw(dc, 0, 0, w_, h_);
        } else {
            HBRUSH b = CreateSolidBrush(kPanel);
            FillRect(dc, &all, b);
            DeleteObject(b);
        }
        if (hasMeters) {
            RECT lcd{250, 26, 508, 59};
            HBRUSH b = CreateSolidBrush(kLcd);
            FillRect(dc, &lcd, b);
            DeleteObject(b);
            meters.Reset();
            meters.DrawLevelMeters(dc, meterInput);
        }
        if (hasV) {
            const RECT& t = vslider.Track();
            vTrack.Draw(dc, t.left, t.top, t.right - t.left, t.bottom - t.top);
            vslider.Draw(dc);
        }
        if (hasH) hslider.Draw(dc);
    }

    bool Handle(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* r) {
        int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
        switch (msg) {
        case WM_ERASEBKGND:
            *r = 1;
            return true;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            Paint(dc);
            EndPaint(hwnd, &ps);
            return true;
        }
        case WM_COMMAND:
            if (HIWORD(wp) == BN_CLICKED) ++clicks[LOWORD(wp)];
            return true;
        case WM_LBUTTONDOWN: {
            ++faceDowns;
            HDC dc = GetDC(hwnd);
            RECT dirty{};
            bool hit = (hasH && hslider.MouseDown(dc, x, y)) ||
                       (hasV && vslider.MouseDown(dc, x, y, &dirty));
            ReleaseDC(hwnd, dc);
            if (!IsRectEmpty(&dirty)) InvalidateRect(hwnd, &dirty, FALSE);
            // Only a press on the bare face moves the window.
            if (!hit && dragOnFace) PostMessageA(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, lp);
            return true;
        }
        case WM_MOUSEMOVE: {
            HDC dc = GetDC(hwnd);
            RECT dirty{};
            if (hasH) hslider.MouseMove(dc, &dirty, x);
            if (hasV) {
                vslider.MouseMove(dc, &dirty, y);
                if (!IsRectEmpty(&dirty)) InvalidateRect(hwnd, &dirty, FALSE);
            }
            ReleaseDC(hwnd, dc);
            return true;
        }
        case WM_LBUTTONUP: {
            HDC dc = GetDC(hwnd);
            RECT dirty{};
            if (hasH) hslider.MouseUp(dc);
            if (hasV) vslider.MouseUp(dc, &dirty);
            ReleaseDC(hwnd, dc);
            if (!IsRectEmpty(&dirty)) InvalidateRect(hwnd, &dirty, FALSE);
            return true;
        }
        case WM_CAPTURECHANGED:
            if (hasH) hslider.CaptureChanged();
            if (hasV) vslider.CaptureChanged();
            return false;
        default:
            return false;
        }
    }

    int w_, h_;
};

const ButtonSpec kWidgets[] = {
    {"IDR_BTNOK", 1032, 20, 80, 72, 24, 1, 0, false, false},
    {"IDR_BTNCANCEL", 1033, 100, 80, 72, 24, 1, 0, true, false},
    {"IDR_BTN16BIT", 1062, 180, 80, 72, 24, 2, 1, false, false},
    {"IDR_BTNMONO", 1061, 260, 80, 72, 24, 2, 0, false, false},
    {"IDR_BTNCHECKBOX", 1038, 20, 124, 17, 12, 2, 1, false, false},
    {"IDR_BTNCHECKBOX", 1073, 20, 144, 17, 12, 2, 0, false, false},
    {"IDR_BTNRADIO", 1049, 50, 120, 19, 19, 3, 1, false, false},
    {"IDR_BTNRADIO", 1170, 50, 142, 19, 19, 3, 0, false, false},
    {"Plain|faces", 1300, 90, 118, 100, 44, 0, 0, false, true},
    {"IDR_BTNRECORD", 1000, 220, 112, 60, 55, 1, 0, false, true},
    {"IDR_BTNPLAY", 1006, 290, 112, 60, 55, 3, 1, false, false},
    {"IDR_BTNSTOP", 1004, 360, 112, 60, 55, 1, 0, false, false},
    {"IDR_BTNPAUSE", 1003, 430, 112, 60, 55, 2, 0, true, false},
};

// The widget scene: every face mode, both sliders and the meters.
std::unique_ptr<Scene> Widgets() {
    auto s = std::make_unique<Scene>(580, 270);
    for (const auto& b : kWidgets) s->Add(b);
    CUniButton* plain = s->buttons[8].get();
    plain->colours[CUniButton::kNormal] = RGB(70, 80, 150);
    plain->colours[CUniButton::kPressed] = RGB(40, 40, 90);
    plain->colours[CUniButton::kHover] = RGB(220, 140, 20);
    plain->colours[CUniButton::kDisabled] = RGB(90, 90, 90);
    plain->bevelDepth = 2;
    s->hslider.Create(s->hwnd, 20, 200, 231, 230, 4, 47, "IDR_SLIDERTHRESHOLD2", "IDR_THUMB_TIME",
                      32, 221);
    s->hslider.SetThumbSize(7, 16);
    s->hslider.SetPos(24);
    s->hasH = true;
    s->vslider.Create(s->hwnd, 520, 70, 547, 201, 1, 100, "IDR_SLIDERVOLUM", "IDR_THUMB", 77, 191);
    s->vTrack.Load("IDR_SLIDERVOLUM");
    s->vslider.SetPos(60);
    s->hasV = true;
    s->hasMeters = true;
    s->meterInput.levelLeft = 20000;
    s->meterInput.levelRight = 9000;
    s->Show();
    return s;
}

}  // namespace

TEST(SkinScreens, WidgetsInEveryFaceModeWithSlidersAndMeters) {
    auto s = Widgets();
    // A few live meter steps on a window context, as the meter timer does.
    HDC dc = s->Dc();
    for (int i = 0; i < 6; ++i) s->meters.DrawLevelMeters(dc, s->meterInput);
    s->Release(dc);
    bench::Pump(100);
    std::string shot = bench::Screenshot("widgets", s->hwnd);
    EXPECT_FALSE(shot.empty());

    // A checked check box shows its DOWN face even while idle, the unchecked
    // one its UP face; the two faces really differ at the probe.
    const int px = 7, py = 6;
    COLORREF down = FacePixel("IDR_BTNCHECKBOXDOWN", px, py, 17, 12);
    COLORREF up = FacePixel("IDR_BTNCHECKBOXUP", px, py, 17, 12);
    ASSERT_FALSE(Near(down, up));
    EXPECT_TRUE(Near(down, ScreenPixel(kOriginX + 20 + px, kOriginY + 124 + py)));
    EXPECT_TRUE(Near(up, ScreenPixel(kOriginX + 20 + px, kOriginY + 144 + py)));
    EXPECT_STREQ("IDR_BTNCHECKBOXDOWN", s->buttons[4]->LastFace());
    EXPECT_STREQ("IDR_BTNCANCELDISABLE", s->buttons[1]->LastFace());
    EXPECT_STREQ("IDR_BTNPLAYDOWN", s->buttons[10]->LastFace());
    // The meters lit their segments on the readout colour.
    EXPECT_EQ(RGB(0, 153, 0), ScreenPixel(kOriginX + 257 + 1, kOriginY + 37 + 1));
}

TEST(SkinMouse, ShapedButtonTakesClicksOnlyInsideItsRegion) {
    auto s = Widgets();
    s->dragOnFace = false;
    // Record button: an ellipse in a 60 x 55 box at (220, 112).
    POINT centre = s->Screen(250, 140);
    bench::Click(centre.x, centre.y);
    EXPECT_TRUE(bench::PumpUntil([&] { return s->clicks[1000] == 1; }, 1000));

    int downs = s->faceDowns;
    POINT corner = s->Screen(222, 114);  // in the box, outside the ellipse
    bench::Click(corner.x, corner.y);
    bench::Pump(150);
    EXPECT_EQ(1, s->clicks[1000]);
    EXPECT_EQ(downs + 1, s->faceDowns) << "the corner press belongs to the face";

    bench::Click(centre.x, centre.y, true);
    EXPECT_TRUE(bench::PumpUntil([&] { return s->clicks[1000] == 3; }, 1000))
        << "a double click is two clicks, got " << s->clicks[1000];

    // A disabled button takes none.
    POINT cancel = s->Screen(136, 92);
    bench::Click(cancel.x, cancel.y);
    bench::Pump(100);
    EXPECT_EQ(0, s->clicks[1033]);
}

TEST(SkinMouse, HoverChangesTheFaceAndLeavesNoHandlesBehind) {
    auto s = Widgets();
    CUniButton* plain = s->buttons[8].get();
    POINT probe = s->Screen(90 + 12, 118 + 22);  // inside the ellipse, left of the caption
    POINT away = s->Screen(400, 245);
    bench::MouseMove(away.x, away.y);
    bench::Pump(100);
    EXPECT_TRUE(Near(RGB(70, 80, 150), ScreenPixel(probe.x, probe.y), 2));
    bench::MouseMove(probe.x, probe.y);
    EXPECT_TRUE(bench::PumpUntil([&] { return plain->IsHover(); }, 1000));
    bench::Pump(50);
    EXPECT_TRUE(Near(RGB(220, 140, 20), ScreenPixel(probe.x, probe.y), 2));
    EXPECT_TRUE(plain->IsCaptured());
    bench::MouseMove(away.x, away.y);
    EXPECT_TRUE(bench::PumpUntil([&] { return !plain->IsHover(); }, 1000));
    bench::Pump(50);
    EXPECT_FALSE(plain->IsCaptured());
    EXPECT_TRUE(Near(RGB(70, 80, 150), ScreenPixel(probe.x, probe.y), 2));

    // Capture taken away (a dialog opening from a click) clears the hover face.
    bench::MouseMove(probe.x, probe.y);
    ASSERT_TRUE(bench::PumpUntil([&] { return plain->IsHover(); }, 1000));
    SetCapture(s->hwnd);
    bench::Pump(50);
    EXPECT_FALSE(plain->IsHover());
    EXPECT_FALSE(plain->IsCaptured());
    ReleaseCapture();

    // Thousands of hover tests in and out cost no GDI objects.
    HWND b = plain->GetSafeHwnd();
    SendMessageA(b, WM_MOUSEMOVE, 0, MAKELPARAM(12, 22));
    SendMessageA(b, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    DWORD before = GdiCount();
    for (int i = 0; i < 2000; ++i) {
        SendMessageA(b, WM_MOUSEMOVE, 0, i % 2 ? MAKELPARAM(12, 22) : MAKELPARAM(1, 1));
    }
    EXPECT_EQ(before, GdiCount());
    ReleaseCapture();
}

TEST(SkinMouse, DraggingSliderThumbsGivesTheValuesTheOwnerReads) {
    auto s = Widgets();
    RECT before;
    GetWindowRect(s->hwnd, &before);
    // Horizontal: thumb centre from its spot to x 132 (step 4 from 32 -> 25).
    const RECT& t = s->hslider.Thumb();
    POINT from = s->Screen(s->hslider.ThumbCentre(), (t.top + t.bottom) / 2);
    POINT to = s->Screen(133, from.y - kOriginY + 30);  // the pointer may leave the track
    bench::Drag(from.x, from.y, to.x, to.y);
    bench::Pump(100);
    EXPECT_FALSE(s->hslider.IsCaptured());
    EXPECT_EQ(132, s->hslider.ThumbCentre());
    EXPECT_EQ(25, s->hslider.GetPos());
    // Beyond the end: the centre stays at maxX.
    from = s->Screen(s->hslider.ThumbCentre(), (t.top + t.bottom) / 2);
    bench::Drag(from.x, from.y, from.x + 300, from.y);
    bench::Pump(100);
    // Snapping keeps the centre on the step grid inside the range.
    EXPECT_EQ(220, s->hslider.ThumbCentre());
    EXPECT_EQ(47, s->hslider.GetPos());

    // Vertical: the top is the maximum.
    const RECT& vt = s->vslider.Thumb();
    from = s->Screen((vt.left + vt.right) / 2, s->vslider.ThumbCentre());
    to = s->Screen((vt.left + vt.right) / 2, 77);
    bench::Drag(from.x, from.y, to.x, to.y);
    bench::Pump(100);
    EXPECT_EQ(100, s->vslider.GetPos());

    RECT after;
    GetWindowRect(s->hwnd, &after);
    EXPECT_EQ(before.left, after.left) << "a slider drag must not move the window";
    EXPECT_EQ(before.top, after.top);
    std::string shot = bench::Screenshot("widgets-after-drag", s->hwnd);
    EXPECT_FALSE(shot.empty());

    // Losing the capture mid-drag ends the drag.
    HDC dc = s->Dc();
    EXPECT_TRUE(s->hslider.MouseDown(dc, s->hslider.ThumbCentre(), 225));
    EXPECT_TRUE(s->hslider.IsDragging());
    HWND other = s->buttons[0]->GetSafeHwnd();
    SetCapture(other);
    bench::Pump(30);
    EXPECT_FALSE(s->hslider.IsCaptured());
    s->hslider.MouseMove(dc, nullptr, 40);
    EXPECT_EQ(220, s->hslider.ThumbCentre());
    ReleaseCapture();
    s->Release(dc);
}

TEST(SkinDrawing, MemDcWithNullAreaCopiesBackOnlyTheClipBox) {
    Scene s(300, 200);
    s.Show();
    // Paint only a strip: the paint context's clip box is that strip.
    struct Painter {
        static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
            if (m == WM_PAINT) {
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(h, &ps);
                {
                    CXTMemDC mem(dc, nullptr);
                    HBRUSH red = CreateSolidBrush(RGB(220, 30, 30));
                    RECT all{0, 0, 300, 200};
                    FillRect(mem, &all, red);
                    DeleteObject(red);
                }
                EndPaint(h, &ps);
                return 0;
            }
            return DefWindowProcA(h, m, w, l);
        }
    };
    SetWindowLongPtrA(s.hwnd, GWLP_USERDATA, 0);
    SetWindowLongPtrA(s.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Painter::Proc));
    RECT strip{50, 60, 150, 100};
    InvalidateRect(s.hwnd, &strip, FALSE);
    UpdateWindow(s.hwnd);
    bench::Pump(100);
    bench::Screenshot("memdc-clipbox", s.hwnd);
    EXPECT_EQ(RGB(220, 30, 30), ScreenPixel(kOriginX + 50, kOriginY + 60));
    EXPECT_EQ(RGB(220, 30, 30), ScreenPixel(kOriginX + 149, kOriginY + 99));
    EXPECT_TRUE(Near(kPanel, ScreenPixel(kOriginX + 49, kOriginY + 80), 0));
    EXPECT_TRUE(Near(kPanel, ScreenPixel(kOriginX + 100, kOriginY + 100), 0));
    EXPECT_TRUE(Near(kPanel, ScreenPixel(kOriginX + 150, kOriginY + 70), 0));
}

namespace {

const ButtonSpec kMainButtons[] = {
    {"IDR_BTN16BIT", 1062, 26, 35, 72, 24, 2, 1}, {"IDR_BTN8BIT", 1063, 26, 63, 72, 24, 2, 0},
    {"IDR_BTNSTEREO", 1060, 26, 105, 72, 24, 2, 1}, {"IDR_BTNMONO", 1061, 26, 132, 72, 24, 2, 0},
    {"IDR_BTNSETTING", 1165, 119, 252, 72, 24, 1}, {"IDR_BTNMP3SET", 1046, 386, 308, 72, 24, 1},
    {"IDR_BTNWMASET", 1172, 469, 308, 72, 24, 1}, {"IDR_BTNSETTING", 1047, 386, 251, 72, 24, 1},
    {"IDR_BTNSETTING", 1048, 386, 280, 72, 24, 1},
    {"IDR_BTNTRACKSTART", 1050, 469, 251, 72, 24, 2, 0},
    {"IDR_BTNSCHEDULESTART", 1051, 469, 280, 72, 24, 2, 0},
    {"IDR_BTNSETTING", 1118, 42, 322, 72, 24, 1}, {"IDR_BTNAPPLY", 1166, 207, 252, 72, 24, 2, 1},
    {"IDR_BTNCHECKBOX", 1038, 26, 207, 17, 12, 2, 1},
    {"IDR_BTNCHECKBOX", 1073, 26, 226, 17, 12, 2, 0},
    {"IDR_BTNCHECKBOX", 1113, 26, 188, 17, 12, 2, 0},
    {"IDR_BTNCHECKBOX", 1114, 148, 308, 17, 12, 2, 1},
    {"IDR_BTNCHECKBOX", 1115, 148, 327, 17, 12, 2, 0},
    {"IDR_BTNCHECKBOX", 1116, 148, 346, 17, 12, 2, 0},
    {"IDR_BTNRADIO", 1049, 422, 342, 19, 19, 3, 0}, {"IDR_BTNRADIO", 1170, 354, 342, 19, 19, 3, 1},
    {"IDR_BTNRADIO", 1171, 489, 342, 19, 19, 3, 0},
    {"IDR_BTNSTOP", 1004, 253, 187, 60, 55, 1}, {"IDR_BTNPAUSE", 1003, 313, 187, 60, 55, 2},
    {"IDR_BTNPLAY", 1006, 373, 187, 60, 55, 3}, {"IDR_BTNRECORD", 1000, 433, 187, 60, 55, 3, 1},
    {"IDR_BTNEJECT", 1005, 493, 187, 60, 55, 1}, {"IDR_BTNDETECT", 1008, 571, 30, 22, 330, 1},
    {"IDR_BTNSYSMIN", 1013, 504, 2, 23, 24, 1}, {"IDR_BTNSYSCLOSE", 1014, 531, 1, 23, 24, 1},
    {"IDR_BTNSYSHELP", 1056, 447, 4, 23, 24, 1}, {"IDR_BTNSYSTRAY", 1094, 476, 4, 23, 24, 1},
    {"IDR_BTNARCHIVE", 1137, 239, 373, 101, 20, 1},
};

}  // namespace

TEST(SkinScreens, MainFaceAndSettingsDialogWithTheirButtons) {
    {
        Scene s(592, 392, "IDR_FACE1");
        ASSERT_TRUE(s.facePicture.IsLoaded());
        for (const auto& b : kMainButtons) s.Add(b);
        // Outline of the plain face; the window gets a copy.
        const POINT outline[] = {{8, 0},     {573, 0},   {584, 9},   {588, 17},  {588, 38},
                                 {592, 44},  {592, 344}, {588, 352}, {588, 376}, {584, 383},
                                 {579, 388}, {573, 392}, {8, 392},   {5, 390},   {2, 387},
                                 {0, 382},   {0, 10},    {2, 5},     {5, 2}};
        SetWindowRgn(s.hwnd, CreatePolygonRgn(outline, 19, WINDING), FALSE);
        s.hslider.Create(s.hwnd, 252, 162, 552, 180, 1, 65535, "IDR_SLIDERPLAY", "IDR_THUMBPLAY",
                         260, 543);
        s.hslider.SetThumbSize(17, 18);
        s.hslider.SetPos(21000);
        s.hasH = true;
        s.vslider.Create(s.hwnd, 200, 29, 227, 160, 1, 65535, "IDR_SLIDERVOLUM", "IDR_THUMB", 36,
                         150);
        s.vslider.SetPos(45000);
        s.hasV = true;
        s.hasMeters = true;
        s.meterInput.levelLeft = 16000;
        s.meterInput.levelRight = 7000;
        s.meterInput.signalTriggered = true;  // the threshold box under the face's slider strip
        s.meterInput.signalLevelIndex = 30;
        s.Show();
        // The rate selector face and thumb for 44.1 kHz, the readout lines.
        HDC dc = s.Dc();
        CPicture rate, thumb;
        rate.Load("IDR_F44k");
        thumb.Load("IDR_THUMB");
        rate.Draw(dc, 123, 29, 27, 131);
        thumb.Draw(dc, 129, 36 + 14 * 7 - 8, 14, 16);
        HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
        SetBkMode(dc, TRANSPARENT);
        TextOutA(dc, 260, 70, "Output   File : C:\\Velorin.wav", 30);
        TextOutA(dc, 260, 84, "Background File :", 17);
        TextOutA(dc, 260, 124, "Ready to record", 15);
        TextOutA(dc, 24, 164, "12:34:56", 8);
        SelectObject(dc, oldFont);
        for (int i = 0; i < 4; ++i) s.meters.DrawLevelMeters(dc, s.meterInput);
        s.Release(dc);
        bench::Pump(100);
        EXPECT_FALSE(bench::Screenshot("main-face", s.hwnd).empty());
        EXPECT_STREQ("IDR_BTNRECORDDOWN", s.buttons[25]->LastFace());
    }
    {
        Scene s(485, 332, "IDR_MP3FACE");
        ASSERT_TRUE(s.facePicture.IsLoaded());
        const ButtonSpec dialogButtons[] = {
            {"IDR_BTNOK", 1032, 271, 296, 72, 24, 1}, {"IDR_BTNCANCEL", 1033, 381, 296, 72, 24, 1},
            {"IDR_BTNCHECKBOX", 1145, 57, 102, 17, 12, 2, 1},
            {"IDR_BTNCHECKBOX", 1146, 173, 102, 17, 12, 2, 0},
            {"IDR_BTNCHECKBOX", 1147, 263, 102, 17, 12, 2, 0},
            {"IDR_BTNCHECKBOX", 1148, 361, 102, 17, 12, 2, 0},
            {"IDR_BTNCHECKBOX", 1149, 57, 131, 17, 12, 2, 1}};
        for (const auto& b : dialogButtons) s.Add(b);
        s.Show();
        EXPECT_FALSE(bench::Screenshot("mp3-dialog-face", s.hwnd).empty());
    }
    {
        Scene s(578, 388, "IDR_NOISEGATINGFACE");
        s.Add({"IDR_BTNOK", 1032, 326, 336, 72, 24, 1});
        s.Add({"IDR_BTNCANCEL", 1033, 464, 336, 72, 24, 1});
        s.hslider.Create(s.hwnd, 48, 72, 259, 102, 4, 47, "IDR_SLIDERTHRESHOLD2", "IDR_THUMB_TIME",
                         60, 249);
        s.hslider.SetThumbSize(7, 16);
        s.hslider.SetPos(30);
        s.hasH = true;
        s.Show();
        EXPECT_FALSE(bench::Screenshot("noise-dialog-face", s.hwnd).empty());
    }
}

TEST(SkinMouse, ButtonsGiveBackEveryHandleWhenDestroyed) {
    auto cycle = [] {
        Scene s(580, 270);
        for (const auto& b : kWidgets) s.Add(b);
        s.Show();
        for (auto& b : s.buttons) {
            SendMessageA(b->GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
            b->Redraw();
        }
        ReleaseCapture();
        // Destroying the window first, then the button objects, is the
        // order a closing dialog uses.
        DestroyWindow(s.hwnd);
        bench::Pump(30);
    };
    cycle();  // first use fills caches of the system's own
    DWORD before = GdiCount();
    for (int i = 0; i < 5; ++i) cycle();
    EXPECT_EQ(before, GdiCount());
}

TEST(SkinScreens, MainFaceWithBothExtensionsAndTheIcon) {
    Scene s(949, 608, "IDR_FACE1");
    // Face, audio-line box and history panel each drawn into their places.
    const POINT outline[] = {{8, 0},     {573, 0},   {584, 9},   {588, 17},  {588, 30},
                             {949, 30},  {949, 363}, {586, 363}, {586, 374}, {584, 566},
                             {586, 568}, {586, 591}, {583, 598}, {577, 603}, {573, 607},
                             {8, 607},   {5, 605},   {2, 602},   {0, 597},   {0, 588},
                             {2, 588},   {2, 372},   {0, 372},   {0, 10},    {2, 5},
                             {5, 2}};
    SetWindowRgn(s.hwnd, CreatePolygonRgn(outline, 26, WINDING), FALSE);
    s.facePicture.Unload();
    s.Show();
    HDC dc = s.Dc();
    {
        RECT all{0, 0, 949, 608};
        CXTMemDC mem(dc, &all);
        CPicture face, box, log, row, rowSel, mic, marker;
        ASSERT_TRUE(face.Load("IDR_FACE1"));
        ASSERT_TRUE(box.Load("IDR_AUDIOLINE"));
        ASSERT_TRUE(log.Load("IDR_LOGFACE"));
        row.Load("IDR_BTNSOCKETUP");
        rowSel.Load("IDR_BTNSOCKETDISABLE");
        mic.Load("IDR_BTNMICUP");
        marker.Load("IDR_CHECKBOXUNCHECKED");
        face.Draw(mem, 0, 0, 592, 392);
        box.Draw(mem, 571, 30, 378, 333);
        log.Draw(mem, 0, 374, 588, 234);
        for (int i = 0; i < 4; ++i) {
            (i == 1 ? rowSel : row).Draw(mem, 680, 92 + 23 * i, 45, 22);
            marker.Draw(mem, 888, 98 + 23 * i, 12, 12);
        }
        mic.Draw(mem, 781, 324, 59, 20);
        HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128));
        ASSERT_NE(nullptr, icon);
        DrawIconEx(mem, 20, 440, icon, 32, 32, 0, nullptr, DI_NORMAL);
        DrawIconEx(mem, 60, 448, icon, 16, 16, 0, nullptr, DI_NORMAL);
    }
    s.Release(dc);
    bench::Pump(100);
    EXPECT_FALSE(bench::Screenshot("main-face-open", s.hwnd).empty());
}
