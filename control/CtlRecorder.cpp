#include "control/CtlRecorder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "control/CtlLines.h"
#include "engine/Mp3Encoder.h"
#include "engine/WavHeader.h"
#include "filters/base/Module.h"

CtlCaptureStateData CtlCaptureState;

namespace {

CtlCaptureStateData& S = CtlCaptureState;

// Keeps the growing WAV file's sizes current, so a page or browser that
// dies mid-recording leaves a file that says how much sound it holds
// (container's thread, the one that writes the file).
WavSizeRefresh WavSizes;

// The FIFO between the window thread (producer) and the encoder.
class FifoLock {
public:
    FifoLock() { InitializeCriticalSection(&cs_); }
    ~FifoLock() { DeleteCriticalSection(&cs_); }
    void Enter() { EnterCriticalSection(&cs_); }
    void Leave() { LeaveCriticalSection(&cs_); }

private:
    CRITICAL_SECTION cs_;
};
FifoLock Fifo;
CtlFifoBlock FifoBlocks[CtlFifoBlocks];
int FifoHead = 0, FifoCount = 0;

LONG Get(volatile LONG& flag) { return InterlockedCompareExchange(&flag, 0, 0); }
void Put(volatile LONG& flag, LONG value) { InterlockedExchange(&flag, value); }

void FifoReset() {
    Fifo.Enter();
    FifoHead = FifoCount = 0;
    Fifo.Leave();
}

// Copies a block in; a full FIFO drops it and counts the loss.
void FifoPush(const BYTE* data, DWORD length) {
    Fifo.Enter();
    if (FifoCount == CtlFifoBlocks) {
        InterlockedIncrement(&S.FifoOverflows);
    } else {
        CtlFifoBlock& b = FifoBlocks[(FifoHead + FifoCount) % CtlFifoBlocks];
        b.Length = std::min<DWORD>(length, CtlBufferBytes);
        memcpy(b.Data, data, b.Length);
        ++FifoCount;
    }
    Fifo.Leave();
}

// Appends the oldest block to the encoder's work buffer (which has room for
// it behind any carried rest). False when the FIFO is empty.
bool FifoPopInto(BYTE* dest, DWORD* length) {
    Fifo.Enter();
    bool any = FifoCount > 0;
    if (any) {
        const CtlFifoBlock& b = FifoBlocks[FifoHead];
        memcpy(dest, b.Data, b.Length);
        *length = b.Length;
        FifoHead = (FifoHead + 1) % CtlFifoBlocks;
        --FifoCount;
    }
    Fifo.Leave();
    return any;
}

// Inside the DLL the threads hold it until their last instruction.
HANDLE StartRecorderThread(LPTHREAD_START_ROUTINE proc) {
    return filterbase::StartModuleThread(proc, nullptr);
}

void JoinThread(HANDLE& thread) {
    if (!thread) return;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    thread = nullptr;
}

void CtlSetCaptureFormat() {
    WAVEFORMATEX& f = S.WaveInFormat;
    memset(&f, 0, sizeof f);
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = S.Channels;
    f.nSamplesPerSec = S.SampleRate;
    f.wBitsPerSample = S.Bits;
    f.nBlockAlign = static_cast<WORD>(S.Bits * S.Channels / 8);
    f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
    f.cbSize = 0;
}

bool CtlOpenWavOutput(const char* path) {
    S.WavBytesWritten = 0;
    S.WavFile = fopen(path, "w+b");
    if (!S.WavFile) return false;
    if (!WriteWavHeader(S.WavFile, S.WaveInFormat, 0)) {
        fclose(S.WavFile);
        S.WavFile = nullptr;
        return false;
    }
    WavSizes.Start(GetTickCount());
    return true;
}

void CtlCloseWavOutput() {
    if (!S.WavFile) return;
    WriteWavHeader(S.WavFile, S.WaveInFormat, S.WavBytesWritten);
    fclose(S.WavFile);
    S.WavFile = nullptr;
}

// Appends captured data; false when the file has reached the largest size
// its header can describe (the recording must end there).
bool CtlWriteWavData(const BYTE* data, DWORD length) {
    if (length == 0 || !S.WavFile) return true;
    uint32_t room = MaxWavDataBytes(S.WaveInFormat) - S.WavBytesWritten;
    bool fits = length <= room;
    if (!fits) length = room;
    size_t written = fwrite(data, 1, length, S.WavFile);
    S.WavBytesWritten += static_cast<uint32_t>(written);
    InterlockedExchangeAdd(&S.RecordedBytes, static_cast<LONG>(written));
    WavSizes.Tick(S.WavFile, S.WavBytesWritten, GetTickCount());
    return fits;
}

// Hands one captured block to the output; false when the recording must end.
bool DeliverBlock(const WAVEHDR& h) {
    if (Get(S.Paused) || !Get(S.WriteToFile)) return true;
    DWORD length = std::min(h.dwBytesRecorded, S.BlockSize);
    if (Get(S.Mp3Output)) {
        if (length) FifoPush(reinterpret_cast<const BYTE*>(h.lpData), length);
        return true;
    }
    return CtlWriteWavData(reinterpret_cast<const BYTE*>(h.lpData), length);
}

MMRESULT CtlQueueWaveInBuffer() {
    int i = S.NextBuffer;
    if (S.InDevice[i]) return MMSYSERR_ERROR;  // the rotation lost its step
    memset(S.Buffers[i], S.Bits == 8 ? 128 : 0, CtlBufferBytes);
    WAVEHDR& h = S.Headers[i];
    h.dwBytesRecorded = 0;
    MMRESULT r = waveInAddBuffer(S.WaveIn, &h, sizeof h);
    if (r != MMSYSERR_NOERROR) return r;
    S.InDevice[i] = true;
    S.QueueOrder[i] = S.QueueCount++;
    S.NextBuffer = (i + 1) % CtlBufferCount;
    return r;
}

// Takes the device back (every queued block comes back marked done),
// optionally writes what the returned blocks hold in their queue order,
// then unprepares the headers and closes the device.
void CtlCloseDevice(int preparedHeaders, bool writeReturned) {
    if (!S.WaveIn) return;
    waveInReset(S.WaveIn);
    int order[CtlBufferCount];
    int n = 0;
    for (int i = 0; i < CtlBufferCount; ++i)
        if (S.InDevice[i]) order[n++] = i;
    for (int k = 1; k < n; ++k)  // at most three: oldest queued first
        for (int j = k; j > 0 && S.QueueOrder[order[j - 1]] > S.QueueOrder[order[j]]; --j)
            std::swap(order[j - 1], order[j]);
    bool room = true;
    for (int k = 0; k < n; ++k) {
        WAVEHDR& h = S.Headers[order[k]];
        if (writeReturned && room && (h.dwFlags & WHDR_DONE)) room = DeliverBlock(h);
        S.InDevice[order[k]] = false;
    }
    for (int i = 0; i < preparedHeaders; ++i)
        waveInUnprepareHeader(S.WaveIn, &S.Headers[i], sizeof(WAVEHDR));
    waveInClose(S.WaveIn);
    S.WaveIn = nullptr;
}

// 0 opened and running; 1 format refused; 2..4 preparing header 1..3
// failed; 6 the device did not start; 7 queueing failed.
int CtlOpenWaveIn() {
    S.NextBuffer = 0;
    S.QueueCount = 0;
    CtlSetCaptureFormat();
    if (waveInOpen(&S.WaveIn, WAVE_MAPPER, &S.WaveInFormat,
                   reinterpret_cast<DWORD_PTR>(S.CallbackWindow), 0,
                   CALLBACK_WINDOW) != MMSYSERR_NOERROR) {
        S.WaveIn = nullptr;
        return 1;
    }
    for (int i = 0; i < CtlBufferCount; ++i) {
        WAVEHDR& h = S.Headers[i];
        memset(&h, 0, sizeof h);
        h.lpData = reinterpret_cast<LPSTR>(S.Buffers[i]);
        h.dwBufferLength = S.BlockSize;
        S.InDevice[i] = false;
        if (waveInPrepareHeader(S.WaveIn, &h, sizeof h) != MMSYSERR_NOERROR) {
            CtlCloseDevice(i, false);
            return 2 + i;
        }
    }
    if (CtlQueueWaveInBuffer() != MMSYSERR_NOERROR) {
        CtlCloseDevice(CtlBufferCount, false);
        return 7;
    }
    if (waveInStart(S.WaveIn) != MMSYSERR_NOERROR) {
        CtlCloseDevice(CtlBufferCount, false);
        return 6;
    }
    if (CtlQueueWaveInBuffer() != MMSYSERR_NOERROR) {
        CtlCloseDevice(CtlBufferCount, false);
        return 7;
    }
    return 0;
}

// Gives back what a start took before it failed; the result code stays.
int FailStart(int result) {
    Put(S.StopRequested, 1);
    JoinThread(S.EncoderThread);
    if (Get(S.Mp3Output)) CloseMp3Stream();
    if (S.Mp3File) fclose(S.Mp3File);
    S.Mp3File = nullptr;
    if (S.WavFile) fclose(S.WavFile);
    S.WavFile = nullptr;
    free(S.Mp3OutBuffer);
    S.Mp3OutBuffer = nullptr;
    free(S.Mp3Work);
    S.Mp3Work = nullptr;
    if (S.DataEvent) CloseHandle(S.DataEvent);
    S.DataEvent = nullptr;
    return result;
}

// Encodes every whole chunk of the work buffer's `*filled` bytes and keeps
// the rest at its start for the next block.
void EncodeWholeChunks(DWORD* filled) {
    DWORD chunkBytes = S.SamplesPerChunk * 2;
    DWORD offset = 0;
    while (*filled - offset >= chunkBytes) {
        DWORD bytes = EncoderEncodeChunk(S.Mp3File, reinterpret_cast<SHORT*>(S.Mp3Work + offset),
                                         S.Mp3OutBuffer, S.SamplesPerChunk);
        InterlockedExchangeAdd(&S.RecordedBytes, static_cast<LONG>(bytes));
        Put(S.EncodedAny, 1);
        offset += chunkBytes;
    }
    memmove(S.Mp3Work, S.Mp3Work + offset, *filled - offset);
    *filled -= offset;
}

DWORD CarriedBytes = 0;  // encoder thread, then the finisher after the join

}  // namespace

