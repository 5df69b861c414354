#include "engine/Mp3Encoder.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/MixBalance.h"

BEINITSTREAM beInitStream = nullptr;
BEENCODECHUNK beEncodeChunk = nullptr;
BEDEINITSTREAM beDeinitStream = nullptr;
BECLOSESTREAM beCloseStream = nullptr;
BEVERSION beVersion = nullptr;
BEWRITEVBRHEADER beWriteVBRHeader = nullptr;

HBE_STREAM Mp3Stream = nullptr;

namespace {

HMODULE EncoderModule = nullptr;

// The open stream's chunk size (16-bit samples of all channels), and
// whether it has taken a chunk yet. Set by the start, then written by the
// writer thread and read by the finisher once the writer has ended.
DWORD StreamChunkSamples = 0;
bool StreamFed = false;

template <class F>
F Entry(HMODULE dll, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

void ClearEntries() {
    beInitStream = nullptr;
    beEncodeChunk = nullptr;
    beDeinitStream = nullptr;
    beCloseStream = nullptr;
    beVersion = nullptr;
    beWriteVBRHeader = nullptr;
}

// Takes the library only when it offers all six entry points; a library
// that lacks one is freed again and the search goes on.
bool TryLibrary(const char* path) {
    HMODULE dll = LoadLibraryA(path);
    if (!dll) return false;
    auto init = Entry<BEINITSTREAM>(dll, "beInitStream");
    auto encode = Entry<BEENCODECHUNK>(dll, "beEncodeChunk");
    auto deinit = Entry<BEDEINITSTREAM>(dll, "beDeinitStream");
    auto close = Entry<BECLOSESTREAM>(dll, "beCloseStream");
    auto version = Entry<BEVERSION>(dll, "beVersion");
    auto vbr = Entry<BEWRITEVBRHEADER>(dll, "beWriteVBRHeader");
    if (!init || !encode || !deinit || !close || !version || !vbr) {
        FreeLibrary(dll);
        return false;
    }
    EncoderModule = dll;
    beInitStream = init;
    beEncodeChunk = encode;
    beDeinitStream = deinit;
    beCloseStream = close;
    beVersion = version;
    beWriteVBRHeader = vbr;
    return true;
}

}  // namespace

bool Mp3EncoderAvailable() {
    return beInitStream && beEncodeChunk && beDeinitStream && beCloseStream && beVersion &&
           beWriteVBRHeader;
}

void UnloadMp3Encoder() {
    ClearEntries();
    if (EncoderModule) FreeLibrary(EncoderModule);
    EncoderModule = nullptr;
}

bool LoadMp3EncoderFrom(const char* path) {
    UnloadMp3Encoder();
    return path && TryLibrary(path);
}

bool LoadMp3Encoder(const char* installPath) {
    if (Mp3EncoderAvailable()) return true;
    UnloadMp3Encoder();
    if (TryLibrary("lame_enc.dll") || TryLibrary("c:\\lame_enc.dll")) return true;
    if (installPath && installPath[0]) {
        char path[MAX_PATH];
        int n = snprintf(path, sizeof path, "%s\\lame_enc.dll", installPath);
        // A truncated path would name some other file.
        if (n > 0 && n < static_cast<int>(sizeof path) && TryLibrary(path)) return true;
    }
    return TryLibrary("Quorlix.dll");
}

bool LoadMp3EncoderOutsideCurrentDirectory() {
    if (Mp3EncoderAvailable()) return true;
    char previous[MAX_PATH];
    DWORD n = GetDllDirectoryA(sizeof previous, previous);
    bool hadDirectory = n > 0 && n < sizeof previous;
    // An empty directory takes the current one out of the search order; the
    // program's own folder and the system folders stay in it.
    SetDllDirectoryA("");
    bool found = LoadMp3Encoder(nullptr);
    SetDllDirectoryA(hadDirectory ? previous : nullptr);
    return found;
}

BE_CONFIG Mp3StreamConfig(uint32_t sampleRate, uint16_t channels, uint16_t bitrateKbps,
                          const Mp3Flags& flags) {
    BE_CONFIG config;
    memset(&config, 0, sizeof config);
    config.dwConfig = BE_CONFIG_MP3;
    config.format.mp3.dwSampleRate = sampleRate;
    config.format.mp3.byMode = channels == 2   ? BE_MP3_MODE_STEREO
                               : channels == 1 ? BE_MP3_MODE_MONO
                                               : BE_MP3_MODE_DUALCHANNEL;
    config.format.mp3.wBitrate = bitrateKbps;
    config.format.mp3.bPrivate = flags.priv;
    config.format.mp3.bCRC = flags.crc;
    config.format.mp3.bCopyright = flags.copyright;
    config.format.mp3.bOriginal = flags.original;
    return config;
}

int InitMp3Encoder(uint32_t sampleRate, uint16_t channels, uint16_t bitrateKbps,
                   const Mp3Flags& flags, DWORD* samplesPerChunk, DWORD* outBufferSize) {
    if (samplesPerChunk) *samplesPerChunk = 0;
    if (outBufferSize) *outBufferSize = 0;
    if (!samplesPerChunk || !outBufferSize || !Mp3EncoderAvailable()) return 0;
    CloseMp3Stream();

    BE_CONFIG config = Mp3StreamConfig(sampleRate, channels, bitrateKbps, flags);
    DWORD samples = 0, bufferSize = 0;
    HBE_STREAM stream = nullptr;
    if (beInitStream(&config, &samples, &bufferSize, &stream) != BE_ERR_SUCCESSFUL) return 0;
    // The writer reads 2 x samples bytes into its fixed work buffers; an
    // answer that would not fit (or a chunk of nothing) cannot be recorded.
    if (samples == 0 || bufferSize == 0 || samples > static_cast<DWORD>(MixBufferBytes / 2)) {
        beCloseStream(stream);
        return 0;
    }
    Mp3Stream = stream;
    StreamChunkSamples = samples;
    StreamFed = false;
    *samplesPerChunk = samples;
    *outBufferSize = bufferSize;
    return 1;
}

BE_ERR EncodeMp3Chunk(DWORD samples, const BYTE* pcm, BYTE* outBuffer, DWORD* outBytes) {
    if (outBytes) *outBytes = 0;
    if (!Mp3Stream || !beEncodeChunk || !pcm || !outBuffer || !outBytes)
        return BE_ERR_INVALID_HANDLE;
    BE_ERR r = beEncodeChunk(Mp3Stream, samples, reinterpret_cast<SHORT*>(const_cast<BYTE*>(pcm)),
                             outBuffer, outBytes);
    if (r == BE_ERR_SUCCESSFUL) StreamFed = true;
    return r;
}

DWORD FinishMp3Stream(FILE* file, BYTE* outBuffer, bool* ok) {
    if (ok) *ok = false;
    if (!Mp3Stream) return 0;
    DWORD silent = 0;
    if (!StreamFed && outBuffer && StreamChunkSamples > 0) {
        std::vector<BYTE> silence(2 * static_cast<size_t>(StreamChunkSamples), 0);
        DWORD n = 0;
        if (EncodeMp3Chunk(StreamChunkSamples, silence.data(), outBuffer, &n) == BE_ERR_SUCCESSFUL &&
            file)
            silent = static_cast<DWORD>(fwrite(outBuffer, 1, n, file));
    }
    DWORD bytes = 0;
    bool flushed = outBuffer && beDeinitStream &&
                   beDeinitStream(Mp3Stream, outBuffer, &bytes) == BE_ERR_SUCCESSFUL;
    if (!flushed) bytes = 0;
    bool written = !file || bytes == 0 || fwrite(outBuffer, 1, bytes, file) == bytes;
    CloseMp3Stream();
    if (ok) *ok = flushed && written;
    return silent + (file && written ? bytes : 0);
}

void CloseMp3Stream() {
    if (!Mp3Stream) return;
    if (beCloseStream) beCloseStream(Mp3Stream);
    Mp3Stream = nullptr;
}
