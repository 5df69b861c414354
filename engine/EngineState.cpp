// The engine's process-wide state, the start and the stop of a recording,
// and the finisher that closes its file.
#include "engine/EngineState.h"

#include <share.h>

#include <io.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "engine/CaptureGraph.h"
#include "engine/EngineInternal.h"
#include "engine/MixBalance.h"
#include "engine/Mp3Encoder.h"
#include "engine/RingBuffer.h"
#include "framework/ThreadName.h"

EngineSession RecordingSession;
EngineOptions RecordingOptions;
WAVEFORMATEX WaveInFormat = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
WmaOutputHooks WmaOutput;
BackgroundPlayerHooks BackgroundPlayer;
std::atomic<uint8_t> BackgroundEnded{0};
EngineInternalState EngineInternal;

namespace {

// A background block is at most this long; its ring must hold one besides
// a chunk the writer is waiting to mix it into.
constexpr int32_t BackgroundBlockBytes = 40000;

// What a start has set up so far, so that a failure can take it all back
// and leave no file, stream or ring behind.
struct StartProgress {
    const char* fileName = nullptr;
    bool mp3Stream = false;
    bool wmaWriting = false;
    bool fileCreated = false;
    bool backgroundRing = false;
};

// Set while the background ring belongs to this recording.
bool BackgroundRingOwned = false;

void Trace(const char* text) { OutputDebugStringA(text); }

// The MP3 file's end: the encoder's last frames and the tag, each only
// when it reaches the disk whole.
void FinishMp3File(EngineSession& s) {
    if (EngineInternal.writeFailed) {
        CloseMp3Stream();
        if (s.OutputFile) CutFileTo(s.OutputFile, EngineInternal.mp3Frames.WholeBytes());
    } else if (s.EncoderOutBuffer) {
        ClearWriteError();
        s.RecordedBytes += FinishMp3Stream(s.OutputFile, s.EncoderOutBuffer);
    } else {
        CloseMp3Stream();
    }
    if (!s.OutputFile) return;
    // A write that failed inside the stdio stream shows in its error flag,
    // one the system refused later in the flush.
    if (!EngineInternal.writeFailed && (ferror(s.OutputFile) || fflush(s.OutputFile) != 0)) {
        NoteWriteFailure();
        CutFileTo(s.OutputFile, EngineInternal.mp3Frames.WholeBytes());
    }
    const long end = ftell(s.OutputFile);
    if (!EngineInternal.writeFailed && end > 0 && RecordingOptions.Id3TagOn) {
        ClearWriteError();
        WriteId3v1Tag(s.OutputFile, RecordingOptions.Id3Tag);
        if (ferror(s.OutputFile) || fflush(s.OutputFile) != 0) {
            NoteWriteFailure();
            CutFileTo(s.OutputFile, static_cast<uint64_t>(end));
        }
    }
    fclose(s.OutputFile);
    s.OutputFile = nullptr;
}

bool FormatValid(const CaptureFormat& f, int32_t kind) {
    if (f.channels != 1 && f.channels != 2) return false;
    if (f.bits != 8 && f.bits != 16) return false;
    if (std::find(std::begin(SampleRateTable), std::end(SampleRateTable), f.rate) ==
        std::end(SampleRateTable))
        return false;
    if (kind != EncoderWav && kind != EncoderMp3 && kind != EncoderWma) return false;
    // The encoder takes 16-bit samples only.
    return kind != EncoderMp3 || f.bits == 16;
}

// The bytes of 100 ms, in whole frames: a block that ends mid-frame would
// make every other block start on the wrong sample or channel.
uint32_t Bytes100(const CaptureFormat& f) {
    const uint32_t align = f.channels * f.bits / 8;
    uint32_t bytes = static_cast<uint32_t>(f.channels * f.bits * f.rate / 8 * 100 / 1000.0);
    return bytes - bytes % align;
}

void FillWaveInFormat(const CaptureFormat& f) {
    WaveInFormat.wFormatTag = WAVE_FORMAT_PCM;
    WaveInFormat.nChannels = static_cast<WORD>(f.channels);
    WaveInFormat.nSamplesPerSec = f.rate;
    WaveInFormat.nBlockAlign = static_cast<WORD>(f.channels * f.bits / 8);
    WaveInFormat.nAvgBytesPerSec = f.rate * WaveInFormat.nBlockAlign;
    WaveInFormat.wBitsPerSample = f.bits;
    WaveInFormat.cbSize = 0;
}

// False when the finisher is still at work after `timeoutMs`; its handle and
// the data event then stay for the next join.
bool JoinFinisher(DWORD timeoutMs = INFINITE) {
    EngineSession& s = RecordingSession;
    if (EngineInternal.finisherThread) {
        if (WaitForSingleObject(EngineInternal.finisherThread, timeoutMs) != WAIT_OBJECT_0)
            return false;
        CloseHandle(EngineInternal.finisherThread);
        EngineInternal.finisherThread = nullptr;
    }
    // Closed only once nobody can set it any more.
    if (s.DataEvent) {
        CloseHandle(s.DataEvent);
        s.DataEvent = nullptr;
    }
    return true;
}

void ReleaseRings() {
    RingBufferRelease(&CaptureRing);
    if (BackgroundRingOwned) RingBufferRelease(&BackgroundRing);
    BackgroundRingOwned = false;
}

CaptureResult AbortStart(const StartProgress& p, CaptureResult code) {
    EngineSession& s = RecordingSession;
    s.StopRequested = 1;
    if (p.wmaWriting && WmaOutput.end) WmaOutput.end();
    if (p.mp3Stream) CloseMp3Stream();
    free(s.EncoderOutBuffer);
    s.EncoderOutBuffer = nullptr;
    if (s.OutputFile) fclose(s.OutputFile);
    s.OutputFile = nullptr;
    if (s.WavFile) fclose(s.WavFile);
    s.WavFile = nullptr;
    // A recording that never ran leaves no file behind.
    if ((p.fileCreated || p.wmaWriting) && p.fileName) DeleteFileA(p.fileName);
    ReleaseOutputClaim();
    ReleaseRings();
    if (s.DataEvent) {
        CloseHandle(s.DataEvent);
        s.DataEvent = nullptr;
    }
    EngineInternal.mixActive = 0;
    return code;
}

// Rings of at least two chunks each, or the writer could never take one.
CaptureResult AllocateRings(bool mixing, StartProgress* progress) {
    const int32_t chunk = static_cast<int32_t>(2 * RecordingSession.SamplesPerChunk);
    const int32_t size = static_cast<int32_t>(
        std::min<uint32_t>(RecordingOptions.RingBufferSize, 0x7FFFFFFF));
    auto allocate = [&](RingBuffer* ring, int32_t first, int32_t fallback, int32_t least) {
        if (first >= least && RingBufferInit(ring, first)) return true;
        return fallback >= least && RingBufferInit(ring, fallback) != 0;
    };
    if (!mixing) {
        return allocate(&CaptureRing, size, size / 4, 2 * chunk) ? CaptureStarted
                                                                 : CaptureRingError;
    }
    if (!allocate(&CaptureRing, size / 2, size / 8, 2 * chunk)) return CaptureRingError;
    if (!RecordingOptions.PlaybackMetering) {
        if (!allocate(&BackgroundRing, size / 2, size / 8, BackgroundBlockBytes + chunk))
            return CaptureRingError;
        BackgroundRingOwned = true;
        progress->backgroundRing = true;
    }
    return CaptureStarted;
}

}  // namespace

