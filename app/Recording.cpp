// The transport of the main window: record, pause, stop, play and eject,
// the start of a recording with its checks and messages, the stop with its
// history line, the naming check boxes and signal-activated recording.
// Everything here runs on the user-interface thread.
#include "app/VelorinDlg.h"

#include <mbstring.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "app/OutputNaming.h"
#include "app/RecordingRules.h"
#include "app/resource.h"
#include "engine/Biquad.h"
#include "engine/CaptureGraph.h"
#include "engine/EngineState.h"
#include "engine/PlayerGraph.h"
#include "engine/RecordingLines.h"
#include "framework/SafeString.h"
#include "ui/HistoryLog.h"
#include "ui/SettingsStore.h"

namespace {

const RECT kRecordButtonArea{433, 187, 493, 242};
const RECT kPauseButtonArea{313, 187, 373, 242};
const RECT kPlayButtonArea{373, 187, 433, 242};
const RECT kSignalButtonArea{469, 251, 541, 275};
const RECT kScheduleButtonArea{469, 280, 541, 304};
const RECT kPlaySliderArea{252, 162, 552, 180};
// The whole strip of the threshold, play and mix sliders with the mix
// percentages, and the wave meter.
const RECT kStopAreas[] = {{252, 156, 552, 185}, {256, 32, 545, 53}};
const RECT kInfoLines{260, 70, 545, 111};
const RECT kSignalArea{252, 156, 552, 185};

constexpr int kPlaySliderMaximum = 0xFFFF;
constexpr DWORD kSignalRestartDelayMs = 300;

// A file of that exact name: a wildcard or a folder is none.
bool FileExists(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A recording shorter than this cannot be played back sensibly.
bool IsRecordingLongEnough(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return false;
    return data.nFileSizeHigh != 0 || data.nFileSizeLow >= 6144;
}

// The last three characters of a path, lower-cased (the whole path when
// it is shorter).
std::string LowerTail3(const char* path) {
    size_t n = strlen(path);
    std::string ext(n > 3 ? path + n - 3 : path);
    for (char& c : ext) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return ext;
}

DWORD WINAPI DelayedSignalRecordThread(LPVOID) {
    Sleep(kSignalRestartDelayMs);
    if (HWND window = MainWindow) PostMessageA(window, WM_DELAYED_SIGNALRECORD, 0, 0);
    return 0;
}

// Starts the 300 ms delay; false when no thread could be made.
bool StartSignalRestartDelay() {
    HANDLE thread = CreateThread(nullptr, 0, DelayedSignalRecordThread, nullptr, 0, nullptr);
    if (!thread) return false;
    CloseHandle(thread);
    return true;
}

}  // namespace

// ---- face button states ------------------------------------------------

bool CVelorinDlg::ButtonDown(UINT id) {
    CUniButton* b = FaceButton(id);
    return b && b->checked;
}

void CVelorinDlg::SetButtonDown(UINT id, bool down) { SetCheckFace(id, down); }

void CVelorinDlg::UpdateButtonStates() {
    const bool busy = IsRecording || IsPlaying;
    for (UINT id : {1006u, 1000u, 1073u, 1005u})
        if (CUniButton* b = FaceButton(id))
            if (HWND h = b->GetSafeHwnd()) ::EnableWindow(h, !busy);
}

const char* CVelorinDlg::GetMixerLineName(int line) {
    // No such row: the history and the line test still name something.
    const char* name = LineList.Name(line);
    return *name ? name : "Unknown";
}

// ---- record ------------------------------------------------------------

void CVelorinDlg::OnBtnRecord() {
    Meters.Reset();
    StartRecording();
    RepaintRect(kSignalArea);
}

void CVelorinDlg::StartRecording() {
    StartDeclined = false;
    RecordingOptions.CaptureFilterMode = ButtonDown(1113) ? 1 : 0;
    // On NT 6 a line is a device of its own: a real device is enough.
    if (IsNt6 ? IsCaptureDeviceMissing() : LineCount <= 0) return;
    // A line test's capture and timer are in use.
    if (IsRecording || IsPlaying || ButtonDown(1006) || LineTestBusy()) return;

    RecordingSession.RecordedBytes = 0;
    RecordingOptions.PlaybackMetering = 0;
    // The user's device choice stays; only a missing one is looked up.
    if (!IsNt6 && DeviceIndex < 0) DeviceIndex = FindWaveInMixer(0);
    if (LineIndex < 0 && LineCount > 0) LineIndex = 0;
    if (LineIndex < 0 && !IsNt6) {
        ShowMessage("DeviceAvailabity");
        return;
    }
    UpdateRecordFormat();
    if (!SelectRecordingSource(LineIndex, DeviceIndex)) {
        ShowMessage("DeviceAvailabity");
        return;
    }

    char path[1000] = "";
    if (MultiFileOn && BuildOutputFileName()) SafeCopy(path, OutputPath);
    else GetDlgItemText(IDC_FILENAME, path, sizeof path);
    // Before the overwrite question: a device "exists" as a file would.
    if (!CheckOutputName(path)) {
        if (SignalModeOn) OnBtnSignalRecord();
        return;
    }

    if (OverwriteAlertOn && FileExists(path)) {
        const int answer = MessageBox("The file is already exist, Overwrite ?", "File exist", MB_YESNO);
        // The window was closed while the question was up: whatever the
        // answer, a start now would only empty the old take on the way out.
        if (EndRequested()) return;
        if (answer != IDYES) {
            // Declined is not started: signal mode goes off as after any
            // failed start, so the face does not show it armed.
            StartDeclined = true;
            if (SignalModeOn) OnBtnSignalRecord();
            return;
        }
    }

    SetButtonDown(1000, true);
    RepaintRect(kRecordButtonArea);
    UpdateButtonStates();
    // Armed: the pause button's release starts it.
    if (ButtonDown(1003)) return;

    RecordingOptions.BackgroundMixOn = BackgroundSwitchOn;
    BackgroundMixLatched = BackgroundSwitchOn;
    MEMORYSTATUS memory{};
    memory.dwLength = sizeof memory;
    GlobalMemoryStatus(&memory);
    const uint32_t need = RecordRingSize(memory.dwAvailPhys, RecordingOptions.BackgroundMixOn);
    if (need == 0) {
        SetButtonDown(1000, false);
        RepaintRect(kRecordButtonArea);
        UpdateButtonStates();
        MessageBox("Not enough memory for recording, Please close some applications to release "
                   "memory and retry",
                   "Not Enough Memory", MB_OK);
        return;
    }
    RecordingOptions.RingBufferSize = std::min(need, kLargestRingSize);
    FillHistoryRecord();
    if (RecordingOptions.BackgroundMixOn) {
        if (BackgroundBlockEvent) ResetEvent(BackgroundBlockEvent);
        if (PlayerGraph) {
            PlayerGraph->volume = RecordingOptions.MixBalance;
            PlayerGraph->loop = BackgroundAction == 0;
        }
    }
    MeterArmed = 2000;
    RecordingSession.LastBlock = nullptr;
    IsRecording = 1;
    const std::string ext = LowerTail3(path);
    ShowStatusText(nullptr, "Recording", "");
    if (InfoRowMode == 0 && PlayerGraph) PlayerGraph->ReleaseGraph();
    RecordingOptions.SignalTriggered = SignalModeOn;
    RecordingOptions.SignalLevelIndex = SignalThreshold;

    int32_t result;
    int32_t encoder = EncoderWav;
    if (ext == "mp3") {
        if (!Mp3EncoderLoaded) {
            result = 3;
        } else {
            if (ApplyMp3Format(&RecordFormat, Mp3ModeSetting, Mp3BitrateSetting)) {
                // The face follows: the recording is 16-bit.
                Bits16On = 1;
                SetCheckFace(1062, true);
                SetCheckFace(1063, false);
            }
            encoder = EncoderMp3;
            result = StartCapture(LineIndex, path, RecordFormat, encoder, DeviceIndex, 0);
        }
    } else {
        if (ext == "wma") encoder = EncoderWma;
        result = StartCapture(LineIndex, path, RecordFormat, encoder, DeviceIndex, 0);
    }
    if (result != 3) CaptureActive = CaptureRunning();

    if (!StartResultRuns(result)) {
        // The device refused the format: tell the user which ones it takes.
        if (result == CaptureFormatError) WriteCapabilityReport();
        if (result == CaptureFileError) ShowOpenFailure(path);
        else if (const char* key = StartResultKey(result)) ShowMessage(key);
        SetButtonDown(1000, false);
        IsRecording = 0;
        RepaintRect(kRecordButtonArea);
        UpdateButtonStates();
        if (SignalModeOn) OnBtnSignalRecord();
    } else {
        NoteOutputOpened(path);
        if (result == 100) ShowMessage("BackgroundError");
        if (RecordingOptions.BackgroundMixOn) {
            ShowMessage("PrepareBackground");
            // Only this thread sets the event (on a background block), so
            // wait by taking those messages, not by blocking on it.
            const DWORD start = GetTickCount();
            MSG msg;
            while (GetTickCount() - start < 100 &&
                   !(BackgroundBlockEvent && WaitForSingleObject(BackgroundBlockEvent, 0) == WAIT_OBJECT_0)) {
                bool any = false;
                while (PeekMessageA(&msg, m_hWnd, MM_WIM_DATA, MM_WIM_DATA, PM_REMOVE) ||
                       PeekMessageA(&msg, m_hWnd, WM_GRAPHNOTIFY, WM_GRAPHNOTIFY, PM_REMOVE)) {
                    DispatchMessageA(&msg);
                    any = true;
                }
                if (!any) Sleep(5);
            }
            if (BackgroundBlockEvent) ResetEvent(BackgroundBlockEvent);
            ShowStatusText(nullptr, "Recording", "");
        }
        StartRecordTimer(50);
        // Now that it runs, record, play and eject are not for pressing.
        UpdateButtonStates();
        CClientDC dc(this);
        DrawWaveMeter(dc.GetSafeHdc());
    }
    SecondDivider = 0;
    ElapsedSpan = ElapsedBase = 0;
    ElapsedFrom = time(nullptr);
}

int CVelorinDlg::BuildOutputFileName() {
    char text[1000] = "";
    GetDlgItemText(IDC_FILENAME, text, sizeof text);
    std::string made;
    bool ok;
    if (TimeStampedOn) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        ok = BuildTimeStampedPath(text, now, &made);
    } else {
        ok = BuildNumberedPath(text, &made);
    }
    // A name the box cannot hold is not made.
    if (!ok || made.size() >= sizeof OutputPath) return 0;
    SafeCopy(OutputPath, made.c_str());
    SetDlgItemText(IDC_FILENAME, OutputPath);
    CClientDC dc(this);
    DrawOutputFileLine(dc.GetSafeHdc());
    return 1;
}

