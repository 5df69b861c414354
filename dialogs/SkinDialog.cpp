#include "dialogs/SkinDialog.h"

#include <climits>
#include <cstdlib>

#include "framework/SafeString.h"

const char CSkinDialog::kBoxCaption[] = "Velorin";

BEGIN_MESSAGE_MAP(CSkinDialog, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_CAPTURECHANGED()
    ON_WM_CTLCOLOR()
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
    char cls[16] = "";
    ::GetClassNameA(control, cls, sizeof cls);
    if (lstrcmpiA(cls, "ComboBox") == 0) {
        // A drop-down list's window height includes its list; the selection
        // field is sized by its item height (the field adds a 6-pixel frame).
        ::SendMessageA(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height > 6 ? height - 6 : height);
        ::MoveWindow(control, x, y, width, height + listHeight, FALSE);
    } else {
        ::MoveWindow(control, x, y, width, height, FALSE);
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
    for (CSkinSlider* slider : sliders_) slider->Draw(mem);
    DrawFace(mem);
}

void CSkinDialog::DrawFace(HDC) {}

// The skin draws a well under every edit; an edit filled with the well's
// colour sits in it seamlessly. Disabled and read-only edits keep the
// system's grey, so they still look out of use.
HBRUSH CSkinDialog::OnCtlColor(CDC* dc, CWnd* control, UINT ctlColor) {
    const COLORREF well = RGB(240, 243, 247);
    if (ctlColor == CTLCOLOR_EDIT && dc) {
        if (!editBrush_.GetSafeHandle()) editBrush_.CreateSolidBrush(well);
        ::SetBkColor(dc->GetSafeHdc(), well);
        return static_cast<HBRUSH>(editBrush_.GetSafeHandle());
    }
    return CDialog::OnCtlColor(dc, control, ctlColor);
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
