// A filter with one input and one output pin that turns each received
// sample into a delivered one. The output type follows the input: by
// default the output offers exactly the connected input type, and the
// output can only connect once the input is.
//
// Override:
//   CheckInputType      - which types the input takes (required);
//   Transform           - fill `out` from `in` (default: copy the bytes);
//   GetOutputType / CheckOutputType - for a filter that changes the format;
//   DecideBufferSize    - output buffers (default: 4 of the upstream size,
//                         at least 100 ms of audio for wave formats);
//   Receive             - the whole per-sample step, for filters that
//                         deliver other than one sample per input (a
//                         resampler) or pass the input sample on in place;
//   OnEndOfStream/OnBeginFlush/OnEndFlush/OnNewSegment - default: forward.
// Seeking asked of the output pin is passed to the pin feeding the input.
// Receive and end-of-stream run under StreamLock(); Stop waits for it, so a
// stopped filter has no sample in flight.
#pragma once

#include <windows.h>
#include <dshow.h>

#include <memory>

#include "filters/base/BaseFilter.h"
#include "filters/base/InputPin.h"
#include "filters/base/OutputPin.h"

namespace filterbase {

class TransformFilter;

class TransformInputPin : public InputPin {
public:
    TransformInputPin(TransformFilter* filter, const wchar_t* name = L"Input");
    HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override;

protected:
    HRESULT OnReceive(IMediaSample* sample) override;
    HRESULT OnEndOfStream() override;
    HRESULT OnBeginFlush() override;
    HRESULT OnEndFlush() override;
    HRESULT OnNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;
    HRESULT CompleteConnect(IPin* peer) override;

    TransformFilter* owner_;
};

class TransformOutputPin : public OutputPin {
public:
    TransformOutputPin(TransformFilter* filter, const wchar_t* name = L"Output");
    HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override;
    HRESULT GetMediaType(int index, MediaType* out) override;

protected:
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT CompleteConnect(IPin* peer) override;

    TransformFilter* owner_;
};

class TransformFilter : public BaseFilter {
public:
    int PinCount() override { return 2; }
    BasePin* PinAt(int index) override;

    TransformInputPin& Input() { return *input_; }
    TransformOutputPin& Output() { return *output_; }
    CriticalSection& StreamLock() { return streamLock_; }

    // Hooks (see the file comment).
    virtual HRESULT CheckInputType(const AM_MEDIA_TYPE& mt) = 0;
    virtual HRESULT CheckOutputType(const AM_MEDIA_TYPE& in, const AM_MEDIA_TYPE& out);
    virtual HRESULT GetOutputType(int index, MediaType* out);
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request);
    virtual HRESULT Transform(IMediaSample* in, IMediaSample* out);
    virtual HRESULT Receive(IMediaSample* in);
    virtual HRESULT OnEndOfStream() { return output_->DeliverEndOfStream(); }
    virtual HRESULT OnBeginFlush() { return output_->DeliverBeginFlush(); }
    virtual HRESULT OnEndFlush() { return output_->DeliverEndFlush(); }
    virtual HRESULT OnNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
        return output_->DeliverNewSegment(start, stop, rate);
    }
    // Connection hooks: the input got its type / the output its peer.
    virtual HRESULT OnInputConnected() { return S_OK; }
    virtual HRESULT OnOutputConnected() { return S_OK; }

    // Copies time stamps and flags of `in` to `out` (not the data length).
    static void CopySampleProperties(IMediaSample* in, IMediaSample* out);

protected:
    TransformFilter(const CLSID& clsid, ULONG miscFlags = 0);
    ~TransformFilter() override;

    // For a filter whose pins add interfaces (IAMStreamConfig on the
    // output): call from the derived constructor to put a derived pin in
    // place of the default one.
    void ReplaceInputPin(TransformInputPin* pin);
    void ReplaceOutputPin(TransformOutputPin* pin);

    HRESULT OnStop() override;

private:
    friend class TransformInputPin;
    HRESULT ReceiveLocked(IMediaSample* in);

    CriticalSection streamLock_;
    std::unique_ptr<TransformInputPin> input_;
    std::unique_ptr<TransformOutputPin> output_;
};

}  // namespace filterbase
