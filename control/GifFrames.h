// The block structure of a GIF file, read without decoding any pixels: the
// header and global colour table every frame shares, and for each frame the
// byte range from its graphic control extension (or its image descriptor)
// to the end of its image data. Data from the network goes through here, so
// every read is checked against the size first.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

struct GifFrameSpan {
    DWORD Offset = 0, Length = 0;
    uint16_t Left = 0, Top = 0, Width = 0, Height = 0;
    int Delay = -1;    // hundredths of a second; -1 without a control extension
    int Disposal = 0;  // 0..7
};

struct GifLayout {
    uint16_t Width = 0, Height = 0;
    DWORD HeaderBytes = 0;      // logical screen descriptor and global table
    bool HasBackground = false;
    COLORREF Background = 0;    // the global table's entry at the background index
    std::vector<GifFrameSpan> Frames;
};

// True when the data begins with "GIF" (whatever the version).
bool IsGifData(const BYTE* data, DWORD size);

// Splits a GIF into its frames. False for data that is not a GIF, is
// shorter than its screen descriptor and colour table, or holds no frame
// that ends inside the data (such frames are left out).
bool ParseGifFrames(const BYTE* data, DWORD size, GifLayout* layout);

// A standalone one-frame GIF: the shared header, the frame's bytes and the
// trailer.
std::vector<BYTE> BuildFrameGif(const BYTE* data, const GifLayout& layout,
                                const GifFrameSpan& frame);

// How long a frame stays: its delay when it is at least 5 hundredths,
// 100 ms otherwise (browsers' habit for 0 and for the too-fast delays).
DWORD GifFrameDelayMs(int delay);
