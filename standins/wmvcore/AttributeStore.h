// Header attributes held in memory, shared by the writer and the editor.
#pragma once

#include <cstring>
#include <vector>

#include "AsfTags.h"
#include "StandinCom.h"

// The header attributes of the writer and of the editor: one list, kept in
// the order set, names unique per stream 0.
class AttributeStore : public IWMHeaderInfo3 {
public:
    std::vector<AsfAttribute> attrs;
    // Where the list lives; a test fake keeps it in its own log.
    virtual std::vector<AsfAttribute>& Attrs() { return attrs; }

    HRESULT STDMETHODCALLTYPE GetAttributeByName(WORD* stream, LPCWSTR name, WMT_ATTR_DATATYPE* type,
                                                 BYTE* value, WORD* length) override {
        if (!name || !type || !length) return E_POINTER;
        for (const AsfAttribute& a : Attrs()) {
            if (a.name != name) continue;
            *type = (WMT_ATTR_DATATYPE)a.type;
            if (value) {
                if (*length < a.value.size()) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
                memcpy(value, a.value.data(), a.value.size());
            }
            *length = (WORD)a.value.size();
            if (stream) *stream = 0;
            return S_OK;
        }
        return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    }
    HRESULT STDMETHODCALLTYPE SetAttribute(WORD stream, LPCWSTR name, WMT_ATTR_DATATYPE type,
                                           const BYTE* value, WORD length) override {
        if (stream != 0 || !name || (length && !value)) return E_INVALIDARG;
        std::vector<BYTE> v(value, value + length);
        for (AsfAttribute& a : Attrs()) {
            if (a.name == name) {
                a.type = type;
                a.value = v;
                return S_OK;
            }
        }
        Attrs().push_back({name, (int)type, v});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAttributeCount(WORD stream, WORD* count) override {
        return GetAttributeCountEx(stream, count);
    }
    HRESULT STDMETHODCALLTYPE GetAttributeCountEx(WORD stream, WORD* count) override {
        if (!count) return E_POINTER;
        *count = stream == 0 ? (WORD)Attrs().size() : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAttributeByIndexEx(WORD stream, WORD index, LPWSTR name,
                                                    WORD* nameLen, WMT_ATTR_DATATYPE* type,
                                                    WORD* lang, BYTE* value, DWORD* length) override {
        if (stream != 0 || index >= Attrs().size()) return E_INVALIDARG;
        if (!nameLen || !type || !length) return E_POINTER;
        const AsfAttribute& a = Attrs()[index];
        if (name) {
            if (*nameLen < a.name.size() + 1) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
            wcscpy(name, a.name.c_str());
        }
        if (value) {
            if (*length < a.value.size()) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
            memcpy(value, a.value.data(), a.value.size());
        }
        *nameLen = (WORD)(a.name.size() + 1);
        *length = (DWORD)a.value.size();
        *type = (WMT_ATTR_DATATYPE)a.type;
        if (lang) *lang = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ModifyAttribute(WORD stream, WORD index, WMT_ATTR_DATATYPE type, WORD,
                                              const BYTE* value, DWORD length) override {
        if (stream != 0 || index >= Attrs().size() || length > 0xFFFF || (length && !value))
            return E_INVALIDARG;
        Attrs()[index].type = type;
        Attrs()[index].value.assign(value, value + length);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AddAttribute(WORD stream, LPCWSTR name, WORD* index,
                                           WMT_ATTR_DATATYPE type, WORD, const BYTE* value,
                                           DWORD length) override {
        if (length > 0xFFFF) return E_INVALIDARG;
        HRESULT hr = SetAttribute(stream, name, type, value, (WORD)length);
        if (SUCCEEDED(hr) && index) *index = (WORD)(Attrs().size() - 1);
        return hr;
    }
    HRESULT STDMETHODCALLTYPE DeleteAttribute(WORD stream, WORD index) override {
        if (stream != 0 || index >= Attrs().size()) return E_INVALIDARG;
        Attrs().erase(Attrs().begin() + index);
        return S_OK;
    }
    STANDIN_NOTIMPL(GetAttributeByIndex, WORD, WORD*, WCHAR*, WORD*, WMT_ATTR_DATATYPE*, BYTE*, WORD*)
    STANDIN_NOTIMPL(GetMarkerCount, WORD*)
    STANDIN_NOTIMPL(GetMarker, WORD, WCHAR*, WORD*, QWORD*)
    STANDIN_NOTIMPL(AddMarker, LPCWSTR_WMSDK_TYPE_SAFE, QWORD)
    STANDIN_NOTIMPL(RemoveMarker, WORD)
    STANDIN_NOTIMPL(GetScriptCount, WORD*)
    STANDIN_NOTIMPL(GetScript, WORD, WCHAR*, WORD*, WCHAR*, WORD*, QWORD*)
    STANDIN_NOTIMPL(AddScript, LPCWSTR_WMSDK_TYPE_SAFE, LPCWSTR_WMSDK_TYPE_SAFE, QWORD)
    STANDIN_NOTIMPL(RemoveScript, WORD)
    STANDIN_NOTIMPL(GetCodecInfoCount, DWORD*)
    STANDIN_NOTIMPL(GetCodecInfo, DWORD, WORD*, WCHAR*, WORD*, WCHAR*, WMT_CODEC_INFO_TYPE*, WORD*, BYTE*)
    STANDIN_NOTIMPL(GetAttributeIndices, WORD, LPCWSTR, WORD*, WORD*, WORD*)
    STANDIN_NOTIMPL(AddCodecInfo, LPCWSTR_WMSDK_TYPE_SAFE, LPCWSTR_WMSDK_TYPE_SAFE, WMT_CODEC_INFO_TYPE, WORD, BYTE*)
};