bool EncoderInit(uint16_t channels, const WAVEFORMATEX& format, uint16_t bitrateKbps) {
    return InitMp3Encoder(format.nSamplesPerSec, channels, bitrateKbps, Mp3Flags{},
                          &S.SamplesPerChunk, &S.Mp3OutSize) == 1;
}

DWORD EncoderEncodeChunk(FILE* file, SHORT* samples, BYTE* outBuffer, DWORD count) {
    S.SamplesEncoded += count;
    DWORD bytes = 0;
    // Through the engine's binding, which remembers that the stream was fed:
    // its finish then adds no chunk of silence after the recording.
    if (EncodeMp3Chunk(count, reinterpret_cast<const BYTE*>(samples), outBuffer, &bytes) !=
        BE_ERR_SUCCESSFUL)
        return 0;
    if (bytes && (!file || fwrite(outBuffer, 1, bytes, file) != bytes)) return 0;
    return bytes;
}

void EncoderClose(FILE* file, BYTE* outBuffer) {
    if (outBuffer) {
        FinishMp3Stream(file, outBuffer);
    } else {
        CloseMp3Stream();
    }
    if (file) fclose(file);
}

DWORD WINAPI CtlEncoderThread(void*) {
    Put(S.EncodedAny, 0);
    CarriedBytes = 0;
    for (;;) {
        DWORD length = 0;
        // The stop pushes the device's last blocks before it raises the
        // flag, so an empty FIFO after the flag means everything is encoded.
        if (FifoPopInto(S.Mp3Work + CarriedBytes, &length)) {
            CarriedBytes += length;
            EncodeWholeChunks(&CarriedBytes);
            continue;
        }
        if (Get(S.StopRequested)) break;
        Sleep(1);
    }
    return 0;
}

