#include "ui/PathDialog.h"

#include <cstring>

#include "framework/App.h"
#include "framework/ComPtr.h"
#include "framework/SafeString.h"

namespace {

constexpr int kTreeId = 14145;    // the shell template's folder tree
constexpr int kStatusId = 14147;  // its status text
constexpr size_t kPathMax = MAX_PATH - 1;

bool IsDriveStart(const char* p) {
    return ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z')) && p[1] == ':' && p[2] == '\\';
}

bool GoodComponent(const char* begin, const char* end) {
    if (begin == end) return false;
    auto edge = [](char c) { return c == ' ' || c == '\t' || c == '.'; };
    if (edge(*begin) || edge(end[-1])) return false;
    for (const char* p = begin; p != end; ++p)
        if (strchr("\"*/:<>?\\|", *p)) return false;
    return true;
}

bool IsFolder(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

// ---- checking and creating ---------------------------------------------------------

int CPathDialog::CheckFolder(LPCSTR path, bool create) {
    if (!path) return 1;
    size_t length = strnlen(path, MAX_PATH + 1);
    if (length <= 2 || length > kPathMax || !IsDriveStart(path)) return 1;
    char folder[MAX_PATH];
    SafeCopy(folder, path);
    if (length > 3 && folder[length - 1] == '\\') folder[--length] = '\0';
    if (length == 3) {
        if (create && !IsFolder(folder)) return 2;
        return 0;
    }
    // Every component is checked before anything is made.
    const char* start = folder + 3;
    for (const char* p = start;; ++p) {
        if (*p == '\\' || *p == '\0') {
            if (!GoodComponent(start, p)) return 1;
            if (!*p) break;
            start = p + 1;
        }
    }
    if (!create) return 0;
    for (char* p = folder + 3;; ++p) {
        if (*p == '\\' || *p == '\0') {
            char saved = *p;
            *p = '\0';
            CreateDirectoryA(folder, nullptr);
            bool made = IsFolder(folder);
            *p = saved;
            if (!made) return 2;
            if (!saved) break;
        }
    }
    return 0;
}

// ---- the subclass ----------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPathDialogSub, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_EN_CHANGE(kPathDialogEditId, OnChangeEditPath)
END_MESSAGE_MAP()

CPathDialogSub::~CPathDialogSub() {
    if (m_hWnd) UnsubclassWindow();
}

void CPathDialogSub::OnOK() {
    if (!m_pDialog->AcceptTypedPath()) {
        if (m_pDialog->m_hEdit) ::SetFocus(m_pDialog->m_hEdit);
        return;
    }
    // The shell ends its own dialog, so what it hands back is its own.
    Default();
}

void CPathDialogSub::OnCancel() {
    // A folder accepted earlier whose OK the shell then refused is not
    // chosen when the dialog is cancelled.
    m_pDialog->m_accepted = false;
    Default();
}

void CPathDialogSub::OnChangeEditPath() {
    const MSG* msg = GetCurrentMessage();
    HWND edit = m_pDialog->m_hEdit;
    if (!edit || (msg && reinterpret_cast<HWND>(msg->lParam) != edit)) return;
    ::GetWindowTextA(edit, m_pDialog->m_szPathName, sizeof m_pDialog->m_szPathName);
    SendMessage(BFFM_ENABLEOK, 0, m_pDialog->m_szPathName[0] != '\0');
}

// ---- the dialog ---------------------------------------------------------------------------

CPathDialog::CPathDialog(LPCSTR caption, LPCSTR title, LPCSTR initialPath, UINT flags, CWnd* parent)
    : m_caption(caption ? caption : ""),
      m_title(title ? title : ""),
      m_initialPath(initialPath ? initialPath : ""),
      m_pParent(parent),
      m_sub(this) {
    m_bi.ulFlags = flags;
}

int CALLBACK CPathDialog::BrowseCallbackProc(HWND hwnd, UINT message, LPARAM lParam, LPARAM data) {
    auto* self = reinterpret_cast<CPathDialog*>(data);
    if (!self) return 0;
    if (message == BFFM_INITIALIZED) self->OnInitialized(hwnd);
    else if (message == BFFM_SELCHANGED) self->OnSelChanged(reinterpret_cast<LPCITEMIDLIST>(lParam));
    return 0;
}

void CPathDialog::OnInitialized(HWND hwnd) {
    m_hWnd = hwnd;
    if (!m_caption.IsEmpty()) ::SetWindowTextA(hwnd, m_caption);
    m_sub.SubclassWindow(hwnd);
    HWND tree = ::GetDlgItem(hwnd, kTreeId);
    HWND status = ::GetDlgItem(hwnd, kStatusId);
    if (status) ::ShowWindow(status, SW_HIDE);
    // Without the tree we cannot place the box: the dialog stays as the
    // shell made it.
    if (tree) {
        RECT r;
        ::GetWindowRect(tree, &r);
        ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
        m_hEdit = ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, r.left, r.top - 27,
                                    r.right - r.left, 23, hwnd,
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kPathDialogEditId)),
                                    reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(hwnd, GWLP_HINSTANCE)),
                                    nullptr);
        if (m_hEdit) {
            ::SendMessageA(m_hEdit, WM_SETFONT, ::SendMessageA(hwnd, WM_GETFONT, 0, 0), FALSE);
            ::SendMessageA(m_hEdit, EM_LIMITTEXT, kPathMax, 0);
            // Tab order: the box comes just before the tree.
            HWND before = ::GetWindow(tree, GW_HWNDPREV);
            ::SetWindowPos(m_hEdit, before ? before : HWND_TOP, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    if (!m_initialPath.IsEmpty()) SafeCopy(m_szStartPath, m_initialPath);
    else GetCurrentDirectoryA(sizeof m_szStartPath, m_szStartPath);
    // The box starts with the initial folder (OK follows its text), so the
    // folder stands even where the tree cannot walk down to it.
    if (m_hEdit) ::SetWindowTextA(m_hEdit, m_szStartPath);
    ::SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(m_szStartPath));
}

