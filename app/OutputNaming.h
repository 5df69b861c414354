// Names for the next output file when every recording gets a file of its
// own: numbered ("talk_007.WAV" after the highest number present) or made
// of the date and time ("20261209-061502.MP3"). Pure file-system logic, so
// the main window and its tests share it.
#pragma once

#include <windows.h>

#include <string>

// The output file when none is stored, or the stored one cannot be used.
extern const char kDefaultOutputPath[];

// The output extension of a path in upper case (".MP3", ".WAV" or
// ".WMA"), or "" when the path ends in none of them.
std::string OutputExtension(const std::string& path);

// The folder part of a path up to and including its last "\" ("" when
// there is none), searched multi-byte aware.
std::string FolderOf(const std::string& path);

// The numbered name for `path`: the base (the path up to the last "_" of
// its file name, or without its extension when the file name has no "_")
// followed by "_" and the next free number (at least three digits), then
// the upper-case extension. Files of the same extension named base_N are
// looked at; suffixes too large to count are ignored. False, and *out
// untouched, when the path has no accepted extension.
bool BuildNumberedPath(const std::string& path, std::string* out);

// The time-stamped name for `path` at local time `now`: its folder, then
// "%d%02d%02d-%02d%02d%02d" and the upper-case extension; when that file
// exists already, "_%03d" with the first free number goes before the
// extension. False, and *out untouched, when the path has no accepted
// extension.
bool BuildTimeStampedPath(const std::string& path, const SYSTEMTIME& now, std::string* out);

// The number a found file name carries after its last "_" and before the
// "." that follows it: its leading digits (0 when there are none), -1
// when the name has no such "_" or the number is above 999999999.
long long NumberSuffixOf(const char* fileName);

// The path with the format's letters ("MP3", "WAV", "WMA") as its
// extension: a final "." and three characters are replaced, any other
// ending keeps its text and gets "." and the letters. False, and *out
// untouched, when the result would not fit `capacity` bytes.
bool WithFormatExtension(const char* path, const char* letters, char* out, size_t capacity);

// Whether two paths name the same file as the system compares names: case
// does not count, nor trailing blanks; an empty path names no file.
bool SameFilePath(const char* a, const char* b);
