// The "Recording Parameters" dialog of the Config button: the control
// hands its format in, and takes it back when the dialog ends with OK.
#pragma once

#include <windows.h>

#include "framework/Controls.h"
#include "framework/Dialog.h"

class CRecordingParamsDlg : public CDialog {
public:
    explicit CRecordingParamsDlg(CWnd* parent = nullptr);

    short Channels = 2;
    LONG SampleRate = 12000;
    short Bits = 16;
    short Mp3Bitrate = 32;
    BYTE UseMp3 = 0;
    BYTE Mp3Available = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    afx_msg void OnMp3();
    afx_msg void OnWav();
    afx_msg void OnSelchangeBits();
    afx_msg void OnSelchangeChannel();
    afx_msg void OnSelchangeFrequency();
    afx_msg void OnSelchangeBitrate();
    DECLARE_MESSAGE_MAP()

private:
    void ShowFormat(bool mp3);
    CComboBox m_frequency;
    CComboBox m_bits;
    CComboBox m_channel;
    CComboBox m_bitrate;
};
