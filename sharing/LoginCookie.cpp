#include "sharing/LoginCookie.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "sharing/ReplyText.h"

namespace {

const char* const kDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// 0 = Sunday (Sakamoto's method, Gregorian calendar).
int Weekday(int y, int m, int d) {
    static const int t[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (m < 3) y -= 1;
    return (y + y / 4 - y / 100 + y / 400 + t[m - 1] + d) % 7;
}

}  // namespace

void FormatCookieExpiry(const SYSTEMTIME& utc, char* text, size_t capacity) {
    int year = utc.wYear + 1, month = utc.wMonth, day = utc.wDay;
    if (month < 1 || month > 12) month = 1;
    if (month == 2 && day == 29 && !IsLeap(year)) day = 28;
    snprintf(text, capacity, "expires=%s, %02d-%s-%04d 00:00:00 GMT", kDays[Weekday(year, month, day)],
             day, kMonths[month - 1], year);
}

void MakeCookieExpiry(char* text, size_t capacity) {
    SYSTEMTIME now;
    GetSystemTime(&now);
    FormatCookieExpiry(now, text, capacity);
}

void BuildLoginCookie(bool remember, const char* userName, const char* password, int32_t sn,
                      const char* expiry, char* cookie, size_t capacity) {
    if (!userName) userName = "";
    if (!password) password = "";
    if (strpbrk(userName, "|;") || strpbrk(password, "|;")) remember = false;
    if (remember)
        snprintf(cookie, capacity, "CooStr=UserName-%s|Pww-%s|isRemember-1|SN-%d|;%s", userName,
                 password, static_cast<int>(sn), expiry);
    else
        snprintf(cookie, capacity, "CooStr=UserName-0|Pww-0|isRemember-0|SN-%d|;%s",
                 static_cast<int>(sn), expiry);
}

bool ParseLoginCookie(const char* cookies, LoginCookieFields* fields) {
    *fields = LoginCookieFields();
    if (!cookies) return false;
    // The cookie's own name, not "CooStr=" inside another cookie's value.
    const char* at = cookies;
    for (;;) {
        at = strstr(at, "CooStr=");
        if (!at) return false;
        if (at == cookies || at[-1] == ' ' || at[-1] == ';') break;
        ++at;
    }
    at += strlen("CooStr=");
    const char* end = strchr(at, ';');
    std::string value(at, end ? static_cast<size_t>(end - at) : strlen(at));

    bool remembered = true;
    std::string name, password;
    bool haveName = false, havePassword = false;
    // Fields are "Key-value|", one after the other; a field without its "|"
    // is not taken.
    size_t pos = 0;
    for (size_t bar; (bar = value.find('|', pos)) != std::string::npos; pos = bar + 1) {
        std::string field = value.substr(pos, bar - pos);
        auto take = [&](const char* key, std::string* out) {
            size_t n = strlen(key);
            if (field.compare(0, n, key) != 0) return false;
            *out = field.substr(n);
            return true;
        };
        std::string v;
        if (take("UserName-", &v)) {
            name = v;
            haveName = true;
        } else if (take("Pww-", &v)) {
            password = v;
            havePassword = true;
        } else if (take("isRemember-", &v)) {
            remembered = v != "0";
        } else if (take("SN-", &v)) {
            fields->SN = sharing::ParseInt32(v.c_str());
            fields->HasSN = true;
        }
    }
    // A not-remembered cookie carries "0" for both; they are no login.
    if (remembered && haveName && name != "0") {
        sharing::CopyBounded(fields->UserName, sizeof fields->UserName, name.c_str(), name.size());
        if (havePassword)
            sharing::CopyBounded(fields->Password, sizeof fields->Password, password.c_str(),
                                 password.size());
    }
    return true;
}

int32_t NextSN(int32_t sn) { return sn >= INT32_MAX ? 1 : sn + 1; }
