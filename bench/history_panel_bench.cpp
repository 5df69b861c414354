// The history panel of brindle.exe on a long history: opening the panel
// over five years of day files (one a day, about 1,800), and listing a day
// of 10,000 recordings, each the median of several runs. Run by hand on
// the bench (after one start has warmed Wine up):
//   history_panel_bench.exe [path\to\brindle.exe] [runs]
// It writes its history under %TEMP% and points the program's InstallPath
// there for the run (the old value is put back). The target is under a
// second for each.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/TrackList.h"

namespace {

const char kSettingsKey[] = "Software\\Velorin\\Parameters";
constexpr int kFirstYear = 2021, kYears = 5, kBusyDayLines = 10000;
constexpr int kTreeId = 1187;

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / f.QuadPart;
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// One line a day for five years; the last day holds 10,000 lines.
bool WriteHistory(const std::string& root) {
    const int monthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    CreateDirectoryA(root.c_str(), nullptr);
    for (int y = kFirstYear; y < kFirstYear + kYears; ++y) {
        const std::string yearDir = root + "\\" + std::to_string(y);
        CreateDirectoryA(yearDir.c_str(), nullptr);
        for (int m = 1; m <= 12; ++m) {
            const int days = monthDays[m - 1] + (m == 2 && IsLeap(y) ? 1 : 0);
            for (int d = 1; d <= days; ++d) {
                char name[32];
                snprintf(name, sizeof name, "\\%04d%02d%02d.txt", y, m, d);
                FILE* f = fopen((yearDir + name).c_str(), "wb");
                if (!f) return false;
                const bool busy = y == kFirstYear + kYears - 1 && m == 12 && d == 31;
                for (int i = 0; i < (busy ? kBusyDayLines : 1); ++i)
                    fprintf(f, "take_%05d.wav,C:\\Rec\\,%02d:%02d:%02d,0:05,1 - Line In,,\r\n", i, i / 3600 % 24,
                            i / 60 % 60, i % 60);
                fclose(f);
            }
        }
    }
    return true;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

HTREEITEM Next(HWND tree, UINT how, HTREEITEM item) {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

}  // namespace

int main(int argc, char** argv) {
    std::string exe = argc > 1 ? argv[1] : "brindle.exe";
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 10;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string install = std::string(temp) + "brindle-history-bench";
    CreateDirectoryA(install.c_str(), nullptr);
    printf("writing %d years of day files under %s\\Log ...\n", kYears, install.c_str());
    if (!WriteHistory(install + "\\Log")) {
        printf("could not write the history\n");
        return 1;
    }

    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return 1;
    char old[400] = "";
    DWORD oldSize = sizeof old - 1, oldType = 0;
    const bool hadOld = RegQueryValueExA(key, "InstallPath", nullptr, &oldType, reinterpret_cast<BYTE*>(old),
                                         &oldSize) == ERROR_SUCCESS;
    RegSetValueExA(key, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(install.c_str()),
                   static_cast<DWORD>(install.size()));

    std::string line = "\"" + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    int status = 1;
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        // The main window has the program's title once its start-up is done.
        HWND window = nullptr;
        const double t0 = Now();
        while (!window && Now() - t0 < 30) {
            window = FindWindowA("#32770", "Brindle");
            if (!window || !IsWindowVisible(window)) {
                window = nullptr;
                Sleep(20);
            }
        }
        if (window) {
            Sleep(1000);  // the start-up's own messages
            HWND tree = GetDlgItem(window, kTreeId), list = GetDlgItem(window, kTrackListId);
            std::vector<double> opening, listing;
            LRESULT listed = 0;
            for (int run = 0; run < runs; ++run) {
                double t = Now();
                SendMessageA(window, WM_COMMAND, 1137, 0);  // open the panel
                opening.push_back(Now() - t);
                // Record History > the newest year > its newest month > its newest day.
                HTREEITEM item = Next(tree, TVGN_NEXT, Next(tree, TVGN_ROOT, nullptr));
                for (int level = 0; level < 3 && item; ++level) item = Next(tree, TVGN_CHILD, item);
                t = Now();
                SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
                listing.push_back(Now() - t);
                listed = SendMessageA(list, TLM_GETCOUNT, 0, 0);
                SendMessageA(window, WM_COMMAND, 1138, 0);  // close it
            }
            printf("opening the panel on %d years of day files: median %.3f s (%d runs)\n", kYears,
                   Median(opening), runs);
            printf("listing a day of %d recordings (%ld rows shown): median %.3f s\n", kBusyDayLines,
                   static_cast<long>(listed), Median(listing));
            status = listed > 0 ? 0 : 1;
            PostMessageA(window, WM_COMMAND, 1014, 0);
        } else {
            printf("no window\n");
        }
        if (WaitForSingleObject(pi.hProcess, 20000) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    if (hadOld)
        RegSetValueExA(key, "InstallPath", 0, oldType, reinterpret_cast<const BYTE*>(old), oldSize);
    else
        RegDeleteValueA(key, "InstallPath");
    RegCloseKey(key);
    return status;
}
