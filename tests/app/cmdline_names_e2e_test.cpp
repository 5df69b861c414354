// File names given on the command line, run through the real main window
// while a tone plays: a name with a "-" records where it says, a device
// name, a missing folder or a file another recording holds is refused with
// a message that says why, nothing is recorded into another file, and a
// name that could not be opened never becomes the stored LastName.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "window_bench.h"

namespace {

struct Outcome {
    int recording = -1;  // a recording ran when the driver looked
    std::string status1, status2;
};

// Whether a recording runs and what the status line says, read on the
// window's thread.
Outcome ReadFace() {
    Outcome face;
    OnWindow([&face] {
        face.recording = Dialog->IsRecording || Dialog->ButtonDown(1000);
        face.status1 = static_cast<const char*>(Dialog->StatusLine1);
        face.status2 = static_cast<const char*>(Dialog->StatusLine2);
    });
    return face;
}

// Runs the window on `line` until a recording has taken `takeMs` of sound,
// or (when none is expected) for a while after start-up; then closes it.
Outcome RunLine(const std::string& line, bool expectRecording, const std::string& shot,
                int64_t takeMs = 1500) {
    static Outcome out;
    static bool expect;
    static int64_t take;
    static std::string name;
    out = Outcome();
    expect = expectRecording;
    take = takeMs;
    name = shot;
    ParseCommandLine(line.c_str(), &CommandLineOptions);
    WatchedDialog dialog;
    RunDialog(dialog, [] {
        if (expect) {
            bench::PumpUntil([] { return ReadOnWindow<bool>([] {
                                      return Dialog->CaptureActive && TakenMilliseconds() >= take;
                                  }); },
                             60000);
        } else {
            Sleep(1500);
        }
        out = ReadFace();
        bench::Screenshot(name);
    }, line.find("/hide") == std::string::npos);
    CommandLineOptions = CommandLineOptionSet();
    return out;
}

// Runs the window, chooses WMA and `file` as its output and presses REC
// on its face; reads what shows once the start recorded or was refused.
Outcome PressRecordWma(const std::string& file, const std::string& shot) {
    static Outcome out;
    static std::string path, name;
    out = Outcome();
    path = file;
    name = shot;
    WatchedDialog dialog;
    RunDialog(dialog, [] {
        SetOutputFileWithButton(path, 1171);
        ClickButton(1000);
        bench::PumpUntil([] { return ReadOnWindow<bool>([] {
                             return Dialog->CaptureActive ||
                                    Dialog->StatusLine1 == "Cannot open the output file";
                         }); },
                         30000);
        out = ReadFace();
        bench::Screenshot(name);
    });
    return out;
}

std::string FileText(const std::string& path) {
    std::vector<BYTE> bytes = bench::FileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void WriteText(const std::string& path, const std::string& text) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f) << path;
    fputs(text.c_str(), f);
    fclose(f);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

// Names with a "-" are read whole and record where they say; the file that
// the name used to be cut to stays as it was. A path past 255 characters
// records and is logged whole, extension and all.
TEST_F(RecordingBench, CommandLineNamesWithADashRecordWhereTheySay) {
    const std::string dir = "c:\\t3-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string old = dir + "\\old.wav";
    WriteText(old, "RIFF kept as it was");
    const std::string deep = out_ + "\\" + std::string(262 - out_.size() - 10, 'l');
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr)) << deep.size();
    auto tone = bench::PlayTone(1000, 120, 0.5);
    bench::Pump(2500);
    const struct {
        std::string line, file;
    } cases[] = {
        {"/r -filename " + dir + "\\old.wav-new.wav", dir + "\\old.wav-new.wav"},
        {"/r -filename " + dir + "\\my-take.wav -bit 16 -channels 2", dir + "\\my-take.wav"},
        {"/r -filename " + deep + "\\take.wav", deep + "\\take.wav"},
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        DeleteFileA(c.file.c_str());
        Outcome o = RunLine(c.line, true, "dash-name-" + std::to_string(index++));
        EXPECT_EQ(1, o.recording);
        bench::Wav wav;
        std::string error;
        ASSERT_TRUE(bench::ReadWav(c.file, &wav, &error)) << error;
        EXPECT_GT(wav.Seconds(), 1.0);
        EXPECT_GT(ToneOf(wav), 0.1);
        EXPECT_EQ("RIFF kept as it was", FileText(old));
        // The name that ran (as the command line reads it, in lower case)
        // is the one stored for the next start, and the one its history
        // line names.
        std::string ran = c.file;
        for (char& ch : ran) ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
        EXPECT_EQ(ran, StoredText("LastName"));
        const std::vector<std::string> lines = ReadLines(DayFile());
        ASSERT_FALSE(lines.empty());
        const std::vector<std::string> fields = Split(lines.back());
        ASSERT_GE(fields.size(), 2u);
        EXPECT_EQ(ran, fields[1] + fields[0]);
    }
    EXPECT_EQ(3u, ReadLines(DayFile()).size());
    EXPECT_EQ(262u, cases[2].file.size());
}

