// The control's web side against the local stand-in of the service, under
// Wine: the advertisement and host-information exchange on its worker with
// the picture saved whole, hostile replies cut to the control's buffers, a
// control that goes while the service stalls, the embedded browser window
// reaching the network, and the typed-address list.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include <cstring>
#include <string>
#include <vector>

#include "control/AdHostInfo.h"
#include "control/BrowserFrame.h"
#include "control/TravelLogMenu.h"
#include "filters/base/Module.h"
#include "sharing/UploadForm.h"
#include "tests/sharing/service_standin.h"
#include "tests/support/bench.h"
#include "tests/control/ad_gif.h"

using namespace sablet;
using namespace sharing_test;

namespace {

constexpr UINT kInfoReady = WM_APP + 7;

std::string UniqueSite(const char* tag) {
    return std::string(tag) + "-" + std::to_string(GetCurrentProcessId()) + ".cantabel.test";
}


std::string TempPath(const char* name) {
    char temp[MAX_PATH + 1] = "";
    GetTempPathA(sizeof temp, temp);
    return std::string(temp) + name;
}

// A message-only window that records which request said "info ready".
struct ReadyWindow {
    HWND hwnd = nullptr;
    static std::vector<LPARAM>& Seen() {
        static std::vector<LPARAM> seen;
        return seen;
    }
    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == kInfoReady) Seen().push_back(lp);
        return DefWindowProcA(w, msg, wp, lp);
    }
    ReadyWindow() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "SabletWebTestReady";
        RegisterClassA(&wc);
        hwnd = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        Seen().clear();
    }
    ~ReadyWindow() { DestroyWindow(hwnd); }
};

// Starts the worker over `request` (it holds a reference of its own).
HANDLE StartWorker(HostInfoRequest* request) {
    request->AddRef();
    HANDLE thread = CreateThread(nullptr, 0, HostInfoThread, request, 0, nullptr);
    if (!thread) request->Release();
    return thread;
}

}  // namespace

