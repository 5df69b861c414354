// CSablet2's properties and its dispatch interface. Every put answers S_OK:
// a value out of range is ignored, clamped or replaced as each property's
// rule says, and a string is cut to its buffer. Script and persistence both
// go through the type information, so the types' own checks (a short that
// overflows, text that is no number) come first.
#include "control/Sablet2.h"

#include <string>

#include "control/EncoderLibrary.h"
#include "filters/base/Module.h"

namespace {

BSTR AnsiToBstr(const char* text) {
    int chars = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (chars <= 1) return SysAllocString(L"");
    std::wstring wide(chars, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], chars);
    return SysAllocStringLen(wide.c_str(), chars - 1);
}

HRESULT GetText(const char* text, BSTR* value) {
    if (!value) return E_POINTER;
    *value = AnsiToBstr(text);
    return *value ? S_OK : E_OUTOFMEMORY;
}

// A copy of a BSTR property (a null one reads as empty).
HRESULT GetCopy(BSTR held, BSTR* value) {
    if (!value) return E_POINTER;
    *value = held ? SysAllocStringLen(held, SysStringLen(held)) : SysAllocString(L"");
    return *value ? S_OK : E_OUTOFMEMORY;
}

void PutCopy(BSTR* held, BSTR value) {
    BSTR copy = value ? SysAllocStringLen(value, SysStringLen(value)) : SysAllocString(L"");
    if (!copy) return;  // out of memory: the old value stays
    SysFreeString(*held);
    *held = copy;
}

template <class T>
HRESULT GetValue(T held, T* value) {
    if (!value) return E_POINTER;
    *value = held;
    return S_OK;
}

}  // namespace

bool CSablet2::Mp3Available() { return EncoderLibraryLoad(); }

// ---- IDispatch ---------------------------------------------------------------------

HRESULT CSablet2::LoadTypeInfo() {
    if (invokeInfo_) return S_OK;
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadRegTypeLib(LIBID_SABLETLib, 1, 0, LOCALE_USER_DEFAULT, library.GetAddressOf());
    if (FAILED(hr)) {
        // Not registered (or registered elsewhere): the module's own TYPELIB 1.
        wchar_t path[MAX_PATH];
        DWORD n = GetModuleFileNameW(filterbase::ThisModule(), path, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return E_FAIL;
        hr = LoadTypeLibEx(path, REGKIND_NONE, library.GetAddressOf());
        if (FAILED(hr)) return hr;
    }
    ComPtr<ITypeInfo> dual;
    hr = library->GetTypeInfoOfGuid(IID_ISablet2, dual.GetAddressOf());
    if (FAILED(hr)) return hr;
    // Calls go through the interface's own description (its vtable), not
    // the dispatch view of the dual interface.
    ComPtr<ITypeInfo> vtable;
    HREFTYPE ref = 0;
    if (SUCCEEDED(dual->GetRefTypeOfImplType(-1, &ref)))
        dual->GetRefTypeInfo(ref, vtable.GetAddressOf());
    typeInfo_ = std::move(dual);
    if (vtable) {
        invokeInfo_ = std::move(vtable);
    } else {
        typeInfo_->AddRef();
        *invokeInfo_.GetAddressOf() = typeInfo_.Get();
    }
    return S_OK;
}

STDMETHODIMP CSablet2::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP CSablet2::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    HRESULT hr = LoadTypeInfo();
    if (FAILED(hr)) return hr;
    *info = typeInfo_.Get();
    (*info)->AddRef();
    return S_OK;
}

STDMETHODIMP CSablet2::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    HRESULT hr = LoadTypeInfo();
    if (FAILED(hr)) return hr;
    return DispGetIDsOfNames(typeInfo_.Get(), names, count, ids);
}

