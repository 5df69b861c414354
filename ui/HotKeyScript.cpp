#include "ui/HotKeyScript.h"

#include <cstring>

#include "framework/SafeString.h"

// Sized by its initialisers, so a missing or extra name fails to compile
// against the declaration.
const HotKeyName HotKeyNameTable[] = {
    {"BACKSPACE", 8}, {"TAB", 9}, {"CLEAR", 12}, {"ENTER", 13}, {"SHIFT", 16}, {"CTRL", 17},
    {"ALT", 18}, {"PAUSE", 19}, {"CAPSLOCK", 20}, {"ESC", 27}, {"SPACEBAR", 32}, {"PAGEUP", 33},
    {"PAGEDOWN", 34}, {"END", 35}, {"HOME", 36}, {"LEFTARROW", 37}, {"UPARROW", 38},
    {"RIGHTARROW", 39}, {"DOWNARROW", 40}, {"SELECT", 41}, {"PRINT", 42}, {"EXECUTE", 43},
    {"PRINTSCREEN", 44}, {"INS", 45}, {"DEL", 46}, {"HELP", 47},
    {"0", 48}, {"1", 49}, {"2", 50}, {"3", 51}, {"4", 52}, {"5", 53}, {"6", 54}, {"7", 55},
    {"8", 56}, {"9", 57},
    {"A", 65}, {"B", 66}, {"C", 67}, {"D", 68}, {"E", 69}, {"F", 70}, {"G", 71}, {"H", 72},
    {"I", 73}, {"J", 74}, {"K", 75}, {"L", 76}, {"M", 77}, {"N", 78}, {"O", 79}, {"P", 80},
    {"Q", 81}, {"R", 82}, {"S", 83}, {"T", 84}, {"U", 85}, {"V", 86}, {"W", 87}, {"X", 88},
    {"Y", 89}, {"Z", 90},
    {"SLEEP", 95},
    {"NUMPAD0", 96}, {"NUMPAD1", 97}, {"NUMPAD2", 98}, {"NUMPAD3", 99}, {"NUMPAD4", 100},
    {"NUMPAD5", 101}, {"NUMPAD6", 102}, {"NUMPAD7", 103}, {"NUMPAD8", 104}, {"NUMPAD9", 105},
    {"MULTIPLY", 106}, {"ADD", 107}, {"SEPARATOR", 108}, {"SUBTRACT", 109}, {"DECIMAL", 110},
    {"DIVIDE", 111},
    {"F1", 112}, {"F2", 113}, {"F3", 114}, {"F4", 115}, {"F5", 116}, {"F6", 117}, {"F7", 118},
    {"F8", 119}, {"F9", 120}, {"F10", 121}, {"F11", 122}, {"F12", 123}, {"F13", 124},
    {"F14", 125}, {"F15", 126}, {"F16", 127}, {"F17", 128}, {"F18", 129}, {"F19", 130},
    {"F20", 131}, {"F21", 132}, {"F22", 133}, {"F23", 134}, {"F24", 135},
    {"NUMLOCK", 144}, {"SCROLLLOCK", 145}, {"LEFTSHIFT", 160}, {"RIGHTSHIFT", 161},
    {"LEFTCONTROL", 162}, {"RIGHTCONTROL", 163}, {"LEFTMENU", 164}, {"RIGHTMENU", 165},
};

const char* FindHotKeyName(int code) {
    for (const HotKeyName& entry : HotKeyNameTable)
        if (entry.code == code) return entry.name;
    return nullptr;
}

namespace {

bool KeyDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// Typing in an edit box of the main window (the track list's title editor,
// for one) must not start recordings: plain keys and Enter/Esc belong to
// the box there.
bool TypingInEdit() {
    HWND focus = GetFocus();
    if (!focus) return false;
    char className[32];
    if (!GetClassNameA(focus, className, sizeof className)) return false;
    return lstrcmpiA(className, "Edit") == 0;
}

bool IsSliderAction(const char* name) { return strncmp(name, "SLD_", 4) == 0; }

// A point of the client area, packed x low and y high. Kept inside the
// client rectangle: a negative y would read as about 65535 in a handler
// that takes the high word unsigned.
LPARAM ClientPoint(HWND window, int x, int y) {
    RECT client = {0, 0, 0, 0};
    GetClientRect(window, &client);
    if (x >= client.right) x = client.right - 1;
    if (y >= client.bottom) y = client.bottom - 1;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    return MAKELPARAM(x, y);
}

// Press on the thumb, drag to `toY`, release where it was pressed.
void DragThumb(HWND window, const RECT& thumb, int toY) {
    const int x = thumb.left + 2;
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(window, x, thumb.top + 2));
    PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(window, x, toY));
    PostMessageA(window, WM_LBUTTONUP, 0, ClientPoint(window, x, thumb.top + 2));
}

