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
using testfilters::FindPin;
using testfilters::Graph;
using testfilters::Own;
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
    auto source = Own(new RampSource(2, 44100, 16, 100, {100}, 0));
    auto sink = Own(new CollectSink());

    ComPtr<IEnumPins> pins;
    ASSERT_EQ(S_OK, source->EnumPins(pins.GetAddressOf()));
    IPin* got[2] = {};
    ULONG fetched = 9;
    EXPECT_EQ(S_FALSE, pins->Next(2, got, &fetched));
    ASSERT_EQ(1u, fetched);
    auto first = Own(got[0]);
    PIN_DIRECTION dir;
    first->QueryDirection(&dir);
    EXPECT_EQ(PINDIR_OUTPUT, dir);
    LPWSTR id = nullptr;
    ASSERT_EQ(S_OK, first->QueryId(&id));
    EXPECT_STREQ(L"Output", id);
    CoTaskMemFree(id);
    ComPtr<IPin> byName;
    ASSERT_EQ(S_OK, source->FindPin(L"Output", byName.GetAddressOf()));
    EXPECT_EQ(first.Get(), byName.Get());
    EXPECT_EQ(VFW_E_NOT_FOUND, source->FindPin(L"Nope", byName.GetAddressOf()));

    EXPECT_EQ(S_FALSE, pins->Skip(1));
    ComPtr<IEnumPins> clone;
    ASSERT_EQ(S_OK, pins->Clone(clone.GetAddressOf()));
    ComPtr<IPin> again;
    EXPECT_EQ(S_FALSE, clone->Next(1, again.GetAddressOf(), nullptr));
    clone->Reset();
    ASSERT_EQ(S_OK, clone->Next(1, again.GetAddressOf(), nullptr));
    EXPECT_EQ(first.Get(), again.Get());

    // The source pin offers its one PCM type; the open sink none.
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(S_OK, first->EnumMediaTypes(types.GetAddressOf()));
    AM_MEDIA_TYPE* mt[2] = {};
    EXPECT_EQ(S_FALSE, types->Next(2, mt, &fetched));
    ASSERT_EQ(1u, fetched);
    EXPECT_TRUE(MediaType::IsPcm(*mt[0]));
    EXPECT_EQ(S_OK, first->QueryAccept(mt[0]));
    MediaType::Delete(mt[0]);
    types->Reset();
    EXPECT_EQ(S_OK, types->Skip(1));
    EXPECT_EQ(S_FALSE, types->Skip(1));

    ComPtr<IPin> in = FindPin(sink.Get(), PINDIR_INPUT, 0);
    ASSERT_TRUE(in);
    ASSERT_EQ(S_OK, in->EnumMediaTypes(types.GetAddressOf()));
    EXPECT_EQ(S_FALSE, types->Next(1, mt, &fetched));
    EXPECT_EQ(0u, fetched);
    IPin* peer = in.Get();
    EXPECT_EQ(VFW_E_NOT_CONNECTED, in->ConnectedTo(&peer));
    EXPECT_EQ(nullptr, peer);
}

TEST_F(Com, OwnSourceToOwnRendererStreamsInWineGraph) {
    Graph g;
    ASSERT_TRUE(g.builder);
    const long long frames = 44100;
    auto source = Own(new RampSource(2, 44100, 16, frames, {1000, 441, 2205, 3}, 8));
    auto sink = Own(new CollectSink());
    ASSERT_EQ(S_OK, g.Add(source.Get(), L"Ramp"));
    ASSERT_EQ(S_OK, g.Add(sink.Get(), L"Collect"));
    ASSERT_EQ(S_OK, g.Connect(source.Get(), sink.Get()));

    ComPtr<IPin> out = FindPin(source.Get(), PINDIR_OUTPUT, 0);
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
    EXPECT_EQ(S_OK, g.builder->Disconnect(out.Get()));
    EXPECT_EQ(S_FALSE, out->Disconnect());
}

TEST_F(Com, TypesTheReceiverRefusesDoNotConnect) {
    Graph g;
    MediaType only = MediaType::Pcm(1, 8000, 8);
    auto source = Own(new RampSource(2, 44100, 16, 100, {100}, 0));
    auto sink = Own(new CollectSink(only.Get()));
    g.Add(source.Get(), L"Ramp");
    g.Add(sink.Get(), L"Collect");
    EXPECT_TRUE(FAILED(g.Connect(source.Get(), sink.Get())));
    ComPtr<IPin> out = FindPin(source.Get(), PINDIR_OUTPUT, 0);
    ComPtr<IPin> peer;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, out->ConnectedTo(peer.GetAddressOf()));
}

TEST_F(Com, TransformFilterFollowsInputTypeAndTransformsEverySample) {
    Graph g;
    const long long frames = 22050;
    auto source = Own(new RampSource(1, 22050, 16, frames, {777, 1024}, 8));
    auto plus = Own(new PlusOne());
    auto sink = Own(new CollectSink());
    g.Add(source.Get(), L"Ramp");
    g.Add(plus.Get(), L"Plus");
    g.Add(sink.Get(), L"Collect");
    // The output has no type before the input is connected.
    EXPECT_TRUE(FAILED(g.Connect(plus.Get(), sink.Get())));
    ASSERT_EQ(S_OK, g.Connect(source.Get(), plus.Get()));
    ASSERT_EQ(S_OK, g.Connect(plus.Get(), sink.Get()));
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
}
