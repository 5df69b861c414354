#include "ui/TrackList.h"

#include <commctrl.h>

#include <cstring>

#include "framework/SafeString.h"
#include "ui/Picture.h"

const char kTrackListClass[] = "HollinTrackWnd";

namespace {

constexpr int kColumns = 6;
// Column 0 holds the check box: wide enough to show the whole picture and
// to be hit, and never resized by the user. The time columns fit
// "00:00:00" and "m:ss" between their margins; the location gives way so
// that the last column keeps room for its "Audio line" title even beside
// the scroll bar of a long day.
constexpr int kColumnWidths[kColumns] = {20, 120, 104, 60, 50, 120};
const char* const kItemTexts[kColumns] = {"", "Title", "Time", "Start", "End", "Status"};
const char* const kColumnTitles[kColumns] = {"", "Name", "Location", "Start time", "Duration",
                                             "Audio line"};
constexpr int kRowBand = 16;          // painted height of a row
constexpr int kEditorHeight = 20;
constexpr int kTitleMax = 260;         // characters of a name, NUL excluded
constexpr int kStatusMax = 70;
const COLORREF kGrey = RGB(128, 128, 128);
const COLORREF kSelectedText = RGB(255, 255, 255);
const COLORREF kDarkGroundText = RGB(228, 233, 240);

// Everything one list keeps, in a GlobalAlloc block at GWLP_USERDATA.
struct TrackListState {
    int count;
    int capacity;
    int lineHeight;
    int contentHeight;
    int scrollX, scrollY;
    int headerHeight;
    int colLeft[kColumns];
    int colWidth[kColumns];
    int cursor;            // TLM_GETNEXTCHECKED searches after this row
    HWND header;
    HBRUSH brush;          // owned: selected band and header background
    int selected;          // -1 or 0..count-1
    int mode;
    TrackListRow* rows;    // GlobalAlloc block of `capacity` rows
    HWND editor;           // the in-place title editor while open
    UINT editorSerial;
    bool inLayout;
};

// The pictures every list paints with; owned here (one owner each).
CPicture* g_boxUnchecked = nullptr;
CPicture* g_boxChecked = nullptr;
CPicture* g_boxDisabled = nullptr;
SIZE g_boxSize{13, 13};  // the pictures' size, or the drawn fallback's

// Class procedures our subclasses replace (the same for every instance).
WNDPROC g_headerProc = nullptr;
WNDPROC g_editProc = nullptr;

TrackListState* State(HWND list) {
    return list ? reinterpret_cast<TrackListState*>(GetWindowLongPtrA(list, GWLP_USERDATA)) : nullptr;
}

bool InRange(const TrackListState* s, WPARAM index) {
    int i = static_cast<int>(index);
    return i >= 0 && i < s->count;
}

template <size_t N>
void Terminate(char (&field)[N]) { field[N - 1] = '\0'; }

void CopyRowIn(TrackListRow* dst, const TrackListRow* src) {
    memcpy(dst, src, sizeof *dst);
    Terminate(dst->name);
    Terminate(dst->location);
    Terminate(dst->startTime);
    Terminate(dst->duration);
    Terminate(dst->audioLine);
    Terminate(dst->statusText);
}

int RowStep(const TrackListState* s) { return s->lineHeight + 4; }

int RowTop(const TrackListState* s, int row) {
    return RowStep(s) * row + s->headerHeight - s->scrollY + 6;
}

SIZE BoxSize() { return g_boxSize; }

RECT BoxRect(const TrackListState* s, int row) {
    SIZE box = BoxSize();
    int x = s->colLeft[0] + s->colWidth[0] / 2 - box.cx / 2 - s->scrollX;
    int y = RowTop(s, row) + (kRowBand - box.cy + 1) / 2;
    return RECT{x, y, x + box.cx, y + box.cy};
}

// The row whose line holds client y, or -1 (header, gaps past the last row).
int RowAt(const TrackListState* s, int y) {
    if (y < s->headerHeight) return -1;
    int rel = y + s->scrollY - s->headerHeight - 6;
    if (rel < 0) return -1;
    int row = rel / RowStep(s);
    return row < s->count ? row : -1;
}

int ClientHeight(HWND list) {
    RECT rc;
    GetClientRect(list, &rc);
    return rc.bottom - rc.top;
}

int MaxScroll(HWND list, const TrackListState* s) {
    int max = s->contentHeight - ClientHeight(list) + 1;
    return max > 0 ? max : 0;
}

void PlaceHeader(HWND list, TrackListState* s) {
    RECT rc;
    GetClientRect(list, &rc);
    HDLAYOUT layout;
    WINDOWPOS pos{};
    layout.prc = &rc;
    layout.pwpos = &pos;
    SendMessageA(s->header, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout));
    SetWindowPos(s->header, pos.hwndInsertAfter, pos.x, pos.y, pos.cx, pos.cy, pos.flags | SWP_SHOWWINDOW);
    s->headerHeight = pos.cy + 1;
}