void SetBackgroundFile(const char* fileName) {
    char* out = RecordingOptions.BackgroundFile;
    const size_t room = sizeof RecordingOptions.BackgroundFile;
    memset(out, 0, room);
    if (fileName) strncpy(out, fileName, room - 1);
}

bool CaptureRunning() { return EngineInternal.running; }

void CutFileTo(FILE* file, uint64_t bytes) {
    fflush(file);
    clearerr(file);
    HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(bytes);
    if (h != INVALID_HANDLE_VALUE && SetFilePointerEx(h, at, nullptr, FILE_BEGIN)) SetEndOfFile(h);
    fseek(file, 0, SEEK_END);
}

bool OutputWriteFailed() { return EngineInternal.writeFailed != 0; }
DWORD OutputWriteError() { return EngineInternal.writeError; }
DWORD OutputOpenError() { return EngineInternal.openError; }

void ClearWriteError() {
    errno = 0;
    _doserrno = 0;
}

void NoteWriteFailure() {
    // msvcrt keeps the system's code of the failed call. A write that took
    // less than it was given, with no error at all, ran out of room: the
    // system writes what fits and reports the rest only on the next call.
    DWORD code = errno == ENOSPC ? ERROR_DISK_FULL : static_cast<DWORD>(_doserrno);
    NoteWriteFailure(code ? code : ERROR_DISK_FULL);
}

