#include "SabletHost.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include <shlguid.h>

#include "control/InPlaceFrame.h"

namespace sablethost {

const wchar_t kSabletClsid[] = L"{848B4094-6C23-4EC7-ACD7-8A7F0A4050BA}";

namespace {

std::wstring Widen(const std::string& text) {
    int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &out[0], n);
    return out;
}

std::string Narrow(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    return out;
}

// A moniker that only has a display name: the page's address.
class PageMoniker : public IMoniker {
public:
    explicit PageMoniker(std::wstring url) : url_(std::move(url)) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPersist) ||
            IsEqualIID(iid, IID_IPersistStream) || IsEqualIID(iid, IID_IMoniker)) {
            *out = static_cast<IMoniker*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG left = InterlockedDecrement(&refs_);
        if (!left) delete this;
        return left;
    }
    STDMETHODIMP GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR* name) override {
        size_t bytes = (url_.size() + 1) * sizeof(wchar_t);
        *name = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
        if (!*name) return E_OUTOFMEMORY;
        memcpy(*name, url_.c_str(), bytes);
        return S_OK;
    }
    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP IsDirty() override { return S_FALSE; }
    STDMETHODIMP Load(IStream*) override { return E_NOTIMPL; }
    STDMETHODIMP Save(IStream*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP BindToObject(IBindCtx*, IMoniker*, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHODIMP BindToStorage(IBindCtx*, IMoniker*, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHODIMP Reduce(IBindCtx*, DWORD, IMoniker**, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP ComposeWith(IMoniker*, BOOL, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP Enum(BOOL, IEnumMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP IsEqual(IMoniker*) override { return S_FALSE; }
    STDMETHODIMP Hash(DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP IsRunning(IBindCtx*, IMoniker*, IMoniker*) override { return S_FALSE; }
    STDMETHODIMP GetTimeOfLastChange(IBindCtx*, IMoniker*, FILETIME*) override { return E_NOTIMPL; }
    STDMETHODIMP Inverse(IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP CommonPrefixWith(IMoniker*, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP RelativePathTo(IMoniker*, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP ParseDisplayName(IBindCtx*, IMoniker*, LPOLESTR, ULONG*, IMoniker**) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP IsSystemMoniker(DWORD* kind) override {
        *kind = MKSYS_NONE;
        return S_FALSE;
    }

private:
    virtual ~PageMoniker() = default;
    LONG refs_ = 1;
    std::wstring url_;
};

const char kHostClass[] = "SabletHostWindow";

// Closing the window only hides it: the control is deactivated and
// released before the window goes (Destroy).
LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        ShowWindow(window, SW_HIDE);
        return 0;
    }
    if (message == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(window, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_WINDOW));
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

// ---- the property bag ---------------------------------------------------------------

STDMETHODIMP PropertyBag::QueryInterface(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyBag)) {
        *out = static_cast<IPropertyBag*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}
STDMETHODIMP_(ULONG) PropertyBag::AddRef() { return InterlockedIncrement(&refs_); }
STDMETHODIMP_(ULONG) PropertyBag::Release() { return InterlockedDecrement(&refs_); }

STDMETHODIMP PropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
    if (!name || !value) return E_POINTER;
    auto it = values_.find(name);
    if (it == values_.end()) return E_INVALIDARG;
    VariantClear(value);
    value->vt = VT_BSTR;
    value->bstrVal = SysAllocStringLen(it->second.data(), static_cast<UINT>(it->second.size()));
    return value->bstrVal ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP PropertyBag::Write(LPCOLESTR name, VARIANT* value) {
    if (!name || !value) return E_POINTER;
    VARIANT text;
    VariantInit(&text);
    HRESULT hr = VariantChangeType(&text, value, 0, VT_BSTR);
    if (FAILED(hr)) return hr;
    values_[name].assign(text.bstrVal ? text.bstrVal : L"", SysStringLen(text.bstrVal));
    VariantClear(&text);
    return S_OK;
}

std::wstring PropertyBag::Get(const std::wstring& name) const {
    auto it = values_.find(name);
    return it == values_.end() ? std::wstring() : it->second;
}

bool PropertyBag::LoadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        values_[Widen(line.substr(0, eq))] = Widen(line.substr(eq + 1));
    }
    return true;
}

bool PropertyBag::SaveFile(const std::string& path) const {
    std::ofstream out(path, std::ios::binary);
    for (const auto& entry : values_) out << Narrow(entry.first) << '=' << Narrow(entry.second) << "\r\n";
    return static_cast<bool>(out);
}

// ---- the site -----------------------------------------------------------------------

class ControlHost::Site : public IOleClientSite,
                          public IOleInPlaceSite,
                          public PlainInPlaceFrame<>,
                          public IOleControlSite,
                          public IServiceProvider {
public:
    Site(HWND window, std::wstring pageUrl, IOleContainer* page, IUnknown* browser)
        : window_(window), pageUrl_(std::move(pageUrl)), page_(page), browser_(browser) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
            *out = static_cast<IOleClientSite*>(this);
        else if (IsEqualIID(iid, IID_IOleInPlaceSite) || IsEqualIID(iid, IID_IOleWindow))
            *out = static_cast<IOleInPlaceSite*>(this);
        else if (IsEqualIID(iid, IID_IOleInPlaceFrame) || IsEqualIID(iid, IID_IOleInPlaceUIWindow))
            *out = static_cast<IOleInPlaceFrame*>(this);
        else if (IsEqualIID(iid, IID_IOleControlSite))
            *out = static_cast<IOleControlSite*>(this);
        else if (IsEqualIID(iid, IID_IServiceProvider))
            *out = static_cast<IServiceProvider*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG left = InterlockedDecrement(&refs_);
        if (!left) delete this;
        return left;
    }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return S_OK; }
    STDMETHODIMP GetMoniker(DWORD, DWORD which, IMoniker** moniker) override {
        *moniker = nullptr;
        if (which != OLEWHICHMK_CONTAINER || pageUrl_.empty()) return E_FAIL;
        *moniker = new PageMoniker(pageUrl_);
        return S_OK;
    }
    STDMETHODIMP GetContainer(IOleContainer** container) override {
        *container = page_;
        if (!page_) return E_NOINTERFACE;
        page_->AddRef();
        return S_OK;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* window) override {
        *window = window_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
        *frame = this;
        AddRef();
        *doc = nullptr;
        SetRect(pos, 10, 10, 10 + 474, 10 + 159);
        GetClientRect(window_, clip);
        info->fMDIApp = FALSE;
        info->hwndFrame = window_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleControlSite
    STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
    STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
    STDMETHODIMP GetExtendedControl(IDispatch** out) override {
        *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
    STDMETHODIMP OnFocus(BOOL) override { return S_OK; }
    STDMETHODIMP ShowPropertyFrame() override { return E_NOTIMPL; }

    // IServiceProvider: the hosting browser, when the host was given one.
    STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** out) override {
        *out = nullptr;
        if (!browser_ || !IsEqualGUID(service, SID_SWebBrowserApp)) return E_NOINTERFACE;
        return browser_->QueryInterface(iid, out);
    }

private:
    virtual ~Site() = default;
    LONG refs_ = 1;
    HWND window_;
    std::wstring pageUrl_;
    IOleContainer* page_;  // the host's, outlives the site
    IUnknown* browser_;    // likewise
};

// ---- the host -----------------------------------------------------------------------

ControlHost::ControlHost() = default;
ControlHost::~ControlHost() { Destroy(); }

HRESULT ControlHost::Create(const wchar_t* classText, const wchar_t* pageUrl, IPropertyBag* bag,
                            IStream* stream, int x, int y) {
    Destroy();
    CLSID clsid;
    HRESULT hr = classText[0] == L'{' ? CLSIDFromString(classText, &clsid)
                                     : CLSIDFromProgID(classText, &clsid);
    if (FAILED(hr)) return hr;
    hr = factory_ ? factory_->CreateInstance(nullptr, IID_IUnknown,
                                             reinterpret_cast<void**>(control_.GetAddressOf()))
                  : CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                     reinterpret_cast<void**>(control_.GetAddressOf()));
    if (FAILED(hr)) return hr;
    control_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch_.GetAddressOf()));

    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kHostClass;
    RegisterClassA(&wc);
    window_ = CreateWindowExA(0, kHostClass, "Sablet host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                              x, y, 474 + 40, 159 + 60, nullptr, nullptr, wc.hInstance, nullptr);
    if (!window_) return HRESULT_FROM_WIN32(GetLastError());
    ShowWindow(window_, SW_SHOWNORMAL);
    site_ = new Site(window_, pageUrl ? pageUrl : L"", page_, hostBrowser_);

    ComPtr<IOleObject> ole;
    hr = control_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(ole.GetAddressOf()));
    if (FAILED(hr)) return hr;
    hr = ole->SetClientSite(site_);
    if (FAILED(hr)) return hr;
    if (bag) {
        ComPtr<IPersistPropertyBag> persist;
        hr = control_->QueryInterface(IID_IPersistPropertyBag,
                                      reinterpret_cast<void**>(persist.GetAddressOf()));
        if (SUCCEEDED(hr)) hr = persist->Load(bag, nullptr);
    } else {
        ComPtr<IPersistStreamInit> persist;
        hr = control_->QueryInterface(IID_IPersistStreamInit,
                                      reinterpret_cast<void**>(persist.GetAddressOf()));
        if (SUCCEEDED(hr)) hr = stream ? persist->Load(stream) : persist->InitNew();
    }
    if (FAILED(hr)) return hr;
    RECT pos = {10, 10, 10 + 474, 10 + 159};
    hr = ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_, 0, window_, &pos);
    UpdateWindow(window_);
    return hr;
}

