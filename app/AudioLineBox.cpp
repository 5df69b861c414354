// The audio-line box: the panel that opens at the right of the face with
// the selected device, one socket row per recording line (per device on
// NT 6), the microphone markers, the hold-to-use-microphone button and its
// four buttons. The line test itself is in LineTest.cpp.
#include "app/VelorinDlg.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "app/FaceText.h"
#include "app/LineTestRules.h"
#include "engine/EngineState.h"
#include "engine/RecordingLines.h"

namespace {

const RECT kBoxRect{571, 30, 949, 363};
const RECT kMicButton{781, 324, 840, 344};
const RECT kDeviceNameRect{688, 49, 858, 64};
const RECT kRowsArea{680, 88, 911, 320};
const RECT kHotAreas[2] = {{590, 270, 662, 294}, {590, 322, 662, 346}};
// Line names sit between a row's socket and its microphone marker.
constexpr int kNameLeft = 732, kNameRight = 882;
const UINT kBoxButtons[4] = {1067, 1121, 1020, 1021};

const COLORREF kDeviceNameColour = RGB(255, 255, 255);
const COLORREF kLineNameColour = RGB(170, 178, 190);
const COLORREF kActiveLineColour = RGB(28, 210, 252);

const char kNoDeviceMessage[] =
    "No audio capture device detected. Probably the devices are not enabled\n\nTo enable "
    "devices, click the 'Record Ctrl' button to open record control dialog\nor go to Control "
    "Panel->Sound, Select Recording Tab\n\nWhen the dialog appare, highlight each device, click "
    "properties from the 'Device usage' drop list, select 'Use this device(enable)' then apply "
    "the changes\n\nAfter changes,restart the Brindle";

bool Holds(const RECT& r, POINT p) { return PtInRect(&r, p) != FALSE; }

}  // namespace

bool CVelorinDlg::IsCaptureDeviceMissing() {
    return DeviceList.Count() == 0 ||
           (DeviceList.Count() == 1 && strcmp(DeviceList.Name(0), NoCaptureDeviceName) == 0);
}

int CVelorinDlg::AudioBoxRowCount() {
    const int count = IsNt6 ? DeviceCount : LineCount;
    return std::clamp(count, 0, kAudioBoxRows);
}

int CVelorinDlg::SelectedAudioBoxRow() { return IsNt6 ? DeviceIndex : LineIndex; }

// ---- opening and closing ---------------------------------------------------

