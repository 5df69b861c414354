// The dashboard's two status rows: which words of a message's two texts
// show, where a long first text wraps and where "..." ends a row; and the
// file rows, which give way in the path's folders and keep the file name.
#include <gtest/gtest.h>

#include <string>

#include "app/StatusRows.h"

namespace {

// Five pixels a character: a 50-pixel row holds ten.
int FiveEach(const char*, int length) { return 5 * length; }

struct Case {
    const char* what;
    const char* first;
    const char* second;
    const char* row1;
    const char* row2;
};

TEST(StatusRows, LongTextsWrapOrEndWithDotsAtWholeWords) {
    const Case cases[] = {
        {"short texts stay as they are", "Recording", "c:\\a.wav", "Recording", "c:\\a.wav"},
        {"exactly the row's width fits", "0123456789", "abcde fghi", "0123456789", "abcde fghi"},
        {"a long second text ends after its last whole word", "Schedule", "line 2 is not a line",
         "Schedule", "line 2..."},
        {"the dots need their room too", "", "abcdefg hi jk", "", "abcdefg..."},
        {"a long first text with no second wraps at a word", "The disk is full", "",
         "The disk", "is full"},
        {"what the second row cannot hold ends with dots", "one two three four five six", "",
         "one two", "three..."},
        {"blanks at the break are dropped", "abcd     efgh ij", "", "abcd", "efgh ij"},
        {"a first text beside a second one ends with dots", "one two three", "x", "one two...", "x"},
        {"a word wider than the row is cut inside itself", "c:\\recordings\\take.wav", "x",
         "c:\\reco...", "x"},
        {"a long word wraps by characters", "abcdefghijklmnop", "", "abcdefghij", "klmnop"},
        {"empty texts stay empty", "", "", "", ""},
    };
    for (const Case& c : cases) {
        const StatusRows rows = FitStatusRows(c.first, c.second, 50, FiveEach);
        EXPECT_EQ(c.row1, rows.first) << c.what;
        EXPECT_EQ(c.row2, rows.second) << c.what;
        EXPECT_LE(FiveEach(nullptr, static_cast<int>(rows.first.size())), 50) << c.what;
        EXPECT_LE(FiveEach(nullptr, static_cast<int>(rows.second.size())), 50) << c.what;
    }
}

TEST(StatusRows, ARowTooNarrowForTheDotsShowsOnlyThem) {
    const StatusRows rows = FitStatusRows("abc", "def", 10, FiveEach);
    EXPECT_EQ("...", rows.first);
    EXPECT_EQ("...", rows.second);
}

TEST(StatusRows, FileRowsKeepTheLabelAndTheFileName) {
    const struct {
        const char* what;
        const char* path;
        const char* row;
    } cases[] = {
        {"a path that fits stays whole", "c:\\a\\b.wav", "F : c:\\a\\b.wav"},
        {"the folders give way from their end", "c:\\records\\today\\take.wav", "F : c:\\r...\\take.wav"},
        {"all the folders go before the name does", "c:\\recordings\\longtake.wav", "F : ...\\longtake.wav"},
        {"a name too wide alone is cut at its end", "c:\\a\\recording-of-today.wav", "F : ...\\recording..."},
        {"a name without folders is cut at its end", "recording-of-today.wav", "F : recording-of-..."},
        {"nothing to show", "", "F : "},
    };
    for (const auto& c : cases) {
        const std::string row = FitPathRow("F : ", c.path, 100, FiveEach);
        EXPECT_EQ(c.row, row) << c.what;
        EXPECT_LE(FiveEach(nullptr, static_cast<int>(row.size())), 100) << c.what;
    }
    EXPECT_EQ("Outpu...", FitPathRow("Output File : ", "c:\\a.wav", 40, FiveEach)) << "a label too wide";
}

}  // namespace
