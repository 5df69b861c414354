// MP3 output through the encoder library loaded at run time: the entry
// points held process-wide, the stream set up for a recording, and its end.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "Mp3EncoderApi.h"

// The library's six entry points; all null while it is not loaded. Only
// the first four are called, the other two must resolve for MP3 to be
// offered at all.
extern BEINITSTREAM beInitStream;
extern BEENCODECHUNK beEncodeChunk;
extern BEDEINITSTREAM beDeinitStream;
extern BECLOSESTREAM beCloseStream;
extern BEVERSION beVersion;
extern BEWRITEVBRHEADER beWriteVBRHeader;

// The stream of the current recording (null when none is open).
extern HBE_STREAM Mp3Stream;

// Searches "lame_enc.dll" (the system's search), "c:\lame_enc.dll",
// "<installPath>\lame_enc.dll" (skipped when installPath is null or empty)
// and "Quorlix.dll", and keeps the first library that resolves all six
// entry points. Returns true when MP3 can be offered. A library already
// loaded is kept.
bool LoadMp3Encoder(const char* installPath);

// The same search without the process's current directory, which inside a
// browser is often a downloads folder: a library planted there must not
// run. The DLL search setting in force before is put back.
bool LoadMp3EncoderOutsideCurrentDirectory();

// Loads the library from one path only (replacing any loaded one).
bool LoadMp3EncoderFrom(const char* path);

// True when all six entry points are set.
bool Mp3EncoderAvailable();

// Clears the entry points and frees the library (no stream may be open).
void UnloadMp3Encoder();

// The MP3 switches of the recording options, each 0 or 1.
struct Mp3Flags {
    int32_t crc = 0;
    int32_t copyright = 0;
    int32_t priv = 0;
    int32_t original = 0;
};

// The encoder's configuration for 16-bit PCM of the given rate and channel
// count at bitrateKbps: what InitMp3Encoder opens its stream with, for
// whoever must ask the encoder what it makes of that format.
BE_CONFIG Mp3StreamConfig(uint32_t sampleRate, uint16_t channels, uint16_t bitrateKbps,
                          const Mp3Flags& flags);

// Opens Mp3Stream for 16-bit PCM of the given rate and channel count at
// bitrateKbps. *samplesPerChunk and *outBufferSize are zeroed first and set
// to the encoder's answers on success (samples counts the 16-bit samples of
// all channels per call). Returns 1 on success, 0 when the library is
// missing, refuses the configuration, or asks for a chunk of more than
// MixBufferBytes (the stream is then closed again).
int InitMp3Encoder(uint32_t sampleRate, uint16_t channels, uint16_t bitrateKbps,
                   const Mp3Flags& flags, DWORD* samplesPerChunk, DWORD* outBufferSize);

// Encodes one chunk of the open stream (`samples` 16-bit samples of all
// channels at `pcm`) into outBuffer; *outBytes gets the bytes to append.
// Returns the library's result (BE_ERR_SUCCESSFUL on success).
BE_ERR EncodeMp3Chunk(DWORD samples, const BYTE* pcm, BYTE* outBuffer, DWORD* outBytes);

// Ends the stream: flushes the encoder into outBuffer, appends those bytes
// to `file` (when not null) and closes the stream. A stream that never took
// a chunk is first given one chunk of silence: its flush alone leaves the
// encoder's information frame without any audio frame, a file that readers
// refuse. Returns the bytes written; *ok (when given) tells whether the
// flush and the write worked. outBuffer must hold the output size the
// stream was opened with. Does nothing when no stream is open.
DWORD FinishMp3Stream(FILE* file, BYTE* outBuffer, bool* ok = nullptr);

// Closes the stream without flushing (a start that fails after
// InitMp3Encoder). Does nothing when no stream is open.
void CloseMp3Stream();