void CVelorinDlg::FillHistoryRecord() {
    memset(&CurrentRecord, 0, sizeof CurrentRecord);
    SYSTEMTIME now;
    GetLocalTime(&now);
    SafeFormat(CurrentRecord.dateKey, "%04d%02d%02d", now.wYear, now.wMonth, now.wDay);
    SafeFormat(CurrentRecord.startTime, "%02d:%02d:%02d", now.wHour, now.wMinute, now.wSecond);
    // The whole path: a cut one would lose the name's end and extension,
    // though the name and the folder each fit their fields.
    char path[1000] = "";
    GetDlgItemText(IDC_FILENAME, path, sizeof path);
    if (const unsigned char* slash = _mbsrchr(reinterpret_cast<unsigned char*>(path), '\\')) {
        const size_t folderLength = reinterpret_cast<const char*>(slash) - path + 1;
        SafeCopy(CurrentRecord.fileName, path + folderLength);
        path[folderLength] = '\0';
        SafeCopy(CurrentRecord.filePath, path);
    }
    char name[256] = "";
    SafeCopy(name, GetMixerLineName(LineIndex));
    size_t n = strlen(name);
    if (n >= 2 && strcmp(name + n - 2, "__") == 0) name[n - 2] = '\0';
    SafeFormat(CurrentRecord.audioLine, "%d - %s", LineIndex + 1, name);
    if (RecordingOptions.BackgroundMixOn)
        SafeCopy(CurrentRecord.backgroundFile, RecordingOptions.BackgroundFile);
}

