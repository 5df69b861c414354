// Small helpers shared by the engine benchmarks: test signals, a running
// checksum, clocks, and the encoder library's path.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace benchutil {

// Deterministic pink-ish noise (white noise through a three-pole pinking
// filter), interleaved 16-bit, at about -10 dBFS.
inline std::vector<int16_t> PinkNoise(size_t frames, int channels, uint32_t seed) {
    std::vector<int16_t> out(frames * channels);
    for (int c = 0; c < channels; ++c) {
        uint32_t s = seed + 977u * c;
        double b0 = 0, b1 = 0, b2 = 0;
        for (size_t i = 0; i < frames; ++i) {
            s = s * 1664525u + 1013904223u;
            double white = (static_cast<int32_t>(s) / 2147483648.0);
            b0 = 0.99765 * b0 + white * 0.0990460;
            b1 = 0.96300 * b1 + white * 0.2965164;
            b2 = 0.57000 * b2 + white * 1.0526913;
            double pink = (b0 + b1 + b2 + white * 0.1848) * 0.11;
            double v = pink * 32767.0;
            if (v > 32767) v = 32767;
            if (v < -32768) v = -32768;
            out[i * channels + c] = static_cast<int16_t>(v);
        }
    }
    return out;
}

// FNV-1a over a byte stream, fed in pieces of any size: the same bytes in
// the same order give the same value however they were cut.
class Checksum {
public:
    void Add(const void* data, size_t n) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < n; ++i) h_ = (h_ ^ p[i]) * 1099511628211ull;
        bytes_ += n;
    }
    uint64_t Value() const { return h_; }
    uint64_t Bytes() const { return bytes_; }

private:
    uint64_t h_ = 14695981039346656037ull;
    uint64_t bytes_ = 0;
};

inline double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

// CPU seconds (user + kernel) of the whole process so far.
inline double ProcessCpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto secs = [](const FILETIME& f) {
        return (static_cast<uint64_t>(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 1e7;
    };
    return secs(kernel) + secs(user);
}

// A Unix path of the build tree as Wine sees it.
inline std::string WinePath(const char* unixPath) {
    std::string p = std::string("Z:") + unixPath;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

// A scratch file name in the temporary folder.
inline std::string TempFile(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

}  // namespace benchutil
