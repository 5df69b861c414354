// The infinite pin tee and "PCM" converter stand-ins: the conversion on its
// own, then both filters as registered classes in Wine's filter graph, and
// the background chain the player builds (tee, converter, grabber).
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "TestFilters.h"
#include "bench.h"
#include "engine/BackgroundGrabber.h"
#include "filters/base/MediaType.h"
#include "standins/graphfilters/PcmConvert.h"

extern "C" const CLSID CLSID_NullRenderer;
// The system WAVE file parser.
static const CLSID kWaveParser = {0xd51bd5a1, 0x7548, 0x11cf, {0xa5, 0x20, 0x00, 0x80, 0xc7, 0x7e, 0xf5, 0x8a}};

using filterbase::MediaType;
using filterbase::OutVoid;
using testfilters::CollectSink;
using testfilters::Create;
using testfilters::FindPin;
using testfilters::Graph;
using testfilters::Own;
using testfilters::RampSource;

namespace {

std::vector<BYTE> Ramp(long long frames, int channels, int bits) {
    std::vector<BYTE> out;
    for (long long f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c) {
            int v = testfilters::RampValue(f, c, channels, bits);
            out.push_back(static_cast<BYTE>(v & 0xFF));
            if (bits == 16) out.push_back(static_cast<BYTE>((v >> 8) & 0xFF));
        }
    return out;
}

int Sample16(const std::vector<BYTE>& b, size_t index) {
    short s;
    memcpy(&s, &b[index * 2], 2);
    return s;
}

WAVEFORMATEX Wave(WORD ch, DWORD rate, WORD bits) { return *MediaType::Pcm(ch, rate, bits).Wave(); }

class Com : public ::testing::Test {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    void TearDown() override { CoUninitialize(); }

    // The converter as the player finds it: the audio compressor category
    // entry whose FriendlyName is "PCM".
    static ComPtr<IBaseFilter> FindPcmConverter() {
        ComPtr<ICreateDevEnum> devices;
        ComPtr<IEnumMoniker> monikers;
        ComPtr<IBaseFilter> found;
        if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_ICreateDevEnum, OutVoid(devices))) ||
            devices->CreateClassEnumerator(CLSID_AudioCompressorCategory, monikers.GetAddressOf(), 0) != S_OK)
            return found;
        ComPtr<IMoniker> m;
        while (!found && monikers->Next(1, m.GetAddressOf(), nullptr) == S_OK) {
            ComPtr<IPropertyBag> bag;
            if (FAILED(m->BindToStorage(nullptr, nullptr, IID_IPropertyBag, OutVoid(bag)))) continue;
            VARIANT name;
            VariantInit(&name);
            if (SUCCEEDED(bag->Read(L"FriendlyName", &name, nullptr)) && name.vt == VT_BSTR &&
                std::wstring(name.bstrVal) == L"PCM")
                m->BindToObject(nullptr, nullptr, IID_IBaseFilter, OutVoid(found));
            VariantClear(&name);
        }
        return found;
    }

    static ComPtr<IAMStreamConfig> StreamConfig(IBaseFilter* filter) {
        ComPtr<IAMStreamConfig> config;
        if (ComPtr<IPin> out = FindPin(filter, PINDIR_OUTPUT, 0))
            out->QueryInterface(IID_IAMStreamConfig, OutVoid(config));
        return config;
    }

    static bool RunToComplete(Graph& g) {
        if (FAILED(g.control->Run())) return false;
        long code;
        LONG_PTR p1, p2;
        while (g.NextEvent(15000, &code, &p1, &p2))
            if (code == EC_COMPLETE) return true;
        return false;
    }
};

}  // namespace

