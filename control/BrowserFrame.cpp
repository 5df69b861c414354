#include "control/BrowserFrame.h"

#include <ole2.h>
#include <mshtmhst.h>

#include <cstddef>
#include <cstring>
#include <new>

#include "control/InPlaceFrame.h"
#include "filters/base/Module.h"
#include "framework/ComPtr.h"
#include "framework/RegKey.h"

namespace {

const char kBrowserClass[] = "Browser Example";

// {8856F961-340A-11D0-A96B-00C04FD705A2}
const CLSID kClsidWebBrowser = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

struct BrowserSiteBlock;
HRESULT SiteQueryInterface(BrowserSiteBlock* b, REFIID iid, void** out);
HWND WindowOf(const BrowserSiteBlock* b);

// One face of the site. Each knows its block; all answer for one object
// and own nothing (AddRef and Release count nothing: the block lives as
// long as the window).
template <class Interface>
class SiteFace : public Interface {
public:
    BrowserSiteBlock* block = nullptr;
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return SiteQueryInterface(block, iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
};

// The faces that stand for a window: the browser's own.
template <class Interface>
class WindowFace : public SiteFace<Interface> {
public:
    STDMETHODIMP GetWindow(HWND* out) override {
        if (!out) return E_POINTER;
        *out = WindowOf(this->block);
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
};

class ClientSite : public SiteFace<IOleClientSite> {
public:
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** out) override {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
};

using InPlaceFrame = PlainInPlaceFrame<WindowFace<IOleInPlaceFrame>>;

class InPlaceSite : public WindowFace<IOleInPlaceSite> {
public:
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT position,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT rect) override;
};

class UiHandler : public SiteFace<IDocHostUIHandler> {
public:
    // The browser shows its own context menu.
    STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_FALSE; }
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override {
        return S_OK;
    }
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override {
        if (key) *key = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP GetExternal(IDispatch** out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }
};

// One per browser window, kept in the window's user data.
struct BrowserSiteBlock {
    IOleObject* browser = nullptr;  // the block's one reference
    ClientSite clientSite;
    InPlaceSite inPlaceSite;
    InPlaceFrame inPlaceFrame;
    HWND window = nullptr;
    UiHandler uiHandler;
};

// Every face answers the same: the client site for IUnknown too.
HRESULT SiteQueryInterface(BrowserSiteBlock* b, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
        *out = static_cast<IOleClientSite*>(&b->clientSite);
    else if (IsEqualIID(iid, IID_IOleInPlaceSite))
        *out = static_cast<IOleInPlaceSite*>(&b->inPlaceSite);
    else if (IsEqualIID(iid, IID_IDocHostUIHandler))
        *out = static_cast<IDocHostUIHandler*>(&b->uiHandler);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    return S_OK;
}

HWND WindowOf(const BrowserSiteBlock* b) { return b->window; }

STDMETHODIMP InPlaceSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT position,
                                           LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    if (frame) *frame = &block->inPlaceFrame;
    if (doc) *doc = nullptr;
    // The object places itself from these: the whole window, never garbage.
    RECT client = {};
    GetClientRect(block->window, &client);
    if (position) *position = client;
    if (clip) *clip = client;
    if (info) {
        info->fMDIApp = FALSE;
        info->hwndFrame = block->window;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}

STDMETHODIMP InPlaceSite::OnPosRectChange(LPCRECT rect) {
    if (!rect || !block->browser) return S_OK;
    ComPtr<IOleInPlaceObject> inPlace;
    if (SUCCEEDED(block->browser->QueryInterface(IID_IOleInPlaceObject,
                                                 reinterpret_cast<void**>(inPlace.GetAddressOf()))))
        inPlace->SetObjectRects(rect, rect);
    return S_OK;
}

STDMETHODIMP UiHandler::GetHostInfo(DOCHOSTUIINFO* info) {
    if (!info) return E_POINTER;
    // Older callers pass a shorter record: write only what it holds.
    if (info->cbSize >= offsetof(DOCHOSTUIINFO, dwFlags) + sizeof info->dwFlags)
        info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER;
    if (info->cbSize >= offsetof(DOCHOSTUIINFO, dwDoubleClick) + sizeof info->dwDoubleClick)
        info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

// The storage the browser is created with: it only ever sets its class.
class StorageStub : public IStorage {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IStorage)) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateStream(LPCOLESTR, DWORD, DWORD, DWORD, IStream**) override { return E_NOTIMPL; }
    STDMETHODIMP OpenStream(LPCOLESTR, void*, DWORD, DWORD, IStream**) override { return E_NOTIMPL; }
    STDMETHODIMP CreateStorage(LPCOLESTR, DWORD, DWORD, DWORD, IStorage**) override { return E_NOTIMPL; }
    STDMETHODIMP OpenStorage(LPCOLESTR, IStorage*, DWORD, SNB, DWORD, IStorage**) override { return E_NOTIMPL; }
    STDMETHODIMP CopyTo(DWORD, const IID*, SNB, IStorage*) override { return E_NOTIMPL; }
    STDMETHODIMP MoveElementTo(LPCOLESTR, IStorage*, LPCOLESTR, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP Commit(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP Revert() override { return E_NOTIMPL; }
    STDMETHODIMP EnumElements(DWORD, void*, DWORD, IEnumSTATSTG**) override { return E_NOTIMPL; }
    STDMETHODIMP DestroyElement(LPCOLESTR) override { return E_NOTIMPL; }
    STDMETHODIMP RenameElement(LPCOLESTR, LPCOLESTR) override { return E_NOTIMPL; }
    STDMETHODIMP SetElementTimes(LPCOLESTR, const FILETIME*, const FILETIME*, const FILETIME*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP SetClass(REFCLSID) override { return S_OK; }
    STDMETHODIMP SetStateBits(DWORD, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
};

StorageStub g_storageStub;

BrowserSiteBlock* BlockOf(HWND window) {
    return reinterpret_cast<BrowserSiteBlock*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CALLBACK BrowserWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        return BrowserEmbed(window) ? -1 : 0;
    case WM_SIZE:
        BrowserResize(window, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_DESTROY:
        BrowserUnembed(window);
        return 0;
    default:
        return DefWindowProcA(window, msg, wParam, lParam);
    }
}

}  // namespace

HWND CreateBrowserWindow(HINSTANCE instance, HWND parent, int x, int y, int width, int height) {
    // Registered for this module (a second control finds it there already)
    // and unregistered when the module ends.
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BrowserWindowProc;
    wc.lpszClassName = kBrowserClass;
    if (!filterbase::RegisterModuleClass(wc)) return nullptr;
    return CreateWindowExA(WS_EX_LEFT, kBrowserClass, "Microsoft's web site", WS_CHILD, x, y, width, height, parent,
                           nullptr, instance, nullptr);
}

long BrowserEmbed(HWND window) {
    auto* block = new (std::nothrow) BrowserSiteBlock;
    if (!block) return -1;
    block->clientSite.block = block->inPlaceSite.block = block->inPlaceFrame.block = block->uiHandler.block = block;
    block->window = window;

    IOleObject* browser = nullptr;
    if (FAILED(OleCreate(kClsidWebBrowser, IID_IOleObject, OLERENDER_DRAW, nullptr, &block->clientSite,
                         &g_storageStub, reinterpret_cast<void**>(&browser))) ||
        !browser) {
        delete block;
        return -2;
    }
    block->browser = browser;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(block));
    browser->SetHostNames(L"My Host Name", nullptr);

    RECT client = {};
    GetClientRect(window, &client);
    ComPtr<IWebBrowser2> web;
    bool ok = SUCCEEDED(OleSetContainedObject(browser, TRUE)) &&
              SUCCEEDED(browser->DoVerb(OLEIVERB_SHOW, nullptr, &block->clientSite, -1, window, &client)) &&
              SUCCEEDED(browser->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(web.GetAddressOf())));
    if (ok) {
        web->put_Left(0);
        web->put_Top(0);
        web->put_Width(client.right);
        web->put_Height(client.bottom);
        return 0;
    }
    BrowserUnembed(window);
    return -3;
}

void BrowserUnembed(HWND window) {
    BrowserSiteBlock* block = BlockOf(window);
    if (!block) return;
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    if (IOleObject* browser = block->browser) {
        browser->Close(OLECLOSE_NOSAVE);
        // Whoever still holds the browser (the control, its travel log)
        // must not reach this site once it is freed.
        browser->SetClientSite(nullptr);
        browser->Release();
    }
    delete block;
}

long BrowserGetWebBrowser(HWND window, IWebBrowser2** web) {
    if (!web) return 0;
    *web = nullptr;
    BrowserSiteBlock* block = BlockOf(window);
    if (!block || !block->browser) return 0;
    return SUCCEEDED(block->browser->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(web))) && *web ? 1
                                                                                                               : 0;
}

long BrowserShowUrl(HWND window, const char* address) {
    ComPtr<IWebBrowser2> web;
    if (!BrowserGetWebBrowser(window, web.GetAddressOf())) return -5;
    const char* text = address ? address : "";
    int wide = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (wide <= 0) return -6;
    BSTR url = SysAllocStringLen(nullptr, static_cast<UINT>(wide - 1));
    if (!url) return -6;
    MultiByteToWideChar(CP_ACP, 0, text, -1, url, wide);
    VARIANT target;
    VariantInit(&target);
    target.vt = VT_BSTR;
    target.bstrVal = url;
    VARIANT empty;
    VariantInit(&empty);
    web->Navigate2(&target, &empty, &empty, &empty, &empty);
    VariantClear(&target);
    web->put_AddressBar(VARIANT_TRUE);
    return 0;
}

void BrowserResize(HWND window, DWORD width, DWORD height) {
    ComPtr<IWebBrowser2> web;
    if (!BrowserGetWebBrowser(window, web.GetAddressOf())) return;
    web->put_Width(static_cast<long>(width));
    web->put_Height(static_cast<long>(height));
}

long BrowserNavigate(HWND window, const char* address) {
    long result = BrowserShowUrl(window, address);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return result;
}

std::vector<std::string> ReadTypedUrls() {
    std::vector<std::string> urls;
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Internet Explorer\\TypedURLs", KEY_READ) !=
        ERROR_SUCCESS)
        return urls;
    for (DWORD index = 0;; ++index) {
        char name[258];
        BYTE data[258];
        // Both sizes are in and out: a fresh pair for every value.
        DWORD nameSize = sizeof name;
        DWORD dataSize = sizeof data - 1;
        DWORD type = 0;
        LONG result = RegEnumValueA(key.Get(), index, name, &nameSize, nullptr, &type, data, &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) break;
        // One address too long for the box does not end the list.
        if (result == ERROR_MORE_DATA) continue;
        if (result != ERROR_SUCCESS) break;
        if (type != REG_SZ && type != REG_EXPAND_SZ) continue;
        // Registry texts need not carry their NUL: end at the returned length.
        size_t length = dataSize;
        while (length > 0 && data[length - 1] == '\0') --length;
        urls.emplace_back(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), length));
    }
    return urls;
}
