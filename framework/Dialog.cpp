#include "framework/Dialog.h"

#include "framework/App.h"
#include "framework/Internal.h"

namespace {

// The dialog manager's procedure: every message has already been through
// our window procedure, so there is nothing left for it to decide.
INT_PTR CALLBACK DialogProcStub(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

}  // namespace

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd || !dx || !dx->m_pDlgWnd) return;
    HWND item = ::GetDlgItem(dx->m_pDlgWnd->m_hWnd, id);
    if (item) control.SubclassWindow(item);
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_lpszTemplateName(MAKEINTRESOURCEA(templateId)), m_pParentWnd(parent) {}

CDialog::CDialog(LPCSTR templateName, CWnd* parent) : m_pParentWnd(parent) {
    if (IS_INTRESOURCE(templateName)) {
        m_lpszTemplateName = templateName;
    } else {
        m_templateName = templateName;
        m_lpszTemplateName = m_templateName.GetString();
    }
}

CDialog::~CDialog() = default;

BOOL CDialog::CreateFromTemplate(HWND owner) {
    if (!m_lpszTemplateName || m_hWnd) return FALSE;
    HINSTANCE module = m_hResource ? m_hResource : AfxGetResourceHandle();
    HRSRC found = FindResourceA(module, m_lpszTemplateName, MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    if (!found) return FALSE;
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return FALSE;
    HWND hWnd;
    {
        CreationHook hook(this);
        hWnd = CreateDialogIndirectParamA(module, static_cast<LPCDLGTEMPLATEA>(data), owner, DialogProcStub,
                                          reinterpret_cast<LPARAM>(this));
    }
    if (!hWnd) {
        if (m_hWnd) UnsubclassWindow();
        return FALSE;
    }
    if (m_hWnd != hWnd) {
        // Bound after the fact: OnInitDialog has not run through us.
        if (m_hWnd || !SubclassWindow(hWnd)) {
            ::DestroyWindow(hWnd);
            return FALSE;
        }
    }
    MarkCreatedByUs(this);
    return TRUE;
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd) return -1;
    HWND owner = m_pParentWnd ? ::GetAncestor(m_pParentWnd->m_hWnd, GA_ROOT) : nullptr;
    if (!owner) {
        CWnd* main = AfxGetMainWnd();
        if (main && main != this) owner = main->m_hWnd;
    }
    bool enableOwner = owner && ::IsWindowEnabled(owner);
    m_nModalResult = -1;
    m_endModal = false;
    m_inModalLoop = true;
    if (!CreateFromTemplate(owner)) {
        m_inModalLoop = false;
        return -1;
    }
    // The owner is disabled once the dialog exists, so a template that
    // cannot be loaded leaves it alone.
    if (enableOwner) ::EnableWindow(owner, FALSE);
    if (!m_endModal && m_hWnd && !::IsWindowVisible(m_hWnd)) {
        ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
        ::UpdateWindow(m_hWnd);
    }
    // The loop also ends when a handler destroyed the window outright.
    LoopScope loop;
    while (!m_endModal && m_hWnd) {
        int quitCode = 0;
        if (!PumpOneMessage(&quitCode)) {
            // Leave WM_QUIT for the loop that owns the program's end.
            PostQuitMessage(quitCode);
            m_nModalResult = -1;
            break;
        }
    }
    m_inModalLoop = false;
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    // Give activation back to the owner before the dialog goes, or the
    // system picks some other window.
    if (enableOwner) ::EnableWindow(owner, TRUE);
    if (owner && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
    if (m_hWnd) DestroyWindow();
    return m_nModalResult;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    return Create(MAKEINTRESOURCEA(templateId), parent);
}

BOOL CDialog::Create(LPCSTR templateName, CWnd* parent) {
    if (IS_INTRESOURCE(templateName)) {
        m_lpszTemplateName = templateName;
    } else {
        m_templateName = templateName;
        m_lpszTemplateName = m_templateName.GetString();
    }
    if (parent) m_pParentWnd = parent;
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner) {
        CWnd* main = AfxGetMainWnd();
        if (main && main != this) owner = main->m_hWnd;
    }
    m_inModalLoop = false;
    return CreateFromTemplate(owner);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int result) {
    m_nModalResult = result;
    if (m_inModalLoop) {
        m_endModal = true;
        // Wakes the loop when this was called from outside a message of ours.
        if (m_hWnd) ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
    } else if (m_hWnd) {
        ::EndDialog(m_hWnd, result);
    }
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (CWnd::PreTranslateMessage(msg)) return TRUE;
    // Keyboard navigation (Tab, Enter, Escape, mnemonics) for the dialog's
    // own windows; other dialogs' messages are left to them.
    bool input = (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) ||
                 (msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST);
    if (!input || !m_hWnd) return FALSE;
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return FALSE;
    return ::IsDialogMessageA(m_hWnd, msg);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL save) {
    if (!m_hWnd) return FALSE;
    CDataExchange dx(this, save);
    DoDataExchange(&dx);
    return TRUE;
}
