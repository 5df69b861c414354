#include "control/AdHostInfo.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "control/SabletServiceUrls.h"
#include "framework/Handles.h"
#include "sharing/HttpRequest.h"
#include "sharing/ReplyText.h"

namespace sablet {

using sharing::CopyBounded;

const char* const AdIdUrls[kServiceHostCount] = {SABLET_ADID_URLS};
const char* const HostInfoUrls[kServiceHostCount] = {SABLET_HOSTINFO_URLS};
const char kMakerHomePage[] = SABLET_MAKER_HOME_PAGE;
const char kResizedPageDefault[] = SABLET_RESIZED_PAGE;

namespace {

constexpr size_t kReplySize = 65536;

// A text field of a record and how many characters of it the service may fill.
struct TextField {
    const char* key;
    char* out;
    size_t capacity;
};

void ParseTextFields(const char* reply, const TextField* fields, size_t count) {
    std::string value;
    for (size_t i = 0; i < count; ++i)
        if (sharing::FindReplyValue(reply, fields[i].key, true, &value))
            CopyBounded(fields[i].out, fields[i].capacity, value.c_str(), value.size());
}

void ParseNumber(const char* reply, const char* key, int32_t* out) {
    std::string value;
    if (sharing::FindReplyValue(reply, key, true, &value)) *out = sharing::ParseInt32(value.c_str());
}

// Asks each address of `urls` in turn; true with the first reply that came.
// A cancelled exchange asks no further address.
bool AskFirstAnswering(const char* const* urls, size_t count, const char* query, std::vector<char>* reply,
                       HttpAbort* abort) {
    for (size_t i = 0; i < count && !abort->Cancelled(); ++i) {
        DWORD length = 0;
        if (HttpRequest(urls[i], query, reply->data(), reply->size(), HTTP_REQUEST_GET, &length, abort) == 1)
            return true;
    }
    return false;
}

class SectionScope {
public:
    explicit SectionScope(CRITICAL_SECTION* cs) : cs_(cs) { EnterCriticalSection(cs_); }
    ~SectionScope() { LeaveCriticalSection(cs_); }
    SectionScope(const SectionScope&) = delete;
    SectionScope& operator=(const SectionScope&) = delete;

private:
    CRITICAL_SECTION* cs_;
};

}  // namespace

ControlAdInfo::ControlAdInfo() {
    memset(static_cast<void*>(this), 0, sizeof *this);
    CopyBounded(DisplayURL, kMakerHomePage);
    CopyBounded(ClickURL, kMakerHomePage);
    CopyBounded(BrowserURL, "NULL");
    CopyBounded(ResizedURL, kResizedPageDefault);
}

ControlHostInfo::ControlHostInfo() {
    memset(static_cast<void*>(this), 0, sizeof *this);
    const char* site = SABLET_UPLOAD_HOST;
    snprintf(ValidateURL, sizeof ValidateURL, "http://%s/validateuser.php", site);
    snprintf(PostUploadURL, sizeof PostUploadURL, "http://%s/apppostupload.php", site);
    snprintf(TessalyURL, sizeof TessalyURL, "http://%s/host/", site);
    CopyBounded(UploadSite, site);
    CopyBounded(UploadScript, "upost.php");
    CopyBounded(DefaultTitle, "My recorded Audio Clip");
    CopyBounded(DefaultDescription, "My recorded Audio Clip");
    CopyBounded(DefaultTags, "My recorded Audio Clip");
    CopyBounded(DefaultEmailContent, "I just recorded an auido clip, you can listen here");
    CopyBounded(DefaultIsPublic, "on");
    CopyBounded(CategoryList, "1000-Other|");
    CopyBounded(SiteName, "Tessaly Site");
    DefaultCategory = 1000;
}

void ParseAdInfo(const char* reply, ControlAdInfo* a) {
    // In the order the service documents them; each is looked up on its own.
    ParseNumber(reply, "AdID=", &a->AdID);
    const TextField texts[] = {
        {"PicURL=", a->PicURL, sizeof a->PicURL},
        {"DisplayURL=", a->DisplayURL, sizeof a->DisplayURL},
    };
    ParseTextFields(reply, texts, 2);
    ParseNumber(reply, "CampaignID=", &a->CampaignID);
    ParseNumber(reply, "BannerID=", &a->BannerID);
    const TextField rest[] = {
        {"ClickURL=", a->ClickURL, sizeof a->ClickURL},
        {"BrowserURL=", a->BrowserURL, sizeof a->BrowserURL},
        {"ResizedURL=", a->ResizedURL, sizeof a->ResizedURL},
        {"Ad1Text=", a->Ad1Text, sizeof a->Ad1Text},
        {"Ad2Text=", a->Ad2Text, sizeof a->Ad2Text},
        {"Ad1Link=", a->Ad1Link, sizeof a->Ad1Link},
        {"Ad2Link=", a->Ad2Link, sizeof a->Ad2Link},
        {"Ref=", a->Ref, sizeof a->Ref},
    };
    ParseTextFields(reply, rest, sizeof rest / sizeof rest[0]);
}

void ParseControlHostInfo(const char* reply, ControlHostInfo* h) {
    const TextField fields[] = {
        {"ValidateURL=", h->ValidateURL, sizeof h->ValidateURL},
        {"PostUploadURL=", h->PostUploadURL, sizeof h->PostUploadURL},
        {"UploadSite=", h->UploadSite, sizeof h->UploadSite},
        {"UploadScript=", h->UploadScript, sizeof h->UploadScript},
        {"TessalyURL=", h->TessalyURL, sizeof h->TessalyURL},
        {"DefaultTitle=", h->DefaultTitle, sizeof h->DefaultTitle},
        {"DefaultDescription=", h->DefaultDescription, sizeof h->DefaultDescription},
        {"DefaultEmailContent=", h->DefaultEmailContent, sizeof h->DefaultEmailContent},
        {"DefaultIsPublic=", h->DefaultIsPublic, sizeof h->DefaultIsPublic},
        // The control keeps 99 characters of the tags in its 256 bytes.
        {"DefaultTags=", h->DefaultTags, 100},
        {"CategoryList=", h->CategoryList, sizeof h->CategoryList},
        {"SiteName=", h->SiteName, sizeof h->SiteName},
    };
    ParseTextFields(reply, fields, sizeof fields / sizeof fields[0]);
}

void BuildServiceQuery(char* out, size_t capacity, long adChannelId, long pubId, const char* pageHost,
                       const SYSTEMTIME& t) {
    std::string host = pageHost ? pageHost : "";
    size_t blank = host.find(' ');
    if (blank != std::string::npos) host.resize(blank);
    snprintf(out, capacity, "?AdCID=%ld&PID=%ld&Domain=%s&Ref=%02d%02d%02d%03d", adChannelId, pubId, host.c_str(),
             t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
}

bool AdPictureExtension(const char* picUrl, char* out, size_t capacity) {
    if (!picUrl || !strchr(picUrl, '.') || capacity == 0) return false;
    std::string path(picUrl, strcspn(picUrl, "?#"));
    size_t dot = path.rfind('.');
    std::string ext = dot == std::string::npos ? "" : path.substr(dot + 1);
    bool plain = !ext.empty() && ext.size() < 5;
    for (char c : ext)
        if (!isalnum(static_cast<unsigned char>(c))) plain = false;
    CopyBounded(out, capacity, plain ? ext.c_str() : "gif");
    return true;
}

bool BuildClickAddress(char* out, size_t capacity, const ControlAdInfo& ad, long pubId) {
    int n = snprintf(out, capacity, "%s?AID=%d&BID=%d&CID=%d&PID=%ld&Ref=%s", ad.ClickURL, static_cast<int>(ad.AdID),
                     static_cast<int>(ad.BannerID), static_cast<int>(ad.CampaignID), pubId, ad.Ref);
    return n >= 0 && static_cast<size_t>(n) < capacity;
}

bool SaveAdPicture(const char* picUrl, char* path, size_t capacity, HttpAbort* abort) {
    if (capacity) path[0] = '\0';
    char ext[8];
    if (!AdPictureExtension(picUrl, ext, sizeof ext)) return false;
    char temp[kAdPicturePathSize];
    DWORD tempLength = GetTempPathA(sizeof temp, temp);
    if (tempLength == 0 || tempLength >= sizeof temp) return false;
    char name[kAdPicturePathSize];
    int n = snprintf(name, sizeof name, "%sAdPic.%s", temp, ext);
    if (n < 0 || static_cast<size_t>(n) >= sizeof name || static_cast<size_t>(n) >= capacity) return false;

    std::vector<char> picture(kAdPictureBufferSize);
    DWORD length = 0;
    if (HttpRequest(picUrl, "", picture.data(), picture.size(), HTTP_REQUEST_GET, &length, abort) != 1) return false;
    // A full buffer means the picture may go on: a cut picture is no picture.
    if (length >= picture.size() - 1) return false;

    UniqueHandle file(CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    bool ok = WriteFile(file.Get(), picture.data(), length, &written, nullptr) && written == length;
    // Closed here, not at scope end: a failed close can lose written bytes.
    ok = CloseHandle(file.Release()) != FALSE && ok;
    if (!ok) {
        DeleteFileA(name);
        return false;
    }
    CopyBounded(path, capacity, name);
    return true;
}

HostInfoRequest::HostInfoRequest(long adChannelId, long pubId, const char* pageHost, const ControlAdInfo& ad,
                                 const ControlHostInfo& host, HWND window, UINT readyMessage)
    : Ad(ad), Host(host), adChannelId_(adChannelId), pubId_(pubId), readyMessage_(readyMessage), window_(window) {
    CopyBounded(pageHost_, pageHost ? pageHost : "");
    InitializeCriticalSection(&windowLock_);
}

HostInfoRequest::~HostInfoRequest() { DeleteCriticalSection(&windowLock_); }

void HostInfoRequest::AddRef() { InterlockedIncrement(&refs_); }

void HostInfoRequest::Release() {
    if (InterlockedDecrement(&refs_) == 0) delete this;
}

void HostInfoRequest::Detach() {
    SectionScope scope(&windowLock_);
    window_ = nullptr;
}

void HostInfoRequest::Cancel() { abort_.Cancel(); }

bool HostInfoRequest::Done() const { return InterlockedCompareExchange(const_cast<LONG*>(&done_), 0, 0) != 0; }

void HostInfoRequest::Run() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char query[512];
    BuildServiceQuery(query, sizeof query, adChannelId_, pubId_, pageHost_, now);

    // HttpRequest leaves "" when nothing answered; nothing is parsed then,
    // so every field keeps the control's value.
    std::vector<char> reply(kReplySize);
    AdAnswered = AskFirstAnswering(AdIdUrls, kServiceHostCount, query, &reply, &abort_);
    if (AdAnswered) ParseAdInfo(reply.data(), &Ad);
    HostAnswered = AskFirstAnswering(HostInfoUrls, kServiceHostCount, query, &reply, &abort_);
    if (HostAnswered) ParseControlHostInfo(reply.data(), &Host);
    PictureSaved = AdAnswered && !abort_.Cancelled() &&
                   SaveAdPicture(Ad.PicURL, PicturePath, sizeof PicturePath, &abort_);

    InterlockedExchange(&done_, 1);
    SectionScope scope(&windowLock_);
    if (window_) PostMessageA(window_, readyMessage_, 0, reinterpret_cast<LPARAM>(this));
}

DWORD WINAPI HostInfoThread(void* param) {
    auto* request = static_cast<HostInfoRequest*>(param);
    request->Run();
    request->Release();
    return 0;
}

}  // namespace sablet
