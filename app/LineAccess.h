// The recording-line calls of the main window. They come from the engine's
// recording-line module; a tree without that module builds with neutral
// answers (level and pan in the middle, the current device kept).
#pragma once

#if __has_include("engine/RecordingLines.h")
#include "engine/RecordingLines.h"
#else
#include <windows.h>
inline HRESULT SetInputMixLevel(int, double) { return E_NOTIMPL; }
inline HRESULT SetInputPan(double, int) { return E_NOTIMPL; }
inline int GetInputMixLevel(int, double* level) {
    *level = 1.0;
    return 0;
}
inline HRESULT GetInputPan(int, double* pan) {
    *pan = 0.0;
    return E_NOTIMPL;
}
inline int FindWaveInMixer(int currentDeviceIndex) { return currentDeviceIndex; }
#endif
