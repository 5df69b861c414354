// The control's own recorder: the default wave-in device into a WAV file,
// or through the run-time MP3 encoder into an MP3 file. Process-wide, like
// the encoder's stream: one recording per process, whichever control asks.
//
// Threads: the control's window thread starts, pauses and stops, and hands
// over every MM_WIM_DATA; CtlEncoderThread encodes MP3 blocks from a FIFO of
// copies; CtlFinishRecordingThread closes the file after the stop.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <cstdio>

struct CaptureParams {
    HWND CallbackWindow;     // receives MM_WIM_DATA and CtlFinishedMessage
    int32_t Line;            // recording line to select ("Audio Source")
    const char* OutputPath;  // null: capture without writing
    uint32_t Channels;       // 1 or 2 (low 16 bits)
    uint32_t SampleRate;     // Hz
    uint32_t Bits;           // low 16 bits: 8 or 16; high 16 bits: MP3 kbit/s
    BYTE Mp3;
    uint32_t MixerId;        // from ProbeWaveInDevice
    BYTE SmallBlocks;        // WAV only: 2000-byte blocks
};

// Start results.
enum : int {
    CtlStarted = 0,
    CtlNoMemory = 1,
    CtlFileError = 2,
    CtlFormatRefused = 6,
    CtlDeviceError = 7,  // also: another control of this process is recording
};

// Posted to the callback window when a recording's file is complete
// (wParam: the recording's number from CtlRecordingNumber; lParam: the
// bytes it recorded, which the next recording's start resets).
constexpr UINT CtlFinishedMessage = WM_APP + 0x127;

// The rates a start accepts. The system's sound layer has been seen to take
// the whole host process down on a rate far outside them instead of
// refusing it, so the recorder refuses them itself, as the sound card
// would refuse a format.
constexpr uint32_t CtlLowestRate = 8000;
constexpr uint32_t CtlHighestRate = 48000;

constexpr DWORD CtlBufferBytes = 40000;
constexpr int CtlBufferCount = 3;
// Copies of captured blocks waiting for the encoder: the device can return
// a whole queue's worth while one encode is slow.
constexpr int CtlFifoBlocks = 6;

struct CtlFifoBlock {
    DWORD Length;
    BYTE Data[CtlBufferBytes];
};

struct CtlCaptureStateData {
    HWND CallbackWindow;           // UI thread
    uint32_t MixerId;              // UI thread
    WAVEFORMATEX WaveInFormat;     // UI thread at start
    uint32_t SampleRate;
    uint16_t Channels, Bits, Bitrate;
    DWORD BlockSize;               // bytes per capture block
    BYTE Buffers[CtlBufferCount][CtlBufferBytes];
    WAVEHDR Headers[CtlBufferCount];
    bool InDevice[CtlBufferCount];  // queued and not yet handed back (UI thread)
    DWORD QueueOrder[CtlBufferCount];
    DWORD QueueCount;
    int NextBuffer;                // 0..2
    HWAVEIN WaveIn;                // UI thread; null while the device is closed

    // Flags shared between threads: Interlocked access only.
    volatile LONG WriteToFile;     // set at start
    volatile LONG Mp3Output;       // set at start
    volatile LONG StopRequested;   // UI thread; read by the encoder
    volatile LONG Paused;          // UI thread
    volatile LONG EncodedAny;      // encoder thread
    volatile LONG Recording;       // UI thread: between a start and its stop
    volatile LONG RecordedBytes;   // UI thread (WAV) or encoder (MP3); read by the window
    volatile LONG FifoOverflows;   // blocks the encoder could not take
    volatile LONG RecordingNumber; // counts successful starts

    HANDLE DataEvent;              // set by the stop; closed (and nulled) by the finisher
    HANDLE EncoderThread;          // joined by the finisher
    HANDLE FinishThread;           // joined by the next start or CtlWaitForFinish

    FILE* WavFile;
    uint32_t WavBytesWritten;
    FILE* Mp3File;
    BYTE* Mp3OutBuffer;
    DWORD Mp3OutSize;
    DWORD SamplesPerChunk;
    // The encoder's input: whole chunks are taken from it, the rest waits
    // for the next block (2 x samples per chunk + one block).
    BYTE* Mp3Work;
    DWORD Mp3WorkBytes;
    uint64_t SamplesEncoded;       // running total, reset at start
};

extern CtlCaptureStateData CtlCaptureState;

int CtlStartCapture(CaptureParams params);
// One filled block from MM_WIM_DATA (wParam is the device, lParam the
// header). Blocks of another device, of a stopped recording or not marked
// done are ignored.
void CtlProcessCaptureBuffer(HWAVEIN device, WAVEHDR* header);
// Ends the current recording: the device hands back what it holds, which is
// written, and the finisher is released. Does nothing while not recording.
void CtlStopCapture();
void CtlPauseCapture();
void CtlResumeCapture();
// Waits until the finisher of the last recording has closed its file
// (after CtlStopCapture: while recording it returns at once).
void CtlWaitForFinish();
bool CtlIsRecording();

// Thin names over the engine's encoder binding (the library itself is
// loaded by the control's start-up, EncoderLibraryLoad).
bool EncoderInit(uint16_t channels, const WAVEFORMATEX& format, uint16_t bitrateKbps);
DWORD EncoderEncodeChunk(FILE* file, SHORT* samples, BYTE* outBuffer, DWORD count);
void EncoderClose(FILE* file, BYTE* outBuffer);

DWORD WINAPI CtlEncoderThread(void*);
DWORD WINAPI CtlFinishRecordingThread(void*);
