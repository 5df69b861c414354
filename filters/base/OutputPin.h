// An output pin that delivers to an IMemInputPin. Connect tries a complete
// type as given, else this pin's own types (GetMediaType) and then the
// receiver's, each matching the partial type asked for. After the receiver
// takes the connection the allocator is agreed: the receiver's allocator
// (IMemInputPin::GetAllocator) or else a memory allocator of our own, sized
// by DecideBufferSize, and announced with NotifyAllocator. The allocator is
// committed while the filter is active.
#pragma once

#include <windows.h>
#include <dshow.h>

#include <memory>

#include "filters/base/BasePin.h"
#include "filters/base/SeekingPassThru.h"

namespace filterbase {

class InputPin;

class OutputPin : public BasePin {
public:
    // Adds IMediaSeeking once PassSeekingFrom was called.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP Connect(IPin* receiver, const AM_MEDIA_TYPE* mt) override;

    // Seeking asked of this pin goes to the pin feeding `input` (an in-line
    // filter passes seeking upstream this way).
    void PassSeekingFrom(InputPin* input);

    HRESULT Active() override;
    HRESULT Inactive() override;

    // A free sample of the agreed allocator; blocks until one is free, fails
    // once the allocator is decommitted (the filter stopped).
    HRESULT GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start = nullptr,
                              REFERENCE_TIME* stop = nullptr, DWORD flags = 0);
    // Hands a sample to the connected input. VFW_E_NOT_CONNECTED unconnected.
    HRESULT Deliver(IMediaSample* sample);
    HRESULT DeliverEndOfStream();
    HRESULT DeliverBeginFlush();
    HRESULT DeliverEndFlush();
    HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    IMemAllocator* Allocator() const { return allocator_.Get(); }

    // Helper for DecideBufferSize: at least `count` buffers of `size`
    // bytes (or what the receiver asked, if more) and checks the result.
    static HRESULT SetAllocatorSize(IMemAllocator* allocator, const ALLOCATOR_PROPERTIES& request,
                                    long count, long size);

protected:
    OutputPin(BaseFilter* filter, const wchar_t* name);
    ~OutputPin() override;

    // Sets the allocator's properties (count, size, alignment). `request`
    // holds what the receiver asked for (zeros when nothing).
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) = 0;

    void BreakConnect() override;

private:
    HRESULT AttemptConnection(IPin* receiver, const AM_MEDIA_TYPE& mt);
    HRESULT DecideAllocator(IMemInputPin* input, ComPtr<IMemAllocator>* chosen);

    ComPtr<IMemInputPin> input_;
    ComPtr<IMemAllocator> allocator_;
    std::unique_ptr<SeekingPassThru> seeking_;
};

}  // namespace filterbase
