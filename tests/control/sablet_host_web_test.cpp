// The control's web side as a page uses it, in the container host against
// the local stand-in service: the page's host and the time go to both
// service lists, the advertisement's picture is saved whole in %TEMP% and
// shown, and with the first host down the second of the table answers.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "SabletHost.h"
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
