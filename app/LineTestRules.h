// The rules of the audio-line box, the line test and the format probe that
// need no window: the measure of a test recording, the clip a line plays,
// where the box's rows and microphone markers lie, the probed formats and
// the lines of the capability report.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstddef>

// The box shows at most this many rows, whatever the device offers.
constexpr int kAudioBoxRows = 10;

// Mean distance from silence (128) of the 1000 bytes of an 8-bit test
// recording that follow byte 4096: -1 when the file cannot be opened, 0
// (silence) when fewer than 1000 bytes are there; the end of the file
// never counts as sound.
int MeasureTestFile(const char* path);

// The "SOUND" resource a line's test plays: "IDSOUND_LINE1".."IDSOUND_LINE10",
// line i playing clip (i mod 10) + 1.
void LineTestClipName(int line, char* out, size_t size);

// Row i of the box (window pixels), 45 x 22; rows 5-9 continue the column
// of rows 0-4 from their own base.
RECT AudioBoxRowRect(int row);
// The microphone marker of a row, 12 x 12.
RECT MicMarkerRect(int row);
// The row or marker under a point among the first min(count, 10); -1 when
// none.
int AudioBoxRowAt(int x, int y, int count);
int MicMarkerAt(int x, int y, int count);

// Probe combination i (0..35): rate of the (i / 4)-th sample-rate choice, 16 bits when
// bit 0 is set, two channels when bit 1 is set, as a PCM format.
WAVEFORMATEX ProbeFormat(int index);
constexpr int kProbeFormats = 36;
// The capability report's line for a format: "22 KHZ    Mono     8 bit \n".
void CapabilityReportLine(const WAVEFORMATEX& format, char* out, size_t size);

// `name` in `preferredFolder` when a file can be created there, else in the
// user's temporary folder (C:\ is not writable for standard users).
void WritablePlaceFor(const char* preferredFolder, const char* name, char* out, size_t size);
