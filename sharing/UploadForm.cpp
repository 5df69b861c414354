#include "sharing/UploadForm.h"

#include <cstdio>
#include <cstring>

#include "sharing/ReplyText.h"

const char kAppTitle[] = "Velorin";
const char kNoConnectionText[] =
    "Cannot connect to internet!\n\nPlease check if you have internet connection and try later";
const char kServiceUnavailableText[] =
    "Service not available!\n\nPlease check if you have internet connection and try later";
const char kFormCheckCaption[] = "Please input necessary information";
const char kFileMissingText[] = "The file you want to upload is not exist\n\n Please try aother file";
const char kUploadFailedText[] = "Upload failed\n\n Please try again later";

std::vector<CategoryEntry> ParseCategoryList(const char* list) {
    std::vector<CategoryEntry> out;
    if (!list) return out;
    const char* at = list;
    for (;;) {
        // The "|" ends the entry; the "-" must lie inside it, so
        // "Music|7-Talk|" is no entry "Talk" with the id of "Music|7".
        const char* bar = strchr(at, '|');
        if (!bar) break;
        const char* dash = static_cast<const char*>(memchr(at, '-', bar - at));
        if (!dash) break;
        std::string id(at, dash - at);
        std::string name(dash + 1, bar - dash - 1);
        if (name.size() > 255) name.resize(255);
        out.push_back({sharing::ParseInt32(id.c_str()), name});
        at = bar + 1;
    }
    return out;
}

std::string CheckUploadForm(const char* userName, const char* password, const char* title,
                            bool sendEmail, const char* emailAddress) {
    std::string message;
    if (strlen(userName) < 2) message += "User Name is not correct\n";
    if (strlen(password) < 2) message += "Password is not correct\n";
    if (!*title) message += "Title cannot be empty\n";
    if (sendEmail && (!strchr(emailAddress, '@') || !strchr(emailAddress, '.')))
        message += "Email Address is not correct\n";
    return message;
}

std::string ProposedTitle(const char* defaultTitle, int32_t sn) {
    // 255 characters of title, a blank and up to 11 of the number.
    char title[272];
    snprintf(title, sizeof title, "%s %04d", defaultTitle, static_cast<int>(sn));
    return title;
}

std::string ToCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

bool IsOpenableAddress(const char* address) {
    if (!address) return false;
    if (_strnicmp(address, "http://", 7) != 0 && _strnicmp(address, "https://", 8) != 0) return false;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(address); *p; ++p)
        if (*p <= ' ' || *p == '"' || *p == 0x7F) return false;
    return true;
}

OutcomeMessage MessageFor(const ShareOutcome& outcome) {
    switch (outcome.result) {
    case ShareResult::LoginFailed:
        return {"Invalid User Name or Password\n\nIf you don't have an account, you can create one",
                "Invaliad User Name or Password"};
    case ShareResult::ServiceUnavailable: return {kServiceUnavailableText, ""};
    case ShareResult::UploadFailed: return {kUploadFailedText, ""};
    case ShareResult::FileMissing: return {kFileMissingText, ""};
    case ShareResult::DebugReply: return {outcome.text, ""};
    case ShareResult::Refused: return {kUploadFailedText, "Upload failed"};
    case ShareResult::DetailsFailed: return {kUploadFailedText, "Upload failed"};
    case ShareResult::Shared: return {"", ""};
    }
    return {kUploadFailedText, ""};
}
