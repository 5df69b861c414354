// The service's links on the control's panel: the advertisement's address
// in the fixed layout, Home and the two ad texts in the resizable one, the
// powered-by line in both; the hand cursor over them and what a click opens.
#include "control/Sablet2.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "sharing/UploadForm.h"
#include "ui/BrowserLauncher.h"

namespace {

// Link boxes of the panel (pixels of the 474 x 159 fixed layout; the
// resizable layout's row of links, whose top OnSize moves).
constexpr RECT DisplayUrlBox = {3, 63, 234, 78};
constexpr RECT PoweredByBox = {7, 143, 240, 155};
constexpr RECT HomeBox = {3, 0, 103, 20};
constexpr RECT Ad1Box = {113, 0, 313, 20};
constexpr RECT Ad2Box = {323, 0, 523, 20};
// Light blue: pure blue could hardly be read on the dark panel.
constexpr COLORREF LinkColour = RGB(110, 175, 255);

RECT InRow(const RECT& box, int top) { return RECT{box.left, box.top + top, box.right, box.bottom + top}; }

RECT PoweredByRect(HWND window, bool resize) {
    if (!resize) return PoweredByBox;
    // The resizable layout keeps it at the panel's bottom-right corner.
    RECT client = {};
    ::GetClientRect(window, &client);
    return RECT{client.right - 467, client.bottom - 16, client.right - 467 + 233, client.bottom - 16 + 12};
}

bool Inside(const RECT& r, POINT p) { return PtInRect(&r, p) != FALSE; }

// The ad picture's window in the control's coordinates (empty when hidden).
RECT PictureRect(HWND control, HWND area) {
    RECT r = {0, 0, 0, 0};
    if (area && ::IsWindowVisible(area)) {
        ::GetWindowRect(area, &r);
        ::MapWindowPoints(nullptr, control, reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}

// Draws `text` at the box's top-left, underlined, and returns its hit
// rectangle; with `cut` no wider than the box. A link that would reach
// past `limit` is not drawn at all (an empty rectangle): it would lie over
// the recorder's controls.
RECT DrawLink(HDC dc, const RECT& box, const char* text, bool cut, int limit = INT_MAX) {
    int length = static_cast<int>(strlen(text));
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, length, &size);
    int width = size.cx;
    if (cut && width > box.right - box.left) width = box.right - box.left;
    if (box.left + width > limit) return RECT{0, 0, 0, 0};
    RECT clip = {box.left, box.top, box.left + width, box.top + size.cy};
    ExtTextOutA(dc, box.left, box.top, cut ? ETO_CLIPPED : 0, &clip, text, static_cast<UINT>(length), nullptr);
    HPEN pen = CreatePen(PS_SOLID, 1, LinkColour);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, box.left, box.top + size.cy - 1, nullptr);
    LineTo(dc, box.left + width, box.top + size.cy - 1);
    SelectObject(dc, old);
    DeleteObject(pen);
    return clip;
}

// Only web addresses leave the control: nothing from a reply may start a
// local program.
void OpenLink(const char* address) {
    if (!IsOpenableAddress(address)) return;
    if (HANDLE process = OpenUrlInBrowser(address)) CloseHandle(process);
}

}  // namespace

void CSablet2::DrawLinks(HDC dc) {
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    SetTextColor(dc, LinkColour);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    if (Resize) {
        // The row shares the strip with the recorder's controls: it keeps
        // left of them, losing its links from the right on a narrow panel.
        HomeLinkRect = DrawLink(dc, InRow(HomeBox, LinkRowTop), "Home", false, StripLeft);
        Ad1LinkRect = AdInfo.Ad1Text[0] ? DrawLink(dc, InRow(Ad1Box, LinkRowTop), AdInfo.Ad1Text, true, StripLeft)
                                        : RECT{0, 0, 0, 0};
        Ad2LinkRect = AdInfo.Ad2Text[0] ? DrawLink(dc, InRow(Ad2Box, LinkRowTop), AdInfo.Ad2Text, true, StripLeft)
                                        : RECT{0, 0, 0, 0};
    } else {
        DisplayLinkRect = DrawLink(dc, DisplayUrlBox, AdInfo.DisplayURL, false);
    }
    SelectObject(dc, oldFont);
}

void CSablet2::OnMouseMove(UINT, CPoint point) {
    bool link = Inside(PoweredByRect(m_hWnd, Resize != 0), point);
    if (Resize) {
        // Over an empty ad box the cursor stays as it is.
        if ((Inside(InRow(Ad1Box, LinkRowTop), point) && !AdInfo.Ad1Text[0]) ||
            (Inside(InRow(Ad2Box, LinkRowTop), point) && !AdInfo.Ad2Text[0]))
            return;
        link = link || Inside(HomeLinkRect, point) || Inside(Ad1LinkRect, point) || Inside(Ad2LinkRect, point);
    } else {
        link = link || Inside(PictureRect(m_hWnd, AdPicture.Window()), point) || Inside(DisplayLinkRect, point);
    }
    ::SetCursor(::LoadCursorA(nullptr, link ? IDC_HAND : IDC_ARROW));
}

void CSablet2::OnLButtonDown(UINT, CPoint point) {
    if (Inside(PoweredByRect(m_hWnd, Resize != 0), point)) {
        OpenLink(sablet::kMakerHomePage);
        return;
    }
    if (Resize) {
        if (Inside(HomeLinkRect, point)) {
            ApplyHostBrowserBars();
            char home[sizeof PageHost + 8];
            snprintf(home, sizeof home, "http://%s", PageHost);
            if (HostBrowser) {
                VARIANT target, empty;
                VariantInit(&empty);
                VariantInit(&target);
                int wide = MultiByteToWideChar(CP_ACP, 0, home, -1, nullptr, 0);
                target.vt = VT_BSTR;
                target.bstrVal = wide > 0 ? SysAllocStringLen(nullptr, static_cast<UINT>(wide - 1)) : nullptr;
                if (target.bstrVal) {
                    MultiByteToWideChar(CP_ACP, 0, home, -1, target.bstrVal, wide);
                    HostBrowser->Navigate2(&target, &empty, &empty, &empty, &empty);
                }
                VariantClear(&target);
            } else {
                OpenLink(home);
            }
        } else if (AdInfo.Ad1Text[0] && Inside(Ad1LinkRect, point)) {
            ApplyHostBrowserBars();
            OpenLink(AdInfo.Ad1Link);
        } else if (AdInfo.Ad2Text[0] && Inside(Ad2LinkRect, point)) {
            ApplyHostBrowserBars();
            OpenLink(AdInfo.Ad2Link);
        }
        return;
    }
    if (Inside(PictureRect(m_hWnd, AdPicture.Window()), point) || Inside(DisplayLinkRect, point)) {
        char click[sablet::kClickAddressSize];
        if (sablet::BuildClickAddress(click, sizeof click, AdInfo, PubID)) OpenLink(click);
    }
}
