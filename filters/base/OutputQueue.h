// A worker thread that delivers one output pin's samples and stream calls
// in order, so a renderer that blocks in Receive (holding its preroll
// sample while paused, or waiting for room) does not hold up the thread
// that feeds the pin. The queue is bounded by the pin's allocator: with
// every sample queued or held, GetDeliveryBuffer waits (the slowest
// renderer paces the stream) or, with AM_GBF_NOWAIT, fails at once.
#pragma once

#include <windows.h>
#include <dshow.h>

#include <deque>

#include "filters/base/OutputPin.h"

namespace filterbase {

class OutputQueue {
public:
    // threadName labels the queue's thread (see framework/ThreadName.h).
    explicit OutputQueue(OutputPin* pin, const wchar_t* threadName = L"output queue");
    ~OutputQueue();

    void Start();
    // Ends the thread; what is still queued is dropped.
    void Stop();

    void Sample(IMediaSample* sample);
    void EndOfStream();
    void NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);
    // Drops what is queued and passes the flush on at once.
    void BeginFlush();
    void EndFlush();

private:
    enum class Kind { Sample, EndOfStream, NewSegment };
    struct Item {
        Kind kind;
        ComPtr<IMediaSample> sample;
        REFERENCE_TIME start = 0, stop = 0;
        double rate = 1.0;
    };
    void Push(Item item);
    static DWORD WINAPI ThreadMain(void* self);
    void Loop();

    OutputPin* pin_;
    const wchar_t* threadName_;
    CriticalSection lock_;
    std::deque<Item> items_;
    bool flushing_ = false;
    bool stopping_ = false;
    HANDLE wake_;
    HANDLE thread_ = nullptr;
};

}  // namespace filterbase
