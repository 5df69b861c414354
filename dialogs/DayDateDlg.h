// The schedule's day and date dialog: a month calendar for one date or
// seven boxes for weekdays, giving the day part of one schedule line.
#pragma once

#include <windows.h>

#include "framework/Dialog.h"

class XmlDocument;

class CAboutDlg : public CDialog {
public:
    enum { IDD = 100 };
    explicit CAboutDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;

    // The face texts; may stay null (the labels are then left out).
    const XmlDocument* Language = nullptr;
    // In: the line's day part (weekdays or a date). Out after IDOK.
    char DayText[200] = "";
    // The line's times, shown for orientation.
    char TimeText[200] = "";

    afx_msg void OnPaint();
    afx_msg void OnCalendarSelect(NMHDR* header, LRESULT* result);
    afx_msg void OnCalendarSelChange(NMHDR* header, LRESULT* result);
    afx_msg void OnCalendarDayState(NMHDR* header, LRESULT* result);
    afx_msg void OnClear();
    afx_msg void OnDayBox(UINT id);

    DECLARE_MESSAGE_MAP()

private:
    void TakeDate(const SYSTEMTIME& date);
    void RedrawDayText();
    // A text box given in the pixels of the template's own font, in this
    // window's pixels.
    RECT TextBox(int left, int top, int right, int bottom);
    bool initialising_ = false;
};
