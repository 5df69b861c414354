// The noise gate's threshold, release and attack times and the cut-offs of
// the low-pass and high-pass filters, each as a slider with its edit box.
// OK checks every edit and writes the five values; the main window reads
// them back whichever way the dialog closed.
#pragma once

#include "dialogs/SliderFields.h"
#include "ui/SettingsStore.h"

class CNoiseGatingDlg : public CSliderFieldDialog {
public:
    explicit CNoiseGatingDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;

protected:
    void OnOkButton() override;

    afx_msg void OnKillFocusThreshold();
    afx_msg void OnKillFocusRelease();
    afx_msg void OnKillFocusAttack();
    afx_msg void OnKillFocusLowPass();
    afx_msg void OnKillFocusHighPass();

    void InitSliders();

    enum { kThreshold, kRelease, kAttack, kLowPass, kHighPass, kFieldCount };
    Field Fields[kFieldCount];
    SettingsStore Settings;
    // As read at start and written on OK.
    int32_t NoiseThreshold = 0, ReleaseTime = 0, AttackTime = 0, LowPass = 20000, HighPass = 0;

    DECLARE_MESSAGE_MAP()
};
