// The recording engine: its shared types and process-wide state, the start
// and the stop of a recording, block processing, the writer and finisher
// threads. The main window fills RecordingOptions, calls StartCapture,
// hands every captured block (MM_WIM_DATA, wParam 1) to
// ProcessCaptureBuffer and ends the recording with StopCapture.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstdint>
#include <cstdio>

#include "engine/Id3Tag.h"
#include "engine/SampleRateTable.h"

// The recording format handed to the start.
struct CaptureFormat {
    uint32_t channels = 2;       // 1 or 2 (only the low 16 bits count)
    uint32_t rate = 44100;       // Hz, one of SampleRateTable
    uint16_t bits = 16;          // 8 or 16
    uint16_t mp3Bitrate = 128;   // kbit/s, MP3 only
};

// Values of EncoderKind.
enum : int32_t { EncoderWav = 0, EncoderMp3 = 1, EncoderWma = 2 };

// Result of the start; each name is the key of its message in the language
// document.
typedef int32_t CaptureResult;
enum : int32_t {
    CaptureStarted = 0,
    CaptureMemError = 1,        // "MemError": no MP3 output buffer
    CaptureFileError = 2,       // "FileError"
    CaptureMp3BitRate = 5,      // "MP3BitRate": the encoder refused the set-up
    CaptureFormatError = 6,     // "FormatError": format outside the choices, or refused
    CaptureDeviceError = 7,     // "DeviceAvailabity": no device, or the chain did not run
    CaptureWmaError = 8,        // "WMAError"
    CaptureRingError = 101,     // "MemError": a ring could not be allocated
};

constexpr int CaptureBlockCount = 3;
constexpr DWORD CaptureBlockBytes = 40000;


// Written by the start (user-interface thread); the comment at each field
// says which other thread touches it.
struct EngineSession {
    int32_t EncoderKind = EncoderWav;
    FILE* OutputFile = nullptr;           // MP3 output; writer thread, then finisher
    BYTE* EncoderOutBuffer = nullptr;     // MP3 output buffer; writer, then finisher
    uint32_t EncoderOutBufferSize = 0;    // MP3: encoder's buffer; WAV/WMA: chunk bytes
    uint32_t SamplesPerChunk = 0;         // the writer takes 2 x this many bytes a pass
    std::atomic<uint8_t> WriteToFile{0};
    std::atomic<uint8_t> Paused{0};          // toggled by the main window
    std::atomic<uint8_t> StopRequested{0};   // set by the stop; polled by the writer
    std::atomic<uint8_t> DirectWavWrite{0};  // blocks written at once, no writer thread
    ::CaptureFormat CaptureFormat;
    uint32_t CaptureBlockSize = 0;        // dwBufferLength of each capture block
    HANDLE DataEvent = nullptr;           // set by the stop; ends the finisher's wait
    BYTE CaptureBuffers[CaptureBlockCount][CaptureBlockBytes] = {};
    WAVEHDR CaptureHeaders[CaptureBlockCount] = {};
    int32_t CaptureBufferIndex = 0;       // next block to hand out
    HANDLE EncoderThreadHandle = nullptr; // null when no writer thread runs
    FILE* WavFile = nullptr;              // user-interface thread (direct) or writer
    std::atomic<uint32_t> WavBytesWritten{0};
    std::atomic<uint32_t> RecordedBytes{0};  // writer/finisher; read for display, auto-stop
    std::atomic<uint32_t> TakenBytes{0};     // capture bytes taken for the file
    std::atomic<BYTE*> LastBlock{nullptr};   // read by the wave meter
    std::atomic<uint8_t> SignalActive{0};
};

// Written by the main window and the settings dialogs before a start.
struct EngineOptions {
    uint8_t UseDirectShowCapture = 1;
    uint8_t HighPassOn = 0;
    uint8_t LowPassOn = 0;
    uint8_t NoiseGateOn = 0;
    int32_t NoiseGateLevelIndex = 0;    // 0..47 = -48..-1 dB (clamped when used)
    int32_t NoiseGateSeconds = 0;
    uint8_t SignalTriggered = 0;
    int32_t SignalLevelIndex = 0;       // 0..47 = -48..-1 dB (clamped when used)
    std::atomic<uint8_t> BackgroundMixOn{0};  // cleared by the background player on failure
    int32_t MixBalance = 50;            // percent background (clamped by the mix)
    char BackgroundFile[256] = {};
    std::atomic<uint8_t> PlaybackMetering{0};
    uint8_t CaptureFilterMode = 0;      // 1: the captured sound is also rendered
    uint32_t RingBufferSize = 80000;
    uint32_t Id3TagOn = 0;
    ::Id3Tag Id3Tag = {};
    int32_t Mp3CrcOn = 0;
    int32_t Mp3CopyrightOn = 0;
    int32_t Mp3PrivateOn = 0;
    int32_t Mp3OriginalOn = 0;
};