DWORD WINAPI CtlFinishRecordingThread(void*) {
    WaitForSingleObject(S.DataEvent, INFINITE);
    if (Get(S.Mp3Output)) {
        JoinThread(S.EncoderThread);
        if (S.Mp3File && S.Mp3Work && (CarriedBytes > 0 || !Get(S.EncodedAny))) {
            // The rest shorter than a chunk (or, when nothing was encoded at
            // all, one chunk of silence) is padded and encoded: the last
            // moments of the recording belong in the file.
            DWORD chunkBytes = S.SamplesPerChunk * 2;
            memset(S.Mp3Work + CarriedBytes, 0, chunkBytes - CarriedBytes);
            DWORD bytes = EncoderEncodeChunk(S.Mp3File, reinterpret_cast<SHORT*>(S.Mp3Work),
                                             S.Mp3OutBuffer, S.SamplesPerChunk);
            InterlockedExchangeAdd(&S.RecordedBytes, static_cast<LONG>(bytes));
            CarriedBytes = 0;
        }
        EncoderClose(S.Mp3File, S.Mp3OutBuffer);
        S.Mp3File = nullptr;
        free(S.Mp3OutBuffer);
        S.Mp3OutBuffer = nullptr;
        free(S.Mp3Work);
        S.Mp3Work = nullptr;
    } else {
        CtlCloseWavOutput();
    }
    CloseHandle(S.DataEvent);
    S.DataEvent = nullptr;
    if (S.CallbackWindow)
        PostMessageA(S.CallbackWindow, CtlFinishedMessage,
                     static_cast<WPARAM>(Get(S.RecordingNumber)),
                     static_cast<LPARAM>(Get(S.RecordedBytes)));
    return 0;
}

