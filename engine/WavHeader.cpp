#include "engine/WavHeader.h"

#include <cstring>

namespace {

void Put32(BYTE* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<BYTE>(v >> (8 * i));
}

void Put16(BYTE* p, uint16_t v) {
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
}

}  // namespace

void BuildWavHeader(BYTE out[WavHeaderBytes], const WAVEFORMATEX& f, uint32_t dataBytes) {
    memcpy(out, "RIFF", 4);
    Put32(out + 4, dataBytes + 36);
    memcpy(out + 8, "WAVEfmt ", 8);
    Put32(out + 16, 16);
    // Written field by field: the header is little-endian whatever the
    // structure's packing.
    Put16(out + 20, f.wFormatTag);
    Put16(out + 22, f.nChannels);
    Put32(out + 24, f.nSamplesPerSec);
    Put32(out + 28, f.nAvgBytesPerSec);
    Put16(out + 32, f.nBlockAlign);
    Put16(out + 34, f.wBitsPerSample);
    memcpy(out + 36, "data", 4);
    Put32(out + 40, dataBytes);
}

bool WriteWavHeader(FILE* file, const WAVEFORMATEX& format, uint32_t dataBytes) {
    if (!file) return false;
    BYTE header[WavHeaderBytes];
    BuildWavHeader(header, format, dataBytes);
    if (fseek(file, 0, SEEK_SET) != 0) return false;
    return fwrite(header, 1, sizeof header, file) == sizeof header;
}

bool WriteWavSizes(FILE* file, uint32_t dataBytes) {
    if (!file) return false;
    const long end = ftell(file);
    if (end < 0 || fflush(file) != 0) return false;
    BYTE riff[4], data[4];
    Put32(riff, dataBytes + 36);
    Put32(data, dataBytes);
    bool ok = fseek(file, 4, SEEK_SET) == 0 && fwrite(riff, 1, 4, file) == 4 &&
              fseek(file, 40, SEEK_SET) == 0 && fwrite(data, 1, 4, file) == 4;
    // The seek back hands the two fields to the system as well; the next
    // append must land where the data ends, whatever happened above.
    return fseek(file, end, SEEK_SET) == 0 && ok;
}

uint32_t MaxWavDataBytes(const WAVEFORMATEX& format) {
    uint32_t limit = 0xFFFFFFFFu - 36;
    uint32_t align = format.nBlockAlign ? format.nBlockAlign : 1;
    return limit - limit % align;
}
