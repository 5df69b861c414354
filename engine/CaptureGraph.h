// The capture graph: the chosen audio capture device ("Audio Capture"),
// and per recording the capture grabber ("WAV Trans") and a renderer
// behind it. The grabber's "block full" events become MM_WIM_DATA
// messages (wParam 1) for the notify window.
#pragma once

#include <windows.h>
#include <dshow.h>
#include <mmsystem.h>

#include <string>
#include <vector>

#include "engine/CaptureGrabber.h"
#include "engine/ComRef.h"
#include "engine/RecordingLines.h"

// Graph events reach the notify window as this message.
constexpr UINT WM_GRAPHNOTIFY = WM_APP + 1;

// The capture devices by name, each entry owning its own moniker (two
// devices may share a name). The placeholder entry has none. When a list
// box is given it shows the same names at the same indexes (it must not
// sort).
class CaptureDeviceList {
public:
    explicit CaptureDeviceList(HWND listBox = nullptr) : listBox(listBox) {}
    ~CaptureDeviceList() { Clear(); }
    CaptureDeviceList(const CaptureDeviceList&) = delete;
    CaptureDeviceList& operator=(const CaptureDeviceList&) = delete;

    void Clear();
    // Adds a name and its moniker (a reference is taken; may be null).
    int Add(const char* name, IMoniker* moniker);
    int Count() const { return static_cast<int>(entries_.size()); }
    // "" and null outside the list.
    const char* Name(int index) const;
    IMoniker* Moniker(int index) const;

    HWND listBox = nullptr;

private:
    struct Entry {
        std::string name;
        IMoniker* moniker;
    };
    std::vector<Entry> entries_;
};

// The input pins (recording lines) of the selected device, by name.
class PinNameList {
public:
    explicit PinNameList(HWND listBox = nullptr) : listBox(listBox) {}
    void Clear();
    void Add(const char* name);
    int Count() const { return static_cast<int>(names_.size()); }
    const char* Name(int index) const;

    HWND listBox = nullptr;

private:
    std::vector<std::string> names_;
};

// Shown when the system offers no capture device at all.
extern const char NoCaptureDeviceName[];

// Fills the list from a device enumerator; without one (an empty category)
// adds the placeholder and returns 1.
HRESULT ListCaptureDevices(IEnumMoniker* enumerator, CaptureDeviceList* list);
// Enumerates the system's audio capture category into the list.
HRESULT FillCaptureDeviceList(CaptureDeviceList* list);
// The names of the filter's input pins; "<ERROR>" for a pin whose
// direction cannot be read, or once when the pins cannot be listed.
HRESULT ListDevicePins(IBaseFilter* filter, PinNameList* pins);

// The index-th pin of a direction (E_FAIL when there is none).
HRESULT FindGraphPin(IBaseFilter* filter, PIN_DIRECTION direction, int index, ComRef<IPin>* pin);

class CCaptureGraph {
public:
    CCaptureGraph() = default;
    ~CCaptureGraph() { ReleaseGraph(); }
    CCaptureGraph(const CCaptureGraph&) = delete;
    CCaptureGraph& operator=(const CCaptureGraph&) = delete;

    // Releases every DirectShow object and clears the current block; the
    // notify window and the lists stay.
    void Init();
    HRESULT CreateGraph();
    void ReleaseGraph();
    // Puts the device of a list entry into a fresh graph and lists its
    // input pins. E_INVALIDARG (nothing changes) for an index outside the
    // list or an entry without a device.
    HRESULT SelectDevice(int index, CaptureDeviceList* devices, PinNameList* pins);
    // Replaces the device while keeping the rest of the chain running.
    HRESULT OpenDevice(int index, CaptureDeviceList* devices, PinNameList* pins, int channels,
                       int bits, int rate);
    // Buffers and format of the device's output pins; fails when the
    // device refuses the format.
    HRESULT SetCaptureFormat(int channels, int bits, int rate, DWORD blockSize);
    HRESULT ConnectCaptureChain();
    void RemoveCaptureChain();
    // Releases the device list's monikers, empties both lists, removes the
    // chain and releases the graph.
    void Shutdown();
    // The main window's WM_GRAPHNOTIFY.
    void OnCaptureGraphEvent(UINT message, WPARAM wParam, LPARAM lParam);

    // Used by the engine's start and stop.
    bool HasDevice() const { return static_cast<bool>(deviceFilter); }
    // The device has an output to record from.
    bool HasCaptureOutput();
    HRESULT RunGraph();
    void StopGraph();
    // Stop of a recording: stops the graph and removes the chain.
    void StopCaptureGraph();
    void SetGrabberSampleWidth(bool bits16);
    void SetGrabberMode(BYTE mode);
    void QueueGraphBuffer(WAVEHDR* header);
    // True unless the device's output is connected with a PCM format other
    // than the one asked for.
    bool ConnectedFormatMatches(const WAVEFORMATEX& format);
    // Block events and MM_WIM_DATA messages still queued from a stopped
    // recording must not reach the next one.
    void DiscardStaleBlocks();

    HWND notifyWindow = nullptr;
    CaptureDeviceList* deviceList = nullptr;
    PinNameList* pinList = nullptr;
    ComRef<IGraphBuilder> graph;
    ComRef<IMediaControl> mediaControl;
    ComRef<IMediaEventEx> mediaEvents;
    ComRef<ICaptureGraphBuilder2> captureBuilder;
    ComRef<IBaseFilter> deviceFilter;
    ComRef<IBaseFilter> rendererFilter;
    ComRef<IBaseFilter> grabberFilter;
    ComRef<ICaptureWavTrans> grabber;
    WAVEHDR* currentBlock = nullptr;

private:
    HRESULT AddDevice(IMoniker* moniker, PinNameList* pins);
    HRESULT ConnectRenderer(bool nullRenderer);
    void HandleDeviceLost(bool deviceBack);
};

// The capture graph of the main window (null until it sets one up).
extern CCaptureGraph* CaptureGraph;

