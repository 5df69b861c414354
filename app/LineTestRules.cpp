#include "app/LineTestRules.h"

#include <cstdio>
#include <cstdlib>

#include "framework/SafeString.h"

namespace {

constexpr long kMeasureOffset = 4096;
constexpr int kMeasureBytes = 1000;

const POINT kRowBases[2] = {{680, 92}, {680, 207}};
constexpr int kRowWidth = 45, kRowHeight = 22, kRowStep = 23;
constexpr int kMarkerX = 888, kMarkerY = 98, kMarkerSize = 12;

// The nine sample-rate choices, slowest first, four probes each.
constexpr DWORD kProbeRates[9] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};

bool Holds(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

int Visible(int count) { return count < kAudioBoxRows ? count : kAudioBoxRows; }

}  // namespace

int MeasureTestFile(const char* path) {
    FILE* f = fopen(path, "rb");
    if (!f) return -1;
    unsigned char bytes[kMeasureBytes];
    size_t got = 0;
    if (fseek(f, kMeasureOffset, SEEK_SET) == 0) got = fread(bytes, 1, sizeof bytes, f);
    fclose(f);
    // A recording too short to reach the stretch heard nothing worth a line.
    if (got < sizeof bytes) return 0;
    long sum = 0;
    for (unsigned char b : bytes) sum += std::abs(static_cast<int>(b) - 128);
    return static_cast<int>(sum / kMeasureBytes);
}

void LineTestClipName(int line, char* out, size_t size) {
    const int clip = (line < 0 ? 0 : line % 10) + 1;
    SafeFormatTo(out, size, "IDSOUND_LINE%d", clip);
}

RECT AudioBoxRowRect(int row) {
    const POINT base = kRowBases[row < 5 ? 0 : 1];
    const int top = base.y + kRowStep * (row % 5);
    return RECT{base.x, top, base.x + kRowWidth, top + kRowHeight};
}

RECT MicMarkerRect(int row) {
    const int top = kMarkerY + kRowStep * row;
    return RECT{kMarkerX, top, kMarkerX + kMarkerSize, top + kMarkerSize};
}

int AudioBoxRowAt(int x, int y, int count) {
    for (int i = 0; i < Visible(count); ++i)
        if (Holds(AudioBoxRowRect(i), x, y)) return i;
    return -1;
}

int MicMarkerAt(int x, int y, int count) {
    for (int i = 0; i < Visible(count); ++i)
        if (Holds(MicMarkerRect(i), x, y)) return i;
    return -1;
}

WAVEFORMATEX ProbeFormat(int index) {
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = (index & 2) ? 2 : 1;
    f.wBitsPerSample = (index & 1) ? 16 : 8;
    f.nSamplesPerSec = kProbeRates[(index / 4) % 9];
    f.nBlockAlign = static_cast<WORD>(f.nChannels * f.wBitsPerSample / 8);
    f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
    f.cbSize = 0;
    return f;
}

void CapabilityReportLine(const WAVEFORMATEX& format, char* out, size_t size) {
    SafeFormatTo(out, size, "%2d KHZ  %6s    %2d bit \n",
                 static_cast<int>(format.nSamplesPerSec / 1000),
                 format.nChannels == 2 ? "Stereo" : "Mono", format.wBitsPerSample);
}

void WritablePlaceFor(const char* preferredFolder, const char* name, char* out, size_t size) {
    SafeFormatTo(out, size, "%s%s", preferredFolder, name);
    HANDLE h = CreateFileA(out, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        const bool made = GetLastError() != ERROR_ALREADY_EXISTS;
        CloseHandle(h);
        if (made) DeleteFileA(out);
        return;
    }
    char temp[MAX_PATH] = "";
    DWORD n = GetTempPathA(sizeof temp, temp);
    if (n == 0 || n >= sizeof temp) SafeCopy(temp, ".\\");
    SafeFormatTo(out, size, "%s%s", temp, name);
}
