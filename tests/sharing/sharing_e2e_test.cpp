// The sharing client against the local stand-in of the service, under Wine:
// host information, login and its cookie across processes, uploads with
// their exact wire bytes, details and delete posts, and every fault the
// stand-in can play.
#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <cstring>
#include <string>
#include <vector>

#include "sharing/HostInfo.h"
#include "sharing/HttpRequest.h"
#include "sharing/LoginCookie.h"
#include "sharing/ReplyText.h"
#include "sharing/SharingSession.h"
#include "tests/sharing/service_standin.h"
#include "tests/support/bench.h"

using namespace sharing_test;

namespace {

// A site name of this test process alone: cookies live in the prefix's
// cookie store, which parallel tests share.
std::string UniqueSite(const char* tag) {
    return std::string(tag) + "-" + std::to_string(GetCurrentProcessId()) + ".cantabel.test";
}

// Records the progress the upload reports.
class ProgressSession : public SharingSession {
public:
    std::vector<int> progress;
    int begun = 0;

protected:
    void UploadProgressBegin() override { ++begun; }
    void UploadProgress(int percent) override { progress.push_back(percent); }
};

void FillForm(SharingSession& s, const char* user, const char* password) {
    sharing::CopyBounded(s.UserName, user);
    sharing::CopyBounded(s.Password, password);
}

// A deterministic byte pattern (not silence, so a shifted byte shows).
std::string PatternBytes(size_t n, unsigned seed) {
    std::string out(n, '\0');
    unsigned x = seed;
    for (size_t i = 0; i < n; ++i) {
        x = x * 1103515245u + 12345u;
        out[i] = static_cast<char>(x >> 16);
    }
    return out;
}

std::string MakeWav(size_t dataBytes) {
    std::string pcm = PatternBytes(dataBytes, 7);
    return bench::WavBytes(44100, 2, pcm);
}

}  // namespace

