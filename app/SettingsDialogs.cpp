// The main window's start-up question, about box and the settings dialogs
// of the noise gate and filters, the output file and the track splitter:
// each runs modally on this window's stack and is read back through the
// registry afterwards, whichever way it closed.
#include "app/VelorinDlg.h"

#include "dialogs/AboutDlg.h"
#include "dialogs/NoiseGatingDlg.h"
#include "dialogs/OutputDlg.h"
#include "dialogs/StartupDlg.h"
#include "dialogs/TrackSplitterDlg.h"
#include "engine/EngineState.h"
#include "framework/SafeString.h"

namespace {

// The version the start-up dialog and the about box show, "RL 5.2".
constexpr char kVersionName[] = "RL 5";
constexpr char kBuildNumber[] = "2";

template <size_t N>
void FormatVersionText(char (&text)[N]) {
    static_assert(N >= 32, "the version text needs room");
    SafeFormat(text, "%s.%s", kVersionName, kBuildNumber);
}

}  // namespace

void CVelorinDlg::OnShowStartup() {
    if (IsNt6) {
        RunLineTest = 0;
    } else {
        CDLGStartup startup(this);
        FormatVersionText(startup.VersionText);
        startup.DoModal();
        if (startup.Result == 0) {
            // Leaving before anything was chosen: the next start asks again,
            // and what the command line asked for is not started.
            PendingStartupPresses = false;
            OnBtnClose();
            return;
        }
        RunLineTest = startup.Result == 1 ? 1 : 0;
    }
    DetectAudioLines();
    if (PendingStartupPresses) {
        PendingStartupPresses = false;
        ApplyCommandLineStarts();
    }
}

void CVelorinDlg::OnMenuAbout() {
    CDlgAbout about(this);
    FormatVersionText(about.VersionText);
    about.DoModal();
}

void CVelorinDlg::OnBtnNoiseGatingSettings() {
    CNoiseGatingDlg dialog(this);
    dialog.DoModal();
    LoadNoiseGateSettings();
}

void CVelorinDlg::RunOutputDialog() {
    COutputDlg dialog(this);
    dialog.DoModal();
}

void CVelorinDlg::OnBtnTrackSplitterSettings() {
    CTrackSplitterDlg dialog(this);
    dialog.DoModal();
    // The exit writes these three back from the members: they must follow
    // the dialog, or the exit would undo it.
    LoadSignalSettings();
    ThresholdSlider.SetPos(SignalThreshold);
    RecordingOptions.SignalLevelIndex = SignalThreshold;
    if (SignalModeOn) RepaintRect(ThresholdSlider.Track());
}
