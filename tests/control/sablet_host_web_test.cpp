// The control's web side as a page uses it, in the container host against
// the local stand-in service: the page's host and the time go to both
// service lists, the advertisement's picture is saved whole in %TEMP% and
// shown, and with the first host down the second of the table answers; a
// recording is uploaded by real clicks and its result lands in the page;
// controls that go while the service stalls take their workers with them.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

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
    // Links reach the user's browser: a stand-in that notes its address.
    const std::string browser = temp + "\\browser.exe", opened = temp + "\\cmdline.txt";
    ASSERT_TRUE(CopyFileA(bench::WinPath(bench::Env("BENCH_BUILD_DIR") + "/tests/ui/url_recorder.exe").c_str(),
                          browser.c_str(), FALSE));
    const std::string clients = "SOFTWARE\\Clients\\StartMenuInternet";
    RegSetKeyValueA(HKEY_CURRENT_USER, clients.c_str(), nullptr, REG_SZ, "BenchBrowser", 13);
    const std::string command = "\"" + browser + "\" \"%1\"";
    RegSetKeyValueA(HKEY_CURRENT_USER, (clients + "\\BenchBrowser\\shell\\open\\command").c_str(), nullptr,
                    REG_SZ, command.c_str(), static_cast<DWORD>(command.size() + 1));
    struct Case {
        std::string options;
        const char* firstHost;
        const char* clickOpens;  // what a click on the picture opens; "" for nothing
    } cases[] = {
        {pic, "www.cantabel.com", "http://ads.cantabel.test/click.php?AID=12&BID=3&CID=5&PID=17&Ref=r123"},
        {pic + " --down www.cantabel.com --ad-field 'ClickURL=C:\\windows\\notepad.exe'", "ads.cantabel.com", ""},
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

        // The user clicks the advertisement: its address opens in the
        // browser, and one that is no web address opens nothing.
        DeleteFileA(opened.c_str());
        RECT area;
        GetWindowRect(GetDlgItem(host.ControlWindow(), IDC_ADPICTURE), &area);
        bench::Click((area.left + area.right) / 2, (area.top + area.bottom) / 2);
        auto browserRan = [&] { return GetFileAttributesA(opened.c_str()) != INVALID_FILE_ATTRIBUTES; };
        bench::PumpUntil(browserRan, c.clickOpens[0] ? 30000 : 8000);
        bench::Pump(500);
        std::string line = ReadFileBytes(opened);
        if (size_t end = line.find_last_not_of("\r\n"); end != std::string::npos) line.erase(end + 1);
        if (size_t nl = line.rfind('\n'); nl != std::string::npos) line.erase(0, nl + 1);
        EXPECT_EQ(c.clickOpens, line);

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
    RegDeleteTreeA(HKEY_CURRENT_USER, clients.c_str());
    OleUninitialize();
}

// Two controls side by side embed a browser each; after both go and the
// DLL unloads, a control of the reloaded DLL embeds one again, its window
// running in the new image rather than the one that went.
TEST(SabletHostWeb, EachControlEmbedsItsBrowserAlsoAfterAReload) {
    IsolateUserRegistry();
    OleInitialize(nullptr);
    ServiceStandIn service("", "two-" + std::to_string(GetCurrentProcessId()) + ".test");
    ASSERT_TRUE(service.Ok());
    auto browserOf = [](ControlHost& h) {
        return FindWindowExA(h.ControlWindow(), nullptr, "Browser Example", nullptr);
    };
    auto asked = [&](size_t n) {
        return bench::PumpUntil([&] { return service.Requests("hostinfo").size() >= n; }, 60000);
    };
    {
        ControlHost first, second;
        ASSERT_EQ(S_OK, first.Create(sablethost::kSabletClsid, L"http://pages.test/one.htm", nullptr));
        ASSERT_EQ(S_OK, second.Create(sablethost::kSabletClsid, L"http://pages.test/two.htm", nullptr, nullptr,
                                      60, 320));
        EXPECT_NE(nullptr, browserOf(first));
        EXPECT_NE(nullptr, browserOf(second));
        EXPECT_NE(browserOf(first), browserOf(second));
        EXPECT_TRUE(asked(2));
    }
    HMODULE dll = GetModuleHandleA("Sablet.dll");
    ASSERT_NE(nullptr, dll);
    auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(dll, "DllCanUnloadNow"));
    ASSERT_TRUE(bench::PumpUntil([&] { return canUnload() == S_OK; }, 90000));
    CoFreeUnusedLibraries();
    bench::Pump(100);
    ASSERT_EQ(nullptr, GetModuleHandleA("Sablet.dll")) << "unloaded";

    ControlHost again;
    ASSERT_EQ(S_OK, again.Create(sablethost::kSabletClsid, L"http://pages.test/one.htm", nullptr));
    HWND browser = browserOf(again);
    ASSERT_NE(nullptr, browser);
    EXPECT_TRUE(asked(3));
    DWORD_PTR answer = 0;
    EXPECT_NE(0, SendMessageTimeoutA(browser, WM_SIZE, 0, MAKELPARAM(468, 60), SMTO_ABORTIFHUNG, 5000, &answer));
    bench::Screenshot("sablet-reloaded");
    again.Destroy();
    bench::Pump(200);
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