// The primary host-information host is unreachable, or answers with an
// error page: the secondary host's answer is used, and every field is read.
TEST(SharingService, HostInformationFallsBackToTheSecondHost) {
    struct Case {
        const char* option;
    } cases[] = {{"--down www.cantabel.com"}, {"--error-host www.cantabel.com"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        ServiceStandIn service(c.option, UniqueSite("hi"));
        ASSERT_TRUE(service.Ok());
        SharingSession s;
        s.RequestHostInfo();
        EXPECT_STREQ(s.ValidateURL, ("http://" + service.Site() + "/validateuser.php").c_str());
        EXPECT_STREQ(s.PostUploadURL, ("http://" + service.Site() + "/apppostupload.php").c_str());
        EXPECT_STREQ(s.UploadSite, service.Site().c_str());
        EXPECT_STREQ(s.UploadScript, "upost.php");
        EXPECT_STREQ(s.TessalyURL, ("http://" + service.Site() + "/host/").c_str());
        EXPECT_STREQ(s.DefaultTitle, "Talk");
        EXPECT_STREQ(s.DefaultDescription, "My recorded Audio Clip");
        EXPECT_STREQ(s.DefaultEmailContent, "I just recorded an audio clip, you can listen here");
        EXPECT_STREQ(s.DefaultIsPublic, "on");
        EXPECT_STREQ(s.DefaultTags, "voice talk");
        EXPECT_STREQ(s.CategoryList, "3-Music|7-Talk|");
        EXPECT_STREQ(s.SiteName, "Cantabel Test Site");

        std::vector<LoggedRequest> asked = service.Requests();
        ASSERT_EQ(asked.size(), 2u);
        EXPECT_EQ(asked[0].host, "www.cantabel.com");
        EXPECT_EQ(asked[1].host, "www2.cantabel.com");
        EXPECT_EQ(asked[1].path, "/GetHostInfo.php");
        // ?Ref= and nine digits of the local time.
        std::string head = service.Head(asked[1].n);
        size_t q = head.find("/GetHostInfo.php?Ref=");
        ASSERT_NE(q, std::string::npos) << head;
        std::string ref = head.substr(q + 21, 10);
        EXPECT_EQ(ref.find_first_not_of("0123456789"), 9u) << ref;
        EXPECT_NE(head.find(" HTTP/1.0\r\n"), std::string::npos) << head;
    }
}

TEST(SharingService, NoHostAnswersLeavesTheServiceUnavailable) {
    ServiceStandIn service("--down www.cantabel.com --down www2.cantabel.com", UniqueSite("na"));
    ASSERT_TRUE(service.Ok());
    SharingSession s;
    s.RequestHostInfo();
    EXPECT_STREQ(s.ValidateURL, "");
    EXPECT_STREQ(s.SiteName, "");
}

namespace {

// Runs one disabled case of this program in a new process (a restart of
// the program as far as WinInet's cookie store goes) and returns what it
// wrote into `out`.
std::string RunChild(const std::string& filter, const std::string& site) {
    std::string out = bench::ScratchDir() + "\\child.txt";
    SetEnvironmentVariableA("SHARING_CHILD_SITE", site.c_str());
    SetEnvironmentVariableA("SHARING_CHILD_OUT", out.c_str());
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string cmd = std::string("\"") + exe + "\" --gtest_also_run_disabled_tests --gtest_filter=" + filter;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return "<no child>";
    DWORD waited = WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (waited != WAIT_OBJECT_0 || code != 0) return "<child failed>";
    return ReadFileBytes(out);
}

}  // namespace

// The second process of the cookie check: a fresh session that only reads
// the stored cookie back.
TEST(SharingCookieChild, DISABLED_ReadBack) {
    IsolateUserRegistry();
    SharingSession s;
    sharing::CopyBounded(s.UploadSite, bench::Env("SHARING_CHILD_SITE").c_str());
    s.SN = -7;  // shows whether the cookie set it
    s.LoadLoginCookie();
    std::string text = std::string(s.UserName) + "\n" + s.Password + "\n" + std::to_string(s.SN) + "\n";
    ASSERT_TRUE(WriteFileBytes(bench::Env("SHARING_CHILD_OUT"), text));
}

// Login with and without "Remember Password": the cookie outlives the
// process (it has a real expiry) and gives the name and password back only
// when they were to be remembered and can be stored whole.
TEST(SharingService, LoginCookiePersistsAcrossProcesses) {
    struct Case {
        const char* tag;
        bool remember;
        const char* password;
        const char* expected;  // what the next process reads back
    } cases[] = {
        {"rem", true, "secret", "alice\nsecret\n2\n"},
        {"norem", false, "secret", "\n\n2\n"},
        {"bar", true, "se|cret", "\n\n2\n"},    // "|" would break the cookie apart
        {"semi", true, "se;cret", "\n\n2\n"},   // ";" would end it
        {"amp", true, "a&b=c+d%e", "alice\na&b=c+d%e\n2\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tag);
        std::string account = std::string("alice:") + c.password + ":5";
        std::string arg = "'" + account + "'";
        ServiceStandIn service("--account " + arg, UniqueSite(c.tag));
        ASSERT_TRUE(service.Ok());
        SharingSession s;
        s.RequestHostInfo();
        ASSERT_STREQ(s.UploadSite, service.Site().c_str());
        FillForm(s, "alice", c.password);
        ASSERT_TRUE(s.LoginToService(c.remember));
        EXPECT_EQ(s.UserID, 5);
        EXPECT_EQ(s.FileID, 100);
        EXPECT_STREQ(s.IP, "127.0.0.1");
        EXPECT_STREQ(s.Ref, "ref100");
        EXPECT_EQ(s.SN, 2);
        EXPECT_EQ(RunChild("SharingCookieChild.DISABLED_ReadBack", service.Site()), c.expected);
    }
}

// Refused logins: wrong password, unknown user, an account whose id is 0,
// and no user name at all (no request then).
TEST(SharingService, RefusedLoginsFailWithoutCookie) {
    ServiceStandIn service("--account alice:secret:5 --account zero:secret:0", UniqueSite("refuse"));
    ASSERT_TRUE(service.Ok());
    struct Case {
        const char* user;
        const char* password;
    } cases[] = {{"alice", "wrong"}, {"nobody", "secret"}, {"zero", "secret"}, {"", "secret"}};
    SharingSession s;
    s.RequestHostInfo();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user);
        FillForm(s, c.user, c.password);
        EXPECT_FALSE(s.LoginToService(true));
        EXPECT_EQ(s.UserID, 0);
        EXPECT_EQ(s.SN, 1);
        EXPECT_STREQ(s.IP, "0.0.0.0");
    }
    EXPECT_EQ(service.Requests("login").size(), 3u);
    s.LoadLoginCookie();
    EXPECT_STREQ(s.UserName, "");
}

