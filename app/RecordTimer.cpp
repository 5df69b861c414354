// The main window's periodic duties: the play position, the elapsed time
// and the level meters (meter timer), and on timer 1 the line set-up and
// line test, the schedule checks and what signal-activated recording does
// on silence. Every duty runs on the user-interface thread: the multimedia
// timer only posts its tick here.
#include "app/VelorinDlg.h"

#include <algorithm>
#include <ctime>

#include <commctrl.h>

#include "app/RecordingRules.h"
#include "framework/Controls.h"
#include "framework/SafeString.h"
#include "engine/EngineState.h"
#include "engine/PlayerGraph.h"

namespace {

constexpr int kPlaySliderMaximum = 0xFFFF;
constexpr int kThresholdBarId = 999;
const RECT kPlaySliderArea{252, 162, 552, 180};
const RECT kFileSizeArea{462, 129, 545, 140};
const RECT kPlayPositionArea{460, 140, 545, 151};
const COLORREF kFaceColour = RGB(28, 210, 252);

const COLORREF kBalanceColour = RGB(107, 101, 99);
const RECT kBackgroundShareArea{369, 161, 398, 178};
const RECT kRecordingShareArea{461, 161, 490, 178};
const RECT kThresholdArea{274, 88, 304, 102};

// Readout text on its filled rectangle, clipped to it; right-aligned at
// (right - rightInset, top + topOffset), or left-aligned there from left.
void DrawReadout(HDC dc, const RECT& area, int rightInset, int topOffset, const char* text,
                 COLORREF fill = kFaceColour, COLORREF colour = RGB(0, 0, 0),
                 bool leftAligned = false) {
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = SetTextColor(dc, colour);
    UINT oldAlign = SetTextAlign(dc, (leftAligned ? TA_LEFT : TA_RIGHT) | TA_TOP);
    const int x = leftAligned ? area.left + rightInset : area.right - rightInset;
    ExtTextOutA(dc, x, area.top + topOffset, ETO_CLIPPED, &area, text,
                static_cast<UINT>(strlen(text)), nullptr);
    SetTextAlign(dc, oldAlign);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

// The valid bytes of the block the meters draw from.
size_t LastBlockBytes(const BYTE* block) {
    for (const WAVEHDR& h : RecordingSession.CaptureHeaders)
        if (reinterpret_cast<const BYTE*>(h.lpData) == block)
            return std::min<size_t>(h.dwBytesRecorded ? h.dwBytesRecorded : h.dwBufferLength,
                                    CaptureBlockBytes);
    for (const WAVEHDR& h : MonitorHeaders)
        if (reinterpret_cast<const BYTE*>(h.lpData) == block)
            return std::min<size_t>(h.dwBytesRecorded ? h.dwBytesRecorded : h.dwBufferLength,
                                    MonitorBufferBytes);
    return 0;
}

}  // namespace

// ---- readouts ----------------------------------------------------------

void CVelorinDlg::DrawFileSize(HDC dc) {
    HDC own = dc ? nullptr : ::GetDC(m_hWnd);
    if (own) dc = own;
    char text[64];
    FormatFileSizeText(RecordingSession.RecordedBytes, ElapsedSpan, text, sizeof text);
    DrawReadout(dc, kFileSizeArea, 2, 0, text);
    if (own) ::ReleaseDC(m_hWnd, own);
}

void CVelorinDlg::DrawPlayPosition(HDC dc) {
    HDC own = dc ? nullptr : ::GetDC(m_hWnd);
    if (own) dc = own;
    char text[64];
    FormatPlayPositionText(PlayPosition, PlayLength, text, sizeof text);
    DrawReadout(dc, kPlayPositionArea, 0, -1, text);
    if (own) ::ReleaseDC(m_hWnd, own);
}

void CVelorinDlg::DrawPercentage(HDC dc) {
    HDC own = dc ? nullptr : ::GetDC(m_hWnd);
    if (own) dc = own;
    char text[16];
    SafeFormat(text, "%d%%", MixBalancePercent);
    DrawReadout(dc, kBackgroundShareArea, 1, 2, text, kBalanceColour, RGB(255, 255, 255));
    SafeFormat(text, "%d%%", 100 - MixBalancePercent);
    DrawReadout(dc, kRecordingShareArea, 1, 2, text, kBalanceColour, RGB(255, 255, 255));
    ScaleBackgroundName.Draw(dc, 252, 161, 113, 18);
    ScaleRecordingName.Draw(dc, 492, 161, 57, 18);
    if (own) ::ReleaseDC(m_hWnd, own);
}

// Only the template's hidden threshold bar scrolls here (the face's own
// sliders are drawn, not windows); its readout lies over the front face's
// file lines, so it shows on the back face alone.
void CVelorinDlg::OnHScroll(UINT code, UINT pos, CScrollBar* bar) {
    HWND from = bar ? bar->GetSafeHwnd() : nullptr;
    if (from && ::GetDlgCtrlID(from) == kThresholdBarId && FaceMode == 1) {
        char text[16];
        FormatThresholdText(static_cast<int>(::SendMessageA(from, TBM_GETPOS, 0, 0)), text,
                            sizeof text);
        CClientDC client(this);
        DrawReadout(client.GetSafeHdc(), kThresholdArea, 1, 0, text, kFaceColour, RGB(0, 0, 0),
                    true);
    }
    CDialog::OnHScroll(code, pos, bar);
}

// ---- duties ------------------------------------------------------------

void CVelorinDlg::PlayPositionDuty() {
    if (!IsPlaying || IsPaused) return;
    PlayDivider = (PlayDivider + 1) % 20;
    if (PlayDivider != 0) return;
    if (PlayPositionSlider.IsCaptured() || PlayPositionSlider.IsDragging() || PlaySeeking) return;
    int64_t position = 0;
    if (PlayerGraph) {
        CPlayerGraph::Guard guard(PlayerGraph);
        LONGLONG now = 0;
        if (PlayerGraph->mediaSeeking && SUCCEEDED(PlayerGraph->mediaSeeking->GetCurrentPosition(&now)))
            position = now / 10000;
    }
    if (PlayLength == 0) return;
    PlayPositionSlider.SetPos(SliderPositionFor(position, PlayLength, kPlaySliderMaximum));
    RepaintRect(kPlaySliderArea);
    PlayPosition = static_cast<int32_t>(position);
    DrawPlayPosition(nullptr);
}

void CVelorinDlg::MeterDuties() {
    PlayPositionDuty();
    if (!IsRecording && !IsPlaying) return;
    HalfRate ^= 1;
    if (HalfRate) {
        const time_t now = time(nullptr);
        if (IsPaused) {
            ElapsedBase = ElapsedSpan;
            ElapsedFrom = now;
        } else if (SignalModeOn && !RecordingSession.SignalActive) {
            // Waiting for sound does not count as recorded time.
            ElapsedFrom = now;
        } else {
            ElapsedSpan = (now - ElapsedFrom) + ElapsedBase;
            if (FaceMode == 0 && (SignalModeOn || IsRecording || ScheduleModeOn)) DrawFileSize(nullptr);
        }
    }
    BYTE* block = RecordingSession.LastBlock;
    if (MeterArmed && block && FaceMode == 0) {
        LevelMeterInput in;
        in.levelLeft = LevelLeft;
        in.levelRight = LevelRight;
        in.block = block;
        in.blockBytes = LastBlockBytes(block);
        in.bits16 = IsPlaying ? MonitorFormat.wBitsPerSample == 16 : RecordFormat.bits == 16;
        in.barDisplay = ShowInputLevelOn == 0;
        in.signalActive = RecordingSession.SignalActive != 0;
        in.signalTriggered = RecordingOptions.SignalTriggered != 0;
        in.signalLevelIndex = SignalThreshold;
        MeterArmed = 2000;
        CClientDC dc(this);
        Meters.DrawLevelMeters(dc.GetSafeHdc(), in);
    }
}

void CVelorinDlg::RecordTimerDuties() {
    PlayPositionDuty();
    // The line set-up runs only when asked for; it gives way to anything
    // the user started meanwhile.
    if (AutoSetupPending) AutoLineChoiceDuty();
    if (TestLine >= 0) {
        LineTestStep();
        return;
    }
    // Sound returns.
    if (SignalModeOn && SignalStrong) {
        if (IsPaused && (!ScheduleModeOn || ScheduleRecording)) OnBtnPause();
        SignalHeard = 1;
    }
    // A full disk ends the recording here, before anything starts another.
    if (IsRecording && CaptureActive && OutputWriteFailed()) {
        StopOnFailedWrite();
        return;
    }
    if ((IsRecording || IsPlaying) && ScheduleModeOn) {
        CheckScheduledUrls();
        CheckSchedule();
    }
    if (!IsRecording) return;

    if (IsPaused) {
        if (SignalModeOn && ScheduleModeOn && !RecordingSession.SignalActive) {
            SecondDivider = (SecondDivider + 1) % 20;
            if (SecondDivider == 0 && SilenceAction == 2 && SignalHeard && ScheduleWindowOpen)
                NewFileOnSilence();
        }
        return;
    }
    SecondDivider = (SecondDivider + 1) % 20;
    if (SecondDivider != 0) return;
    // Once a second: what silence does in signal-activated mode.
    if (!SignalModeOn || RecordingSession.SignalActive) return;
    if (ScheduleModeOn) {
        if (ScheduleRecording && !IsPaused) OnBtnPause();
        if (SilenceAction == 2 && SignalHeard) NewFileOnSilence();
        return;
    }
    switch (SilenceAction) {
    case 0:
        if (!IsPaused) OnBtnPause();
        break;
    case 1:
        if (SignalHeard) {
            IsRecording = 0;
            OnBtnSignalRecord();  // signal mode off stops the recording
            SignalHeard = 0;
        }
        break;
    case 2:
        if (SignalHeard) NewFileOnSilence();
        break;
    default:
        break;
    }
}
