// Pure logic and off-screen drawing of the skinned controls: slider value
// mapping, snapping and clamps, meter levels and the falling peak, pictures
// and the off-screen context, GDI handle counts.
#include <gtest/gtest.h>

#include <vector>

#include "ui/LevelMeters.h"
#include "ui/Picture.h"
#include "ui/SkinSlider.h"

namespace {

// A 32-bit top-down DIB section selected into a memory DC: pixels readable
// without GetPixel round trips.
struct Surface {
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
    int w, h;
    Surface(int width, int height, COLORREF fill = RGB(255, 255, 255)) : w(width), h(height) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        dc = CreateCompatibleDC(nullptr);
        bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        old = SelectObject(dc, bmp);
        Fill(0, 0, w, h, fill);
    }
    ~Surface() {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    void Fill(int x, int y, int fw, int fh, COLORREF c) {
        HBRUSH b = CreateSolidBrush(c);
        RECT r{x, y, x + fw, y + fh};
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
    COLORREF At(int x, int y) const {
        GdiFlush();
        uint32_t p = bits[y * w + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

// A 24-bit bottom-up BMP file in memory with four coloured quadrants.
std::vector<BYTE> QuadrantBmp(int w, int h, COLORREF tl, COLORREF tr, COLORREF bl, COLORREF br) {
    int row = (w * 3 + 3) & ~3;
    std::vector<BYTE> file(54 + row * h);
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfSize = static_cast<DWORD>(file.size());
    fh.bfOffBits = 54;
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof(ih);
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    memcpy(file.data(), &fh, sizeof(fh));
    memcpy(file.data() + 14, &ih, sizeof(ih));
    for (int y = 0; y < h; ++y) {
        int top = h - 1 - y;  // bottom-up rows
        for (int x = 0; x < w; ++x) {
            COLORREF c = top < h / 2 ? (x < w / 2 ? tl : tr) : (x < w / 2 ? bl : br);
            BYTE* p = file.data() + 54 + y * row + x * 3;
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    }
    return file;
}

DWORD GdiCount() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

}  // namespace

TEST(SliderMath, ValueToPositionAndBackTables) {
    // minX 10, maxX 110, maximum 100: value 50 puts the thumb centre at 60.
    CSkinSlider s;
    s.Create(nullptr, 0, 0, 120, 20, 1, 100, "", "", 10, 110);
    s.SetPos(50);
    EXPECT_EQ(57, s.Thumb().left);
    EXPECT_EQ(50, s.GetPos());

    struct Case { int maximum, range; } cases[] = {
        {100, 100}, {47, 188}, {23, 160}, {59, 176}, {25, 201}, {8, 114}, {100, 53},
        {65535, 113}, {10000, 201}, {1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "maximum " << c.maximum << " range " << c.range);
        if (c.range >= c.maximum) {
            for (int v = 0; v <= c.maximum; ++v) {
                ASSERT_EQ(v, slider_math::ValueAt(slider_math::OffsetOf(v, c.maximum, c.range),
                                                  c.maximum, c.range));
            }
        } else {
            // Fewer pixels than values: every pixel must map back onto itself.
            for (int p = 0; p <= c.range; ++p) {
                ASSERT_EQ(p, slider_math::OffsetOf(slider_math::ValueAt(p, c.maximum, c.range),
                                                   c.maximum, c.range));
            }
        }
    }
}

TEST(SliderMath, DegenerateAndOutOfRangeValuesAreClamped) {
    EXPECT_EQ(0, slider_math::OffsetOf(5, 0, 100));   // maximum 0
    EXPECT_EQ(0, slider_math::ValueAt(5, 100, 0));    // minX == maxX
    EXPECT_EQ(0, slider_math::OffsetOf(-5, 100, 100));
    EXPECT_EQ(100, slider_math::OffsetOf(200, 100, 100));
    EXPECT_EQ(100, slider_math::ValueAt(250, 100, 100));
    EXPECT_EQ(0, slider_math::ValueAt(-20, 100, 100));

    CSkinSlider h;
    h.Create(nullptr, 0, 0, 60, 20, 1, 0, "", "", 20, 20);
    h.SetPos(7);
    EXPECT_EQ(20, h.ThumbCentre());
    EXPECT_EQ(0, h.GetPos());
    h.Create(nullptr, 0, 0, 120, 20, 1, 100, "", "", 10, 110);
    h.SetPos(-5);
    EXPECT_EQ(10, h.ThumbCentre());
    h.SetPos(200);
    EXPECT_EQ(110, h.ThumbCentre());
    EXPECT_EQ(100, h.GetPos());
}

TEST(SliderMath, SnappingStaysInsideTheRange) {
    struct Case { int centre, lo, hi, step, want; } cases[] = {
        {15, 0, 200, 10, 10}, {16, 0, 200, 10, 20}, {96, 0, 96, 10, 96},
        {94, 0, 96, 10, 90}, {5, 10, 100, 4, 10}, {50, 0, 100, 1, 50}, {53, 3, 100, 7, 52}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.want, slider_math::Snap(c.centre, c.lo, c.hi, c.step))
            << c.centre << " step " << c.step;
    }
}

TEST(SkinVSlider, DirectionFollowsStep) {
    // Step below 2: 0 at the bottom, maximum at the top; step 2+: reversed.
    CSkinVSlider up, down;
    up.Create(nullptr, 123, 29, 150, 160, 1, 100, "", "", 36, 136);
    down.Create(nullptr, 123, 29, 150, 160, 14, 8, "", "", 36, 148);
    up.SetPos(0);
    EXPECT_EQ(136, up.ThumbCentre());
    up.SetPos(100);
    EXPECT_EQ(36, up.ThumbCentre());
    down.SetPos(0);
    EXPECT_EQ(36, down.ThumbCentre());
    down.SetPos(8);
    EXPECT_EQ(148, down.ThumbCentre());
    for (int v = 0; v <= 8; ++v) {
        down.SetPos(v);
        EXPECT_EQ(36 + 14 * v, down.ThumbCentre());
        EXPECT_EQ(v, down.GetPos());
    }
    down.SetThumbSize(17, 18);
    EXPECT_EQ(17, down.Thumb().right - down.Thumb().left);
    EXPECT_EQ(18, down.Thumb().bottom - down.Thumb().top);
}

TEST(LevelMeters, LevelIndexEdges) {
    struct Case { int32_t a; bool bits16; int want; } cases[] = {
        {29204, true, 0}, {29203, true, 1}, {131, true, 47}, {130, true, 48}, {0, true, 48},
        {-29204, true, 0}, {32767, true, 0}, {127, false, 0}, {113, false, 1}, {0, false, 48},
        {1, false, 42}, {2, false, 36}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.want, MeterLevelIndex(c.a, c.bits16)) << c.a << (c.bits16 ? " 16" : " 8");
    }
}

namespace {
int LitSegments(const Surface& s, int x, int y) {
    int lit = 0;
    for (int k = 0; k < 48; ++k) {
        COLORREF c = s.At(x + 3 * k + 1, y + 1);
        if (c != RGB(0, 0, 0) && c != RGB(156, 0, 0)) ++lit;
    }
    return lit;
}
}  // namespace

TEST(LevelMeters, PeakFallsOneSegmentPerStepAndFirstDrawPaintsBackground) {
    Surface s(600, 200, RGB(1, 2, 3));
    CLevelMeters m;
    LevelMeterInput in;
    in.bits16 = true;
    // First draw at silence still paints the whole meter.
    m.DrawLevelMeters(s.dc, in);
    EXPECT_EQ(RGB(102, 102, 102), s.At(257, 37));
    EXPECT_EQ(RGB(102, 102, 102), s.At(257 + 144, 37 + 6));
    EXPECT_EQ(0, LitSegments(s, 257, 37));
    EXPECT_EQ(RGB(156, 0, 0), s.At(257 + 3 * 47 + 1, 38));

    in.levelLeft = in.levelRight = 32767;
    m.DrawLevelMeters(s.dc, in);
    EXPECT_EQ(48, LitSegments(s, 257, 37));
    EXPECT_EQ(48, LitSegments(s, 257, 46));
    in.levelLeft = in.levelRight = 0;
    for (int step = 1; step <= 48; ++step) {
        m.DrawLevelMeters(s.dc, in);
        ASSERT_EQ(48 - step, LitSegments(s, 257, 37)) << "step " << step;
    }
    // The top three unlit segments fall back to red, not black.
    EXPECT_EQ(RGB(156, 0, 0), s.At(257 + 3 * 46 + 1, 38));
    EXPECT_EQ(0, m.maxLeft());

    // A new start forgets the held peak and the loudest level.
    m.Reset();
    EXPECT_EQ(49, m.lastLeft());
    EXPECT_EQ(48, m.peakLeft());
    EXPECT_EQ(48, m.maxLeft());
}

// An unchanged meter step paints nothing (the meters tick twenty times a
// second whether or not the sound changed); a changed level, a falling peak
// and a repainted face still reach the screen.
TEST(LevelMeters, OnlyChangedStepsPaint) {
    Surface s(600, 200);
    CLevelMeters m;
    LevelMeterInput in;
    in.bits16 = true;
    in.levelLeft = in.levelRight = 3000;  // a steady mid level
    m.DrawLevelMeters(s.dc, in);
    const int lit = LitSegments(s, 257, 37);
    ASSERT_GT(lit, 0);
    ASSERT_LT(lit, 48);
    const COLORREF mark = RGB(1, 2, 3);
    auto scribble = [&] {
        s.Fill(256, 36, 150, 20, mark);
        s.Fill(CLevelMeters::kLabelBox.left, CLevelMeters::kLabelBox.top, 10, 10, mark);
    };
    scribble();
    m.DrawLevelMeters(s.dc, in);
    EXPECT_EQ(mark, s.At(257, 37)) << "a steady level repainted the meter";
    EXPECT_EQ(mark, s.At(CLevelMeters::kLabelBox.left + 2, CLevelMeters::kLabelBox.top + 2));

    // The face painted over it: the next step draws all of it again.
    m.Invalidate();
    m.DrawLevelMeters(s.dc, in);
    EXPECT_EQ(lit, LitSegments(s, 257, 37));
    EXPECT_NE(mark, s.At(CLevelMeters::kLabelBox.left + 2, CLevelMeters::kLabelBox.top + 2));

    // Quieter: the held peak falls a segment a step, then holds still.
    in.levelLeft = in.levelRight = 300;
    const int target = 48 - MeterLevelIndex(300, true);
    int steps = 0;
    while (LitSegments(s, 257, 37) > target && steps < 60) {
        m.DrawLevelMeters(s.dc, in);
        ++steps;
    }
    EXPECT_EQ(lit - target, steps);
    m.DrawLevelMeters(s.dc, in);  // the step that meets the level
    scribble();
    m.DrawLevelMeters(s.dc, in);
    EXPECT_EQ(mark, s.At(257, 37));

    // The threshold readout follows its slider even at a steady level.
    in.signalTriggered = true;
    in.signalLevelIndex = 10;
    m.DrawLevelMeters(s.dc, in);
    EXPECT_NE(mark, s.At(CLevelMeters::kLabelBox.left + 2, CLevelMeters::kLabelBox.top + 2));
}

TEST(LevelMeters, BarDisplaySurvivesMissingAndShortBlocks) {
    Surface s(600, 200);
    CLevelMeters m;
    LevelMeterInput in;
    in.barDisplay = true;
    in.signalActive = true;
    std::vector<BYTE> shortBlock(100, 0x7F);
    std::vector<BYTE> loud(4000);
    for (size_t i = 0; i + 1 < loud.size(); i += 2) {
        loud[i] = 0xFF;
        loud[i + 1] = 0x7F;
    }
    struct Case { const BYTE* block; size_t bytes; bool bits16; } cases[] = {
        {nullptr, 0, true}, {shortBlock.data(), shortBlock.size(), true},
        {shortBlock.data(), shortBlock.size(), false}, {loud.data(), loud.size(), true}};
    for (const auto& c : cases) {
        in.block = c.block;
        in.blockBytes = c.bytes;
        in.bits16 = c.bits16;
        for (int i = 0; i < 45; ++i) m.DrawLevelMeters(s.dc, in);
    }
    // A loud block lights all 16 lines of a bar, in the palette's colours.
    EXPECT_EQ(RGB(204, 25, 0), s.At(256, 52));
    EXPECT_EQ(RGB(0, 127, 0), s.At(256, 37));
}

TEST(LevelMeters, TenThousandRepaintsKeepTheGdiCount) {
    Surface s(600, 200);
    CLevelMeters m;
    LevelMeterInput in;
    in.signalTriggered = true;
    in.signalLevelIndex = 20;
    for (int i = 0; i < 50; ++i) m.DrawLevelMeters(s.dc, in);  // warm up stock objects
    DWORD before = GdiCount();
    for (int i = 0; i < 10000; ++i) {
        in.levelLeft = (i * 977) % 32768;
        in.levelRight = (i * 331) % 32768;
        in.barDisplay = (i / 2500) % 2 == 1;
        m.DrawLevelMeters(s.dc, in);
    }
    EXPECT_EQ(before, GdiCount());
}

TEST(Picture, DrawsUprightAndStretched) {
    auto bmp = QuadrantBmp(8, 8, RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0));
    CPicture pic;
    ASSERT_TRUE(pic.LoadFromMemory(bmp.data(), static_cast<DWORD>(bmp.size())));
    Surface s(64, 64, RGB(9, 9, 9));
    ASSERT_TRUE(pic.Draw(s.dc, 0, 0, 64, 64));
    EXPECT_EQ(RGB(255, 0, 0), s.At(1, 1));
    EXPECT_EQ(RGB(0, 255, 0), s.At(62, 1));
    EXPECT_EQ(RGB(0, 0, 255), s.At(1, 62));
    EXPECT_EQ(RGB(255, 255, 0), s.At(62, 62));

    // Garbage and empty input leave it empty; an empty picture draws nothing.
    BYTE junk[64] = {1, 2, 3};
    EXPECT_FALSE(pic.LoadFromMemory(junk, sizeof(junk)));
    EXPECT_FALSE(pic.IsLoaded());
    EXPECT_FALSE(pic.LoadFromMemory(nullptr, 0));
    EXPECT_FALSE(pic.Draw(s.dc, 0, 0, 64, 64));
}

TEST(Picture, LoadsSkinResourcesByName) {
    CPicture pic;
    // Names are found whatever their case (the rate faces end in a lower-case k).
    EXPECT_TRUE(pic.Load("IDR_F8k", "BMP"));
    EXPECT_TRUE(pic.Load("IDR_BTNOKUP"));
    Surface s(72, 24);
    SIZE n = pic.NaturalSize(s.dc);
    EXPECT_EQ(72, n.cx);
    EXPECT_EQ(24, n.cy);
    // Loading again lets go of the picture held before.
    IPicture* first = pic.Get();
    first->AddRef();
    EXPECT_TRUE(pic.Load("IDR_BTNOKDOWN"));
    EXPECT_EQ(0u, first->Release());
    EXPECT_FALSE(pic.Load("IDR_NOSUCHFACE"));
    EXPECT_FALSE(pic.IsLoaded());

    DWORD size = 0;
    EXPECT_TRUE(LoadResourceBytes("IDSOUND_LINE1", "SOUND", nullptr, &size));
    EXPECT_GT(size, 11025u * 2);
    std::vector<BYTE> small(16);
    DWORD smallSize = 16;
    EXPECT_FALSE(LoadResourceBytes("IDSOUND_LINE1", "SOUND", small.data(), &smallSize));
    std::vector<BYTE> all(size);
    EXPECT_TRUE(LoadResourceBytes("IDSOUND_LINE1", "SOUND", all.data(), &size));
    EXPECT_EQ(0, memcmp(all.data(), "RIFF", 4));
}

TEST(XTMemDC, CopiesBackOnlyOnDestructionAndNeverWithNoCopy) {
    Surface s(100, 100, RGB(255, 255, 255));
    RECT area{10, 10, 50, 50};
    {
        CXTMemDC mem(s.dc, &area);
        ASSERT_TRUE(mem.IsMemDC());
        HBRUSH b = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(mem, &area, b);
        DeleteObject(b);
        mem.noCopy = true;
    }
    EXPECT_EQ(RGB(255, 255, 255), s.At(20, 20));
    {
        CXTMemDC mem(s.dc, &area);
        HBRUSH b = CreateSolidBrush(RGB(0, 0, 255));
        RECT all{0, 0, 100, 100};
        FillRect(mem, &all, b);  // outside the area: never reaches the target
        DeleteObject(b);
        EXPECT_EQ(RGB(255, 255, 255), s.At(20, 20));  // nothing before destruction
    }
    EXPECT_EQ(RGB(0, 0, 255), s.At(10, 10));
    EXPECT_EQ(RGB(0, 0, 255), s.At(49, 49));
    EXPECT_EQ(RGB(255, 255, 255), s.At(9, 9));
    EXPECT_EQ(RGB(255, 255, 255), s.At(50, 50));

    // Null clip box (everything clipped away) and empty areas draw nothing
    // and crash nothing.
    HRGN none = CreateRectRgn(0, 0, 0, 0);
    SelectClipRgn(s.dc, none);
    DeleteObject(none);
    {
        CXTMemDC mem(s.dc, nullptr);
        EXPECT_FALSE(mem.IsMemDC());
    }
    SelectClipRgn(s.dc, nullptr);
    RECT empty{30, 30, 30, 60};
    {
        CXTMemDC mem(s.dc, &empty);
        EXPECT_FALSE(mem.IsMemDC());
        EXPECT_EQ(s.dc, mem.GetSafeHdc());
    }
}

TEST(XTMemDC, NullAreaCoversTheClipBoxOnly) {
    Surface s(100, 100, RGB(255, 255, 255));
    HRGN clip = CreateRectRgn(20, 30, 60, 70);
    SelectClipRgn(s.dc, clip);
    DeleteObject(clip);
    DWORD before = GdiCount();
    {
        CXTMemDC mem(s.dc, nullptr);
        EXPECT_EQ(20, mem.Area().left);
        EXPECT_EQ(70, mem.Area().bottom);
        HBRUSH b = CreateSolidBrush(RGB(0, 128, 0));
        RECT all{0, 0, 100, 100};
        FillRect(mem, &all, b);
        DeleteObject(b);
    }
    SelectClipRgn(s.dc, nullptr);
    EXPECT_EQ(before, GdiCount());
    EXPECT_EQ(RGB(0, 128, 0), s.At(20, 30));
    EXPECT_EQ(RGB(0, 128, 0), s.At(59, 69));
    EXPECT_EQ(RGB(255, 255, 255), s.At(19, 30));
    EXPECT_EQ(RGB(255, 255, 255), s.At(60, 50));
    EXPECT_EQ(RGB(255, 255, 255), s.At(40, 70));
}
