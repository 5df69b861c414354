// IMediaSeeking on an output pin that hands every call to the pin feeding
// a given input pin of the same filter, so a renderer downstream can seek
// the source through in-line filters (transforms, the tee).
#pragma once

#include <windows.h>
#include <dshow.h>

#include "filters/base/Retain.h"

namespace filterbase {

class BasePin;
class InputPin;

class SeekingPassThru : public IMediaSeeking {
public:
    // owner: the output pin (identity and reference count); upstreamOf:
    // the input whose peer does the seeking.
    SeekingPassThru(BasePin* owner, InputPin* upstreamOf);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP GetCapabilities(DWORD* caps) override;
    STDMETHODIMP CheckCapabilities(DWORD* caps) override;
    STDMETHODIMP IsFormatSupported(const GUID* format) override;
    STDMETHODIMP QueryPreferredFormat(GUID* format) override;
    STDMETHODIMP GetTimeFormat(GUID* format) override;
    STDMETHODIMP IsUsingTimeFormat(const GUID* format) override;
    STDMETHODIMP SetTimeFormat(const GUID* format) override;
    STDMETHODIMP GetDuration(LONGLONG* duration) override;
    STDMETHODIMP GetStopPosition(LONGLONG* stop) override;
    STDMETHODIMP GetCurrentPosition(LONGLONG* current) override;
    STDMETHODIMP ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                   const GUID* sourceFormat) override;
    STDMETHODIMP SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                              DWORD stopFlags) override;
    STDMETHODIMP GetPositions(LONGLONG* current, LONGLONG* stop) override;
    STDMETHODIMP GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
    STDMETHODIMP SetRate(double rate) override;
    STDMETHODIMP GetRate(double* rate) override;
    STDMETHODIMP GetPreroll(LONGLONG* preroll) override;

private:
    // The upstream seeking interface, or E_NOTIMPL when there is none.
    HRESULT Upstream(ComPtr<IMediaSeeking>* seeking);

    BasePin* owner_;
    InputPin* upstreamOf_;
};

}  // namespace filterbase
