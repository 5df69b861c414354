#include "tests/control/host/BrowserStandIn.h"

#include <algorithm>

namespace host_test {

namespace {

// {8856F961-340A-11D0-A96B-00C04FD705A2}: the system's web browser object.
const CLSID kClsidWebBrowser = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

// The page window: the address the browser is at, on white.
LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT r;
        GetClientRect(window, &r);
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        wchar_t text[600] = L"";
        GetWindowTextW(window, text, 600);
        SetBkMode(dc, TRANSPARENT);
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        InflateRect(&r, -8, -6);
        DrawTextW(dc, text, -1, &r, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The unknown of the travel log's small objects: one interface, counted.
template <class Interface>
class Counted : public Interface {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(Interface))) {
            *out = static_cast<Interface*>(this);
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

protected:
    virtual ~Counted() = default;

private:
    LONG refs_ = 1;
};

class TravelEntry : public Counted<ITravelLogEntry> {
public:
    TravelEntry(int index, std::wstring url) : Index(index), url_(std::move(url)) {}
    const int Index;
    // Pages are titled by their address.
    STDMETHODIMP GetTitle(LPWSTR* title) override { return GetURL(title); }
    STDMETHODIMP GetURL(LPWSTR* url) override {
        size_t bytes = (url_.size() + 1) * sizeof(wchar_t);
        *url = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
        if (!*url) return E_OUTOFMEMORY;
        memcpy(*url, url_.c_str(), bytes);
        return S_OK;
    }

private:
    std::wstring url_;
};

class EntryList : public Counted<IEnumTravelLogEntry> {
public:
    explicit EntryList(std::vector<TravelEntry*> entries) : entries_(std::move(entries)) {}
    STDMETHODIMP Next(ULONG count, ITravelLogEntry** out, ULONG* fetched) override {
        ULONG n = 0;
        for (; n < count && next_ < entries_.size(); ++n, ++next_) {
            out[n] = entries_[next_];
            out[n]->AddRef();
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        next_ = std::min<size_t>(entries_.size(), next_ + count);
        return next_ < entries_.size() ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        next_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumTravelLogEntry**) override { return E_NOTIMPL; }

private:
    ~EntryList() override {
        for (TravelEntry* e : entries_) e->Release();
    }
    std::vector<TravelEntry*> entries_;
    size_t next_ = 0;
};

std::wstring TextOf(const VARIANT* v) {
    if (!v) return L"";
    VARIANT text;
    VariantInit(&text);
    if (FAILED(VariantChangeType(&text, const_cast<VARIANT*>(v), 0, VT_BSTR))) return L"";
    std::wstring out(text.bstrVal ? text.bstrVal : L"", SysStringLen(text.bstrVal));
    VariantClear(&text);
    return out;
}

}  // namespace

// ---- the browser ----------------------------------------------------------------------

BrowserStandIn::~BrowserStandIn() {
    if (page_) DestroyWindow(page_);
    if (site_) site_->Release();
}

STDMETHODIMP BrowserStandIn::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IWebBrowser) ||
        IsEqualIID(iid, IID_IWebBrowserApp) || IsEqualIID(iid, IID_IWebBrowser2))
        *out = static_cast<IWebBrowser2*>(this);
    else if (IsEqualIID(iid, IID_IOleObject))
        *out = static_cast<IOleObject*>(this);
    else if (IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistStorage))
        *out = static_cast<IPersistStorage*>(this);
    else if (IsEqualIID(iid, IID_IServiceProvider))
        *out = static_cast<IServiceProvider*>(this);
    else if (IsEqualIID(iid, __uuidof(ITravelLogStg)))
        *out = static_cast<ITravelLogStg*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) BrowserStandIn::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (!left) delete this;
    return left;
}

STDMETHODIMP BrowserStandIn::GetTypeInfoCount(UINT* count) {
    if (count) *count = 0;
    return S_OK;
}

HRESULT BrowserStandIn::NoObject(IDispatch** out) {
    if (out) *out = nullptr;
    return E_NOINTERFACE;
}

void BrowserStandIn::Go(const std::wstring& url) {
    // A new page drops the pages one could have gone forward to.
    pages_.resize(static_cast<size_t>(current_ + 1));
    pages_.push_back(url);
    current_ = static_cast<int>(pages_.size()) - 1;
    navigations_.push_back(url);
    ShowPage();
}

void BrowserStandIn::ShowPage() {
    if (!page_) return;
    SetWindowTextW(page_, (L"Stand-in browser at " + Location()).c_str());
    InvalidateRect(page_, nullptr, TRUE);
}

HRESULT BrowserStandIn::Travel(int offset) {
    int to = current_ + offset;
    if (current_ < 0 || to < 0 || to >= static_cast<int>(pages_.size())) return E_FAIL;
    current_ = to;
    navigations_.push_back(pages_[current_]);
    ShowPage();
    return S_OK;
}

STDMETHODIMP BrowserStandIn::Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
    Go(std::wstring(url ? url : L"", SysStringLen(url)));
    return S_OK;
}

STDMETHODIMP BrowserStandIn::Navigate2(VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
    std::wstring address = TextOf(url);
    if (address.empty()) return E_INVALIDARG;
    Go(address);
    return S_OK;
}

STDMETHODIMP BrowserStandIn::get_Width(LONG* value) {
    if (!value) return E_POINTER;
    *value = Width;
    return S_OK;
}

