#include "filters/base/SeekingPassThru.h"

#include "filters/base/InputPin.h"

namespace filterbase {

SeekingPassThru::SeekingPassThru(BasePin* owner, InputPin* upstreamOf)
    : owner_(owner), upstreamOf_(upstreamOf) {}

STDMETHODIMP SeekingPassThru::QueryInterface(REFIID iid, void** out) {
    return owner_->QueryInterface(iid, out);
}
STDMETHODIMP_(ULONG) SeekingPassThru::AddRef() { return owner_->AddRef(); }
STDMETHODIMP_(ULONG) SeekingPassThru::Release() { return owner_->Release(); }

HRESULT SeekingPassThru::Upstream(ComPtr<IMediaSeeking>* seeking) {
    IPin* peer = upstreamOf_->Peer();
    if (!peer || FAILED(peer->QueryInterface(IID_IMediaSeeking, OutVoid(*seeking)))) return E_NOTIMPL;
    return S_OK;
}

#define PASS_ON(call)                                  \
    ComPtr<IMediaSeeking> seeking;                     \
    if (FAILED(Upstream(&seeking))) return E_NOTIMPL;  \
    return seeking->call

STDMETHODIMP SeekingPassThru::GetCapabilities(DWORD* caps) { PASS_ON(GetCapabilities(caps)); }
STDMETHODIMP SeekingPassThru::CheckCapabilities(DWORD* caps) { PASS_ON(CheckCapabilities(caps)); }
STDMETHODIMP SeekingPassThru::IsFormatSupported(const GUID* format) { PASS_ON(IsFormatSupported(format)); }
STDMETHODIMP SeekingPassThru::QueryPreferredFormat(GUID* format) { PASS_ON(QueryPreferredFormat(format)); }
STDMETHODIMP SeekingPassThru::GetTimeFormat(GUID* format) { PASS_ON(GetTimeFormat(format)); }
STDMETHODIMP SeekingPassThru::IsUsingTimeFormat(const GUID* format) { PASS_ON(IsUsingTimeFormat(format)); }
STDMETHODIMP SeekingPassThru::SetTimeFormat(const GUID* format) { PASS_ON(SetTimeFormat(format)); }
STDMETHODIMP SeekingPassThru::GetDuration(LONGLONG* duration) { PASS_ON(GetDuration(duration)); }
STDMETHODIMP SeekingPassThru::GetStopPosition(LONGLONG* stop) { PASS_ON(GetStopPosition(stop)); }
STDMETHODIMP SeekingPassThru::GetCurrentPosition(LONGLONG* current) { PASS_ON(GetCurrentPosition(current)); }
STDMETHODIMP SeekingPassThru::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat,
                                                LONGLONG source, const GUID* sourceFormat) {
    PASS_ON(ConvertTimeFormat(target, targetFormat, source, sourceFormat));
}
STDMETHODIMP SeekingPassThru::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                                           DWORD stopFlags) {
    PASS_ON(SetPositions(current, currentFlags, stop, stopFlags));
}
STDMETHODIMP SeekingPassThru::GetPositions(LONGLONG* current, LONGLONG* stop) { PASS_ON(GetPositions(current, stop)); }
STDMETHODIMP SeekingPassThru::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
    PASS_ON(GetAvailable(earliest, latest));
}
STDMETHODIMP SeekingPassThru::SetRate(double rate) { PASS_ON(SetRate(rate)); }
STDMETHODIMP SeekingPassThru::GetRate(double* rate) { PASS_ON(GetRate(rate)); }
STDMETHODIMP SeekingPassThru::GetPreroll(LONGLONG* preroll) { PASS_ON(GetPreroll(preroll)); }

#undef PASS_ON

}  // namespace filterbase
