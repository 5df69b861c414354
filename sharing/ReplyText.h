// Text helpers of the sharing protocol: bounded copies into the fixed
// buffers, the key=value; reply format, form-value encoding and clamped
// number parsing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace sharing {

// Copies at most capacity-1 bytes of `from` (stopping at its NUL) and
// terminates. Nothing happens for a zero capacity.
void CopyBounded(char* to, size_t capacity, const char* from);
// The same for a text of known length (which may hold no NUL).
void CopyBounded(char* to, size_t capacity, const char* from, size_t length);
template <size_t N>
void CopyBounded(char (&to)[N], const char* from) {
    CopyBounded(to, N, from);
}

// Finds the first occurrence of `key` anywhere in `reply` (a plain substring
// search: "XUploadSite=" also matches "UploadSite=") and returns the value
// behind it. With `needSemicolon` the value must be closed by ";" (false
// otherwise); without, it runs to the next ";" or to the end of the reply.
bool FindReplyValue(const char* reply, const char* key, bool needSemicolon, std::string* value);

// A value that ends a reply may carry the reply's line end and blanks: cut
// it at the first CR or LF and drop trailing blanks and tabs.
std::string TrimLineEnd(const std::string& value);
// As TrimLineEnd, and also removes every '"' (the value goes into a quoted
// header parameter).
std::string TrimForHeader(const std::string& value);

// Percent-encodes the bytes of a form value that a form decoder would read
// as syntax or could not read at all ("&", "=", "+", "%", control bytes,
// bytes above 0x7E). Everything else stays as it is, so plain values go out
// byte for byte unchanged.
std::string EncodeFormValue(const char* value);

// strtol-style: optional blanks and sign, then the leading decimal digits;
// none gives 0; the result is clamped to the signed 32-bit range.
int32_t ParseInt32(const char* text);

// Lower-cased extension of a Windows path: the text after the last "." of
// the file name part; "" when the name has no "." (then *hasDot is false).
std::string PathExtension(const char* path, bool* hasDot = nullptr);

}  // namespace sharing
