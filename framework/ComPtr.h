// Owner of one COM interface pointer: released when the owner goes, moved
// rather than copied, so early returns never leak a reference.
#pragma once

#include <utility>

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    // Releases what is held and hands out the slot for a new reference.
    T** GetAddressOf() {
        Reset();
        return &p_;
    }
    T* Detach() { return std::exchange(p_, nullptr); }
    void Reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};
