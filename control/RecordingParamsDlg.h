// The "Recording Parameters" dialog of the Config button: the control
// hands its format in, and takes it back when the dialog ends with OK.
#pragma once

#include <windows.h>

#include "framework/Controls.h"
#include "framework/Dialog.h"

namespace sablet {

// The Config dialog's rate, bits and channel lists (the channel list's id is
// a parameter: templates number it differently). They are unsorted: an entry's index is its place in the tables.
void FillFormatLists(HWND dialog, int channelList);
// Selects the control's format in them; a rate none of the list's (a page's
// SampleRate) shows no selection, so it stays unless the user picks one.
void SelectFormat(HWND dialog, int channelList, LONG rate, short bits, short channels);
// The chosen entries' values; no rate chosen leaves rate as it is.
void ChosenRate(HWND dialog, LONG* rate);
short ChosenBits(HWND dialog);
short ChosenChannels(HWND dialog, int channelList);

}  // namespace sablet

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
    CComboBox m_bitrate;
};
