// CSablet2's identity and its OLE object: creation and aggregation, the
// interface map, IOleObject, IOleControl, class information, the event
// connection point, quick activation and the (empty) data object.
#include "control/Sablet2.h"

#include <new>

#include "filters/base/Module.h"

namespace {

// Activate when visible, inside-out, a recompose on resize, cannot be
// linked inside, and the site comes before the properties.
constexpr DWORD kMiscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE |
                              OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE |
                              OLEMISC_RECOMPOSEONRESIZE;
static_assert(kMiscStatus == 131473, "the registered MiscStatus");

}  // namespace

HRESULT CSablet2::CreateInstance(IUnknown* outer, IUnknown** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    CSablet2* control = new (std::nothrow) CSablet2(outer);
    if (!control) return E_OUTOFMEMORY;
    *object = &control->inner_;
    return S_OK;
}

CSablet2::CSablet2(IUnknown* outer)
    : CDialog(IDD_SABLET2),
      outer_(outer ? outer : &inner_),
      events_(this, DIID__ISablet2Events),
      extent_(DefaultExtent()) {
    m_hResource = filterbase::ThisModule();
    filterbase::LockModule();
    // Without the encoder library a recording can only be WAV.
    if (!Mp3Available()) UseMP3 = 0;
}

CSablet2::~CSablet2() {
    if (m_hWnd) DestroyWindow();
    events_.Clear();
    SysFreeString(UploadURL);
    SysFreeString(Domain);
    filterbase::UnlockModule();
}

// ---- identity ----------------------------------------------------------------

STDMETHODIMP CSablet2::Inner::QueryInterface(REFIID iid, void** out) {
    return owner_->InnerQueryInterface(iid, out);
}

STDMETHODIMP_(ULONG) CSablet2::Inner::AddRef() { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) CSablet2::Inner::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) {
        // Guards against a release-time QueryInterface of a member
        // bringing the count back and ending here again.
        refs_ = 1;
        delete owner_;
    }
    return left;
}

HRESULT CSablet2::InnerQueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown)) {
        *out = &inner_;
        inner_.AddRef();
        return S_OK;
    }
    // In the order containers have always been answered.
    if (IsEqualIID(iid, IID_ISablet2) || IsEqualIID(iid, IID_IDispatch))
        *out = static_cast<ISablet2*>(this);
    else if (IsEqualIID(iid, IID_IViewObjectEx) || IsEqualIID(iid, IID_IViewObject2) ||
             IsEqualIID(iid, IID_IViewObject))
        *out = static_cast<IViewObjectEx*>(this);
    else if (IsEqualIID(iid, IID_IOleInPlaceObjectWindowless) ||
             IsEqualIID(iid, IID_IOleInPlaceObject) || IsEqualIID(iid, IID_IOleWindow))
        *out = static_cast<IOleInPlaceObjectWindowless*>(this);
    else if (IsEqualIID(iid, IID_IOleInPlaceActiveObject))
        *out = static_cast<IOleInPlaceActiveObject*>(this);
    else if (IsEqualIID(iid, IID_IOleControl))
        *out = static_cast<IOleControl*>(this);
    else if (IsEqualIID(iid, IID_IOleObject))
        *out = static_cast<IOleObject*>(this);
    else if (IsEqualIID(iid, IID_IPersistStreamInit) || IsEqualIID(iid, IID_IPersist))
        *out = static_cast<IPersistStreamInit*>(this);
    else if (IsEqualIID(iid, IID_ISupportErrorInfo))
        *out = static_cast<ISupportErrorInfo*>(this);
    else if (IsEqualIID(iid, IID_IConnectionPointContainer))
        *out = static_cast<IConnectionPointContainer*>(this);
    else if (IsEqualIID(iid, IID_ISpecifyPropertyPages))
        *out = static_cast<ISpecifyPropertyPages*>(this);
    else if (IsEqualIID(iid, IID_IQuickActivate))
        *out = static_cast<IQuickActivate*>(this);
    else if (IsEqualIID(iid, IID_IPersistStorage))
        *out = static_cast<IPersistStorage*>(this);
    else if (IsEqualIID(iid, IID_IDataObject))
        *out = static_cast<IDataObject*>(this);
    else if (IsEqualIID(iid, IID_IProvideClassInfo) || IsEqualIID(iid, IID_IProvideClassInfo2))
        *out = static_cast<IProvideClassInfo2*>(this);
    else if (IsEqualIID(iid, IID_IPersistPropertyBag))
        *out = static_cast<IPersistPropertyBag*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP CSablet2::QueryInterface(REFIID iid, void** out) {
    return outer_->QueryInterface(iid, out);
}
STDMETHODIMP_(ULONG) CSablet2::AddRef() { return outer_->AddRef(); }
STDMETHODIMP_(ULONG) CSablet2::Release() { return outer_->Release(); }

