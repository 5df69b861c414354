// The recorder panel's transport: Record, Play, Pause and Stop, the clock
// and play position on timer 300, playback through an MCI window, and the
// recorder's blocks and end notices. Everything runs on the container's
// thread; the recorder's own threads only post CtlFinishedMessage.
#include <windows.h>
#include <commctrl.h>
#include <vfw.h>

#include <cstdio>
#include <ctime>

#include "control/CtlLines.h"
#include "control/CtlRecorder.h"
#include "control/Mp3OutputFormat.h"
#include "control/PanelText.h"
#include "control/Sablet2.h"
#include "filters/base/Module.h"
#include "framework/Controls.h"
#include "framework/SafeString.h"

namespace {

constexpr UINT_PTR TransportTimer = 300;
constexpr UINT TransportTimerMs = 50;
// A recording shorter than this is not offered for playing or upload.
constexpr LONG PlayableMs = 200;
constexpr COLORREF ClockFill = 0xFCD21C;

}  // namespace

void CSablet2::InitTransport() {
    LoadSkin();
    PlaceAtDesignScale();
    LayoutTransportButtons();
    SubclassSkinSlider(IDC_POSITION);
    SubclassSkinSlider(IDC_VOLUME);
    MixerId = ProbeWaveInDevice();
    int line = FillAudioSourceCombo(m_hWnd, static_cast<uint32_t>(MixerId));
    SelectedLine = line < 0 ? 0 : line;

    if (AdPicture.SubclassWindow(::GetDlgItem(m_hWnd, IDC_ADPICTURE))) {
        if (Resize) {
            AdPicture.UnLoad();
            ::ShowWindow(AdPicture.Window(), SW_HIDE);
            ::EnableWindow(AdPicture.Window(), FALSE);
        } else if (AdPicture.LoadFromResource("IDR_WEBBACKGROUND", "GIF",
                                              filterbase::ThisModule())) {
            AdPicture.Draw();
        }
    }

    ClaimTake();
    ReferenceTime = time(nullptr);
    AccumulatedSeconds = ElapsedSeconds = 0;
    HWND position = ::GetDlgItem(m_hWnd, IDC_POSITION);
    ::SendMessageA(position, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    HWND volume = ::GetDlgItem(m_hWnd, IDC_VOLUME);
    ::SendMessageA(volume, TBM_SETRANGE, TRUE, MAKELPARAM(0, 2000));
    ::SendMessageA(volume, TBM_SETPOS, TRUE, 1000);
    TransportState = 0;
    Recording = Playing = Paused = 0;
    ::EnableWindow(position, FALSE);
    EnableItem(IDC_PLAY, false);
    EnableItem(IDC_UPLOAD, false);
}

// The recording's place, this control's own for its life: claimed at
// start-up, and again at Record when the temporary folder was unusable or
// every name was held then. Without one nothing is recorded, rather than
// over another control's take or somewhere else.
bool CSablet2::ClaimTake() {
    if (Take.Number()) return true;
    char temp[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof temp, temp);
    if (n == 0 || n >= sizeof temp || !Take.Claim(temp) || !SafeCopy(RecordingBase, Take.Base())) {
        Take.Release();
        RecordingBase[0] = '\0';
        return false;
    }
    return true;
}

CSablet2::PanelFormat CSablet2::NextTakeFormat() const {
    PanelFormat f;
    f.mp3 = UseMP3 != 0;
    f.rate = SampleRate;
    f.kbps = MP3Bitrate;
    Mp3FrameFormat written;
    if (f.mp3 && CtlMp3OutputFormat(static_cast<uint32_t>(SampleRate), static_cast<uint16_t>(Channel),
                                    static_cast<uint16_t>(MP3Bitrate), &written)) {
        f.rate = static_cast<long>(written.rate);
        f.kbps = written.kbps;
    }
    return f;
}

void CSablet2::EnableItem(int id, bool enable) {
    ::EnableWindow(::GetDlgItem(m_hWnd, id), enable ? TRUE : FALSE);
}

void CSablet2::RepaintItem(int id) { ::InvalidateRect(::GetDlgItem(m_hWnd, id), nullptr, TRUE); }

void CSablet2::OnAudioSourceChange() {
    LRESULT sel = ::SendDlgItemMessageA(m_hWnd, IDC_AUDIOSOURCE, CB_GETCURSEL, 0, 0);
    // Nothing chosen keeps the line in use.
    if (sel != CB_ERR) SelectedLine = static_cast<int>(sel);
}

void CSablet2::OnRecord() {
    if (TransportState != 0) return;
    ClearTransportFailure();
    const char* ext = UseMP3 ? ".mp3" : ".wav";
    char path[sizeof RecordingBase + 8];
    if (!ClaimTake() || !SafeFormat(path, "%s%s", RecordingBase, ext)) {
        ReportTransportFailure("Cannot record:", "no file to record into");
        return;
    }
    // Only one recording at a time in the whole process (one sound card):
    // another control's recording leaves this panel idle, saying so.
    if (CtlIsRecording()) {
        ReportTransportFailure("Cannot record:", "sound card in use");
        return;
    }
    RecordedFormat = NextTakeFormat();
    TransportState = 2;
    EnableItem(IDC_PLAY, false);
    EnableItem(IDC_CONFIG, false);
    EnableItem(IDC_UPLOAD, false);
    InterlockedExchange(&CtlCaptureState.RecordedBytes, 0);
    TakeBytes = 0;
    ReferenceTime = time(nullptr);
    AccumulatedSeconds = ElapsedSeconds = 0;
    PlayLength = 0;
    LastExtension[0] = '\0';

    CaptureParams p{};
    p.CallbackWindow = m_hWnd;
    p.Line = SelectedLine;
    p.OutputPath = path;
    p.Channels = static_cast<uint32_t>(Channel);
    p.SampleRate = static_cast<uint32_t>(SampleRate);
    p.Bits = static_cast<uint32_t>(static_cast<uint16_t>(SampleBit)) |
             (static_cast<uint32_t>(static_cast<uint16_t>(MP3Bitrate)) << 16);
    p.Mp3 = UseMP3 ? 1 : 0;
    p.MixerId = static_cast<uint32_t>(MixerId);
    p.SmallBlocks = 0;
    int started = CtlStartCapture(p);
    if (started != CtlStarted) {
        // Nothing was recorded: back to idle, nothing new to play, and the
        // user told why rather than left looking at a panel that ignored him.
        TransportState = 0;
        Recording = 0;
        EnableItem(IDC_CONFIG, AllowParaChange != 0);
        RepaintItem(IDC_RECORD);
        RepaintItem(IDC_PLAY);
        // The device's refusal of the format is also what a machine without
        // any recording device answers.
        bool noDevice = waveInGetNumDevs() == 0;
        ReportTransportFailure("Cannot record:", noDevice                    ? "no recording device"
                                                 : started == CtlNoMemory    ? "not enough memory"
                                                 : started == CtlFileError   ? "cannot write the file"
                                                 : started == CtlDeviceError ? "sound card in use"
                                                                             : "format not supported");
        return;
    }
    // A Pause pressed while idle arms the recording paused.
    if (Paused) CtlPauseCapture();
    SafeCopy(LastExtension, ext);
    RecordingFinishPending = true;
    Recording = 1;
    RepaintItem(IDC_RECORD);
    RepaintItem(IDC_PAUSE);
    RepaintItem(IDC_PLAY);
    ::SetTimer(m_hWnd, TransportTimer, TransportTimerMs, nullptr);
}

void CSablet2::OnPlay() {
    if (TransportState != 0 || LastExtension[0] == '\0') return;
    ClearTransportFailure();
    TransportState = 1;
    EnableItem(IDC_RECORD, false);
    EnableItem(IDC_CONFIG, false);
    RepaintItem(IDC_PLAY);
    Playing = 1;
    char path[sizeof RecordingBase + 8];
    if (SafeFormat(path, "%s%s", RecordingBase, LastExtension)) PlayFile(path);
    if (!MciWindow) {
        // The file cannot be played (gone, or no player for it): idle again.
        StopRecording();
        TransportState = 0;
        EnableItem(IDC_RECORD, true);
        EnableItem(IDC_CONFIG, AllowParaChange != 0);
        RepaintItem(IDC_PLAY);
        ReportTransportFailure("Cannot play:", "no player opens the take");
        return;
    }
    ReferenceTime = time(nullptr);
    ::SetTimer(m_hWnd, TransportTimer, TransportTimerMs, nullptr);
}

void CSablet2::PlayFile(const char* path) {
    if (MciWindow) MCIWndDestroy(MciWindow);
    MciWindow = MCIWndCreateA(m_hWnd, filterbase::ThisModule(),
                              WS_CHILD | MCIWNDF_NOERRORDLG | MCIWNDF_NOTIFYERROR |
                                  MCIWNDF_NOTIFYPOS | MCIWNDF_NOMENU,
                              nullptr);
    if (!MciWindow) return;
    if (MCIWndOpen(MciWindow, path, 0) != 0) {
        MCIWndDestroy(MciWindow);
        MciWindow = nullptr;
        return;
    }
    // A player made with a parent is shown with a border, which sound does
    // not need: on the panel it was a white frame over the banner's corner.
    ::ShowWindow(MciWindow, SW_HIDE);
    PlayEnd = MCIWndGetEnd(MciWindow);
    PlayLength = MCIWndGetLength(MciWindow);
    PlayPosition = static_cast<LONG>(PlayPositionMs(PositionValue, static_cast<uint32_t>(PlayLength)));
    int volume = static_cast<int>(::SendDlgItemMessageA(m_hWnd, IDC_VOLUME, TBM_GETPOS, 0, 0));
    MCIWndSetVolume(MciWindow, volume);
    MCIWndSeek(MciWindow, PlayPosition);
    MCIWndPlay(MciWindow);
    if (Paused) MCIWndPause(MciWindow);
}

void CSablet2::OnPause() {
    Paused = Paused ? 0 : 1;
    RepaintItem(IDC_PAUSE);
    if (Paused) {
        if (Playing && MciWindow) MCIWndPause(MciWindow);
        if (Recording) CtlPauseCapture();
    } else {
        if (Playing && MciWindow) MCIWndResume(MciWindow);
        if (Recording) CtlResumeCapture();
    }
}

void CSablet2::OnStop() {
    TransportState = 0;
    Paused = 0;
    // Play and Upload wait for the recording's end notice.
    EnableItem(IDC_RECORD, true);
    EnableItem(IDC_CONFIG, AllowParaChange != 0);
    if (!Recording && LastExtension[0] && PlayLength > PlayableMs) EnableItem(IDC_PLAY, true);
    RepaintItem(IDC_RECORD);
    RepaintItem(IDC_PLAY);
    RepaintItem(IDC_PAUSE);
    StopRecording();
}

void CSablet2::StopRecording() {
    ::KillTimer(m_hWnd, TransportTimer);
    DrawPlayTime();
    ::SendDlgItemMessageA(m_hWnd, IDC_POSITION, TBM_SETPOS, TRUE, 0);
    PlayPosition = 0;
    PositionValue = 0;
    if (Playing && MciWindow) {
        MCIWndStop(MciWindow);
        MCIWndDestroy(MciWindow);
        MciWindow = nullptr;
    }
    Playing = 0;
    Paused = 0;
    // Only this panel's own recording is stopped; the length is measured
    // when the recorder says the file is complete.
    if (Recording) CtlStopCapture();
    Recording = 0;
}

LRESULT CSablet2::OnWaveInData(WPARAM wParam, LPARAM lParam) {
    CtlProcessCaptureBuffer(reinterpret_cast<HWAVEIN>(wParam), reinterpret_cast<WAVEHDR*>(lParam));
    return 0;
}

LRESULT CSablet2::OnRecordingFinished(WPARAM, LPARAM recordedBytes) {
    if (!RecordingFinishPending || Recording) return 0;
    RecordingFinishPending = false;
    // Another control may have started recording since: the count comes
    // with the notice.
    TakeBytes = static_cast<LONG>(recordedBytes);
    MeasureRecording();
    return 0;
}

// Reads the finished recording's length without playing it; a recording
// of more than 200 ms makes Play and Upload available.
void CSablet2::MeasureRecording() {
    PlayLength = 0;
    char path[sizeof RecordingBase + 8];
    if (LastExtension[0] && SafeFormat(path, "%s%s", RecordingBase, LastExtension)) {
        // The device alone, without a player window: measuring must not
        // depend on the device taking a video window, which an audio-only
        // file may not have.
        MCI_OPEN_PARMSA open{};
        open.lpstrElementName = path;
        if (mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT,
                            reinterpret_cast<DWORD_PTR>(&open)) == 0) {
            MCI_SET_PARMS format{};
            format.dwTimeFormat = MCI_FORMAT_MILLISECONDS;
            mciSendCommandA(open.wDeviceID, MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT,
                            reinterpret_cast<DWORD_PTR>(&format));
            MCI_STATUS_PARMS status{};
            status.dwItem = MCI_STATUS_LENGTH;
            if (mciSendCommandA(open.wDeviceID, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT,
                                reinterpret_cast<DWORD_PTR>(&status)) == 0)
                PlayLength = static_cast<LONG>(status.dwReturn);
            mciSendCommandA(open.wDeviceID, MCI_CLOSE, MCI_WAIT, 0);
        }
    }
    bool playable = PlayLength > PlayableMs;
    if (!playable) LastExtension[0] = '\0';
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_POSITION), playable);
    if (TransportState == 0) EnableItem(IDC_PLAY, playable);
    EnableItem(IDC_UPLOAD, playable);
    DrawPlayTime();
}

