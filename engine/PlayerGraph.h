// The player graph: plays recordings (position, seeking, pause, loop,
// volume), plays a file with level metering, and plays the background sound
// that is mixed into a recording. For the last two the decoded sound is
// split off in front of the audio renderer ("Smart Tee"), converted to the
// wanted PCM format ("PCM resample"), and handed block by block to the
// engine by the background grabber ("WAV Trans") as MM_WIM_DATA messages
// with wParam 0.
#pragma once

#include <windows.h>
#include <dshow.h>
#include <mmsystem.h>

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "engine/BackgroundGrabber.h"
#include "engine/CaptureGraph.h"
#include "engine/ComRef.h"
#include "engine/EngineState.h"

// Messages the player posts to its notify window (the main window).
constexpr UINT WM_BACKGROUND_ERROR = WM_USER + 5;     // the background could not be played
constexpr UINT WM_PLAYBACK_FINISHED = WM_USER + 124;  // end of file without loop
constexpr UINT WM_PLAYER_RUN = WM_APP + 3;            // runs the player graph

// Timers the player keeps on the notify window.
constexpr UINT_PTR PlayerPositionTimer = 55;  // 100 ms, position display
constexpr UINT_PTR PlayerRefreshTimer = 33;   // 33 ms

// Values of PlaybackState.
enum : int32_t { PlaybackStopped = 0, PlaybackPaused = 1, PlaybackRunning = 2 };

// Written under the player's lock; read by the main window.
extern std::atomic<int32_t> PlaybackState;
// Set when the open file has no video window.
extern std::atomic<uint8_t> NoVideo;

// ---- background state ----
constexpr int MonitorBufferCount = 3;
constexpr DWORD MonitorBufferBytes = 40000;

// The blocks handed to the background grabber in rotation (user-interface
// thread, and the thread that starts the background).
extern BYTE MonitorBuffers[MonitorBufferCount][MonitorBufferBytes];
extern WAVEHDR MonitorHeaders[MonitorBufferCount];
extern int32_t MonitorBufferIndex;
// The format of the background blocks.
extern WAVEFORMATEX MonitorFormat;
// Set once the background player has been stopped (stop, or a failed
// start); blocks that arrive afterwards are not written.
extern std::atomic<uint8_t> BackgroundStopped;
// Auto-reset; set when the background player stops. Kept open until the
// next start replaces it (or ShutdownBackgroundPlayer), so a late block
// never sets a closed or reused handle.
extern HANDLE BackgroundEndEvent;
extern HANDLE BackgroundWaitThreadHandle;
// Copies of the last playback levels (metered playback).
extern std::atomic<int32_t> MonitorLevelLeft;
extern std::atomic<int32_t> MonitorLevelRight;

class CPlayerGraph {
public:
    CPlayerGraph();
    ~CPlayerGraph();
    CPlayerGraph(const CPlayerGraph&) = delete;
    CPlayerGraph& operator=(const CPlayerGraph&) = delete;

    HRESULT CreateGraph();
    void ReleaseGraph();
    HRESULT OpenFile(const char* fileName);
    // Runs the graph and (re)starts timers 55 and 33. Returns the result of
    // SetTimer, 0 when the graph did not run. Called off the notify
    // window's thread it runs the graph there and posts WM_PLAYER_RUN, so
    // the timers are set by the thread that owns the window.
    UINT_PTR Run();
    void PausePlayback();
    void StopPlayback();
    HRESULT SeekPlayback(LONGLONG ms);
    // "%02dm:%02d.%03ds" of the current position ("<00:00.000>" while the
    // graph cannot tell); *ms gets the position in milliseconds.
    HRESULT GetPositionText(char* text, size_t size, LONGLONG* ms);
    // Milliseconds of a position in 100 ns units; 0 means the current one.
    LONGLONG GetPlaybackPositionMs(LONGLONG position);
    void SetVolume(int32_t percent);
    void MuteBackground();
    // The main window's messages: WM_CLOSE, WM_HSCROLL (position slider),
    // WM_GRAPHNOTIFY, WM_PLAYER_RUN, and the system messages the video
    // window needs. Returns 0.
    LRESULT OnPlayerMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnPlayerGraphEvent();

    // Asks Run to seek to `ms` once the graph runs.
    void SetStartRequest(LONGLONG ms);
    // The mode byte the background grabber gets when its chain is built.
    void SetGrabberMode(BYTE mode);
    // Background grabber calls (no-ops without a background chain).
    void ResetGrabber();
    void QueueGrabberBuffer(WAVEHDR* header);
    HRESULT BuildBackgroundGraph();
    bool HasGraph();
    // The block last handed to the background grabber.
    WAVEHDR* CurrentMonitorBlock();
    LONGLONG Duration() const { return duration; }

