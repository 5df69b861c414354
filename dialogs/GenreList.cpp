#include "dialogs/GenreList.h"

#include <cstring>

#include "engine/Id3Tag.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

char* CopyTrimmed(char* out, size_t capacity, const char* text) {
    if (!out || capacity == 0) return out;
    out[0] = '\0';
    if (!text) return out;
    while (IsBlank(*text)) ++text;
    size_t length = strlen(text);
    while (length > 0 && IsBlank(text[length - 1])) --length;
    if (length > capacity - 1) length = capacity - 1;
    memcpy(out, text, length);
    out[length] = '\0';
    return out;
}

void FillGenreList(HWND list) {
    if (!list) return;
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < Id3GenreCount; ++i)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Id3GenreNames[i]));
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

int FindGenre(const char* name) {
    char wanted[128];
    CopyTrimmed(wanted, name);
    if (!wanted[0]) return -1;
    for (int i = 0; i < Id3GenreCount; ++i) {
        char entry[32];
        CopyTrimmed(entry, Id3GenreNames[i]);
        if (lstrcmpiA(entry, wanted) == 0) return i;
    }
    return -1;
}

int GenreSelection(long long stored) {
    return stored >= 0 && stored < Id3GenreCount ? static_cast<int>(stored) : -1;
}

void SelectGenre(HWND list, int genre) {
    if (list) SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(GenreSelection(genre)), 0);
}

int ReadGenreSelection(HWND list, char* name, size_t capacity) {
    LRESULT index = list ? SendMessageA(list, CB_GETCURSEL, 0, 0) : CB_ERR;
    int genre = index == CB_ERR ? -1 : GenreSelection(index);
    if (name && capacity) CopyTrimmed(name, capacity, genre >= 0 ? Id3GenreNames[genre] : "");
    return genre;
}
