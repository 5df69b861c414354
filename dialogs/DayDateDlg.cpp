#include "dialogs/DayDateDlg.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "dialogs/ScheduleFile.h"
#include "framework/SafeString.h"
#include "ui/XmlDocument.h"

namespace {

constexpr UINT kCalendarId = 1070, kClearId = 1072, kFirstDayId = 1087;


}  // namespace

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
    ON_NOTIFY(MCN_SELECT, kCalendarId, OnCalendarSelect)
    ON_NOTIFY(MCN_SELCHANGE, kCalendarId, OnCalendarSelChange)
    ON_NOTIFY(MCN_GETDAYSTATE, kCalendarId, OnCalendarDayState)
    ON_WM_PAINT()
    ON_COMMAND(kClearId, OnClear)
    ON_COMMAND_RANGE(kFirstDayId, kFirstDayId + 6, OnDayBox)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg(CWnd* parent) : CDialog(IDD, parent) {}

BOOL CAboutDlg::OnInitDialog() {
    initialising_ = true;
    CDialog::OnInitDialog();
    SYSTEMTIME date;
    if (ParseScheduleDate(DayText, &date)) {
        SendDlgItemMessage(kCalendarId, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&date));
    } else {
        for (int i = 0; i < 7; ++i)
            CheckDlgButton(kFirstDayId + i, strstr(DayText, kScheduleWeekdays[i]) ? BST_CHECKED : BST_UNCHECKED);
    }
    initialising_ = false;
    return TRUE;
}

RECT CAboutDlg::TextBox(int left, int top, int right, int bottom) {
    // The boxes were laid out for a font of 6 x 13 base units.
    RECT r{left * 4 / 6, top * 8 / 13, right * 4 / 6, bottom * 8 / 13};
    ::MapDialogRect(m_hWnd, &r);
    return r;
}

void CAboutDlg::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, RGB(0, 0, 0));
    auto draw = [&](const RECT& box, const char* text) {
        ExtTextOutA(dc, box.left, box.top, ETO_CLIPPED, &box, text, static_cast<UINT>(strlen(text)),
                    nullptr);
    };
    if (Language) {
        char block[400] = "", timeInfo[100] = "", dateInfo[100] = "";
        if (Language->GetText("FaceDate", block, sizeof block)) {
            GetElementText(block, "TimeInfo", timeInfo, sizeof timeInfo);
            GetElementText(block, "DateInfo", dateInfo, sizeof dateInfo);
        }
        draw(TextBox(228, 35, 389, 50), timeInfo);
        draw(TextBox(228, 69, 389, 84), dateInfo);
    }
    draw(TextBox(228, 52, 389, 67), TimeText);
    const RECT day = TextBox(228, 86, 389, 101);
    HBRUSH grey = CreateSolidBrush(RGB(0xC0, 0xC0, 0xC0));
    FillRect(dc, &day, grey);
    DeleteObject(grey);
    draw(day, DayText);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    EndPaint(m_hWnd, &ps);
}

void CAboutDlg::RedrawDayText() {
    const RECT day = TextBox(228, 86, 389, 101);
    ::InvalidateRect(m_hWnd, &day, TRUE);
}

void CAboutDlg::TakeDate(const SYSTEMTIME& date) {
    SafeFormat(DayText, "%d/%d/%d", date.wMonth, date.wDay, date.wYear);
    RedrawDayText();
    // A date and weekdays never stand together.
    for (int i = 0; i < 7; ++i) CheckDlgButton(kFirstDayId + i, BST_UNCHECKED);
}

void CAboutDlg::OnCalendarSelect(NMHDR* header, LRESULT* result) {
    *result = 0;
    SYSTEMTIME date{};
    if (SendDlgItemMessage(kCalendarId, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&date)))
        TakeDate(date);
    else TakeDate(reinterpret_cast<NMSELCHANGE*>(header)->stSelStart);
}

void CAboutDlg::OnCalendarSelChange(NMHDR* header, LRESULT* result) {
    *result = 0;
    // Keys move the selection without a select notification; a click on a
    // date brings its own, and paging with the mouse chooses nothing.
    if (initialising_ || GetKeyState(VK_LBUTTON) < 0) return;
    if (::GetFocus() != ::GetDlgItem(m_hWnd, kCalendarId)) return;
    TakeDate(reinterpret_cast<NMSELCHANGE*>(header)->stSelStart);
}

void CAboutDlg::OnCalendarDayState(NMHDR*, LRESULT* result) { *result = 0; }

void CAboutDlg::OnClear() {
    DayText[0] = '\0';
    for (int i = 0; i < 7; ++i) CheckDlgButton(kFirstDayId + i, BST_UNCHECKED);
    RedrawDayText();
}

void CAboutDlg::OnDayBox(UINT) {
    bool ticked[7];
    for (int i = 0; i < 7; ++i) ticked[i] = IsDlgButtonChecked(kFirstDayId + i) == BST_CHECKED;
    SafeCopy(DayText, WeekdayText(ticked).c_str());
    RedrawDayText();
}