// The page of the upload cases: two text areas (one written to already)
// and something else, in the container host against the stand-in.
struct UploadBench {
    std::string temp;
    ServiceStandIn* service = nullptr;
    host_test::DocumentStandIn page{
        {PageItem(L"TEXTAREA", L"My post: "), PageItem(L"DIV", L"keep"), PageItem(L"textarea", L"")}};
    ControlHost host;
    HWND panel = nullptr;
    std::string picture = MakeAdGif();

    UploadBench() {
        IsolateUserRegistry();
        OleInitialize(nullptr);
        temp = bench::ScratchDir();
        SetEnvironmentVariableA("TMP", temp.c_str());
        SetEnvironmentVariableA("TEMP", temp.c_str());
    }
    ~UploadBench() {
        host.Destroy();
        bench::Pump(200);
        delete service;
        OleUninitialize();
    }
    // Starts the service and the control; true once the service's answer
    // (the upload host among it) is in, which is when its picture is.
    bool Start(PropertyBag& bag) {
        std::string picturePath = temp + "\\banner.gif";
        if (!WriteFileBytes(picturePath, picture)) return false;
        service = new ServiceStandIn("--ad-picture '" + bench::UnixPath(picturePath) + "'",
                                     "up-" + std::to_string(GetCurrentProcessId()) + ".test");
        if (!service->Ok()) return false;
        host.SetPage(page.Container());
        if (host.Create(sablethost::kSabletClsid, L"http://pages.test/rec.htm", &bag) != S_OK) return false;
        panel = host.ControlWindow();
        if (!panel || !bench::PumpUntil([&] { return ReadFileBytes(temp + "\\AdPic.gif") == picture; }, 60000))
            return false;
        bench::Pump(1500);
        return true;
    }
    // Where the user can reach the button: its middle, or the nearest
    // point of its middle row that no neighbour covers.
    void Press(int id) {
        HWND button = GetDlgItem(panel, id);
        RECT r;
        GetWindowRect(button, &r);
        POINT at = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        for (int dx = 0; dx < (r.right - r.left) / 2 && WindowFromPoint(at) != button; ++dx)
            at.x = (r.left + r.right) / 2 + dx;
        bench::Click(at.x, at.y);
    }
    bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(panel, id)) != FALSE; }
    // Record with a tone playing until Stop is offered, then for `seconds`.
    bool Record(double seconds) {
        auto tone = bench::PlayTone(1000, 30);
        Press(IDC_RECORD);
        if (!bench::PumpUntil([&] { return Enabled(IDC_STOP); }, 10000)) return false;
        bench::Pump(static_cast<DWORD>(seconds * 1000));
        return true;
    }
    bool Stop() {
        Press(IDC_STOP);
        return bench::PumpUntil([&] { return Enabled(IDC_UPLOAD); }, 20000);
    }

    // Upload -> "Upload Recording" from the real pop-up menu, log in,
    // optionally untick "Public Share", Upload, then "Insert into post"
    // and close: all by clicks.
    struct Outcome {
        bool publicBefore = false, resultShown = false;
        std::string result, stage = "no menu";
    };
    Outcome Upload(bool untickPublic) {
        Outcome o;
        std::atomic<bool> done{false};
        bench::WithDriver(
            [&] {
                HWND menu = nullptr;
                WaitFor([&] { return (menu = FindWindowA("#32768", nullptr)) && IsWindowVisible(menu); }, 20000);
                HMENU items = menu ? reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0)) : nullptr;
                RECT item;
                if (!items || !GetMenuItemRect(nullptr, items, 0, &item)) {
                    o.stage = menu ? "no menu item" : "no menu";
                    bench::Screenshot("sablet-upload-no-menu");
                    done = true;
                    return;
                }
                bench::Click((item.left + item.right) / 2, (item.top + item.bottom) / 2);
                o.stage = "no dialog";
                HWND w = bench::WaitForDialog(GetCurrentProcessId(), "UpLoad", 30000);
                if (!w) bench::Screenshot("sablet-upload-no-dialog");
                if (w) {
                    o.stage = "dialog";
                    Sleep(500);
                    o.publicBefore = IsDlgButtonChecked(w, IDC_SU_PUBLIC) == BST_CHECKED;
                    PressItem(w, IDC_SU_USERNAME);
                    bench::TypeText("alice");
                    PressItem(w, IDC_SU_PASSWORD);
                    bench::TypeText("secret");
                    if (untickPublic) PressItem(w, IDC_SU_PUBLIC);
                    Sleep(300);
                    bench::Screenshot("sablet-upload-form");
                    PressItem(w, IDC_SU_UPLOAD);
                    o.resultShown =
                        WaitFor([&] { return IsWindowVisible(GetDlgItem(w, IDC_SU_RESULT)) != FALSE; }, 90000);
                    Sleep(500);
                    o.result = bench::WindowText(GetDlgItem(w, IDC_SU_RESULT));
                    bench::Screenshot("sablet-upload-result");
                    PressItem(w, IDC_SU_INSERT);
                    Sleep(500);
                    PressItem(w, IDCANCEL);
                    if (!WaitFor([&] { return !IsWindow(w); }, 5000)) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
                }
                done = true;
            },
            [&] {
                Press(IDC_UPLOAD);
                bench::PumpUntil([&] { return done.load(); }, 180000);
            });
        return o;
    }
};

