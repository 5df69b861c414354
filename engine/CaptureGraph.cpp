#include "engine/CaptureGraph.h"

#include <cstdio>
#include <cstring>

#include "engine/EngineState.h"

// The null renderer's identifier is in the platform's GUID library but not
// in its headers.
extern "C" const CLSID CLSID_NullRenderer;

CCaptureGraph* CaptureGraph = nullptr;
const char NoCaptureDeviceName[] = "No Audio Capture Device";

namespace {

void Trace(const char* format, HRESULT hr) {
    char text[200];
    snprintf(text, sizeof text, format, static_cast<unsigned>(hr));
    OutputDebugStringA(text);
}

std::string Narrow(const WCHAR* text) {
    if (!text) return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

HRESULT AddNamedFilter(IGraphBuilder* graph, IBaseFilter* filter, const WCHAR* name) {
    return graph ? graph->AddFilter(filter, name) : E_POINTER;
}

void RemoveFilter(IGraphBuilder* graph, ComRef<IBaseFilter>* filter) {
    if (graph && *filter) graph->RemoveFilter(filter->Get());
    filter->Reset();
}

}  // namespace

// ---- lists ----

void CaptureDeviceList::Clear() {
    for (Entry& e : entries_) {
        if (e.moniker) e.moniker->Release();
    }
    entries_.clear();
    if (listBox) SendMessageA(listBox, LB_RESETCONTENT, 0, 0);
}

int CaptureDeviceList::Add(const char* name, IMoniker* moniker) {
    if (moniker) moniker->AddRef();
    entries_.push_back(Entry{name ? name : "", moniker});
    if (listBox) SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name ? name : ""));
    return Count() - 1;
}

const char* CaptureDeviceList::Name(int index) const {
    return index >= 0 && index < Count() ? entries_[static_cast<size_t>(index)].name.c_str() : "";
}

IMoniker* CaptureDeviceList::Moniker(int index) const {
    return index >= 0 && index < Count() ? entries_[static_cast<size_t>(index)].moniker : nullptr;
}

void PinNameList::Clear() {
    names_.clear();
    if (listBox) SendMessageA(listBox, LB_RESETCONTENT, 0, 0);
}

void PinNameList::Add(const char* name) {
    names_.emplace_back(name ? name : "");
    if (listBox) SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name ? name : ""));
}

const char* PinNameList::Name(int index) const {
    return index >= 0 && index < Count() ? names_[static_cast<size_t>(index)].c_str() : "";
}

HRESULT ListCaptureDevices(IEnumMoniker* enumerator, CaptureDeviceList* list) {
    if (!list) return E_POINTER;
    if (!enumerator) {
        list->Add(NoCaptureDeviceName, nullptr);
        return 1;
    }
    ComRef<IMoniker> moniker;
    while (enumerator->Next(1, moniker.Out(), nullptr) == S_OK) {
        ComRef<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.OutVoid())))
            continue;
        VARIANT name;
        VariantInit(&name);
        if (SUCCEEDED(bag->Read(L"FriendlyName", &name, nullptr)) && name.vt == VT_BSTR) {
            // Each entry keeps its own device, even under a name already
            // listed.
            list->Add(Narrow(name.bstrVal).c_str(), moniker.Get());
        }
        VariantClear(&name);
    }
    return S_OK;
}

HRESULT FillCaptureDeviceList(CaptureDeviceList* list) {
    if (!list) return E_POINTER;
    list->Clear();
    ComRef<ICreateDevEnum> devices;
    HRESULT hr = CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_ICreateDevEnum, devices.OutVoid());
    ComRef<IEnumMoniker> enumerator;
    if (SUCCEEDED(hr)) {
        // S_FALSE and no enumerator: the category is empty.
        devices->CreateClassEnumerator(CLSID_AudioInputDeviceCategory, enumerator.Out(), 0);
    }
    return ListCaptureDevices(enumerator.Get(), list);
}

