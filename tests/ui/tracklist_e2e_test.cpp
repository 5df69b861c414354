// The track list window on the display: rows in and out through its
// messages, real clicks on check boxes and rows, scrolling through the
// scroll bar, the header, the in-place editor, and screenshots.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <memory>
#include <string>
#include <vector>

#include "bench.h"
#include "ui/TrackList.h"

namespace {

const int kOriginX = 60, kOriginY = 60;
const COLORREF kListBackground = RGB(240, 255, 220);

struct Opened {
    int row;
    std::string path;
};

// A top-level window standing in for the history panel: registers the
// list's class the way the main window does and records what the list
// tells its parent.
class Panel {
public:
    Panel() {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA wc{};
            wc.lpfnWndProc = &Panel::Proc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
            wc.hbrBackground = CreateSolidBrush(RGB(58, 64, 74));
            wc.lpszClassName = "BrindleTrackPanel";
            RegisterClassA(&wc);
            WNDCLASSEXA list{};
            list.cbSize = sizeof list;
            list.style = CS_HREDRAW | CS_VREDRAW;
            list.lpfnWndProc = TrackListWndProc;
            list.hInstance = GetModuleHandleA(nullptr);
            list.hCursor = LoadCursor(nullptr, IDC_ARROW);
            list.hbrBackground = CreateSolidBrush(kListBackground);
            list.lpszClassName = kTrackListClass;
            RegisterClassExA(&list);
            CoInitialize(nullptr);
            LoadTrackListPictures();
            registered = true;
        }
        hwnd = CreateWindowExA(WS_EX_TOPMOST, "BrindleTrackPanel", "panel", WS_POPUP, kOriginX, kOriginY, 560,
                               260, nullptr, nullptr, GetModuleHandleA(nullptr), this);
        RECT r{10, 10, 550, 250};
        list = CreateTrackListWindow(hwnd, r);
        ShowWindow(hwnd, SW_SHOW);
        SetForegroundWindow(hwnd);
        UpdateWindow(hwnd);
        bench::Pump(200);
    }
    ~Panel() {
        DestroyWindow(hwnd);
        bench::Pump(30);
    }

    LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageA(list, msg, wp, lp); }

    // Screen point of a client point of the list.
    POINT Screen(int x, int y) const {
        POINT p{x, y};
        ClientToScreen(list, &p);
        return p;
    }
    // Geometry as the list paints it (ANSI_VAR_FONT line + 4 per row).
    int Step() const { return lineHeight + 4; }
    int RowTop(int row, int scrollY = 0) const { return Step() * row + headerHeight - scrollY + 6; }

    HWND hwnd = nullptr, list = nullptr;
    std::vector<Opened> opened;
    std::vector<WPARAM> commands;
    int lineHeight = 0, headerHeight = 0;

    void Measure() {
        HDC dc = GetDC(list);
        HGDIOBJ old = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
        SIZE s{};
        GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWYXZabcdefghijklmnopqrstuvwxyz", 52, &s);
        SelectObject(dc, old);
        ReleaseDC(list, dc);
        lineHeight = s.cy;
        RECT hr;
        GetWindowRect(GetDlgItem(list, kTrackListHeaderId), &hr);
        headerHeight = hr.bottom - hr.top + 1;
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE) {
            auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        }
        auto* self = reinterpret_cast<Panel*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self && msg == WM_TRACKLIST_OPENFILE) {
            char path[MAX_PATH] = "?";
            SendMessageA(self->list, TLM_GETPATH, reinterpret_cast<WPARAM>(path), lp);
            self->opened.push_back({static_cast<int>(lp), path});
            return 0;
        }
        if (self && msg == WM_COMMAND) self->commands.push_back(wp);
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
};

