#include "ui/TrayIcon.h"

#include <cstring>

#include "framework/App.h"
#include "framework/SafeString.h"

CTrayIcon::CTrayIcon() {
    memset(&m_tnd, 0, sizeof m_tnd);
    m_tnd.cbSize = NOTIFYICONDATAA_V2_SIZE;
}

CTrayIcon::~CTrayIcon() {
    if (shown_) Notify(NIM_DELETE);
}

UINT CTrayIcon::TaskbarCreatedMessage() {
    static UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

BOOL CTrayIcon::Notify(DWORD message) {
    m_tnd.uFlags = 0;
    if (m_tnd.hIcon) m_tnd.uFlags |= NIF_ICON;
    if (m_tnd.szTip[0]) m_tnd.uFlags |= NIF_TIP;
    if (m_tnd.uCallbackMessage && m_tnd.hWnd) m_tnd.uFlags |= NIF_MESSAGE;
    return Shell_NotifyIconA(message, &m_tnd);
}

BOOL CTrayIcon::SetIcon(UINT id) {
    if (id == 0) {
        if (!shown_) return TRUE;
        shown_ = false;
        return Notify(NIM_DELETE);
    }
    HINSTANCE module = AfxGetResourceHandle();
    // Shared: the system keeps the loaded icon, nothing to free later.
    HICON icon = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                               LR_SHARED));
    if (!icon) {
        if (!shown_) return FALSE;
        shown_ = false;
        return Notify(NIM_DELETE);
    }
    char tip[sizeof m_tnd.szTip] = "";
    // LoadString cuts to the buffer and terminates: at most 127 characters.
    if (LoadStringA(module, id, tip, sizeof tip) <= 0) tip[0] = '\0';
    SafeCopy(m_tnd.szTip, tip);
    m_tnd.hIcon = icon;
    if (!shown_) {
        BOOL ok = Notify(NIM_ADD);
        shown_ = ok != FALSE;
        return ok;
    }
    return Notify(NIM_MODIFY);
}

BOOL CTrayIcon::OnTaskbarCreated() {
    if (!shown_) return FALSE;
    return Notify(NIM_ADD);
}

bool CTrayIcon::OwnerBusy() const {
    HWND owner = m_tnd.hWnd;
    if (!owner || IsWindowEnabled(owner)) return false;
    HWND popup = GetLastActivePopup(owner);
    if (popup && popup != owner) SetForegroundWindow(popup);
    return true;
}

LRESULT CTrayIcon::OnTrayNotification(WPARAM id, LPARAM mouseMessage) {
    if (id != m_tnd.uID) return 0;
    UINT message = static_cast<UINT>(mouseMessage);
    if (message != WM_RBUTTONUP && message != WM_LBUTTONDBLCLK) return 0;
    CMenu* popup = m_menu.GetSubMenu(0);
    if (!popup) return 0;
    HWND owner = m_tnd.hWnd;
    // The owner is disabled under its own modal dialog: a menu command now
    // would run the owner's handlers beneath that dialog.
    if (OwnerBusy()) return 1;
    if (message == WM_RBUTTONUP) {
        popup->SetDefaultItem(0, TRUE);
        popup->CheckMenuItem(kTrayCheckedCommand,
                             MF_BYCOMMAND | (m_checkFlag && *m_checkFlag ? MF_CHECKED : MF_UNCHECKED));
        POINT pt;
        GetCursorPos(&pt);
        SetForegroundWindow(owner);
        popup->TrackPopupMenu(TPM_LEFTBUTTON, pt.x, pt.y, owner);
        // Without this the menu stays open when the user clicks elsewhere.
        PostMessageA(owner, WM_NULL, 0, 0);
    } else {
        SendMessageA(owner, WM_COMMAND, popup->GetMenuItemID(0), 0);
    }
    return 1;
}
