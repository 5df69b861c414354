#include "filters/base/EnumPins.h"

#include <new>

#include "filters/base/BaseFilter.h"
#include "filters/base/BasePin.h"

namespace filterbase {

PinEnumerator::PinEnumerator(BaseFilter* filter, ULONG position)
    : filter_(Retained(filter)), position_(position) {}

STDMETHODIMP PinEnumerator::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumPins)) {
        *out = static_cast<IEnumPins*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) PinEnumerator::AddRef() { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) PinEnumerator::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP PinEnumerator::Next(ULONG count, IPin** pins, ULONG* fetched) {
    if (!pins) return E_POINTER;
    if (count > 1 && !fetched) return E_INVALIDARG;
    Lock lock(filter_->FilterLock());
    ULONG got = 0;
    while (got < count && position_ < static_cast<ULONG>(filter_->PinCount())) {
        pins[got++] = Retained<IPin>(filter_->PinAt(static_cast<int>(position_++))).Detach();
    }
    if (fetched) *fetched = got;
    return got == count ? S_OK : S_FALSE;
}

STDMETHODIMP PinEnumerator::Skip(ULONG count) {
    Lock lock(filter_->FilterLock());
    ULONG total = static_cast<ULONG>(filter_->PinCount());
    if (position_ + count > total) {
        position_ = total;
        return S_FALSE;
    }
    position_ += count;
    return S_OK;
}

STDMETHODIMP PinEnumerator::Reset() {
    position_ = 0;
    return S_OK;
}

STDMETHODIMP PinEnumerator::Clone(IEnumPins** copy) {
    if (!copy) return E_POINTER;
    *copy = new (std::nothrow) PinEnumerator(filter_.Get(), position_);
    return *copy ? S_OK : E_OUTOFMEMORY;
}

}  // namespace filterbase