void Layout(HWND list, TrackListState* s) {
    // Showing or hiding the scroll bar sends WM_SIZE back here.
    if (!s->header || s->inLayout) return;
    s->inLayout = true;
    int left = 0;
    for (int i = 0; i < kColumns; ++i) {
        HDITEMA item{};
        item.mask = HDI_WIDTH;
        SendMessageA(s->header, HDM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
        s->colLeft[i] = left;
        s->colWidth[i] = item.cxy;
        left += item.cxy;
    }
    PlaceHeader(list, s);

    s->contentHeight = s->headerHeight + RowStep(s) * s->count + 5;
    int client = ClientHeight(list);
    if (s->contentHeight <= client) s->scrollY = 0;  // the bar goes, its position with it
    if (s->scrollY > MaxScroll(list, s)) s->scrollY = MaxScroll(list, s);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = s->contentHeight;
    si.nPage = client > 0 ? client : 0;
    si.nPos = s->scrollY;
    SetScrollInfo(list, SB_VERT, &si, TRUE);
    // Rows never grow wider than the columns: no horizontal range.
    s->scrollX = 0;
    SetScrollRange(list, SB_HORZ, 0, 0, TRUE);
    // The vertical bar may have come or gone: the header follows the width.
    PlaceHeader(list, s);
    s->inLayout = false;
}

void Repaint(HWND list) {
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
}

void CloseEditor(TrackListState* s) {
    HWND editor = s->editor;
    s->editor = nullptr;
    if (!editor) return;
    if (GetCapture() == editor) ReleaseCapture();
    DestroyWindow(editor);
}

void DrawBox(HDC dc, const RECT& r, const TrackListRow& row) {
    const CPicture* face = g_boxUnchecked;
    if (row.locked) {
        face = g_boxDisabled;
    }
    bool drawn = face && face->IsLoaded() && face->Draw(dc, r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (!drawn) {
        RECT box = r;
        DrawFrameControl(dc, &box, DFC_BUTTON,
                         DFCS_BUTTONCHECK | DFCS_FLAT | (row.locked ? DFCS_INACTIVE : 0) |
                             (row.state && !row.locked ? DFCS_CHECKED : 0));
        return;
    }
    if (row.state && !row.locked && g_boxChecked && g_boxChecked->IsLoaded())
        g_boxChecked->Draw(dc, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// Row text that reads on the owner's background brush: the system's text
// colour on a light one, a light grey on a dark one.
COLORREF TextColourOn(HBRUSH background) {
    LOGBRUSH brush{};
    if (!background || GetObjectA(background, sizeof brush, &brush) != sizeof brush ||
        brush.lbStyle != BS_SOLID)
        return GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF c = brush.lbColor;
    const int luma = (299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c)) / 1000;
    return luma < 128 ? kDarkGroundText : GetSysColor(COLOR_WINDOWTEXT);
}

void Paint(HWND list, TrackListState* s) {
    PAINTSTRUCT ps;
    HDC target = BeginPaint(list, &ps);
    RECT client;
    GetClientRect(list, &client);
    // The header is a child we do not clip: paint only below it.
    RECT area = client;
    area.top = s->headerHeight > 0 ? s->headerHeight - 1 : 0;
    if (area.top < area.bottom) {
        CXTMemDC dc(target, &area);
        HBRUSH background = reinterpret_cast<HBRUSH>(GetClassLongPtrA(list, GCLP_HBRBACKGROUND));
        FillRect(dc, &area, background ? background : GetSysColorBrush(COLOR_WINDOW));
        const COLORREF rowText = TextColourOn(background);
        IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
        HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
        SetBkMode(dc, TRANSPARENT);
        if (s->mode == 0) {
            int first = RowAt(s, area.top);
            if (first < 0) first = 0;
            for (int a = first; a < s->count; ++a) {
                int top = RowTop(s, a);
                if (top >= area.bottom) break;
                const TrackListRow& row = s->rows[a];
                if (a == s->selected) {
                    RECT band{client.left, top, client.right, top + kRowBand};
                    FillRect(dc, &band, s->brush);
                }
                DrawBox(dc, BoxRect(s, a), row);
                SetTextColor(dc, a == s->selected ? kSelectedText : rowText);
                const char* texts[kColumns] = {"", row.name, row.location, row.startTime, row.duration,
                                               row.audioLine};
                for (int c = 1; c < kColumns; ++c) {
                    RECT cell{s->colLeft[c] + 5 - s->scrollX, top,
                              s->colLeft[c] + s->colWidth[c] - 5 - s->scrollX, top + kRowBand};
                    cell.left += 1;
                    // The last column reaches the window's edge, as its title
                    // does; a column that passes the edge ends there, so that
                    // its "..." is seen rather than cut off with the text.
                    if (c == kColumns - 1 || cell.right > client.right - 5) cell.right = client.right - 5;
                    if (cell.right <= cell.left) continue;
                    DrawTextA(dc, texts[c], -1, &cell,
                              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
                }
            }
        }
        SelectObject(dc, oldFont);
    }
    EndPaint(list, &ps);
}

// ---- header subclass ----------------------------------------------------------

void PaintHeader(HWND header, TrackListState* s) {
    PAINTSTRUCT ps;
    HDC target = BeginPaint(header, &ps);
    RECT client;
    GetClientRect(header, &client);
    {
        CXTMemDC dc(target, &client);
        FillRect(dc, &client, s ? s->brush : static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        int items = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < items && i < kColumns; ++i) {
            RECT item{};
            SendMessageA(header, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item));
            if (i == items - 1) item.right = client.right;
            DrawTextA(dc, kColumnTitles[i], -1, &item,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
            if (i < items - 1) {
                MoveToEx(dc, item.right - 1, client.top, nullptr);
                LineTo(dc, item.right - 1, client.bottom);
            }
        }
        SelectObject(dc, oldPen);
        SelectObject(dc, oldFont);
    }
    EndPaint(header, &ps);
}

LRESULT CALLBACK HeaderProc(HWND header, UINT message, WPARAM wParam, LPARAM lParam) {
    TrackListState* s = State(GetParent(header));
    switch (message) {
    case WM_PAINT:
        PaintHeader(header, s);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_CTLCOLORSTATIC:
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(s ? s->brush : GetStockObject(GRAY_BRUSH));
    case WM_COMMAND:
        if (HIWORD(wParam) == 0) return SendMessageA(GetParent(header), message, wParam, lParam);
        break;
    }
    return CallWindowProcA(g_headerProc, header, message, wParam, lParam);
}

// ---- in-place editor ------------------------------------------------------------

LRESULT CALLBACK EditorProc(HWND editor, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND list = GetParent(editor);
    TrackListState* s = State(list);
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE && s && s->editor == editor) {
            CloseEditor(s);
            SetFocus(list);
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        if (!s || s->editor != editor) break;
        POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        RECT rc;
        GetClientRect(editor, &rc);
        if (PtInRect(&rc, pt)) break;
        char text[kTitleMax + 1];
        GetWindowTextA(editor, text, sizeof text);
        SendMessageA(list, TLM_SETSELTITLE, 0, reinterpret_cast<LPARAM>(text));
        ReleaseCapture();
        ClientToScreen(editor, &pt);
        CloseEditor(s);
        // The press belongs to the list only when it landed on it.
        ScreenToClient(list, &pt);
        RECT listRc;
        GetClientRect(list, &listRc);
        if (PtInRect(&listRc, pt)) SendMessageA(list, message, wParam, MAKELPARAM(pt.x, pt.y));
        return 0;
    }
    }
    return CallWindowProcA(g_editProc, editor, message, wParam, lParam);
}

void OpenEditor(HWND list, TrackListState* s) {
    if (s->editor || !InRange(s, s->selected)) return;
    int top = RowTop(s, s->selected) - (kEditorHeight - kRowBand) / 2;
    UINT id = 2000 + (++s->editorSerial % 1000);
    HWND editor = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL,
                                  s->colLeft[1] - s->scrollX, top, s->colWidth[1], kEditorHeight, list,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                  reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(list, GWLP_HINSTANCE)),
                                  nullptr);
    if (!editor) return;
    SendMessageA(editor, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_VAR_FONT)), FALSE);
    SendMessageA(editor, EM_LIMITTEXT, kTitleMax, 0);
    SetWindowTextA(editor, s->rows[s->selected].name);
    SendMessageA(editor, EM_SETSEL, 0, -1);
    WNDPROC previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditorProc)));
    if (!g_editProc) g_editProc = previous;
    s->editor = editor;
    SetFocus(editor);
    SetCapture(editor);
}