void CSablet2::ReportTransportFailure(const char* title, const char* reason) {
    FailureTitle = title;
    FailureReason = reason;
    DrawPlayTime();
}

void CSablet2::ClearTransportFailure() {
    if (!FailureReason) return;
    FailureTitle = FailureReason = nullptr;
    DrawPlayTime();
}

void CSablet2::OnTimer(UINT_PTR id) {
    if (id == sablet::HostInfoTimer) {
        ::KillTimer(m_hWnd, sablet::HostInfoTimer);
        StartHostInfo();
        return;
    }
    if (id != TransportTimer) return;
    time_t now = time(nullptr);
    if (Recording && !Paused) {
        ElapsedSeconds = AccumulatedSeconds + static_cast<LONG>(now - ReferenceTime);
        DrawElapsedTime();
    } else {
        AccumulatedSeconds = ElapsedSeconds;
        ReferenceTime = now;
    }
    if (Playing && !Paused && MciWindow) {
        PlayPosition = MCIWndGetPosition(MciWindow);
        PositionValue = PlayPercent(static_cast<uint32_t>(PlayPosition),
                                    static_cast<uint32_t>(PlayLength));
        ::SendDlgItemMessageA(m_hWnd, IDC_POSITION, TBM_SETPOS, TRUE, PositionValue);
        DrawPlayTime();
        // A device that ran out stops by itself and may already report its
        // position back at the start: its stopping is the end as well.
        bool ranOut = MCIWndGetMode(MciWindow, nullptr, 0) == MCI_MODE_STOP;
        if (PlayPosition >= PlayEnd || ranOut) {
            StopRecording();
            TransportState = 0;
            Recording = Playing = Paused = 0;
            EnableItem(IDC_PLAY, true);
            EnableItem(IDC_RECORD, true);
            EnableItem(IDC_CONFIG, AllowParaChange != 0);
            RepaintItem(IDC_PLAY);
            RepaintItem(IDC_RECORD);
            RepaintItem(IDC_PAUSE);
        }
    }
}

