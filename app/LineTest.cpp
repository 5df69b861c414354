// The line test: for each recording line (each device on NT 6) a short
// WAV recording is made while a clip of our own plays, and the first one
// that is not silent is the line that carries what the computer plays. The
// same step serves the manual test of one row, which plays the recording
// back. Steps are driven by WM_LINETEST_NEXT and the 1000 ms tick of
// timer 1; everything runs on the user-interface thread.
#include "app/VelorinDlg.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/LineTestRules.h"
#include "engine/EngineState.h"
#include "engine/RecordingLines.h"
#include "framework/App.h"
#include "framework/SafeString.h"

namespace {

const RECT kBoxRect{571, 30, 949, 363};
const RECT kLevelSliderArea{609, 89, 635, 220};
const RECT kBalanceSliderArea{592, 63, 653, 80};
const RECT kMarkerColumn{888, 98, 900, 330};
// Where a line's test recording goes, when C:\ takes files.
const char kTestFolder[] = "c:\\";
constexpr DWORD kTestLineVolume = 64000;
// Mean distance from silence above which a line carries sound.
constexpr int kSilenceLevel = 5;

// The test recording's path for a line (NT 6: a device).
void TestFilePath(int line, char (&out)[MAX_PATH]) {
    char name[64];
    SafeFormat(name, "AudioTestRec%d.wav", line);
    WritablePlaceFor(kTestFolder, name, out, sizeof out);
}

struct MixerCloser {
    HMIXER handle;
    ~MixerCloser() { mixerClose(handle); }
};

}  // namespace

bool CVelorinDlg::TransportBusy() {
    return IsRecording || IsPlaying || SignalModeOn || ScheduleModeOn || ButtonDown(1000) ||
           ButtonDown(1006);
}

void CVelorinDlg::PostLineTestNext() {
    LineTestNextPending = 1;
    PostMessage(WM_LINETEST_NEXT);
}

void CVelorinDlg::ShowLineTestMessage(const char* key, int number) {
    char line1[200] = "", line2[200] = "", line3[200] = "";
    LanguageDocument.GetMessageLines(key, line1, line2, line3, sizeof line1);
    char second[420];
    if (strcmp(key, "TestFinish") == 0) SafeFormat(second, "%s %d  %s", line2, number, line3);
    else SafeFormat(second, "%s %d", line2, number);
    ShowStatusText(nullptr, line1, second);
}

// ---- automatic configuration -------------------------------------------

LRESULT CVelorinDlg::OnAutoConfig(WPARAM, LPARAM) {
    // Timer 1 would be taken from whatever runs.
    if (TransportBusy() || LineTestBusy()) return 0;
    ShowMessage("AutoConfig");
    AutoSetupPending = 1;
    StartRecordTimer(150);
    return 0;
}

void CVelorinDlg::AutoLineChoiceDuty() {
    AutoSetupPending = 0;
    // The user started something meanwhile: the set-up gives way.
    if (TransportBusy() || LineTestBusy()) return;
    StopRecordTimer();
    if (IsNt6 ? IsCaptureDeviceMissing() : LineCount <= 0) return;
    OnBtnDetect();
    if (IsNt6) DeviceIndex = 0;
    LineIndex = 0;
    PostLineTestNext();
}

void CVelorinDlg::OnBtnAutoDetect() {
    if (!AudioBoxOpen || LineTestBusy() || TransportBusy()) return;
    DrawAudioBoxRow(SelectedAudioBoxRow(), SocketUp);
    if (IsNt6) DeviceIndex = 0;
    else LineIndex = 0;
    PostLineTestNext();
}

LRESULT CVelorinDlg::OnLineTestNext(WPARAM, LPARAM) {
    // Only our own request, and only while nothing else uses the capture.
    if (!LineTestNextPending) return 0;
    LineTestNextPending = 0;
    const int k = SelectedAudioBoxRow();
    if (TransportBusy() || TestLine >= 0 || k < 0) {
        LineTestRunning = 0;
        return 0;
    }
    DeleteLeftTestFile();
    DrawAudioBoxRow(k, SocketDown);
    ShowLineTestMessage("RecordingTest", k + 1);
    // The engine's start records from the device the graph holds: the one
    // tested must be in it.
    if (IsNt6 && SUCCEEDED(CaptureGraphObject.SelectDevice(k, &DeviceList, &LineList)))
        LineCount = LineList.Count();
    char file[MAX_PATH];
    TestFilePath(k, file);
    SetLineVolume(kTestLineVolume);
    PlayLineTestSound(k, file, 1, DeviceIndex);
    return 0;
}