// Both lists are asked with the page's host and a nine-digit time, the
// first answering host of each table is used (the second when the first is
// down), and the picture lands byte for byte in %TEMP%\AdPic.gif, also when
// it comes in slow pieces; then the window hears "info ready".
TEST(SabletWeb, AsksBothListsAndSavesThePictureWhole) {
    IsolateUserRegistry();
    std::string picture = MakeAdGif();
    std::string picturePath = bench::ScratchDir() + "\\banner.gif";
    ASSERT_TRUE(WriteFileBytes(picturePath, picture));
    std::string pic = " --ad-picture '" + bench::UnixPath(picturePath) + "'";
    struct Case {
        std::string options;
        const char* adHost;
        const char* infoHost;
    } cases[] = {
        {pic, "www.cantabel.com", "www.cantabel.com"},
        {pic + " --down www.cantabel.com", "ads.cantabel.com", "ads.cantabel.com"},
        {pic + " --fault adpicture=split:0.5", "www.cantabel.com", "www.cantabel.com"},
        {pic + " --fault adpicture=slow:1", "www.cantabel.com", "www.cantabel.com"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        DeleteFileA(TempPath("AdPic.gif").c_str());
        ServiceStandIn service(c.options, UniqueSite("ad"));
        ASSERT_TRUE(service.Ok());
        ReadyWindow window;
        auto* request =
            new HostInfoRequest(4, 17, "pages.test", ControlAdInfo(), ControlHostInfo(), window.hwnd, kInfoReady);
        HANDLE thread = StartWorker(request);
        ASSERT_NE(nullptr, thread);
        EXPECT_TRUE(bench::PumpUntil([&] { return !ReadyWindow::Seen().empty(); }, 60000));
        WaitForSingleObject(thread, 30000);
        CloseHandle(thread);
        ASSERT_EQ(1u, ReadyWindow::Seen().size());
        EXPECT_EQ(reinterpret_cast<LPARAM>(request), ReadyWindow::Seen()[0]);
        ASSERT_TRUE(request->Done());

        EXPECT_TRUE(request->AdAnswered);
        EXPECT_TRUE(request->HostAnswered);
        EXPECT_EQ(12, request->Ad.AdID);
        EXPECT_STREQ("r123", request->Ad.Ref);
        EXPECT_STREQ("Cantabel Test Site", request->Host.SiteName);
        EXPECT_TRUE(request->PictureSaved);
        EXPECT_EQ(TempPath("AdPic.gif"), request->PicturePath);
        EXPECT_EQ(picture, ReadFileBytes(TempPath("AdPic.gif")));

        std::vector<LoggedRequest> ads = service.Requests("adinfo");
        std::vector<LoggedRequest> infos = service.Requests("hostinfo");
        ASSERT_EQ(1u, ads.size());
        ASSERT_EQ(1u, infos.size());
        EXPECT_LT(ads[0].n, infos[0].n);
        EXPECT_EQ(c.adHost, ads[0].host);
        EXPECT_EQ(c.infoHost, infos[0].host);
        for (const LoggedRequest& r : {ads[0], infos[0]}) {
            std::string head = service.Head(r.n);
            size_t at = head.find("?AdCID=4&PID=17&Domain=pages.test&Ref=");
            ASSERT_NE(std::string::npos, at) << head;
            std::string ref = head.substr(at + strlen("?AdCID=4&PID=17&Domain=pages.test&Ref="), 10);
            EXPECT_EQ(9u, strspn(ref.c_str(), "0123456789")) << head;
            EXPECT_EQ(' ', ref[9]) << head;
        }
        request->Release();
    }
}

// Hostile replies: fields far past their buffers, values without their
// ";", picture names that try to leave the temporary folder, and a click
// address that names a local program. Nothing overflows, a field without
// its ";" keeps the control's value, and nothing outside %TEMP% is written.
TEST(SabletWeb, HostileRepliesAreCutAndContained) {
    IsolateUserRegistry();
    struct Case {
        std::string options;
        bool saved;
        const char* pictureName;
    } cases[] = {
        // The cut picture address names a page of the stand-in.
        {"--fault adinfo=oversized --fault hostinfo=oversized", true, "AdPic.gif"},
        {"--fault adinfo=nosemicolon --fault hostinfo=nosemicolon", false, nullptr},
        {"--ad-field 'PicURL=http://ads.cantabel.test/x.php?img=1.png'", true, "AdPic.php"},
        {"--ad-field 'PicURL=a.b/../../c'", false, nullptr},
        {"--ad-field 'PicURL=http://ads.cantabel.test/a.b/../../c'", true, "AdPic.gif"},
        {"--ad-field 'ClickURL=C:\\windows\\notepad.exe' --ad-field 'Ad1Link=file:///c:/windows/notepad.exe'", false,
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        ServiceStandIn service(c.options, UniqueSite("hostile"));
        ASSERT_TRUE(service.Ok());
        ControlHostInfo defaults;
        auto* request = new HostInfoRequest(1, 2, "pages.test", ControlAdInfo(), defaults, nullptr, kInfoReady);
        request->Run();
        ASSERT_TRUE(request->Done());
        const ControlAdInfo& ad = request->Ad;
        const ControlHostInfo& host = request->Host;
        EXPECT_LE(strlen(ad.PicURL), 255u);
        EXPECT_LE(strlen(ad.DisplayURL), 99u);
        EXPECT_LE(strlen(ad.ClickURL), 511u);
        EXPECT_LE(strlen(ad.Ad1Text), 255u);
        EXPECT_LE(strlen(ad.Ref), 127u);
        EXPECT_LE(strlen(host.TessalyURL), 511u);
        EXPECT_LE(strlen(host.DefaultTags), 99u);
        EXPECT_LE(strlen(host.CategoryList), 8191u);
        if (c.options.find("oversized") != std::string::npos) {
            EXPECT_EQ(511u, strlen(host.TessalyURL));
            EXPECT_EQ(std::string(99, 'D'), ad.DisplayURL);
        }
        if (c.options.find("nosemicolon") != std::string::npos) {
            EXPECT_STREQ("", ad.Ref);                       // the last key lost its ";"
            EXPECT_STREQ(defaults.SiteName, host.SiteName);  // likewise
            EXPECT_EQ(12, ad.AdID);
        }
        EXPECT_EQ(c.saved, request->PictureSaved);
        if (c.pictureName) {
            EXPECT_EQ(TempPath(c.pictureName), request->PicturePath);
        }
        char click[kClickAddressSize];
        ASSERT_TRUE(BuildClickAddress(click, sizeof click, ad, 2));
        EXPECT_EQ(IsOpenableAddress(ad.ClickURL), IsOpenableAddress(click));
        if (c.options.find("notepad") != std::string::npos) {
            EXPECT_FALSE(IsOpenableAddress(click));
            EXPECT_FALSE(IsOpenableAddress(ad.Ad1Link));
        }
        request->Release();
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(TempPath("..\\..\\c").c_str()));
}

// The control goes while the service stalls: its window is gone and its
// reference dropped, the worker ends on its own and posts nothing.
TEST(SabletWeb, ControlMayGoWhileTheServiceStalls) {
    IsolateUserRegistry();
    ServiceStandIn service("--fault adinfo=stall:1 --fault hostinfo=reset", UniqueSite("stall"));
    ASSERT_TRUE(service.Ok());
    HANDLE thread = nullptr;
    {
        ReadyWindow window;
        auto* request =
            new HostInfoRequest(1, 2, "pages.test", ControlAdInfo(), ControlHostInfo(), window.hwnd, kInfoReady);
        thread = StartWorker(request);
        ASSERT_NE(nullptr, thread);
        ASSERT_TRUE(bench::PumpUntil([&] { return !service.Requests("adinfo").empty(); }, 15000));
        // What the control does when its window goes.
        request->Detach();
        request->Release();
    }
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 90000));
    CloseHandle(thread);
    bench::Pump(200);
    EXPECT_TRUE(ReadyWindow::Seen().empty());
    EXPECT_EQ(kServiceHostCount, service.Requests("adinfo").size());
}

