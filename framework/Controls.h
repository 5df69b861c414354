// Thin wrappers over the standard controls: the object is the handle, the
// methods are the control's messages. Bind one with SubclassDlgItem or
// DDX_Control, or make one with Create. Text read back into fixed buffers
// is always bounded by the buffer's size.
//
// Owner-drawn buttons, list boxes and combo boxes: the parent's
// WM_DRAWITEM/WM_MEASUREITEM come back to the control's DrawItem/
// MeasureItem (through OnChildNotify) when the parent does not handle them.
#pragma once

#include "framework/Wnd.h"

class CButton : public CWnd {
public:
    BOOL Create(LPCSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetCheck() const;
    void SetCheck(int check);
    UINT GetState() const;
    void SetState(BOOL highlight);
    UINT GetButtonStyle() const;
    void SetButtonStyle(UINT style, BOOL redraw = TRUE);
    HBITMAP SetBitmap(HBITMAP bitmap);
    HBITMAP GetBitmap() const;
    HICON SetIcon(HICON icon);
    virtual void DrawItem(LPDRAWITEMSTRUCT dis);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

class CEdit : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetSel(int start, int end, BOOL noScroll = FALSE);
    void GetSel(int& start, int& end) const;
    void ReplaceSel(LPCSTR text, BOOL canUndo = FALSE);
    void SetLimitText(UINT maxChars);
    void LimitText(int maxChars = 0) { SetLimitText(static_cast<UINT>(maxChars)); }
    UINT GetLimitText() const;
    BOOL SetReadOnly(BOOL readOnly = TRUE);
    int GetLineCount() const;
};

class CStatic : public CWnd {
public:
    BOOL Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xffff);
    HBITMAP SetBitmap(HBITMAP bitmap);
    HBITMAP GetBitmap() const;
    HICON SetIcon(HICON icon);
    HICON GetIcon() const;
};

namespace framework_detail {
// Reads item `index`'s text of `length` characters with `getText` and copies
// what fits into the buffer; returns the copied length or the control's error.
int ReadItemText(HWND hWnd, UINT getText, int index, int length, LPSTR buffer, int capacity);
void ReadItemText(HWND hWnd, UINT getText, int index, int length, CString& text);

struct ListBoxMessages {
    static constexpr UINT kGetCount = LB_GETCOUNT, kGetCurSel = LB_GETCURSEL, kSetCurSel = LB_SETCURSEL,
                          kAddString = LB_ADDSTRING, kInsertString = LB_INSERTSTRING,
                          kDeleteString = LB_DELETESTRING, kResetContent = LB_RESETCONTENT,
                          kGetTextLen = LB_GETTEXTLEN, kGetText = LB_GETTEXT, kFindString = LB_FINDSTRING,
                          kFindStringExact = LB_FINDSTRINGEXACT, kSelectString = LB_SELECTSTRING,
                          kGetItemData = LB_GETITEMDATA, kSetItemData = LB_SETITEMDATA;
};
struct ComboBoxMessages {
    static constexpr UINT kGetCount = CB_GETCOUNT, kGetCurSel = CB_GETCURSEL, kSetCurSel = CB_SETCURSEL,
                          kAddString = CB_ADDSTRING, kInsertString = CB_INSERTSTRING,
                          kDeleteString = CB_DELETESTRING, kResetContent = CB_RESETCONTENT,
                          kGetTextLen = CB_GETLBTEXTLEN, kGetText = CB_GETLBTEXT, kFindString = CB_FINDSTRING,
                          kFindStringExact = CB_FINDSTRINGEXACT, kSelectString = CB_SELECTSTRING,
                          kGetItemData = CB_GETITEMDATA, kSetItemData = CB_SETITEMDATA;
};
}  // namespace framework_detail