namespace {

struct UploadCheck {
    std::string name;       // file name in the scratch folder
    std::string bytes;
    bool asWav;
};

// The body the service must receive, rebuilt here from the logged boundary
// and file name.
std::string ExpectedBody(const std::string& boundary, int userId, const std::string& filename,
                         const std::string& contentType, const std::string& file) {
    return "\r\n--" + boundary + "\r\nContent-Disposition: form-data; name=\"UserID\"\r\n\r\n" +
           std::to_string(userId) + "\r\n" + "\r\n--" + boundary +
           "\r\nContent-Disposition: form-data; name=\"userfile\"; filename=\"" + filename +
           "\"\r\nContent-Type: " + contentType + "\r\nContent-Transfer-Encoding: binary\r\n\r\n" + file +
           "\r\n\r\n--" + boundary + "--\r\n";
}

bool AllDigits(const std::string& s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

// A 3 MB WAV and an MP3 go up with the progress reaching 100; the service
// receives them byte for byte in the exact multipart framing, then the
// details (with characters a form decoder would misread) and shows the
// service's message.
TEST(SharingService, UploadsArriveByteForByteWithDetails) {
    std::string dir = bench::ScratchDir();
    std::string mp3Path = dir + "\\take two.mp3";
    ASSERT_EQ(bench::Host("ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=20 -c:a libmp3lame "
                          "-b:a 128k '" + bench::UnixPath(mp3Path) + "'"),
              0);
    std::vector<UploadCheck> files = {
        {"take1.wav", MakeWav(3 * 1024 * 1024 - 44), true},
        {"take two.mp3", ReadFileBytes(mp3Path), false},
    };
    ASSERT_GT(files[1].bytes.size(), 100000u);
    ASSERT_TRUE(WriteFileBytes(dir + "\\take1.wav", files[0].bytes));

    ServiceStandIn service("", UniqueSite("up"));
    ASSERT_TRUE(service.Ok());
    for (const UploadCheck& f : files) {
        SCOPED_TRACE(f.name);
        ProgressSession s;
        s.RequestHostInfo();
        ASSERT_STRNE(s.ValidateURL, "");
        FillForm(s, "alice", "secret");
        sharing::CopyBounded(s.FilePath, (dir + "\\" + f.name).c_str());
        sharing::CopyBounded(s.DefaultTitle, "Rock & Roll + 100% \xe9t\xe9");
        sharing::CopyBounded(s.DefaultDescription, "line one\r\nline=two");
        sharing::CopyBounded(s.DefaultTags, "a+b");
        sharing::CopyBounded(s.EmailAddress, "me@example.org");
        s.Category = 7;
        ShareOutcome outcome = s.ShareFile(true, true);
        ASSERT_EQ(outcome.result, ShareResult::Shared);
        EXPECT_FALSE(outcome.deleteSent);

        // Progress: once begun, never backwards, ends at 100.
        EXPECT_EQ(s.begun, 1);
        ASSERT_FALSE(s.progress.empty());
        EXPECT_EQ(s.progress.back(), 100);
        for (size_t i = 1; i < s.progress.size(); ++i) EXPECT_LE(s.progress[i - 1], s.progress[i]);
        EXPECT_EQ(s.progress.size(), (f.bytes.size() + 5119) / 5120);

        std::vector<LoggedRequest> uploads = service.Requests("upload");
        ASSERT_FALSE(uploads.empty());
        const LoggedRequest& up = uploads.back();
        EXPECT_EQ(up.host, service.Site());
        EXPECT_EQ(up.path, "/upost.php");
        EXPECT_EQ(service.StoredFile(up.stored), f.bytes) << "stored file differs";

        std::string contentType = service.Header(up.n, "Content-Type");
        const std::string prefix = "multipart/form-data; boundary=";
        ASSERT_EQ(contentType.compare(0, prefix.size(), prefix), 0) << contentType;
        std::string boundary = contentType.substr(prefix.size());
        ASSERT_EQ(boundary.compare(0, 9, "127.0.0.1"), 0) << boundary;
        EXPECT_TRUE(AllDigits(boundary.substr(9))) << boundary;
        EXPECT_EQ(service.Header(up.n, "User-Agent"), "Sablet");
        EXPECT_EQ(service.Header(up.n, "Accept"), "*/*");

        // ref<id>_<id>_YYYYMMDD-HHMMSS.wav|mp3
        std::string fileId = std::to_string(s.FileID);
        std::string body = service.Body(up.n);
        size_t nameAt = body.find("filename=\"");
        ASSERT_NE(nameAt, std::string::npos);
        std::string filename = body.substr(nameAt + 10, body.find('"', nameAt + 10) - nameAt - 10);
        std::string lead = "ref" + fileId + "_" + fileId + "_";
        ASSERT_EQ(filename.compare(0, lead.size(), lead), 0) << filename;
        std::string stamp = filename.substr(lead.size(), 15);
        EXPECT_TRUE(AllDigits(stamp.substr(0, 8)) && stamp[8] == '-' && AllDigits(stamp.substr(9, 6)))
            << filename;
        EXPECT_EQ(filename.substr(lead.size() + 15), f.asWav ? ".wav" : ".mp3");
        EXPECT_TRUE(body == ExpectedBody(boundary, 5, filename, f.asWav ? "audio/wav" : "audio/mpeg",
                                         f.bytes))
            << "multipart framing differs";
        EXPECT_EQ(service.Header(up.n, "Content-Length"), std::to_string(body.size()));

        // Details: field order and encoding, then the service's message.
        std::vector<LoggedRequest> details = service.Requests("details");
        ASSERT_FALSE(details.empty());
        std::string form = service.Body(details.back().n);
        ASSERT_EQ(form.compare(0, 11, "UploadTime="), 0) << form;
        EXPECT_EQ(form.substr(11, 4).find_first_not_of("0123456789"), std::string::npos) << form;
        EXPECT_EQ(form.substr(30),
                  "&FileID=" + fileId +
                      "&Title=Rock %26 Roll %2B 100%25 %E9t%E9&Description=line one%0D%0Aline%3Dtwo"
                      "&Category=7&isPublic=on&Tags=a%2Bb&EmailAddress=me@example.org"
                      "&EmailContent=I just recorded an audio clip, you can listen here");
        EXPECT_EQ(outcome.text, "Your audio file is online.\nListen: http://" + service.Site() +
                                    "/listen.php?id=" + fileId + "\nTitle: Rock & Roll + 100% \xe9t\xe9");
    }
    EXPECT_TRUE(service.Requests("delete").empty());
}

// Every way an upload can fail before the file is safely with the service
// ends in a failure, and the file of the login is deleted; a refusal by the
// service (FILEID=NULL) and a diagnostic answer are reported as such. A
// reply whose id is empty, follows a warning page or is markup names no
// file: no details go out with it.
TEST(SharingService, FailedUploadsAskForTheDelete) {
    struct Case {
        const char* options;
        bool missingFile;
        ShareResult result;
        bool deletes;
    } cases[] = {
        {"--fault upload=http500", false, ShareResult::UploadFailed, true},
        {"--fault upload=reset", false, ShareResult::UploadFailed, true},
        {"--fault upload=truncated", false, ShareResult::UploadFailed, true},
        {"--upload-answer none", false, ShareResult::UploadFailed, true},
        {"--upload-answer empty", false, ShareResult::UploadFailed, true},
        {"--upload-answer warning", false, ShareResult::UploadFailed, true},
        {"--upload-answer script", false, ShareResult::UploadFailed, true},
        {"", true, ShareResult::FileMissing, true},
        {"--upload-answer null", false, ShareResult::Refused, false},
        {"--upload-answer debug", false, ShareResult::DebugReply, false},
        // A login reply without a file id: nothing to delete.
        {"--fault upload=reset --first-file-id 0", false, ShareResult::UploadFailed, false},
    };
    std::string dir = bench::ScratchDir();
    std::string wav = dir + "\\small.wav";
    ASSERT_TRUE(WriteFileBytes(wav, MakeWav(10000)));
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.options) + (c.missingFile ? " missing file" : ""));
        ServiceStandIn service(c.options, UniqueSite(("del" + std::to_string(index++)).c_str()));
        ASSERT_TRUE(service.Ok());
        SharingSession s;
        s.RequestHostInfo();
        FillForm(s, "alice", "secret");
        sharing::CopyBounded(s.FilePath, c.missingFile ? (dir + "\\gone.wav").c_str() : wav.c_str());
        ShareOutcome outcome = s.ShareFile(false, false);
        EXPECT_EQ(outcome.result, c.result);
        EXPECT_EQ(outcome.deleteSent, c.deletes);
        EXPECT_TRUE(service.Requests("details").empty());
        std::vector<LoggedRequest> deletes = service.Requests("delete");
        ASSERT_EQ(deletes.size(), c.deletes ? 1u : 0u);
        if (c.deletes) {
            EXPECT_EQ(service.Body(deletes[0].n), "FileID=" + std::to_string(s.FileID) + "&Action=Delete");
        }
        if (c.missingFile) {
            EXPECT_TRUE(service.Requests("upload").empty());
        }
        if (c.result == ShareResult::DebugReply) {
            EXPECT_EQ(outcome.text.compare(0, 12, "FILEID=DEBUG"), 0) << outcome.text;
        }
    }
}