namespace {

DWORD ThreadCount() {
    DWORD count = 0;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return 0;
    THREADENTRY32 t = {};
    t.dwSize = sizeof t;
    for (BOOL more = Thread32First(snap, &t); more; more = Thread32Next(snap, &t))
        if (t.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    CloseHandle(snap);
    return count;
}

// Committed memory of the process (Wine leaves the private count at 0).
size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX m = {};
    m.cb = sizeof m;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m);
    return m.PrivateUsage ? m.PrivateUsage : m.PagefileUsage;
}

}  // namespace

// Fifty controls made, activated and destroyed while the service holds
// each advertisement request silent for two seconds: no worker asks
// another address of the table once its control has gone, and threads and
// memory come back to the base line within seconds. (Wine's internet layer
// lets a receive already waiting run out its time even when its handles
// are closed, so the case keeps that wait short.)
TEST(SabletHostWeb, WorkersGoWithTheirControlsWhileTheServiceStalls) {
    IsolateUserRegistry();
    OleInitialize(nullptr);
    ServiceStandIn service("--fault adinfo=stall:2", "stall-" + std::to_string(GetCurrentProcessId()) + ".test");
    ASSERT_TRUE(service.Ok());
    // Each control is destroyed while its worker waits on the service.
    auto cycle = [&](size_t n) {
        ControlHost host;
        if (host.Create(sablethost::kSabletClsid, L"http://pages.test/rec.htm", nullptr) != S_OK) return false;
        bool asked = bench::PumpUntil([&] { return service.Requests("adinfo").size() >= n; }, 30000);
        host.Destroy();
        return asked;
    };
    auto settled = [](DWORD threads, size_t bytes) {
        return ThreadCount() <= threads && PrivateBytes() <= bytes;
    };
    // The first control loads what stays loaded (the DLL, the browser, the
    // internet layer): the base line is taken once its worker has gone.
    ASSERT_TRUE(cycle(1));
    bench::Pump(3000);
    const DWORD threads = ThreadCount();
    const size_t bytes = PrivateBytes();
    size_t asked = service.Requests("adinfo").size();
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(cycle(++asked)) << i;
        asked = service.Requests("adinfo").size();
    }
    DWORD end = GetTickCount();
    EXPECT_TRUE(bench::PumpUntil([&] { return settled(threads + 2, bytes + 8 * 1024 * 1024); }, 6000))
        << ThreadCount() << " threads (" << threads << " before), " << PrivateBytes() / 1024 << " KiB ("
        << bytes / 1024 << " before)";
    printf("settled %.1f s after the last control went: %lu threads, %lu KiB\n", (GetTickCount() - end) / 1000.0,
           ThreadCount(), static_cast<unsigned long>(PrivateBytes() / 1024));
    // No worker went on to the next address once its control had gone.
    bench::Pump(2500);
    EXPECT_LE(service.Requests("adinfo").size(), asked + 1);
    OleUninitialize();
}

