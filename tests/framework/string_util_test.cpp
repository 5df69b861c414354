// CString, the bounded-copy helpers, the handle and registry owners, the
// GDI owners and the item texts of list controls: the faults each of them
// exists to prevent.
#include <gtest/gtest.h>

#include <string>

#include "framework/Framework.h"
#include "framework/GetProc.h"
#include "framework/Handles.h"
#include "framework/RegKey.h"
#include "framework/SafeString.h"

namespace {

TEST(CStringFormat, ResultIsCompleteWhateverTheLength) {
    const std::string longText(100000, 'x');
    struct Case {
        const char* name;
        size_t expectLength;
        void (*run)(CString&, const std::string&);
    };
    const Case cases[] = {
        {"short", 5, [](CString& s, const std::string&) { s.Format("%d-%s", 12, "ab"); }},
        {"exactly the first buffer", 511,
         [](CString& s, const std::string&) { s.Format("%s", std::string(511, 'a').c_str()); }},
        {"one past the first buffer", 512,
         [](CString& s, const std::string&) { s.Format("%s", std::string(512, 'a').c_str()); }},
        {"100000 characters through %s", 100000 + 2,
         [](CString& s, const std::string& t) { s.Format("[%s]", t.c_str()); }},
        {"many arguments", 20 * 11,
         [](CString& s, const std::string&) {
             s.Format("%10d|%10d|%10d|%10d|%10d|%10d|%10d|%10d|%10d|%10d|"
                      "%10d|%10d|%10d|%10d|%10d|%10d|%10d|%10d|%10d|%10d|",
                      1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20);
         }},
        {"width larger than any buffer", 4000, [](CString& s, const std::string&) { s.Format("%4000s", "z"); }},
    };
    for (const Case& c : cases) {
        CString s("previous text");
        c.run(s, longText);
        EXPECT_EQ(static_cast<size_t>(s.GetLength()), c.expectLength) << c.name;
        EXPECT_EQ(strlen(s.GetString()), c.expectLength) << c.name;
    }
    CString many;
    many.Format("%s%s%s%s", longText.c_str(), longText.c_str(), longText.c_str(), "end");
    EXPECT_EQ(many.GetLength(), 300003);
    EXPECT_EQ(many.Right(3), "end");
}

TEST(CStringFormat, OwnTextAsArgumentAndAppend) {
    CString s("abc");
    s.Format("<%s|%s>", s.GetString(), s.GetString());
    EXPECT_EQ(s, "<abc|abc>");
    s.AppendFormat("%s", std::string(1000, 'q').c_str());
    EXPECT_EQ(s.GetLength(), 9 + 1000);
    s = s.GetString() + 1;  // assignment from its own interior
    EXPECT_EQ(s.Left(4), "abc|");
    s += s.GetString();
    EXPECT_EQ(s.GetLength(), 2 * (8 + 1000));
}

TEST(CString, SubstringsSearchesAndEditsStayInRange) {
    const CString s("C:\\Music\\Velorin.wav");
    EXPECT_EQ(s.Left(2), "C:");
    EXPECT_EQ(s.Left(-4), "");
    EXPECT_EQ(s.Left(999), s);
    EXPECT_EQ(s.Right(4), ".wav");
    EXPECT_EQ(s.Right(999), s);
    EXPECT_EQ(s.Right(-1), "");
    EXPECT_EQ(s.Mid(3, 5), "Music");
    EXPECT_EQ(s.Mid(-3, 2), "C:");
    EXPECT_EQ(s.Mid(18), "av");
    EXPECT_EQ(s.Mid(50), "");
    EXPECT_EQ(s.Mid(10, -1), "");
    EXPECT_EQ(s.Find('\\'), 2);
    EXPECT_EQ(s.Find('\\', 3), 8);
    EXPECT_EQ(s.Find('\\', 99), -1);
    EXPECT_EQ(s.Find('\\', -1), -1);
    EXPECT_EQ(s.Find(".wav"), 16);
    EXPECT_EQ(s.Find("", 20), 20);
    EXPECT_EQ(s.Find(nullptr), -1);
    EXPECT_EQ(s.ReverseFind('\\'), 8);
    EXPECT_EQ(s.ReverseFind('#'), -1);
    EXPECT_EQ(s.GetAt(-1), '\0');
    EXPECT_EQ(s.GetAt(100), '\0');

    CString t("  \t padded \r\n");
    EXPECT_EQ(CString(t).Trim(), "padded");
    EXPECT_EQ(CString(t).TrimLeft(), "padded \r\n");
    EXPECT_EQ(CString(t).TrimRight(), "  \t padded");
    EXPECT_EQ(CString("xxaxx").Trim('x'), "a");
    EXPECT_EQ(CString("-=a=-").Trim("-="), "a");
    EXPECT_EQ(CString("   ").Trim(), "");

    CString r("a--b--c");
    EXPECT_EQ(r.Replace("--", "-"), 2);
    EXPECT_EQ(r, "a-b-c");
    EXPECT_EQ(r.Replace("", "x"), 0);
    EXPECT_EQ(r.Replace('-', '+'), 2);
    EXPECT_EQ(r.Remove('+'), 2);
    EXPECT_EQ(r, "abc");
    EXPECT_EQ(r.Insert(99, "d"), 4);
    EXPECT_EQ(r.Insert(-5, '_'), 5);
    EXPECT_EQ(r, "_abcd");
    EXPECT_EQ(r.Delete(3, 100), 3);
    EXPECT_EQ(r.Delete(-1, 1), 3);
    EXPECT_EQ(r, "_ab");

    CString u("MiXeD 123");
    EXPECT_EQ(CString(u).MakeUpper(), "MIXED 123");
    EXPECT_EQ(CString(u).MakeLower(), "mixed 123");
}

TEST(CString, ComparisonAndConcatenation) {
    CString a("apple"), b("Apple");
    EXPECT_TRUE(a != b);
    EXPECT_EQ(a.CompareNoCase("APPLE"), 0);
    EXPECT_LT(b.Compare("apple"), 0);
    EXPECT_TRUE(b < a);
    EXPECT_TRUE(a == "apple");
    EXPECT_TRUE("apple" == a);
    EXPECT_EQ(a.Compare(nullptr), 1);
    EXPECT_EQ(CString(static_cast<const char*>(nullptr)), "");
    EXPECT_EQ(a + '-' + b + "!", "apple-Apple!");
    EXPECT_EQ('<' + a, "<apple");
    EXPECT_EQ(CString('=', 3), "===");
    EXPECT_EQ(CString("abcdef", 3), "abc");
    EXPECT_EQ(CString("ab", 10), "ab");  // never reads past the terminator
}

TEST(CString, BufferForApisThatFillCharArrays) {
    CString s("keep");
    char* buf = s.GetBuffer(64);
    EXPECT_STREQ(buf, "keep");  // the old text is still there
    strcpy(buf, "written by an API");
    s.ReleaseBuffer();
    EXPECT_EQ(s, "written by an API");
    EXPECT_EQ(s.GetLength(), 17);

    buf = s.GetBuffer(10);
    buf[3] = '\0';
    s.ReleaseBuffer();
    EXPECT_EQ(s, "wri");

    buf = s.GetBufferSetLength(5);
    memcpy(buf, "12345", 5);
    s.ReleaseBuffer(2);
    EXPECT_EQ(s, "12");
    s.ReleaseBuffer(50);  // longer than the buffer: clamped
    EXPECT_EQ(s, "12");
}

TEST(SafeString, CopiesAreBoundedByTheDestination) {
    struct Case {
        const char* src;
        const char* expect;
        bool fits;
    };
    const Case cases[] = {
        {"", "", true},
        {"1234567", "1234567", true},
        {"12345678", "1234567", false},
        {"a much longer text than eight", "a much ", false},
        {nullptr, "", true},
    };
    for (const Case& c : cases) {
        char dst[8];
        memset(dst, '#', sizeof dst);
        EXPECT_EQ(SafeCopy(dst, c.src), c.fits) << (c.src ? c.src : "null");
        EXPECT_STREQ(dst, c.expect);
    }
    char guard[16];
    memset(guard, '#', sizeof guard);
    char* small = guard + 4;  // 8 bytes with 4 guard bytes either side
    SafeCopy(small, 8, "0123456789abcdef");
    EXPECT_EQ(guard[12], '#');
    EXPECT_EQ(std::string(guard, 4), "####");

    char path[12] = "C:\\a";
    EXPECT_TRUE(SafeAppend(path, "\\b.wav"));
    EXPECT_STREQ(path, "C:\\a\\b.wav");
    EXPECT_FALSE(SafeAppend(path, "\\more"));
    EXPECT_STREQ(path, "C:\\a\\b.wav\\");
    char full[4] = {'a', 'b', 'c', 'd'};  // not terminated
    EXPECT_FALSE(SafeAppend(full, "x"));
    EXPECT_EQ(full[3], '\0');

    char line[10];
    EXPECT_TRUE(SafeFormat(line, "%02d:%02d", 7, 5));
    EXPECT_STREQ(line, "07:05");
    EXPECT_FALSE(SafeFormat(line, "%s", "far too long for ten"));
    EXPECT_STREQ(line, "far too l");
}

TEST(Handles, NullAndInvalidBothMeanNone) {
    UniqueHandle none;
    EXPECT_FALSE(none);
    UniqueHandle invalid(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(invalid);  // and its destructor must not close it

    HANDLE raw = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(raw, nullptr);
    {
        UniqueHandle a(raw);
        UniqueHandle b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_EQ(b.Get(), raw);
        a = std::move(b);
        EXPECT_EQ(a.Get(), raw);
        DWORD flags;
        EXPECT_TRUE(GetHandleInformation(raw, &flags));
    }
    DWORD flags;
    EXPECT_FALSE(GetHandleInformation(raw, &flags));  // closed exactly once, by its owner

    FindHandle find;
    EXPECT_EQ(find.Get(), INVALID_HANDLE_VALUE);
    WIN32_FIND_DATAA fd;
    find.Reset(FindFirstFileA("C:\\windows\\*", &fd));
    EXPECT_TRUE(find);
    find.Reset();
    EXPECT_FALSE(find);
}

TEST(RegKey, StringsReadBackAreBoundedAndTerminated) {
    RegKey root;
    ASSERT_EQ(root.Create(HKEY_CURRENT_USER, "Software\\BrindleTests\\Framework"), ERROR_SUCCESS);
    // A value stored without its NUL, as some writers do.
    const char raw[5] = {'a', 'b', 'c', 'd', 'e'};
    ASSERT_EQ(RegSetValueExA(root.Get(), "NoNul", 0, REG_SZ, reinterpret_cast<const BYTE*>(raw), 5), ERROR_SUCCESS);
    ASSERT_EQ(root.SetString("Long", std::string(300, 'L').c_str()), ERROR_SUCCESS);
    ASSERT_EQ(root.SetDword("Number", 7), ERROR_SUCCESS);

    char buf[8];
    EXPECT_EQ(root.QueryString("NoNul", buf, sizeof buf), ERROR_SUCCESS);
    EXPECT_STREQ(buf, "abcde");
    EXPECT_EQ(root.QueryString("Long", buf, sizeof buf), ERROR_MORE_DATA);
    EXPECT_STREQ(buf, "LLLLLLL");
    EXPECT_EQ(root.QueryString("Number", buf, sizeof buf), ERROR_INVALID_DATA);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(root.QueryString("Missing", buf, sizeof buf), ERROR_FILE_NOT_FOUND);
    DWORD n = 0;
    EXPECT_EQ(root.QueryDword("Number", &n), ERROR_SUCCESS);
    EXPECT_EQ(n, 7u);
    EXPECT_EQ(root.QueryDword("NoNul", &n), ERROR_INVALID_DATA);
    root.Close();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\BrindleTests\\Framework");
}

using TickFn = DWORD(WINAPI*)();

TEST(GetProc, ResolvesTypedEntryPointsOrNull) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto tick = GetProc<TickFn>(kernel, "GetTickCount");
    ASSERT_NE(tick, nullptr);
    EXPECT_GT(tick(), 0u);
    EXPECT_EQ(GetProc<TickFn>(kernel, "NoSuchEntryPoint"), nullptr);
    EXPECT_EQ(GetProc<TickFn>(nullptr, "GetTickCount"), nullptr);
}

// ---- GDI --------------------------------------------------------------------

TEST(Gdi, OwnersDeleteOnceAndMove) {
    HGDIOBJ handle;
    {
        CPen pen(PS_SOLID, 2, RGB(0, 255, 0));
        handle = pen.m_hObject;
        ASSERT_NE(handle, nullptr);
        CPen moved(std::move(pen));
        EXPECT_EQ(pen.m_hObject, nullptr);
        EXPECT_EQ(moved.m_hObject, handle);
        CPen assigned;
        assigned = std::move(moved);
        EXPECT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_PEN));
    }
    EXPECT_EQ(GetObjectType(handle), 0u);  // deleted by the last owner

    // A wrapper of a handle we do not own never deletes it.
    CBrush owner(RGB(1, 2, 3));
    CBrush* temp = CBrush::FromHandle(owner);
    EXPECT_EQ(temp->m_hObject, owner.m_hObject);
    AfxDeleteTemporaryObjects();
    EXPECT_EQ(GetObjectType(owner.m_hObject), static_cast<DWORD>(OBJ_BRUSH));

    CBrush stock;
    ASSERT_TRUE(stock.CreateStockObject(WHITE_BRUSH));
    stock.DeleteObject();
    EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_FALSE(stock.Attach(nullptr));
}

