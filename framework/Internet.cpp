#include "framework/Internet.h"

#include <cstdio>
#include <cstring>

InternetHandle& InternetHandle::operator=(InternetHandle&& other) noexcept {
    if (this != &other) {
        Reset(other.h_);
        other.h_ = nullptr;
    }
    return *this;
}

void InternetHandle::Reset(HINTERNET h) {
    if (h_) InternetCloseHandle(h_);
    h_ = h;
}

CInternetException::CInternetException(DWORD error) : m_dwError(error) {
    // The server's own words (FTP/gopher style extended errors, proxy
    // refusals) are only available right after the failing call.
    if (error == ERROR_INTERNET_EXTENDED_ERROR) {
        DWORD code = 0, size = 0;
        InternetGetLastResponseInfoA(&code, nullptr, &size);
        if (size > 0) {
            std::string text(size + 1, '\0');
            DWORD got = size + 1;
            if (InternetGetLastResponseInfoA(&code, &text[0], &got)) {
                text.resize(strnlen(text.c_str(), got));
                extended_ = text;
            }
        }
    }
}

namespace {

// Texts for the errors a user meets most, for systems whose WinInet carries
// no message table.
const char* KnownText(DWORD error) {
    switch (error) {
    case ERROR_INTERNET_TIMEOUT: return "The operation timed out";
    case ERROR_INTERNET_NAME_NOT_RESOLVED: return "The server name or address could not be resolved";
    case ERROR_INTERNET_CANNOT_CONNECT: return "A connection with the server could not be established";
    case ERROR_INTERNET_CONNECTION_ABORTED: return "The connection with the server was terminated abnormally";
    case ERROR_INTERNET_CONNECTION_RESET: return "The connection with the server was reset";
    case ERROR_INTERNET_INVALID_URL: return "The URL is invalid";
    case ERROR_INTERNET_UNRECOGNIZED_SCHEME: return "The URL does not use a recognized protocol";
    case ERROR_HTTP_INVALID_SERVER_RESPONSE: return "The server returned an invalid or unrecognized response";
    case ERROR_INTERNET_OPERATION_CANCELLED: return "The operation was canceled";
    default: return nullptr;
    }
}

void CopyText(char* to, size_t capacity, const char* from) {
    if (!capacity) return;
    size_t n = strnlen(from, capacity - 1);
    memcpy(to, from, n);
    to[n] = '\0';
}

}  // namespace

bool CInternetException::GetErrorMessage(char* text, size_t capacity) const {
    if (!text || !capacity) return false;
    text[0] = '\0';
    if (!extended_.empty()) {
        CopyText(text, capacity, extended_.c_str());
        return true;
    }
    char* found = nullptr;
    DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                  FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_FROM_HMODULE;
    DWORD n = FormatMessageA(flags, GetModuleHandleA("wininet.dll"), m_dwError, 0,
                             reinterpret_cast<char*>(&found), 0, nullptr);
    if (n && found) {
        while (n && (found[n - 1] == '\r' || found[n - 1] == '\n' || found[n - 1] == ' ')) found[--n] = '\0';
        CopyText(text, capacity, found);
        LocalFree(found);
        if (text[0]) return true;
    }
    if (const char* known = KnownText(m_dwError)) {
        CopyText(text, capacity, known);
        return true;
    }
    snprintf(text, capacity, "Internet error %lu", static_cast<unsigned long>(m_dwError));
    return false;
}

void ThrowInternetException(DWORD error) {
    if (!error) error = GetLastError();
    if (!error) error = ERROR_INTERNET_INTERNAL_ERROR;
    throw CInternetException(error);
}

CInternetSession::CInternetSession(const char* agent, DWORD context, DWORD accessType,
                                   const char* proxy, const char* proxyBypass, DWORD flags)
    : context_(context) {
    char own[MAX_PATH];
    if (!agent) {
        // The application's name: its file name without folder and extension.
        DWORD n = GetModuleFileNameA(nullptr, own, sizeof own);
        own[n < sizeof own ? n : sizeof own - 1] = '\0';
        const char* name = own;
        for (const char* p = own; *p; ++p)
            if (*p == '\\' || *p == '/') name = p + 1;
        memmove(own, name, strlen(name) + 1);
        if (char* dot = strrchr(own, '.')) *dot = '\0';
        agent = own;
    }
    handle_.Reset(InternetOpenA(agent, accessType, proxy, proxyBypass, flags));
    if (!handle_) ThrowInternetException();
}

CInternetSession::~CInternetSession() = default;

void CInternetSession::SetOption(DWORD option, DWORD value) {
    if (!InternetSetOptionA(handle_.Get(), option, &value, sizeof value)) ThrowInternetException();
}

