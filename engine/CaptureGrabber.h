// The capture grabber ("WAV Trans") as the engine sees it: its class and
// its private interface. The filter itself lives in its own DLL; only this
// vtable order and these identifiers bind the two.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include <unknwn.h>

// {FB5E1359-2460-436E-9BF1-6F626D287183}
inline constexpr CLSID CLSID_CaptureWavTrans = {
    0xFB5E1359, 0x2460, 0x436E, {0x9B, 0xF1, 0x6F, 0x62, 0x6D, 0x28, 0x71, 0x83}};
// {8DF035D9-01BB-438E-AE7E-2E7D6B053AE9}
inline constexpr IID IID_ICaptureWavTrans = {
    0x8DF035D9, 0x01BB, 0x438E, {0xAE, 0x7E, 0x2E, 0x7D, 0x6B, 0x05, 0x3A, 0xE9}};

// Raised by the capture grabber each time the block handed last is full.
constexpr long EC_CAPTURE_BUFFER = 0x8001;

struct ICaptureWavTrans : public IUnknown {
    // Hands one block (lpData, dwBufferLength) to be filled.
    virtual HRESULT STDMETHODCALLTYPE QueueBuffer(WAVEHDR* header, DWORD headerBytes) = 0;
    // 1: the captured sound also goes downstream; 0: silence does.
    virtual HRESULT STDMETHODCALLTYPE SetMode(BYTE mode) = 0;
    // 1 for 16-bit samples, 0 for 8-bit (the value of silence).
    virtual HRESULT STDMETHODCALLTYPE SetSampleWidth(BYTE bits16) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
};
