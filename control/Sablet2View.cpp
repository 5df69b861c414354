// CSablet2's in-place activation and view: the panel window is made as a
// child of the container's window, moved where the container says, and
// drawn by itself; the view interfaces only describe it. The control is
// always windowed, so the windowless calls fail.
#include "control/Sablet2.h"

#include <commctrl.h>

namespace {

constexpr int kPanelWidth = 474;  // pixels of the fixed layout
constexpr int kPanelHeight = 159;

}  // namespace

SIZEL CSablet2::DefaultExtent() {
    HDC screen = ::GetDC(nullptr);
    int dpiX = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    int dpiY = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    SIZEL size = {MulDiv(kPanelWidth, 2540, dpiX ? dpiX : 96), MulDiv(kPanelHeight, 2540, dpiY ? dpiY : 96)};
    return size;
}

HRESULT CSablet2::CreatePanel(HWND parent, const RECT& position) {
    // The panel's trackbars; the container may never have asked for them.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    // The container's window as a parent for the template; no object of
    // ours owns it, so nothing is bound to it.
    CWnd container;
    container.m_hWnd = parent;
    BOOL created = Create(IDD_SABLET2, &container);
    container.m_hWnd = nullptr;
    m_pParentWnd = nullptr;
    if (!created) return E_FAIL;
    ::SetWindowPos(m_hWnd, nullptr, position.left, position.top, position.right - position.left,
                   position.bottom - position.top, SWP_NOZORDER | SWP_NOACTIVATE);
    return S_OK;
}

HRESULT CSablet2::InPlaceActivate(LONG verb, HWND, LPCRECT) {
    if (!site_) return E_UNEXPECTED;
    if (!inPlaceActive_) {
        ComPtr<IOleInPlaceSite> site;
        HRESULT hr = site_->QueryInterface(IID_IOleInPlaceSite,
                                           reinterpret_cast<void**>(site.GetAddressOf()));
        if (FAILED(hr)) return hr;
        if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
        hr = site->OnInPlaceActivate();
        if (FAILED(hr)) return hr;
        HWND parent = nullptr;
        RECT clip;
        OLEINPLACEFRAMEINFO frameInfo = {};
        frameInfo.cb = sizeof frameInfo;
        hr = site->GetWindow(&parent);
        if (SUCCEEDED(hr))
            hr = site->GetWindowContext(frame_.GetAddressOf(), uiWindow_.GetAddressOf(), &position_,
                                        &clip, &frameInfo);
        if (SUCCEEDED(hr) && !m_hWnd) hr = CreatePanel(parent, position_);
        if (FAILED(hr)) {
            frame_.Reset();
            uiWindow_.Reset();
            site->OnInPlaceDeactivate();
            return hr;
        }
        inPlaceActive_ = true;
        inPlaceSite_ = std::move(site);
    }
    ::ShowWindow(m_hWnd, SW_SHOWNA);
    if (verb == OLEIVERB_INPLACEACTIVATE || uiActive_) return S_OK;
    uiActive_ = true;
    inPlaceSite_->OnUIActivate();
    IOleInPlaceActiveObject* active = this;
    if (frame_) frame_->SetActiveObject(active, nullptr);
    if (uiWindow_) uiWindow_->SetActiveObject(active, nullptr);
    if (frame_) frame_->SetBorderSpace(nullptr);
    if (uiWindow_) uiWindow_->SetBorderSpace(nullptr);
    if (!::IsChild(m_hWnd, ::GetFocus())) ::SetFocus(m_hWnd);
    return S_OK;
}

STDMETHODIMP CSablet2::UIDeactivate() {
    if (!uiActive_) return S_OK;
    uiActive_ = false;
    if (uiWindow_) uiWindow_->SetActiveObject(nullptr, nullptr);
    if (frame_) frame_->SetActiveObject(nullptr, nullptr);
    if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
    return S_OK;
}

STDMETHODIMP CSablet2::InPlaceDeactivate() {
    if (!inPlaceActive_) return S_OK;
    UIDeactivate();
    inPlaceActive_ = false;
    if (m_hWnd) DestroyWindow();
    frame_.Reset();
    uiWindow_.Reset();
    ComPtr<IOleInPlaceSite> site = std::move(inPlaceSite_);
    if (site) site->OnInPlaceDeactivate();
    return S_OK;
}

