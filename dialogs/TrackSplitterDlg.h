// Signal-triggered recording and track splitting: the sound threshold, what
// happens when the sound stays below it (new file, pause, stop) and the
// delay shown for it. OK checks both edits and writes Threshold, SignalType
// and NewFileDelay.
#pragma once

#include "dialogs/SliderFields.h"
#include "ui/SettingsStore.h"

class CTrackSplitterDlg : public CSliderFieldDialog {
public:
    explicit CTrackSplitterDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;

protected:
    void OnOkButton() override;

    afx_msg void OnBtnNewFile();
    afx_msg void OnBtnPause();
    afx_msg void OnBtnStop();
    afx_msg void OnKillFocusThreshold();
    afx_msg void OnKillFocusDelay();

    void CreateButtons();
    void InitSliders(int threshold, int delay);
    // Checks one action button, clears the other two.
    void ChooseAction(CUniButton& chosen);

    enum { kThreshold, kDelay, kFieldCount };
    Field Fields[kFieldCount];
    CUniButton NewFileButton, PauseButton, StopButton;
    SettingsStore Settings;

    DECLARE_MESSAGE_MAP()
};
