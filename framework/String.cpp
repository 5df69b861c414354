#include "framework/String.h"

#include "framework/App.h"

#include <cstdio>
#include <cstring>

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Appends the formatted text to `out`. A first try goes into a stack
// buffer; when the text is longer, the exact size is asked for and the
// whole text formatted again, so nothing is ever cut or overrun. Some C
// libraries answer -1 instead of the size: then the buffer doubles.
void AppendFormatted(std::string& out, const char* format, va_list args) {
    if (!format) return;
    char stackBuf[512];
    va_list copy;
    va_copy(copy, args);
    int n = vsnprintf(stackBuf, sizeof stackBuf, format, copy);
    va_end(copy);
    if (n >= 0 && static_cast<size_t>(n) < sizeof stackBuf) {
        out.append(stackBuf, static_cast<size_t>(n));
        return;
    }
    size_t size = n >= 0 ? static_cast<size_t>(n) + 1 : 2 * sizeof stackBuf;
    for (;;) {
        std::string buf(size, '\0');
        va_copy(copy, args);
        n = vsnprintf(&buf[0], size, format, copy);
        va_end(copy);
        if (n >= 0 && static_cast<size_t>(n) < size) {
            out.append(buf.data(), static_cast<size_t>(n));
            return;
        }
        if (size > (1u << 30)) return;  // a format that never fits: give up, keep what we had
        size = n >= 0 ? static_cast<size_t>(n) + 1 : size * 2;
    }
}

}  // namespace

CString::CString(const char* text, int length) {
    if (text && length > 0) s_.assign(text, strnlen(text, static_cast<size_t>(length)));
}

CString::CString(char ch, int repeat) {
    if (repeat > 0) s_.assign(static_cast<size_t>(repeat), ch);
}

CString& CString::operator=(const char* text) {
    // `text` may point into this string (s = s.GetString() + 2).
    std::string copy(text ? text : "");
    s_.swap(copy);
    return *this;
}

CString& CString::operator=(char ch) {
    s_.assign(1, ch);
    return *this;
}

char CString::GetAt(int index) const {
    if (index < 0 || index >= GetLength()) return '\0';
    return s_[static_cast<size_t>(index)];
}

void CString::SetAt(int index, char ch) {
    if (index < 0 || index >= GetLength()) return;
    s_[static_cast<size_t>(index)] = ch;
}

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args) {
    // Arguments may be this very string's text: format into a fresh one.
    std::string out;
    AppendFormatted(out, format, args);
    s_.swap(out);
}

void CString::AppendFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string out;
    AppendFormatted(out, format, args);
    va_end(args);
    s_ += out;
}

BOOL CString::LoadString(UINT id) {
    // LoadStringA copies into a buffer and cuts silently: grow until the
    // text is shorter than the buffer.
    HINSTANCE module = AfxGetResourceHandle();
    for (int size = 256; size <= 65536; size *= 2) {
        std::string buf(static_cast<size_t>(size), '\0');
        int n = ::LoadStringA(module, id, &buf[0], size);
        if (n <= 0) {
            s_.clear();
            return FALSE;
        }
        if (n < size - 1) {
            buf.resize(static_cast<size_t>(n));
            s_.swap(buf);
            return TRUE;
        }
    }
    return FALSE;
}

CString& CString::operator+=(const CString& other) {
    s_ += other.s_;
    return *this;
}

CString& CString::operator+=(const char* text) {
    if (text) s_ += std::string(text);  // copy first: text may alias s_
    return *this;
}

CString& CString::operator+=(char ch) {
    s_ += ch;
    return *this;
}

CString operator+(const CString& a, const CString& b) { return CString(a.s_ + b.s_); }
CString operator+(const CString& a, const char* b) { return CString(a.s_ + (b ? b : "")); }
CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.s_); }
CString operator+(const CString& a, char b) { return CString(a.s_ + b); }
CString operator+(char a, const CString& b) { return CString(a + b.s_); }

int CString::Compare(const char* text) const { return strcmp(s_.c_str(), text ? text : ""); }

int CString::CompareNoCase(const char* text) const {
    return lstrcmpiA(s_.c_str(), text ? text : "");
}

