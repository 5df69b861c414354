// The 44-byte RIFF/WAVE header shared by the program and the web recorder
// control: "RIFF", data + 36, "WAVE", "fmt " 16 and the first 16 bytes of
// the PCM format, "data", data bytes.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <cstdio>

constexpr long WavHeaderBytes = 44;

// Builds the header for `dataBytes` of PCM data in `format`.
void BuildWavHeader(BYTE out[WavHeaderBytes], const WAVEFORMATEX& format, uint32_t dataBytes);

// Writes the header at offset 0 of `file`; the file position is 44
// afterwards. Returns true when all 44 bytes were written.
bool WriteWavHeader(FILE* file, const WAVEFORMATEX& format, uint32_t dataBytes);

// Rewrites only the two size fields (offsets 4 and 40) for `dataBytes`,
// then puts the file position back where it was. What was appended before
// is handed to the system first, so the fields never claim bytes that a
// crash could still lose. Returns true when both fields were written.
bool WriteWavSizes(FILE* file, uint32_t dataBytes);

// A WAV file being written keeps its sizes current while it grows: a file
// cut off by a crash, a killed process or a power cut then still says how
// much sound it holds, up to the last refresh. Every writer of a growing WAV
// file (the program's engine and the web recorder control) keeps one of
// these beside its file, starts it when the file opens and ticks it after
// each append; the final header is still written when the file closes.
class WavSizeRefresh {
public:
    static constexpr DWORD kIntervalMs = 1000;

    void Start(DWORD nowMs) { last_ = nowMs; }
    // Rewrites the sizes when kIntervalMs have passed since the start or
    // the last refresh. Returns true when it rewrote them.
    bool Tick(FILE* file, uint32_t dataBytes, DWORD nowMs) {
        if (nowMs - last_ < kIntervalMs) return false;
        last_ = nowMs;
        return WriteWavSizes(file, dataBytes);
    }

private:
    DWORD last_ = 0;
};

// The largest data size a RIFF file can describe, in whole frames of the
// format: the RIFF size (data + 36) must fit 32 bits.
uint32_t MaxWavDataBytes(const WAVEFORMATEX& format);
