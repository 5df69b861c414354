// The output dialog's name rules: what the boxes show for a stored
// LastName, what a format radio makes of a name, and what OK joins and
// refuses.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/OutputName.h"

namespace {

TEST(OutputNameTest, LastNameSplitsIntoFolderAndName) {
    struct Case {
        const char* lastName;
        const char* folder;
        const char* name;
        int format;
    } const cases[] = {
        {"", "C:\\", "Velorin.wav", 0},
        {"D:\\Rec\\talk.MP3", "D:\\Rec\\", "talk.MP3", 1},
        {"C:\\My Recordings\\Sub\\talk.wma  ", "C:\\My Recordings\\Sub\\", "talk.wma  ", 2},
        // No "\": all of it is the name, and no folder is made up.
        {"talk.wav", "", "talk.wav", 0},
        {"\\\\server\\share\\a.b\\v1.2 interview", "\\\\server\\share\\a.b\\", "v1.2 interview", -1},
        {"D:\\Rec\\", "D:\\Rec\\", "", -1},
        {"D:\\Rec\\wav", "D:\\Rec\\", "wav", -1},
        {"D:\\Rec\\.WAV", "D:\\Rec\\", ".WAV", 0},
    };
    for (const Case& c : cases) {
        std::string folder = "old", name = "old";
        SplitLastName(c.lastName, &folder, &name);
        EXPECT_EQ(c.folder, folder) << c.lastName;
        EXPECT_EQ(c.name, name) << c.lastName;
        EXPECT_EQ(c.format, FormatOfName(name)) << c.lastName;
    }
}

TEST(OutputNameTest, RadiosRewriteOnlyOurExtensionAndKeepWithinTheBox) {
    struct Case {
        const char* name;
        const char* ext;
        const char* result;  // null: refused, name unchanged
    } const cases[] = {
        {"talk.MP3", "WMA", "talk.WMA"},
        {"talk.wav", "MP3", "talk.MP3"},
        {"talk", "WAV", "talk.WAV"},
        {"", "WAV", "Velorin.WAV"},
        {"   ", "MP3", "Velorin.MP3"},
        // A dot inside the name is part of the name.
        {"v1.2 interview", "WAV", "v1.2 interview.WAV"},
        {"notes.txt", "MP3", "notes.txt.MP3"},
        {"talk.mp3  ", "WAV", "talk.WAV"},
        {".wma", "WAV", ".WAV"},
    };
    for (const Case& c : cases) {
        std::string name = c.name;
        const bool taken = ApplyFormatToName(&name, c.ext);
        EXPECT_EQ(c.result != nullptr, taken) << c.name;
        EXPECT_EQ(c.result ? c.result : c.name, name) << c.name;
    }
    // At the limit: replacing keeps the length, appending would pass it.
    std::string full(251, 'a');
    full += ".wav";
    ASSERT_TRUE(ApplyFormatToName(&full, "MP3"));
    EXPECT_EQ(255u, full.size());
    std::string plain(252, 'b');
    EXPECT_FALSE(ApplyFormatToName(&plain, "WAV"));
    EXPECT_EQ(std::string(252, 'b'), plain);
    std::string fits(251, 'c');
    EXPECT_TRUE(ApplyFormatToName(&fits, "WAV"));
    EXPECT_EQ(255u, fits.size());
}

TEST(OutputNameTest, OkJoinsFolderAndNameWithinTheLimits) {
    struct Case {
        std::string folder, name;
        const char* path;
        OutputPathCheck check;
    } const cases[] = {
        {"D:\\New\\Sub", "talk.MP3", "D:\\New\\Sub\\talk.MP3", OutputPathCheck::Ok},
        {"D:\\New\\Sub\\  ", "talk.MP3", "D:\\New\\Sub\\talk.MP3", OutputPathCheck::Ok},
        // No folder gets no "\"; no name gets the default one.
        {"", "talk.wav", "talk.wav", OutputPathCheck::Ok},
        {"  ", "talk.wav", "talk.wav", OutputPathCheck::Ok},
        {"C:\\", "", "C:\\Velorin.wav", OutputPathCheck::Ok},
        {"C:\\Rec", " ", "C:\\Rec\\Velorin.wav", OutputPathCheck::Ok},
        // 242 characters and the added "\" are 243: taken; one more is not.
        {"C:\\" + std::string(239, 'f'), "a.wav", nullptr, OutputPathCheck::Ok},
        {"C:\\" + std::string(240, 'f'), "a.wav", nullptr, OutputPathCheck::FolderTooLong},
        // Folder and name of 255 together: taken; 256: refused.
        {"C:\\" + std::string(100, 'f'), std::string(147, 'n') + ".wav", nullptr, OutputPathCheck::Ok},
        {"C:\\" + std::string(100, 'f'), std::string(148, 'n') + ".wav", nullptr,
         OutputPathCheck::PathTooLong},
    };
    for (const Case& c : cases) {
        std::string folder, path;
        EXPECT_EQ(c.check, JoinOutputPath(c.folder, c.name, &folder, &path)) << c.folder;
        if (c.path) {
            EXPECT_EQ(c.path, path) << c.folder;
        }
        EXPECT_EQ(folder + (c.name.find_first_not_of(' ') == std::string::npos ? "Velorin.wav" : c.name),
                  path)
            << c.folder;
    }
}

}  // namespace