TEST(PcmConvert, ShapesRatesAndPiecesAgree) {
    // Equal shapes copy exactly, whatever the pieces.
    PcmConvert same;
    same.SetFormats(Wave(2, 44100, 16), Wave(2, 44100, 16));
    std::vector<BYTE> in = Ramp(1000, 2, 16), out;
    same.Convert(in.data(), 3, &out);  // a split frame waits for its rest
    same.Convert(in.data() + 3, in.size() - 3, &out);
    same.Drain(&out);
    EXPECT_TRUE(in == out);

    // A rate change keeps count over a long stream, pieces or not.
    PcmConvert whole, pieces;
    whole.SetFormats(Wave(1, 44100, 16), Wave(1, 48000, 16));
    pieces.SetFormats(Wave(1, 44100, 16), Wave(1, 48000, 16));
    std::vector<BYTE> second = Ramp(44100, 1, 16), a, b;
    whole.Convert(second.data(), second.size(), &a);
    whole.Drain(&a);
    for (size_t at = 0; at < second.size(); at += 1001)
        pieces.Convert(second.data() + at, std::min<size_t>(1001, second.size() - at), &b);
    pieces.Drain(&b);
    EXPECT_EQ(48000u * 2, a.size());
    EXPECT_TRUE(a == b);

    // Up-sampling interpolates between neighbours; 8-bit becomes 16-bit.
    PcmConvert up;
    up.SetFormats(Wave(1, 8000, 8), Wave(1, 16000, 16));
    std::vector<BYTE> bytes = {128, 129, 131}, got;  // 0, 256, 768 as 16-bit
    up.Convert(bytes.data(), bytes.size(), &got);
    up.Drain(&got);
    ASSERT_EQ(12u, got.size());
    int want[] = {0, 128, 256, 512, 768, 768};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(want[i], Sample16(got, i)) << i;

    // Stereo to mono averages; mono to stereo copies; 16-bit to 8-bit.
    PcmConvert down;
    down.SetFormats(Wave(2, 8000, 16), Wave(1, 8000, 8));
    std::vector<short> lr = {1000, 3000, -32768, -32768, 32767, 32767};
    std::vector<BYTE> m;
    down.Convert(reinterpret_cast<BYTE*>(lr.data()), lr.size() * 2, &m);
    EXPECT_EQ((std::vector<BYTE>{128 + 7, 0, 255}), m);
    PcmConvert wide;
    wide.SetFormats(Wave(1, 8000, 16), Wave(2, 8000, 16));
    std::vector<short> mono = {5, -7};
    std::vector<BYTE> st;
    wide.Convert(reinterpret_cast<BYTE*>(mono.data()), 4, &st);
    ASSERT_EQ(8u, st.size());
    EXPECT_EQ(5, Sample16(st, 0));
    EXPECT_EQ(5, Sample16(st, 1));
    EXPECT_EQ(-7, Sample16(st, 3));
}

TEST_F(Com, TeeFeedsEveryConnectedOutputAndKeepsOneFree) {
    Graph g;
    ComPtr<IBaseFilter> tee = Create(CLSID_InfTee);
    ASSERT_TRUE(tee) << "the tee stand-in is not registered in the prefix";
    const long long frames = 44100;
    auto source = Own(new RampSource(2, 44100, 16, frames, {1500, 4410}, 8));
    auto a = Own(new CollectSink());
    auto b = Own(new CollectSink());
    g.Add(source.Get(), L"Ramp");
    g.Add(tee.Get(), L"Smart Tee");
    g.Add(a.Get(), L"A");
    g.Add(b.Get(), L"B");
    // The output has nothing to offer before the input is connected.
    EXPECT_TRUE(FAILED(g.Connect(tee.Get(), a.Get())));
    ASSERT_EQ(S_OK, g.Connect(source.Get(), tee.Get()));
    ASSERT_EQ(S_OK, g.Connect(tee.Get(), a.Get(), nullptr, 0));
    ComPtr<IPin> free1 = FindPin(tee.Get(), PINDIR_OUTPUT, 1);
    ASSERT_TRUE(free1);
    ComPtr<IPin> peer;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, free1->ConnectedTo(peer.GetAddressOf()));
    ASSERT_EQ(S_OK, g.Connect(tee.Get(), b.Get(), nullptr, 1));
    EXPECT_TRUE(FindPin(tee.Get(), PINDIR_OUTPUT, 2));
    EXPECT_FALSE(FindPin(tee.Get(), PINDIR_OUTPUT, 3));

    ASSERT_TRUE(RunToComplete(g));
    g.control->Stop();
    std::vector<BYTE> want = Ramp(frames, 2, 16);
    EXPECT_TRUE(a->Bytes() == want);
    EXPECT_TRUE(b->Bytes() == want);
}

TEST_F(Com, TeeBranchesPrerollOnTheirOwnAndRunFromStopped) {
    // Each branch's renderer holds its first sample while paused; the run
    // from stopped must still bring every branch to its end.
    Graph g;
    ComPtr<IBaseFilter> tee = Create(CLSID_InfTee);
    ASSERT_TRUE(tee);
    const long long frames = 22050;
    auto source = Own(new RampSource(2, 22050, 16, frames, {2205}, 0));
    auto a = Own(CollectSink::Prerolling());
    auto b = Own(CollectSink::Prerolling());
    g.Add(source.Get(), L"Ramp");
    g.Add(tee.Get(), L"Smart Tee");
    g.Add(a.Get(), L"A");
    g.Add(b.Get(), L"B");
    ASSERT_EQ(S_OK, g.Connect(source.Get(), tee.Get()));
    ASSERT_EQ(S_OK, g.Connect(tee.Get(), a.Get(), nullptr, 0));
    ASSERT_EQ(S_OK, g.Connect(tee.Get(), b.Get(), nullptr, 1));
    ASSERT_TRUE(RunToComplete(g));
    g.control->Stop();
    std::vector<BYTE> want = Ramp(frames, 2, 16);
    EXPECT_TRUE(a->Bytes() == want);
    EXPECT_TRUE(b->Bytes() == want);
}

