// Message maps: the table-driven dispatch every window class of the program
// is written with.
//
//   class CMyDlg : public CDialog {
//       ...
//       afx_msg void OnPaint();
//       afx_msg void OnBtnGo();
//       DECLARE_MESSAGE_MAP()
//   };
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_WM_PAINT()
//       ON_BN_CLICKED(1000, OnBtnGo)
//   END_MESSAGE_MAP()
//
// Each entry is a small function generated in the class's own scope that
// unpacks wParam/lParam and calls the member with its usual signature, so a
// handler with the wrong signature is a compile error rather than a crash.
// Lookup walks the class's map, then its base class's, up to CCmdTarget.
// Commands (WM_COMMAND) match on notification code and identifier range:
// menu and accelerator commands have code 0, like BN_CLICKED, so ON_COMMAND
// also catches a button's click; a combo box's CBN_SELCHANGE (code 1) does
// not reach ON_COMMAND even though an accelerator's code is 1 too.
// Notifications (WM_NOTIFY) match on their code and the sender's control
// identifier (GetDlgCtrlID of hwndFrom, 0 for a window that is not a child,
// which is how an id-0 entry catches tooltip requests).
#pragma once

#include <windows.h>

#define afx_msg

class CCmdTarget;

// One dispatch in progress: what an entry's thunk unpacks.
struct MsgCall {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    UINT id = 0;                       // commands and notifications
    UINT code = 0;
    NMHDR* nmhdr = nullptr;            // WM_NOTIFY only
    LRESULT* notifyResult = nullptr;   // WM_NOTIFY only
    LRESULT result = 0;                // what the window procedure returns
};

// Returns FALSE only for "_EX" entries whose handler declined the message.
typedef BOOL (*MsgThunk)(CCmdTarget* target, MsgCall& call);

struct MessageMapEntry {
    UINT message;        // window message, WM_COMMAND, WM_NOTIFY or a marker below
    UINT code;           // notification code (WM_COMMAND/WM_NOTIFY entries)
    UINT id;             // first control/command identifier
    UINT lastId;         // last identifier (== id for single entries)
    const UINT* registered;  // ON_REGISTERED_MESSAGE: the variable holding the number
    MsgThunk thunk;
};

struct MessageMap {
    const MessageMap* (*base)();
    const MessageMapEntry* entries;  // ends with an entry whose thunk is null
};

// Marker messages of entries that match more than one message number.
enum : UINT {
    kMsgCtlColorAny = 0x0019,    // every WM_CTLCOLORxxx; nCtlColor tells which
    kMsgRegistered = 0xC000,     // number known only at run time
};

// Extra data of a WM_NOTIFY dispatch through OnCmdMsg.
struct NotifyInfo {
    NMHDR* header;
    LRESULT* result;
};

class CCmdTarget {
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Routes a command (code = notification code, 0 for menus/accelerators)
    // or a notification (code = MAKELONG(notify code, WM_NOTIFY), extra =
    // NotifyInfo*) to the first matching entry of the map chain.
    virtual BOOL OnCmdMsg(UINT id, int code, void* extra, void* handlerInfo);

    virtual const MessageMap* GetMessageMap() const;
    static const MessageMap* GetThisMessageMap();

    // Finds the first entry for a plain window message (including
    // registered ones and the WM_CTLCOLORxxx family) and calls it.
    // False when no entry of the chain takes it.
    BOOL DispatchWindowMessage(MsgCall& call);
};

#define DECLARE_MESSAGE_MAP()                                   \
protected:                                                      \
    static const MessageMap* GetThisMessageMap();               \
    const MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
    const MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const MessageMap* theClass::GetThisMessageMap() {                               \
        using ThisClass [[maybe_unused]] = theClass;                                \
        typedef baseClass TheBaseClass;                                             \
        static const MessageMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                          \
        {0, 0, 0, 0, nullptr, nullptr}};                                           \
        static const MessageMap messageMap = {&TheBaseClass::GetThisMessageMap, &entries[0]}; \
        return &messageMap;                                                        \
    }

// ---- generic entries ------------------------------------------------------

#define MSGMAP_THUNK(body) \
    [](CCmdTarget* t_, MsgCall& c_) -> BOOL { ThisClass* p_ = static_cast<ThisClass*>(t_); (void)p_; (void)c_; body }

// LRESULT fn(WPARAM, LPARAM)
#define ON_MESSAGE(msg, fn) \
    {(msg), 0, 0, 0, nullptr, MSGMAP_THUNK(c_.result = p_->fn(c_.wParam, c_.lParam); return TRUE;)},
// LRESULT fn(WPARAM, LPARAM); `var` is a UINT holding RegisterWindowMessage's answer
#define ON_REGISTERED_MESSAGE(var, fn) \
    {kMsgRegistered, 0, 0, 0, &(var), MSGMAP_THUNK(c_.result = p_->fn(c_.wParam, c_.lParam); return TRUE;)},

// void fn()
#define ON_COMMAND(id, fn) \
    {WM_COMMAND, 0, (UINT)(id), (UINT)(id), nullptr, MSGMAP_THUNK(p_->fn(); return TRUE;)},
