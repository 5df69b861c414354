// The main window's life: construction, start-up in the order the other
// modules rely on, the window buttons, and shutdown with the settings save.
#include "app/VelorinDlg.h"

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "app/CommandLine.h"
#include "app/OutputNaming.h"
#include "app/resource.h"
#include "engine/Biquad.h"
#include "engine/EngineState.h"
#include "engine/Mp3Encoder.h"
#include "engine/RecordingLines.h"
#include "engine/WmaWriter.h"
#include "framework/App.h"
#include "framework/DeviceNames.h"
#include "framework/SafeString.h"
#include "ui/SettingsStore.h"

CVelorinDlg* MainDialog = nullptr;
HWND MainWindow = nullptr;
char InstallPath[200] = "";

namespace {
// How long the exit waits for the last recording's file to be finished.
constexpr DWORD kExitFinishWaitMs = 20000;

const char* const kRateFaces[9] = {"IDR_F8k",  "IDR_F11k", "IDR_F12k", "IDR_F16k", "IDR_F22k",
                                   "IDR_F24k", "IDR_F32k", "IDR_F44k", "IDR_F48k"};

int ClampIndex(int value, int count) { return value >= 0 && value < count ? value : 0; }

}  // namespace

CVelorinDlg::CVelorinDlg(CWnd* parent) : CDialog(IDD_VELORIN_DIALOG, parent) {
    StatusLine1 = "";
    StatusLine2 = "";
    m_hIcon = AfxGetApp() ? AfxGetApp()->LoadIcon(IDR_MAINFRAME) : nullptr;
    MainDialog = this;
}

CVelorinDlg::~CVelorinDlg() {
    StopRecordTimer();
    if (MemoryDC) {
        SelectObject(MemoryDC, MemoryOldBitmap);
        DeleteDC(MemoryDC);
    }
    if (MemoryBitmap) DeleteObject(MemoryBitmap);
    if (BackgroundBlockEvent) CloseHandle(BackgroundBlockEvent);
    ReleaseTrackWindowClass();
    if (MainDialog == this) MainDialog = nullptr;
}

BOOL CVelorinDlg::IsNt6Platform() {
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) {
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return FALSE;
    }
    // Later systems keep the per-line devices of version 6.
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 6;
}

int CVelorinDlg::InitCaptureDevices() {
    DeviceList.listBox = ::GetDlgItem(m_hWnd, IDC_DEVICELIST);
    LineList.listBox = ::GetDlgItem(m_hWnd, IDC_LINELIST);
    CaptureGraphObject.notifyWindow = m_hWnd;
    CaptureGraphObject.deviceList = &DeviceList;
    CaptureGraphObject.pinList = &LineList;
    CaptureGraphObject.Init();
    FillCaptureDeviceList(&DeviceList);
    DeviceCount = DeviceList.Count();
    CaptureGraphObject.SelectDevice(DeviceIndex < 0 ? 0 : DeviceIndex, &DeviceList, &LineList);
    LineCount = LineList.Count();
    CaptureGraph = &CaptureGraphObject;
    return 1;
}

