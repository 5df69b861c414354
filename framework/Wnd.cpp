#include "framework/Wnd.h"

#include <mutex>
#include <set>
#include <string>

#include "framework/App.h"
#include "framework/Controls.h"
#include "framework/Gdi.h"
#include "framework/Internal.h"
#include "framework/SafeString.h"

// ---- the permanent map: which object owns which handle --------------------

namespace {

// Windows of one process may live on several threads (the control runs on
// its container's thread), so the map is shared and locked.
std::mutex& MapLock() {
    static std::mutex lock;
    return lock;
}
std::unordered_map<HWND, CWnd*>& PermanentMap() {
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

thread_local MSG t_currentMsg{};
thread_local CWnd* t_wndInit = nullptr;

LRESULT CALLBACK StdWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

HMODULE FrameworkModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&FrameworkModule), &module);
    return module;
}

}  // namespace

struct WndAccess {
    static void Hook(CWnd* wnd, HWND hWnd) {
        if (!wnd->Attach(hWnd)) return;
        wnd->PreSubclassWindow();
        WNDPROC old = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StdWndProc)));
        if (old != &StdWndProc) wnd->m_pfnSuper = old;
    }
    // After WM_NCDESTROY: the handle is gone, the object lets go of it.
    static void Finish(CWnd* wnd, HWND hWnd) {
        if (CWnd::FromHandlePermanent(hWnd) != wnd) return;
        if (wnd->m_pfnSuper) {
            SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(wnd->m_pfnSuper));
            wnd->m_pfnSuper = nullptr;
        }
        wnd->Detach();
        wnd->createdByUs_ = false;
        AppWindowGone(wnd);
        wnd->PostNcDestroy();  // may delete the object: nothing after this
    }
    static void MarkCreated(CWnd* wnd) { wnd->createdByUs_ = true; }
    static void MarkTemporary(CWnd* wnd) { wnd->temporary_ = true; }
};

namespace {

LRESULT CALLBACK StdWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
    if (!wnd) return DefWindowProcA(hWnd, message, wParam, lParam);
    MSG saved = t_currentMsg;
    t_currentMsg.hwnd = hWnd;
    t_currentMsg.message = message;
    t_currentMsg.wParam = wParam;
    t_currentMsg.lParam = lParam;
    LRESULT result = wnd->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) WndAccess::Finish(wnd, hWnd);
    t_currentMsg = saved;
    return result;
}

LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && t_wndInit) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        // The system may make an input-method window for the thread's first
        // top-level window; that one is not ours.
        char cls[32] = "";
        GetClassNameA(hWnd, cls, sizeof cls);
        if (lstrcmpiA(cls, "IME") != 0 && lstrcmpiA(cls, "MSCTFIME UI") != 0) {
            CWnd* wnd = t_wndInit;
            t_wndInit = nullptr;
            WndAccess::Hook(wnd, hWnd);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

const char kDefaultClass[] = "FrameworkWindow";

LPCSTR DefaultClass() {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = FrameworkModule();
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kDefaultClass;
        return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    (void)registered;
    return kDefaultClass;
}

}  // namespace

void MarkCreatedByUs(CWnd* wnd) { WndAccess::MarkCreated(wnd); }

CreationHook::CreationHook(CWnd* wnd) : previous_(t_wndInit) {
    t_wndInit = wnd;
    hook_ = SetWindowsHookExA(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
}

CreationHook::~CreationHook() {
    if (hook_) UnhookWindowsHookEx(hook_);
    t_wndInit = previous_;
}

LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
    static std::mutex lock;
    static std::set<std::string> names;
    char name[96];
    SafeFormat(name, "Framework:%x:%p:%p:%p", classStyle, static_cast<void*>(cursor),
               static_cast<void*>(background), static_cast<void*>(icon));
    std::lock_guard<std::mutex> guard(lock);
    auto it = names.find(name);
    if (it != names.end()) return it->c_str();
    WNDCLASSA wc{};
    wc.style = classStyle;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = FrameworkModule();
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = name;
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
    return names.insert(name).first->c_str();
}

// ---- CWnd -------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_DRAWITEM()
    ON_WM_MEASUREITEM()
    ON_WM_CTLCOLOR()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