TEST_F(Com, PcmConverterTakesItsOutputFormatFromStreamConfig) {
    struct Case {
        WORD inCh;
        DWORD inRate;
        WORD inBits;
        WORD outCh;
        DWORD outRate;
        WORD outBits;
        long long frames;
        // Expected output sample i (of the output's interleaved samples).
        std::function<int(long long)> expect;
        long long outSamples;
    } cases[] = {
        // Stereo 44.1 kHz to mono 22.05 kHz: every second frame, L/R averaged.
        {2, 44100, 16, 1, 22050, 16, 13230, [](long long k) { return static_cast<int>(4 * k); }, 6615},
        // 16-bit to 8-bit at the same rate.
        {1, 8000, 16, 1, 8000, 8, 8000, [](long long f) { return static_cast<int>((f >> 8) + 128); }, 8000},
        // 8-bit mono 8 kHz to 16-bit stereo 16 kHz: interpolated, copied to both sides.
        {1, 8000, 8, 2, 16000, 16, 200,
         [](long long i) {
             long long frame = i / 2, f = frame / 2;
             int a = (static_cast<int>(f & 0xFF) - 128) * 256;
             return frame % 2 ? a + 128 : a;
         },
         2 * 2 * 200 - 4},  // the last frame's tail is checked by the unit test
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.inRate << "->" << c.outRate);
        Graph g;
        ComPtr<IBaseFilter> pcm = FindPcmConverter();
        ASSERT_TRUE(pcm) << "no \"PCM\" in the audio compressor category";
        auto source = Own(new RampSource(c.inCh, c.inRate, c.inBits, c.frames, {333, 1024}, 8));
        auto sink = Own(new CollectSink());
        g.Add(source.Get(), L"Ramp");
        g.Add(pcm.Get(), L"PCM resample");
        g.Add(sink.Get(), L"Collect");
        ASSERT_EQ(S_OK, g.Connect(source.Get(), pcm.Get()));

        ComPtr<IAMStreamConfig> config = StreamConfig(pcm.Get());
        ASSERT_TRUE(config);
        int count = 0, size = 0;
        EXPECT_EQ(S_OK, config->GetNumberOfCapabilities(&count, &size));
        EXPECT_EQ(1, count);
        MediaType video = MediaType::Pcm(c.outCh, c.outRate, c.outBits);
        const_cast<AM_MEDIA_TYPE&>(video.Get()).majortype = MEDIATYPE_Video;
        EXPECT_TRUE(FAILED(config->SetFormat(const_cast<AM_MEDIA_TYPE*>(&video.Get()))));
        MediaType wanted = MediaType::Pcm(c.outCh, c.outRate, c.outBits);
        ASSERT_EQ(S_OK, config->SetFormat(const_cast<AM_MEDIA_TYPE*>(&wanted.Get())));
        AM_MEDIA_TYPE* current = nullptr;
        ASSERT_EQ(S_OK, config->GetFormat(&current));
        EXPECT_EQ(c.outRate, MediaType::WaveOf(*current)->nSamplesPerSec);
        MediaType::Delete(current);
        ComPtr<IPin> out = FindPin(pcm.Get(), PINDIR_OUTPUT, 0);
        ComPtr<IPin> in = FindPin(sink.Get(), PINDIR_INPUT, 0);
        ASSERT_EQ(S_OK, g.builder->ConnectDirect(out.Get(), in.Get(), &wanted.Get()));
        const WAVEFORMATEX* got = sink->Type().Wave();
        ASSERT_NE(nullptr, got);
        EXPECT_EQ(c.outCh, got->nChannels);
        EXPECT_EQ(c.outRate, got->nSamplesPerSec);
        EXPECT_EQ(c.outBits, got->wBitsPerSample);

        // Asked again once connected, the same peer is reconnected in the new shape.
        MediaType other = MediaType::Pcm(c.outCh, c.outRate / 2, c.outBits);
        EXPECT_EQ(S_OK, config->SetFormat(const_cast<AM_MEDIA_TYPE*>(&other.Get())));
        EXPECT_EQ(c.outRate / 2, sink->Type().Wave()->nSamplesPerSec);
        ASSERT_EQ(S_OK, config->SetFormat(const_cast<AM_MEDIA_TYPE*>(&wanted.Get())));
        EXPECT_EQ(c.outRate, sink->Type().Wave()->nSamplesPerSec);

        ASSERT_TRUE(RunToComplete(g));
        g.control->Stop();
        std::vector<BYTE> bytes = sink->Bytes();
        long long samples = static_cast<long long>(bytes.size()) / (c.outBits / 8);
        EXPECT_GE(samples, c.outSamples);
        for (long long i = 0; i < c.outSamples && i < samples; ++i) {
            int v = c.outBits == 8 ? bytes[i] : Sample16(bytes, static_cast<size_t>(i));
            ASSERT_EQ(c.expect(i), v) << "sample " << i;
        }
    }
}

