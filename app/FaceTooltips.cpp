// Tooltips of the main face: one tooltip window for each clickable face
// area (clock minutes and seconds, sample rate, volume, status texts) and
// one for the face buttons. Each tip names the hot keys bound to what it
// points at; the texts come from the language and hot-key documents when
// the tip is about to show.
#include "app/VelorinDlg.h"

#include <commctrl.h>

#include <cstring>

#include "framework/App.h"
#include "framework/SafeString.h"

namespace {

struct FaceArea {
    UINT id;
    RECT rect;
    const char* name;     // caption element; null for the status texts
    const char* keys[2];  // the area's two hot-key actions
};

const FaceArea kFaceAreas[kFaceAreaCount] = {
    {1076, {25, 77, 40, 88}, "AREA_MINUTE", {"BTN_MINUTEINC", "BTN_MINUTEDEC"}},
    {1077, {47, 77, 62, 88}, "AREA_SECOND", {"BTN_SECONDINC", "BTN_SECONDDEC"}},
    {1078, {123, 29, 150, 160}, "AREA_FREQUENCY", {"SLD_FREQUENCYUP", "SLD_FREQUENCYDOWN"}},
    {1079, {200, 29, 227, 160}, "AREA_VOLUME", {"SLD_VOLUMEUP", "SLD_VOLUMEDOWN"}},
    {1080, {260, 124, 460, 150}, nullptr, {nullptr, nullptr}},
};

HWND CreateTipWindow(HWND owner) {
    HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_BALLOON,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                               nullptr, AfxGetInstanceHandle(), nullptr);
    if (tip) SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return tip;
}

void AddTipTool(HWND tip, TOOLINFOA& tool) {
    // The record as common controls 5 know it: without a version 6
    // manifest they refuse the larger one of today's headers.
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    if (!SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool))) {
        char note[80];
        SafeFormat(note, "Tooltip: tool %u not added\n", static_cast<unsigned>(tool.uId));
        OutputDebugStringA(note);
    }
}

}  // namespace

void CVelorinDlg::CreateFaceTooltips() {
    INITCOMMONCONTROLSEX classes{sizeof classes,
                                 ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES |
                                     ICC_COOL_CLASSES | ICC_INTERNET_CLASSES |
                                     ICC_PAGESCROLLER_CLASS | ICC_NATIVEFNTCTL_CLASS |
                                     ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&classes);
    for (int i = 0; i < kFaceAreaCount; ++i) {
        AreaTips[i] = CreateTipWindow(m_hWnd);
        if (!AreaTips[i]) continue;
        TOOLINFOA tool{};
        tool.uFlags = TTF_SUBCLASS | TTF_TRANSPARENT | TTF_CENTERTIP;
        tool.hwnd = m_hWnd;
        tool.uId = kFaceAreas[i].id;
        tool.rect = kFaceAreas[i].rect;
        AddTipTool(AreaTips[i], tool);
    }
    // The face buttons are windows of their own: the tool is the button.
    ControlTips = CreateTipWindow(m_hWnd);
    for (int i = 0; i < kFaceButtonCount && ControlTips; ++i) {
        if (!FaceButtons[i].GetSafeHwnd()) continue;
        TOOLINFOA tool{};
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = m_hWnd;
        tool.uId = reinterpret_cast<UINT_PTR>(FaceButtons[i].GetSafeHwnd());
        AddTipTool(ControlTips, tool);
    }
}

void CVelorinDlg::DestroyFaceTooltips() {
    // The system may have taken the owned tips down with their owner.
    for (HWND& tip : AreaTips) {
        if (tip && ::IsWindow(tip)) ::DestroyWindow(tip);
        tip = nullptr;
    }
    if (ControlTips && ::IsWindow(ControlTips)) ::DestroyWindow(ControlTips);
    ControlTips = nullptr;
}

// Every area's tooltip subclasses this window for its mouse messages, and
// the common controls keep one such subclass per window: only the last tip
// would hear of the mouse. Each gets it from here as well (a tip that hears
// a move twice sees no change the second time).
void CVelorinDlg::RelayToAreaTips(UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{m_hWnd, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    for (HWND tip : AreaTips)
        if (tip) ::SendMessageA(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

BOOL CVelorinDlg::OnToolTipNeedText(UINT, NMHDR* header, LRESULT* result) {
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
    TipText[0] = '\0';
    if (!(info->uFlags & TTF_IDISHWND)) {
        const FaceArea* area = nullptr;
        for (const FaceArea& a : kFaceAreas)
            if (a.id == header->idFrom) area = &a;
        if (!area || FaceMode != 0) return FALSE;
        if (!area->name) {
            SafeFormat(TipText, "%s %s", static_cast<const char*>(StatusLine1),
                       static_cast<const char*>(StatusLine2));
        } else {
            // The box's own rows lie over the face while it is open.
            if (AudioBoxOpen) return FALSE;
            char caption[200] = "", first[100] = "", second[100] = "";
            LanguageDocument.GetText(area->name, caption, sizeof caption);
            HotKeys.GetKeyTexts(area->keys[0], first, sizeof first);
            HotKeys.GetKeyTexts(area->keys[1], second, sizeof second);
            if (first[0] && second[0])
                SafeFormat(TipText, "%s - Hot Key :[%s , %s]", caption, first, second);
            else
                SafeCopy(TipText, caption);
        }
    } else {
        const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom));
        const char* name =
            id >= 1000 && id < 1000 + ControlNameCount ? ControlNameTable[id - 1000] : "";
        char caption[100] = "", keys[100] = "";
        if (name[0] && strcmp(name, "NA") != 0) {
            LanguageDocument.GetCaption(name, caption, sizeof caption);
            HotKeys.GetKeyTexts(name, keys, sizeof keys);
        }
        if (keys[0])
            SafeFormat(TipText, "%s - Hot Key :[%s]", caption, keys);
        else
            SafeCopy(TipText, caption);
        info->hinst = AfxGetResourceHandle();
    }
    // The tooltip reads the text after this returns: a member holds it.
    info->lpszText = TipText;
    *result = 0;
    return TRUE;
}