BOOL CVelorinDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SettingsStore store;

    // System menu: the about entry.
    char aboutText[128] = "";
    LoadStringA(AfxGetResourceHandle(), IDS_ABOUTBOX, aboutText, sizeof aboutText);
    if (HMENU sysMenu = GetSystemMenu(m_hWnd, FALSE); sysMenu && aboutText[0]) {
        AppendMenuA(sysMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(sysMenu, MF_STRING, IDM_ABOUTBOX, aboutText);
    }
    IsNt6 = IsNt6Platform() ? 1 : 0;
    SetUpHistoryTree();
    RegisterTrackWindowClass();

    TIMECAPS caps{};
    if (timeGetDevCaps(&caps, sizeof caps) == TIMERR_NOERROR) {
        TimerPeriod = std::min(std::max<UINT>(caps.wPeriodMin, 1), caps.wPeriodMax);
        timeBeginPeriod(TimerPeriod);
        MultimediaTimerOn = 1;
    }

    // The shell's folder browser and OLE's picture loader want a
    // single-threaded apartment on this thread.
    ComInitialised[0] = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    ComInitialised[1] = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));

    // The player: playback, metered playback and the background sound.
    HWND videoScreen = ::GetDlgItem(m_hWnd, IDC_VIDEOSCREEN);
    HWND positionSlider = ::GetDlgItem(m_hWnd, IDC_POSITION);
    PlayerGraph = new CPlayerGraph;
    PlayerGraph->volume = 100;
    PlayerGraph->backgroundChannels = 2;
    PlayerGraph->backgroundRate = 44100;
    PlayerGraph->backgroundBits = 16;
    PlayerGraph->notifyWindow = m_hWnd;
    PlayerGraph->videoOwner = videoScreen;
    PlayerGraph->positionSlider = positionSlider;
    if (videoScreen)
        ::SetWindowLongA(videoScreen, GWL_STYLE,
                         ::GetWindowLongA(videoScreen, GWL_STYLE) | WS_CLIPCHILDREN);
    if (SUCCEEDED(PlayerGraph->CreateGraph()) && positionSlider) {
        ::SendMessageA(positionSlider, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
        ::SendMessageA(positionSlider, TBM_SETTICFREQ, 10, 0);
    }
    InstallBackgroundPlayer();

    // Windows Media writer objects; WMA stays unavailable when they fail.
    if (FAILED(CreateWmaWriterObjects())) ReleaseWmaWriter();
    WmaOutput.begin = WmaAvailable() ? &WmaBeginWriting : nullptr;
    WmaOutput.writeSample = WmaAvailable() ? &WmaWriteSample : nullptr;
    WmaOutput.end = WmaAvailable() ? &WmaEndWriting : nullptr;

    LoadWmaTagSettings();
    // The gate level and the filters' cut-offs must be in force before the
    // first recording, not only once their dialog has been opened.
    LoadNoiseGateSettings();
    LoadBackgroundSettings();

    LoadFaceSkins();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    TestLine = -1;

    CreateFaceButtons();
    InitAudioBoxRects();
    ApplyWindowRegion(TRUE);

    // Notification-area icon with the tray menu.
    TrayIcon.m_menu.LoadMenu(IDR_TRAYMENU);
    TrayIcon.m_checkFlag = &TrayPauseChecked;
    TrayIcon.m_tnd.hWnd = m_hWnd;
    TrayIcon.m_tnd.uID = IDR_MAINFRAME;
    TrayIcon.m_tnd.uCallbackMessage = WM_TRAYICON_NOTIFY;
    TrayIcon.SetIcon(IDR_MAINFRAME);

    SetWindowPos(nullptr, 200, 200, 592, 392, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(SW_SHOW);

    // The file-name box holds the output path, unseen; the template's
    // older schedule controls stay hidden and disabled.
    if (HWND box = ::GetDlgItem(m_hWnd, IDC_FILENAME)) {
        ::MoveWindow(box, 171, 93, 99, 13, FALSE);
        ::ShowWindow(box, SW_HIDE);
        ::EnableWindow(box, FALSE);
    }
    SendDlgItemMessage(1065, UDM_SETRANGE32, 0, 20);
    for (int picker : {1053, 1054})
        SendDlgItemMessage(picker, DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>("HH:mm:ss"));
    if (HWND languages = ::GetDlgItem(m_hWnd, 1069)) {
        ::MoveWindow(languages, 61, 109, 210, 20, FALSE);
        ::ShowWindow(languages, SW_HIDE);
        ::EnableWindow(languages, FALSE);
    }

    IsPaused = IsPlaying = IsRecording = SignalModeOn = 0;
    MultiFileOn = TimeStampedOn = OverwriteAlertOn = 0;
    MeterPen.CreatePen(PS_SOLID, 2, RGB(0, 255, 0));
    FaceFont.CreateFont(12, 0, 0, 0, 100, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_ROMAN, "SimSun");

    store.ReadInstallPath(InstallPath);
    store.ReadLastName(OutputPath);
    DropStoredDeviceName("LastName", OutputPath, sizeof OutputPath, kDefaultOutputPath);
    if (!OutputPath[0]) SafeCopy(OutputPath, kDefaultOutputPath);
    store.ReadString("PlayFile", PlayFile);
    DropStoredDeviceName("PlayFile", PlayFile, sizeof PlayFile);
    SetDlgItemText(IDC_FILENAME, OutputPath);
    StatusLine1 = "Ready to record";
    InfoRowMode = 0;

    SelectFormatForName(OutputPath);

    ClassCursor = reinterpret_cast<HCURSOR>(GetClassLongPtrA(m_hWnd, GCLP_HCURSOR));
    for (int i = 0; i < 4; ++i)
        Cursors[i] = static_cast<HCURSOR>(LoadImageA(AfxGetResourceHandle(),
                                                     MAKEINTRESOURCEA(129 + i), IMAGE_CURSOR,
                                                     32, 32, 0));

    Mp3EncoderLoaded = LoadMp3Encoder(InstallPath) ? 1 : 0;

    // Language and hot-key documents from the install folder.
    {
        char language[1000] = "", folder[400];
        store.ReadLanguage(language);
        MakeDocumentsFolder(InstallPath, folder, sizeof folder);
        HotKeys.Load(folder);
        if (language[0] && strcmp(language, "English") != 0) {
            LanguageDocument.Open(folder, language);
        } else {
            LanguageDocument.SetFolder(folder);
            LanguageDocument.Load(nullptr);
        }
    }
    LoadScheduleList();

    // Device and line; a stored index the system no longer has falls back
    // to the first device and line.
    int device = -1;
    store.ReadDword("Device", &device);
    FirstStart = device < 0;
    DeviceIndex = device;
    InitCaptureDevices();
    if (FirstStart) {
        FaceMode = 2;
        LineIndex = -1;
        LineCount = 0;
    } else {
        DeviceIndex = ClampIndex(DeviceIndex, DeviceCount);
        CaptureGraphObject.SelectDevice(DeviceIndex, &DeviceList, &LineList);
        LineCount = LineList.Count();
        FaceMode = 0;
        int line = -1;
        store.ReadDword("AudoLine", &line);
        LineIndex = LineCount > 0 ? ClampIndex(line, LineCount) : -1;
    }

    ReadStoredSettings();
    ApplySettingsToFace();

    // Master volume of the default playback mixer.
    if (mixerGetNumDevs() != 0) {
        if (mixerOpen(&MixerHandle, 0, reinterpret_cast<DWORD_PTR>(m_hWnd), 0,
                      CALLBACK_WINDOW) != MMSYSERR_NOERROR)
            MixerHandle = nullptr;
        if (MixerHandle) {
            MIXERCAPSA caps{};
            mixerGetDevCapsA(reinterpret_cast<UINT_PTR>(MixerHandle), &caps, sizeof caps);
            OpenMasterVolumeControl();
            DWORD volume = 0;
            GetMasterVolume(&volume);
        }
    }
    CreateFaceTooltips();
    store.ReadDword("Volume", &VolumeValue);
    VolumeValue = std::clamp(VolumeValue, 0, 0xFFFF);

    CreateSliders();
    StartFace.Load("IDR_STARTFACE");
    BackFace.Load("IDR_BACKFACE");
    RightFace.Load("IDR_RIGHTFACE");
    {
        CClientDC dc(this);
        MemoryDC = CreateCompatibleDC(dc.GetSafeHdc());
        MemoryBitmap = CreateCompatibleBitmap(dc.GetSafeHdc(), 592, 150);
        if (MemoryDC && MemoryBitmap) MemoryOldBitmap = SelectObject(MemoryDC, MemoryBitmap);
    }
    FaceBrush.CreateSolidBrush(RGB(164, 162, 164));

    SetWindowText("Brindle");
    MainWindow = m_hWnd;
    RecordingOptions.PlaybackMetering = 0;
    ScheduleModeOn = 0;
    SignalModeOn = 0;

    // Said once the language document is there: the stored name shown is
    // not the one the user left.
    if (StoredDeviceNameDropped) ShowOutputMessage("DeviceName");

    SetTimer(IDT_CLOCK, 1000);
    SetTimer(IDT_REFRESH, 100);
    SetTimer(IDT_METER, 50);
    ElapsedSpan = ElapsedBase = 0;
    ElapsedFrom = time(nullptr);

    // The command line; on a first start the presses wait for the start-up
    // choice, so a line detection never re-creates the graph under a
    // running recording.
    if (CommandLineOptions.RecordSwitchGiven) {
        CommandLineOptionSet& o = CommandLineOptions;
        if (o.Mp3BitrateIndex != -1) {
            Mp3BitrateSetting = o.Mp3BitrateIndex;
            store.WriteMP3Bitrate(static_cast<DWORD>(Mp3BitrateSetting));
        }
        if (o.ChannelsIndex != -1) {
            StereoOn = o.ChannelsIndex != 0;
            SetCheckFace(1060, StereoOn);
            SetCheckFace(1061, !StereoOn);
        }
        if (o.BitsIndex != -1) {
            Bits16On = o.BitsIndex != 0;
            SetCheckFace(1062, Bits16On);
            SetCheckFace(1063, !Bits16On);
        }
        if (o.SampleRateIndex != -1) {
            SampleRateIndex = o.SampleRateIndex;
            SampleRateSlider.SetPos(SampleRateIndex);
        }
        if (o.FileName[0]) {
            // The format follows the name, or an ".mp3" would get WAV data.
            SafeCopy(OutputPath, o.FileName);
            SetDlgItemText(IDC_FILENAME, OutputPath);
            SelectFormatForName(OutputPath);
        }
    }
    if (FirstStart) PendingStartupPresses = true;
    else ApplyCommandLineStarts();

    PopupMenu = LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_POPMENU));
    UploadMenu = LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_UPLOADMENU));
    ShowInputLevelOn = 1;
    Meters.SetBarDisplay(false);
    {
        char path[1000] = "";
        GetDlgItemText(IDC_FILENAME, path, sizeof path);
        PlayLength = OpenPlayerFile(path);
    }
    PlayPosition = 0;

    BackgroundBlockEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (BackgroundBlockEvent) ResetEvent(BackgroundBlockEvent);
    MixBalanceSlider.SetPos(100 - MixBalancePercent);

    if (FaceMode == 2) PostMessage(WM_SHOW_STARTUP, 0, 0);
    return TRUE;
}

