// The background chain of the player: the graph look-ups it needs, the
// tee in front of the audio renderer, and the converter, grabber and null
// renderer behind it.
#include "engine/PlayerGraph.h"

#include <cstring>

// The null renderer's identifier is in the platform's GUID library but not
// in its headers.
extern "C" const CLSID CLSID_NullRenderer;

namespace {

bool PinConnected(IPin* pin) {
    ComRef<IPin> peer;
    return pin && SUCCEEDED(pin->ConnectedTo(peer.Out())) && peer;
}

AM_MEDIA_TYPE PcmMediaType(WAVEFORMATEX* wf, WORD channels, int32_t rate, WORD bits) {
    memset(wf, 0, sizeof *wf);
    wf->wFormatTag = WAVE_FORMAT_PCM;
    wf->nChannels = channels;
    wf->nSamplesPerSec = static_cast<DWORD>(rate);
    wf->wBitsPerSample = bits;
    wf->nBlockAlign = static_cast<WORD>(channels * bits / 8);
    wf->nAvgBytesPerSec = static_cast<DWORD>(rate) * wf->nBlockAlign;
    AM_MEDIA_TYPE mt = {};
    mt.majortype = MEDIATYPE_Audio;
    mt.subtype = MEDIASUBTYPE_PCM;
    mt.bFixedSizeSamples = TRUE;
    mt.lSampleSize = wf->nBlockAlign;
    mt.formattype = FORMAT_WaveFormatEx;
    mt.cbFormat = sizeof *wf;
    mt.pbFormat = reinterpret_cast<BYTE*>(wf);
    return mt;
}

bool ConnectedAs(IPin* pin, const WAVEFORMATEX& want) {
    AM_MEDIA_TYPE mt = {};
    if (FAILED(pin->ConnectionMediaType(&mt))) return false;
    bool same = false;
    if (mt.formattype == FORMAT_WaveFormatEx && mt.pbFormat && mt.cbFormat >= sizeof(WAVEFORMATEX)) {
        const auto* wf = reinterpret_cast<const WAVEFORMATEX*>(mt.pbFormat);
        same = wf->nChannels == want.nChannels && wf->nSamplesPerSec == want.nSamplesPerSec &&
               wf->wBitsPerSample == want.wBitsPerSample &&
               (wf->wFormatTag == WAVE_FORMAT_PCM || wf->wFormatTag == 0xFFFE /* extensible */);
    }
    MediaTypePtr::FreeFields(&mt);
    return same;
}

}  // namespace

// ---- graph look-ups ----

HRESULT FindPin(IBaseFilter* filter, PIN_DIRECTION direction, int index, ComRef<IPin>* pin) {
    return FindGraphPin(filter, direction, index, pin);
}

HRESULT FindUnconnectedPin(IBaseFilter* filter, PIN_DIRECTION direction, ComRef<IPin>* pin) {
    if (!filter || !pin) return E_POINTER;
    for (int i = 0;; ++i) {
        ComRef<IPin> candidate;
        if (FAILED(FindPin(filter, direction, i, &candidate))) return E_FAIL;
        if (!PinConnected(candidate.Get())) {
            *pin = candidate;
            return S_OK;
        }
    }
}

HRESULT FindAudioRenderer(IGraphBuilder* graph, ComRef<IBaseFilter>* renderer) {
    if (!graph || !renderer) return E_POINTER;
    ComRef<IEnumFilters> filters;
    HRESULT hr = graph->EnumFilters(filters.Out());
    if (FAILED(hr) || !filters) return FAILED(hr) ? hr : E_FAIL;
    ComRef<IBaseFilter> filter;
    while (filters->Next(1, filter.Out(), nullptr) == S_OK) {
        ComRef<IEnumPins> pins;
        if (FAILED(filter->EnumPins(pins.Out())) || !pins) continue;
        ComRef<IPin> pin, extra;
        if (pins->Next(1, pin.Out(), nullptr) != S_OK) continue;
        if (pins->Next(1, extra.Out(), nullptr) == S_OK) continue;
        PIN_DIRECTION direction;
        if (FAILED(pin->QueryDirection(&direction)) || direction != PINDIR_INPUT) continue;
        AM_MEDIA_TYPE mt = {};
        if (FAILED(pin->ConnectionMediaType(&mt))) continue;
        const bool audio = mt.majortype == MEDIATYPE_Audio;
        MediaTypePtr::FreeFields(&mt);
        if (audio) {
            *renderer = filter;
            return S_OK;
        }
    }
    return E_FAIL;
}

