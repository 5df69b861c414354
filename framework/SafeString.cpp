#include "framework/SafeString.h"

#include <cstdio>
#include <cstring>

bool SafeCopy(char* dst, size_t capacity, const char* src) {
    if (!dst || capacity == 0) return false;
    if (!src) src = "";
    size_t length = strnlen(src, capacity);
    bool fits = length < capacity;
    if (!fits) length = capacity - 1;
    memmove(dst, src, length);
    dst[length] = '\0';
    return fits;
}

bool SafeAppend(char* dst, size_t capacity, const char* src) {
    if (!dst || capacity == 0) return false;
    size_t used = strnlen(dst, capacity);
    if (used == capacity) {  // not terminated: make it so, nothing fits
        dst[capacity - 1] = '\0';
        return false;
    }
    return SafeCopy(dst + used, capacity - used, src);
}

bool SafeFormatV(char* dst, size_t capacity, const char* format, va_list args) {
    if (!dst || capacity == 0) return false;
    int n = vsnprintf(dst, capacity, format ? format : "", args);
    dst[capacity - 1] = '\0';  // some C libraries leave a full buffer unterminated
    if (n < 0) {
        dst[0] = '\0';
        return false;
    }
    return static_cast<size_t>(n) < capacity;
}

bool SafeFormatTo(char* dst, size_t capacity, const char* format, ...) {
    va_list args;
    va_start(args, format);
    bool fitted = SafeFormatV(dst, capacity, format, args);
    va_end(args);
    return fitted;
}