STDMETHODIMP CSablet2::SetObjectRects(LPCRECT position, LPCRECT) {
    if (!position) return E_POINTER;
    position_ = *position;
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, position->left, position->top,
                       position->right - position->left, position->bottom - position->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    return S_OK;
}

STDMETHODIMP CSablet2::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = m_hWnd;
    return m_hWnd ? S_OK : E_FAIL;
}

STDMETHODIMP CSablet2::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }
STDMETHODIMP CSablet2::ReactivateAndUndo() { return E_NOTIMPL; }
STDMETHODIMP CSablet2::OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT* result) {
    if (result) *result = 0;
    return E_NOTIMPL;
}
STDMETHODIMP CSablet2::GetDropTarget(IDropTarget** target) {
    if (target) *target = nullptr;
    return E_NOTIMPL;
}

// ---- IOleInPlaceActiveObject ---------------------------------------------------

STDMETHODIMP CSablet2::TranslateAccelerator(LPMSG msg) { return PreTranslateAccelerator(msg); }
STDMETHODIMP CSablet2::OnFrameWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP CSablet2::OnDocWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP CSablet2::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
STDMETHODIMP CSablet2::EnableModeless(BOOL) { return S_OK; }

// ---- the view ------------------------------------------------------------------

// What a container shows of an inactive control (a print, a design view):
// the panel's face colour and its frame; the active panel paints itself.
STDMETHODIMP CSablet2::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC drawDc,
                            LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                            ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!drawDc) return E_INVALIDARG;
    if (!bounds) return inPlaceActive_ ? S_OK : E_INVALIDARG;
    RECT area = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    ::FillRect(drawDc, &area, ::GetSysColorBrush(COLOR_BTNFACE));
    ::FrameRect(drawDc, &area, ::GetSysColorBrush(COLOR_BTNSHADOW));
    return S_OK;
}

STDMETHODIMP CSablet2::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
    if (colors) *colors = nullptr;
    return S_FALSE;
}

STDMETHODIMP CSablet2::Freeze(DWORD, LONG, void*, DWORD*) { return E_NOTIMPL; }
STDMETHODIMP CSablet2::Unfreeze(DWORD) { return E_NOTIMPL; }

STDMETHODIMP CSablet2::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    viewAspects_ = aspects;
    viewAdviseFlags_ = flags;
    viewSink_.Reset();
    if (sink) {
        sink->AddRef();
        *viewSink_.GetAddressOf() = sink;
    }
    return S_OK;
}

STDMETHODIMP CSablet2::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = viewAspects_;
    if (flags) *flags = viewAdviseFlags_;
    if (sink) {
        *sink = viewSink_.Get();
        if (*sink) (*sink)->AddRef();
    }
    return S_OK;
}

void CSablet2::SendViewChange() {
    if (viewSink_) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
}

STDMETHODIMP CSablet2::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(aspect, size);
}

STDMETHODIMP CSablet2::GetRect(DWORD aspect, LPRECTL rect) {
    if (!rect) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    rect->left = rect->top = 0;
    rect->right = extent_.cx;
    rect->bottom = extent_.cy;
    return S_OK;
}

STDMETHODIMP CSablet2::GetViewStatus(DWORD* status) {
    if (!status) return E_POINTER;
    *status = VIEWSTATUS_SOLIDBKGND | VIEWSTATUS_OPAQUE;
    return S_OK;
}

STDMETHODIMP CSablet2::QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT location, LONG,
                                     DWORD* hit) {
    if (!bounds || !hit) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return E_FAIL;
    *hit = ::PtInRect(bounds, location) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
}

STDMETHODIMP CSablet2::QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT location, LONG,
                                    DWORD* hit) {
    if (!bounds || !location || !hit) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return E_FAIL;
    RECT common;
    *hit = ::IntersectRect(&common, bounds, location) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
}

STDMETHODIMP CSablet2::GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) {
    return E_NOTIMPL;
}
