// A worker thread that delivers one output pin's samples and stream calls
// in order, so a branch whose renderer blocks (holding its preroll sample
// while paused) does not hold up the other branches of the tee. The queue
// is bounded by the pin's allocator: a full branch makes the upstream
// thread wait for a free sample, which is how the slowest renderer paces
// the stream.
#pragma once

#include <windows.h>
#include <dshow.h>

#include <deque>

#include "filters/base/OutputPin.h"

class OutputQueue {
public:
    explicit OutputQueue(filterbase::OutputPin* pin);
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

    filterbase::OutputPin* pin_;
    filterbase::CriticalSection lock_;
    std::deque<Item> items_;
    bool flushing_ = false;
    bool stopping_ = false;
    HANDLE wake_;
    HANDLE thread_ = nullptr;
};
