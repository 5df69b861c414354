// The panel window of CSablet2 (dialog 104): its start-up, the Config
// button, and the clean-up of temporary wrappers after each message, which
// the container's loop cannot do for us.
#include "control/Sablet2.h"

#include "control/RecordingParamsDlg.h"

BEGIN_MESSAGE_MAP(CSablet2, CDialog)
    ON_BN_CLICKED(IDC_CONFIG, OnConfig)
END_MESSAGE_MAP()

LRESULT CSablet2::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    CTemporaryObjectScope temporaries;
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CSablet2::OnInitDialog() {
    CDialog::OnInitDialog();
    // The fixed layout always keeps the panel at the bottom.
    if (!Resize) Align = 1;
    GetHostBrowser();
    ApplyHostBrowserBars();
    if (!Mp3Available()) UseMP3 = 0;
    if (!AllowParaChange) ::EnableWindow(::GetDlgItem(m_hWnd, IDC_CONFIG), FALSE);
    // The page keeps the focus until the control is activated by the user.
    return FALSE;
}

void CSablet2::OnConfig() {
    CRecordingParamsDlg dialog(this);
    dialog.Channels = Channel;
    dialog.SampleRate = SampleRate;
    dialog.Mp3Bitrate = MP3Bitrate;
    dialog.Bits = SampleBit;
    dialog.UseMp3 = UseMP3;
    dialog.Mp3Available = Mp3Available();
    if (dialog.DoModal() != IDOK) return;
    Channel = dialog.Channels;
    SampleRate = dialog.SampleRate;
    MP3Bitrate = dialog.Mp3Bitrate;
    SampleBit = dialog.Bits;
    UseMP3 = dialog.UseMp3 && Mp3Available();
    SetDirty(true);
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}