std::unique_ptr<CHttpConnection> CInternetSession::GetHttpConnection(const char* server,
                                                                     INTERNET_PORT port,
                                                                     const char* user,
                                                                     const char* password) {
    InternetHandle h(InternetConnectA(handle_.Get(), server, port, user, password,
                                      INTERNET_SERVICE_HTTP, 0, context_));
    if (!h) ThrowInternetException();
    return std::make_unique<CHttpConnection>(std::move(h), context_);
}

std::unique_ptr<CHttpFile> CHttpConnection::OpenRequest(const char* verb, const char* object,
                                                        const char* referer, DWORD context,
                                                        const char** acceptTypes,
                                                        const char* version, DWORD flags) {
    InternetHandle h(HttpOpenRequestA(handle_.Get(), verb, object, version ? version : "HTTP/1.0",
                                      referer, acceptTypes, flags, context));
    if (!h) ThrowInternetException();
    return std::make_unique<CHttpFile>(std::move(h), context);
}

void CHttpFile::SetOption(DWORD option, DWORD value) {
    if (!InternetSetOptionA(handle_.Get(), option, &value, sizeof value)) ThrowInternetException();
}

void CHttpFile::AddRequestHeaders(const char* headers, DWORD flags) {
    if (!HttpAddRequestHeadersA(handle_.Get(), headers, static_cast<DWORD>(-1), flags))
        ThrowInternetException();
}

void CHttpFile::SendRequest(const char* headers, DWORD headersLength, const void* optional,
                            DWORD optionalLength) {
    if (!HttpSendRequestA(handle_.Get(), headers, headersLength, const_cast<void*>(optional),
                          optionalLength))
        ThrowInternetException();
}

void CHttpFile::SendRequestEx(DWORD total, DWORD flags, DWORD context) {
    INTERNET_BUFFERSA buffers = {};
    buffers.dwStructSize = sizeof buffers;
    buffers.dwBufferTotal = total;
    if (!HttpSendRequestExA(handle_.Get(), &buffers, nullptr, flags, context)) ThrowInternetException();
}

void CHttpFile::Write(const void* data, DWORD count) {
    const char* p = static_cast<const char*>(data);
    while (count > 0) {
        DWORD written = 0;
        if (!InternetWriteFile(handle_.Get(), p, count, &written)) ThrowInternetException();
        // A write that takes nothing would loop for ever.
        if (written == 0) ThrowInternetException(ERROR_INTERNET_CONNECTION_ABORTED);
        p += written;
        count -= written;
    }
}

void CHttpFile::EndRequest(DWORD flags, DWORD context) {
    if (!HttpEndRequestA(handle_.Get(), nullptr, flags, context)) ThrowInternetException();
}

DWORD CHttpFile::Read(void* data, DWORD count) {
    DWORD got = 0;
    if (!InternetReadFile(handle_.Get(), data, count, &got)) ThrowInternetException();
    return got;
}

DWORD CHttpFile::QueryStatusCode() {
    DWORD code = 0, size = sizeof code;
    if (!HttpQueryInfoA(handle_.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size,
                        nullptr))
        return 0;
    return code;
}

bool CHttpFile::QueryContentLength(DWORD* length) {
    DWORD value = 0, size = sizeof value;
    if (!HttpQueryInfoA(handle_.Get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &value,
                        &size, nullptr))
        return false;
    *length = value;
    return true;
}

bool AfxParseURL(const char* url, DWORD* serviceType, std::string* server, std::string* object,
                 INTERNET_PORT* port) {
    *serviceType = AFX_INET_SERVICE_UNK;
    server->clear();
    object->clear();
    *port = 0;
    if (!url || !*url) return false;
    char host[INTERNET_MAX_HOST_NAME_LENGTH + 1];
    char path[INTERNET_MAX_PATH_LENGTH + 1];
    char extra[INTERNET_MAX_PATH_LENGTH + 1];
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof host;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = sizeof path;
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = sizeof extra;
    host[0] = path[0] = extra[0] = '\0';
    if (!InternetCrackUrlA(url, 0, 0, &parts)) return false;
    if (parts.nScheme == INTERNET_SCHEME_HTTP)
        *serviceType = AFX_INET_SERVICE_HTTP;
    else if (parts.nScheme == INTERNET_SCHEME_HTTPS)
        *serviceType = AFX_INET_SERVICE_HTTPS;
    if (!host[0]) return false;
    *server = host;
    *object = path[0] ? path : "/";
    *object += extra;
    *port = parts.nPort;
    return true;
}