void CVelorinDlg::ReadStoredSettings() {
    SettingsStore store;
    DWORD value = 0;
    store.ReadDword("ShowSwitch", &ShowSwitchValue);
    store.ReadScheduleType(&value);
    ScheduleTypeValue = static_cast<int32_t>(value);
    // Each flag has its own default; none inherits the value read before it.
    int alert = 1;
    store.ReadDword("Alert", &alert);
    OverwriteAlertOn = alert != 0;
    store.ReadBtnMultiFileStatus(&value);
    MultiFileOn = value != 0;
    store.ReadBtnTimeStampedStatus(&value);
    TimeStampedOn = value != 0;
    int freq = 0, bits = 1, channels = 1;
    store.ReadDword("Freq", &freq);
    store.ReadDword("Bit", &bits);
    store.ReadDword("Channel", &channels);
    SampleRateIndex = freq >= 0 && freq <= 8 ? freq : 0;
    Bits16On = bits != 0;
    StereoOn = channels != 0;

    LoadMp3Settings();

    LoadSignalSettings();
}

void CVelorinDlg::LoadSignalSettings() {
    SettingsStore store;
    DWORD value = 0;
    store.ReadSignalType(&value);
    SilenceAction = value == 1 || value == 2 ? static_cast<int32_t>(value) : 0;
    value = 0;
    store.ReadNewFileDelay(&value);
    NewFileDelay = value <= 25 ? static_cast<int32_t>(value) : 0;
    value = 0;
    store.ReadThreshold(&value);
    SignalThreshold = std::clamp(static_cast<int32_t>(value), 0, 47);
}

