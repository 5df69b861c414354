#include "engine/RecordingLines.h"

#include <dshow.h>

#include <cstring>

#include "engine/CaptureGraph.h"

namespace {

HRESULT FindLinePin(int pinIndex, ComRef<IPin>* pin) {
    IBaseFilter* device = CaptureGraph ? CaptureGraph->deviceFilter.Get() : nullptr;
    return FindGraphPin(device, PINDIR_INPUT, pinIndex, pin);
}

HRESULT FindLineMixer(int pinIndex, ComRef<IAMAudioInputMixer>* mixer) {
    ComRef<IPin> pin;
    HRESULT hr = FindLinePin(pinIndex, &pin);
    if (FAILED(hr)) return hr;
    return pin.As(IID_IAMAudioInputMixer, mixer);
}

}  // namespace

HRESULT EnableInputPin(int pinIndex) {
    ComRef<IAMAudioInputMixer> mixer;
    HRESULT hr = FindLineMixer(pinIndex, &mixer);
    return FAILED(hr) ? hr : mixer->put_Enable(TRUE);
}

HRESULT SetInputMixLevel(int pinIndex, double level) {
    ComRef<IAMAudioInputMixer> mixer;
    HRESULT hr = FindLineMixer(pinIndex, &mixer);
    return FAILED(hr) ? hr : mixer->put_MixLevel(level);
}

HRESULT SetInputPan(double pan, int pinIndex) {
    ComRef<IAMAudioInputMixer> mixer;
    HRESULT hr = FindLineMixer(pinIndex, &mixer);
    return FAILED(hr) ? hr : mixer->put_Pan(pan);
}

HRESULT ReadInputMixer(int pinIndex, const char* property, double* value) {
    if (!value) return E_POINTER;
    const bool pan = property && strcmp(property, "BALANCE") == 0;
    *value = pan ? 0.0 : 1.0;
    if (!pan && (!property || strcmp(property, "VOLUME") != 0)) return E_INVALIDARG;
    ComRef<IAMAudioInputMixer> mixer;
    HRESULT hr = FindLineMixer(pinIndex, &mixer);
    if (FAILED(hr)) return hr;
    double read = *value;
    hr = pan ? mixer->get_Pan(&read) : mixer->get_MixLevel(&read);
    if (SUCCEEDED(hr)) *value = read;
    return hr;
}

int GetInputMixLevel(int pinIndex, double* level) {
    ReadInputMixer(pinIndex, "VOLUME", level);
    return 0;
}

HRESULT GetInputPan(int pinIndex, double* pan) { return ReadInputMixer(pinIndex, "BALANCE", pan); }

int SelectRecordingSource(int line, int mixerId) {
    (void)mixerId;  // the line is a pin of the device already in the graph
    ComRef<IPin> pin;
    if (FAILED(FindLinePin(line, &pin))) return 0;
    EnableInputPin(line);
    return 1;
}

int FindWaveInMixer(int currentDeviceIndex) { return currentDeviceIndex; }