void NoteWriteFailure(DWORD code) {
    uint8_t expected = 0;
    if (EngineInternal.writeFailed.compare_exchange_strong(expected, 1)) {
        EngineInternal.writeError = code;
        Trace("The output file stopped taking data: the recording keeps what reached the disk\n");
    }
}

FILE* OpenOutputFile(const char* fileName, const char* mode) {
    _doserrno = 0;
    SetLastError(0);
    FILE* file = _fsopen(fileName, mode, _SH_DENYWR);
    if (!file) {
        DWORD code = static_cast<DWORD>(_doserrno);
        if (!code) code = GetLastError();
        EngineInternal.openError = code ? code : ERROR_OPEN_FAILED;
    }
    return file;
}

int64_t CaptureBytesDropped() { return RingBufferDropped(&CaptureRing); }

int64_t TakenMilliseconds() {
    const DWORD perSecond = WaveInFormat.nAvgBytesPerSec;
    return perSecond ? int64_t(RecordingSession.TakenBytes) * 1000 / perSecond : 0;
}

CaptureResult StartCapture(int line, const char* fileName, CaptureFormat format,
                           int32_t encoderKind, int mixerId, uint8_t directWavWrite) {
    return StartGraphCapture(line, fileName, format, encoderKind, mixerId, directWavWrite);
}

