// Temporary: the background grabber's interface until its own header lands.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <unknwn.h>
inline constexpr CLSID CLSID_BackgroundWavTrans = {
    0x71B69155, 0x8C1A, 0x4AF2, {0xAC, 0xC0, 0xE6, 0x4F, 0x5E, 0x46, 0x6B, 0xEF}};
inline constexpr IID IID_IBackgroundWavTrans = {
    0x753DF8F0, 0xC434, 0x4A49, {0xBA, 0x74, 0xEC, 0xC6, 0xD4, 0xE7, 0x68, 0x21}};
constexpr long EC_BACKGROUND_BUFFER = 0x8002;
struct IBackgroundWavTrans : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueueBuffer(WAVEHDR* header, DWORD headerBytes) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetMode(BYTE mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSampleWidth(BYTE bits16) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
};
