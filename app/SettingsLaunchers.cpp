// The settings dialogs of the MP3 format and tag, the capture device, the
// background mixing and the WMA format, and the loaders that take what they
// stored into the main window and the engine (also at start-up).
#include "app/VelorinDlg.h"

#include <algorithm>

#include "dialogs/BackgroundDlg.h"
#include "dialogs/DeviceDlg.h"
#include "dialogs/GenreList.h"
#include "dialogs/Mp3Dlg.h"
#include "dialogs/WmaDlg.h"
#include "engine/EngineState.h"
#include "engine/Id3Tag.h"
#include "engine/PlayerGraph.h"
#include "engine/WmaWriter.h"
#include "framework/SafeString.h"
#include "ui/SettingsStore.h"

namespace {

const RECT kBackgroundLine{260, 84, 545, 97};
const RECT kPlayPositionReadout{460, 140, 545, 151};

}  // namespace

// ---- loaders ---------------------------------------------------------------

void CVelorinDlg::LoadMp3Settings() {
    SettingsStore store;
    DWORD value = 0;
    store.ReadMP3Mode(&value);
    Mp3ModeSetting = value <= 2 ? static_cast<int32_t>(value) : 0;
    store.ReadMP3Bitrate(&value);
    Mp3BitrateSetting = value <= 15 ? static_cast<int32_t>(value) : 0;
    int crc = 0, original = 0, copyright = 0, priv = 0, id3 = 0;
    store.ReadDword("CRC", &crc);
    store.ReadDword("Original", &original);
    store.ReadDword("Copyright", &copyright);
    store.ReadDword("Private", &priv);
    store.ReadDword("ID3", &id3);
    Mp3CrcSetting = crc != 0;
    Mp3OriginalSetting = original != 0;
    Mp3CopyrightSetting = copyright != 0;
    Mp3PrivateSetting = priv != 0;
    Id3Setting = id3 != 0;
    // The same default as the dialog shows for a missing genre.
    GenreSetting = store.ReadSetting("Genre") & 0xFF;
    char text[1000];
    store.ReadString("Artist", text);
    SafeCopy(ArtistText, text);
    store.ReadString("Album", text);
    SafeCopy(AlbumText, text);
    store.ReadString("Title", text);
    SafeCopy(TitleText, text);
    store.ReadString("Year", text);
    SafeCopy(YearText, text);
    RecordingOptions.Mp3CrcOn = Mp3CrcSetting;
    RecordingOptions.Mp3CopyrightOn = Mp3CopyrightSetting;
    RecordingOptions.Mp3PrivateOn = Mp3PrivateSetting;
    RecordingOptions.Mp3OriginalOn = Mp3OriginalSetting;
    RecordingOptions.Id3TagOn = Id3Setting;
    Id3Tag& tag = RecordingOptions.Id3Tag;
    SafeCopy(tag.artist, sizeof tag.artist, ArtistText);
    SafeCopy(tag.title, sizeof tag.title, TitleText);
    SafeCopy(tag.album, sizeof tag.album, AlbumText);
    SafeCopy(tag.year, sizeof tag.year, YearText);
    tag.genre = static_cast<BYTE>(GenreSetting);
}

void CVelorinDlg::LoadBackgroundSettings() {
    SettingsStore store;
    MixBalancePercent = std::clamp(store.ReadSetting("Background Scale"), 0, 100);
    RecordingOptions.MixBalance = MixBalancePercent;
    BackgroundAction = store.ReadSetting("Background Action");
    BackgroundSettings.backgroundChannel = store.ReadSetting("Background Channel");
    BackgroundSettings.recordingChannel = store.ReadSetting("Recording Channel");
    BackgroundSettings.vocalChannel = store.ReadSetting("Vocal Channel");
    BackgroundSettings.removeVoice = store.ReadSetting("Remove Voice");
    BackgroundSettings.enablePreview = store.ReadSetting("Background Enable Preview");
    // The engine's buffer holds 255 characters; a longer stored name reads
    // as none rather than as another file's name cut short.
    char file[256] = "";
    store.ReadString("Background File", file);
    DropStoredDeviceName("Background File", file, sizeof file);
    SetBackgroundFile(file);
    if (PlayerGraph) PlayerGraph->loop = BackgroundAction == 0;
}

