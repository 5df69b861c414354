// Where the sharing service's scripts live and what it proposes for the
// form, as its host-information reply tells.
#pragma once

#include <cstddef>

// The two host-information addresses (the service's primary and secondary
// host), fixed when the program is built.
extern const char* const HostInfoUrls[2];

struct HostInfo {
    char ValidateURL[256];
    char PostUploadURL[256];
    char UploadSite[256];
    char UploadScript[256];
    char TessalyURL[256];
    char DefaultTitle[256];
    char DefaultDescription[1024];
    char DefaultEmailContent[1024];
    char DefaultIsPublic[20];
    char DefaultTags[256];
    char CategoryList[8192];
    char SiteName[256];

    HostInfo();
};

// Sets each field whose key appears in `reply` with a value closed by ";",
// cut to the field's capacity-1; other fields keep their values.
void ParseHostInfo(const char* reply, HostInfo* info);

// Reply buffer sizes (NUL included).
constexpr size_t kHostInfoReplySize = 65536;
constexpr size_t kLoginReplySize = 1024;
constexpr size_t kUploadReplySize = 4096;
constexpr size_t kDetailsReplySize = 4096;
