#include "sharing/SharingSession.h"

#include <wininet.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "framework/Handles.h"
#include "framework/Internet.h"
#include "sharing/HttpRequest.h"
#include "sharing/LoginCookie.h"
#include "sharing/Multipart.h"
#include "sharing/ReplyText.h"

using sharing::CopyBounded;
using sharing::EncodeFormValue;
using sharing::FindReplyValue;

namespace {

// "host" or "host:port" (the port of a test or staging server).
void SplitSite(const char* site, std::string* host, INTERNET_PORT* port) {
    *host = site;
    *port = INTERNET_DEFAULT_HTTP_PORT;
    size_t colon = host->rfind(':');
    if (colon == std::string::npos || colon + 1 == host->size()) return;
    std::string digits = host->substr(colon + 1);
    if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 5) return;
    unsigned long p = strtoul(digits.c_str(), nullptr, 10);
    if (p == 0 || p > 65535) return;
    *port = static_cast<INTERNET_PORT>(p);
    host->resize(colon);
}

// Reads a reply to its end or to capacity-1 bytes; a reply shorter than
// the length the server announced is a broken connection.
void ReadReply(CHttpFile& file, char* reply, size_t capacity) {
    DWORD stored = 0;
    while (stored < capacity - 1) {
        DWORD got = file.Read(reply + stored, static_cast<DWORD>(capacity - 1 - stored));
        if (got == 0) break;
        stored += got;
    }
    reply[stored] = '\0';
    DWORD announced = 0;
    if (stored < capacity - 1 && file.QueryContentLength(&announced) && stored < announced)
        ThrowInternetException(ERROR_INTERNET_CONNECTION_ABORTED);
}

}  // namespace

SharingSession::SharingSession() {
    IP[0] = Ref[0] = UserName[0] = Password[0] = EmailAddress[0] = FilePath[0] = '\0';
}

std::string SharingSession::CookieUrl() const { return std::string("http://") + UploadSite; }

void SharingSession::RequestHostInfo() { RequestHostInfoFrom(HostInfoUrls, 2); }

void SharingSession::RequestHostInfoFrom(const char* const* urls, size_t count) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char query[32];
    snprintf(query, sizeof query, "?Ref=%02d%02d%02d%03d", t.wHour, t.wMinute, t.wSecond,
             t.wMilliseconds);
    std::vector<char> reply(kHostInfoReplySize);
    for (size_t i = 0; i < count; ++i) {
        std::string url = std::string(urls[i]) + query;
        reply[0] = '\0';
        DWORD length = 0;
        if (HttpRequest(url.c_str(), "", reply.data(), reply.size(), HTTP_REQUEST_GET, &length) != 1)
            continue;
        // A reply without a login address (a proxy's page, some other
        // site) is no host information either: the second host may serve.
        std::string validate;
        if (!FindReplyValue(reply.data(), "ValidateURL=", true, &validate) || validate.empty())
            continue;
        ParseHostInfo(reply.data(), this);
        return;
    }
}

bool SharingSession::LoginToService(bool remember) {
    UserID = 0;
    loginAnswered_ = false;
    CopyBounded(IP, "0.0.0.0");
    if (!UserName[0]) return false;

    std::string body = "username=" + EncodeFormValue(UserName) + "&password=" + EncodeFormValue(Password);
    std::vector<char> reply(kLoginReplySize);
    reply[0] = '\0';
    DWORD length = 0;
    // An error status or no answer at all says nothing about the user.
    loginAnswered_ =
        HttpRequest(ValidateURL, body.c_str(), reply.data(), reply.size(), HTTP_REQUEST_POST, &length) == 1;

    std::string v;
    UserID = FindReplyValue(reply.data(), "UserID=", false, &v) ? sharing::ParseInt32(v.c_str()) : 0;
    FileID = FindReplyValue(reply.data(), "FileID=", false, &v) ? sharing::ParseInt32(v.c_str()) : 0;
    // IP becomes the multipart boundary and Ref part of a quoted file name:
    // a reply's line end or quote must not reach the request.
    if (FindReplyValue(reply.data(), "IP=", false, &v)) CopyBounded(IP, sharing::TrimForHeader(v).c_str());
    if (FindReplyValue(reply.data(), "Ref=", false, &v)) CopyBounded(Ref, sharing::TrimForHeader(v).c_str());

    char expiry[1024];
    MakeCookieExpiry(expiry, sizeof expiry);
    if (UserID == 0) return false;

    SN = NextSN(SN);
    char cookie[1024];
    BuildLoginCookie(remember, UserName, Password, SN, expiry, cookie, sizeof cookie);
    // A refused cookie only costs the remembered login next time.
    InternetSetCookieA(CookieUrl().c_str(), nullptr, cookie);
    return true;
}

