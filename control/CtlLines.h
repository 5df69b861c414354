// The sound card's recording lines as the control's "Audio Source" box
// shows them: counted, named and selected through the mixer of the default
// wave-in device. Each call opens the mixer afresh, so a card that changes
// its lines while the page is open is read anew.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstddef>
#include <cstdint>

// The combo box of the recording parameters that lists the lines.
constexpr int CtlAudioSourceCombo = 202;

// The mixer id of the default wave-in device: -1 without any mixer, 0 when
// there is one mixer or the device's own cannot be found.
int32_t ProbeWaveInDevice();

// Number of selectable recording lines (0 when the mixer or its wave-in
// destination is missing).
int CountCaptureLines(uint32_t mixerId);

// Makes `line` the recording source. 1 when done (or nothing to choose
// from), 0 when the mixer refused or the line does not exist.
int SelectCaptureLine(int32_t line, uint32_t mixerId);

// Writes the display name of line `index` into out (at least
// ListWaveInLineChars bytes are useful), with "__" appended when it is the
// selected line; "Unknown" when it cannot be read.
constexpr size_t ListWaveInLineChars = MIXER_LONG_NAME_CHARS + 3;
void ListWaveInLines(char* out, size_t outSize, int index, uint32_t mixerId);

// The name of a mixer line by its component type ("Line ", "Microphone ",
// ...; " " for any other).
const char* MixerLineTypeName(DWORD componentType);

// Fills combo box CtlAudioSourceCombo of `dialog` and selects the current
// line. Returns the selected index (-1 when the box stays empty).
int FillAudioSourceCombo(HWND dialog, uint32_t mixerId);
