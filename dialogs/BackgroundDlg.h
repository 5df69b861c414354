// The background mixing dialog ("Background Music Option"): the background
// file, the balance between background and recording, the channel choices,
// what happens when the background ends, and two stored switches. It reads
// its eight values when it opens and writes them all on OK.
#pragma once

#include <cstdint>

#include "dialogs/SkinDialog.h"
#include "ui/SettingsStore.h"

class CDLGBackground : public CSkinDialog {
public:
    explicit CDLGBackground(CWnd* parent = nullptr);

    // The working values, registry defaults where nothing is stored.
    int Scale = 50;              // Background Scale: the background's share
    int BackgroundChannel = 0;   // 1 left, 2 right, 0 both
    int RecordingChannel = 0;
    int VocalChannel = 0;
    int BackgroundAction = 0;    // 0 repeat, 1 stop recording, 2 stop background
    int RemoveVoice = 0;
    int EnablePreview = 1;
    char BackgroundFile[256] = {};

    // The longest file name the engine can take.
    static constexpr int kMaxFileChars = 255;

    BOOL OnInitDialog() override;

protected:
    void OnOkButton() override;
    void DrawFace(HDC dc) override;
    void OnSliderMoved(CSkinSlider* slider) override;
    afx_msg void OnRadio(UINT id);
    afx_msg void OnCheck(UINT id);
    afx_msg void OnBrowse();

    DECLARE_MESSAGE_MAP()

private:
    struct Group;
    static const Group kGroups[4];
    int* GroupValue(int group);
    CUniButton* Button(UINT id);

    CSkinSlider Balance;
    CUniButton Radios[12];
    CUniButton RemoveVoiceBox, PreviewBox, BrowseButton;
    SettingsStore Store;
};
