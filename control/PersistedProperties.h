// What the control keeps in a page's PARAM tags, a stream or a storage:
// its extent and eighteen properties, by name and DISPID, in this order.
// The stream layout is ours: a version word, the extent (two LONGs in
// HIMETRIC), then each value as its VARTYPE word followed by the value
// (VT_I2 two bytes, VT_I4 four, VT_BSTR a DWORD count of UTF-16 units and
// the units). A reader refuses another version, another type, a string
// longer than any property holds, or a stream that ends early.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <string>
#include <vector>

namespace sablet {

struct PersistedProperty {
    const wchar_t* name;  // the PARAM name
    DISPID dispid;
    VARTYPE type;         // VT_I2, VT_I4 or VT_BSTR
};

constexpr size_t PersistedCount = 18;
extern const PersistedProperty PersistedProperties[PersistedCount];

constexpr uint16_t PersistVersion = 1;
// Longest string a stream may hold (no property keeps more).
constexpr uint32_t PersistMaxChars = 4096;

struct PersistedValue {
    long number = 0;     // VT_I2 and VT_I4
    std::wstring text;   // VT_BSTR
};

struct PersistedState {
    SIZEL extent = {0, 0};
    PersistedValue values[PersistedCount];
};

// The stream's bytes for a state.
std::vector<BYTE> EncodeProperties(const PersistedState& state);

// Reads bytes one piece at a time from wherever they are (an IStream, memory).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // False when fewer than `size` bytes could be read.
    virtual bool Read(void* out, ULONG size) = 0;
};

// Reads a whole state; on false *state may be partly filled and must not be used.
bool DecodeProperties(ByteSource& in, PersistedState* state);

class MemorySource : public ByteSource {
public:
    MemorySource(const BYTE* data, size_t size) : data_(data), size_(size) {}
    bool Read(void* out, ULONG size) override;

private:
    const BYTE* data_;
    size_t size_;
    size_t at_ = 0;
};

}  // namespace sablet
