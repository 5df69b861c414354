// The resizable layout's browser controls: the address box with the typed
// addresses, Go, Enter in the box, the History menu over the travel log,
// and the buttons' places along the panel.
#include "control/Sablet2.h"

#include <string>
#include <utility>
#include <vector>

#include "control/BrowserFrame.h"
#include "filters/base/Module.h"

namespace {

constexpr int kAddressChars = 500;

}  // namespace

void CSablet2::NavigateTo(const char* address) {
    if (BrowserWindow && address && *address) BrowserNavigate(BrowserWindow, address);
}

void CSablet2::NavigateToAddressText(HWND from) {
    char text[kAddressChars + 1] = "";
    ::GetWindowTextA(from, text, sizeof text);
    NavigateTo(text);
}

void CSablet2::FillAddressHistory() {
    HWND box = ::GetDlgItem(m_hWnd, IDC_ADDRESS);
    if (!box) return;
    ::SendMessageA(box, CB_RESETCONTENT, 0, 0);
    for (const std::string& url : ReadTypedUrls())
        ::SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(url.c_str()));
}

void CSablet2::OnGo() { NavigateToAddressText(::GetDlgItem(m_hWnd, IDC_ADDRESS)); }

// Back, Forward, Refresh and Stop go straight to the embedded browser; its
// own travel log decides whether there is anywhere to go.
void CSablet2::OnBrowserButton(UINT id) {
    ComPtr<IWebBrowser2> web;
    if (!BrowserWindow || !BrowserGetWebBrowser(BrowserWindow, web.GetAddressOf())) return;
    switch (id) {
    case IDC_BACKWARD: web->GoBack(); break;
    case IDC_FORWARD: web->GoForward(); break;
    case IDC_REFRESH: web->Refresh(); break;
    case IDC_BROWSERSTOP: web->Stop(); break;
    default: break;
    }
}

void CSablet2::OnAddressSelChange() {
    HWND box = ::GetDlgItem(m_hWnd, IDC_ADDRESS);
    LRESULT selected = ::SendMessageA(box, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) return;
    LRESULT length = ::SendMessageA(box, CB_GETLBTEXTLEN, selected, 0);
    if (length == CB_ERR || length > 4096) return;
    std::string text(static_cast<size_t>(length) + 1, '\0');
    ::SendMessageA(box, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(&text[0]));
    NavigateTo(text.c_str());
}

void CSablet2::OnAddressSetFocus() { AddressEdit = ::GetFocus(); }

// Enter goes to the typed address; other keys leave what was typed alone.
void CSablet2::OnKeyDown(UINT key, UINT, UINT) {
    if (key == VK_RETURN) OnGo();
}

HRESULT CSablet2::PreTranslateAccelerator(MSG* msg) {
    if (!msg || !m_hWnd) return S_FALSE;
    bool keyboard = msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST;
    bool mouse = msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST;
    if (!keyboard && !mouse) return S_FALSE;
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && AddressEdit && ::GetFocus() == AddressEdit) {
        NavigateToAddressText(AddressEdit);
        return S_OK;
    }
    return ::IsDialogMessageA(m_hWnd, msg) ? S_OK : S_FALSE;
}

void CSablet2::OnHistoryButton() {
    if (!HistoryPopup) return;
    while (GetMenuItemCount(HistoryPopup) > 0) DeleteMenu(HistoryPopup, 0, MF_BYPOSITION);
    AttachTravelLog();
    TravelLog.Fill(HistoryPopup);
    POINT at = HistoryMenuPoint;
    ::ClientToScreen(m_hWnd, &at);
    TrackPopupMenuEx(HistoryPopup, Align ? TPM_BOTTOMALIGN : 0, at.x, at.y, m_hWnd, nullptr);
}

// At start-up and again before the menu opens: a browser may offer its
// travel log only once it has a page.
void CSablet2::AttachTravelLog() {
    ComPtr<IWebBrowser2> web;
    if (BrowserWindow && BrowserGetWebBrowser(BrowserWindow, web.GetAddressOf())) TravelLog.SetBrowser(web.Get());
}

void CSablet2::OnTravelLogCommand(UINT id) { TravelLog.GoTo(static_cast<int>(id) - static_cast<int>(kTravelLogCurrentId)); }

// From OnSize, in the resizable layout. The controls go where the layout
// puts them (Back, Forward and History from the left, Go, Refresh and Stop
// kept left of the recorder's part of the strip, the address box between),
// but only where a control fits there whole, beside the ones shown before
// it: on a narrow panel the address box gives way first, and Go with it
// (it only goes to the typed address), then Refresh, Stop, History, Forward
// and Back, rather than one covering another or the recorder's controls.
void CSablet2::LayoutBrowserButtons() {
    RECT r;
    ::GetClientRect(m_hWnd, &r);
    // Without Align the strip is the top 80 pixels, shrunk like the rest:
    // its buttons then end on the transport row's line.
    if (!Align) r.bottom = r.top + 80;
    r.left += 1;
    r.top += 1;
    r.bottom -= 1;
    r.right -= 3;
    const int x0 = r.right - 502;
    // Fewer pixels than this leave no room for an address beside the drop arrow.
    constexpr int MinAddressWidth = 80;
    struct Place {
        int id, x, y, w, h;
    };
    // In the order they are kept; the address box is 200 high with its list.
    const Place places[] = {
        {IDC_BACKWARD, r.left + 2, r.bottom - 53, 28, 28},
        {IDC_FORWARD, r.left + 30, r.bottom - 53, 28, 28},
        {IDC_HISTORY, r.left + 58, r.bottom - 50, 15, 22},
        {IDC_BROWSERSTOP, x0, r.bottom - 50, 22, 22},
        {IDC_REFRESH, x0 - 24, r.bottom - 50, 22, 22},
        {IDC_ADDRESS, r.left + 77, r.bottom - 50, x0 - 52 - (r.left + 77), 200},
        {IDC_GO, x0 - 48, r.bottom - 50, 22, 22},
    };
    HistoryMenuPoint = POINT{r.left + 58, r.bottom - 50};
    // They all sit in one row, so only their left and right ends can meet.
    std::vector<std::pair<int, int>> taken;
    bool addressShown = false;
    for (const Place& p : places) {
        bool fits = p.x >= 0 && p.x + p.w <= StripLeft;
        for (const auto& span : taken) fits = fits && (p.x + p.w <= span.first || p.x >= span.second);
        if (p.id == IDC_ADDRESS) fits = fits && p.w >= MinAddressWidth;
        if (p.id == IDC_GO) fits = fits && addressShown;
        if (p.id == IDC_ADDRESS) addressShown = fits;
        HWND control = ::GetDlgItem(m_hWnd, p.id);
        HWND focus = ::GetFocus();
        // The keys must not go on to a box that is no longer there.
        if (!fits && focus && (focus == control || ::IsChild(control, focus))) ::SetFocus(m_hWnd);
        if (fits) {
            taken.emplace_back(p.x, p.x + p.w);
            ::SetWindowPos(control, nullptr, p.x, p.y, p.w, p.h, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        ::ShowWindow(control, fits ? SW_SHOW : SW_HIDE);
        ::EnableWindow(control, fits);
    }
}
