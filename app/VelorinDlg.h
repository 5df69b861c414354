// The program's main window: a modal dialog painted from the skin, cut to
// the skin's outline, with skinned buttons and sliders at fixed places.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// The framework first: the DirectShow headers bring macros that would
// rename some of its members.
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "app/MainMessages.h"
#include "app/ScheduleRules.h"
#include "engine/CaptureGraph.h"
#include "engine/EngineState.h"
#include "ui/HistoryLog.h"
#include "ui/LevelMeters.h"
#include "ui/Picture.h"
#include "ui/SkinSlider.h"
#include "ui/HotKeyScript.h"
#include "ui/TrayIcon.h"
#include "ui/XmlDocument.h"
#include "ui/UniButton.h"

class CVelorinDlg;
class CFilter;
class SettingsStore;

// The dialog object (for the multimedia timer) and its window (for every
// component that posts to it).
extern CVelorinDlg* MainDialog;
extern HWND MainWindow;
// The registry value InstallPath.
extern char InstallPath[200];

// One face button: identifier, face base name, place, size and face mode.
struct FaceButtonSpec {
    UINT id;
    const char* baseName;
    int x, y, width, height;
    int mode;
    const char* elementName;
};
constexpr int kFaceButtonCount = 42;
// Face areas with tooltips of their own (ids 1076 to 1080).
constexpr int kFaceAreaCount = 5;
extern const FaceButtonSpec FaceButtonTable[kFaceButtonCount];

// Window outlines: plain face, with the audio-line box, with the history
// panel (without and with the box).
struct FaceOutline {
    const POINT* points;
    int count;
};
extern const FaceOutline OutlinePlain, OutlineAudioBox, OutlineArchive, OutlineArchiveAudioBox;

// One streaming address of the schedule, with the browser opened for it.
struct ScheduleUrlEntry {
    char TimeText[20] = "";  // opening time: the start less the loading time
    char DayText[50] = "";
    char Url[300] = "";
    uint8_t Launched = 0;
    HANDLE ProcessHandle = nullptr;
    std::string LineText;  // the line it belongs to, which the list may move
    ScheduleLine Line;
};
constexpr int kScheduleUrlMaximum = 100;

// Sleeps 300 ms, then posts WM_DELAYED_SCHEDULETOGGLE to the main window.
DWORD WINAPI DelayedScheduleToggleThread(LPVOID);

class CVelorinDlg : public CDialog {
public:
    explicit CVelorinDlg(CWnd* parent = nullptr);
    ~CVelorinDlg() override;

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Hot keys of the face, matched before the dialog's own key handling.
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    BOOL IsNt6Platform();
    int InitCaptureDevices();
    void CreateFaceButtons();
    // The window region for the current layout, built fresh from the
    // outline each time (the system keeps what it is given).
    void ApplyWindowRegion(BOOL redraw);

    // The button object of a face identifier, or null.
    CUniButton* FaceButton(UINT id);
    // Presses a face button the way a user does, through posted messages
    // that run once the modal loop is up.
    void PressFaceButton(UINT id);
    // Turns on the format radio (WAV, MP3, WMA) that a file name's
    // extension calls for.
    void SelectFormatForName(const char* path);

