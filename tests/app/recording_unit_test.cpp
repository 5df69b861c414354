// Output file naming on a real folder whose own name holds "_", and the
// rules of a recording's start and readouts.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/OutputNaming.h"
#include "app/RecordingRules.h"
#include "bench.h"

namespace {

// A scratch folder named with underscores, and files made in it.
class NamingFolder : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = bench::ScratchDir() + "\\my_rec_2";
        CreateDirectoryA(folder_.c_str(), nullptr);
        folder_ += "\\";
    }
    void Touch(const std::string& name) {
        FILE* f = fopen((folder_ + name).c_str(), "wb");
        ASSERT_NE(nullptr, f) << name;
        fclose(f);
    }
    std::string Numbered(const std::string& name) {
        std::string out = "<none>";
        if (!BuildNumberedPath(folder_ + name, &out)) return "<refused>";
        // Relative to the folder, which must not have changed.
        if (out.compare(0, folder_.size(), folder_) != 0) return "<other folder> " + out;
        return out.substr(folder_.size());
    }
    std::string folder_;
};

TEST_F(NamingFolder, NumberedNamesCountOnlyTheFileNameAndTheirOwnExtension) {
    // Nothing there yet: the first number; the folder's "_" is no base.
    EXPECT_EQ("talk_001.WAV", Numbered("talk.wav"));
    EXPECT_EQ("talk_001.MP3", Numbered("talk_003.mp3"));  // nothing matches talk_*.MP3
    Touch("talk_001.WAV");
    Touch("talk_007.wav");
    Touch("talk_005.MP3");  // another extension does not count
    EXPECT_EQ("talk_008.WAV", Numbered("talk.wav"));
    EXPECT_EQ("talk_008.WAV", Numbered("talk_001.WAV"));
    EXPECT_EQ("talk_006.MP3", Numbered("talk.mp3"));
    // Numbers past 998 grow a digit.
    Touch("long_999.WMA");
    EXPECT_EQ("long_1000.WMA", Numbered("long.wma"));
    // A match without digits counts as 0; the count starts at 1.
    Touch("new_x.WAV");
    EXPECT_EQ("new_002.WAV", Numbered("new.wav"));
    // A suffix too large to count is left out instead of wrapping negative.
    Touch("huge_99999999999999999999.WAV");
    Touch("huge_004.WAV");
    EXPECT_EQ("huge_005.WAV", Numbered("huge.wav"));
    Touch("edge_999999999.WAV");
    EXPECT_EQ("edge_1000000000.WAV", Numbered("edge.wav"));
    // Only .wav, .mp3 and .wma are named.
    EXPECT_EQ("<refused>", Numbered("talk.ogg"));
    EXPECT_EQ("<refused>", Numbered("wav"));
}

TEST_F(NamingFolder, ANameWithoutFolderOrUnderscoreStillGetsItsNumber) {
    std::string out;
    ASSERT_TRUE(BuildNumberedPath("x.wav", &out));
    EXPECT_EQ("x_001.WAV", out);
    // The search for the folder's "\" is not fooled by a double-byte name's
    // trail bytes; an ASCII path is split at its last "\".
    EXPECT_EQ("C:\\my_rec\\", FolderOf("C:\\my_rec\\talk.wav"));
    EXPECT_EQ("", FolderOf("talk.wav"));
}

TEST_F(NamingFolder, TimeStampedNamesAreUniqueWithinOneSecond) {
    SYSTEMTIME t{};
    t.wYear = 2026;
    t.wMonth = 3;
    t.wDay = 7;
    t.wHour = 9;
    t.wMinute = 5;
    t.wSecond = 2;
    std::string first, second, third;
    ASSERT_TRUE(BuildTimeStampedPath(folder_ + "talk_1.wma", t, &first));
    EXPECT_EQ(folder_ + "20260307-090502.WMA", first);
    Touch("20260307-090502.WMA");
    ASSERT_TRUE(BuildTimeStampedPath(folder_ + "talk_1.wma", t, &second));
    EXPECT_EQ(folder_ + "20260307-090502_001.WMA", second);
    Touch("20260307-090502_001.WMA");
    ASSERT_TRUE(BuildTimeStampedPath(folder_ + "talk_1.wma", t, &third));
    EXPECT_EQ(folder_ + "20260307-090502_002.WMA", third);
    EXPECT_FALSE(BuildTimeStampedPath(folder_ + "talk.txt", t, &third));
}

