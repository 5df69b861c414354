// Filters for tests, built on the base layer: a source that plays a known
// PCM ramp and a renderer that keeps every byte it receives. Added to a
// real filter graph with AddFilter (no registration needed).
#pragma once

#include <windows.h>
#include <dshow.h>

#include <memory>
#include <vector>

#include "filters/base/BaseFilter.h"
#include "filters/base/InputPin.h"
#include "filters/base/Retain.h"
#include "filters/base/SourceStreamPin.h"

namespace testfilters {

// Sample value of frame f, channel c in the ramp: a counter that makes
// loss, repetition and reordering visible. 16-bit: (f * channels + c) mod
// 65536 as a signed sample; 8-bit: mod 256.
int RampValue(long long frame, int channel, int channels, int bits);

// Plays `totalFrames` ramp frames in samples of chunkFrames[i % n] frames,
// with time stamps; sleeps chunk duration / speed between samples (speed 0:
// no pacing); then sends end of stream.
class RampSource : public filterbase::BaseFilter {
public:
    RampSource(WORD channels, DWORD rate, WORD bits, long long totalFrames,
               std::vector<int> chunkFrames, double speed);
    int PinCount() override { return 1; }
    filterbase::BasePin* PinAt(int index) override;
    long long FramesSent() const;

private:
    class Pin;
    std::unique_ptr<Pin> pin_;
};

// A renderer that accepts any PCM (or only `only`, when given), keeps the
// bytes in order and raises EC_COMPLETE at end of stream while running.
// A prerolling one behaves like a system renderer while paused: it holds
// the first sample (its Receive blocks until the graph runs or stops) and
// reports an intermediate state until that sample came.
class CollectSink : public filterbase::BaseFilter {
public:
    CollectSink();
    explicit CollectSink(const AM_MEDIA_TYPE& only);
    static CollectSink* Prerolling();
    // One whose Receive never returns while the graph runs (a renderer
    // stuck waiting for room); it keeps nothing.
    static CollectSink* Stalling();
    STDMETHODIMP GetState(DWORD timeoutMs, FILTER_STATE* state) override;
    int PinCount() override { return 1; }
    filterbase::BasePin* PinAt(int index) override;

    std::vector<BYTE> Bytes();
    int Samples();
    bool EndOfStreamSeen();
    const filterbase::MediaType& Type();
    // Waits until `bytes` have arrived or the time is up.
    bool WaitForBytes(size_t bytes, DWORD timeoutMs);

private:
    class Pin;
    std::unique_ptr<Pin> pin_;
};

// A graph with its control and event interfaces; stopped when it goes.
struct Graph {
    ComPtr<IGraphBuilder> builder;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEvent> events;
    Graph();
    ~Graph();
    HRESULT Add(IBaseFilter* filter, const wchar_t* name);
    // Output `outIndex` of `from` to input `inIndex` of `to`, ConnectDirect.
    HRESULT Connect(IBaseFilter* from, IBaseFilter* to, const AM_MEDIA_TYPE* mt = nullptr,
                    int outIndex = 0, int inIndex = 0);
    // Waits for one event; false on timeout. Frees its parameters.
    bool NextEvent(DWORD timeoutMs, long* code, LONG_PTR* p1, LONG_PTR* p2);
};

// The index-th pin of a direction, or an empty owner.
ComPtr<IPin> FindPin(IBaseFilter* filter, PIN_DIRECTION dir, int index);

// A registered class as a filter (empty when it cannot be created).
ComPtr<IBaseFilter> Create(const CLSID& clsid);

// Takes over the one reference a new object of ours starts with.
template <class T>
ComPtr<T> Own(T* fresh) {
    ComPtr<T> owner;
    *owner.GetAddressOf() = fresh;
    return owner;
}

}  // namespace testfilters
