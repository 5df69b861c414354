// CFileDialog: the system's open (or save) file dialog over
// GetOpenFileNameA / GetSaveFileNameA.
//
// The filter is written as pairs "Text|pattern|", ending "||" or "|"
// ("All Files(*.*)|*.*||"). With OFN_ALLOWMULTISELECT the explorer layout is
// used and the names go into a buffer of at least 32 KB (the caller may ask
// for more); GetPathNames gives every chosen path. DoModal answers IDOK,
// IDCANCEL when the user cancelled, or -1 when the dialog failed (too many
// files for the buffer, a bad initial name, ...): ErrorCode holds
// CommDlgExtendedError's code and ErrorText a sentence for the user.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "framework/String.h"
#include "framework/Wnd.h"

class CFileDialog {
public:
    static constexpr DWORD kMinMultiBuffer = 32 * 1024;

    CFileDialog(BOOL openFileDialog, LPCSTR defaultExt = nullptr, LPCSTR fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR filter = nullptr,
                CWnd* parent = nullptr, DWORD bufferSize = 0);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    INT_PTR DoModal();

    // The first (or only) chosen path; "" before a successful DoModal.
    CString GetPathName() const;
    // Its name without the folder.
    CString GetFileName() const;
    // Every chosen path, in the order the dialog gave them.
    std::vector<CString> GetPathNames() const;

    DWORD ErrorCode() const { return error_; }
    CString ErrorText() const;

    // The structure handed to the system; callers may adjust it before
    // DoModal (title, initial folder).
    OPENFILENAMEA m_ofn{};

private:
    BOOL open_;
    std::string filter_;      // with NULs in place of the "|"
    std::string defaultExt_;
    std::vector<char> buffer_;
    DWORD error_ = 0;
    bool done_ = false;
};
