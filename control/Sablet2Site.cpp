// What CSablet2 learns from its container: the page's address (the display
// name of the container's moniker) and its host, and the hosting browser,
// whose bars the page's properties switch.
#include "control/Sablet2.h"

#include <shlguid.h>

#include "control/PropertyRules.h"

void CSablet2::TakePageAddress(IOleClientSite* site) {
    ComPtr<IMoniker> moniker;
    if (FAILED(site->GetMoniker(OLEGETMONIKER_TEMPFORUSER, OLEWHICHMK_CONTAINER,
                                moniker.GetAddressOf())) ||
        !moniker)
        return;
    ComPtr<IBindCtx> context;
    if (FAILED(CreateBindCtx(0, context.GetAddressOf()))) return;
    LPOLESTR name = nullptr;
    if (FAILED(moniker->GetDisplayName(context.Get(), nullptr, &name)) || !name) return;
    sablet::CopyWideToAnsi(PageUrl, sizeof PageUrl, name, sizeof PageUrl);
    CoTaskMemFree(name);
    sablet::PageHostFromUrl(PageUrl, PageHost, sizeof PageHost);
}

STDMETHODIMP CSablet2::SetClientSite(IOleClientSite* site) {
    if (site) {
        TakePageAddress(site);
        site->AddRef();
    }
    site_.Reset();
    *site_.GetAddressOf() = site;
    if (!site) HostBrowser.Reset();
    return S_OK;
}

namespace {

// The browser the page is shown in, asked of the site and then of its
// container; null when neither knows one.
ComPtr<IWebBrowser2> QueryHostBrowser(IOleClientSite* site) {
    ComPtr<IWebBrowser2> browser;
    if (!site) return browser;
    ComPtr<IServiceProvider> services;
    if (FAILED(site->QueryInterface(IID_IServiceProvider,
                                    reinterpret_cast<void**>(services.GetAddressOf())))) {
        ComPtr<IOleContainer> container;
        if (FAILED(site->GetContainer(container.GetAddressOf())) || !container ||
            FAILED(container->QueryInterface(IID_IServiceProvider,
                                             reinterpret_cast<void**>(services.GetAddressOf()))))
            return browser;
    }
    if (FAILED(services->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2,
                                      reinterpret_cast<void**>(browser.GetAddressOf()))))
        browser.Reset();
    return browser;
}

}  // namespace

void CSablet2::GetHostBrowser() { HostBrowser = QueryHostBrowser(site_.Get()); }

void CSablet2::ApplyHostBrowserBars() {
    ComPtr<IWebBrowser2> browser = QueryHostBrowser(site_.Get());
    if (!browser) return;
    browser->put_AddressBar(AddressBar ? VARIANT_TRUE : VARIANT_FALSE);
    browser->put_MenuBar(MenuBar ? VARIANT_TRUE : VARIANT_FALSE);
    browser->put_ToolBar(ToolBar ? VARIANT_TRUE : VARIANT_FALSE);
}

void CSablet2::NudgeHostBrowser() {
    if (!HostBrowser) return;
    long width = 0;
    if (FAILED(HostBrowser->get_Width(&width))) return;
    // One pixel narrower and back: the page lays itself out again around
    // the panel, and the user's window keeps its width.
    HostBrowser->put_Width(width - 1);
    HostBrowser->put_Width(width);
}
