#include "dialogs/SkinDialog.h"

#include <climits>
#include <cstdlib>

#include "framework/DeviceNames.h"
#include "framework/SafeString.h"

const char CSkinDialog::kBoxCaption[] = "Velorin";
const char CSkinDialog::kSettingsNotSavedText[] =
    "The settings could not all be saved: the registry refused a write. Press OK to try again, or "
    "Cancel to close without saving.";

namespace {

// The skin's colours: the light well under edits and lists, the dark face
// a dropped list matches, its text and the accent of a chosen row.
const COLORREF kWell = RGB(240, 243, 247);
const COLORREF kWellText = RGB(24, 27, 32);
const COLORREF kListFace = RGB(44, 49, 57);
const COLORREF kListText = RGB(228, 233, 240);
const COLORREF kListChosen = RGB(12, 130, 170);
const COLORREF kArrow = RGB(98, 106, 117);
// A field out of use (disabled, or a read-only edit): its well and the
// control in it greyed alike, edits and drop-down lists the same way.
const COLORREF kWellDisabled = RGB(172, 178, 187);
const COLORREF kWellDisabledText = RGB(92, 98, 108);
const char kOldProcProp[] = "SkinComboProc";
const char kOldEditProcProp[] = "SkinEditProc";

int TextHeightOf(HWND control) {
    HDC dc = ::GetDC(control);
    if (!dc) return 0;
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
    TEXTMETRICA tm{};
    ::GetTextMetricsA(dc, &tm);
    if (old) ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return tm.tmHeight;
}

void FillColour(HDC dc, const RECT& r, COLORREF colour) {
    ::SetBkColor(dc, colour);
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

// The system draws a drop-down list sunken with a raised arrow button; over
// that goes the flat well the skin expects and a small arrow of its own.
void PaintFlatCombo(HWND combo) {
    RECT client;
    ::GetClientRect(combo, &client);
    HDC dc = ::GetDC(combo);
    if (!dc) return;
    const bool enabled = ::IsWindowEnabled(combo) != FALSE;
    const COLORREF ground = enabled ? kWell : kWellDisabled;
    // The frame and the one-pixel ring the system leaves round the field.
    const int border = 3;
    const int button = ::GetSystemMetrics(SM_CXVSCROLL);
    RECT band = client;
    band.bottom = band.top + border;
    FillColour(dc, band, ground);
    band = client;
    band.top = band.bottom - border;
    FillColour(dc, band, ground);
    band = client;
    band.right = band.left + border;
    FillColour(dc, band, ground);
    band = client;
    band.left = band.right - border - button;
    FillColour(dc, band, ground);
    // A small downward triangle, centred in the button's place.
    const int cx = band.left + (band.right - band.left) / 2, cy = (client.top + client.bottom) / 2;
    HBRUSH brush = ::CreateSolidBrush(enabled ? kArrow : kWellDisabledText);
    HPEN pen = ::CreatePen(PS_SOLID, 1, enabled ? kArrow : kWellDisabledText);
    HGDIOBJ oldBrush = ::SelectObject(dc, brush), oldPen = ::SelectObject(dc, pen);
    const POINT arrow[] = {{cx - 4, cy - 2}, {cx + 4, cy - 2}, {cx, cy + 2}};
    ::Polygon(dc, arrow, 3);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
    ::DeleteObject(brush);
    ::DeleteObject(pen);
    ::ReleaseDC(combo, dc);
}

bool IsClass(HWND window, const char* name) {
    char cls[32] = "";
    return window && ::GetClassNameA(window, cls, sizeof cls) && lstrcmpiA(cls, name) == 0;
}

bool IsDroppedList(HWND window) { return IsClass(window, "ComboLBox"); }

// The text of row `index` of a drop-down list, asked of the list or of the
// combo box, whichever drew it; empty when it does not fit.
void RowText(HWND item, UINT index, char* text, size_t size) {
    text[0] = '\0';
    const bool list = IsDroppedList(item);
    const LRESULT length = ::SendMessageA(item, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, index, 0);
    if (length < 0 || static_cast<size_t>(length) >= size) return;
    ::SendMessageA(item, list ? LB_GETTEXT : CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
}

bool IsFieldOutOfUse(HWND control) {
    return !::IsWindowEnabled(control) ||
           (IsClass(control, "Edit") && (::GetWindowLongA(control, GWL_STYLE) & ES_READONLY));
}

// The well around a field is the dialog's face: it is repainted, greyed or
// not, when the field is switched on or off.
void InvalidateWell(HWND control) {
    HWND dialog = ::GetParent(control);
    RECT r;
    if (!dialog || !::GetWindowRect(control, &r)) return;
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    ::InflateRect(&r, 4, 4);
    ::InvalidateRect(dialog, &r, FALSE);
}

void Subclass(HWND control, const char* prop, WNDPROC proc) {
    if (::GetPropA(control, prop)) return;
    ::SetPropA(control, prop, reinterpret_cast<HANDLE>(::GetWindowLongPtrA(control, GWLP_WNDPROC)));
    ::SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
}

LRESULT ForwardSubclassed(HWND control, const char* prop, UINT message, WPARAM wParam, LPARAM lParam,
                          bool* handled) {
    WNDPROC old = reinterpret_cast<WNDPROC>(::GetPropA(control, prop));
    *handled = false;
    if (!old) return ::DefWindowProcA(control, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        ::RemovePropA(control, prop);
        return ::CallWindowProcA(old, control, message, wParam, lParam);
    }
    *handled = true;
    return ::CallWindowProcA(old, control, message, wParam, lParam);
}

LRESULT CALLBACK FlatComboProc(HWND combo, UINT message, WPARAM wParam, LPARAM lParam) {
    bool live = false;
    const LRESULT result = ForwardSubclassed(combo, kOldProcProp, message, wParam, lParam, &live);
    if (live && (message == WM_PAINT || message == WM_ENABLE)) PaintFlatCombo(combo);
    if (live && message == WM_ENABLE) InvalidateWell(combo);
    return result;
}

LRESULT CALLBACK SkinEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    bool live = false;
    const LRESULT result = ForwardSubclassed(edit, kOldEditProcProp, message, wParam, lParam, &live);
    if (live && message == WM_ENABLE) InvalidateWell(edit);
    return result;
}

}  // namespace

BEGIN_MESSAGE_MAP(CSkinDialog, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_CAPTURECHANGED()
    ON_WM_CTLCOLOR()
    ON_WM_DRAWITEM()
    ON_COMMAND(kOkId, OnOkCommand)
    ON_COMMAND(kCancelId, OnCancelCommand)
END_MESSAGE_MAP()

CSkinDialog::CSkinDialog(UINT templateId, const SkinFrame& frame, CWnd* parent)
    : CDialog(templateId, parent), frame_(frame) {}

CSkinDialog::~CSkinDialog() = default;

BOOL CSkinDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    closing_ = false;
    const POINT box[] = {{0, 0}, {frame_.width, 0}, {frame_.width, frame_.height}, {0, frame_.height}};
    const POINT* outline = frame_.outline ? frame_.outline : box;
    const int count = frame_.outline ? frame_.outlineCount : 4;
    region_.CreatePolygonRgn(outline, count, WINDING);
    // A template's window text brings a caption bar with it; the face is the
    // whole window, so the bar and any border go before it is placed.
    const LONG style = ::GetWindowLongA(m_hWnd, GWL_STYLE);
    ::SetWindowLongA(m_hWnd, GWL_STYLE, style & ~(WS_CAPTION | WS_THICKFRAME | WS_DLGFRAME));
    const LONG exStyle = ::GetWindowLongA(m_hWnd, GWL_EXSTYLE);
    ::SetWindowLongA(m_hWnd, GWL_EXSTYLE,
                     exStyle & ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE));
    // Not shown yet: the dialog's own set-up (lists, enabled boxes) still
    // has to run; the modal loop shows it once that is done.
    ::SetWindowPos(m_hWnd, HWND_TOP, 200, 200, frame_.width, frame_.height,
                   SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (frame_.face) FacePicture.Load(frame_.face, "BMP");
    // The system owns and frees what it is given.
    if (HRGN copy = region_.Clone()) SetWindowRgn(copy, TRUE);
    if (frame_.ok.x >= 0)
        CreateSkinButton(OkButton, "IDR_BTNOK", kOkId, frame_.ok.x, frame_.ok.y, 72, 24,
                         CUniButton::kResourceFaces);
    if (frame_.cancel.x >= 0)
        CreateSkinButton(CancelButton, "IDR_BTNCANCEL", kCancelId, frame_.cancel.x, frame_.cancel.y,
                         72, 24, CUniButton::kResourceFaces);
    return TRUE;
}

bool CSkinDialog::CreateSkinButton(CUniButton& button, const char* face, UINT id, int x, int y,
                                   int width, int height, int faceMode) {
    CRgn shape;
    if (!shape.CreateRectRgn(0, 0, width, height)) return false;
    if (!button.Create(face, WS_CHILD | WS_VISIBLE | WS_TABSTOP, shape,
                       m_hWnd, id, x, y))
        return false;
    button.faceMode = faceMode;
    return true;
}

void CSkinDialog::SetButtonChecked(CUniButton& button, bool checked) {
    button.checked = checked ? 1 : 0;
    button.Redraw();
}

void CSkinDialog::PlaceControl(int id, int x, int y, int width, int height, int listHeight) {
    HWND control = ::GetDlgItem(m_hWnd, id);
    if (!control) return;
    if (IsClass(control, "ComboBox")) {
        // A drop-down list's window height includes its list; the selection
        // field is sized by its item height (the field adds a 6-pixel frame).
        ::SendMessageA(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height > 6 ? height - 6 : height);
        if (::GetWindowLongA(control, GWL_STYLE) & CBS_OWNERDRAWFIXED) {
            ::SendMessageA(control, CB_SETITEMHEIGHT, 0, TextHeightOf(control) + 4);
            Subclass(control, kOldProcProp, FlatComboProc);
        }
        ::MoveWindow(control, x, y, width, height + listHeight, FALSE);
        AddWell(id, x, y, width, height);
    } else if (IsClass(control, "ListBox") || IsClass(control, "SysDateTimePick32")) {
        // The skin's well is the control's frame: no sunken edge of its own.
        ::SetWindowLongA(control, GWL_STYLE, ::GetWindowLongA(control, GWL_STYLE) & ~WS_BORDER);
        ::SetWindowLongA(control, GWL_EXSTYLE, ::GetWindowLongA(control, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
        ::SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    } else if (IsClass(control, "Edit") && !(::GetWindowLongA(control, GWL_STYLE) & WS_BORDER)) {
        Subclass(control, kOldEditProcProp, SkinEditProc);
        AddWell(id, x, y, width, height);
        // A single-line edit writes its text at its top; centred at the
        // text's own height it sits in the middle of the well.
        const int text = TextHeightOf(control) + 2;
        if (text > 2 && text < height) {
            y += (height - text) / 2;
            height = text;
        }
        ::MoveWindow(control, x, y, width, height, FALSE);
    } else {
        ::MoveWindow(control, x, y, width, height, FALSE);
    }
}

void CSkinDialog::AddWell(int id, int x, int y, int width, int height) {
    for (Well& well : wells_)
        if (well.id == id) {
            well.rect = RECT{x, y, x + width, y + height};
            return;
        }
    wells_.push_back(Well{id, RECT{x, y, x + width, y + height}});
}

void CSkinDialog::DrawWellsOutOfUse(HDC dc) {
    for (const Well& well : wells_) {
        HWND control = ::GetDlgItem(m_hWnd, well.id);
        if (!control || !::IsWindowVisible(control) || !IsFieldOutOfUse(control)) continue;
        if (!disabledBrush_.GetSafeHandle()) disabledBrush_.CreateSolidBrush(kWellDisabled);
        // The skin's well reaches two pixels past the control, its corners rounded.
        HGDIOBJ oldBrush = ::SelectObject(dc, disabledBrush_.GetSafeHandle());
        HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(NULL_PEN));
        ::RoundRect(dc, well.rect.left - 2, well.rect.top - 2, well.rect.right + 3, well.rect.bottom + 3, 6, 6);
        ::SelectObject(dc, oldPen);
        ::SelectObject(dc, oldBrush);
    }
}

void CSkinDialog::AddSlider(CSkinSlider* slider) {
    if (slider) sliders_.push_back(slider);
}

// ---- closing -------------------------------------------------------------

void CSkinDialog::CloseOk() {
    closing_ = true;
    OkPressed = 1;
    EndDialog(IDOK);
}

void CSkinDialog::CloseOkIfStored(bool stored) {
    if (stored) {
        CloseOk();
        return;
    }
    ShowBox(kSettingsNotSavedText);
}

void CSkinDialog::CloseCancel() {
    closing_ = true;
    OkPressed = 0;
    EndDialog(IDCANCEL);
}

void CSkinDialog::OnOkButton() { CloseOk(); }
void CSkinDialog::OnCancelButton() { CloseCancel(); }

void CSkinDialog::OnOkCommand() { OnOkButton(); }
void CSkinDialog::OnCancelCommand() { OnCancelButton(); }

void CSkinDialog::OnOK() {
    // An Enter that reaches us while one of our boxes is up belongs to it.
    if (!boxShowing_) OnOkButton();
}

void CSkinDialog::OnCancel() { OnCancelButton(); }

// ---- painting ------------------------------------------------------------

BOOL CSkinDialog::OnEraseBkgnd(CDC*) { return TRUE; }

void CSkinDialog::OnPaint() {
    CPaintDC paint(this);
    CXTMemDC mem(paint.GetSafeHdc());
    FacePicture.Draw(mem, 0, 0, frame_.width, frame_.height);
    DrawWellsOutOfUse(mem);
    for (CSkinSlider* slider : sliders_) slider->Draw(mem);
    DrawFace(mem);
}

void CSkinDialog::DrawFace(HDC) {}

// The skin draws a well under every edit and list; one filled with the
// well's colour sits in it seamlessly. Disabled and read-only edits (they
// ask with CTLCOLOR_STATIC) are greyed with their well, as the drop-down
// lists are. A dropped list is dark, like the face it opens over.
HBRUSH CSkinDialog::OnCtlColor(CDC* dc, CWnd* control, UINT ctlColor) {
    if (dc && ctlColor == CTLCOLOR_STATIC && control && IsClass(control->GetSafeHwnd(), "Edit")) {
        if (!disabledBrush_.GetSafeHandle()) disabledBrush_.CreateSolidBrush(kWellDisabled);
        ::SetBkColor(dc->GetSafeHdc(), kWellDisabled);
        ::SetTextColor(dc->GetSafeHdc(), kWellDisabledText);
        return static_cast<HBRUSH>(disabledBrush_.GetSafeHandle());
    }
    if (dc && (ctlColor == CTLCOLOR_EDIT ||
               (ctlColor == CTLCOLOR_LISTBOX && control && IsClass(control->GetSafeHwnd(), "ListBox")))) {
        if (!editBrush_.GetSafeHandle()) editBrush_.CreateSolidBrush(kWell);
        ::SetBkColor(dc->GetSafeHdc(), kWell);
        return static_cast<HBRUSH>(editBrush_.GetSafeHandle());
    }
    if (ctlColor == CTLCOLOR_LISTBOX && dc && control && IsDroppedList(control->GetSafeHwnd())) {
        if (!listBrush_.GetSafeHandle()) listBrush_.CreateSolidBrush(kListFace);
        ::SetBkColor(dc->GetSafeHdc(), kListFace);
        ::SetTextColor(dc->GetSafeHdc(), kListText);
        return static_cast<HBRUSH>(listBrush_.GetSafeHandle());
    }
    return CDialog::OnCtlColor(dc, control, ctlColor);
}

// Rows of an owner-drawn drop-down list: its field in the light well, the
// rows of its dropped list on the dark face, the chosen one in the accent.
void CSkinDialog::OnDrawItem(int id, LPDRAWITEMSTRUCT dis) {
    if (!dis || (dis->CtlType != ODT_COMBOBOX && !IsDroppedList(dis->hwndItem))) {
        CDialog::OnDrawItem(id, dis);
        return;
    }
    HDC dc = dis->hDC;
    const bool field = (dis->itemState & ODS_COMBOBOXEDIT) != 0;
    const bool disabled = (dis->itemState & ODS_DISABLED) != 0;
    const bool chosen = !field && (dis->itemState & ODS_SELECTED) != 0;
    COLORREF ground = field ? (disabled ? kWellDisabled : kWell) : kListFace;
    COLORREF ink = field ? (disabled ? kWellDisabledText : kWellText) : kListText;
    if (chosen) {
        ground = kListChosen;
        ink = RGB(255, 255, 255);
    }
    FillColour(dc, dis->rcItem, ground);
    char text[256] = "";
    if (dis->itemID != static_cast<UINT>(-1)) RowText(dis->hwndItem, dis->itemID, text, sizeof text);
    RECT box = dis->rcItem;
    box.left += 3;
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldInk = ::SetTextColor(dc, ink);
    ::DrawTextA(dc, text, -1, &box, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    ::SetTextColor(dc, oldInk);
    ::SetBkMode(dc, oldMode);
    // The field shows the keyboard focus as a thin accent line under it.
    if (field && (dis->itemState & ODS_FOCUS)) {
        RECT line = dis->rcItem;
        line.top = line.bottom - 1;
        FillColour(dc, line, kListChosen);
    }
}

// ---- mouse ---------------------------------------------------------------

bool CSkinDialog::OnFacePress(CPoint) { return false; }
void CSkinDialog::OnSliderMoved(CSkinSlider*) {}

void CSkinDialog::OnLButtonDown(UINT flags, CPoint point) {
    bool taken = false;
    {
        CClientDC client(this);
        for (CSkinSlider* slider : sliders_) {
            if (slider->MouseDown(client.GetSafeHdc(), point.x, point.y)) {
                taken = true;
                OnSliderMoved(slider);
                break;
            }
        }
    }
    if (!taken) taken = OnFacePress(point);
    // Only a press nothing took drags the window: the system's move loop
    // keeps the mouse and would swallow a slider's release.
    if (!taken) {
        POINT screen = point;
        ::ClientToScreen(m_hWnd, &screen);
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
    }
    CDialog::OnLButtonDown(flags, point);
}

void CSkinDialog::OnMouseMove(UINT flags, CPoint point) {
    CClientDC client(this);
    for (CSkinSlider* slider : sliders_) {
        if (!slider->IsCaptured()) continue;
        slider->MouseMove(client.GetSafeHdc(), nullptr, point.x);
        OnSliderMoved(slider);
    }
    CDialog::OnMouseMove(flags, point);
}

void CSkinDialog::OnLButtonUp(UINT flags, CPoint point) {
    CClientDC client(this);
    for (CSkinSlider* slider : sliders_) {
        if (!slider->IsCaptured()) continue;
        slider->MouseMove(client.GetSafeHdc(), nullptr, point.x);
        slider->MouseUp(client.GetSafeHdc());
        OnSliderMoved(slider);
    }
    CDialog::OnLButtonUp(flags, point);
}

void CSkinDialog::OnCaptureChanged(CWnd* wnd) {
    // The mouse went elsewhere (a box, Alt+Tab, the window's move loop):
    // no release will come, so no slider may stay held.
    if (!wnd || wnd->GetSafeHwnd() != m_hWnd)
        for (CSkinSlider* slider : sliders_) slider->CaptureChanged();
    CDialog::OnCaptureChanged(wnd);
}

// ---- messages and checks -------------------------------------------------

int CSkinDialog::ShowBox(const char* text, UINT type) {
    const bool outer = !boxShowing_;
    boxShowing_ = true;
    int answer = ::MessageBoxA(m_hWnd, text, kBoxCaption, type);
    if (outer) boxShowing_ = false;
    return answer;
}

bool CSkinDialog::RefuseDeviceName(const char* name, int editId, const char* advice) {
    if (!IsDeviceFileName(name)) return false;
    char text[400];
    SafeFormat(text, "This file name is the name of a device (nul, con, aux, prn, com1 to com9, lpt1 to lpt9), "
                     "not of a file%s", advice);
    ShowBox(text);
    ::SetFocus(::GetDlgItem(m_hWnd, editId));
    return true;
}

CSkinDialog::EditCheck CSkinDialog::CheckEditRange(int id, int lo, int hi, const char* message,
                                                   int* value, int maxChars) {
    if (boxShowing_ || closing_) return EditCheck::Skipped;
    // Leaving an edit for Cancel (or a window going away) is no reason to
    // complain about what it holds.
    HWND next = ::GetFocus();
    if (next && next == CancelButton.GetSafeHwnd()) return EditCheck::Skipped;
    char text[64] = "";
    if (maxChars < 1) maxChars = 1;
    if (maxChars > static_cast<int>(sizeof text) - 1) maxChars = sizeof text - 1;
    ::GetDlgItemTextA(m_hWnd, id, text, maxChars + 1);
    // The usual decimal conversion; huge numbers saturate instead of wrapping
    // into range.
    long long number = strtoll(text, nullptr, 10);
    if (number >= lo && number <= hi) {
        if (value) *value = static_cast<int>(number);
        return EditCheck::Accepted;
    }
    boxShowing_ = true;
    ::MessageBoxA(m_hWnd, message, kBoxCaption, MB_OK | MB_ICONWARNING);
    // Still guarded: taking the focus back makes the other edit lose it.
    if (HWND edit = ::GetDlgItem(m_hWnd, id)) {
        ::SetFocus(edit);
        ::SendMessageA(edit, EM_SETSEL, 0, -1);
    }
    boxShowing_ = false;
    return EditCheck::Rejected;
}
