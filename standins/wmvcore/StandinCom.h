// Small COM helpers for the stand-in's objects.
#pragma once

#include <windows.h>

#include "engine/WmaRuntime.h"

#define STANDIN_NOTIMPL(name, ...) \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return E_NOTIMPL; }

// Reference counting and QueryInterface over a list of interfaces; `first`
// names the interface that stands for IUnknown.
#define STANDIN_IUNKNOWN(first, ...)                                               \
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); } \
    ULONG STDMETHODCALLTYPE Release() override {                                  \
        ULONG r = InterlockedDecrement(&refs_);                                   \
        if (!r) delete this;                                                      \
        return r;                                                                 \
    }                                                                             \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {   \
        if (!out) return E_POINTER;                                               \
        *out = nullptr;                                                           \
        if (iid == IID_IUnknown) *out = static_cast<first*>(this);                \
        __VA_ARGS__                                                               \
        if (!*out) return E_NOINTERFACE;                                          \
        AddRef();                                                                 \
        return S_OK;                                                              \
    }                                                                             \
    LONG refs_ = 1;

#define STANDIN_IID(I) \
    if (iid == __uuidof(I)) *out = static_cast<I*>(this);

// Lets Release delete through the concrete type.
struct StandinObject {
    virtual ~StandinObject() = default;
};