HRESULT FindPcmResampler(ComRef<IBaseFilter>* resampler) {
    if (!resampler) return E_POINTER;
    ComRef<ICreateDevEnum> devices;
    HRESULT hr = CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_ICreateDevEnum, devices.OutVoid());
    if (FAILED(hr)) return hr;
    ComRef<IEnumMoniker> monikers;
    hr = devices->CreateClassEnumerator(CLSID_AudioCompressorCategory, monikers.Out(), 0);
    // S_FALSE and no enumerator: the category is empty.
    if (hr != S_OK || !monikers) return E_FAIL;
    ComRef<IMoniker> moniker;
    while (monikers->Next(1, moniker.Out(), nullptr) == S_OK) {
        ComRef<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.OutVoid())))
            continue;
        VARIANT name;
        VariantInit(&name);
        const bool pcm = SUCCEEDED(bag->Read(L"FriendlyName", &name, nullptr)) &&
                         name.vt == VT_BSTR && name.bstrVal && wcscmp(name.bstrVal, L"PCM") == 0;
        VariantClear(&name);
        if (pcm) return moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, resampler->OutVoid());
    }
    return E_FAIL;
}

// ---- the background chain ----

HRESULT CPlayerGraph::InsertTee(IBaseFilter* renderer) {
    ComRef<IPin> rendererIn, upstream, teeIn;
    HRESULT hr = FindPin(renderer, PINDIR_INPUT, 0, &rendererIn);
    if (SUCCEEDED(hr)) hr = rendererIn->ConnectedTo(upstream.Out());
    if (SUCCEEDED(hr)) hr = FindPin(teeFilter.Get(), PINDIR_INPUT, 0, &teeIn);
    if (FAILED(hr)) return hr;

    ComRef<IGraphConfig> config;
    if (SUCCEEDED(graph.As(IID_IGraphConfig, &config))) {
        hr = config->Reconnect(upstream.Get(), rendererIn.Get(), nullptr, teeFilter.Get(), nullptr,
                               AM_GRAPH_CONFIG_RECONNECT_DIRECTCONNECT);
        if (SUCCEEDED(hr) && PinConnected(teeIn.Get()) && PinConnected(rendererIn.Get())) return S_OK;
    }
    // Without a working Reconnect (some systems do not implement it) the
    // graph is stopped here anyway: take the renderer off and connect it
    // again through the tee.
    graph->Disconnect(upstream.Get());
    graph->Disconnect(rendererIn.Get());
    if (PinConnected(teeIn.Get())) {
        ComRef<IPin> peer;
        teeIn->ConnectedTo(peer.Out());
        graph->Disconnect(peer.Get());
        graph->Disconnect(teeIn.Get());
    }
    hr = graph->ConnectDirect(upstream.Get(), teeIn.Get(), nullptr);
    ComRef<IPin> teeOut;
    if (SUCCEEDED(hr)) hr = FindUnconnectedPin(teeFilter.Get(), PINDIR_OUTPUT, &teeOut);
    if (SUCCEEDED(hr)) hr = graph->ConnectDirect(teeOut.Get(), rendererIn.Get(), nullptr);
    if (FAILED(hr)) {
        // Leave the file playable as it was.
        graph->Disconnect(upstream.Get());
        graph->Disconnect(teeIn.Get());
        if (teeOut) graph->Disconnect(teeOut.Get());
        graph->Disconnect(rendererIn.Get());
        graph->ConnectDirect(upstream.Get(), rendererIn.Get(), nullptr);
    }
    return hr;
}

