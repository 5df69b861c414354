// Every filled capture block passes through here on the user-interface
// thread: level test, noise gate, filters, then the WAV file or the capture
// ring, and the next block goes back to the capture graph.
#include <io.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "engine/Biquad.h"
#include "engine/CaptureGraph.h"
#include "engine/EngineInternal.h"
#include "engine/EngineState.h"
#include "engine/LevelTable.h"
#include "engine/RingBuffer.h"
#include "engine/WavHeader.h"

int32_t LevelLeft = 0;
int32_t LevelRight = 0;
std::atomic<uint8_t> SignalStrong{0};
int64_t LastSignalTime = 0;
int32_t SignalHangSeconds = 0;
uint8_t GateOpen = 0;
int64_t GateQuietSince = 0;

namespace {

// Keeps the open WAV file's sizes current while it grows; touched by the
// one thread that writes the file (user-interface thread when writing
// directly, otherwise the writer thread).
WavSizeRefresh WavSizes;

// Below -48 dB a 16-bit sample counts as noise.
constexpr int32_t SquelchLevel16 = 130;

bool Bits16() { return WaveInFormat.wBitsPerSample == 16; }

BYTE SilenceByte() { return Bits16() ? 0 : 128; }

int64_t NowSeconds() { return static_cast<int64_t>(time(nullptr)); }

int32_t SampleAt(const BYTE* data, DWORD i, bool bits16) {
    if (!bits16) return static_cast<int32_t>(data[i]) - 128;
    int16_t s;
    memcpy(&s, data + 2 * i, sizeof s);
    return s;
}

bool IsCaptureHeader(const WAVEHDR* header) {
    for (const WAVEHDR& h : RecordingSession.CaptureHeaders) {
        if (&h == header) return true;
    }
    return false;
}

void ApplyNoiseGate(BYTE* data, DWORD bytes, int64_t now) {
    const bool bits16 = Bits16();
    const int32_t threshold = ThresholdAmplitude(RecordingOptions.NoiseGateLevelIndex, bits16);
    const int32_t level = WaveInFormat.nChannels == 2
                              ? static_cast<int32_t>((LevelLeft + LevelRight) * 0.5)
                              : LevelLeft;
    if (level >= threshold) {
        GateOpen = 1;
    } else if (GateOpen) {
        // The first quiet block still passes: the gate only closes after
        // the release time.
        GateQuietSince = now;
        GateOpen = 0;
    } else if (now - GateQuietSince >= RecordingOptions.NoiseGateSeconds) {
        memset(data, SilenceByte(), bytes);
    }
}

}  // namespace

bool MeasureBlockLevel(BYTE* data, DWORD bytes) {
    if (!data || bytes == 0) return false;
    const bool bits16 = Bits16();
    const bool stereo = WaveInFormat.nChannels == 2;
    const DWORD n = bits16 ? bytes / 2 : bytes;
    // A block of less than one frame has no level to show.
    const DWORD perChannel = stereo ? n / 2 : n;
    if (perChannel == 0) return false;

    int32_t threshold = ThresholdAmplitude(RecordingOptions.SignalLevelIndex, bits16);
    if (!bits16) threshold += 5;
    // Zeroing quiet samples changes the recording, so it belongs to the
    // noise gate and runs only while the gate is on.
    const bool squelch = bits16 && RecordingOptions.NoiseGateOn;

    int64_t left = 0, right = 0;
    DWORD quiet = 0;
    for (DWORD i = 0; i < n; ++i) {
        // 32-bit magnitude: |-32768| does not fit 16 bits.
        const int32_t a = std::abs(SampleAt(data, i, bits16));
        if (stereo && (i & 1)) {
            right += a;
        } else {
            left += a;
        }
        if (a < threshold) ++quiet;
        if (squelch && a < SquelchLevel16) memset(data + 2 * i, 0, 2);
    }
    LevelLeft = static_cast<int32_t>(left / perChannel);
    LevelRight = stereo ? static_cast<int32_t>(right / perChannel) : 0;
    SignalStrong = quiet < n / 3;
    return quiet <= 2 * n / 3;
}

void QueueWaveInBuffer() {
    EngineSession& s = RecordingSession;
    const int index = s.CaptureBufferIndex;
    WAVEHDR& header = s.CaptureHeaders[index];
    memset(s.CaptureBuffers[index], SilenceByte(), CaptureBlockBytes);
    header.dwBytesRecorded = 0;
    header.dwFlags = 0;
    if (CaptureGraph) CaptureGraph->QueueGraphBuffer(&header);
    s.CaptureBufferIndex = (index + 1) % CaptureBlockCount;
}