// ---- creation and destruction -----------------------------------------------------

bool Create(HWND list, const CREATESTRUCTA* cs) {
    auto* s = static_cast<TrackListState*>(GlobalAlloc(GPTR, sizeof(TrackListState)));
    if (!s) return false;
    s->rows = static_cast<TrackListRow*>(GlobalAlloc(GPTR, sizeof(TrackListRow) * kTrackListCapacity));
    if (!s->rows) {
        GlobalFree(s);
        return false;
    }
    s->capacity = kTrackListCapacity;
    s->cursor = -1;
    s->selected = -1;
    s->mode = cs && cs->lpCreateParams ? *static_cast<const int*>(cs->lpCreateParams) : 0;
    s->brush = CreateSolidBrush(kGrey);

    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    static const char kSample[] = "ABCDEFGHIJKLMNOPQRSTUVWYXZabcdefghijklmnopqrstuvwxyz";
    SIZE extent{};
    GetTextExtentPoint32A(dc, kSample, static_cast<int>(sizeof kSample - 1), &extent);
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    s->lineHeight = extent.cy > 0 ? extent.cy : 13;
    SetWindowLongPtrA(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(s));

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    HINSTANCE instance = cs ? cs->hInstance : nullptr;
    s->header = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD | WS_BORDER, 0, 0, 0, 0, list,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kTrackListHeaderId)),
                                instance, nullptr);
    if (s->header) {
        for (int i = 0; i < kColumns; ++i) {
            HDITEMA item{};
            item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
            item.cxy = kColumnWidths[i];
            item.pszText = const_cast<char*>(kItemTexts[i]);
            item.fmt = HDF_LEFT | HDF_STRING;
            SendMessageA(s->header, HDM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
        }
        SendMessageA(s->header, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_VAR_FONT)), FALSE);
        WNDPROC previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(s->header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HeaderProc)));
        if (!g_headerProc) g_headerProc = previous;
    }
    Layout(list, s);
    return true;
}