void CVelorinDlg::SetFilterCutoff(CFilter& filter, int32_t cutoff) {
    filter.cutoff = cutoff;
    filter.Q = 1.0f;
    filter.Recalc();
}

void CVelorinDlg::LoadNoiseGateSettings() {
    SettingsStore store;
    // The store's ranges hold: a value outside them keeps the default.
    int threshold = 0, release = 0, attack = 0, lowPass = 20000, highPass = 0;
    store.ReadDword("NoiseThreshold", &threshold);
    store.ReadDword("ReleaseTime", &release);
    // Stored and shown only: the gate opens on the first loud block.
    store.ReadDword("AttackTime", &attack);
    store.ReadDword("LowPass", &lowPass);
    store.ReadDword("HighPass", &highPass);
    NoiseThresholdSetting = threshold;
    ReleaseTimeSetting = release;
    AttackTimeSetting = attack;
    LowPassCutoff = lowPass;
    HighPassCutoff = highPass;
    RecordingOptions.NoiseGateLevelIndex = NoiseThresholdSetting;
    RecordingOptions.NoiseGateSeconds = ReleaseTimeSetting;
    // Blocks are filtered on this thread, so a running recording takes
    // the new coefficients from its next block on.
    SetFilterCutoff(LowPassFilter, LowPassCutoff);
    SetFilterCutoff(HighPassFilter, HighPassCutoff);
}

