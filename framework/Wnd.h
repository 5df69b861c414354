// CWnd: a C++ object bound to one window handle. Windows made through
// Create/CreateEx, dialogs, and windows taken over with SubclassWindow or
// SubclassDlgItem send every message through WindowProc, which dispatches
// WM_COMMAND to OnCommand, WM_NOTIFY to OnNotify and everything else to the
// message map (MessageMap.h); what nothing handles goes to DefWindowProc,
// the window's previous procedure. Attach only binds the handle (FromHandle
// finds the object) without routing messages.
//
// FromHandle on a handle without an object of ours gives a temporary
// wrapper that lives until the message loop next goes idle: use it within
// the handler that asked for it.
//
// The object and the window: when the window is destroyed first the object
// lets go of the handle (and PostNcDestroy runs); when the object is
// destroyed first it destroys a window it created and gives a subclassed
// one its old procedure back.
#pragma once

#include <windows.h>

#include "framework/Geometry.h"
#include "framework/MessageMap.h"
#include "framework/String.h"

class CDC;
class CFont;
class CRgn;
class CScrollBar;

class CWnd : public CCmdTarget {
public:
    CWnd();
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // ---- binding to handles ----
    static CWnd* FromHandle(HWND hWnd);           // permanent object or temporary wrapper
    static CWnd* FromHandlePermanent(HWND hWnd);  // null when no object of ours owns it
    BOOL Attach(HWND hWnd);
    HWND Detach();
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    // ---- creation ----
    // className null: the framework's own registered class (arrow cursor,
    // window-colour background, double clicks).
    virtual BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect,
                        CWnd* parent, UINT id, LPVOID param = nullptr);
    virtual BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style,
                          int x, int y, int width, int height, HWND parent, HMENU idOrMenu,
                          LPVOID param = nullptr);
    BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style,
                  const RECT& rect, CWnd* parent, UINT id, LPVOID param = nullptr);
    virtual BOOL DestroyWindow();

    // ---- the message path ----
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called by the modal loops for every message of this window or its
    // children before it is dispatched; TRUE consumes the message.
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A control's own look at a notification its parent received
    // (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_CTLCOLORxxx,
    // WM_HSCROLL/WM_VSCROLL); TRUE when it handled it.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Called just before a window is subclassed (also for Create/CreateEx).
    virtual void PreSubclassWindow();
    // Called after the last message (WM_NCDESTROY) when the handle is gone.
    virtual void PostNcDestroy();
    // The message being handled on this thread, for Default().
    static const MSG* GetCurrentMessage();
    // Passes the message being handled to DefWindowProc.
    LRESULT Default();
    // Hands the message being handled to the child window `child` as a
    // notification (OnChildNotify). TRUE when the child took it.
    static BOOL ReflectLastMsg(HWND child, LRESULT* result = nullptr);
    // Pre-translation from `msg->hwnd` up its parents (and owners) until
    // one consumes it or `stop` has been asked.
    static BOOL WalkPreTranslateTree(HWND stop, MSG* msg);

    // ---- thin wrappers ----
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    CWnd* GetDlgItem(int id) const;
    void GetDlgItem(int id, HWND* out) const;
    int GetDlgCtrlID() const;
    int SetDlgCtrlID(int id);
    void SetDlgItemText(int id, LPCSTR text);
    int GetDlgItemText(int id, LPSTR text, int capacity) const;
    int GetDlgItemText(int id, CString& text) const;
    void SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE);
    UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL isSigned = TRUE) const;
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void SetWindowText(LPCSTR text);
    int GetWindowText(LPSTR text, int capacity) const;
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const;
    void SetFont(CFont* font, BOOL redraw = TRUE);
    HFONT GetFontHandle() const;
    HICON SetIcon(HICON icon, BOOL big);
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0);
    CWnd* GetParent() const;
    CWnd* GetOwner() const;
    HWND GetSafeOwnerHwnd() const;

    void GetClientRect(LPRECT rect) const;
    void GetWindowRect(LPRECT rect) const;
    void ClientToScreen(LPPOINT point) const;
    void ClientToScreen(LPRECT rect) const;
    void ScreenToClient(LPPOINT point) const;
    void ScreenToClient(LPRECT rect) const;
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void CenterWindow(CWnd* alternateOwner = nullptr);
    // The system owns the region from here on: never pass one you still use
    // (CRgn::Clone gives a copy).
    int SetWindowRgn(HRGN region, BOOL redraw);
    int GetWindowRgn(HRGN region) const;

    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
    void ValidateRect(LPCRECT rect);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT rect = nullptr, CRgn* region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);

    BOOL ShowWindow(int cmd);
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    BOOL IsWindow() const;
    BOOL IsChild(const CWnd* wnd) const;
    CWnd* SetFocus();
    static CWnd* GetFocus();
    CWnd* SetCapture();
    static CWnd* GetCapture();
    BOOL SetForegroundWindow();
    void BringWindowToTop();

    UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC proc = nullptr);
    BOOL KillTimer(UINT_PTR id);

    // Caption null: the application's title.
    int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK);

protected:
    // Handlers the map entries call; each passes the message on (Default),
    // except the reflecting ones, which first offer it to the child control.
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnDestroy();
    afx_msg void OnNcDestroy();
    afx_msg void OnClose();
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
    afx_msg void OnRButtonDown(UINT flags, CPoint point);
    afx_msg void OnRButtonUp(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT ctlColor);
    afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg void OnKeyDown(UINT ch, UINT repeat, UINT flags);
    afx_msg void OnKeyUp(UINT ch, UINT repeat, UINT flags);
    afx_msg void OnChar(UINT ch, UINT repeat, UINT flags);
    afx_msg void OnCaptureChanged(CWnd* wnd);
    afx_msg void OnSetFocus(CWnd* old);
    afx_msg void OnKillFocus(CWnd* next);
    afx_msg void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
    afx_msg void OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis);
    afx_msg void OnSysCommand(UINT id, LPARAM lParam);
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnShowWindow(BOOL show, UINT status);
    afx_msg LRESULT OnNcHitTest(CPoint point);

    // Map lookup for a window message; TRUE with *result set when handled.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    WNDPROC m_pfnSuper = nullptr;  // the procedure our subclassing replaced

    DECLARE_MESSAGE_MAP()

private:
    friend struct WndAccess;
    bool createdByUs_ = false;     // DestroyWindow in the destructor
    bool temporary_ = false;       // a FromHandle wrapper: never touches the window
};

// The name of a window class registered with the given look (the default
// procedure; our CreateEx subclasses it). Same arguments, same name.
LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                           HICON icon = nullptr);

// For windows of ours whose messages come from a loop that is not the
// framework's (a control in its container's loop): open one around each
// message. The temporary wrappers FromHandle made meanwhile are freed when
// the outermost scope of the thread closes, unless a loop of ours runs
// below, which frees them itself when idle.
class CTemporaryObjectScope {
public:
    CTemporaryObjectScope();
    ~CTemporaryObjectScope();
    CTemporaryObjectScope(const CTemporaryObjectScope&) = delete;
    CTemporaryObjectScope& operator=(const CTemporaryObjectScope&) = delete;
};