void Destroy(HWND list) {
    TrackListState* s = State(list);
    if (!s) return;
    // Late messages (children going, WM_NCDESTROY) find no record.
    SetWindowLongPtrA(list, GWLP_USERDATA, 0);
    s->editor = nullptr;
    if (s->brush) DeleteObject(s->brush);
    GlobalFree(s->rows);
    GlobalFree(s);
}

// ---- the private messages ---------------------------------------------------------

void RemoveRow(TrackListState* s, int index) {
    int after = s->count - index - 1;
    if (after > 0) memmove(&s->rows[index], &s->rows[index + 1], sizeof(TrackListRow) * after);
    --s->count;
    memset(&s->rows[s->count], 0, sizeof(TrackListRow));
    s->cursor = -1;
}

// Changes after which the list is laid out (count changed) and repainted.
void Changed(HWND list, TrackListState* s, bool countChanged) {
    if (countChanged) Layout(list, s);
    Repaint(list);
}

LRESULT FindChecked(TrackListState* s, int from, LPARAM out) {
    for (int i = from < 0 ? 0 : from; i < s->count; ++i) {
        if (s->rows[i].state || s->rows[i].mark) {
            if (out) memcpy(reinterpret_cast<TrackListRow*>(out), &s->rows[i], sizeof(TrackListRow));
            s->cursor = i;
            return i;
        }
    }
    return -1;
}

