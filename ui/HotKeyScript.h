// User-defined hot keys: "HotKey.XML" in the documents folder (or the
// built-in bindings) binds key combinations to the controls and slider
// actions of the main window. A bound key acts as a click on the control.
//
// Bindings live in VOLMARK > HOTKEYSCRIPT > FRONTFACE / BACKFACE, one
// element a combination, named by a ControlNameTable name or an area action
// (SLD_VOLUMEUP ... BTN_SECONDDEC). A combination is written "CTRL+",
// "SHIFT+", "ALT+" (in this order, each when held) and one key name of
// HotKeyNameTable. Alt and F10 arrive as WM_SYSKEYDOWN, which is not a key
// press here, so bindings of ALT+x or F10 never act.
#pragma once

#include <windows.h>

#include <cstddef>

#include "ui/XmlDocument.h"

struct HotKeyName {
    const char* name;
    int code;  // virtual-key code
};
constexpr int HotKeyNameCount = 111;
extern const HotKeyName HotKeyNameTable[HotKeyNameCount];
// The first name of a virtual-key code, or null.
const char* FindHotKeyName(int code);

class HotKeyScript {
public:
    // Kind HotKeys: the built-in bindings until a file is loaded.
    XmlDocument document{XmlDocument::HotKeys};

    // documentsFolder + "HotKey.XML"; false (built-in bindings) when absent.
    bool Load(const char* documentsFolder);
    // Off only when ENABLEHOTKEY reads exactly "NO".
    bool IsEnabled() const;

    // One keyboard message for the main window `window`, section
    // "FRONTFACE" or "BACKFACE". Returns 0 for anything but WM_KEYDOWN and
    // for Enter and Esc, 1 for every other key. *matched (optional) tells
    // whether a binding took the key; the caller then swallows it.
    // Only a call with act true performs the binding's action, so the
    // window procedure may ask again without a second click.
    int ParseHotKey(HWND window, const MSG& message, const char* section, const RECT& volumeThumb,
                    const RECT& frequencyThumb, bool* matched = nullptr, bool act = true);
    // The action of a bound element (posted clicks and drags); returns 1.
    int PostAreaAction(HWND window, const char* name, const RECT& volumeThumb, const RECT& frequencyThumb);
    // Every key text of the element joined with "," (at most 99
    // characters); "" when hot keys are off.
    bool GetKeyTexts(const char* name, char* out, size_t size = 100) const;

    // The combination text of a key with the modifiers held now.
    static bool CombinationText(int code, char* out, size_t size);
};