class MemoryDC : public ::testing::Test {
protected:
    void SetUp() override {
        CClientDC screen(nullptr);
        ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 40, 30));
        old = dc.SelectObject(&bitmap);
        ASSERT_NE(old, nullptr);
        dc.FillSolidRect(0, 0, 40, 30, RGB(255, 255, 255));
    }
    void TearDown() override { dc.SelectObject(old); }
    CDC dc;
    CBitmap bitmap;
    CBitmap* old = nullptr;
};

TEST_F(MemoryDC, FillSolidRectAndDraw3dRectPaintExactlyTheirPixels) {
    dc.SetBkColor(RGB(9, 9, 9));
    dc.FillSolidRect(CRect(2, 2, 6, 5), RGB(200, 0, 0));
    EXPECT_EQ(dc.GetBkColor(), RGB(9, 9, 9));  // the context's colour is left as it was
    EXPECT_EQ(dc.GetPixel(2, 2), RGB(200, 0, 0));
    EXPECT_EQ(dc.GetPixel(5, 4), RGB(200, 0, 0));
    EXPECT_EQ(dc.GetPixel(6, 4), RGB(255, 255, 255));
    EXPECT_EQ(dc.GetPixel(5, 5), RGB(255, 255, 255));

    const COLORREF hi = RGB(250, 250, 0), lo = RGB(0, 0, 128), white = RGB(255, 255, 255);
    dc.Draw3dRect(CRect(10, 10, 20, 16), hi, lo);
    struct Px {
        int x, y;
        COLORREF c;
    };
    const Px expect[] = {
        {10, 10, hi}, {18, 10, hi}, {19, 10, lo},  // top row; the far corner belongs to the right edge
        {10, 14, hi}, {10, 15, lo},                // left column; the low corner belongs to the bottom
        {19, 15, lo}, {15, 15, lo}, {19, 12, lo},  // bottom and right
        {15, 12, white}, {20, 12, white}, {15, 16, white}, {9, 12, white},
    };
    for (const Px& p : expect) EXPECT_EQ(dc.GetPixel(p.x, p.y), p.c) << p.x << "," << p.y;
}