TrackListRow MakeRow(int i, int locked = 0) {
    TrackListRow r{};
    snprintf(r.name, sizeof r.name, "Take %03d.mp3", i);
    snprintf(r.location, sizeof r.location, "C:\\Recordings\\2026\\");
    snprintf(r.startTime, sizeof r.startTime, "%02d:%02d:%02d", 8 + i / 60 % 12, i % 60, (i * 7) % 60);
    snprintf(r.duration, sizeof r.duration, "00:%02d:%02d", i % 60, (i * 13) % 60);
    snprintf(r.audioLine, sizeof r.audioLine, "%d - %s", i % 3 + 1, i % 2 ? "Line In" : "Microphone");
    r.locked = locked;
    return r;
}

TrackListRow GetRow(Panel& p, int i) {
    TrackListRow r;
    memset(&r, 0x5A, sizeof r);
    EXPECT_EQ(reinterpret_cast<LRESULT>(&r), p.Send(TLM_GETROW, i, reinterpret_cast<LPARAM>(&r)));
    return r;
}

COLORREF ScreenPixel(POINT p) {
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
}

int ScrollPos(HWND list) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(list, SB_VERT, &si);
    return si.nPos;
}

// Input whose handling runs a modal loop on this thread (the scroll bar
// tracks the pressed button until it is released) is sent from a thread
// of its own while this one keeps pumping.
template <class Fn>
void OnDriver(Fn fn) {
    std::atomic<bool> done{false};
    std::thread driver([&] {
        fn();
        done = true;
    });
    bench::PumpUntil([&] { return done.load(); }, 10000);
    driver.join();
    bench::Pump(30);
}

void TypeText(const char* text) {
    for (const char* c = text; *c; ++c) {
        SHORT vk = VkKeyScanA(*c);
        bench::KeyPress(LOBYTE(vk), false, (HIBYTE(vk) & 1) != 0);
    }
}

}  // namespace

