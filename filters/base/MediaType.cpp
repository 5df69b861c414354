#include "filters/base/MediaType.h"

#include <uuids.h>

#include <cstring>

namespace filterbase {

MediaType::MediaType() { ZeroMemory(&mt_, sizeof(mt_)); }

MediaType::MediaType(const AM_MEDIA_TYPE& mt) : MediaType() { Set(mt); }

MediaType::MediaType(const MediaType& other) : MediaType() { Set(other.mt_); }

MediaType& MediaType::operator=(const MediaType& other) {
    if (this != &other) Set(other.mt_);
    return *this;
}

MediaType::~MediaType() { Clear(); }

HRESULT MediaType::Set(const AM_MEDIA_TYPE& mt) {
    if (&mt == &mt_) return S_OK;
    // Copy first: mt may share its format block with the type held now.
    AM_MEDIA_TYPE copy;
    MediaType source;
    source.mt_ = mt;  // borrowed view, released below without freeing
    HRESULT hr = source.CopyTo(&copy);
    ZeroMemory(&source.mt_, sizeof(source.mt_));
    Clear();
    if (FAILED(hr)) return hr;
    mt_ = copy;
    return S_OK;
}

void MediaType::Clear() {
    FreeFields(&mt_);
    ZeroMemory(&mt_, sizeof(mt_));
}

HRESULT MediaType::CopyTo(AM_MEDIA_TYPE* out) const {
    if (!out) return E_POINTER;
    *out = mt_;
    out->pbFormat = nullptr;
    out->cbFormat = 0;
    if (out->pUnk) out->pUnk->AddRef();
    if (mt_.cbFormat && mt_.pbFormat) {
        out->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(mt_.cbFormat));
        if (!out->pbFormat) {
            if (out->pUnk) out->pUnk->Release();
            ZeroMemory(out, sizeof(*out));
            return E_OUTOFMEMORY;
        }
        memcpy(out->pbFormat, mt_.pbFormat, mt_.cbFormat);
        out->cbFormat = mt_.cbFormat;
    }
    return S_OK;
}

AM_MEDIA_TYPE* MediaType::CreateCopy() const {
    auto* out = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!out) return nullptr;
    if (FAILED(CopyTo(out))) {
        CoTaskMemFree(out);
        return nullptr;
    }
    return out;
}

MediaType MediaType::Pcm(WORD channels, DWORD rate, WORD bits) {
    WAVEFORMATEX wf = {};
    wf.wFormatTag = WAVE_FORMAT_PCM;
    wf.nChannels = channels;
    wf.nSamplesPerSec = rate;
    wf.wBitsPerSample = bits;
    wf.nBlockAlign = WORD(channels * bits / 8);
    wf.nAvgBytesPerSec = rate * wf.nBlockAlign;
    AM_MEDIA_TYPE mt = {};
    mt.majortype = MEDIATYPE_Audio;
    mt.subtype = MEDIASUBTYPE_PCM;
    mt.bFixedSizeSamples = TRUE;
    mt.lSampleSize = wf.nBlockAlign;
    mt.formattype = FORMAT_WaveFormatEx;
    mt.cbFormat = sizeof(wf);
    mt.pbFormat = reinterpret_cast<BYTE*>(&wf);
    return MediaType(mt);
}

const WAVEFORMATEX* MediaType::WaveOf(const AM_MEDIA_TYPE& mt) {
    if (!IsEqualGUID(mt.formattype, FORMAT_WaveFormatEx) || !mt.pbFormat ||
        mt.cbFormat < sizeof(WAVEFORMATEX) - sizeof(WORD))
        return nullptr;
    return reinterpret_cast<const WAVEFORMATEX*>(mt.pbFormat);
}

bool MediaType::IsPcm(const AM_MEDIA_TYPE& mt) {
    const WAVEFORMATEX* wf = WaveOf(mt);
    if (!wf || !IsEqualGUID(mt.majortype, MEDIATYPE_Audio)) return false;
    if (!IsEqualGUID(mt.subtype, MEDIASUBTYPE_PCM)) return false;
    if (wf->wFormatTag != WAVE_FORMAT_PCM) return false;
    if (wf->nChannels == 0 || wf->nSamplesPerSec == 0) return false;
    if (wf->wBitsPerSample != 8 && wf->wBitsPerSample != 16) return false;
    return wf->nBlockAlign == wf->nChannels * wf->wBitsPerSample / 8;
}

bool MediaType::MatchesPartial(const AM_MEDIA_TYPE& full, const AM_MEDIA_TYPE& partial) {
    if (!IsEqualGUID(partial.majortype, GUID_NULL) &&
        !IsEqualGUID(partial.majortype, full.majortype))
        return false;
    if (!IsEqualGUID(partial.subtype, GUID_NULL) && !IsEqualGUID(partial.subtype, full.subtype))
        return false;
    if (!IsEqualGUID(partial.formattype, GUID_NULL)) {
        if (!IsEqualGUID(partial.formattype, full.formattype)) return false;
        if (partial.cbFormat && partial.pbFormat &&
            (partial.cbFormat != full.cbFormat || !full.pbFormat ||
             memcmp(partial.pbFormat, full.pbFormat, full.cbFormat) != 0))
            return false;
    }
    return true;
}

bool MediaType::IsComplete(const AM_MEDIA_TYPE& mt) {
    return !IsEqualGUID(mt.majortype, GUID_NULL) && !IsEqualGUID(mt.subtype, GUID_NULL) &&
           !IsEqualGUID(mt.formattype, GUID_NULL);
}

void MediaType::FreeFields(AM_MEDIA_TYPE* mt) {
    if (!mt) return;
    if (mt->pbFormat) CoTaskMemFree(mt->pbFormat);
    mt->pbFormat = nullptr;
    mt->cbFormat = 0;
    if (mt->pUnk) mt->pUnk->Release();
    mt->pUnk = nullptr;
}

void MediaType::Delete(AM_MEDIA_TYPE* mt) {
    if (!mt) return;
    FreeFields(mt);
    CoTaskMemFree(mt);
}

}  // namespace filterbase
