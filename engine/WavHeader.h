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

// The largest data size a RIFF file can describe, in whole frames of the
// format: the RIFF size (data + 36) must fit 32 bits.
uint32_t MaxWavDataBytes(const WAVEFORMATEX& format);
