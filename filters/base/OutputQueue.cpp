#include "filters/base/OutputQueue.h"

#include <utility>

#include "framework/ThreadName.h"

namespace filterbase {

OutputQueue::OutputQueue(OutputPin* pin, const wchar_t* threadName)
    : pin_(pin), threadName_(threadName), wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

OutputQueue::~OutputQueue() {
    Stop();
    CloseHandle(wake_);
}

void OutputQueue::Start() {
    if (thread_) return;
    {
        Lock lock(lock_);
        stopping_ = false;
        flushing_ = false;
        items_.clear();
    }
    thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
}

void OutputQueue::Stop() {
    if (!thread_) return;
    {
        Lock lock(lock_);
        stopping_ = true;
        items_.clear();
    }
    SetEvent(wake_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
}

void OutputQueue::Push(Item item) {
    {
        Lock lock(lock_);
        if (flushing_ || stopping_) return;
        items_.push_back(std::move(item));
    }
    SetEvent(wake_);
}

void OutputQueue::Sample(IMediaSample* sample) {
    Item item{Kind::Sample, Retained(sample)};
    Push(std::move(item));
}

void OutputQueue::EndOfStream() { Push(Item{Kind::EndOfStream, {}}); }

void OutputQueue::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    Item item{Kind::NewSegment, {}};
    item.start = start;
    item.stop = stop;
    item.rate = rate;
    Push(std::move(item));
}

void OutputQueue::BeginFlush() {
    {
        Lock lock(lock_);
        flushing_ = true;
        items_.clear();
    }
    pin_->DeliverBeginFlush();
}

void OutputQueue::EndFlush() {
    pin_->DeliverEndFlush();
    Lock lock(lock_);
    flushing_ = false;
}

DWORD WINAPI OutputQueue::ThreadMain(void* self) {
    auto* queue = static_cast<OutputQueue*>(self);
    NameCurrentThread(queue->threadName_);
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    queue->Loop();
    CoUninitialize();
    return 0;
}

void OutputQueue::Loop() {
    for (;;) {
        Item item;
        bool have = false;
        {
            Lock lock(lock_);
            if (stopping_) return;
            if (!items_.empty()) {
                item = std::move(items_.front());
                items_.pop_front();
                have = true;
            }
        }
        if (!have) {
            WaitForSingleObject(wake_, INFINITE);
            continue;
        }
        // A refusal downstream (stopping, flushing) drops this one only.
        switch (item.kind) {
        case Kind::Sample: pin_->Deliver(item.sample.Get()); break;
        case Kind::EndOfStream: pin_->DeliverEndOfStream(); break;
        case Kind::NewSegment: pin_->DeliverNewSegment(item.start, item.stop, item.rate); break;
        }
    }
}

}  // namespace filterbase