// void fn(UINT id)
#define ON_COMMAND_RANGE(ctrlId, idLast, fn) \
    {WM_COMMAND, 0, (UINT)(ctrlId), (UINT)(idLast), nullptr, MSGMAP_THUNK(p_->fn(c_.id); return TRUE;)},
// void fn()
#define ON_CONTROL(code, id, fn) \
    {WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id), nullptr, MSGMAP_THUNK(p_->fn(); return TRUE;)},
// void fn(UINT id)
#define ON_CONTROL_RANGE(code, ctrlId, idLast, fn) \
    {WM_COMMAND, (UINT)(code), (UINT)(ctrlId), (UINT)(idLast), nullptr, MSGMAP_THUNK(p_->fn(c_.id); return TRUE;)},

#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_BN_DOUBLECLICKED(id, fn) ON_CONTROL(BN_DOUBLECLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_EN_KILLFOCUS(id, fn) ON_CONTROL(EN_KILLFOCUS, id, fn)
#define ON_EN_SETFOCUS(id, fn) ON_CONTROL(EN_SETFOCUS, id, fn)
#define ON_EN_UPDATE(id, fn) ON_CONTROL(EN_UPDATE, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_CBN_DROPDOWN(id, fn) ON_CONTROL(CBN_DROPDOWN, id, fn)
#define ON_CBN_SETFOCUS(id, fn) ON_CONTROL(CBN_SETFOCUS, id, fn)
#define ON_CBN_KILLFOCUS(id, fn) ON_CONTROL(CBN_KILLFOCUS, id, fn)
#define ON_CBN_EDITCHANGE(id, fn) ON_CONTROL(CBN_EDITCHANGE, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_CONTROL(LBN_SELCHANGE, id, fn)
#define ON_LBN_DBLCLK(id, fn) ON_CONTROL(LBN_DBLCLK, id, fn)

// void fn(NMHDR*, LRESULT*)
#define ON_NOTIFY(code, id, fn) \
    {WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id), nullptr, \
     MSGMAP_THUNK(p_->fn(c_.nmhdr, c_.notifyResult); return TRUE;)},
// void fn(UINT id, NMHDR*, LRESULT*)
#define ON_NOTIFY_RANGE(code, ctrlId, idLast, fn) \
    {WM_NOTIFY, (UINT)(code), (UINT)(ctrlId), (UINT)(idLast), nullptr, \
     MSGMAP_THUNK(p_->fn(c_.id, c_.nmhdr, c_.notifyResult); return TRUE;)},
// BOOL fn(UINT id, NMHDR*, LRESULT*): FALSE lets later entries see it
#define ON_NOTIFY_EX(code, ctrlId, fn) \
    {WM_NOTIFY, (UINT)(code), (UINT)(ctrlId), (UINT)(ctrlId), nullptr, \
     MSGMAP_THUNK(return p_->fn(c_.id, c_.nmhdr, c_.notifyResult) ? TRUE : FALSE;)},

// ---- window messages with the usual handler names and signatures ---------

#define MSGMAP_WM(msg, body) {(msg), 0, 0, 0, nullptr, MSGMAP_THUNK(body return TRUE;)},

// int OnCreate(LPCREATESTRUCT)
#define ON_WM_CREATE() MSGMAP_WM(WM_CREATE, c_.result = p_->OnCreate(reinterpret_cast<LPCREATESTRUCT>(c_.lParam));)
#define ON_WM_DESTROY() MSGMAP_WM(WM_DESTROY, p_->OnDestroy();)
#define ON_WM_NCDESTROY() MSGMAP_WM(WM_NCDESTROY, p_->OnNcDestroy();)
#define ON_WM_CLOSE() MSGMAP_WM(WM_CLOSE, p_->OnClose();)
#define ON_WM_PAINT() MSGMAP_WM(WM_PAINT, p_->OnPaint();)
// BOOL OnEraseBkgnd(CDC*)
#define ON_WM_ERASEBKGND() \
    MSGMAP_WM(WM_ERASEBKGND, c_.result = p_->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(c_.wParam)));)
// void OnTimer(UINT_PTR)
#define ON_WM_TIMER() MSGMAP_WM(WM_TIMER, p_->OnTimer(static_cast<UINT_PTR>(c_.wParam));)
// void OnXxx(UINT flags, CPoint)
#define ON_WM_LBUTTONDOWN() MSGMAP_WM(WM_LBUTTONDOWN, p_->OnLButtonDown((UINT)c_.wParam, CPoint(c_.lParam));)
#define ON_WM_LBUTTONUP() MSGMAP_WM(WM_LBUTTONUP, p_->OnLButtonUp((UINT)c_.wParam, CPoint(c_.lParam));)
#define ON_WM_LBUTTONDBLCLK() MSGMAP_WM(WM_LBUTTONDBLCLK, p_->OnLButtonDblClk((UINT)c_.wParam, CPoint(c_.lParam));)
#define ON_WM_RBUTTONDOWN() MSGMAP_WM(WM_RBUTTONDOWN, p_->OnRButtonDown((UINT)c_.wParam, CPoint(c_.lParam));)
#define ON_WM_RBUTTONUP() MSGMAP_WM(WM_RBUTTONUP, p_->OnRButtonUp((UINT)c_.wParam, CPoint(c_.lParam));)
#define ON_WM_MOUSEMOVE() MSGMAP_WM(WM_MOUSEMOVE, p_->OnMouseMove((UINT)c_.wParam, CPoint(c_.lParam));)
// HBRUSH OnCtlColor(CDC*, CWnd* control, UINT nCtlColor)  (CTLCOLOR_xxx)
#define ON_WM_CTLCOLOR() \
    {kMsgCtlColorAny, 0, 0, 0, nullptr, MSGMAP_THUNK( \
        c_.result = reinterpret_cast<LRESULT>(p_->OnCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(c_.wParam)), \
            CWnd::FromHandle(reinterpret_cast<HWND>(c_.lParam)), c_.message - WM_CTLCOLORMSGBOX)); \
        return TRUE;)},
