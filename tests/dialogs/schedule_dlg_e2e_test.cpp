// The schedule editor on the display, run inside the test and driven by
// clicks on its face: lines added with weekdays, with a date picked in the
// picker and with an address, changed and deleted, then written; an
// address too long refused; a file with bad lines written back as it was;
// a read-only file that keeps the dialog open; Enter that saves nothing, a
// Ctrl-Z that hides no line and is not dropped by a save, a Unicode file
// with or without its mark and a refused ScheduleType that are never taken
// for a save.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench.h"
#include "dialogs/ScheduleDlg.h"
#include "registry_refusal.h"
#include "ui/UniButton.h"

namespace {

const char kSettingsKey[] = "Software\\Velorin\\Parameters";
const char kTitle[] = "Schedule";
constexpr int kX = 200, kY = 200;

std::string ReadAll(const std::string& path) {
    std::string bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return "<missing>";
    for (int c = getc(f); c != EOF; c = getc(f)) bytes.push_back(static_cast<char>(c));
    fclose(f);
    return bytes;
}

void WriteAll(const std::string& path, const std::string& bytes) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f) << path;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

// A click on a point of the editor's face (client = window: no frame).
void ClickAt(int x, int y) { bench::Click(kX + x, kY + y); }
// Skinned buttons: 72 x 24; check boxes: 17 x 12.
void ClickButtonAt(int x, int y) { ClickAt(x + 36, y + 12); }
void ClickBoxAt(int x, int y) { ClickAt(x + 8, y + 6); }

void SetEdit(HWND dialog, int id, const std::string& text) {
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SetTimes(HWND dialog, const char* start, const char* end) {
    int h1, m1, s1, h2, m2, s2;
    sscanf(start, "%d:%d:%d", &h1, &m1, &s1);
    sscanf(end, "%d:%d:%d", &h2, &m2, &s2);
    const int values[6] = {h1, m1, s1, h2, m2, s2};
    for (int k = 0; k < 6; ++k) SetEdit(dialog, 1106 + k, std::to_string(values[k]));
}

// Selects item `index` of the list (21,264) by a click on its row.
void ClickListItem(HWND dialog, int index) {
    HWND list = GetDlgItem(dialog, 1101);
    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    POINT p{item.left + 30, (item.top + item.bottom) / 2};
    ClientToScreen(list, &p);
    bench::Click(p.x, p.y);
    Sleep(150);
}

// True once skinned button `id` of the editor has last painted its face
// `face` (the button's own paint, not a pointer passing over it).
bool PaintsFace(HWND dialog, int id, const std::string& face) {
    const CUniButton* button = CUniButton::FromHandle(GetDlgItem(dialog, id));
    return button && bench::PumpUntil([&] { return face == button->LastFace(); }, 5000);
}

// The message of the box the editor raises, closed again with `answer`;
// "" when none came.
std::string TakeBox(HWND dialog, int answer = IDOK) {
    HWND box = bench::WaitForOwnedDialog(dialog, 3000);
    if (!box) return "";
    std::string text = bench::MessageBoxText(box);
    PostMessageA(box, WM_COMMAND, answer, 0);
    bench::PumpUntil([&] { return !IsWindow(box); }, 5000);
    return text;
}

class ScheduleEditor : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_DATE_CLASSES};
        InitCommonControlsEx(&icc);
        install_ = bench::ScratchDir() + "\\editor";
        CreateDirectoryA(install_.c_str(), nullptr);
        file_ = install_ + "\\TimeSchedule.txt";
        SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(file_.c_str());
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Velorin");
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &key, nullptr));
        RegSetValueExA(key, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(install_.c_str()),
                       static_cast<DWORD>(install_.size()));
        RegCloseKey(key);
    }
    void TearDown() override {
        SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_NORMAL);
        CoUninitialize();
    }

    // Runs the editor here while `drive` works it; whatever the driver
    // managed, the editor ends.
    void Run(const std::function<void(HWND)>& drive) {
        CScheduleDlg dialog;
        bench::WithDriver(
            [&] {
                HWND w = bench::WaitForDialog(GetCurrentProcessId(), kTitle);
                if (w) {
                    Sleep(300);
                    drive(w);
                }
                if (HWND left = bench::FindDialog(GetCurrentProcessId(), kTitle)) {
                    bench::Screenshot("editor-left-open");
                    if (HWND box = bench::WaitForOwnedDialog(left, 100))
                        PostMessageA(box, WM_COMMAND, IDOK, 0);
                    PostMessageA(left, WM_COMMAND, IDCANCEL, 0);
                }
            },
            [&] { dialog.DoModal(); });
    }

    std::string install_, file_;
};

