// The tray icon in Wine's system tray and the folder dialog, both driven
// by real input on the display.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "bench.h"
#include "ui/PathDialog.h"
#include "ui/TrayIcon.h"

namespace {

const UINT kTrayNotify = WM_APP + 100;
const UINT kCmdRestore = 32771, kCmdExit = 32772;
const char kLongTip[] =
    "Brindle records what you hear: this tip is far longer than the notification area can hold, so the "
    "icon keeps its first hundred and twenty-seven characters and drops the rest of this sentence here.";

// The window that owns the icon, as the main window does: forwards the
// callback and the shell's restart message and records its commands.
class Owner {
public:
    Owner() {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA wc{};
            wc.lpfnWndProc = &Owner::Proc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
            wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
            wc.lpszClassName = "BrindleTrayOwner";
            RegisterClassA(&wc);
            registered = true;
        }
        hwnd = CreateWindowExA(0, "BrindleTrayOwner", "Brindle", WS_OVERLAPPEDWINDOW, 400, 300, 300, 120,
                               nullptr, nullptr, GetModuleHandleA(nullptr), this);
        tray.m_tnd.hWnd = hwnd;
        tray.m_tnd.uID = 128;
        tray.m_tnd.uCallbackMessage = kTrayNotify;
        tray.m_menu.LoadMenu(140);
        tray.m_checkFlag = &startWithWindows;
    }
    ~Owner() { DestroyWindow(hwnd); }

    HWND hwnd = nullptr;
    CTrayIcon tray;
    bool startWithWindows = true;
    std::vector<UINT> commands;
    std::vector<LPARAM> notifications;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE) {
            auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        }
        auto* self = reinterpret_cast<Owner*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self && msg == kTrayNotify) {
            self->notifications.push_back(lp);
            return self->tray.OnTrayNotification(wp, lp);
        }
        if (self && msg == CTrayIcon::TaskbarCreatedMessage()) {
            self->tray.OnTaskbarCreated();
            return 0;
        }
        if (self && msg == WM_COMMAND) {
            self->commands.push_back(LOWORD(wp));
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
};

// Wine draws the tray as a window of its own when no desktop tray exists;
// each icon is a child of it.
HWND TrayIconWindow() {
    HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
    if (!tray || !IsWindowVisible(tray)) return nullptr;
    return FindWindowExA(tray, nullptr, "__winex11_tray_icon", nullptr);
}

POINT Centre(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void RightClick(POINT p) {
    bench::MouseMove(p.x, p.y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(1, &in[0], sizeof(INPUT));
    Sleep(30);
    SendInput(1, &in[1], sizeof(INPUT));
    Sleep(50);
}

// The text of the tooltip the tray shows while the pointer rests on the
// icon. The tray may live in another process (Wine's explorer), so the
// tooltip is asked for its text with WM_GETTEXT, which crosses processes.
std::string ShownTip(HWND icon) {
    bench::MouseMove(Centre(icon).x + 1, Centre(icon).y);
    bench::MouseMove(Centre(icon).x, Centre(icon).y);
    std::string text;
    bench::PumpUntil(
        [&] {
            for (HWND w = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); w;
                 w = FindWindowExA(nullptr, w, TOOLTIPS_CLASSA, nullptr)) {
                if (!IsWindowVisible(w)) continue;
                char buf[512] = "";
                DWORD_PTR got = 0;
                SendMessageTimeoutA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG,
                                    1000, &got);
                text = buf;
                if (!text.empty()) return true;
            }
            return false;
        },
        3000);
    return text;
}

// Runs `drive` on a thread of its own while this thread pumps (menus and
// dialogs run modal loops here).
void WithDriver(const std::function<void()>& drive, const std::function<void()>& here) {
    std::atomic<bool> done{false};
    std::thread driver([&] {
        drive();
        done = true;
    });
    here();
    bench::PumpUntil([&] { return done.load(); }, 20000);
    driver.join();
}

HWND WaitForWindow(const char* cls, const char* title, DWORD ms = 5000) {
    HWND w = nullptr;
    DWORD start = GetTickCount();
    while (!(w = FindWindowA(cls, title)) || !IsWindowVisible(w)) {
        if (GetTickCount() - start > ms) return nullptr;
        Sleep(20);
    }
    return w;
}