END_MESSAGE_MAP()

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (temporary_) return;
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        if (createdByUs_) {
            // The window's last messages reach this object as a plain CWnd:
            // the derived part is already gone.
            ::DestroyWindow(m_hWnd);
        }
        if (m_hWnd) {
            if (m_pfnSuper) UnsubclassWindow();
            else Detach();
        }
    }
    AppWindowGone(this);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (!hWnd) return nullptr;
    std::lock_guard<std::mutex> guard(MapLock());
    auto it = PermanentMap().find(hWnd);
    return it == PermanentMap().end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (!hWnd) return nullptr;
    if (CWnd* wnd = FromHandlePermanent(hWnd)) return wnd;
    auto& temps = Temps().wnds;
    auto it = temps.find(hWnd);
    if (it != temps.end()) return it->second.get();
    auto wnd = std::make_unique<CWnd>();
    WndAccess::MarkTemporary(wnd.get());
    wnd->m_hWnd = hWnd;
    return temps.emplace(hWnd, std::move(wnd)).first->second.get();
}

BOOL CWnd::Attach(HWND hWnd) {
    if (!hWnd || m_hWnd || temporary_) return FALSE;
    std::lock_guard<std::mutex> guard(MapLock());
    if (!PermanentMap().emplace(hWnd, this).second) return FALSE;  // another object owns it
    m_hWnd = hWnd;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd && !temporary_) {
        std::lock_guard<std::mutex> guard(MapLock());
        auto it = PermanentMap().find(hWnd);
        if (it != PermanentMap().end() && it->second == this) PermanentMap().erase(it);
    }
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!::IsWindow(hWnd)) return FALSE;
    if (!Attach(hWnd)) return FALSE;
    PreSubclassWindow();
    WNDPROC old = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StdWndProc)));
    if (old == &StdWndProc) {
        // Already routed through us by an object that let go of it.
        if (!m_pfnSuper) m_pfnSuper = ::DefWindowProcA;
    } else {
        m_pfnSuper = old;
    }
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (!parent || !parent->m_hWnd) return FALSE;
    HWND item = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
    return item ? SubclassWindow(item) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    if (!m_hWnd) return nullptr;
    if (m_pfnSuper) {
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        m_pfnSuper = nullptr;
    }
    return Detach();
}

