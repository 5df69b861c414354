// Owners for the engine's COM pointers and media types, so early returns
// release what they hold.
#pragma once

#include <windows.h>
#include <strmif.h>

#include <utility>

template <class T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { Reset(); }
    ComRef(const ComRef& o) : p_(o.p_) {
        if (p_) p_->AddRef();
    }
    ComRef(ComRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComRef& operator=(ComRef o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }

    // Takes over a reference the caller already holds.
    void Attach(T* p) {
        Reset();
        p_ = p;
    }
    void Reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    T** Out() {
        Reset();
        return &p_;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    template <class U>
    HRESULT As(const IID& iid, ComRef<U>* out) const {
        if (!p_) return E_POINTER;
        return p_->QueryInterface(iid, out->OutVoid());
    }

private:
    T* p_ = nullptr;
};

// A media type handed out by a pin or a stream configuration: its format
// block and its object are the receiver's to free.
class MediaTypePtr {
public:
    MediaTypePtr() = default;
    ~MediaTypePtr() { Reset(); }
    MediaTypePtr(const MediaTypePtr&) = delete;
    MediaTypePtr& operator=(const MediaTypePtr&) = delete;

    AM_MEDIA_TYPE** Out() {
        Reset();
        return &mt_;
    }
    AM_MEDIA_TYPE* Get() const { return mt_; }
    AM_MEDIA_TYPE* operator->() const { return mt_; }
    void Reset() {
        if (!mt_) return;
        FreeFields(mt_);
        CoTaskMemFree(mt_);
        mt_ = nullptr;
    }
    // Frees what a media type points to (for one filled in place).
    static void FreeFields(AM_MEDIA_TYPE* mt) {
        if (mt->cbFormat && mt->pbFormat) CoTaskMemFree(mt->pbFormat);
        mt->pbFormat = nullptr;
        mt->cbFormat = 0;
        if (mt->pUnk) mt->pUnk->Release();
        mt->pUnk = nullptr;
    }

private:
    AM_MEDIA_TYPE* mt_ = nullptr;
};
