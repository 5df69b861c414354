#include "control/TakeFile.h"

#include <cstdio>
#include <cstring>

namespace sablet {

bool TakeClaim::Claim(const char* tempFolder) {
    if (number_) return true;
    for (int n = 1; n <= kCount; ++n) {
        char base[sizeof base_];
        char lock[sizeof base_ + 4];
        if (!FormatTakeBase(base, sizeof base, tempFolder, n)) return false;  // nor would the next
        snprintf(lock, sizeof lock, "%s.lck", base);
        // Any failure (held elsewhere, being deleted, not ours to open)
        // leaves the name to whoever has it.
        HANDLE h = CreateFileA(lock, GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY |
                                   FILE_FLAG_DELETE_ON_CLOSE,
                               nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            DWORD error = GetLastError();
            if (error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME) return false;
            continue;
        }
        lock_.Reset(h);
        number_ = n;
        memcpy(base_, base, sizeof base_);
        return true;
    }
    return false;
}

void TakeClaim::Release() {
    lock_.Reset();
    number_ = 0;
    base_[0] = '\0';
}

bool FormatTakeBase(char* out, size_t capacity, const char* tempFolder, int number) {
    if (!out || capacity == 0) return false;
    out[0] = '\0';
    if (!tempFolder || number < 1 || number > TakeClaim::kCount) return false;
    int n = number == 1 ? snprintf(out, capacity, "%sSablet", tempFolder)
                        : snprintf(out, capacity, "%sSablet%d", tempFolder, number);
    if (n < 0 || static_cast<size_t>(n) >= capacity) {
        out[0] = '\0';
        return false;
    }
    return true;
}

}  // namespace sablet
