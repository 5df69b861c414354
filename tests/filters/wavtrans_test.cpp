// The "WAV Trans" grabbers: block filling on its own, then both filters as
// registered COM classes in Wine's filter graph fed by a known PCM ramp.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "TestFilters.h"
#include "engine/BackgroundGrabber.h"
#include "engine/CaptureGrabber.h"
#include "filters/BlockQueue.h"

extern "C" const CLSID CLSID_NullRenderer;

using filterbase::OutVoid;
using testfilters::CollectSink;
using testfilters::Create;
using testfilters::FindPin;
using testfilters::Graph;
using testfilters::Own;
using testfilters::RampSource;

namespace {

struct Block {
    std::vector<BYTE> data;
    WAVEHDR header = {};
    explicit Block(DWORD length) : data(length, 0xEE) {
        header.lpData = reinterpret_cast<LPSTR>(data.data());
        header.dwBufferLength = length;
    }
    std::vector<BYTE> Recorded() const { return {data.begin(), data.begin() + header.dwBytesRecorded}; }
};

std::vector<BYTE> Sequence(int from, int count) {
    std::vector<BYTE> v;
    for (int i = 0; i < count; ++i) v.push_back(static_cast<BYTE>(from + i));
    return v;
}

std::vector<BYTE> RampBytes(long long frames, int channels, int bits) {
    std::vector<BYTE> out;
    for (long long f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c) {
            int v = testfilters::RampValue(f, c, channels, bits);
            out.push_back(static_cast<BYTE>(v & 0xFF));
            if (bits == 16) out.push_back(static_cast<BYTE>((v >> 8) & 0xFF));
        }
    return out;
}

}  // namespace

TEST(BlockQueue, FillsWholeFramesInOrderAndCarriesTheRest) {
    BlockQueue q;
    q.Configure(4, 64);
    Block a(10), b(10), c(10);  // 8 usable bytes each: whole 4-byte frames

    // Sound before any block waits in the FIFO.
    EXPECT_EQ(nullptr, q.Push(Sequence(0, 6).data(), 6));
    WAVEHDR* full = nullptr;
    ASSERT_EQ(S_OK, q.Queue(&a.header, &full));
    EXPECT_EQ(nullptr, full);
    EXPECT_EQ(6u, a.header.dwBytesRecorded);
    // The block fills up to its last whole frame; the rest is carried.
    EXPECT_EQ(&a.header, q.Push(Sequence(6, 12).data(), 12));
    EXPECT_EQ(Sequence(0, 8), a.Recorded());
    EXPECT_EQ(10u, q.CarryBytes());
    EXPECT_EQ(0xEE, a.data[8]);  // nothing written past the usable length
    // A full block takes nothing more; the next is filled from the FIFO first.
    EXPECT_EQ(nullptr, q.Push(Sequence(18, 4).data(), 4));
    ASSERT_EQ(S_OK, q.Queue(&b.header, &full));
    EXPECT_EQ(&b.header, full);
    EXPECT_EQ(Sequence(8, 8), b.Recorded());
    ASSERT_EQ(S_OK, q.Queue(&c.header, &full));
    EXPECT_EQ(nullptr, full);
    EXPECT_EQ(Sequence(16, 6), c.Recorded());
    EXPECT_EQ(0u, q.DroppedBytes());

    // Blocks that cannot hold one frame, and no block, are refused.
    Block tiny(3);
    EXPECT_EQ(E_INVALIDARG, q.Queue(&tiny.header, &full));
    EXPECT_EQ(E_POINTER, q.Queue(nullptr, &full));
}

