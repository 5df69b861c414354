// The upload dialog on the screen, driven by real input against the local
// stand-in service: the form filled from host information and cookie, the
// upload with its progress bar, the result page and its clipboard copy,
// the form check, and the failure messages that leave the dialog usable.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <thread>
#include <vector>

#include "sharing/ReplyText.h"
#include "sharing/UploadDlg.h"
#include "sharing/UploadDlgIds.h"
#include "control/SabletUploadIds.h"
#include "control/SabletUploadLayout.h"
#include "tests/sharing/service_standin.h"
#include "tests/support/bench.h"

using namespace sharing_test;

namespace {

std::string UniqueSite(const char* tag) {
    return std::string(tag) + "-" + std::to_string(GetCurrentProcessId()) + ".cantabel.test";
}

std::string MakeWav(size_t dataBytes) {
    std::string pcm(dataBytes, '\0');
    for (size_t i = 0; i < dataBytes; ++i) pcm[i] = static_cast<char>((i * 7) & 0xFF);
    return bench::WavBytes(44100, 2, pcm);
}

// Waits (on the driver thread) for a top-level dialog window with this
// caption.
HWND WaitForWindow(const char* caption, DWORD ms = 20000) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND w = FindWindowA("#32770", caption);
        if (w && IsWindowVisible(w)) return w;
        if (GetTickCount() - start > ms) return nullptr;
        Sleep(20);
    }
}

template <class Pred>
bool WaitFor(Pred pred, DWORD ms) {
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > ms) return pred();
        Sleep(20);
    }
    return true;
}

std::string Text(HWND w) {
    char text[8192] = "";
    GetWindowTextA(w, text, sizeof text);
    return text;
}

std::string ItemText(HWND dlg, int id) { return Text(GetDlgItem(dlg, id)); }

void ClickControl(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    bench::Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Sleep(80);
}

void ClickItem(HWND dlg, int id) { ClickControl(GetDlgItem(dlg, id)); }

// Types ASCII text with real key presses into the focused control.
void TypeText(const char* text) {
    for (const char* p = text; *p; ++p) {
        SHORT scan = VkKeyScanA(*p);
        bench::KeyPress(LOBYTE(scan), false, (HIBYTE(scan) & 1) != 0);
    }
    Sleep(80);
}

void ClickAndType(HWND dlg, int id, const char* text) {
    ClickItem(dlg, id);
    TypeText(text);
}

// The message box's text: the longest static text in it.
std::string MessageBoxText(HWND box) {
    std::string best;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[32] = "";
        GetClassNameA(child, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") == 0) {
            std::string t = Text(child);
            if (t.size() > best.size()) best = t;
        }
    }
    return best;
}

// Presses the message box's only button for real.
void CloseMessageBox(HWND box) {
    HWND ok = GetDlgItem(box, IDOK);
    if (!ok) ok = FindWindowExA(box, nullptr, "Button", nullptr);
    ClickControl(ok);
    WaitFor([&] { return !IsWindow(box); }, 3000);
    if (IsWindow(box)) PostMessageA(box, WM_COMMAND, IDOK, 0);
}

std::string ClipboardText() {
    std::string out;
    if (!OpenClipboard(nullptr)) return "<no clipboard>";
    if (HANDLE h = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(h))) {
            out = p;
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return out;
}

// Runs `drive` on a thread of its own while this thread runs the dialog
// (`run`); whatever happens, the dialog is closed at the end.
template <class Run, class Drive>
void WithDriverRunning(Run run, Drive drive) {
    std::thread driver(drive);
    run();
    // The dialog is gone; let the driver finish (it gives up on its own).
    driver.join();
}

template <class Drive>
void WithDriver(CUploadDlg& dlg, Drive drive) {
    WithDriverRunning([&] { dlg.StartUpload(); }, drive);
}

