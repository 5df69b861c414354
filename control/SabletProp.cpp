#include "control/SabletProp.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "control/resource.h"
#include "control/Sablet_h.h"
#include "engine/SampleRateTable.h"
#include "filters/base/Module.h"

namespace {

// A string of the module's table as task memory (as PROPPAGEINFO wants).
LPOLESTR LoadTaskString(UINT id) {
    wchar_t text[256] = L"";
    int n = LoadStringW(filterbase::ThisModule(), id, text, 256);
    if (n < 0) n = 0;
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc((n + 1) * sizeof(wchar_t)));
    if (copy) {
        memcpy(copy, text, n * sizeof(wchar_t));
        copy[n] = L'\0';
    }
    return copy;
}

INT_PTR CALLBACK IgnoreAll(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The template's size in pixels: its dialog units in its own font, measured
// on a hidden copy.
SIZE TemplateSize() {
    SIZE size = {0, 0};
    HWND probe = CreateDialogParamA(filterbase::ThisModule(), MAKEINTRESOURCEA(IDD_SABLETPROP),
                                    HWND_MESSAGE, IgnoreAll, 0);
    if (!probe) return size;
    RECT r;
    GetWindowRect(probe, &r);
    DestroyWindow(probe);
    size.cx = r.right - r.left;
    size.cy = r.bottom - r.top;
    return size;
}

}  // namespace

HRESULT SabletProp::CreateInstance(IUnknown* outer, IUnknown** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    SabletProp* page = new (std::nothrow) SabletProp();
    if (!page) return E_OUTOFMEMORY;
    *object = page;
    return S_OK;
}

SabletProp::SabletProp() { filterbase::LockModule(); }

SabletProp::~SabletProp() {
    if (dialog_) DestroyWindow(dialog_);
    ReleaseObjects();
    filterbase::UnlockModule();
}

STDMETHODIMP SabletProp::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyPage)) {
        *out = static_cast<IPropertyPage*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) SabletProp::AddRef() { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) SabletProp::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP SabletProp::SetPageSite(IPropertyPageSite* site) {
    if (site && site_) return E_UNEXPECTED;
    site_.Reset();
    if (site) {
        site->AddRef();
        *site_.GetAddressOf() = site;
    }
    return S_OK;
}

STDMETHODIMP SabletProp::Activate(HWND parent, LPCRECT rect, BOOL) {
    if (dialog_) return E_UNEXPECTED;
    if (!rect) return E_POINTER;
    dialog_ = CreateDialogParamA(filterbase::ThisModule(), MAKEINTRESOURCEA(IDD_SABLETPROP), parent,
                                 DialogProc, reinterpret_cast<LPARAM>(this));
    if (!dialog_) return E_OUTOFMEMORY;
    Move(rect);
    return S_OK;
}

STDMETHODIMP SabletProp::Deactivate() {
    if (!dialog_) return E_UNEXPECTED;
    DestroyWindow(dialog_);
    dialog_ = nullptr;
    return S_OK;
}

STDMETHODIMP SabletProp::GetPageInfo(PROPPAGEINFO* info) {
    if (!info) return E_POINTER;
    info->cb = sizeof *info;
    info->pszTitle = LoadTaskString(IDS_TITLESabletProp);
    info->size = TemplateSize();
    info->pszDocString = LoadTaskString(IDS_DOCSTRINGSabletProp);
    info->pszHelpFile = LoadTaskString(IDS_HELPFILESabletProp);
    info->dwHelpContext = 0;
    return S_OK;
}

void SabletProp::ReleaseObjects() {
    for (IUnknown* object : objects_) object->Release();
    objects_.clear();
}

STDMETHODIMP SabletProp::SetObjects(ULONG count, IUnknown** objects) {
    if (count && !objects) return E_POINTER;
    ReleaseObjects();
    for (ULONG i = 0; i < count; ++i) {
        if (!objects[i]) continue;
        objects[i]->AddRef();
        objects_.push_back(objects[i]);
    }
    return S_OK;
}

STDMETHODIMP SabletProp::Show(UINT command) {
    if (!dialog_) return E_UNEXPECTED;
    ShowWindow(dialog_, command);
    return S_OK;
}

STDMETHODIMP SabletProp::Move(LPCRECT rect) {
    if (!rect) return E_POINTER;
    if (!dialog_) return E_UNEXPECTED;
    MoveWindow(dialog_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
               TRUE);
    return S_OK;
}

STDMETHODIMP SabletProp::IsPageDirty() { return dirty_ ? S_OK : S_FALSE; }

// The page shows a rate but was never given a way to set one: each object
// is only checked to be a control of ours.
STDMETHODIMP SabletProp::Apply() {
    for (IUnknown* object : objects_) {
        ComPtr<ISablet2> control;
        object->QueryInterface(IID_ISablet2, reinterpret_cast<void**>(control.GetAddressOf()));
    }
    dirty_ = false;
    return S_OK;
}

STDMETHODIMP SabletProp::Help(LPCOLESTR) { return E_NOTIMPL; }

STDMETHODIMP SabletProp::TranslateAccelerator(MSG* msg) {
    if (!msg) return E_POINTER;
    return dialog_ && IsDialogMessageA(dialog_, msg) ? S_OK : S_FALSE;
}

void SabletProp::SetDirty(bool dirty) {
    dirty_ = dirty;
    if (site_) site_->OnStatusChange(dirty ? PROPPAGESTATUS_DIRTY : PROPPAGESTATUS_CLEAN);
}

INT_PTR CALLBACK SabletProp::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        char text[16];
        for (uint32_t rate : SampleRateTable) {
            snprintf(text, sizeof text, "%u", static_cast<unsigned>(rate));
            SendDlgItemMessageA(dialog, IDC_FREQUENCY, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(text));
        }
        return FALSE;
    }
    auto* page = reinterpret_cast<SabletProp*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (message == WM_COMMAND && page && LOWORD(wParam) == IDC_FREQUENCY &&
        HIWORD(wParam) == CBN_SELCHANGE) {
        page->SetDirty(true);
        return TRUE;
    }
    return FALSE;
}