extern EngineSession RecordingSession;
extern EngineOptions RecordingOptions;
extern WAVEFORMATEX WaveInFormat;

// Level state of the last block (user-interface thread).
extern int32_t LevelLeft;        // mean absolute sample value (mono: left only)
extern int32_t LevelRight;
extern std::atomic<uint8_t> SignalStrong;  // under a third of the samples were quiet
extern int64_t LastSignalTime;   // seconds
extern int32_t SignalHangSeconds;
extern uint8_t GateOpen;
extern int64_t GateQuietSince;   // seconds

// Copies a background file name into RecordingOptions.BackgroundFile, cut
// to its 255 characters.
void SetBackgroundFile(const char* fileName);

// The WMA writer, filled in by the WMA module at start-up. While `begin` is
// null a WMA start fails with CaptureWmaError and opens nothing.
struct WmaOutputHooks {
    HRESULT (*begin)(int channels, int rate, int bits, const char* fileName) = nullptr;
    // Writes one chunk; *fileSize gets the output's size so far.
    HRESULT (*writeSample)(const BYTE* data, DWORD length, DWORD* fileSize) = nullptr;
    HRESULT (*end)() = nullptr;
};
extern WmaOutputHooks WmaOutput;

// The background player, filled in by the player module. `start` runs on
// the start's thread once both rings exist (16-bit recordings with mixing
// on); `stop` runs in the stop before the finisher is released. While
// `start` is null a recording with mixing on records the capture alone.
struct BackgroundPlayerHooks {
    void (*start)() = nullptr;
    void (*stop)() = nullptr;
};
extern BackgroundPlayerHooks BackgroundPlayer;
// Set by the player when the background sound has ended or failed; the
// writer then mixes silence in its place instead of waiting for it.
extern std::atomic<uint8_t> BackgroundEnded;

// Starts a recording (or, with a null fileName, capture for the meters
// only). line: input pin of the capture device; mixerId is unused.
// A start while a recording runs stops that one first; a start always
// waits until the previous recording's file is finished.
CaptureResult StartCapture(int line, const char* fileName, CaptureFormat format,
                           int32_t encoderKind, int mixerId, uint8_t directWavWrite);
CaptureResult StartGraphCapture(int line, const char* fileName, CaptureFormat format,
                                int32_t encoderKind, int mixerId, uint8_t directWavWrite);

// Ends the recording: stops the graph, lets the writer drain the rings and
// waits until the finisher has closed the file. Does nothing when no
// recording runs. With a bound (the program's exit), false when the file
// was still not finished after `finishWaitMs`; the next start waits for it.
bool StopCapture(DWORD finishWaitMs = INFINITE);

// True between a successful start and the end of its stop.
bool CaptureRunning();

// Thread procedures.
DWORD WINAPI FinishRecordingThread(LPVOID);
DWORD WINAPI EncoderThread(LPVOID);

// One filled capture block (MM_WIM_DATA with wParam 1).
void ProcessCaptureBuffer(WAVEHDR* header);

// Level test of one block of the current format: updates LevelLeft,
// LevelRight and SignalStrong and returns whether the block holds signal.
// While the noise gate is on, 16-bit samples below -48 dB are zeroed.
bool MeasureBlockLevel(BYTE* data, DWORD bytes);

// Clears the next capture block, hands it to the capture graph and moves
// the rotation on.
void QueueWaveInBuffer();

// WAV output of the engine (WavFile, WavBytesWritten, WaveInFormat).
// OpenWavOutput: 0 ok, 1 failure; no other program may write the file
// while it is open (another recorder would splice its sound into it).
// WriteWavData: 1 when bytes is 0, else 0;
// counts only what reached the file, and stops growing the data before the
// RIFF size would pass 4 GiB.
int OpenWavOutput(const char* fileName);
int WriteWavData(const BYTE* samples, DWORD bytes);
void WriteWavHeader();

// True once this recording's output stopped taking data (the disk is full,
// the drive went away). Nothing more is written; the stop then finishes
// the file with what reached the disk, its header saying exactly that.
bool OutputWriteFailed();
// The system's error code of that failed write (ERROR_DISK_FULL when the
// disk was full), 0 when none failed.
DWORD OutputWriteError();
// Why the last start returned CaptureFileError: the system's error code of
// the open (ERROR_PATH_NOT_FOUND, ERROR_SHARING_VIOLATION ...).
DWORD OutputOpenError();

// Capture bytes dropped because the capture ring was full (this recording).
int64_t CaptureBytesDropped();
// How long the sound taken for the last recording's file lasts, in ms (0
// before any start). Known at once after the stop, without opening the file.
int64_t TakenMilliseconds();
