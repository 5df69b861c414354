// The capture graph's event path on the system's filter graph: events
// raised into the graph reach the notify window, block events become
// MM_WIM_DATA for the block handed out last, a lost device empties the
// object, and what a stopped recording left queued never reaches the next.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "bench.h"
#include "engine/CaptureGraph.h"
#include "engine/EngineState.h"

namespace {

std::vector<MSG> BlockMessages;
CCaptureGraph* Graph = nullptr;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GRAPHNOTIFY && Graph) {
        Graph->OnCaptureGraphEvent(msg, wParam, lParam);
        return 0;
    }
    if (msg == MM_WIM_DATA) {
        BlockMessages.push_back(MSG{hwnd, msg, wParam, lParam, 0, {}});
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class GraphEvents : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        window_ = bench::MessageWindow("GraphEventsTest", WindowProc);
        ASSERT_NE(nullptr, window_);
        graph_.notifyWindow = window_;
        Graph = &graph_;
        ASSERT_EQ(S_OK, graph_.CreateGraph());
        BlockMessages.clear();
    }
    void TearDown() override {
        graph_.Shutdown();
        Graph = nullptr;
        DestroyWindow(window_);
        CoUninitialize();
    }
    // Raises an event the way a filter in the graph does.
    void Raise(long code, LONG_PTR p1, LONG_PTR p2) {
        ComRef<IMediaEventSink> sink;
        ASSERT_EQ(S_OK, graph_.graph.As(IID_IMediaEventSink, &sink));
        ASSERT_EQ(S_OK, sink->Notify(code, p1, p2));
    }

    HWND window_ = nullptr;
    CCaptureGraph graph_;
};

TEST_F(GraphEvents, BlockEventsBecomeMessagesForTheBlockHandedOutLast) {
    WAVEHDR blocks[2] = {};
    graph_.currentBlock = &blocks[1];
    Raise(EC_CAPTURE_BUFFER, 0, 0);
    Raise(EC_CAPTURE_BUFFER, 0, 0);
    ASSERT_TRUE(bench::PumpUntil([] { return BlockMessages.size() >= 2; }, 2000));
    for (const MSG& m : BlockMessages) {
        EXPECT_EQ(1u, m.wParam);
        EXPECT_EQ(reinterpret_cast<LPARAM>(&blocks[1]), m.lParam);
    }
    // Without a block out (between recordings) nothing is posted.
    BlockMessages.clear();
    graph_.currentBlock = nullptr;
    Raise(EC_CAPTURE_BUFFER, 0, 0);
    bench::Pump(300);
    EXPECT_TRUE(BlockMessages.empty());
}

TEST_F(GraphEvents, StaleBlocksAreDroppedAndPlayerBlocksKeptInOrder) {
    WAVEHDR block = {};
    graph_.currentBlock = &block;
    // A block event still in the graph, and messages still in the queue.
    Raise(EC_CAPTURE_BUFFER, 0, 0);
    PostMessageA(window_, MM_WIM_DATA, 1, 11);
    PostMessageA(window_, MM_WIM_DATA, 0, 21);
    PostMessageA(window_, MM_WIM_DATA, 1, 12);
    PostMessageA(window_, MM_WIM_DATA, 0, 22);
    graph_.DiscardStaleBlocks();
    bench::Pump(300);
    ASSERT_EQ(2u, BlockMessages.size());
    EXPECT_EQ(0u, BlockMessages[0].wParam);
    EXPECT_EQ(21, BlockMessages[0].lParam);
    EXPECT_EQ(22, BlockMessages[1].lParam);
}

TEST_F(GraphEvents, LostDeviceEmptiesTheObjectAndABackDeviceLeavesAnEmptyGraph) {
    CaptureDeviceList devices;
    PinNameList pins;
    ASSERT_EQ(S_OK, FillCaptureDeviceList(&devices));
    ASSERT_GT(devices.Count(), 0);
    ASSERT_EQ(S_OK, graph_.SelectDevice(0, &devices, &pins));
    ASSERT_TRUE(graph_.HasDevice());

    // Back: a fresh, empty graph that still reports to the window.
    Raise(EC_DEVICE_LOST, 0, 1);
    ASSERT_TRUE(bench::PumpUntil([&] { return !graph_.HasDevice(); }, 2000));
    ASSERT_TRUE(static_cast<bool>(graph_.graph));
    EXPECT_GT(devices.Count(), 0);
    WAVEHDR block = {};
    graph_.currentBlock = &block;
    Raise(EC_CAPTURE_BUFFER, 0, 0);
    EXPECT_TRUE(bench::PumpUntil([] { return !BlockMessages.empty(); }, 2000));

    // Gone: everything released, lists empty, later calls harmless.
    ASSERT_EQ(S_OK, graph_.SelectDevice(0, &devices, &pins));
    Raise(EC_DEVICE_LOST, 0, 0);
    ASSERT_TRUE(bench::PumpUntil([&] { return !graph_.graph; }, 2000));
    EXPECT_EQ(0, devices.Count());
    EXPECT_EQ(0, pins.Count());
    EXPECT_FALSE(graph_.HasDevice());
    graph_.StopCaptureGraph();
    graph_.QueueGraphBuffer(&block);
    graph_.SetGrabberMode(1);
    EXPECT_TRUE(FAILED(EnableInputPin(0)));
    EXPECT_EQ(E_INVALIDARG, graph_.SelectDevice(0, &devices, &pins));
}

}  // namespace
