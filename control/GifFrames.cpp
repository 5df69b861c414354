#include "control/GifFrames.h"

#include <cstring>

namespace {

constexpr DWORD ScreenDescriptorEnd = 13;

uint16_t Word(const BYTE* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

DWORD ColourTableBytes(BYTE packed) {
    return (packed & 0x80) ? 3u << ((packed & 7) + 1) : 0;
}

// Offset just past a chain of sub-blocks starting at `pos`, or 0 when the
// chain does not end inside the data.
DWORD SkipSubBlocks(const BYTE* data, DWORD size, DWORD pos) {
    while (pos < size) {
        DWORD length = data[pos];
        if (length == 0) return pos + 1;
        pos += length + 1;
    }
    return 0;
}

// Offset past an extension with `fixed` bytes before its sub-blocks, or 0.
DWORD SkipExtension(const BYTE* data, DWORD size, DWORD pos, DWORD fixed) {
    if (fixed > size - pos) return 0;
    return SkipSubBlocks(data, size, pos + fixed);
}

}  // namespace

bool IsGifData(const BYTE* data, DWORD size) {
    return data && size >= 3 && memcmp(data, "GIF", 3) == 0;
}

bool ParseGifFrames(const BYTE* data, DWORD size, GifLayout* layout) {
    *layout = GifLayout();
    if (!IsGifData(data, size) || size < ScreenDescriptorEnd) return false;
    BYTE packed = data[10];
    DWORD table = ColourTableBytes(packed);
    if (table > size - ScreenDescriptorEnd) return false;
    layout->Width = Word(data + 6);
    layout->Height = Word(data + 8);
    layout->HeaderBytes = ScreenDescriptorEnd + table;
    BYTE index = data[11];
    if (table && index < table / 3) {
        const BYTE* rgb = data + ScreenDescriptorEnd + 3 * index;
        layout->HasBackground = true;
        layout->Background = RGB(rgb[0], rgb[1], rgb[2]);
    }

    DWORD pos = layout->HeaderBytes;
    GifFrameSpan frame;
    bool frameOpen = false;  // a control extension waits for its image
    while (pos < size) {
        BYTE kind = data[pos];
        if (kind == 0x21) {
            if (size - pos < 2) break;
            BYTE label = data[pos + 1];
            if (label == 0xF9) {
                if (size - pos < 8) break;
                frame = GifFrameSpan();
                frame.Offset = pos;
                frame.Disposal = (data[pos + 3] >> 2) & 7;
                frame.Delay = Word(data + pos + 4);
                frameOpen = true;
                pos += 8;
                continue;
            }
            DWORD fixed = label == 0x01 ? 15 : label == 0xFE ? 2 : label == 0xFF ? 14 : 0;
            if (fixed == 0) break;  // an unknown extension ends the search
            pos = SkipExtension(data, size, pos, fixed);
            if (pos == 0) break;
            continue;
        }
        if (kind != 0x2C) break;  // the trailer, or a block we do not know
        if (size - pos < 10) break;
        if (!frameOpen) {
            frame = GifFrameSpan();
            frame.Offset = pos;
        }
        frameOpen = false;
        frame.Left = Word(data + pos + 1);
        frame.Top = Word(data + pos + 3);
        frame.Width = Word(data + pos + 5);
        frame.Height = Word(data + pos + 7);
        DWORD local = ColourTableBytes(data[pos + 9]);
        // Descriptor, local table and the code-size byte must all be there.
        if (local + 11 > size - pos) break;
        DWORD end = SkipSubBlocks(data, size, pos + 10 + local + 1);
        if (end == 0) break;  // a frame cut short is left out
        frame.Length = end - frame.Offset;
        layout->Frames.push_back(frame);
        pos = end;
    }
    return !layout->Frames.empty();
}

std::vector<BYTE> BuildFrameGif(const BYTE* data, const GifLayout& layout,
                                const GifFrameSpan& frame) {
    std::vector<BYTE> out(data, data + layout.HeaderBytes);
    out.insert(out.end(), data + frame.Offset, data + frame.Offset + frame.Length);
    out.push_back(';');
    return out;
}

DWORD GifFrameDelayMs(int delay) { return delay >= 5 ? static_cast<DWORD>(delay) * 10 : 100; }