void CVelorinDlg::LoadWmaTagSettings() {
    SettingsStore store;
    MediaTagRecord tags{};
    char text[1000];
    const struct {
        const char* name;
        char* field;
    } texts[] = {{"WMAArtist", tags.author},       {"WMATitle", tags.title},
                 {"WMAAlbum", tags.album},         {"WMAComposer", tags.composer},
                 {"WMACopyright", tags.copyright}, {"WMADescription", tags.description}};
    for (const auto& t : texts) {
        store.ReadString(t.name, text);
        SafeCopy(t.field, sizeof tags.author, text);
    }
    int genre = 0;
    store.ReadDword("WMAGenre", &genre);
    // Some list names end in a blank; the header attribute never does.
    CopyTrimmed(tags.genre, Id3GenreName(genre));
    tags.genreNumber = static_cast<BYTE>(GenreSelection(genre) < 0 ? 0 : genre);
    LoadWmaWriterTags(tags);
    int format = -1;
    store.ReadDword("WMAFormat", &format);
    if (format >= 0 && WmaAvailable()) SelectWmaProfile(format);
}

// ---- launchers -------------------------------------------------------------

void CVelorinDlg::OnBtnMp3Settings() {
    if (IsRecording || FaceMode == 1) return;
    CDLGMP3 dialog(this);
    dialog.DoModal();
    // Also after Cancel: the exit writes the MP3 format from these members.
    LoadMp3Settings();
}

void CVelorinDlg::OnMenuMp3Settings() { OnBtnMp3Settings(); }

void CVelorinDlg::OnBtnDevice() {
    // Switching devices rebuilds the capture graph: never under a recording,
    // a playback, a line test or a mode that starts recordings by itself.
    if (IsRecording || IsPlaying || SignalModeOn || ScheduleModeOn || LineTestBusy()) return;
    CDeviceDlg dialog(&DeviceList, &LineList, DeviceIndex, this);
    dialog.DoModal();
    if (!dialog.OkPressed || dialog.DeviceIndex == DeviceIndex) return;
    if (FAILED(CaptureGraphObject.SelectDevice(dialog.DeviceIndex, &DeviceList, &LineList))) {
        // The old device stays, its graph and lines rebuilt.
        CaptureGraphObject.SelectDevice(DeviceIndex, &DeviceList, &LineList);
        LineCount = LineList.Count();
        LineIndex = LineCount > 0 ? std::clamp(LineIndex, 0, LineCount - 1) : -1;
        ShowMessage("DeviceAvailabity");
        return;
    }
    DeviceIndex = dialog.DeviceIndex;
    LineCount = LineList.Count();
    LineIndex = LineCount > 0 ? 0 : -1;
    Invalidate(FALSE);
    FindMicrophoneLine();
}

void CVelorinDlg::OnMenuSelectDevice() { OnBtnDevice(); }

void CVelorinDlg::OnBtnBackgroundSettings() {
    // The background thread of a recording reads the file name on its own.
    if (IsRecording) {
        ShowStatusText(nullptr, "Stop the recording first", "then change the background");
        return;
    }
    SettingsStore store;
    store.WriteDword("Background Scale", static_cast<DWORD>(MixBalancePercent));
    CDLGBackground dialog(this);
    dialog.DoModal();
    LoadBackgroundSettings();
    MixBalanceSlider.SetPos(100 - MixBalancePercent);
    InvalidateRect(&kBackgroundLine, FALSE);
    if (InfoRowMode == 1) {
        PlayLength = OpenPlayerFile(RecordingOptions.BackgroundFile);
        InvalidateRect(&kPlayPositionReadout, FALSE);
    }
}

void CVelorinDlg::OnBtnWmaSettings() {
    if (IsRecording) return;
    if (!WmaAvailable()) {
        ShowMessage("WMASupport");
        return;
    }
    CDLGWMA dialog(this);
    dialog.DoModal();
    LoadWmaTagSettings();
}
