// The main window's smaller commands: the channel, sample-size and
// input-level switches, the format radios, start with Windows, the help
// and system-tool links, the template's legacy controls and the upload
// launchers.
#include "app/VelorinDlg.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

#include "app/OutputNaming.h"
#include "app/resource.h"
#include "engine/WmaWriter.h"
#include "framework/FileDialog.h"
#include "framework/GetProc.h"
#include "framework/Handles.h"
#include "framework/RegKey.h"
#include "framework/SafeString.h"
#include "sharing/UploadDlg.h"
#include "ui/BrowserLauncher.h"
#include "ui/SettingsStore.h"

namespace {

const char kHelpAddress[] = "http://www.velorin.com/brindle/help_intro.html";
const char kHomePageAddress[] = "http://www.velorin.com/brindle/";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kHelpTopic[] = "VelorinHelp.chm::html\\before_you_start.htm";
const char kUploadFilter[] =
    "All Files(*.*)|*.*|MP3 Files (*.mp3)|*.mp3|WAV File ( *.wav)|*.WAV|WMA File ( *.wma)|*.wma||";

const COLORREF kFaceColour = RGB(28, 210, 252);

// The HTML help viewer's entry point, from hhctrl.ocx at run time.
using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
constexpr UINT kHelpDisplayTopic = 0;

}  // namespace

// ---- menu entries that lead to face buttons -------------------------------

void CVelorinDlg::OnMenuPause() { OnBtnPause(); }
void CVelorinDlg::OnMenuPlay() { OnBtnPlay(); }
void CVelorinDlg::OnMenuChangeFileName() { OnBtnEject(); }
void CVelorinDlg::OnMenuSignalRecord() { OnBtnSignalRecord(); }

// Face buttons whose press has no effect of its own.
void CVelorinDlg::OnNoEffect() {}

// ---- format switches -------------------------------------------------------
// A running recording or playback keeps the format it started with.

void CVelorinDlg::OnBtnStereo() {
    if (IsRecording || IsPlaying || StereoOn) return;
    StereoOn = 1;
    SetCheckFace(1060, true);
    SetCheckFace(1061, false);
    UpdateRecordFormat();
}

void CVelorinDlg::OnBtnMono() {
    if (IsRecording || IsPlaying || !StereoOn) return;
    StereoOn = 0;
    SetCheckFace(1060, false);
    SetCheckFace(1061, true);
    UpdateRecordFormat();
}

void CVelorinDlg::OnBtn16Bit() {
    if (IsRecording || IsPlaying || Bits16On) return;
    Bits16On = 1;
    SetCheckFace(1062, true);
    SetCheckFace(1063, false);
    EnableSixteenBitSwitches(true);
    UpdateRecordFormat();
}

void CVelorinDlg::OnBtn8Bit() {
    if (IsRecording || IsPlaying || !Bits16On) return;
    Bits16On = 0;
    SetCheckFace(1062, false);
    SetCheckFace(1063, true);
    // The filters and the background mix work on 16-bit samples only.
    EnableSixteenBitSwitches(false);
    UpdateRecordFormat();
}

void CVelorinDlg::EnableSixteenBitSwitches(bool enable) {
    for (UINT id : {1115u, 1116u, 1166u})
        if (CUniButton* b = FaceButton(id)) ::EnableWindow(b->GetSafeHwnd(), enable);
}

void CVelorinDlg::OnBtnShowInputLevel() {
    // The switch state is what the exit saves as ShowSwitch.
    ShowSwitchValue = ShowSwitchValue ? 0 : 1;
    ShowInputLevelOn = static_cast<uint8_t>(ShowSwitchValue);
    SetCheckFace(1068, ShowSwitchValue != 0);
    RepaintRect(RECT{266, 70, 551, 131});
    CClientDC client(this);
    HDC dc = client.GetSafeHdc();
    ShowStatusText(dc, StatusLine1, StatusLine2);
    RECT meter{257, 32, 408, 53};
    HBRUSH brush = CreateSolidBrush(kFaceColour);
    FillRect(dc, &meter, brush);
    DeleteObject(brush);
}

