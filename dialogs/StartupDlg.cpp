#include "dialogs/StartupDlg.h"

#include <cstring>

#include "dialogs/DialogIds.h"

namespace {

const SkinFrame kFrame{nullptr, 0, 485, 332, "IDR_STARTFACE", {-1, -1}, {-1, -1}};

}  // namespace

void DrawVersionText(HDC dc, const char* text, int x, int y) {
    HGDIOBJ oldFont = ::SelectObject(dc, ::GetStockObject(ANSI_VAR_FONT));
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = ::SetTextColor(dc, RGB(255, 255, 255));
    const UINT oldAlign = ::SetTextAlign(dc, TA_CENTER | TA_TOP);
    ::TextOutA(dc, x, y, text, static_cast<int>(strnlen(text, 64)));
    ::SetTextAlign(dc, oldAlign);
    ::SetTextColor(dc, oldColour);
    ::SetBkMode(dc, oldMode);
    ::SelectObject(dc, oldFont);
}

BEGIN_MESSAGE_MAP(CDLGStartup, CSkinDialog)
    ON_COMMAND(IDC_STARTUP_NOW, OnRadioNow)
    ON_COMMAND(IDC_STARTUP_LATER, OnRadioLater)
    ON_COMMAND(IDC_STARTUP_HELP, OnBtnHelp)
    ON_COMMAND(IDC_STARTUP_EXIT, OnBtnExit)
    ON_COMMAND(IDC_STARTUP_CONTINUE, OnBtnContinue)
END_MESSAGE_MAP()

CDLGStartup::CDLGStartup(CWnd* parent) : CSkinDialog(IDD_STARTUP, kFrame, parent) {}

BOOL CDLGStartup::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    CreateSkinButton(HelpButton, "IDR_BTNHELP", IDC_STARTUP_HELP, 16, 296, 72, 24, CUniButton::kResourceFaces);
    CreateSkinButton(ExitButton, "IDR_BTNEXIT", IDC_STARTUP_EXIT, 271, 296, 72, 24, CUniButton::kResourceFaces);
    CreateSkinButton(ContinueButton, "IDR_BTNCONTINUE", IDC_STARTUP_CONTINUE, 381, 296, 72, 24,
                     CUniButton::kResourceFaces);
    CreateSkinButton(NowRadio, "IDR_BTNRADIO", IDC_STARTUP_NOW, 50, 230, 19, 19, CUniButton::kCheckFaces);
    CreateSkinButton(LaterRadio, "IDR_BTNRADIO", IDC_STARTUP_LATER, 50, 257, 19, 19, CUniButton::kCheckFaces);
    SetButtonChecked(NowRadio, true);
    SetButtonChecked(LaterRadio, false);
    return TRUE;
}

void CDLGStartup::DrawFace(HDC dc) {
    // Centred on the version box (200..343), four pixels below its top.
    DrawVersionText(dc, VersionText, 271, 69);
}

void CDLGStartup::OnRadioNow() {
    if (NowRadio.checked) return;
    SetButtonChecked(NowRadio, true);
    SetButtonChecked(LaterRadio, false);
}

void CDLGStartup::OnRadioLater() {
    if (LaterRadio.checked) return;
    SetButtonChecked(LaterRadio, true);
    SetButtonChecked(NowRadio, false);
}

void CDLGStartup::OnBtnHelp() {}

void CDLGStartup::OnBtnExit() {
    Result = 0;
    SendMessage(WM_CLOSE);
}

void CDLGStartup::OnBtnContinue() {
    Result = NowRadio.checked ? 1 : 2;
    SendMessage(WM_CLOSE);
}
