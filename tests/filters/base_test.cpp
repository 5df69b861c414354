// The DirectShow base layer: the media type owner, the enumerators, and
// filters of ours connected and streamed in Wine's real filter graph.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "TestFilters.h"
#include "filters/base/MediaType.h"
#include "filters/base/TransformFilter.h"

using filterbase::MediaType;
using testfilters::CollectSink;
using testfilters::Graph;
using testfilters::RampSource;

namespace {

class Com : public ::testing::Test {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    void TearDown() override { CoUninitialize(); }
};

std::vector<BYTE> Ramp16(long long frames, int channels) {
    std::vector<BYTE> out;
    for (long long f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c) {
            short s = static_cast<short>(testfilters::RampValue(f, c, channels, 16));
            out.push_back(static_cast<BYTE>(s & 0xFF));
            out.push_back(static_cast<BYTE>((s >> 8) & 0xFF));
        }
    return out;
}

// Adds one to every 16-bit sample: proves the transform ran on the data.
class PlusOne : public filterbase::TransformFilter {
public:
    PlusOne() : TransformFilter(GUID_NULL) {}
    HRESULT CheckInputType(const AM_MEDIA_TYPE& mt) override {
        return MediaType::IsPcm(mt) && MediaType::WaveOf(mt)->wBitsPerSample == 16 ? S_OK : S_FALSE;
    }
    HRESULT Transform(IMediaSample* in, IMediaSample* out) override {
        HRESULT hr = TransformFilter::Transform(in, out);
        BYTE* p = nullptr;
        out->GetPointer(&p);
        short* s = reinterpret_cast<short*>(p);
        for (long i = 0; i < out->GetActualDataLength() / 2; ++i) ++s[i];
        return hr;
    }
};

}  // namespace

TEST(MediaTypeHolder, CopiesOwnAndCompare) {
    MediaType pcm = MediaType::Pcm(2, 44100, 16);
    ASSERT_NE(nullptr, pcm.Wave());
    EXPECT_EQ(4, pcm.Wave()->nBlockAlign);
    EXPECT_EQ(176400u, pcm.Wave()->nAvgBytesPerSec);
    EXPECT_TRUE(MediaType::IsPcm(pcm.Get()));

    // Copies own their format block.
    MediaType copy = pcm;
    EXPECT_NE(pcm->pbFormat, copy->pbFormat);
    EXPECT_EQ(0, memcmp(pcm->pbFormat, copy->pbFormat, pcm->cbFormat));
    copy = copy;
    EXPECT_TRUE(MediaType::IsPcm(copy.Get()));
    MediaType other = MediaType::Pcm(1, 8000, 8);
    other = pcm;
    EXPECT_EQ(2, other.Wave()->nChannels);

    AM_MEDIA_TYPE* handed = pcm.CreateCopy();
    ASSERT_NE(nullptr, handed);
    EXPECT_NE(pcm->pbFormat, handed->pbFormat);
    MediaType::Delete(handed);

    AM_MEDIA_TYPE out = {};
    ASSERT_EQ(S_OK, pcm.CopyTo(&out));
    MediaType::FreeFields(&out);
    EXPECT_EQ(nullptr, out.pbFormat);

    pcm.Clear();
    EXPECT_TRUE(pcm.Empty());
    EXPECT_EQ(nullptr, pcm.Wave());

    // Shapes that are not PCM as the filters take it.
    struct Case {
        WORD channels, bits, blockAlign;
        bool pcm;
    } cases[] = {{1, 8, 1, true}, {2, 16, 4, true}, {2, 24, 6, false}, {2, 16, 2, false}, {0, 16, 0, false}};
    for (const Case& c : cases) {
        MediaType t = MediaType::Pcm(c.channels, 22050, c.bits);
        const_cast<WAVEFORMATEX*>(t.Wave())->nBlockAlign = c.blockAlign;
        EXPECT_EQ(c.pcm, MediaType::IsPcm(t.Get())) << c.channels << "/" << c.bits;
    }

    // Partial types match on what they name.
    MediaType full = MediaType::Pcm(2, 44100, 16);
    AM_MEDIA_TYPE partial = {};
    EXPECT_TRUE(MediaType::MatchesPartial(full.Get(), partial));
    partial.majortype = MEDIATYPE_Audio;
    EXPECT_TRUE(MediaType::MatchesPartial(full.Get(), partial));
    partial.subtype = MEDIASUBTYPE_IEEE_FLOAT;
    EXPECT_FALSE(MediaType::MatchesPartial(full.Get(), partial));
    EXPECT_FALSE(MediaType::IsComplete(partial));
    MediaType mono = MediaType::Pcm(1, 44100, 16);
    EXPECT_FALSE(MediaType::MatchesPartial(full.Get(), mono.Get()));
    EXPECT_TRUE(MediaType::MatchesPartial(full.Get(), full.Get()));
}