// Types text with real key strokes, all in one batch.
void TypeText(const std::string& text) {
    std::vector<INPUT> ins;
    auto key = [&](WORD vk, bool up) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        ins.push_back(in);
    };
    for (char c : text) {
        SHORT vk = VkKeyScanA(c);
        bool shift = (HIBYTE(vk) & 1) != 0;
        if (shift) key(VK_SHIFT, false);
        key(LOBYTE(vk), false);
        key(LOBYTE(vk), true);
        if (shift) key(VK_SHIFT, true);
    }
    SendInput(static_cast<UINT>(ins.size()), ins.data(), sizeof(INPUT));
    Sleep(100 + static_cast<DWORD>(text.size()) * 3);
}

std::string WindowText(HWND w) {
    char text[1024] = "";
    GetWindowTextA(w, text, sizeof text);
    return text;
}

// The text of a message box's message (its static with the most text).
std::string MessageBoxText(HWND box) {
    std::string best;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[32];
        GetClassNameA(c, cls, sizeof cls);
        std::string t = WindowText(c);
        if (_stricmp(cls, "Static") == 0 && t.size() > best.size()) best = t;
    }
    return best;
}

// A message box the dialog opened (a visible dialog owned by it).
HWND WaitForMessageBox(HWND dialog, DWORD ms = 5000) {
    struct Ctx {
        HWND dialog, found;
    } ctx{dialog, nullptr};
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        EnumThreadWindows(
            GetWindowThreadProcessId(dialog, nullptr),
            [](HWND w, LPARAM lp) __attribute__((stdcall)) -> BOOL {
                auto* c = reinterpret_cast<Ctx*>(lp);
                char cls[16];
                GetClassNameA(w, cls, sizeof cls);
                if (w != c->dialog && strcmp(cls, "#32770") == 0 && GetWindow(w, GW_OWNER) == c->dialog &&
                    IsWindowVisible(w)) {
                    c->found = w;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&ctx));
        if (ctx.found) {
            Sleep(200);
            return ctx.found;
        }
        Sleep(20);
    }
    return nullptr;
}

