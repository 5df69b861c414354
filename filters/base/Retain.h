// Owners for COM references in the base layer and the filters on it
// (framework/ComPtr.h), and Retained() to take a new reference into one.
#pragma once

#include "framework/ComPtr.h"

namespace filterbase {

template <class T>
ComPtr<T> Retained(T* p) {
    ComPtr<T> owner;
    if (p) {
        p->AddRef();
        *owner.GetAddressOf() = p;
    }
    return owner;
}

// The slot of an owner as the void** that QueryInterface/CoCreateInstance take.
template <class T>
void** OutVoid(ComPtr<T>& owner) {
    return reinterpret_cast<void**>(owner.GetAddressOf());
}

}  // namespace filterbase
