// The naming rules behind the format radios and the tag editor's guard.
#include <gtest/gtest.h>

#include <cstring>

#include "app/OutputNaming.h"

TEST(FormatExtension, OnlyADotAndThreeCharactersAreReplaced) {
    const struct {
        const char* path;
        const char* letters;
        const char* want;
    } cases[] = {
        {"C:\\Rec\\talk", "MP3", "C:\\Rec\\talk.MP3"},
        {"C:\\Rec\\talk_001.MP3", "WAV", "C:\\Rec\\talk_001.WAV"},
        {"C:\\Rec\\talk.wma", "MP3", "C:\\Rec\\talk.MP3"},
        {"a", "WAV", "a.WAV"},
        {"", "WMA", ".WMA"},
        {".mp3", "WAV", ".WAV"},
        {"C:\\Rec\\talk.mpeg", "MP3", "C:\\Rec\\talk.mpeg.MP3"},
        {"C:\\Rec.old\\talk", "WMA", "C:\\Rec.old\\talk.WMA"},
        {"C:\\Rec\\talk.", "WAV", "C:\\Rec\\talk..WAV"},
    };
    for (const auto& c : cases) {
        char out[64] = "unchanged";
        ASSERT_TRUE(WithFormatExtension(c.path, c.letters, out, sizeof out)) << c.path;
        EXPECT_STREQ(c.want, out) << c.path;
    }
    // A result that does not fit leaves the caller's text alone.
    char small[9] = "keep";
    EXPECT_FALSE(WithFormatExtension("C:\\talk", "MP3", small, sizeof small));
    EXPECT_STREQ("keep", small);
    char exact[12];
    EXPECT_TRUE(WithFormatExtension("C:\\talk", "MP3", exact, sizeof exact));
    EXPECT_STREQ("C:\\talk.MP3", exact);
}

TEST(FormatExtension, TheFileBeingRecordedIsKnownWhateverItsCase) {
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"C:\\Rec\\talk.MP3", "c:\\rec\\TALK.mp3", true},
        {"C:\\Rec\\talk.MP3  ", "C:\\Rec\\talk.MP3", true},
        {"C:\\Rec\\talk.MP3", "C:\\Rec\\talk_001.MP3", false},
        {"", "", false},
        {"C:\\Rec\\talk.MP3", "", false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.same, SameFilePath(c.a, c.b)) << c.a << " | " << c.b;
    EXPECT_FALSE(SameFilePath(nullptr, "x"));
}