void ClickControl(HWND window, int id) {
    HWND child = GetDlgItem(window, id);
    // A hidden or disabled control stands for a command that is not
    // allowed now; a posted click would still reach it.
    if (!child || !IsWindowEnabled(child) || !IsWindowVisible(child)) return;
    PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessageA(child, WM_LBUTTONUP, 0, 0);
}

}  // namespace

bool HotKeyScript::Load(const char* documentsFolder) {
    document.SetFolder(documentsFolder);
    char path[660];
    if (!SafeFormat(path, "%s%s", document.folder, "HotKey.XML")) {
        document.Load(nullptr);
        return false;
    }
    return document.Load(path);
}

bool HotKeyScript::IsEnabled() const {
    char text[100];
    document.GetText("ENABLEHOTKEY", text, sizeof text);
    return strcmp(text, "NO") != 0;
}

bool HotKeyScript::CombinationText(int code, char* out, size_t size) {
    if (!out || size == 0) return false;
    out[0] = '\0';
    const char* name = FindHotKeyName(code);
    if (!name) return false;
    if (KeyDown(VK_CONTROL)) SafeAppend(out, size, "CTRL+");
    if (KeyDown(VK_SHIFT)) SafeAppend(out, size, "SHIFT+");
    if (KeyDown(VK_MENU)) SafeAppend(out, size, "ALT+");
    return SafeAppend(out, size, name);
}

int HotKeyScript::ParseHotKey(HWND window, const MSG& message, const char* section, const RECT& volumeThumb,
                              const RECT& frequencyThumb, bool* matched, bool act) {
    if (matched) *matched = false;
    if (message.message != WM_KEYDOWN) return 0;
    const int code = static_cast<int>(message.wParam);
    const int result = (code == VK_RETURN || code == VK_ESCAPE) ? 0 : 1;
    if (code == VK_SHIFT || code == VK_CONTROL || code == VK_MENU) return result;
    if (!section || !IsEnabled()) return result;
    if (TypingInEdit() && (result == 0 || (!KeyDown(VK_CONTROL) && !KeyDown(VK_MENU)))) return result;

    char combination[64];
    if (!CombinationText(code, combination, sizeof combination)) return result;
    const int count = document.Count(section);
    for (int n = 0; n < count; ++n) {
        char name[200], text[200];
        if (!document.GetNth(section, n, name, text) || strcmp(text, combination) != 0) continue;
        if (matched) *matched = true;
        // Holding a key down repeats it; only the sliders step with it.
        const bool repeat = (message.lParam & (1L << 30)) != 0;
        if (act && (!repeat || IsSliderAction(name))) PostAreaAction(window, name, volumeThumb, frequencyThumb);
        break;
    }
    return result;
}

int HotKeyScript::PostAreaAction(HWND window, const char* name, const RECT& volumeThumb,
                                 const RECT& frequencyThumb) {
    if (!window || !name || !*name) return 1;
    const int volumeHalf = (volumeThumb.bottom - volumeThumb.top) / 2;
    const int frequencyHalf = (frequencyThumb.bottom - frequencyThumb.top) / 2;
    if (strcmp(name, "SLD_VOLUMEUP") == 0) {
        DragThumb(window, volumeThumb, volumeThumb.top - volumeHalf);
    } else if (strcmp(name, "SLD_VOLUMEDOWN") == 0) {
        DragThumb(window, volumeThumb, volumeThumb.bottom + volumeHalf);
    } else if (strcmp(name, "SLD_FREQUENCYUP") == 0) {
        DragThumb(window, frequencyThumb, frequencyThumb.top - frequencyHalf);
    } else if (strcmp(name, "SLD_FREQUENCYDOWN") == 0) {
        DragThumb(window, frequencyThumb, frequencyThumb.bottom + frequencyHalf);
    } else {
        // The time buttons act on the digits chosen first: minutes at
        // (28, 80), seconds at (50, 80).
        const struct {
            const char* name;
            int x;
            const char* button;
        } timeActions[] = {{"BTN_MINUTEINC", 28, "BTN_TIMEINC"}, {"BTN_MINUTEDEC", 28, "BTN_TIMEDEC"},
                           {"BTN_SECONDINC", 50, "BTN_TIMEINC"}, {"BTN_SECONDDEC", 50, "BTN_TIMEDEC"}};
        for (const auto& action : timeActions) {
            if (strcmp(name, action.name) != 0) continue;
            PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(window, action.x, 80));
            name = action.button;
            break;
        }
        const int index = FindControlName(name);
        if (index >= 0) ClickControl(window, 1000 + index);
    }
    return 1;
}

bool HotKeyScript::GetKeyTexts(const char* name, char* out, size_t size) const {
    if (!out || size == 0) return false;
    out[0] = '\0';
    if (!IsEnabled()) return false;
    return document.GetAllTexts(name, out, size);
}
