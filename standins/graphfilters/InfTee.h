// Test-prefix stand-in for the system's infinite pin tee, which Wine lacks
// (registered under CLSID_InfTee): one input, and always one free output
// pin; every connected output gets a copy of the stream through a queue
// thread of its own (OutputQueue), so each branch prerolls on its own and
// the slowest renderer paces the rest. Seeking is passed upstream through
// the first output pin only, so a seek reaches the source once.
#pragma once

#include <windows.h>
#include <dshow.h>

#include <memory>
#include <vector>

#include "filters/base/BaseFilter.h"
#include "filters/base/InputPin.h"
#include "filters/base/OutputPin.h"

class InfTee : public filterbase::BaseFilter {
public:
    InfTee();

    int PinCount() override;
    filterbase::BasePin* PinAt(int index) override;

    // From the pins.
    HRESULT CheckInputType(const AM_MEDIA_TYPE& mt);
    const filterbase::MediaType* InputType();
    void OutputConnected();
    HRESULT Deliver(IMediaSample* in);
    HRESULT EndOfStreamAll();
    HRESULT BeginFlushAll();
    HRESULT EndFlushAll();
    HRESULT NewSegmentAll(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);
    filterbase::CriticalSection& StreamLock() { return streamLock_; }

protected:
    HRESULT OnStop() override;

private:
    class Input;
    class Output;
    void AddOutput();

    filterbase::CriticalSection streamLock_;
    std::unique_ptr<Input> input_;
    std::vector<std::unique_ptr<Output>> outputs_;
};