int CtlStartCapture(CaptureParams params) {
    // One device and one encoder stream per process: a second control
    // cannot take them over while the first records.
    if (Get(S.Recording)) return CtlDeviceError;
    // A stop just before: its file is complete before this one opens.
    JoinThread(S.FinishThread);

    S.CallbackWindow = params.CallbackWindow;
    S.MixerId = params.MixerId;
    SelectCaptureLine(params.Line, params.MixerId);

    bool mp3 = params.Mp3 != 0;
    S.Channels = static_cast<uint16_t>(params.Channels & 0xFFFF);
    // The encoder takes 16-bit samples only.
    S.Bits = mp3 ? 16 : static_cast<uint16_t>(params.Bits & 0xFFFF);
    S.Bitrate = static_cast<uint16_t>(params.Bits >> 16);
    S.SampleRate = params.SampleRate;
    Put(S.Mp3Output, mp3);
    Put(S.WriteToFile, params.OutputPath != nullptr);
    Put(S.StopRequested, 0);
    Put(S.Paused, 0);
    Put(S.EncodedAny, 0);
    Put(S.RecordedBytes, 0);
    Put(S.FifoOverflows, 0);
    S.SamplesEncoded = 0;
    S.Mp3File = nullptr;
    S.WavFile = nullptr;
    S.Mp3OutBuffer = nullptr;
    S.Mp3Work = nullptr;
    S.EncoderThread = nullptr;
    CarriedBytes = 0;
    FifoReset();
    CtlSetCaptureFormat();
    if ((S.Channels != 1 && S.Channels != 2) || (S.Bits != 8 && S.Bits != 16) ||
        params.SampleRate < CtlLowestRate || params.SampleRate > CtlHighestRate)
        return CtlFormatRefused;

    if (mp3) {
        if (!EncoderInit(S.Channels, S.WaveInFormat, S.Bitrate)) return CtlFormatRefused;
        S.Mp3OutBuffer = static_cast<BYTE*>(malloc(S.Mp3OutSize));
        S.Mp3WorkBytes = 2 * S.SamplesPerChunk + CtlBufferBytes;
        S.Mp3Work = static_cast<BYTE*>(calloc(S.Mp3WorkBytes, 1));
        if (!S.Mp3OutBuffer || !S.Mp3Work) return FailStart(CtlNoMemory);
        S.BlockSize = std::min<DWORD>(8 * S.SamplesPerChunk, CtlBufferBytes);
    } else {
        S.BlockSize = params.SmallBlocks ? 2000 : CtlBufferBytes;
    }

    S.DataEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!S.DataEvent) return FailStart(CtlNoMemory);

    if (Get(S.WriteToFile)) {
        if (mp3) {
            S.Mp3File = fopen(params.OutputPath, "wb");
            if (!S.Mp3File) return FailStart(CtlFileError);
            S.EncoderThread = StartRecorderThread(CtlEncoderThread);
            if (!S.EncoderThread) return FailStart(CtlNoMemory);
        } else if (!CtlOpenWavOutput(params.OutputPath)) {
            return FailStart(CtlFileError);
        }
    }

    int opened = CtlOpenWaveIn();
    if (opened == 1) return FailStart(CtlFormatRefused);
    if (opened != 0) return FailStart(CtlDeviceError);

    S.FinishThread = StartRecorderThread(CtlFinishRecordingThread);
    if (!S.FinishThread) {
        CtlCloseDevice(CtlBufferCount, false);
        return FailStart(CtlDeviceError);
    }
    InterlockedIncrement(&S.RecordingNumber);
    Put(S.Recording, 1);
    return CtlStarted;
}

void CtlProcessCaptureBuffer(HWAVEIN device, WAVEHDR* header) {
    if (!Get(S.Recording) || !S.WaveIn || device != S.WaveIn || !header) return;
    int i = static_cast<int>(header - S.Headers);
    if (i < 0 || i >= CtlBufferCount || !S.InDevice[i] || !(header->dwFlags & WHDR_DONE)) return;
    S.InDevice[i] = false;
    if (!DeliverBlock(*header)) {
        CtlStopCapture();
        return;
    }
    // A device that takes no more buffers ends the recording as Stop would.
    if (CtlQueueWaveInBuffer() != MMSYSERR_NOERROR) CtlStopCapture();
}

void CtlStopCapture() {
    if (!Get(S.Recording)) return;
    CtlCloseDevice(CtlBufferCount, true);
    Put(S.StopRequested, 1);
    Put(S.Recording, 0);
    SetEvent(S.DataEvent);
}

void CtlPauseCapture() { Put(S.Paused, 1); }
void CtlResumeCapture() { Put(S.Paused, 0); }

void CtlWaitForFinish() {
    if (!Get(S.Recording)) JoinThread(S.FinishThread);
}

bool CtlIsRecording() { return Get(S.Recording) != 0; }