TEST_F(Com, BackgroundChainDeliversConvertedBlocks) {
    // As the player builds it: source, tee (one branch to a renderer), the
    // converter set to the recording's format, the background grabber and
    // the null renderer.
    Graph g;
    const long long frames = 44100;
    auto source = Own(new RampSource(2, 44100, 16, frames, {4410}, 4));
    auto heard = Own(new CollectSink());
    ComPtr<IBaseFilter> tee = Create(CLSID_InfTee);
    ComPtr<IBaseFilter> pcm = FindPcmConverter();
    ComPtr<IBaseFilter> grabber = Create(CLSID_BackgroundWavTrans);
    ComPtr<IBaseFilter> null = Create(CLSID_NullRenderer);
    ASSERT_TRUE(tee && pcm && grabber && null);
    g.Add(source.Get(), L"Ramp");
    g.Add(tee.Get(), L"Smart Tee");
    g.Add(heard.Get(), L"Audio Renderer");
    g.Add(pcm.Get(), L"PCM resample");
    g.Add(grabber.Get(), L"WAV Trans");
    g.Add(null.Get(), L"Null Audio Render");
    ASSERT_EQ(S_OK, g.Connect(source.Get(), tee.Get()));
    ASSERT_EQ(S_OK, g.Connect(tee.Get(), heard.Get(), nullptr, 0));
    ASSERT_EQ(S_OK, g.Connect(tee.Get(), pcm.Get(), nullptr, 1));
    MediaType wanted = MediaType::Pcm(1, 22050, 16);
    ASSERT_EQ(S_OK, StreamConfig(pcm.Get())->SetFormat(const_cast<AM_MEDIA_TYPE*>(&wanted.Get())));
    ASSERT_EQ(S_OK, g.Connect(pcm.Get(), grabber.Get(), &wanted.Get()));
    ASSERT_EQ(S_OK, g.Connect(grabber.Get(), null.Get()));

    ComPtr<IBackgroundWavTrans> api;
    ASSERT_EQ(S_OK, grabber->QueryInterface(IID_IBackgroundWavTrans, OutVoid(api)));
    std::vector<BYTE> blocks[3];
    WAVEHDR headers[3] = {};
    for (int i = 0; i < 3; ++i) {
        blocks[i].resize(4000);
        headers[i].lpData = reinterpret_cast<LPSTR>(blocks[i].data());
        headers[i].dwBufferLength = 4000;
    }
    int next = 0;
    api->QueueBuffer(&headers[0], sizeof(WAVEHDR));
    api->Reset();
    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    std::vector<BYTE> got;
    long code;
    LONG_PTR p1, p2;
    bool complete = false;
    while (g.NextEvent(complete ? 500 : 15000, &code, &p1, &p2)) {
        if (code == EC_COMPLETE) complete = true;
        if (code != EC_BACKGROUND_BUFFER) continue;
        auto* h = reinterpret_cast<WAVEHDR*>(p2);
        EXPECT_EQ(&headers[next], h);
        got.insert(got.end(), h->lpData, h->lpData + h->dwBytesRecorded);
        api->Reset();
        next = (next + 1) % 3;
        api->QueueBuffer(&headers[next], sizeof(WAVEHDR));
    }
    EXPECT_TRUE(complete);
    g.control->Stop();

    // Both branches got the whole stream: the heard one as it was, the
    // grabbed one at 22050 Hz mono (L/R averaged, every second frame).
    EXPECT_TRUE(heard->Bytes() == Ramp(frames, 2, 16));
    ASSERT_EQ(static_cast<size_t>(frames), got.size());
    for (long long k = 0; k < frames / 2; ++k) {
        int l = testfilters::RampValue(2 * k, 0, 2, 16), r = testfilters::RampValue(2 * k, 1, 2, 16);
        ASSERT_EQ((l + r) / 2, Sample16(got, static_cast<size_t>(k))) << "frame " << k;
    }
}

