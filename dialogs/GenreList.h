// The genre list (1151) of both tag dialogs: the 80 ID3v1 genre names in
// the standard's order, the index being the genre number. Some names carry a
// trailing blank in the list; names are compared and handed on without it,
// so a stored or written genre never gains one.
#pragma once

#include <windows.h>

#include <cstddef>

// Fills a drop-down list with the names, nothing selected.
void FillGenreList(HWND list);

// The genre number of a name (blanks around it ignored, letter case too), or
// -1 for an empty or unlisted name.
int FindGenre(const char* name);

// The number to select for a stored genre value: the value itself when it
// names a genre (0..79), else -1 (nothing selected, the value kept).
int GenreSelection(long long stored);

// Selects a genre number in the list (-1: none).
void SelectGenre(HWND list, int genre);

// Copies `text` without leading and trailing blanks into out (at most
// capacity - 1 characters); returns out.
char* CopyTrimmed(char* out, size_t capacity, const char* text);
template <size_t N> char* CopyTrimmed(char (&out)[N], const char* text) { return CopyTrimmed(out, N, text); }

// The selected genre: its number (-1 when nothing is selected) and, when
// `name` is given, its name without the blank.
int ReadGenreSelection(HWND list, char* name = nullptr, size_t capacity = 0);
