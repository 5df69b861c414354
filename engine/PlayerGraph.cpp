// The player graph: open, run, pause, stop, seek, loop, volume, position,
// graph events and the video window (the background chain is in
// PlayerChain.cpp).
#include "engine/PlayerGraph.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "framework/DeviceNames.h"

CPlayerGraph* PlayerGraph = nullptr;
std::atomic<int32_t> PlaybackState{PlaybackStopped};
std::atomic<uint8_t> NoVideo{0};

namespace {

// wParam of the WM_PLAYER_RUN the player posts to itself: "make the timers
// match the playback state". Any other WM_PLAYER_RUN just runs the graph.
constexpr WPARAM PlayerTimerSync = 0x54696D;

constexpr long MuteVolume = -10000;  // silence; -5000 would still be heard at -50 dB

void Trace(const char* format, HRESULT hr) {
    char text[200];
    snprintf(text, sizeof text, format, static_cast<unsigned>(hr));
    OutputDebugStringA(text);
}

bool EndsWith(const char* text, size_t length, const char* ending) {
    const size_t n = strlen(ending);
    return length >= n && memcmp(text + length - n, ending, n) == 0;
}

HRESULT RemoveFilter(IGraphBuilder* graph, ComRef<IBaseFilter>* filter) {
    HRESULT hr = S_OK;
    if (graph && *filter) hr = graph->RemoveFilter(filter->Get());
    filter->Reset();
    return hr;
}

bool PinConnected(IPin* pin) {
    ComRef<IPin> peer;
    return pin && SUCCEEDED(pin->ConnectedTo(peer.Out())) && peer;
}

// Renders every output pin of the ASF reader that nothing is connected to.
HRESULT RenderOutputPins(IGraphBuilder* graph, IBaseFilter* filter) {
    ComRef<IEnumPins> pins;
    HRESULT hr = filter->EnumPins(pins.Out());
    if (FAILED(hr) || !pins) return FAILED(hr) ? hr : E_FAIL;
    HRESULT result = VFW_E_CANNOT_RENDER;
    ComRef<IPin> pin;
    while (pins->Next(1, pin.Out(), nullptr) == S_OK) {
        PIN_DIRECTION direction;
        if (FAILED(pin->QueryDirection(&direction)) || direction != PINDIR_OUTPUT) continue;
        if (PinConnected(pin.Get())) continue;
        hr = graph->Render(pin.Get());
        // One stream that plays is enough (a file may carry a stream that
        // nothing here can render).
        if (SUCCEEDED(hr)) result = S_OK;
        else if (result != S_OK) result = hr;
    }
    return result;
}

}  // namespace

// ---- pure helpers ----

bool UsesAsfReader(const char* fileName) {
    if (!fileName) return false;
    char lower[261];
    size_t n = 0;
    for (; fileName[n] && n < sizeof lower - 1; ++n)
        lower[n] = static_cast<char>(tolower(static_cast<unsigned char>(fileName[n])));
    lower[n] = 0;
    // Only the ending counts: "x.wma.d\song.mp3" is an MP3.
    return EndsWith(lower, n, ".asf") || EndsWith(lower, n, ".wma") || EndsWith(lower, n, ".wmv");
}

long VolumeForPercent(int32_t percent) {
    return static_cast<long>(std::clamp<int32_t>(percent, 0, 100)) * 50 - 5000;
}

void FormatPositionText(char* text, size_t size, LONGLONG ms) {
    if (!text || size == 0) return;
    if (ms < 0) ms = 0;
    snprintf(text, size, "%02dm:%02d.%03ds", static_cast<int>(ms / 60000),
             static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000));
}

LONGLONG SliderSeekPosition(LONGLONG duration, int percent) {
    if (duration <= 0) return 0;
    percent = std::clamp(percent, 0, 100);
    // Split so that duration x percent cannot overflow.
    return duration / 100 * percent + duration % 100 * percent / 100;
}

// ---- the player ----

CPlayerGraph::CPlayerGraph() { InitializeCriticalSection(&lock_); }

CPlayerGraph::~CPlayerGraph() {
    ReleaseGraph();
    DeleteCriticalSection(&lock_);
}

bool CPlayerGraph::OnOwnerThread() const {
    return !notifyWindow || GetWindowThreadProcessId(notifyWindow, nullptr) == GetCurrentThreadId();
}