CaptureResult StartGraphCapture(int line, const char* fileName, CaptureFormat format,
                                int32_t encoderKind, int mixerId, uint8_t directWavWrite) {
    (void)mixerId;  // recording lines are input pins of the capture device
    EngineSession& s = RecordingSession;
    // Nothing of the previous recording may still be in use: its file is
    // finished before any shared state is touched.
    if (EngineInternal.running) StopCapture();
    JoinFinisher();
    if (CaptureGraph) CaptureGraph->DiscardStaleBlocks();

    if (!FormatValid(format, encoderKind)) return CaptureFormatError;
    if (!CaptureGraph || !CaptureGraph->HasCaptureOutput()) return CaptureDeviceError;

    StartProgress progress;
    progress.fileName = fileName;
    s.SignalActive = 0;
    // Direct writing only makes sense for WAV: an encoder needs its thread.
    s.DirectWavWrite = directWavWrite && encoderKind == EncoderWav;
    EnableInputPin(line);
    s.WriteToFile = fileName != nullptr;
    s.EncoderKind = encoderKind;
    s.CaptureFormat = format;
    s.OutputFile = nullptr;
    s.WavFile = nullptr;
    s.WavBytesWritten = 0;
    s.TakenBytes = 0;
    s.EncoderOutBuffer = nullptr;
    s.EncoderThreadHandle = nullptr;
    s.StopRequested = 0;
    s.Paused = 0;
    BackgroundEnded = 0;
    EngineInternal.mixActive = 0;
    EngineInternal.writeFailed = 0;
    EngineInternal.writeError = 0;
    EngineInternal.mp3Frames.Reset();
    EngineInternal.openError = 0;
    FillWaveInFormat(format);

    const uint32_t bytes100 = Bytes100(format);
    const uint32_t wavChunk = s.DirectWavWrite ? 2000 : bytes100;
    s.SamplesPerChunk = s.EncoderOutBufferSize = s.CaptureBlockSize =
        encoderKind == EncoderWav ? wavChunk : bytes100;

    // Encoders are set up only for a recording with a file.
    if (s.WriteToFile && encoderKind == EncoderMp3) {
        Mp3Flags flags;
        flags.crc = RecordingOptions.Mp3CrcOn;
        flags.copyright = RecordingOptions.Mp3CopyrightOn;
        flags.priv = RecordingOptions.Mp3PrivateOn;
        flags.original = RecordingOptions.Mp3OriginalOn;
        DWORD samples = 0, outSize = 0;
        if (!InitMp3Encoder(format.rate, static_cast<uint16_t>(format.channels),
                            format.mp3Bitrate, flags, &samples, &outSize))
            return AbortStart(progress, CaptureMp3BitRate);
        progress.mp3Stream = true;
        s.SamplesPerChunk = samples;
        s.EncoderOutBufferSize = outSize;
        s.EncoderOutBuffer = static_cast<BYTE*>(malloc(outSize));
        if (!s.EncoderOutBuffer) return AbortStart(progress, CaptureMemError);
    }
    if (s.WriteToFile && encoderKind == EncoderWma &&
        (!WmaOutput.begin || !WmaOutput.writeSample || !WmaOutput.end))
        return AbortStart(progress, CaptureWmaError);

    s.DataEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!s.DataEvent) return AbortStart(progress, CaptureMemError);

    const bool writer = s.WriteToFile && !s.DirectWavWrite;
    const bool mixing = writer && RecordingOptions.BackgroundMixOn && format.bits == 16 &&
                        BackgroundPlayer.start;
    if (writer) {
        CaptureResult r = AllocateRings(mixing, &progress);
        if (r != CaptureStarted) return AbortStart(progress, r);
    }

    if (s.WriteToFile && encoderKind == EncoderWma) {
        // The runtime opens the file by its name itself: nothing else would
        // keep a second recorder from emptying it and writing over this take.
        if (!ClaimOutputFile(fileName)) return AbortStart(progress, CaptureFileError);
        HRESULT hr = WmaOutput.begin(static_cast<int>(format.channels),
                                     static_cast<int>(format.rate), format.bits, fileName);
        if (hr != S_OK) {
            // The writer may have created the file before it refused.
            if (WmaOutput.end) WmaOutput.end();
            DeleteFileA(fileName);
            return AbortStart(progress, CaptureWmaError);
        }
        progress.wmaWriting = true;
    }

    HRESULT hr = CaptureGraph->SetCaptureFormat(format.channels, format.bits, format.rate,
                                                s.CaptureBlockSize);
    if (FAILED(hr)) return AbortStart(progress, CaptureFormatError);

    if (s.WriteToFile && encoderKind == EncoderMp3) {
        // No other program may write the file while this one records it.
        s.OutputFile = OpenOutputFile(fileName, "wb");
        if (!s.OutputFile) return AbortStart(progress, CaptureFileError);
        progress.fileCreated = true;
    } else if (s.WriteToFile && encoderKind == EncoderWav) {
        if (OpenWavOutput(fileName) != 0) return AbortStart(progress, CaptureFileError);
        progress.fileCreated = true;
    }

    s.CaptureBufferIndex = 0;
    for (int i = 0; i < CaptureBlockCount; ++i) {
        WAVEHDR& h = s.CaptureHeaders[i];
        memset(&h, 0, sizeof h);
        h.lpData = reinterpret_cast<LPSTR>(s.CaptureBuffers[i]);
        h.dwBufferLength = s.CaptureBlockSize;
    }

    // A chain that does not connect or run would record nothing while the
    // main window shows "Recording": report it instead.
    hr = CaptureGraph->ConnectCaptureChain();
    if (FAILED(hr)) {
        CaptureGraph->RemoveCaptureChain();
        return AbortStart(progress, CaptureDeviceError);
    }
    if (!CaptureGraph->ConnectedFormatMatches(WaveInFormat)) {
        CaptureGraph->RemoveCaptureChain();
        return AbortStart(progress, CaptureFormatError);
    }
    CaptureGraph->SetGrabberSampleWidth(format.bits == 16);
    hr = CaptureGraph->RunGraph();
    if (FAILED(hr)) {
        CaptureGraph->StopGraph();
        CaptureGraph->RemoveCaptureChain();
        return AbortStart(progress, CaptureDeviceError);
    }
    CaptureGraph->SetGrabberMode(RecordingOptions.CaptureFilterMode);
    EngineInternal.running = true;
    QueueWaveInBuffer();

    EngineInternal.finisherThread = CreateThread(nullptr, 0, FinishRecordingThread, nullptr, 0, nullptr);
    if (!EngineInternal.finisherThread) {
        EngineInternal.running = false;
        CaptureGraph->StopGraph();
        CaptureGraph->RemoveCaptureChain();
        return AbortStart(progress, CaptureMemError);
    }
    if (!writer) return CaptureStarted;

    if (mixing) {
        EngineInternal.mixActive = 1;
        BackgroundPlayer.start();
    }
    s.EncoderThreadHandle = CreateThread(nullptr, 0, EncoderThread, nullptr, 0, nullptr);
    if (!s.EncoderThreadHandle) {
        // Nothing would ever reach the file: undo the whole start.
        Trace("EncoderThread could not be started\n");
        StopCapture();
        if (fileName) DeleteFileA(fileName);
        return CaptureMemError;
    }
    return CaptureStarted;
}