TEST_F(Com, EnumeratorsWalkPinsAndTypes) {
    auto* source = new RampSource(2, 44100, 16, 100, {100}, 0);
    auto* sink = new CollectSink();

    IEnumPins* pins = nullptr;
    ASSERT_EQ(S_OK, source->EnumPins(&pins));
    IPin* got[2] = {};
    ULONG fetched = 9;
    EXPECT_EQ(S_FALSE, pins->Next(2, got, &fetched));
    ASSERT_EQ(1u, fetched);
    PIN_DIRECTION dir;
    got[0]->QueryDirection(&dir);
    EXPECT_EQ(PINDIR_OUTPUT, dir);
    LPWSTR id = nullptr;
    ASSERT_EQ(S_OK, got[0]->QueryId(&id));
    EXPECT_STREQ(L"Output", id);
    CoTaskMemFree(id);
    IPin* byName = nullptr;
    ASSERT_EQ(S_OK, source->FindPin(L"Output", &byName));
    EXPECT_EQ(got[0], byName);
    byName->Release();
    EXPECT_EQ(VFW_E_NOT_FOUND, source->FindPin(L"Nope", &byName));

    EXPECT_EQ(S_FALSE, pins->Skip(1));
    IEnumPins* clone = nullptr;
    ASSERT_EQ(S_OK, pins->Clone(&clone));
    EXPECT_EQ(S_FALSE, clone->Next(1, got + 1, nullptr));
    clone->Reset();
    ASSERT_EQ(S_OK, clone->Next(1, got + 1, nullptr));
    EXPECT_EQ(got[0], got[1]);
    got[1]->Release();
    clone->Release();
    pins->Release();

    // The source pin offers its one PCM type; the open sink none.
    IEnumMediaTypes* types = nullptr;
    ASSERT_EQ(S_OK, got[0]->EnumMediaTypes(&types));
    AM_MEDIA_TYPE* mt[2] = {};
    EXPECT_EQ(S_FALSE, types->Next(2, mt, &fetched));
    ASSERT_EQ(1u, fetched);
    EXPECT_TRUE(MediaType::IsPcm(*mt[0]));
    EXPECT_EQ(S_OK, got[0]->QueryAccept(mt[0]));
    MediaType::Delete(mt[0]);
    types->Reset();
    EXPECT_EQ(S_OK, types->Skip(1));
    EXPECT_EQ(S_FALSE, types->Skip(1));
    types->Release();
    got[0]->Release();

    IPin* in = testfilters::FindPin(sink, PINDIR_INPUT, 0);
    ASSERT_NE(nullptr, in);
    ASSERT_EQ(S_OK, in->EnumMediaTypes(&types));
    EXPECT_EQ(S_FALSE, types->Next(1, mt, &fetched));
    EXPECT_EQ(0u, fetched);
    types->Release();
    IPin* peer = in;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, in->ConnectedTo(&peer));
    EXPECT_EQ(nullptr, peer);
    in->Release();

    source->Release();
    sink->Release();
}

