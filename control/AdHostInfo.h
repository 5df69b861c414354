// What the control asks the sharing service shortly after start-up: which
// advertisement to show and where and how to upload. The exchange runs on a
// worker thread over a request object of its own, so the control can go
// away while the service is still silent; the control's window applies the
// result on its own thread when the request says it is ready.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "sharing/HttpRequest.h"

namespace sablet {

// Every address of the advertisement and host-information lists, tried in
// table order; fixed when the control is built.
constexpr size_t kServiceHostCount = 9;
extern const char* const AdIdUrls[kServiceHostCount];
extern const char* const HostInfoUrls[kServiceHostCount];

// The control window's timer that starts the exchange (once), and the
// message the worker posts when its request is filled (lParam: the request).
constexpr UINT_PTR HostInfoTimer = 100;
constexpr UINT HostInfoReadyMessage = WM_APP + 28;

// Addresses of our own hosts used as the records' defaults.
extern const char kMakerHomePage[];
extern const char kResizedPageDefault[];

// The advertisement the service chose.
struct ControlAdInfo {
    int32_t AdID;
    char PicURL[256];
    char DisplayURL[100];
    int32_t CampaignID;
    int32_t BannerID;
    char ClickURL[512];
    char BrowserURL[256];
    char ResizedURL[256];
    char Ad1Text[256];
    char Ad2Text[256];
    char Ad1Link[512];
    char Ad2Link[512];
    char Ref[128];

    ControlAdInfo();  // the control's defaults
};

// The control's copy of the upload host information. Its limits differ from
// the program's record (the account address is longer, the tags shorter),
// hence a type of its own.
struct ControlHostInfo {
    char ValidateURL[256];
    char PostUploadURL[256];
    char UploadSite[256];
    char UploadScript[256];
    char TessalyURL[512];
    char DefaultTitle[256];
    char DefaultDescription[1024];
    char DefaultEmailContent[1024];
    char DefaultIsPublic[20];
    char DefaultTags[256];  // at most 99 characters are kept
    char CategoryList[8192];
    char SiteName[256];
    int32_t DefaultCategory;  // unused by the service's replies

    ControlHostInfo();  // the control's defaults
};

// Sets each field whose key appears in `reply` closed by ";", cut to the
// field's limit; fields whose key is missing keep their values.
void ParseAdInfo(const char* reply, ControlAdInfo* info);
void ParseControlHostInfo(const char* reply, ControlHostInfo* info);

// The query both lists are asked with: AdCID, PID, the page's host (cut at
// its first blank, as the values go out unencoded) and the local time as
// Ref ("%02d%02d%02d%03d").
void BuildServiceQuery(char* out, size_t capacity, long adChannelId, long pubId, const char* pageHost,
                       const SYSTEMTIME& localNow);

// The extension the ad picture is saved with: taken from the address's path
// (before any "?" or "#"), behind its last "."; letters and digits only and
// shorter than 5 characters, otherwise "gif". False (nothing to fetch) when
// the address has no "." at all.
bool AdPictureExtension(const char* picUrl, char* out, size_t capacity);

// The address a click on the advertisement opens
// ("%s?AID=%d&BID=%d&CID=%d&PID=%d&Ref=%s"). False when it did not fit.
constexpr size_t kClickAddressSize = 1024;
bool BuildClickAddress(char* out, size_t capacity, const ControlAdInfo& ad, long pubId);

// Largest ad picture taken; a reply that fills the buffer is refused.
constexpr size_t kAdPictureBufferSize = 1024 * 1024;
constexpr size_t kAdPicturePathSize = MAX_PATH + 16;
// Fetches `picUrl` and writes exactly the bytes received to
// %TEMP%\AdPic.<extension>; `path` gets the file's name. False (and no
// file named) when the address has no ".", the fetch fails, the picture is
// too large, or the file cannot be written. `abort` ends the fetch early.
bool SaveAdPicture(const char* picUrl, char* path, size_t capacity, HttpAbort* abort = nullptr);

// One run of the host-information exchange, shared by the control (which
// applies it) and the worker (which fills it). Reference-counted: the
// control may be gone before the worker ends.
class HostInfoRequest {
public:
    // The worker's inputs are copies; `ad` and `host` start from the
    // control's current values, so fields the service leaves out keep them.
    HostInfoRequest(long adChannelId, long pubId, const char* pageHost, const ControlAdInfo& ad,
                    const ControlHostInfo& host, HWND window, UINT readyMessage);
    HostInfoRequest(const HostInfoRequest&) = delete;
    HostInfoRequest& operator=(const HostInfoRequest&) = delete;

    void AddRef();
    void Release();

    // The control's window is going: the worker posts nothing more.
    void Detach();
    // The control is going: the request under way ends at once (its
    // connection is closed) and no further one is made, so the worker and
    // what it holds go with the control instead of after every timeout.
    void Cancel();
    // True once the worker has filled every reply slot (read by the control
    // after the "info ready" message).
    bool Done() const;

    // Reply slots: written by the worker before Done, read by the control
    // after it.
    ControlAdInfo Ad;
    ControlHostInfo Host;
    bool AdAnswered = false;
    bool HostAnswered = false;
    bool PictureSaved = false;
    char PicturePath[kAdPicturePathSize] = {};

    // The worker's whole job: both lists, the picture, then "info ready".
    // Synchronous, so it can also run on the caller's thread.
    void Run();

private:
    ~HostInfoRequest();

    // Inputs, written once by the constructor.
    long adChannelId_;
    long pubId_;
    char pageHost_[256];
    UINT readyMessage_;
    // Written by the control's thread (Detach), read by the worker; the
    // section keeps a post from racing the window's end.
    CRITICAL_SECTION windowLock_;
    HWND window_;
    LONG refs_ = 1;
    LONG done_ = 0;  // written by the worker, read by the control
    HttpAbort abort_;  // cancelled by the control's thread, asked by the worker
};

// Thread procedure over a HostInfoRequest the starter has AddRef'd for it:
// runs it and releases it.
DWORD WINAPI HostInfoThread(void* request);

}  // namespace sablet
