// The writer thread: takes equal chunks from the capture ring, mixes the
// background sound in, and hands them to the output of the recording.
#include <algorithm>
#include <cstring>

#include "engine/EngineInternal.h"
#include "engine/EngineState.h"
#include "engine/MixBalance.h"
#include "engine/Mp3Encoder.h"
#include "engine/RingBuffer.h"
#include "framework/ThreadName.h"

namespace {

// Static: no allocation while recording. The start refuses any chunk that
// would not fit.
alignas(4) BYTE MixCaptureBuffer[MixBufferBytes];
alignas(4) BYTE MixBackgroundBuffer[MixBufferBytes];
alignas(4) BYTE MixOutputBuffer[MixBufferBytes];

void WriteChunk(const BYTE* data, int32_t length) {
    EngineSession& s = RecordingSession;
    switch (s.EncoderKind) {
    case EncoderWma: {
        // A refused sample ends the writing, as a failed file write does:
        // the main window stops the recording and says why.
        if (!WmaOutput.writeSample || EngineInternal.writeFailed) break;
        DWORD fileSize = 0;
        const HRESULT hr = WmaOutput.writeSample(data, static_cast<DWORD>(length), &fileSize);
        if (SUCCEEDED(hr))
            s.RecordedBytes = fileSize;
        else
            NoteWmaWriteFailure(hr);
        break;
    }
    case EncoderMp3: {
        DWORD outBytes = 0;
        // A chunk the encoder refuses is dropped; the thread goes on.
        if (!s.OutputFile || EngineInternal.writeFailed ||
            EncodeMp3Chunk(s.SamplesPerChunk, data, s.EncoderOutBuffer, &outBytes) != BE_ERR_SUCCESSFUL)
            break;
        // Each chunk goes to the system at once: a full disk then shows at
        // the chunk it hit, the size shown is what is on the disk, and the
        // finisher can cut the file back to the last whole frame of the
        // chunks before it.
        ClearWriteError();
        const size_t done = fwrite(s.EncoderOutBuffer, 1, outBytes, s.OutputFile);
        if (done != outBytes || fflush(s.OutputFile) != 0) {
            NoteWriteFailure();
            break;
        }
        EngineInternal.mp3Frames.Add(s.EncoderOutBuffer, done);
        s.RecordedBytes += static_cast<uint32_t>(done);
        break;
    }
    default:
        WriteWavData(data, static_cast<DWORD>(length));
        break;
    }
}

// Fills MixBackgroundBuffer with `length` bytes of background: what the
// ring holds, then silence. Returns false when the writer should rather
// wait for the background to catch up.
bool TakeBackground(int32_t length, int32_t captureFill, bool draining) {
    const int32_t held = RingBufferFill(&BackgroundRing);
    if (held >= length) {
        RingBufferRead(&BackgroundRing, MixBackgroundBuffer, length);
        return true;
    }
    // Once the background has ended (or failed) it never fills again; and
    // a capture ring half full means the background is too slow. Either
    // way the recording must go on, with silence mixed in.
    const bool give = draining || BackgroundEnded ||
                      captureFill > CaptureRing.capacity / 2;
    if (!give) return false;
    int32_t got = 0;
    if (held > 0) {
        const int32_t align = std::max<int32_t>(1, WaveInFormat.nBlockAlign);
        got = RingBufferRead(&BackgroundRing, MixBackgroundBuffer, held - held % align);
    }
    memset(MixBackgroundBuffer + got, 0, length - got);
    return true;
}

}  // namespace

bool WriteReadyChunks(bool draining) {
    EngineSession& s = RecordingSession;
    const int32_t chunk = static_cast<int32_t>(2 * s.SamplesPerChunk);
    if (chunk <= 0 || chunk > MixBufferBytes) return false;
    bool wrote = false;
    for (;;) {
        const int32_t fill = RingBufferFill(&CaptureRing);
        if (fill <= 0 || (fill < chunk && !draining)) break;
        int32_t length = std::min(fill, chunk);
        const bool mixing = EngineInternal.mixActive && RecordingOptions.BackgroundMixOn;
        if (mixing && !TakeBackground(length, fill, draining)) break;

        length = RingBufferRead(&CaptureRing, MixCaptureBuffer, length);
        if (mixing) {
            MixBackgroundChunk(MixCaptureBuffer, MixBackgroundBuffer, MixOutputBuffer, length,
                               RecordingOptions.MixBalance);
        } else {
            memcpy(MixOutputBuffer, MixCaptureBuffer, length);
        }
        int32_t outLength = length;
        if (s.EncoderKind == EncoderMp3 && length < chunk) {
            // The encoder takes whole chunks only: the tail is padded with
            // silence rather than lost.
            memset(MixOutputBuffer + length, 0, chunk - length);
            outLength = chunk;
        }
        WriteChunk(MixOutputBuffer, outLength);
        wrote = true;
        if (length < chunk) break;
    }
    return wrote;
}

DWORD WriterIdleWaitMs(int32_t fill, int32_t chunk, DWORD bytesPerSecond) {
    // Waiting 1 ms between passes woke the thread a thousand times a second
    // for the one chunk a capture block brings every few dozen. Never longer
    // than 20 ms: a ring holds at least two chunks, and the stop is seen
    // within a pass.
    const int64_t missing = static_cast<int64_t>(chunk) - fill;
    if (missing <= 0 || bytesPerSecond == 0) return 1;
    return static_cast<DWORD>(std::clamp<int64_t>(missing * 1000 / bytesPerSecond, 1, 20));
}

DWORD WINAPI EncoderThread(LPVOID) {
    NameCurrentThread(L"recording writer");
    for (;;) {
        // Read the flag before the pass: everything the rings got before
        // the stop is then written by the drain below.
        if (RecordingSession.StopRequested) {
            WriteReadyChunks(true);
            break;
        }
        if (!WriteReadyChunks(false))
            Sleep(WriterIdleWaitMs(RingBufferFill(&CaptureRing),
                                   static_cast<int32_t>(2 * RecordingSession.SamplesPerChunk),
                                   WaveInFormat.nAvgBytesPerSec));
    }
    return 0;
}
