// The program's WMA writer and tag functions through the test prefix's
// Windows Media stand-in: real WMA files that an independent reader checks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench.h"
#include "engine/WmaWriter.h"

namespace {

class WmaThroughStandin : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        ASSERT_TRUE(GetWmaRuntime().Complete()) << "the stand-in runtime is not installed";
        ASSERT_EQ(S_OK, CreateWmaWriterObjects());
        std::vector<WmaProfileName> names;
        ASSERT_EQ(S_OK, ListWmaProfiles(nullptr, &names));
        profiles_ = names;
    }
    void TearDown() override {
        ReleaseWmaWriter();
        CoUninitialize();
    }
    int ProfileWith(const char* text) {
        for (auto& p : profiles_)
            if (p.name.find(text) != std::string::npos) return p.index;
        return -1;
    }
    // 100 ms chunks of a 1 kHz tone at 44100 Hz stereo 16-bit, as the
    // writer thread hands them over.
    void WriteTone(double seconds) {
        const int rate = 44100, chunkFrames = 4410;
        std::vector<short> chunk(chunkFrames * 2);
        long frame = 0;
        for (int c = 0; c < (int)(seconds * 10); ++c) {
            for (int i = 0; i < chunkFrames; ++i, ++frame) {
                short s = (short)(12000 * sin(2 * M_PI * 1000 * frame / rate));
                chunk[2 * i] = chunk[2 * i + 1] = s;
            }
            DWORD size = 0;
            ASSERT_EQ(S_OK, WmaWriteSample(reinterpret_cast<BYTE*>(chunk.data()),
                                           (DWORD)(chunk.size() * 2), &size));
        }
    }
    std::vector<WmaProfileName> profiles_;
};

TEST_F(WmaThroughStandin, RecordsToneWithAttributesThenRewritesTags) {
    // Only audio profiles are offered, by their index in the system list.
    ASSERT_GE(profiles_.size(), 3u);
    for (auto& p : profiles_) EXPECT_NE(std::string::npos, p.name.find("Audio")) << p.name;
    int cd = ProfileWith("128");
    ASSERT_GE(cd, 0);
    ASSERT_EQ(S_OK, SelectWmaProfile(cd));

    MediaTagRecord tags = {};
    strcpy(tags.title, "Morning take");
    strcpy(tags.author, "Ann Smith");
    strcpy(tags.album, "Field notes");
    strcpy(tags.genre, "Speech");
    strcpy(tags.composer, "Bob");
    strcpy(tags.copyright, "(c) 2026 Ann");
    strcpy(tags.description, "Recorded on the balcony");
    LoadWmaWriterTags(tags);

    std::string path = bench::ScratchDir() + "\\take.wma";
    ASSERT_EQ(S_OK, WmaBeginWriting(2, 44100, 16, path.c_str()));
    WriteTone(5);
    ASSERT_EQ(S_OK, WmaEndWriting());

    EXPECT_EQ("wmav2", bench::Ffprobe(path, "stream=codec_name"));
    EXPECT_NEAR(5.0, atof(bench::Ffprobe(path, "format=duration").c_str()), 0.2);
    EXPECT_EQ("Morning take", bench::Ffprobe(path, "format_tags=title"));
    EXPECT_EQ("Ann Smith", bench::Ffprobe(path, "format_tags=artist"));
    EXPECT_EQ("Field notes", bench::Ffprobe(path, "format_tags=album"));
    EXPECT_EQ("Speech", bench::Ffprobe(path, "format_tags=genre"));
    EXPECT_EQ("Bob", bench::Ffprobe(path, "format_tags=composer"));
    EXPECT_EQ("(c) 2026 Ann", bench::Ffprobe(path, "format_tags=copyright"));
    EXPECT_EQ("Recorded on the balcony", bench::Ffprobe(path, "format_tags=comment"));
    bench::Wav wav;
    ASSERT_TRUE(bench::DecodeWithFfmpeg(path, &wav));
    EXPECT_GT(bench::ToneLevel(wav, 0, 1000, 44100, 88200), 0.2);
    EXPECT_LT(bench::ToneLevel(wav, 0, 3000, 44100, 88200), 0.01);

    MediaTagRecord changed = tags;
    strcpy(changed.title, "Evening take");
    strcpy(changed.author, "Carol");
    ASSERT_EQ(S_OK, WriteWmaTags(path.c_str(), changed));
    EXPECT_EQ("Evening take", bench::Ffprobe(path, "format_tags=title"));
    EXPECT_EQ("Carol", bench::Ffprobe(path, "format_tags=artist"));
    EXPECT_EQ("Field notes", bench::Ffprobe(path, "format_tags=album"));
    EXPECT_NEAR(5.0, atof(bench::Ffprobe(path, "format=duration").c_str()), 0.2);

    MediaTagRecord read;
    ASSERT_EQ(S_OK, ReadWmaTags(path.c_str(), &read));
    EXPECT_STREQ("Evening take", read.title);
    EXPECT_STREQ("Carol", read.author);
    EXPECT_STREQ("Bob", read.composer);
    ASSERT_EQ(0, ReadMediaFileInfo(path.c_str()));
    EXPECT_STREQ("Artist : Carol", MediaInfoLines[0]);
    EXPECT_STREQ("Title : Evening take", MediaInfoLines[1]);
    EXPECT_STREQ("Copyright : (c) 2026 Ann", MediaInfoLines[5]);
}

TEST_F(WmaThroughStandin, TheChosenProfileSetsTheBitrate) {
    std::vector<long> rates;
    for (const char* which : {"64", "160"}) {
        int index = ProfileWith(which);
        ASSERT_GE(index, 0) << which;
        ASSERT_EQ(S_OK, SelectWmaProfile(index));
        std::string path = bench::ScratchDir() + "\\rate" + which + ".wma";
        ASSERT_EQ(S_OK, WmaBeginWriting(2, 44100, 16, path.c_str()));
        WriteTone(3);
        ASSERT_EQ(S_OK, WmaEndWriting());
        rates.push_back(atol(bench::Ffprobe(path, "stream=bit_rate").c_str()));
    }
    EXPECT_NEAR(64000, rates[0], 8000);
    EXPECT_NEAR(160000, rates[1], 16000);
}

TEST_F(WmaThroughStandin, AFormatWithoutAMatchingInputIsRefused) {
    ASSERT_EQ(S_OK, SelectWmaProfile(ProfileWith("128")));
    std::string path = bench::ScratchDir() + "\\odd.wma";
    EXPECT_TRUE(FAILED(WmaBeginWriting(2, 12000, 16, path.c_str())));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
}

}  // namespace
