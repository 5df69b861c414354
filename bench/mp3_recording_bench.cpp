// A long MP3 recording by brindle.exe, as a user would leave it running:
// started from its command line while a tone plays into the recorded sink,
// stopped with its Stop command after the given time. Reports how far the
// file's length is from the time it recorded (target: within 0.5 s) and
// the CPU load of the brindle.exe it started while it recorded.
// Run on the bench with private sinks, e.g. for ten minutes:
//   BENCH=timeout:900,sound cmake/wine-run <build>/bench/mp3_recording_bench.exe 600
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench.h"
#include "brindle_run.h"

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? atof(argv[1]) : 600;
    if (!bench::HaveSound()) {
        fprintf(stderr, "needs the bench's private sinks (BENCH=...,sound)\n");
        return 2;
    }
    // The command line ends a file name at its first '-'; the name is unique
    // to this run, which is how the program's host process is found.
    CreateDirectoryA("z:\\tmp\\brindlebench", nullptr);
    char file[MAX_PATH];
    snprintf(file, sizeof file, "z:\\tmp\\brindlebench\\long%lu.mp3",
             static_cast<unsigned long>(GetCurrentProcessId()));
    if (!brindlerun::PrepareSettings()) return 2;

    auto tone = bench::PlayTone(1000, seconds + 60, 0.5);
    Sleep(2500);

    brindlerun::Run run;
    if (!run.Start("/r /hide -frequency 44 -bit 16 -channels 2 -mp3bitrate 128", file)) {
        fprintf(stderr, "no recording started\n");
        return 1;
    }
    const std::string hostPid = run.HostPid();
    if (hostPid.empty()) fprintf(stderr, "the started brindle.exe was not found on the host\n");
    // The CPU is read over its own span (finding the host process takes a
    // moment); the recording is timed from its file's birth to the stop.
    const double c0 = brindlerun::Now(), cpu0 = run.CpuSeconds();
    while (brindlerun::Now() - run.Began() < seconds) Sleep(50);
    const double cpu1 = run.CpuSeconds(), c1 = brindlerun::Now();
    run.StopRecording();
    const double recorded = brindlerun::Now() - run.Began();
    const DWORD code = run.Close();

    const double length = atof(bench::Ffprobe(file, "format=duration").c_str());
    const bool measured = cpu0 >= 0 && cpu1 >= 0;
    const double cpu = cpu1 - cpu0;
    printf("MP3 128 kbit/s 44100 Hz stereo: recorded %.2f s, file %.2f s (difference %+.2f s, "
           "target within 0.5 s: %s)\n",
           recorded, length, length - recorded, std::fabs(length - recorded) <= 0.5 ? "met" : "MISSED");
    if (measured)
        printf("brindle.exe (host process %s) CPU while recording: %.2f s in %.1f s = %.1f %% of "
               "one core; exit code %lu\n",
               hostPid.c_str(), cpu, c1 - c0, 100 * cpu / (c1 - c0), static_cast<unsigned long>(code));
    else
        printf("brindle.exe CPU while recording: not measured (its host process was not found); "
               "exit code %lu\n", static_cast<unsigned long>(code));
    DeleteFileA(file);
    return std::fabs(length - recorded) <= 0.5 ? 0 : 1;
}
