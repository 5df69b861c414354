// The persistent login cookie CooStr: its expiry text, its value, and the
// reading back of the fields it carries.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// Writes the expiry attribute of a cookie that lasts one year from today
// (UTC) into `text` (capacity bytes, 1024 in the protocol):
// "expires=Sun, 27-Dec-2026 00:00:00 GMT".
void MakeCookieExpiry(char* text, size_t capacity);
// The same for a given UTC date (only year, month and day are read). A
// 29 February becomes 28 February of the next year, and the weekday is the
// real weekday of the expiry date.
void FormatCookieExpiry(const SYSTEMTIME& utc, char* text, size_t capacity);

// Builds the cookie data "CooStr=...|;<expiry>". The remembered form
// carries the name and password; when `remember` is false, or when either
// text holds "|" or ";" (which would break the cookie apart), the
// not-remembered form is written.
void BuildLoginCookie(bool remember, const char* userName, const char* password, int32_t sn,
                      const char* expiry, char* cookie, size_t capacity);

// What a stored cookie gives back.
struct LoginCookieFields {
    char UserName[128] = "";
    char Password[128] = "";
    bool HasSN = false;
    int32_t SN = 0;
};
// Reads the CooStr value out of the cookies of a site ("a=b; CooStr=...;
// c=d"). Name and password are given back only for a cookie written with
// "Remember Password"; each value is cut to 127 characters. False when the
// text holds no CooStr cookie.
bool ParseLoginCookie(const char* cookies, LoginCookieFields* fields);

// SN after one more successful login: back to 1 after the largest value.
int32_t NextSN(int32_t sn);