HRESULT ListDevicePins(IBaseFilter* filter, PinNameList* pins) {
    if (!pins) return E_POINTER;
    pins->Clear();
    if (!filter) return E_POINTER;
    ComRef<IEnumPins> e;
    HRESULT hr = filter->EnumPins(e.Out());
    if (FAILED(hr) || !e) {
        pins->Add("<ERROR>");
        return FAILED(hr) ? hr : E_FAIL;
    }
    ComRef<IPin> pin;
    while (e->Next(1, pin.Out(), nullptr) == S_OK) {
        PIN_DIRECTION direction;
        if (FAILED(pin->QueryDirection(&direction))) {
            pins->Add("<ERROR>");
            continue;
        }
        if (direction != PINDIR_INPUT) continue;
        PIN_INFO info = {};
        if (FAILED(pin->QueryPinInfo(&info))) {
            pins->Add("<ERROR>");
            continue;
        }
        if (info.pFilter) info.pFilter->Release();
        pins->Add(Narrow(info.achName).c_str());
    }
    return S_OK;
}

HRESULT FindGraphPin(IBaseFilter* filter, PIN_DIRECTION direction, int index, ComRef<IPin>* pin) {
    if (!filter || !pin) return E_POINTER;
    ComRef<IEnumPins> e;
    HRESULT hr = filter->EnumPins(e.Out());
    if (FAILED(hr) || !e) return FAILED(hr) ? hr : E_FAIL;
    ComRef<IPin> candidate;
    int seen = 0;
    while (e->Next(1, candidate.Out(), nullptr) == S_OK) {
        PIN_DIRECTION d;
        if (FAILED(candidate->QueryDirection(&d)) || d != direction) continue;
        if (seen++ == index) {
            *pin = candidate;
            return S_OK;
        }
    }
    return E_FAIL;
}

// ---- graph ----

void CCaptureGraph::Init() {
    // Releasing first: a graph re-created over live pointers would leak
    // every interface and the old notify registration.
    ReleaseGraph();
}

HRESULT CCaptureGraph::CreateGraph() {
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IGraphBuilder, graph.OutVoid());
    if (FAILED(hr)) return E_NOINTERFACE;
    hr = CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                          IID_ICaptureGraphBuilder2, captureBuilder.OutVoid());
    if (FAILED(hr)) {
        graph.Reset();
        return E_NOINTERFACE;
    }
    captureBuilder->SetFiltergraph(graph.Get());
    hr = graph.As(IID_IMediaControl, &mediaControl);
    if (FAILED(hr)) {
        Trace("FAILED(0x%x) hr = m_pGB->QueryInterface(IID_IMediaControl, (void **)&m_pMC)\n", hr);
        return hr;
    }
    hr = graph.As(IID_IMediaEventEx, &mediaEvents);
    if (FAILED(hr)) {
        Trace("FAILED(0x%x) hr = m_pGB->QueryInterface(IID_IMediaEventEx, (void **)&m_pME)\n", hr);
        return hr;
    }
    if (notifyWindow)
        mediaEvents->SetNotifyWindow(reinterpret_cast<OAHWND>(notifyWindow), WM_GRAPHNOTIFY, 0);
    return S_OK;
}

void CCaptureGraph::ReleaseGraph() {
    if (mediaEvents) mediaEvents->SetNotifyWindow(0, 0, 0);
    if (mediaControl) mediaControl->Stop();
    currentBlock = nullptr;
    grabber.Reset();
    RemoveFilter(graph.Get(), &grabberFilter);
    RemoveFilter(graph.Get(), &rendererFilter);
    RemoveFilter(graph.Get(), &deviceFilter);
    mediaEvents.Reset();
    mediaControl.Reset();
    captureBuilder.Reset();
    graph.Reset();
}

HRESULT CCaptureGraph::AddDevice(IMoniker* moniker, PinNameList* pins) {
    if (pins) pinList = pins;
    // The old device's lines must not stay listed for a device that failed.
    if (pinList) pinList->Clear();
    ComRef<IBaseFilter> filter;
    HRESULT hr = moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.OutVoid());
    if (FAILED(hr)) return hr;
    hr = AddNamedFilter(graph.Get(), filter.Get(), L"Audio Capture");
    if (FAILED(hr)) return hr;
    deviceFilter = filter;
    if (pinList) ListDevicePins(deviceFilter.Get(), pinList);
    return S_OK;
}

