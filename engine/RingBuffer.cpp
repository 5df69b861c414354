#include "engine/RingBuffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

RingBuffer CaptureRing;
RingBuffer BackgroundRing;

namespace {

enum : int { kNoLock = 0, kMakingLock = 1, kLockReady = 2 };

// Makes the ring's lock once; a second thread arriving meanwhile waits for
// the first to finish.
void EnsureLock(RingBuffer* ring) {
    int expected = kNoLock;
    if (ring->lockState.compare_exchange_strong(expected, kMakingLock)) {
        InitializeCriticalSection(&ring->lock);
        ring->lockState.store(kLockReady);
        return;
    }
    while (ring->lockState.load() != kLockReady) Sleep(0);
}

bool HasLock(const RingBuffer* ring) { return ring && ring->lockState.load() == kLockReady; }

class Locked {
public:
    explicit Locked(RingBuffer* ring) : ring_(ring) { EnterCriticalSection(&ring_->lock); }
    ~Locked() { LeaveCriticalSection(&ring_->lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    RingBuffer* ring_;
};

void ClearFields(RingBuffer* ring) {
    free(ring->base);
    ring->base = ring->read = ring->write = nullptr;
    ring->capacity = 0;
    ring->fill = 0;
}

// Copies n bytes in at the write position, splitting the copy where it
// passes the end of the storage. Caller holds the lock and has checked n.
void CopyIn(RingBuffer* ring, const BYTE* data, int32_t n) {
    BYTE* end = ring->base + ring->capacity;
    int32_t first = std::min<int32_t>(n, static_cast<int32_t>(end - ring->write));
    memcpy(ring->write, data, first);
    memcpy(ring->base, data + first, n - first);
    ring->write += n;
    if (ring->write >= end) ring->write -= ring->capacity;
    ring->fill += n;
}

int32_t WriteLocked(RingBuffer* ring, const void* data, int32_t length, int32_t frameBytes) {
    if (!HasLock(ring) || !data || length <= 0) return 0;
    Locked hold(ring);
    if (!ring->base) return 0;
    int32_t n = std::min(ring->capacity - ring->fill, length);
    n -= n % frameBytes;
    CopyIn(ring, static_cast<const BYTE*>(data), n);
    ring->dropped += length - n;
    return n;
}

}  // namespace

RingBuffer::~RingBuffer() {
    if (lockState.load() == kLockReady) DeleteCriticalSection(&lock);
    free(base);
}

int RingBufferInit(RingBuffer* ring, int32_t size) {
    if (!ring) return 0;
    EnsureLock(ring);
    Locked hold(ring);
    ClearFields(ring);
    ring->dropped = 0;
    if (size <= 0) return 0;
    BYTE* storage = static_cast<BYTE*>(malloc(size));
    if (!storage) return 0;
    memset(storage, 0x20, size);
    ring->base = ring->read = ring->write = storage;
    ring->capacity = size;
    return -1;
}

int32_t RingBufferWrite(RingBuffer* ring, const void* data, int32_t length) {
    return WriteLocked(ring, data, length, 1);
}

int32_t RingBufferWriteFrames(RingBuffer* ring, const void* data, int32_t length,
                              int32_t frameBytes) {
    return WriteLocked(ring, data, length, frameBytes > 0 ? frameBytes : 1);
}

int32_t RingBufferRead(RingBuffer* ring, void* destination, int32_t length) {
    if (!HasLock(ring) || !destination || length <= 0) return 0;
    Locked hold(ring);
    if (!ring->base || ring->fill == 0) return 0;
    int32_t n = std::min(ring->fill, length);
    BYTE* end = ring->base + ring->capacity;
    int32_t first = std::min<int32_t>(n, static_cast<int32_t>(end - ring->read));
    BYTE* out = static_cast<BYTE*>(destination);
    memcpy(out, ring->read, first);
    memcpy(out + first, ring->base, n - first);
    ring->read += n;
    if (ring->read >= end) ring->read -= ring->capacity;
    ring->fill -= n;
    if (ring->fill == 0) ring->read = ring->write = ring->base;
    return n;
}

int32_t RingBufferFill(RingBuffer* ring) {
    if (!HasLock(ring)) return 0;
    Locked hold(ring);
    return ring->base ? ring->fill : 0;
}

int64_t RingBufferDropped(RingBuffer* ring) {
    if (!HasLock(ring)) return 0;
    Locked hold(ring);
    return ring->dropped;
}

void RingBufferRelease(RingBuffer* ring) {
    if (!HasLock(ring)) return;
    Locked hold(ring);
    ClearFields(ring);
}