TEST_F(MemoryDC, SelectionReturnsAndRestoresThePreviousObject) {
    CPen green(PS_SOLID, 1, RGB(0, 255, 0));
    HGDIOBJ before = GetCurrentObject(dc, OBJ_PEN);
    {
        ScopedSelect sel(dc, green);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), green.m_hObject);
        dc.MoveTo(0, 20);
        dc.LineTo(40, 20);
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), before);
    EXPECT_EQ(dc.GetPixel(5, 20), RGB(0, 255, 0));

    CPen* previous = dc.SelectObject(&green);
    ASSERT_NE(previous, nullptr);
    EXPECT_EQ(previous->m_hObject, before);
    dc.SelectObject(previous);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), before);
}

TEST(Gdi, RegionCloneIsIndependent) {
    CRgn shape;
    const POINT pts[] = {{0, 0}, {20, 0}, {20, 10}, {0, 10}};
    ASSERT_TRUE(shape.CreatePolygonRgn(pts, 4, WINDING));
    HRGN copy = shape.Clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, static_cast<HRGN>(shape));
    shape.OffsetRgn(100, 100);
    EXPECT_TRUE(PtInRegion(copy, 5, 5));
    EXPECT_FALSE(shape.PtInRegion(5, 5));
    DeleteObject(copy);

    CRgn a, b, both;
    a.CreateRectRgn(0, 0, 10, 10);
    b.CreateRectRgn(5, 5, 15, 15);
    EXPECT_EQ(both.CombineRgn(&a, &b, RGN_OR), ERROR);  // no target region yet
    both.CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(both.CombineRgn(&a, &b, RGN_AND), SIMPLEREGION);
    CRect box;
    both.GetRgnBox(&box);
    EXPECT_EQ(box, CRect(5, 5, 10, 10));
    EXPECT_EQ(both.CombineRgn(&a, nullptr, RGN_OR), ERROR);
}