void ProcessCaptureBuffer(WAVEHDR* header) {
    EngineSession& s = RecordingSession;
    // A late message of a recording already stopped must not queue a block
    // to a grabber that no longer exists.
    if (!header || !IsCaptureHeader(header) || !EngineInternal.running) return;

    BYTE* data = reinterpret_cast<BYTE*>(header->lpData);
    // The count comes from the filter: never trust it past the block.
    DWORD bytes = std::min<DWORD>(header->dwBytesRecorded,
                                  std::min<DWORD>(header->dwBufferLength, CaptureBlockBytes));
    if (WaveInFormat.nBlockAlign > 1) bytes -= bytes % WaveInFormat.nBlockAlign;

    s.LastBlock = data;
    const int64_t now = NowSeconds();
    if (MeasureBlockLevel(data, bytes)) {
        s.SignalActive = 1;
        LastSignalTime = now;
    } else if (now - LastSignalTime >= SignalHangSeconds) {
        s.SignalActive = 0;
    }

    if (RecordingOptions.NoiseGateOn) ApplyNoiseGate(data, bytes, now);

    if (Bits16() && bytes > 0) {
        const int channels = WaveInFormat.nChannels;
        const int frames = static_cast<int>(bytes / channels / 2);
        const int rate = static_cast<int>(WaveInFormat.nSamplesPerSec);
        short* samples = reinterpret_cast<short*>(data);
        if (RecordingOptions.HighPassOn) HighPassFilter.Process(samples, frames, channels, rate);
        if (RecordingOptions.LowPassOn) LowPassFilter.Process(samples, frames, channels, rate);
    }

    if (s.StopRequested) {
        SetEvent(s.DataEvent);
        return;
    }
    const bool drop = s.Paused || !s.WriteToFile ||
                      (RecordingOptions.SignalTriggered && !s.SignalActive);
    if (!drop && bytes > 0) {
        if (s.DirectWavWrite) {
            WriteWavData(data, bytes);
            s.TakenBytes += bytes;
        } else {
            // Whole frames only: a cut block must not shift later samples
            // onto the other channel.
            s.TakenBytes += RingBufferWriteFrames(&CaptureRing, data, static_cast<int32_t>(bytes),
                                                  std::max<int32_t>(1, WaveInFormat.nBlockAlign));
        }
    }
    if (s.StopRequested) {
        SetEvent(s.DataEvent);
    } else {
        QueueWaveInBuffer();
    }
}

// ---- WAV output ----

int OpenWavOutput(const char* fileName) {
    EngineSession& s = RecordingSession;
    s.WavBytesWritten = 0;
    if (!fileName) return 1;
    FILE* file = OpenOutputFile(fileName, "w+b");
    if (!file) return 1;
    if (!WriteWavHeader(file, WaveInFormat, 0)) {
        fclose(file);
        return 1;
    }
    s.WavFile = file;
    WavSizes.Start(GetTickCount());
    return 0;
}

int WriteWavData(const BYTE* samples, DWORD bytes) {
    EngineSession& s = RecordingSession;
    if (bytes == 0) return 1;
    if (!s.WavFile || !samples || EngineInternal.writeFailed) return 0;
    // Past this size the header could no longer describe the file; the
    // data stops growing and the file still ends validly.
    const uint32_t written = s.WavBytesWritten;
    const uint32_t limit = MaxWavDataBytes(WaveInFormat);
    DWORD n = written >= limit ? 0 : std::min<DWORD>(bytes, limit - written);
    if (n == 0) return 0;
    // Only what reached the file counts: the header must not claim more.
    ClearWriteError();
    const size_t done = fwrite(samples, 1, n, s.WavFile);
    s.WavBytesWritten = written + static_cast<uint32_t>(done);
    s.RecordedBytes += static_cast<uint32_t>(done);
    WavSizes.Tick(s.WavFile, s.WavBytesWritten, GetTickCount());
    // A short write, or a refresh whose flush failed, is a full disk or a
    // lost drive: the recording stops and keeps what is there.
    if (done < n || ferror(s.WavFile)) NoteWriteFailure();
    return 0;
}

void KeepWavDataOnDisk() {
    EngineSession& s = RecordingSession;
    FILE* f = s.WavFile;
    if (!f) return;
    fflush(f);
    clearerr(f);
    HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)));
    LARGE_INTEGER size{};
    if (h == INVALID_HANDLE_VALUE || !GetFileSizeEx(h, &size)) return;
    uint64_t data = size.QuadPart > WavHeaderBytes ? size.QuadPart - WavHeaderBytes : 0;
    data = std::min<uint64_t>(data, s.WavBytesWritten);
    const DWORD align = WaveInFormat.nBlockAlign ? WaveInFormat.nBlockAlign : 1;
    data -= data % align;
    const uint64_t end = WavHeaderBytes + data;
    if (end != static_cast<uint64_t>(size.QuadPart)) CutFileTo(f, end);
    s.WavBytesWritten = static_cast<uint32_t>(data);
}

void WriteWavHeader() {
    EngineSession& s = RecordingSession;
    WriteWavHeader(s.WavFile, WaveInFormat, s.WavBytesWritten);
}