// ---- IOleObject ----------------------------------------------------------------

STDMETHODIMP CSablet2::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = site_.Get();
    if (*site) (*site)->AddRef();
    return S_OK;
}

STDMETHODIMP CSablet2::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP CSablet2::Close(DWORD saveOption) {
    InPlaceDeactivate();
    if ((saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE) && dirty_ &&
        site_) {
        site_->SaveObject();
        if (oleAdvise_) oleAdvise_->SendOnSave();
    }
    if (oleAdvise_) oleAdvise_->SendOnClose();
    return S_OK;
}

STDMETHODIMP CSablet2::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

STDMETHODIMP CSablet2::GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) {
    if (!moniker) return E_POINTER;
    *moniker = nullptr;
    if (!site_) return E_UNEXPECTED;
    return site_->GetMoniker(assign, which, moniker);
}

STDMETHODIMP CSablet2::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }
STDMETHODIMP CSablet2::GetClipboardData(DWORD, IDataObject** data) {
    if (data) *data = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CSablet2::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                              LPCRECT position) {
    if (site && !site_) SetClientSite(site);
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_UIACTIVATE:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_OPEN:
        return InPlaceActivate(verb, parent, position);
    case OLEIVERB_HIDE:
        UIDeactivate();
        if (m_hWnd) ::ShowWindow(m_hWnd, SW_HIDE);
        return S_OK;
    case OLEIVERB_DISCARDUNDOSTATE:
        return S_OK;
    default:
        return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

STDMETHODIMP CSablet2::EnumVerbs(IEnumOLEVERB** verbs) {
    return OleRegEnumVerbs(CLSID_Sablet2, verbs);
}

STDMETHODIMP CSablet2::Update() { return S_OK; }
STDMETHODIMP CSablet2::IsUpToDate() { return S_OK; }

STDMETHODIMP CSablet2::GetUserClassID(CLSID* clsid) { return GetClassID(clsid); }

STDMETHODIMP CSablet2::GetUserType(DWORD form, LPOLESTR* type) {
    return OleRegGetUserType(CLSID_Sablet2, form, type);
}

STDMETHODIMP CSablet2::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    if (size->cx != extent_.cx || size->cy != extent_.cy) {
        extent_ = *size;
        SetDirty(true);
        SendViewChange();
    }
    return S_OK;
}

STDMETHODIMP CSablet2::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return E_FAIL;
    if (!size) return E_POINTER;
    *size = extent_;
    return S_OK;
}

STDMETHODIMP CSablet2::Advise(IAdviseSink* sink, DWORD* cookie) {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!oleAdvise_) {
        HRESULT hr = CreateOleAdviseHolder(oleAdvise_.GetAddressOf());
        if (FAILED(hr)) return hr;
    }
    return oleAdvise_->Advise(sink, cookie);
}

STDMETHODIMP CSablet2::Unadvise(DWORD cookie) {
    return oleAdvise_ ? oleAdvise_->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

STDMETHODIMP CSablet2::EnumAdvise(IEnumSTATDATA** advises) {
    if (!advises) return E_POINTER;
    *advises = nullptr;
    return oleAdvise_ ? oleAdvise_->EnumAdvise(advises) : E_FAIL;
}

STDMETHODIMP CSablet2::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = kMiscStatus;
    return S_OK;
}

STDMETHODIMP CSablet2::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// ---- IOleControl -------------------------------------------------------------------

STDMETHODIMP CSablet2::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

