#include "filters/BlockQueue.h"

#include <algorithm>
#include <cstring>

using filterbase::Lock;

BlockQueue::BlockQueue() { Configure(1, 1 << 20); }

void BlockQueue::Configure(UINT frameBytes, size_t carryCapacity) {
    Lock lock(lock_);
    frameBytes_ = frameBytes ? frameBytes : 1;
    carryCapacity -= carryCapacity % frameBytes_;
    if (carryCapacity < frameBytes_) carryCapacity = frameBytes_;
    carry_.assign(carryCapacity, 0);
    carryHead_ = carrySize_ = 0;
}

DWORD BlockQueue::UsableLength(const WAVEHDR* header) const {
    return header->dwBufferLength - header->dwBufferLength % frameBytes_;
}

void BlockQueue::CarryAppendLocked(const BYTE* data, size_t bytes) {
    size_t room = carry_.size() - carrySize_;
    if (bytes > room) {
        // Drop whole frames from the end of what came, so the stream kept
        // stays frame-aligned.
        size_t drop = bytes - room;
        drop += (frameBytes_ - drop % frameBytes_) % frameBytes_;
        if (drop > bytes) drop = bytes;
        dropped_ += drop;
        bytes -= drop;
    }
    size_t tail = (carryHead_ + carrySize_) % carry_.size();
    size_t first = std::min(bytes, carry_.size() - tail);
    memcpy(carry_.data() + tail, data, first);
    memcpy(carry_.data(), data + first, bytes - first);
    carrySize_ += bytes;
}

WAVEHDR* BlockQueue::Push(const BYTE* data, size_t bytes) {
    Lock lock(lock_);
    if (!current_ || full_ || carrySize_) {
        CarryAppendLocked(data, bytes);
        return current_ && !full_ ? DrainLocked() : nullptr;
    }
    DWORD usable = UsableLength(current_);
    size_t take = std::min<size_t>(bytes, usable - current_->dwBytesRecorded);
    memcpy(current_->lpData + current_->dwBytesRecorded, data, take);
    current_->dwBytesRecorded += static_cast<DWORD>(take);
    if (take < bytes) CarryAppendLocked(data + take, bytes - take);
    if (current_->dwBytesRecorded == usable) {
        full_ = true;
        return current_;
    }
    return nullptr;
}

WAVEHDR* BlockQueue::DrainLocked() {
    DWORD usable = UsableLength(current_);
    size_t take = std::min<size_t>(carrySize_, usable - current_->dwBytesRecorded);
    size_t first = std::min(take, carry_.size() - carryHead_);
    BYTE* dst = reinterpret_cast<BYTE*>(current_->lpData) + current_->dwBytesRecorded;
    memcpy(dst, carry_.data() + carryHead_, first);
    memcpy(dst + first, carry_.data(), take - first);
    carryHead_ = (carryHead_ + take) % carry_.size();
    carrySize_ -= take;
    current_->dwBytesRecorded += static_cast<DWORD>(take);
    if (current_->dwBytesRecorded == usable) {
        full_ = true;
        return current_;
    }
    return CompleteIfDoneLocked();
}

WAVEHDR* BlockQueue::CompleteIfDoneLocked() {
    if (endOfStream_ && current_ && !full_ && carrySize_ == 0 && current_->dwBytesRecorded > 0) {
        full_ = true;
        return current_;
    }
    return nullptr;
}

HRESULT BlockQueue::Queue(WAVEHDR* header, WAVEHDR** full) {
    if (full) *full = nullptr;
    if (!header || !header->lpData) return E_POINTER;
    Lock lock(lock_);
    if (UsableLength(header) == 0) return E_INVALIDARG;
    current_ = header;
    current_->dwBytesRecorded = 0;
    full_ = false;
    WAVEHDR* done = DrainLocked();
    if (full) *full = done;
    return S_OK;
}

void BlockQueue::Reset() {
    Lock lock(lock_);
    if (current_ && full_) return;
    carryHead_ = carrySize_ = 0;
    if (current_) current_->dwBytesRecorded = 0;
}

void BlockQueue::Flush() {
    Lock lock(lock_);
    carryHead_ = carrySize_ = 0;
    endOfStream_ = false;
    if (current_ && !full_) current_->dwBytesRecorded = 0;
}

WAVEHDR* BlockQueue::EndOfStream() {
    Lock lock(lock_);
    endOfStream_ = true;
    return CompleteIfDoneLocked();
}

size_t BlockQueue::CarryBytes() {
    Lock lock(lock_);
    return carrySize_;
}

size_t BlockQueue::DroppedBytes() {
    Lock lock(lock_);
    return dropped_;
}
