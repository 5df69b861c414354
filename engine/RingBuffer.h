// Byte FIFOs between the user-interface thread, which receives capture and
// background blocks, and the writer thread, which takes equal chunks.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

struct RingBuffer {
    RingBuffer() = default;
    ~RingBuffer();
    RingBuffer(const RingBuffer&) = delete;
    RingBuffer& operator=(const RingBuffer&) = delete;

    // All of these are guarded by `lock`.
    BYTE* base = nullptr;   // null while the ring is not allocated
    BYTE* read = nullptr;   // in [base, base + capacity)
    BYTE* write = nullptr;  // in [base, base + capacity)
    int32_t capacity = 0;
    int32_t fill = 0;       // 0 <= fill <= capacity
    int64_t dropped = 0;    // bytes offered while the ring was full

    CRITICAL_SECTION lock = {};
    // 0: no lock yet, 1: being made, 2: ready. The lock is made by the first
    // RingBufferInit and kept until the record is destroyed, so a thread
    // that still holds a pointer to a released ring finds an empty ring
    // behind a live lock instead of a deleted one.
    std::atomic<int> lockState{0};
};

// The two process-wide rings: capture blocks, and the background sound that
// is mixed into them.
extern RingBuffer CaptureRing;
extern RingBuffer BackgroundRing;

// Allocates `size` bytes (filled with 0x20) and empties the ring.
// Returns -1 on success, 0 on failure (size <= 0 or no memory); a failed
// ring is left unallocated. A ring that still holds storage is released
// first.
int RingBufferInit(RingBuffer* ring, int32_t size);

// Takes min(free space, length) bytes and returns how many were taken;
// what did not fit is counted in `dropped`. 0 for a null ring or data, or
// an unallocated ring.
int32_t RingBufferWrite(RingBuffer* ring, const void* data, int32_t length);

// Like RingBufferWrite, but takes whole frames of `frameBytes` only, so a
// block cut for lack of space never splits a sample frame and every later
// sample stays on its channel. frameBytes <= 0 counts as 1.
int32_t RingBufferWriteFrames(RingBuffer* ring, const void* data, int32_t length,
                              int32_t frameBytes);

// Moves min(fill, length) bytes out; when that empties the ring both
// positions return to the start of the storage. 0 for a null ring or
// destination, or an empty or unallocated ring.
int32_t RingBufferRead(RingBuffer* ring, void* destination, int32_t length);

// Bytes held, read under the lock (0 for a null or unallocated ring).
int32_t RingBufferFill(RingBuffer* ring);

// Bytes refused since the last RingBufferInit.
int64_t RingBufferDropped(RingBuffer* ring);

// Frees the storage and empties the ring. Safe on a ring that was never
// allocated and on one already released. Only call it once no other
// thread reads or writes the ring any more.
void RingBufferRelease(RingBuffer* ring);
