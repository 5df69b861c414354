// The track list window: a small list of recordings (one day of the
// history, or the files chosen for playing) with a check box per row,
// driven by the main window through the TLM_ messages below. A left click
// on a row asks the parent to open it (WM_TRACKLIST_OPENFILE).
//
// The main window registers the class (kTrackListClass, TrackListWndProc,
// its own background brush), loads the check-box pictures with
// LoadTrackListPictures and creates the window with CreateTrackListWindow.
#pragma once

#include <windows.h>

// ---- messages ---------------------------------------------------------------
// To the list (wParam / lParam as noted; results 0 unless noted). Every
// message that takes a row index answers -1 (TLM_GETROW: null) for an index
// outside 0..count-1 and changes nothing.
enum : UINT {
    TLM_ADDROW = WM_USER + 100,     // 1124 lParam TrackListRow* in (ignored past 100 rows)
    TLM_DELETEROW,                  // 1125 wParam -1 all rows, -2 the selected row, else an index
    TLM_SETCHECK,                   // 1126 wParam -1 all unlocked rows or an index; lParam 0/1
    TLM_SELECTROW,                  // 1127 wParam index (anything else: no selection)
    TLM_TOGGLECHECK,                // 1128 wParam -1 all unlocked rows or an index
    TLM_EDITTITLE,                  // 1129 in-place editor on the selected row's name
    TLM_GETFIRSTCHECKED,            // 1130 lParam TrackListRow* out; index or -1
    TLM_GETNEXTCHECKED,             // 1131 the same, after the last one found
    TLM_SETSELTITLE,                // 1132 lParam text: the selected row's name
    TLM_COUNTCHECKED,               // 1133 rows with `checked` set
    TLM_GETCOUNT,                   // 1134 count
    TLM_GETROW,                     // 1135 wParam index, lParam TrackListRow* out; returns lParam
    TLM_SETROWTEXT,                 // 1136 wParam index, lParam text: statusText
    TLM_SETTITLE,                   // 1137 wParam index, lParam text: name
    TLM_SETROWSTATE = WM_USER + 117,  // 1141 wParam index or -1; lParam non-zero: state 3
    TLM_SETROWMARK,                 // 1142 wParam index or -1; lParam non-zero: mark 1
    TLM_DISABLEBUTTONS,             // 1143 nothing to do in the list
    // 1147 travels to the list; WM_TRACKLIST_OPENFILE, the same number,
    // travels from it to the parent. Never send one where the other is meant.
    TLM_CONDITIONALCLEAR = WM_USER + 123,
    // 1151 wParam char* out of at least MAX_PATH bytes, lParam index:
    // location + name. TRUE when written; FALSE (empty text) for a bad
    // index or a path of MAX_PATH characters or more.
    TLM_GETPATH = WM_USER + 127,
};

// To the parent: lParam = the row the user clicked.
#ifndef WM_TRACKLIST_OPENFILE
#define WM_TRACKLIST_OPENFILE (WM_USER + 123)
#endif

// ---- rows ---------------------------------------------------------------------
// Copied whole in and out. On the way in, the last byte of every text field
// is forced to NUL, so a caller's unterminated field is cut, never over-read.
struct TrackListRow {
    char name[261];        // file name
    char location[261];    // folder; location + name is the full path
    char startTime[19];
    char duration[50];
    char audioLine[510];
    char statusText[71];
    int locked;            // non-zero: the user and all-row messages leave its check alone
    int checked;           // 0 or 1 (TLM_SETCHECK, TLM_TOGGLECHECK, TLM_COUNTCHECKED)
    int state;             // 0 or 3: the check mark the box shows
    int mark;              // 0 or 1
};

constexpr int kTrackListCapacity = 100;
constexpr UINT kTrackListId = 157;
constexpr UINT kTrackListHeaderId = 156;
extern const char kTrackListClass[];   // "HollinTrackWnd"

LRESULT CALLBACK TrackListWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the list as child 157 of `parent` over `rect` in display mode 0.
// The class must be registered.
HWND CreateTrackListWindow(HWND parent, const RECT& rect);

// The check-box pictures every list paints with ("IDR_CHECKBOXUNCHECKED",
// "IDR_CHECKBOXCHECKED", "IDR_CHECKBOXDISABLED", type "BMP"), loaded from
// `module` (the program when null). Free them after the last list is gone.
bool LoadTrackListPictures(HMODULE module = nullptr);
void FreeTrackListPictures();
