// Where a control keeps its take: every control of a process records into
// a file of its own in the temporary folder, so two controls on one page
// neither play nor overwrite each other's recording. The first control
// keeps the plain name; the others add their number ("Sablet2", ...).
#pragma once

#include <windows.h>

#include <cstddef>

namespace sablet {

// A control's number among the live controls of the process: the lowest
// free one, taken once and given back when the owner goes (any thread).
class TakeSlot {
public:
    static constexpr int kCount = 256;
    TakeSlot() = default;
    ~TakeSlot() { Release(); }
    TakeSlot(const TakeSlot&) = delete;
    TakeSlot& operator=(const TakeSlot&) = delete;

    // The slot's number 1..kCount, taking one when none is held yet; 0 when
    // every number is in use.
    int Acquire();
    void Release();
    int Number() const { return number_; }

private:
    int number_ = 0;
};

// tempFolder + "Sablet" for number 1, tempFolder + "Sablet<number>" after
// it; false (out = "") when it does not fit or the number is not a slot's.
bool FormatTakeBase(char* out, size_t capacity, const char* tempFolder, int number);

}  // namespace sablet