LRESULT OnPrivate(HWND list, TrackListState* s, UINT message, WPARAM wParam, LPARAM lParam) {
    int index = static_cast<int>(wParam);
    switch (message) {
    case TLM_ADDROW:
        if (!lParam || s->count >= s->capacity) return -1;
        CopyRowIn(&s->rows[s->count], reinterpret_cast<const TrackListRow*>(lParam));
        ++s->count;
        Changed(list, s, true);
        return 0;
    case TLM_DELETEROW:
        if (index == -1) {
            CloseEditor(s);
            memset(s->rows, 0, sizeof(TrackListRow) * s->capacity);
            s->count = 0;
            s->selected = -1;
            s->cursor = -1;
        } else if (index == -2) {
            if (!InRange(s, s->selected)) return -1;
            CloseEditor(s);
            RemoveRow(s, s->selected);
            if (s->selected >= s->count) s->selected = s->count - 1;
        } else {
            if (!InRange(s, wParam)) return -1;
            CloseEditor(s);
            RemoveRow(s, index);
            s->selected = -1;
        }
        Changed(list, s, true);
        return 0;
    case TLM_SETCHECK:
    case TLM_TOGGLECHECK: {
        auto apply = [&](TrackListRow& row) {
            row.checked = message == TLM_SETCHECK ? (lParam ? 1 : 0) : (row.checked ? 0 : 1);
        };
        if (index == -1) {
            for (int i = 0; i < s->count; ++i)
                if (!s->rows[i].locked) apply(s->rows[i]);
        } else {
            if (!InRange(s, wParam)) return -1;
            if (!s->rows[index].locked) apply(s->rows[index]);
        }
        Changed(list, s, false);
        return 0;
    }
    case TLM_SELECTROW: {
        int chosen = InRange(s, wParam) ? index : -1;
        if (chosen == s->selected) return chosen == index ? 0 : -1;
        s->selected = chosen;
        Changed(list, s, false);
        return chosen == index ? 0 : -1;
    }
    case TLM_EDITTITLE:
        OpenEditor(list, s);
        return 0;
    case TLM_GETFIRSTCHECKED:
        return FindChecked(s, 0, lParam);
    case TLM_GETNEXTCHECKED:
        return FindChecked(s, s->cursor + 1, lParam);
    case TLM_SETSELTITLE:
        if (!lParam || !InRange(s, s->selected)) return -1;
        SafeCopy(s->rows[s->selected].name, reinterpret_cast<const char*>(lParam));
        Changed(list, s, false);
        return 0;
    case TLM_COUNTCHECKED: {
        int n = 0;
        for (int i = 0; i < s->count; ++i) n += s->rows[i].checked ? 1 : 0;
        return n;
    }
    case TLM_GETCOUNT:
        return s->count;
    case TLM_GETROW:
        if (!lParam || !InRange(s, wParam)) return 0;
        memcpy(reinterpret_cast<TrackListRow*>(lParam), &s->rows[index], sizeof(TrackListRow));
        return lParam;
    case TLM_SETROWTEXT:
        if (!lParam || !InRange(s, wParam)) return -1;
        SafeCopy(s->rows[index].statusText, reinterpret_cast<const char*>(lParam));
        Changed(list, s, false);
        return 0;
    case TLM_SETTITLE:
        if (!lParam || !InRange(s, wParam)) return -1;
        SafeCopy(s->rows[index].name, reinterpret_cast<const char*>(lParam));
        Changed(list, s, false);
        return 0;
    case TLM_SETROWSTATE:
    case TLM_SETROWMARK: {
        auto apply = [&](TrackListRow& row) {
            if (message == TLM_SETROWSTATE)
                row.state = lParam ? 3 : 0;
            else
                row.mark = lParam ? 1 : 0;
        };
        if (index == -1) {
            for (int i = 0; i < s->count; ++i)
                if (!s->rows[i].locked) apply(s->rows[i]);
        } else {
            if (!InRange(s, wParam)) return -1;
            apply(s->rows[index]);
        }
        Changed(list, s, false);
        return 0;
    }
    case TLM_DISABLEBUTTONS:
        return 0;
    case TLM_CONDITIONALCLEAR:
        if (s->mode == 1) return OnPrivate(list, s, TLM_DELETEROW, static_cast<WPARAM>(-1), 0);
        return 0;
    case TLM_GETPATH: {
        char* out = reinterpret_cast<char*>(wParam);
        if (!out) return FALSE;
        out[0] = '\0';
        if (!InRange(s, static_cast<WPARAM>(lParam))) return FALSE;
        const TrackListRow& row = s->rows[lParam];
        char path[MAX_PATH];
        if (!SafeFormatTo(path, sizeof path, "%s%s", row.location, row.name)) return FALSE;
        memcpy(out, path, strlen(path) + 1);
        return TRUE;
    }
    }
    return 0;
}

