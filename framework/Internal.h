// Framework internals shared by its source files; not for modules.
#pragma once

#include <windows.h>

#include <memory>
#include <unordered_map>

#include "framework/Gdi.h"
#include "framework/Menu.h"
#include "framework/Wnd.h"

// Per-thread temporary wrappers handed out by the FromHandle functions.
struct TempMaps {
    std::unordered_map<HWND, std::unique_ptr<CWnd>> wnds;
    std::unordered_map<HDC, std::unique_ptr<CDC>> dcs;
    std::unordered_map<HGDIOBJ, std::unique_ptr<CGdiObject>> objects;
    std::unordered_map<HGDIOBJ, std::unique_ptr<CPen>> pens;
    std::unordered_map<HGDIOBJ, std::unique_ptr<CBrush>> brushes;
    std::unordered_map<HGDIOBJ, std::unique_ptr<CFont>> fonts;
    std::unordered_map<HGDIOBJ, std::unique_ptr<CBitmap>> bitmaps;
    std::unordered_map<HGDIOBJ, std::unique_ptr<CRgn>> regions;
    std::unordered_map<HMENU, std::unique_ptr<CMenu>> menus;
};
TempMaps& Temps();

// Marks a running message loop of ours on this thread. Temporary
// wrappers are freed only when the outermost loop goes idle: a handler
// below a nested loop may still hold one.
class LoopScope {
public:
    LoopScope();
    ~LoopScope();
    LoopScope(const LoopScope&) = delete;
    LoopScope& operator=(const LoopScope&) = delete;
};

// One message from the thread's queue through pre-translation and
// dispatch. False when WM_QUIT arrived (its exit code in *quitCode).
bool PumpOneMessage(int* quitCode);

// Installs the creation hook for one CreateWindowEx/CreateDialog call:
// the first window made on this thread while it lives is bound to `wnd`
// and subclassed before its first message.
class CreationHook {
public:
    explicit CreationHook(CWnd* wnd);
    ~CreationHook();
    CreationHook(const CreationHook&) = delete;
    CreationHook& operator=(const CreationHook&) = delete;
private:
    CWnd* previous_;
    HHOOK hook_;
};

// The object made the window (its destructor destroys it).
void MarkCreatedByUs(CWnd* wnd);

// Called when a window of ours has received its last message.
void AppWindowGone(CWnd* wnd);
// Whether CWinApp::Run's loop is running (the main window's end posts WM_QUIT).
bool AppLoopRunning();