void CPathDialog::OnSelChanged(LPCITEMIDLIST item) {
    char path[MAX_PATH] = "";
    if (!item || !SHGetPathFromIDListA(item, path) || path[1] != ':') path[0] = '\0';
    if (!m_hWnd) return;
    ::SendMessageA(m_hWnd, BFFM_ENABLEOK, 0, path[0] != '\0');
    if (m_hEdit) {
        ::SetWindowTextA(m_hEdit, path);  // EN_CHANGE takes it as the chosen path
    } else {
        SafeCopy(m_szPathName, path);
    }
}

BOOL CPathDialog::AcceptTypedPath() {
    char path[MAX_PATH];
    if (m_hEdit) ::GetWindowTextA(m_hEdit, path, sizeof path);
    else SafeCopy(path, m_szPathName);
    // "C:\Music\" is "C:\Music"; a drive root keeps its backslash.
    size_t length = strlen(path);
    if (length > 3 && path[length - 1] == '\\') path[length - 1] = '\0';
    SafeCopy(m_szPathName, path);
    CString text;
    if (CheckFolder(path, false) == 1) {
        text.Format("The folder:\n\n%s\n\nis invalid. Please reenter.", path);
        m_sub.MessageBox(text, nullptr, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    if (!IsFolder(path)) {
        text.Format("The folder:\n\n%s\n\ndoes not exist. Do you want the folder to be created?", path);
        if (m_sub.MessageBox(text, nullptr, MB_YESNO | MB_ICONQUESTION) != IDYES) return FALSE;
        if (CheckFolder(path, true) != 0) {
            text.Format("The folder:\n\n%s\n\ncan not be created. Please double check.", path);
            m_sub.MessageBox(text, nullptr, MB_OK | MB_ICONEXCLAMATION);
            return FALSE;
        }
    }
    m_accepted = true;
    return TRUE;
}

INT_PTR CPathDialog::DoModal() {
    m_accepted = false;
    m_hWnd = m_hEdit = nullptr;
    HWND owner = m_pParent ? m_pParent->GetSafeOwnerHwnd() : nullptr;
    if (!owner && AfxGetMainWnd()) owner = AfxGetMainWnd()->m_hWnd;
    bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);

    m_bi.hwndOwner = owner;
    m_bi.pidlRoot = nullptr;
    m_bi.pszDisplayName = m_szDisplayName;
    m_bi.lpszTitle = m_title.IsEmpty() ? nullptr : m_title.GetString();
    m_bi.lpfn = &CPathDialog::BrowseCallbackProc;
    m_bi.lParam = reinterpret_cast<LPARAM>(this);

    // The folder browser wants an apartment thread; a thread already in the
    // multithreaded apartment keeps it.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    LPITEMIDLIST chosen = SHBrowseForFolderA(&m_bi);
    if (chosen) {
        ComPtr<IMalloc> malloc;
        if (SUCCEEDED(SHGetMalloc(malloc.GetAddressOf()))) malloc->Free(chosen);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    if (m_sub.m_hWnd) m_sub.UnsubclassWindow();
    m_hWnd = m_hEdit = nullptr;
    if (ownerWasEnabled && !::IsWindowEnabled(owner)) ::EnableWindow(owner, TRUE);
    return m_accepted ? 1 : -1;
}
