#include "control/TakeFile.h"

#include <cstdio>

namespace sablet {

namespace {

// 1 where a live control holds the number (index + 1).
volatile LONG SlotsInUse[TakeSlot::kCount];

}  // namespace

int TakeSlot::Acquire() {
    if (number_) return number_;
    for (int i = 0; i < kCount; ++i)
        if (InterlockedCompareExchange(&SlotsInUse[i], 1, 0) == 0) return number_ = i + 1;
    return 0;
}

void TakeSlot::Release() {
    if (number_) InterlockedExchange(&SlotsInUse[number_ - 1], 0);
    number_ = 0;
}

bool FormatTakeBase(char* out, size_t capacity, const char* tempFolder, int number) {
    if (!out || capacity == 0) return false;
    out[0] = '\0';
    if (!tempFolder || number < 1 || number > TakeSlot::kCount) return false;
    int n = number == 1 ? snprintf(out, capacity, "%sSablet", tempFolder)
                        : snprintf(out, capacity, "%sSablet%d", tempFolder, number);
    if (n < 0 || static_cast<size_t>(n) >= capacity) {
        out[0] = '\0';
        return false;
    }
    return true;
}

}  // namespace sablet
