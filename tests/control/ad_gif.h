// The advertisement picture the control tests serve: a banner of our own
// the size of the panel's picture area (468 x 60), two frames half a
// second each (a record dot beside level bars that move), looping.
#pragma once

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace ad_gif {

constexpr int Width = 468, Height = 60;

// One frame's colour indices (0 ground, 1 dot, 2 bars, 3 rim).
inline std::vector<unsigned char> Frame(int phase) {
    std::vector<unsigned char> p(Width * Height, 0);
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            unsigned char& at = p[y * Width + x];
            int dx = x - 30, dy = y - 30;
            if (y < 2 || y >= Height - 2) {
                at = 3;
            } else if (dx * dx + dy * dy <= 18 * 18) {
                at = 1;
            } else if (x >= 64 && x < 456 && (x - 64) % 8 < 5) {
                double level = std::fabs(std::sin(((x - 64) / 8 + phase * 5) * 0.33));
                if (std::abs(dy) * 2 < 6 + static_cast<int>(44 * level)) at = 2;
            }
        }
    }
    return p;
}

// The frame as LZW data: 3-bit codes with a clear code before every
// second pixel, so the code width never grows. Large, but plain.
inline std::string Pack(const std::vector<unsigned char>& pixels) {
    std::string codes;
    unsigned bits = 0, count = 0;
    auto put = [&](unsigned code) {
        bits |= code << count;
        count += 3;
        for (; count >= 8; count -= 8, bits >>= 8) codes += static_cast<char>(bits & 0xFF);
    };
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (i % 2 == 0) put(4);
        put(pixels[i]);
    }
    put(5);
    if (count) codes += static_cast<char>(bits & 0xFF);
    std::string out(1, '\2');  // the smallest code size
    for (size_t at = 0; at < codes.size(); at += 255) {
        size_t n = codes.size() - at < 255 ? codes.size() - at : 255;
        out += static_cast<char>(n);
        out.append(codes, at, n);
    }
    return out + '\0';
}

}  // namespace ad_gif

inline std::string MakeAdGif() {
    const unsigned char head[] = {
        'G', 'I', 'F', '8', '9', 'a', ad_gif::Width & 0xFF, ad_gif::Width >> 8, ad_gif::Height, 0,
        0x81, 0, 0,                                                    // 4-colour table
        0x16, 0x1E, 0x2E, 0xE0, 0x3C, 0x3C, 0x1C, 0xD2, 0xFC, 0xF0, 0xF0, 0xF0,
        0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0,
    };
    const unsigned char frame[] = {
        0x21, 0xF9, 4, 0, 50, 0, 0, 0,                                 // 0.5 s
        0x2C, 0, 0, 0, 0, ad_gif::Width & 0xFF, ad_gif::Width >> 8, ad_gif::Height, 0, 0,
    };
    std::string gif(reinterpret_cast<const char*>(head), sizeof head);
    for (int phase = 0; phase < 2; ++phase)
        gif += std::string(reinterpret_cast<const char*>(frame), sizeof frame) + ad_gif::Pack(ad_gif::Frame(phase));
    return gif + '\x3B';
}
