// A small object layer over WinInet: session, HTTP connection, HTTP request
// file, the exception they throw, and the URL splitter. Every WinInet handle
// is owned by one object and closed when that object goes, so a request that
// fails half-way leaks nothing.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <memory>
#include <string>

// Owner of one HINTERNET.
class InternetHandle {
public:
    InternetHandle() = default;
    explicit InternetHandle(HINTERNET h) : h_(h) {}
    ~InternetHandle() { Reset(); }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    InternetHandle(InternetHandle&& other) noexcept : h_(other.h_) { other.h_ = nullptr; }
    InternetHandle& operator=(InternetHandle&& other) noexcept;
    HINTERNET Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    void Reset(HINTERNET h = nullptr);
    // Forgets the handle without closing it: it was closed elsewhere (with
    // its parent), and its value may already name another thread's handle.
    void Abandon() { h_ = nullptr; }

private:
    HINTERNET h_ = nullptr;
};

// What the internet classes throw: the WinInet (or system) error code and,
// when the server gave one, its extended error text.
class CInternetException {
public:
    explicit CInternetException(DWORD error);
    DWORD m_dwError;
    // The error's text as a user may see it; writes at most `capacity` bytes
    // including the NUL. False when no text could be found (then a generic
    // "Internet error N" is written).
    bool GetErrorMessage(char* text, size_t capacity) const;

private:
    std::string extended_;
};

// Throws CInternetException with GetLastError() (or `error` when nonzero).
[[noreturn]] void ThrowInternetException(DWORD error = 0);

class CHttpFile;
class CHttpConnection;

// The root of every request. Its constructor throws when WinInet refuses to
// open a session.
class CInternetSession {
public:
    // agent null: the program's file name. Access PRECONFIG uses the proxy
    // settings of the system (registry, or the environment under Wine).
    explicit CInternetSession(const char* agent = nullptr, DWORD context = 1,
                              DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG,
                              const char* proxy = nullptr, const char* proxyBypass = nullptr,
                              DWORD flags = 0);
    ~CInternetSession();
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    // Sets a DWORD option on the session (timeouts ...). Throws on failure.
    void SetOption(DWORD option, DWORD value);
    std::unique_ptr<CHttpConnection> GetHttpConnection(const char* server,
                                                       INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT,
                                                       const char* user = nullptr,
                                                       const char* password = nullptr);
    void Close() { handle_.Reset(); }
    void Abandon() { handle_.Abandon(); }
    HINTERNET GetHandle() const { return handle_.Get(); }
    DWORD GetContext() const { return context_; }

private:
    InternetHandle handle_;
    DWORD context_;
};

class CHttpConnection {
public:
    CHttpConnection(InternetHandle handle, DWORD context) : handle_(std::move(handle)), context_(context) {}
    CHttpConnection(const CHttpConnection&) = delete;
    CHttpConnection& operator=(const CHttpConnection&) = delete;

    // version null: "HTTP/1.0", the version every request of ours states.
    std::unique_ptr<CHttpFile> OpenRequest(const char* verb, const char* object,
                                           const char* referer = nullptr, DWORD context = 1,
                                           const char** acceptTypes = nullptr,
                                           const char* version = nullptr, DWORD flags = 0);
    void Close() { handle_.Reset(); }
    void Abandon() { handle_.Abandon(); }
    HINTERNET GetHandle() const { return handle_.Get(); }

private:
    InternetHandle handle_;
    DWORD context_;
};

// One HTTP request and its reply. Every operation throws CInternetException
// on failure.
class CHttpFile {
public:
    CHttpFile(InternetHandle handle, DWORD context) : handle_(std::move(handle)), context_(context) {}
    CHttpFile(const CHttpFile&) = delete;
    CHttpFile& operator=(const CHttpFile&) = delete;

    // Sets a DWORD option on this request (timeouts ...). Throws on failure.
    void SetOption(DWORD option, DWORD value);
    void AddRequestHeaders(const char* headers, DWORD flags = HTTP_ADDREQ_FLAG_ADD_IF_NEW);
    void SendRequest(const char* headers = nullptr, DWORD headersLength = 0,
                     const void* optional = nullptr, DWORD optionalLength = 0);
    // Starts a request whose body follows through Write; `total` is the body
    // length announced as Content-Length.
    void SendRequestEx(DWORD total, DWORD flags = HSR_INITIATE, DWORD context = 1);
    // Writes all `count` bytes (WinInet may take them in pieces).
    void Write(const void* data, DWORD count);
    void EndRequest(DWORD flags = 0, DWORD context = 1);
    // Reads up to `count` bytes of the reply; 0 at its end.
    DWORD Read(void* data, DWORD count);
    // The reply's status code, 0 when there is none.
    DWORD QueryStatusCode();
    // The reply's Content-Length; false when the reply gave none.
    bool QueryContentLength(DWORD* length);
    void Close() { handle_.Reset(); }
    void Abandon() { handle_.Abandon(); }
    HINTERNET GetHandle() const { return handle_.Get(); }

private:
    InternetHandle handle_;
    DWORD context_;
};

// Service kinds AfxParseURL tells apart (only HTTP is spoken here).
enum : DWORD { AFX_INET_SERVICE_UNK = 0, AFX_INET_SERVICE_HTTP = 3, AFX_INET_SERVICE_HTTPS = 4 };

// Splits an absolute URL into service, server, object path (with its query;
// "/" when the URL has none) and port (the scheme's default when none is
// given). False when the URL does not parse or a part does not fit.
bool AfxParseURL(const char* url, DWORD* serviceType, std::string* server, std::string* object,
                 INTERNET_PORT* port);
