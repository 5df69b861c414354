// The control's bounded copies: wide text into its fixed ANSI buffers
// under a double-byte code page, the host part of a page address, and the
// numbers and names of the controls' take files.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "control/PropertyRules.h"
#include "control/TakeFile.h"
#include "tests/support/bench.h"

using sablet::CopyWideToAnsi;
using sablet::PageHostFromUrl;

TEST(SabletCopies, WideTextIsCutToWholeCharactersWithinTheBuffer) {
    struct Row {
        const wchar_t* text;
        size_t capacity, maxChars;
        UINT codePage;
        std::string expect;
    } rows[] = {
        {L"abcdef", 4, 100, 1252, "abc"},
        {L"abcdef", 100, 2, 1252, "ab"},
        {nullptr, 8, 100, 1252, ""},
        {L"", 8, 100, 1252, ""},
        // Three double-byte characters: a fourth byte of room takes only one.
        {L"\x3042\x3044\x3046", 4, 100, 932, "\x82\xA0"},
        {L"\x3042\x3044\x3046", 5, 100, 932, "\x82\xA0\x82\xA2"},
        {L"a\x3042", 3, 100, 932, "a"},
        // A surrogate pair is one character and is never split.
        {L"x\xD83D\xDE00y", 100, 2, CP_UTF8, "x\xF0\x9F\x98\x80"},
        {L"x\xD83D\xDE00y", 4, 100, CP_UTF8, "x"},
    };
    for (const Row& row : rows) {
        char out[32];
        memset(out, '#', sizeof out);
        CopyWideToAnsi(out, row.capacity, row.text, row.maxChars, row.codePage);
        EXPECT_EQ(row.expect, std::string(out)) << row.capacity << " " << row.codePage;
        EXPECT_LT(strlen(out), row.capacity);
    }
    std::wstring mib(1 << 20, L'z');
    char name[256];
    CopyWideToAnsi(name, sizeof name, mib.c_str(), 255);
    EXPECT_EQ(255u, strlen(name));
}

TEST(SabletCopies, PageHostIsTheTextBetweenSlashesCutToItsBuffer) {
    struct Row {
        const char* url;
        size_t capacity;
        bool found;
        std::string expect;
    } rows[] = {
        {"http://pages.test/rec.htm", 256, true, "pages.test"},
        {"http://pages.test", 256, true, "pages.test"},
        {"http://pages.test:8080/a/b", 256, true, "pages.test:8080"},
        {"file:///C:/page.htm", 256, true, ""},
        {"no address", 256, false, "kept"},
        {"http://abcdefgh/x", 5, true, "abcd"},
        {"//\x82\xA0\x82\xA2/", 4, true, "\x82\xA0"},
    };
    for (const Row& row : rows) {
        char host[256] = "kept";
        EXPECT_EQ(row.found, PageHostFromUrl(row.url, host, row.capacity, 932)) << row.url;
        EXPECT_EQ(row.expect, std::string(host)) << row.url;
    }
    std::string query = "http://h?q=" + std::string(600, 'q');
    char host[256];
    ASSERT_TRUE(PageHostFromUrl(query.c_str(), host, sizeof host));
    EXPECT_EQ(255u, strlen(host));
}

// Controls take the lowest name no live control holds, a control that goes
// gives its name to the next one (its lock file goes with it), a lock left
// behind by nobody holds nothing, and the take's name follows the number.
TEST(SabletTakes, EachLiveControlHasItsOwnNumberAndName) {
    const std::string folder = bench::ScratchDir() + "\\";
    const char* temp = folder.c_str();
    auto first = std::make_unique<sablet::TakeClaim>();
    sablet::TakeClaim second;
    ASSERT_TRUE(first->Claim(temp));
    ASSERT_TRUE(second.Claim(temp));
    EXPECT_EQ(1, first->Number());
    EXPECT_EQ(2, second.Number());
    EXPECT_TRUE(second.Claim(temp));
    EXPECT_EQ(2, second.Number()) << "taken once";
    EXPECT_EQ(folder + "Sablet2", second.Base());
    first.reset();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + "Sablet.lck").c_str()));
    // Nobody holds a lock file that stayed (a folder copied, a crash the
    // system could not clean up): its name is free.
    HANDLE stale = CreateFileA((folder + "Sablet.lck").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, stale);
    CloseHandle(stale);
    sablet::TakeClaim third;
    EXPECT_TRUE(third.Claim(temp));
    EXPECT_EQ(1, third.Number());
    third.Release();
    EXPECT_STREQ("", third.Base());
    sablet::TakeClaim nowhere;
    EXPECT_FALSE(nowhere.Claim((folder + "gone\\").c_str()));
    EXPECT_EQ(0, nowhere.Number());

    char out[16] = "old";
    EXPECT_TRUE(sablet::FormatTakeBase(out, sizeof out, "C:\\t\\", 1));
    EXPECT_STREQ("C:\\t\\Sablet", out);
    EXPECT_TRUE(sablet::FormatTakeBase(out, 14, "C:\\t\\", 12));
    EXPECT_STREQ("C:\\t\\Sablet12", out);
    EXPECT_FALSE(sablet::FormatTakeBase(out, 13, "C:\\t\\", 12)) << "cut names name another file";
    EXPECT_STREQ("", out);
    EXPECT_FALSE(sablet::FormatTakeBase(out, sizeof out, "C:\\t\\", 0));
}
