#include "dialogs/DeviceDlg.h"

#include <algorithm>

#include "dialogs/DialogIds.h"

namespace {

const SkinFrame kDeviceFrame{nullptr, 0, 485, 332, "IDR_DEVICEFACE", {282, 296}, {390, 296}};

void DrawRowText(HDC dc, const char* text, RECT box, COLORREF colour) {
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextA(dc, text, -1, &box, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
}

}  // namespace

CDeviceDlg::CDeviceDlg(const CaptureDeviceList* devices, const PinNameList* lines, int deviceIndex,
                       CWnd* parent)
    : CSkinDialog(IDD_SELECTDEVICE, kDeviceFrame, parent), DeviceIndex(deviceIndex), Devices(devices) {
    if (lines)
        for (int j = 0; j < lines->Count(); ++j) Lines.Add(lines->Name(j));
}

BOOL CDeviceDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    RowUp.Load("IDR_BTNDEVICENAMEUP");
    RowDown.Load("IDR_BTNDEVICENAMEDOWN");
    Socket.Load("IDR_DEVICESOCKET");
    return TRUE;
}

void CDeviceDlg::DrawFace(HDC dc) {
    const int devices = Devices ? std::min(Devices->Count(), kDeviceRows) : 0;
    for (int i = 0; i < devices; ++i) {
        RECT row = DeviceRow(i);
        (i == DeviceIndex ? RowDown : RowUp)
            .Draw(dc, row.left, row.top, row.right - row.left, row.bottom - row.top);
        DrawRowText(dc, Devices->Name(i), RECT{23, 47 + 30 * i, 214, 62 + 30 * i}, RGB(0, 0, 0));
    }
    const int lines = std::min(Lines.Count(), kLineRows);
    for (int j = 0; j < lines; ++j) {
        Socket.Draw(dc, 235, 51 + 24 * j, 18, 20);
        DrawRowText(dc, Lines.Name(j), RECT{257, 55 + 24 * j, 378, 70 + 24 * j}, RGB(255, 255, 255));
    }
}

bool CDeviceDlg::OnFacePress(CPoint point) {
    const int devices = Devices ? std::min(Devices->Count(), kDeviceRows) : 0;
    for (int i = 0; i < devices; ++i) {
        RECT row = DeviceRow(i);
        if (!PtInRect(&row, point)) continue;
        DeviceIndex = i;
        RECT rows{15, 43, 218, 66 + 30 * (devices - 1)};
        InvalidateRect(&rows, FALSE);
        ListLinesOf(i);
        return true;
    }
    return false;
}

void CDeviceDlg::ListLinesOf(int index) {
    const int before = Lines.Count();
    Lines.Clear();
    // A filter of the dialog's own, in no graph: the owner's graph and any
    // recording on it stay as they are until the owner acts on OK.
    IMoniker* moniker = Devices ? Devices->Moniker(index) : nullptr;
    if (moniker) {
        ComRef<IBaseFilter> filter;
        if (SUCCEEDED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.OutVoid())))
            ListDevicePins(filter.Get(), &Lines);
        if (Lines.Count() == 1 && strcmp(Lines.Name(0), "<ERROR>") == 0) Lines.Clear();
    }
    const int rows = std::min(std::max(before, Lines.Count()), kLineRows);
    if (rows > 0) {
        RECT area{235, 51, 378, 71 + 24 * (rows - 1)};
        InvalidateRect(&area, FALSE);
    }
}