// ---- pause, stop -------------------------------------------------------

void CVelorinDlg::OnBtnPause() {
    const bool down = !ButtonDown(1003);
    SetButtonDown(1003, down);
    RepaintRect(kPauseButtonArea);
    if (SignalModeOn || IsRecording || ScheduleModeOn) DrawFileSize(nullptr);
    // The background player follows the pause only when this recording
    // started one.
    const bool background = IsRecording && BackgroundMixLatched && PlayerGraph &&
                            !BackgroundStopped;
    if (down) {
        IsPaused = 1;
        if (IsPlaying) {
            if (PlayerGraph) PlayerGraph->PausePlayback();
        } else if (IsRecording) {
            RecordingSession.Paused = 1;
            if (background) PlayerGraph->PausePlayback();
        }
        return;
    }
    IsPaused = 0;
    if (IsPlaying) {
        if (PlayerGraph) PlayerGraph->Run();
    } else if (ButtonDown(1006)) {
        OnBtnPlay();
    }
    if (IsRecording) {
        RecordingSession.Paused = 0;
        if (background) PlayerGraph->Run();
    } else if (ButtonDown(1000)) {
        // The armed recording starts now, with every check.
        SetButtonDown(1000, false);
        StartRecording();
    }
}

void CVelorinDlg::OnBtnStop() {
    StopRecording();
    ShowStatusText(nullptr, "Ready to record", "");
}

