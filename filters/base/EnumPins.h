// IEnumPins over a filter's pins, indexed live: pins are only ever added,
// so a position stays valid while the filter grows (an infinite tee).
#pragma once

#include <windows.h>
#include <dshow.h>

#include "filters/base/Retain.h"

namespace filterbase {

class BaseFilter;

class PinEnumerator : public IEnumPins {
public:
    PinEnumerator(BaseFilter* filter, ULONG position);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP Next(ULONG count, IPin** pins, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumPins** copy) override;

private:
    virtual ~PinEnumerator() = default;
    LONG refs_ = 1;
    ComPtr<BaseFilter> filter_;
    ULONG position_;
};

}  // namespace filterbase
