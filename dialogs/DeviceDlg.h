// The capture device dialog ("Select Audio Device"): the devices as skinned
// rows, and beside them the recording lines of the row last clicked. The
// dialog touches no capture graph: it reads the lines from a filter of its
// own, and the owner switches devices after OK.
#pragma once

#include <cstdint>

#include "dialogs/SkinDialog.h"
#include "engine/CaptureGraph.h"

class CDeviceDlg : public CSkinDialog {
public:
    // `devices` and `lines` (the current device's) stay the caller's and
    // must outlive the dialog.
    CDeviceDlg(const CaptureDeviceList* devices, const PinNameList* lines, int deviceIndex,
               CWnd* parent = nullptr);

    // The selected row: the caller's device on entry, the clicked row after.
    int32_t DeviceIndex;
    // The lines shown: the caller's on entry, the clicked device's after.
    PinNameList Lines;

    BOOL OnInitDialog() override;

    // Rows drawn and clickable: those that fit above the buttons.
    static constexpr int kDeviceRows = 9;
    static constexpr int kLineRows = 10;
    static RECT DeviceRow(int i) { return RECT{15, 43 + 30 * i, 218, 66 + 30 * i}; }

protected:
    void DrawFace(HDC dc) override;
    bool OnFacePress(CPoint point) override;

private:
    void ListLinesOf(int index);

    const CaptureDeviceList* Devices;
    CPicture RowUp, RowDown, Socket;
};
