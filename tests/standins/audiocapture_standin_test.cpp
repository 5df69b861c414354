// The capture device stand-in as the system's device enumerator hands it
// out: what its pins offer, and what it streams into a plain sink filter
// when the bench plays a tone into the recorded sink.
#include <windows.h>
#include <dshow.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "bench.h"
#include "engine/ComRef.h"
#include "filters/base/BaseFilter.h"
#include "filters/base/InputPin.h"

namespace {

// Collects what reaches its input: bytes, sample sizes and times.
class SinkFilter : public filterbase::BaseFilter {
public:
    SinkFilter() : BaseFilter(GUID_NULL), pin_(this) {}
    int PinCount() override { return 1; }
    filterbase::BasePin* PinAt(int index) override { return index == 0 ? &pin_ : nullptr; }

    struct Block {
        long bytes;
        REFERENCE_TIME start, stop;
    };
    std::vector<Block> Blocks() {
        filterbase::Lock lock(dataLock_);
        return blocks_;
    }
    std::vector<BYTE> Data() {
        filterbase::Lock lock(dataLock_);
        return data_;
    }

private:
    class Pin : public filterbase::InputPin {
    public:
        explicit Pin(SinkFilter* owner) : InputPin(owner, L"In"), owner_(owner) {}
        HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override {
            return filterbase::MediaType::IsPcm(mt) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
        }
        HRESULT OnReceive(IMediaSample* sample) override {
            BYTE* p = nullptr;
            sample->GetPointer(&p);
            const long n = sample->GetActualDataLength();
            Block b = {n, -1, -1};
            sample->GetTime(&b.start, &b.stop);
            filterbase::Lock lock(owner_->dataLock_);
            owner_->blocks_.push_back(b);
            owner_->data_.insert(owner_->data_.end(), p, p + n);
            return S_OK;
        }

    private:
        SinkFilter* owner_;
    };
    ~SinkFilter() override = default;

    Pin pin_;
    filterbase::CriticalSection dataLock_;
    std::vector<Block> blocks_;
    std::vector<BYTE> data_;
};

std::string Narrow(const WCHAR* w) {
    char text[256] = {};
    WideCharToMultiByte(CP_ACP, 0, w, -1, text, sizeof text - 1, nullptr, nullptr);
    return text;
}

struct Device {
    std::string name;
    ComRef<IMoniker> moniker;
};

std::vector<Device> CaptureDevices() {
    std::vector<Device> out;
    ComRef<ICreateDevEnum> devices;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                IID_ICreateDevEnum, devices.OutVoid())))
        return out;
    ComRef<IEnumMoniker> e;
    if (devices->CreateClassEnumerator(CLSID_AudioInputDeviceCategory, e.Out(), 0) != S_OK)
        return out;
    ComRef<IMoniker> m;
    while (e->Next(1, m.Out(), nullptr) == S_OK) {
        ComRef<IPropertyBag> bag;
        if (FAILED(m->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.OutVoid()))) continue;
        VARIANT v;
        VariantInit(&v);
        if (SUCCEEDED(bag->Read(L"FriendlyName", &v, nullptr)) && v.vt == VT_BSTR)
            out.push_back(Device{Narrow(v.bstrVal), m});
        VariantClear(&v);
    }
    return out;
}

std::vector<ComRef<IPin>> Pins(IBaseFilter* filter, PIN_DIRECTION want) {
    std::vector<ComRef<IPin>> out;
    ComRef<IEnumPins> e;
    if (FAILED(filter->EnumPins(e.Out()))) return out;
    ComRef<IPin> pin;
    while (e->Next(1, pin.Out(), nullptr) == S_OK) {
        PIN_DIRECTION d;
        if (SUCCEEDED(pin->QueryDirection(&d)) && d == want) out.push_back(pin);
    }
    return out;
}

std::string PinName(IPin* pin) {
    PIN_INFO info = {};
    pin->QueryPinInfo(&info);
    if (info.pFilter) info.pFilter->Release();
    return Narrow(info.achName);
}

AM_MEDIA_TYPE PcmType(WAVEFORMATEX* wf, WORD channels, DWORD rate, WORD bits) {
    *wf = WAVEFORMATEX{WAVE_FORMAT_PCM, channels, rate, rate * channels * bits / 8,
                       static_cast<WORD>(channels * bits / 8), bits, 0};
    AM_MEDIA_TYPE mt = {};
    mt.majortype = MEDIATYPE_Audio;
    mt.subtype = MEDIASUBTYPE_PCM;
    mt.formattype = FORMAT_WaveFormatEx;
    mt.cbFormat = sizeof *wf;
    mt.pbFormat = reinterpret_cast<BYTE*>(wf);
    return mt;
}