// A thousand rows offered: the list keeps its hundred, rows come back byte
// for byte (unterminated fields cut), the scroll bar pages to the last row
// and the list paints there.
TEST(TrackListScreen, HundredRowsRoundTripScrollAndPaint) {
    Panel p;
    p.Measure();
    std::vector<TrackListRow> sent;
    for (int i = 0; i < 1000; ++i) {
        TrackListRow r = MakeRow(i, i == 2);
        if (i == 1) r.state = 3;
        if (i == 5) r.checked = 1;
        if (i == 7) memset(r.audioLine, 'x', sizeof r.audioLine);  // no terminator at all
        sent.push_back(r);
        p.Send(TLM_ADDROW, 0, reinterpret_cast<LPARAM>(&r));
    }
    EXPECT_EQ(100, p.Send(TLM_GETCOUNT));
    for (int i : {0, 1, 2, 5, 50, 99}) {
        TrackListRow back = GetRow(p, i);
        EXPECT_EQ(0, memcmp(&back, &sent[i], sizeof back)) << "row " << i;
    }
    TrackListRow cut = GetRow(p, 7);
    EXPECT_EQ(sizeof cut.audioLine - 1, strlen(cut.audioLine));
    EXPECT_EQ(0, memcmp(cut.name, sent[7].name, sizeof cut.name));
    EXPECT_EQ(0, p.Send(TLM_GETROW, 100, reinterpret_cast<LPARAM>(&cut))) << "no row 100";
    EXPECT_EQ(1, p.Send(TLM_COUNTCHECKED));

    p.Send(TLM_SELECTROW, 3);
    bench::Pump(100);
    std::string top = bench::Screenshot("tracklist-top", p.hwnd);
    EXPECT_FALSE(top.empty());
    // The selected band is grey, the rows' background the class brush.
    RECT client;
    GetClientRect(p.list, &client);
    EXPECT_EQ(RGB(128, 128, 128), ScreenPixel(p.Screen(client.right - 4, p.RowTop(3) + 8)));
    EXPECT_EQ(kListBackground, ScreenPixel(p.Screen(client.right - 4, p.RowTop(4) + 8)));

    // Page down with real clicks on the scroll bar's lower track until the
    // thumb sits at the end.
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof bar;
    ASSERT_TRUE(GetScrollBarInfo(p.list, OBJID_VSCROLL, &bar));
    int barX = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
    int pageDownY = bar.rcScrollBar.bottom - bar.dxyLineButton - 2;
    // Pages while the thumb is above the point, then the down arrow for the rest.
    int downArrowY = bar.rcScrollBar.bottom - bar.dxyLineButton / 2;
    for (int y : {pageDownY, downArrowY}) {
        int last = -1;
        for (int i = 0; i < 30 && ScrollPos(p.list) != last; ++i) {
            last = ScrollPos(p.list);
            OnDriver([&] { bench::Click(barX, y); });
        }
    }
    int contentHeight = p.headerHeight + p.Step() * 100 + 5;
    int maxScroll = contentHeight - (client.bottom - client.top) + 1;
    EXPECT_EQ(maxScroll, ScrollPos(p.list));
    bench::Pump(100);
    bench::Screenshot("tracklist-bottom", p.hwnd);
    // The last row is painted where it should be: a click on its name opens it.
    POINT lastName = p.Screen(60, p.RowTop(99, maxScroll) + 8);
    bench::Click(lastName.x, lastName.y);
    ASSERT_TRUE(bench::PumpUntil([&] { return !p.opened.empty(); }, 1000));
    EXPECT_EQ(99, p.opened.back().row);
    EXPECT_EQ("C:\\Recordings\\2026\\Take 099.mp3", p.opened.back().path);

    // One arrow click: one row step back. Then the thumb dragged to the top.
    OnDriver([&] { bench::Click(barX, bar.rcScrollBar.top + bar.dxyLineButton / 2); });
    EXPECT_EQ(maxScroll - p.Step(), ScrollPos(p.list));
    ASSERT_TRUE(GetScrollBarInfo(p.list, OBJID_VSCROLL, &bar));
    int thumbY = bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2;
    OnDriver([&] { bench::Drag(barX, thumbY, barX, bar.rcScrollBar.top + bar.dxyLineButton); });
    EXPECT_EQ(0, ScrollPos(p.list));

    // Emptied, the bar goes and its position with it.
    p.Send(TLM_DELETEROW, static_cast<WPARAM>(-1));
    EXPECT_EQ(0, p.Send(TLM_GETCOUNT));
    EXPECT_EQ(0, ScrollPos(p.list));
    EXPECT_FALSE(GetWindowLongA(p.list, GWL_STYLE) & WS_VSCROLL) << "the bar is hidden";
}

