// Both tag dialogs on one file's record, as the history panel runs them:
// the MP3 flags and the lists that only settings use are disabled, OK copies
// the texts cut to their lengths, a genre the list does not hold stays as it
// was, and every way out other than OK and Enter leaves the record alone.
// Nothing is written to the registry.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <cstring>
#include <string>

#include "bench.h"
#include "dialogs/DialogIds.h"
#include "dialogs/Mp3Dlg.h"
#include "dialogs/WmaDlg.h"
#include "framework/SafeString.h"

namespace {

constexpr char kMp3Title[] = "Set MP3 parameters";
constexpr char kWmaTitle[] = "Set WMA parameters";
// OK and Cancel of both dialogs, on the screen.
constexpr POINT kOk{200 + 271 + 36, 200 + 296 + 12};
constexpr POINT kCancel{200 + 381 + 36, 200 + 296 + 12};

MediaTagRecord MakeRecord(const char* genre, BYTE number) {
    MediaTagRecord r{};
    SafeCopy(r.author, "Old artist");
    SafeCopy(r.title, "Old title");
    SafeCopy(r.album, "Old album");
    SafeCopy(r.composer, "Old composer");
    SafeCopy(r.copyright, "Old copyright");
    SafeCopy(r.description, "202612");
    SafeCopy(r.genre, genre);
    r.genreNumber = number;
    return r;
}

std::string ItemText(HWND dialog, int id) {
    char text[512] = "";
    SendMessageA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

class TagModeTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        // The registry the dialogs see is a scratch key of this test.
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kScratch, 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &scratch_, nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CURRENT_USER, scratch_));
    }
    void TearDown() override {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(scratch_);
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
        CoUninitialize();
    }

    // Values under the program's key in the scratch registry.
    DWORD StoredValues() const {
        HKEY key;
        if (RegOpenKeyExA(scratch_, "Software\\Velorin\\Parameters", 0, KEY_READ, &key) != ERROR_SUCCESS)
            return 0;
        DWORD values = 0;
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                         nullptr, nullptr, nullptr);
        RegCloseKey(key);
        return values;
    }

    static HWND WaitFor(const char* title) {
        HWND w = nullptr;
        DWORD start = GetTickCount();
        while (!(w = bench::FindDialog(GetCurrentProcessId(), title)) && GetTickCount() - start < 60000)
            Sleep(20);
        Sleep(200);  // drawn, the profile list's timer run
        return w;
    }
    static void EnsureClosed(const char* title) {
        if (HWND w = bench::FindDialog(GetCurrentProcessId(), title)) {
            bench::Screenshot("stuck", w);
            PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
        }
    }

    static constexpr char kScratch[] = "Software\\BrindleTests\\TagMode";
    HKEY scratch_ = nullptr;
};

TEST_F(TagModeTest, Mp3RecordEditedWithFlagsAndListsDisabled) {
    MediaTagRecord record = MakeRecord("Podcast", 200);
    CDLGMP3 dlg;
    dlg.TagMode = 1;
    dlg.TagRecord = &record;
    bool settingsParts = true, tagParts = false;
    std::string yearShown;
    LRESULT genreShown = 0;
    const std::string typed = "Forty characters of artist name, typed!!";  // 40
    bench::WithDriver(
        [&] {
            HWND w = WaitFor(kMp3Title);
            if (!w) return EnsureClosed(kMp3Title);
            settingsParts = false;
            for (int id : {IDC_MP3_BITRATE, IDC_MP3_MODE, IDC_MP3_CRC, IDC_MP3_ORIGINAL,
                           IDC_MP3_COPYRIGHT, IDC_MP3_PRIVATE, IDC_MP3_ID3})
                settingsParts |= IsWindowEnabled(GetDlgItem(w, id)) != FALSE;
            tagParts = true;
            for (int id : {IDC_MP3_ARTIST, IDC_MP3_ALBUM, IDC_MP3_TITLE, IDC_MP3_YEAR, IDC_GENRE})
                tagParts &= IsWindowEnabled(GetDlgItem(w, id)) != FALSE;
            yearShown = ItemText(w, IDC_MP3_YEAR);
            genreShown = SendMessageA(GetDlgItem(w, IDC_GENRE), CB_GETCURSEL, 0, 0);
            RECT artist;
            GetWindowRect(GetDlgItem(w, IDC_MP3_ARTIST), &artist);
            bench::Click(artist.left + 20, artist.top + 8);
            SendMessageA(GetDlgItem(w, IDC_MP3_ARTIST), EM_SETSEL, 0, -1);
            bench::TypeText(typed);
            bench::Screenshot("mp3-tag-mode", w);
            bench::Click(kOk.x, kOk.y);
            bench::Pump(200);
            EnsureClosed(kMp3Title);
        },
        [&] { dlg.DoModal(); });
    EXPECT_FALSE(settingsParts);
    EXPECT_TRUE(tagParts);
    EXPECT_EQ("202612", yearShown);  // shown whole, stored cut
    EXPECT_EQ(CB_ERR, genreShown);   // an unlisted genre selects nothing
    EXPECT_EQ(1, dlg.OkPressed);
    EXPECT_EQ(typed.substr(0, 30), record.author);
    EXPECT_STREQ("Old title", record.title);
    EXPECT_STREQ("Old album", record.album);
    EXPECT_STREQ("2026", record.description);
    EXPECT_STREQ("Podcast", record.genre);
    EXPECT_EQ(200, record.genreNumber);
    EXPECT_EQ(0u, StoredValues());
}

