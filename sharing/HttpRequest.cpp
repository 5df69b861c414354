#include "sharing/HttpRequest.h"

#include <cstring>
#include <string>

#include "framework/Internet.h"

void ApplySharingTimeouts(CInternetSession& session) {
    session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, kSharingTimeoutMs);
    session.SetOption(INTERNET_OPTION_SEND_TIMEOUT, kSharingTimeoutMs);
    session.SetOption(INTERNET_OPTION_RECEIVE_TIMEOUT, kSharingTimeoutMs);
}

void ApplySharingTimeouts(CHttpFile& request) {
    request.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, kSharingTimeoutMs);
    request.SetOption(INTERNET_OPTION_SEND_TIMEOUT, kSharingTimeoutMs);
    request.SetOption(INTERNET_OPTION_RECEIVE_TIMEOUT, kSharingTimeoutMs);
}

int HttpRequest(const char* url, const char* body, char* reply, size_t capacity, int kind,
                DWORD* length) {
    DWORD dummy = 0;
    if (!length) length = &dummy;
    *length = 0;
    if (!reply || capacity == 0) return 0;
    if (!body) body = "";

    DWORD service = 0;
    std::string server, object;
    INTERNET_PORT port = 0;
    if (!AfxParseURL(url, &service, &server, &object, &port) || service != AFX_INET_SERVICE_HTTP)
        return 0;

    try {
        CInternetSession session;
        ApplySharingTimeouts(session);
        std::unique_ptr<CHttpConnection> connection = session.GetHttpConnection(server.c_str(), port);
        std::unique_ptr<CHttpFile> file;
        if (kind == HTTP_REQUEST_GET) {
            file = connection->OpenRequest("GET", (object + body).c_str());
            ApplySharingTimeouts(*file);
            file->SendRequest();
        } else {
            file = connection->OpenRequest("POST", object.c_str(), nullptr, 1, nullptr, nullptr,
                                           INTERNET_FLAG_RELOAD);
            ApplySharingTimeouts(*file);
            file->AddRequestHeaders("Content-Type: application/x-www-form-urlencoded\r\n",
                                    HTTP_ADDREQ_FLAG_ADD);
            file->SendRequest(nullptr, 0, body, static_cast<DWORD>(strlen(body)));
        }
        // A connection the server drops before answering can leave Wine's
        // WinInet reporting a sent request with no status line: that is no
        // reply at all, for every request as for the upload.
        const DWORD status = file->QueryStatusCode();
        if (status == 0) ThrowInternetException(ERROR_HTTP_INVALID_SERVER_RESPONSE);
        if (!IsSuccessStatus(status)) {
            reply[0] = '\0';
            return 0;
        }
        // Replies come in pieces (slow or chunked servers): read to the end.
        DWORD stored = 0;
        while (stored < capacity - 1) {
            DWORD got = file->Read(reply + stored, static_cast<DWORD>(capacity - 1 - stored));
            if (got == 0) break;
            stored += got;
        }
        reply[stored] = '\0';
        // A connection that drops early looks like a short reply; when the
        // server said how long the reply is, a shortfall is a failure, not
        // a reply to act on.
        DWORD announced = 0;
        if (stored < capacity - 1 && file->QueryContentLength(&announced) && stored < announced)
            ThrowInternetException(ERROR_INTERNET_CONNECTION_ABORTED);
        *length = stored;
        return 1;
    } catch (const CInternetException&) {
        reply[0] = '\0';
        *length = 0;
        return 0;
    }
}
