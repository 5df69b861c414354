// Owner of one AM_MEDIA_TYPE by value: copies deep-copy the format block,
// destruction frees it. Pins keep their connection type in one of these;
// CreateCopy hands out the task-allocated copies that callers of
// IEnumMediaTypes and IAMStreamConfig::GetFormat free themselves.
#pragma once

#include <windows.h>
#include <mmreg.h>
#include <dshow.h>

namespace filterbase {

class MediaType {
public:
    MediaType();
    explicit MediaType(const AM_MEDIA_TYPE& mt);
    MediaType(const MediaType& other);
    MediaType& operator=(const MediaType& other);
    ~MediaType();

    // Replaces the held type with a deep copy of mt. E_OUTOFMEMORY leaves it empty.
    HRESULT Set(const AM_MEDIA_TYPE& mt);
    void Clear();
    bool Empty() const { return IsEqualGUID(mt_.majortype, GUID_NULL) != FALSE; }

    const AM_MEDIA_TYPE& Get() const { return mt_; }
    const AM_MEDIA_TYPE* operator->() const { return &mt_; }

    // Deep copy into a caller-owned struct (ConnectionMediaType, GetFormat).
    HRESULT CopyTo(AM_MEDIA_TYPE* out) const;
    // A CoTaskMemAlloc'ed copy for callers that free it with DeleteMediaType.
    AM_MEDIA_TYPE* CreateCopy() const;

    // The WAVEFORMATEX of a FORMAT_WaveFormatEx type, or nullptr.
    const WAVEFORMATEX* Wave() const { return WaveOf(mt_); }

    // Audio PCM with the given shape.
    static MediaType Pcm(WORD channels, DWORD rate, WORD bits);

    // Helpers for media types the base does not own.
    static const WAVEFORMATEX* WaveOf(const AM_MEDIA_TYPE& mt);
    static bool IsPcm(const AM_MEDIA_TYPE& mt);
    // True when every field `partial` specifies (non-null GUIDs, a format
    // block) equals the one of `full`.
    static bool MatchesPartial(const AM_MEDIA_TYPE& full, const AM_MEDIA_TYPE& partial);
    // True when a type names major, sub and format type, so it is taken as is.
    static bool IsComplete(const AM_MEDIA_TYPE& mt);
    static void FreeFields(AM_MEDIA_TYPE* mt);
    static void Delete(AM_MEDIA_TYPE* mt);

private:
    AM_MEDIA_TYPE mt_;
};

}  // namespace filterbase