bool StopCapture(DWORD finishWaitMs) {
    EngineSession& s = RecordingSession;
    if (!EngineInternal.running) return true;
    s.StopRequested = 1;
    if (CaptureGraph) CaptureGraph->StopCaptureGraph();
    if (EngineInternal.mixActive && BackgroundPlayer.stop) BackgroundPlayer.stop();
    EngineInternal.running = false;
    SetEvent(s.DataEvent);
    // The file is complete when the stop returns: the main window looks at
    // it at once, and the next start must not share anything with it.
    return JoinFinisher(finishWaitMs);
}

DWORD WINAPI FinishRecordingThread(LPVOID) {
    NameCurrentThread(L"recording finisher");
    EngineSession& s = RecordingSession;
    WaitForSingleObject(s.DataEvent, INFINITE);
    // The writer drains the rings before it ends; nothing it still uses
    // may be closed under it.
    if (s.EncoderThreadHandle) {
        WaitForSingleObject(s.EncoderThreadHandle, INFINITE);
        CloseHandle(s.EncoderThreadHandle);
        s.EncoderThreadHandle = nullptr;
    }
    if (s.WriteToFile) {
        switch (s.EncoderKind) {
        case EncoderWma: {
            HRESULT hr = WmaOutput.end ? WmaOutput.end() : E_POINTER;
            if (FAILED(hr)) {
                char text[64];
                snprintf(text, sizeof text, "EndWriting error 0x%08lx\n", static_cast<unsigned long>(hr));
                Trace(text);
            }
            ReleaseOutputClaim();
            break;
        }
        case EncoderMp3:
            FinishMp3File(s);
            free(s.EncoderOutBuffer);
            s.EncoderOutBuffer = nullptr;
            break;
        default:
            if (s.WavFile) {
                if (EngineInternal.writeFailed) KeepWavDataOnDisk();
                WriteWavHeader();
                fclose(s.WavFile);
                s.WavFile = nullptr;
            }
            break;
        }
    }
    ReleaseRings();
    return 0;
}