void ControlHost::Destroy() {
    if (control_) {
        ComPtr<IOleInPlaceObject> inPlace;
        if (SUCCEEDED(control_->QueryInterface(IID_IOleInPlaceObject,
                                               reinterpret_cast<void**>(inPlace.GetAddressOf()))))
            inPlace->InPlaceDeactivate();
        ComPtr<IOleObject> ole;
        if (SUCCEEDED(control_->QueryInterface(IID_IOleObject,
                                               reinterpret_cast<void**>(ole.GetAddressOf())))) {
            ole->Close(OLECLOSE_NOSAVE);
            ole->SetClientSite(nullptr);
        }
    }
    dispatch_.Reset();
    control_.Reset();
    if (site_) {
        site_->Release();
        site_ = nullptr;
    }
    if (window_) {
        DestroyWindow(window_);
        window_ = nullptr;
    }
}

HWND ControlHost::ControlWindow() const {
    ComPtr<IOleWindow> window;
    HWND handle = nullptr;
    if (control_ && SUCCEEDED(control_->QueryInterface(
                        IID_IOleWindow, reinterpret_cast<void**>(window.GetAddressOf()))))
        window->GetWindow(&handle);
    return handle;
}

namespace {

HRESULT IdOf(IDispatch* dispatch, const wchar_t* name, DISPID* id) {
    if (!dispatch) return E_NOINTERFACE;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    return dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id);
}

}  // namespace

