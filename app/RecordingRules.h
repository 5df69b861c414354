// The rules of a recording's start and of the main window's readouts that
// need no window: the message for an engine result, the ring size, the MP3
// format adjustments and the texts of the size, time and history readouts.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/EngineState.h"

// The language-document key of a start result, or null when the result
// shows no message (0, or an unknown code).
const char* StartResultKey(int32_t result);
// True for the results after which the recording runs (0 and 100, the
// latter without its background).
bool StartResultRuns(int32_t result);

// Bytes for the capture ring: `freeBytes` is the free physical memory. 0
// when too little is free to record at all. Not yet capped.
uint32_t RecordRingSize(uint64_t freeBytes, bool backgroundMix);
constexpr uint32_t kLargestRingSize = 4000000;

// What an MP3 recording needs of the face's format: the channels of the
// stored MP3 mode (1 or 2; any other value keeps the face's), the bitrate
// of the stored table index (outside 0..15: the table's first entry), a
// rate of at least 32000 Hz (below: 44100) and 16-bit samples. True when
// the samples were raised from 8 to 16 bits.
bool ApplyMp3Format(CaptureFormat* format, int32_t modeSetting, int32_t bitrateSetting);

// "%d:%02d" of a length in milliseconds (minutes may pass 59).
void FormatHistoryDuration(int64_t ms, char* out, size_t size);
// The size-and-time readout: "512KB / 01:05", "5.50MB / 01:02:05" ...
void FormatFileSizeText(uint64_t bytes, int64_t seconds, char* out, size_t size);
// The play position readout "%d:%02d / %d:%02d".
void FormatPlayPositionText(int64_t positionMs, int64_t lengthMs, char* out, size_t size);
// The play slider's position for a play position (slider from 0 to
// `maximum`), and the play position a slider position stands for; both in
// 64 bits, so nothing truncates to 0 before the end.
int SliderPositionFor(int64_t positionMs, int64_t lengthMs, int maximum);
int64_t PositionForSlider(int sliderPos, int maximum, int64_t lengthMs);
// The signal threshold readout "-%ddB" of a threshold slider position
// (clamped to 0..47: -48 dB to -1 dB).
void FormatThresholdText(int position, char* out, size_t size);
// The speakers' volume control value for a volume slider position
// (0..sliderMax), linear between the control's bounds, and the slider
// position of a control value. A range whose minimum is not below its
// maximum stands at its minimum (slider 0).
uint32_t MasterVolumeForSlider(int position, int sliderMax, uint32_t minimum, uint32_t maximum);
int SliderForMasterVolume(uint32_t value, uint32_t minimum, uint32_t maximum, int sliderMax);