TEST(BlockQueue, ResetFlushOverflowAndEndOfStream) {
    BlockQueue q;
    q.Configure(2, 8);
    Block a(4), b(4), c(6);
    WAVEHDR* full = nullptr;

    // Reset restarts a partly filled block and keeps it queued.
    q.Queue(&a.header, &full);
    q.Push(Sequence(0, 2).data(), 2);
    q.Reset();
    EXPECT_EQ(0u, a.header.dwBytesRecorded);
    EXPECT_EQ(&a.header, q.Push(Sequence(10, 6).data(), 6));
    EXPECT_EQ(Sequence(10, 4), a.Recorded());
    // A block already reported full is left alone, and so is what followed it.
    q.Reset();
    EXPECT_EQ(4u, a.header.dwBytesRecorded);
    EXPECT_EQ(2u, q.CarryBytes());

    // The FIFO is bounded: whole frames beyond it are dropped, the oldest kept.
    q.Push(Sequence(16, 10).data(), 10);  // 2 carried + 10 = 12 > 8
    EXPECT_EQ(8u, q.CarryBytes());
    EXPECT_EQ(4u, q.DroppedBytes());
    q.Queue(&b.header, &full);
    EXPECT_EQ(Sequence(14, 4), b.Recorded());

    // End of stream: the partly filled last block is complete once the
    // FIFO has drained into it.
    EXPECT_EQ(nullptr, q.EndOfStream());
    q.Queue(&c.header, &full);
    EXPECT_EQ(&c.header, full);
    EXPECT_EQ(Sequence(18, 4), c.Recorded());

    // A seek forgets the end of stream and a partial fill.
    Block d(8), e(8);
    q.Flush();
    q.Queue(&d.header, &full);
    q.Push(Sequence(0, 2).data(), 2);
    q.Flush();
    EXPECT_EQ(0u, d.header.dwBytesRecorded);
    q.Push(Sequence(5, 2).data(), 2);
    EXPECT_EQ(&d.header, q.EndOfStream());
    EXPECT_EQ(Sequence(5, 2), d.Recorded());
}

namespace {

class Grabbers : public ::testing::Test {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    void TearDown() override { CoUninitialize(); }

    // Runs the graph and hands blocks of `blockBytes` in turn (three in
    // rotation, as the engine does) until end of stream; returns the
    // concatenated recordings. `slowEvery`: every n-th block is handed
    // back only after a pause, as a busy program would.
    template <class Api>
    std::vector<BYTE> Record(Graph& g, Api* api, long eventCode, DWORD blockBytes, int slowEvery,
                             int* blocks, UINT frameBytes) {
        std::vector<Block> ring;
        for (int i = 0; i < 3; ++i) ring.emplace_back(blockBytes);
        int next = 0;
        std::vector<BYTE> got;
        EXPECT_EQ(S_OK, api->QueueBuffer(&ring[0].header, sizeof(WAVEHDR)));
        WAVEHDR* outstanding = &ring[0].header;
        EXPECT_TRUE(SUCCEEDED(g.control->Run()));
        long code;
        LONG_PTR p1, p2;
        bool complete = false;
        *blocks = 0;
        // After EC_COMPLETE, blocks still come while the FIFO drains.
        while (g.NextEvent(complete ? 500 : 20000, &code, &p1, &p2)) {
            if (code == EC_COMPLETE) complete = true;
            if (code != eventCode) continue;
            auto* h = reinterpret_cast<WAVEHDR*>(p2);
            EXPECT_EQ(outstanding, h);
            EXPECT_EQ(static_cast<LONG_PTR>(h->dwBytesRecorded), p1);
            EXPECT_LE(h->dwBytesRecorded, h->dwBufferLength);
            EXPECT_EQ(0u, h->dwBytesRecorded % frameBytes);
            got.insert(got.end(), h->lpData, h->lpData + h->dwBytesRecorded);
            ++*blocks;
            if (slowEvery && *blocks % slowEvery == 0) Sleep(400);
            next = (next + 1) % 3;
            outstanding = &ring[next].header;
            api->QueueBuffer(outstanding, sizeof(WAVEHDR));
        }
        EXPECT_TRUE(complete);
        g.control->Stop();
        return got;
    }
};

}  // namespace

TEST_F(Grabbers, BothClassesAnswerTheirOwnInterfaceOnly) {
    ComPtr<IBaseFilter> capture = Create(CLSID_CaptureWavTrans);
    ComPtr<IBaseFilter> background = Create(CLSID_BackgroundWavTrans);
    ASSERT_TRUE(capture) << "wavtrans.dll is not registered in the prefix";
    ASSERT_TRUE(background);
    ComPtr<IUnknown> api;
    EXPECT_EQ(S_OK, capture->QueryInterface(IID_ICaptureWavTrans, OutVoid(api)));
    EXPECT_EQ(E_NOINTERFACE, capture->QueryInterface(IID_IBackgroundWavTrans, OutVoid(api)));
    EXPECT_EQ(S_OK, background->QueryInterface(IID_IBackgroundWavTrans, OutVoid(api)));
    EXPECT_EQ(E_NOINTERFACE, background->QueryInterface(IID_ICaptureWavTrans, OutVoid(api)));
    // One pin each way.
    EXPECT_TRUE(FindPin(capture.Get(), PINDIR_INPUT, 0));
    EXPECT_TRUE(FindPin(capture.Get(), PINDIR_OUTPUT, 0));
    EXPECT_FALSE(FindPin(capture.Get(), PINDIR_INPUT, 1));
}

