// An output pin with a worker thread that fills and delivers samples while
// the filter is active (from Pause until Stop), for source filters such as
// a capture device.
//
// Override FillBuffer: fill the sample (data, length, times) and return
// S_OK to deliver it, S_FALSE to end the stream (end of stream goes
// downstream, the thread ends), or an error (EC_ERRORABORT is raised, the
// thread ends). FillBuffer may wait for data, but must also wait on
// StopEvent() and return promptly once it is set. OnThreadStart and
// OnThreadStop run on the worker thread around the loop.
// A derived pin's destructor must call StopThread(), as FillBuffer is
// gone once it has run.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "filters/base/OutputPin.h"

namespace filterbase {

class SourceStreamPin : public OutputPin {
public:
    HRESULT Active() override;
    HRESULT Inactive() override;

    HANDLE StopEvent() const { return stopEvent_; }
    bool StopRequested() const { return WaitForSingleObject(stopEvent_, 0) == WAIT_OBJECT_0; }

protected:
    // threadName labels the pin's thread (see framework/ThreadName.h).
    SourceStreamPin(BaseFilter* filter, const wchar_t* name,
                    const wchar_t* threadName = L"source stream");
    ~SourceStreamPin() override;

    virtual HRESULT FillBuffer(IMediaSample* sample) = 0;
    virtual HRESULT OnThreadStart() { return S_OK; }
    virtual void OnThreadStop() {}

    void StopThread();

private:
    static DWORD WINAPI ThreadMain(void* self);
    void Loop();

    const wchar_t* threadName_;
    HANDLE stopEvent_;
    HANDLE thread_ = nullptr;
};

}  // namespace filterbase
