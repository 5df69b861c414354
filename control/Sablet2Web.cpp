// The control's web side: the service's advertisement and host information
// (asked on a worker, applied here when it is ready), the upload of the last
// recording with the control's dialog, the embed tag written into the page,
// and the embedded browser window.
#include "control/Sablet2.h"

#include <exdisp.h>
#include <mshtml.h>

#include "control/BrowserFrame.h"
#include "control/PageDocument.h"
#include "control/SabletUploadLayout.h"
#include "filters/base/Module.h"
#include "framework/SafeString.h"
#include "sharing/ReplyText.h"
#include "sharing/UploadForm.h"

using sharing::CopyBounded;

namespace {

// Forwards the browser's events to the control while it is there; the
// control clears `owner` before it goes.
class BrowserEventSink : public IDispatch {
public:
    explicit BrowserEventSink(IDispatch* owner) : owner_(owner) {}
    void Disconnect() { owner_ = nullptr; }
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, DIID_DWebBrowserEvents2)) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excep, UINT* argError) override {
        if (!owner_) return S_OK;
        HRESULT hr = owner_->Invoke(id, iid, lcid, flags, params, result, excep, argError);
        // Events the control does not act on are no error to the browser.
        return hr == DISP_E_MEMBERNOTFOUND ? S_OK : hr;
    }

private:
    virtual ~BrowserEventSink() = default;
    IDispatch* owner_;
    LONG refs_ = 1;
};

}  // namespace

void CSablet2::AdviseBrowserEvents() {
    if (!BrowserWindow || BrowserEvents) return;
    ComPtr<IWebBrowser2> web;
    if (!BrowserGetWebBrowser(BrowserWindow, web.GetAddressOf())) return;
    ComPtr<IConnectionPointContainer> points;
    ComPtr<IConnectionPoint> point;
    if (FAILED(web->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(points.GetAddressOf()))) ||
        FAILED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, point.GetAddressOf())) || !point)
        return;
    auto* sink = new BrowserEventSink(static_cast<ISablet2*>(this));
    if (FAILED(point->Advise(sink, &BrowserEventsCookie))) {
        sink->Release();
        BrowserEventsCookie = 0;
        return;
    }
    BrowserEvents = sink;
}

void CSablet2::UnadviseBrowserEvents() {
    if (!BrowserEvents) return;
    static_cast<BrowserEventSink*>(BrowserEvents)->Disconnect();
    ComPtr<IWebBrowser2> web;
    ComPtr<IConnectionPointContainer> points;
    ComPtr<IConnectionPoint> point;
    if (BrowserWindow && BrowserGetWebBrowser(BrowserWindow, web.GetAddressOf()) &&
        SUCCEEDED(web->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(points.GetAddressOf()))) &&
        SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, point.GetAddressOf())) && point)
        point->Unadvise(BrowserEventsCookie);
    BrowserEvents->Release();
    BrowserEvents = nullptr;
    BrowserEventsCookie = 0;
}