TEST(NumberSuffix, DigitsAfterTheLastUnderscoreBeforeADot) {
    EXPECT_EQ(7, NumberSuffixOf("talk_007.wav"));
    EXPECT_EQ(12, NumberSuffixOf("a_b_12x.wav"));
    EXPECT_EQ(0, NumberSuffixOf("talk_new.WAV"));
    EXPECT_EQ(-1, NumberSuffixOf("talk.wav"));
    EXPECT_EQ(-1, NumberSuffixOf("talk_5"));  // no "." after it
    EXPECT_EQ(999999999, NumberSuffixOf("t_999999999.wav"));
    EXPECT_EQ(-1, NumberSuffixOf("t_1000000000.wav"));
}

TEST(StartRules, ResultsMapToTheirMessages) {
    EXPECT_EQ(nullptr, StartResultKey(0));
    EXPECT_STREQ("MemError", StartResultKey(1));
    EXPECT_STREQ("MemError", StartResultKey(101));
    EXPECT_STREQ("FileError", StartResultKey(2));
    EXPECT_STREQ("MP3Support", StartResultKey(3));
    EXPECT_STREQ("DeviceAvailabity", StartResultKey(7));
    EXPECT_STREQ("WMAError", StartResultKey(8));
    EXPECT_STREQ("BackgroundError", StartResultKey(100));
    EXPECT_EQ(nullptr, StartResultKey(42));
    EXPECT_TRUE(StartResultRuns(0));
    EXPECT_TRUE(StartResultRuns(100));
    EXPECT_FALSE(StartResultRuns(42));
    EXPECT_FALSE(StartResultRuns(1));
}

TEST(StartRules, RingSizeFollowsFreeMemory) {
    EXPECT_EQ(80000u, RecordRingSize(100000, false));
    EXPECT_EQ(500000u, RecordRingSize(1000000, false));
    EXPECT_EQ(160000u, RecordRingSize(200000, true));
    EXPECT_EQ(40000u, RecordRingSize(60000, false));  // short: half the need
    EXPECT_EQ(0u, RecordRingSize(40000, false));      // a quarter or less: refused
    EXPECT_EQ(80000u, RecordRingSize(100000, true));
    // Free memory beyond 32 bits does not wrap.
    EXPECT_EQ(UINT32_MAX, RecordRingSize(1ull << 40, false));
}

TEST(StartRules, Mp3NeedsAtLeast32kHzAnd16BitAndTakesStoredSettingsSafely) {
    CaptureFormat f;
    f.rate = 22050;
    f.bits = 8;
    f.channels = 2;
    EXPECT_TRUE(ApplyMp3Format(&f, 1, 13));
    EXPECT_EQ(44100u, f.rate);
    EXPECT_EQ(16, f.bits);
    EXPECT_EQ(1u, f.channels);
    EXPECT_EQ(192, f.mp3Bitrate);

    CaptureFormat g;
    g.rate = 32000;
    g.channels = 1;
    // Out-of-range stored values: the table's first entry, the face's channels.
    EXPECT_FALSE(ApplyMp3Format(&g, 7, 99));
    EXPECT_EQ(32000u, g.rate);
    EXPECT_EQ(1u, g.channels);
    EXPECT_EQ(128, g.mp3Bitrate);
    EXPECT_FALSE(ApplyMp3Format(&g, -1, -5));
    EXPECT_EQ(128, g.mp3Bitrate);
}

