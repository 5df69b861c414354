// The one HTTP exchange of the sharing client: a GET, or a POST of a form
// body, whose reply lands in the caller's buffer.
#pragma once

#include <windows.h>

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
int HttpRequest(const char* url, const char* body, char* reply, size_t capacity, int kind,
                DWORD* length);

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