// Whatever the driver managed, the dialog must end: a stuck one is
// photographed and cancelled (the test then fails on its result instead of
// hanging).
void EnsureClosed(HWND dialog) {
    if (!dialog) dialog = FindWindowA("#32770", "Select a Folder");
    if (!dialog) return;
    DWORD start = GetTickCount();
    while (IsWindow(dialog) && GetTickCount() - start < 5000) Sleep(50);
    if (!IsWindow(dialog)) return;
    bench::Screenshot("stuck");
    for (int i = 0; i < 3; ++i)
        if (HWND box = WaitForMessageBox(dialog, 100)) PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

// A fresh folder under the prefix's temporary folder: the tree walks there
// through the prefix's quiet drive C:, not through a build tree that other
// programs change while the dialog reads it.
std::string TempScratch() {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char name[64];
    snprintf(name, sizeof name, "brindle-folder-%lu", GetCurrentProcessId());
    std::string dir = std::string(temp) + name;
    bench::Host("rm -rf '" + bench::UnixPath(dir) + "'");
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

// A real click on a dialog's control.
void ClickItem(HWND dialog, int id) {
    POINT p = Centre(GetDlgItem(dialog, id));
    bench::Click(p.x, p.y);
}

}  // namespace

// The icon appears in the tray with its tip, changes icon and tip, answers
// a real right click with its menu (first item default, 32774 checked by
// the owner's flag) whose clicked item reaches the owner, runs the first
// item on a double click, comes back after the shell restarts, and is gone
// when the object goes.
TEST(TrayIcon, AddChangeMenuDoubleClickAndRemove) {
    {
        Owner owner;
        EXPECT_EQ(TRUE, owner.tray.SetIcon(0)) << "nothing to remove";
        EXPECT_EQ(FALSE, owner.tray.SetIcon(131)) << "no icon 131: nothing shown";
        EXPECT_FALSE(owner.tray.IsShown());

        ASSERT_TRUE(owner.tray.SetIcon(128));
        HWND icon = nullptr;
        ASSERT_TRUE(bench::PumpUntil([&] { return (icon = TrayIconWindow()) != nullptr; }, 3000));
        EXPECT_STREQ("Brindle", owner.tray.m_tnd.szTip);
        EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE), owner.tray.m_tnd.cbSize);
        EXPECT_EQ("Brindle", ShownTip(icon));
        bench::MouseMove(600, 600);
        bench::Pump(300);

        ASSERT_TRUE(owner.tray.SetIcon(130));
        EXPECT_EQ(127u, strlen(owner.tray.m_tnd.szTip));
        EXPECT_EQ(0, strncmp(kLongTip, owner.tray.m_tnd.szTip, 127));
        EXPECT_EQ(icon, TrayIconWindow()) << "changed in place, not added twice";
        EXPECT_EQ(std::string(kLongTip, 127), ShownTip(icon));
        bench::Screenshot("tray-tip");

        // Right click: the menu opens at the pointer; a click on its second
        // item reaches the owner.
        CMenu* popup = owner.tray.m_menu.GetSubMenu(0);
        ASSERT_NE(nullptr, popup);
        UINT defaultItem = 0, checkState = 0;
        std::string menuShot;
        WithDriver(
            [&] {
                RightClick(Centre(icon));
                HWND menu = WaitForWindow("#32768", nullptr);
                if (!menu) return;
                Sleep(200);
                defaultItem = GetMenuDefaultItem(popup->m_hMenu, FALSE, 0);
                checkState = GetMenuState(popup->m_hMenu, kTrayCheckedCommand, MF_BYCOMMAND);
                menuShot = bench::Screenshot("tray-menu");
                RECT item{};
                if (GetMenuItemRect(nullptr, popup->m_hMenu, 1, &item)) {
                    bench::Click((item.left + item.right) / 2, (item.top + item.bottom) / 2);
                } else {
                    bench::KeyPress(VK_DOWN);
                    bench::KeyPress(VK_DOWN);
                    bench::KeyPress(VK_RETURN);
                }
            },
            [&] {
                bench::PumpUntil([&] { return !owner.commands.empty(); }, 8000);
            });
        bench::Pump(100);
        EXPECT_EQ(kCmdRestore, defaultItem) << "the first item is the default";
        EXPECT_TRUE(checkState & MF_CHECKED);
        ASSERT_EQ(1u, owner.commands.size()) << "notifications seen: " << owner.notifications.size();
        EXPECT_EQ(kTrayCheckedCommand, owner.commands[0]);
        EXPECT_EQ(nullptr, FindWindowA("#32768", nullptr)) << "the menu closed";

        // Double click: the first item's command.
        owner.commands.clear();
        bench::Click(Centre(icon).x, Centre(icon).y, true);
        EXPECT_TRUE(bench::PumpUntil([&] { return !owner.commands.empty(); }, 2000));
        ASSERT_EQ(1u, owner.commands.size());
        EXPECT_EQ(kCmdRestore, owner.commands[0]);

        // Under a modal window of the owner's, tray commands are refused and
        // the modal window is brought forward instead.
        owner.commands.clear();
        HWND modal = CreateWindowExA(0, "BrindleTrayOwner", "Settings", WS_POPUP | WS_CAPTION | WS_VISIBLE, 420,
                                     320, 200, 80, owner.hwnd, nullptr, GetModuleHandleA(nullptr), nullptr);
        EnableWindow(owner.hwnd, FALSE);
        SetForegroundWindow(owner.hwnd);
        bench::Click(Centre(icon).x, Centre(icon).y, true);
        bench::Pump(300);
        EXPECT_TRUE(owner.commands.empty());
        EnableWindow(owner.hwnd, TRUE);
        DestroyWindow(modal);

        // The shell lost its icons (it restarted): the broadcast brings ours back.
        NOTIFYICONDATAA gone = owner.tray.m_tnd;
        Shell_NotifyIconA(NIM_DELETE, &gone);
        EXPECT_TRUE(bench::PumpUntil([&] { return TrayIconWindow() == nullptr; }, 2000));
        SendMessageA(owner.hwnd, CTrayIcon::TaskbarCreatedMessage(), 0, 0);
        EXPECT_TRUE(bench::PumpUntil([&] { return TrayIconWindow() != nullptr; }, 2000));

        // An icon that cannot be loaded while one is shown removes it; a
        // later SetIcon adds it again.
        EXPECT_TRUE(owner.tray.SetIcon(131));
        EXPECT_FALSE(owner.tray.IsShown());
        EXPECT_TRUE(bench::PumpUntil([&] { return TrayIconWindow() == nullptr; }, 2000));
        ASSERT_TRUE(owner.tray.SetIcon(128));
        EXPECT_TRUE(bench::PumpUntil([&] { return TrayIconWindow() != nullptr; }, 2000));
    }
    // The owner and its icon object are gone: so is the icon.
    EXPECT_TRUE(bench::PumpUntil([&] { return TrayIconWindow() == nullptr; }, 2000));
}

