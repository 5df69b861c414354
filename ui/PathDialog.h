// The folder dialog: the shell's folder browser with an edit box above the
// tree, so a folder can also be typed; a typed folder that does not exist
// is offered for creation.
//
//   CPathDialog dlg("Select a Folder", "Select a Folder", current, flags, this);
//   if (dlg.DoModal() == 1) use(dlg.GetPathName());
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "framework/String.h"
#include "framework/Wnd.h"

class CPathDialog;

// Identifier of the edit box we add. The shell's template already uses
// 14148 and 14149 (its own folder label and edit), so ours is apart.
constexpr UINT kPathDialogEditId = 14160;

// Takes over the shell's browse window for OK and the edit box.
class CPathDialogSub : public CWnd {
public:
    explicit CPathDialogSub(CPathDialog* dialog) : m_pDialog(dialog) {}
    ~CPathDialogSub() override;

protected:
    afx_msg void OnOK();
    afx_msg void OnCancel();
    afx_msg void OnChangeEditPath();

    CPathDialog* m_pDialog;

    DECLARE_MESSAGE_MAP()
};

class CPathDialog {
public:
    CPathDialog(LPCSTR caption, LPCSTR title, LPCSTR initialPath,
                UINT flags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT, CWnd* parent = nullptr);
    virtual ~CPathDialog() = default;
    CPathDialog(const CPathDialog&) = delete;
    CPathDialog& operator=(const CPathDialog&) = delete;

    // 1 when a folder was accepted with OK, -1 otherwise.
    virtual INT_PTR DoModal();
    CString GetPathName() const { return CString(m_szPathName); }

    // Checks a folder path and, with `create`, makes every missing level.
    // 0 good, 1 invalid (no drive letter, an empty component, one that
    // begins or ends with a blank, tab or '.', or holds one of "*/:<>?\|,
    // longer than 259 characters), 2 could not be created or reached. One
    // trailing '\' is ignored.
    static int CheckFolder(LPCSTR path, bool create);

    HWND GetBrowseWindow() const { return m_hWnd; }
    HWND GetEditBox() const { return m_hEdit; }

protected:
    friend class CPathDialogSub;
    static int CALLBACK BrowseCallbackProc(HWND hwnd, UINT message, LPARAM lParam, LPARAM data);
    void OnInitialized(HWND hwnd);
    void OnSelChanged(LPCITEMIDLIST item);
    // OK pressed: TRUE when the typed folder is good (and exists now).
    BOOL AcceptTypedPath();

    BROWSEINFOA m_bi{};
    char m_szDisplayName[MAX_PATH] = "";
    CString m_caption;
    CString m_title;
    CString m_initialPath;
    char m_szPathName[MAX_PATH] = "";  // the chosen folder, at most 259 characters
    char m_szStartPath[MAX_PATH] = ""; // the folder selected first
    HWND m_hWnd = nullptr;             // the browse window while it is open
    HWND m_hEdit = nullptr;            // our edit box (null when the template has no tree)
    CWnd* m_pParent = nullptr;
    CPathDialogSub m_sub;
    bool m_accepted = false;
};