    // ---- handlers of the message map ----
    afx_msg void OnSysCommand(UINT id, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
    afx_msg void OnRButtonDown(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnDestroy();
    afx_msg void OnCaptureChanged(CWnd* wnd);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg LRESULT OnKeyDownMessage(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWaveInBlock(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMixerControlChange(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnAutoConfig(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnLineTestNext(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDelayedSignalRecord(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDelayedScheduleToggle(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnInvalidFile(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCaptureGraphMessage(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnRecordTick(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnTaskbarCreated(WPARAM wParam, LPARAM lParam);

    // Face buttons.
    afx_msg void OnBtnRecord();
    afx_msg void OnBtnPause();
    afx_msg void OnBtnStop();
    afx_msg void OnBtnEject();
    afx_msg void OnBtnPlay();
    afx_msg void OnBtnDetect();
    afx_msg void OnBtnMinimize();
    afx_msg void OnBtnClose();
    afx_msg void OnBtnAutoDetect();
    afx_msg void OnBtnCloseAudioBox();
    afx_msg void OnHelpOnline();
    afx_msg void OnHomePage();
    afx_msg void OnCheckMultiFile();
    afx_msg void CloseWindowCommand();
    afx_msg void DetectAudioLines();
    afx_msg void OnHelpBeforeYouStart();
    afx_msg void OnBtnMp3Settings();
    afx_msg void OnBtnTrackSplitterSettings();
    afx_msg void OnBtnScheduleSettings();
    afx_msg void OnRadioMp3();
    afx_msg void OnBtnSignalRecord();
    afx_msg void OnBtnScheduleStart();
    afx_msg void OnBtnResetThreshold();
    afx_msg void OnBtnDeleteScheduleItem();
    afx_msg void OnBtnAddScheduleItem();
    afx_msg void OnBtnStereo();
    afx_msg void OnBtnMono();
    afx_msg void OnBtn16Bit();
    afx_msg void OnBtn8Bit();
    afx_msg void OnBtnRecordingControl();
    afx_msg void OnBtnShowInputLevel();
    afx_msg void OnCheckTimeStamped();
    afx_msg void OnRadioAbsolute();
    afx_msg void OnRadioRelative();
    afx_msg void OnBtnToTray();
    afx_msg void OnCheckMonitor();
    afx_msg void OnCheckNoiseGate();
    afx_msg void OnCheckLowPass();
    afx_msg void OnCheckHighPass();
    afx_msg void OnBtnNoiseGatingSettings();
    afx_msg void OnBtnDevice();
    afx_msg void OnBtnArchive();
    afx_msg void OnBtnArchiveClose();
    afx_msg void OnBtnEditTag();
    afx_msg void OnBtnBackgroundSettings();
    afx_msg void OnBtnBackgroundEnable();
    afx_msg void OnRadioWav();
    afx_msg void OnRadioWma();
    afx_msg void OnBtnWmaSettings();
    afx_msg void OnBtnUpload();
    afx_msg void OnNoEffect();

    // Menu commands.
    afx_msg void OnMenuOpen();
    afx_msg void OnMenuPause();
    afx_msg void OnMenuPlay();
    afx_msg void OnMenuSelectDevice();
    afx_msg void OnMenuSignalRecord();
    afx_msg void OnMenuScheduleRecord();
    afx_msg void OnMenuAddToStartup();
    afx_msg void OnMenuMp3Settings();
    afx_msg void OnMenuChangeFileName();
    afx_msg void OnMenuConfigAudioLine();
    afx_msg void OnMenuAbout();
    afx_msg void OnMenuUploadLast();
    afx_msg void OnMenuUploadFromDisk();
    afx_msg void UploadLastRecording();
    afx_msg void UploadFileFromDisk();

    // Control notifications.
    afx_msg void OnSpinSilenceTime(NMHDR* header, LRESULT* result);
    afx_msg void OnSilenceEditFocus();
    afx_msg void OnSignalTypeChange();
    afx_msg void OnScheduleListDblClk();
    afx_msg void OnHistoryTreeSelChanged(NMHDR* header, LRESULT* result);
    afx_msg void OnHistoryTreeClick(NMHDR* header, LRESULT* result);
    afx_msg void OnHistoryTreeCustomDraw(NMHDR* header, LRESULT* result);
    virtual BOOL OnToolTipNeedText(UINT id, NMHDR* header, LRESULT* result);

    // ---- the record timer ----
    // Runs timer 1's duties on this thread; the multimedia callback only
    // posts WM_RECORD_TICK (one at a time) to get here.
    void StartRecordTimer(UINT periodMs);
    void StopRecordTimer();
    static void CALLBACK MultimediaTimerProc(UINT timerId, UINT msg, DWORD_PTR user, DWORD_PTR,
                                             DWORD_PTR);

    // ---- the face ----
    void ShowStatusText(HDC dc, const char* line1, const char* line2);
    // Tooltips of the face areas and the face buttons.
    void CreateFaceTooltips();
    void DestroyFaceTooltips();
    // Hands a mouse message of the face to every area's tooltip.
    void RelayToAreaTips(UINT message, WPARAM wParam, LPARAM lParam);
    // Line1 and Line2 of a message of the language document in the status
    // area.
    void ShowMessage(const char* key);
    // Length in milliseconds of a file the player can open, else 0.
    int32_t OpenPlayerFile(const char* path);
    // A press on one of the three file lines selects it (true: taken).
    bool OnInfoLineClick(CPoint point);
    // The file of an info line (InfoRowMode numbering); the output line's
    // comes from the file-name box into `box`.
    const char* InfoLineFile(int row, char* box, size_t size);
    void DrawOutputFileLine(HDC dc);
    void DrawBackgroundLine(HDC dc);
    void DrawPlayFileLine(HDC dc);
    void DrawFrequencyButtons(HDC dc);
    void DrawWaveMeter(HDC dc);
    void DrawElapsedTime(HDC dc);
    void UpdateRecordFormat();
    // Master volume of the default playback mixer.
    int OpenMasterVolumeControl();
    int GetMasterVolume(DWORD* value);
    int SetMasterVolume(DWORD value);

    // Runs the starts the command line asked for (record, signal, schedule,
    // to tray).
    void ApplyCommandLineStarts();
    // Duties of timer 1 (recording, playback position, line set-up and
    // test) and of the meter timer.
    void RecordTimerDuties();
    void MeterDuties();
    // A block of the player graph's grabber (background sound or the file
    // being played).
    void OnPlayerBlock(WAVEHDR* header);
    // Stops a recording or playback: the record timer, the capture with
    // its file and history line, playback, signal and schedule modes.
    void StopRecording();

    // ---- the schedule ----
    void LoadScheduleList();
    void BuildScheduleUrlEntries();
    void ToggleScheduleMode();
    void StartScheduleCheck();
    void ApplyRelativeTime(char* text);
    // The page file for a media address, else the address itself: what the
    // browser is to open.
    std::string WriteStreamingUrlPage(const char* address);
    // The local time and the UTC seconds now; tests run the schedule on a
    // clock of their own.
    virtual void ReadScheduleClock(ScheduleClock* clock);
    ScheduleMode CurrentScheduleMode() const;
    void TakeScheduleStamp();
    // After any change to the list: the parsed lines and the address table.
    void ScheduleListChanged();
    // Mode off: the recording stops with its file, signal mode comes back.
    void StopScheduleRecording();
    void EndScheduleUrlProcesses();
    void AnnounceScheduleTime(const char* key, int seconds);
    void ShowScheduleProblem();
    void SetSchedulePickers(bool relative);
    // Signal-activated recording starts again 300 ms from now.
    void RestartSignalRecordLater();

    // ---- recording ----
    // Starts a recording from the face's settings, with every check.
    void StartRecording();
    // A fresh numbered or time-stamped name into OutputPath and the
    // file-name box; 0 when the box's name has no accepted extension.
    int BuildOutputFileName();
    void FillHistoryRecord();

    // ---- output files that cannot take a recording (OutputChecks.cpp) ----
    // A message of the language document, or its built-in English lines
    // when the language file predates it.
    void ShowOutputMessage(const char* key);
    // False, with the reason shown, when `path` names a device or lies in
    // a folder that does not exist.
    bool CheckOutputName(const char* path);
    // True, with the reason shown, when `path` names a device: a player,
    // tag reader or upload that opened it would wait on the device.
    bool RefuseDeviceFile(const char* path);
    // A stored file name (`value` read into `text`) that names a device,
    // as an older version let through, becomes `replacement`, in the
    // registry too.
    void DropStoredDeviceName(const char* value, char* text, size_t size, const char* replacement = "");
    // Why the start could not open `path` (another recording holds it, its
    // folder is missing, or just that it cannot be opened).
    void ShowOpenFailure(const char* path);
    // A recording into `path` runs: it is a usable name again.
    void NoteOutputOpened(const char* path);
    // LastName = `name`, unless that is the name that could not be opened.
    void StoreLastName(SettingsStore& store, const char* name);
    // Why the command line's "-filename " was refused.
    void ShowCommandLineRefusal();
    // The output stopped taking data: the recording ends as Stop ends it,
    // and the status line and a message box say why.
    void StopOnFailedWrite();
    // The last name a start could not record into ("" when none).
    char RefusedName[1000] = {};
    // The last start stopped at the user's No to the overwrite question.
    bool StartDeclined = false;
    // A count of ShowStatusText calls: whether a start said anything.
    uint32_t StatusTextShown = 0;
    // A stored file name at start-up named a device and was dropped.
    bool StoredDeviceNameDropped = false;

    const char* GetMixerLineName(int line);
    void UpdateButtonStates();
    void DrawFileSize(HDC dc);
    void DrawPlayPosition(HDC dc);
    // The background's and the recording's shares of a mixed recording,
    // with their names.
    void DrawPercentage(HDC dc);
    // One step of the play-position readout (every timer message counts).
    void PlayPositionDuty();
    // Silence action 2: closes the file and starts the next one 300 ms on.
    void NewFileOnSilence();
    // The pressed face of a two-state or radio face button.
    bool ButtonDown(UINT id);
    void SetButtonDown(UINT id, bool down);
    // The schedule's checks and re-toggle.
    void CheckScheduledUrls();
    void CheckSchedule();
    void ScheduleToggleAfterSignalOff();
    // The output folder and name dialog, run by the eject command.
    void RunOutputDialog();

    // ---- commands ----
    // Turns one format radio on and gives the output file its extension.
    void SelectOutputFormat(UINT radio, const char* letters);
    // The low-pass, high-pass and background switches, usable at 16 bits only.
    void EnableSixteenBitSwitches(bool enable);
    // The upload dialog for one file, the window disabled while it runs.
    void RunUpload(const char* path);

    // ---- audio-line box (the panel at the right of the face) ----
    // Only the device list's placeholder: nothing to record from.
    bool IsCaptureDeviceMissing();
    // 1 when it opened, 0 when it was open already.
    int OpenAudioBox(HDC dc, const RECT& box);
    // 0 when it was not open.
    int CloseAudioBox();
    void ShowAudioBoxButtons(uint8_t show);
    void DrawAudioBox(HDC dc);
    void DrawAudioBoxTexts(HDC dc);
    // One row's socket face, drawn at once (the box must be open).
    void DrawAudioBoxRow(int row, const CPicture& face);
    void InitAudioBoxRects();
    void HoverAudioBoxRows(CPoint point);
    void UpdateCursor(CPoint point);
    // The box's cursor for a client point, or null (the class cursor).
    HCURSOR AudioBoxCursorAt(POINT point);
    // The press handlers answer whether the press was theirs.
    bool OnMicButtonDown(CPoint point);
    void OnMicButtonUp(CPoint point);
    bool OnMicMarkerClick(CPoint point);
    void FindMicrophoneLine();
    // Level and balance sliders from the selected line's mixer.
    void PlaceLineSliders();
    // Rows the box offers: devices on NT 6, else the device's lines.
    int AudioBoxRowCount();
    int SelectedAudioBoxRow();
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);

    // ---- line test, automatic configuration, format probe ----
    void AutoLineChoiceDuty();
    void LineTestStep();
    void PlayLineTestSound(int line, const char* file, uint8_t automatic, int device);
    bool SetLineVolume(DWORD value);
    void RestoreLineVolume();
    bool TestAudioLines(CPoint point);
    // A recording, playback, signal or schedule mode, or an armed record or
    // play button: a line test would start a capture over it.
    bool TransportBusy();
    // A test step records, or the automatic walk goes on.
    bool LineTestBusy() const { return TestLine >= 0 || LineTestRunning; }
    // Ends a running step or walk at once (Stop, exit): capture stopped,
    // its file deleted.
    void EndLineTest();
    // The manual test's recording, kept while it plays back.
    void DeleteLeftTestFile();
    void PostLineTestNext();
    void ShowLineTestMessage(const char* key, int number);
    void ProbeCapability();
    void WriteCapabilityReport();
    // Opens the capability report (the shell's "open" unless replaced).
    using ReportOpener = void (*)(HWND owner, const char* path);
    static void SetReportOpener(ReportOpener opener);

    // ---- settings the dialogs write ----
    // The noise gate's threshold and release time, the filters' cut-offs:
    // into the members, the engine's options and both filters (a filter
    // that is on takes its new cut-off at once).
    void LoadNoiseGateSettings();
    // The signal threshold, the action on silence and the new-file delay.
    void LoadSignalSettings();
    // The MP3 format, frame flags and default ID3 tag, into the members and
    // the engine's options.
    void LoadMp3Settings();
    // The background file, balance and action into the engine and the
    // player; the other background values are kept for the dialog only.
    void LoadBackgroundSettings();
    // The WMA header texts and the stored profile into the writer.
    void LoadWmaTagSettings();
    // Background values nothing in the engine uses yet: shown and stored.
    struct BackgroundChoices {
        int32_t backgroundChannel = 0, recordingChannel = 0, vocalChannel = 0;
        int32_t removeVoice = 0, enablePreview = 1;
    } BackgroundSettings;
    // The first start's question (WM_SHOW_STARTUP): leave, or find the
    // recording line with or without the line test.
    void OnShowStartup();
    // A filter's cut-off with the Q every filter of ours uses.
    static void SetFilterCutoff(CFilter& filter, int32_t cutoff);

    // ---- the history panel ----
    void SetUpHistoryTree();
    void RegisterTrackWindowClass();
    void ReleaseTrackWindowClass();
    void BuildHistoryTree();
    void ShowArchivePanel();
    void ShowPanelControls(bool open);
    void DrawArchivePanel(HDC dc);
    void DrawFileInfoPanel(HDC dc);
    void AddTrackRow(const HistoryRecord& record);
    // A row of a file alone: its folder and name.
    void AddTrackFile(const char* path);
    // WM_TRACKLIST_OPENFILE: the row becomes the current file.
    void OpenTrackListRow(int row);
    // Lists the day of a day item's data (see CHistoryLog).
    void ListHistoryDay(LPARAM dayData);
    // A take was logged: its day shows in the open panel's tree, and in the
    // list when that day is the one listed.
    void ShowLoggedTake(const HistoryRecord& record);
    void ChooseHistoryItem(HTREEITEM item, bool byClick, bool byUser = true);
    void EnableEditTagFor(const char* path);
    // A multiple-selection open-file dialog; false for a cancel or a failure
    // (which is told).
    bool ChooseFiles(const char* initialName, const char* filter, bool owned, std::vector<CString>* paths);
    void ListChosenFiles(const std::vector<CString>& paths, bool openFirst);
    void ChooseFilesForPlaying(bool byClick);

    HWND TrackListWnd = nullptr;
    HBRUSH TrackListBrush = nullptr;
    HIMAGELIST HistoryImages = nullptr;
    bool TrackListClassOwned = false;
    // Set while the tree is emptied and filled: its notifications then are
    // not the user's choices.
    bool RefillingTree = false;

    HistoryRecord CurrentRecord{};
    // A capture with a file was started and not yet stopped: only then
    // does a stop end the capture, measure the file and log it.
    bool CaptureActive = false;
    // A new file after silence is due; a stop or a user toggle in the
    // 300 ms before it clears this, so the restart never undoes them.
    uint8_t RestartPending = 0;
    uint8_t SplitStopping = 0;  // the stop closes a file of a silence split
    uint8_t DelayedSignalActive = 0;
    // The background switch (button 1166) and its value latched at the
    // start, which pause and resume follow.
    uint8_t BackgroundSwitchOn = 0;
    uint8_t BackgroundMixLatched = 0;
    uint8_t SignalHeard = 0;
    uint8_t HalfRate = 0;
    // Set while an automatic line set-up waits for the record timer.
    uint8_t AutoSetupPending = 0;
    // Schedule state the record timer reads (the schedule module sets it).
    uint8_t ScheduleRecording = 0, ScheduleWindowOpen = 0;
    // The mode comes back on 300 ms after a window's file; a stop or a user
    // toggle in between clears this, so the re-toggle never undoes them.
    uint8_t SchedulePending = 0;
    uint8_t DelayedToggleActive = 0;
    int32_t ScheduleAction = 0, ScheduleActiveLine = -1;
    // When the schedule button was pressed: UTC seconds and the local second
    // of the day (the origin of relative times). 0: never.
    int64_t ScheduleStartStamp = 0;
    int32_t ScheduleStampSeconds = 0;
    std::vector<ScheduleEntry> ScheduleLines;  // the list's items, parsed
    ScheduleRunState ScheduleRun;
    ScheduleUrlEntry ScheduleUrlEntries[kScheduleUrlMaximum];
    int32_t ScheduleUrlCount = 0;
    std::string ScheduleProblem;  // the first line the run cannot use, said once
    DWORD LastUrlPageTick = 0;
    bool UrlPageWritten = false;
    int32_t SecondDivider = 0, PlayDivider = 0;
    uint32_t MeterArmed = 0;

    // ---- state (user-interface thread) ----
    uint8_t IsRecording = 0, IsPlaying = 0, IsPaused = 0;
    uint8_t SignalModeOn = 0, ScheduleModeOn = 0;
    uint8_t MultiFileOn = 0, TimeStampedOn = 0, OverwriteAlertOn = 0;
    uint8_t StereoOn = 1, Bits16On = 1;
    uint8_t ShowInputLevelOn = 0, ShowSwitchState = 0;
    uint8_t NoiseGateButtonOn = 0, LowPassButtonOn = 0, HighPassButtonOn = 0;
    uint8_t IsNt6 = 0;
    uint8_t MultimediaTimerOn = 0;
    uint8_t Mp3EncoderLoaded = 0;
    uint8_t AudioBoxOpen = 0, ArchiveOpen = 0, AudioBoxShown = 0;
    uint8_t FirstStart = 0;
    uint8_t RunLineTest = 0;
    int32_t FaceMode = 0;
    int32_t DeviceIndex = -1, DeviceCount = 0, LineIndex = -1, LineCount = 0, TestLine = -1;
    int32_t SampleRateIndex = 0;
    int32_t Mp3ModeSetting = 0, Mp3BitrateSetting = 0;
    int32_t Mp3CrcSetting = 0, Mp3OriginalSetting = 0, Mp3CopyrightSetting = 0;
    int32_t Mp3PrivateSetting = 0, Id3Setting = 0, GenreSetting = 0;
    char ArtistText[31] = {}, AlbumText[31] = {}, TitleText[31] = {}, YearText[5] = {};
    int32_t ShowSwitchValue = 0, ScheduleTypeValue = 0, SilenceAction = 0, NewFileDelay = 0;
    int32_t VolumeValue = 0, SignalThreshold = 0, MixBalancePercent = 50;
    int32_t BackgroundAction = 0;
    int32_t NoiseThresholdSetting = 0, ReleaseTimeSetting = 0, AttackTimeSetting = 0;
    int32_t LowPassCutoff = 20000, HighPassCutoff = 0;
    int32_t InfoRowMode = 0;
    // The back face's panel while FaceMode is 1; its defaults button acts
    // on the MP3 and signal panels only.
    enum { kBackPanelNone = 0, kBackPanelMp3 = 2, kBackPanelSignal = 3 };
    int32_t BackPanel = kBackPanelNone;
    int32_t SignalTypeSelection = 0;
    int32_t PlayLength = 0, PlayPosition = 0;
    // Set while a released play slider seeks the player: the position
    // readout leaves the slider alone meanwhile.
    uint8_t PlaySeeking = 0;
    CaptureFormat RecordFormat;
    char OutputPath[1000] = {};
    char PlayFile[1000] = {};
    char CurrentFile[1000] = {};
    CString StatusLine1, StatusLine2;
    HANDLE BackgroundBlockEvent = nullptr;
    time_t ElapsedFrom = 0;
    int64_t ElapsedSpan = 0, ElapsedBase = 0;

    // Mixer of the master volume.
    HMIXER MixerHandle = nullptr;
    DWORD MasterVolumeMin = 0, MasterVolumeMax = 0, MasterVolumeControlId = 0;
    // Whether the speakers' volume control was found: its id may well be 0.
    bool MasterVolumeFound = false;
    // Timer resolution raised at start-up (0: not raised).
    UINT TimerPeriod = 0;
    // Timer 1: the multimedia timer's handle, or the window timer.
    UINT MultimediaTimerId = 0;
    bool WindowRecordTimer = false;
    std::atomic<bool> TickPending{false};

    // ---- members ----
    CUniButton FaceButtons[kFaceButtonCount];
    CSkinVSlider VolumeSlider, RecordLevelSlider, SampleRateSlider;
    CSkinSlider InputBalanceSlider, PlayPositionSlider, ThresholdSlider, MixBalanceSlider;
    CPicture FacePicture, CheckBoxChecked, CheckBoxUnchecked, ScaleBackgroundName,
        ScaleRecordingName, AudioLinePicture, LogFacePicture, SocketUp, SocketDown,
        SocketDisable, SocketHover, MicUp, MicDown, StartFace, BackFace, RightFace;
    CLevelMeters Meters;
    CCaptureGraph CaptureGraphObject;
    CaptureDeviceList DeviceList;
    PinNameList LineList;
    CTrayIcon TrayIcon;
    XmlDocument LanguageDocument{XmlDocument::Language};
    HotKeyScript HotKeys;
    HWND AreaTips[kFaceAreaCount] = {};
    HWND ControlTips = nullptr;
    // The text of the tip being shown: a caption with two key lists, or
    // both status texts, one of which can be a whole path.
    char TipText[1024] = {};
    bool TrayPauseChecked = false;  // the tray menu's check mark of Pause
    HMENU PopupMenu = nullptr;
    HMENU UploadMenu = nullptr;
    HICON m_hIcon = nullptr;
    HCURSOR ClassCursor = nullptr;
    HCURSOR Cursors[4] = {};
    CPen MeterPen;
    CFont FaceFont;
    CBrush FaceBrush;
    HDC MemoryDC = nullptr;
    HBITMAP MemoryBitmap = nullptr;
    HGDIOBJ MemoryOldBitmap = nullptr;
    bool ComInitialised[2] = {false, false};
    bool PendingStartupPresses = false;
    bool Destroyed = false;

    // Audio-line box: a copy of the face under it, kept while it is open.
    HDC AudioBoxSavedDC = nullptr;
    HBITMAP AudioBoxSavedBitmap = nullptr;
    HGDIOBJ AudioBoxSavedOld = nullptr;
    RECT AudioBoxRects[10] = {};
    int32_t MicLineIndex = -1;
    int32_t HoverRow = -1;
    uint8_t MicButtonDown = 0;
    uint8_t PanAvailable = 0;
    HCURSOR BoxCursor = nullptr;
    // Line test.
    uint8_t LineTestRunning = 0;
    // A WM_LINETEST_NEXT of ours is on its way; a stop cancels it.
    uint8_t LineTestNextPending = 0;
    char TestFileName[MAX_PATH] = {};
    char LeftTestFile[MAX_PATH] = {};
    DWORD LineVolumeBefore = 0;
    uint8_t LineVolumeSaved = 0;
    char CapabilityText[37] = {};

    DECLARE_MESSAGE_MAP()

private:
    void ReadStoredSettings();
    void ApplySettingsToFace();
    void CreateSliders();
    void LoadFaceSkins();
    void SetCheckFace(UINT id, bool on);
    CSkinVSlider* VSliderAt(CPoint point);
    void RepaintRect(const RECT& rect);
    void SliderEffects();
};
