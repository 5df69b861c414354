// The byte FIFOs between the capture side and the writer thread.
#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "engine/RingBuffer.h"

namespace {

std::vector<BYTE> Bytes(int n, int first) {
    std::vector<BYTE> v(n);
    for (int i = 0; i < n; ++i) v[i] = static_cast<BYTE>(first + i);
    return v;
}

TEST(RingBuffer, InitAllocatesAFilledEmptyRingOrFails) {
    RingBuffer ring;
    EXPECT_EQ(0, RingBufferInit(&ring, 0));
    EXPECT_EQ(0, RingBufferInit(&ring, -5));
    EXPECT_EQ(nullptr, ring.base);
    EXPECT_EQ(0, RingBufferInit(nullptr, 10));

    ASSERT_EQ(-1, RingBufferInit(&ring, 64));
    EXPECT_EQ(64, ring.capacity);
    EXPECT_EQ(0, ring.fill);
    EXPECT_EQ(ring.base, ring.read);
    EXPECT_EQ(ring.base, ring.write);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(0x20, ring.base[i]) << i;
}

// Each row: the ring size, then alternating writes (+n) and reads (-n), with
// what each call must return. The data must come out in the order it went
// in, across every wrap.
TEST(RingBuffer, WritesAndReadsKeepOrderAcrossWraps) {
    struct Step {
        int op;      // +n write n bytes, -n read n bytes
        int result;  // bytes taken or read
    };
    struct Case {
        const char* name;
        int size;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"write exactly to the end wraps the write position", 10, {{+10, 10}, {-4, 4}, {+4, 4}, {-10, 10}}},
        {"split write across the end", 10, {{+7, 7}, {-5, 5}, {+6, 6}, {-8, 8}}},
        {"split read across the end", 10, {{+8, 8}, {-6, 6}, {+7, 7}, {-3, 3}, {-6, 6}}},
        {"partial write into a nearly full ring", 100, {{+60, 60}, {+100, 40}, {-100, 100}}},
        {"write into a full ring takes nothing", 8, {{+8, 8}, {+1, 0}, {-8, 8}}},
        {"read more than held gives what is held", 16, {{+5, 5}, {-16, 5}, {-16, 0}}},
        {"many small wraps", 7, {{+3, 3}, {-2, 2}, {+5, 5}, {-4, 4}, {+3, 3}, {-5, 5}, {+7, 7}, {-7, 7}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RingBuffer ring;
        ASSERT_EQ(-1, RingBufferInit(&ring, c.size));
        int nextIn = 0, nextOut = 0;
        for (const Step& s : c.steps) {
            if (s.op > 0) {
                std::vector<BYTE> data = Bytes(s.op, nextIn);
                ASSERT_EQ(s.result, RingBufferWrite(&ring, data.data(), s.op));
                nextIn += s.result;
            } else {
                std::vector<BYTE> out(-s.op, 0xEE);
                ASSERT_EQ(s.result, RingBufferRead(&ring, out.data(), -s.op));
                for (int i = 0; i < s.result; ++i)
                    ASSERT_EQ(static_cast<BYTE>(nextOut + i), out[i]) << "byte " << nextOut + i;
                nextOut += s.result;
            }
            ASSERT_EQ(nextIn - nextOut, RingBufferFill(&ring));
            ASSERT_GE(ring.read, ring.base);
            ASSERT_LT(ring.read, ring.base + ring.capacity);
            ASSERT_GE(ring.write, ring.base);
            ASSERT_LT(ring.write, ring.base + ring.capacity);
        }
    }
}

TEST(RingBuffer, ReadThatEmptiesTheRingReturnsBothPositionsToTheStart) {
    RingBuffer ring;
    ASSERT_EQ(-1, RingBufferInit(&ring, 32));
    std::vector<BYTE> data = Bytes(20, 1), out(32);
    RingBufferWrite(&ring, data.data(), 20);
    RingBufferRead(&ring, out.data(), 7);
    EXPECT_EQ(ring.base + 7, ring.read);
    RingBufferRead(&ring, out.data(), 13);
    EXPECT_EQ(ring.base, ring.read);
    EXPECT_EQ(ring.base, ring.write);
    // The whole capacity is then one straight run again.
    std::vector<BYTE> big = Bytes(32, 50);
    EXPECT_EQ(32, RingBufferWrite(&ring, big.data(), 32));
    EXPECT_EQ(32, RingBufferRead(&ring, out.data(), 32));
    EXPECT_EQ(big, out);
}

TEST(RingBuffer, WholeFrameWritesNeverSplitAFrameAndCountWhatWasDropped) {
    struct Case {
        int size, preFill, frame, offered, taken;
    };
    const Case cases[] = {
        {100, 60, 4, 100, 40},  // free space already whole frames
        {100, 61, 4, 100, 36},  // 39 free: one frame less, not 3 bytes of one
        {100, 99, 4, 8, 0},     // less than a frame free
        {100, 0, 4, 100, 100},  // fits
        {100, 95, 2, 10, 4},    // mono 16-bit
        {100, 95, 0, 10, 5},    // no frame size: bytes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "pre " << c.preFill << " frame " << c.frame);
        RingBuffer ring;
        ASSERT_EQ(-1, RingBufferInit(&ring, c.size));
        std::vector<BYTE> pre(c.preFill, 1), data = Bytes(c.offered, 0);
        ASSERT_EQ(c.preFill, RingBufferWrite(&ring, pre.data(), c.preFill));
        EXPECT_EQ(c.taken, RingBufferWriteFrames(&ring, data.data(), c.offered, c.frame));
        EXPECT_EQ(c.offered - c.taken, RingBufferDropped(&ring));
        EXPECT_EQ(c.preFill + c.taken, RingBufferFill(&ring));
    }
}

TEST(RingBuffer, PlainWritesCountDroppedBytesUntilTheNextInit) {
    RingBuffer ring;
    ASSERT_EQ(-1, RingBufferInit(&ring, 10));
    std::vector<BYTE> data = Bytes(25, 0);
    EXPECT_EQ(10, RingBufferWrite(&ring, data.data(), 25));
    EXPECT_EQ(0, RingBufferWrite(&ring, data.data(), 5));
    EXPECT_EQ(20, RingBufferDropped(&ring));
    ASSERT_EQ(-1, RingBufferInit(&ring, 10));
    EXPECT_EQ(0, RingBufferDropped(&ring));
    EXPECT_EQ(0, RingBufferFill(&ring));
}

// A ring that was never allocated, or was released, must answer 0 on every
// call without touching a lock that does not exist.
TEST(RingBuffer, UnallocatedAndReleasedRingsAreInert) {
    BYTE buf[16] = {};
    RingBuffer never;
    EXPECT_EQ(0, RingBufferWrite(&never, buf, 16));
    EXPECT_EQ(0, RingBufferWriteFrames(&never, buf, 16, 4));
    EXPECT_EQ(0, RingBufferRead(&never, buf, 16));
    EXPECT_EQ(0, RingBufferFill(&never));
    RingBufferRelease(&never);

    RingBuffer ring;
    ASSERT_EQ(-1, RingBufferInit(&ring, 16));
    EXPECT_EQ(16, RingBufferWrite(&ring, buf, 16));
    RingBufferRelease(&ring);
    RingBufferRelease(&ring);
    EXPECT_EQ(nullptr, ring.base);
    EXPECT_EQ(0, ring.capacity);
    EXPECT_EQ(0, RingBufferWrite(&ring, buf, 16));
    EXPECT_EQ(0, RingBufferRead(&ring, buf, 16));
    EXPECT_EQ(0, RingBufferFill(&ring));
    // Null arguments.
    EXPECT_EQ(0, RingBufferWrite(nullptr, buf, 4));
    EXPECT_EQ(0, RingBufferRead(nullptr, buf, 4));
    ASSERT_EQ(-1, RingBufferInit(&ring, 16));
    EXPECT_EQ(0, RingBufferWrite(&ring, nullptr, 4));
    EXPECT_EQ(0, RingBufferRead(&ring, nullptr, 4));
}

// A writer thread that keeps writing while the ring is released and made
// again must neither crash nor hang: it sees an empty ring or a live one.
TEST(RingBuffer, ReleaseWhileAnotherThreadWritesIsSafe) {
    RingBuffer ring;
    ASSERT_EQ(-1, RingBufferInit(&ring, 4096));
    volatile bool stop = false;
    std::thread writer([&] {
        BYTE block[256] = {};
        BYTE out[256];
        while (!stop) {
            RingBufferWrite(&ring, block, sizeof block);
            RingBufferRead(&ring, out, sizeof out);
        }
    });
    for (int i = 0; i < 2000; ++i) {
        RingBufferRelease(&ring);
        ASSERT_EQ(-1, RingBufferInit(&ring, 1024 + i % 7));
    }
    stop = true;
    writer.join();
    EXPECT_LE(RingBufferFill(&ring), ring.capacity);
}

}  // namespace
