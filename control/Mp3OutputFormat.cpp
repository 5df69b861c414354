#include "control/Mp3OutputFormat.h"

#include <vector>

#include "control/CtlRecorder.h"
#include "engine/Mp3Encoder.h"
#include "engine/Mp3Frames.h"

namespace {

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
        Mp3FrameHeader h;
        if (!ReadMp3FrameHeader(bytes + at, &h)) continue;
        size_t next = at + h.bytes;
        Mp3FrameHeader n;
        if (next + 4 <= size &&
            (!ReadMp3FrameHeader(bytes + next, &n) || n.version != h.version || n.rate != h.rate))
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
