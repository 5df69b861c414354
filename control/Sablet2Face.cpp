// The recorder panel's face: the skin background, the owner-drawn
// transport buttons, their places, and the Upload button's menu with
// Export.
#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>

#include <commctrl.h>

#include "control/PanelText.h"
#include "control/Sablet2.h"
#include "filters/base/Module.h"
#include "framework/SafeString.h"

namespace {

struct FaceButton {
    int id;
    const char* name;  // IDR_BTN<name>UP / DOWN / DISABLED
};
constexpr FaceButton FaceButtons[12] = {
    {IDC_PLAY, "PLAY"},         {IDC_RECORD, "RECORD"},      {IDC_STOP, "STOP"},
    {IDC_PAUSE, "PAUSE"},       {IDC_CONFIG, "SETUP"},       {IDC_UPLOAD, "UPLOAD"},
    {IDC_BACKWARD, "BACKWARD"}, {IDC_FORWARD, "FORWARD"},    {IDC_GO, "GO"},
    {IDC_REFRESH, "REFRESH"},   {IDC_BROWSERSTOP, "BROWSERSTOP"}, {IDC_HISTORY, "HISTORY"},
};
constexpr int FaceCount = sizeof FaceButtons / sizeof FaceButtons[0];
const char* const FaceStates[3] = {"UP", "DOWN", "DISABLED"};

constexpr int PanelWidth = 474, PanelHeight = 159, TopPart = 79;
constexpr int ButtonWidth = 34, ButtonHeight = 35;

int FaceIndex(int id) {
    for (int i = 0; i < FaceCount; ++i)
        if (FaceButtons[i].id == id) return i;
    return -1;
}

void StretchBitmap(HDC dc, HBITMAP bitmap, const RECT& to) {
    BITMAP bm{};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) return;
    HDC mem = CreateCompatibleDC(dc);
    if (!mem) return;
    HGDIOBJ old = SelectObject(mem, bitmap);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, mem, 0, 0,
               bm.bmWidth, bm.bmHeight, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

}  // namespace

void CSablet2::LoadSkin() {
    HMODULE module = filterbase::ThisModule();
    for (int i = 0; i < FaceCount; ++i) {
        for (int s = 0; s < 3; ++s) {
            char name[48];
            SafeFormat(name, "IDR_BTN%s%s", FaceButtons[i].name, FaceStates[s]);
            Faces[i][s] = LoadBitmapA(module, name);
        }
        HWND button = ::GetDlgItem(m_hWnd, FaceButtons[i].id);
        if (button) ::SendMessageA(button, BM_SETSTYLE, BS_OWNERDRAW, FALSE);
    }
    Background = LoadBitmapA(module, "IDR_BACKGROUND");
    if (Background) {
        BackgroundBrush = CreatePatternBrush(Background);
        // A point of the body between the picture's well and the readout.
        if (HDC mem = CreateCompatibleDC(nullptr)) {
            HGDIOBJ old = SelectObject(mem, Background);
            COLORREF body = GetPixel(mem, 160, 120);
            SelectObject(mem, old);
            DeleteDC(mem);
            if (body != CLR_INVALID) BodyBrush = CreateSolidBrush(body);
        }
    }
    const char* const pieces[3] = {"IDR_SLIDERCHANNEL", "IDR_SLIDERCHANNELLEFT",
                                   "IDR_SLIDERCHANNELTHUMB"};
    for (int d = 0; d < 2; ++d)
        for (int p = 0; p < 3; ++p) {
            char name[48];
            SafeFormat(name, "%s%s", pieces[p], d ? "DISABLED" : "");
            SliderPieces[d][p] = LoadBitmapA(module, name);
        }
}