HRESULT ControlHost::Put(const wchar_t* name, const VARIANT& value) {
    DISPID id = 0;
    HRESULT hr = IdOf(dispatch_.Get(), name, &id);
    if (FAILED(hr)) return hr;
    VARIANT arg = value;  // Invoke does not change its arguments
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&arg, &named, 1, 1};
    return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                             nullptr, nullptr, nullptr);
}

HRESULT ControlHost::PutLong(const wchar_t* name, long value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return Put(name, v);
}

HRESULT ControlHost::PutText(const wchar_t* name, const wchar_t* text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = text ? SysAllocString(text) : nullptr;
    HRESULT hr = Put(name, v);
    VariantClear(&v);
    return hr;
}

HRESULT ControlHost::Get(const wchar_t* name, VARIANT* value, WORD flags) {
    VariantInit(value);
    DISPID id = 0;
    HRESULT hr = IdOf(dispatch_.Get(), name, &id);
    if (FAILED(hr)) return hr;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &none, value, nullptr,
                             nullptr);
}

std::wstring ControlHost::GetText(const wchar_t* name) {
    VARIANT v;
    HRESULT hr = Get(name, &v);
    if (SUCCEEDED(hr)) hr = VariantChangeType(&v, &v, 0, VT_BSTR);
    if (FAILED(hr)) {
        wchar_t text[32];
        swprintf(text, 32, L"<error 0x%08lX>", static_cast<unsigned long>(hr));
        return text;
    }
    std::wstring out(v.bstrVal ? v.bstrVal : L"", SysStringLen(v.bstrVal));
    VariantClear(&v);
    return out;
}

HRESULT ControlHost::SaveToBag(PropertyBag* bag) {
    ComPtr<IPersistPropertyBag> persist;
    HRESULT hr = control_ ? control_->QueryInterface(IID_IPersistPropertyBag,
                                                     reinterpret_cast<void**>(persist.GetAddressOf()))
                          : E_UNEXPECTED;
    return SUCCEEDED(hr) ? persist->Save(bag, TRUE, TRUE) : hr;
}

HRESULT ControlHost::SaveToStream(IStream** stream) {
    *stream = nullptr;
    ComPtr<IPersistStreamInit> persist;
    HRESULT hr = control_ ? control_->QueryInterface(IID_IPersistStreamInit,
                                                     reinterpret_cast<void**>(persist.GetAddressOf()))
                          : E_UNEXPECTED;
    if (FAILED(hr)) return hr;
    ComPtr<IStream> out;
    hr = CreateStreamOnHGlobal(nullptr, TRUE, out.GetAddressOf());
    if (SUCCEEDED(hr)) hr = persist->Save(out.Get(), TRUE);
    if (FAILED(hr)) return hr;
    LARGE_INTEGER start = {};
    out->Seek(start, STREAM_SEEK_SET, nullptr);
    *stream = out.Detach();
    return S_OK;
}

}  // namespace sablethost