TEST_F(ScheduleEditor, LinesByClicksAreWrittenSorted) {
    std::string pickedDate, tooLong, noAddressAfterChange;
    bool disabledDrawn = false, enabledDrawn = false;
    Run([&](HWND w) {
        disabledDrawn = PaintsFace(w, 1103, "IDR_BTNCHANGEDISABLE") && PaintsFace(w, 1058, "IDR_BTNDELETEDISABLE");
        // Mon and Fri.
        SetTimes(w, "08:00:00", "09:00:00");
        ClickBoxAt(493, 91);
        ClickBoxAt(493, 119);
        ClickButtonAt(380, 247);
        // A date picked in the picker: its month one up from today's.
        SetTimes(w, "10:00:00", "11:00:00");
        ClickAt(435 + 8, 176 + 8);
        bench::KeyPress(VK_UP);
        Sleep(200);
        SYSTEMTIME date{};
        SendMessageA(GetDlgItem(w, 1075), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
        char text[40];
        snprintf(text, sizeof text, "%d/%d/%d", date.wMonth, date.wDay, date.wYear);
        pickedDate = text;
        ClickButtonAt(380, 247);
        // An address and no day: the days option off, the address option on.
        ClickBoxAt(420, 29);
        ClickBoxAt(20, 214);
        SetTimes(w, "12:00:00", "13:00:00");
        SetEdit(w, 1153, "  http://127.0.0.1:8080/a ");
        SetEdit(w, 1154, "10");
        ClickButtonAt(380, 247);
        // 300 characters of address are refused.
        SetTimes(w, "14:00:00", "15:00:00");
        SetEdit(w, 1153, "http://127.0.0.1/" + std::string(283, 'x'));
        ClickButtonAt(380, 247);
        tooLong = TakeBox(w);
        bench::Screenshot("schedule-editor", w);
        // The address line, then the line without one: Change keeps it
        // without address.
        ClickListItem(w, 2);
        // Change and Delete come on with the selection and show it at once,
        // with the pointer on the list, nowhere near them.
        enabledDrawn = PaintsFace(w, 1103, "IDR_BTNCHANGEUP") && PaintsFace(w, 1058, "IDR_BTNDELETEUP");
        bench::Screenshot("selection-buttons", w);
        ClickListItem(w, 0);
        char address[400] = "";
        GetDlgItemTextA(w, 1153, address, sizeof address);
        noAddressAfterChange = address;
        SetEdit(w, 1110, "30");
        ClickButtonAt(380, 292);
        // Delete the date line.
        ClickListItem(w, 1);
        ClickButtonAt(380, 337);
        ClickButtonAt(380, 385);  // OK
        Sleep(300);
    });
    EXPECT_NE(std::string::npos, tooLong.find("too long")) << tooLong;
    EXPECT_TRUE(disabledDrawn);
    EXPECT_TRUE(enabledDrawn);
    EXPECT_EQ("", noAddressAfterChange);
    EXPECT_FALSE(pickedDate.empty());
    EXPECT_EQ("08:00:00 - 09:30:00|Mon,Fri\r\n"
              "12:00:00 - 13:00:00||http://127.0.0.1:8080/a|10\r\n",
              ReadAll(file_));
}

TEST_F(ScheduleEditor, BadLinesAreWrittenBackAndAReadOnlyFileStaysOpen) {
    const std::string address(150 - 7, 'a');
    const std::string seeded = "\r\n"
                               "08:00:00 - 09:00:00\r\n"
                               "08:00:00 - 09:00:00|Mon|http://a|10|x\r\n"
                               "12:00:00 - 13:00:00||http://" + address + "|20\r\n"
                               "14:00:00 - 15:00:00|Sat\r\n"
                               "25:00:00 - 26:00:00";
    WriteAll(file_, seeded);
    Run([](HWND w) {
        ClickListItem(w, 2);  // not a schedule line: shown, kept
        ClickButtonAt(380, 385);
        Sleep(300);
    });
    EXPECT_EQ(seeded + "\r\n", ReadAll(file_));

    SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_READONLY);
    std::string box;
    bool stayedOpen = false;
    Run([&](HWND w) {
        ClickButtonAt(380, 385);
        box = TakeBox(w);
        stayedOpen = IsWindowVisible(w) != FALSE;
        ClickButtonAt(470, 385);  // Cancel
        Sleep(300);
    });
    EXPECT_NE(std::string::npos, box.find("could not be saved")) << box;
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(seeded + "\r\n", ReadAll(file_));
}

