// Bounded copies into fixed char buffers: the size comes from the
// destination, never from the source. Each result is NUL-terminated and
// cut to fit; the return value says whether the whole source fitted.
#pragma once

#include <cstdarg>
#include <cstddef>

bool SafeCopy(char* dst, size_t capacity, const char* src);
bool SafeAppend(char* dst, size_t capacity, const char* src);
bool SafeFormatV(char* dst, size_t capacity, const char* format, va_list args);
bool SafeFormatTo(char* dst, size_t capacity, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

template <size_t N>
bool SafeCopy(char (&dst)[N], const char* src) { return SafeCopy(dst, N, src); }
template <size_t N>
bool SafeAppend(char (&dst)[N], const char* src) { return SafeAppend(dst, N, src); }
template <size_t N>
bool SafeFormat(char (&dst)[N], const char* format, ...) __attribute__((format(printf, 2, 3)));
template <size_t N>
bool SafeFormat(char (&dst)[N], const char* format, ...) {
    va_list args;
    va_start(args, format);
    bool fitted = SafeFormatV(dst, N, format, args);
    va_end(args);
    return fitted;
}
