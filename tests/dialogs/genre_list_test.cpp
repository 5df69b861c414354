// The genre list's rules: which name selects which genre, which stored
// numbers select nothing, and names handed on without their blanks.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/GenreList.h"
#include "engine/Id3Tag.h"

namespace {

TEST(GenreList, NamesNumbersAndTrimming) {
    const struct {
        const char* name;
        int genre;
    } names[] = {
        {"", -1},          // no prefix match on the first entry
        {"   ", -1},
        {"Blues ", 0},     // the list's own text, blank included
        {"Blues", 0},
        {"blues", 0},      // letter case does not matter
        {"Podcast", -1},   // unlisted
        {"Jazz", 8},       // not "Jazz+Funk"
        {"Rock", 17},      // not "Rock & Roll"
        {" Hard Rock ", 79},
        {"Hard", -1},      // a beginning alone is no name
    };
    for (const auto& n : names) EXPECT_EQ(n.genre, FindGenre(n.name)) << "'" << n.name << "'";

    const struct {
        long long stored;
        int selected;
    } numbers[] = {{-1, -1}, {0, 0}, {12, 12}, {79, 79}, {80, -1}, {255, -1}, {4294967295LL, -1}};
    for (const auto& n : numbers) EXPECT_EQ(n.selected, GenreSelection(n.stored)) << n.stored;

    // Every name with a blank in the list comes out without it.
    int blanks = 0;
    for (int i = 0; i < Id3GenreCount; ++i) {
        char out[32];
        CopyTrimmed(out, Id3GenreNames[i]);
        const std::string name = Id3GenreNames[i];
        blanks += name.back() == ' ';
        EXPECT_NE(' ', out[0] ? std::string(out).back() : 'x') << i;
        EXPECT_EQ(i, FindGenre(out)) << i;
    }
    EXPECT_EQ(12, blanks);

    char small[4];
    EXPECT_STREQ("Dan", CopyTrimmed(small, " Dance "));
    EXPECT_STREQ("", CopyTrimmed(small, nullptr));
    char out[32];
    EXPECT_STREQ("", CopyTrimmed(out, Id3GenreName(80)));
}

}  // namespace
