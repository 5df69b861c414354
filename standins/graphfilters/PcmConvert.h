// Converts a PCM stream from one shape to another: channels (mono to
// stereo by copying, down to mono by averaging), 8/16-bit samples, and the
// sample rate by linear interpolation between neighbouring frames. The
// position between input frames is kept exactly (integer units of
// 1/output rate), so long streams do not drift and equal rates copy.
#pragma once

#include <windows.h>
#include <mmreg.h>

#include <cstddef>
#include <cstdint>
#include <vector>

class PcmConvert {
public:
    void SetFormats(const WAVEFORMATEX& in, const WAVEFORMATEX& out);
    // Back to the start of a stream (after a seek or stop).
    void Reset();
    // Appends what `bytes` of input give; a partial input frame waits.
    void Convert(const BYTE* data, size_t bytes, std::vector<BYTE>* out);
    // The end of the stream: output frames that still fall after the last
    // input frame (holding its value).
    void Drain(std::vector<BYTE>* out);
    // Output bytes `inBytes` of input can give at most.
    size_t MaxOutputBytes(size_t inBytes) const;

private:
    int Decode(const BYTE* frame, int channel) const;
    void Emit(const int* frame, std::vector<BYTE>* out) const;
    void MapChannels(const BYTE* inFrame, int* outFrame) const;

    int inChannels_ = 1, outChannels_ = 1;
    int inBits_ = 16, outBits_ = 16;
    int64_t inRate_ = 1, outRate_ = 1;
    int inAlign_ = 2;
    std::vector<int> prev_;   // last input frame of the previous piece, output channels
    bool havePrev_ = false;
    int64_t pos_ = 0;         // next output frame, in 1/outRate_ input frames from this piece's first
    std::vector<BYTE> partial_;
};
