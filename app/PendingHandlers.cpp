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
void CVelorinDlg::OnBtnEditTag() {}

// Menus, tray, uploads, readouts, keys.

void CVelorinDlg::OnNoEffect() {}
