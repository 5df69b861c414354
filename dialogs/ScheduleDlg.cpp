#include "dialogs/ScheduleDlg.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dialogs/ScheduleFile.h"
#include "framework/SafeString.h"
#include "ui/BrowserLauncher.h"

namespace {

constexpr UINT kListId = 1101, kAddId = 1102, kChangeId = 1103, kDeleteId = 1058,
               kAbsoluteId = 1104, kRelativeId = 1105, kDaysOptionId = 1112, kFirstDayId = 1087,
               kUrlOptionId = 1152, kFirstTimeId = 1106, kDateId = 1075, kAddressId = 1153,
               kLoadingId = 1154;
// The run keeps an address in 300 bytes.
constexpr size_t kAddressMaximum = 299;

const POINT kOutline[] = {{8, 0},     {573, 0},   {575, 4}, {578, 11}, {578, 420},
                          {570, 431}, {7, 431},   {3, 429}, {2, 427},  {0, 424},
                          {0, 10},    {2, 5},     {5, 2}};
const SkinFrame kScheduleFrame{kOutline, 13, 578, 431, "IDR_SCHEDULEFACE", {380, 385}, {470, 385}};

const POINT kDayPlaces[7] = {{435, 91}, {493, 91}, {435, 105}, {493, 105},
                             {435, 119}, {493, 119}, {435, 133}};
const RECT kDayTextArea{428, 47, 562, 63};

struct SliderSpec {
    RECT rect;
    const char* track;
    int maximum, step, rightInset;
};
const SliderSpec kSliders[6] = {
    {{22, 63, 208, 92}, "IDR_SLIDERHOUR", 23, 7, 22},    {{22, 113, 208, 142}, "IDR_SLIDERMINSEC", 59, 3, 5},
    {{22, 163, 208, 192}, "IDR_SLIDERMINSEC", 59, 3, 5}, {{223, 63, 409, 92}, "IDR_SLIDERHOUR", 23, 7, 22},
    {{223, 113, 409, 142}, "IDR_SLIDERMINSEC", 59, 3, 5}, {{223, 163, 409, 192}, "IDR_SLIDERMINSEC", 59, 3, 5}};
const char* const kTimeMessages[3] = {"Invalid Hour Value", "Invalid Minute Value",
                                      "Invalid Second Value"};
const char kLoadingMessage[] = "Please input loading time between 0 - 100 seconds";

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}


std::string WindowText(HWND window) {
    const int length = ::GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    const int got = ::GetWindowTextA(window, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

// A whole decimal number in lo..hi, nothing else.
bool ReadWholeNumber(const std::string& text, int lo, int hi, int* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    const long long number = strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || number < lo || number > hi) return false;
    *value = static_cast<int>(number);
    return true;
}


}  // namespace

BEGIN_MESSAGE_MAP(CScheduleDlg, CSkinDialog)
    ON_COMMAND(kAddId, OnBtnAdd)
    ON_COMMAND(kChangeId, OnBtnChange)
    ON_COMMAND(kDeleteId, OnBtnDelete)
    ON_COMMAND(kAbsoluteId, OnBtnAbsolute)
    ON_COMMAND(kRelativeId, OnBtnRelative)
    ON_COMMAND(kDaysOptionId, OnCheckDays)
    ON_COMMAND_RANGE(kFirstDayId, kFirstDayId + 6, OnDayCheck)
    ON_COMMAND(kUrlOptionId, OnCheckUrl)
    ON_CONTROL_RANGE(EN_KILLFOCUS, kFirstTimeId, kFirstTimeId + 5, OnKillFocusTime)
    ON_EN_KILLFOCUS(kLoadingId, OnKillFocusLoadingTime)
    ON_NOTIFY(DTN_DATETIMECHANGE, kDateId, OnDateTimeChange)
    ON_LBN_SELCHANGE(kListId, OnListSelChange)
END_MESSAGE_MAP()

CScheduleDlg::CScheduleDlg(CWnd* parent) : CSkinDialog(IDD, kScheduleFrame, parent) {}

