#include "filters/base/SourceStreamPin.h"

#include <evcode.h>

#include "filters/base/BaseFilter.h"
#include "framework/ThreadName.h"

namespace filterbase {

SourceStreamPin::SourceStreamPin(BaseFilter* filter, const wchar_t* name,
                                 const wchar_t* threadName)
    : OutputPin(filter, name), threadName_(threadName), stopEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

SourceStreamPin::~SourceStreamPin() {
    StopThread();
    if (stopEvent_) CloseHandle(stopEvent_);
}

HRESULT SourceStreamPin::Active() {
    if (!IsConnected()) return S_OK;
    HRESULT hr = OutputPin::Active();
    if (FAILED(hr)) return hr;
    if (thread_) return S_OK;
    if (!stopEvent_) return E_OUTOFMEMORY;
    ResetEvent(stopEvent_);
    thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
    if (!thread_) {
        OutputPin::Inactive();
        return HRESULT_FROM_WIN32(GetLastError());
    }
    return S_OK;
}

HRESULT SourceStreamPin::Inactive() {
    StopThread();
    return OutputPin::Inactive();
}

void SourceStreamPin::StopThread() {
    if (!thread_) return;
    SetEvent(stopEvent_);
    // A thread waiting for a free sample is released by the decommit.
    if (Allocator()) Allocator()->Decommit();
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
}

DWORD WINAPI SourceStreamPin::ThreadMain(void* self) {
    auto* pin = static_cast<SourceStreamPin*>(self);
    NameCurrentThread(pin->threadName_);
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    pin->Loop();
    CoUninitialize();
    return 0;
}

void SourceStreamPin::Loop() {
    if (FAILED(OnThreadStart())) return;
    while (!StopRequested()) {
        ComPtr<IMediaSample> sample;
        if (FAILED(GetDeliveryBuffer(sample.GetAddressOf()))) break;  // decommitted: stopping
        HRESULT hr = FillBuffer(sample.Get());
        if (hr == S_OK) {
            // Downstream refused (stopping, or gone wrong): stop pushing
            // and wait for our own stop.
            if (Deliver(sample.Get()) != S_OK) break;
            continue;
        }
        if (StopRequested()) break;
        if (hr == S_FALSE) {
            DeliverEndOfStream();
        } else {
            filter_->NotifyEvent(EC_ERRORABORT, hr, 0);
        }
        break;
    }
    OnThreadStop();
}

}  // namespace filterbase