bool CPlayerGraph::HasGraph() {
    Guard guard(this);
    return static_cast<bool>(graph);
}

WAVEHDR* CPlayerGraph::CurrentMonitorBlock() {
    Guard guard(this);
    return currentMonitorBlock;
}

UINT_PTR CPlayerGraph::SetTimers(bool on, bool positionOnly) {
    if (!notifyWindow) return 0;
    if (!OnOwnerThread()) {
        // SetTimer and KillTimer only work for the window's own thread.
        PostMessageA(notifyWindow, WM_PLAYER_RUN, PlayerTimerSync, 0);
        return 1;
    }
    if (!on) {
        KillTimer(notifyWindow, positionTimer);
        if (!positionOnly) KillTimer(notifyWindow, refreshTimer);
        return 0;
    }
    UINT_PTR result = SetTimer(notifyWindow, positionTimer, 100, nullptr);
    if (!positionOnly) result = SetTimer(notifyWindow, refreshTimer, 33, nullptr);
    return result;
}

HRESULT CPlayerGraph::CreateGraph() {
    Guard guard(this);
    if (graph) ReleaseGraph();
    NoVideo = 0;
    startRequestCount = 0;
    startRequestMs_ = 0;
    duration = 0;
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IGraphBuilder, graph.OutVoid());
    const char* failed = nullptr;
    if (FAILED(hr)) {
        failed = "FAILED(0x%x) CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC, IID_IGraphBuilder, (void **)&pGB)\n";
    } else if (FAILED(hr = graph.As(IID_IMediaControl, &mediaControl))) {
        failed = "FAILED(0x%x) pGB->QueryInterface(IID_IMediaControl, (void **)&pMC)\n";
    } else if (FAILED(hr = graph.As(IID_IMediaSeeking, &mediaSeeking))) {
        failed = "FAILED(0x%x) pGB->QueryInterface(IID_IMediaSeeking, (void **)&pMS)\n";
    } else if (FAILED(hr = graph.As(IID_IBasicVideo, &basicVideo))) {
        failed = "FAILED(0x%x) pGB->QueryInterface(IID_IBasicVideo, (void **)&pBV)\n";
    } else if (FAILED(hr = graph.As(IID_IVideoWindow, &videoWindow))) {
        failed = "FAILED(0x%x) pGB->QueryInterface(IID_IVideoWindow, (void **)&pVW)\n";
    } else if (FAILED(hr = graph.As(IID_IMediaEventEx, &mediaEvents))) {
        failed = "FAILED(0x%x) pGB->QueryInterface(IID_IMediaEventEx, (void **)&pME)\n";
    }
    if (failed) {
        Trace(failed, hr);
        mediaEvents.Reset();
        videoWindow.Reset();
        basicVideo.Reset();
        mediaSeeking.Reset();
        mediaControl.Reset();
        graph.Reset();
    }
    return hr;
}

void CPlayerGraph::ReleaseGraph() {
    Guard guard(this);
    SetTimers(false, true);
    if (mediaControl) {
        if (PlaybackState != PlaybackStopped) {
            mediaControl->Pause();
            Sleep(200);
            mediaControl->StopWhenReady();
        }
        // Filters can only leave a stopped graph.
        mediaControl->Stop();
    }
    PlaybackState = PlaybackStopped;
    if (mediaEvents) mediaEvents->SetNotifyWindow(0, 0, 0);
    if (videoWindow && !NoVideo) {
        videoWindow->put_Visible(OAFALSE);
        videoWindow->put_Owner(0);
    }
    RemoveFilter(graph.Get(), &nullRenderer);
    RemoveFilter(graph.Get(), &resamplerFilter);
    currentMonitorBlock = nullptr;
    grabber.Reset();
    grabberFilter.Reset();
    teeFilter.Reset();
    videoWindow.Reset();
    basicVideo.Reset();
    mediaEvents.Reset();
    mediaSeeking.Reset();
    mediaControl.Reset();
    graph.Reset();
    duration = 0;
    dragging_ = false;
}