void CVelorinDlg::PlayLineTestSound(int line, const char* file, uint8_t automatic, int device) {
    LineTestRunning = automatic;
    EnableInputPin(IsNt6 ? 0 : line);
    TestLine = line;
    SafeCopy(TestFileName, file);
    RecordingOptions.PlaybackMetering = 0;
    RecordingOptions.BackgroundMixOn = 0;
    CaptureFormat format;
    format.channels = 2;
    format.rate = 11025;
    format.bits = 8;
    // A start that fails leaves no file or an empty one: silence.
    StartCapture(IsNt6 ? 0 : line, file, format, EncoderWav, device, 1);

    char clip[32];
    LineTestClipName(line, clip, sizeof clip);
    HMODULE module = AfxGetResourceHandle();
    if (HRSRC found = FindResourceA(module, clip, "SOUND"))
        if (HGLOBAL loaded = LoadResource(module, found))
            if (const void* bytes = LockResource(loaded))
                sndPlaySoundA(static_cast<const char*>(bytes), SND_ASYNC | SND_NODEFAULT | SND_MEMORY);
    StartRecordTimer(1000);
}

void CVelorinDlg::LineTestStep() {
    const int k = TestLine;
    if (k < 0) return;
    LineIndex = IsNt6 ? 0 : k;
    StopRecordTimer();
    StopCapture();
    RestoreLineVolume();
    const bool automatic = LineTestRunning != 0;
    if (!automatic && TestFileName[0]) {
        // Heard back now; deleted at the next test, the box's close or the
        // exit, once it can no longer be playing.
        SafeCopy(LeftTestFile, TestFileName);
        sndPlaySoundA(LeftTestFile, SND_ASYNC);
    }
    TestLine = -1;
    DrawAudioBoxRow(k, SocketDisable);
    ShowLineTestMessage("TestFinish", k + 1);

    if (automatic) {
        const int level = MeasureTestFile(TestFileName);
        int32_t& index = IsNt6 ? DeviceIndex : LineIndex;
        const int count = IsNt6 ? DeviceCount : LineCount;
        bool notFound = false;
        if (level > kSilenceLevel) {
            if (index < count) {
                ShowMessage("LineFound");
                LineTestRunning = 0;
            } else {
                notFound = true;
            }
        } else if (index < count - 1) {
            DrawAudioBoxRow(index, SocketUp);
            ++index;
            PostLineTestNext();
        } else {
            notFound = true;
        }
        if (notFound) {
            ShowMessage("LineNotFound");
            if (IsNt6) LineIndex = DeviceIndex = 0;
            else LineIndex = -1;
            // Recording selects no device: the graph must hold the chosen one.
            if (IsNt6 && SUCCEEDED(CaptureGraphObject.SelectDevice(DeviceIndex, &DeviceList, &LineList)))
                LineCount = LineList.Count();
            ShowAudioBoxButtons(AudioBoxOpen);
            LineTestRunning = 0;
        }
        DeleteFileA(TestFileName);
        TestFileName[0] = '\0';
    }
    if (AudioBoxOpen) InvalidateRect(&kBoxRect, FALSE);
}

void CVelorinDlg::EndLineTest() {
    LineTestNextPending = 0;
    if (!LineTestBusy()) return;
    // A walk stopped between two devices: the next one is not in the graph
    // yet, and recording selects no device.
    if (LineTestRunning && TestLine < 0 && IsNt6 &&
        SUCCEEDED(CaptureGraphObject.SelectDevice(DeviceIndex, &DeviceList, &LineList)))
        LineCount = LineList.Count();
    if (TestLine >= 0) {
        StopRecordTimer();
        StopCapture();
        sndPlaySoundA(nullptr, 0);
        RestoreLineVolume();
        if (TestFileName[0]) DeleteFileA(TestFileName);
        TestFileName[0] = '\0';
    }
    TestLine = -1;
    LineTestRunning = 0;
    if (AudioBoxOpen) InvalidateRect(&kBoxRect, FALSE);
}

void CVelorinDlg::DeleteLeftTestFile() {
    if (!LeftTestFile[0]) return;
    // The file may still be playing back.
    sndPlaySoundA(nullptr, 0);
    DeleteFileA(LeftTestFile);
    LeftTestFile[0] = '\0';
}

// ---- recording volume of the tested line -----------------------------------

