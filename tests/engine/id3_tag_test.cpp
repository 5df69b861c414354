// The ID3v1.1 block at the end of MP3 files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench.h"
#include "engine/Id3Tag.h"

namespace {

Id3Tag MakeTag(const char* title, const char* artist, const char* album, const char* year,
               unsigned char genre) {
    Id3Tag t;
    memset(&t, 0x77, sizeof t);  // garbage behind every terminator
    snprintf(t.title, sizeof t.title, "%s", title);
    snprintf(t.artist, sizeof t.artist, "%s", artist);
    snprintf(t.album, sizeof t.album, "%s", album);
    snprintf(t.year, sizeof t.year, "%s", year);
    t.genre = genre;
    return t;
}

std::vector<unsigned char> ReadAll(const std::string& path) {
    std::vector<unsigned char> v;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return v;
    int c;
    while ((c = fgetc(f)) != EOF) v.push_back(static_cast<unsigned char>(c));
    fclose(f);
    return v;
}

void WriteAll(const std::string& path, const std::vector<unsigned char>& v) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    if (!v.empty()) fwrite(v.data(), 1, v.size(), f);
    fclose(f);
}

std::string Field(const std::vector<unsigned char>& b, size_t off, size_t n) {
    return std::string(reinterpret_cast<const char*>(b.data() + off), n);
}

TEST(Id3Tag, WrittenBlockHasTheFixedLayout) {
    std::string path = bench::ScratchDir() + "\\a.mp3";
    std::vector<unsigned char> audio(1000, 0xFF);
    WriteAll(path, audio);
    FILE* f = fopen(path.c_str(), "ab");
    ASSERT_NE(nullptr, f);
    const char* title30 = "abcdefghijklmnopqrstuvwxyz0123";
    ASSERT_EQ(1, WriteId3v1Tag(f, MakeTag(title30, "Artist", "Album", "1999", 17)));
    fclose(f);

    auto b = ReadAll(path);
    ASSERT_EQ(1128u, b.size());
    size_t t = 1000;
    EXPECT_EQ("TAG", Field(b, t, 3));
    EXPECT_EQ(title30, Field(b, t + 3, 30));  // no terminating zero in the file
    EXPECT_EQ(std::string("Artist") + std::string(24, '\0'), Field(b, t + 33, 30));
    EXPECT_EQ(std::string("Album") + std::string(25, '\0'), Field(b, t + 63, 30));
    EXPECT_EQ("1999", Field(b, t + 93, 4));
    EXPECT_EQ(std::string(29, '\0'), Field(b, t + 97, 29));  // comment and the zero byte
    EXPECT_EQ(1, b[t + 126]);
    EXPECT_EQ(17, b[t + 127]);
}

// Title, artist and album must all be filled; each missing one alone stops
// the tag.
TEST(Id3Tag, NothingIsWrittenWithoutTitleArtistAndAlbum) {
    const Id3Tag tags[] = {MakeTag("", "Artist", "Album", "2001", 1),
                           MakeTag("Title", "", "Album", "2001", 1),
                           MakeTag("Title", "Artist", "", "2001", 1)};
    std::string path = bench::ScratchDir() + "\\b.mp3";
    for (const Id3Tag& tag : tags) {
        FILE* f = fopen(path.c_str(), "wb");
        ASSERT_NE(nullptr, f);
        EXPECT_EQ(0, WriteId3v1Tag(f, tag));
        fclose(f);
        EXPECT_EQ(0u, ReadAll(path).size());
    }
    EXPECT_EQ(0, WriteId3v1Tag(nullptr, MakeTag("T", "A", "B", "1", 0)));
}

