// Recordings started from brindle.exe's command line while a tone plays
// into the recorded sink: the file named on the line, in the format the
// line asks for, holding the tone.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <objbase.h>

#include "bench.h"
#include "brindle_process.h"
#include "recorded_device.h"

namespace {

// A folder of this test run's own, as cases of other lanes and build trees
// may run at the same time.
std::string RecordingFolder() {
    const std::string folder = "z:\\tmp\\brindleclrec" + bench::RunId();
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// The stored device is the capture device that records this test's sink.
void StoreRecordedDevice() {
    StoreDword("Device", static_cast<DWORD>(bench::RecordedDevice()));
}

// Settings as on a first start, except the device that records the test's
// sink and no overwrite question.
void FreshSettings() {
    ClearSettings();
    StoreRecordedDevice();
    StoreDword("Alert", 0);
}

// Runs `args`, lets it record for `seconds`, closes it with its close
// command and returns the exit code.
long RecordFor(const std::string& args, DWORD ms) {
    Program p;
    if (!p.Start(args, false)) return -2;
    bench::Pump(ms);
    PostMessageA(p.window, WM_COMMAND, 1014, 0);
    return p.WaitExit(20000);
}

}  // namespace

TEST(CommandLineRecording, WavOfTheToneAtTheFormatTheLineAsks) {
    ASSERT_TRUE(bench::HaveSound());
    FreshSettings();
    std::string file = RecordingFolder() + "\\tone.wav";
    DeleteFileA(file.c_str());
    auto tone = bench::PlayTone(1000, 120);
    bench::Pump(2500);  // the sink settles

    ASSERT_EQ(0, RecordFor("/r /hide -frequency 22 -bit 16 -channels 1 -filename " + file, 5000));
    bench::Wav wav;
    std::string error;
    ASSERT_TRUE(bench::ReadWav(file, &wav, &error)) << error;
    EXPECT_EQ(1, wav.channels);
    EXPECT_EQ(22050, wav.rate);
    EXPECT_EQ(16, wav.bits);
    EXPECT_GT(wav.Seconds(), 2.0);
    EXPECT_GT(bench::ToneLevel(wav, 0, 1000), 0.1);
    // The header is complete: the sizes match the file.
    EXPECT_EQ(wav.fileSize - 8, wav.riffSize);
    EXPECT_EQ(wav.fileSize - 44, wav.dataSize);
}

// brindle as a user installs it: the build's dist folder copied alone into
// a folder of the prefix, the encoder library found beside the program, the
// history in a scratch install folder.
TEST(CommandLineRecording, Mp3AtTheGivenBitrateFromTheInstallFolder) {
    ASSERT_TRUE(bench::HaveSound());
    FreshSettings();
    std::string scratch = bench::ScratchDir();
    ASSERT_EQ(0, bench::Host("cp -r " + bench::ShellQuote(bench::Env("BENCH_BUILD_DIR") + "/dist") +
                             " " + bench::ShellQuote(bench::UnixPath(scratch) + "/Brindle")));
    std::string program = scratch + "\\Brindle\\brindle.exe";
    StoreText("InstallPath", scratch);
    std::string file = RecordingFolder() + "\\tone.mp3";
    DeleteFileA(file.c_str());
    auto tone = bench::PlayTone(1000, 120);
    bench::Pump(2500);

    Program p;
    ASSERT_TRUE(p.Start("/r /hide -frequency 44 -bit 16 -channels 2 -mp3bitrate 192 -filename " + file,
                        false, program));
    // A slow machine may take seconds to load the encoder and start the
    // graph: stop once the file holds about three seconds of sound.
    const DWORD begun = GetTickCount();
    WIN32_FILE_ATTRIBUTE_DATA info{};
    while (GetTickCount() - begun < 30000 &&
           !(GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &info) &&
             info.nFileSizeLow >= 3 * 24000))
        bench::Pump(200);
    PostMessageA(p.window, WM_COMMAND, 1014, 0);
    ASSERT_EQ(0, p.WaitExit(20000));
    EXPECT_EQ("mp3", bench::Ffprobe(file, "stream=codec_name"));
    EXPECT_EQ("192000", bench::Ffprobe(file, "stream=bit_rate"));
    bench::Wav wav;
    ASSERT_TRUE(bench::DecodeWithFfmpeg(file, &wav));
    EXPECT_GT(wav.Seconds(), 2.0);
    EXPECT_GT(bench::ToneLevel(wav, 0, 1000), 0.1);
    // The bitrate of the line is stored for the next start.
    EXPECT_EQ(13, StoredDword("MP3Bitrate"));
}

