#include "standins/graphfilters/PcmConvert.h"

#include <algorithm>
#include <cstring>

void PcmConvert::SetFormats(const WAVEFORMATEX& in, const WAVEFORMATEX& out) {
    inChannels_ = in.nChannels;
    outChannels_ = out.nChannels;
    inBits_ = in.wBitsPerSample;
    outBits_ = out.wBitsPerSample;
    inRate_ = in.nSamplesPerSec;
    outRate_ = out.nSamplesPerSec;
    inAlign_ = in.nBlockAlign;
    Reset();
}

void PcmConvert::Reset() {
    prev_.assign(outChannels_, 0);
    havePrev_ = false;
    pos_ = 0;
    partial_.clear();
}

size_t PcmConvert::MaxOutputBytes(size_t inBytes) const {
    size_t frames = inBytes / inAlign_ + 2;
    size_t outFrames = static_cast<size_t>(frames * outRate_ / inRate_) + 2;
    return outFrames * outChannels_ * (outBits_ / 8);
}

int PcmConvert::Decode(const BYTE* frame, int channel) const {
    if (inBits_ == 8) return (static_cast<int>(frame[channel]) - 128) * 256;
    int16_t s;
    memcpy(&s, frame + 2 * channel, 2);
    return s;
}

void PcmConvert::MapChannels(const BYTE* inFrame, int* outFrame) const {
    if (outChannels_ == 1 && inChannels_ > 1) {
        int sum = 0;
        for (int c = 0; c < inChannels_; ++c) sum += Decode(inFrame, c);
        outFrame[0] = sum / inChannels_;
        return;
    }
    for (int c = 0; c < outChannels_; ++c) outFrame[c] = Decode(inFrame, c % inChannels_);
}

void PcmConvert::Emit(const int* frame, std::vector<BYTE>* out) const {
    for (int c = 0; c < outChannels_; ++c) {
        int v = std::clamp(frame[c], -32768, 32767);
        if (outBits_ == 8) {
            out->push_back(static_cast<BYTE>((v >> 8) + 128));
        } else {
            int16_t s = static_cast<int16_t>(v);
            BYTE b[2];
            memcpy(b, &s, 2);
            out->insert(out->end(), b, b + 2);
        }
    }
}

void PcmConvert::Convert(const BYTE* data, size_t bytes, std::vector<BYTE>* out) {
    // Whole input frames only; a split frame is completed by the next piece.
    std::vector<BYTE> joined;
    if (!partial_.empty()) {
        joined = partial_;
        joined.insert(joined.end(), data, data + bytes);
        partial_.clear();
        data = joined.data();
        bytes = joined.size();
    }
    size_t n = bytes / inAlign_;
    if (bytes % inAlign_) partial_.assign(data + n * inAlign_, data + bytes);
    if (n == 0) return;

    std::vector<int> frames(n * outChannels_);
    for (size_t i = 0; i < n; ++i) MapChannels(data + i * inAlign_, &frames[i * outChannels_]);
    auto frame = [&](int64_t index) -> const int* {
        return index < 0 ? prev_.data() : &frames[static_cast<size_t>(index) * outChannels_];
    };
    if (!havePrev_ && pos_ < 0) pos_ = 0;

    std::vector<int> mixed(outChannels_);
    const int64_t last = static_cast<int64_t>(n) - 1;
    for (;;) {
        int64_t index = pos_ >= 0 ? pos_ / outRate_ : -1;
        int64_t frac = pos_ - index * outRate_;
        if (index > last || (frac != 0 && index + 1 > last)) break;
        const int* a = frame(index);
        if (frac == 0) {
            Emit(a, out);
        } else {
            const int* b = frame(index + 1);
            for (int c = 0; c < outChannels_; ++c)
                mixed[c] = static_cast<int>(a[c] + (static_cast<int64_t>(b[c]) - a[c]) * frac / outRate_);
            Emit(mixed.data(), out);
        }
        pos_ += inRate_;
    }
    pos_ -= static_cast<int64_t>(n) * outRate_;
    std::copy(frame(last), frame(last) + outChannels_, prev_.begin());
    havePrev_ = true;
}

void PcmConvert::Drain(std::vector<BYTE>* out) {
    if (!havePrev_) return;
    while (pos_ < 0) {
        Emit(prev_.data(), out);
        pos_ += inRate_;
    }
}
