// An input pin receiving samples through IMemInputPin. It takes the
// connection after CheckMediaType, offers a memory allocator to the
// upstream pin, and turns the stream calls into hooks that run on the
// upstream filter's streaming thread:
//   OnReceive (required), OnEndOfStream, OnBeginFlush, OnEndFlush,
//   OnNewSegment.
// Receive refuses samples while the filter is stopped (VFW_E_WRONG_STATE),
// while flushing (S_FALSE) and after end of stream.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "filters/base/BasePin.h"

namespace filterbase {

class InputPin : public BasePin, public IMemInputPin {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    FILTERBASE_FORWARD_ADDREF_RELEASE(BasePin)

    // IPin
    STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;
    STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    // IMemInputPin
    STDMETHODIMP GetAllocator(IMemAllocator** allocator) override;
    STDMETHODIMP NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    STDMETHODIMP GetAllocatorRequirements(ALLOCATOR_PROPERTIES* props) override;
    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP ReceiveMultiple(IMediaSample** samples, long count, long* processed) override;
    STDMETHODIMP ReceiveCanBlock() override;

    HRESULT Active() override;
    HRESULT Inactive() override;

    // The allocator the upstream pin chose (no reference), or nullptr.
    IMemAllocator* Allocator() const { return allocator_.Get(); }
    bool ReadOnly() const { return readOnly_; }
    bool Flushing() const { return flushing_ != 0; }

protected:
    InputPin(BaseFilter* filter, const wchar_t* name);
    ~InputPin() override;

    virtual HRESULT OnReceive(IMediaSample* sample) = 0;
    virtual HRESULT OnEndOfStream() { return S_OK; }
    virtual HRESULT OnBeginFlush() { return S_OK; }
    virtual HRESULT OnEndFlush() { return S_OK; }
    virtual HRESULT OnNewSegment(REFERENCE_TIME, REFERENCE_TIME, double) { return S_OK; }

    void BreakConnect() override;

private:
    ComPtr<IMemAllocator> allocator_;
    bool readOnly_ = false;
    volatile LONG flushing_ = 0;
    volatile LONG endOfStream_ = 0;
};

}  // namespace filterbase
