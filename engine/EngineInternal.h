// State the engine's own files share and nobody else touches.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>

#include "engine/Mp3Frames.h"

struct EngineInternalState {
    // Between a successful start and the end of its stop (user-interface
    // thread only).
    bool running = false;
    // The finisher of the last recording; joined by the stop, and by the
    // next start should a stop ever have been skipped.
    HANDLE finisherThread = nullptr;
    // The background is mixed into this recording (16-bit, writer thread,
    // a player present). Read by the writer thread.
    std::atomic<uint8_t> mixActive{0};
    // The output stopped taking data (a full disk, a lost drive): set by
    // whichever thread writes the file, read by the main window's timer
    // and by the finisher, which then keeps only what reached the disk.
    std::atomic<uint8_t> writeFailed{0};
    std::atomic<uint32_t> writeError{0};  // the system's error code of that write
    // MP3: the frames of the chunks that reached the disk whole; the file
    // is cut back to their last whole frame (writer thread, then finisher).
    Mp3FrameTracker mp3Frames;
    // Why the last start could not open its file (user-interface thread).
    DWORD openError = 0;
    // WMA: this recording's claim on its file, held from before the
    // runtime opens it until the finisher has ended the writing.
    HANDLE outputClaim = nullptr;
    // WMA: the folder of the output, whose free room tells a full disk
    // when the runtime gives its own code for a failed write.
    char outputFolder[1000] = "";
};

// Records the first failed write of this recording; later writes are not
// tried (each would fail the same way, and a file that lost a chunk must
// not go on as if it had not).
// ClearWriteError goes right before each write, so that the reason kept is
// that write's own.
void ClearWriteError();
void NoteWriteFailure();
void NoteWriteFailure(DWORD code);
// The same for a sample the Windows Media writer refused with `hr`.
void NoteWmaWriteFailure(HRESULT hr);

// WMA: claims `fileName` for this recording before the runtime opens it.
// False when another recording holds it (openError ERROR_SHARING_VIOLATION)
// or it cannot be opened at all (the system's reason in openError).
bool ClaimOutputFile(const char* fileName);
void ReleaseOutputClaim();

// Opens a recording's output file with `mode` so that other programs may
// read it but not write it; on failure the system's reason is kept for
// OutputOpenError.
FILE* OpenOutputFile(const char* fileName, const char* mode);

// Cuts `file` back to `bytes` (the file position ends there): a chunk that
// reached the disk only in part would end the file in a broken frame.
void CutFileTo(FILE* file, uint64_t bytes);

// WAV after a failed write: the data size becomes what is on the disk, in
// whole frames, and the file is cut to it, so the header written next
// describes exactly the sound that is there.
void KeepWavDataOnDisk();

extern EngineInternalState EngineInternal;

// One pass of the writer: moves whole chunks from the rings to the output;
// with `draining` also the last partial chunk. Returns true when it wrote
// anything.
bool WriteReadyChunks(bool draining);
// How long the writer waits after a pass that wrote nothing: about as long
// as the bytes missing from one chunk take to arrive, within 1..20 ms.
DWORD WriterIdleWaitMs(int32_t fill, int32_t chunk, DWORD bytesPerSecond);