CString CString::Left(int count) const {
    count = Clamp(count, 0, GetLength());
    return CString(s_.substr(0, static_cast<size_t>(count)));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
    first = Clamp(first, 0, GetLength());
    count = Clamp(count, 0, GetLength() - first);
    return CString(s_.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Right(int count) const {
    count = Clamp(count, 0, GetLength());
    return CString(s_.substr(static_cast<size_t>(GetLength() - count)));
}

int CString::Find(char ch, int start) const {
    if (start < 0 || start >= GetLength()) return -1;
    size_t pos = s_.find(ch, static_cast<size_t>(start));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* sub, int start) const {
    if (!sub || start < 0 || start > GetLength()) return -1;
    size_t pos = s_.find(sub, static_cast<size_t>(start));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const {
    size_t pos = s_.rfind(ch);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::FindOneOf(const char* chars) const {
    if (!chars || !*chars) return -1;
    size_t pos = s_.find_first_of(chars);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString& CString::MakeUpper() {
    // The ANSI code page's rules, as the rest of the program's text uses.
    if (!s_.empty()) CharUpperBuffA(&s_[0], static_cast<DWORD>(s_.size()));
    return *this;
}

CString& CString::MakeLower() {
    if (!s_.empty()) CharLowerBuffA(&s_[0], static_cast<DWORD>(s_.size()));
    return *this;
}

CString& CString::MakeReverse() {
    s_.assign(s_.rbegin(), s_.rend());
    return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(char ch) { return TrimRight(ch).TrimLeft(ch); }
CString& CString::Trim(const char* chars) { return TrimRight(chars).TrimLeft(chars); }

CString& CString::TrimLeft() {
    size_t i = 0;
    while (i < s_.size() && IsSpace(s_[i])) ++i;
    s_.erase(0, i);
    return *this;
}

CString& CString::TrimLeft(char ch) {
    size_t i = 0;
    while (i < s_.size() && s_[i] == ch) ++i;
    s_.erase(0, i);
    return *this;
}

CString& CString::TrimLeft(const char* chars) {
    if (!chars) return *this;
    size_t i = s_.find_first_not_of(chars);
    s_.erase(0, i == std::string::npos ? s_.size() : i);
    return *this;
}

CString& CString::TrimRight() {
    size_t n = s_.size();
    while (n > 0 && IsSpace(s_[n - 1])) --n;
    s_.resize(n);
    return *this;
}

CString& CString::TrimRight(char ch) {
    size_t n = s_.size();
    while (n > 0 && s_[n - 1] == ch) --n;
    s_.resize(n);
    return *this;
}

CString& CString::TrimRight(const char* chars) {
    if (!chars) return *this;
    size_t i = s_.find_last_not_of(chars);
    s_.resize(i == std::string::npos ? 0 : i + 1);
    return *this;
}

int CString::Replace(char from, char to) {
    int count = 0;
    for (char& c : s_) {
        if (c == from) {
            c = to;
            ++count;
        }
    }
    return count;
}

int CString::Replace(const char* from, const char* to) {
    if (!from || !*from) return 0;
    std::string needle(from), with(to ? to : "");
    std::string out;
    int count = 0;
    size_t pos = 0;
    for (;;) {
        size_t hit = s_.find(needle, pos);
        if (hit == std::string::npos) break;
        out.append(s_, pos, hit - pos);
        out += with;
        pos = hit + needle.size();
        ++count;
    }
    if (count) {
        out.append(s_, pos, std::string::npos);
        s_.swap(out);
    }
    return count;
}

int CString::Remove(char ch) {
    size_t before = s_.size();
    std::string out;
    out.reserve(before);
    for (char c : s_)
        if (c != ch) out += c;
    s_.swap(out);
    return static_cast<int>(before - s_.size());
}

int CString::Insert(int index, char ch) {
    index = Clamp(index, 0, GetLength());
    s_.insert(static_cast<size_t>(index), 1, ch);
    return GetLength();
}

int CString::Insert(int index, const char* text) {
    if (text) {
        index = Clamp(index, 0, GetLength());
        s_.insert(static_cast<size_t>(index), std::string(text));
    }
    return GetLength();
}

int CString::Delete(int index, int count) {
    if (index >= 0 && index < GetLength() && count > 0) {
        count = Clamp(count, 0, GetLength() - index);
        s_.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    }
    return GetLength();
}

char* CString::GetBuffer(int minLength) {
    // The text stays; the buffer is at least minLength characters long and
    // the NUL after it is std::string's own.
    if (minLength > GetLength()) s_.resize(static_cast<size_t>(minLength), '\0');
    return &s_[0];
}

char* CString::GetBufferSetLength(int length) {
    s_.resize(static_cast<size_t>(length < 0 ? 0 : length), '\0');
    return &s_[0];
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) {
        s_.resize(strnlen(s_.c_str(), s_.size()));
    } else {
        s_.resize(static_cast<size_t>(Clamp(newLength, 0, GetLength())));
    }
}

bool operator==(const CString& a, const CString& b) { return a.Std() == b.Std(); }
bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return !(a == b); }
bool operator!=(const CString& a, const char* b) { return !(a == b); }
bool operator!=(const char* a, const CString& b) { return !(a == b); }
bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