// ---- format radios ---------------------------------------------------------

void CVelorinDlg::OnRadioMp3() { SelectOutputFormat(1049, "MP3"); }

void CVelorinDlg::OnRadioWav() { SelectOutputFormat(1170, "WAV"); }

void CVelorinDlg::OnRadioWma() {
    if (!WmaAvailable()) {
        ShowMessage("WMASupport");
        return;
    }
    // No profile chosen yet: the WMA settings first, and WMA only once
    // they chose one.
    if (IsRecording || ButtonDown(1171)) return;
    int profile = -1;
    SettingsStore store;
    store.ReadDword("WMAFormat", &profile);
    if (profile < 0) {
        OnBtnWmaSettings();
        store.ReadDword("WMAFormat", &profile);
        if (profile < 0) return;
    }
    SelectOutputFormat(1171, "WMA");
}

void CVelorinDlg::SelectOutputFormat(UINT radio, const char* letters) {
    if (IsRecording || ButtonDown(radio)) return;
    char path[1000] = "", renamed[1000];
    GetDlgItemText(IDC_FILENAME, path, sizeof path);
    // A name that cannot take its new extension keeps the old format too.
    if (!WithFormatExtension(path, letters, renamed, sizeof renamed)) return;
    for (UINT id : {1049u, 1170u, 1171u}) SetCheckFace(id, id == radio);
    SafeCopy(OutputPath, renamed);
    SetDlgItemText(IDC_FILENAME, renamed);
    CClientDC client(this);
    DrawOutputFileLine(client.GetSafeHdc());
    DrawWaveMeter(client.GetSafeHdc());
}

// ---- start with Windows ----------------------------------------------------

void CVelorinDlg::OnMenuAddToStartup() {
    // One Run entry starts the program once at logon; a second start from
    // another entry would record into the same file.
    char folder[200] = "", program[MAX_PATH + 16] = "";
    SettingsStore store;
    store.ReadInstallPath(folder);
    bool named = false;
    if (folder[0]) {
        const size_t n = strlen(folder);
        named = SafeFormat(program, "%s%sbrindle.exe", folder, folder[n - 1] == '\\' ? "" : "\\");
    } else {
        const DWORD n = GetModuleFileNameA(nullptr, program, sizeof program);
        named = n > 0 && n < sizeof program;
    }
    char command[MAX_PATH + 40];
    RegKey run;
    bool written = named && SafeFormat(command, "\"%s\" /rs /hide", program) &&
                   run.Create(HKEY_CURRENT_USER, kRunKey, KEY_SET_VALUE) == ERROR_SUCCESS &&
                   RegSetValueExA(run.Get(), "Brindle", 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                                  static_cast<DWORD>(strlen(command))) == ERROR_SUCCESS;
    if (!written) ShowStatusText(nullptr, "Could not add Brindle to the startup", "programs of Windows");
}

// ---- help and system tools -------------------------------------------------

void CVelorinDlg::OnHelpOnline() {
    if (HANDLE browser = OpenUrlInBrowser(kHelpAddress)) CloseHandle(browser);
}

void CVelorinDlg::OnHomePage() {
    ShellExecuteA(m_hWnd, "open", kHomePageAddress, nullptr, nullptr, SW_SHOWNORMAL);
}

void CVelorinDlg::OnHelpBeforeYouStart() {
    char folder[200] = "", topic[MAX_PATH + 64] = "";
    SettingsStore store;
    store.ReadInstallPath(folder);
    if (folder[0]) {
        const size_t n = strlen(folder);
        if (!SafeFormat(topic, "%s%s%s", folder, folder[n - 1] == '\\' ? "" : "\\", kHelpTopic)) return;
    } else {
        SafeFormat(topic, "c:\\%s", kHelpTopic);
    }
    // The viewer stays loaded: its window may outlive this call.
    static HMODULE viewer = LoadLibraryA("hhctrl.ocx");
    if (auto htmlHelp = GetProc<HtmlHelpFunction>(viewer, "HtmlHelpA"))
        htmlHelp(::GetDesktopWindow(), topic, kHelpDisplayTopic, 0);
}