void SharingSession::LoadLoginCookie() {
    UserName[0] = Password[0] = '\0';
    char cookies[4096];
    DWORD size = sizeof cookies - 1;
    if (!InternetGetCookieA(CookieUrl().c_str(), nullptr, cookies, &size)) return;
    cookies[sizeof cookies - 1] = '\0';
    LoginCookieFields fields;
    if (!ParseLoginCookie(cookies, &fields)) return;
    CopyBounded(UserName, fields.UserName);
    CopyBounded(Password, fields.Password);
    if (fields.HasSN) SN = fields.SN;
}

int SharingSession::UploadFile(const char* path, char* reply, size_t capacity) {
    SYSTEMTIME stampTime;
    GetLocalTime(&stampTime);
    UploadProgressBegin();
    bool asWav = UploadAsWav(path);
    SYSTEMTIME boundaryTime;
    GetLocalTime(&boundaryTime);
    UploadParts parts = BuildUploadParts(IP, UserID, Ref, FileID, stampTime, boundaryTime, asWav);

    if (!reply || capacity == 0) return 0;
    reply[0] = '\0';
    UniqueHandle file(CreateFileA(path ? path : "", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return -1;
    LARGE_INTEGER size64;
    if (!GetFileSizeEx(file.Get(), &size64) || size64.QuadPart < 0) return 0;
    const uint64_t size = static_cast<uint64_t>(size64.QuadPart);
    // Content-Length travels as 32 bits here.
    uint64_t total = parts.first.size() + parts.head.size() + parts.trailer.size() + size;
    if (total > 0xFFFFFFFFull) return 0;

    std::string host;
    INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT;
    SplitSite(UploadSite, &host, &port);
    std::string object = UploadScript;
    if (object.empty() || object[0] != '/') object.insert(0, "/");

    try {
        CInternetSession session("Sablet");
        ApplySharingTimeouts(session);
        std::unique_ptr<CHttpConnection> connection = session.GetHttpConnection(host.c_str(), port);
        std::unique_ptr<CHttpFile> request = connection->OpenRequest(
            "POST", object.c_str(), nullptr, 1, nullptr, nullptr, INTERNET_FLAG_EXISTING_CONNECT);
        ApplySharingTimeouts(*request);
        request->AddRequestHeaders(parts.headers.c_str(), HTTP_ADDREQ_FLAG_ADD_IF_NEW);
        request->SendRequestEx(static_cast<DWORD>(total), HSR_INITIATE, 1);
        request->Write(parts.first.data(), static_cast<DWORD>(parts.first.size()));
        request->Write(parts.head.data(), static_cast<DWORD>(parts.head.size()));

        std::vector<char> chunk(5120);
        uint64_t sent = 0;
        while (sent < size) {
            // Never more than announced, even when the file grew meanwhile.
            DWORD want = static_cast<DWORD>(size - sent < chunk.size() ? size - sent : chunk.size());
            DWORD got = 0;
            // A file cut short meanwhile reads 0 bytes: that is a failed
            // read, not a reason to wait for ever.
            if (!ReadFile(file.Get(), chunk.data(), want, &got, nullptr) || got == 0) return 0;
            request->Write(chunk.data(), got);
            sent += got;
            UploadProgress(static_cast<int>(sent * 100 / size));
        }
        request->Write(parts.trailer.data(), static_cast<DWORD>(parts.trailer.size()));
        request->EndRequest();
        // Wine ends a request whose answer never came as if it had
        // succeeded, only without a status line.
        const DWORD status = request->QueryStatusCode();
        if (status == 0) ThrowInternetException(ERROR_HTTP_INVALID_SERVER_RESPONSE);
        // An error page is no answer, whatever its text: the file is not
        // known to be with the service.
        if (!IsSuccessStatus(status)) return 0;
        ReadReply(*request, reply, capacity);
        // Closing happens in the destructors; nothing that fails there can
        // undo an upload whose answer is already in hand.
        return 1;
    } catch (const CInternetException& e) {
        e.GetErrorMessage(reply, capacity);
        return 0;
    }
}

std::string SharingSession::UploadedFileId(const char* uploadReply) {
    const char* at = uploadReply ? strstr(uploadReply, "FILEID=") : nullptr;
    if (!at) return "";
    std::string id = at + strlen("FILEID=");
    while (!id.empty() && (id.back() == '\r' || id.back() == '\n')) id.pop_back();
    return id;
}

bool SharingSession::IsUsableFileId(const std::string& id) {
    if (id.empty()) return false;
    for (char c : id)
        if (c <= ' ' || c > '~' || strchr("\"'<>&", c)) return false;
    return true;
}

std::string SharingSession::BuildUploadDetails(const char* uploadReply, bool sendEmail,
                                               const SYSTEMTIME& t) const {
    char time[64];
    snprintf(time, sizeof time, "%04d-%02d-%02d %02d:%02d:%02d", t.wYear, t.wMonth, t.wDay, t.wHour,
             t.wMinute, t.wSecond);
    std::string body = UploadDetailsPrefix() + "UploadTime=" + EncodeFormValue(time) +
                       "&FileID=" + EncodeFormValue(UploadedFileId(uploadReply).c_str()) +
                       "&Title=" + EncodeFormValue(DefaultTitle) +
                       "&Description=" + EncodeFormValue(DefaultDescription) +
                       "&Category=" + std::to_string(Category) +
                       "&isPublic=" + EncodeFormValue(DefaultIsPublic) +
                       "&Tags=" + EncodeFormValue(DefaultTags);
    if (sendEmail)
        body += "&EmailAddress=" + EncodeFormValue(EmailAddress) +
                "&EmailContent=" + EncodeFormValue(DefaultEmailContent);
    return body;
}

int SharingSession::PostUploadDetails(const char* uploadReply, bool sendEmail, char* reply,
                                      size_t capacity) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::string body = BuildUploadDetails(uploadReply, sendEmail, now);
    if (reply && capacity) reply[0] = '\0';
    DWORD length = 0;
    return HttpRequest(PostUploadURL, body.c_str(), reply, capacity, HTTP_REQUEST_POST, &length);
}

bool SharingSession::PostDeleteRequest() {
    // Without a file id of this login there is nothing of ours to delete,
    // and "FileID=0" could name somebody else's file.
    if (FileID <= 0) return false;
    char body[64];
    snprintf(body, sizeof body, "FileID=%d&Action=Delete", static_cast<int>(FileID));
    std::vector<char> reply(kDetailsReplySize);
    reply[0] = '\0';
    DWORD length = 0;
    return HttpRequest(PostUploadURL, body, reply.data(), reply.size(), HTTP_REQUEST_POST, &length) == 1;
}

ShareOutcome SharingSession::ShareFile(bool remember, bool sendEmail) {
    ShareOutcome outcome;
    if (!LoginToService(remember)) {
        const bool refused = LoginAnswered() || !UserName[0];
        outcome.result = refused ? ShareResult::LoginFailed : ShareResult::ServiceUnavailable;
        return outcome;
    }
    std::vector<char> reply(kUploadReplySize);
    reply[0] = '\0';
    int result = UploadFile(FilePath, reply.data(), reply.size());
    const char* text = reply.data();
    if (result == 1 && strstr(text, "FILEID=DEBUG")) {
        outcome.result = ShareResult::DebugReply;
        outcome.text = text;
        return outcome;
    }
    if (result == 1 && strstr(text, "FILEID=NULL")) {
        outcome.result = ShareResult::Refused;
        return outcome;
    }
    if (result == 1 && strstr(text, "FILEID=") && IsUsableFileId(UploadedFileId(text))) {
        std::vector<char> details(kDetailsReplySize);
        details[0] = '\0';
        PostUploadDetails(text, sendEmail, details.data(), details.size());
        const char* message = strstr(details.data(), "[MESSAGE]=");
        if (!message) {
            // The file sits on the service without its details: a failed
            // upload, and failed uploads are not left there.
            outcome.result = ShareResult::DetailsFailed;
            outcome.deleteSent = PostDeleteRequest();
            return outcome;
        }
        outcome.result = ShareResult::Shared;
        outcome.text = message + strlen("[MESSAGE]=");
        return outcome;
    }
    // Not sent, not openable, or an answer that names no usable file (an
    // error page, a proxy's reply, an empty body, an empty or hostile id):
    // the file of this login must not linger on the service.
    outcome.result = result == -1 ? ShareResult::FileMissing : ShareResult::UploadFailed;
    outcome.deleteSent = PostDeleteRequest();
    return outcome;
}
