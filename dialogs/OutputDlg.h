// Where recordings go: the output folder, the file name (whose extension
// also chooses WAV, MP3 or WMA) and the switches for multiple files,
// time-stamped names and the overwrite alert. It works through the
// registry: the main window stores the current values just before running
// it and reads them back afterwards; OK makes the folder and writes them.
#pragma once

#include "dialogs/SkinDialog.h"
#include "ui/SettingsStore.h"

class COutputDlg : public CSkinDialog {
public:
    explicit COutputDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;

protected:
    void OnOkButton() override;

    afx_msg void OnBtnBrowse();
    afx_msg void OnRadioWav();
    afx_msg void OnRadioMp3();
    afx_msg void OnRadioWma();
    afx_msg void OnCheckMultiFile();
    afx_msg void OnCheckTimeStamped();
    afx_msg void OnCheckAlert();

    void CreateButtons();
    // The radio `index` (0 WAV, 1 MP3, 2 WMA) alone checked.
    void CheckFormat(int index);
    // A format radio: the name takes that extension.
    void ChooseFormat(int index);
    // Makes the folder the boxes name; false (after saying why) when OK
    // must not go on.
    bool MakeFolder(const char* folder);

    CUniButton MultiFileBox, TimeStampedBox, AlertBox;
    CUniButton BrowseButton;
    CUniButton FormatRadios[3];  // WAV, MP3, WMA

    DECLARE_MESSAGE_MAP()
};