void CScheduleDlg::SchedulePath(char* out, size_t size) {
    // The same file the main window reads: the install folder's.
    char folder[200] = "";
    Settings.ReadInstallPath(folder);
    MakeScheduleFilePath(folder, out, size);
}

BOOL CScheduleDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    DayText[0] = '\0';
    CreateButtons();
    EnableSelectionButtons(false);
    OnCheckDays();
    PlaceControls();
    Settings.ReadScheduleType(&ScheduleType);
    InitSliders();

    char path[400];
    SchedulePath(path, sizeof path);
    const ScheduleFileText file = ReadScheduleFile(path);
    UnreadableLines = ScheduleFileReplaceable(file) ? 0 : file.unreadableCount;
    UnicodeFile = file.byteOrderMark != 0 || file.holdsNul;
    // Every readable line is shown and written back as it is, schedule line
    // or not; only selecting one parses it.
    for (const std::string& line : file.lines)
        SendDlgItemMessage(kListId, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SetButtonChecked(ScheduleType == 0 ? AbsoluteButton : RelativeButton, true);
    return TRUE;
}

void CScheduleDlg::CreateButtons() {
    CreateSkinButton(AddButton, "IDR_BTNADD", kAddId, 380, 247, 72, 24, CUniButton::kResourceFaces);
    CreateSkinButton(ChangeButton, "IDR_BTNCHANGE", kChangeId, 380, 292, 72, 24,
                     CUniButton::kResourceFaces);
    CreateSkinButton(DeleteButton, "IDR_BTNDELETE", kDeleteId, 380, 337, 72, 24,
                     CUniButton::kResourceFaces);
    CreateSkinButton(AbsoluteButton, "IDR_BTNABSOLUTE", kAbsoluteId, 470, 292, 72, 24,
                     CUniButton::kCheckFaces);
    CreateSkinButton(RelativeButton, "IDR_BTNRELATIVE", kRelativeId, 470, 338, 72, 24,
                     CUniButton::kCheckFaces);
    CreateSkinButton(DaysOption, "IDR_BTNCHECKBOX", kDaysOptionId, 420, 29, 17, 12,
                     CUniButton::kCheckFaces);
    for (int i = 0; i < 7; ++i)
        CreateSkinButton(DayBoxes[i], "IDR_BTNCHECKBOX", kFirstDayId + i, kDayPlaces[i].x,
                         kDayPlaces[i].y, 17, 12, CUniButton::kCheckFaces);
    CreateSkinButton(UrlOption, "IDR_BTNCHECKBOX", kUrlOptionId, 20, 214, 17, 12,
                     CUniButton::kCheckFaces);
}

void CScheduleDlg::PlaceControls() {
    PlaceControl(kListId, 21, 264, 345, 136);
    for (int k = 0; k < 6; ++k) {
        PlaceControl(kFirstTimeId + k, k < 3 ? 185 : 384, 46 + (k % 3) * 50, 26, 16);
        SendDlgItemMessage(kFirstTimeId + k, EM_LIMITTEXT, 19);
    }
    PlaceControl(kDateId, 435, 176, 121, 17);
    PlaceControl(kAddressId, 128, 210, 272, 18);
    PlaceControl(kLoadingId, 485, 210, 26, 18);
    SendDlgItemMessage(kLoadingId, EM_LIMITTEXT, 19);
    ::EnableWindow(::GetDlgItem(m_hWnd, kAddressId), UrlOption.checked);
    ::EnableWindow(::GetDlgItem(m_hWnd, kLoadingId), UrlOption.checked);
}

void CScheduleDlg::InitSliders() {
    for (int k = 0; k < 6; ++k) {
        const SliderSpec& s = kSliders[k];
        TimeSliders[k].Create(m_hWnd, s.rect.left, s.rect.top, s.rect.right, s.rect.bottom, s.step,
                              s.maximum, s.track, "IDR_THUMB_TIME", s.rect.left + 4,
                              s.rect.right - s.rightInset);
        TimeSliders[k].SetPos(0);
        AddSlider(&TimeSliders[k]);
        SetDlgItemText(kFirstTimeId + k, "00");
    }
}