namespace {

struct FaultCase {
    const char* options;
    bool serviceAvailable;   // host information gave a login address
    ShareResult result;      // when it did
    bool deletes;
};

}  // namespace

// Every fault of the stand-in ends in a clear result: the service is not
// available (also when the login gets no answer or an error status), the
// login fails, the upload fails or its details post fails (and the file is
// deleted either way). Nothing is reported as shared that was not,
// and replies that are merely slow, split or oversized still work, cut to
// their buffers.
TEST(SharingService, EveryFaultEndsInAClearResult) {
    const FaultCase cases[] = {
        {"--fault hostinfo=slow:2", true, ShareResult::Shared, false},
        {"--fault hostinfo=split", true, ShareResult::Shared, false},
        {"--fault hostinfo=truncated", false, ShareResult::LoginFailed, false},
        {"--fault hostinfo=http500", false, ShareResult::LoginFailed, false},
        {"--fault hostinfo=reset", false, ShareResult::LoginFailed, false},
        {"--fault hostinfo=oversized", true, ShareResult::Shared, false},
        {"--fault hostinfo=nosemicolon", true, ShareResult::Shared, false},
        {"--fault login=split", true, ShareResult::Shared, false},
        {"--fault login=truncated", true, ShareResult::ServiceUnavailable, false},
        {"--fault login=http500", true, ShareResult::ServiceUnavailable, false},
        {"--fault login=reset", true, ShareResult::ServiceUnavailable, false},
        {"--fault login=oversized", true, ShareResult::Shared, false},
        {"--fault login=nosemicolon", true, ShareResult::Shared, false},
        {"--fault upload=slow:2", true, ShareResult::Shared, false},
        {"--fault upload=split", true, ShareResult::Shared, false},
        {"--fault upload=oversized", true, ShareResult::Shared, false},
        {"--fault upload=nosemicolon", true, ShareResult::Shared, false},
        {"--fault details=http500", true, ShareResult::DetailsFailed, true},
        {"--fault details=reset", true, ShareResult::DetailsFailed, true},
        {"--fault details=truncated", true, ShareResult::DetailsFailed, true},
        {"--fault details=split", true, ShareResult::Shared, false},
        {"--fault details=oversized", true, ShareResult::Shared, false},
        {"--fault upload=http500 --fault delete=reset", true, ShareResult::UploadFailed, false},
        // A delete answered with an error status was not taken.
        {"--fault upload=reset --fault delete=http500", true, ShareResult::UploadFailed, false},
        // An error status with a body that parses is a failure all the same.
        {"--fault hostinfo=status500", false, ShareResult::LoginFailed, false},
        {"--fault login=status500", true, ShareResult::ServiceUnavailable, false},
        {"--fault upload=status500", true, ShareResult::UploadFailed, true},
        {"--fault details=status500", true, ShareResult::DetailsFailed, true},
        {"--fault upload=reset --fault delete=status500", true, ShareResult::UploadFailed, false},
    };
    std::string wav = bench::ScratchDir() + "\\fault.wav";
    ASSERT_TRUE(WriteFileBytes(wav, MakeWav(60000)));
    int index = 0;
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.options);
        ServiceStandIn service(c.options, UniqueSite(("f" + std::to_string(index++)).c_str()));
        ASSERT_TRUE(service.Ok());
        SharingSession s;
        s.RequestHostInfo();
        EXPECT_EQ(s.ValidateURL[0] != '\0', c.serviceAvailable);
        if (!c.serviceAvailable) continue;
        EXPECT_LT(strlen(s.SiteName), sizeof s.SiteName);
        EXPECT_LT(strlen(s.CategoryList), sizeof s.CategoryList);
        FillForm(s, "alice", "secret");
        sharing::CopyBounded(s.FilePath, wav.c_str());
        strcpy(s.DefaultTitle, "t");
        ShareOutcome outcome = s.ShareFile(false, false);
        EXPECT_EQ(outcome.result, c.result);
        // deleteSent tells whether the service took the delete post.
        EXPECT_EQ(outcome.deleteSent, c.deletes);
        EXPECT_LE(strlen(s.IP), 49u);
        EXPECT_LE(strlen(s.Ref), 127u);
        bool shared = outcome.result == ShareResult::Shared;
        EXPECT_EQ(service.Requests("details").size(), shared || c.result == ShareResult::DetailsFailed ? 1u : 0u);
        // Whatever the login reply held, no line end or quote reached the
        // upload's head.
        for (const LoggedRequest& up : service.Requests("upload")) {
            std::string body = service.Body(up.n);
            std::string head = body.substr(0, body.find("Content-Transfer-Encoding"));
            EXPECT_EQ(head.find("\r\n\r\n--", 2), head.find("\r\n\r\n--", 2));
            size_t name = head.find("filename=\"");
            ASSERT_NE(name, std::string::npos);
            std::string filename = head.substr(name + 10, head.find('"', name + 10) - name - 10);
            EXPECT_EQ(filename.find_first_of("\r\n"), std::string::npos) << filename;
            EXPECT_EQ(service.Header(up.n, "Content-Type").find_first_of("\r\n\""), std::string::npos);
        }
    }
}

