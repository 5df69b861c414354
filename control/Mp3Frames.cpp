#include "control/Mp3Frames.h"

#include <vector>

#include "control/CtlRecorder.h"
#include "engine/Mp3Encoder.h"

namespace {

// Layer III bitrates (kbit/s) by index: MPEG-1, then MPEG-2 and 2.5. Index
// 0 ("free") and 15 are no bitrate a frame length follows from.
const uint16_t kBitrates[2][15] = {
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
};
// Rates by version bits (0 MPEG-2.5, 2 MPEG-2, 3 MPEG-1) and index.
const uint32_t kRates[4][3] = {
    {11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};

struct Header {
    int version;  // the version bits
    uint32_t rate;
    uint16_t kbps;
    size_t length;  // bytes up to the next frame
};

bool ReadHeader(const BYTE* p, Header* h) {
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return false;
    int version = (p[1] >> 3) & 3;
    int layer = (p[1] >> 1) & 3;
    int bitrateIndex = p[2] >> 4;
    int rateIndex = (p[2] >> 2) & 3;
    if (version == 1 || layer != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return false;
    h->version = version;
    h->kbps = kBitrates[version == 3 ? 0 : 1][bitrateIndex];
    h->rate = kRates[version][rateIndex];
    // Samples per frame / 8 bytes per bit: 1152 / 8 for MPEG-1, half that after.
    size_t perKbit = version == 3 ? 144000 : 72000;
    h->length = perKbit * h->kbps / h->rate + ((p[2] >> 1) & 1);
    return true;
}

struct Answer {
    uint32_t rate;
    uint16_t channels, kbps;
    bool ok;
    Mp3FrameFormat format;
};
// The latest answers (the container's thread only): a page uses a format
// or two, but script may try any number of rates.
constexpr size_t kAnswersKept = 32;
std::vector<Answer> Answers;

bool AskEncoder(uint32_t rate, uint16_t channels, uint16_t kbps, Mp3FrameFormat* out) {
    BE_CONFIG config = Mp3StreamConfig(rate, channels, kbps, Mp3Flags{});
    DWORD samples = 0, bufferSize = 0;
    HBE_STREAM stream = nullptr;
    if (beInitStream(&config, &samples, &bufferSize, &stream) != BE_ERR_SUCCESSFUL) return false;
    bool found = false;
    if (samples > 0 && samples <= 16384 && bufferSize > 0) {
        // One chunk may leave everything in the encoder; its flush gives the
        // frames. Each call may fill a whole output buffer.
        std::vector<SHORT> silence(samples, 0);
        std::vector<BYTE> frames(2 * static_cast<size_t>(bufferSize));
        DWORD first = 0, rest = 0;
        if (beEncodeChunk(stream, samples, silence.data(), frames.data(), &first) !=
                BE_ERR_SUCCESSFUL ||
            first > bufferSize)
            first = 0;
        if (beDeinitStream(stream, frames.data() + first, &rest) != BE_ERR_SUCCESSFUL ||
            rest > bufferSize)
            rest = 0;
        found = FindMp3FrameFormat(frames.data(), first + rest, out);
    }
    beCloseStream(stream);
    return found;
}

}  // namespace

bool FindMp3FrameFormat(const BYTE* bytes, size_t size, Mp3FrameFormat* out) {
    if (!bytes || !out) return false;
    for (size_t at = 0; at + 4 <= size; ++at) {
        Header h;
        if (!ReadHeader(bytes + at, &h)) continue;
        size_t next = at + h.length;
        Header n;
        if (next + 4 <= size &&
            (!ReadHeader(bytes + next, &n) || n.version != h.version || n.rate != h.rate))
            continue;
        out->rate = h.rate;
        out->kbps = h.kbps;
        return true;
    }
    return false;
}

bool CtlMp3OutputFormat(uint32_t rate, uint16_t channels, uint16_t kbps, Mp3FrameFormat* out) {
    if (!out || !Mp3EncoderAvailable() || rate < CtlLowestRate || rate > CtlHighestRate ||
        (channels != 1 && channels != 2))
        return false;
    for (const Answer& a : Answers)
        if (a.rate == rate && a.channels == channels && a.kbps == kbps) {
            if (a.ok) *out = a.format;
            return a.ok;
        }
    Answer a = {rate, channels, kbps, false, {}};
    a.ok = AskEncoder(rate, channels, kbps, &a.format);
    if (Answers.size() == kAnswersKept) Answers.erase(Answers.begin());
    Answers.push_back(a);
    if (a.ok) *out = a.format;
    return a.ok;
}
