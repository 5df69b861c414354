// The main window's message routing: the map, the window procedure that
// sees every message first, the timers, and the capture block callback.

#include <algorithm>
#include <ctime>

#include "app/VelorinDlg.h"

#include <commctrl.h>
#include "engine/EngineState.h"
#include "framework/App.h"
#include "engine/RecordingLines.h"

namespace {
// The shell announces a restart with this; the icon is added again.
UINT TaskbarCreated = CTrayIcon::TaskbarCreatedMessage();
}  // namespace

BEGIN_MESSAGE_MAP(CVelorinDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_WM_HSCROLL()
    ON_WM_DESTROY()
    ON_WM_CAPTURECHANGED()
    ON_WM_ERASEBKGND()
    ON_WM_SETCURSOR()
    ON_MESSAGE(WM_KEYDOWN, OnKeyDownMessage)
    ON_MESSAGE(MM_WIM_DATA, OnWaveInBlock)
    ON_MESSAGE(MM_MIXM_CONTROL_CHANGE, OnMixerControlChange)
    ON_MESSAGE(WM_AUTOCONFIG, OnAutoConfig)
    ON_MESSAGE(WM_LINETEST_NEXT, OnLineTestNext)
    ON_MESSAGE(WM_DELAYED_SIGNALRECORD, OnDelayedSignalRecord)
    ON_MESSAGE(WM_DELAYED_SCHEDULETOGGLE, OnDelayedScheduleToggle)
    ON_MESSAGE(WM_INVALIDFILE, OnInvalidFile)
    ON_MESSAGE(WM_GRAPHNOTIFY, OnCaptureGraphMessage)
    ON_MESSAGE(WM_TRAYICON_NOTIFY, OnTrayNotify)
    ON_MESSAGE(WM_RECORD_TICK, OnRecordTick)
    ON_REGISTERED_MESSAGE(TaskbarCreated, OnTaskbarCreated)
    // Face buttons.
    ON_COMMAND(1000, OnBtnRecord)
    ON_COMMAND(1003, OnBtnPause)
    ON_COMMAND(1004, OnBtnStop)
    ON_COMMAND(1005, OnBtnEject)
    ON_COMMAND(1006, OnBtnPlay)
    ON_COMMAND(1008, OnBtnDetect)
    ON_COMMAND(1013, OnBtnMinimize)
    ON_COMMAND(1014, OnBtnClose)
    ON_COMMAND(1020, OnBtnAutoDetect)
    ON_COMMAND(1021, OnBtnCloseAudioBox)
    ON_COMMAND(1034, OnHelpOnline)
    ON_COMMAND(1056, OnHelpOnline)
    ON_COMMAND(1036, OnHomePage)
    ON_COMMAND(1038, OnCheckMultiFile)
    ON_COMMAND(1039, CloseWindowCommand)
    ON_COMMAND(1040, DetectAudioLines)
    ON_COMMAND(1041, OnHelpBeforeYouStart)
    ON_COMMAND(1046, OnBtnMp3Settings)
    ON_COMMAND(1047, OnBtnTrackSplitterSettings)
    ON_COMMAND(1048, OnBtnScheduleSettings)
    ON_COMMAND(1049, OnRadioMp3)
    ON_COMMAND(1050, OnBtnSignalRecord)
    ON_COMMAND(1051, OnBtnScheduleStart)
    ON_COMMAND(1057, OnBtnResetThreshold)
    ON_COMMAND(1058, OnBtnDeleteScheduleItem)
    ON_COMMAND(1059, OnBtnAddScheduleItem)
    ON_COMMAND(1060, OnBtnStereo)
    ON_COMMAND(1061, OnBtnMono)
    ON_COMMAND(1062, OnBtn16Bit)
    ON_COMMAND(1063, OnBtn8Bit)
    ON_COMMAND(1067, OnBtnRecordingControl)
    ON_COMMAND(1068, OnBtnShowInputLevel)
    ON_COMMAND(1073, OnCheckTimeStamped)
    ON_COMMAND(1082, OnRadioAbsolute)
    ON_COMMAND(1083, OnRadioRelative)
    ON_COMMAND(1094, OnBtnToTray)
    ON_COMMAND(1113, OnCheckMonitor)
    ON_COMMAND(1114, OnCheckNoiseGate)
    ON_COMMAND(1115, OnCheckLowPass)
    ON_COMMAND(1116, OnCheckHighPass)
    ON_COMMAND(1118, OnBtnNoiseGatingSettings)
    ON_COMMAND(1121, OnBtnDevice)
    ON_COMMAND(1137, OnBtnArchive)
    ON_COMMAND(1138, OnBtnArchiveClose)
    ON_COMMAND(1139, OnBtnEditTag)
    ON_COMMAND(1165, OnBtnBackgroundSettings)
    ON_COMMAND(1166, OnBtnBackgroundEnable)
    ON_COMMAND(1170, OnRadioWav)
    ON_COMMAND(1171, OnRadioWma)
    ON_COMMAND(1172, OnBtnWmaSettings)
    ON_COMMAND(1223, OnBtnUpload)
    ON_COMMAND(1007, OnNoEffect)
    ON_COMMAND(1015, OnNoEffect)
    ON_COMMAND(1016, OnNoEffect)
    ON_COMMAND(1017, OnNoEffect)
    ON_COMMAND(1032, OnNoEffect)
    ON_COMMAND(1033, OnNoEffect)
    // Menus.
    ON_COMMAND(32771, OnMenuOpen)
    ON_COMMAND(32772, OnBtnRecord)
    ON_COMMAND(32777, OnBtnRecord)
    ON_COMMAND(32773, OnBtnStop)
    ON_COMMAND(32778, OnBtnStop)
    ON_COMMAND(32774, OnMenuPause)
    ON_COMMAND(32780, OnMenuPause)
    ON_COMMAND(32776, OnMenuPlay)
    ON_COMMAND(32779, OnMenuPlay)
    ON_COMMAND(32781, OnBtnClose)
    ON_COMMAND(ID_APP_EXIT, OnBtnClose)
    ON_COMMAND(32782, OnMenuSelectDevice)
    ON_COMMAND(32783, OnMenuSignalRecord)
    ON_COMMAND(32784, OnMenuScheduleRecord)
    ON_COMMAND(32785, OnMenuAddToStartup)
    ON_COMMAND(32786, OnMenuMp3Settings)
    ON_COMMAND(32790, OnMenuChangeFileName)
    ON_COMMAND(32791, OnMenuConfigAudioLine)
    ON_COMMAND(32792, OnMenuAbout)
    ON_COMMAND(32793, OnMenuUploadLast)
    ON_COMMAND(32794, OnMenuUploadFromDisk)
    ON_COMMAND(32797, UploadLastRecording)
    ON_COMMAND(32798, UploadFileFromDisk)
    // Controls of the template.
    ON_NOTIFY(UDN_DELTAPOS, 1065, OnSpinSilenceTime)
    ON_EN_SETFOCUS(1066, OnSilenceEditFocus)
    ON_CBN_SELCHANGE(1052, OnSignalTypeChange)
    ON_LBN_DBLCLK(1055, OnScheduleListDblClk)
    ON_NOTIFY(TVN_SELCHANGED, 1187, OnHistoryTreeSelChanged)
    ON_NOTIFY(NM_CLICK, 1187, OnHistoryTreeClick)
    ON_NOTIFY(NM_CUSTOMDRAW, 1187, OnHistoryTreeCustomDraw)
    ON_NOTIFY_EX(TTN_NEEDTEXTA, 0, OnToolTipNeedText)
END_MESSAGE_MAP()

// ---- the window procedure --------------------------------------------------

LRESULT CVelorinDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // The capture graph takes its own event notifications; everything else
    // passes it by.
    if (CaptureGraph && message == WM_GRAPHNOTIFY && CaptureGraph->mediaEvents)
        CaptureGraph->OnCaptureGraphEvent(message, wParam, lParam);
    // The player takes its events, its run request, the position bar's
    // scrolling and the close; the threshold bar's scrolling is not its.
    if (PlayerGraph) {
        bool otherScroll = message == WM_HSCROLL &&
                           reinterpret_cast<HWND>(lParam) != PlayerGraph->positionSlider;
        if (!otherScroll) PlayerGraph->OnPlayerMessage(message, wParam, lParam);
    }

    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) RelayToAreaTips(message, wParam, lParam);

    switch (message) {
    case WM_NOTIFYFORMAT:
        // The window is ANSI, and so are the tooltip requests it answers,
        // whatever a subclass laid over it says about itself.
        if (lParam == NF_QUERY) return NFR_ANSI;
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
        // Only looked at here: the key's binding acts once, in the
        // pre-translation, so a toggle is never flipped twice.
        {
            MSG key{m_hWnd, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
            HotKeys.ParseHotKey(m_hWnd, key, FaceMode ? "BACKFACE" : "FRONTFACE",
                                VolumeSlider.Thumb(), SampleRateSlider.Thumb(), nullptr, false);
        }
        break;
    case WM_PLAYBACK_FINISHED:
        // Only for something still running: a late message of an earlier
        // background must not stop a recording made after it.
        if ((IsPlaying || (RecordingOptions.BackgroundMixOn && !BackgroundStopped)) && PlayerGraph)
            PlayerGraph->StopPlayback();
        if (IsRecording && RecordingOptions.BackgroundMixOn) {
            if (BackgroundAction == 1) {
                OnBtnStop();
            } else {
                // The recording goes on without the background, so the
                // writer stops waiting for background sound.
                RecordingOptions.BackgroundMixOn = 0;
                BackgroundEnded = 1;
            }
        } else if (IsPlaying) {
            StopRecording();
            ElapsedSpan = ElapsedBase = 0;
            ElapsedFrom = time(nullptr);
            ShowStatusText(nullptr, "Ready to record", "");
        }
        break;
    case WM_BACKGROUND_ERROR:
        ShowMessage("BackgroundError");
        break;
    case WM_TRACKLIST_OPENFILE:
        OpenTrackListRow(static_cast<int>(lParam));
        break;
    case WM_SHOW_STARTUP:
        OnShowStartup();
        break;
    default:
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

// ---- keys and the messages every window sees first ------------------------

BOOL CVelorinDlg::PreTranslateMessage(MSG* msg) {
    // The framework walks up from a message's window through its owners, so
    // the dialogs this window owns pass here too: their keys are theirs.
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return CDialog::PreTranslateMessage(msg);
    // A face button that had the focus and is then disabled (Record while
    // recording, detect when the audio-line box opens) leaves no window with
    // the focus. The system then sends every key to this window as a system
    // key; without Alt, or with Alt and Ctrl together (which a window with
    // the focus gets as a plain key), it is still the user's key for the face.
    MSG key = *msg;
    const bool altAlone = (key.lParam & (1L << 29)) && !(::GetKeyState(VK_CONTROL) & 0x8000);
    if ((key.message == WM_SYSKEYDOWN || key.message == WM_SYSKEYUP) && !altAlone && !::GetFocus())
        key.message = key.message == WM_SYSKEYDOWN ? WM_KEYDOWN : WM_KEYUP;
    if (key.message == WM_KEYDOWN || key.message == WM_KEYUP) {
        bool matched = false;
        const int result = HotKeys.ParseHotKey(m_hWnd, key, FaceMode ? "BACKFACE" : "FRONTFACE",
                                               VolumeSlider.Thumb(), SampleRateSlider.Thumb(), &matched);
        // Enter and Esc (result 0) skip the dialog's keyboard handling: a
        // bound Enter records and a bound Esc stops, and neither ends the
        // dialog. A key a binding took is consumed, so the dialog's keys
        // never also click the face button that has the focus.
        if (result == 0) return FALSE;
        if (matched) return TRUE;
    }
    if ((msg->message == WM_MOUSEMOVE || msg->message == WM_LBUTTONDOWN) && FaceMode == 0) {
        CPoint point(msg->pt.x, msg->pt.y);
        ScreenToClient(&point);
        UpdateCursor(point);
    }
    return CDialog::PreTranslateMessage(msg);
}

// The face paints every pixel itself; erasing first would only flicker.
BOOL CVelorinDlg::OnEraseBkgnd(CDC*) { return TRUE; }

// A notification that carries 525 instead of a header is a request to
// stop, not a header to read.
BOOL CVelorinDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (lParam == 525) {
        StopRecording();
        return TRUE;
    }
    // No header lives in the lowest 64 KB of an address space.
    if (static_cast<ULONG_PTR>(lParam) < 0x10000) return FALSE;
    return CDialog::OnNotify(wParam, lParam, result);
}

LRESULT CVelorinDlg::OnKeyDownMessage(WPARAM, LPARAM lParam) {
    if (lParam == 525) StopRecording();
    return 1;
}

// ---- timers ----------------------------------------------------------------

void CALLBACK CVelorinDlg::MultimediaTimerProc(UINT, UINT, DWORD_PTR user, DWORD_PTR,
                                               DWORD_PTR) {
    // On the timer's own thread: hand the tick to the window's thread, at
    // most one waiting at a time.
    CVelorinDlg* dialog = MainDialog;
    HWND window = MainWindow;
    if (!dialog || !window) return;
    if (!dialog->TickPending.exchange(true))
        if (!::PostMessageA(window, WM_RECORD_TICK, static_cast<WPARAM>(user), 0))
            dialog->TickPending = false;
}

LRESULT CVelorinDlg::OnRecordTick(WPARAM wParam, LPARAM) {
    TickPending = false;
    if (!MultimediaTimerId) return 0;  // the record timer stopped meanwhile
    OnTimer(static_cast<UINT_PTR>(wParam));
    return 0;
}

void CVelorinDlg::StartRecordTimer(UINT periodMs) {
    // One owner of timer 1 at a time, whoever started it before.
    StopRecordTimer();
    if (MultimediaTimerOn)
        MultimediaTimerId = timeSetEvent(periodMs, 1, &CVelorinDlg::MultimediaTimerProc, IDT_RECORD,
                                         TIME_PERIODIC | TIME_KILL_SYNCHRONOUS | TIME_CALLBACK_FUNCTION);
    if (!MultimediaTimerId) {
        SetTimer(IDT_RECORD, periodMs);
        WindowRecordTimer = true;
    }
}

void CVelorinDlg::StopRecordTimer() {
    if (MultimediaTimerId) {
        timeKillEvent(MultimediaTimerId);  // synchronous: no callback runs after this
        MultimediaTimerId = 0;
    }
    if (m_hWnd) KillTimer(IDT_RECORD);
    WindowRecordTimer = false;
    TickPending = false;
}

void CVelorinDlg::OnTimer(UINT_PTR id) {
    switch (id) {
    case IDT_CLOCK: {
        CClientDC dc(this);
        DrawElapsedTime(dc.GetSafeHdc());
        break;
    }
    case IDT_RECORD:
        RecordTimerDuties();
        break;
    case IDT_METER:
        MeterDuties();
        break;
    case IDT_REFRESH:
    default:
        break;
    }
    CDialog::OnTimer(id);
}

// ---- capture blocks --------------------------------------------------------

LRESULT CVelorinDlg::OnWaveInBlock(WPARAM wParam, LPARAM lParam) {
    if (wParam == 1) {
        // Any process can post this message: only our own capture blocks of
        // the recording that runs are taken.
        WAVEHDR* header = reinterpret_cast<WAVEHDR*>(lParam);
        bool ours = false;
        for (WAVEHDR& h : RecordingSession.CaptureHeaders)
            if (&h == header) ours = true;
        if (!ours || !CaptureRunning()) return 0;
        header->dwBytesRecorded = std::min<DWORD>(
            header->dwBytesRecorded, std::min<DWORD>(header->dwBufferLength, CaptureBlockBytes));
        ProcessCaptureBuffer(header);
        return 0;
    }
    if (wParam != 0) return 0;
    if (BackgroundBlockEvent) SetEvent(BackgroundBlockEvent);
    OnPlayerBlock(reinterpret_cast<WAVEHDR*>(lParam));
    return 0;
}

void CVelorinDlg::OnPlayerBlock(WAVEHDR* header) {
    // Only the player's own blocks; it checks the one its grabber holds.
    bool ours = false;
    for (WAVEHDR& h : MonitorHeaders)
        if (&h == header) ours = true;
    if (ours) ProcessBackgroundBuffer(header);
}

LRESULT CVelorinDlg::OnTrayNotify(WPARAM wParam, LPARAM lParam) {
    TrayPauseChecked = IsPaused != 0;
    return TrayIcon.OnTrayNotification(wParam, lParam);
}

LRESULT CVelorinDlg::OnTaskbarCreated(WPARAM, LPARAM) {
    TrayIcon.OnTaskbarCreated();
    return 0;
}

LRESULT CVelorinDlg::OnCaptureGraphMessage(WPARAM, LPARAM) { return 0; }

// ---- line discovery --------------------------------------------------------

void CVelorinDlg::DetectAudioLines() {
    // Selecting the device again would end whatever captures now.
    if (TransportBusy() || LineTestBusy()) return;
    FaceMode = 0;
    DeviceIndex = FindWaveInMixer(DeviceIndex < 0 ? 0 : DeviceIndex);
    if (DeviceIndex < 0) DeviceIndex = 0;
    LineCount = -1;
    if (SUCCEEDED(CaptureGraphObject.SelectDevice(DeviceIndex, &DeviceList, &LineList)))
        LineCount = LineList.Count();
    if (LineCount <= 0) {
        ShowMessage("PlayBackSupport");
        RecordingOptions.UseDirectShowCapture = 1;
        InitCaptureDevices();
        DeviceIndex = std::clamp<int32_t>(DeviceIndex, 0, std::max(0, DeviceCount - 1));
        CaptureGraphObject.SelectDevice(DeviceIndex, &DeviceList, &LineList);
        LineCount = LineList.Count();
    }
    FindMicrophoneLine();
    LineIndex = 0;
    if (RunLineTest && LineCount > 0) PostMessage(WM_AUTOCONFIG);
    Invalidate(FALSE);
}
