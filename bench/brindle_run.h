// brindle.exe as the recording benches run it: settings that record the
// bench's sink, the program started on a command line, its host process
// found on the machine, its CPU times read from the host's /proc, and the
// program stopped and closed with its own commands.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace brindlerun {

// Fresh settings: record the bench's sink, no alerts, the build's encoder.
bool PrepareSettings();

double Now();

// One thread of the host process and its CPU ticks (user + system).
struct HostThread {
    std::string tid;
    std::string comm;  // the thread's name as the host shows it (15 characters)
    long ticks = 0;
};

class Run {
public:
    ~Run();
    // Starts brindle.exe with `args` recording to `file` (which must be
    // unique to this run: the host process is found by it) and waits until
    // its window exists and the file holds sound. False if either never came.
    bool Start(const std::string& args, const std::string& file);
    // The host process of the started program: the brindle.exe of this
    // bench's prefix whose command line names this run's file. Empty if
    // it was not found.
    const std::string& HostPid() const { return hostPid_; }
    // When the recording began: its file first grew.
    double Began() const { return began_; }
    // CPU seconds of the whole host process; negative once it is gone.
    double CpuSeconds() const;
    // Every thread of the host process with its ticks so far.
    std::vector<HostThread> Threads() const;
    // Stop the recording, then close the program; its exit code.
    void StopRecording();
    DWORD Close();

private:
    PROCESS_INFORMATION pi_{};
    HWND window_ = nullptr;
    std::string hostPid_;
    double began_ = 0;
};

// The host's clock ticks per second (for HostThread::ticks).
long TicksPerSecond();

}  // namespace brindlerun