void CSablet2::OnHScroll(UINT, UINT, CScrollBar* bar) {
    HWND from = bar ? bar->GetSafeHwnd() : nullptr;
    if (from && from == ::GetDlgItem(m_hWnd, IDC_POSITION)) {
        PositionValue = static_cast<int>(::SendMessageA(from, TBM_GETPOS, 0, 0));
        PlayPosition = static_cast<LONG>(
            PlayPositionMs(PositionValue, static_cast<uint32_t>(PlayLength)));
        DrawPlayTime();
        if (Playing && MciWindow) {
            MCIWndPause(MciWindow);
            MCIWndSeek(MciWindow, PlayPosition);
            MCIWndPlay(MciWindow);
            // The seek plays on: the panel is no longer paused.
            if (Paused) {
                Paused = 0;
                RepaintItem(IDC_PAUSE);
            }
        }
    } else if (from && from == ::GetDlgItem(m_hWnd, IDC_VOLUME) && MciWindow) {
        MCIWndSetVolume(MciWindow, static_cast<int>(::SendMessageA(from, TBM_GETPOS, 0, 0)));
    }
}

void CSablet2::OnDestroy() {
    ::KillTimer(m_hWnd, TransportTimer);
    if (MciWindow) {
        MCIWndStop(MciWindow);
        MCIWndDestroy(MciWindow);
        MciWindow = nullptr;
    }
    // A page closed while recording still leaves a complete file.
    if (Recording) CtlStopCapture();
    Recording = Playing = 0;
    CtlWaitForFinish();
    AdPicture.Stop();
    ReleaseWeb();
    FreeSkin();
}

