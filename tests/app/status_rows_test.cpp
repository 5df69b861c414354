// The dashboard's two status rows: which words of a message's two texts
// show, where a long first text wraps and where "..." ends a row.
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

}  // namespace
