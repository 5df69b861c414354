// The history panel under the face: the tree of the history log's days
// and of files chosen for playing, the track list of one day, the current
// file with its format and tags, and the info rows' double clicks.
#include "app/VelorinDlg.h"

#include <commctrl.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "app/OutputNaming.h"
#include "app/resource.h"
#include "dialogs/Mp3Dlg.h"
#include "dialogs/WmaDlg.h"
#include "engine/WmaWriter.h"
#include "framework/App.h"
#include "framework/FileDialog.h"
#include "framework/SafeString.h"
#include "ui/TrackList.h"

namespace {

// Client rectangles of the open panel (the picture's wells).
constexpr RECT kPanelRect{0, 374, 588, 608};
constexpr RECT kTreeRect{10, 424, 126, 583};
constexpr RECT kTrackListRect{142, 424, 574, 530};
constexpr RECT kFileInfoRect{142, 536, 574, 582};
// The strip under the face that the open and the closed outline differ in.
constexpr RECT kPanelSeam{0, 354, 592, 392};
constexpr RECT kInfoRows{260, 70, 545, 111};
// Its rows: the output file, the background, the file for playing.
constexpr RECT kOutputRow{260, 70, 545, 83};
constexpr RECT kBackgroundRow{260, 84, 545, 97};
constexpr RECT kPlayFileRow{260, 98, 545, 111};
constexpr int kClosedHeight = 392, kOpenHeight = 608;
constexpr int kFaceWidth = 592, kFaceWidthWithBox = 949;

// The panel's wells are dark like the rest of the skin; the tree, the track
// list and the file information are drawn in them in the skin's colours.
const COLORREF kWellGround = RGB(26, 29, 34);
const COLORREF kWellText = RGB(228, 233, 240);
const COLORREF kWellLines = RGB(98, 106, 117);
const COLORREF kChosenItem = RGB(12, 130, 170);

const char kPlayFilter[] =
    " WMA File ( *.WMA)|*.WMA|MP3 File ( *.MP3)|*.MP3|WAV File ( *.WAV)|*.WAV|All Files(*.*)|*.*|";
const char kPlayFilterByClick[] = " MP3 File ( *.MP3)|*.MP3|WAV File ( *.WAV)|*.WAV|All Files(*.*)|*.*|";
const char kInfoRowFilter[] =
    "WMA File ( *.WMA)|*.WMA|MP3 File ( *.MP3)|*.MP3|WAV File ( *.WAV)|*.WAV|All Files(*.*)|*.*|";

// The folder and the name of a path, split after its last "\".
void SplitPath(const char* path, TrackListRow* row) {
    const char* slash = strrchr(path, '\\');
    const size_t folder = slash ? static_cast<size_t>(slash - path) + 1 : 0;
    SafeCopy(row->name, path + folder);
    SafeCopy(row->location, sizeof row->location, std::string(path, folder).c_str());
}

// The path without trailing white space.
std::string Trimmed(const char* path) {
    std::string s(path ? path : "");
    while (!s.empty() && isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
    return s;
}

bool HasTags(const char* path) {
    char ext[4];
    FileExtension3(Trimmed(path).c_str(), ext);
    return strcmp(ext, "mp3") == 0 || strcmp(ext, "wma") == 0;
}

// One of the tag dialogs in tag mode on a record; true when it ended with OK.
template <class TagDialog>
bool EditTags(CWnd* owner, MediaTagRecord* tags) {
    TagDialog dialog(owner);
    dialog.TagMode = 1;
    dialog.TagRecord = tags;
    dialog.DoModal();
    return dialog.OkPressed != 0;
}

}  // namespace

// ---- start-up and shutdown ---------------------------------------------------

void CVelorinDlg::SetUpHistoryTree() {
    HWND tree = ::GetDlgItem(m_hWnd, IDC_HISTORYTREE);
    if (!tree) return;
    HistoryImages = ImageList_LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDB_HISTORYTREE), 16, 1,
                                         RGB(255, 0, 0), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (HistoryImages) TreeView_SetImageList(tree, HistoryImages, TVSIL_NORMAL);
    TreeView_SetIndent(tree, 10);
    // The panel's well frames the tree: no border of its own (the control
    // turns its template's border into a sunken edge).
    ::SetWindowLongA(tree, GWL_STYLE, ::GetWindowLongA(tree, GWL_STYLE) & ~WS_BORDER);
    ::SetWindowLongA(tree, GWL_EXSTYLE, ::GetWindowLongA(tree, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
    ::SetWindowPos(tree, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    TreeView_SetBkColor(tree, kWellGround);
    TreeView_SetTextColor(tree, kWellText);
    TreeView_SetLineColor(tree, kWellLines);
}

void CVelorinDlg::RegisterTrackWindowClass() {
    if (TrackListWnd) return;
    TrackListBrush = CreateSolidBrush(kWellGround);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = TrackListWndProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = TrackListBrush;
    wc.lpszClassName = kTrackListClass;
    LoadTrackListPictures(AfxGetResourceHandle());
    // A class registered before by someone else of this process is used
    // as it is, and left to its owner.
    TrackListClassOwned = RegisterClassExA(&wc) != 0;
    if (!TrackListClassOwned && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return;
    TrackListWnd = CreateTrackListWindow(m_hWnd, kTrackListRect);
    // Unseen until the panel opens.
    if (TrackListWnd) ::ShowWindow(TrackListWnd, SW_HIDE);
}

void CVelorinDlg::ReleaseTrackWindowClass() {
    if (TrackListWnd && ::IsWindow(TrackListWnd)) ::DestroyWindow(TrackListWnd);
    TrackListWnd = nullptr;
    if (TrackListClassOwned) {
        UnregisterClassA(kTrackListClass, AfxGetInstanceHandle());
        FreeTrackListPictures();
        TrackListClassOwned = false;
    }
    if (TrackListBrush) DeleteObject(TrackListBrush);
    TrackListBrush = nullptr;
    if (HistoryImages) ImageList_Destroy(HistoryImages);
    HistoryImages = nullptr;
}

// ---- opening and closing ------------------------------------------------------

void CVelorinDlg::ShowPanelControls(bool open) {
    HWND tree = ::GetDlgItem(m_hWnd, IDC_HISTORYTREE);
    if (open && tree) ::MoveWindow(tree, kTreeRect.left, kTreeRect.top, kTreeRect.right - kTreeRect.left,
                                   kTreeRect.bottom - kTreeRect.top, FALSE);
    for (HWND w : {tree, TrackListWnd}) {
        if (!w) continue;
        ::ShowWindow(w, open ? SW_SHOW : SW_HIDE);
        ::EnableWindow(w, open);
    }
    auto place = [this](UINT id, bool shown) {
        if (CUniButton* b = FaceButton(id); b && b->GetSafeHwnd()) {
            ::ShowWindow(b->GetSafeHwnd(), shown ? SW_SHOW : SW_HIDE);
            ::EnableWindow(b->GetSafeHwnd(), shown);
        }
    };
    place(1138, open);
    place(1139, open);  // OnBtnArchive then enables it only for a taggable file
    place(1137, !open);
    place(1223, !open);
    // A hidden window keeps the focus it had, and the keys typed next would
    // go to it (the title editor takes them as text) instead of the face.
    if (HWND focus = ::GetFocus(); !open && focus)
        for (HWND w : {tree, TrackListWnd})
            if (w && (focus == w || ::IsChild(w, focus))) {
                ::SetFocus(m_hWnd);
                break;
            }
}

void CVelorinDlg::BuildHistoryTree() {
    if (ArchiveOpen) return;
    ArchiveOpen = 1;
    ShowPanelControls(true);
    HWND tree = ::GetDlgItem(m_hWnd, IDC_HISTORYTREE);
    if (tree) {
        // Emptying the tree selects nothing and says so: not a choice.
        RefillingTree = true;
        TreeView_DeleteItem(tree, TVI_ROOT);
        char logRoot[300];
        if (MakeLogRoot(InstallPath, logRoot, sizeof logRoot)) {
            CHistoryLog log;
            log.tree = tree;
            log.FillTree(logRoot);
        }
        RefillingTree = false;
    }
    ApplyWindowRegion(FALSE);
    InvalidateRect(&kPanelSeam, TRUE);
    SetWindowPos(nullptr, 0, 0, AudioBoxOpen ? kFaceWidthWithBox : kFaceWidth, kOpenHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (TrackListWnd) ::SetFocus(TrackListWnd);
}

void CVelorinDlg::ShowArchivePanel() {
    if (!ArchiveOpen) return;
    ArchiveOpen = 0;
    ShowPanelControls(false);
    ApplyWindowRegion(FALSE);
    InvalidateRect(&kPanelSeam, TRUE);
    SetWindowPos(nullptr, 0, 0, AudioBoxOpen ? kFaceWidthWithBox : kFaceWidth, kClosedHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CVelorinDlg::OnBtnArchive() {
    BuildHistoryTree();
    EnableEditTagFor(CurrentFile);
    ReadMediaFileInfo(Trimmed(CurrentFile).c_str());
    if (CurrentFile[0] && TrackListWnd) {
        ::SendMessageA(TrackListWnd, TLM_DELETEROW, static_cast<WPARAM>(-1), 0);
        AddTrackFile(CurrentFile);
        ::SendMessageA(TrackListWnd, TLM_SELECTROW, 0, 0);
    }
    Invalidate(FALSE);
}

void CVelorinDlg::OnBtnArchiveClose() { ShowArchivePanel(); }

void CVelorinDlg::EnableEditTagFor(const char* path) {
    if (CUniButton* b = FaceButton(1139)) ::EnableWindow(b->GetSafeHwnd(), HasTags(path));
}

// ---- painting -----------------------------------------------------------------

void CVelorinDlg::DrawArchivePanel(HDC dc) {
    if (!ArchiveOpen) return;
    LogFacePicture.Draw(dc, kPanelRect.left, kPanelRect.top, kPanelRect.right - kPanelRect.left,
                        kPanelRect.bottom - kPanelRect.top);
    DrawFileInfoPanel(dc);
}

void CVelorinDlg::DrawFileInfoPanel(HDC dc) {
    if (!ArchiveOpen) return;
    HDC own = dc ? nullptr : ::GetDC(m_hWnd);
    if (own) dc = own;
    RECT frame = kFileInfoRect;
    FillRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&frame, -1, -1);
    const COLORREF oldBack = SetBkColor(dc, kWellGround);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &frame, nullptr, 0, nullptr);
    SetBkColor(dc, oldBack);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, kWellText);
    const UINT oldAlign = SetTextAlign(dc, TA_LEFT | TA_TOP);
    const int middle = (kFileInfoRect.left + kFileInfoRect.right) / 2;
    for (int i = 0; i < 6; ++i) {
        const int row = i / 2;
        RECT cell{i % 2 ? middle : kFileInfoRect.left + 2, kFileInfoRect.top + 2 + 14 * row,
                  i % 2 ? kFileInfoRect.right - 2 : middle - 2, kFileInfoRect.top + 16 + 14 * row};
        const char* text = MediaInfoLines[i];
        ExtTextOutA(dc, cell.left, cell.top, ETO_CLIPPED, &cell, text, static_cast<UINT>(strlen(text)),
                    nullptr);
    }
    SetTextAlign(dc, oldAlign);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    if (own) ::ReleaseDC(m_hWnd, own);
}

// ---- the track list -------------------------------------------------------------

void CVelorinDlg::AddTrackRow(const HistoryRecord& record) {
    if (!TrackListWnd) return;
    TrackListRow row{};
    SafeCopy(row.name, record.fileName);
    SafeCopy(row.location, record.filePath);
    SafeCopy(row.startTime, record.startTime);
    SafeCopy(row.duration, record.duration);
    SafeCopy(row.audioLine, record.audioLine);
    ::SendMessageA(TrackListWnd, TLM_ADDROW, 0, reinterpret_cast<LPARAM>(&row));
}

void CVelorinDlg::AddTrackFile(const char* path) {
    if (!TrackListWnd) return;
    TrackListRow row{};
    SplitPath(path, &row);
    ::SendMessageA(TrackListWnd, TLM_ADDROW, 0, reinterpret_cast<LPARAM>(&row));
}

void CVelorinDlg::OpenTrackListRow(int row) {
    char path[MAX_PATH] = "";
    if (!TrackListWnd) return;
    if (!::SendMessageA(TrackListWnd, TLM_GETPATH, reinterpret_cast<WPARAM>(path), row)) {
        // The list only asks to open its own rows: one whose folder and name
        // do not fit a path the system can open says so instead of nothing.
        ShowOutputMessage("NameTooLong");
        return;
    }
    // A history line or a typed choice naming a device never becomes the
    // file that is played, read for its tags or kept for the next start.
    if (RefuseDeviceFile(path)) return;
    // The row is the file the info rows show, Play plays and the exit keeps.
    SafeCopy(CurrentFile, path);
    SafeCopy(PlayFile, path);
    if (InfoRowMode != 2) {
        InfoRowMode = 2;
        RepaintRect(kInfoRows);
    }
    {
        CClientDC client(this);
        DrawPlayFileLine(client.GetSafeHdc());
    }
    EnableEditTagFor(CurrentFile);
    ReadMediaFileInfo(Trimmed(CurrentFile).c_str());
    DrawFileInfoPanel(nullptr);
}

void CVelorinDlg::ListHistoryDay(LPARAM dayData) {
    char logRoot[300], dayFile[MAX_PATH + 40];
    if (!MakeLogRoot(InstallPath, logRoot, sizeof logRoot) ||
        !CHistoryLog::DayFileOfItem(logRoot, dayData, dayFile, sizeof dayFile))
        return;
    CHistoryLog log;
    log.ReadDayFile(dayFile);
    // The list repaints itself for every row it is given: one paint for
    // the whole day instead.
    const bool shown = ::IsWindowVisible(TrackListWnd) != FALSE;
    if (shown) ::SendMessageA(TrackListWnd, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(TrackListWnd, TLM_DELETEROW, static_cast<WPARAM>(-1), 0);
    // Newest first; the list keeps the first hundred it is given.
    int added = 0;
    for (auto it = log.records.rbegin(); it != log.records.rend() && added < kTrackListCapacity; ++it, ++added)
        AddTrackRow(*it);
    if (shown) {
        ::SendMessageA(TrackListWnd, WM_SETREDRAW, TRUE, 0);
        ::RedrawWindow(TrackListWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

void CVelorinDlg::ShowLoggedTake(const HistoryRecord& record) {
    HWND tree = ::GetDlgItem(m_hWnd, IDC_HISTORYTREE);
    if (!ArchiveOpen || !tree || !TrackListWnd) return;
    CHistoryLog log;
    log.tree = tree;
    log.currentRoot = TreeView_GetNextSibling(tree, TreeView_GetRoot(tree));  // "Record History"
    RefillingTree = true;
    HTREEITEM day = log.AddDay(record.dateKey);
    RefillingTree = false;
    if (!day || day != TreeView_GetSelection(tree)) return;
    ListHistoryDay(CHistoryLog::DayItemData(record.dateKey));
    // The row the user had open stays marked, now one further down.
    const std::string current = Trimmed(CurrentFile);
    const int rows = static_cast<int>(::SendMessageA(TrackListWnd, TLM_GETCOUNT, 0, 0));
    for (int i = 0; i < rows && !current.empty(); ++i) {
        char path[MAX_PATH] = "";
        if (::SendMessageA(TrackListWnd, TLM_GETPATH, reinterpret_cast<WPARAM>(path), i) &&
            lstrcmpiA(path, current.c_str()) == 0) {
            ::SendMessageA(TrackListWnd, TLM_SELECTROW, i, 0);
            break;
        }
    }
}

// ---- the tree -------------------------------------------------------------------

void CVelorinDlg::ChooseHistoryItem(HTREEITEM item, bool byClick, bool byUser) {
    HWND tree = ::GetDlgItem(m_hWnd, IDC_HISTORYTREE);
    if (!tree || !item || RefillingTree || !TrackListWnd) return;
    char text[64] = "";
    TVITEMA info{};
    info.mask = TVIF_TEXT | TVIF_PARAM;
    info.hItem = item;
    info.pszText = text;
    info.cchTextMax = sizeof text;
    if (!TreeView_GetItem(tree, &info)) return;
    if (strcmp(text, "Files for playing") == 0) {
        if (byUser) ChooseFilesForPlaying(byClick);
        return;
    }
    ListHistoryDay(info.lParam);
}

void CVelorinDlg::OnHistoryTreeSelChanged(NMHDR* header, LRESULT* result) {
    *result = 0;
    const NMTREEVIEWA* change = reinterpret_cast<const NMTREEVIEWA*>(header);
    // The tree selects its first item, "Files for playing", by itself when
    // it takes the focus with nothing selected. That is no choice of the
    // user's: a file dialog must not open out of nowhere.
    ChooseHistoryItem(change->itemNew.hItem, false, change->action != TVC_UNKNOWN);
}

// The chosen item keeps the skin's accent while the focus is elsewhere:
// the system would put it on its pale button face, under the light text.
void CVelorinDlg::OnHistoryTreeCustomDraw(NMHDR* header, LRESULT* result) {
    auto* draw = reinterpret_cast<NMTVCUSTOMDRAW*>(header);
    *result = CDRF_DODEFAULT;
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        *result = CDRF_NOTIFYITEMDRAW;
    } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && (draw->nmcd.uItemState & CDIS_SELECTED)) {
        draw->clrText = RGB(255, 255, 255);
        draw->clrTextBk = kChosenItem;
    }
}

void CVelorinDlg::OnHistoryTreeClick(NMHDR* header, LRESULT* result) {
    *result = 0;
    // A click that changes the selection also reports the change, which
    // does the work; here only a click on the item already selected.
    HWND tree = header->hwndFrom;
    TVHITTESTINFO hit{};
    const DWORD where = GetMessagePos();
    hit.pt = POINT{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
    ::ScreenToClient(tree, &hit.pt);
    HTREEITEM item = TreeView_HitTest(tree, &hit);
    if (!item || !(hit.flags & TVHT_ONITEM) || item != TreeView_GetSelection(tree)) return;
    ChooseHistoryItem(item, true);
}

// ---- files chosen from disk -------------------------------------------------------

bool CVelorinDlg::ChooseFiles(const char* initialName, const char* filter, bool owned,
                              std::vector<CString>* paths) {
    CFileDialog dialog(TRUE, nullptr, initialName, OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT, filter,
                       owned ? this : nullptr);
    const INT_PTR result = dialog.DoModal();
    if (result == IDOK) {
        *paths = dialog.GetPathNames();
        return true;
    }
    // A failure is not a cancel: say why nothing was chosen.
    if (dialog.ErrorCode())
        ::MessageBoxA(m_hWnd, dialog.ErrorText(), "Brindle", MB_OK | MB_ICONWARNING);
    return false;
}

void CVelorinDlg::ListChosenFiles(const std::vector<CString>& paths, bool openFirst) {
    ::SendMessageA(TrackListWnd, TLM_DELETEROW, static_cast<WPARAM>(-1), 0);
    for (const CString& path : paths) AddTrackFile(path);
    if (!openFirst || paths.empty()) return;
    ::SendMessageA(TrackListWnd, TLM_SELECTROW, 0, 0);
    SendMessage(WM_TRACKLIST_OPENFILE, 0, 0);
}

void CVelorinDlg::ChooseFilesForPlaying(bool byClick) {
    std::vector<CString> paths;
    if (byClick) {
        // The list empties first; whatever closes the dialog, what it
        // chose is listed.
        ::SendMessageA(TrackListWnd, TLM_DELETEROW, static_cast<WPARAM>(-1), 0);
        ChooseFiles(nullptr, kPlayFilterByClick, false, &paths);
        ListChosenFiles(paths, false);
        return;
    }
    if (ChooseFiles("c:\\*.wma", kPlayFilter, true, &paths)) ListChosenFiles(paths, true);
}

void CVelorinDlg::OnLButtonDblClk(UINT flags, CPoint point) {
    if (!IsPlaying && !IsRecording && !SignalModeOn && !ScheduleModeOn) {
        if (PtInRect(&kOutputRow, point)) {
            OnBtnEject();
        } else if (PtInRect(&kBackgroundRow, point)) {
            OnBtnBackgroundSettings();
        } else if (PtInRect(&kPlayFileRow, point)) {
            std::vector<CString> paths;
            if (ChooseFiles("c:\\*.wma", kInfoRowFilter, false, &paths)) ListChosenFiles(paths, true);
        }
    }
    CDialog::OnLButtonDblClk(flags, point);
}

// ---- tags -----------------------------------------------------------------------

void CVelorinDlg::OnBtnEditTag() {
    if (IsPlaying) return;
    const std::string file = Trimmed(CurrentFile);
    // A tag written into the file the writer is still filling would
    // corrupt it.
    char output[1000] = "";
    GetDlgItemText(IDC_FILENAME, output, sizeof output);
    if (IsRecording && SameFilePath(file.c_str(), output)) {
        ShowStatusText(nullptr, "This file is being recorded", "Stop the recording to edit its tags");
        return;
    }
    char ext[4];
    FileExtension3(file.c_str(), ext);
    MediaTagRecord tags{};
    ReadWmaTags(file.c_str(), &tags);
    bool ok = false;
    if (strcmp(ext, "wma") == 0) ok = EditTags<CDLGWMA>(this, &tags);
    else if (strcmp(ext, "mp3") == 0) ok = EditTags<CDLGMP3>(this, &tags);
    if (!ok) return;
    if (FAILED(WriteWmaTags(file.c_str(), tags)))
        ShowStatusText(nullptr, "The tags could not be written", file.c_str());
    ReadMediaFileInfo(file.c_str());
    DrawFileInfoPanel(nullptr);
}
