// Fills the engine's blocks, in the order handed over, from a PCM stream.
// One block is outstanding at a time; what arrives while none is (or past
// the end of the one being filled) waits in a bounded carry-over FIFO and
// goes first into the next block, so nothing is lost between a full block
// and the next QueueBuffer. Only when the FIFO is full is new sound
// dropped; the streaming thread never waits for the program.
// Blocks are filled to a whole number of frames (dwBufferLength rounded
// down to the frame size); dwBytesRecorded never exceeds dwBufferLength.
// Calls returning a WAVEHDR* return the block that has just become full,
// which the caller then reports (outside any lock).
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstddef>
#include <vector>

#include "filters/base/Module.h"

class BlockQueue {
public:
    BlockQueue();

    // Frame size in bytes (nBlockAlign) and the FIFO's capacity; clears
    // the FIFO. Called when the input connects.
    void Configure(UINT frameBytes, size_t carryCapacity);

    // Streaming thread: appends sound.
    WAVEHDR* Push(const BYTE* data, size_t bytes);
    // Program: hands the next block. Refused (E_INVALIDARG) when it cannot
    // take one frame. *full gets the block when the FIFO fills it at once.
    HRESULT Queue(WAVEHDR* header, WAVEHDR** full);
    // The block being filled restarts at offset 0 and the FIFO is emptied;
    // a block already full stays as it is (see Reset of the interfaces).
    void Reset();
    // A seek: as Reset, and the end of stream is forgotten.
    void Flush();
    // No more sound will come: a partly filled block is complete once the
    // FIFO is drained into it.
    WAVEHDR* EndOfStream();

    size_t CarryBytes();
    size_t DroppedBytes();

private:
    // Moves FIFO bytes into the current block; the block if it became full.
    WAVEHDR* DrainLocked();
    WAVEHDR* CompleteIfDoneLocked();
    DWORD UsableLength(const WAVEHDR* header) const;
    void CarryAppendLocked(const BYTE* data, size_t bytes);

    filterbase::CriticalSection lock_;
    UINT frameBytes_ = 1;
    WAVEHDR* current_ = nullptr;
    bool full_ = false;
    bool endOfStream_ = false;
    std::vector<BYTE> carry_;  // ring storage
    size_t carryHead_ = 0;
    size_t carrySize_ = 0;
    size_t dropped_ = 0;
};
