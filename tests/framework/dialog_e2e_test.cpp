// A dialog from a resource template, written on the framework (CDialog,
// control wrappers bound with DDX_Control, a message map), run with DoModal
// and driven by real mouse clicks and key strokes on the display.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "bench.h"
#include "framework/Framework.h"

namespace {

constexpr UINT kTemplate = 100;
constexpr int IDC_NAME = 1001, IDC_GO = 1002, IDC_STATUS = 1004, IDC_FINISH = 1005;
constexpr int kFinished = 42;

class CNameDlg : public CDialog {
public:
    explicit CNameDlg(CWnd* parent = nullptr) : CDialog(kTemplate, parent) {}

    CString m_name;        // what OK took from the box
    CString m_initial;     // what the box starts with
    int goClicks = 0;
    int nameChanges = 0;
    int nameCommands = 0;  // must stay 0: EN_CHANGE is no command
    HWND ownerSeen = nullptr;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        CDialog::DoDataExchange(dx);
        DDX_Control(dx, IDC_NAME, m_edit);
        DDX_Control(dx, IDC_STATUS, m_status);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_edit.SetWindowText(m_initial);
        m_edit.SetLimitText(40);
        nameChanges = 0;
        ownerSeen = ::GetWindow(m_hWnd, GW_OWNER);
        return TRUE;
    }
    void OnOK() override {
        m_edit.GetWindowText(m_name);
        CDialog::OnOK();
    }
    afx_msg void OnGo() {
        ++goClicks;
        CString text;
        text.Format("Go pressed %d time%s", goClicks, goClicks == 1 ? "" : "s");
        m_status.SetWindowText(text);
    }
    afx_msg void OnFinish() { EndDialog(kFinished); }
    afx_msg void OnNameChange() { ++nameChanges; }
    afx_msg void OnNameCommand() { ++nameCommands; }

    CEdit m_edit;
    CStatic m_status;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNameDlg, CDialog)
    ON_BN_CLICKED(IDC_GO, OnGo)
    ON_COMMAND(IDC_FINISH, OnFinish)
    ON_EN_CHANGE(IDC_NAME, OnNameChange)
    ON_COMMAND(IDC_NAME, OnNameCommand)
END_MESSAGE_MAP()

// Runs `drive` on a thread of its own while DoModal runs its loop here.
INT_PTR RunDriven(CNameDlg& dlg, const std::function<void(HWND)>& drive) {
    std::atomic<bool> done{false};
    std::thread driver([&] {
        HWND w = nullptr;
        for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 60000; Sleep(20))
            if ((w = FindWindowA("#32770", "Framework Dialog")) && IsWindowVisible(w)) break;
        if (w) {
            Sleep(150);
            drive(w);
            // A dialog the input did not end is cancelled, so the test fails
            // on its result instead of hanging.
            for (DWORD t0 = GetTickCount(); IsWindow(w) && GetTickCount() - t0 < 3000;) Sleep(20);
            if (IsWindow(w)) {
                bench::Screenshot("stuck");
                PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
            }
        }
        done = true;
    });
    INT_PTR result = dlg.DoModal();
    driver.join();
    return result;
}

POINT Centre(HWND dialog, int id) {
    RECT r;
    GetWindowRect(GetDlgItem(dialog, id), &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void ClickItem(HWND dialog, int id) {
    POINT p = Centre(dialog, id);
    bench::Click(p.x, p.y);
}

void TypeText(const char* text) {
    for (const char* c = text; *c; ++c) {
        SHORT vk = VkKeyScanA(*c);
        bench::KeyPress(LOBYTE(vk), false, (HIBYTE(vk) & 1) != 0);
    }
}

std::string ItemText(HWND dialog, int id) {
    char text[256] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

}  // namespace

// How the dialog ends: the OK and Cancel buttons clicked, Enter and Escape
// pressed, the window closed; each gives its result, and only OK keeps
// what was typed.
TEST(FrameworkDialog, OkCancelEnterEscapeAndCloseEndItWithTheirResults) {
    struct Case {
        const char* name;
        std::function<void(HWND)> end;
        INT_PTR result;
    } cases[] = {
        {"OK button", [](HWND w) { ClickItem(w, IDOK); }, IDOK},
        {"Cancel button", [](HWND w) { ClickItem(w, IDCANCEL); }, IDCANCEL},
        {"Enter key", [](HWND) { bench::KeyPress(VK_RETURN); }, IDOK},
        {"Escape key", [](HWND) { bench::KeyPress(VK_ESCAPE); }, IDCANCEL},
        {"Alt+F4", [](HWND) { bench::KeyPress(VK_F4, false, false, true); }, IDCANCEL},
    };
    for (const Case& c : cases) {
        CNameDlg dlg;
        dlg.m_initial = "Take";
        std::string shown;
        INT_PTR result = RunDriven(dlg, [&](HWND w) {
            ClickItem(w, IDC_NAME);
            bench::KeyPress(VK_END);
            TypeText(" two");
            shown = ItemText(w, IDC_NAME);
            c.end(w);
        });
        EXPECT_EQ(c.result, result) << c.name;
        EXPECT_EQ("Take two", shown) << c.name;
        EXPECT_EQ(c.result == IDOK ? "Take two" : "", std::string(dlg.m_name)) << c.name;
        EXPECT_EQ(4, dlg.nameChanges) << c.name << ": one EN_CHANGE per typed character";
        EXPECT_EQ(0, dlg.nameCommands) << c.name << ": a notification is not a command";
        EXPECT_EQ(nullptr, dlg.m_hWnd) << c.name;
    }
}

// A button's click reaches its handler through the message map (twice,
// the handler updates a bound control); a handler's own EndDialog value is
// what DoModal returns; the owner is disabled while the dialog runs and
// enabled afterwards.
TEST(FrameworkDialog, ButtonHandlersRunAndChooseTheResult) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 400, 300, 200,
                               nullptr, nullptr));
    CNameDlg dlg(&owner);
    std::string status, shot;
    bool ownerEnabledInside = true;
    INT_PTR result = RunDriven(dlg, [&](HWND w) {
        ownerEnabledInside = owner.IsWindowEnabled() != FALSE;
        ClickItem(w, IDC_GO);
        ClickItem(w, IDC_GO);
        Sleep(100);
        status = ItemText(w, IDC_STATUS);
        shot = bench::Screenshot("framework-dialog", w);
        // Alt+F is the Finish button's mnemonic.
        bench::KeyPress('F', false, false, true);
    });
    EXPECT_EQ(kFinished, result);
    EXPECT_EQ(2, dlg.goClicks);
    EXPECT_EQ("Go pressed 2 times", status);
    EXPECT_FALSE(shot.empty());
    EXPECT_EQ(owner.m_hWnd, dlg.ownerSeen);
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_TRUE(owner.IsWindowEnabled());
    owner.DestroyWindow();
}

// The edit's limit and text: a long typed name is held to the limit the
// dialog set, and what comes back is exactly what the box shows.
TEST(FrameworkDialog, EditTextComesBackWithinItsLimit) {
    CNameDlg dlg;
    std::string shown;
    INT_PTR result = RunDriven(dlg, [&](HWND w) {
        ClickItem(w, IDC_NAME);
        TypeText("a name typed well past the forty characters the box takes");
        shown = ItemText(w, IDC_NAME);
        ClickItem(w, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(40u, shown.size());
    EXPECT_EQ(shown, std::string(dlg.m_name));
}