// Record, Stop, Upload -> Upload Recording, fill the form and press Upload,
// all with real clicks: the service stores the finished recording as it
// is on disk (a WAV, though the page has since asked for MP3), the details
// carry the page's file name and embed tag and the public box, and the
// service's message lands at the end of the page's text areas, again on
// "Insert into post". While recording, Upload is refused. Then an MP3 take
// goes up as the encoder wrote it: the service holds the very bytes, they
// decode to the tone that was recorded, and the page gets the answer.
TEST(SabletHostWeb, RecordedTakesUploadWholeAndReachThePage) {
    ASSERT_TRUE(bench::HaveSound());
    UploadBench b;
    PropertyBag bag;
    bag.Set(L"UseMP3", L"0");
    bag.Set(L"Frequency", L"22050");
    bag.Set(L"Option", L"rec take");
    bag.Set(L"EmbedTag", L"<embed src=x>");
    ASSERT_TRUE(b.Start(bag));

    ASSERT_TRUE(b.Record(1.5));
    EXPECT_FALSE(b.Enabled(IDC_UPLOAD));
    // Not even the menu's command sends a file still being written.
    PostMessageA(b.panel, WM_COMMAND, IDM_UPLOAD_RECORDING, 0);
    bench::Pump(1500);
    EXPECT_EQ(nullptr, bench::FindDialog(GetCurrentProcessId(), "UpLoad"));
    ASSERT_TRUE(b.Stop());
    EXPECT_EQ(S_OK, b.host.PutLong(L"UseMP3", 1));

    UploadBench::Outcome o = b.Upload(true);
    EXPECT_TRUE(o.publicBefore) << o.stage;  // the service's "on"
    ASSERT_TRUE(o.resultShown) << o.stage;
    ASSERT_NE(std::string::npos, o.result.find("Your audio file is online.")) << o.result;

    std::vector<LoggedRequest> uploads = b.service->Requests("upload");
    ASSERT_EQ(1u, uploads.size());
    std::string recorded = ReadFileBytes(b.temp + "\\Sablet.wav");
    EXPECT_GT(recorded.size(), 22050u);
    EXPECT_TRUE(b.service->StoredFile(uploads[0].stored) == recorded);
    std::vector<LoggedRequest> details = b.service->Requests("details");
    ASSERT_EQ(1u, details.size());
    std::string form = b.service->Body(details[0].n);
    EXPECT_EQ(0u, form.rfind("Option=rec take&EmbedTag=<embed src%3Dx>&UploadTime=", 0)) << form;
    EXPECT_NE(std::string::npos, form.find("&isPublic=off&")) << form;

    // Once by itself after the upload, once more on "Insert into post".
    const auto& e = b.page.Elements();
    const std::wstring first = Wide(o.result) + Wide(o.result);
    EXPECT_EQ(L"My post: " + first, e[0].value);
    EXPECT_EQ(L"keep", e[1].value);
    EXPECT_EQ(first, e[2].value);

    EXPECT_EQ(S_OK, b.host.PutLong(L"SampleRate", 44100));
    EXPECT_EQ(S_OK, b.host.PutLong(L"Channel", 2));
    EXPECT_EQ(S_OK, b.host.PutLong(L"MP3Bitrate", 128));
    ASSERT_TRUE(b.Record(3.0));
    ASSERT_TRUE(b.Stop());
    o = b.Upload(false);
    ASSERT_TRUE(o.resultShown) << o.stage;
    uploads = b.service->Requests("upload");
    ASSERT_EQ(2u, uploads.size());
    recorded = ReadFileBytes(b.temp + "\\Sablet.mp3");
    ASSERT_GT(recorded.size(), 16000u);
    std::string stored = b.service->StoredFile(uploads[1].stored);
    EXPECT_TRUE(stored == recorded) << stored.size() << " stored, " << recorded.size() << " recorded";
    std::string copy = b.temp + "\\arrived.mp3";
    ASSERT_TRUE(WriteFileBytes(copy, stored));
    EXPECT_EQ("mp3", bench::Ffprobe(copy, "stream=codec_name"));
    bench::Wav wav;
    ASSERT_TRUE(bench::DecodeWithFfmpeg(copy, &wav, 44100));
    EXPECT_GT(bench::ToneLevel(wav, 0, 1000, 22050, 44100), 0.1);
    details = b.service->Requests("details");
    ASSERT_EQ(2u, details.size());
    EXPECT_NE(std::string::npos, b.service->Body(details[1].n).find("&isPublic=on&"));
    EXPECT_EQ(L"My post: " + first + Wide(o.result) + Wide(o.result), e[0].value);

    b.host.Destroy();
    bench::Pump(200);
    EXPECT_EQ(0, b.page.OutstandingRefs());
}