void CVelorinDlg::OnBtnRecordingControl() {
    if (IsNt6)
        ShellExecuteA(nullptr, "Open", "rundll32.exe", "shell32.dll,Control_RunDLL mmsys.cpl,,recording",
                      nullptr, SW_SHOWNORMAL);
    else
        ShellExecuteA(nullptr, "Open", "sndvol32.exe", "-r", nullptr, SW_SHOWNORMAL);
}

void CVelorinDlg::CloseWindowCommand() { SendMessage(WM_CLOSE); }

// ---- the template's legacy signal controls ---------------------------------

void CVelorinDlg::OnBtnResetThreshold() {
    // Defaults of the back face's panel on show; the front face has none.
    if (FaceMode != 1) return;
    if (BackPanel == kBackPanelMp3) {
        SendDlgItemMessage(1045, CB_SETCURSEL, 0, 0);
        SendDlgItemMessage(1044, CB_SETCURSEL, 0, 0);
    } else if (BackPanel == kBackPanelSignal) {
        SendDlgItemMessage(1052, CB_SETCURSEL, 0, 0);
        ThresholdSlider.SetPos(8);
        SignalThreshold = 8;
        RecordingOptions.SignalLevelIndex = SignalThreshold;
        SetDlgItemText(1066, "0");
        SendDlgItemMessage(1065, UDM_SETPOS32, 0, 0);
        RepaintRect(RECT{252, 156, 552, 185});
    }
}

void CVelorinDlg::OnSpinSilenceTime(NMHDR*, LRESULT* result) {
    const LRESULT position = SendDlgItemMessage(1065, UDM_GETPOS32, 0, 0);
    char text[8];
    SafeFormat(text, "%d", static_cast<int>(position & 0xFF));
    SetDlgItemText(1066, text);
    *result = 0;
}

void CVelorinDlg::OnSilenceEditFocus() {
    // The edit is the spin's buddy: the spin hears of its focus.
    if (HWND spin = ::GetDlgItem(m_hWnd, 1065))
        ::SendMessageA(spin, WM_COMMAND, MAKEWPARAM(1066, EN_SETFOCUS),
                       reinterpret_cast<LPARAM>(::GetDlgItem(m_hWnd, 1066)));
}

void CVelorinDlg::OnSignalTypeChange() {
    SignalTypeSelection = static_cast<int32_t>(SendDlgItemMessage(1052, CB_GETCURSEL, 0, 0));
}

// ---- uploads ---------------------------------------------------------------

void CVelorinDlg::OnMenuUploadLast() { UploadLastRecording(); }

void CVelorinDlg::OnMenuUploadFromDisk() { UploadFileFromDisk(); }

void CVelorinDlg::UploadLastRecording() {
    // The writer still holds the file being recorded.
    if (IsRecording) {
        ShowStatusText(nullptr, "Stop the recording first", "then upload it");
        return;
    }
    char path[1000] = "";
    GetDlgItemText(IDC_FILENAME, path, sizeof path);
    RunUpload(path);
}

void CVelorinDlg::UploadFileFromDisk() {
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, kUploadFilter);
    if (dialog.DoModal() != IDOK) {
        if (dialog.ErrorCode()) ::MessageBoxA(m_hWnd, dialog.ErrorText(), "Brindle", MB_OK | MB_ICONWARNING);
        return;
    }
    CString path = dialog.GetPathName();
    path.TrimRight();
    RunUpload(path);
}

void CVelorinDlg::RunUpload(const char* path) {
    if (RefuseDeviceFile(path)) return;
    CUploadDlg upload;
    upload.Owner = m_hWnd;
    upload.SetFilePath(path);
    // The check and the host request run before the dialog owns the
    // window: no record, exit or second upload in between.
    EnableWindow(FALSE);
    upload.StartUpload();
    EnableWindow(TRUE);
}