void CVelorinDlg::StopRecording() {
    // A new file or schedule window announced before this stop must not
    // start after it.
    RestartPending = SchedulePending = 0;
    EndLineTest();
    StopRecordTimer();
    const bool captured = CaptureActive;
    CaptureActive = false;
    IsPlaying = IsRecording = IsPaused = 0;
    for (const RECT& r : kStopAreas) RepaintRect(r);

    if (ButtonDown(1006)) {
        if (PlayerGraph) PlayerGraph->StopPlayback();
        StopBackgroundPlayback();
        RecordingOptions.PlaybackMetering = 0;
        RepaintRect(kInfoLines);
    }
    if (ButtonDown(1000) || captured) {
        // Returns once the finisher has closed the file: it is measured
        // complete.
        if (captured) StopCapture();
        SetButtonDown(1000, false);
        RepaintRect(kRecordButtonArea);
        PlayPosition = 0;
        // Only a capture that really ran has a file and a history line; an
        // armed recording that never started has neither.
        if (captured) {
            char path[1000] = "";
            GetDlgItemText(IDC_FILENAME, path, sizeof path);
            if (!IsRecordingLongEnough(path)) ShowMessage("RecordNotFinished");
            else RepaintRect(kInfoLines);
            // A split does not open the closed file in the player: building
            // a playback graph can outlast the silence before the next
            // sound, which the next file would then miss. The length is
            // what the recording took for the file.
            PlayLength = SplitStopping ? static_cast<int32_t>(TakenMilliseconds())
                                       : OpenPlayerFile(path);
            DrawPlayPosition(nullptr);
            InfoRowMode = 0;
            RepaintRect(kInfoLines);
            // A file the player cannot open (no decoder here) still gets
            // the time it recorded.
            const int64_t length = PlayLength > 0 ? PlayLength : ElapsedSpan * 1000;
            FormatHistoryDuration(length, CurrentRecord.duration, sizeof CurrentRecord.duration);
            char logRoot[300];
            if (MakeLogRoot(InstallPath, logRoot, sizeof logRoot) &&
                AppendHistoryRecord(logRoot, CurrentRecord.dateKey, CurrentRecord) == 0)
                ShowLoggedTake(CurrentRecord);
        }
    }
    if (ButtonDown(1003)) {
        SetButtonDown(1003, false);
        RepaintRect(kPauseButtonArea);
    }
    RecordingSession.Paused = 0;
    UpdateButtonStates();
    RepaintRect(RECT{256, 32, 408, 53});

    SetButtonDown(1050, false);
    RepaintRect(kSignalButtonArea);
    SignalModeOn = 0;
    RecordingOptions.SignalTriggered = 0;
    SetButtonDown(1051, false);
    RepaintRect(kScheduleButtonArea);
    ScheduleModeOn = 0;

    if (!ButtonDown(1006)) {
        // A capture kept for the meters alone ends here too.
        if (CaptureRunning()) StopCapture();
    } else {
        SetButtonDown(1006, false);
        RepaintRect(kPlayButtonArea);
    }
    PlayPositionSlider.SetPos(0);
    RepaintRect(kPlaySliderArea);
    PlayPosition = 0;
    DrawPlayPosition(nullptr);
}

// ---- play, eject -------------------------------------------------------

