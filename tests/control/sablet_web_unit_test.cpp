// The control's service rules that need no service: the ad picture's file
// extension, the click address, and the reply fields cut to their buffers.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "control/AdHostInfo.h"

using namespace sablet;

TEST(AdPicture, ExtensionComesFromThePathOnly) {
    struct Case {
        const char* url;
        bool fetched;
        const char* ext;
    } cases[] = {
        {"http://ads.test/p/banner.png", true, "png"},
        {"http://ads.test/p/banner.jpeg", true, "jpeg"},
        {"http://ads.test/p/banner.image", true, "gif"},  // 5 characters or more
        {"http://ads.test/x.php?img=1.png", true, "php"},  // the query is not the path
        {"http://ads.test/p.js?x", true, "js"},
        {"http://ads.test/a.b#frag.exe", true, "b"},
        {"a.b/../../c", true, "gif"},  // would leave the temporary folder
        {"http://ads.test/pic.", true, "gif"},
        {"http://ads.test/p.g%2fx", true, "gif"},
        {"nodot", false, ""},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        char ext[8] = "old";
        EXPECT_EQ(c.fetched, AdPictureExtension(c.url, ext, sizeof ext)) << c.url;
        if (c.fetched) {
            EXPECT_STREQ(c.ext, ext) << c.url;
        }
    }
    char tiny[3];
    ASSERT_TRUE(AdPictureExtension("http://ads.test/a.jpeg", tiny, sizeof tiny));
    EXPECT_STREQ("jp", tiny);
}

TEST(AdClick, AddressCarriesTheAdAndFitsTheLongestFields) {
    ControlAdInfo ad;
    strcpy(ad.ClickURL, "http://ads.test/click.php");
    ad.AdID = 12;
    ad.BannerID = -3;
    ad.CampaignID = 2147483647;
    strcpy(ad.Ref, "090503007");
    char out[kClickAddressSize];
    ASSERT_TRUE(BuildClickAddress(out, sizeof out, ad, 77));
    EXPECT_STREQ("http://ads.test/click.php?AID=12&BID=-3&CID=2147483647&PID=77&Ref=090503007", out);

    // Every field at its limit still fits the click buffer.
    memset(ad.ClickURL, 'c', sizeof ad.ClickURL - 1);
    memset(ad.Ref, 'r', sizeof ad.Ref - 1);
    ad.AdID = ad.BannerID = ad.CampaignID = -2147483647 - 1;
    ASSERT_TRUE(BuildClickAddress(out, sizeof out, ad, -2147483647L - 1));
    EXPECT_EQ(std::string(ad.Ref), std::string(out).substr(strlen(out) - 127));

    char small[32];
    EXPECT_FALSE(BuildClickAddress(small, sizeof small, ad, 1));
    EXPECT_EQ(sizeof small - 1, strlen(small));
}

TEST(ServiceReply, FieldsKeepTheirValueOrAreCutToTheirBuffers) {
    ControlAdInfo ad;
    ControlHostInfo host;
    std::string reply = "AdID=12;PicURL=http://ads.test/p.png;DisplayURL=" + std::string(300, 'd') +
                        ";ClickURL=http://ads.test/c;Ref=123;BrowserURL=http://b.test/no-semicolon";
    ParseAdInfo(reply.c_str(), &ad);
    EXPECT_EQ(12, ad.AdID);
    EXPECT_STREQ("http://ads.test/p.png", ad.PicURL);
    EXPECT_EQ(std::string(99, 'd'), ad.DisplayURL);
    EXPECT_STREQ("NULL", ad.BrowserURL);  // no ";": the default stays
    EXPECT_STREQ(kResizedPageDefault, ad.ResizedURL);

    std::string hostReply = "TessalyURL=http://u.test/" + std::string(600, 'u') + ";DefaultTags=" +
                            std::string(300, 'g') + ";SiteName=Site";
    ParseControlHostInfo(hostReply.c_str(), &host);
    EXPECT_EQ(511u, strlen(host.TessalyURL));
    EXPECT_EQ(std::string(99, 'g'), host.DefaultTags);
    EXPECT_STREQ("Tessaly Site", host.SiteName);
    EXPECT_STREQ("on", host.DefaultIsPublic);
}

TEST(ServiceQuery, NamesChannelPublisherHostAndTime) {
    SYSTEMTIME t = {};
    t.wHour = 9;
    t.wMinute = 5;
    t.wSecond = 3;
    t.wMilliseconds = 7;
    char query[256];
    BuildServiceQuery(query, sizeof query, 4, 17, "pages.test extra", t);
    EXPECT_STREQ("?AdCID=4&PID=17&Domain=pages.test&Ref=090503007", query);
    for (const char* url : AdIdUrls) EXPECT_NE(nullptr, strstr(url, "/GetID.php")) << url;
    for (const char* url : HostInfoUrls) EXPECT_NE(nullptr, strstr(url, "/GetHostInfo.php")) << url;
}
