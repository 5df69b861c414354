#include "brindle_run.h"

#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "bench.h"
#include "recorded_device.h"

namespace brindlerun {

namespace {

const char kSettingsKey[] = "Software\\Velorin\\Parameters";
constexpr WORD kStopCommand = 1004;
constexpr WORD kExitCommand = 1014;

void StoreDword(HKEY key, const char* name, DWORD value) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof value);
}

// Wine hands neither the Windows process id nor the Windows environment on
// to the host process, but the host process's command line is the Windows
// one. So the program is the brindle.exe of this bench's prefix whose
// command line names this run's own file.
std::string FindHostPid(const std::string& file) {
    const std::string cmd =
        "for p in $(pgrep -x brindle.exe); do "
        "tr '\\0' ' ' </proc/$p/cmdline 2>/dev/null | grep -qiF -- " + bench::ShellQuote(file) +
        " && tr '\\0' '\\n' </proc/$p/environ 2>/dev/null | grep -qxF " +
        bench::ShellQuote("WINEPREFIX=" + bench::Env("WINEPREFIX")) +
        " && echo $p; done; true";
    std::string out;
    bench::Host(cmd, &out);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    // Exactly one match, digits only.
    return !out.empty() && out.find_first_not_of("0123456789") == std::string::npos
               ? out
               : std::string();
}

ULONGLONG FileBytes(const std::string& file) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / f.QuadPart;
}

bool PrepareSettings() {
    const std::string lame = bench::WinPath(bench::Env("BENCH_BUILD_DIR") + "/lame");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Velorin");
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    StoreDword(key, "Device", static_cast<DWORD>(bench::RecordedDevice()));
    StoreDword(key, "Alert", 0);
    RegSetValueExA(key, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(lame.c_str()),
                   static_cast<DWORD>(lame.size()));
    RegCloseKey(key);
    return true;
}

long TicksPerSecond() {
    std::string out;
    bench::Host("getconf CLK_TCK", &out);
    long t = atol(out.c_str());
    return t > 0 ? t : 100;
}

Run::~Run() {
    if (pi_.hProcess) {
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 1);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
}

bool Run::Start(const std::string& args, const std::string& file) {
    const std::string exe = bench::WinPath(bench::Env("BENCH_BUILD_DIR") + "/app/brindle.exe");
    DeleteFileA(file.c_str());
    std::string line = "\"" + exe + "\" " + args + " -filename " + file;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_)) {
        pi_ = PROCESS_INFORMATION{};
        return false;
    }
    const double deadline = Now() + 90;  // an emulator under load starts slowly
    // The window may stay hidden (/hide): any dialog of the process will do.
    while (!window_ && Now() < deadline) {
        window_ = bench::FindDialog(pi_.dwProcessId, nullptr, false);
        Sleep(5);
    }
    // The file is made at the start, but the sound reaches it only once the
    // capture delivers (a second and more later under an emulator): the
    // recording is timed from the file's first growth.
    while (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES && Now() < deadline) Sleep(2);
    if (!window_ || GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    const ULONGLONG made = FileBytes(file);
    const double soundDeadline = Now() + 30;
    while (FileBytes(file) <= made && Now() < soundDeadline) Sleep(2);
    began_ = Now();
    if (FileBytes(file) <= made) return false;
    hostPid_ = FindHostPid(file);
    return true;
}

double Run::CpuSeconds() const {
    if (hostPid_.empty()) return -1;
    std::string out;
    if (bench::Host("awk -v t=$(getconf CLK_TCK) '{printf \"%.2f\", ($14+$15)/t}' /proc/" +
                        hostPid_ + "/stat",
                    &out) != 0 ||
        out.empty())
        return -1;
    return atof(out.c_str());
}

std::vector<HostThread> Run::Threads() const {
    std::vector<HostThread> threads;
    if (hostPid_.empty()) return threads;
    // A thread's name may hold blanks, and it sits in stat between
    // parentheses: the times are counted from the last ") ".
    const std::string cmd =
        "cd /proc/" + hostPid_ + "/task 2>/dev/null || exit 0; for t in *; do "
        "s=$(cat $t/stat 2>/dev/null) || continue; s=${s##*\") \"}; set -- $s; "
        "echo \"$t $((${12}+${13})) $(cat $t/comm 2>/dev/null)\"; done";
    std::string out;
    bench::Host(cmd, &out);
    std::istringstream in(out);
    std::string row;
    while (std::getline(in, row)) {
        std::istringstream fields(row);
        HostThread t;
        if (!(fields >> t.tid >> t.ticks)) continue;
        std::getline(fields >> std::ws, t.comm);
        while (!t.comm.empty() && (t.comm.back() == '\r' || t.comm.back() == ' ')) t.comm.pop_back();
        threads.push_back(t);
    }
    return threads;
}

void Run::StopRecording() {
    if (window_) PostMessageA(window_, WM_COMMAND, kStopCommand, 0);
}

DWORD Run::Close() {
    if (!pi_.hProcess) return 1;
    // The stop returns once the file is finished; then close the program.
    Sleep(1500);
    if (window_) PostMessageA(window_, WM_COMMAND, kExitCommand, 0);
    WaitForSingleObject(pi_.hProcess, 30000);
    DWORD code = 0;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

}  // namespace brindlerun
