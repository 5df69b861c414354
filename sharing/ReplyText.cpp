#include "sharing/ReplyText.h"

#include <cctype>
#include <climits>
#include <cstring>

namespace sharing {

void CopyBounded(char* to, size_t capacity, const char* from) {
    if (!to || !capacity) return;
    if (!from) from = "";
    CopyBounded(to, capacity, from, strnlen(from, capacity - 1));
}

void CopyBounded(char* to, size_t capacity, const char* from, size_t length) {
    if (!to || !capacity) return;
    size_t n = length < capacity - 1 ? length : capacity - 1;
    if (n) memmove(to, from, n);
    to[n] = '\0';
}

bool FindReplyValue(const char* reply, const char* key, bool needSemicolon, std::string* value) {
    value->clear();
    if (!reply || !key || !*key) return false;
    const char* at = strstr(reply, key);
    if (!at) return false;
    at += strlen(key);
    const char* end = strchr(at, ';');
    if (!end) {
        if (needSemicolon) return false;
        end = at + strlen(at);
    }
    value->assign(at, end - at);
    return true;
}

std::string TrimLineEnd(const std::string& value) {
    size_t n = value.find_first_of("\r\n");
    if (n == std::string::npos) n = value.size();
    while (n > 0 && (value[n - 1] == ' ' || value[n - 1] == '\t')) --n;
    return value.substr(0, n);
}

std::string TrimForHeader(const std::string& value) {
    std::string out;
    for (char c : TrimLineEnd(value))
        if (c != '"') out += c;
    return out;
}

std::string EncodeFormValue(const char* value) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    if (!value) return out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(value); *p; ++p) {
        unsigned char c = *p;
        if (c < 0x20 || c > 0x7E || c == '&' || c == '=' || c == '+' || c == '%') {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int32_t ParseInt32(const char* text) {
    if (!text) return 0;
    while (*text == ' ' || *text == '\t') ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    long long v = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        v = v * 10 + (*text - '0');
        if (v > 1LL + INT32_MAX) v = 1LL + INT32_MAX;  // stays past either limit
    }
    if (negative) v = -v;
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

std::string PathExtension(const char* path, bool* hasDot) {
    if (hasDot) *hasDot = false;
    if (!path) return "";
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    const char* dot = strrchr(name, '.');
    if (!dot) return "";
    if (hasDot) *hasDot = true;
    std::string ext(dot + 1);
    for (char& c : ext) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return ext;
}

}  // namespace sharing