// The list box and the combo box's list speak the same item messages under
// two prefixes: one set of methods serves both.
template <class M>
class CItemListCtrl : public CWnd {
public:
    int GetCount() const { return Result(SendMessage(M::kGetCount)); }
    int GetCurSel() const { return Result(SendMessage(M::kGetCurSel)); }
    int SetCurSel(int index) { return Result(SendMessage(M::kSetCurSel, static_cast<WPARAM>(index))); }
    int AddString(LPCSTR text) { return Result(SendMessage(M::kAddString, 0, Text(text))); }
    int InsertString(int index, LPCSTR text) {
        return Result(SendMessage(M::kInsertString, static_cast<WPARAM>(index), Text(text)));
    }
    int DeleteString(UINT index) { return Result(SendMessage(M::kDeleteString, index)); }
    void ResetContent() { SendMessage(M::kResetContent); }
    int FindString(int startAfter, LPCSTR text) const {
        return Result(SendMessage(M::kFindString, static_cast<WPARAM>(startAfter), reinterpret_cast<LPARAM>(text)));
    }
    int FindStringExact(int startAfter, LPCSTR text) const {
        return Result(
            SendMessage(M::kFindStringExact, static_cast<WPARAM>(startAfter), reinterpret_cast<LPARAM>(text)));
    }
    int SelectString(int startAfter, LPCSTR text) {
        return Result(SendMessage(M::kSelectString, static_cast<WPARAM>(startAfter), reinterpret_cast<LPARAM>(text)));
    }
    DWORD_PTR GetItemData(int index) const {
        return static_cast<DWORD_PTR>(SendMessage(M::kGetItemData, static_cast<WPARAM>(index)));
    }
    int SetItemData(int index, DWORD_PTR data) {
        return Result(SendMessage(M::kSetItemData, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
    }
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}
    virtual void MeasureItem(LPMEASUREITEMSTRUCT) {}
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == WM_DRAWITEM) {
            DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        } else if (message == WM_MEASUREITEM) {
            MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
        } else {
            return CWnd::OnChildNotify(message, wParam, lParam, result);
        }
        if (result) *result = TRUE;
        return TRUE;
    }

protected:
    int ItemTextLen(int index) const { return Result(SendMessage(M::kGetTextLen, static_cast<WPARAM>(index))); }
    // LB_ERR/CB_ERR when the index is bad; the text is cut to the buffer.
    int ItemText(int index, LPSTR buffer, int capacity) const {
        return framework_detail::ReadItemText(m_hWnd, M::kGetText, index, ItemTextLen(index), buffer, capacity);
    }
    void ItemText(int index, CString& text) const {
        framework_detail::ReadItemText(m_hWnd, M::kGetText, index, ItemTextLen(index), text);
    }

private:
    static int Result(LRESULT r) { return static_cast<int>(r); }
    static LPARAM Text(LPCSTR text) { return reinterpret_cast<LPARAM>(text ? text : ""); }
};

class CListBox : public CItemListCtrl<framework_detail::ListBoxMessages> {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetTextLen(int index) const { return ItemTextLen(index); }
    // LB_ERR when the index is bad; the text is cut to the buffer.
    int GetText(int index, LPSTR buffer, int capacity) const { return ItemText(index, buffer, capacity); }
    template <size_t N>
    int GetText(int index, char (&buffer)[N]) const { return GetText(index, buffer, static_cast<int>(N)); }
    void GetText(int index, CString& text) const { ItemText(index, text); }
    int GetTopIndex() const;
    int SetTopIndex(int index);
};

class CComboBox : public CItemListCtrl<framework_detail::ComboBoxMessages> {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetLBTextLen(int index) const { return ItemTextLen(index); }
    // CB_ERR when the index is bad; the text is cut to the buffer.
    int GetLBText(int index, LPSTR buffer, int capacity) const { return ItemText(index, buffer, capacity); }
    template <size_t N>
    int GetLBText(int index, char (&buffer)[N]) const { return GetLBText(index, buffer, static_cast<int>(N)); }
    void GetLBText(int index, CString& text) const { ItemText(index, text); }
    void ShowDropDown(BOOL show = TRUE);
    BOOL GetDroppedState() const;
    BOOL LimitText(int maxChars);
};

class CScrollBar : public CWnd {
public:
    int GetScrollPos() const;
    int SetScrollPos(int pos, BOOL redraw = TRUE);
    void SetScrollRange(int minPos, int maxPos, BOOL redraw = TRUE);
    void GetScrollRange(int* minPos, int* maxPos) const;
};
