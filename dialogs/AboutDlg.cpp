#include "dialogs/AboutDlg.h"

#include "dialogs/DialogIds.h"
#include "dialogs/StartupDlg.h"

namespace {

const SkinFrame kFrame{nullptr, 0, 485, 332, "IDR_ABOUTFACE", {381, 296}, {-1, -1}};

}  // namespace

CDlgAbout::CDlgAbout(CWnd* parent) : CSkinDialog(IDD_ABOUT, kFrame, parent) {}

void CDlgAbout::DrawFace(HDC dc) {
    // Centred on the version box (156..389), four pixels below its top.
    DrawVersionText(dc, VersionText, 272, 220);
}