class CaptureStandin : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        devices_ = CaptureDevices();
        ASSERT_FALSE(devices_.empty());
    }
    void TearDown() override {
        devices_.clear();
        CoUninitialize();
    }
    std::vector<Device> devices_;
};

TEST_F(CaptureStandin, EveryDeviceBindsWithItsOwnLineFirst) {
    const UINT waveIns = waveInGetNumDevs();
    // The category may also hold devices other test processes saw; the
    // ones of this process are all there.
    std::vector<std::string> mine;
    for (UINT id = 0; id < waveIns; ++id) {
        WAVEINCAPSA caps = {};
        ASSERT_EQ(MMSYSERR_NOERROR, waveInGetDevCapsA(id, &caps, sizeof caps));
        mine.push_back(caps.szPname);
    }
    size_t bound = 0;
    for (Device& d : devices_) {
        SCOPED_TRACE(d.name);
        if (std::find(mine.begin(), mine.end(), d.name) == mine.end()) continue;
        ++bound;
        ComRef<IBaseFilter> filter;
        ASSERT_EQ(S_OK, d.moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.OutVoid()));
        CLSID clsid = {};
        filter->GetClassID(&clsid);
        EXPECT_TRUE(IsEqualCLSID(CLSID_AudioRecord, clsid));

        auto outputs = Pins(filter.Get(), PINDIR_OUTPUT);
        ASSERT_EQ(1u, outputs.size());
        EXPECT_EQ("Capture", PinName(outputs[0].Get()));
        ComRef<IAMStreamConfig> config;
        ComRef<IAMBufferNegotiation> buffers;
        EXPECT_EQ(S_OK, outputs[0].As(IID_IAMStreamConfig, &config));
        EXPECT_EQ(S_OK, outputs[0].As(IID_IAMBufferNegotiation, &buffers));

        auto lines = Pins(filter.Get(), PINDIR_INPUT);
        ASSERT_EQ(waveIns, lines.size());
        EXPECT_EQ(d.name, PinName(lines[0].Get()));
        for (size_t i = 0; i < lines.size(); ++i) {
            ComRef<IAMAudioInputMixer> mixer;
            ASSERT_EQ(S_OK, lines[i].As(IID_IAMAudioInputMixer, &mixer));
            BOOL on = FALSE;
            double level = 0, pan = 1;
            EXPECT_EQ(S_OK, mixer->get_Enable(&on));
            EXPECT_EQ(i == 0, on != FALSE);
            EXPECT_EQ(S_OK, mixer->get_MixLevel(&level));
            EXPECT_EQ(1.0, level);
            EXPECT_EQ(S_OK, mixer->get_Pan(&pan));
            EXPECT_EQ(0.0, pan);
        }
        // One line records at a time; switching it off returns to the first.
        ComRef<IAMAudioInputMixer> last, first;
        lines.back().As(IID_IAMAudioInputMixer, &last);
        lines.front().As(IID_IAMAudioInputMixer, &first);
        BOOL on = FALSE;
        EXPECT_EQ(S_OK, last->put_Enable(TRUE));
        first->get_Enable(&on);
        EXPECT_EQ(lines.size() == 1, on != FALSE);
        EXPECT_EQ(S_OK, last->put_Enable(FALSE));
        first->get_Enable(&on);
        EXPECT_TRUE(on);
    }
    EXPECT_EQ(waveIns, bound);
}