TEST_F(Grabbers, CaptureBlocksAreSampleExactThroughNullRenderer) {
    struct Case {
        WORD channels, bits;
        DWORD rate, blockBytes;
        int slowEvery;
    } cases[] = {
        {2, 16, 44100, 17642, 0},  // 100 ms rounded down to whole frames
        {1, 16, 11025, 2205, 5},   // odd 100 ms block; a slow program now and then
        {1, 8, 8000, 800, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.channels << "ch " << c.bits << "bit " << c.rate);
        Graph g;
        const long long frames = c.rate * 3;
        auto source = Own(new RampSource(c.channels, c.rate, c.bits, frames, {1234, 441, 4000, 7}, 4));
        ComPtr<IBaseFilter> grabber = Create(CLSID_CaptureWavTrans);
        ComPtr<IBaseFilter> null = Create(CLSID_NullRenderer);
        ASSERT_TRUE(grabber);
        ASSERT_TRUE(null);
        ComPtr<ICaptureWavTrans> api;
        ASSERT_EQ(S_OK, grabber->QueryInterface(IID_ICaptureWavTrans, OutVoid(api)));
        g.Add(source.Get(), L"Ramp");
        g.Add(grabber.Get(), L"WAV Trans");
        g.Add(null.Get(), L"Null Audio Render");
        ASSERT_EQ(S_OK, g.Connect(source.Get(), grabber.Get()));
        ASSERT_EQ(S_OK, g.Connect(grabber.Get(), null.Get()));
        api->SetSampleWidth(c.bits == 16);
        int blocks = 0;
        UINT frameBytes = c.channels * c.bits / 8;
        std::vector<BYTE> got =
            Record(g, api.Get(), EC_CAPTURE_BUFFER, c.blockBytes, c.slowEvery, &blocks, frameBytes);
        std::vector<BYTE> want = RampBytes(frames, c.channels, c.bits);
        ASSERT_EQ(want.size(), got.size());
        EXPECT_TRUE(want == got);
        DWORD usable = c.blockBytes - c.blockBytes % frameBytes;
        EXPECT_EQ(static_cast<int>((want.size() + usable - 1) / usable), blocks);
    }
}

TEST_F(Grabbers, ModeDecidesWhetherSoundOrSilenceGoesDownstream) {
    struct Case {
        const CLSID* clsid;
        const IID* iid;
        WORD bits;
        int setMode;  // -1: leave the filter's initial mode
        bool sound;
    } cases[] = {
        {&CLSID_CaptureWavTrans, &IID_ICaptureWavTrans, 16, -1, false},
        {&CLSID_CaptureWavTrans, &IID_ICaptureWavTrans, 16, 1, true},
        {&CLSID_CaptureWavTrans, &IID_ICaptureWavTrans, 8, 0, false},
        {&CLSID_BackgroundWavTrans, &IID_IBackgroundWavTrans, 16, -1, true},
        {&CLSID_BackgroundWavTrans, &IID_IBackgroundWavTrans, 8, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << "bit mode " << c.setMode);
        Graph g;
        const long long frames = 8000;
        auto source = Own(new RampSource(1, 8000, c.bits, frames, {500}, 8));
        auto sink = Own(new CollectSink());
        ComPtr<IBaseFilter> grabber = Create(*c.clsid);
        ASSERT_TRUE(grabber);
        ComPtr<ICaptureWavTrans> api;  // same slots for both interfaces
        ASSERT_EQ(S_OK, grabber->QueryInterface(*c.iid, OutVoid(api)));
        g.Add(source.Get(), L"Ramp");
        g.Add(grabber.Get(), L"WAV Trans");
        g.Add(sink.Get(), L"Collect");
        ASSERT_EQ(S_OK, g.Connect(source.Get(), grabber.Get()));
        ASSERT_EQ(S_OK, g.Connect(grabber.Get(), sink.Get()));
        if (c.setMode >= 0) api->SetMode(static_cast<BYTE>(c.setMode));
        ASSERT_TRUE(SUCCEEDED(g.control->Run()));
        long code;
        LONG_PTR p1, p2;
        bool complete = false;
        while (!complete && g.NextEvent(10000, &code, &p1, &p2)) complete = code == EC_COMPLETE;
        EXPECT_TRUE(complete);
        g.control->Stop();
        std::vector<BYTE> want = RampBytes(frames, 1, c.bits);
        if (!c.sound) want.assign(want.size(), c.bits == 8 ? 128 : 0);
        EXPECT_TRUE(want == sink->Bytes());
    }
}

