// The line test's measure of a recording, the clip of a line, the hit
// tests of the audio-line box, the probed formats and the report's lines.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/LineTestRules.h"
#include "bench.h"

namespace {

std::string WriteBytes(const std::string& name, const std::vector<unsigned char>& bytes) {
    const std::string path = bench::ScratchDir() + "\\" + name;
    FILE* f = fopen(path.c_str(), "wb");
    EXPECT_NE(nullptr, f) << path;
    if (f) {
        if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    return path;
}

// A test recording of `size` bytes, silent (128) except the measured
// stretch, whose bytes alternate 128 + a and 128 - b.
std::vector<unsigned char> Recording(size_t size, int a, int b) {
    std::vector<unsigned char> bytes(size, 128);
    for (size_t i = 4096; i < 5096 && i < size; ++i)
        bytes[i] = static_cast<unsigned char>(i % 2 ? 128 + a : 128 - b);
    return bytes;
}

TEST(LineTestRules, MeasureCountsOnlyTheBytesThereAndSplitsSilenceFromSoundAtFive) {
    EXPECT_EQ(-1, MeasureTestFile((bench::ScratchDir() + "\\none.wav").c_str()));
    EXPECT_EQ(0, MeasureTestFile(WriteBytes("empty.wav", {}).c_str()));
    // Loud, but short of the stretch: the end of the file is no sound.
    std::vector<unsigned char> loudShort(4500, 255);
    EXPECT_EQ(0, MeasureTestFile(WriteBytes("short.wav", loudShort).c_str()));
    // Means 5, 5.5 (integer division makes it 5) and 6.
    EXPECT_EQ(5, MeasureTestFile(WriteBytes("five.wav", Recording(8000, 5, 5)).c_str()));
    EXPECT_EQ(5, MeasureTestFile(WriteBytes("almost.wav", Recording(8000, 6, 5)).c_str()));
    EXPECT_EQ(6, MeasureTestFile(WriteBytes("six.wav", Recording(5096, 6, 6)).c_str()));
    // Sound after the stretch does not count.
    std::vector<unsigned char> late = Recording(9000, 0, 0);
    for (size_t i = 5096; i < late.size(); ++i) late[i] = 0;
    EXPECT_EQ(0, MeasureTestFile(WriteBytes("late.wav", late).c_str()));
}

TEST(LineTestRules, ClipsRepeatEveryTenLines) {
    const std::pair<int, const char*> cases[] = {
        {0, "IDSOUND_LINE1"}, {9, "IDSOUND_LINE10"}, {10, "IDSOUND_LINE1"}, {12, "IDSOUND_LINE3"}};
    for (const auto& [line, clip] : cases) {
        char name[32] = "";
        LineTestClipName(line, name, sizeof name);
        EXPECT_STREQ(clip, name) << line;
    }
}

TEST(LineTestRules, RowsAndMarkersAreHitOnlyAmongTheRowsShown) {
    struct Case {
        int x, y, count, row, marker;
    };
    const Case cases[] = {
        {680, 92, 3, 0, -1},         // first row's corner
        {724, 113, 3, 0, -1},        // its last pixel
        {725, 92, 3, -1, -1},        // just right of it
        {700, 92 + 46 + 5, 3, 2, -1},
        {700, 92 + 69 + 5, 3, -1, -1},   // row 3 of three rows
        {700, 92 + 69 + 5, 12, 3, -1},
        {700, 207 + 5, 12, 5, -1},       // rows 5-9 from their own base
        {700, 207 + 92 + 5, 12, 9, -1},
        {700, 207 + 115 + 5, 12, -1, -1},  // a row 10 is never shown
        {894, 98 + 46 + 6, 3, -1, 2},
        {894, 98 + 69 + 6, 3, -1, -1},
        {894, 98 + 207 + 6, 12, -1, 9},
        {894, 98 + 230 + 6, 12, -1, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.row, AudioBoxRowAt(c.x, c.y, c.count)) << c.x << "," << c.y << " of " << c.count;
        EXPECT_EQ(c.marker, MicMarkerAt(c.x, c.y, c.count)) << c.x << "," << c.y << " of " << c.count;
    }
}

TEST(LineTestRules, ProbedFormatsAndTheirReportLines) {
    const WAVEFORMATEX last = ProbeFormat(35);
    EXPECT_EQ(48000u, last.nSamplesPerSec);
    EXPECT_EQ(2, last.nChannels);
    EXPECT_EQ(16, last.wBitsPerSample);
    EXPECT_EQ(4, last.nBlockAlign);
    EXPECT_EQ(192000u, last.nAvgBytesPerSec);
    EXPECT_EQ(WAVE_FORMAT_PCM, last.wFormatTag);

    char line[64];
    CapabilityReportLine(ProbeFormat(16), line, sizeof line);
    EXPECT_STREQ("22 KHZ    Mono     8 bit \n", line);
    CapabilityReportLine(ProbeFormat(31), line, sizeof line);
    EXPECT_STREQ("44 KHZ  Stereo    16 bit \n", line);
    CapabilityReportLine(ProbeFormat(5), line, sizeof line);
    EXPECT_STREQ("11 KHZ    Mono    16 bit \n", line);
}

TEST(LineTestRules, FilesGoToTheTemporaryFolderWhenTheirOwnCannotTakeThem) {
    const std::string folder = bench::ScratchDir() + "\\";
    char path[MAX_PATH];
    WritablePlaceFor(folder.c_str(), "AudioTestRec3.wav", path, sizeof path);
    EXPECT_EQ(folder + "AudioTestRec3.wav", path);
    // The check leaves nothing behind.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path));

    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    WritablePlaceFor((folder + "missing\\").c_str(), "AudioTestRec3.wav", path, sizeof path);
    EXPECT_EQ(std::string(temp) + "AudioTestRec3.wav", path);
}

}  // namespace
