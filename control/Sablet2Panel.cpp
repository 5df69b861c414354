// The panel window of CSablet2 (dialog 104): its start-up, the Config
// button, and the clean-up of temporary wrappers after each message, which
// the container's loop cannot do for us.
#include "control/Sablet2.h"

#include "control/CtlRecorder.h"
#include "control/RecordingParamsDlg.h"

BEGIN_MESSAGE_MAP(CSablet2, CDialog)
    ON_BN_CLICKED(IDC_CONFIG, OnConfig)
    ON_BN_CLICKED(IDC_RECORD, OnRecord)
    ON_BN_CLICKED(IDC_PLAY, OnPlay)
    ON_BN_CLICKED(IDC_PAUSE, OnPause)
    ON_BN_CLICKED(IDC_STOP, OnStop)
    ON_CBN_SELCHANGE(IDC_AUDIOSOURCE, OnAudioSourceChange)
    ON_MESSAGE(MM_WIM_DATA, OnWaveInData)
    ON_MESSAGE(CtlFinishedMessage, OnRecordingFinished)
    ON_WM_TIMER()
    ON_WM_HSCROLL()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_DRAWITEM()
    ON_WM_SIZE()
    ON_MESSAGE(WM_CTLCOLORSTATIC, OnCtlColorStatic)
    // The container's mode changes and right clicks are not the panel's.
    ON_MESSAGE(WM_CANCELMODE, OnSwallowed)
    ON_MESSAGE(WM_TCARD, OnSwallowed)
    ON_MESSAGE(WM_RBUTTONDOWN, OnSwallowed)
    ON_COMMAND(IDM_EXPORT_RECORDING, OnExportRecording)
    ON_BN_CLICKED(IDC_UPLOAD, OnUploadButton)
    ON_COMMAND(IDM_UPLOAD_RECORDING, OnUploadMenuCommand)
    ON_MESSAGE(sablet::HostInfoReadyMessage, OnHostInfoReady)
    ON_WM_MOUSEMOVE()
    ON_BN_CLICKED(IDC_GO, OnGo)
    ON_COMMAND_RANGE(IDC_BACKWARD, IDC_FORWARD, OnBrowserButton)
    ON_COMMAND_RANGE(IDC_REFRESH, IDC_BROWSERSTOP, OnBrowserButton)
    ON_CBN_SELCHANGE(IDC_ADDRESS, OnAddressSelChange)
    ON_CBN_SETFOCUS(IDC_ADDRESS, OnAddressSetFocus)
    ON_BN_CLICKED(IDC_HISTORY, OnHistoryButton)
    ON_COMMAND_RANGE(kTravelLogFirstId, kTravelLogLastId, OnTravelLogCommand)
    ON_WM_KEYDOWN()
    ON_WM_LBUTTONDOWN()
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
    InitTransport();
    LoadPanelMenus();
    CreateEmbeddedBrowser();
    if (Resize) FillAddressHistory();
    NudgeHostBrowser();
    // The service is asked once, shortly after the panel shows.
    ::SetTimer(m_hWnd, sablet::HostInfoTimer, 200, nullptr);
    // The page keeps the focus until the control is activated by the user.
    return FALSE;
}

void CSablet2::OnConfig() {
    // The parameters of a recording or playback under way stay as they are.
    if (TransportState != 0) return;
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