void EndDialogIfOpen() {
    if (HWND w = FindWindowA("#32770", "UpLoad")) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

// A full upload through the dialog: form filled from the service, typed in,
// uploaded with the bar at 100, the result page with the service's message
// (line ends made visible), the copy button, and on the next opening the
// remembered login with the next title number.
TEST(UploadDialog, UploadsShowsTheResultAndRemembersTheLogin) {
    IsolateUserRegistry();
    ServiceStandIn service("", UniqueSite("dlg"));
    ASSERT_TRUE(service.Ok());
    std::string wav = bench::ScratchDir() + "\\take.wav";
    ASSERT_TRUE(WriteFileBytes(wav, MakeWav(400000)));

    struct Seen {
        std::string site, title, category, result, clipboard, closeText;
        bool rememberChecked = true, emailEnabledBefore = true, emailEnabledAfter = false;
        bool uploadEnabledOnResult = true, uploadVisibleOnResult = true, formHidden = false;
        int progress = -1;
    } seen;
    CUploadDlg dlg;
    ASSERT_TRUE(dlg.SetFilePath(wav.c_str()));
    WithDriver(dlg, [&] {
        HWND w = WaitForWindow("UpLoad");
        if (!w) return;
        Sleep(300);
        seen.site = ItemText(w, IDC_UP_SITENAME);
        seen.title = ItemText(w, IDC_UP_TITLE);
        seen.category = ItemText(w, IDC_UP_CATEGORY);
        seen.rememberChecked = IsDlgButtonChecked(w, IDC_UP_REMEMBER) == BST_CHECKED;
        seen.emailEnabledBefore = IsWindowEnabled(GetDlgItem(w, IDC_UP_EMAIL)) != FALSE;
        ClickAndType(w, IDC_UP_USERNAME, "alice");
        ClickAndType(w, IDC_UP_PASSWORD, "secret");
        ClickItem(w, IDC_UP_REMEMBER);
        ClickItem(w, IDC_UP_SENDEMAIL);
        seen.emailEnabledAfter = IsWindowEnabled(GetDlgItem(w, IDC_UP_EMAIL)) != FALSE;
        ClickAndType(w, IDC_UP_EMAIL, "me@example.org");
        bench::Screenshot("upload-form", w);
        ClickItem(w, IDC_UP_UPLOAD);
        WaitFor([&] { return IsWindowVisible(GetDlgItem(w, IDC_UP_RESULT)) != FALSE; }, 30000);
        Sleep(200);
        seen.progress = static_cast<int>(SendDlgItemMessageA(w, IDC_UP_PROGRESS, PBM_GETPOS, 0, 0));
        seen.result = ItemText(w, IDC_UP_RESULT);
        seen.closeText = ItemText(w, IDCANCEL);
        seen.uploadEnabledOnResult = IsWindowEnabled(GetDlgItem(w, IDC_UP_UPLOAD)) != FALSE;
        seen.uploadVisibleOnResult = IsWindowVisible(GetDlgItem(w, IDC_UP_UPLOAD)) != FALSE;
        seen.formHidden = !IsWindowVisible(GetDlgItem(w, IDC_UP_USERNAME));
        bench::Screenshot("upload-result", w);
        ClickItem(w, IDC_UP_COPY);
        // The click is handled on the dialog's thread, which holds the
        // clipboard while it writes: read it once the text is there.
        WaitFor([&] { return (seen.clipboard = ClipboardText()) == seen.result; }, 10000);
        ClickItem(w, IDCANCEL);
        Sleep(300);
        EndDialogIfOpen();
    });
    EXPECT_EQ(seen.site, "Cantabel Test Site");
    EXPECT_EQ(seen.title, "Talk 0001");
    EXPECT_EQ(seen.category, "Talk");
    EXPECT_FALSE(seen.rememberChecked);
    EXPECT_FALSE(seen.emailEnabledBefore);
    EXPECT_TRUE(seen.emailEnabledAfter);
    EXPECT_EQ(seen.progress, 100);
    std::string fileId = std::to_string(dlg.FileID);
    std::string expected = "Your audio file is online.\r\nListen: http://" + service.Site() +
                           "/listen.php?id=" + fileId + "\r\nTitle: Talk 0001";
    EXPECT_EQ(seen.result, expected);
    EXPECT_EQ(seen.clipboard, expected);
    EXPECT_EQ(seen.closeText, "Close");
    EXPECT_FALSE(seen.uploadEnabledOnResult);
    EXPECT_FALSE(seen.uploadVisibleOnResult);
    EXPECT_TRUE(seen.formHidden);
    std::vector<LoggedRequest> details = service.Requests("details");
    ASSERT_EQ(details.size(), 1u);
    std::string form = service.Body(details[0].n);
    EXPECT_NE(form.find("&Title=Talk 0001&"), std::string::npos) << form;
    EXPECT_NE(form.find("&Category=7&"), std::string::npos) << form;
    EXPECT_NE(form.find("&EmailAddress=me@example.org&EmailContent="), std::string::npos) << form;
    std::vector<LoggedRequest> uploads = service.Requests("upload");
    ASSERT_EQ(uploads.size(), 1u);
    EXPECT_EQ(service.StoredFile(uploads[0].stored), ReadFileBytes(wav));

    // The next opening: the remembered login and the next number; "Create
    // account" hands the service's address to the browser (recorded here,
    // so no browser starts).
    CUploadDlg again;
    static std::string opened;
    CUploadDlg::SetBrowserOpener([](const char* address) { opened = address; });
    ASSERT_TRUE(again.SetFilePath(wav.c_str()));
    Seen next;
    std::string user, password;
    WithDriver(again, [&] {
        HWND w = WaitForWindow("UpLoad");
        if (!w) return;
        Sleep(300);
        user = ItemText(w, IDC_UP_USERNAME);
        password = ItemText(w, IDC_UP_PASSWORD);
        next.title = ItemText(w, IDC_UP_TITLE);
        next.rememberChecked = IsDlgButtonChecked(w, IDC_UP_REMEMBER) == BST_CHECKED;
        bench::Screenshot("upload-form-remembered", w);
        ClickItem(w, IDC_UP_CREATEACCOUNT);
        Sleep(300);
        ClickItem(w, IDCANCEL);
        Sleep(300);
        EndDialogIfOpen();
    });
    EXPECT_EQ(user, "alice");
    EXPECT_EQ(password, "secret");
    EXPECT_EQ(next.title, "Talk 0002");
    EXPECT_TRUE(next.rememberChecked);
    EXPECT_EQ(opened, "http://" + service.Site() + "/host/");
}

// The form check names every failed rule in one box; the service's refusal
// and a failed upload each end in their message, the failed one with a
// delete, and the dialog stays usable after each.
TEST(UploadDialog, FormCheckAndFailuresLeaveTheDialogUsable) {
    IsolateUserRegistry();
    struct Case {
        const char* options;
        const char* caption;
        const char* text;
        bool deletes;
    } cases[] = {
        {"--upload-answer null", "Upload failed", "Upload failed\n\n Please try again later", false},
        {"--fault upload=http500", "Velorin", "Upload failed\n\n Please try again later", true},
    };
    std::string wav = bench::ScratchDir() + "\\small.wav";
    ASSERT_TRUE(WriteFileBytes(wav, MakeWav(20000)));
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        ServiceStandIn service(c.options, UniqueSite(("fail" + std::to_string(index++)).c_str()));
        ASSERT_TRUE(service.Ok());
        std::string checkText, failText, checkShot;
        bool usable = false;
        CUploadDlg dlg;
        ASSERT_TRUE(dlg.SetFilePath(wav.c_str()));
        WithDriver(dlg, [&] {
            HWND w = WaitForWindow("UpLoad");
            if (!w) return;
            Sleep(300);
            // One character of user name and no title.
            ClickAndType(w, IDC_UP_USERNAME, "a");
            ClickAndType(w, IDC_UP_PASSWORD, "secret");
            SendDlgItemMessageA(w, IDC_UP_TITLE, EM_SETSEL, 0, -1);
            ClickItem(w, IDC_UP_TITLE);
            SendDlgItemMessageA(w, IDC_UP_TITLE, EM_SETSEL, 0, -1);
            bench::KeyPress(VK_DELETE);
            ClickItem(w, IDC_UP_UPLOAD);
            if (HWND box = WaitForWindow("Please input necessary information", 5000)) {
                checkText = MessageBoxText(box);
                if (index == 1) bench::Screenshot("form-check", nullptr);
                CloseMessageBox(box);
            }
            ClickAndType(w, IDC_UP_USERNAME, "lice");
            ClickAndType(w, IDC_UP_TITLE, "x");
            ClickItem(w, IDC_UP_UPLOAD);
            if (HWND box = WaitForWindow(c.caption, 30000)) {
                failText = MessageBoxText(box);
                CloseMessageBox(box);
            }
            WaitFor([&] { return IsWindowEnabled(GetDlgItem(w, IDC_UP_UPLOAD)) != FALSE; }, 3000);
            usable = IsWindowEnabled(GetDlgItem(w, IDC_UP_UPLOAD)) && IsWindowEnabled(GetDlgItem(w, IDCANCEL)) &&
                     IsWindowVisible(GetDlgItem(w, IDC_UP_USERNAME));
            ClickItem(w, IDCANCEL);
            Sleep(300);
            EndDialogIfOpen();
        });
        EXPECT_EQ(checkText, "User Name is not correct\nTitle cannot be empty\n");
        EXPECT_EQ(failText, c.text);
        EXPECT_TRUE(usable);
        EXPECT_EQ(service.Requests("login").size(), 1u);  // the form check sent nothing
        EXPECT_EQ(service.Requests("delete").size(), c.deletes ? 1u : 0u);
        EXPECT_TRUE(service.Requests("details").empty());
    }
}

