// IEnumMediaTypes over a pin's preferred types (BasePin::GetMediaType),
// handing out task-allocated copies the caller deletes.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "filters/base/Retain.h"

namespace filterbase {

class BasePin;

class MediaTypeEnumerator : public IEnumMediaTypes {
public:
    MediaTypeEnumerator(BasePin* pin, ULONG position);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumMediaTypes** copy) override;

private:
    virtual ~MediaTypeEnumerator() = default;
    LONG refs_ = 1;
    ComPtr<BasePin> pin_;
    ULONG position_;
};

}  // namespace filterbase