BOOL CWnd::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id, LPVOID param) {
    return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id, param);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect,
                    CWnd* parent, UINT id, LPVOID param) {
    return CreateEx(exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), param);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU idOrMenu, LPVOID param) {
    if (m_hWnd) return FALSE;
    if (!className) className = DefaultClass();
    HWND hWnd;
    {
        CreationHook hook(this);
        hWnd = CreateWindowExA(exStyle, className, windowName, style, x, y, width, height, parent,
                               idOrMenu, FrameworkModule(), param);
    }
    if (!hWnd) {
        if (m_hWnd) UnsubclassWindow();
        return FALSE;
    }
    if (m_hWnd != hWnd) {
        // The hook did not see it (another hook swallowed the notification):
        // bind it now; WM_CREATE has gone by.
        if (m_hWnd || !SubclassWindow(hWnd)) {
            ::DestroyWindow(hWnd);
            return FALSE;
        }
    }
    WndAccess::MarkCreated(this);
    return TRUE;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) return FALSE;
        *result = 0;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        if (!header) return FALSE;
        LRESULT notifyResult = 0;
        if (!OnNotify(wParam, lParam, &notifyResult)) return FALSE;
        *result = notifyResult;
        return TRUE;
    }
    MsgCall call;
    call.message = message;
    call.wParam = wParam;
    call.lParam = lParam;
    if (!DispatchWindowMessage(call)) return FALSE;
    *result = call.result;
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT id = LOWORD(wParam);
    int code = HIWORD(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    if (!control) {
        // Menus send code 0 and accelerators code 1: both are commands.
        if (id == 0) return FALSE;
        code = 0;
    } else {
        // A control of ours may want its own notification first.
        CWnd* child = FromHandlePermanent(control);
        if (child && child != this) {
            LRESULT ignored = 0;
            if (child->OnChildNotify(WM_COMMAND, wParam, lParam, &ignored)) return TRUE;
        }
    }
    return OnCmdMsg(id, code, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
    HWND from = header->hwndFrom;
    CWnd* child = FromHandlePermanent(from);
    if (child && child != this && child->OnChildNotify(WM_NOTIFY, wParam, lParam, result)) return TRUE;
    // The sender's control identifier, not idFrom: tooltips put the tool's
    // identifier (often a window handle) there, and id-0 entries are meant
    // to catch them.
    UINT id = from ? static_cast<UINT>(::GetDlgCtrlID(from)) : 0;
    NotifyInfo info{header, result};
    return OnCmdMsg(id, static_cast<int>(MAKELONG(LOWORD(header->code), WM_NOTIFY)), &info, nullptr);
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

void CWnd::PreSubclassWindow() {}

void CWnd::PostNcDestroy() {}

const MSG* CWnd::GetCurrentMessage() { return &t_currentMsg; }

LRESULT CWnd::Default() {
    const MSG& msg = t_currentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

BOOL CWnd::ReflectLastMsg(HWND child, LRESULT* result) {
    CWnd* wnd = FromHandlePermanent(child);
    if (!wnd) return FALSE;
    LRESULT ignored = 0;
    const MSG& msg = t_currentMsg;
    return wnd->OnChildNotify(msg.message, msg.wParam, msg.lParam, result ? result : &ignored);
}

BOOL CWnd::WalkPreTranslateTree(HWND stop, MSG* msg) {
    for (HWND hWnd = msg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        CWnd* wnd = FromHandlePermanent(hWnd);
        if (wnd && wnd->PreTranslateMessage(msg)) return TRUE;
        if (hWnd == stop) break;
    }
    return FALSE;
}

// ---- default handlers ------------------------------------------------------

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* control, UINT) {
    LRESULT result = 0;
    if (control && ReflectLastMsg(control->m_hWnd, &result)) return reinterpret_cast<HBRUSH>(result);
    return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnHScroll(UINT, UINT, CScrollBar* bar) {
    if (bar && ReflectLastMsg(bar->m_hWnd)) return;
    Default();
}

void CWnd::OnVScroll(UINT, UINT, CScrollBar* bar) {
    if (bar && ReflectLastMsg(bar->m_hWnd)) return;
    Default();
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT dis) {
    if (dis && dis->CtlType != ODT_MENU && ReflectLastMsg(dis->hwndItem)) return;
    Default();
}

void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT mis) {
    if (mis && mis->CtlType != ODT_MENU) {
        HWND item = ::GetDlgItem(m_hWnd, static_cast<int>(mis->CtlID));
        if (item && ReflectLastMsg(item)) return;
    }
    Default();
}

// ---- thin wrappers ---------------------------------------------------------

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}
BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}
CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
void CWnd::GetDlgItem(int id, HWND* out) const { *out = ::GetDlgItem(m_hWnd, id); }
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
int CWnd::SetDlgCtrlID(int id) {
    return static_cast<int>(SetWindowLongPtrA(m_hWnd, GWLP_ID, static_cast<LONG_PTR>(id)));
}
void CWnd::SetDlgItemText(int id, LPCSTR text) { ::SetDlgItemTextA(m_hWnd, id, text); }
int CWnd::GetDlgItemText(int id, LPSTR text, int capacity) const {
    if (!text || capacity <= 0) return 0;
    return static_cast<int>(::GetDlgItemTextA(m_hWnd, id, text, capacity));
}
int CWnd::GetDlgItemText(int id, CString& text) const {
    HWND item = ::GetDlgItem(m_hWnd, id);
    text.Empty();
    if (!item) return 0;
    FromHandle(item)->GetWindowText(text);
    return text.GetLength();
}
void CWnd::SetDlgItemInt(int id, UINT value, BOOL isSigned) { ::SetDlgItemInt(m_hWnd, id, value, isSigned); }
UINT CWnd::GetDlgItemInt(int id, BOOL* translated, BOOL isSigned) const {
    return ::GetDlgItemInt(m_hWnd, id, translated, isSigned);
}
void CWnd::CheckDlgButton(int id, UINT check) { ::CheckDlgButton(m_hWnd, id, check); }
UINT CWnd::IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
LRESULT CWnd::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendDlgItemMessageA(m_hWnd, id, message, wParam, lParam);
}
void CWnd::SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
int CWnd::GetWindowText(LPSTR text, int capacity) const {
    if (!text || capacity <= 0) return 0;
    return ::GetWindowTextA(m_hWnd, text, capacity);
}
void CWnd::GetWindowText(CString& text) const {
    int length = ::GetWindowTextLengthA(m_hWnd);
    // The length is an upper bound; the text can change in between, so
    // the buffer's own terminator decides.
    char* buf = text.GetBufferSetLength(length + 1);
    int got = ::GetWindowTextA(m_hWnd, buf, length + 1);
    text.ReleaseBuffer(got < 0 ? 0 : got);
}
int CWnd::GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
void CWnd::SetFont(CFont* font, BOOL redraw) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font ? font->m_hObject : nullptr), redraw);
}
HFONT CWnd::GetFontHandle() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
HICON CWnd::SetIcon(HICON icon, BOOL big) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}
DWORD CWnd::GetStyle() const { return static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }

