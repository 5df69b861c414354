#include "control/RecordingParamsDlg.h"

#include <cstdio>

#include "control/PropertyRules.h"
#include "control/resource.h"
#include "engine/SampleRateTable.h"
#include "filters/base/Module.h"

namespace {

template <class T, size_t N>
int IndexOf(const T (&table)[N], long value) {
    for (size_t i = 0; i < N; ++i)
        if (static_cast<long>(table[i]) == value) return static_cast<int>(i);
    return -1;
}

}  // namespace

namespace sablet {

void FillFormatLists(HWND dialog, int channelList) {
    char text[16];
    for (uint32_t rate : SampleRateTable) {
        snprintf(text, sizeof text, "%u", static_cast<unsigned>(rate));
        SendDlgItemMessageA(dialog, IDC_FREQUENCY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendDlgItemMessageA(dialog, IDC_BITS, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("16 Bit"));
    SendDlgItemMessageA(dialog, IDC_BITS, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("  8 Bit"));
    SendDlgItemMessageA(dialog, channelList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Stereo"));
    SendDlgItemMessageA(dialog, channelList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Mono"));
}

void SelectFormat(HWND dialog, int channelList, LONG rate, short bits, short channels) {
    SendDlgItemMessageA(dialog, IDC_FREQUENCY, CB_SETCURSEL, IndexOf(SampleRateTable, rate), 0);
    SendDlgItemMessageA(dialog, IDC_BITS, CB_SETCURSEL, bits == 16 ? 0 : 1, 0);
    SendDlgItemMessageA(dialog, channelList, CB_SETCURSEL, channels == 2 ? 0 : 1, 0);
}

void ChosenRate(HWND dialog, LONG* rate) {
    LRESULT index = SendDlgItemMessageA(dialog, IDC_FREQUENCY, CB_GETCURSEL, 0, 0);
    if (index >= 0 && index < 9) *rate = SampleRateTable[index];
}

short ChosenBits(HWND dialog) {
    return SendDlgItemMessageA(dialog, IDC_BITS, CB_GETCURSEL, 0, 0) == 0 ? 16 : 8;
}

short ChosenChannels(HWND dialog, int channelList) {
    return SendDlgItemMessageA(dialog, channelList, CB_GETCURSEL, 0, 0) == 0 ? 2 : 1;
}

}  // namespace sablet

BEGIN_MESSAGE_MAP(CRecordingParamsDlg, CDialog)
    ON_BN_CLICKED(IDC_MP3, OnMp3)
    ON_BN_CLICKED(IDC_WAV, OnWav)
    ON_CBN_SELCHANGE(IDC_BITS, OnSelchangeBits)
    ON_CBN_SELCHANGE(IDC_CHANNEL, OnSelchangeChannel)
    ON_CBN_SELCHANGE(IDC_FREQUENCY, OnSelchangeFrequency)
    ON_CBN_SELCHANGE(IDC_BITRATE, OnSelchangeBitrate)
END_MESSAGE_MAP()

CRecordingParamsDlg::CRecordingParamsDlg(CWnd* parent) : CDialog(IDD_RECORDINGPARAMS, parent) {
    m_hResource = filterbase::ThisModule();
}

void CRecordingParamsDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_BITRATE, m_bitrate);
}

BOOL CRecordingParamsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    sablet::FillFormatLists(m_hWnd, IDC_CHANNEL);
    char text[16];
    for (short kbps : sablet::Mp3BitrateTable) {
        snprintf(text, sizeof text, "%d", kbps);
        m_bitrate.AddString(text);
    }
    sablet::SelectFormat(m_hWnd, IDC_CHANNEL, SampleRate, Bits, Channels);
    m_bitrate.SetCurSel(IndexOf(sablet::Mp3BitrateTable, Mp3Bitrate));
    // Without the encoder library only WAV can be chosen, and OK says so.
    if (!Mp3Available) UseMp3 = 0;
    ShowFormat(UseMp3 != 0);
    if (!Mp3Available) ::EnableWindow(::GetDlgItem(m_hWnd, IDC_MP3), FALSE);
    return TRUE;
}

void CRecordingParamsDlg::ShowFormat(bool mp3) {
    ::CheckRadioButton(m_hWnd, IDC_WAV, IDC_MP3, mp3 ? IDC_MP3 : IDC_WAV);
    m_bitrate.EnableWindow(mp3);
}

void CRecordingParamsDlg::OnMp3() {
    if (!Mp3Available) return;
    UseMp3 = 1;
    ShowFormat(true);
}

void CRecordingParamsDlg::OnWav() {
    UseMp3 = 0;
    ShowFormat(false);
}

void CRecordingParamsDlg::OnSelchangeBits() { Bits = sablet::ChosenBits(m_hWnd); }

void CRecordingParamsDlg::OnSelchangeChannel() {
    Channels = sablet::ChosenChannels(m_hWnd, IDC_CHANNEL);
}

void CRecordingParamsDlg::OnSelchangeFrequency() { sablet::ChosenRate(m_hWnd, &SampleRate); }

void CRecordingParamsDlg::OnSelchangeBitrate() {
    int index = m_bitrate.GetCurSel();
    if (index >= 0 && index < 15) Mp3Bitrate = sablet::Mp3BitrateTable[index];
}
