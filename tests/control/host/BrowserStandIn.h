// A browser of this test process in place of the system's web browser
// object: Wine's renders nothing and refuses its travel log, which the
// control's History menu is built from. The stand-in is an embeddable
// object (what OleCreate and in-place activation ask of it), a web browser
// that notes every navigation and size it is given and shows the address
// it is at, and the travel log over those navigations. The same class
// stands in for the browser that hosts the page (SabletHost's
// SetHostBrowser), where only its calls are looked at.
#pragma once

#include <windows.h>
#include <exdisp.h>
#include <ocidl.h>
#include <tlogstg.h>

#include <string>
#include <vector>

namespace host_test {

class BrowserStandIn : public IWebBrowser2,
                       public IOleObject,
                       public IPersistStorage,
                       public IServiceProvider,
                       public ITravelLogStg {
public:
    BrowserStandIn() = default;

    // What the tests read.
    const std::vector<std::wstring>& Navigations() const { return navigations_; }
    std::wstring Location() const { return current_ >= 0 ? pages_[current_] : std::wstring(); }
    const std::vector<long>& WidthsSet() const { return widthsSet_; }
    void ClearWidths() { widthsSet_.clear(); }
    long Width = 0, Height = 0;
    // The window showing the page (null until the container shows it).
    HWND PageWindow() const { return page_; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch (no type information: the control calls the vtable)
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IWebBrowser
    STDMETHODIMP GoBack() override { return Travel(-1); }
    STDMETHODIMP GoForward() override { return Travel(1); }
    STDMETHODIMP GoHome() override { return E_NOTIMPL; }
    STDMETHODIMP GoSearch() override { return E_NOTIMPL; }
    STDMETHODIMP Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override;
    STDMETHODIMP Refresh() override { return S_OK; }
    STDMETHODIMP Refresh2(VARIANT*) override { return S_OK; }
    STDMETHODIMP Stop() override { return S_OK; }
    STDMETHODIMP get_Application(IDispatch** out) override { return NoObject(out); }
    STDMETHODIMP get_Parent(IDispatch** out) override { return NoObject(out); }
    STDMETHODIMP get_Container(IDispatch** out) override { return NoObject(out); }
    // No HTML document: the control then leaves the page's links alone.
    STDMETHODIMP get_Document(IDispatch** out) override { return NoObject(out); }
    STDMETHODIMP get_TopLevelContainer(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Type(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Left(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Left(LONG) override { return S_OK; }
    STDMETHODIMP get_Top(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Top(LONG) override { return S_OK; }
    STDMETHODIMP get_Width(LONG* value) override;
    STDMETHODIMP put_Width(LONG value) override;
    STDMETHODIMP get_Height(LONG* value) override;
    STDMETHODIMP put_Height(LONG value) override;
    STDMETHODIMP get_LocationName(BSTR* name) override { return get_LocationURL(name); }
    STDMETHODIMP get_LocationURL(BSTR* url) override;
    STDMETHODIMP get_Busy(VARIANT_BOOL* busy) override;

    // IWebBrowserApp: the bars and the status text are taken and forgotten.
    STDMETHODIMP Quit() override { return E_NOTIMPL; }
    STDMETHODIMP ClientToWindow(int*, int*) override { return E_NOTIMPL; }
    STDMETHODIMP PutProperty(BSTR, VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP GetProperty(BSTR, VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Name(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_HWND(SHANDLE_PTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_FullName(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Path(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Visible(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Visible(VARIANT_BOOL) override { return S_OK; }
    STDMETHODIMP get_StatusBar(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_StatusBar(VARIANT_BOOL) override { return S_OK; }
    STDMETHODIMP get_StatusText(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP put_StatusText(BSTR) override { return S_OK; }
    STDMETHODIMP get_ToolBar(int*) override { return E_NOTIMPL; }
    STDMETHODIMP put_ToolBar(int) override { return S_OK; }
    STDMETHODIMP get_MenuBar(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_MenuBar(VARIANT_BOOL) override { return S_OK; }
    STDMETHODIMP get_FullScreen(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_FullScreen(VARIANT_BOOL) override { return S_OK; }

    // IWebBrowser2
    STDMETHODIMP Navigate2(VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override;
    STDMETHODIMP QueryStatusWB(OLECMDID, OLECMDF*) override { return E_NOTIMPL; }
    STDMETHODIMP ExecWB(OLECMDID, OLECMDEXECOPT, VARIANT*, VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP ShowBrowserBar(VARIANT*, VARIANT*, VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP get_ReadyState(READYSTATE* state) override;
    STDMETHODIMP get_Offline(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Offline(VARIANT_BOOL) override { return S_OK; }
    STDMETHODIMP get_Silent(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Silent(VARIANT_BOOL) override { return S_OK; }
    STDMETHODIMP get_RegisterAsBrowser(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_RegisterAsBrowser(VARIANT_BOOL) override { return S_OK; }
    STDMETHODIMP get_RegisterAsDropTarget(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_RegisterAsDropTarget(VARIANT_BOOL) override { return S_OK; }
    STDMETHODIMP get_TheaterMode(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_TheaterMode(VARIANT_BOOL) override { return S_OK; }
    STDMETHODIMP get_AddressBar(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_AddressBar(VARIANT_BOOL) override { return S_OK; }
    STDMETHODIMP get_Resizable(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Resizable(VARIANT_BOOL) override { return S_OK; }

    // IOleObject: what embedding and in-place showing ask.
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD) override;
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND parent, LPCRECT position) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IPersistStorage: a new browser has nothing to keep.
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP IsDirty() override { return S_FALSE; }
    STDMETHODIMP InitNew(IStorage*) override { return S_OK; }
    STDMETHODIMP Load(IStorage*) override { return E_NOTIMPL; }
    STDMETHODIMP Save(IStorage*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP SaveCompleted(IStorage*) override { return S_OK; }
    STDMETHODIMP HandsOffStorage() override { return S_OK; }

    // IServiceProvider: the travel log, and nothing else.
    STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** out) override;

    // ITravelLogStg over the pages navigated to.
    STDMETHODIMP CreateEntry(LPCWSTR, LPCWSTR, ITravelLogEntry*, BOOL, ITravelLogEntry**) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP TravelTo(ITravelLogEntry* entry) override;
    STDMETHODIMP EnumEntries(TLENUMF flags, IEnumTravelLogEntry** entries) override;
    STDMETHODIMP FindEntries(TLENUMF, LPCWSTR, IEnumTravelLogEntry**) override { return E_NOTIMPL; }
    STDMETHODIMP GetCount(TLENUMF flags, DWORD* count) override;
    STDMETHODIMP RemoveEntry(ITravelLogEntry*) override { return E_NOTIMPL; }
    STDMETHODIMP GetRelativeEntry(int offset, ITravelLogEntry** entry) override;

private:
    virtual ~BrowserStandIn();
    static HRESULT NoObject(IDispatch** out);
    HRESULT Travel(int offset);
    void Go(const std::wstring& url);
    void ShowPage();
    std::vector<int> EntriesFor(TLENUMF flags) const;

    LONG refs_ = 1;
    IOleClientSite* site_ = nullptr;
    HWND page_ = nullptr;
    std::vector<std::wstring> pages_;  // the travel log, oldest first
    int current_ = -1;
    std::vector<std::wstring> navigations_;
    std::vector<long> widthsSet_;
};

// While it lives, this process's OleCreate of the system browser makes
// BrowserStandIn objects (its class object is registered with COM).
class BrowserClassStandIn : public IClassFactory {
public:
    BrowserClassStandIn();
    ~BrowserClassStandIn();
    BrowserClassStandIn(const BrowserClassStandIn&) = delete;
    BrowserClassStandIn& operator=(const BrowserClassStandIn&) = delete;
    bool Registered() const { return cookie_ != 0; }
    // The browsers made so far, the newest last (kept alive until this goes).
    const std::vector<BrowserStandIn*>& Made() const { return made_; }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }  // lives on its owner's stack
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    DWORD cookie_ = 0;
    std::vector<BrowserStandIn*> made_;
};

}  // namespace host_test
