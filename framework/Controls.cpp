#include "framework/Controls.h"

#include <commctrl.h>

#include <string>

#include "framework/SafeString.h"

namespace framework_detail {

int ReadItemText(HWND hWnd, UINT getText, int index, int length, LPSTR buffer, int capacity) {
    if (!buffer || capacity <= 0) return -1;
    buffer[0] = '\0';
    if (length < 0) return length;
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT got = SendMessageA(hWnd, getText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    if (got < 0) return static_cast<int>(got);
    text.resize(static_cast<size_t>(got) <= static_cast<size_t>(length) ? static_cast<size_t>(got)
                                                                          : static_cast<size_t>(length));
    SafeCopy(buffer, static_cast<size_t>(capacity), text.c_str());
    return lstrlenA(buffer);
}

void ReadItemText(HWND hWnd, UINT getText, int index, int length, CString& out) {
    out.Empty();
    if (length < 0) return;
    char* buf = out.GetBufferSetLength(length + 1);
    LRESULT got = SendMessageA(hWnd, getText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf));
    out.ReleaseBuffer(got < 0 ? 0 : (got > length ? length : static_cast<int>(got)));
}

}  // namespace framework_detail

// ---- CButton ----------------------------------------------------------------

BOOL CButton::Create(LPCSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("BUTTON", caption, style, rect, parent, id);
}
int CButton::GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
void CButton::SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
UINT CButton::GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
void CButton::SetState(BOOL highlight) { SendMessage(BM_SETSTATE, highlight); }
UINT CButton::GetButtonStyle() const { return GetStyle() & 0xff; }
void CButton::SetButtonStyle(UINT style, BOOL redraw) { SendMessage(BM_SETSTYLE, style, redraw); }
HBITMAP CButton::SetBitmap(HBITMAP bitmap) {
    return reinterpret_cast<HBITMAP>(SendMessage(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
}
HBITMAP CButton::GetBitmap() const { return reinterpret_cast<HBITMAP>(SendMessage(BM_GETIMAGE, IMAGE_BITMAP)); }
HICON CButton::SetIcon(HICON icon) {
    return reinterpret_cast<HICON>(SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)));
}
void CButton::DrawItem(LPDRAWITEMSTRUCT) {}
BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message != WM_DRAWITEM) return CWnd::OnChildNotify(message, wParam, lParam, result);
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (result) *result = TRUE;
    return TRUE;
}

// ---- CEdit ------------------------------------------------------------------

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("EDIT", nullptr, style, rect, parent, id);
}
void CEdit::SetSel(int start, int end, BOOL noScroll) {
    SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end);
    if (!noScroll) SendMessage(EM_SCROLLCARET);
}
void CEdit::GetSel(int& start, int& end) const {
    DWORD s = 0, e = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    start = static_cast<int>(s);
    end = static_cast<int>(e);
}
void CEdit::ReplaceSel(LPCSTR text, BOOL canUndo) {
    SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text ? text : ""));
}
void CEdit::SetLimitText(UINT maxChars) { SendMessage(EM_SETLIMITTEXT, maxChars); }
UINT CEdit::GetLimitText() const { return static_cast<UINT>(SendMessage(EM_GETLIMITTEXT)); }
BOOL CEdit::SetReadOnly(BOOL readOnly) { return static_cast<BOOL>(SendMessage(EM_SETREADONLY, readOnly)); }
int CEdit::GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }

// ---- CStatic ----------------------------------------------------------------

BOOL CStatic::Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("STATIC", text, style, rect, parent, id);
}
HBITMAP CStatic::SetBitmap(HBITMAP bitmap) {
    return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
}
HBITMAP CStatic::GetBitmap() const { return reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP)); }
HICON CStatic::SetIcon(HICON icon) {
    return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
}
HICON CStatic::GetIcon() const { return reinterpret_cast<HICON>(SendMessage(STM_GETICON)); }

// ---- CListBox ---------------------------------------------------------------

BOOL CListBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("LISTBOX", nullptr, style, rect, parent, id);
}
int CListBox::GetTopIndex() const { return static_cast<int>(SendMessage(LB_GETTOPINDEX)); }
int CListBox::SetTopIndex(int index) { return static_cast<int>(SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(index))); }

// ---- CComboBox --------------------------------------------------------------

BOOL CComboBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("COMBOBOX", nullptr, style, rect, parent, id);
}
void CComboBox::ShowDropDown(BOOL show) { SendMessage(CB_SHOWDROPDOWN, show); }
BOOL CComboBox::GetDroppedState() const { return static_cast<BOOL>(SendMessage(CB_GETDROPPEDSTATE)); }
BOOL CComboBox::LimitText(int maxChars) { return static_cast<BOOL>(SendMessage(CB_LIMITTEXT, static_cast<WPARAM>(maxChars))); }

// ---- CScrollBar -------------------------------------------------------------

int CScrollBar::GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
int CScrollBar::SetScrollPos(int pos, BOOL redraw) { return ::SetScrollPos(m_hWnd, SB_CTL, pos, redraw); }
void CScrollBar::SetScrollRange(int minPos, int maxPos, BOOL redraw) {
    ::SetScrollRange(m_hWnd, SB_CTL, minPos, maxPos, redraw);
}
void CScrollBar::GetScrollRange(int* minPos, int* maxPos) const { ::GetScrollRange(m_hWnd, SB_CTL, minPos, maxPos); }
