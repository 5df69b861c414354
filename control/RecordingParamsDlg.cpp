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
    DDX_Control(dx, IDC_FREQUENCY, m_frequency);
    DDX_Control(dx, IDC_BITS, m_bits);
    DDX_Control(dx, IDC_CHANNEL, m_channel);
    DDX_Control(dx, IDC_BITRATE, m_bitrate);
}

BOOL CRecordingParamsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The lists are unsorted: an entry's index is its place in the tables.
    char text[16];
    for (uint32_t rate : SampleRateTable) {
        snprintf(text, sizeof text, "%u", static_cast<unsigned>(rate));
        m_frequency.AddString(text);
    }
    m_bits.AddString("16 Bit");
    m_bits.AddString("  8 Bit");
    m_channel.AddString("Stereo");
    m_channel.AddString("Mono");
    for (short kbps : sablet::Mp3BitrateTable) {
        snprintf(text, sizeof text, "%d", kbps);
        m_bitrate.AddString(text);
    }
    // A rate that is none of the list's (a page's SampleRate) shows no
    // selection and stays as it is unless the user picks one.
    m_frequency.SetCurSel(IndexOf(SampleRateTable, SampleRate));
    m_bits.SetCurSel(Bits == 16 ? 0 : 1);
    m_channel.SetCurSel(Channels == 2 ? 0 : 1);
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

void CRecordingParamsDlg::OnSelchangeBits() { Bits = m_bits.GetCurSel() == 0 ? 16 : 8; }

void CRecordingParamsDlg::OnSelchangeChannel() { Channels = m_channel.GetCurSel() == 0 ? 2 : 1; }

void CRecordingParamsDlg::OnSelchangeFrequency() {
    int index = m_frequency.GetCurSel();
    if (index >= 0 && index < 9) SampleRate = SampleRateTable[index];
}

void CRecordingParamsDlg::OnSelchangeBitrate() {
    int index = m_bitrate.GetCurSel();
    if (index >= 0 && index < 15) Mp3Bitrate = sablet::Mp3BitrateTable[index];
}
