// Background playback: the background sound of a recording (and the
// metered playback of the main window) runs through the player's chain;
// its blocks come back as MM_WIM_DATA (wParam 0) and go into
// BackgroundRing, or drive the level meters.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "engine/LevelTable.h"
#include "engine/PlayerGraph.h"
#include "engine/RingBuffer.h"
#include "framework/ThreadName.h"

BYTE MonitorBuffers[MonitorBufferCount][MonitorBufferBytes];
WAVEHDR MonitorHeaders[MonitorBufferCount];
int32_t MonitorBufferIndex = 0;
WAVEFORMATEX MonitorFormat = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
std::atomic<uint8_t> BackgroundStopped{1};
HANDLE BackgroundEndEvent = nullptr;
HANDLE BackgroundWaitThreadHandle = nullptr;
std::atomic<int32_t> MonitorLevelLeft{0};
std::atomic<int32_t> MonitorLevelRight{0};

namespace {

// The thread that builds the background of the current recording; the
// stop waits for it before it touches the player.
HANDLE PlayThreadHandle = nullptr;

constexpr DWORD PlayThreadWaitMs = 10000;

void Trace(const char* text) { OutputDebugStringA(text); }

void JoinPlayThread() {
    if (!PlayThreadHandle) return;
    if (WaitForSingleObject(PlayThreadHandle, PlayThreadWaitMs) != WAIT_OBJECT_0)
        Trace("BackgroundPlayThread did not end\n");
    CloseHandle(PlayThreadHandle);
    PlayThreadHandle = nullptr;
}

// Ends the wait thread of the last start (its event set) and closes its
// handle.
void JoinWaitThread(DWORD ms) {
    if (BackgroundWaitThreadHandle) {
        if (BackgroundEndEvent) SetEvent(BackgroundEndEvent);
        WaitForSingleObject(BackgroundWaitThreadHandle, ms);
        CloseHandle(BackgroundWaitThreadHandle);
        BackgroundWaitThreadHandle = nullptr;
    }
}

// The old event is closed only once its wait thread has ended and the new
// one is about to take its place, so a late block never sets a closed or
// reused handle.
void ReplaceEndEvent() {
    JoinWaitThread(INFINITE);
    if (BackgroundEndEvent) CloseHandle(BackgroundEndEvent);
    BackgroundEndEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

// The background cannot be played: the recording goes on without it, and
// the main window hears of it once.
void ReportBackgroundError(CPlayerGraph* player) {
    RecordingOptions.BackgroundMixOn = 0;
    BackgroundEnded = 1;
    if (player && player->notifyWindow)
        PostMessageA(player->notifyWindow, WM_BACKGROUND_ERROR, 0, 0);
}

void StartHook() {
    JoinPlayThread();
    PlayThreadHandle = CreateThread(nullptr, 0, BackgroundPlayThread, nullptr, 0, nullptr);
    if (!PlayThreadHandle) ReportBackgroundError(PlayerGraph);
}

void StopHook() {
    // The player must be complete (or failed) before it is stopped.
    JoinPlayThread();
    StopBackgroundPlayback();
}

int32_t SampleAt(const BYTE* data, DWORD i, bool bits16) {
    if (bits16) {
        int16_t v;
        memcpy(&v, data + 2 * i, 2);
        return v;
    }
    return static_cast<int32_t>(data[i]) - 128;
}

}  // namespace

int StartBackgroundPlayback(const CaptureFormat& format, const char* fileName) {
    CPlayerGraph* player = PlayerGraph;
    if (!player) return 6;
    CPlayerGraph::Guard guard(player);

    MonitorFormat.wFormatTag = WAVE_FORMAT_PCM;
    MonitorFormat.nChannels = static_cast<WORD>(format.channels);
    MonitorFormat.nSamplesPerSec = format.rate;
    MonitorFormat.wBitsPerSample = format.bits;
    MonitorFormat.nBlockAlign = static_cast<WORD>(format.channels * format.bits / 8);
    MonitorFormat.nAvgBytesPerSec = format.rate * MonitorFormat.nBlockAlign;
    MonitorFormat.cbSize = 0;
    for (int i = 0; i < MonitorBufferCount; ++i) {
        memset(&MonitorHeaders[i], 0, sizeof MonitorHeaders[i]);
        MonitorHeaders[i].lpData = reinterpret_cast<LPSTR>(MonitorBuffers[i]);
        MonitorHeaders[i].dwBufferLength = MonitorBufferBytes;
    }
    MonitorBufferIndex = 0;
    BackgroundStopped = 0;
    ReplaceEndEvent();
    if (BackgroundEndEvent) ResetEvent(BackgroundEndEvent);
    player->backgroundChannels = static_cast<WORD>(format.channels);
    player->backgroundRate = static_cast<int32_t>(format.rate);
    player->backgroundBits = format.bits;

    player->ReleaseGraph();
    HRESULT hr = BackgroundEndEvent ? player->CreateGraph() : E_OUTOFMEMORY;
    if (SUCCEEDED(hr)) hr = player->OpenFile(fileName);
    if (SUCCEEDED(hr)) {
        player->startRequestCount = 0;
        hr = player->BuildBackgroundGraph();
    }
    if (FAILED(hr)) {
        char text[120];
        snprintf(text, sizeof text, "Background player failed: 0x%08lx\n", static_cast<unsigned long>(hr));
        Trace(text);
        player->ReleaseGraph();
        BackgroundStopped = 1;
        // The ring stays: the writer may still be reading it, and the
        // recording's finisher releases it. The writer mixes silence.
        BackgroundEnded = 1;
        return 6;
    }

    if (!player->audible) player->MuteBackground();
    // The first block is in place before any sound flows.
    QueueMonitorBuffer();
    player->ResetGrabber();
    player->Run();
    ResetEvent(BackgroundEndEvent);
    BackgroundWaitThreadHandle =
        CreateThread(nullptr, 0, BackgroundWaitThread, BackgroundEndEvent, 0, nullptr);
    ResetEvent(BackgroundEndEvent);
    return 0;
}

void StopBackgroundPlayback() {
    CPlayerGraph* player = PlayerGraph;
    if (!player) {
        BackgroundStopped = 1;
        JoinWaitThread(1000);
        return;
    }
    CPlayerGraph::Guard guard(player);
    player->ResetGrabber();
    uint8_t running = 0;
    if (BackgroundStopped.compare_exchange_strong(running, 1)) player->StopPlayback();
    JoinWaitThread(1000);
}

void QueueMonitorBuffer() {
    CPlayerGraph* player = PlayerGraph;
    if (!player) return;
    CPlayerGraph::Guard guard(player);
    const int index = MonitorBufferIndex;
    WAVEHDR& header = MonitorHeaders[index];
    memset(MonitorBuffers[index], MonitorFormat.wBitsPerSample == 8 ? 128 : 0, MonitorBufferBytes);
    header.lpData = reinterpret_cast<LPSTR>(MonitorBuffers[index]);
    header.dwBufferLength = MonitorBufferBytes;
    header.dwBytesRecorded = 0;
    header.dwFlags = 0;
    player->QueueGrabberBuffer(&header);
    MonitorBufferIndex = (index + 1) % MonitorBufferCount;
}

bool MeasureMonitorLevel(BYTE* samples, DWORD bytes) {
    if (!samples || bytes == 0) return false;
    const bool bits16 = MonitorFormat.wBitsPerSample == 16;
    const bool stereo = MonitorFormat.nChannels == 2;
    const DWORD n = bits16 ? bytes / 2 : bytes;
    const DWORD perChannel = stereo ? n / 2 : n;
    if (perChannel == 0) return false;
    int32_t threshold = ThresholdAmplitude(0, bits16);
    if (!bits16) threshold += 5;
    const int32_t squelch = ThresholdAmplitude(0, true);

    int64_t left = 0, right = 0;
    DWORD quiet = 0;
    for (DWORD i = 0; i < n; ++i) {
        const int32_t a = std::abs(SampleAt(samples, i, bits16));
        if (stereo && (i & 1)) right += a;
        else left += a;
        if (a < threshold) ++quiet;
        if (bits16 && a < squelch) memset(samples + 2 * i, 0, 2);
    }
    LevelLeft = static_cast<int32_t>(left / perChannel);
    LevelRight = stereo ? static_cast<int32_t>(right / perChannel) : 0;
    MonitorLevelLeft = LevelLeft;
    MonitorLevelRight = LevelRight;
    return quiet <= 2 * n / 3;
}

void ProcessBackgroundBuffer(WAVEHDR* header) {
    CPlayerGraph* player = PlayerGraph;
    if (!player || !header) return;
    CPlayerGraph::Guard guard(player);
    // Only the block the grabber holds now; a message of a chain already
    // gone (or of a block handed out again since) is stale.
    if (header != player->CurrentMonitorBlock() || header->dwBytesRecorded == 0) return;

    BYTE* data = reinterpret_cast<BYTE*>(header->lpData);
    DWORD bytes = std::min<DWORD>(header->dwBytesRecorded,
                                  std::min<DWORD>(header->dwBufferLength, MonitorBufferBytes));
    if (MonitorFormat.nBlockAlign > 1) bytes -= bytes % MonitorFormat.nBlockAlign;

    if (!RecordingOptions.PlaybackMetering) {
        if (!BackgroundStopped && bytes > 0)
            RingBufferWriteFrames(&BackgroundRing, data, static_cast<int32_t>(bytes),
                                  MonitorFormat.nBlockAlign);
    } else {
        RecordingSession.LastBlock = data;
        const int64_t now = static_cast<int64_t>(time(nullptr));
        if (MeasureMonitorLevel(data, bytes)) {
            RecordingSession.SignalActive = 1;
            LastSignalTime = now;
        } else if (now - LastSignalTime >= SignalHangSeconds) {
            RecordingSession.SignalActive = 0;
        }
    }

    player->ResetGrabber();
    if (!BackgroundStopped) {
        QueueMonitorBuffer();
    } else if (BackgroundEndEvent) {
        SetEvent(BackgroundEndEvent);
    }
}

DWORD WINAPI BackgroundPlayThread(LPVOID) {
    NameCurrentThread(L"background player");
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    CPlayerGraph* player = PlayerGraph;
    int result = 6;
    if (player) {
        // The background is not heard; its grabber passes nothing on.
        player->audible = 0;
        player->SetGrabberMode(0);
        result = StartBackgroundPlayback(RecordingSession.CaptureFormat,
                                         RecordingOptions.BackgroundFile);
    }
    if (result != 0) {
        ReportBackgroundError(player);
    } else {
        player->SeekPlayback(0);
    }
    CoUninitialize();
    return 0;
}

DWORD WINAPI BackgroundWaitThread(LPVOID endEvent) {
    // The event of this start (the global may be replaced by the next one).
    // The ring is not released here: the writer may still be reading it,
    // and the recording's finisher releases it once the writer has ended.
    WaitForSingleObject(static_cast<HANDLE>(endEvent), INFINITE);
    return 0;
}

void InstallBackgroundPlayer() {
    BackgroundPlayer.start = StartHook;
    BackgroundPlayer.stop = StopHook;
}

void ShutdownBackgroundPlayer() {
    JoinPlayThread();
    StopBackgroundPlayback();
    JoinWaitThread(1000);
    if (BackgroundEndEvent) {
        CloseHandle(BackgroundEndEvent);
        BackgroundEndEvent = nullptr;
    }
}