TEST_F(Grabbers, BackgroundBlocksCarryTheHeaderAndEndWithThePartialTail) {
    Graph g;
    const long long frames = 22050 * 2 + 123;
    auto source = Own(new RampSource(2, 22050, 16, frames, {2048}, 4));
    ComPtr<IBaseFilter> grabber = Create(CLSID_BackgroundWavTrans);
    ComPtr<IBaseFilter> null = Create(CLSID_NullRenderer);
    ASSERT_TRUE(grabber);
    ComPtr<IBackgroundWavTrans> api;
    ASSERT_EQ(S_OK, grabber->QueryInterface(IID_IBackgroundWavTrans, OutVoid(api)));
    g.Add(source.Get(), L"Ramp");
    g.Add(grabber.Get(), L"WAV Trans");
    g.Add(null.Get(), L"Null Audio Render");
    ASSERT_EQ(S_OK, g.Connect(source.Get(), grabber.Get()));
    ASSERT_EQ(S_OK, g.Connect(grabber.Get(), null.Get()));
    int blocks = 0;
    std::vector<BYTE> got = Record(g, api.Get(), EC_BACKGROUND_BUFFER, 40000, 0, &blocks, 4);
    std::vector<BYTE> want = RampBytes(frames, 2, 16);
    ASSERT_EQ(want.size(), got.size());
    EXPECT_TRUE(want == got);
    EXPECT_EQ(static_cast<int>((want.size() + 39999) / 40000), blocks);
}

TEST_F(Grabbers, CaptureKeepsFillingBlocksWhileTheRendererIsStuck) {
    // The renderer behind the capture grabber never returns from Receive;
    // the device's thread must not wait for it, so every block still fills.
    Graph g;
    const long long frames = 44100 * 2;
    auto source = Own(new RampSource(2, 44100, 16, frames, {4410}, 4));
    ComPtr<IBaseFilter> grabber = Create(CLSID_CaptureWavTrans);
    auto stuck = Own(CollectSink::Stalling());
    ASSERT_TRUE(grabber);
    ComPtr<ICaptureWavTrans> api;
    ASSERT_EQ(S_OK, grabber->QueryInterface(IID_ICaptureWavTrans, OutVoid(api)));
    g.Add(source.Get(), L"Ramp");
    g.Add(grabber.Get(), L"WAV Trans");
    g.Add(stuck.Get(), L"Audio Renderer");
    ASSERT_EQ(S_OK, g.Connect(source.Get(), grabber.Get()));
    ASSERT_EQ(S_OK, g.Connect(grabber.Get(), stuck.Get()));
    api->SetMode(1);

    std::vector<Block> ring;
    for (int i = 0; i < 3; ++i) ring.emplace_back(17640);
    int next = 0;
    api->QueueBuffer(&ring[0].header, sizeof(WAVEHDR));
    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    std::vector<BYTE> want = RampBytes(frames, 2, 16), got;
    long code;
    LONG_PTR p1, p2;
    while (got.size() < want.size() && g.NextEvent(15000, &code, &p1, &p2)) {
        if (code != EC_CAPTURE_BUFFER) continue;
        auto* h = reinterpret_cast<WAVEHDR*>(p2);
        got.insert(got.end(), h->lpData, h->lpData + h->dwBytesRecorded);
        next = (next + 1) % 3;
        api->QueueBuffer(&ring[next].header, sizeof(WAVEHDR));
    }
    g.control->Stop();
    ASSERT_EQ(want.size(), got.size());
    EXPECT_TRUE(want == got);
}