void CScheduleDlg::EnableSelectionButtons(bool enable) {
    for (CUniButton* b : {&ChangeButton, &DeleteButton})
        if (HWND h = b->GetSafeHwnd()) ::EnableWindow(h, enable);
}

// ---- the day text -------------------------------------------------------------

void CScheduleDlg::DrawDayText(HDC dc) {
    HDC own = dc ? nullptr : ::GetDC(m_hWnd);
    if (own) dc = own;
    // The days sit in a well of the skin, like the text of an edit.
    HBRUSH well = CreateSolidBrush(RGB(240, 243, 247));
    FillRect(dc, &kDayTextArea, well);
    DeleteObject(well);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, RGB(24, 27, 32));
    RECT area = kDayTextArea;
    area.left += 3;
    DrawTextA(dc, DayText, -1, &area, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    if (own) ::ReleaseDC(m_hWnd, own);
}

void CScheduleDlg::DrawFace(HDC dc) { DrawDayText(dc); }

void CScheduleDlg::UpdateDayText() {
    bool ticked[7];
    for (int i = 0; i < 7; ++i) ticked[i] = DayBoxes[i].checked != 0;
    SafeCopy(DayText, WeekdayText(ticked).c_str());
    DrawDayText();
}

void CScheduleDlg::SetDayBoxes(const char* dayText) {
    for (int i = 0; i < 7; ++i) SetButtonChecked(DayBoxes[i], strstr(dayText, kScheduleWeekdays[i]) != nullptr);
}

void CScheduleDlg::OnCheckDays() {
    const bool on = !DaysOption.checked;
    SetButtonChecked(DaysOption, on);
    for (CUniButton& box : DayBoxes)
        if (HWND h = box.GetSafeHwnd()) ::EnableWindow(h, on);
    ::EnableWindow(::GetDlgItem(m_hWnd, kDateId), on);
    if (on) {
        UpdateDayText();
    } else {
        DayText[0] = '\0';
        DrawDayText();
    }
}

void CScheduleDlg::OnDayCheck(UINT id) {
    CUniButton& box = DayBoxes[id - kFirstDayId];
    SetButtonChecked(box, !box.checked);
    UpdateDayText();
}

void CScheduleDlg::OnDateTimeChange(NMHDR*, LRESULT* result) {
    *result = 0;
    SYSTEMTIME date{};
    if (SendDlgItemMessage(kDateId, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date)) != GDT_VALID) {
        ShowBox("Date not set!");
    } else {
        SafeFormat(DayText, "%d/%d/%d", date.wMonth, date.wDay, date.wYear);
        for (CUniButton& box : DayBoxes) SetButtonChecked(box, false);
    }
    DrawDayText();
}

void CScheduleDlg::OnCheckUrl() {
    const bool on = !UrlOption.checked;
    SetButtonChecked(UrlOption, on);
    ::EnableWindow(::GetDlgItem(m_hWnd, kAddressId), on);
    ::EnableWindow(::GetDlgItem(m_hWnd, kLoadingId), on);
}

void CScheduleDlg::OnBtnAbsolute() {
    if (AbsoluteButton.checked) return;
    SetButtonChecked(AbsoluteButton, true);
    SetButtonChecked(RelativeButton, false);
}

void CScheduleDlg::OnBtnRelative() {
    if (RelativeButton.checked) return;
    SetButtonChecked(RelativeButton, true);
    SetButtonChecked(AbsoluteButton, false);
}

// ---- times ---------------------------------------------------------------------

void CScheduleDlg::OnSliderMoved(CSkinSlider* slider) {
    for (int k = 0; k < 6; ++k) {
        if (slider != &TimeSliders[k]) continue;
        char text[8];
        SafeFormat(text, "%02d", TimeSliders[k].GetPos());
        SetDlgItemText(kFirstTimeId + k, text);
    }
}

