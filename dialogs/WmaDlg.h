// The WMA format and tags dialog ("Set WMA parameters"). Settings mode edits
// the WMA profile and header texts in the registry; tag mode (TagMode 1,
// TagRecord set) only one file's texts, in the record, with no profile.
#pragma once

#include "dialogs/SkinDialog.h"
#include "engine/WmaWriter.h"
#include "ui/SettingsStore.h"

class CDLGWMA : public CSkinDialog {
public:
    explicit CDLGWMA(CWnd* parent = nullptr);

    BYTE TagMode = 0;
    MediaTagRecord* TagRecord = nullptr;

    // The profile list fills this long after the dialog shows, so the window
    // never waits for the profile enumeration.
    static constexpr UINT kFillTimer = 1;
    static constexpr UINT kFillProfiles = WM_USER + 6;

    BOOL OnInitDialog() override;

protected:
    void OnOkButton() override;
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg LRESULT OnFillProfiles(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    bool InTagMode() const { return TagMode && TagRecord; }
    SettingsStore Store;
};
