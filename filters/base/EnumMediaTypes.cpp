#include "filters/base/EnumMediaTypes.h"

#include <new>

#include "filters/base/BasePin.h"
#include "filters/base/MediaType.h"

namespace filterbase {

MediaTypeEnumerator::MediaTypeEnumerator(BasePin* pin, ULONG position)
    : pin_(Retained(pin)), position_(position) {}

STDMETHODIMP MediaTypeEnumerator::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumMediaTypes)) {
        *out = static_cast<IEnumMediaTypes*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) MediaTypeEnumerator::AddRef() { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) MediaTypeEnumerator::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP MediaTypeEnumerator::Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) {
    if (!types) return E_POINTER;
    if (count > 1 && !fetched) return E_INVALIDARG;
    ULONG got = 0;
    while (got < count) {
        MediaType mt;
        if (pin_->GetMediaType(static_cast<int>(position_), &mt) != S_OK) break;
        AM_MEDIA_TYPE* copy = mt.CreateCopy();
        if (!copy) {
            for (ULONG i = 0; i < got; ++i) MediaType::Delete(types[i]);
            if (fetched) *fetched = 0;
            return E_OUTOFMEMORY;
        }
        types[got++] = copy;
        ++position_;
    }
    if (fetched) *fetched = got;
    return got == count ? S_OK : S_FALSE;
}

STDMETHODIMP MediaTypeEnumerator::Skip(ULONG count) {
    for (ULONG i = 0; i < count; ++i) {
        MediaType mt;
        if (pin_->GetMediaType(static_cast<int>(position_), &mt) != S_OK) return S_FALSE;
        ++position_;
    }
    return S_OK;
}

STDMETHODIMP MediaTypeEnumerator::Reset() {
    position_ = 0;
    return S_OK;
}

STDMETHODIMP MediaTypeEnumerator::Clone(IEnumMediaTypes** copy) {
    if (!copy) return E_POINTER;
    *copy = new (std::nothrow) MediaTypeEnumerator(pin_.Get(), position_);
    return *copy ? S_OK : E_OUTOFMEMORY;
}

}  // namespace filterbase
