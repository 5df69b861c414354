// The MP3 settings and ID3 tag dialog ("Set MP3 parameters"). In settings
// mode it edits the program's MP3 values in the registry; in tag mode
// (TagMode 1, TagRecord set) only one file's tag texts, in the record.
#pragma once

#include <cstdint>

#include "dialogs/SkinDialog.h"
#include "engine/WmaWriter.h"
#include "ui/SettingsStore.h"

class CDLGMP3 : public CSkinDialog {
public:
    explicit CDLGMP3(CWnd* parent = nullptr);

    BYTE TagMode = 0;
    // Tag mode: author = artist, description = year, genre and genreNumber.
    MediaTagRecord* TagRecord = nullptr;
    // The list indices read from the registry.
    int32_t MP3Mode = 0;
    int32_t MP3Bitrate = 0;

    BOOL OnInitDialog() override;

protected:
    void OnOkButton() override;
    afx_msg void OnFlag(UINT id);
    afx_msg void OnId3();

    DECLARE_MESSAGE_MAP()

private:
    bool InTagMode() const { return TagMode && TagRecord; }
    void EnableTagBoxes(bool enable);
    // False when the registry refused a write.
    bool SaveSettings();
    void SaveTag();

    // CRC, Original, Copyright, Private, ID3 (1145..1149).
    CUniButton CheckBoxes[5];
    SettingsStore Store;
};