// The specific values of the malformed and oversized replies.
TEST(SharingService, MalformedRepliesAreCutAndTrimmed) {
    {
        ServiceStandIn service("--fault hostinfo=oversized --fault login=oversized --fault upload=oversized",
                               UniqueSite("big"));
        ASSERT_TRUE(service.Ok());
        SharingSession s;
        s.RequestHostInfo();
        EXPECT_EQ(std::string(s.SiteName), std::string(255, 'S'));
        EXPECT_EQ(strlen(s.CategoryList), 8191u);
        EXPECT_EQ(std::string(s.DefaultIsPublic), std::string(19, 'P'));
        EXPECT_EQ(strlen(s.TessalyURL), 255u);
        FillForm(s, "alice", "secret");
        ASSERT_TRUE(s.LoginToService(false));
        EXPECT_EQ(std::string(s.IP), std::string(49, '9'));
        EXPECT_EQ(std::string(s.Ref), std::string(127, 'r'));
        std::string wav = bench::ScratchDir() + "\\big.wav";
        ASSERT_TRUE(WriteFileBytes(wav, MakeWav(1000)));
        char reply[kUploadReplySize];
        EXPECT_EQ(s.UploadFile(wav.c_str(), reply, sizeof reply), 1);
        EXPECT_EQ(strlen(reply), sizeof reply - 1);  // 10 KB reply cut to the buffer
    }
    {
        ServiceStandIn service("--fault hostinfo=nosemicolon --fault login=nosemicolon --fault upload=nosemicolon",
                               UniqueSite("semi"));
        ASSERT_TRUE(service.Ok());
        SharingSession s;
        s.RequestHostInfo();
        EXPECT_STREQ(s.SiteName, "");  // the key without its ";"
        EXPECT_STREQ(s.CategoryList, "3-Music|7-Talk|");
        FillForm(s, "alice", "secret");
        std::string wav = bench::ScratchDir() + "\\semi.wav";
        ASSERT_TRUE(WriteFileBytes(wav, MakeWav(1000)));
        sharing::CopyBounded(s.FilePath, wav.c_str());
        ShareOutcome outcome = s.ShareFile(false, false);
        EXPECT_EQ(outcome.result, ShareResult::Shared);
        EXPECT_STREQ(s.Ref, "ref100");
        std::vector<LoggedRequest> details = service.Requests("details");
        ASSERT_EQ(details.size(), 1u);
        std::string form = service.Body(details[0].n);
        EXPECT_NE(form.find("&FileID=100&Title="), std::string::npos) << form;
    }
}

// A service that accepts the connection and never answers: the request
// gives up at the session's timeout and the upload counts as failed.
TEST(SharingService, SilentServiceGivesUpAtTheTimeout) {
    ServiceStandIn service("--fault upload=stall:60", UniqueSite("stall"));
    ASSERT_TRUE(service.Ok());
    SharingSession s;
    s.RequestHostInfo();
    FillForm(s, "alice", "secret");
    std::string wav = bench::ScratchDir() + "\\stall.wav";
    ASSERT_TRUE(WriteFileBytes(wav, MakeWav(1000)));
    sharing::CopyBounded(s.FilePath, wav.c_str());
    ULONGLONG start = GetTickCount64();
    ShareOutcome outcome = s.ShareFile(false, false);
    ULONGLONG took = GetTickCount64() - start;
    EXPECT_EQ(outcome.result, ShareResult::UploadFailed);
    EXPECT_TRUE(outcome.deleteSent);
    EXPECT_LT(took, kSharingTimeoutMs + 10000ull) << took;
}