// Routed by DISPID: the properties whatever the flags say (a VBScript read
// asks for a method or a get at once), the embedded browser's events, and
// nothing else.
STDMETHODIMP CSablet2::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                              VARIANT* result, EXCEPINFO* excep, UINT* argError) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (id >= 1 && id <= 22) return InvokeProperty(id, flags, params, result, excep, argError);
    switch (id) {
    case 102:  // StatusTextChange
    case 105:  // CommandStateChange
    case 253:  // OnQuit
    case 259:  // DocumentComplete
        if (!params) return E_INVALIDARG;
        return OnBrowserEvent(id, params);
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT CSablet2::InvokeProperty(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* excep, UINT* argError) {
    HRESULT hr = LoadTypeInfo();
    if (FAILED(hr)) return hr;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    return invokeInfo_->Invoke(static_cast<ISablet2*>(this), id, flags, params ? params : &none,
                               result, excep, argError);
}

// The embedded browser's events: Sablet2Web.cpp.

HRESULT CSablet2::GetProperty(DISPID id, VARIANT* value) {
    VariantInit(value);
    return InvokeProperty(id, DISPATCH_PROPERTYGET, nullptr, value, nullptr, nullptr);
}

HRESULT CSablet2::PutProperty(DISPID id, VARIANT* value) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {value, &named, 1, 1};
    return InvokeProperty(id, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
}

// ---- ISablet2 ----------------------------------------------------------------------

STDMETHODIMP CSablet2::get_FileName(BSTR* value) { return GetText(FileName, value); }
STDMETHODIMP CSablet2::put_FileName(BSTR value) {
    sablet::CopyWideToAnsi(FileName, sizeof FileName, value, sablet::FileNameChars);
    SetDirty(true);
    return S_OK;
}

STDMETHODIMP CSablet2::get_Location(BSTR* value) { return GetText(Location, value); }
STDMETHODIMP CSablet2::put_Location(BSTR value) {
    sablet::CopyWideToAnsi(Location, sizeof Location, value, sablet::LocationChars);
    SetDirty(true);
    return S_OK;
}

// The panel's status box names the format; an idle panel shows a new one
// at once (a take under way keeps the format it started with).
void CSablet2::FormatChanged() {
    SetDirty(true);
    if (m_hWnd && TransportState == 0) ::InvalidateRect(m_hWnd, &TimeBoxRect, TRUE);
}

STDMETHODIMP CSablet2::get_UseMP3(LONG* value) { return GetValue<LONG>(UseMP3, value); }
// Without the encoder library MP3 cannot be recorded, whatever the page asks.
STDMETHODIMP CSablet2::put_UseMP3(LONG value) {
    UseMP3 = value != 0 && Mp3Available();
    FormatChanged();
    return S_OK;
}

// A short: only the low 16 bits of the rate come back, and a put is
// sign-extended into it (the start refuses what is not a rate).
STDMETHODIMP CSablet2::get_Frequency(short* value) {
    return GetValue(static_cast<short>(SampleRate & 0xFFFF), value);
}
STDMETHODIMP CSablet2::put_Frequency(short value) {
    SampleRate = value;
    FormatChanged();
    return S_OK;
}

STDMETHODIMP CSablet2::get_SampleBit(short* value) { return GetValue(SampleBit, value); }
STDMETHODIMP CSablet2::put_SampleBit(short value) {
    if (sablet::SampleBitAccepted(value)) SampleBit = value;
    SetDirty(true);
    return S_OK;
}

STDMETHODIMP CSablet2::get_Channel(short* value) { return GetValue(Channel, value); }
STDMETHODIMP CSablet2::put_Channel(short value) {
    Channel = sablet::ChannelRule(value);
    SetDirty(true);
    return S_OK;
}

STDMETHODIMP CSablet2::get_MP3Bitrate(short* value) { return GetValue(MP3Bitrate, value); }
STDMETHODIMP CSablet2::put_MP3Bitrate(short value) {
    if (sablet::Mp3BitrateAccepted(value)) MP3Bitrate = value;
    FormatChanged();
    return S_OK;
}

STDMETHODIMP CSablet2::get_SampleRate(LONG* value) { return GetValue(SampleRate, value); }
STDMETHODIMP CSablet2::put_SampleRate(LONG value) {
    SampleRate = value;
    FormatChanged();
    return S_OK;
}

STDMETHODIMP CSablet2::get_UploadURL(BSTR* value) { return GetCopy(UploadURL, value); }
STDMETHODIMP CSablet2::put_UploadURL(BSTR value) {
    PutCopy(&UploadURL, value);
    SetDirty(true);
    return S_OK;
}

STDMETHODIMP CSablet2::get_SampleFrequency(LONG* value) { return GetValue(SampleRate, value); }
STDMETHODIMP CSablet2::put_SampleFrequency(LONG value) {
    SampleRate = sablet::SampleFrequencyRule(value);
    FormatChanged();
    return S_OK;
}

STDMETHODIMP CSablet2::get_PubID(LONG* value) { return GetValue(PubID, value); }
STDMETHODIMP CSablet2::put_PubID(LONG value) {
    PubID = value;
    SetDirty(true);
    return S_OK;
}

#define SABLET_SHORT_PROPERTY(name)                                       \
    STDMETHODIMP CSablet2::get_##name(short* value) { return GetValue(name, value); } \
    STDMETHODIMP CSablet2::put_##name(short value) {                      \
        name = value;                                                     \
        SetDirty(true);                                                   \
        return S_OK;                                                      \
    }

SABLET_SHORT_PROPERTY(AllowParaChange)
SABLET_SHORT_PROPERTY(AdChannelID)
SABLET_SHORT_PROPERTY(Resize)
SABLET_SHORT_PROPERTY(MenuBar)
SABLET_SHORT_PROPERTY(AddressBar)
SABLET_SHORT_PROPERTY(ToolBar)
SABLET_SHORT_PROPERTY(Align)
SABLET_SHORT_PROPERTY(NewWindow)
SABLET_SHORT_PROPERTY(TopOffset)

#undef SABLET_SHORT_PROPERTY

STDMETHODIMP CSablet2::get_Domain(BSTR* value) { return GetCopy(Domain, value); }
STDMETHODIMP CSablet2::put_Domain(BSTR value) {
    PutCopy(&Domain, value);
    SetDirty(true);
    return S_OK;
}

STDMETHODIMP CSablet2::get_EmbedTag(BSTR* value) { return GetText(EmbedTag, value); }
STDMETHODIMP CSablet2::put_EmbedTag(BSTR value) {
    sablet::CopyWideToAnsi(EmbedTag, sizeof EmbedTag, value, sablet::EmbedTagChars);
    SetDirty(true);
    return S_OK;
}