void CSablet2::FreeSkin() {
    for (auto& faces : Faces)
        for (HBITMAP& face : faces) {
            if (face) DeleteObject(face);
            face = nullptr;
        }
    if (BackgroundBrush) DeleteObject(BackgroundBrush);
    BackgroundBrush = nullptr;
    if (BodyBrush) DeleteObject(BodyBrush);
    BodyBrush = nullptr;
    if (Background) DeleteObject(Background);
    Background = nullptr;
    for (auto& set : SliderPieces)
        for (HBITMAP& piece : set) {
            if (piece) DeleteObject(piece);
            piece = nullptr;
        }
}

namespace {

const char* const SliderProp = "SabletSkinSlider";

struct SkinSlider {
    WNDPROC oldProc = nullptr;
    CSablet2* panel = nullptr;
    bool tracking = false;
    bool moved = false;
};

void FillWithPattern(HDC dc, HBITMAP pattern, const RECT& r) {
    if (!pattern || r.right <= r.left || r.bottom <= r.top) return;
    HBRUSH brush = CreatePatternBrush(pattern);
    if (!brush) return;
    SetBrushOrgEx(dc, r.left, r.top, nullptr);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void PaintSkinSlider(HWND wnd, const SkinSlider& s) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd, &ps);
    if (!dc) return;
    RECT client;
    GetClientRect(wnd, &client);
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bitmap = mem ? CreateCompatibleBitmap(dc, client.right, client.bottom) : nullptr;
    if (bitmap) {
        HGDIOBJ old = SelectObject(mem, bitmap);
        // The panel's background under the trackbar, where it sits.
        RECT onPanel = client;
        MapWindowPoints(wnd, s.panel->m_hWnd, reinterpret_cast<POINT*>(&onPanel), 2);
        if (HBRUSH back = s.panel->UnderControls()) {
            SetBrushOrgEx(mem, -onPanel.left, -onPanel.top, nullptr);
            FillRect(mem, &client, back);
        }
        int set = IsWindowEnabled(wnd) ? 0 : 1;
        RECT channel{}, thumb{};
        SendMessageA(wnd, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
        SendMessageA(wnd, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        int mid = (client.bottom - client.top) / 2;
        RECT groove{channel.left, mid - 2, channel.right, mid + 3};
        FillWithPattern(mem, s.panel->SliderPieces[set][0], groove);
        RECT left{channel.left, groove.top, thumb.left, groove.bottom};
        FillWithPattern(mem, s.panel->SliderPieces[set][1], left);
        RECT knob{thumb.left - 4, thumb.top, thumb.left + 11, thumb.bottom};
        FillWithPattern(mem, s.panel->SliderPieces[set][2], knob);
        BitBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteObject(bitmap);
    }
    if (mem) DeleteDC(mem);
    EndPaint(wnd, &ps);
}

void Report(HWND wnd, WORD code) {
    LRESULT pos = SendMessageA(wnd, TBM_GETPOS, 0, 0);
    SendMessageA(GetParent(wnd), WM_HSCROLL, MAKEWPARAM(code, static_cast<WORD>(pos)),
                 reinterpret_cast<LPARAM>(wnd));
}

// Moves the thumb under the pointer; true when the position changed.
bool TrackPointer(HWND wnd, LPARAM lParam) {
    RECT channel{};
    SendMessageA(wnd, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    int min = static_cast<int>(SendMessageA(wnd, TBM_GETRANGEMIN, 0, 0));
    int max = static_cast<int>(SendMessageA(wnd, TBM_GETRANGEMAX, 0, 0));
    int current = static_cast<int>(SendMessageA(wnd, TBM_GETPOS, 0, 0));
    int x = static_cast<short>(LOWORD(lParam));
    int pos = SliderPosFromPoint(x, channel.left, channel.right, min, max, current);
    if (pos == current) return false;
    SendMessageA(wnd, TBM_SETPOS, TRUE, pos);
    Report(wnd, TB_THUMBTRACK);
    return true;
}

LRESULT CALLBACK SkinSliderWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* s = static_cast<SkinSlider*>(GetPropA(wnd, SliderProp));
    if (!s) return DefWindowProcA(wnd, msg, wParam, lParam);
    switch (msg) {
    case WM_PAINT:
        PaintSkinSlider(wnd, *s);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
        if (!IsWindowEnabled(wnd)) return 0;
        SetCapture(wnd);
        s->tracking = true;
        s->moved = TrackPointer(wnd, lParam);
        return 0;
    case WM_MOUSEMOVE:
        if (s->tracking && GetCapture() == wnd && TrackPointer(wnd, lParam)) s->moved = true;
        return 0;
    case WM_LBUTTONUP:
        if (!s->tracking) return 0;
        s->tracking = false;
        ReleaseCapture();
        if (s->moved) Report(wnd, TB_THUMBTRACK);
        Report(wnd, TB_THUMBPOSITION);
        Report(wnd, TB_ENDTRACK);
        return 0;
    case TBM_SETPOS: {
        LRESULT r = CallWindowProcA(s->oldProc, wnd, msg, wParam, lParam);
        InvalidateRect(wnd, nullptr, FALSE);
        return r;
    }
    case WM_NCDESTROY: {
        WNDPROC old = s->oldProc;
        SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        RemovePropA(wnd, SliderProp);
        delete s;
        return CallWindowProcA(old, wnd, msg, wParam, lParam);
    }
    default:
        break;
    }
    return CallWindowProcA(s->oldProc, wnd, msg, wParam, lParam);
}

}  // namespace

void CSablet2::SubclassSkinSlider(int id) {
    HWND wnd = ::GetDlgItem(m_hWnd, id);
    if (!wnd || GetPropA(wnd, SliderProp)) return;
    auto* s = new SkinSlider;
    s->panel = this;
    if (!SetPropA(wnd, SliderProp, s)) {
        delete s;
        return;
    }
    s->oldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SkinSliderWndProc)));
}