void CScheduleDlg::OnKillFocusTime(UINT id) {
    const int k = static_cast<int>(id - kFirstTimeId);
    int value = 0;
    if (CheckEditRange(id, 0, k % 3 == 0 ? 23 : 59, kTimeMessages[k % 3], &value) !=
        EditCheck::Accepted)
        return;
    TimeSliders[k].SetPos(value);
    const RECT& r = kSliders[k].rect;
    ::InvalidateRect(m_hWnd, &r, FALSE);
}

void CScheduleDlg::OnKillFocusLoadingTime() {
    CheckEditRange(kLoadingId, 0, kLoadingTimeMaximum, kLoadingMessage, nullptr);
}

// ---- the list ------------------------------------------------------------------

bool CScheduleDlg::BuildLine(std::string* out) {
    int values[6];
    for (int k = 0; k < 6; ++k) {
        const std::string text = Trimmed(WindowText(::GetDlgItem(m_hWnd, kFirstTimeId + k)));
        if (!ReadWholeNumber(text, 0, k % 3 == 0 ? 23 : 59, &values[k])) {
            ShowBox(kTimeMessages[k % 3]);
            return false;
        }
    }
    char start[16], end[16];
    SafeFormat(start, "%02d:%02d:%02d", values[0], values[1], values[2]);
    SafeFormat(end, "%02d:%02d:%02d", values[3], values[4], values[5]);
    if (strcmp(start, end) >= 0) {
        ::MessageBoxA(m_hWnd, "Start time should be earlier than the end time",
                      "Please set correct time", MB_OK);
        return false;
    }
    std::string line = std::string(start) + " - " + end;
    if (DayText[0]) line += std::string("|") + DayText;
    if (UrlOption.checked) {
        std::string address = Trimmed(WindowText(::GetDlgItem(m_hWnd, kAddressId)));
        if (!address.empty()) {
            if (address.find_first_of("|\"") != std::string::npos) {
                ShowBox("An address cannot hold \"|\" or a quote.");
                return false;
            }
            address = AddressWithScheme(address);
            if (!IsBrowsableAddress(address.c_str())) {
                ShowBox("Please input a web address (http, https, mms, rtsp or file) or an existing "
                        "file.");
                return false;
            }
            if (address.size() > kAddressMaximum) {
                char text[120];
                SafeFormat(text, "The address is too long: at most %u characters.",
                           static_cast<unsigned>(kAddressMaximum));
                ShowBox(text);
                return false;
            }
            line += DayText[0] ? "|" : "||";
            line += address;
            const std::string loading = Trimmed(WindowText(::GetDlgItem(m_hWnd, kLoadingId)));
            if (!loading.empty()) {
                int seconds = 0;
                if (!ReadWholeNumber(loading, 0, kLoadingTimeMaximum, &seconds)) {
                    ShowBox(kLoadingMessage);
                    return false;
                }
                line += "|" + std::to_string(seconds);
            }
        }
    }
    if (line.size() > kScheduleLineMaximum) {
        ShowBox("This schedule line is too long: shorten the address or the days.");
        return false;
    }
    *out = line;
    return true;
}