TEST(Readouts, SizeTimeDurationAndPosition) {
    char text[64];
    FormatFileSizeText(1023, 125, text, sizeof text);
    EXPECT_STREQ("0KB / 02:05", text);
    FormatFileSizeText(1536 * 1024, 3725, text, sizeof text);
    EXPECT_STREQ("1.50MB / 01:02:05", text);
    // Thousands keep their leading zeros; a recording past a day keeps
    // counting hours.
    FormatFileSizeText(1024ull * 1024 * 1024, 0, text, sizeof text);
    EXPECT_STREQ("1,024.00MB / 00:00", text);
    FormatFileSizeText(1000ull * 1024 * 1024, 90000, text, sizeof text);
    EXPECT_STREQ("1,000.00MB / 25:00:00", text);
    FormatHistoryDuration(61500, text, sizeof text);
    EXPECT_STREQ("1:01", text);
    FormatHistoryDuration(3600 * 1000 + 5000, text, sizeof text);
    EXPECT_STREQ("60:05", text);
    FormatPlayPositionText(65000, 125999, text, sizeof text);
    EXPECT_STREQ("1:05 / 2:05", text);
    // The slider position of a play position is not truncated to 0.
    EXPECT_EQ(32767, SliderPositionFor(5000, 10000, 0xFFFF));
    EXPECT_EQ(0, SliderPositionFor(5000, 0, 0xFFFF));
    EXPECT_EQ(5000, PositionForSlider(32768, 0x10000, 10000));
    EXPECT_EQ(3000000, PositionForSlider(0xFFFF, 0xFFFF, 3000000));
    // The threshold readout keeps to -48..-1 dB whatever the slider says.
    const struct {
        int position;
        const char* text;
    } thresholds[] = {{-3, "-48dB"}, {0, "-48dB"}, {47, "-1dB"}, {60, "-1dB"}};
    for (const auto& t : thresholds) {
        FormatThresholdText(t.position, text, sizeof text);
        EXPECT_STREQ(t.text, text) << t.position;
    }
}

TEST(Readouts, MasterVolumeFollowsTheControlsBoundsBothWays) {
    // A control from 1000 to 3000: the slider's ends are its bounds.
    EXPECT_EQ(1000u, MasterVolumeForSlider(0, 0xFFFF, 1000, 3000));
    EXPECT_EQ(3000u, MasterVolumeForSlider(0xFFFF, 0xFFFF, 1000, 3000));
    EXPECT_EQ(2000u, MasterVolumeForSlider(0x8000, 0xFFFF, 1000, 3000));
    EXPECT_EQ(0, SliderForMasterVolume(1000, 1000, 3000, 0xFFFF));
    EXPECT_EQ(0xFFFF, SliderForMasterVolume(3000, 1000, 3000, 0xFFFF));
    // Values past the bounds stay at the ends.
    EXPECT_EQ(0xFFFF, SliderForMasterVolume(70000, 1000, 3000, 0xFFFF));
    EXPECT_EQ(0, SliderForMasterVolume(5, 1000, 3000, 0xFFFF));
    EXPECT_EQ(3000u, MasterVolumeForSlider(0x20000, 0xFFFF, 1000, 3000));
    // The full 32-bit range does not overflow, and a slider position comes
    // back as itself.
    EXPECT_EQ(0xFFFFFFFFu, MasterVolumeForSlider(0xFFFF, 0xFFFF, 0, 0xFFFFFFFFu));
    for (int pos : {1, 20000, 45000, 65534})
        EXPECT_EQ(pos, SliderForMasterVolume(MasterVolumeForSlider(pos, 0xFFFF, 0, 65535), 0,
                                             65535, 0xFFFF));
    // An empty or reversed range stands at its minimum.
    EXPECT_EQ(500u, MasterVolumeForSlider(40000, 0xFFFF, 500, 500));
    EXPECT_EQ(900u, MasterVolumeForSlider(40000, 0xFFFF, 900, 100));
    EXPECT_EQ(0, SliderForMasterVolume(700, 900, 100, 0xFFFF));
}

}  // namespace