// A recording cut off by a crash still says in its header how much sound
// it holds, up to a second before the end, and all of it is the tone.
TEST(CommandLineRecording, AKilledWavRecordingKeepsItsLength) {
    ASSERT_TRUE(bench::HaveSound());
    FreshSettings();
    StoreText("InstallPath", bench::ScratchDir());
    auto tone = bench::PlayTone(1000, 120);
    bench::Pump(2500);
    const struct {
        const char* format;
        int rate, bits, channels;
    } cases[] = {{"-frequency 44 -bit 16 -channels 2", 44100, 16, 2},
                 {"-frequency 22 -bit 8 -channels 1", 22050, 8, 1}};
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        std::string file = RecordingFolder() + "\\killed" + std::to_string(index++) + ".wav";
        DeleteFileA(file.c_str());
        Program p;
        ASSERT_TRUE(p.Start(std::string("/r /hide ") + c.format + " -filename " + file, false));
        bench::Pump(6000);
        p.Kill();
        p.WaitExit(10000);

        std::string seconds;
        bench::Host("sox --i -D " + bench::ShellQuote(bench::UnixPath(file)), &seconds);
        std::printf("killed after 6 s: sox says %s", seconds.c_str());
        EXPECT_GE(atof(seconds.c_str()), 5.0);
        bench::Wav wav;
        std::string error;
        ASSERT_TRUE(bench::ReadWav(file, &wav, &error)) << error;
        EXPECT_EQ(c.rate, wav.rate);
        EXPECT_EQ(c.bits, wav.bits);
        EXPECT_EQ(c.channels, wav.channels);
        EXPECT_EQ(wav.riffSize, wav.dataSize + 36);
        EXPECT_LE(wav.dataSize + 44, wav.fileSize);
        // Every second the header claims holds the tone (the first tenth,
        // while the device settles, aside).
        for (int second = 0; second + 1 <= static_cast<int>(wav.Seconds()); ++second) {
            size_t from = static_cast<size_t>(wav.rate) * second + (second == 0 ? wav.rate / 10 : 0);
            EXPECT_GT(bench::ToneLevel(wav, 0, 1000, from, static_cast<size_t>(wav.rate) * 9 / 10), 0.1)
                << "second " << second;
        }
    }
}

// MP3 recordings closed 100 to 900 ms after the window appears, before or
// just after the first sound reaches the encoder: every file left behind
// opens with its audio stream, and every history line names a file that
// is there.
TEST(CommandLineRecording, Mp3StoppedEarlyStillOpens) {
    ASSERT_TRUE(bench::HaveSound());
    FreshSettings();
    std::string install = bench::ScratchDir();
    ASSERT_TRUE(CopyFileA(bench::WinPath(bench::Env("BENCH_BUILD_DIR") + "/lame/lame_enc.dll").c_str(),
                          (install + "\\lame_enc.dll").c_str(), FALSE));
    StoreText("InstallPath", install);
    auto tone = bench::PlayTone(1000, 120);
    bench::Pump(2500);

    const int cycles = 20;
    std::vector<std::string> files;
    for (int i = 0; i < cycles; ++i) {
        std::string file = RecordingFolder() + "\\early" + std::to_string(i) + ".mp3";
        DeleteFileA(file.c_str());
        files.push_back(file);
        Program p;
        ASSERT_TRUE(p.Start("/r -frequency 44 -bit 16 -channels 2 -mp3bitrate 128 -filename " + file));
        bench::Pump(100 + 800 * i / (cycles - 1));
        if (i % 2) {
            PostMessageA(p.window, WM_COMMAND, 1014, 0);
        } else {
            RECT r = p.Rect();
            bench::Click(r.left + 542, r.top + 13);  // the face's close button
        }
        ASSERT_EQ(0, p.WaitExit(20000)) << "cycle " << i;
    }
    int present = 0;
    for (const std::string& file : files) {
        if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        ++present;
        EXPECT_EQ("audio", bench::Ffprobe(file, "stream=codec_type")) << file;
    }
    std::printf("%d of %d early stops left a file\n", present, cycles);
    SYSTEMTIME t;
    GetLocalTime(&t);
    char day[64];
    snprintf(day, sizeof day, "\\Log\\%04d\\%04d%02d%02d.txt", t.wYear, t.wYear, t.wMonth, t.wDay);
    std::string log = bench::ReadText(install + day);
    int lines = 0;
    for (size_t from = 0, end; (end = log.find('\n', from)) != std::string::npos; from = end + 1) {
        std::string line = log.substr(from, end - from);
        size_t comma = line.find(',');
        size_t second = line.find(',', comma + 1);
        ASSERT_NE(std::string::npos, second) << line;
        std::string path = line.substr(comma + 1, second - comma - 1) + line.substr(0, comma);
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str())) << line;
        ++lines;
    }
    EXPECT_EQ(present, lines);
}
