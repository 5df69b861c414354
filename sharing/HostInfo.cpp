#include "sharing/HostInfo.h"

#include <cstring>
#include <string>

#include "sharing/ReplyText.h"

#ifndef BRINDLE_HOSTINFO_URL_PRIMARY
#define BRINDLE_HOSTINFO_URL_PRIMARY "http://www.cantabel.com/GetHostInfo.php"
#endif
#ifndef BRINDLE_HOSTINFO_URL_SECONDARY
#define BRINDLE_HOSTINFO_URL_SECONDARY "http://www2.cantabel.com/GetHostInfo.php"
#endif

const char* const HostInfoUrls[2] = {BRINDLE_HOSTINFO_URL_PRIMARY, BRINDLE_HOSTINFO_URL_SECONDARY};

HostInfo::HostInfo() { memset(static_cast<void*>(this), 0, sizeof *this); }

void ParseHostInfo(const char* reply, HostInfo* info) {
    struct Field {
        const char* key;
        char* out;
        size_t capacity;
    };
    // In the order the service documents them; each is looked up on its own.
    const Field fields[] = {
        {"ValidateURL=", info->ValidateURL, sizeof info->ValidateURL},
        {"PostUploadURL=", info->PostUploadURL, sizeof info->PostUploadURL},
        {"UploadSite=", info->UploadSite, sizeof info->UploadSite},
        {"UploadScript=", info->UploadScript, sizeof info->UploadScript},
        {"TessalyURL=", info->TessalyURL, sizeof info->TessalyURL},
        {"DefaultTitle=", info->DefaultTitle, sizeof info->DefaultTitle},
        {"DefaultDescription=", info->DefaultDescription, sizeof info->DefaultDescription},
        {"DefaultEmailContent=", info->DefaultEmailContent, sizeof info->DefaultEmailContent},
        {"DefaultIsPublic=", info->DefaultIsPublic, sizeof info->DefaultIsPublic},
        {"DefaultTags=", info->DefaultTags, sizeof info->DefaultTags},
        {"CategoryList=", info->CategoryList, sizeof info->CategoryList},
        {"SiteName=", info->SiteName, sizeof info->SiteName},
    };
    std::string value;
    for (const Field& f : fields)
        if (sharing::FindReplyValue(reply, f.key, true, &value))
            sharing::CopyBounded(f.out, f.capacity, value.c_str(), value.size());
}