void CSablet2::PlaceAtDesignScale() {
    // The panel is drawn in pixels (its skin, the buttons placed below), but
    // the template's controls land where the font the system has for it
    // puts them: a wider stand-in font pushed the volume slider over Upload
    // and the position slider into the time box. So they go back to where
    // the font the panel was drawn for puts them (base units 6 x 13).
    constexpr int DesignX = 6, DesignY = 13;
    RECT base = {0, 0, 4, 8};
    if (!::MapDialogRect(m_hWnd, &base) || base.right <= 0 || base.bottom <= 0) return;
    if (base.right == DesignX && base.bottom == DesignY) return;
    auto x = [&](int v) { return MulDiv(v, DesignX, base.right); };
    auto y = [&](int v) { return MulDiv(v, DesignY, base.bottom); };
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT r;
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        // A combo box's height is that of its open list; shut, the font sets it.
        char kind[16] = "";
        RECT open;
        ::GetClassNameA(child, kind, sizeof kind);
        if (_stricmp(kind, "ComboBox") == 0 && ::SendMessageA(child, CB_GETDROPPEDCONTROLRECT, 0,
                                                               reinterpret_cast<LPARAM>(&open)))
            r.bottom = r.top + (open.bottom - open.top);
        ::MoveWindow(child, x(r.left), y(r.top), x(r.right) - x(r.left), y(r.bottom) - y(r.top), FALSE);
    }
    if (Resize) OnSize(0, 0, 0);
}

