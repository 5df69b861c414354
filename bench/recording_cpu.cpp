// Where a recording's CPU time goes. Starts brindle.exe (its window shown,
// as a user runs it) recording WAV, then MP3, for the given seconds each
// while a tone plays into the recorded sink, and prints the process's CPU
// load and each thread's share of it, labelled by the thread's name: ours
// carry names, Wine names most of its own, the window's thread is the one
// the process started with. Wine's threads stay in the table: the sound
// they render and capture is part of what the recording costs.
// Run on the bench with private sinks:
//   BENCH=timeout:900,sound cmake/wine-run <build>/bench/recording_cpu.exe [seconds] [wav|mp3]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench.h"
#include "brindle_run.h"

namespace {

struct Role {
    const char* comm;  // as the host shows it: 15 characters at most
    const char* role;
};

const Role kRoles[] = {
    {"capture queue", "ours: capture grabber's output queue"},
    {"recording write", "ours: recording writer (WAV/MP3 output)"},
    {"recording finis", "ours: recording finisher"},
    {"background play", "ours: background player"},
    {"capture source", "bench stand-in: capture source (wave-in)"},
    {"winepulse_mainl", "Wine: PulseAudio main loop"},
    {"winepulse_timer", "Wine: PulseAudio stream timer"},
    {"wine_dsound_mix", "Wine: DirectSound mixer"},
    {"wine_mmdevapi_n", "Wine: audio device notifications"},
};

std::string RoleOf(const brindlerun::HostThread& t, const std::string& pid) {
    if (t.tid == pid) return "ours: window thread (timers, meters, face)";
    for (const Role& r : kRoles)
        if (t.comm == r.comm) return r.role;
    return "unnamed (Wine or the system)";
}

struct Share {
    std::string tid, comm, role;
    long ticks = 0;
};

// One recording of `seconds`; prints its table. False if it did not run.
bool Measure(const char* label, const std::string& args, const std::string& file, double seconds,
             long tickRate) {
    brindlerun::Run run;
    if (!run.Start(args, file)) {
        fprintf(stderr, "%s: no recording started\n", label);
        return false;
    }
    if (run.HostPid().empty()) {
        fprintf(stderr, "%s: the started brindle.exe was not found on the host\n", label);
        return false;
    }
    // The start-up's own work (graph building, first paint) is left out.
    Sleep(3000);
    const std::vector<brindlerun::HostThread> before = run.Threads();
    const double t0 = brindlerun::Now();
    while (brindlerun::Now() - t0 < seconds) Sleep(100);
    const std::vector<brindlerun::HostThread> after = run.Threads();
    const double span = brindlerun::Now() - t0;
    run.StopRecording();
    const DWORD code = run.Close();

    std::map<std::string, long> start;
    for (const auto& t : before) start[t.tid] = t.ticks;
    std::vector<Share> shares;
    long total = 0;
    for (const auto& t : after) {
        Share s{t.tid, t.comm, RoleOf(t, run.HostPid()), t.ticks - start[t.tid]};
        total += s.ticks;
        shares.push_back(s);
    }
    std::stable_sort(shares.begin(), shares.end(),
                     [](const Share& a, const Share& b) { return a.ticks > b.ticks; });
    const double length = atof(bench::Ffprobe(file, "format=duration").c_str());
    const double core = 100.0 / (tickRate * span);
    printf("\n%s: host process %s, %.1f s measured, file %.1f s long, exit code %lu\n", label,
           run.HostPid().c_str(), span, length, static_cast<unsigned long>(code));
    printf("  %-8s %-16s %-44s %8s %8s\n", "thread", "host name", "role", "% core", "% total");
    for (const Share& s : shares)
        printf("  %-8s %-16s %-44s %8.2f %8.1f\n", s.tid.c_str(), s.comm.c_str(), s.role.c_str(),
               s.ticks * core, total ? 100.0 * s.ticks / total : 0.0);
    printf("  %-8s %-16s %-44s %8.2f %8.1f\n", "total", "", "", total * core, 100.0);
    printf("  (threads that ended within the span are not counted: %zu listed before, %zu after)\n",
           before.size(), after.size());
    DeleteFileA(file.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? atof(argv[1]) : 20;
    const std::string only = argc > 2 ? argv[2] : "";
    if (seconds <= 0 || (!only.empty() && only != "wav" && only != "mp3")) {
        fprintf(stderr, "usage: recording_cpu.exe [seconds] [wav|mp3]\n");
        return 2;
    }
    if (!bench::HaveSound()) {
        fprintf(stderr, "needs the bench's private sinks (BENCH=...,sound)\n");
        return 2;
    }
    if (!brindlerun::PrepareSettings()) return 2;
    const long tickRate = brindlerun::TicksPerSecond();
    CreateDirectoryA("z:\\tmp\\brindlebench", nullptr);
    // Names unique to this run: the host process is found by its file.
    char wav[MAX_PATH], mp3[MAX_PATH];
    const unsigned long id = GetCurrentProcessId();
    snprintf(wav, sizeof wav, "z:\\tmp\\brindlebench\\cpu%lu.wav", id);
    snprintf(mp3, sizeof mp3, "z:\\tmp\\brindlebench\\cpu%lu.mp3", id);

    auto tone = bench::PlayTone(1000, 2 * seconds + 120, 0.5);
    Sleep(2500);
    printf("Recording 44100 Hz 16-bit stereo with a 1 kHz tone playing; %% core = share of one "
           "core over the span, %% total = share of the process's CPU time\n");
    bool ok = true;
    const char* common = "/r -frequency 44 -bit 16 -channels 2";
    if (only.empty() || only == "wav") ok &= Measure("WAV", common, wav, seconds, tickRate);
    if (only.empty() || only == "mp3")
        ok &= Measure("MP3 128 kbit/s", std::string(common) + " -mp3bitrate 128", mp3, seconds,
                      tickRate);
    return ok ? 0 : 1;
}
