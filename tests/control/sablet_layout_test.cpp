// The resizable layout and the History menu in the container host, against
// the local stand-in service. The system browser (the control's own and the
// one hosting the page) is a stand-in of this process: Wine's renders
// nothing and refuses the travel log, and what is checked here is where the
// windows go and which pages the browser is told to show.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "SabletHost.h"
#include "control/resource.h"
#include "tests/control/ad_gif.h"
#include "tests/control/host/BrowserStandIn.h"
#include "tests/sharing/service_standin.h"
#include "tests/support/bench.h"

using host_test::BrowserClassStandIn;
using host_test::BrowserStandIn;
using sablethost::ControlHost;
using sablethost::PropertyBag;
using namespace sharing_test;

namespace {

constexpr int kPanelRows = 79;  // height of the recorder panel's strip

struct Bench {
    std::string temp;
    std::string picture = MakeAdGif();
    Bench() {
        IsolateUserRegistry();
        OleInitialize(nullptr);
        temp = bench::ScratchDir();
        SetEnvironmentVariableA("TMP", temp.c_str());
        SetEnvironmentVariableA("TEMP", temp.c_str());
    }
    ~Bench() { OleUninitialize(); }
    std::string PictureOption() {
        std::string path = temp + "\\banner.gif";
        WriteFileBytes(path, picture);
        return "--ad-picture '" + bench::UnixPath(path) + "'";
    }
};

std::string Site(const char* tag) { return std::string(tag) + "-" + std::to_string(GetCurrentProcessId()) + ".test"; }

RECT RectIn(HWND panel, HWND child) {
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string Text(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

void ExpectRect(const char* what, const RECT& expected, const RECT& actual) {
    EXPECT_EQ(Text(expected), Text(actual)) << what;
}

// What the container does when the page resizes the control.
void Place(ControlHost& host, int width, int height) {
    SetWindowPos(host.Window(), nullptr, 0, 0, width + 40, height + 60, SWP_NOMOVE | SWP_NOZORDER);
    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_EQ(S_OK, host.Control()->QueryInterface(IID_IOleInPlaceObject,
                                                    reinterpret_cast<void**>(inPlace.GetAddressOf())));
    RECT position = {10, 10, 10 + width, 10 + height};
    ASSERT_EQ(S_OK, inPlace->SetObjectRects(&position, &position));
}

// True when the panel shows the hand over (x, y): a link's hit rectangle.
bool OverLink(HWND panel, int x, int y) {
    // Over an ad box with no text the panel leaves the cursor as it was.
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    SendMessageA(panel, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    return GetCursor() == LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND));
}

HWND BrowserOf(HWND panel) { return FindWindowExA(panel, nullptr, "Browser Example", nullptr); }

// Every shown child window of the panel lies inside it, has room, and
// covers no other.
void ExpectTiled(HWND panel) {
    RECT client;
    GetClientRect(panel, &client);
    std::vector<std::pair<int, RECT>> shown;
    for (HWND child = GetWindow(panel, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        const int id = GetDlgCtrlID(child);
        const RECT r = RectIn(panel, child);
        RECT in;
        EXPECT_FALSE(IsRectEmpty(&r)) << id << " shown with no room";
        EXPECT_TRUE(IntersectRect(&in, &r, &client) && EqualRect(&in, &r)) << id << " " << Text(r) << " leaves the panel";
        for (const auto& other : shown)
            EXPECT_FALSE(IntersectRect(&in, &r, &other.second))
                << id << " " << Text(r) << " covers " << other.first << " " << Text(other.second);
        shown.emplace_back(id, r);
    }
}

}  // namespace

// Resize mode with Align, without it, and without it but with a TopOffset,
// each from the default 474 x 159 up: the browser fills what the recorder
// strip leaves (less TopOffset below it without Align, a band painted like
// the panel), the transport buttons sit at the strip's right end, and the
// row of links follows the strip under the browser with Align and stays on
// top without. Where the strip is too short for the browser controls and
// links beside the recorder's, those that do not fit are hidden: no control
// covers another or leaves the panel. The service's picture never shows in
// this layout, though the service names no page to replace it; and the
// hosting browser is made one pixel narrower and given its width back.
TEST(SabletLayout, BrowserButtonsAndLinksFollowTheStrip) {
    Bench b;
    BrowserClassStandIn browsers;
    ASSERT_TRUE(browsers.Registered());
    ServiceStandIn service(b.PictureOption() + " --ad-field ResizedURL=NULL", Site("layout"));
    ASSERT_TRUE(service.Ok());
    struct Case {
        int align, topOffset;
        const char* name;
    } cases[] = {{1, 25, "align"}, {0, 0, "top"}, {0, 40, "top-offset"}};
    // How many browser controls (in the order they are kept) and links
    // (Home, Ad1, Ad2) the strip left of the recorder's controls has room for.
    const int kept[] = {IDC_BACKWARD, IDC_FORWARD, IDC_HISTORY, IDC_BROWSERSTOP, IDC_REFRESH, IDC_ADDRESS, IDC_GO};
    struct Size {
        int cx, cy, controls, links;
    } sizes[] = {{474, 159, 0, 0}, {600, 300, 4, 1}, {900, 420, 7, 3}, {1160, 600, 7, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* hosting = new BrowserStandIn;
        hosting->Width = 1000;
        ControlHost host;
        host.SetHostBrowser(static_cast<IWebBrowser2*>(hosting));
        PropertyBag bag;
        bag.Set(L"Resize", L"1");
        bag.Set(L"Align", std::to_wstring(c.align));
        bag.Set(L"TopOffset", std::to_wstring(c.topOffset));
        ASSERT_EQ(S_OK, host.Create(sablethost::kSabletClsid, L"http://pages.test/layout.htm", &bag));
        HWND panel = host.ControlWindow();
        ASSERT_NE(nullptr, panel);
        EXPECT_EQ((std::vector<long>{999, 1000}), hosting->WidthsSet());
        HWND browser = BrowserOf(panel);
        ASSERT_NE(nullptr, browser);
        ASSERT_FALSE(browsers.Made().empty());
        BrowserStandIn* embedded = browsers.Made().back();

        // The service's answer is in once its first ad text is a link (on
        // a panel with room for it).
        Place(host, 900, 420);
        const int linkTop = c.align ? 420 - 76 : 2;
        ASSERT_TRUE(bench::PumpUntil([&] { return OverLink(panel, 114, linkTop + 1); }, 60000));
        EXPECT_EQ(b.picture, ReadFileBytes(b.temp + "\\AdPic.gif"));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(panel, IDC_ADPICTURE)));
        EXPECT_TRUE(embedded->Navigations().empty());
        // The user goes to a page, and the browser shows.
        SetDlgItemTextA(panel, IDC_ADDRESS, "http://pages.test/shown.htm");
        SendMessageA(panel, WM_COMMAND, MAKEWPARAM(IDC_GO, BN_CLICKED), 0);
        EXPECT_EQ(L"http://pages.test/shown.htm", embedded->Location());
        EXPECT_TRUE(IsWindowVisible(browser));

        for (const Size& size : sizes) {
            const int R = size.cx, B = c.align ? size.cy : kPanelRows;
            SCOPED_TRACE(std::to_string(R) + "x" + std::to_string(size.cy));
            Place(host, size.cx, size.cy);
            const int top = c.align ? B - 76 : 2;
            // The links' places are known once the panel has painted.
            ASSERT_TRUE(bench::PumpUntil([&] { return !GetUpdateRect(panel, nullptr, FALSE); }, 10000));
            bench::Pump(300);
            ExpectTiled(panel);
            for (int i = 0; i < 7; ++i)
                EXPECT_EQ(i < size.controls, IsWindowVisible(GetDlgItem(panel, kept[i])) != FALSE) << kept[i];

            RECT page = c.align ? RECT{0, 0, R, B - kPanelRows}
                                : RECT{0, kPanelRows, R, size.cy - c.topOffset};
            ExpectRect("browser", page, RectIn(panel, browser));
            ExpectRect("page in the browser", RECT{0, 0, page.right - page.left, page.bottom - page.top},
                       RectIn(browser, embedded->PageWindow()));
            // The strip less one pixel left and bottom, three on the right.
            const int right = R - 3, bottom = c.align ? size.cy - 1 : kPanelRows;
            const int stopX = right - 37, rowTop = bottom - 37;
            struct Button {
                int id, left;
            } buttons[] = {{IDC_STOP, stopX},           {IDC_PAUSE, stopX - 34},
                           {IDC_RECORD, stopX - 68},    {IDC_PLAY, stopX - 102},
                           {IDC_CONFIG, stopX - 151},   {IDC_UPLOAD, stopX - 185}};
            for (const Button& button : buttons)
                ExpectRect(std::to_string(button.id).c_str(), RECT{button.left, rowTop, button.left + 34, rowTop + 35},
                           RectIn(panel, GetDlgItem(panel, button.id)));
            if (size.controls > 2)
                ExpectRect("history", RECT{59, bottom - 50, 74, bottom - 28}, RectIn(panel, GetDlgItem(panel, IDC_HISTORY)));
            if (size.controls == 7) {  // room for all: the layout's places
                const int x0 = right - 502, y = bottom - 50;
                const RECT address = RectIn(panel, GetDlgItem(panel, IDC_ADDRESS));
                ExpectRect("address", RECT{78, y, x0 - 52, address.bottom}, address);
                const int fromStop[] = {IDC_BROWSERSTOP, IDC_REFRESH, IDC_GO};
                for (int i = 0; i < 3; ++i)
                    ExpectRect(std::to_string(fromStop[i]).c_str(), RECT{x0 - 24 * i, y, x0 - 24 * i + 22, y + 22},
                               RectIn(panel, GetDlgItem(panel, fromStop[i])));
            }
            // One ground under the strip: the volume slider's corner is the
            // colour of a bare spot of the panel above the time box, not a
            // piece of the background picture's readout window.
            HWND volume = GetDlgItem(panel, IDC_VOLUME);
            HDC panelDc = GetDC(panel), volumeDc = GetDC(volume);
            const COLORREF bare = GetPixel(panelDc, R - 146, bottom - 75);
            EXPECT_EQ(bare, GetPixel(volumeDc, 1, 1));
            if (c.topOffset) {
                EXPECT_EQ(bare, GetPixel(panelDc, R / 2, size.cy - c.topOffset / 2)) << "the TopOffset band";
            }
            ReleaseDC(volume, volumeDc);
            ReleaseDC(panel, panelDc);

            // Home's hit rectangle starts at (3, top); Ad1 at (113, top),
            // Ad2 at (323, top).
            EXPECT_EQ(size.links >= 1, OverLink(panel, 3, top));
            EXPECT_FALSE(OverLink(panel, 2, top + 1));
            EXPECT_FALSE(OverLink(panel, 4, top - 1));
            EXPECT_EQ(size.links >= 2, OverLink(panel, 113, top + 1));
            EXPECT_EQ(size.links >= 3, OverLink(panel, 324, top + 1));
            if (c.align) {
                EXPECT_FALSE(OverLink(panel, 4, 3)) << "the links left the top";
            }
            bench::Screenshot(std::string("sablet-layout-") + c.name + "-" + std::to_string(R), host.Window());
        }
        host.Destroy();
        bench::Pump(200);
        hosting->Release();
    }
}

// After the service's page and two typed in, the History button opens the
// pop-up of the DLL's menu 208 filled from the browser's travel log:
// current page checked, back pages below it; picking the first page goes
// back there, and the menu then offers the two as forward pages, farthest
// first. Menu 208 and the toolbox picture 102 are the DLL's own resources.
TEST(SabletLayout, HistoryMenuTravelsTheBrowsersLog) {
    Bench b;
    BrowserClassStandIn browsers;
    ASSERT_TRUE(browsers.Registered());
    ServiceStandIn service("", Site("history"));
    ASSERT_TRUE(service.Ok());
    PropertyBag bag;
    bag.Set(L"Resize", L"1");
    ControlHost host;
    ASSERT_EQ(S_OK, host.Create(sablethost::kSabletClsid, L"http://pages.test/history.htm", &bag));
    HWND panel = host.ControlWindow();
    ASSERT_NE(nullptr, panel);

    HMODULE dll = GetModuleHandleA("Sablet.dll");
    ASSERT_NE(nullptr, dll);
    EXPECT_NE(nullptr, FindResourceA(dll, MAKEINTRESOURCEA(IDR_HISTORYMENU), reinterpret_cast<LPCSTR>(RT_MENU)));
    EXPECT_NE(nullptr, FindResourceA(dll, MAKEINTRESOURCEA(IDB_SABLET2), reinterpret_cast<LPCSTR>(RT_BITMAP)));
    if (HBITMAP toolbox = LoadBitmapA(dll, MAKEINTRESOURCEA(IDB_SABLET2))) {
        BITMAP bm = {};
        GetObjectA(toolbox, sizeof bm, &bm);
        EXPECT_EQ(16, bm.bmWidth);
        EXPECT_EQ(15, bm.bmHeight);
        DeleteObject(toolbox);
    } else {
        ADD_FAILURE() << "no toolbox bitmap 102";
    }

    // Wide enough for the address box and Go beside the recorder strip.
    Place(host, 900, 420);
    ASSERT_FALSE(browsers.Made().empty());
    BrowserStandIn* embedded = browsers.Made().back();
    const std::wstring first = L"http://ads.cantabel.test/resized.htm";
    ASSERT_TRUE(bench::PumpUntil([&] { return embedded->Location() == first; }, 60000));
    auto press = [&](int id) {
        RECT r;
        GetWindowRect(GetDlgItem(panel, id), &r);
        bench::Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    for (const char* page : {"http://pages.test/one.htm", "http://pages.test/two.htm"}) {
        SetDlgItemTextA(panel, IDC_ADDRESS, page);
        press(IDC_GO);
        std::wstring wide(page, page + strlen(page));
        ASSERT_TRUE(bench::PumpUntil([&] { return embedded->Location() == wide; }, 10000));
    }

    struct Item {
        UINT id;
        std::string text;
        bool checked;
    };
    // Opens History, reads the menu and picks `pick` in it.
    auto openAndPick = [&](UINT pick) {
        std::vector<Item> items;
        std::atomic<bool> done{false};
        bench::WithDriver(
            [&] {
                HWND menu = nullptr;
                DWORD start = GetTickCount();
                while (!((menu = FindWindowA("#32768", nullptr)) && IsWindowVisible(menu)) &&
                       GetTickCount() - start < 20000)
                    Sleep(30);
                HMENU popup = menu ? reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0)) : nullptr;
                int count = popup ? GetMenuItemCount(popup) : 0;
                int pickAt = -1;
                for (int i = 0; i < count; ++i) {
                    char text[256] = "";
                    GetMenuStringA(popup, i, text, sizeof text, MF_BYPOSITION);
                    UINT id = GetMenuItemID(popup, i);
                    items.push_back({id, text, (GetMenuState(popup, i, MF_BYPOSITION) & MF_CHECKED) != 0});
                    if (id == pick) pickAt = i;
                }
                // Shown is not yet painted: have the menu's thread paint it,
                // and give the display a moment to take the paint (only the
                // picture for a person to look at waits on this).
                if (menu) UpdateWindow(menu);
                Sleep(300);
                bench::Screenshot("sablet-history-menu-" + std::to_string(pick));
                RECT item;
                if (pickAt >= 0 && GetMenuItemRect(nullptr, popup, pickAt, &item))
                    bench::Click((item.left + item.right) / 2, (item.top + item.bottom) / 2);
                else if (menu)
                    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
                done = true;
            },
            [&] {
                press(IDC_HISTORY);
                bench::PumpUntil([&] { return done.load(); }, 60000);
            });
        return items;
    };
    auto text = [](const std::vector<Item>& items) {
        std::string out;
        for (const Item& i : items)
            out += std::to_string(i.id) + (i.checked ? "* " : " ") + i.text + "\n";
        return out;
    };

    std::vector<Item> menu = openAndPick(60208);
    EXPECT_EQ(
        "60210* http://pages.test/two.htm\n"
        "60209 http://pages.test/one.htm\n"
        "60208 http://ads.cantabel.test/resized.htm\n",
        text(menu));
    EXPECT_TRUE(bench::PumpUntil([&] { return embedded->Location() == first; }, 10000));
    EXPECT_EQ(4u, embedded->Navigations().size());

    menu = openAndPick(60211);
    EXPECT_EQ(
        "60212 http://pages.test/two.htm\n"
        "60211 http://pages.test/one.htm\n"
        "60210* http://ads.cantabel.test/resized.htm\n",
        text(menu));
    EXPECT_TRUE(bench::PumpUntil([&] { return embedded->Location() == L"http://pages.test/one.htm"; }, 10000));
    host.Destroy();
    bench::Pump(200);
}
