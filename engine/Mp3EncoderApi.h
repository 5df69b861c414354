// The run-time interface of the MP3 encoder library (lame_enc.dll): six
// cdecl entry points and two byte-packed records whose sizes the library
// checks (331 and 265 bytes).
#pragma once

#include <windows.h>

typedef void* HBE_STREAM;
typedef HBE_STREAM* PHBE_STREAM;
typedef unsigned long BE_ERR;

#define BE_CONFIG_MP3 0
#define BE_CONFIG_LAME 256
#define BE_ERR_SUCCESSFUL 0x00000000
#define BE_ERR_INVALID_HANDLE 0x00000004
#define BE_MP3_MODE_STEREO 0
#define BE_MP3_MODE_JSTEREO 1
#define BE_MP3_MODE_DUALCHANNEL 2
#define BE_MP3_MODE_MONO 3

#pragma pack(push, 1)
struct BE_CONFIG {
    DWORD dwConfig;
    union {
        struct {
            DWORD dwSampleRate;
            BYTE byMode;
            WORD wBitrate;
            BOOL bPrivate;
            BOOL bCRC;
            BOOL bCopyright;
            BOOL bOriginal;
        } mp3;
        // The library's extended layout; only its size matters here.
        BYTE lhv1[327];
    } format;
};

struct BE_VERSION {
    BYTE byDLLMajorVersion;
    BYTE byDLLMinorVersion;
    BYTE byMajorVersion;
    BYTE byMinorVersion;
    BYTE byDay;
    BYTE byMonth;
    WORD wYear;
    CHAR zHomepage[129];
    BYTE byAlphaLevel;
    BYTE byBetaLevel;
    BYTE byMMXEnabled;
    BYTE btReserved[125];
};
#pragma pack(pop)

static_assert(sizeof(BE_CONFIG) == 331, "BE_CONFIG must match the library");
static_assert(sizeof(BE_VERSION) == 265, "BE_VERSION must match the library");

typedef BE_ERR (*BEINITSTREAM)(BE_CONFIG*, DWORD* samples, DWORD* bufferSize, PHBE_STREAM);
typedef BE_ERR (*BEENCODECHUNK)(HBE_STREAM, DWORD samples, SHORT* pcm, BYTE* out, DWORD* outBytes);
typedef BE_ERR (*BEDEINITSTREAM)(HBE_STREAM, BYTE* out, DWORD* outBytes);
typedef BE_ERR (*BECLOSESTREAM)(HBE_STREAM);
typedef VOID (*BEVERSION)(BE_VERSION*);
typedef BE_ERR (*BEWRITEVBRHEADER)(LPCSTR fileName);
