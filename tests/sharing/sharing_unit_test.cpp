// The sharing protocol's pieces that need no service: reply parsing and its
// bounds, form encoding, the cookie's expiry, value and reading back, the
// multipart framing, and the echo packet of the connectivity check.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "sharing/HostInfo.h"
#include "sharing/HttpRequest.h"
#include "sharing/LoginCookie.h"
#include "sharing/Multipart.h"
#include "sharing/PingHost.h"
#include "sharing/ReplyText.h"
#include "sharing/SharingSession.h"
#include "sharing/UploadForm.h"

using namespace sharing;

TEST(ReplyText, FindsValuesAsTheServiceWritesThem) {
    struct Case {
        const char* reply;
        const char* key;
        bool needSemicolon;
        bool found;
        const char* value;
    } cases[] = {
        {"A=1;ValidateURL=http://x/v.php;B=2;", "ValidateURL=", true, true, "http://x/v.php"},
        {"XUploadSite=q;", "UploadSite=", true, true, "q"},  // plain substring search
        {"ValidateURL=http://x/v.php", "ValidateURL=", true, false, ""},
        {"Ref=abc\r\n", "Ref=", false, true, "abc\r\n"},
        {"UserID=5;", "FileID=", false, false, ""},
        {"Key=;", "Key=", true, true, ""},
        {"", "Key=", false, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        std::string v = "stale";
        EXPECT_EQ(FindReplyValue(c.reply, c.key, c.needSemicolon, &v), c.found);
        EXPECT_EQ(v, c.value);
    }
}

TEST(ReplyText, LineEndsAndQuotesNeverReachAHeader) {
    struct Case {
        const char* in;
        const char* line;
        const char* header;
    } cases[] = {
        {"abc\r\n", "abc", "abc"},
        {"abc \t\r\nInjected: 1", "abc", "abc"},
        {"a\"b\"c", "a\"b\"c", "abc"},
        {"\nx", "", ""},
        {"plain", "plain", "plain"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(TrimLineEnd(c.in), c.line);
        EXPECT_EQ(TrimForHeader(c.in), c.header);
    }
}

TEST(ReplyText, FormValuesSurviveAFormDecoder) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"plain text-1_2.3~@:/?", "plain text-1_2.3~@:/?"},  // unchanged, byte for byte
        {"a&b=c", "a%26b%3Dc"},
        {"1+1=2", "1%2B1%3D2"},
        {"100%", "100%25"},
        {"\xe9t\xe9", "%E9t%E9"},
        {"line\r\nnext\t", "line%0D%0Anext%09"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(EncodeFormValue(c.in), c.out) << c.in;
}

TEST(ReplyText, NumbersAreClampedTo32Bits) {
    struct Case {
        const char* in;
        int32_t out;
    } cases[] = {
        {"17", 17},          {"17;FileID=3", 17},      {" -5x", -5},
        {"+8", 8},           {"", 0},                  {"abc", 0},
        {"2147483647", INT32_MAX}, {"2147483648", INT32_MAX}, {"99999999999999999999999", INT32_MAX},
        {"-2147483648", INT32_MIN}, {"-99999999999999", INT32_MIN},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseInt32(c.in), c.out) << c.in;
}

TEST(ReplyText, ExtensionComesFromTheFileNameOnly) {
    struct Case {
        const char* path;
        const char* ext;
        bool asWav;
    } cases[] = {
        {"C:\\rec\\take1.wav", "wav", true},   {"C:\\rec\\TAKE1.WAV", "wav", true},
        {"C:\\rec\\take1", "", true},          {"C:\\a.b\\take1", "", true},
        {"C:\\rec\\take1.mp3", "mp3", false},  {"C:\\rec\\take1.wma", "wma", false},
        {"take.tar.Mp3", "mp3", false},        {"C:\\rec\\take1.", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(PathExtension(c.path), c.ext);
        EXPECT_EQ(UploadAsWav(c.path), c.asWav);
    }
}

TEST(ReplyText, BoundedCopiesNeverOverrun) {
    char guarded[8 + 4];
    memset(guarded, '#', sizeof guarded);
    CopyBounded(guarded, 8, "0123456789");
    EXPECT_STREQ(guarded, "0123456");
    EXPECT_EQ(std::string(guarded + 8, 4), "####");
    CopyBounded(guarded, 8, "ab\0cd", 5);  // a length that holds a NUL still stops at 7
    EXPECT_EQ(guarded[0], 'a');
    EXPECT_EQ(guarded[5], '\0');
}

TEST(HostInfoReply, OnlyClosedKeysAreTakenAndCutToTheirFields) {
    HostInfo info;
    strcpy(info.SiteName, "keep");
    ParseHostInfo("ValidateURL=http://v/x.php;UploadSite=up.example;", &info);
    EXPECT_STREQ(info.ValidateURL, "http://v/x.php");
    EXPECT_STREQ(info.UploadSite, "up.example");
    EXPECT_STREQ(info.SiteName, "keep");
    EXPECT_STREQ(info.PostUploadURL, "");

    HostInfo open;
    ParseHostInfo("ValidateURL=http://v/x.php", &open);
    EXPECT_STREQ(open.ValidateURL, "");

    // Values far past every field: each is cut to its capacity less one and
    // the fields behind it stay intact.
    std::string reply = "SiteName=" + std::string(300, 'S') + ";CategoryList=" + std::string(9000, 'C') +
                        ";DefaultIsPublic=" + std::string(50, 'P') + ";DefaultDescription=" +
                        std::string(5000, 'D') + ";TessalyURL=" + std::string(600, 'T') +
                        ";DefaultTags=tags;";
    HostInfo big;
    ParseHostInfo(reply.c_str(), &big);
    EXPECT_EQ(std::string(big.SiteName), std::string(255, 'S'));
    EXPECT_EQ(std::string(big.CategoryList), std::string(8191, 'C'));
    EXPECT_EQ(std::string(big.DefaultIsPublic), std::string(19, 'P'));
    EXPECT_EQ(std::string(big.DefaultDescription), std::string(1023, 'D'));
    EXPECT_EQ(std::string(big.TessalyURL), std::string(255, 'T'));
    EXPECT_STREQ(big.DefaultTags, "tags");
    EXPECT_STREQ(big.DefaultEmailContent, "");
}

TEST(LoginCookie, ExpiryIsOneYearOnWithItsRealWeekday) {
    struct Case {
        WORD year, month, day;
        const char* text;
    } cases[] = {
        {2025, 12, 27, "expires=Sun, 27-Dec-2026 00:00:00 GMT"},
        {2024, 2, 29, "expires=Fri, 28-Feb-2025 00:00:00 GMT"},  // no 29 Feb next year
        {2024, 3, 1, "expires=Sat, 01-Mar-2025 00:00:00 GMT"},
        {2023, 12, 31, "expires=Tue, 31-Dec-2024 00:00:00 GMT"},  // 29 Feb lies between
        {2027, 1, 10, "expires=Mon, 10-Jan-2028 00:00:00 GMT"},
        {2026, 2, 28, "expires=Sun, 28-Feb-2027 00:00:00 GMT"},
    };
    for (const Case& c : cases) {
        SYSTEMTIME t = {};
        t.wYear = c.year;
        t.wMonth = c.month;
        t.wDay = c.day;
        t.wHour = 23;
        char text[1024];
        FormatCookieExpiry(t, text, sizeof text);
        EXPECT_STREQ(text, c.text);
    }
    char now[1024];
    MakeCookieExpiry(now, sizeof now);
    EXPECT_EQ(std::string(now).compare(0, 8, "expires="), 0) << now;
    EXPECT_EQ(strlen(now), strlen("expires=Sun, 27-Dec-2026 00:00:00 GMT"));
}

TEST(LoginCookie, ValueFormsAndWhatTheyGiveBack) {
    const char* expiry = "expires=Sun, 27-Dec-2026 00:00:00 GMT";
    struct Case {
        bool remember;
        const char* user;
        const char* password;
        const char* cookie;
        const char* backUser;
        const char* backPassword;
    } cases[] = {
        {true, "alice", "secret", "CooStr=UserName-alice|Pww-secret|isRemember-1|SN-7|;", "alice", "secret"},
        {false, "alice", "secret", "CooStr=UserName-0|Pww-0|isRemember-0|SN-7|;", "", ""},
        {true, "al|ce", "secret", "CooStr=UserName-0|Pww-0|isRemember-0|SN-7|;", "", ""},
        {true, "alice", "se;cret", "CooStr=UserName-0|Pww-0|isRemember-0|SN-7|;", "", ""},
        {true, "alice", "a&b=c", "CooStr=UserName-alice|Pww-a&b=c|isRemember-1|SN-7|;", "alice", "a&b=c"},
        {true, "alice", "", "CooStr=UserName-alice|Pww-|isRemember-1|SN-7|;", "alice", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cookie);
        char cookie[1024];
        BuildLoginCookie(c.remember, c.user, c.password, 7, expiry, cookie, sizeof cookie);
        EXPECT_EQ(std::string(cookie), std::string(c.cookie) + expiry);
        // WinInet gives the value back without its attributes, among the
        // site's other cookies.
        std::string stored = std::string(c.cookie);
        stored.pop_back();  // the ";" before the expiry
        LoginCookieFields fields;
        ASSERT_TRUE(ParseLoginCookie(("other=1; " + stored + "; last=2").c_str(), &fields));
        EXPECT_STREQ(fields.UserName, c.backUser);
        EXPECT_STREQ(fields.Password, c.backPassword);
        EXPECT_TRUE(fields.HasSN);
        EXPECT_EQ(fields.SN, 7);
    }
}

TEST(LoginCookie, ReadingBackIsBoundedAndTakesOnlyCooStr) {
    struct Case {
        std::string cookies;
        bool found;
        std::string user, password;
        bool hasSN;
        int32_t sn;
    } cases[] = {
        // Another cookie whose value holds the same words is not ours.
        {"x=XCooStr=UserName-eve|Pww-p|SN-9|; CooStr=UserName-bob|Pww-pw|isRemember-1|SN-3|", true,
         "bob", "pw", true, 3},
        {"x=UserName-eve|Pww-p|SN-9|", false, "", "", false, 0},
        {"CooStr=UserName-" + std::string(300, 'n') + "|Pww-" + std::string(300, 'p') +
             "|isRemember-1|SN-4|",
         true, std::string(127, 'n'), std::string(127, 'p'), true, 4},
        // A field without its closing "|" is not taken.
        {"CooStr=UserName-bob|Pww-pw|isRemember-1|SN-5", true, "bob", "pw", false, 0},
        {"CooStr=UserName-0|Pww-0|isRemember-1|SN-5|", true, "", "", true, 5},
        {"CooStr=UserName-bob|Pww-pw|SN-99999999999|", true, "bob", "pw", true, INT32_MAX},
        {"CooStr=UserName-bob|Pww-pw|isRemember-1|SN-2|; path=/x", true, "bob", "pw", true, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cookies.substr(0, 60));
        LoginCookieFields f;
        EXPECT_EQ(ParseLoginCookie(c.cookies.c_str(), &f), c.found);
        EXPECT_EQ(f.UserName, c.user);
        EXPECT_EQ(f.Password, c.password);
        EXPECT_EQ(f.HasSN, c.hasSN);
        if (c.hasSN) {
            EXPECT_EQ(f.SN, c.sn);
        }
    }
    EXPECT_EQ(NextSN(1), 2);
    EXPECT_EQ(NextSN(INT32_MAX), 1);
}

TEST(Multipart, FramingIsExactForWavAndMp3) {
    SYSTEMTIME t = {};
    t.wYear = 2026;
    t.wMonth = 3;
    t.wDay = 7;
    t.wHour = 9;
    t.wMinute = 5;
    t.wSecond = 7;
    UploadParts wav = BuildUploadParts("0.0.0.0", 5, "ab", 17, t, t, true);
    EXPECT_EQ(wav.boundary, "0.0.0.0202637957");
    EXPECT_EQ(wav.headers,
              "Accept: */*\r\nContent-Type: multipart/form-data; boundary=0.0.0.0202637957\r\n"
              "User-Agent: Sablet\r\n");
    EXPECT_EQ(wav.first,
              "\r\n--0.0.0.0202637957\r\nContent-Disposition: form-data; name=\"UserID\"\r\n\r\n5\r\n");
    EXPECT_EQ(wav.head,
              "\r\n--0.0.0.0202637957\r\nContent-Disposition: form-data; name=\"userfile\"; "
              "filename=\"ab_17_20260307-090507.wav\"\r\nContent-Type: audio/wav\r\n"
              "Content-Transfer-Encoding: binary\r\n\r\n");
    EXPECT_EQ(wav.trailer, "\r\n\r\n--0.0.0.0202637957--\r\n");

    SYSTEMTIME late = t;
    late.wMonth = 12;
    late.wDay = 31;
    late.wHour = 23;
    late.wMinute = 59;
    late.wSecond = 58;
    UploadParts mp3 = BuildUploadParts("10.1.2.3", -1, "r", 0, t, late, false);
    EXPECT_EQ(mp3.boundary, "10.1.2.3202612312359" "58");
    EXPECT_NE(mp3.head.find("filename=\"r_0_20260307-090507.mp3\"\r\nContent-Type: audio/mpeg\r\n"),
              std::string::npos);
    EXPECT_NE(mp3.first.find("\r\n\r\n-1\r\n"), std::string::npos);
}

TEST(UploadDetails, FormOrderEncodingAndFileId) {
    SharingSession s;
    strcpy(s.DefaultTitle, "A&B");
    strcpy(s.DefaultDescription, "d");
    strcpy(s.DefaultIsPublic, "on");
    strcpy(s.DefaultTags, "t");
    strcpy(s.EmailAddress, "x@y.z");
    strcpy(s.DefaultEmailContent, "hi=you");
    s.Category = -1;
    SYSTEMTIME t = {};
    t.wYear = 2026;
    t.wMonth = 3;
    t.wDay = 7;
    t.wHour = 9;
    t.wMinute = 5;
    t.wSecond = 7;
    EXPECT_EQ(s.BuildUploadDetails("FILEID=42", false, t),
              "UploadTime=2026-03-07 09:05:07&FileID=42&Title=A%26B&Description=d&Category=-1"
              "&isPublic=on&Tags=t");
    EXPECT_EQ(s.BuildUploadDetails("ok FILEID=42\r\n", true, t),
              "UploadTime=2026-03-07 09:05:07&FileID=42&Title=A%26B&Description=d&Category=-1"
              "&isPublic=on&Tags=t&EmailAddress=x@y.z&EmailContent=hi%3Dyou");
    // The id runs to the reply's end; only the closing line ends go.
    EXPECT_EQ(SharingSession::UploadedFileId("FILEID=12\r\n"), "12");
    EXPECT_EQ(SharingSession::UploadedFileId("FILEID=12 \r\nmore"), "12 \r\nmore");
    EXPECT_EQ(SharingSession::UploadedFileId("no id"), "");
    struct IdCase {
        const char* id;
        bool usable;
    } ids[] = {{"12", true}, {"aB-3_x.9", true}, {"", false}, {"12 ", false}, {"12\r\nmore", false},
               {"<script>", false}, {"a&b", false}, {"a\"b", false}, {"a'b", false}, {"\xe9", false}};
    for (const IdCase& c : ids) EXPECT_EQ(SharingSession::IsUsableFileId(c.id), c.usable) << c.id;
}

TEST(HttpExchange, UnusableAddressesMakeNoRequest) {
    char reply[16] = "stale";
    DWORD length = 99;
    for (const char* url : {"", "ftp://host/x", "https://host/x", "not a url", "http://"}) {
        SCOPED_TRACE(url);
        EXPECT_EQ(HttpRequest(url, "", reply, sizeof reply, HTTP_REQUEST_GET, &length), 0);
        EXPECT_EQ(length, 0u);
    }
    // With no login address and no file id, nothing goes out either.
    SharingSession s;
    strcpy(s.UserName, "alice");
    EXPECT_FALSE(s.LoginToService(true));
    EXPECT_FALSE(s.PostDeleteRequest());
    s.FileID = 5;  // an id, but no address to post to
    EXPECT_FALSE(s.PostDeleteRequest());
}

TEST(EchoPacket, RequestAndReplyMatching) {
    unsigned char request[44];
    BuildEchoRequest(0x1234, 0xA1B2C3D4, request);
    EXPECT_EQ(request[0], 8);
    EXPECT_EQ(request[1], 0);
    EXPECT_EQ(request[4], 0x34);  // identifier as stored little-endian
    EXPECT_EQ(request[5], 0x12);
    EXPECT_EQ(request[6], 0);
    EXPECT_EQ(request[7], 0);
    EXPECT_EQ(request[8], 0xD4);
    for (int i = 12; i < 44; ++i) EXPECT_EQ(request[i], 0x45);
    // A packet with its checksum in place sums to zero.
    EXPECT_EQ(InternetChecksum(request, sizeof request), 0);

    auto datagram = [](unsigned char ihl, unsigned char type, uint16_t id, size_t length) {
        std::string d(length, '\0');
        d[0] = static_cast<char>(0x40 | ihl);
        size_t h = ihl * 4u;
        if (h < length) d[h] = static_cast<char>(type);
        if (h + 5 < length) {
            d[h + 4] = static_cast<char>(id);
            d[h + 5] = static_cast<char>(id >> 8);
        }
        return d;
    };
    struct Case {
        std::string d;
        bool ours;
    } cases[] = {
        {datagram(5, 0, 0x1234, 64), true},
        {datagram(6, 0, 0x1234, 64), true},     // IP options
        {datagram(5, 8, 0x1234, 64), false},    // our own request looped back
        {datagram(5, 0, 0x4321, 64), false},    // another process's reply
        {datagram(5, 0, 0x1234, 27), false},    // shorter than header + 8
        {datagram(5, 0, 0x1234, 28), true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsEchoReplyFor(reinterpret_cast<const unsigned char*>(c.d.data()), c.d.size(), 0x1234),
                  c.ours);
}

TEST(UploadForm, CategoryEntriesEndAtTheirBar) {
    struct Case {
        const char* list;
        std::vector<std::pair<int32_t, std::string>> entries;
    } cases[] = {
        {"3-Music|7-Talk|", {{3, "Music"}, {7, "Talk"}}},
        {"", {}},
        {"Music|7-Talk|", {}},                       // no "-" inside the first entry
        {"3-Music|7-Talk", {{3, "Music"}}},         // the last entry lacks its "|"
        {"1000-Other|x-Bad|5-a-b|", {{1000, "Other"}, {0, "Bad"}, {5, "a-b"}}},
        {"-Empty||", {{0, "Empty"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        std::vector<CategoryEntry> got = ParseCategoryList(c.list);
        ASSERT_EQ(got.size(), c.entries.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].id, c.entries[i].first);
            EXPECT_EQ(got[i].name, c.entries[i].second);
        }
    }
    std::string longName = "9-" + std::string(400, 'n') + "|";
    ASSERT_EQ(ParseCategoryList(longName.c_str()).size(), 1u);
    EXPECT_EQ(ParseCategoryList(longName.c_str())[0].name.size(), 255u);
}

TEST(UploadForm, CheckNamesEveryFailedRule) {
    struct Case {
        const char *user, *password, *title;
        bool sendEmail;
        const char* email;
        const char* message;
    } cases[] = {
        {"alice", "secret", "t", false, "", ""},
        {"a", "secret", "", false, "", "User Name is not correct\nTitle cannot be empty\n"},
        {"alice", "s", "t", false, "", "Password is not correct\n"},
        {"alice", "secret", "t", false, "nonsense", ""},  // not checked without e-mail
        {"alice", "secret", "t", true, "me@example", "Email Address is not correct\n"},
        {"alice", "secret", "t", true, "me.example.org", "Email Address is not correct\n"},
        {"alice", "secret", "t", true, "me@example.org", ""},
        {"", "", "", true, "", "User Name is not correct\nPassword is not correct\nTitle cannot be empty\n"
                               "Email Address is not correct\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckUploadForm(c.user, c.password, c.title, c.sendEmail, c.email), c.message) << c.user;
}

TEST(UploadForm, TitleResultTextAndBrowserAddress) {
    EXPECT_EQ(ProposedTitle("Talk", 7), "Talk 0007");
    EXPECT_EQ(ProposedTitle("Talk", 123456), "Talk 123456");
    std::string longTitle(255, 't');
    EXPECT_EQ(ProposedTitle(longTitle.c_str(), INT32_MIN), longTitle + " -2147483648");

    EXPECT_EQ(ToCrLf("a\nb\r\nc\n"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(ToCrLf("\n"), "\r\n");
    EXPECT_EQ(ToCrLf("plain"), "plain");

    struct Case {
        const char* address;
        bool ok;
    } cases[] = {
        {"http://cantabel.example/host/", true}, {"HTTPS://x.example/a?b=c", true},
        {"ftp://x.example/", false},             {"http://x.example/a b", false},
        {"http://x\" -new-window", false},      {"file:///c:/x", false},
        {"", false},                             {"http://x/\tq", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsOpenableAddress(c.address), c.ok) << c.address;
}

TEST(UploadForm, EveryOutcomeHasItsMessage) {
    struct Case {
        ShareResult result;
        const char* text;
        const char* caption;
    } cases[] = {
        {ShareResult::LoginFailed,
         "Invalid User Name or Password\n\nIf you don't have an account, you can create one",
         "Invaliad User Name or Password"},
        {ShareResult::ServiceUnavailable,
         "Service not available!\n\nPlease check if you have internet connection and try later", ""},
        {ShareResult::UploadFailed, "Upload failed\n\n Please try again later", ""},
        {ShareResult::FileMissing, "The file you want to upload is not exist\n\n Please try aother file", ""},
        {ShareResult::Refused, "Upload failed\n\n Please try again later", "Upload failed"},
        {ShareResult::DetailsFailed, "Upload failed\n\n Please try again later", "Upload failed"},
        {ShareResult::DebugReply, "FILEID=DEBUG x", ""},
        {ShareResult::Shared, "", ""},
    };
    for (const Case& c : cases) {
        ShareOutcome outcome;
        outcome.result = c.result;
        outcome.text = "FILEID=DEBUG x";
        OutcomeMessage m = MessageFor(outcome);
        EXPECT_EQ(m.text, c.text);
        EXPECT_EQ(m.caption, c.caption);
    }
}
