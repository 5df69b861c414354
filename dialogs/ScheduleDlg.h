// The schedule editor: the list of timed recordings with their days or
// date and an optional streaming address, written to the schedule file
// and ScheduleType on OK.
#pragma once

#include "dialogs/SkinDialog.h"
#include "ui/SettingsStore.h"

class CScheduleDlg : public CSkinDialog {
public:
    enum { IDD = 143 };
    explicit CScheduleDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;

    afx_msg void OnBtnAdd();
    afx_msg void OnBtnChange();
    afx_msg void OnBtnDelete();
    afx_msg void OnBtnAbsolute();
    afx_msg void OnBtnRelative();
    afx_msg void OnCheckDays();
    afx_msg void OnDayCheck(UINT id);
    afx_msg void OnCheckUrl();
    afx_msg void OnKillFocusTime(UINT id);
    afx_msg void OnKillFocusLoadingTime();
    afx_msg void OnDateTimeChange(NMHDR* header, LRESULT* result);
    afx_msg void OnListSelChange();

    DECLARE_MESSAGE_MAP()

protected:
    // Enter does nothing here: it would save and close with a line typed
    // into the boxes but not yet added. OK and Cancel go by their buttons.
    void OnOK() override {}
    void OnOkButton() override;
    void DrawFace(HDC dc) override;
    void OnSliderMoved(CSkinSlider* slider) override;

private:
    void CreateButtons();
    void InitSliders();
    void PlaceControls();
    void UpdateDayText();
    void DrawDayText(HDC dc = nullptr);
    // The line the controls describe, or false after telling the user why
    // not.
    bool BuildLine(std::string* line);
    void EnableSelectionButtons(bool enable);
    void SetDayBoxes(const char* dayText);
    void SchedulePath(char* out, size_t size);

    char DayText[200] = "";
    CSkinSlider TimeSliders[6];
    CUniButton AddButton, ChangeButton, DeleteButton, AbsoluteButton, RelativeButton, DaysOption,
        DayBoxes[7], UrlOption;
    DWORD ScheduleType = 0;
    SettingsStore Settings;
    // Lines of the file that could not be read: OK leaves the file as it
    // is rather than drop them.
    int UnreadableLines = 0;
    // The file is Unicode text: marked so, or holding NUL bytes as UTF-16
    // without its mark does.
    bool UnicodeFile = false;
};
