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

HWND WaitForWindow(const char* cls, const char* title, DWORD ms = 60000) {
    HWND w = nullptr;
    DWORD start = GetTickCount();
    while (!(w = FindWindowA(cls, title)) || !IsWindowVisible(w)) {
        if (GetTickCount() - start > ms) return nullptr;
        Sleep(20);
    }
    return w;
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
        if (HWND box = bench::WaitForOwnedDialog(dialog, 100)) PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
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

// The folder dialog is ready for the user once selecting its initial folder
// has walked the tree down to it and put the folder into the box; a click or
// key before that lands on a dialog still filling itself.
std::string WaitForShownFolder(CPathDialog& dlg) {
    std::string shown;
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 30000; Sleep(50))
        if (!(shown = bench::WindowText(dlg.GetEditBox())).empty()) break;
    return shown;
}

// A message box answered: the dialog under it has its turn again.
void WaitGone(HWND box) {
    for (DWORD t0 = GetTickCount(); IsWindow(box) && GetTickCount() - t0 < 30000;) Sleep(50);
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
        bench::WithDriver(
            [&] {
                bench::RightClick(Centre(icon).x, Centre(icon).y);
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
        bench::WithDriver(
            [&] {
                HWND w = WaitForWindow("#32770", "Select a Folder");
                if (!w) return EnsureClosed(nullptr);
                shown = WaitForShownFolder(dlg);
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
        bench::WithDriver(
            [&] {
                HWND w = WaitForWindow("#32770", "Select a Folder");
                if (!w) return EnsureClosed(nullptr);
                WaitForShownFolder(dlg);
                POINT p = Centre(dlg.GetEditBox());
                bench::Click(p.x, p.y);
                bench::KeyPress(VK_END);
                bench::KeyPress(VK_HOME, false, true);
                bench::KeyPress(VK_DELETE);
                bench::TypeText(typed + "\\");  // one trailing backslash is dropped
                bench::Screenshot("folder-typed", w);
                bench::KeyPress(VK_RETURN);
                HWND box = bench::WaitForOwnedDialog(w);
                if (!box) return EnsureClosed(w);
                question = bench::MessageBoxText(box);
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
    bench::WithDriver(
        [&] {
            HWND w = WaitForWindow("#32770", "Select a Folder");
            if (!w) return EnsureClosed(nullptr);
            WaitForShownFolder(dlg);
            HWND edit = dlg.GetEditBox();
            POINT p = Centre(edit);
            bench::Click(p.x, p.y);
            bench::KeyPress(VK_END);
            bench::TypeText("\\bad<name");
            bench::KeyPress(VK_RETURN);
            HWND box = bench::WaitForOwnedDialog(w);
            if (!box) return EnsureClosed(w);
            invalid = bench::MessageBoxText(box);
            bench::Screenshot("folder-invalid", box);
            bench::KeyPress(VK_RETURN);
            WaitGone(box);
            openAfterInvalid = IsWindowVisible(w) != FALSE;

            SetWindowTextA(edit, "");
            bench::Click(p.x, p.y);
            bench::TypeText(missing);
            bench::KeyPress(VK_RETURN);
            box = bench::WaitForOwnedDialog(w);
            if (!box) return EnsureClosed(w);
            declined = bench::MessageBoxText(box);
            bench::KeyPress('N');
            WaitGone(box);
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