    // Holds the player's lock (recursive) for a sequence of calls that
    // must not meet another thread's use of the graph.
    class Guard {
    public:
        explicit Guard(CPlayerGraph* player) : cs_(&player->lock_) { EnterCriticalSection(cs_); }
        ~Guard() { LeaveCriticalSection(cs_); }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        CRITICAL_SECTION* cs_;
    };

    // Fields, written by the main window (volume, audible, loop, the windows)
    // or under the lock.
    int32_t volume = 100;                   // percent, last given to SetVolume
    int32_t startRequestCount = 0;          // > 0: Run seeks to startRequestMs
    WORD backgroundChannels = 2;
    int32_t backgroundRate = 44100;
    WORD backgroundBits = 16;
    std::atomic<uint8_t> audible{1};        // played aloud; else the background is muted
    std::atomic<uint8_t> loop{0};           // start again from 0 at the end
    HWND videoOwner = nullptr;
    HWND notifyWindow = nullptr;
    HWND positionSlider = nullptr;
    LONGLONG duration = 0;                  // 100 ns, filled by OpenFile
    UINT_PTR positionTimer = PlayerPositionTimer;
    UINT_PTR refreshTimer = PlayerRefreshTimer;
    WAVEHDR* currentMonitorBlock = nullptr;
    ComRef<IBaseFilter> teeFilter;
    ComRef<IBaseFilter> grabberFilter;
    ComRef<IBackgroundWavTrans> grabber;
    ComRef<IBaseFilter> resamplerFilter;
    ComRef<IBaseFilter> nullRenderer;
    ComRef<IGraphBuilder> graph;
    ComRef<IMediaSeeking> mediaSeeking;
    ComRef<IMediaControl> mediaControl;
    ComRef<IMediaEventEx> mediaEvents;
    ComRef<IBasicVideo> basicVideo;
    ComRef<IVideoWindow> videoWindow;

private:
    bool OnOwnerThread() const;
    // Starts or kills timers 55 and 33 (or 55 alone) on the notify window;
    // off its thread, posts WM_PLAYER_RUN so that thread does it.
    UINT_PTR SetTimers(bool on, bool positionOnly = false);
    void HandleComplete();
    HRESULT SeekTo(LONGLONG position);
    HRESULT InsertTee(IBaseFilter* renderer);
    void FitVideoWindow();
    void OnSliderScroll(WPARAM wParam, LPARAM lParam);

    LONGLONG startRequestMs_ = 0;
    BYTE grabberMode_ = 0;
    bool dragging_ = false;
    OAFilterState dragState_ = State_Stopped;
    CRITICAL_SECTION lock_;
};

// The player of the main window (null until it creates one).
extern CPlayerGraph* PlayerGraph;

// ---- graph look-ups ----
// The index-th pin of a direction (E_FAIL when there is none).
HRESULT FindPin(IBaseFilter* filter, PIN_DIRECTION direction, int index, ComRef<IPin>* pin);
HRESULT FindUnconnectedPin(IBaseFilter* filter, PIN_DIRECTION direction, ComRef<IPin>* pin);
// The filter with exactly one pin, an input connected with audio.
HRESULT FindAudioRenderer(IGraphBuilder* graph, ComRef<IBaseFilter>* renderer);
// The audio compressor whose "FriendlyName" is "PCM".
HRESULT FindPcmResampler(ComRef<IBaseFilter>* resampler);

// ---- pure helpers ----
// True when the name ends in .asf, .wma or .wmv (any case).
bool UsesAsfReader(const char* fileName);
// IBasicAudio volume of a percentage: percent x 50 - 5000 (clamped 0..100).
long VolumeForPercent(int32_t percent);
// "%02dm:%02d.%03ds" of a position in milliseconds.
void FormatPositionText(char* text, size_t size, LONGLONG ms);
// The seek target of a slider at `percent` of `duration` (100 ns units).
LONGLONG SliderSeekPosition(LONGLONG duration, int percent);

// ---- background playback ----
// Plays `fileName` through the background chain at `format` (also the
// metered playback of the main window). 0 started, 6 failed.
int StartBackgroundPlayback(const CaptureFormat& format, const char* fileName);
void StopBackgroundPlayback();
void QueueMonitorBuffer();
// The level test of a background block (threshold -48 dB): writes
// LevelLeft/LevelRight and the monitor levels, zeroes 16-bit samples below
// -48 dB, returns whether the block holds signal.
bool MeasureMonitorLevel(BYTE* samples, DWORD bytes);
// The main window's MM_WIM_DATA with wParam 0: one filled background block.
void ProcessBackgroundBuffer(WAVEHDR* header);
DWORD WINAPI BackgroundPlayThread(LPVOID);
DWORD WINAPI BackgroundWaitThread(LPVOID);

// Hooks the background player into the engine's start and stop (a
// recording with background mixing starts BackgroundPlayThread and stops
// the player before its file is finished).
void InstallBackgroundPlayer();
// At exit: stops the background player and closes its handles.
void ShutdownBackgroundPlayer();