// Device names, missing folders and names too long for the system record
// nothing: the message says why,
// no history line is written, no file appears and LastName stays the
// previous name.
TEST_F(RecordingBench, CommandLineNamesThatCannotTakeARecordingSayWhy) {
    const std::string dir = "c:\\t3n" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string previous = out_ + "\\previous.wav";
    StoreText("LastName", previous);
    // The overwrite question is on: a device must not be asked about as if
    // it were a file that exists.
    StoreDword("Alert", 1);
    const std::string longFolder = out_ + "\\" + std::string(150, 'a') + "\\" + std::string(100, 'b');
    ASSERT_EQ(0, bench::Host("mkdir -p '" + bench::UnixPath(longFolder) + "'"));
    const std::string longName = longFolder + "\\take.wav";
    auto tone = bench::PlayTone(1000, 120, 0.5);
    const struct {
        std::string line, status1, status2;
    } cases[] = {
        {"/r -filename " + dir + "\\nul.wav", "Cannot use that file name",
         "It names a device (nul, con, com1...)"},
        {"/r -filename " + dir + "\\COM3.mp3", "Cannot use that file name",
         "It names a device (nul, con, com1...)"},
        {"/r /hide -filename " + dir + "\\lpt1.wav", "Cannot use that file name",
         "It names a device (nul, con, com1...)"},
        {"/r -filename " + dir + "\\take.ogg", "Cannot use that file name", "It must end in .wav or .mp3"},
        {"/r -filename " + dir + "\\no such folder\\take.wav", "Cannot open the output file",
         "Its folder does not exist"},
        // Its folders exist; the system cannot take the name.
        {"/r -filename " + longName, "Cannot use that file name", "The name is too long"},
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        Outcome o = RunLine(c.line, false, "refused-name-" + std::to_string(index++));
        EXPECT_EQ(0, o.recording);
        EXPECT_EQ(c.status1, o.status1);
        EXPECT_EQ(c.status2, o.status2);
        EXPECT_EQ(previous, StoredText("LastName"));
        EXPECT_EQ(0u, ReadLines(DayFile()).size());
    }
    EXPECT_FALSE(Exists(dir + "\\no such folder"));
}