STDMETHODIMP CSablet2::OnMnemonic(MSG*) { return E_NOTIMPL; }
STDMETHODIMP CSablet2::OnAmbientPropertyChange(DISPID) { return S_OK; }
STDMETHODIMP CSablet2::FreezeEvents(BOOL) { return S_OK; }

// ---- class information and errors --------------------------------------------------

STDMETHODIMP CSablet2::GetClassInfo(ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    HRESULT hr = LoadTypeInfo();
    if (FAILED(hr)) return hr;
    ComPtr<ITypeLib> library;
    UINT index = 0;
    hr = typeInfo_->GetContainingTypeLib(library.GetAddressOf(), &index);
    if (FAILED(hr)) return hr;
    return library->GetTypeInfoOfGuid(CLSID_Sablet2, info);
}

STDMETHODIMP CSablet2::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = DIID__ISablet2Events;
    return S_OK;
}

STDMETHODIMP CSablet2::InterfaceSupportsErrorInfo(REFIID iid) {
    return IsEqualIID(iid, IID_ISablet2) ? S_OK : S_FALSE;
}

// ---- connection points, property pages ---------------------------------------------

STDMETHODIMP CSablet2::EnumConnectionPoints(IEnumConnectionPoints** points) {
    IConnectionPoint* point = &events_;
    return CreatePointEnumerator(&point, 1, points);
}

STDMETHODIMP CSablet2::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (!point) return E_POINTER;
    *point = nullptr;
    if (!IsEqualIID(iid, DIID__ISablet2Events)) return CONNECT_E_NOCONNECTION;
    *point = &events_;
    events_.AddRef();
    return S_OK;
}

// No property of the control names a page.
STDMETHODIMP CSablet2::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    pages->cElems = 0;
    pages->pElems = nullptr;
    return S_OK;
}

// ---- IQuickActivate ----------------------------------------------------------------

STDMETHODIMP CSablet2::QuickActivate(QACONTAINER* container, QACONTROL* control) {
    if (!container || !control) return E_POINTER;
    if (container->cbSize < sizeof(QACONTAINER) || control->cbSize < sizeof(QACONTROL))
        return E_INVALIDARG;
    HRESULT hr = SetClientSite(container->pClientSite);
    if (FAILED(hr)) return hr;
    if (container->pAdviseSink) SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
    control->dwEventCookie = 0;
    if (container->pUnkEventSink) events_.Advise(container->pUnkEventSink, &control->dwEventCookie);
    control->dwPropNotifyCookie = 0;
    GetMiscStatus(DVASPECT_CONTENT, &control->dwMiscStatus);
    GetViewStatus(&control->dwViewStatus);
    control->dwPointerActivationPolicy = 0;
    return S_OK;
}

STDMETHODIMP CSablet2::SetContentExtent(LPSIZEL size) { return SetExtent(DVASPECT_CONTENT, size); }
STDMETHODIMP CSablet2::GetContentExtent(LPSIZEL size) { return GetExtent(DVASPECT_CONTENT, size); }

// ---- IDataObject: the control renders nothing for data transfer ---------------------

STDMETHODIMP CSablet2::GetData(FORMATETC*, STGMEDIUM*) { return DV_E_FORMATETC; }
STDMETHODIMP CSablet2::GetDataHere(FORMATETC*, STGMEDIUM*) { return DV_E_FORMATETC; }
STDMETHODIMP CSablet2::QueryGetData(FORMATETC*) { return DV_E_FORMATETC; }
STDMETHODIMP CSablet2::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
}
STDMETHODIMP CSablet2::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }
STDMETHODIMP CSablet2::EnumFormatEtc(DWORD, IEnumFORMATETC** formats) {
    if (formats) *formats = nullptr;
    return E_NOTIMPL;
}
STDMETHODIMP CSablet2::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD* cookie) {
    if (cookie) *cookie = 0;
    return OLE_E_ADVISENOTSUPPORTED;
}
STDMETHODIMP CSablet2::DUnadvise(DWORD) { return OLE_E_NOCONNECTION; }
STDMETHODIMP CSablet2::EnumDAdvise(IEnumSTATDATA** advises) {
    if (advises) *advises = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}
