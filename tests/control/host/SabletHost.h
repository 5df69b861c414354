// A small OLE control container for the control's tests and demos: it
// makes the control by CLSID or ProgID, gives it a client site whose
// container moniker names a page address, loads it from a property bag of
// "Name=Value" lines (a page's PARAM tags) or a stream, activates it in
// place in a window of its own, and reads and writes its properties by
// name through IDispatch, as page script does. The site answers that no
// browser hosts it unless one is given; its container is the page's
// document when one is given.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <map>
#include <string>

#include "framework/ComPtr.h"

namespace sablethost {

// The PARAM tags of a page: values are kept and handed out as text.
class PropertyBag : public IPropertyBag {
public:
    PropertyBag() = default;
    virtual ~PropertyBag() = default;
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
    STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override;

    void Set(const std::wstring& name, const std::wstring& value) { values_[name] = value; }
    // "" when the bag has no such name.
    std::wstring Get(const std::wstring& name) const;
    bool Has(const std::wstring& name) const { return values_.count(name) != 0; }
    // One "Name=Value" a line (UTF-8); false when the file cannot be read or written.
    bool LoadFile(const std::string& path);
    bool SaveFile(const std::string& path) const;

private:
    LONG refs_ = 1;  // lives on its owner's stack or as a member
    std::map<std::wstring, std::wstring> values_;
};

class ControlHost {
public:
    ControlHost();
    ~ControlHost();
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;

    // Makes the control ("{clsid}" or a ProgID), sets the site with
    // pageUrl as the page's address, loads it from bag (or stream, or as
    // new), and activates it in place in a host window at screen (x, y).
    HRESULT Create(const wchar_t* classText, const wchar_t* pageUrl, IPropertyBag* bag = nullptr,
                   IStream* stream = nullptr, int x = 60, int y = 60);
    // The page's document as the container answers it (none by default);
    // set before Create, it must outlive the control.
    void SetPage(IOleContainer* page) { page_ = page; }
    // Makes the control through this class factory instead of the
    // registered server (a copy of the DLL loaded from elsewhere); set
    // before Create, it must outlive it.
    void UseFactory(IClassFactory* factory) { factory_ = factory; }
    // The browser the page is shown in, as the site answers it to
    // SID_SWebBrowserApp (none by default); set before Create, it must
    // outlive the control.
    void SetHostBrowser(IUnknown* browser) { hostBrowser_ = browser; }
    // Deactivates, closes and releases the control, and closes the window.
    void Destroy();

    IUnknown* Control() const { return control_.Get(); }
    IDispatch* Dispatch() const { return dispatch_.Get(); }
    HWND Window() const { return window_; }
    // The control's own window (null while not active).
    HWND ControlWindow() const;

    // By name, as script does; the HRESULT is Invoke's.
    HRESULT Put(const wchar_t* name, const VARIANT& value);
    HRESULT PutLong(const wchar_t* name, long value);
    HRESULT PutText(const wchar_t* name, const wchar_t* text);
    HRESULT Get(const wchar_t* name, VARIANT* value, WORD flags = DISPATCH_PROPERTYGET);
    // The property as text ("<error 0x...>" when the read fails).
    std::wstring GetText(const wchar_t* name);

    HRESULT SaveToBag(PropertyBag* bag);
    // A new stream holding what IPersistStreamInit::Save wrote, at its start.
    HRESULT SaveToStream(IStream** stream);

private:
    class Site;
    Site* site_ = nullptr;
    HWND window_ = nullptr;
    IOleContainer* page_ = nullptr;
    IClassFactory* factory_ = nullptr;
    IUnknown* hostBrowser_ = nullptr;
    ComPtr<IUnknown> control_;
    ComPtr<IDispatch> dispatch_;
};

// The CLSID of the control as text, for Create.
extern const wchar_t kSabletClsid[];

}  // namespace sablethost
