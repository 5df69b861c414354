// The control's web side: the service's advertisement and host information
// (asked on a worker, applied here when it is ready), the upload of the last
// recording with the control's dialog, the embed tag written into the page,
// and the embedded browser window.
#include "control/Sablet2.h"

#include <mshtml.h>

#include "control/BrowserFrame.h"
#include "control/PageDocument.h"
#include "control/SabletUploadLayout.h"
#include "filters/base/Module.h"
#include "framework/SafeString.h"
#include "sharing/ReplyText.h"
#include "sharing/UploadForm.h"

using sharing::CopyBounded;

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
    // addresses are shown there.
    const char* page = Resize ? AdInfo.ResizedURL : AdInfo.BrowserURL;
    if (BrowserWindow && strcmp(page, "NULL") != 0 && IsOpenableAddress(page)) {
        BrowserNavigate(BrowserWindow, page);
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
}

void CSablet2::ReleaseWeb() {
    if (HostRequest) {
        // The worker may still run: it keeps its own reference and posts
        // nothing more.
        HostRequest->Detach();
        HostRequest->Release();
        HostRequest = nullptr;
    }
    if (HostThread) {
        CloseHandle(HostThread);
        HostThread = nullptr;
    }
    // Nothing of ours may hold the browser once its window and site go.
    TravelLog.Clear();
    if (BrowserWindow) {
        ::DestroyWindow(BrowserWindow);
        BrowserWindow = nullptr;
    }
}