bool CVelorinDlg::SetLineVolume(DWORD value) {
    HMIXER mixer = nullptr;
    if (DeviceIndex < 0 ||
        mixerOpen(&mixer, static_cast<UINT>(DeviceIndex), 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR)
        return false;
    MixerCloser closer{mixer};
    HMIXEROBJ object = reinterpret_cast<HMIXEROBJ>(mixer);
    MIXERCAPSA caps{};
    if (mixerGetDevCapsA(reinterpret_cast<UINT_PTR>(mixer), &caps, sizeof caps) != MMSYSERR_NOERROR)
        return false;
    MIXERLINEA destination{};
    bool found = false;
    for (DWORD d = 0; d < caps.cDestinations && !found; ++d) {
        destination = MIXERLINEA{};
        destination.cbStruct = sizeof destination;
        destination.dwDestination = d;
        found = mixerGetLineInfoA(object, &destination,
                                  MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_DESTINATION) == MMSYSERR_NOERROR &&
                destination.dwComponentType == MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
    }
    // A mixer without a recording destination has no line volume to set.
    if (!found) return true;
    const char* name = GetMixerLineName(LineIndex);
    for (DWORD s = 0; s < destination.cConnections; ++s) {
        MIXERLINEA source{};
        source.cbStruct = sizeof source;
        source.dwDestination = destination.dwDestination;
        source.dwSource = s;
        if (mixerGetLineInfoA(object, &source, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_SOURCE) !=
                MMSYSERR_NOERROR ||
            strcmp(source.szName, name) != 0)
            continue;
        if (source.cControls == 0) return true;
        std::vector<MIXERCONTROLA> controls(source.cControls);
        MIXERLINECONTROLSA list{};
        list.cbStruct = sizeof list;
        list.dwLineID = source.dwLineID;
        list.cControls = source.cControls;
        list.cbmxctrl = sizeof(MIXERCONTROLA);
        list.pamxctrl = controls.data();
        if (mixerGetLineControlsA(object, &list, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ALL) !=
            MMSYSERR_NOERROR)
            return false;
        for (const MIXERCONTROLA& control : controls) {
            if (control.dwControlType != MIXERCONTROL_CONTROLTYPE_VOLUME) continue;
            MIXERCONTROLDETAILS_UNSIGNED detail{};
            MIXERCONTROLDETAILS details{};
            details.cbStruct = sizeof details;
            details.dwControlID = control.dwControlID;
            details.cChannels = 1;
            details.cbDetails = sizeof detail;
            details.paDetails = &detail;
            if (mixerGetControlDetailsA(object, &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) !=
                MMSYSERR_NOERROR)
                return false;
            if (!LineVolumeSaved) {
                LineVolumeBefore = detail.dwValue;
                LineVolumeSaved = 1;
            }
            detail.dwValue = value;
            if (mixerSetControlDetails(object, &details, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) !=
                MMSYSERR_NOERROR)
                return false;
        }
        return true;
    }
    return true;
}

void CVelorinDlg::RestoreLineVolume() {
    if (LineVolumeSaved != 1) return;
    LineVolumeSaved = 2;  // the value put back is not the one to keep
    SetLineVolume(LineVolumeBefore);
    LineVolumeSaved = 0;
}

// ---- manual test -------------------------------------------------------

bool CVelorinDlg::TestAudioLines(CPoint point) {
    if (!AudioBoxOpen) return false;
    const int row = AudioBoxRowAt(point.x, point.y, AudioBoxRowCount());
    if (row < 0) return false;
    const int current = SelectedAudioBoxRow();
    if (LineTestBusy() || row == current) return true;
    DrawAudioBoxRow(current, SocketUp);
    DrawAudioBoxRow(row, SocketDown);
    const bool capturing = IsRecording || SignalModeOn || ScheduleModeOn;
    const bool busy = TransportBusy();
    if (IsNt6) {
        DeviceIndex = row;
        if (capturing)
            CaptureGraphObject.OpenDevice(row, &DeviceList, &LineList, RecordFormat.channels,
                                          RecordFormat.bits, RecordFormat.rate);
        else if (SUCCEEDED(CaptureGraphObject.SelectDevice(row, &DeviceList, &LineList)))
            LineCount = LineList.Count();
    } else {
        LineIndex = row;
    }
    DeleteLeftTestFile();
    char file[MAX_PATH];
    TestFilePath(row, file);
    if (!busy) ShowLineTestMessage("RecordingTest", row + 1);
    EnableInputPin(LineIndex);
    DWORD volume = 0;
    const bool haveVolume = GetMasterVolume(&volume) != 0;
    if (haveVolume) SetMasterVolume(0);
    if (!busy) PlayLineTestSound(row, file, 0, DeviceIndex);
    if (haveVolume) SetMasterVolume(volume);
    if (!IsNt6) InvalidateRect(&kMarkerColumn, FALSE);
    PlaceLineSliders();
    InvalidateRect(&kLevelSliderArea, FALSE);
    InvalidateRect(&kBalanceSliderArea, FALSE);
    return true;
}