TEST_F(Com, OwnSourceToOwnRendererStreamsInWineGraph) {
    Graph g;
    ASSERT_NE(nullptr, g.builder);
    const long long frames = 44100;
    auto* source = new RampSource(2, 44100, 16, frames, {1000, 441, 2205, 3}, 8);
    auto* sink = new CollectSink();
    ASSERT_EQ(S_OK, g.Add(source, L"Ramp"));
    ASSERT_EQ(S_OK, g.Add(sink, L"Collect"));
    ASSERT_EQ(S_OK, g.Connect(source, sink));

    IPin* out = testfilters::FindPin(source, PINDIR_OUTPUT, 0);
    AM_MEDIA_TYPE mt = {};
    ASSERT_EQ(S_OK, out->ConnectionMediaType(&mt));
    EXPECT_TRUE(MediaType::IsPcm(mt));
    EXPECT_EQ(44100u, MediaType::WaveOf(mt)->nSamplesPerSec);
    MediaType::FreeFields(&mt);

    // Two runs: a stopped graph streams again from the start.
    for (int run = 0; run < 2; ++run) {
        long long before = static_cast<long long>(sink->Bytes().size());
        ASSERT_EQ(before, run * frames * 4);
        ASSERT_TRUE(SUCCEEDED(g.control->Run()));
        long code = 0;
        LONG_PTR p1, p2;
        bool complete = false;
        while (!complete && g.NextEvent(10000, &code, &p1, &p2)) complete = code == EC_COMPLETE;
        EXPECT_TRUE(complete) << "run " << run;
        EXPECT_EQ(VFW_E_NOT_STOPPED, out->Disconnect());
        ASSERT_EQ(S_OK, g.control->Stop());
        EXPECT_TRUE(sink->EndOfStreamSeen());
    }
    std::vector<BYTE> ramp = Ramp16(frames, 2);
    std::vector<BYTE> twice = ramp;
    twice.insert(twice.end(), ramp.begin(), ramp.end());
    EXPECT_TRUE(sink->Bytes() == twice);
    EXPECT_EQ(S_OK, g.builder->Disconnect(out));
    EXPECT_EQ(S_FALSE, out->Disconnect());
    out->Release();
    source->Release();
    sink->Release();
}

TEST_F(Com, TypesTheReceiverRefusesDoNotConnect) {
    Graph g;
    MediaType only = MediaType::Pcm(1, 8000, 8);
    auto* source = new RampSource(2, 44100, 16, 100, {100}, 0);
    auto* sink = new CollectSink(only.Get());
    g.Add(source, L"Ramp");
    g.Add(sink, L"Collect");
    EXPECT_TRUE(FAILED(g.Connect(source, sink)));
    IPin* out = testfilters::FindPin(source, PINDIR_OUTPUT, 0);
    IPin* peer = nullptr;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, out->ConnectedTo(&peer));
    out->Release();
    source->Release();
    sink->Release();
}

TEST_F(Com, TransformFilterFollowsInputTypeAndTransformsEverySample) {
    Graph g;
    const long long frames = 22050;
    auto* source = new RampSource(1, 22050, 16, frames, {777, 1024}, 8);
    auto* plus = new PlusOne();
    auto* sink = new CollectSink();
    g.Add(source, L"Ramp");
    g.Add(plus, L"Plus");
    g.Add(sink, L"Collect");
    // The output has no type before the input is connected.
    EXPECT_TRUE(FAILED(g.Connect(plus, sink)));
    ASSERT_EQ(S_OK, g.Connect(source, plus));
    ASSERT_EQ(S_OK, g.Connect(plus, sink));
    const WAVEFORMATEX* wf = sink->Type().Wave();
    ASSERT_NE(nullptr, wf);
    EXPECT_EQ(22050u, wf->nSamplesPerSec);
    EXPECT_EQ(1, wf->nChannels);

    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    long code = 0;
    LONG_PTR p1, p2;
    bool complete = false;
    while (!complete && g.NextEvent(10000, &code, &p1, &p2)) complete = code == EC_COMPLETE;
    EXPECT_TRUE(complete);
    g.control->Stop();

    std::vector<BYTE> got = sink->Bytes();
    ASSERT_EQ(static_cast<size_t>(frames * 2), got.size());
    for (long long f = 0; f < frames; ++f) {
        short s;
        memcpy(&s, &got[f * 2], 2);
        ASSERT_EQ(static_cast<short>(testfilters::RampValue(f, 0, 1, 16) + 1), s) << "frame " << f;
    }
    source->Release();
    plus->Release();
    sink->Release();
}
