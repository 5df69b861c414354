// "WAV Trans": an in-line PCM filter (one input, one output) that hands
// the stream to the program block by block (BlockQueue) and raises a graph
// event for each full block, while passing the sound - or silence, by the
// mode - on to the next filter. The capture and background grabbers are
// this filter with their own class, interface and event code.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include "filters/BlockQueue.h"
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
    HRESULT OnInputConnected() override;

protected:
    // eventCode: EC_CAPTURE_BUFFER or EC_BACKGROUND_BUFFER; mode: what goes
    // downstream before the program says (1 sound, 0 silence).
    WavTransFilter(const CLSID& clsid, long eventCode, BYTE initialMode);

private:
    void ReportFull(WAVEHDR* header);
    HRESULT PassOn(IMediaSample* in, const BYTE* data, long bytes);

    const long eventCode_;
    BlockQueue blocks_;
    volatile LONG mode_;
    volatile LONG silence_ = 0;  // byte value of silence: 0 (16-bit) or 128 (8-bit)
    size_t droppedReported_ = 0;  // streaming thread only
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
