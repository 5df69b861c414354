// State the engine's own files share and nobody else touches.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

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
};

extern EngineInternalState EngineInternal;

// One pass of the writer: moves whole chunks from the rings to the output;
// with `draining` also the last partial chunk. Returns true when it wrote
// anything.
bool WriteReadyChunks(bool draining);
// How long the writer waits after a pass that wrote nothing: about as long
// as the bytes missing from one chunk take to arrive, within 1..20 ms.
DWORD WriterIdleWaitMs(int32_t fill, int32_t chunk, DWORD bytesPerSecond);