void CSablet2::DrawStatusText(HDC dc) {
    char text[64];
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    SetBkMode(dc, TRANSPARENT);
    // While this panel records (or its take is being finished) the
    // recorder's running count is this panel's; otherwise its last take's.
    LONG bytes = Recording || RecordingFinishPending
                     ? InterlockedCompareExchange(&CtlCaptureState.RecordedBytes, 0, 0)
                     : TakeBytes;
    FormatRecordedSize(static_cast<uint32_t>(bytes), text, sizeof text);
    SetTextAlign(dc, TA_RIGHT | TA_TOP);
    TextOutA(dc, TimeBoxRect.right - 2, TimeBoxRect.top, text, static_cast<int>(strlen(text)));
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    // An MP3 take's rate is the encoder's choice, so it is named as well.
    PanelFormat f = Recording || RecordingFinishPending ? RecordedFormat : NextTakeFormat();
    if (f.mp3)
        SafeFormat(text, "MP3 %ld Hz", f.rate);
    else
        SafeCopy(text, "WAV");
    TextOutA(dc, TimeBoxRect.left + 2, TimeBoxRect.top, text, static_cast<int>(strlen(text)));
    if (f.mp3)
        SafeFormat(text, "%d kb/s", f.kbps);
    else
        SafeFormat(text, "%ld Hz", f.rate);
    TextOutA(dc, TimeBoxRect.left + 2, TimeBoxRect.bottom - 11, text, static_cast<int>(strlen(text)));
    SelectObject(dc, oldFont);
}