HRESULT CPlayerGraph::OpenFile(const char* fileName) {
    Guard guard(this);
    if (!graph || !fileName) return E_POINTER;
    // A device ("c:\rec\com1.wav") is no file: the source filter would
    // wait on the serial port for ever.
    if (IsDeviceFileName(fileName)) return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    WCHAR wFile[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, fileName, -1, wFile, MAX_PATH)) return E_INVALIDARG;

    HRESULT hr;
    if (UsesAsfReader(fileName)) {
        ComRef<IBaseFilter> reader;
        hr = CoCreateInstance(CLSID_WMAsfReader, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                              reader.OutVoid());
        if (FAILED(hr)) return hr;
        hr = graph->AddFilter(reader.Get(), L"ASF Reader");
        if (FAILED(hr)) return hr;
        ComRef<IFileSourceFilter> source;
        hr = reader.As(IID_IFileSourceFilter, &source);
        if (FAILED(hr)) {
            Trace("FAILED(0x%x) pReader->QueryInterface(IID_IFileSourceFilter, (void **) &pFS)\n", hr);
            return hr;
        }
        hr = source->Load(wFile, nullptr);
        if (FAILED(hr)) {
            Trace("FAILED(0x%x) pFS->Load(wFile, NULL)\n", hr);
            return hr;
        }
        hr = RenderOutputPins(graph.Get(), reader.Get());
        if (FAILED(hr)) {
            Trace("FAILED(0x%x) RenderOutputPins(pGB, pReader)\n", hr);
            return hr;
        }
    } else {
        hr = graph->RenderFile(wFile, nullptr);
        if (FAILED(hr)) return hr;
    }

    // The slider seeks in parts of this; unknown stays 0 (seeks go to 0).
    LONGLONG length = 0;
    duration = mediaSeeking && SUCCEEDED(mediaSeeking->GetDuration(&length)) && length > 0 ? length : 0;

    if (FAILED(videoWindow->put_MessageDrain(reinterpret_cast<OAHWND>(notifyWindow)))) NoVideo = 1;
    if (notifyWindow)
        mediaEvents->SetNotifyWindow(reinterpret_cast<OAHWND>(notifyWindow), WM_GRAPHNOTIFY, 0);
    if (!NoVideo) FitVideoWindow();
    return S_OK;
}

void CPlayerGraph::FitVideoWindow() {
    videoWindow->put_Visible(OAFALSE);
    // Only the owner window's thread may re-parent into it (another thread
    // would wait for a user-interface thread that may be waiting for us);
    // a background started elsewhere has no picture to show.
    if (!videoOwner || !OnOwnerThread()) {
        videoWindow->put_AutoShow(OAFALSE);
        return;
    }
    videoWindow->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
    videoWindow->put_Owner(reinterpret_cast<OAHWND>(videoOwner));
    long width = 0, height = 0;
    RECT client;
    GetClientRect(videoOwner, &client);
    const long cw = client.right - client.left, ch = client.bottom - client.top;
    if (SUCCEEDED(basicVideo->GetVideoSize(&width, &height)) && width > 0 && height > 0 && cw > 0 &&
        ch > 0) {
        // Largest size of the video's aspect that fits, centred.
        long w = cw, h = static_cast<long>(static_cast<LONGLONG>(cw) * height / width);
        if (h > ch) {
            h = ch;
            w = static_cast<long>(static_cast<LONGLONG>(ch) * width / height);
        }
        videoWindow->SetWindowPosition((cw - w) / 2, (ch - h) / 2, w, h);
    }
    videoWindow->put_Visible(OATRUE);
    videoWindow->put_AutoShow(OATRUE);
    videoWindow->SetWindowForeground(OATRUE);
}

HRESULT CPlayerGraph::SeekTo(LONGLONG position) {
    if (!mediaSeeking) return E_POINTER;
    return mediaSeeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr,
                                      AM_SEEKING_NoPositioning);
}

UINT_PTR CPlayerGraph::Run() {
    Guard guard(this);
    if (!mediaControl) return 0;
    HRESULT hr = mediaControl->Run();
    if (FAILED(hr)) {
        Trace("\r\n*** Failed(%08lx) in Run()!\r\n", hr);
        return 0;
    }
    PlaybackState = PlaybackRunning;
    if (audible) SetVolume(volume);
    if (startRequestCount > 0) {
        startRequestCount = 0;
        SeekTo(startRequestMs_ * 10000);
    }
    return SetTimers(true);
}

