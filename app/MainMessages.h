// Private window messages of the main window and the command and control
// identifiers its face and menus use.
#pragma once

#include <windows.h>

#include "engine/CaptureGraph.h"  // WM_GRAPHNOTIFY
#include "engine/PlayerGraph.h"   // WM_BACKGROUND_ERROR, WM_PLAYBACK_FINISHED, WM_PLAYER_RUN

// Posted by the line detection and the line test. Kept in the WM_APP
// range: WM_USER+1 and +2 are the dialog manager's own DM_SETDEFID and
// DM_REPOSITION, which a dialog must not take for something else.
constexpr UINT WM_AUTOCONFIG = WM_APP + 10;
constexpr UINT WM_LINETEST_NEXT = WM_APP + 11;
// The multimedia record timer's tick, handed to the window's thread.
constexpr UINT WM_RECORD_TICK = WM_APP + 12;

constexpr UINT WM_DELAYED_SIGNALRECORD = WM_USER + 3;
constexpr UINT WM_DELAYED_SCHEDULETOGGLE = WM_USER + 4;
constexpr UINT WM_SHOW_STARTUP = WM_USER + 6;
#ifndef WM_TRACKLIST_OPENFILE
#define WM_TRACKLIST_OPENFILE (WM_USER + 123)
#endif
constexpr UINT WM_INVALIDFILE = WM_USER + 205;
constexpr UINT WM_TRAYICON_NOTIFY = WM_APP + 100;

// Timers of the main window.
constexpr UINT_PTR IDT_RECORD = 1;
constexpr UINT_PTR IDT_CLOCK = 100;
constexpr UINT_PTR IDT_REFRESH = 200;
constexpr UINT_PTR IDT_METER = 300;

// System-menu entry appended at start-up.
constexpr UINT IDM_ABOUTBOX = 0x0010;

// Resources.
constexpr UINT IDD_VELORIN_DIALOG = 102;
constexpr UINT IDR_MAINFRAME = 128;
constexpr UINT IDS_ABOUTBOX = 101;
constexpr UINT IDR_TRAYMENU = 140;
constexpr UINT IDR_POPMENU = 141;
constexpr UINT IDR_UPLOADMENU = 159;