HRESULT CCaptureGraph::SelectDevice(int index, CaptureDeviceList* devices, PinNameList* pins) {
    if (devices) deviceList = devices;
    IMoniker* moniker = deviceList ? deviceList->Moniker(index) : nullptr;
    // The placeholder and indexes from old settings name no device.
    if (!moniker) return E_INVALIDARG;
    // The graph goes: a recording on the old device ends with its file.
    StopCapture();
    if (deviceFilter || !graph) {
        ReleaseGraph();
        HRESULT hr = CreateGraph();
        if (FAILED(hr)) return hr;
    }
    return AddDevice(moniker, pins);
}

HRESULT CCaptureGraph::OpenDevice(int index, CaptureDeviceList* devices, PinNameList* pins,
                                  int channels, int bits, int rate) {
    if (devices) deviceList = devices;
    IMoniker* moniker = deviceList ? deviceList->Moniker(index) : nullptr;
    if (!moniker) return E_INVALIDARG;
    if (!graph) {
        HRESULT hr = CreateGraph();
        if (FAILED(hr)) return hr;
    }
    StopGraph();
    // Reconnect only what was connected: while idle the device feeds
    // nothing.
    ComRef<IPin> fed;
    if (deviceFilter) {
        ComRef<IPin> out;
        if (SUCCEEDED(FindGraphPin(deviceFilter.Get(), PINDIR_OUTPUT, 0, &out))) {
            if (SUCCEEDED(out->ConnectedTo(fed.Out())) && fed) {
                graph->Disconnect(fed.Get());
                graph->Disconnect(out.Get());
            }
        }
        RemoveFilter(graph.Get(), &deviceFilter);
    }
    ComRef<IBaseFilter> filter;
    HRESULT hr = moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.OutVoid());
    if (FAILED(hr)) return hr;
    deviceFilter = filter;
    // Set before the filter joins the graph and before any connection.
    SetCaptureFormat(channels, bits, rate, RecordingSession.CaptureBlockSize);
    hr = AddNamedFilter(graph.Get(), deviceFilter.Get(), L"Audio Capture");
    if (FAILED(hr)) {
        deviceFilter.Reset();
        return hr;
    }
    if (pins) pinList = pins;
    ListDevicePins(deviceFilter.Get(), pinList);
    if (!fed) return S_OK;
    ComRef<IPin> out;
    hr = FindGraphPin(deviceFilter.Get(), PINDIR_OUTPUT, 0, &out);
    if (SUCCEEDED(hr)) hr = graph->ConnectDirect(out.Get(), fed.Get(), nullptr);
    if (SUCCEEDED(hr)) hr = RunGraph();
    return hr;
}

HRESULT CCaptureGraph::SetCaptureFormat(int channels, int bits, int rate, DWORD blockSize) {
    if (!deviceFilter) return E_POINTER;
    const int bytesPerSample = bits == 8 ? 1 : 2;
    HRESULT first = S_OK;
    for (int index = 0; index < 2; ++index) {
        ComRef<IPin> pin;
        if (FAILED(FindGraphPin(deviceFilter.Get(), PINDIR_OUTPUT, index, &pin))) break;
        // Before any recording the block size is not known yet.
        ComRef<IAMBufferNegotiation> negotiation;
        if (blockSize && SUCCEEDED(pin.As(IID_IAMBufferNegotiation, &negotiation))) {
            ALLOCATOR_PROPERTIES props = {};
            props.cBuffers = 6;
            props.cbBuffer = static_cast<long>(blockSize);
            props.cbAlign = channels * bytesPerSample;
            props.cbPrefix = 0;
            negotiation->SuggestAllocatorProperties(&props);
        }
        HRESULT hr = E_NOINTERFACE;
        ComRef<IAMStreamConfig> config;
        if (SUCCEEDED(pin.As(IID_IAMStreamConfig, &config))) {
            MediaTypePtr mt;
            hr = config->GetFormat(mt.Out());
            // Only a PCM format block can be rewritten in place.
            if (SUCCEEDED(hr) && (!mt.Get() || mt->formattype != FORMAT_WaveFormatEx ||
                                  mt->cbFormat < sizeof(WAVEFORMATEX) || !mt->pbFormat))
                hr = E_FAIL;
            if (SUCCEEDED(hr)) {
                auto* wf = reinterpret_cast<WAVEFORMATEX*>(mt->pbFormat);
                wf->wFormatTag = WAVE_FORMAT_PCM;
                wf->nChannels = static_cast<WORD>(channels);
                wf->nSamplesPerSec = static_cast<DWORD>(rate);
                wf->wBitsPerSample = static_cast<WORD>(bytesPerSample * 8);
                wf->nBlockAlign = static_cast<WORD>(channels * bytesPerSample);
                wf->nAvgBytesPerSec = static_cast<DWORD>(rate) * wf->nBlockAlign;
                hr = config->SetFormat(mt.Get());
            }
        }
        // The recording depends on the first output; a second one is at
        // most a preview.
        if (index == 0) first = hr;
    }
    return first;
}