void CPlayerGraph::PausePlayback() {
    Guard guard(this);
    if (!mediaControl) return;
    if (PlaybackState == PlaybackPaused) {
        if (SUCCEEDED(mediaControl->Run())) PlaybackState = PlaybackRunning;
        SetTimers(true, true);
        return;
    }
    SetTimers(false, true);
    if (PlaybackState == PlaybackRunning) {
        HRESULT hr = mediaControl->Pause();
        if (FAILED(hr)) Trace("\r\n*** Failed(%08lx) in Pause()!\r\n", hr);
        else PlaybackState = PlaybackPaused;
    }
}

void CPlayerGraph::StopPlayback() {
    Guard guard(this);
    if (!graph) return;
    SetTimers(false);
    if (PlaybackState == PlaybackStopped || !mediaControl) return;
    mediaControl->Pause();
    Sleep(200);
    mediaControl->StopWhenReady();
    mediaControl->Stop();
    PlaybackState = PlaybackStopped;
}

HRESULT CPlayerGraph::SeekPlayback(LONGLONG ms) {
    Guard guard(this);
    if (!mediaControl || !mediaSeeking) return E_POINTER;
    OAFilterState state;
    mediaControl->GetState(50, &state);
    ResetGrabber();
    mediaControl->Pause();
    ResetGrabber();
    HRESULT hr = SeekTo(ms * 10000);
    if (SUCCEEDED(mediaControl->Run())) PlaybackState = PlaybackRunning;
    return hr;
}

HRESULT CPlayerGraph::GetPositionText(char* text, size_t size, LONGLONG* ms) {
    if (text && size) snprintf(text, size, "%s", "<00:00.000>");
    Guard guard(this);
    if (!mediaSeeking) return E_POINTER;
    if (mediaSeeking->IsUsingTimeFormat(&TIME_FORMAT_MEDIA_TIME) != S_OK) return E_FAIL;
    LONGLONG position = 0;
    HRESULT hr = mediaSeeking->GetCurrentPosition(&position);
    if (FAILED(hr)) return hr;
    const LONGLONG millis = position / 10000;
    if (ms) *ms = millis;
    FormatPositionText(text, size, millis);
    return S_OK;
}

LONGLONG CPlayerGraph::GetPlaybackPositionMs(LONGLONG position) {
    if (position == 0) {
        Guard guard(this);
        if (mediaSeeking) mediaSeeking->GetCurrentPosition(&position);
    }
    return position / 10000;
}

void CPlayerGraph::SetVolume(int32_t percent) {
    Guard guard(this);
    volume = std::clamp<int32_t>(percent, 0, 100);
    ComRef<IBasicAudio> audio;
    if (FAILED(graph.As(IID_IBasicAudio, &audio))) return;
    long current = 0;
    HRESULT hr = audio->get_Volume(&current);
    if (hr == E_NOTIMPL) return;
    if (FAILED(hr)) {
        Trace("Failed in pBA->get_Volume!  hr=0x%x\r\n", hr);
        return;
    }
    hr = audio->put_Volume(VolumeForPercent(volume));
    if (FAILED(hr) && hr != E_NOTIMPL) Trace("Failed in pBA->put_Volume!  hr=0x%x\r\n", hr);
}

void CPlayerGraph::MuteBackground() {
    Guard guard(this);
    ComRef<IBasicAudio> audio;
    if (FAILED(graph.As(IID_IBasicAudio, &audio))) return;
    long current = 0;
    HRESULT hr = audio->get_Volume(&current);
    if (hr == E_NOTIMPL) return;
    if (FAILED(hr)) {
        Trace("Failed in pBA->get_Volume!  hr=0x%x\r\n", hr);
        return;
    }
    hr = audio->put_Volume(MuteVolume);
    if (FAILED(hr) && hr != E_NOTIMPL) Trace("Failed in pBA->put_Volume!  hr=0x%x\r\n", hr);
}

void CPlayerGraph::SetStartRequest(LONGLONG ms) {
    Guard guard(this);
    startRequestMs_ = ms;
    startRequestCount = 1;
}

void CPlayerGraph::SetGrabberMode(BYTE mode) {
    Guard guard(this);
    grabberMode_ = mode;
    if (grabber) grabber->SetMode(mode);
}

