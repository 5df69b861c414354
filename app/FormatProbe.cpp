// Which PCM formats the wave-in service takes: a quick query whenever the
// audio-line box opens (kept as the registry value "Ability"), and, when a
// recording cannot start in its format, a report of the formats the first
// device really opens now, shown to the user.
#include "app/VelorinDlg.h"

#include <shellapi.h>

#include <cstdio>

#include "app/LineTestRules.h"
#include <cstring>
#include "ui/SettingsStore.h"

namespace {

// The last combination (48000 Hz stereo 16-bit) is left out of the stored
// text, which readers expect 35 characters long.
constexpr int kProbedFormats = 35;

void OpenWithShell(HWND owner, const char* path) {
    ShellExecuteA(owner, "open", path, nullptr, nullptr, SW_SHOWNORMAL);
}

CVelorinDlg::ReportOpener g_reportOpener = OpenWithShell;  // UI thread only

}  // namespace

void CVelorinDlg::SetReportOpener(ReportOpener opener) { g_reportOpener = opener; }

void CVelorinDlg::ProbeCapability() {
    memset(CapabilityText, 0, sizeof CapabilityText);
    for (int i = 0; i < kProbedFormats; ++i) {
        WAVEFORMATEX format = ProbeFormat(i);
        const MMRESULT r = waveInOpen(nullptr, WAVE_MAPPER, &format, 0, 0, WAVE_FORMAT_QUERY);
        CapabilityText[i] = r == MMSYSERR_NOERROR ? '1' : '0';
    }
    SettingsStore store;
    store.WriteString("Ability", CapabilityText);
}

void CVelorinDlg::WriteCapabilityReport() {
    char path[MAX_PATH];
    WritablePlaceFor("C:\\", "VelorinAbility.txt", path, sizeof path);
    FILE* report = fopen(path, "w");
    if (report) {
        fputs("The resource for the format you are using\nis occupied by the media you are playing\n\n",
              report);
        fputs("For this Media you are playing,\nyou can only use one of the following formats to "
              "record:\n\n",
              report);
    }
    int opened = 0;
    for (int i = 0; i < kProbeFormats; ++i) {
        WAVEFORMATEX format = ProbeFormat(i);
        HWAVEIN device = nullptr;
        if (waveInOpen(&device, 0, &format, reinterpret_cast<DWORD_PTR>(m_hWnd), 0,
                       CALLBACK_WINDOW) != MMSYSERR_NOERROR)
            continue;
        waveInClose(device);
        ++opened;
        char line[64];
        CapabilityReportLine(format, line, sizeof line);
        if (report) fputs(line, report);
    }
    if (report) {
        if (opened == 0) {
            fputs("For this Media you are playing,\nThere are no available resources for "
                  "recording\n\n",
                  report);
            fputs("You can try to play other media to record\n", report);
            fputs("Or,You can try to press record button before play other media players\n", report);
        }
        fclose(report);
    }
    if (g_reportOpener) g_reportOpener(m_hWnd, path);
}