// ---- mouse and scrolling --------------------------------------------------------------

void OnLeftDown(HWND list, TrackListState* s, int x, int y) {
    SetFocus(list);
    int row = RowAt(s, y);
    if (row >= 0) {
        RECT box = BoxRect(s, row);
        InflateRect(&box, 2, 2);
        POINT pt{x, y};
        if (PtInRect(&box, pt)) {
            TrackListRow& r = s->rows[row];
            if (!r.locked) r.state = r.state ? 0 : 3;
            Repaint(list);
            return;
        }
        s->selected = row;
        Repaint(list);
        SendMessageA(GetParent(list), WM_TRACKLIST_OPENFILE, 0, row);
        return;
    }
    Repaint(list);
}

void OnScroll(HWND list, TrackListState* s, UINT code) {
    int step = RowStep(s), page = ClientHeight(list), max = MaxScroll(list, s);
    int y = s->scrollY;
    switch (code) {
    case SB_LINEUP: y -= step; break;
    case SB_LINEDOWN: y += step; break;
    case SB_PAGEUP: y -= page; break;
    case SB_PAGEDOWN: y += page; break;
    case SB_TOP: y = 0; break;
    case SB_BOTTOM: y = max; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(list, SB_VERT, &si);
        y = si.nTrackPos;
        break;
    }
    default: return;
    }
    if (y > max) y = max;
    if (y < 0) y = 0;
    s->scrollY = y;
    if (s->editor) CloseEditor(s);
    Layout(list, s);
    Repaint(list);
}

void OnContextMenu(HWND list, TrackListState* s, LPARAM lParam) {
    POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (lParam == -1) {  // from the keyboard: at the list's top left
        pt = {0, s->headerHeight};
        ClientToScreen(list, &pt);
    }
    POINT client = pt;
    ScreenToClient(list, &client);
    if (client.y < s->headerHeight) return;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(list, GWLP_HINSTANCE));
    if (!FindResourceA(instance, "trackPopupMenu", MAKEINTRESOURCEA(4) /* RT_MENU */)) return;
    HMENU menu = LoadMenuA(instance, "trackPopupMenu");
    if (!menu) return;
    if (HMENU popup = GetSubMenu(menu, 0))
        TrackPopupMenu(popup, TPM_RIGHTBUTTON, pt.x, pt.y, 0, GetParent(list), nullptr);
    DestroyMenu(menu);
}