TEST(Geometry, RectArithmetic) {
    CRect r(10, 20, 110, 70);
    EXPECT_EQ(r.Width(), 100);
    EXPECT_EQ(r.Height(), 50);
    EXPECT_EQ(r.CenterPoint(), CPoint(60, 45));
    EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(r.PtInRect(CPoint(110, 20)));  // right edge is outside
    EXPECT_FALSE(r.PtInRect(CPoint(50, 70)));
    r.OffsetRect(-10, -20);
    EXPECT_EQ(r, CRect(0, 0, 100, 50));
    r.DeflateRect(5, 5);
    EXPECT_EQ(r, CRect(5, 5, 95, 45));
    CRect n(30, 30, 10, 10);
    EXPECT_TRUE(n.IsRectEmpty());
    n.NormalizeRect();
    EXPECT_EQ(n, CRect(10, 10, 30, 30));
    CRect i;
    EXPECT_FALSE(i.IntersectRect(CRect(0, 0, 5, 5), CRect(6, 6, 9, 9)));
    EXPECT_TRUE(i.IsRectEmpty());
    // Mouse coordinates are signed 16-bit halves (negative on a second monitor).
    CPoint p(static_cast<LPARAM>(MAKELPARAM(static_cast<WORD>(-5), 7)));
    EXPECT_EQ(p, CPoint(-5, 7));
}