HRESULT CCaptureGraph::ConnectRenderer(bool nullRenderer) {
    const CLSID& clsid = nullRenderer ? CLSID_NullRenderer : CLSID_AudioRender;
    ComRef<IBaseFilter> renderer;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                  renderer.OutVoid());
    if (FAILED(hr)) return hr;
    hr = AddNamedFilter(graph.Get(), renderer.Get(),
                        nullRenderer ? L"Null Audio Render" : L"Audio Renderer");
    if (FAILED(hr)) return hr;
    rendererFilter = renderer;
    ComRef<IPin> out, in;
    hr = FindGraphPin(grabberFilter.Get(), PINDIR_OUTPUT, 0, &out);
    if (SUCCEEDED(hr)) hr = FindGraphPin(rendererFilter.Get(), PINDIR_INPUT, 0, &in);
    if (SUCCEEDED(hr)) hr = graph->ConnectDirect(out.Get(), in.Get(), nullptr);
    if (FAILED(hr)) RemoveFilter(graph.Get(), &rendererFilter);
    return hr;
}

HRESULT CCaptureGraph::ConnectCaptureChain() {
    if (!graph || !deviceFilter) return E_POINTER;
    if (grabberFilter) return S_OK;
    ComRef<IBaseFilter> filter;
    HRESULT hr = CoCreateInstance(CLSID_CaptureWavTrans, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IBaseFilter, filter.OutVoid());
    if (FAILED(hr)) return E_NOINTERFACE;
    ComRef<ICaptureWavTrans> api;
    if (FAILED(filter.As(IID_ICaptureWavTrans, &api))) return E_NOINTERFACE;
    hr = AddNamedFilter(graph.Get(), filter.Get(), L"WAV Trans");
    if (FAILED(hr)) return hr;
    grabberFilter = filter;
    grabber = api;

    ComRef<IPin> out, in;
    hr = FindGraphPin(deviceFilter.Get(), PINDIR_OUTPUT, 0, &out);
    if (SUCCEEDED(hr)) hr = FindGraphPin(grabberFilter.Get(), PINDIR_INPUT, 0, &in);
    if (SUCCEEDED(hr)) hr = graph->ConnectDirect(out.Get(), in.Get(), nullptr);
    if (FAILED(hr)) return hr;
    // Capture must not depend on a playback device being present.
    if (FAILED(ConnectRenderer(false))) hr = ConnectRenderer(true);
    return hr;
}

void CCaptureGraph::RemoveCaptureChain() {
    currentBlock = nullptr;
    grabber.Reset();
    RemoveFilter(graph.Get(), &rendererFilter);
    RemoveFilter(graph.Get(), &grabberFilter);
}

void CCaptureGraph::Shutdown() {
    if (deviceList) deviceList->Clear();
    if (pinList) pinList->Clear();
    RemoveCaptureChain();
    ReleaseGraph();
}

bool CCaptureGraph::HasCaptureOutput() {
    ComRef<IPin> out;
    return deviceFilter && SUCCEEDED(FindGraphPin(deviceFilter.Get(), PINDIR_OUTPUT, 0, &out));
}

