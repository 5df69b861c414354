// The part every filter of ours shares: IBaseFilter (with IMediaFilter and
// IPersist), the stream state, the reference clock, membership of a graph,
// pin enumeration, and IAMFilterMiscFlags for filters that say they render.
//
// A filter derives from BaseFilter, owns its pins (their AddRef/Release go
// to the filter, so a pin lives exactly as long as its filter) and answers
// PinCount/PinAt. Pins may be added while the filter lives but never
// removed: enumerators and the graph index them live.
#pragma once

#include <windows.h>
#include <dshow.h>

#include <string>

#include "filters/base/Module.h"
#include "filters/base/Retain.h"

namespace filterbase {

class BasePin;

class BaseFilter : public IBaseFilter, public IAMFilterMiscFlags {
public:
    // IUnknown. Derived filters that add interfaces override QueryInterface
    // and fall back to this one.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IPersist
    STDMETHODIMP GetClassID(CLSID* clsid) override;

    // IMediaFilter
    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME start) override;
    STDMETHODIMP GetState(DWORD timeoutMs, FILTER_STATE* state) override;
    STDMETHODIMP SetSyncSource(IReferenceClock* clock) override;
    STDMETHODIMP GetSyncSource(IReferenceClock** clock) override;

    // IBaseFilter
    STDMETHODIMP EnumPins(IEnumPins** pins) override;
    STDMETHODIMP FindPin(LPCWSTR id, IPin** pin) override;
    STDMETHODIMP QueryFilterInfo(FILTER_INFO* info) override;
    STDMETHODIMP JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    STDMETHODIMP QueryVendorInfo(LPWSTR* info) override;

    // IAMFilterMiscFlags (offered only when the filter was given flags)
    STDMETHODIMP_(ULONG) GetMiscFlags() override;

    // Pins of both directions, in a fixed order.
    virtual int PinCount() = 0;
    virtual BasePin* PinAt(int index) = 0;

    // Read without the lock, so streaming threads never wait on it.
    FILTER_STATE State() const { return static_cast<FILTER_STATE>(state_); }
    REFERENCE_TIME StreamStart() const { return start_; }
    // Guards state changes and connections.
    CriticalSection& FilterLock() { return lock_; }
    // The graph's clock with a reference for the caller, or nullptr.
    IReferenceClock* Clock();
    // Raises an event through the graph (IMediaEventSink::Notify). E_FAIL
    // outside a graph.
    HRESULT NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2);

protected:
    // miscFlags: AM_FILTER_MISC_FLAGS_IS_RENDERER for a filter that ends a
    // stream (the graph then waits for its EC_COMPLETE), _IS_SOURCE for a
    // source; 0 hides IAMFilterMiscFlags.
    explicit BaseFilter(const CLSID& clsid, ULONG miscFlags = 0);
    virtual ~BaseFilter();

    // State hooks, called with the filter lock held after every pin made
    // the change (Active/Inactive). A failure is returned to the graph.
    virtual HRESULT OnStop() { return S_OK; }
    virtual HRESULT OnPause() { return S_OK; }
    virtual HRESULT OnRun(REFERENCE_TIME) { return S_OK; }
    // A live source answers VFW_S_CANT_CUE while paused.
    virtual bool IsLiveSource() const { return false; }

private:
    LONG refs_ = 1;
    CLSID clsid_;
    ULONG miscFlags_;
    CriticalSection lock_;
    volatile LONG state_ = State_Stopped;
    REFERENCE_TIME start_ = 0;
    ComPtr<IReferenceClock> clock_;
    // Weak, as the graph holds us: set by JoinFilterGraph only.
    IFilterGraph* graph_ = nullptr;
    IMediaEventSink* eventSink_ = nullptr;
    std::wstring name_;
};

// Forwards IUnknown to a base class, for filters and pins that add COM
// interfaces through further bases.
#define FILTERBASE_FORWARD_ADDREF_RELEASE(Base)                          \
    STDMETHODIMP_(ULONG) AddRef() override { return Base::AddRef(); }   \
    STDMETHODIMP_(ULONG) Release() override { return Base::Release(); }

}  // namespace filterbase