void CVelorinDlg::OnBtnDetect() {
    AudioBoxOpen = 1;
    ApplyWindowRegion(TRUE);
    SetWindowPos(nullptr, 0, 0, 949, ArchiveOpen ? 608 : 392,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ProbeCapability();
    {
        CClientDC dc(this);
        OpenAudioBox(dc.GetSafeHdc(), kBoxRect);
    }
    PlaceLineSliders();
    AudioBoxShown = 1;
    Invalidate(FALSE);
    if (IsCaptureDeviceMissing()) MessageBox(kNoDeviceMessage, "Brindle", MB_OK);
}

void CVelorinDlg::OnMenuConfigAudioLine() { OnBtnDetect(); }

void CVelorinDlg::OnBtnCloseAudioBox() {
    // A test step's file must not outlive the box: the box stays while one
    // records, as it does for the whole automatic walk.
    if (AudioBoxOpen && !LineTestBusy()) CloseAudioBox();
}

int CVelorinDlg::OpenAudioBox(HDC dc, const RECT& box) {
    if (AudioBoxSavedDC) return 0;
    if (CUniButton* detect = FaceButton(1008)) ::EnableWindow(detect->GetSafeHwnd(), FALSE);
    const int width = box.right - box.left, height = box.bottom - box.top;
    AudioLinePicture.Draw(dc, box.left, box.top, width, height);
    AudioBoxSavedDC = CreateCompatibleDC(dc);
    AudioBoxSavedBitmap = CreateCompatibleBitmap(dc, width, height);
    if (AudioBoxSavedDC && AudioBoxSavedBitmap) {
        AudioBoxSavedOld = SelectObject(AudioBoxSavedDC, AudioBoxSavedBitmap);
        BitBlt(AudioBoxSavedDC, 0, 0, width, height, dc, box.left, box.top, SRCCOPY);
    }
    ShowAudioBoxButtons(1);
    // Nothing to walk without a device.
    if (IsNt6 && IsCaptureDeviceMissing())
        if (CUniButton* b = FaceButton(1020)) ::EnableWindow(b->GetSafeHwnd(), FALSE);
    if (CUniButton* detect = FaceButton(1008)) ::ShowWindow(detect->GetSafeHwnd(), SW_HIDE);
    HoverRow = -1;
    return 1;
}

int CVelorinDlg::CloseAudioBox() {
    if (!AudioBoxOpen) return 0;
    if (MicButtonDown) OnMicButtonUp(CPoint(0, 0));
    ShowAudioBoxButtons(0);
    AudioBoxOpen = 0;
    ApplyWindowRegion(TRUE);
    Invalidate(FALSE);
    SetWindowPos(nullptr, 0, 0, 592, ArchiveOpen ? 608 : 392,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (AudioBoxSavedDC) {
        SelectObject(AudioBoxSavedDC, AudioBoxSavedOld);
        DeleteDC(AudioBoxSavedDC);
    }
    if (AudioBoxSavedBitmap) DeleteObject(AudioBoxSavedBitmap);
    AudioBoxSavedDC = nullptr;
    AudioBoxSavedBitmap = nullptr;
    AudioBoxSavedOld = nullptr;
    BoxCursor = nullptr;
    DeleteLeftTestFile();
    if (CUniButton* detect = FaceButton(1008)) {
        ::EnableWindow(detect->GetSafeHwnd(), TRUE);
        ::ShowWindow(detect->GetSafeHwnd(), SW_SHOW);
    }
    return 1;
}

void CVelorinDlg::ShowAudioBoxButtons(uint8_t show) {
    for (UINT id : kBoxButtons)
        if (CUniButton* b = FaceButton(id)) {
            ::EnableWindow(b->GetSafeHwnd(), show ? TRUE : FALSE);
            ::ShowWindow(b->GetSafeHwnd(), show ? SW_SHOW : SW_HIDE);
        }
}

void CVelorinDlg::InitAudioBoxRects() {
    for (int i = 0; i < kAudioBoxRows; ++i) AudioBoxRects[i] = AudioBoxRowRect(i);
}

void CVelorinDlg::PlaceLineSliders() {
    constexpr int kScale = 0xFFFF;
    double level = 1, pan = 0;
    const int line = std::max(LineIndex, 0);
    GetInputMixLevel(line, &level);
    const bool panRead = SUCCEEDED(GetInputPan(line, &pan));
    level = std::clamp(level, 0.0, 1.0);
    pan = std::clamp(pan, -1.0, 1.0);
    RecordLevelSlider.SetPos(static_cast<int>(level * kScale));
    if (IsNt6) {
        PanAvailable = panRead ? 1 : 0;
        InputBalanceSlider.SetPos(panRead ? static_cast<int>(kScale / 2 * (pan + 1)) : kScale / 2);
    } else {
        InputBalanceSlider.SetPos(static_cast<int>(kScale / 2 * (pan + 1)));
    }
}

// ---- drawing ---------------------------------------------------------------

void CVelorinDlg::DrawAudioBox(HDC dc) {
    if (!AudioBoxOpen) return;
    const int count = AudioBoxRowCount();
    AudioLinePicture.Draw(dc, kBoxRect.left, kBoxRect.top, kBoxRect.right - kBoxRect.left,
                          kBoxRect.bottom - kBoxRect.top);
    DrawAudioBoxTexts(dc);
    const int selected = SelectedAudioBoxRow();
    for (int i = 0; i < count; ++i) {
        const RECT& r = AudioBoxRects[i];
        // A row under test or under the held microphone button shows pressed.
        const CPicture& face = i == TestLine || (MicButtonDown && i == MicLineIndex) ? SocketDown
                               : i == selected                                     ? SocketDisable
                                                                                   : SocketUp;
        face.Draw(dc, r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    (MicButtonDown ? MicDown : MicUp)
        .Draw(dc, kMicButton.left, kMicButton.top, kMicButton.right - kMicButton.left,
              kMicButton.bottom - kMicButton.top);
}

void CVelorinDlg::DrawAudioBoxTexts(HDC dc) {
    DrawFaceText(dc, kDeviceNameRect, kDeviceNameColour,
             DeviceIndex >= 0 ? DeviceList.Name(DeviceIndex) : "");
    const int count = AudioBoxRowCount();
    const int active = MicButtonDown && MicLineIndex >= 0 ? MicLineIndex : SelectedAudioBoxRow();
    for (int i = 0; i < count; ++i) {
        const RECT& row = AudioBoxRects[i];
        const RECT name{kNameLeft, row.top + 5, kNameRight, row.bottom};
        DrawFaceText(dc, name, i == active ? kActiveLineColour : kLineNameColour,
                 IsNt6 ? DeviceList.Name(i) : LineList.Name(i));
        const RECT m = MicMarkerRect(i);
        (i == MicLineIndex ? CheckBoxChecked : CheckBoxUnchecked)
            .Draw(dc, m.left, m.top, m.right - m.left, m.bottom - m.top);
    }
}

void CVelorinDlg::DrawAudioBoxRow(int row, const CPicture& face) {
    if (!AudioBoxOpen || row < 0 || row >= AudioBoxRowCount()) return;
    CClientDC client(this);
    const RECT& r = AudioBoxRects[row];
    face.Draw(client.GetSafeHdc(), r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// ---- pointer ---------------------------------------------------------------

void CVelorinDlg::HoverAudioBoxRows(CPoint point) {
    if (!AudioBoxOpen || MicButtonDown) return;
    int row = AudioBoxRowAt(point.x, point.y, AudioBoxRowCount());
    // The selected row and a row under test keep their faces.
    if (row == SelectedAudioBoxRow() || row == TestLine) row = -1;
    if (row == HoverRow) return;
    if (HoverRow >= 0 && HoverRow != SelectedAudioBoxRow() && HoverRow != TestLine)
        DrawAudioBoxRow(HoverRow, SocketUp);
    HoverRow = row;
    if (row >= 0) DrawAudioBoxRow(row, SocketHover);
}

HCURSOR CVelorinDlg::AudioBoxCursorAt(POINT point) {
    if (!AudioBoxOpen) return nullptr;
    if (Holds(kRowsArea, point)) return Cursors[0];
    if (Holds(kHotAreas[0], point) || Holds(kHotAreas[1], point)) return Cursors[1];
    return nullptr;
}

void CVelorinDlg::UpdateCursor(CPoint point) {
    // The dialog class's cursor is shared by every dialog of the process, so
    // it stays; the box's cursor is set for this window alone, here and on
    // WM_SETCURSOR.
    BoxCursor = AudioBoxCursorAt(point);
    if (BoxCursor) ::SetCursor(BoxCursor);
}

BOOL CVelorinDlg::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
    if (hitTest == HTCLIENT && AudioBoxOpen) {
        POINT point;
        ::GetCursorPos(&point);
        ::ScreenToClient(m_hWnd, &point);
        BoxCursor = AudioBoxCursorAt(point);
        if (BoxCursor) {
            ::SetCursor(BoxCursor);
            return TRUE;
        }
    }
    return CDialog::OnSetCursor(wnd, hitTest, message);
}

// ---- microphone button and markers -----------------------------------------

namespace {

// Records from row `row` (NT 6: device `row`), keeping a running recording.
void SwitchCaptureTo(CVelorinDlg& dlg, int row, int line) {
    EnableInputPin(line);
    if (!dlg.IsNt6) return;
    if (dlg.IsRecording || dlg.SignalModeOn || dlg.ScheduleModeOn) {
        dlg.CaptureGraphObject.OpenDevice(row, &dlg.DeviceList, &dlg.LineList, dlg.RecordFormat.channels,
                                          dlg.RecordFormat.bits, dlg.RecordFormat.rate);
    } else if (SUCCEEDED(dlg.CaptureGraphObject.SelectDevice(row, &dlg.DeviceList, &dlg.LineList))) {
        dlg.LineCount = dlg.LineList.Count();
    }
}

}  // namespace

bool CVelorinDlg::OnMicButtonDown(CPoint point) {
    if (!AudioBoxOpen || !Holds(kMicButton, point)) return false;
    CClientDC client(this);
    MicDown.Draw(client.GetSafeHdc(), kMicButton.left, kMicButton.top,
                 kMicButton.right - kMicButton.left, kMicButton.bottom - kMicButton.top);
    // A test step records from its own line; switching now would spoil it.
    if (MicLineIndex < 0 || LineTestBusy()) return true;
    DrawAudioBoxRow(SelectedAudioBoxRow(), SocketUp);
    DrawAudioBoxRow(MicLineIndex, SocketDown);
    SwitchCaptureTo(*this, MicLineIndex, MicLineIndex);
    MicButtonDown = 1;
    InvalidateRect(&kBoxRect, FALSE);
    SetCapture();
    return true;
}

void CVelorinDlg::OnMicButtonUp(CPoint) {
    if (!AudioBoxOpen) return;
    CClientDC client(this);
    MicUp.Draw(client.GetSafeHdc(), kMicButton.left, kMicButton.top,
               kMicButton.right - kMicButton.left, kMicButton.bottom - kMicButton.top);
    if (!MicButtonDown) return;
    DrawAudioBoxRow(MicLineIndex, SocketUp);
    DrawAudioBoxRow(SelectedAudioBoxRow(), SocketDown);
    SwitchCaptureTo(*this, DeviceIndex, LineIndex);
    // Cleared before the release, whose capture change comes back here.
    MicButtonDown = 0;
    InvalidateRect(&kBoxRect, FALSE);
    if (::GetCapture() == m_hWnd) ReleaseCapture();
}

bool CVelorinDlg::OnMicMarkerClick(CPoint point) {
    if (!AudioBoxOpen) return false;
    const int count = AudioBoxRowCount();
    const int row = MicMarkerAt(point.x, point.y, count);
    if (row < 0) return false;
    if (row == MicLineIndex) return true;
    CClientDC client(this);
    HDC dc = client.GetSafeHdc();
    if (MicLineIndex >= 0 && MicLineIndex < count) {
        const RECT old = MicMarkerRect(MicLineIndex);
        CheckBoxUnchecked.Draw(dc, old.left, old.top, old.right - old.left, old.bottom - old.top);
    }
    const RECT now = MicMarkerRect(row);
    CheckBoxChecked.Draw(dc, now.left, now.top, now.right - now.left, now.bottom - now.top);
    MicLineIndex = row;
    return true;
}

void CVelorinDlg::FindMicrophoneLine() {
    MicLineIndex = -1;
    auto search = [this](int count, auto nameOf) {
        for (int i = 0; i < count; ++i) {
            std::string name = nameOf(i);
            for (char& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
            if (name.find("mic") != std::string::npos) MicLineIndex = i;
        }
    };
    search(LineList.Count(), [this](int i) { return std::string(LineList.Name(i)); });
    if (IsNt6) search(DeviceList.Count(), [this](int i) { return std::string(DeviceList.Name(i)); });
}