// Round trips through the file, including a year shorter than four
// characters, whose bytes after the terminator must not reach the file.
TEST(Id3Tag, ReadsBackWhatWasWritten) {
    struct Case {
        const char *title, *artist, *album, *year;
        unsigned char genre;
    };
    const Case cases[] = {
        {"Song", "Someone", "Record", "1987", 0},
        {"abcdefghijklmnopqrstuvwxyz0123", "ABCDEFGHIJKLMNOPQRSTUVWXYZ4567", "x", "2024", 79},
        {"Short year", "A", "B", "99", 255},
        {"No year", "A", "B", "", 12},
        {"Trailing  ", "  spaces", "kept ", "1 ", 3},
    };
    std::string path = bench::ScratchDir() + "\\c.mp3";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        FILE* f = fopen(path.c_str(), "wb");
        ASSERT_NE(nullptr, f);
        fputs("some audio bytes", f);
        ASSERT_EQ(1, WriteId3v1Tag(f, MakeTag(c.title, c.artist, c.album, c.year, c.genre)));
        fclose(f);
        auto b = ReadAll(path);
        ASSERT_EQ(16u + 128u, b.size());
        EXPECT_EQ(std::string(c.year) + std::string(4 - strlen(c.year), '\0'),
                  Field(b, 16 + 93, 4));

        Id3Tag read;
        memset(&read, 0x55, sizeof read);
        ASSERT_EQ(1, ReadId3v1Tag(path.c_str(), &read));
        EXPECT_STREQ(c.title, read.title);
        EXPECT_STREQ(c.artist, read.artist);
        EXPECT_STREQ(c.album, read.album);
        EXPECT_STREQ(c.year, read.year);
        EXPECT_EQ(c.genre, read.genre);
    }
}

// Files that hold no tag: the record must stay as it was.
TEST(Id3Tag, FilesWithoutATagReadAsNone) {
    std::string dir = bench::ScratchDir();
    std::vector<unsigned char> tagOnly(128, 0);
    memcpy(tagOnly.data(), "TAG", 3);
    memcpy(tagOnly.data() + 3, "T", 1);
    std::vector<unsigned char> shortWithTag(tagOnly.begin() + 1, tagOnly.end());  // 127 bytes
    std::vector<unsigned char> noTag(500, 'x');
    std::vector<unsigned char> tagNotAtEnd = tagOnly;
    tagNotAtEnd.push_back('x');
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
        int want;
    };
    const Case cases[] = {
        {"empty", {}, 0},
        {"3 bytes TAG", {'T', 'A', 'G'}, 0},
        {"127 bytes", shortWithTag, 0},
        {"no TAG at the end", noTag, 0},
        {"TAG one byte too early", tagNotAtEnd, 0},
        {"exactly one tag", tagOnly, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = dir + "\\f.mp3";
        WriteAll(path, c.bytes);
        Id3Tag tag;
        memset(&tag, 0x41, sizeof tag);
        tag.title[30] = 0;
        EXPECT_EQ(c.want, ReadId3v1Tag(path.c_str(), &tag));
        if (c.want) EXPECT_STREQ("T", tag.title);
        else EXPECT_EQ('A', tag.title[0]);
    }
    Id3Tag tag{};
    EXPECT_EQ(0, ReadId3v1Tag((dir + "\\missing.mp3").c_str(), &tag));
}

// Retagging a file: an existing tag is overwritten in place (same length),
// a file without one gets 128 bytes more.
TEST(Id3Tag, RetaggingReplacesAnExistingTagAndAppendsOtherwise) {
    std::string path = bench::ScratchDir() + "\\d.mp3";
    WriteAll(path, std::vector<unsigned char>(300, 0xAB));
    auto retag = [&](const char* title) {
        FILE* f = fopen(path.c_str(), "r+b");
        ASSERT_NE(nullptr, f);
        char head[3] = {};
        bool has = fseek(f, -128, SEEK_END) == 0 && fread(head, 1, 3, f) == 3 &&
                   !memcmp(head, "TAG", 3);
        fseek(f, has ? -128 : 0, SEEK_END);
        EXPECT_EQ(1, WriteId3v1Tag(f, MakeTag(title, "A", "B", "2000", 2)));
        fclose(f);
    };
    retag("first");
    EXPECT_EQ(428u, ReadAll(path).size());
    retag("second");
    EXPECT_EQ(428u, ReadAll(path).size());
    Id3Tag tag{};
    ASSERT_EQ(1, ReadId3v1Tag(path.c_str(), &tag));
    EXPECT_STREQ("second", tag.title);
}

TEST(Id3Tag, GenreNames) {
    struct Case {
        int genre;
        const char* name;
    };
    const Case cases[] = {{0, "Blues "},  {1, "Classic Rock"}, {17, "Rock"},  {47, "Instrum. Rock "},
                          {67, "Psychadelic"}, {79, "Hard Rock "}, {80, ""}, {255, ""}, {-1, ""}};
    for (const Case& c : cases) EXPECT_STREQ(c.name, Id3GenreName(c.genre)) << c.genre;
    for (int i = 0; i < Id3GenreCount; ++i) {
        ASSERT_NE(nullptr, Id3GenreNames[i]);
        EXPECT_GT(strlen(Id3GenreNames[i]), 0u) << i;
    }
}

}  // namespace
