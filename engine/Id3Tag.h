// The ID3v1.1 tag: the 128-byte block that may follow MP3 data, and the
// record it is read into and written from.
#pragma once

#include <cstdio>

struct Id3Tag {
    char artist[31];  // up to 30 characters and a terminating zero
    char title[31];
    char album[31];
    char year[5];     // 4 characters and a zero
    unsigned char genre;  // ID3v1 genre number
};

constexpr int Id3v1TagBytes = 128;

// Writes the block at the file's current position; returns 1 when written,
// 0 when title, artist or album is empty (nothing is written) or the write
// fails.
int WriteId3v1Tag(FILE* file, const Id3Tag& tag);

// Reads the block at the end of the file into *tag; returns 1 when a tag
// was read, 0 when the file cannot be opened, is shorter than a tag, or
// does not end in one (the record is then left as it was).
int ReadId3v1Tag(const char* fileName, Id3Tag* tag);

// The 80 ID3v1 genre names, in the standard's order (index = number).
constexpr int Id3GenreCount = 80;
extern const char* const Id3GenreNames[Id3GenreCount];

// The name of a genre number; "" for numbers without a name (80 and up).
const char* Id3GenreName(int genre);
