// The capture device that records a sound case's own sink: the device whose
// name holds BENCH_REC_DEVICE (see cmake/wine-run), else the default device.
// For programs that link the engine.
#pragma once

#include <objbase.h>

#include <cstring>
#include <string>

#include "bench.h"
#include "engine/CaptureGraph.h"

namespace bench {

inline int RecordedDeviceIn(const CaptureDeviceList& devices) {
    const std::string want = Env("BENCH_REC_DEVICE");
    int index = 0;
    for (int i = 0; i < devices.Count(); ++i)
        if (!want.empty() && strstr(devices.Name(i), want.c_str())) index = i;
    return index;
}

// Lists the devices itself, in an apartment of its own.
inline int RecordedDevice() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int index = 0;
    {
        CaptureDeviceList devices;
        FillCaptureDeviceList(&devices);
        index = RecordedDeviceIn(devices);
    }
    CoUninitialize();
    return index;
}

}  // namespace bench
