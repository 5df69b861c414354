#include "control/PersistedProperties.h"

#include <algorithm>
#include <cstring>

namespace sablet {

const PersistedProperty PersistedProperties[PersistedCount] = {
    {L"Option", 1, VT_BSTR},         {L"Location", 2, VT_BSTR},
    {L"UseMP3", 3, VT_I4},           {L"Frequency", 10, VT_I4},
    {L"SampleBit", 5, VT_I2},        {L"Channel", 6, VT_I2},
    {L"MP3Bitrate", 7, VT_I2},       {L"AllowParaChange", 12, VT_I2},
    {L"PubID", 11, VT_I4},           {L"AdChannelID", 13, VT_I2},
    {L"Resize", 15, VT_I2},          {L"MenuBar", 16, VT_I2},
    {L"AddressBar", 17, VT_I2},      {L"ToolBar", 18, VT_I2},
    {L"Align", 19, VT_I2},           {L"NewWindow", 20, VT_I2},
    {L"TopOffset", 21, VT_I2},       {L"EmbedTag", 22, VT_BSTR},
};

namespace {

template <class T>
void Put(std::vector<BYTE>& out, T value) {
    const BYTE* p = reinterpret_cast<const BYTE*>(&value);
    out.insert(out.end(), p, p + sizeof value);
}

template <class T>
bool Get(ByteSource& in, T* value) {
    return in.Read(value, sizeof *value);
}

}  // namespace

std::vector<BYTE> EncodeProperties(const PersistedState& state) {
    std::vector<BYTE> out;
    Put<uint16_t>(out, PersistVersion);
    Put<int32_t>(out, state.extent.cx);
    Put<int32_t>(out, state.extent.cy);
    for (size_t i = 0; i < PersistedCount; ++i) {
        const PersistedValue& v = state.values[i];
        VARTYPE type = PersistedProperties[i].type;
        Put<uint16_t>(out, type);
        if (type == VT_I2) {
            Put<int16_t>(out, static_cast<int16_t>(v.number));
        } else if (type == VT_I4) {
            Put<int32_t>(out, static_cast<int32_t>(v.number));
        } else {
            uint32_t chars = static_cast<uint32_t>(std::min<size_t>(v.text.size(), PersistMaxChars));
            Put<uint32_t>(out, chars);
            const BYTE* p = reinterpret_cast<const BYTE*>(v.text.data());
            out.insert(out.end(), p, p + chars * sizeof(wchar_t));
        }
    }
    return out;
}

bool DecodeProperties(ByteSource& in, PersistedState* state) {
    uint16_t version = 0;
    int32_t cx = 0, cy = 0;
    if (!Get(in, &version) || version != PersistVersion || !Get(in, &cx) || !Get(in, &cy))
        return false;
    state->extent.cx = cx;
    state->extent.cy = cy;
    for (size_t i = 0; i < PersistedCount; ++i) {
        PersistedValue& v = state->values[i];
        uint16_t type = 0;
        if (!Get(in, &type) || type != PersistedProperties[i].type) return false;
        if (type == VT_I2) {
            int16_t n = 0;
            if (!Get(in, &n)) return false;
            v.number = n;
        } else if (type == VT_I4) {
            int32_t n = 0;
            if (!Get(in, &n)) return false;
            v.number = n;
        } else {
            uint32_t chars = 0;
            if (!Get(in, &chars) || chars > PersistMaxChars) return false;
            v.text.assign(chars, L'\0');
            if (chars && !in.Read(&v.text[0], chars * sizeof(wchar_t))) return false;
        }
    }
    return true;
}

bool MemorySource::Read(void* out, ULONG size) {
    if (size > size_ - at_) return false;
    memcpy(out, data_ + at_, size);
    at_ += size;
    return true;
}

}  // namespace sablet