void CSablet2::LayoutTransportButtons() {
    RECT r;
    ::GetClientRect(m_hWnd, &r);
    r.left += 1;
    r.right -= 3;
    r.bottom -= 1;
    if (!Align) r.bottom = r.top + TopPart;
    if (!Resize) {
        r.bottom = r.top + PanelHeight;
        r.right = r.left + PanelWidth;
    }
    int top = r.bottom - 37;
    int x = r.right - 37;
    const int rightToLeft[4] = {IDC_STOP, IDC_PAUSE, IDC_RECORD, IDC_PLAY};
    for (int id : rightToLeft) {
        ::MoveWindow(::GetDlgItem(m_hWnd, id), x, top, ButtonWidth, ButtonHeight, TRUE);
        x -= ButtonWidth;
    }
    // x is now one button left of Play; Config ends 15 pixels before Play.
    int configX = x + ButtonWidth - 15 - ButtonWidth;
    ::MoveWindow(::GetDlgItem(m_hWnd, IDC_CONFIG), configX, top, ButtonWidth, ButtonHeight, TRUE);
    int uploadX = configX - ButtonWidth;
    ::MoveWindow(::GetDlgItem(m_hWnd, IDC_UPLOAD), uploadX, top, ButtonWidth, ButtonHeight, TRUE);
    UploadMenuPoint = POINT{uploadX + ButtonWidth + 2, top};
}

namespace {

// Resize mode: each control keeps its size and moves to (R - dx, B - dy)
// of the panel's bottom right corner.
struct Anchor {
    int id, dx, dy;
};
constexpr Anchor LayoutAnchorTable[] = {
    {IDC_ADPICTURE, 474, 159}, {IDC_ETCHEDLINE, 471, 79},       {IDC_TIMEFRAME, 142, 71},
    {IDC_POSITION, 471, 68},   {IDC_AUDIOSOURCE, 468, 44},      {IDC_VOLUME, 345, 39},
    {IDC_VOLUMELABEL, 345, 56}, {IDC_AUDIOSOURCELABEL, 471, 56},
};

}  // namespace

void CSablet2::OnSize(UINT, int, int) {
    if (!Resize || !m_hWnd) return;
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    int R = client.right;
    int B = Align ? client.bottom : client.top + TopPart;
    for (const Anchor& a : LayoutAnchorTable) {
        HWND item = ::GetDlgItem(m_hWnd, a.id);
        if (!item) continue;
        RECT r;
        ::GetWindowRect(item, &r);
        ::MoveWindow(item, R - a.dx, B - a.dy, r.right - r.left, r.bottom - r.top, TRUE);
    }
    ::MoveWindow(::GetDlgItem(m_hWnd, IDC_ETCHEDLINE), R - 474, B - 79, 2, 79, TRUE);
    TimeBoxRect = RECT{R - 141, B - 70, R - 141 + 136, B - 70 + 26};
    PageHostRect = RECT{R - 238, B - 96, R - 238 + 233, B - 96 + 14};
    // The browser takes what the panel leaves: all above it with Align,
    // all below it but TopOffset pixels without; the links then sit
    // between the browser and the browser buttons, or stay on top.
    if (BrowserWindow) {
        if (Align)
            ::MoveWindow(BrowserWindow, 0, 0, R, std::max(B - TopPart, 0), TRUE);
        else
            ::MoveWindow(BrowserWindow, client.left, client.top + TopPart, client.right,
                         std::max<LONG>(client.bottom - TopOffset - TopPart, 0), TRUE);
    }
    LinkRowTop = Align ? B - 76 : 2;
    StripLeft = R - PanelWidth;
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    LayoutTransportButtons();
    LayoutBrowserButtons();
}

void CSablet2::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    if (!dc) return;
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    RECT panel = {0, 0, PanelWidth, PanelHeight};
    int lineY = -1;
    if (Resize && Align) {
        panel = client;
        lineY = client.bottom - TopPart;
    } else if (Resize) {
        panel = RECT{client.left, client.top, client.right, client.top + TopPart};
        lineY = client.top + TopPart;
    }
    // Resizable, all the browser leaves is the panel's too: without Align
    // the TopOffset band under the browser, and the browser's place while
    // it has shown no page.
    if (Resize && BodyBrush)
        FillRect(dc, &client, BodyBrush);
    else
        StretchBitmap(dc, Background, panel);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    if (lineY >= 0) {
        MoveToEx(dc, panel.left, lineY, nullptr);
        LineTo(dc, panel.right, lineY);
    }
    // A one-pixel frame around the panel.
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, panel.left, panel.top, panel.right, panel.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    ::EndPaint(m_hWnd, &ps);
    DrawPageHost();
    if (Recording)
        DrawElapsedTime();
    else
        DrawPlayTime();
    if (HDC links = ::GetDC(m_hWnd)) {
        DrawLinks(links);
        ::ReleaseDC(m_hWnd, links);
    }
}