// The main window closed while "File exist" asks about the old take (its
// close, or Exit in the tray menu), then Yes: the program ends without
// touching the old take and logs nothing.
TEST_F(RecordingBench, ClosingDuringTheOverwriteQuestionKeepsTheOldTake) {
    StoreDword("Alert", 1);
    const std::string old = out_ + "\\old.wav";
    WriteText(old, "RIFF an old take");
    const struct {
        const char* how;
        UINT message;
        WPARAM command;
    } closes[] = {{"close", WM_CLOSE, 0}, {"tray Exit", WM_COMMAND, 57665}};
    for (const auto& c : closes) {
        SCOPED_TRACE(c.how);
        Program p;
        ASSERT_TRUE(p.Start("/r -filename " + old));
        HWND box = p.WaitForDialog("File exist", 60000);
        ASSERT_NE(nullptr, box);
        // Sent: once the call returns the close has been taken in by the
        // question's loop, and what it posts comes before the answer.
        DWORD_PTR result = 0;
        ASSERT_TRUE(SendMessageTimeoutA(p.window, c.message, c.command, 0, SMTO_NORMAL, 30000, &result));
        PostMessageA(box, WM_COMMAND, IDYES, 0);
        EXPECT_EQ(0, p.WaitExit(30000));
        EXPECT_EQ("RIFF an old take", FileText(old));
        EXPECT_EQ(0u, ReadLines(DayFile()).size());
    }
}

// A second recorder on the file that a running one writes is refused with
// the "cannot open" message and never touches it: the first recorder's
// file is its take alone, whole and with its header right. WAV records from
// the command line; WMA, which the command line does not take, from REC on
// a stored name, the second recorder choosing WMA and pressing REC on its
// face.
TEST_F(RecordingBench, ASecondRecorderOnTheSameFileIsRefused) {
    ASSERT_TRUE(ChooseWmaProfile("128"));
    auto tone = bench::PlayTone(1000, 120, 0.5);
    bench::Pump(2500);
    const struct {
        const char* name;
        DWORD bytes;  // the first take's size when the second one starts
    } cases[] = {{"shared.wav", 2 * 176400}, {"shared.wma", 2 * 16000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = out_ + "\\" + c.name;
        const bool wma = std::string(c.name).find(".wma") != std::string::npos;
        DeleteFileA(file.c_str());

        Program first;
        if (wma) {
            StoreText("LastName", file);
            ASSERT_TRUE(first.Start("/hide", false));
            PostMessageA(first.window, WM_COMMAND, 1000, 0);
        } else {
            ASSERT_TRUE(first.Start("/r /hide -filename " + file, false));
        }
        WIN32_FILE_ATTRIBUTE_DATA info{};
        ASSERT_TRUE(bench::PumpUntil(
            [&] {
                return GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &info) &&
                       info.nFileSizeLow >= c.bytes;
            },
            60000));

        const std::string previous = out_ + "\\previous.wav";
        StoreText("LastName", previous);
        // The second one's name differs in case: the same file all the same.
        Outcome o = wma ? PressRecordWma(file, "second-recorder-wma")
                        : RunLine("/r -filename " + file, false, "second-recorder");
        EXPECT_EQ(0, o.recording);
        EXPECT_EQ("Cannot open the output file", o.status1);
        EXPECT_EQ("Another recording is writing it", o.status2);
        EXPECT_EQ(previous, StoredText("LastName"));

        PostMessageA(first.window, WM_COMMAND, 1014, 0);
        ASSERT_EQ(0, first.WaitExit(30000));
        bench::Wav wav;
        if (wma) {
            ASSERT_TRUE(bench::DecodeWithFfmpeg(file, &wav, 44100));
            EXPECT_NEAR(wav.Seconds(), atof(bench::Ffprobe(file, "format=duration").c_str()), 0.2);
        } else {
            std::string error;
            ASSERT_TRUE(bench::ReadWav(file, &wav, &error)) << error;
            EXPECT_EQ(wav.fileSize - 8, wav.riffSize);
            EXPECT_EQ(wav.fileSize - 44, wav.dataSize);
        }
        EXPECT_GT(wav.Seconds(), 3.0);
        // One take from its start to its end: the tone throughout, no stretch
        // of another recorder's start in the middle.
        EXPECT_GT(ToneOf(wav), 0.1);
        EXPECT_LT(bench::LongestInnerZeroRun(wav), static_cast<size_t>(wav.rate / 10));
    }
}