void CVelorinDlg::ApplySettingsToFace() {
    SetCheckFace(1068, ShowSwitchValue != 0);
    SetCheckFace(1038, MultiFileOn);
    SetCheckFace(1073, TimeStampedOn);
    SetCheckFace(1062, Bits16On);
    SetCheckFace(1063, !Bits16On);
    SetCheckFace(1060, StereoOn);
    SetCheckFace(1061, !StereoOn);
    EnableSixteenBitSwitches(Bits16On);
    UpdateRecordFormat();
}

void CVelorinDlg::ApplyCommandLineStarts() {
    if (CommandLineOptions.RecordSwitchGiven && CommandLineOptions.FileNameRefused) {
        // The line named a file that cannot be written: starting anyway
        // would record into the stored name and overwrite that file.
        ShowCommandLineRefusal();
    } else if (CommandLineOptions.RecordSwitchGiven) {
        switch (CommandLineOptions.StartMode) {
        case StartRecordNow: PressFaceButton(1000); break;
        case StartSignalRecord: PressFaceButton(1050); break;
        case StartSchedule: PressFaceButton(1051); break;
        case StartSignalAndSchedule:
            PressFaceButton(1050);
            PressFaceButton(1051);
            break;
        default: break;
        }
    }
    if (CommandLineOptions.HideAtStart) PressFaceButton(1094);
}

void CVelorinDlg::SelectFormatForName(const char* path) {
    char ext[5] = "";
    size_t n = strlen(path);
    if (n >= 4) SafeCopy(ext, path + n - 4);
    for (char* p = ext; *p; ++p) *p = static_cast<char>(toupper(static_cast<unsigned char>(*p)));
    SetCheckFace(1049, strcmp(ext, ".MP3") == 0);
    SetCheckFace(1171, strcmp(ext, ".WMA") == 0);
    SetCheckFace(1170, strcmp(ext, ".MP3") != 0 && strcmp(ext, ".WMA") != 0);
}

void CVelorinDlg::PressFaceButton(UINT id) {
    if (CUniButton* b = FaceButton(id)) {
        ::PostMessageA(b->GetSafeHwnd(), WM_LBUTTONDOWN, 0, 0);
        ::PostMessageA(b->GetSafeHwnd(), WM_LBUTTONUP, 0, 0);
    }
}

