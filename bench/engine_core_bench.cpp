// Cost of the capture path.
//   engine_core_bench            blocks per second through ProcessCaptureBuffer
//                                at 44100 Hz 16-bit stereo (100 ms blocks), bare
//                                and with noise gate and both filters on, then
//                                the WAV writer with its size refresh
//   engine_core_bench --record   CPU load of the process while it records 10 s
//                                to WAV and to MP3 through the capture graph
//                                (needs the bench's capture filters registered)
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/Biquad.h"
#include "engine/CaptureGraph.h"
#include "engine/EngineInternal.h"
#include "engine/EngineState.h"
#include "engine/Mp3Encoder.h"
#include "engine/RingBuffer.h"
#include "engine/WavHeader.h"

namespace {

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

double BlocksPerSecond(bool effects) {
    EngineSession& s = RecordingSession;
    WaveInFormat = WAVEFORMATEX{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    const DWORD block = 17640;
    RecordingOptions.NoiseGateOn = effects;
    RecordingOptions.NoiseGateLevelIndex = 10;
    RecordingOptions.HighPassOn = effects;
    RecordingOptions.LowPassOn = effects;
    HighPassFilter.cutoff = 100;
    LowPassFilter.cutoff = 8000;
    s.WriteToFile = 1;
    s.DirectWavWrite = 0;
    s.StopRequested = 0;
    s.Paused = 0;
    for (int i = 0; i < CaptureBlockCount; ++i) {
        s.CaptureHeaders[i] = WAVEHDR{};
        s.CaptureHeaders[i].lpData = reinterpret_cast<LPSTR>(s.CaptureBuffers[i]);
        s.CaptureHeaders[i].dwBufferLength = block;
    }
    s.CaptureBufferIndex = 1;
    EngineInternal.running = true;
    RingBufferInit(&CaptureRing, 100 * block);
    static BYTE sink[17640 * 100];

    const int rounds = 40, perRound = 100;
    double busy = 0;
    long phase = 0;
    for (int r = 0; r < rounds; ++r) {
        LARGE_INTEGER a, b;
        for (int i = 0; i < perRound; ++i) {
            WAVEHDR* h = &s.CaptureHeaders[(s.CaptureBufferIndex + 2) % 3];
            auto* p = reinterpret_cast<int16_t*>(h->lpData);
            for (DWORD f = 0; f < block / 4; ++f, ++phase) {
                auto v = static_cast<int16_t>(12000 * sin(phase * 0.1425));
                p[2 * f] = p[2 * f + 1] = v;
            }
            h->dwBytesRecorded = block;
            QueryPerformanceCounter(&a);
            ProcessCaptureBuffer(h);
            QueryPerformanceCounter(&b);
            busy += Seconds(a, b);
        }
        RingBufferRead(&CaptureRing, sink, sizeof sink);  // the writer's part, not timed
    }
    EngineInternal.running = false;
    RingBufferRelease(&CaptureRing);
    return rounds * perRound / busy;
}

// What keeping a growing WAV file's sizes current costs: the direct writer's
// throughput with the refresh as it runs (once a second), and the time of
// one refresh on its own (the two size fields and the flush before them).
void WavWriteCost() {
    EngineSession& s = RecordingSession;
    WaveInFormat = WAVEFORMATEX{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + "bench-sizes.wav";
    if (OpenWavOutput(path.c_str()) != 0) {
        printf("wav: cannot open %s\n", path.c_str());
        return;
    }
    static BYTE block[17640];
    for (DWORD i = 0; i < sizeof block; ++i) block[i] = static_cast<BYTE>(i * 7);
    const int blocks = 3000;  // 300 s of sound
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    for (int i = 0; i < blocks; ++i) WriteWavData(block, sizeof block);
    QueryPerformanceCounter(&b);
    const double write = Seconds(a, b);

    const int refreshes = 2000;
    QueryPerformanceCounter(&a);
    for (int i = 0; i < refreshes; ++i) {
        WriteWavData(block, 4);
        WriteWavSizes(s.WavFile, s.WavBytesWritten);
    }
    QueryPerformanceCounter(&b);
    const double refresh = Seconds(a, b) / refreshes;
    WriteWavHeader();
    fclose(s.WavFile);
    s.WavFile = nullptr;
    DeleteFileA(path.c_str());
    printf("WriteWavData 44100/16/2, 17640-byte blocks, sizes refreshed once a second: "
           "%.0f blocks/s (%.0fx real time)\n", blocks / write, blocks / write / 10);
    printf("one size refresh (flush, two 4-byte fields): %.1f us = %.4f %% of each second\n",
           refresh * 1e6, refresh * 100);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GRAPHNOTIFY && CaptureGraph) {
        CaptureGraph->OnCaptureGraphEvent(msg, wParam, lParam);
        return 0;
    }
    if (msg == MM_WIM_DATA && wParam == 1) {
        ProcessCaptureBuffer(reinterpret_cast<WAVEHDR*>(lParam));
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

ULONGLONG CpuTime100ns() {
    FILETIME c, e, k, u;
    GetProcessTimes(GetCurrentProcess(), &c, &e, &k, &u);
    auto v = [](FILETIME t) { return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return v(k) + v(u);
}

void Pump(DWORD ms) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    }
}

int RecordLoad(const char* lameDll) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "EngineBenchMain";
    RegisterClassA(&wc);
    HWND window = CreateWindowA("EngineBenchMain", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                wc.hInstance, nullptr);
    static CCaptureGraph graph;
    static CaptureDeviceList devices;
    static PinNameList pins;
    graph.notifyWindow = window;
    CaptureGraph = &graph;
    graph.CreateGraph();
    FillCaptureDeviceList(&devices);
    if (FAILED(graph.SelectDevice(0, &devices, &pins)) || !graph.HasCaptureOutput()) {
        printf("record: no capture device with outputs (capture filters not registered?)\n");
        return 1;
    }
    const bool mp3 = lameDll && LoadMp3EncoderFrom(lameDll);
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    for (int kind : {EncoderWav, EncoderMp3}) {
        if (kind == EncoderMp3 && !mp3) {
            printf("record: MP3 skipped (no encoder library)\n");
            continue;
        }
        std::string path = std::string(temp) + (kind == EncoderMp3 ? "bench.mp3" : "bench.wav");
        CaptureFormat f;  // 44100 Hz 16-bit stereo, 128 kbit/s
        // The engine adds to this count and only the window's start clears
        // it; cleared here, each run reports its own file's bytes alone.
        RecordingSession.RecordedBytes = 0;
        ULONGLONG cpu0 = CpuTime100ns();
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        CaptureResult r = StartCapture(0, path.c_str(), f, kind, 0, 0);
        if (r != CaptureStarted) {
            printf("record: start failed with %d\n", r);
            return 1;
        }
        Pump(10000);
        StopCapture();
        QueryPerformanceCounter(&b);
        double cpu = (CpuTime100ns() - cpu0) / 1e7;
        double wall = Seconds(a, b);
        printf("record %s 44100/16/2, %.1f s: CPU %.3f s = %.1f %% of one core (%u bytes written)\n",
               kind == EncoderMp3 ? "MP3 128k" : "WAV", wall, cpu, 100 * cpu / wall,
               RecordingSession.RecordedBytes.load());
        DeleteFileA(path.c_str());
    }
    graph.Shutdown();
    CaptureGraph = nullptr;
    CoUninitialize();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && !strcmp(argv[1], "--record")) return RecordLoad(argc > 2 ? argv[2] : nullptr);
    for (bool effects : {false, true}) {
        double bps = BlocksPerSecond(effects);
        printf("ProcessCaptureBuffer 44100/16/2, 17640-byte blocks%s: %.0f blocks/s (%.0fx real time)\n",
               effects ? ", gate + high-pass + low-pass" : "", bps, bps / 10);
    }
    WavWriteCost();
    return 0;
}