HRESULT CCaptureGraph::RunGraph() {
    if (!mediaControl) return E_POINTER;
    return mediaControl->Run();
}

void CCaptureGraph::StopGraph() {
    if (!mediaControl) return;
    mediaControl->StopWhenReady();
    // Filters can only leave a stopped graph; should StopWhenReady have
    // answered without stopping, Stop makes sure (a no-op otherwise).
    mediaControl->Stop();
}

void CCaptureGraph::StopCaptureGraph() {
    StopGraph();
    RemoveCaptureChain();
}

void CCaptureGraph::SetGrabberSampleWidth(bool bits16) {
    if (grabber) grabber->SetSampleWidth(bits16 ? 1 : 0);
}

void CCaptureGraph::SetGrabberMode(BYTE mode) {
    // Outside a recording there is no grabber; the mode goes in at the
    // next start.
    if (grabber) grabber->SetMode(mode);
}

void CCaptureGraph::QueueGraphBuffer(WAVEHDR* header) {
    if (!grabber || !header) return;
    currentBlock = header;
    grabber->QueueBuffer(header, sizeof(WAVEHDR));
}

bool CCaptureGraph::ConnectedFormatMatches(const WAVEFORMATEX& format) {
    ComRef<IPin> out;
    if (!deviceFilter || FAILED(FindGraphPin(deviceFilter.Get(), PINDIR_OUTPUT, 0, &out)))
        return true;
    AM_MEDIA_TYPE mt = {};
    if (FAILED(out->ConnectionMediaType(&mt))) return true;
    bool match = true;
    if (mt.formattype == FORMAT_WaveFormatEx && mt.pbFormat && mt.cbFormat >= sizeof(WAVEFORMATEX)) {
        const auto* wf = reinterpret_cast<const WAVEFORMATEX*>(mt.pbFormat);
        match = wf->nChannels == format.nChannels && wf->nSamplesPerSec == format.nSamplesPerSec &&
                wf->wBitsPerSample == format.wBitsPerSample;
    }
    MediaTypePtr::FreeFields(&mt);
    return match;
}

void CCaptureGraph::DiscardStaleBlocks() {
    bool lost = false, back = false;
    if (mediaEvents) {
        long code;
        LONG_PTR p1, p2;
        while (mediaEvents->GetEvent(&code, &p1, &p2, 0) == S_OK) {
            if (code == EC_DEVICE_LOST) {
                lost = true;
                back = p2 != 0;
            }
            mediaEvents->FreeEventParams(code, p1, p2);
        }
    }
    if (notifyWindow) {
        // Only the capture blocks are stale; the player's blocks (wParam 0)
        // are handed on in their order.
        std::vector<MSG> keep;
        MSG msg;
        while (PeekMessageA(&msg, notifyWindow, MM_WIM_DATA, MM_WIM_DATA, PM_REMOVE)) {
            if (msg.wParam != 1) keep.push_back(msg);
        }
        for (const MSG& m : keep) PostMessageA(m.hwnd, m.message, m.wParam, m.lParam);
    }
    if (lost) HandleDeviceLost(back);
}

void CCaptureGraph::HandleDeviceLost(bool deviceBack) {
    // What was recorded so far ends as a complete file.
    StopCapture();
    if (deviceBack) {
        Init();
        CreateGraph();
    } else {
        Shutdown();
    }
}

void CCaptureGraph::OnCaptureGraphEvent(UINT message, WPARAM, LPARAM) {
    if (message != WM_GRAPHNOTIFY || !mediaEvents) return;
    long code;
    LONG_PTR p1, p2;
    while (mediaEvents && mediaEvents->GetEvent(&code, &p1, &p2, 0) == S_OK) {
        mediaEvents->FreeEventParams(code, p1, p2);
        if (code == EC_CAPTURE_BUFFER) {
            if (currentBlock && notifyWindow)
                PostMessageA(notifyWindow, MM_WIM_DATA, 1, reinterpret_cast<LPARAM>(currentBlock));
        } else if (code == EC_DEVICE_LOST) {
            // The graph goes away here: no further event may be read from it.
            HandleDeviceLost(p2 != 0);
            return;
        }
    }
}