HRESULT CPlayerGraph::BuildBackgroundGraph() {
    Guard guard(this);
    if (!graph) return E_POINTER;
    ComRef<IBaseFilter> renderer;
    HRESULT hr = FindAudioRenderer(graph.Get(), &renderer);
    if (FAILED(hr)) return hr;

    hr = CoCreateInstance(CLSID_InfTee, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                          teeFilter.OutVoid());
    if (FAILED(hr)) return hr;
    hr = graph->AddFilter(teeFilter.Get(), L"Smart Tee");
    if (SUCCEEDED(hr)) hr = InsertTee(renderer.Get());
    if (FAILED(hr)) return hr;

    ComRef<IBaseFilter> filter;
    ComRef<IBackgroundWavTrans> api;
    if (FAILED(CoCreateInstance(CLSID_BackgroundWavTrans, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IBaseFilter, filter.OutVoid())) ||
        FAILED(filter.As(IID_IBackgroundWavTrans, &api)))
        return E_NOINTERFACE;
    hr = graph->AddFilter(filter.Get(), L"WAV Trans");
    if (FAILED(hr)) return hr;
    grabberFilter = filter;

    hr = FindPcmResampler(&resamplerFilter);
    if (SUCCEEDED(hr)) hr = graph->AddFilter(resamplerFilter.Get(), L"PCM resample");
    if (FAILED(hr)) {
        resamplerFilter.Reset();
        return hr;
    }

    ComRef<IPin> teeOut, resamplerIn, resamplerOut, grabberIn, grabberOut, nullIn;
    hr = FindUnconnectedPin(teeFilter.Get(), PINDIR_OUTPUT, &teeOut);
    if (SUCCEEDED(hr)) hr = FindPin(resamplerFilter.Get(), PINDIR_INPUT, 0, &resamplerIn);
    if (SUCCEEDED(hr)) hr = graph->Connect(teeOut.Get(), resamplerIn.Get());
    if (FAILED(hr)) return hr;

    // The converter's output format is set before its output connects, or
    // the grabber would get the converter's own choice of format.
    WAVEFORMATEX wf;
    AM_MEDIA_TYPE mt = PcmMediaType(&wf, backgroundChannels, backgroundRate, backgroundBits);
    hr = FindPin(resamplerFilter.Get(), PINDIR_OUTPUT, 0, &resamplerOut);
    if (FAILED(hr)) return hr;
    ComRef<IAMStreamConfig> config;
    if (SUCCEEDED(resamplerOut.As(IID_IAMStreamConfig, &config))) {
        hr = config->SetFormat(&mt);
        if (FAILED(hr)) return hr;
    }
    hr = FindPin(grabberFilter.Get(), PINDIR_INPUT, 0, &grabberIn);
    if (SUCCEEDED(hr)) hr = graph->ConnectDirect(resamplerOut.Get(), grabberIn.Get(), &mt);
    if (FAILED(hr)) return hr;
    if (!ConnectedAs(grabberIn.Get(), wf)) return VFW_E_TYPE_NOT_ACCEPTED;

    hr = CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                          nullRenderer.OutVoid());
    if (SUCCEEDED(hr)) hr = graph->AddFilter(nullRenderer.Get(), L"Null Audio Render");
    if (SUCCEEDED(hr)) hr = FindPin(grabberFilter.Get(), PINDIR_OUTPUT, 0, &grabberOut);
    if (SUCCEEDED(hr)) hr = FindPin(nullRenderer.Get(), PINDIR_INPUT, 0, &nullIn);
    if (SUCCEEDED(hr)) hr = graph->Connect(grabberOut.Get(), nullIn.Get());
    if (FAILED(hr)) return hr;

    grabber = api;
    // The mode was chosen before this grabber existed.
    grabber->SetMode(grabberMode_);
    return S_OK;
}