HRESULT CSablet2::OnBrowserEvent(DISPID id, DISPPARAMS* params) {
    if (!params) return E_INVALIDARG;
    UINT argError = 0;
    switch (id) {
    case 102: {  // StatusTextChange: shown by the hosting browser
        VARIANT text;
        VariantInit(&text);
        HRESULT hr = DispGetParam(params, 0, VT_BSTR, &text, &argError);
        if (FAILED(hr)) return hr;
        if (HostBrowser) HostBrowser->put_StatusText(text.bstrVal);
        VariantClear(&text);
        return S_OK;
    }
    case 105: {  // CommandStateChange: back and forward follow the history
        VARIANT command, enable;
        VariantInit(&command);
        VariantInit(&enable);
        HRESULT hr = DispGetParam(params, 0, VT_I4, &command, &argError);
        if (SUCCEEDED(hr)) hr = DispGetParam(params, 1, VT_BOOL, &enable, &argError);
        if (FAILED(hr)) return hr;
        int button = command.lVal == CSC_NAVIGATEFORWARD ? IDC_FORWARD
                     : command.lVal == CSC_NAVIGATEBACK  ? IDC_BACKWARD
                                                         : 0;
        if (button) ::EnableWindow(::GetDlgItem(m_hWnd, button), enable.boolVal != VARIANT_FALSE);
        return S_OK;
    }
    case 253:  // OnQuit
        UnadviseBrowserEvents();
        return S_OK;
    case 259: {  // DocumentComplete
        VARIANT frame;
        VariantInit(&frame);
        HRESULT hr = DispGetParam(params, 0, VT_DISPATCH, &frame, &argError);
        if (FAILED(hr)) return hr;
        ComPtr<IWebBrowser2> web;
        if (BrowserWindow && BrowserGetWebBrowser(BrowserWindow, web.GetAddressOf())) {
            // Only the top page's links, not those of its frames.
            ComPtr<IUnknown> top, loaded;
            web->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(top.GetAddressOf()));
            if (frame.pdispVal)
                frame.pdispVal->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(loaded.GetAddressOf()));
            if (top && top.Get() == loaded.Get()) {
                ComPtr<IDispatch> document;
                ComPtr<IHTMLDocument2> html;
                if (SUCCEEDED(web->get_Document(document.GetAddressOf())) && document &&
                    SUCCEEDED(document->QueryInterface(IID_IHTMLDocument2,
                                                       reinterpret_cast<void**>(html.GetAddressOf()))))
                    RewriteAnchors(html.Get(), NewWindow != 0);
                BSTR location = nullptr;
                if (SUCCEEDED(web->get_LocationURL(&location)) && location) {
                    char text[1024];
                    if (WideCharToMultiByte(CP_ACP, 0, location, -1, text, sizeof text, nullptr, nullptr) <= 0)
                        text[0] = '\0';
                    text[sizeof text - 1] = '\0';
                    ::SetDlgItemTextA(m_hWnd, IDC_ADDRESS, text);
                }
                SysFreeString(location);
            }
        }
        VariantClear(&frame);
        return S_OK;
    }
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

void CSablet2::StartHostInfo() {
    if (HostRequest || !m_hWnd) return;
    // The worker gets copies and a request of its own, never the control:
    // the page may close while the service is still silent.
    auto* request = new sablet::HostInfoRequest(AdChannelID, PubID, PageHost, AdInfo, HostInfo, m_hWnd,
                                                sablet::HostInfoReadyMessage);
    request->AddRef();  // the worker's
    HostThread = filterbase::StartModuleThread(sablet::HostInfoThread, request);
    if (!HostThread) {
        request->Release();
        request->Release();
        return;
    }
    HostRequest = request;
}

