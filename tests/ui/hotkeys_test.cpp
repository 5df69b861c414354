// Hot keys on a real window with a child for every control identifier: key
// messages with the modifier state set through SetKeyboardState, the
// clicks and drags they post read back from the children's and the
// window's own message log.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ui/HotKeyScript.h"

namespace {

struct Posted {
    int id;  // control identifier, 0 for the main window
    UINT message;
    int x, y;
};
std::vector<Posted> g_log;

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_MOUSEMOVE) {
        int id = (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) ? GetDlgCtrlID(hwnd) : 0;
        g_log.push_back({id, message, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

class HotKeyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ProbeProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "HotKeyProbe";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        RegisterClassA(&wc);
    }
    void SetUp() override {
        window_ = CreateWindowExA(0, "HotKeyProbe", "hot keys", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        for (int i = 0; i < ControlNameCount; ++i)
            CreateWindowExA(0, "HotKeyProbe", "", WS_CHILD | WS_VISIBLE, (i % 40) * 12, 200 + (i / 40) * 12, 10, 10,
                            window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(1000 + i)),
                            GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(window_);
        SetFocus(window_);
        Pump();
        g_log.clear();
        SetModifiers(false, false, false);
    }
    void TearDown() override {
        SetModifiers(false, false, false);
        DestroyWindow(window_);
        Pump();
    }

    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    static void SetModifiers(bool ctrl, bool shift, bool alt) {
        BYTE state[256];
        GetKeyboardState(state);
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        state[VK_MENU] = alt ? 0x80 : 0;
        SetKeyboardState(state);
    }
    // One key press through the script; returns the result and fills the
    // log of what it posted.
    int Press(int code, bool ctrl = false, bool shift = false, bool alt = false, const char* section = "FRONTFACE",
              bool repeat = false, UINT message = WM_KEYDOWN, bool* matched = nullptr, bool act = true) {
        SetModifiers(ctrl, shift, alt);
        g_log.clear();
        MSG msg = {};
        msg.hwnd = GetFocus() ? GetFocus() : window_;
        msg.message = message;
        msg.wParam = code;
        msg.lParam = repeat ? (1L << 30) | 1 : 1;
        int result = script_.ParseHotKey(window_, msg, section, volumeThumb_, frequencyThumb_, matched, act);
        Pump();
        SetModifiers(false, false, false);
        return result;
    }
    // The control identifiers that received a full click, in order.
    static std::vector<int> Clicks() {
        std::vector<int> ids;
        for (size_t i = 0; i + 1 < g_log.size(); ++i)
            if (g_log[i].id && g_log[i].message == WM_LBUTTONDOWN && g_log[i + 1].id == g_log[i].id &&
                g_log[i + 1].message == WM_LBUTTONUP)
                ids.push_back(g_log[i].id);
        return ids;
    }
    std::string WriteHotKeyFile(const std::string& body) {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        char folder[MAX_PATH];
        snprintf(folder, sizeof folder, "%sbrindle-hotkeys-%lu\\", temp, GetCurrentProcessId());
        CreateDirectoryA(folder, nullptr);
        std::string path = std::string(folder) + "HotKey.XML";
        FILE* f = fopen(path.c_str(), "wb");
        if (f) {
            fputs(("<?xml version=\"1.0\"?><VOLMARK><HOTKEYSCRIPT>" + body + "</HOTKEYSCRIPT></VOLMARK>").c_str(), f);
            fclose(f);
        }
        folder_ = folder;
        return folder;
    }
    void RemoveHotKeyFile() {
        if (folder_.empty()) return;
        DeleteFileA((folder_ + "HotKey.XML").c_str());
        RemoveDirectoryA(folder_.c_str());
    }

    HWND window_ = nullptr;
    HotKeyScript script_;
    RECT volumeThumb_ = {500, 40, 520, 60};
    RECT frequencyThumb_ = {540, 2, 560, 12};
    std::string folder_;
};

// Reads a combination text back into a key and its modifiers.
bool ParseCombination(const char* text, int* code, bool* ctrl, bool* shift, bool* alt) {
    *ctrl = *shift = *alt = false;
    const char* p = text;
    if (!strncmp(p, "CTRL+", 5)) *ctrl = true, p += 5;
    if (!strncmp(p, "SHIFT+", 6)) *shift = true, p += 6;
    if (!strncmp(p, "ALT+", 4)) *alt = true, p += 4;
    for (const HotKeyName& k : HotKeyNameTable)
        if (!strcmp(k.name, p)) return *code = k.code, true;
    return false;
}

TEST(HotKeyNameTable, NamesAndCodes) {
    const struct {
        int code;
        const char* name;
    } rows[] = {{8, "BACKSPACE"}, {13, "ENTER"}, {27, "ESC"}, {32, "SPACEBAR"}, {38, "UPARROW"},
                {47, "HELP"}, {48, "0"}, {57, "9"}, {65, "A"}, {90, "Z"}, {95, "SLEEP"}, {96, "NUMPAD0"},
                {111, "DIVIDE"}, {112, "F1"}, {135, "F24"}, {145, "SCROLLLOCK"}, {165, "RIGHTMENU"}};
    for (const auto& r : rows) EXPECT_STREQ(FindHotKeyName(r.code), r.name) << r.code;
    EXPECT_EQ(FindHotKeyName(0xBA), nullptr);
    EXPECT_EQ(FindHotKeyName(91), nullptr);
    for (int i = 1; i < HotKeyNameCount; ++i) EXPECT_LT(HotKeyNameTable[i - 1].code, HotKeyNameTable[i].code) << i;
}

TEST_F(HotKeyTest, EveryBuiltInBindingClicksItsControl) {
    ASSERT_TRUE(script_.document.IsBuiltIn());
    const char* sections[] = {"FRONTFACE", "BACKFACE"};
    int checked = 0;
    for (const char* section : sections) {
        const int count = script_.document.Count(section);
        ASSERT_GT(count, 0) << section;
        std::vector<std::string> seen;
        for (int n = 0; n < count; ++n) {
            char name[200], text[200];
            ASSERT_TRUE(script_.document.GetNth(section, n, name, text));
            int code;
            bool ctrl, shift, alt;
            ASSERT_TRUE(ParseCombination(text, &code, &ctrl, &shift, &alt)) << text;
            bool duplicate = false;
            for (const std::string& s : seen) duplicate |= s == text;
            seen.push_back(text);
            if (duplicate || !strncmp(name, "SLD_", 4) || strstr(name, "MINUTE") || strstr(name, "SECOND")) continue;
            bool matched = false;
            const int result = Press(code, ctrl, shift, alt, section, false, WM_KEYDOWN, &matched);
            EXPECT_EQ(result, (code == VK_RETURN || code == VK_ESCAPE) ? 0 : 1) << text;
            EXPECT_TRUE(matched) << text;
            ASSERT_GE(FindControlName(name), 0) << name;
            EXPECT_EQ(Clicks(), std::vector<int>{1000 + FindControlName(name)}) << section << " " << text;
            ++checked;
        }
    }
    EXPECT_EQ(script_.document.Count("FRONTFACE"), 61);
    EXPECT_EQ(script_.document.Count("BACKFACE"), 7);
    EXPECT_EQ(checked, 61 + 7 - 2 - 8) << "all but the two repeated texts and the eight area actions";
    // The two texts bound twice: the first element in document order wins.
    Press('S', true, false, true);
    EXPECT_EQ(Clicks(), std::vector<int>{1060}) << "CTRL+ALT+S is BTN_STEREO, not BTN_DEVICE";
    Press('E', true);
    EXPECT_EQ(Clicks(), std::vector<int>{1005}) << "CTRL+E is BTN_EJECT, not BTN_EDITID3TAG";
}

TEST_F(HotKeyTest, ResultsAndWhatActs) {
    const struct {
        const char* label;
        int code;
        bool ctrl, shift, alt;
        const char* section;
        bool repeat;
        UINT message;
        int result;
        std::vector<int> clicks;
    } cases[] = {
        {"F8", VK_F8, false, false, false, "FRONTFACE", false, WM_KEYDOWN, 1, {1000}},
        {"Enter", VK_RETURN, false, false, false, "FRONTFACE", false, WM_KEYDOWN, 0, {1000}},
        {"Esc", VK_ESCAPE, false, false, false, "FRONTFACE", false, WM_KEYDOWN, 0, {1004}},
        {"CTRL+S", 'S', true, false, false, "FRONTFACE", false, WM_KEYDOWN, 1, {1004}},
        {"Ctrl alone", VK_CONTROL, true, false, false, "FRONTFACE", false, WM_KEYDOWN, 1, {}},
        {"Shift alone", VK_SHIFT, false, true, false, "FRONTFACE", false, WM_KEYDOWN, 1, {}},
        {"key up", VK_F8, false, false, false, "FRONTFACE", false, WM_KEYUP, 0, {}},
        {"system key", VK_F10, false, false, true, "FRONTFACE", false, WM_SYSKEYDOWN, 0, {}},
        {"unbound", 'Q', false, false, false, "FRONTFACE", false, WM_KEYDOWN, 1, {}},
        {"not a named key", 0xBA, false, false, false, "FRONTFACE", false, WM_KEYDOWN, 1, {}},
        {"front binding on the back face", VK_F8, false, false, false, "BACKFACE", false, WM_KEYDOWN, 1, {}},
        {"back face OK", 'O', true, true, true, "BACKFACE", false, WM_KEYDOWN, 1, {1032}},
        {"held F8 repeats", VK_F8, false, false, false, "FRONTFACE", true, WM_KEYDOWN, 1, {}},
        {"CTRL+SHIFT+H", 'H', true, true, false, "FRONTFACE", false, WM_KEYDOWN, 1, {1007}},
        {"unknown section", VK_F8, false, false, false, "SIDEFACE", false, WM_KEYDOWN, 1, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Press(c.code, c.ctrl, c.shift, c.alt, c.section, c.repeat, c.message), c.result) << c.label;
        EXPECT_EQ(Clicks(), c.clicks) << c.label;
    }
    // Asked a second time from the window procedure: same answer, no click.
    bool matched = false;
    EXPECT_EQ(Press(VK_F8, false, false, false, "FRONTFACE", false, WM_KEYDOWN, &matched, false), 1);
    EXPECT_TRUE(matched);
    EXPECT_TRUE(g_log.empty());
    Press(VK_F8, false, false, false, "FRONTFACE", true, WM_KEYDOWN, &matched);
    EXPECT_TRUE(matched) << "a held key is still swallowed";
    Press('Q', false, false, false, "FRONTFACE", false, WM_KEYDOWN, &matched);
    EXPECT_FALSE(matched);
}

TEST_F(HotKeyTest, HiddenDisabledAndEditFocusedControlsAreLeftAlone) {
    HWND record = GetDlgItem(window_, 1000);
    EnableWindow(record, FALSE);
    Press(VK_F8);
    EXPECT_TRUE(Clicks().empty()) << "disabled";
    EnableWindow(record, TRUE);
    ShowWindow(record, SW_HIDE);
    Press(VK_F8);
    EXPECT_TRUE(Clicks().empty()) << "hidden";
    ShowWindow(record, SW_SHOW);
    Press(VK_F8);
    EXPECT_EQ(Clicks(), std::vector<int>{1000});

    HWND edit = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200, 20, window_,
                                reinterpret_cast<HMENU>(5000), GetModuleHandleA(nullptr), nullptr);
    SetFocus(edit);
    ASSERT_EQ(GetFocus(), edit);
    const struct {
        const char* label;
        int code;
        bool ctrl, shift;
        int result;
        std::vector<int> clicks;
    } typing[] = {
        {"Enter in the box", VK_RETURN, false, false, 0, {}},
        {"Space in the box", VK_SPACE, false, false, 1, {}},
        {"Shift+B in the box", 'B', false, true, 1, {}},
        {"F8 in the box", VK_F8, false, false, 1, {}},
        {"CTRL+S in the box", 'S', true, false, 1, {1004}},
    };
    for (const auto& t : typing) {
        EXPECT_EQ(Press(t.code, t.ctrl, t.shift), t.result) << t.label;
        EXPECT_EQ(Clicks(), t.clicks) << t.label;
    }
    DestroyWindow(edit);
}

TEST_F(HotKeyTest, SliderAndTimeActionsPostInsideTheClientArea) {
    // Volume thumb in the middle: a drag of half its height up and down.
    Press(VK_UP, true);
    ASSERT_EQ(g_log.size(), 3u);
    const Posted up[] = {{0, WM_LBUTTONDOWN, 502, 42}, {0, WM_MOUSEMOVE, 502, 30}, {0, WM_LBUTTONUP, 502, 42}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(g_log[i].message, up[i].message) << i;
        EXPECT_EQ(g_log[i].x, up[i].x) << i;
        EXPECT_EQ(g_log[i].y, up[i].y) << i;
    }
    Press(VK_DOWN, true);
    ASSERT_EQ(g_log.size(), 3u);
    EXPECT_EQ(g_log[1].y, 70);
    // A held slider key keeps stepping.
    Press(VK_DOWN, true, false, false, "FRONTFACE", true);
    EXPECT_EQ(g_log.size(), 3u);
    // The frequency thumb sits at the top: the drag stops at the edge
    // instead of wrapping to y = 65533.
    Press(VK_UP, false, true);
    ASSERT_EQ(g_log.size(), 3u);
    EXPECT_EQ(g_log[1].y, 0);
    EXPECT_EQ(g_log[0].y, 4);
    // A thumb below the client area is pulled in as well.
    RECT client;
    GetClientRect(window_, &client);
    frequencyThumb_ = {540, client.bottom - 4, 560, client.bottom + 20};
    Press(VK_DOWN, false, true);
    ASSERT_EQ(g_log.size(), 3u);
    for (const Posted& p : g_log) EXPECT_LT(p.y, client.bottom);

    // Minutes: a press on the minute digits, then the increase button.
    Press(VK_F1, true, false, true);
    ASSERT_EQ(g_log.size(), 3u);
    EXPECT_EQ(g_log[0].id, 0);
    EXPECT_EQ(g_log[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(g_log[0].x, 28);
    EXPECT_EQ(g_log[0].y, 80);
    EXPECT_EQ(Clicks(), std::vector<int>{1015});
    Press(VK_F4, true, false, true);
    EXPECT_EQ(g_log[0].x, 50);
    EXPECT_EQ(Clicks(), std::vector<int>{1016});
}

TEST_F(HotKeyTest, UserFileBindingsAndMalformedCombinations) {
    const std::string folder = WriteHotKeyFile(
        "<ENABLEHOTKEY>YES</ENABLEHOTKEY><FRONTFACE>"
        "<NA>F2</NA>"                      // no control: nothing happens
        "<BTN_PLAY>SHIFT+CTRL+P</BTN_PLAY>"  // wrong order: never matches
        "<BTN_PAUSE>ctrl+u</BTN_PAUSE>"      // lower case: never matches
        "<BTN_STOP>CTRL+</BTN_STOP>"
        "<BTN_EJECT>NOSUCHKEY</BTN_EJECT>"
        "<BTN_RECORD>\tF3 </BTN_RECORD>"  // blanks around are cleaned away
        "<BTN_HELP>" + std::string(300, 'X') + "</BTN_HELP>"
        "<NOT_A_CONTROL>F4</NOT_A_CONTROL>"
        "<BTN_DETECT>F4</BTN_DETECT>"  // an unknown name earlier takes the key
        "<BTN_MUSICSET>ALT+M</BTN_MUSICSET>"
        "</FRONTFACE>");
    EXPECT_TRUE(script_.Load(folder.c_str()));
    const struct {
        const char* label;
        int code;
        bool ctrl, shift, alt;
        std::vector<int> clicks;
    } cases[] = {
        {"NA", VK_F2, false, false, false, {}},
        {"CTRL+SHIFT+P", 'P', true, true, false, {}},
        {"CTRL+U", 'U', true, false, false, {}},
        {"F3", VK_F3, false, false, false, {1000}},
        {"F4", VK_F4, false, false, false, {}},
        {"F8 (not bound in this file)", VK_F8, false, false, false, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Press(c.code, c.ctrl, c.shift, c.alt), 1) << c.label;
        EXPECT_EQ(Clicks(), c.clicks) << c.label;
    }
    char keys[100];
    EXPECT_TRUE(script_.GetKeyTexts("BTN_RECORD", keys));
    EXPECT_STREQ(keys, "F3");
    EXPECT_TRUE(script_.GetKeyTexts("BTN_HELP", keys));
    EXPECT_EQ(std::string(keys), std::string(99, 'X'));
    RemoveHotKeyFile();

    // Switched off: nothing acts, results stay, no key texts.
    const std::string off = WriteHotKeyFile("<ENABLEHOTKEY>NO</ENABLEHOTKEY><FRONTFACE><BTN_RECORD>F8</BTN_RECORD>"
                                            "<BTN_STOP>ENTER</BTN_STOP></FRONTFACE>");
    ASSERT_TRUE(script_.Load(off.c_str()));
    EXPECT_FALSE(script_.IsEnabled());
    EXPECT_EQ(Press(VK_F8), 1);
    EXPECT_EQ(Press(VK_RETURN), 0);
    EXPECT_TRUE(g_log.empty());
    EXPECT_FALSE(script_.GetKeyTexts("BTN_RECORD", keys));
    EXPECT_STREQ(keys, "");
    RemoveHotKeyFile();

    // No file: the built-in bindings.
    EXPECT_FALSE(script_.Load(folder.c_str()));
    EXPECT_TRUE(script_.document.IsBuiltIn());
    EXPECT_TRUE(script_.IsEnabled());
    EXPECT_TRUE(script_.GetKeyTexts("BTN_STOP", keys));
    EXPECT_STREQ(keys, "F5,ESC,CTRL+S");
    EXPECT_TRUE(script_.GetKeyTexts("BTN_DEVICE", keys));
    EXPECT_STREQ(keys, "CTRL+ALT+S");
    EXPECT_FALSE(script_.GetKeyTexts("BTN_WAV", keys));
    Press(VK_F8);
    EXPECT_EQ(Clicks(), std::vector<int>{1000});
}

}  // namespace
