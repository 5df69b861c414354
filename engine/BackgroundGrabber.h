// The background grabber ("WAV Trans" behind the background sound's PCM
// converter) as the player sees it: its class and its private interface.
// The filter lives in its own DLL; only this vtable order and these
// identifiers bind the two.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include <unknwn.h>

// {71B69155-8C1A-4AF2-ACC0-E64F5E466BEF}
inline constexpr CLSID CLSID_BackgroundWavTrans = {
    0x71B69155, 0x8C1A, 0x4AF2, {0xAC, 0xC0, 0xE6, 0x4F, 0x5E, 0x46, 0x6B, 0xEF}};
// {753DF8F0-C434-4A49-BA74-ECC6D4E76821}
inline constexpr IID IID_IBackgroundWavTrans = {
    0x753DF8F0, 0xC434, 0x4A49, {0xBA, 0x74, 0xEC, 0xC6, 0xD4, 0xE7, 0x68, 0x21}};

// Raised by the background grabber each time a block is full; the event's
// second parameter is the filled WAVEHDR*.
constexpr long EC_BACKGROUND_BUFFER = 0x8002;

struct IBackgroundWavTrans : public IUnknown {
    // Hands one block (lpData, dwBufferLength) to be filled.
    virtual HRESULT STDMETHODCALLTYPE QueueBuffer(WAVEHDR* header, DWORD headerBytes) = 0;
    // 1: the sound also goes downstream; 0: silence does.
    virtual HRESULT STDMETHODCALLTYPE SetMode(BYTE mode) = 0;
    // 1 for 16-bit samples, 0 for 8-bit (the value of silence).
    virtual HRESULT STDMETHODCALLTYPE SetSampleWidth(BYTE bits16) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused() = 0;
    // Restarts the block being filled at offset 0 and drops what waits for
    // it (start, seeks, stop); a block already reported full is left as it
    // is, and what arrived after it waits for the next block.
    virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
};