// Real clicks: the box flips the row's state without opening it; a locked
// row's box is left alone; a click on a row selects it and tells the parent
// with the row's path; a double click opens it as well; clicks below the
// last row open nothing.
TEST(TrackListMouse, BoxesChecksAndRowClicksOpen) {
    Panel p;
    p.Measure();
    for (int i = 0; i < 3; ++i) {
        TrackListRow r = MakeRow(i, i == 1);
        p.Send(TLM_ADDROW, 0, reinterpret_cast<LPARAM>(&r));
    }
    TrackListRow spaced = MakeRow(3);
    snprintf(spaced.location, sizeof spaced.location, "C:\\My Music\\Live Sets\\");
    p.Send(TLM_ADDROW, 0, reinterpret_cast<LPARAM>(&spaced));

    auto boxCentre = [&](int row) { return p.Screen(10, p.RowTop(row) + 8); };
    POINT box0 = boxCentre(0);
    COLORREF before = ScreenPixel(box0);
    bench::Click(box0.x, box0.y);
    EXPECT_EQ(3, GetRow(p, 0).state);
    EXPECT_TRUE(p.opened.empty()) << "a box click opens nothing";
    bench::Pump(50);
    EXPECT_NE(before, ScreenPixel(box0)) << "the box shows the check";
    bench::Screenshot("tracklist-checked", p.hwnd);
    bench::Click(box0.x, box0.y);
    EXPECT_EQ(0, GetRow(p, 0).state);

    POINT box1 = boxCentre(1);
    bench::Click(box1.x, box1.y);
    EXPECT_EQ(0, GetRow(p, 1).state) << "locked";

    POINT name3 = p.Screen(80, p.RowTop(3) + 8);
    bench::Click(name3.x, name3.y);
    ASSERT_TRUE(bench::PumpUntil([&] { return p.opened.size() == 1; }, 1000));
    EXPECT_EQ(3, p.opened[0].row);
    EXPECT_EQ("C:\\My Music\\Live Sets\\Take 003.mp3", p.opened[0].path);

    POINT audio2 = p.Screen(450, p.RowTop(2) + 8);
    bench::Click(audio2.x, audio2.y, true);
    ASSERT_TRUE(bench::PumpUntil([&] { return p.opened.size() >= 2; }, 1000));
    EXPECT_EQ(2, p.opened.back().row);

    size_t seen = p.opened.size();
    POINT empty = p.Screen(80, p.RowTop(6) + 8);
    bench::Click(empty.x, empty.y);
    bench::Pump(100);
    EXPECT_EQ(seen, p.opened.size()) << "no row there";

    // The right button selects without opening.
    POINT row0 = p.Screen(150, p.RowTop(0) + 8);
    bench::MouseMove(row0.x, row0.y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, in, sizeof(INPUT));
    bench::Pump(150);
    EXPECT_EQ(seen, p.opened.size());
    // Only the selected row answers TLM_SETSELTITLE.
    EXPECT_EQ(0, p.Send(TLM_SETSELTITLE, 0, reinterpret_cast<LPARAM>("Renamed.mp3")));
    EXPECT_STREQ("Renamed.mp3", GetRow(p, 0).name);
}

