// SabletProp: the property page class the module serves (template 109).
// Its one live list is the sample rate; choosing one marks the page dirty,
// and Apply writes nothing back.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <vector>

#include "framework/ComPtr.h"

class SabletProp : public IPropertyPage {
public:
    // The class table's creator; the page is never aggregated.
    static HRESULT CreateInstance(IUnknown* outer, IUnknown** object);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
    STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    STDMETHODIMP Deactivate() override;
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
    STDMETHODIMP Show(UINT command) override;
    STDMETHODIMP Move(LPCRECT rect) override;
    STDMETHODIMP IsPageDirty() override;
    STDMETHODIMP Apply() override;
    STDMETHODIMP Help(LPCOLESTR helpDir) override;
    STDMETHODIMP TranslateAccelerator(MSG* msg) override;

private:
    SabletProp();
    virtual ~SabletProp();
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void SetDirty(bool dirty);
    void ReleaseObjects();

    LONG refs_ = 1;
    ComPtr<IPropertyPageSite> site_;
    std::vector<IUnknown*> objects_;
    HWND dialog_ = nullptr;
    bool dirty_ = false;
};
