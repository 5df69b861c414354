// "WAV Trans": an in-line PCM filter (one input, one output) that hands
// the stream to the program block by block (BlockQueue) and raises a graph
// event for each full block, while passing the sound - or silence, by the
// mode - on to the next filter. The capture and background grabbers are
// this filter with their own class, interface and event code.
// With a monitor queue (the capture grabber) the sound goes downstream
// through a thread of its own and is dropped when the renderer falls
// behind, so a renderer waiting for room never holds up the capture
// device's thread; without it (the background grabber) the renderer
// paces the stream as usual.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <memory>

#include "filters/BlockQueue.h"
#include "filters/base/OutputQueue.h"
#include "filters/base/TransformFilter.h"

class WavTransFilter : public filterbase::TransformFilter {
public:
    // The five operations of the private interfaces, in slot order.
    HRESULT QueueBlock(WAVEHDR* header, DWORD headerBytes);
    HRESULT SetModeByte(BYTE mode);
    HRESULT SetSampleWidthByte(BYTE bits16);
    HRESULT ResetBlocks();

    HRESULT CheckInputType(const AM_MEDIA_TYPE& mt) override;
    HRESULT Receive(IMediaSample* in) override;
    HRESULT OnEndOfStream() override;
    HRESULT OnBeginFlush() override;
    HRESULT OnEndFlush() override;
    HRESULT OnNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;
    HRESULT OnInputConnected() override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

    // The output pin's thread, or nullptr without a monitor queue.
    filterbase::OutputQueue* MonitorQueue() { return monitor_.get(); }

protected:
    // eventCode: EC_CAPTURE_BUFFER or EC_BACKGROUND_BUFFER; mode: what goes
    // downstream before the program says (1 sound, 0 silence);
    // monitorQueue: see the file comment.
    WavTransFilter(const CLSID& clsid, long eventCode, BYTE initialMode, bool monitorQueue);

private:
    class OutputPin;
    void ReportFull(WAVEHDR* header);
    HRESULT PassOn(IMediaSample* in, const BYTE* data, long bytes);
    HRESULT Send(IMediaSample* sample);

    const long eventCode_;
    BlockQueue blocks_;
    volatile LONG mode_;
    volatile LONG silence_ = 0;  // byte value of silence: 0 (16-bit) or 128 (8-bit)
    size_t droppedReported_ = 0;  // streaming thread only
    std::unique_ptr<filterbase::OutputQueue> monitor_;
};

// Implements a private interface (ICaptureWavTrans, IBackgroundWavTrans:
// same slots) on WavTransFilter.
template <class Api>
class WavTransServer : public WavTransFilter, public Api {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (out && IsEqualIID(iid, ApiId())) {
            *out = static_cast<Api*>(this);
            AddRef();
            return S_OK;
        }
        return WavTransFilter::QueryInterface(iid, out);
    }
    FILTERBASE_FORWARD_ADDREF_RELEASE(WavTransFilter)

    STDMETHODIMP QueueBuffer(WAVEHDR* header, DWORD headerBytes) override {
        return QueueBlock(header, headerBytes);
    }
    STDMETHODIMP SetMode(BYTE mode) override { return SetModeByte(mode); }
    STDMETHODIMP SetSampleWidth(BYTE bits16) override { return SetSampleWidthByte(bits16); }
    STDMETHODIMP Unused() override { return E_NOTIMPL; }
    STDMETHODIMP Reset() override { return ResetBlocks(); }

protected:
    using WavTransFilter::WavTransFilter;
    virtual const IID& ApiId() const = 0;
};