// Before the dialog: a path too long for the dialog is refused without any
// request, and a service that does not answer gives its message.
TEST(UploadDialog, NoDialogWithoutFileOrService) {
    IsolateUserRegistry();
    ServiceStandIn service("--down www.cantabel.com --down www2.cantabel.com", UniqueSite("nodlg"));
    ASSERT_TRUE(service.Ok());
    struct Case {
        std::string path;
        const char* text;
        size_t requests;
    } cases[] = {
        {"C:\\" + std::string(300, 'a') + ".wav", "The file you want to upload is not exist\n\n Please try aother file", 0},
        {"C:\\short.wav", "Service not available!\n\nPlease check if you have internet connection and try later", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        size_t before = service.Requests().size();
        std::string text;
        CUploadDlg dlg;
        dlg.SetFilePath(c.path.c_str());
        WithDriver(dlg, [&] {
            if (HWND box = WaitForWindow("Velorin", 20000)) {
                text = MessageBoxText(box);
                CloseMessageBox(box);
            }
        });
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(service.Requests().size() - before, c.requests);
    }
}

// The web control's build of the dialog: its own template and ids, run
// straight from the control's host information (no ping, no request); the
// details form starts with the page's Option and EmbedTag, isPublic follows
// "Public Share", and the result goes to the owning control once by itself
// and again on "Insert into post".
TEST(UploadDialog, ControlLayoutAddsPageFieldsAndInsertsTheResult) {
    IsolateUserRegistry();
    ServiceStandIn service("", UniqueSite("ctl"));
    ASSERT_TRUE(service.Ok());
    std::string wav = bench::ScratchDir() + "\\ctl.wav";
    ASSERT_TRUE(WriteFileBytes(wav, MakeWav(60000)));

    CUploadDlg dlg(kSabletUploadLayout);
    ASSERT_TRUE(dlg.SetFilePath(wav.c_str()));
    std::string site = service.Site();
    sharing::CopyBounded(dlg.ValidateURL, ("http://" + site + "/validateuser.php").c_str());
    sharing::CopyBounded(dlg.PostUploadURL, ("http://" + site + "/apppostupload.php").c_str());
    sharing::CopyBounded(dlg.UploadSite, site.c_str());
    sharing::CopyBounded(dlg.UploadScript, "upost.php");
    sharing::CopyBounded(dlg.DefaultTitle, "Page take");
    sharing::CopyBounded(dlg.CategoryList, "1000-Other|");
    sharing::CopyBounded(dlg.SiteName, "Page Site");
    sharing::CopyBounded(dlg.DefaultIsPublic, "off");
    sharing::CopyBounded(dlg.Option, "rec take");
    sharing::CopyBounded(dlg.EmbedTag, "<embed src=x>");
    static std::vector<std::string> inserted;
    inserted.clear();
    dlg.SetPostInserter([](void* owner, const char* text) { inserted.push_back(*static_cast<std::string*>(owner) + text); },
                        &site);

    bool publicBefore = true, publicHidden = false, insertHiddenBefore = false, insertShown = false;
    std::string siteName, result;
    size_t insertedAfterUpload = 0;
    WithDriverRunning([&] { dlg.DoModal(); }, [&] {
        HWND w = WaitForWindow("UpLoad");
        if (!w) return;
        Sleep(300);
        siteName = ItemText(w, IDC_SU_SITENAME);
        publicBefore = IsDlgButtonChecked(w, IDC_SU_PUBLIC) == BST_CHECKED;
        insertHiddenBefore = !IsWindowVisible(GetDlgItem(w, IDC_SU_INSERT));
        ClickAndType(w, IDC_SU_USERNAME, "alice");
        ClickAndType(w, IDC_SU_PASSWORD, "secret");
        ClickItem(w, IDC_SU_PUBLIC);
        bench::Screenshot("upload-control-form", w);
        ClickItem(w, IDC_SU_UPLOAD);
        WaitFor([&] { return IsWindowVisible(GetDlgItem(w, IDC_SU_RESULT)) != FALSE; }, 30000);
        Sleep(200);
        result = ItemText(w, IDC_SU_RESULT);
        insertedAfterUpload = inserted.size();
        publicHidden = !IsWindowVisible(GetDlgItem(w, IDC_SU_PUBLIC));
        insertShown = IsWindowVisible(GetDlgItem(w, IDC_SU_INSERT)) != FALSE;
        bench::Screenshot("upload-control-result", w);
        ClickItem(w, IDC_SU_INSERT);
        ClickItem(w, IDCANCEL);
        Sleep(300);
        EndDialogIfOpen();
    });
    EXPECT_EQ(siteName, "Page Site");
    EXPECT_FALSE(publicBefore);  // the service's "off"
    EXPECT_TRUE(insertHiddenBefore);
    EXPECT_TRUE(publicHidden);
    EXPECT_TRUE(insertShown);
    EXPECT_TRUE(service.Requests("hostinfo").empty());
    ASSERT_FALSE(result.empty());
    EXPECT_EQ(insertedAfterUpload, 1u);
    ASSERT_EQ(inserted.size(), 2u);
    EXPECT_EQ(inserted[0], site + result);
    EXPECT_EQ(inserted[1], site + result);

    std::vector<LoggedRequest> details = service.Requests("details");
    ASSERT_EQ(details.size(), 1u);
    std::string form = service.Body(details[0].n);
    EXPECT_EQ(form.rfind("Option=rec take&EmbedTag=<embed src%3Dx>&UploadTime=", 0), 0u) << form;
    EXPECT_NE(form.find("&isPublic=on&"), std::string::npos) << form;
    std::vector<LoggedRequest> uploads = service.Requests("upload");
    ASSERT_EQ(uploads.size(), 1u);
    EXPECT_EQ(service.StoredFile(uploads[0].stored), ReadFileBytes(wav));
}