void CPlayerGraph::ResetGrabber() {
    Guard guard(this);
    if (grabber) grabber->Reset();
}

void CPlayerGraph::QueueGrabberBuffer(WAVEHDR* header) {
    Guard guard(this);
    if (!grabber || !header) return;
    currentMonitorBlock = header;
    grabber->QueueBuffer(header, sizeof(WAVEHDR));
}

LRESULT CPlayerGraph::OnPlayerMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        ReleaseGraph();
        break;
    case WM_HSCROLL:
        OnSliderScroll(wParam, lParam);
        break;
    case WM_GRAPHNOTIFY:
        OnPlayerGraphEvent();
        break;
    case WM_PLAYER_RUN:
        if (wParam == PlayerTimerSync) {
            // Posted from another thread: set or kill the timers here, on
            // the window's thread, as the playback state now stands.
            Guard guard(this);
            if (graph && PlaybackState == PlaybackRunning) Run();
            else SetTimers(false);
        } else {
            Run();
        }
        break;
    case WM_ACTIVATEAPP:
    case WM_DEVMODECHANGE:
    case WM_DISPLAYCHANGE:
    case WM_PALETTECHANGED:
    case WM_PALETTEISCHANGING:
    case WM_QUERYNEWPALETTE:
    case WM_SYSCOLORCHANGE: {
        // What the video window needs to hear of its owner's messages.
        Guard guard(this);
        if (videoWindow && !NoVideo && notifyWindow)
            videoWindow->NotifyOwnerMessage(reinterpret_cast<OAHWND>(notifyWindow), message,
                                            wParam, lParam);
        break;
    }
    default:
        break;
    }
    return 0;
}

void CPlayerGraph::OnSliderScroll(WPARAM wParam, LPARAM lParam) {
    Guard guard(this);
    if (!graph || !mediaControl || !positionSlider ||
        reinterpret_cast<HWND>(lParam) != positionSlider)
        return;
    const int percent = static_cast<int>(SendMessageA(positionSlider, WM_USER, 0, 0));
    if (!dragging_) {
        if (FAILED(mediaControl->GetState(10, &dragState_))) dragState_ = State_Running;
        mediaControl->Pause();
        dragging_ = true;
    }
    SeekPlayback(SliderSeekPosition(duration, percent) / 10000);
    if (LOWORD(wParam) == SB_ENDSCROLL) {
        if (dragState_ == State_Stopped) {
            StopPlayback();
        } else if (dragState_ == State_Paused) {
            if (SUCCEEDED(mediaControl->Pause())) PlaybackState = PlaybackPaused;
        } else {
            Run();
        }
        dragging_ = false;
    }
}

void CPlayerGraph::HandleComplete() {
    if (loop) {
        HRESULT hr = SeekTo(0);
        // Some graphs keep reporting the end after a seek that follows the
        // end of the stream; from a stopped graph the seek always lands.
        LONGLONG position = 0;
        if (SUCCEEDED(hr) && SUCCEEDED(mediaSeeking->GetCurrentPosition(&position)) &&
            (duration <= 0 || position < duration))
            return;
        mediaControl->Stop();
        SeekTo(0);
        mediaControl->Run();
        return;
    }
    if (notifyWindow) PostMessageA(notifyWindow, WM_PLAYBACK_FINISHED, 0, 0);
    SetTimers(false);
    mediaControl->Stop();
    OAFilterState state;
    mediaControl->GetState(500, &state);
    PlaybackState = PlaybackStopped;
    ResetGrabber();
    SeekTo(0);
    // No more background will come: the writer mixes silence from here on
    // instead of waiting for it.
    if (grabber) BackgroundEnded = 1;
}

void CPlayerGraph::OnPlayerGraphEvent() {
    Guard guard(this);
    long code;
    LONG_PTR p1, p2;
    while (mediaEvents && mediaEvents->GetEvent(&code, &p1, &p2, 0) == S_OK) {
        mediaEvents->FreeEventParams(code, p1, p2);
        if (code == EC_BACKGROUND_BUFFER) {
            if (notifyWindow) PostMessageA(notifyWindow, MM_WIM_DATA, 0, static_cast<LPARAM>(p2));
        } else if (code == EC_COMPLETE && mediaControl) {
            HandleComplete();
        }
    }
}