// The list box and the combo box share one implementation over their two
// message sets: each must still speak its own, and item text read into a
// short buffer is cut, never written past its end.
TEST(ListControls, ItemsAndBoundedTextsThroughEachControlsOwnMessages) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP, CRect(0, 0, 200, 200), nullptr, 0));
    CListBox list;
    CComboBox combo;
    ASSERT_TRUE(list.Create(WS_CHILD | LBS_NOTIFY, CRect(0, 0, 100, 100), &owner, 10));
    ASSERT_TRUE(combo.Create(WS_CHILD | CBS_DROPDOWNLIST, CRect(0, 0, 100, 100), &owner, 11));

    EXPECT_EQ(list.AddString("first"), 0);
    EXPECT_EQ(list.AddString(nullptr), 1);  // no text is an empty item, not a crash
    EXPECT_EQ(list.InsertString(1, "a rather long item text"), 1);
    EXPECT_EQ(combo.AddString("one"), 0);
    EXPECT_EQ(combo.AddString("two"), 1);
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(combo.GetCount(), 2);

    char small[8];
    memset(small, '#', sizeof small);
    EXPECT_EQ(list.GetText(1, small), 7);
    EXPECT_STREQ(small, "a rathe");
    EXPECT_EQ(list.GetText(9, small), LB_ERR);
    EXPECT_STREQ(small, "");
    CString text;
    list.GetText(1, text);
    EXPECT_STREQ(text, "a rather long item text");
    EXPECT_EQ(combo.GetLBText(1, small), 3);
    EXPECT_STREQ(small, "two");
    EXPECT_EQ(combo.GetLBText(2, small), CB_ERR);

    EXPECT_EQ(list.FindStringExact(-1, "first"), 0);
    EXPECT_EQ(combo.SelectString(-1, "tw"), 1);
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_EQ(list.GetCurSel(), LB_ERR);
    EXPECT_NE(list.SetItemData(2, 0x1234), LB_ERR);
    EXPECT_EQ(list.GetItemData(2), 0x1234u);
    EXPECT_EQ(list.DeleteString(0), 2);
    combo.ResetContent();
    EXPECT_EQ(combo.GetCount(), 0);
    EXPECT_EQ(list.GetCount(), 2);
    owner.DestroyWindow();
}

}  // namespace