// Two browser windows in one process (the class is registered once), a
// navigation that reaches the network, a History menu that stays empty
// where the browser has no travel log, and a fresh registration after the
// module's classes went (an unload and reload).
TEST(SabletWeb, BrowserWindowsNavigateAndGoCleanly) {
    IsolateUserRegistry();
    ServiceStandIn service("", UniqueSite("browse"));
    ASSERT_TRUE(service.Ok());
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    HINSTANCE module = GetModuleHandleA(nullptr);
    HWND parent = CreateWindowA("STATIC", "Sablet page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 600, 200, nullptr,
                                nullptr, module, nullptr);
    ASSERT_NE(nullptr, parent);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        HWND first = CreateBrowserWindow(module, parent, 2, 2, 468, 60);
        HWND second = CreateBrowserWindow(module, parent, 2, 70, 468, 60);
        ASSERT_NE(nullptr, first);
        ASSERT_NE(nullptr, second);
        EXPECT_FALSE(IsWindowVisible(first));
        std::string page = "http://pages.test/rec" + std::to_string(round) + ".htm";
        EXPECT_EQ(0, BrowserNavigate(first, page.c_str()));
        EXPECT_TRUE(IsWindowVisible(first));
        EXPECT_TRUE(bench::PumpUntil(
            [&] {
                for (const LoggedRequest& r : service.Requests("page"))
                    if (r.host == "pages.test" && r.path == "/rec" + std::to_string(round) + ".htm") return true;
                return false;
            },
            20000));

        IWebBrowser2* web = nullptr;
        ASSERT_EQ(1, BrowserGetWebBrowser(first, &web));
        CTravelLogMenu history;
        history.SetBrowser(web);
        web->Release();
        HMENU menu = CreatePopupMenu();
        history.Fill(menu);
        EXPECT_EQ(0, GetMenuItemCount(menu));
        history.GoTo(-1);
        DestroyMenu(menu);
        // The control lets go before its browser window goes.
        history.Clear();
        DestroyWindow(first);
        DestroyWindow(second);
        bench::Pump(200);
        // What the DLL does when it is unloaded.
        filterbase::UnregisterModuleClasses();
    }
    DestroyWindow(parent);
    OleUninitialize();
}

// The address box's list: values in the registry's order, one too long for
// the box passed over (the rest still listed), texts stored without their
// NUL ended at their length, and nothing from a missing key.
TEST(SabletWeb, TypedAddressesSkipWhatDoesNotFit) {
    IsolateUserRegistry();
    EXPECT_TRUE(ReadTypedUrls().empty());
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Internet Explorer\\TypedURLs", 0,
                                             nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    EXPECT_TRUE(ReadTypedUrls().empty());
    std::string longUrl = "http://long.test/" + std::string(383, 'a');
    std::string shortUrl = "http://short.test/";
    std::string bare = "http://bare.test/";
    RegSetValueExA(key, "url1", 0, REG_SZ, reinterpret_cast<const BYTE*>(longUrl.c_str()),
                   static_cast<DWORD>(longUrl.size() + 1));
    RegSetValueExA(key, "url2", 0, REG_SZ, reinterpret_cast<const BYTE*>(shortUrl.c_str()),
                   static_cast<DWORD>(shortUrl.size() + 1));
    RegSetValueExA(key, "url3", 0, REG_SZ, reinterpret_cast<const BYTE*>(bare.c_str()),
                   static_cast<DWORD>(bare.size()));
    RegCloseKey(key);
    std::vector<std::string> urls = ReadTypedUrls();
    ASSERT_EQ(2u, urls.size());
    EXPECT_EQ(shortUrl, urls[0]);
    EXPECT_EQ(bare, urls[1]);
}