void CVelorinDlg::OnBtnPlay() {
    if (IsRecording || IsPlaying || ButtonDown(1000) || LineTestBusy()) return;

    SetButtonDown(1006, true);
    RepaintRect(kPlayButtonArea);
    UpdateButtonStates();
    if (ButtonDown(1003)) return;

    IsPlaying = 1;
    UpdateButtonStates();
    ShowStatusText(nullptr, "Playing", "");
    // Timer 1 drives the play position; one owner at a time.
    StopRecordTimer();
    SetTimer(IDT_RECORD, 50);
    WindowRecordTimer = true;
    RecordingSession.LastBlock = nullptr;
    SecondDivider = 0;
    MeterArmed = 2000;
    UpdateRecordFormat();
    if (CaptureGraph) CaptureGraph->SetGrabberMode(0);

    char box[1000];
    const char* file = InfoLineFile(InfoRowMode, box, sizeof box);

    if (!IsRecordingLongEnough(file)) {
        ShowMessage("RecordNotFinished");
        SetButtonDown(1006, false);
        RepaintRect(kPlayButtonArea);
        IsPlaying = 0;
        StopRecordTimer();
        UpdateButtonStates();
    } else {
        PlayLength = OpenPlayerFile(file);
        RecordingOptions.PlaybackMetering = 1;
        if (PlayerGraph) {
            PlayerGraph->audible = 1;
            PlayerGraph->SetGrabberMode(1);
            PlayerGraph->volume = 100;
            // A recording is played once; only the background loops.
            PlayerGraph->loop = 0;
        }
        UpdateRecordFormat();
        if (StartBackgroundPlayback(RecordFormat, file) != 0) {
            char line1[200] = "", line2[200] = "", line3[200] = "";
            LanguageDocument.GetMessageLines("InvalidFile", line1, line2, line3, sizeof line1);
            ShowStatusText(nullptr, file, line2);
        } else {
            PlayPosition = static_cast<int32_t>(
                PositionForSlider(PlayPositionSlider.GetPos(), kPlaySliderMaximum, PlayLength));
            if (PlayerGraph) PlayerGraph->SeekPlayback(PlayPosition);
        }
    }
    ElapsedSpan = ElapsedBase = 0;
    ElapsedFrom = time(nullptr);
    CClientDC dc(this);
    DrawWaveMeter(dc.GetSafeHdc());
}

void CVelorinDlg::OnBtnEject() {
    if (IsRecording || IsPlaying) return;
    SettingsStore store;
    store.WriteBtnMultiFileStatus(MultiFileOn);
    store.WriteBtnTimeStampedStatus(TimeStampedOn);
    char name[1000] = "";
    GetDlgItemText(IDC_FILENAME, name, sizeof name);
    StoreLastName(store, name);

    RunOutputDialog();

    DWORD value = 0;
    store.ReadBtnMultiFileStatus(&value);
    MultiFileOn = value != 0;
    store.ReadBtnTimeStampedStatus(&value);
    TimeStampedOn = value != 0;
    SetCheckFace(1038, MultiFileOn);
    SetCheckFace(1073, TimeStampedOn);
    name[0] = '\0';
    store.ReadLastName(name);
    CString trimmed(name);
    trimmed.Trim();
    if (!trimmed.IsEmpty()) {
        SafeCopy(OutputPath, trimmed);
        SetDlgItemText(IDC_FILENAME, OutputPath);
    }
    RepaintRect(kInfoLines);
    int alert = 1;
    store.ReadDword("Alert", &alert);
    OverwriteAlertOn = alert != 0;

    const std::string ext = OutputExtension(OutputPath);
    if (ext == ".WAV") OnRadioWav();
    else if (ext == ".MP3") OnRadioMp3();
    else if (ext == ".WMA") OnRadioWma();
}

// ---- check boxes -------------------------------------------------------

namespace {

// The file name the naming options fall back to.
void StoredFileName(char (&name)[1000]) {
    SettingsStore store;
    name[0] = '\0';
    store.ReadLastName(name);
    if (!name[0]) SafeCopy(name, kDefaultOutputPath);
}

}  // namespace

void CVelorinDlg::OnCheckMonitor() {
    const bool on = !ButtonDown(1113);
    SetCheckFace(1113, on);
    if (IsRecording && CaptureGraph) CaptureGraph->SetGrabberMode(on ? 1 : 0);
}

// Noise gate and filters: the engine reads its switches block by block, so
// each takes effect in a running recording too. A filter switched on uses
// the cut-off the noise-gate dialog last stored.
void CVelorinDlg::OnCheckNoiseGate() {
    NoiseGateButtonOn = !NoiseGateButtonOn;
    SetCheckFace(1114, NoiseGateButtonOn);
    RecordingOptions.NoiseGateOn = NoiseGateButtonOn;
}

void CVelorinDlg::OnCheckLowPass() {
    LowPassButtonOn = !LowPassButtonOn;
    SetCheckFace(1115, LowPassButtonOn);
    if (LowPassButtonOn) SetFilterCutoff(LowPassFilter, LowPassCutoff);
    RecordingOptions.LowPassOn = LowPassButtonOn;
}

