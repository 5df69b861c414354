#include "sharing/HttpRequest.h"

#include <cstring>
#include <memory>
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

HttpAbort::HttpAbort() { InitializeCriticalSection(&cs_); }

HttpAbort::~HttpAbort() { DeleteCriticalSection(&cs_); }

void HttpAbort::Cancel() {
    EnterCriticalSection(&cs_);
    cancelled_ = true;
    if (session_ && !closed_) {
        InternetCloseHandle(session_);
        closed_ = true;
    }
    LeaveCriticalSection(&cs_);
}

bool HttpAbort::Cancelled() {
    EnterCriticalSection(&cs_);
    bool cancelled = cancelled_;
    LeaveCriticalSection(&cs_);
    return cancelled;
}

bool HttpAbort::Enter(HINTERNET session) {
    EnterCriticalSection(&cs_);
    bool go = !cancelled_;
    if (go) {
        session_ = session;
        closed_ = false;
    }
    LeaveCriticalSection(&cs_);
    return go;
}

bool HttpAbort::Leave() {
    EnterCriticalSection(&cs_);
    bool ours = !closed_;
    session_ = nullptr;
    closed_ = false;
    LeaveCriticalSection(&cs_);
    return ours;
}

namespace {

// Hands the session back when the request ends; when Cancel closed it (and
// with it the connection and the request), nothing of them is closed again.
class AbortScope {
public:
    AbortScope(HttpAbort* abort, CInternetSession& session, std::unique_ptr<CHttpConnection>& connection,
               std::unique_ptr<CHttpFile>& file)
        : abort_(abort), session_(session), connection_(connection), file_(file) {}
    ~AbortScope() {
        if (!abort_ || abort_->Leave()) return;
        if (file_) file_->Abandon();
        if (connection_) connection_->Abandon();
        session_.Abandon();
    }
    AbortScope(const AbortScope&) = delete;
    AbortScope& operator=(const AbortScope&) = delete;

private:
    HttpAbort* abort_;
    CInternetSession& session_;
    std::unique_ptr<CHttpConnection>& connection_;
    std::unique_ptr<CHttpFile>& file_;
};

}  // namespace

int HttpRequest(const char* url, const char* body, char* reply, size_t capacity, int kind,
                DWORD* length, HttpAbort* abort) {
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
        std::unique_ptr<CHttpConnection> connection;
        std::unique_ptr<CHttpFile> file;
        if (abort && !abort->Enter(session.GetHandle())) ThrowInternetException(ERROR_INTERNET_OPERATION_CANCELLED);
        // Goes before the connection and the request do, and decides how.
        AbortScope scope(abort, session, connection, file);
        ApplySharingTimeouts(session);
        connection = session.GetHttpConnection(server.c_str(), port);
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
