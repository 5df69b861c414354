// CString: the 8-bit (ANSI) string every window class of the program passes
// around. Value semantics over std::string; Format grows to whatever the
// arguments need, so no length of input can overrun it. GetBuffer/
// ReleaseBuffer hand out a writable buffer for APIs that fill char arrays.
// Pass it to printf-style functions as (LPCSTR)s or s.GetString(): the
// format attribute on Format makes the compiler reject a bare CString there.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <string>

class CString {
public:
    CString() = default;
    CString(const char* text) : s_(text ? text : "") {}
    CString(const char* text, int length);
    CString(char ch, int repeat = 1);
    CString(const std::string& text) : s_(text) {}
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(const char* text);
    CString& operator=(char ch);

    int GetLength() const { return static_cast<int>(s_.size()); }
    bool IsEmpty() const { return s_.empty(); }
    void Empty() { s_.clear(); }
    const char* GetString() const { return s_.c_str(); }
    operator const char*() const { return s_.c_str(); }
    const std::string& Std() const { return s_; }

    // Out-of-range indexes give '\0' (read) or are ignored (write).
    char GetAt(int index) const;
    void SetAt(int index, char ch);
    char operator[](int index) const { return GetAt(index); }

    // printf-style; the result is always complete, however long.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* format, va_list args);
    void AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Loads string resource `id` of the program module; false when missing.
    BOOL LoadString(UINT id);

    CString& operator+=(const CString& other);
    CString& operator+=(const char* text);
    CString& operator+=(char ch);
    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, const char* b);
    friend CString operator+(const char* a, const CString& b);
    friend CString operator+(const CString& a, char b);
    friend CString operator+(char a, const CString& b);

    // <0, 0, >0 like strcmp; null compares as empty.
    int Compare(const char* text) const;
    int CompareNoCase(const char* text) const;

    // Sub-strings: counts and positions are clamped to the string.
    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;

    // Position of the first match at or after `start`, or -1.
    int Find(char ch, int start = 0) const;
    int Find(const char* sub, int start = 0) const;
    int ReverseFind(char ch) const;
    int FindOneOf(const char* chars) const;

    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();
    // Without arguments: white space (blank, tab, CR, LF, VT, FF).
    CString& Trim();
    CString& Trim(char ch);
    CString& Trim(const char* chars);
    CString& TrimLeft();
    CString& TrimLeft(char ch);
    CString& TrimLeft(const char* chars);
    CString& TrimRight();
    CString& TrimRight(char ch);
    CString& TrimRight(const char* chars);

    // Return the number of replacements / removals.
    int Replace(char from, char to);
    int Replace(const char* from, const char* to);
    int Remove(char ch);
    // Return the new length.
    int Insert(int index, char ch);
    int Insert(int index, const char* text);
    int Delete(int index, int count = 1);

    // A writable buffer of at least minLength characters plus the NUL.
    // Until ReleaseBuffer the string's length is undefined.
    char* GetBuffer(int minLength);
    char* GetBuffer() { return GetBuffer(GetLength()); }
    char* GetBufferSetLength(int length);
    // newLength -1: the text up to the first NUL of the buffer.
    void ReleaseBuffer(int newLength = -1);

private:
    std::string s_;
};

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, const char* b);
bool operator==(const char* a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, const char* b);
bool operator!=(const char* a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator>(const CString& a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator>=(const CString& a, const CString& b);