TEST_F(TagModeTest, WmaRecordTakesGenreWithoutBlankAndCutTexts) {
    MediaTagRecord record = MakeRecord("Jazz", 8);
    CDLGWMA dlg;
    dlg.TagMode = 1;
    dlg.TagRecord = &record;
    bool profilesEnabled = true;
    LRESULT genreShown = CB_ERR;
    const std::string longText(150, 'd');
    bench::WithDriver(
        [&] {
            HWND w = WaitFor(kWmaTitle);
            if (!w) return EnsureClosed(kWmaTitle);
            profilesEnabled = IsWindowEnabled(GetDlgItem(w, IDC_WMA_FORMAT)) != FALSE;
            HWND genres = GetDlgItem(w, IDC_GENRE);
            genreShown = SendMessageA(genres, CB_GETCURSEL, 0, 0);
            SendMessageA(genres, CB_SETCURSEL, 0, 0);  // "Blues " in the list
            SendMessageA(GetDlgItem(w, IDC_WMA_DESCRIPTION), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(longText.c_str()));
            bench::Screenshot("wma-tag-mode", w);
            bench::KeyPress(VK_RETURN);  // Enter is OK
            bench::Pump(200);
            EnsureClosed(kWmaTitle);
        },
        [&] { dlg.DoModal(); });
    EXPECT_FALSE(profilesEnabled);
    EXPECT_EQ(8, genreShown);
    EXPECT_EQ(1, dlg.OkPressed);
    EXPECT_STREQ("Blues", record.genre);
    EXPECT_EQ(longText.substr(0, 126), record.description);
    EXPECT_STREQ("Old artist", record.author);
    EXPECT_EQ(0u, StoredValues());
}

// Cancel, Esc and Alt+F4 after an edit leave the record as it was and
// OkPressed 0, in both dialogs.
TEST_F(TagModeTest, EveryOtherWayOutLeavesTheRecord) {
    const char* ways[] = {"Cancel", "Esc", "Alt+F4"};
    for (int dialog = 0; dialog < 2; ++dialog) {
        for (int way = 0; way < 3; ++way) {
            SCOPED_TRACE(std::string(dialog ? "WMA " : "MP3 ") + ways[way]);
            MediaTagRecord record = MakeRecord("Jazz", 8);
            const MediaTagRecord before = record;
            CDLGMP3 mp3;
            CDLGWMA wma;
            mp3.TagMode = wma.TagMode = 1;
            mp3.TagRecord = wma.TagRecord = &record;
            const char* title = dialog ? kWmaTitle : kMp3Title;
            const int artist = dialog ? IDC_WMA_ARTIST : IDC_MP3_ARTIST;
            bench::WithDriver(
                [&] {
                    HWND w = WaitFor(title);
                    if (!w) return EnsureClosed(title);
                    SendMessageA(GetDlgItem(w, artist), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Changed"));
                    SendMessageA(GetDlgItem(w, IDC_GENRE), CB_SETCURSEL, 3, 0);
                    if (way == 0) bench::Click(kCancel.x, kCancel.y);
                    else if (way == 1) bench::KeyPress(VK_ESCAPE);
                    else bench::KeyPress(VK_F4, false, false, true);
                    bench::Pump(200);
                    EnsureClosed(title);
                },
                [&] {
                    if (dialog) wma.DoModal();
                    else mp3.DoModal();
                });
            EXPECT_EQ(0, dialog ? wma.OkPressed : mp3.OkPressed);
            EXPECT_EQ(0, memcmp(&before, &record, sizeof record));
        }
    }
    EXPECT_EQ(0u, StoredValues());
}

}  // namespace
