// Handlers the map already routes to but whose work belongs to modules of
// the main window still being written: the history panel and the upload
// of a file from disk. The menu entries of recording and playback already
// lead to the real buttons. Each of the others does nothing yet; none
// reports success it did not have.
#include "app/VelorinDlg.h"

// Recording and playback menus.
void CVelorinDlg::OnMenuPause() { OnBtnPause(); }
void CVelorinDlg::OnMenuPlay() { OnBtnPlay(); }
void CVelorinDlg::OnMenuChangeFileName() { OnBtnEject(); }

// Signal-activated recording.
void CVelorinDlg::OnMenuSignalRecord() { OnBtnSignalRecord(); }

// History panel.
void CVelorinDlg::OnBtnArchive() {}
void CVelorinDlg::OnBtnArchiveClose() {}
void CVelorinDlg::OnBtnEditTag() {}
void CVelorinDlg::OnLButtonDblClk(UINT flags, CPoint point) { CDialog::OnLButtonDblClk(flags, point); }
void CVelorinDlg::OnHistoryTreeSelChanged(NMHDR*, LRESULT* result) { *result = 0; }
void CVelorinDlg::OnHistoryTreeClick(NMHDR*, LRESULT* result) { *result = 0; }

// Menus, tray, uploads, readouts, keys.
void CVelorinDlg::UploadFileFromDisk() {}

void CVelorinDlg::OnNoEffect() {}
