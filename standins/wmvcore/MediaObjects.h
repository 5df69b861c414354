// Sample buffers and PCM input formats as the runtime hands them out; also
// used by the writer's in-test fake runtime.
#pragma once

#include <cstring>
#include <vector>

#include "StandinCom.h"

namespace wmstandin {

class Buffer : public INSSBuffer, public StandinObject {
public:
    explicit Buffer(DWORD size) : data_(size ? size : 1), length_(size) {}
    STANDIN_IUNKNOWN(INSSBuffer, STANDIN_IID(INSSBuffer))
    HRESULT STDMETHODCALLTYPE GetLength(DWORD* n) override { *n = length_; return S_OK; }
    HRESULT STDMETHODCALLTYPE SetLength(DWORD n) override {
        if (n > data_.size()) return E_INVALIDARG;
        length_ = n;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMaxLength(DWORD* n) override { *n = (DWORD)data_.size(); return S_OK; }
    HRESULT STDMETHODCALLTYPE GetBuffer(BYTE** p) override { *p = data_.data(); return S_OK; }
    HRESULT STDMETHODCALLTYPE GetBufferAndLength(BYTE** p, DWORD* n) override {
        *p = data_.data();
        *n = length_;
        return S_OK;
    }

private:
    std::vector<BYTE> data_;
    DWORD length_;
};

class InputProps : public IWMInputMediaProps, public StandinObject {
public:
    explicit InputProps(const WAVEFORMATEX& wf) : wf(wf) {}
    STANDIN_IUNKNOWN(IWMInputMediaProps, STANDIN_IID(IWMMediaProps) STANDIN_IID(IWMInputMediaProps))
    HRESULT STDMETHODCALLTYPE GetType(GUID* t) override { *t = kWmMediaTypeAudio; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMediaType(WM_MEDIA_TYPE* type, DWORD* size) override {
        DWORD need = sizeof(WM_MEDIA_TYPE) + sizeof(WAVEFORMATEX);
        if (!size) return E_POINTER;
        if (!type) {
            *size = need;
            return S_OK;
        }
        if (*size < need) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
        memset(type, 0, sizeof *type);
        type->majortype = kWmMediaTypeAudio;
        type->subtype = {WAVE_FORMAT_PCM, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
        type->bFixedSizeSamples = TRUE;
        type->lSampleSize = wf.nBlockAlign;
        type->formattype = kWmFormatWaveFormatEx;
        type->cbFormat = sizeof(WAVEFORMATEX);
        type->pbFormat = reinterpret_cast<BYTE*>(type + 1);
        memcpy(type->pbFormat, &wf, sizeof wf);
        *size = need;
        return S_OK;
    }
    STANDIN_NOTIMPL(SetMediaType, WM_MEDIA_TYPE*)
    STANDIN_NOTIMPL(GetConnectionName, WCHAR*, WORD*)
    STANDIN_NOTIMPL(GetGroupName, WCHAR*, WORD*)
    WAVEFORMATEX wf;
};

}  // namespace wmstandin
