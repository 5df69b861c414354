#include "engine/Mp3Frames.h"

namespace {

// kbit/s by bitrate index: MPEG 1 Layer III, then MPEG 2 and 2.5 Layer III.
const uint16_t kMpeg1Kbps[16] = {0,   32,  40,  48,  56,  64,  80,  96,
                                 112, 128, 160, 192, 224, 256, 320, 0};
const uint16_t kMpeg2Kbps[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
// Hz by rate index for MPEG 1; MPEG 2 halves them, MPEG 2.5 quarters them.
const uint32_t kMpeg1Rates[3] = {44100, 48000, 32000};

}  // namespace

bool ReadMp3FrameHeader(const BYTE h[4], Mp3FrameHeader* out) {
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) return false;
    const int version = (h[1] >> 3) & 3;  // 0: 2.5, 1: reserved, 2: 2, 3: 1
    const int layer = (h[1] >> 1) & 3;    // 1: Layer III
    const int bitrateIndex = h[2] >> 4;
    const int rateIndex = (h[2] >> 2) & 3;
    if (version == 1 || layer != 1 || rateIndex == 3) return false;
    const bool mpeg1 = version == 3;
    const uint16_t kbps = (mpeg1 ? kMpeg1Kbps : kMpeg2Kbps)[bitrateIndex];
    if (!kbps) return false;
    const uint32_t rate = kMpeg1Rates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    // 1152 samples a frame in MPEG 1, 576 in the others; slots of one byte.
    const uint32_t perFrame = mpeg1 ? 144 : 72;
    out->version = version;
    out->rate = rate;
    out->kbps = kbps;
    out->bytes = perFrame * kbps * 1000 / rate + ((h[2] >> 1) & 1);
    return true;
}

uint32_t Mp3FrameBytes(const BYTE h[4]) {
    Mp3FrameHeader header;
    return ReadMp3FrameHeader(h, &header) ? header.bytes : 0;
}

void Mp3FrameTracker::Add(const BYTE* data, size_t length) {
    const uint64_t begin = streamBytes_;
    streamBytes_ += length;
    // Each frame's header tells where the next one starts.
    while (!lost_ && nextFrame_ + headerBytes_ < streamBytes_) {
        header_[headerBytes_] = data[nextFrame_ + headerBytes_ - begin];
        if (++headerBytes_ < 4) continue;
        const uint32_t size = Mp3FrameBytes(header_);
        if (!size) {
            lost_ = true;
            break;
        }
        frameStart_ = nextFrame_;
        nextFrame_ += size;
        headerBytes_ = 0;
    }
}

uint64_t Mp3FrameTracker::WholeBytes() const {
    if (lost_) return streamBytes_;
    return nextFrame_ <= streamBytes_ ? nextFrame_ : frameStart_;
}
