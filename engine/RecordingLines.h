// Recording lines of the capture device: each line is an input pin of the
// device filter in the capture graph, switched on and set through the pin's
// IAMAudioInputMixer. The main window's line index is the pin index.
#pragma once

#include <windows.h>

// Makes the pin's line the one recorded. A missing pin or mixer returns the
// failure of the search unchanged and changes nothing.
HRESULT EnableInputPin(int pinIndex);
// Level in the mixer's range (0..1).
HRESULT SetInputMixLevel(int pinIndex, double level);
// Pan -1 (left) .. 1 (right); the pan comes first, as the callers pass it.
HRESULT SetInputPan(double pan, int pinIndex);

// Reads "VOLUME" (the mix level) or "BALANCE" (the pan) of a pin's mixer.
// On failure *value is set to the neutral value (level 1, pan 0), so a
// slider placed from it never lands at a garbage position.
HRESULT ReadInputMixer(int pinIndex, const char* property, double* value);
// Always 0: the caller places its slider from *level either way.
int GetInputMixLevel(int pinIndex, double* level);
HRESULT GetInputPan(int pinIndex, double* pan);

// Enables the line. 0 when the device has no such line (the caller shows
// that the source is not available); 1 otherwise, also when the line has no
// mixer to switch (it still records).
int SelectRecordingSource(int line, int mixerId);
// The mixer of a capture device is the device itself: the device index in
// use stays as it is.
int FindWaveInMixer(int currentDeviceIndex);