void CVelorinDlg::UpdateRecordFormat() {
    RecordFormat.rate = SampleRateTable[std::clamp(SampleRateIndex, 0, 8)];
    RecordFormat.bits = Bits16On ? 16 : 8;
    RecordFormat.channels = StereoOn ? 2 : 1;
}

// ---- window buttons and shutdown -------------------------------------------

void CVelorinDlg::OnBtnToTray() { ShowWindow(SW_HIDE); }

void CVelorinDlg::OnBtnMinimize() {
    WINDOWPLACEMENT place{};
    place.length = sizeof place;
    GetWindowPlacement(m_hWnd, &place);
    place.showCmd = SW_MINIMIZE;
    SetWindowPlacement(m_hWnd, &place);
}

void CVelorinDlg::OnBtnClose() {
    SettingsStore store;
    store.WriteChannel(StereoOn ? 1 : 0);
    store.WriteBit(Bits16On ? 1 : 0);
    store.WriteFreq(static_cast<DWORD>(SampleRateIndex));
    SendMessage(WM_CLOSE);
}

void CVelorinDlg::OnRButtonDown(UINT flags, CPoint point) {
    if (HMENU menu = PopupMenu ? GetSubMenu(PopupMenu, 0) : nullptr) {
        POINT screen = point;
        ::ClientToScreen(m_hWnd, &screen);
        TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, m_hWnd,
                       nullptr);
    }
    CDialog::OnRButtonDown(flags, point);
}

void CVelorinDlg::OnBtnUpload() {
    if (HMENU menu = UploadMenu ? GetSubMenu(UploadMenu, 0) : nullptr) {
        POINT screen{551, 373};
        ::ClientToScreen(m_hWnd, &screen);
        TrackPopupMenu(menu, TPM_LEFTALIGN, screen.x, screen.y, 0, m_hWnd, nullptr);
    }
}

void CVelorinDlg::OnMenuOpen() {
    ShowWindow(SW_SHOWNORMAL);
    SetForegroundWindow();
}