// The header: its first divider cannot be dragged; the others resize
// their columns and the rows follow.
TEST(TrackListMouse, HeaderFirstDividerIsFixed) {
    Panel p;
    p.Measure();
    TrackListRow r = MakeRow(1);
    p.Send(TLM_ADDROW, 0, reinterpret_cast<LPARAM>(&r));
    HWND header = GetDlgItem(p.list, kTrackListHeaderId);
    ASSERT_NE(nullptr, header);
    auto width = [&](int i) {
        HDITEMA item{};
        item.mask = HDI_WIDTH;
        SendMessageA(header, HDM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
        return item.cxy;
    };
    int w0 = width(0), w1 = width(1);
    int y = p.Screen(0, (p.headerHeight - 1) / 2).y;
    bench::Drag(p.Screen(w0 - 1, 0).x, y, p.Screen(w0 + 60, 0).x, y);
    bench::Pump(100);
    EXPECT_EQ(w0, width(0));
    bench::Drag(p.Screen(w0 + w1 - 1, 0).x, y, p.Screen(w0 + w1 + 40, 0).x, y);
    bench::Pump(100);
    EXPECT_NEAR(w1 + 41, width(1), 3);
    bench::Screenshot("tracklist-header", p.hwnd);
    // The location column moved right with the divider: a click where the
    // name column now reaches still opens the row.
    POINT wideName = p.Screen(w0 + w1 + 20, p.RowTop(0) + 8);
    bench::Click(wideName.x, wideName.y);
    ASSERT_TRUE(bench::PumpUntil([&] { return !p.opened.empty(); }, 1000));
}

// The in-place editor: typed text replaces the name when a click outside
// closes it; Escape closes it without change.
TEST(TrackListMouse, InPlaceEditorKeepsOrDropsTheName) {
    Panel p;
    p.Measure();
    for (int i = 0; i < 3; ++i) {
        TrackListRow r = MakeRow(i);
        p.Send(TLM_ADDROW, 0, reinterpret_cast<LPARAM>(&r));
    }
    EXPECT_EQ(0, p.Send(TLM_EDITTITLE)) << "nothing selected: no editor";
    EXPECT_EQ(nullptr, GetCapture());
    p.Send(TLM_SELECTROW, 1);
    p.Send(TLM_EDITTITLE);
    HWND editor = GetFocus();
    ASSERT_NE(nullptr, editor);
    ASSERT_EQ(p.list, GetParent(editor));
    EXPECT_EQ(260, SendMessageA(editor, EM_GETLIMITTEXT, 0, 0));
    TypeText("interview");
    bench::Pump(50);
    bench::Screenshot("tracklist-editor", p.hwnd);
    POINT outside = p.Screen(300, p.RowTop(2) + 8);
    bench::Click(outside.x, outside.y);
    bench::Pump(100);
    EXPECT_FALSE(IsWindow(editor));
    EXPECT_STREQ("interview", GetRow(p, 1).name);
    // The closing press went on to the list: row 2 was opened.
    ASSERT_FALSE(p.opened.empty());
    EXPECT_EQ(2, p.opened.back().row);

    p.Send(TLM_EDITTITLE);
    editor = GetFocus();
    ASSERT_NE(p.list, editor);
    TypeText("gone");
    bench::KeyPress(VK_ESCAPE);
    bench::Pump(50);
    EXPECT_FALSE(IsWindow(editor));
    EXPECT_STREQ("Take 002.mp3", GetRow(p, 2).name);
}

// The messages: bad indexes answer failure and change nothing, texts are
// cut to their fields, deletion moves rows up and fixes the selection and
// the checked-row cursor, all-row messages pass locked rows by.
TEST(TrackListMessages, IndexesTextsAndSelection) {
    Panel p;
    for (int i = 0; i < 3; ++i) {
        TrackListRow r = MakeRow(i, i == 2);
        p.Send(TLM_ADDROW, 0, reinterpret_cast<LPARAM>(&r));
    }
    // Out-of-range indexes, table-driven.
    struct Case {
        UINT msg;
        WPARAM wp;
    } bad[] = {{TLM_SETCHECK, 3}, {TLM_TOGGLECHECK, 7}, {TLM_SETROWTEXT, 3}, {TLM_SETTITLE, 500},
               {TLM_SETROWSTATE, 3}, {TLM_SETROWMARK, static_cast<WPARAM>(-5)}, {TLM_DELETEROW, 3},
               {TLM_DELETEROW, static_cast<WPARAM>(-7)}};
    for (const Case& c : bad)
        EXPECT_EQ(-1, p.Send(c.msg, c.wp, reinterpret_cast<LPARAM>("x"))) << c.msg << " " << (int)c.wp;
    EXPECT_EQ(3, p.Send(TLM_GETCOUNT));

    // A selection out of range is no selection: nothing to retitle or delete.
    EXPECT_EQ(-1, p.Send(TLM_SELECTROW, 500));
    EXPECT_EQ(-1, p.Send(TLM_SETSELTITLE, 0, reinterpret_cast<LPARAM>("boom")));
    EXPECT_EQ(-1, p.Send(TLM_DELETEROW, static_cast<WPARAM>(-2)));
    p.Send(TLM_EDITTITLE);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(3, p.Send(TLM_GETCOUNT));

    // Long texts are cut to their fields.
    std::string longText(600, 'L');
    EXPECT_EQ(0, p.Send(TLM_SETROWTEXT, 0, reinterpret_cast<LPARAM>(longText.c_str())));
    EXPECT_EQ(70u, strlen(GetRow(p, 0).statusText));
    EXPECT_EQ(0, p.Send(TLM_SETTITLE, 0, reinterpret_cast<LPARAM>(longText.c_str())));
    EXPECT_EQ(260u, strlen(GetRow(p, 0).name));
    p.Send(TLM_SELECTROW, 0);
    EXPECT_EQ(0, p.Send(TLM_SETSELTITLE, 0, reinterpret_cast<LPARAM>(longText.c_str())));
    EXPECT_EQ(260u, strlen(GetRow(p, 0).name));
    // A path that cannot fit MAX_PATH is refused, not cut.
    char path[MAX_PATH] = "untouched";
    EXPECT_FALSE(p.Send(TLM_GETPATH, reinterpret_cast<WPARAM>(path), 0));
    EXPECT_STREQ("", path);
    EXPECT_TRUE(p.Send(TLM_GETPATH, reinterpret_cast<WPARAM>(path), 1));
    EXPECT_STREQ("C:\\Recordings\\2026\\Take 001.mp3", path);
    EXPECT_FALSE(p.Send(TLM_GETPATH, reinterpret_cast<WPARAM>(path), 3));

    // All-row checks pass the locked row by; single-row ones too.
    p.Send(TLM_SETCHECK, static_cast<WPARAM>(-1), 1);
    EXPECT_EQ(2, p.Send(TLM_COUNTCHECKED));
    p.Send(TLM_TOGGLECHECK, 2);
    EXPECT_EQ(0, GetRow(p, 2).checked);
    p.Send(TLM_TOGGLECHECK, static_cast<WPARAM>(-1));
    EXPECT_EQ(0, p.Send(TLM_COUNTCHECKED));

    // First/next checked follow state or mark, not `checked`.
    p.Send(TLM_SETCHECK, static_cast<WPARAM>(-1), 1);
    TrackListRow out{};
    EXPECT_EQ(-1, p.Send(TLM_GETFIRSTCHECKED, 0, reinterpret_cast<LPARAM>(&out)));
    p.Send(TLM_SETROWSTATE, 0, 1);
    p.Send(TLM_SETROWMARK, 2, 1);
    EXPECT_EQ(0, p.Send(TLM_GETFIRSTCHECKED, 0, reinterpret_cast<LPARAM>(&out)));
    EXPECT_EQ(3, out.state);
    EXPECT_EQ(2, p.Send(TLM_GETNEXTCHECKED, 0, reinterpret_cast<LPARAM>(&out)));
    EXPECT_EQ(1, out.mark);
    EXPECT_EQ(-1, p.Send(TLM_GETNEXTCHECKED, 0, reinterpret_cast<LPARAM>(&out)));

    // Deleting row 0 of three: rows move up, the selection goes, the
    // cursor starts over.
    p.Send(TLM_SELECTROW, 1);
    EXPECT_EQ(0, p.Send(TLM_GETFIRSTCHECKED, 0, reinterpret_cast<LPARAM>(&out)));
    EXPECT_EQ(0, p.Send(TLM_DELETEROW, 0));
    EXPECT_EQ(2, p.Send(TLM_GETCOUNT));
    EXPECT_STREQ("Take 001.mp3", GetRow(p, 0).name);
    EXPECT_STREQ("Take 002.mp3", GetRow(p, 1).name);
    EXPECT_EQ(-1, p.Send(TLM_SETSELTITLE, 0, reinterpret_cast<LPARAM>("x"))) << "no selection";
    EXPECT_EQ(1, p.Send(TLM_GETNEXTCHECKED, 0, reinterpret_cast<LPARAM>(&out)));

    // Deleting the selected last row leaves the new last row selected, no ghost.
    p.Send(TLM_SELECTROW, 1);
    EXPECT_EQ(0, p.Send(TLM_DELETEROW, static_cast<WPARAM>(-2)));
    EXPECT_EQ(1, p.Send(TLM_GETCOUNT));
    EXPECT_EQ(0, p.Send(TLM_SETSELTITLE, 0, reinterpret_cast<LPARAM>("kept")));
    EXPECT_STREQ("kept", GetRow(p, 0).name);
    EXPECT_EQ(0, p.Send(TLM_DELETEROW, static_cast<WPARAM>(-2)));
    EXPECT_EQ(0, p.Send(TLM_GETCOUNT));
    EXPECT_EQ(-1, p.Send(TLM_DELETEROW, static_cast<WPARAM>(-2)));

    // Mode 0: the conditional clear keeps the rows.
    TrackListRow r = MakeRow(9);
    p.Send(TLM_ADDROW, 0, reinterpret_cast<LPARAM>(&r));
    p.Send(TLM_CONDITIONALCLEAR);
    EXPECT_EQ(1, p.Send(TLM_GETCOUNT));
}