namespace {
BOOL ModifyLong(HWND hWnd, int index, DWORD remove, DWORD add, UINT swpFlags) {
    DWORD style = static_cast<DWORD>(GetWindowLongA(hWnd, index));
    DWORD changed = (style & ~remove) | add;
    if (changed == style) return FALSE;
    SetWindowLongA(hWnd, index, static_cast<LONG>(changed));
    if (swpFlags)
        SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return TRUE;
}
}  // namespace

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
    return ModifyLong(m_hWnd, GWL_STYLE, remove, add, swpFlags);
}
BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags) {
    return ModifyLong(m_hWnd, GWL_EXSTYLE, remove, add, swpFlags);
}
CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::GetOwner() const { return FromHandle(::GetWindow(m_hWnd, GW_OWNER)); }
HWND CWnd::GetSafeOwnerHwnd() const {
    HWND owner = m_hWnd ? ::GetAncestor(m_hWnd, GA_ROOT) : nullptr;
    if (!owner) {
        CWnd* main = AfxGetMainWnd();
        if (main && main != this) owner = main->m_hWnd;
    }
    return owner;
}

void CWnd::GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
void CWnd::GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
void CWnd::ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }
void CWnd::ClientToScreen(LPRECT rect) const {
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}
void CWnd::ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }
void CWnd::ScreenToClient(LPRECT rect) const {
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}
void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}
void CWnd::MoveWindow(LPCRECT rect, BOOL repaint) {
    ::MoveWindow(m_hWnd, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}
BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
    // Callers pass the special z-order handles (HWND_TOP...) cast to CWnd*,
    // as the window functions do; never dereference those.
    HWND after = reinterpret_cast<HWND>(const_cast<CWnd*>(insertAfter));
    UINT_PTR raw = reinterpret_cast<UINT_PTR>(insertAfter);
    if (insertAfter && raw > 16 && raw < static_cast<UINT_PTR>(-16)) after = insertAfter->m_hWnd;
    return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
}
void CWnd::CenterWindow(CWnd* alternateOwner) {
    HWND ref = alternateOwner ? alternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    RECT area;
    if (ref && ::IsWindowVisible(ref) && !::IsIconic(ref)) ::GetWindowRect(ref, &area);
    else SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT me;
    ::GetWindowRect(m_hWnd, &me);
    int w = me.right - me.left, h = me.bottom - me.top;
    ::SetWindowPos(m_hWnd, nullptr, area.left + (area.right - area.left - w) / 2,
                   area.top + (area.bottom - area.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
int CWnd::SetWindowRgn(HRGN region, BOOL redraw) { return ::SetWindowRgn(m_hWnd, region, redraw); }
int CWnd::GetWindowRgn(HRGN region) const { return ::GetWindowRgn(m_hWnd, region); }

void CWnd::Invalidate(BOOL erase) { ::InvalidateRect(m_hWnd, nullptr, erase); }
void CWnd::InvalidateRect(LPCRECT rect, BOOL erase) { ::InvalidateRect(m_hWnd, rect, erase); }
void CWnd::ValidateRect(LPCRECT rect) { ::ValidateRect(m_hWnd, rect); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
BOOL CWnd::RedrawWindow(LPCRECT rect, CRgn* region, UINT flags) {
    return ::RedrawWindow(m_hWnd, rect, region ? static_cast<HRGN>(region->m_hObject) : nullptr, flags);
}

BOOL CWnd::ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
BOOL CWnd::EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
BOOL CWnd::IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
BOOL CWnd::IsChild(const CWnd* wnd) const { return wnd && ::IsChild(m_hWnd, wnd->m_hWnd); }
CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
CWnd* CWnd::GetCapture() { return FromHandle(::GetCapture()); }
BOOL CWnd::SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
void CWnd::BringWindowToTop() { ::BringWindowToTop(m_hWnd); }

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
    return ::SetTimer(m_hWnd, id, elapseMs, proc);
}
BOOL CWnd::KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

int CWnd::MessageBox(LPCSTR text, LPCSTR caption, UINT type) {
    return ::MessageBoxA(m_hWnd, text, caption ? caption : AfxGetAppName(), type);
}

// ---- message pump shared by DoModal and CWinApp::Run ------------------------

namespace {
thread_local int t_loopDepth = 0;
}

LoopScope::LoopScope() { ++t_loopDepth; }
LoopScope::~LoopScope() { --t_loopDepth; }

// Counts as a loop, so a modal loop a handler runs inside the scope leaves
// the handler's wrappers alone.
CTemporaryObjectScope::CTemporaryObjectScope() { ++t_loopDepth; }
CTemporaryObjectScope::~CTemporaryObjectScope() {
    if (--t_loopDepth == 0) AfxDeleteTemporaryObjects();
}

bool PumpOneMessage(int* quitCode) {
    MSG msg;
    if (t_loopDepth <= 1 && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) AfxDeleteTemporaryObjects();
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        if (quitCode) *quitCode = got == 0 ? static_cast<int>(msg.wParam) : -1;
        return false;
    }
    CWinApp* app = AfxGetApp();
    if (!CWnd::WalkPreTranslateTree(nullptr, &msg) && !(app && app->PreTranslateMessage(&msg))) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}
