// The control's web side as a page uses it, in the container host against
// the local stand-in service: the page's host and the time go to both
// service lists, the advertisement's picture is saved whole in %TEMP% and
// shown, and with the first host down the second of the table answers; a
// recording is uploaded by real clicks and its result lands in the page.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "SabletHost.h"
#include "control/SabletUploadIds.h"
#include "control/resource.h"
#include "tests/control/host/DocumentStandIn.h"
#include "tests/sharing/service_standin.h"
#include "tests/support/bench.h"
#include "tests/control/ad_gif.h"

using sablethost::ControlHost;
using sablethost::PropertyBag;
using namespace sharing_test;

TEST(SabletHostWeb, PageAsksTheServiceAndShowsItsPicture) {
    IsolateUserRegistry();
    OleInitialize(nullptr);
    std::string temp = bench::ScratchDir();
    SetEnvironmentVariableA("TMP", temp.c_str());
    SetEnvironmentVariableA("TEMP", temp.c_str());
    std::string picture = MakeAdGif();
    std::string picturePath = temp + "\\banner.gif";
    ASSERT_TRUE(WriteFileBytes(picturePath, picture));
    std::string pic = "--ad-picture '" + bench::UnixPath(picturePath) + "'";
    struct Case {
        std::string options;
        const char* firstHost;
    } cases[] = {
        {pic, "www.cantabel.com"},
        {pic + " --down www.cantabel.com", "ads.cantabel.com"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        std::string saved = temp + "\\AdPic.gif";
        DeleteFileA(saved.c_str());
        ServiceStandIn service(c.options, std::string("page-") + std::to_string(GetCurrentProcessId()) + ".test");
        ASSERT_TRUE(service.Ok());
        PropertyBag bag;
        bag.Set(L"PubID", L"17");
        bag.Set(L"AdChannelID", L"4");
        ControlHost host;
        ASSERT_EQ(S_OK, host.Create(sablethost::kSabletClsid, L"http://pages.test/rec.htm", &bag));
        EXPECT_TRUE(bench::PumpUntil([&] { return ReadFileBytes(saved) == picture; }, 60000));
        bench::Pump(1500);
        bench::Screenshot(c.options.find("--down") == std::string::npos ? "sablet-ad" : "sablet-ad-second-host");

        std::vector<LoggedRequest> ads = service.Requests("adinfo");
        std::vector<LoggedRequest> infos = service.Requests("hostinfo");
        ASSERT_EQ(1u, ads.size());
        ASSERT_EQ(1u, infos.size());
        EXPECT_LT(ads[0].n, infos[0].n);
        EXPECT_EQ(c.firstHost, ads[0].host);
        EXPECT_EQ(c.firstHost, infos[0].host);
        std::string head = service.Head(ads[0].n);
        const char query[] = "?AdCID=4&PID=17&Domain=pages.test&Ref=";
        size_t at = head.find(query);
        ASSERT_NE(std::string::npos, at) << head;
        EXPECT_EQ(9u, strspn(head.c_str() + at + strlen(query), "0123456789")) << head;
        host.Destroy();
        bench::Pump(200);
    }
    OleUninitialize();
}

namespace {

void PressItem(HWND dialog, int id) {
    RECT r;
    GetWindowRect(GetDlgItem(dialog, id), &r);
    bench::Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Sleep(100);
}

template <class Pred>
bool WaitFor(Pred pred, DWORD ms) {
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > ms) return pred();
        Sleep(30);
    }
    return true;
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

host_test::PageElement PageItem(const wchar_t* tag, const wchar_t* value) {
    host_test::PageElement e;
    e.tag = tag;
    e.value = value;
    return e;
}

}  // namespace

