// CSablet2's persistence: the extent and eighteen properties (see
// PersistedProperties.h) through a page's property bag, a stream or a
// storage. Values are read and written through the dispatch interface, so
// a loaded value meets the same rules as a put. A stream that is short or
// not ours fails to load and changes nothing.
#include "control/Sablet2.h"

#include "control/PersistedProperties.h"

namespace {

// The control's contents in a storage.
const wchar_t kContents[] = L"Contents";

class StreamSource : public sablet::ByteSource {
public:
    explicit StreamSource(IStream* stream) : stream_(stream) {}
    bool Read(void* out, ULONG size) override {
        ULONG got = 0;
        return SUCCEEDED(stream_->Read(out, size, &got)) && got == size;
    }

private:
    IStream* stream_;
};

HRESULT WriteAll(IStream* stream, const std::vector<BYTE>& bytes) {
    ULONG written = 0;
    HRESULT hr = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    if (FAILED(hr)) return hr;
    return written == bytes.size() ? S_OK : STG_E_WRITEFAULT;
}

bool ToVariant(VARTYPE type, const sablet::PersistedValue& from, VARIANT* value) {
    VariantInit(value);
    value->vt = type;
    if (type == VT_BSTR) {
        value->bstrVal = SysAllocStringLen(from.text.data(), static_cast<UINT>(from.text.size()));
        return value->bstrVal != nullptr;
    }
    if (type == VT_I2) value->iVal = static_cast<SHORT>(from.number);
    else value->lVal = from.number;
    return true;
}

}  // namespace

void CSablet2::SetDirty(bool dirty) { dirty_ = dirty; }

// A loaded value goes through the put a page's script would use. The rate
// kept as "Frequency" goes through SampleFrequency, which turns a rate off
// its list into 16000; a value no recording can have is kept as given
// instead, as script's Frequency and SampleRate keep it, so that Record
// refuses it saying why rather than record at a rate nobody asked for.
HRESULT CSablet2::PutLoaded(const sablet::PersistedProperty& p, VARIANT* value) {
    DISPID id = p.dispid;
    if (id == kSampleFrequencyId && value->vt == VT_I4 && !sablet::RecordableRate(value->lVal))
        id = kSampleRateId;
    return PutProperty(id, value);
}

HRESULT CSablet2::SaveState(sablet::PersistedState* state) {
    state->extent = extent_;
    for (size_t i = 0; i < sablet::PersistedCount; ++i) {
        const sablet::PersistedProperty& p = sablet::PersistedProperties[i];
        VARIANT value;
        HRESULT hr = GetProperty(p.dispid, &value);
        if (SUCCEEDED(hr)) hr = VariantChangeType(&value, &value, 0, p.type);
        if (FAILED(hr)) {
            VariantClear(&value);
            return hr;
        }
        if (p.type == VT_BSTR)
            state->values[i].text.assign(value.bstrVal ? value.bstrVal : L"", SysStringLen(value.bstrVal));
        else
            state->values[i].number = p.type == VT_I2 ? value.iVal : value.lVal;
        VariantClear(&value);
    }
    return S_OK;
}

HRESULT CSablet2::ApplyState(const sablet::PersistedState& state) {
    extent_ = state.extent;
    for (size_t i = 0; i < sablet::PersistedCount; ++i) {
        const sablet::PersistedProperty& p = sablet::PersistedProperties[i];
        VARIANT value;
        if (!ToVariant(p.type, state.values[i], &value)) return E_OUTOFMEMORY;
        PutLoaded(p, &value);
        VariantClear(&value);
    }
    SendViewChange();
    return S_OK;
}

// ---- IPersist, IPersistStreamInit ------------------------------------------------

STDMETHODIMP CSablet2::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = CLSID_Sablet2;
    return S_OK;
}

STDMETHODIMP CSablet2::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

STDMETHODIMP CSablet2::InitNew() { return S_OK; }

STDMETHODIMP CSablet2::Load(LPSTREAM stream) {
    if (!stream) return E_POINTER;
    sablet::PersistedState state;
    StreamSource source(stream);
    if (!sablet::DecodeProperties(source, &state)) return E_FAIL;
    HRESULT hr = ApplyState(state);
    if (SUCCEEDED(hr)) SetDirty(false);
    return hr;
}