void CSablet2::OnDrawItem(int id, LPDRAWITEMSTRUCT item) {
    int i = FaceIndex(id);
    if (i < 0 || !item) return;
    int state = 0;
    if (item->itemState & ODS_DISABLED)
        state = 2;
    else if ((item->itemState & ODS_SELECTED) || (id == IDC_PLAY && TransportState == 1) ||
             (id == IDC_RECORD && TransportState == 2) || (id == IDC_PAUSE && Paused))
        state = 1;
    StretchBitmap(item->hDC, Faces[i][state], item->rcItem);
}

void CSablet2::DrawPageHost() {
    if (!m_hWnd || !PageHost[0]) return;
    HDC dc = ::GetDC(m_hWnd);
    if (!dc) return;
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(228, 233, 240));
    RECT box = PageHostRect;
    DrawTextA(dc, PageHost, -1, &box, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS |
                                          DT_NOPREFIX);
    SelectObject(dc, oldFont);
    ::ReleaseDC(m_hWnd, dc);
}

LRESULT CSablet2::OnCtlColorStatic(WPARAM wParam, LPARAM) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetBkMode(dc, TRANSPARENT);
    HBRUSH under = UnderControls();
    return reinterpret_cast<LRESULT>(under ? under : GetSysColorBrush(COLOR_BTNFACE));
}

void CSablet2::LoadPanelMenus() {
    HMODULE module = filterbase::ThisModule();
    UploadMenu.DestroyMenu();
    HistoryMenu.DestroyMenu();
    UploadMenu.Attach(LoadMenuA(module, MAKEINTRESOURCEA(IDR_UPLOADMENU)));
    HistoryMenu.Attach(LoadMenuA(module, MAKEINTRESOURCEA(IDR_HISTORYMENU)));
    UploadPopup = UploadMenu.m_hMenu ? GetSubMenu(UploadMenu.m_hMenu, 0) : nullptr;
    HistoryPopup = HistoryMenu.m_hMenu ? GetSubMenu(HistoryMenu.m_hMenu, 0) : nullptr;
}

void CSablet2::OnUploadButton() {
    if (!UploadPopup) return;
    POINT at = UploadMenuPoint;
    ::ClientToScreen(m_hWnd, &at);
    TrackPopupMenuEx(UploadPopup, TPM_VERTICAL, at.x, at.y, m_hWnd, nullptr);
}

void CSablet2::OnExportRecording() {
    if (RecordingBase[0] == '\0' || LastExtension[0] == '\0') return;
    bool mp3 = _stricmp(LastExtension, ".mp3") == 0;
    char file[MAX_PATH] = "";
    SafeCopy(file, mp3 ? "myvoice.mp3" : "myvoice.wav");
    // The filters' pairs are separated by NULs, the list ends with two.
    static const char Mp3Filter[] = "MP3 Files (*.mp3)\0*.mp3\0";
    static const char WavFilter[] = " Wave File ( *.wav)\0*.wav\0";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = mp3 ? Mp3Filter : WavFilter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrDefExt = mp3 ? "mp3" : "wav";
    ofn.Flags = OFN_HIDEREADONLY;
    if (!GetSaveFileNameA(&ofn)) return;
    char source[sizeof RecordingBase + 8];
    if (SafeFormat(source, "%s%s", RecordingBase, LastExtension) && CopyFileA(source, file, FALSE))
        ClearTransportFailure();
    else
        ReportTransportFailure("Cannot export:", "cannot write the file");
}
