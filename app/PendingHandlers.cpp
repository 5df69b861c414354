// Handlers the map already routes to but whose work belongs to modules of
// the main window still being written: the history panel's tag editing.
// The menu entries of recording and playback already lead to the real
// buttons. The others do nothing yet; none reports success it did not have.
#include "app/VelorinDlg.h"

// Recording and playback menus.
void CVelorinDlg::OnMenuPause() { OnBtnPause(); }
void CVelorinDlg::OnMenuPlay() { OnBtnPlay(); }
void CVelorinDlg::OnMenuChangeFileName() { OnBtnEject(); }

// Signal-activated recording.
void CVelorinDlg::OnMenuSignalRecord() { OnBtnSignalRecord(); }

// History panel: tag editing waits for the tag dialogs.
void CVelorinDlg::OnBtnEditTag() {}

void CVelorinDlg::OnNoEffect() {}