STDMETHODIMP CSablet2::Save(LPSTREAM stream, BOOL clearDirty) {
    if (!stream) return E_POINTER;
    sablet::PersistedState state;
    HRESULT hr = SaveState(&state);
    if (SUCCEEDED(hr)) hr = WriteAll(stream, sablet::EncodeProperties(state));
    if (SUCCEEDED(hr) && clearDirty) SetDirty(false);
    return hr;
}

STDMETHODIMP CSablet2::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    sablet::PersistedState state;
    HRESULT hr = SaveState(&state);
    if (FAILED(hr)) return hr;
    size->QuadPart = sablet::EncodeProperties(state).size();
    return S_OK;
}

// ---- IPersistStorage -------------------------------------------------------------

STDMETHODIMP CSablet2::InitNew(IStorage*) { return S_OK; }

STDMETHODIMP CSablet2::Load(IStorage* storage) {
    if (!storage) return E_POINTER;
    ComPtr<IStream> stream;
    HRESULT hr = storage->OpenStream(kContents, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                     stream.GetAddressOf());
    if (FAILED(hr)) return hr;
    return Load(stream.Get());
}

STDMETHODIMP CSablet2::Save(IStorage* storage, BOOL) {
    if (!storage) return E_POINTER;
    ComPtr<IStream> stream;
    HRESULT hr = storage->CreateStream(kContents, STGM_WRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE,
                                       0, 0, stream.GetAddressOf());
    if (FAILED(hr)) return hr;
    return Save(stream.Get(), TRUE);
}

STDMETHODIMP CSablet2::SaveCompleted(IStorage*) { return S_OK; }
STDMETHODIMP CSablet2::HandsOffStorage() { return S_OK; }

// ---- IPersistPropertyBag ---------------------------------------------------------

// A page's PARAM tags: each value arrives as text and becomes the
// property's type; a name the page does not give, or a value that is no
// such thing ("abc" for a rate), leaves the property as it is.
STDMETHODIMP CSablet2::Load(IPropertyBag* bag, IErrorLog* log) {
    if (!bag) return E_POINTER;
    static const wchar_t* const kExtent[2] = {L"_cx", L"_cy"};
    LONG* extent[2] = {&extent_.cx, &extent_.cy};
    for (int i = 0; i < 2; ++i) {
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_I4;
        if (SUCCEEDED(bag->Read(kExtent[i], &value, log)) &&
            SUCCEEDED(VariantChangeType(&value, &value, 0, VT_I4)))
            *extent[i] = value.lVal;
        VariantClear(&value);
    }
    for (const sablet::PersistedProperty& p : sablet::PersistedProperties) {
        VARIANT value;
        VariantInit(&value);
        value.vt = p.type;
        if (SUCCEEDED(bag->Read(p.name, &value, log)) &&
            SUCCEEDED(VariantChangeType(&value, &value, 0, p.type)))
            PutLoaded(p, &value);
        VariantClear(&value);
    }
    SetDirty(false);
    SendViewChange();
    return S_OK;
}

STDMETHODIMP CSablet2::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
    if (!bag) return E_POINTER;
    sablet::PersistedState state;
    HRESULT hr = SaveState(&state);
    if (FAILED(hr)) return hr;
    const wchar_t* const extentNames[2] = {L"_cx", L"_cy"};
    const LONG extent[2] = {state.extent.cx, state.extent.cy};
    for (int i = 0; i < 2 && SUCCEEDED(hr); ++i) {
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_I4;
        value.lVal = extent[i];
        hr = bag->Write(extentNames[i], &value);
    }
    for (size_t i = 0; i < sablet::PersistedCount && SUCCEEDED(hr); ++i) {
        const sablet::PersistedProperty& p = sablet::PersistedProperties[i];
        VARIANT value;
        if (!ToVariant(p.type, state.values[i], &value)) return E_OUTOFMEMORY;
        hr = bag->Write(p.name, &value);
        VariantClear(&value);
    }
    if (SUCCEEDED(hr) && clearDirty) SetDirty(false);
    return hr;
}