LRESULT CSablet2::OnHostInfoReady(WPARAM, LPARAM lParam) {
    sablet::HostInfoRequest* request = HostRequest;
    if (!request || reinterpret_cast<LPARAM>(request) != lParam || !request->Done()) return 0;
    AdInfo = request->Ad;
    HostInfo = request->Host;
    bool pictureShown = false;
    if (request->PictureSaved) {
        AdPicture.UnLoad();
        pictureShown = AdPicture.LoadFromFile(request->PicturePath) != 0;
        if (pictureShown) AdPicture.Draw();
    }
    HostRequest = nullptr;
    request->Release();

    // The service's page replaces the picture in the browser area; only web
    // addresses are shown there. The resizable layout has no picture area.
    const char* page = Resize ? AdInfo.ResizedURL : AdInfo.BrowserURL;
    bool showPage = BrowserWindow && strcmp(page, "NULL") != 0 && IsOpenableAddress(page);
    if (showPage) BrowserNavigate(BrowserWindow, page);
    if (showPage || Resize) {
        AdPicture.Stop();
        AdPicture.UnLoad();
        if (HWND area = AdPicture.Window()) {
            ::ShowWindow(area, SW_HIDE);
            ::EnableWindow(area, FALSE);
        }
    } else if (pictureShown) {
        if (HWND area = AdPicture.Window()) ::ShowWindow(area, SW_SHOW);
    }
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

void CSablet2::OnUploadMenuCommand() {
    // A recording under way is not a file yet; only a finished one goes.
    if (TransportState == 2 || RecordingBase[0] == '\0' || LastExtension[0] == '\0') return;
    char path[MAX_PATH + 32];
    if (!SafeFormat(path, "%s%s", RecordingBase, LastExtension)) return;

    CUploadDlg dialog(kSabletUploadLayout);
    dialog.Owner = m_hWnd;
    dialog.SetFilePath(path);
    // The control's limits are not the dialog's: every field is cut to fit.
    CopyBounded(dialog.UploadSite, HostInfo.UploadSite);
    CopyBounded(dialog.UploadScript, HostInfo.UploadScript);
    CopyBounded(dialog.ValidateURL, HostInfo.ValidateURL);
    CopyBounded(dialog.TessalyURL, HostInfo.TessalyURL);
    CopyBounded(dialog.DefaultTitle, HostInfo.DefaultTitle);
    CopyBounded(dialog.DefaultDescription, HostInfo.DefaultDescription);
    CopyBounded(dialog.DefaultTags, HostInfo.DefaultTags);
    CopyBounded(dialog.CategoryList, HostInfo.CategoryList);
    CopyBounded(dialog.DefaultIsPublic, HostInfo.DefaultIsPublic);
    CopyBounded(dialog.DefaultEmailContent, HostInfo.DefaultEmailContent);
    CopyBounded(dialog.PostUploadURL, HostInfo.PostUploadURL);
    CopyBounded(dialog.SiteName, HostInfo.SiteName);
    CopyBounded(dialog.EmbedTag, EmbedTag);
    CopyBounded(dialog.Option, FileName);
    dialog.SetPostInserter(
        [](void* owner, const char* text) { static_cast<CSablet2*>(owner)->InsertEmbedTag(text); }, this);
    dialog.DoModal();
}

void CSablet2::InsertEmbedTag(const char* text) {
    ComPtr<IHTMLDocument2> document;
    if (Resize && BrowserWindow) {
        // The resizable layout's page is the one in the control's browser.
        ComPtr<IWebBrowser2> web;
        ComPtr<IDispatch> loaded;
        if (BrowserGetWebBrowser(BrowserWindow, web.GetAddressOf()) &&
            SUCCEEDED(web->get_Document(loaded.GetAddressOf())) && loaded)
            loaded->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(document.GetAddressOf()));
    } else if (site_) {
        ComPtr<IOleContainer> container;
        if (SUCCEEDED(site_->GetContainer(container.GetAddressOf())) && container)
            container->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(document.GetAddressOf()));
    }
    if (document) AppendToTextAreas(document.Get(), text);
}

void CSablet2::CreateEmbeddedBrowser() {
    if (BrowserWindow) return;
    // Hidden until the service names a page; without it the picture stays.
    BrowserWindow = CreateBrowserWindow(filterbase::ThisModule(), m_hWnd, 2, 2, 468, 60);
    AdviseBrowserEvents();
    AttachTravelLog();
    // The resizable layout gives it its area at once, not at the next resize.
    if (Resize && BrowserWindow) OnSize(0, 0, 0);
}

void CSablet2::ReleaseWeb() {
    if (HostRequest) {
        // The worker may still run: it ends its exchange at once, keeps its
        // own reference until then and posts nothing more.
        HostRequest->Cancel();
        HostRequest->Detach();
        HostRequest->Release();
        HostRequest = nullptr;
    }
    if (HostThread) {
        CloseHandle(HostThread);
        HostThread = nullptr;
    }
    // Nothing of ours may hold the browser once its window and site go.
    UnadviseBrowserEvents();
    TravelLog.Clear();
    if (BrowserWindow) {
        ::DestroyWindow(BrowserWindow);
        BrowserWindow = nullptr;
    }
}
