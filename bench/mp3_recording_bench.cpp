// A long MP3 recording by brindle.exe, as a user would leave it running:
// started from its command line while a tone plays into the recorded sink,
// stopped with its Stop command after the given time. Reports how far the
// file's length is from the time it recorded (target: within 0.5 s) and
// the CPU load of the brindle.exe it started while it recorded.
// Run on the bench with private sinks, e.g. for ten minutes:
//   BENCH=timeout:900,sound cmake/wine-run <build>/bench/mp3_recording_bench.exe 600
#include <windows.h>
#include <objbase.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench.h"
#include "engine/CaptureGraph.h"

namespace {

const char kSettingsKey[] = "Software\\Velorin\\Parameters";

void StoreDword(HKEY key, const char* name, DWORD value) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof value);
}

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / f.QuadPart;
}

// Wine does not report another process's times through GetProcessTimes, so
// the CPU load is read from the host's /proc. The host process must be the
// one this bench started, not whichever brindle.exe the machine runs: the
// bench puts a mark of its own in the environment the program inherits
// (Wine hands a process's environment on to its host process) and looks
// for it. Where no process carries the mark, the one brindle.exe of the
// bench's own prefix is taken, and none when the prefix has more than one.
std::string HostPidOf(const std::string& mark) {
    const std::string prefix = bench::Env("WINEPREFIX");
    std::string cmd =
        "for p in $(pgrep -x brindle.exe); do "
        "tr '\\0' '\\n' </proc/$p/environ 2>/dev/null | grep -qxF " + bench::ShellQuote(mark) +
        " && { echo $p; exit 0; }; done; ";
    if (!prefix.empty())
        cmd += "m=''; n=0; for p in $(pgrep -x brindle.exe); do "
               "tr '\\0' '\\n' </proc/$p/environ 2>/dev/null | grep -qxF " +
               bench::ShellQuote("WINEPREFIX=" + prefix) +
               " && { m=$p; n=$((n+1)); }; done; [ $n -eq 1 ] && echo $m; ";
    cmd += "true";
    std::string out;
    bench::Host(cmd, &out);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out.find_first_not_of("0123456789") == std::string::npos ? out : std::string();
}

// CPU seconds (user + system) of one host process; negative once it is gone.
double CpuSeconds(const std::string& hostPid) {
    std::string out;
    if (bench::Host("awk -v t=$(getconf CLK_TCK) '{printf \"%.2f\", ($14+$15)/t}' /proc/" +
                        hostPid + "/stat",
                    &out) != 0 ||
        out.empty())
        return -1;
    return atof(out.c_str());
}

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK Visit(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[32] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (pid == s->pid && strcmp(cls, "#32770") == 0) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

// The capture device that records the bench's sink.
int RecordedDevice() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int index = 0;
    {
        CaptureDeviceList devices;
        FillCaptureDeviceList(&devices);
        std::string want = bench::Env("BENCH_REC_DEVICE");
        for (int i = 0; i < devices.Count(); ++i)
            if (!want.empty() && strstr(devices.Name(i), want.c_str())) index = i;
    }
    CoUninitialize();
    return index;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? atof(argv[1]) : 600;
    if (!bench::HaveSound()) {
        fprintf(stderr, "needs the bench's private sinks (BENCH=...,sound)\n");
        return 2;
    }
    const std::string exe = bench::WinPath(bench::Env("BENCH_BUILD_DIR") + "/app/brindle.exe");
    const std::string lame = bench::WinPath(bench::Env("BENCH_BUILD_DIR") + "/lame");
    // The command line ends a file name at its first '-'.
    CreateDirectoryA("z:\\tmp\\brindlebench", nullptr);
    const std::string file = "z:\\tmp\\brindlebench\\long.mp3";
    DeleteFileA(file.c_str());

    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Velorin");
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return 2;
    StoreDword(key, "Device", static_cast<DWORD>(RecordedDevice()));
    StoreDword(key, "Alert", 0);
    RegSetValueExA(key, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(lame.c_str()),
                   static_cast<DWORD>(lame.size()));
    RegCloseKey(key);

    auto tone = bench::PlayTone(1000, seconds + 60, 0.5);
    Sleep(2500);

    std::string line = "\"" + exe + "\" /r /hide -frequency 44 -bit 16 -channels 2 "
                       "-mp3bitrate 128 -filename " + file;
    // The mark the started program inherits, unique to this run.
    char mark[64];
    snprintf(mark, sizeof mark, "%lu-%lu", static_cast<unsigned long>(GetCurrentProcessId()),
             static_cast<unsigned long>(GetTickCount()));
    SetEnvironmentVariableA("BRINDLE_BENCH_RUN", mark);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        fprintf(stderr, "brindle.exe did not start\n");
        return 1;
    }
    Search s{pi.dwProcessId, nullptr};
    double deadline = Now() + 30;
    while (!s.found && Now() < deadline) {
        EnumWindows(&Visit, reinterpret_cast<LPARAM>(&s));
        Sleep(5);
    }
    // The recording starts when its file is made.
    while (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES && Now() < deadline) Sleep(2);
    if (!s.found || GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
        fprintf(stderr, "no recording started\n");
        TerminateProcess(pi.hProcess, 1);
        return 1;
    }
    const std::string hostPid = HostPidOf(std::string("BRINDLE_BENCH_RUN=") + mark);
    if (hostPid.empty()) fprintf(stderr, "the started brindle.exe was not found on the host\n");
    const double t0 = Now(), cpu0 = hostPid.empty() ? -1 : CpuSeconds(hostPid);
    while (Now() - t0 < seconds) Sleep(200);
    const double cpu1 = hostPid.empty() ? -1 : CpuSeconds(hostPid);
    PostMessageA(s.found, WM_COMMAND, 1004, 0);  // Stop
    const double t1 = Now();
    // The stop returns once the file is finished; then close the program.
    Sleep(1500);
    PostMessageA(s.found, WM_COMMAND, 1014, 0);
    WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);

    const double recorded = t1 - t0;
    const double length = atof(bench::Ffprobe(file, "format=duration").c_str());
    const bool measured = cpu0 >= 0 && cpu1 >= 0;
    const double cpu = cpu1 - cpu0;
    printf("MP3 128 kbit/s 44100 Hz stereo: recorded %.2f s, file %.2f s (difference %+.2f s, "
           "target within 0.5 s: %s)\n",
           recorded, length, length - recorded, std::fabs(length - recorded) <= 0.5 ? "met" : "MISSED");
    if (measured)
        printf("brindle.exe (host process %s) CPU while recording: %.2f s in %.1f s = %.1f %% of "
               "one core; exit code %lu\n",
               hostPid.c_str(), cpu, seconds, 100 * cpu / seconds, static_cast<unsigned long>(code));
    else
        printf("brindle.exe CPU while recording: not measured (its host process was not found); "
               "exit code %lu\n", static_cast<unsigned long>(code));
    return std::fabs(length - recorded) <= 0.5 ? 0 : 1;
}
