// The advertisement picture the control tests serve: a small animated GIF
// of our own, two 2x2 frames (red, then blue) half a second each, looping.
#pragma once

#include <string>

inline std::string MakeAdGif() {
    const unsigned char bytes[] = {
        'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0x80, 0, 0,          // screen, 2-colour table
        0xFF, 0, 0, 0, 0, 0xFF,                                         // red, blue
        0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0,
        0x21, 0xF9, 4, 0, 50, 0, 0, 0,                                  // 0.5 s
        0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0, 2, 2, 0x84, 0x51, 0,           // frame 1: index 0
        0x21, 0xF9, 4, 0, 50, 0, 0, 0,
        0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0, 2, 2, 0x8C, 0x53, 0,           // frame 2: index 1
        0x3B,
    };
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}
