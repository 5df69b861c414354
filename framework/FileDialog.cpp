#include "framework/FileDialog.h"

#include <cderr.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "framework/SafeString.h"

namespace {

// A single path fits with room for the long names some systems allow.
constexpr DWORD kSingleBuffer = 4096;

bool IsFolder(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

CFileDialog::CFileDialog(BOOL openFileDialog, LPCSTR defaultExt, LPCSTR fileName, DWORD flags,
                         LPCSTR filter, CWnd* parent, DWORD bufferSize)
    : open_(openFileDialog) {
    const bool multi = (flags & OFN_ALLOWMULTISELECT) != 0;
    DWORD size = std::max<DWORD>(bufferSize, multi ? kMinMultiBuffer : kSingleBuffer);
    buffer_.assign(size, '\0');
    if (fileName) SafeCopy(buffer_.data(), buffer_.size(), fileName);

    if (filter && *filter) {
        filter_ = filter;
        std::replace(filter_.begin(), filter_.end(), '|', '\0');
        // The system wants the list ended by two NULs however it was written.
        filter_.append(2, '\0');
    }
    if (defaultExt) defaultExt_ = defaultExt;

    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.hwndOwner = parent ? parent->GetSafeHwnd() : nullptr;
    m_ofn.lpstrFilter = filter_.empty() ? nullptr : filter_.data();
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = buffer_.data();
    m_ofn.nMaxFile = static_cast<DWORD>(buffer_.size());
    m_ofn.lpstrDefExt = defaultExt_.empty() ? nullptr : defaultExt_.c_str();
    m_ofn.Flags = flags | OFN_EXPLORER;
    if (openFileDialog) m_ofn.Flags &= ~static_cast<DWORD>(OFN_OVERWRITEPROMPT);
}

INT_PTR CFileDialog::DoModal() {
    done_ = false;
    error_ = 0;
    BOOL ok = open_ ? GetOpenFileNameA(&m_ofn) : GetSaveFileNameA(&m_ofn);
    if (ok) {
        done_ = true;
        return IDOK;
    }
    error_ = CommDlgExtendedError();
    return error_ ? -1 : IDCANCEL;
}

std::vector<CString> CFileDialog::GetPathNames() const {
    std::vector<CString> paths;
    if (!done_) return paths;
    const char* p = buffer_.data();
    const char* end = p + buffer_.size();
    size_t first = strnlen(p, buffer_.size());
    if (first == 0) return paths;
    // One name: the whole path. Several: the folder, then each name, each
    // ended by a NUL, the list by a second NUL.
    // The folder is told apart by what it is, not only by what follows it:
    // a returned path shorter than the initial name leaves that name's tail.
    const bool several = (m_ofn.Flags & OFN_ALLOWMULTISELECT) && first + 1 < buffer_.size() &&
                         p[first + 1] != '\0' && IsFolder(p);
    if (!several) {
        paths.emplace_back(p, static_cast<int>(first));
        return paths;
    }
    CString folder(p, static_cast<int>(first));
    if (folder.GetLength() && folder[folder.GetLength() - 1] != '\\') folder += '\\';
    for (const char* name = p + first + 1; name < end && *name;) {
        size_t len = strnlen(name, static_cast<size_t>(end - name));
        paths.push_back(folder + CString(name, static_cast<int>(len)));
        name += len + 1;
    }
    return paths;
}

CString CFileDialog::GetPathName() const {
    std::vector<CString> paths = GetPathNames();
    return paths.empty() ? CString() : paths.front();
}

CString CFileDialog::GetFileName() const {
    CString path = GetPathName();
    int slash = path.ReverseFind('\\');
    return slash < 0 ? path : path.Mid(slash + 1);
}

CString CFileDialog::ErrorText() const {
    char text[160];
    switch (error_) {
    case 0: return CString();
    case FNERR_BUFFERTOOSMALL:
        return "Too many files were chosen at once. Choose fewer files and try again.";
    case FNERR_INVALIDFILENAME: return "The file name is not valid.";
    default:
        snprintf(text, sizeof text, "The file dialog could not be shown (error 0x%04lX).",
                 static_cast<unsigned long>(error_));
        return text;
    }
}