LRESULT OnHeaderNotify(HWND list, TrackListState* s, const NMHDR* hdr) {
    if (!hdr || hdr->hwndFrom != s->header) return 0;
    const auto* nm = reinterpret_cast<const NMHEADERA*>(hdr);
    switch (hdr->code) {
    case HDN_BEGINTRACKA:
    case HDN_BEGINTRACKW:
    case HDN_DIVIDERDBLCLICKA:
    case HDN_DIVIDERDBLCLICKW:
        return nm->iItem == 0 ? TRUE : FALSE;  // the check-box column keeps its width
    case HDN_ITEMCHANGEDA:
    case HDN_ITEMCHANGEDW:
        Layout(list, s);
        Repaint(list);
        return 0;
    case HDN_ITEMCLICKA:
    case HDN_ITEMCLICKW:
        OutputDebugStringA("Header notify");
        return 0;
    }
    return 0;
}

}  // namespace

LRESULT CALLBACK TrackListWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) return Create(hwnd, reinterpret_cast<const CREATESTRUCTA*>(lParam)) ? 0 : -1;
    TrackListState* s = State(hwnd);
    if (!s) return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message >= TLM_ADDROW && message <= TLM_GETPATH) return OnPrivate(hwnd, s, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        Destroy(hwnd);
        return 0;
    case WM_SIZE:
        Layout(hwnd, s);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the paint fills the rows' area itself
    case WM_SHOWWINDOW:
        // A title being edited is kept, as a click elsewhere keeps it: a
        // hidden editor would go on holding the focus and the mouse.
        if (!wParam && s->editor) {
            char text[kTitleMax + 1];
            GetWindowTextA(s->editor, text, sizeof text);
            OnPrivate(hwnd, s, TLM_SETSELTITLE, 0, reinterpret_cast<LPARAM>(text));
            CloseEditor(s);
        }
        break;
    case WM_PAINT:
        Paint(hwnd, s);
        return 0;
    case WM_LBUTTONDOWN:
        OnLeftDown(hwnd, s, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_RBUTTONDOWN: {
        SetFocus(hwnd);
        int row = RowAt(s, static_cast<short>(HIWORD(lParam)));
        if (row >= 0) s->selected = row;
        Repaint(hwnd);
        return 0;
    }
    case WM_CONTEXTMENU:
        OnContextMenu(hwnd, s, lParam);
        return 0;
    case WM_MOUSEMOVE:
        if (s->editor && GetCapture() != s->editor) SetCapture(s->editor);
        return 0;
    case WM_VSCROLL:
        OnScroll(hwnd, s, LOWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return OnHeaderNotify(hwnd, s, reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
        if (HIWORD(wParam) == 0 && reinterpret_cast<HWND>(lParam) == s->header)
            return SendMessageA(GetParent(hwnd), message, wParam, lParam);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND CreateTrackListWindow(HWND parent, const RECT& rect) {
    static int displayMode = 0;
    HINSTANCE instance = parent ? reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE))
                                : GetModuleHandleA(nullptr);
    return CreateWindowExA(0, kTrackListClass, "Hollin Tracking Window",
                           WS_CHILD | WS_VISIBLE | WS_BORDER | WS_HSCROLL | WS_VSCROLL, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kTrackListId)), instance,
                           &displayMode);
}

bool LoadTrackListPictures(HMODULE module) {
    FreeTrackListPictures();
    g_boxUnchecked = new CPicture;
    g_boxChecked = new CPicture;
    g_boxDisabled = new CPicture;
    bool ok = g_boxUnchecked->Load("IDR_CHECKBOXUNCHECKED", "BMP", module);
    ok = g_boxChecked->Load("IDR_CHECKBOXCHECKED", "BMP", module) && ok;
    ok = g_boxDisabled->Load("IDR_CHECKBOXDISABLED", "BMP", module) && ok;
    if (g_boxUnchecked->IsLoaded()) {
        HDC screen = GetDC(nullptr);
        g_boxSize = g_boxUnchecked->NaturalSize(screen);
        ReleaseDC(nullptr, screen);
    }
    return ok;
}

void FreeTrackListPictures() {
    delete g_boxUnchecked;
    delete g_boxChecked;
    delete g_boxDisabled;
    g_boxUnchecked = g_boxChecked = g_boxDisabled = nullptr;
    g_boxSize = SIZE{13, 13};
}