void CVelorinDlg::OnCheckHighPass() {
    HighPassButtonOn = !HighPassButtonOn;
    SetCheckFace(1116, HighPassButtonOn);
    if (HighPassButtonOn) SetFilterCutoff(HighPassFilter, HighPassCutoff);
    RecordingOptions.HighPassOn = HighPassButtonOn;
}

void CVelorinDlg::OnCheckMultiFile() {
    if (IsRecording || IsPlaying) return;
    const bool on = !ButtonDown(1038);
    SetCheckFace(1038, on);
    MultiFileOn = on;
    if (on) return;
    if (TimeStampedOn) {
        TimeStampedOn = 0;
        SetCheckFace(1073, false);
    }
    char name[1000];
    StoredFileName(name);
    SafeCopy(OutputPath, name);
    SetDlgItemText(IDC_FILENAME, OutputPath);
    RepaintRect(kInfoLines);
}

void CVelorinDlg::OnCheckTimeStamped() {
    if (IsRecording || IsPlaying) return;
    const bool on = !ButtonDown(1073);
    SetCheckFace(1073, on);
    if (!on) {
        TimeStampedOn = 0;
        char name[1000];
        StoredFileName(name);
        SafeCopy(OutputPath, name);
        SetDlgItemText(IDC_FILENAME, OutputPath);
        RepaintRect(kInfoLines);
        return;
    }
    char name[1000] = "";
    GetDlgItemText(IDC_FILENAME, name, sizeof name);
    SettingsStore store;
    StoreLastName(store, name);
    TimeStampedOn = 1;
    // Time-stamped names are a kind of multiple files.
    if (!MultiFileOn) {
        MultiFileOn = 1;
        SetCheckFace(1038, true);
    }
}

// ---- signal-activated recording ----------------------------------------

void CVelorinDlg::OnBtnSignalRecord() {
    if (IsPlaying) return;
    // Signal mode starts a recording, which a line test's capture refuses.
    if (!ButtonDown(1050) && LineTestBusy()) return;
    // The user's own toggle wins over a restart still on its way.
    if (!DelayedSignalActive) RestartPending = SchedulePending = 0;
    const bool on = !ButtonDown(1050);
    SetButtonDown(1050, on);
    RepaintRect(kSignalButtonArea);
    SignalModeOn = on;
    RepaintRect(kSignalArea);
    RecordingOptions.SignalTriggered = on;
    if (on) {
        if (SilenceAction == 2 && !MultiFileOn) OnCheckMultiFile();
        if (!IsRecording) {
            if (DelayedSignalActive) StartRecording();
            else OnBtnRecord();
        }
        SignalHeard = 0;
        return;
    }
    const bool schedule = ScheduleModeOn;
    StopRecording();
    if (CaptureRunning()) StopCapture();
    if (schedule) ScheduleToggleAfterSignalOff();
}

void CVelorinDlg::NewFileOnSilence() {
    IsRecording = 0;
    SplitStopping = 1;
    OnBtnSignalRecord();  // signal mode off: the file is closed and logged
    SplitStopping = 0;
    SignalHeard = 0;
    RestartSignalRecordLater();
}

void CVelorinDlg::RestartSignalRecordLater() {
    RestartPending = 1;
    if (!StartSignalRestartDelay()) RestartPending = 0;
}

LRESULT CVelorinDlg::OnDelayedSignalRecord(WPARAM, LPARAM) {
    // A stop, a toggle or another start since the new file was announced
    // cancelled it.
    if (!RestartPending || IsRecording || IsPlaying) {
        RestartPending = 0;
        return 0;
    }
    // The previous file must be finished before the next start touches
    // anything it used: ask again shortly.
    if (CaptureRunning()) {
        if (!StartSignalRestartDelay()) RestartPending = 0;
        return 0;
    }
    RestartPending = 0;
    ElapsedFrom = time(nullptr);
    ElapsedBase = 0;
    DelayedSignalActive = 1;
    OnBtnSignalRecord();
    DelayedSignalActive = 0;
    return 0;
}

// ---- background switch -------------------------------------------------

void CVelorinDlg::OnBtnBackgroundEnable() {
    // The next start takes the switch over; a running recording keeps the
    // mix it started with.
    const bool on = !ButtonDown(1166);
    SetCheckFace(1166, on);
    BackgroundSwitchOn = on;
    RepaintRect(RECT{207, 252, 279, 276});
}