void CVelorinDlg::OnDestroy() {
    if (Destroyed) return;
    Destroyed = true;
    DestroyFaceTooltips();
    CDialog::OnDestroy();
    StopRecordTimer();
    KillTimer(IDT_CLOCK);
    KillTimer(IDT_REFRESH);
    KillTimer(IDT_METER);

    SettingsStore store;
    store.WriteDword("Device", static_cast<DWORD>(DeviceIndex));
    store.WriteDword("AudoLine", static_cast<DWORD>(LineIndex));
    store.WriteChannel(StereoOn ? 1 : 0);
    store.WriteBit(Bits16On ? 1 : 0);
    store.WriteFreq(static_cast<DWORD>(SampleRateIndex));

    // The last recording's file must be complete before the process ends:
    // the engine's stop returns once its finisher has closed the file. A
    // writer stuck on a dead network drive must not keep the program from
    // ending, so the exit waits a bounded time.
    if (CaptureRunning() && !StopCapture(kExitFinishWaitMs))
        OutputDebugStringA("Exit: the last recording was not finished in time\n");
    StopRecording();
    CloseAudioBox();
    DeleteLeftTestFile();

    store.WriteDword("Background Scale", static_cast<DWORD>(MixBalancePercent));
    store.WriteString("PlayFile", PlayFile);
    char name[1000] = "";
    GetDlgItemText(IDC_FILENAME, name, sizeof name);
    StoreLastName(store, name);
    store.WriteDword("Volume", static_cast<DWORD>(VolumeValue));
    store.WriteMP3Mode(static_cast<DWORD>(Mp3ModeSetting));
    store.WriteMP3Bitrate(static_cast<DWORD>(Mp3BitrateSetting));
    store.WriteThreshold(static_cast<DWORD>(SignalThreshold));
    store.WriteSignalType(static_cast<DWORD>(SilenceAction));
    store.WriteNewFileDelay(static_cast<DWORD>(NewFileDelay));
    store.WriteDword("ShowSwitch", static_cast<DWORD>(ShowSwitchValue));
    store.WriteScheduleType(static_cast<DWORD>(ScheduleTypeValue));
    store.WriteBtnTimeStampedStatus(TimeStampedOn);
    store.WriteBtnMultiFileStatus(MultiFileOn);

    if (CaptureGraphObject.mediaControl) CaptureGraphObject.mediaControl->Stop();
    CaptureGraphObject.Shutdown();
    if (CaptureGraph == &CaptureGraphObject) CaptureGraph = nullptr;

    // The player: a playback still running is paused, then stopped.
    ShutdownBackgroundPlayer();
    if (PlayerGraph) {
        if (PlaybackState != PlaybackStopped && PlayerGraph->mediaControl) {
            PlayerGraph->mediaControl->Pause();
            Sleep(200);
            PlayerGraph->mediaControl->StopWhenReady();
            PlaybackState = PlaybackStopped;
        }
        PlayerGraph->ReleaseGraph();
    }

    if (MixerHandle) {
        mixerClose(MixerHandle);
        MixerHandle = nullptr;
    }
    if (ComInitialised[1]) CoUninitialize();
    ComInitialised[1] = false;
    if (TimerPeriod) timeEndPeriod(TimerPeriod);
    TimerPeriod = 0;
    delete PlayerGraph;
    PlayerGraph = nullptr;
    if (PopupMenu) DestroyMenu(PopupMenu);
    if (UploadMenu) DestroyMenu(UploadMenu);
    PopupMenu = UploadMenu = nullptr;
    WmaOutput = WmaOutputHooks{};
    ReleaseWmaWriter();
    if (ComInitialised[0]) CoUninitialize();
    ComInitialised[0] = false;
    MainWindow = nullptr;
}

void CVelorinDlg::LoadFaceSkins() {
    CheckBoxChecked.Load("IDR_CHECKBOXCHECKED");
    CheckBoxUnchecked.Load("IDR_CHECKBOXUNCHECKED");
    FacePicture.Load("IDR_FACE1");
    ScaleBackgroundName.Load("IDR_SCALEBACKGROUNDNAME");
    ScaleRecordingName.Load("IDR_SCALERECORDINGNAME");
    AudioLinePicture.Load("IDR_AUDIOLINE");
    LogFacePicture.Load("IDR_LOGFACE");
    SocketUp.Load("IDR_BTNSOCKETUP");
    SocketDown.Load("IDR_BTNSOCKETDOWN");
    SocketDisable.Load("IDR_BTNSOCKETDISABLE");
    SocketHover.Load("IDR_BTNSOCKETHOVER");
    MicUp.Load("IDR_BTNMICUP");
    MicDown.Load("IDR_BTNMICDOWN");
}

int32_t CVelorinDlg::OpenPlayerFile(const char* path) {
    // The player is the background's while a mixed recording runs: opening
    // a file would tear it down under the recording.
    if (IsRecording && RecordingOptions.BackgroundMixOn) return 0;
    // A device is not even looked up: the lookup itself may open it.
    if (!PlayerGraph || !path || !path[0] || IsDeviceFileName(path) ||
        GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return 0;
    PlayerGraph->ReleaseGraph();
    int32_t length = 0;
    if (SUCCEEDED(PlayerGraph->CreateGraph()) && SUCCEEDED(PlayerGraph->OpenFile(path)))
        length = static_cast<int32_t>(PlayerGraph->Duration() / 10000);
    PlayerGraph->ReleaseGraph();
    return length;
}

void CVelorinDlg::DrawFrequencyButtons(HDC dc) {
    CPicture face;
    if (face.Load(kRateFaces[std::clamp(SampleRateIndex, 0, 8)])) face.Draw(dc, 123, 29, 27, 131);
}
