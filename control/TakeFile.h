// Where a control keeps its take: every control records into a file of its
// own in the temporary folder, so two controls, on one page or on pages in
// two browser processes, neither play nor overwrite each other's
// recording. The first control keeps the plain name; the others add their
// number ("Sablet2", ...).
#pragma once

#include <windows.h>

#include <cstddef>

#include "framework/Handles.h"

namespace sablet {

// A control's claim on a take name, held while the control lives: the
// name's lock file (base + ".lck") open without sharing, which the system
// deletes when it is closed, also when the process dies. Another control,
// of this process or any other, cannot open it meanwhile and takes the
// next number; opening is the test, so two claims cannot race.
class TakeClaim {
public:
    static constexpr int kCount = 256;
    TakeClaim() = default;
    TakeClaim(const TakeClaim&) = delete;
    TakeClaim& operator=(const TakeClaim&) = delete;

    // Claims the lowest free name in tempFolder (ending in '\'); true while
    // one is held (a held claim is kept as it is). False when the folder is
    // unusable or every number is held.
    bool Claim(const char* tempFolder);
    void Release();
    // 1..kCount while held, else 0.
    int Number() const { return number_; }
    // tempFolder + "Sablet" (+ the number after 1); "" while nothing is held.
    const char* Base() const { return base_; }

private:
    UniqueHandle lock_;
    int number_ = 0;
    char base_[MAX_PATH + 16] = "";
};

// tempFolder + "Sablet" for number 1, tempFolder + "Sablet<number>" after
// it; false (out = "") when it does not fit or the number is not a claim's.
bool FormatTakeBase(char* out, size_t capacity, const char* tempFolder, int number);

}  // namespace sablet