// void OnHScroll(UINT code, UINT pos, CScrollBar*)
#define ON_WM_HSCROLL() \
    MSGMAP_WM(WM_HSCROLL, p_->OnHScroll(LOWORD(c_.wParam), HIWORD(c_.wParam), \
        reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(c_.lParam))));)
#define ON_WM_VSCROLL() \
    MSGMAP_WM(WM_VSCROLL, p_->OnVScroll(LOWORD(c_.wParam), HIWORD(c_.wParam), \
        reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(c_.lParam))));)
// void OnSize(UINT type, int cx, int cy)
#define ON_WM_SIZE() \
    MSGMAP_WM(WM_SIZE, p_->OnSize((UINT)c_.wParam, (short)LOWORD(c_.lParam), (short)HIWORD(c_.lParam));)
// BOOL OnSetCursor(CWnd*, UINT hitTest, UINT message)
#define ON_WM_SETCURSOR() \
    MSGMAP_WM(WM_SETCURSOR, c_.result = p_->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(c_.wParam)), \
        LOWORD(c_.lParam), HIWORD(c_.lParam));)
// void OnKeyDown(UINT ch, UINT repeat, UINT flags), same for OnKeyUp, OnChar
#define ON_WM_KEYDOWN() \
    MSGMAP_WM(WM_KEYDOWN, p_->OnKeyDown((UINT)c_.wParam, LOWORD(c_.lParam), HIWORD(c_.lParam));)
#define ON_WM_KEYUP() \
    MSGMAP_WM(WM_KEYUP, p_->OnKeyUp((UINT)c_.wParam, LOWORD(c_.lParam), HIWORD(c_.lParam));)
#define ON_WM_CHAR() \
    MSGMAP_WM(WM_CHAR, p_->OnChar((UINT)c_.wParam, LOWORD(c_.lParam), HIWORD(c_.lParam));)
// void OnCaptureChanged(CWnd* newCapture)
#define ON_WM_CAPTURECHANGED() \
    MSGMAP_WM(WM_CAPTURECHANGED, p_->OnCaptureChanged(CWnd::FromHandle(reinterpret_cast<HWND>(c_.lParam)));)
// void OnSetFocus(CWnd* old) / OnKillFocus(CWnd* next)
#define ON_WM_SETFOCUS() \
    MSGMAP_WM(WM_SETFOCUS, p_->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(c_.wParam)));)
#define ON_WM_KILLFOCUS() \
    MSGMAP_WM(WM_KILLFOCUS, p_->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(c_.wParam)));)
// void OnDrawItem(int id, LPDRAWITEMSTRUCT); answers TRUE
#define ON_WM_DRAWITEM() \
    MSGMAP_WM(WM_DRAWITEM, p_->OnDrawItem((int)c_.wParam, reinterpret_cast<LPDRAWITEMSTRUCT>(c_.lParam)); c_.result = TRUE;)
// void OnMeasureItem(int id, LPMEASUREITEMSTRUCT); answers TRUE
#define ON_WM_MEASUREITEM() \
    MSGMAP_WM(WM_MEASUREITEM, p_->OnMeasureItem((int)c_.wParam, reinterpret_cast<LPMEASUREITEMSTRUCT>(c_.lParam)); c_.result = TRUE;)
// void OnSysCommand(UINT id, LPARAM)
#define ON_WM_SYSCOMMAND() MSGMAP_WM(WM_SYSCOMMAND, p_->OnSysCommand((UINT)c_.wParam, c_.lParam);)
// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON() \
    MSGMAP_WM(WM_QUERYDRAGICON, c_.result = reinterpret_cast<LRESULT>(p_->OnQueryDragIcon());)
// void OnShowWindow(BOOL show, UINT status)
#define ON_WM_SHOWWINDOW() MSGMAP_WM(WM_SHOWWINDOW, p_->OnShowWindow((BOOL)c_.wParam, (UINT)c_.lParam);)
// LRESULT OnNcHitTest(CPoint screen)
#define ON_WM_NCHITTEST() MSGMAP_WM(WM_NCHITTEST, c_.result = p_->OnNcHitTest(CPoint(c_.lParam));)