TEST_F(Com, SeekingPassesThroughTheChainToTheFileSource) {
    // A WAV file read by Wine's own source and parser, then the background
    // chain: the graph's seeking reaches the parser through the renderers.
    const int rate = 22050;
    std::vector<BYTE> pcm = Ramp(rate * 2, 2, 16);
    std::string path = bench::ScratchDir() + "\\ramp.wav";
    {
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, f);
        DWORD n = static_cast<DWORD>(pcm.size()), w = 0;
        WAVEFORMATEX wf = Wave(2, rate, 16);
        DWORD riff = 36 + n, fmt = 16;
        WriteFile(f, "RIFF", 4, &w, nullptr);
        WriteFile(f, &riff, 4, &w, nullptr);
        WriteFile(f, "WAVEfmt ", 8, &w, nullptr);
        WriteFile(f, &fmt, 4, &w, nullptr);
        WriteFile(f, &wf, 16, &w, nullptr);
        WriteFile(f, "data", 4, &w, nullptr);
        WriteFile(f, &n, 4, &w, nullptr);
        WriteFile(f, pcm.data(), n, &w, nullptr);
        CloseHandle(f);
    }
    Graph g;
    std::wstring wide(path.begin(), path.end());
    ComPtr<IBaseFilter> file;
    ASSERT_EQ(S_OK, g.builder->AddSourceFilter(wide.c_str(), L"Source", file.GetAddressOf()));
    ComPtr<IBaseFilter> parser = Create(kWaveParser);
    ComPtr<IBaseFilter> tee = Create(CLSID_InfTee);
    ComPtr<IBaseFilter> heard = Create(CLSID_NullRenderer);
    ComPtr<IBaseFilter> converter = FindPcmConverter();
    ComPtr<IBaseFilter> grabber = Create(CLSID_BackgroundWavTrans);
    ComPtr<IBaseFilter> null = Create(CLSID_NullRenderer);
    ASSERT_TRUE(parser && tee && heard && converter && grabber && null);
    g.Add(parser.Get(), L"Parser");
    g.Add(tee.Get(), L"Smart Tee");
    g.Add(heard.Get(), L"Audio Renderer");
    g.Add(converter.Get(), L"PCM resample");
    g.Add(grabber.Get(), L"WAV Trans");
    g.Add(null.Get(), L"Null Audio Render");
    ASSERT_EQ(S_OK, g.Connect(file.Get(), parser.Get()));
    ASSERT_EQ(S_OK, g.Connect(parser.Get(), tee.Get()));
    ASSERT_EQ(S_OK, g.Connect(tee.Get(), heard.Get(), nullptr, 0));
    ASSERT_EQ(S_OK, g.Connect(tee.Get(), converter.Get(), nullptr, 1));
    ASSERT_EQ(S_OK, g.Connect(converter.Get(), grabber.Get()));
    ASSERT_EQ(S_OK, g.Connect(grabber.Get(), null.Get()));

    // Only the tee's first output answers for seeking; in-line filters pass it on.
    ComPtr<IMediaSeeking> s;
    LONGLONG duration = 0;
    ASSERT_EQ(S_OK, FindPin(tee.Get(), PINDIR_OUTPUT, 0)->QueryInterface(IID_IMediaSeeking, OutVoid(s)));
    EXPECT_EQ(S_OK, s->GetDuration(&duration));
    EXPECT_EQ(20000000, duration);
    EXPECT_EQ(E_NOINTERFACE, FindPin(tee.Get(), PINDIR_OUTPUT, 1)->QueryInterface(IID_IMediaSeeking, OutVoid(s)));
    EXPECT_EQ(S_OK, FindPin(grabber.Get(), PINDIR_OUTPUT, 0)->QueryInterface(IID_IMediaSeeking, OutVoid(s)));

    ComPtr<IMediaSeeking> seeking;
    ASSERT_EQ(S_OK, g.builder->QueryInterface(IID_IMediaSeeking, OutVoid(seeking)));
    duration = 0;
    EXPECT_EQ(S_OK, seeking->GetDuration(&duration));
    EXPECT_EQ(20000000, duration);
    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    Sleep(300);
    LONGLONG start = 10000000;
    EXPECT_TRUE(SUCCEEDED(seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr,
                                                AM_SEEKING_NoPositioning)));
    long code;
    LONG_PTR p1, p2;
    bool complete = false;
    while (!complete && g.NextEvent(10000, &code, &p1, &p2)) complete = code == EC_COMPLETE;
    EXPECT_TRUE(complete);
    g.control->Stop();
}