// The folder dialog: the initial folder shows in the box and OK returns it;
// a typed folder that does not exist is created on Yes and returned.
TEST(PathDialog, ReturnsTheShownOrTypedFolderAndCreatesIt) {
    std::string root = TempScratch();
    std::string start = root + "\\Recordings";
    CreateDirectoryA(start.c_str(), nullptr);

    {
        CPathDialog dlg("Select a Folder", "Select a Folder", start.c_str());
        std::string shown, shot;
        WithDriver(
            [&] {
                HWND w = WaitForWindow("#32770", "Select a Folder");
                if (!w) return EnsureClosed(nullptr);
                // Selecting the initial folder walks the tree down to it.
                for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 5000; Sleep(50))
                    if (!(shown = WindowText(dlg.GetEditBox())).empty()) break;
                Sleep(200);
                shot = bench::Screenshot("folder-dialog", w);
                ClickItem(w, IDOK);
                EnsureClosed(w);
            },
            [&] { EXPECT_EQ(1, dlg.DoModal()); });
        EXPECT_FALSE(shot.empty());
        EXPECT_EQ(start, shown);
        EXPECT_EQ(start, std::string(dlg.GetPathName()));
    }

    {
        CPathDialog dlg("Select a Folder", "Select a Folder", start.c_str());
        std::string typed = start + "\\Live Sets\\2026";
        std::string question;
        WithDriver(
            [&] {
                HWND w = WaitForWindow("#32770", "Select a Folder");
                if (!w) return EnsureClosed(nullptr);
                Sleep(300);
                POINT p = Centre(dlg.GetEditBox());
                bench::Click(p.x, p.y);
                bench::KeyPress(VK_END);
                bench::KeyPress(VK_HOME, false, true);
                bench::KeyPress(VK_DELETE);
                TypeText(typed + "\\");  // one trailing backslash is dropped
                bench::Screenshot("folder-typed", w);
                bench::KeyPress(VK_RETURN);
                HWND box = WaitForMessageBox(w);
                if (!box) return EnsureClosed(w);
                question = MessageBoxText(box);
                bench::Screenshot("folder-create-question", box);
                bench::KeyPress('Y');
                EnsureClosed(w);
            },
            [&] { EXPECT_EQ(1, dlg.DoModal()); });
        EXPECT_NE(std::string::npos, question.find("does not exist. Do you want the folder to be created?"))
            << question;
        EXPECT_NE(std::string::npos, question.find(typed)) << question;
        EXPECT_EQ(typed, std::string(dlg.GetPathName()));
        DWORD attributes = GetFileAttributesA(typed.c_str());
        EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    }
}

// A typed folder with a '<' is answered with "is invalid" and the dialog
// stays; answering No to the creation question keeps it open too; Escape
// ends it with -1.
TEST(PathDialog, InvalidOrDeclinedFolderKeepsTheDialogOpen) {
    std::string root = TempScratch();
    CPathDialog dlg("Select a Folder", "Select a Folder", root.c_str());
    std::string invalid, declined;
    bool openAfterInvalid = false, openAfterNo = false;
    std::string missing = root + "\\Not Made";
    WithDriver(
        [&] {
            HWND w = WaitForWindow("#32770", "Select a Folder");
            if (!w) return EnsureClosed(nullptr);
            Sleep(300);
            HWND edit = dlg.GetEditBox();
            POINT p = Centre(edit);
            bench::Click(p.x, p.y);
            bench::KeyPress(VK_END);
            TypeText("\\bad<name");
            bench::KeyPress(VK_RETURN);
            HWND box = WaitForMessageBox(w);
            if (!box) return EnsureClosed(w);
            invalid = MessageBoxText(box);
            bench::Screenshot("folder-invalid", box);
            bench::KeyPress(VK_RETURN);
            Sleep(300);
            openAfterInvalid = IsWindowVisible(w) != FALSE;

            SetWindowTextA(edit, "");
            bench::Click(p.x, p.y);
            TypeText(missing);
            bench::KeyPress(VK_RETURN);
            box = WaitForMessageBox(w);
            if (!box) return EnsureClosed(w);
            declined = MessageBoxText(box);
            bench::KeyPress('N');
            Sleep(300);
            openAfterNo = IsWindowVisible(w) != FALSE;
            bench::KeyPress(VK_ESCAPE);
            EnsureClosed(w);
        },
        [&] { EXPECT_EQ(-1, dlg.DoModal()); });
    EXPECT_NE(std::string::npos, invalid.find("is invalid. Please reenter.")) << invalid;
    EXPECT_NE(std::string::npos, invalid.find("bad<name")) << invalid;
    EXPECT_TRUE(openAfterInvalid);
    EXPECT_NE(std::string::npos, declined.find("does not exist")) << declined;
    EXPECT_TRUE(openAfterNo);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(missing.c_str()));
}