namespace {

void DrawClockText(HWND wnd, const char* text, CSablet2* panel) {
    HDC dc = GetDC(wnd);
    if (!dc) return;
    RECT box = panel->TimeBoxRect;
    HBRUSH fill = CreateSolidBrush(ClockFill);
    FillRect(dc, &box, fill);
    DeleteObject(fill);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    SetBkMode(dc, TRANSPARENT);
    if (panel->FailureReason) {
        // The reason takes the whole box: the format, size and clock
        // would only crowd it.
        SetTextAlign(dc, TA_LEFT | TA_TOP);
        const char* title = panel->FailureTitle ? panel->FailureTitle : "";
        TextOutA(dc, box.left + 2, box.top, title, static_cast<int>(strlen(title)));
        TextOutA(dc, box.left + 2, box.bottom - 11, panel->FailureReason,
                 static_cast<int>(strlen(panel->FailureReason)));
        SelectObject(dc, oldFont);
        ReleaseDC(wnd, dc);
        return;
    }
    SetTextAlign(dc, TA_RIGHT | TA_TOP);
    TextOutA(dc, box.right - 2, box.bottom - 11, text, static_cast<int>(strlen(text)));
    SelectObject(dc, oldFont);
    panel->DrawStatusText(dc);
    ReleaseDC(wnd, dc);
}

}  // namespace

void CSablet2::DrawElapsedTime() {
    char text[32];
    FormatElapsedTime(static_cast<uint32_t>(ElapsedSeconds), text, sizeof text);
    DrawClockText(m_hWnd, text, this);
}

void CSablet2::DrawPlayTime() {
    char text[48];
    FormatPlayTime(static_cast<uint32_t>(PlayPosition), static_cast<uint32_t>(PlayLength), text,
                   sizeof text);
    DrawClockText(m_hWnd, text, this);
}
