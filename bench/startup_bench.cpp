// Warm start of brindle.exe on the bench: from CreateProcess until the main
// window is shown and painted, then closed through its close command.
// Run by hand on the bench (after one start has warmed Wine up):
//   startup_bench.exe [path\to\brindle.exe] [runs]
// The target is under a second per start.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench.h"

namespace {

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / f.QuadPart;
}

// Seconds until the window is visible and has answered a message (its
// first paint is done by then), or -1.
double OneStart(const std::string& exe, double* closeSeconds) {
    std::string line = "\"" + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    double t0 = Now();
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    HWND found = nullptr;
    while (!found && Now() - t0 < 20) {
        found = bench::FindDialog(pi.dwProcessId, nullptr);
        if (!found) Sleep(2);
    }
    double shown = -1;
    if (found) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(found, WM_NULL, 0, 0, SMTO_BLOCK, 10000, &answer);
        shown = Now() - t0;
        double c0 = Now();
        PostMessageA(found, WM_COMMAND, 1014, 0);
        WaitForSingleObject(pi.hProcess, 20000);
        *closeSeconds = Now() - c0;
    }
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return shown;
}

}  // namespace

int main(int argc, char** argv) {
    std::string exe = argc > 1 ? argv[1] : "brindle.exe";
    int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 10;
    double close = 0;
    OneStart(exe, &close);  // warms Wine and the file cache up
    std::vector<double> starts, closes;
    for (int i = 0; i < runs; ++i) {
        double c = 0;
        double t = OneStart(exe, &c);
        if (t < 0) {
            std::printf("run %d: the window did not appear\n", i + 1);
            return 1;
        }
        starts.push_back(t);
        closes.push_back(c);
    }
    std::sort(starts.begin(), starts.end());
    std::sort(closes.begin(), closes.end());
    double median = starts[starts.size() / 2];
    std::printf("warm start to shown window: median %.0f ms, best %.0f ms, worst %.0f ms (%d runs)\n",
                median * 1000, starts.front() * 1000, starts.back() * 1000, runs);
    std::printf("close command to process end: median %.0f ms\n", closes[closes.size() / 2] * 1000);
    std::printf("target under 1000 ms: %s\n", median < 1.0 ? "met" : "NOT met");
    return median < 1.0 ? 0 : 2;
}