TEST_F(CaptureStandin, FormatAndBuffersAsAskedAndTheToneStreamsInOrder) {
    ASSERT_TRUE(bench::HaveSound());
    const std::string want = bench::Env("BENCH_REC_DEVICE");
    Device* rec = nullptr;
    for (Device& d : devices_)
        if (d.name.find(want) != std::string::npos) rec = &d;
    ASSERT_NE(nullptr, rec);

    ComRef<IGraphBuilder> graph;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IGraphBuilder, graph.OutVoid()));
    ComRef<IBaseFilter> device;
    ASSERT_EQ(S_OK, rec->moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, device.OutVoid()));
    ASSERT_EQ(S_OK, graph->AddFilter(device.Get(), L"Audio Capture"));
    auto sink = new SinkFilter();
    ComRef<IBaseFilter> sinkRef;
    sinkRef.Attach(sink);
    ASSERT_EQ(S_OK, graph->AddFilter(sink, L"Sink"));

    ComRef<IPin> out = Pins(device.Get(), PINDIR_OUTPUT)[0];
    ComRef<IAMStreamConfig> config;
    ComRef<IAMBufferNegotiation> buffers;
    ASSERT_EQ(S_OK, out.As(IID_IAMStreamConfig, &config));
    ASSERT_EQ(S_OK, out.As(IID_IAMBufferNegotiation, &buffers));

    WAVEFORMATEX wf;
    AM_MEDIA_TYPE bad = PcmType(&wf, 3, 22050, 16);
    EXPECT_EQ(VFW_E_INVALIDMEDIATYPE, config->SetFormat(&bad));
    bad = PcmType(&wf, 1, 22050, 24);
    EXPECT_EQ(VFW_E_INVALIDMEDIATYPE, config->SetFormat(&bad));
    AM_MEDIA_TYPE mt = PcmType(&wf, 1, 22050, 16);
    ASSERT_EQ(S_OK, config->SetFormat(&mt));
    AM_MEDIA_TYPE* got = nullptr;
    ASSERT_EQ(S_OK, config->GetFormat(&got));
    const auto* gwf = reinterpret_cast<const WAVEFORMATEX*>(got->pbFormat);
    EXPECT_EQ(1, gwf->nChannels);
    EXPECT_EQ(22050u, gwf->nSamplesPerSec);
    EXPECT_EQ(2, gwf->nBlockAlign);
    CoTaskMemFree(got->pbFormat);
    CoTaskMemFree(got);

    // 100 ms blocks, six of them, as the engine asks.
    ALLOCATOR_PROPERTIES ask = {6, 4410, 2, 0};
    ASSERT_EQ(S_OK, buffers->SuggestAllocatorProperties(&ask));
    ASSERT_EQ(S_OK, graph->ConnectDirect(out.Get(), Pins(sink, PINDIR_INPUT)[0].Get(), nullptr));
    ALLOCATOR_PROPERTIES agreed = {};
    ASSERT_EQ(S_OK, buffers->GetAllocatorProperties(&agreed));
    EXPECT_EQ(6, agreed.cBuffers);
    EXPECT_EQ(4410, agreed.cbBuffer);
    EXPECT_EQ(VFW_E_ALREADY_CONNECTED, buffers->SuggestAllocatorProperties(&ask));
    AM_MEDIA_TYPE other = PcmType(&wf, 2, 44100, 16);
    EXPECT_EQ(VFW_E_ALREADY_CONNECTED, config->SetFormat(&other));

    auto tone = bench::PlayTone(1000, 20, 0.5);
    bench::Pump(500);
    ComRef<IMediaControl> control;
    ASSERT_EQ(S_OK, graph.As(IID_IMediaControl, &control));
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    bench::Pump(3000);
    EXPECT_EQ(VFW_E_NOT_STOPPED, config->SetFormat(&mt));
    control->Stop();

    auto blocks = sink->Blocks();
    ASSERT_GT(blocks.size(), 20u);
    // Whole blocks as agreed, back to back in stream time from about the
    // moment the first one was captured.
    EXPECT_GE(blocks[0].start, 0);
    EXPECT_LT(blocks[0].start, 10000000);
    for (size_t i = 0; i < blocks.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(4410, blocks[i].bytes);
        EXPECT_EQ(blocks[0].start + static_cast<REFERENCE_TIME>(i) * 1000000, blocks[i].start);
        EXPECT_EQ(blocks[i].start + 1000000, blocks[i].stop);
    }
    EXPECT_NEAR(3.0, blocks.size() / 10.0, 0.5);
    bench::Wav wav;
    wav.channels = 1;
    wav.rate = 22050;
    wav.bits = 16;
    auto data = sink->Data();
    for (size_t i = 0; i + 1 < data.size(); i += 2)
        wav.samples.push_back(static_cast<short>(data[i] | data[i + 1] << 8));
    EXPECT_GT(bench::ToneLevel(wav, 0, 1000, 11025), 0.3);
    EXPECT_LT(bench::ToneLevel(wav, 0, 1500, 11025), 0.02);

    graph->RemoveFilter(sink);
    graph->RemoveFilter(device.Get());
}

}  // namespace