// Record, Stop, Upload -> Upload Recording, fill the form and press Upload,
// all with real clicks: the service stores the finished recording as it
// is on disk (a WAV, though the page has since asked for MP3), the details
// carry the page's file name and embed tag and the public box, and the
// service's message lands at the end of the page's text areas, again on
// "Insert into post". While recording, Upload is refused.
TEST(SabletHostWeb, RecordedUploadReachesTheServiceAndThePage) {
    ASSERT_TRUE(bench::HaveSound());
    IsolateUserRegistry();
    OleInitialize(nullptr);
    std::string temp = bench::ScratchDir();
    SetEnvironmentVariableA("TMP", temp.c_str());
    SetEnvironmentVariableA("TEMP", temp.c_str());
    std::string picture = MakeAdGif();
    std::string picturePath = temp + "\\banner.gif";
    ASSERT_TRUE(WriteFileBytes(picturePath, picture));
    ServiceStandIn service("--ad-picture '" + bench::UnixPath(picturePath) + "'",
                           "up-" + std::to_string(GetCurrentProcessId()) + ".test");
    ASSERT_TRUE(service.Ok());
    host_test::DocumentStandIn page(
        {PageItem(L"TEXTAREA", L"My post: "), PageItem(L"DIV", L"keep"), PageItem(L"textarea", L"")});

    PropertyBag bag;
    bag.Set(L"UseMP3", L"0");
    bag.Set(L"Frequency", L"22050");
    bag.Set(L"Option", L"rec take");
    bag.Set(L"EmbedTag", L"<embed src=x>");
    ControlHost host;
    host.SetPage(page.Container());
    ASSERT_EQ(S_OK, host.Create(sablethost::kSabletClsid, L"http://pages.test/rec.htm", &bag));
    HWND panel = host.ControlWindow();
    ASSERT_NE(nullptr, panel);
    // Where the user can reach the button: its middle, or the nearest
    // point of its middle row that no neighbour covers.
    auto press = [&](int id) {
        HWND button = GetDlgItem(panel, id);
        RECT r;
        GetWindowRect(button, &r);
        POINT at = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        for (int dx = 0; dx < (r.right - r.left) / 2 && WindowFromPoint(at) != button; ++dx)
            at.x = (r.left + r.right) / 2 + dx;
        bench::Click(at.x, at.y);
    };
    auto enabled = [&](int id) { return IsWindowEnabled(GetDlgItem(panel, id)) != FALSE; };
    // The service's answer (the upload host among it) is in once its picture is.
    ASSERT_TRUE(bench::PumpUntil([&] { return ReadFileBytes(temp + "\\AdPic.gif") == picture; }, 60000));
    bench::Pump(1500);

    auto tone = bench::PlayTone(1000, 30);
    press(IDC_RECORD);
    ASSERT_TRUE(bench::PumpUntil([&] { return enabled(IDC_STOP); }, 10000));
    bench::Pump(1500);
    EXPECT_FALSE(enabled(IDC_UPLOAD));
    // Not even the menu's command sends a file still being written.
    PostMessageA(panel, WM_COMMAND, IDM_UPLOAD_RECORDING, 0);
    bench::Pump(1500);
    EXPECT_EQ(nullptr, bench::FindDialog(GetCurrentProcessId(), "UpLoad"));
    press(IDC_STOP);
    ASSERT_TRUE(bench::PumpUntil([&] { return enabled(IDC_UPLOAD); }, 20000));
    EXPECT_EQ(S_OK, host.PutLong(L"UseMP3", 1));

    bool publicBefore = false, resultShown = false;
    std::string result, stage = "no menu";
    std::atomic<bool> done{false};
    bench::WithDriver(
        [&] {
            HWND menu = nullptr;
            WaitFor([&] { return (menu = FindWindowA("#32768", nullptr)) && IsWindowVisible(menu); }, 20000);
            HMENU items = menu ? reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0)) : nullptr;
            RECT item;
            if (!items || !GetMenuItemRect(nullptr, items, 0, &item)) {
                stage = menu ? "no menu item" : "no menu";
                bench::Screenshot("sablet-upload-no-menu");
                done = true;
                return;
            }
            bench::Click((item.left + item.right) / 2, (item.top + item.bottom) / 2);
            stage = "no dialog";
            HWND w = bench::WaitForDialog(GetCurrentProcessId(), "UpLoad", 30000);
            if (!w) bench::Screenshot("sablet-upload-no-dialog");
            if (w) {
                stage = "dialog";
                Sleep(500);
                publicBefore = IsDlgButtonChecked(w, IDC_SU_PUBLIC) == BST_CHECKED;
                PressItem(w, IDC_SU_USERNAME);
                bench::TypeText("alice");
                PressItem(w, IDC_SU_PASSWORD);
                bench::TypeText("secret");
                PressItem(w, IDC_SU_PUBLIC);
                Sleep(300);
                bench::Screenshot("sablet-upload-form");
                PressItem(w, IDC_SU_UPLOAD);
                resultShown = WaitFor([&] { return IsWindowVisible(GetDlgItem(w, IDC_SU_RESULT)) != FALSE; }, 90000);
                Sleep(500);
                result = bench::WindowText(GetDlgItem(w, IDC_SU_RESULT));
                bench::Screenshot("sablet-upload-result");
                PressItem(w, IDC_SU_INSERT);
                Sleep(500);
                PressItem(w, IDCANCEL);
                if (!WaitFor([&] { return !IsWindow(w); }, 5000)) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
            }
            done = true;
        },
        [&] {
            press(IDC_UPLOAD);
            bench::PumpUntil([&] { return done.load(); }, 180000);
        });
    EXPECT_TRUE(publicBefore) << stage;  // the service's "on"
    ASSERT_TRUE(resultShown) << stage;
    ASSERT_NE(std::string::npos, result.find("Your audio file is online.")) << result;

    std::vector<LoggedRequest> uploads = service.Requests("upload");
    ASSERT_EQ(1u, uploads.size());
    std::string recorded = ReadFileBytes(temp + "\\Sablet.wav");
    EXPECT_GT(recorded.size(), 22050u);
    EXPECT_TRUE(service.StoredFile(uploads[0].stored) == recorded);
    std::vector<LoggedRequest> details = service.Requests("details");
    ASSERT_EQ(1u, details.size());
    std::string form = service.Body(details[0].n);
    EXPECT_EQ(0u, form.rfind("Option=rec take&EmbedTag=<embed src%3Dx>&UploadTime=", 0)) << form;
    EXPECT_NE(std::string::npos, form.find("&isPublic=off&")) << form;

    // Once by itself after the upload, once more on "Insert into post".
    const auto& e = page.Elements();
    EXPECT_EQ(L"My post: " + Wide(result) + Wide(result), e[0].value);
    EXPECT_EQ(L"keep", e[1].value);
    EXPECT_EQ(Wide(result) + Wide(result), e[2].value);
    host.Destroy();
    bench::Pump(200);
    EXPECT_EQ(0, page.OutstandingRefs());
    OleUninitialize();
}
