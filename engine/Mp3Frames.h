// The MPEG audio frames of an MP3 stream, followed as its bytes are
// written, so that a file the disk cut short can be cut back to its last
// whole frame. The encoder hands its output out in pieces that end
// wherever its bit reservoir stands, most often inside a frame.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// What a Layer III frame's 4-byte header says (MPEG 1, 2 or 2.5).
struct Mp3FrameHeader {
    int version;     // the header's version bits: 0 MPEG 2.5, 2 MPEG 2, 3 MPEG 1
    uint32_t rate;   // Hz
    uint16_t kbps;
    uint32_t bytes;  // the whole frame, header and padding included
};

// False when `h` is no such header (no sync, a free or bad bitrate, a
// reserved rate or version).
bool ReadMp3FrameHeader(const BYTE h[4], Mp3FrameHeader* out);

// Bytes of the frame whose header is `h`; 0 when it is no frame header.
uint32_t Mp3FrameBytes(const BYTE h[4]);

class Mp3FrameTracker {
public:
    void Reset() { *this = Mp3FrameTracker(); }
    // `length` more bytes of the stream, as they were written.
    void Add(const BYTE* data, size_t length);
    // The stream's length up to the end of its last whole frame. A stream
    // whose frames cannot be followed (no frame header where one is due)
    // counts as whole wherever it ends, as if every write ended a frame.
    uint64_t WholeBytes() const;

private:
    uint64_t streamBytes_ = 0;  // bytes added so far
    uint64_t frameStart_ = 0;   // start of the frame the stream ends in
    uint64_t nextFrame_ = 0;    // where the frame after it starts
    BYTE header_[4] = {};       // the header at nextFrame_, as far as it came
    int headerBytes_ = 0;
    bool lost_ = false;
};