STDMETHODIMP BrowserStandIn::put_Width(LONG value) {
    Width = value;
    widthsSet_.push_back(value);
    if (page_) SetWindowPos(page_, nullptr, 0, 0, Width, Height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return S_OK;
}

STDMETHODIMP BrowserStandIn::get_Height(LONG* value) {
    if (!value) return E_POINTER;
    *value = Height;
    return S_OK;
}

STDMETHODIMP BrowserStandIn::put_Height(LONG value) {
    Height = value;
    if (page_) SetWindowPos(page_, nullptr, 0, 0, Width, Height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return S_OK;
}

STDMETHODIMP BrowserStandIn::get_LocationURL(BSTR* url) {
    if (!url) return E_POINTER;
    std::wstring at = Location();
    *url = SysAllocStringLen(at.data(), static_cast<UINT>(at.size()));
    return *url ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP BrowserStandIn::get_Busy(VARIANT_BOOL* busy) {
    if (!busy) return E_POINTER;
    *busy = VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP BrowserStandIn::get_ReadyState(READYSTATE* state) {
    if (!state) return E_POINTER;
    *state = READYSTATE_COMPLETE;
    return S_OK;
}

STDMETHODIMP BrowserStandIn::SetClientSite(IOleClientSite* site) {
    if (site) site->AddRef();
    if (site_) site_->Release();
    site_ = site;
    return S_OK;
}

STDMETHODIMP BrowserStandIn::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = site_;
    if (site_) site_->AddRef();
    return S_OK;
}

STDMETHODIMP BrowserStandIn::Close(DWORD) {
    if (page_) DestroyWindow(page_);
    page_ = nullptr;
    return S_OK;
}

STDMETHODIMP BrowserStandIn::DoVerb(LONG, LPMSG, IOleClientSite*, LONG, HWND parent, LPCRECT position) {
    if (page_ || !parent) return S_OK;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = PageProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = L"BrowserStandInPage";
    RegisterClassW(&wc);
    RECT r = position ? *position : RECT{0, 0, 0, 0};
    Width = r.right - r.left;
    Height = r.bottom - r.top;
    page_ = CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD | WS_VISIBLE, r.left, r.top, Width, Height, parent,
                            nullptr, wc.hInstance, nullptr);
    ShowPage();
    return page_ ? S_OK : E_FAIL;
}

STDMETHODIMP BrowserStandIn::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = 0;
    return S_OK;
}

STDMETHODIMP BrowserStandIn::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = kClsidWebBrowser;
    return S_OK;
}

STDMETHODIMP BrowserStandIn::QueryService(REFGUID service, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualGUID(service, __uuidof(ITravelLogStg))) return E_NOINTERFACE;
    return QueryInterface(iid, out);
}

// The log's indices for `flags`, in the order a travel log lists them:
// the current page, then back pages and forward pages, nearest first.
std::vector<int> BrowserStandIn::EntriesFor(TLENUMF flags) const {
    std::vector<int> out;
    if (current_ < 0) return out;
    if (flags & TLEF_RELATIVE_INCLUDE_CURRENT) out.push_back(current_);
    if (flags & TLEF_RELATIVE_BACK)
        for (int i = current_ - 1; i >= 0; --i) out.push_back(i);
    if (flags & TLEF_RELATIVE_FORE)
        for (int i = current_ + 1; i < static_cast<int>(pages_.size()); ++i) out.push_back(i);
    return out;
}

STDMETHODIMP BrowserStandIn::TravelTo(ITravelLogEntry* entry) {
    auto* ours = dynamic_cast<TravelEntry*>(entry);
    if (!ours || ours->Index >= static_cast<int>(pages_.size())) return E_INVALIDARG;
    return Travel(ours->Index - current_);
}

STDMETHODIMP BrowserStandIn::EnumEntries(TLENUMF flags, IEnumTravelLogEntry** entries) {
    if (!entries) return E_POINTER;
    std::vector<TravelEntry*> list;
    for (int i : EntriesFor(flags)) list.push_back(new TravelEntry(i, pages_[i]));
    *entries = new EntryList(std::move(list));
    return S_OK;
}

STDMETHODIMP BrowserStandIn::GetCount(TLENUMF flags, DWORD* count) {
    if (!count) return E_POINTER;
    *count = static_cast<DWORD>(EntriesFor(flags).size());
    return S_OK;
}

STDMETHODIMP BrowserStandIn::GetRelativeEntry(int offset, ITravelLogEntry** entry) {
    if (!entry) return E_POINTER;
    *entry = nullptr;
    int at = current_ + offset;
    if (current_ < 0 || at < 0 || at >= static_cast<int>(pages_.size())) return E_FAIL;
    *entry = new TravelEntry(at, pages_[at]);
    return S_OK;
}

// ---- its class object -----------------------------------------------------------------

BrowserClassStandIn::BrowserClassStandIn() {
    if (FAILED(CoRegisterClassObject(kClsidWebBrowser, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_)))
        cookie_ = 0;
}

BrowserClassStandIn::~BrowserClassStandIn() {
    if (cookie_) CoRevokeClassObject(cookie_);
    for (BrowserStandIn* b : made_) b->Release();
}

STDMETHODIMP BrowserClassStandIn::QueryInterface(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *out = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP BrowserClassStandIn::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* browser = new BrowserStandIn;
    HRESULT hr = browser->QueryInterface(iid, out);
    if (SUCCEEDED(hr))
        made_.push_back(browser);  // keeps the creation reference
    else
        browser->Release();
    return hr;
}

}  // namespace host_test
