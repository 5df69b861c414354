// Owners of kernel and system handles: UniqueHandle (CloseHandle; both
// null and INVALID_HANDLE_VALUE mean "none"), FindHandle (FindClose),
// LibraryHandle (FreeLibrary). Non-copyable, movable; Reset closes what
// is held and takes the new one.
#pragma once

#include <windows.h>

#include <utility>

template <class H, class Traits>
class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(H h) : h_(h) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : h_(other.Release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    H Get() const { return h_; }
    bool IsValid() const { return Traits::Valid(h_); }
    explicit operator bool() const { return IsValid(); }
    void Reset(H h = Traits::None()) {
        if (Traits::Valid(h_) && h_ != h) Traits::Close(h_);
        h_ = h;
    }
    H Release() { return std::exchange(h_, Traits::None()); }
    // Closes what is held and hands out the slot for a new handle.
    H* Receive() {
        Reset();
        return &h_;
    }

private:
    H h_ = Traits::None();
};

struct KernelHandleTraits {
    static HANDLE None() { return nullptr; }
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct FindHandleTraits {
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::FindClose(h); }
};
struct LibraryHandleTraits {
    static HMODULE None() { return nullptr; }
    static bool Valid(HMODULE h) { return h != nullptr; }
    static void Close(HMODULE h) { ::FreeLibrary(h); }
};

using UniqueHandle = ScopedHandle<HANDLE, KernelHandleTraits>;
using FindHandle = ScopedHandle<HANDLE, FindHandleTraits>;
using LibraryHandle = ScopedHandle<HMODULE, LibraryHandleTraits>;
