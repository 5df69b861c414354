// The one HTTP exchange of the sharing client: a GET, or a POST of a form
// body, whose reply lands in the caller's buffer.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <cstddef>

// Request kinds of HttpRequest.
enum : int { HTTP_REQUEST_POST = 0, HTTP_REQUEST_GET = 1 };

// Every request gives up after this long without progress (connect, send,
// or receive), so a silent server never holds the window for long.
constexpr DWORD kSharingTimeoutMs = 30000;

// Sends `body` to the absolute http:// `url`: for GET the body is appended
// to the object path (empty for a plain GET), for POST it is the form data.
// The reply body is read to its end or until capacity-1 bytes are stored,
// then NUL-terminated; *length gets its length. Returns 1 when the exchange
// completed with a 2xx status and 0 when it failed: a URL that is not
// http://, any internet-layer error, a status other than 2xx (an error page
// may well hold text that parses as an answer), or a reply that ended
// before the length the server announced. On 0, *length is 0 and the buffer
// holds "".
//
// With `abort`, another thread can end the exchange early (HttpAbort).
class HttpAbort;
int HttpRequest(const char* url, const char* body, char* reply, size_t capacity, int kind,
                DWORD* length, HttpAbort* abort = nullptr);

// Lets another thread end the requests made with it: Cancel closes the
// session of the request under way, which on Windows ends a connect, send
// or receive it waits in (Wine's internet layer lets a call already waiting
// run to its own end), and every later request given this object fails at
// once without going out.
class HttpAbort {
public:
    HttpAbort();
    ~HttpAbort();
    HttpAbort(const HttpAbort&) = delete;
    HttpAbort& operator=(const HttpAbort&) = delete;

    void Cancel();
    bool Cancelled();

    // The request's side: Enter gives the session to close (false: already
    // cancelled); Leave takes it back, false when Cancel has closed it.
    bool Enter(HINTERNET session);
    bool Leave();

private:
    CRITICAL_SECTION cs_;
    HINTERNET session_ = nullptr;  // the running request's, under cs_
    bool cancelled_ = false;       // under cs_
    bool closed_ = false;          // under cs_: session_ was closed by Cancel
};

// Whether an HTTP status answers a request of the sharing client: only 2xx
// does. 0 (no status line at all) does not.
inline bool IsSuccessStatus(DWORD status) { return status >= 200 && status < 300; }

// Sets the timeouts every request of the sharing client uses, on the
// session and on the request itself (Wine's WinInet only honours them on the
// request handle).
class CInternetSession;
class CHttpFile;
void ApplySharingTimeouts(CInternetSession& session);
void ApplySharingTimeouts(CHttpFile& request);