void CScheduleDlg::OnBtnAdd() {
    std::string line;
    if (!BuildLine(&line)) return;
    SendDlgItemMessage(kListId, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void CScheduleDlg::OnBtnChange() {
    const LRESULT selected = SendDlgItemMessage(kListId, LB_GETCURSEL);
    if (selected == LB_ERR) return;
    std::string line;
    if (!BuildLine(&line)) return;
    SendDlgItemMessage(kListId, LB_DELETESTRING, static_cast<WPARAM>(selected));
    SendDlgItemMessage(kListId, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    const LRESULT found = SendDlgItemMessage(kListId, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(line.c_str()));
    SendDlgItemMessage(kListId, LB_SETCURSEL, static_cast<WPARAM>(found));
}

void CScheduleDlg::OnBtnDelete() {
    const LRESULT selected = SendDlgItemMessage(kListId, LB_GETCURSEL);
    if (selected == LB_ERR) return;
    SendDlgItemMessage(kListId, LB_DELETESTRING, static_cast<WPARAM>(selected));
    const LRESULT count = SendDlgItemMessage(kListId, LB_GETCOUNT);
    if (count <= 0) {
        EnableSelectionButtons(false);
        return;
    }
    SendDlgItemMessage(kListId, LB_SETCURSEL,
                       static_cast<WPARAM>(selected < count ? selected : count - 1));
    OnListSelChange();
}

void CScheduleDlg::OnListSelChange() {
    HWND list = ::GetDlgItem(m_hWnd, kListId);
    const LRESULT selected = ::SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) {
        EnableSelectionButtons(false);
        return;
    }
    EnableSelectionButtons(true);
    const std::string text = ScheduleListItem(list, static_cast<int>(selected));
    ScheduleLine line;
    if (!ParseScheduleLine(text.c_str(), &line)) {
        // Not a schedule line: shown and kept, but nothing to read from it.
        for (int k = 0; k < 6; ++k) SetDlgItemText(kFirstTimeId + k, "");
        return;
    }
    SafeCopy(DayText, line.days.c_str());
    const ScheduleFields fields = SplitScheduleFields(text.c_str());
    if (!line.address.empty()) {
        SetDlgItemText(kAddressId, line.address.c_str());
        SetDlgItemText(kLoadingId, fields.count >= 4 ? Trimmed(fields.rest).c_str() : "");
        if (!UrlOption.checked) OnCheckUrl();
    } else {
        // A line without address must not take the previous line's.
        SetDlgItemText(kAddressId, "");
        SetDlgItemText(kLoadingId, "");
        if (UrlOption.checked) OnCheckUrl();
    }
    if (DayText[0]) {
        // Set directly: the option's handler would erase a date.
        SetButtonChecked(DaysOption, true);
        for (CUniButton& box : DayBoxes)
            if (HWND h = box.GetSafeHwnd()) ::EnableWindow(h, TRUE);
        ::EnableWindow(::GetDlgItem(m_hWnd, kDateId), TRUE);
    }
    SYSTEMTIME date;
    if (ParseScheduleDate(DayText, &date))
        SendDlgItemMessage(kDateId, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
    SetDayBoxes(DayText);
    DrawDayText();
    const int values[6] = {line.startSeconds / 3600, line.startSeconds / 60 % 60,
                           line.startSeconds % 60,   line.endSeconds / 3600,
                           line.endSeconds / 60 % 60, line.endSeconds % 60};
    for (int k = 0; k < 6; ++k) {
        char part[8];
        SafeFormat(part, "%02d", values[k]);
        SetDlgItemText(kFirstTimeId + k, part);
        TimeSliders[k].SetPos(values[k]);
        ::InvalidateRect(m_hWnd, &kSliders[k].rect, FALSE);
    }
}

// ---- OK --------------------------------------------------------------------------

void CScheduleDlg::OnOkButton() {
    char path[400];
    SchedulePath(path, sizeof path);
    // Saving writes the list alone: lines the editor could not read would
    // be lost, so the file stays as it is and the user is told why.
    if (UnreadableLines > 0) {
        char text[700];
        if (UnicodeFile)
            SafeFormat(text,
                       "The schedule file %s is Unicode text, which this editor cannot read, so it "
                       "is left as it is. Save it as ANSI text to edit it here.",
                       path);
        else
            SafeFormat(text,
                       "The schedule file %s holds %d line(s) that cannot be read (too long, or not "
                       "text), so it is left as it is: saving would drop them. Remove those lines "
                       "in a text editor to edit the schedule here.",
                       path, UnreadableLines);
        ShowBox(text);
        return;
    }
    HWND list = ::GetDlgItem(m_hWnd, kListId);
    std::vector<std::string> lines;
    const LRESULT count = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) lines.push_back(ScheduleListItem(list, i));
    if (!WriteScheduleFile(path, lines)) {
        char text[600];
        SafeFormat(text, "The schedule could not be saved to %s. The file is unchanged.", path);
        ShowBox(text);
        return;
    }
    if (!Settings.WriteScheduleType(AbsoluteButton.checked ? 0 : 1)) {
        ShowBox(kSettingsNotSavedText);
        return;
    }
    CloseOk();
}