TEST_F(ScheduleEditor, EnterSavesNothingAndNoFileIsCutOrEmptied) {
    // A Ctrl-Z in the middle: the lines behind it are shown and kept.
    WriteAll(file_, "08:00:00 - 09:00:00\r\n\x1a\r\n10:00:00 - 11:00:00\r\n");
    LRESULT shown = 0;
    bool openAfterEnter = false;
    std::string question;
    Run([&](HWND w) {
        shown = SendDlgItemMessageA(w, 1101, LB_GETCOUNT, 0, 0);
        // A time typed, not yet added: Enter must neither save nor close.
        RECT hour;
        GetWindowRect(GetDlgItem(w, 1106), &hour);
        bench::Click((hour.left + hour.right) / 2, (hour.top + hour.bottom) / 2);
        bench::KeyPress(VK_END);
        bench::KeyPress(VK_HOME, false, true);
        bench::TypeText("07");
        bench::KeyPress(VK_RETURN);
        // Keys are handled in order: once the backspace after Enter has
        // reached the box, Enter has had its turn.
        bench::KeyPress(VK_BACK);
        HWND hourBox = GetDlgItem(w, 1106);
        openAfterEnter = bench::PumpUntil([&] { return bench::WindowText(hourBox) == "0"; }, 10000) &&
                         IsWindowVisible(w) && !bench::WaitForOwnedDialog(w, 300);
        ClickButtonAt(380, 385);
        question = TakeBox(w);
        ClickButtonAt(470, 385);
        bench::PumpUntil([&] { return !IsWindow(w); }, 10000);
    });
    EXPECT_EQ(2, shown);
    EXPECT_TRUE(openAfterEnter);
    // The unread line is not dropped by a save: the file stays as it was.
    EXPECT_NE(std::string::npos, question.find("cannot be read")) << question;
    EXPECT_EQ("08:00:00 - 09:00:00\r\n\x1a\r\n10:00:00 - 11:00:00\r\n", ReadAll(file_));

    // UTF-16 text, with its mark or without (NULs in every line), its lines
    // unread: OK refuses to replace it and says so.
    for (const bool marked : {true, false}) {
        SCOPED_TRACE(marked ? "marked" : "unmarked");
        std::string unicode = marked ? "\xff\xfe" : "";
        for (char c : std::string("08:00:00 - 09:00:00\r\n")) unicode += std::string(1, c) + '\0';
        WriteAll(file_, unicode);
        std::string box;
        bool stayedOpen = false;
        Run([&](HWND w) {
            ClickButtonAt(380, 385);
            // The box painted whole before its picture is taken.
            if (HWND shown = bench::WaitForOwnedDialog(w, 3000)) {
                RedrawWindow(shown, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
                bench::Screenshot(marked ? "unicode-file-kept" : "unmarked-unicode-file-kept");
            }
            box = TakeBox(w, IDNO);
            stayedOpen = IsWindowVisible(w) != FALSE;
            ClickButtonAt(470, 385);
            bench::PumpUntil([&] { return !IsWindow(w); }, 10000);
        });
        EXPECT_NE(std::string::npos, box.find("Unicode")) << box;
        EXPECT_TRUE(stayedOpen);
        EXPECT_TRUE(unicode == ReadAll(file_)) << "the Unicode file was rewritten";
    }

    // ScheduleType refused by the registry: said, and the dialog stays.
    WriteAll(file_, "08:00:00 - 09:00:00\r\n");
    std::string box;
    bool stayedOpen = false;
    {
        bench::RegistryWriteRefusal refusal(HKEY_CURRENT_USER, kSettingsKey);
        ASSERT_TRUE(refusal.Active());
        Run([&](HWND w) {
            ClickButtonAt(380, 385);
            box = TakeBox(w);
            stayedOpen = IsWindowVisible(w) != FALSE;
            ClickButtonAt(470, 385);
            bench::PumpUntil([&] { return !IsWindow(w); }, 10000);
        });
    }
    EXPECT_NE(std::string::npos, box.find("could not all be saved")) << box;
    EXPECT_TRUE(stayedOpen);
}

}  // namespace
