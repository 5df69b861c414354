// Recording from the main window as a user does it: real clicks on the
// face of the real window while a tone plays into the recorded sink, then
// the files, their history lines and their playback are checked. The
// window runs inside this test so its state and messages can be watched.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/CommandLine.h"
#include "app/VelorinDlg.h"
#include "bench.h"
#include "brindle_process.h"
#include "watched_dialog.h"
#include "engine/CaptureGraph.h"
#include "engine/PlayerGraph.h"
#include "engine/WmaWriter.h"
#include "framework/SafeString.h"
#include "ui/HistoryLog.h"
#include "window_bench.h"

namespace {

// Record 5 s and stop, once for each format; each file holds the tone at
// the length recorded, each stop adds one history line; then the WAV is
// played to its end.
TEST_F(RecordingBench, RecordStopAndPlayInEachFormat) {
    auto tone = bench::PlayTone(1000, 120, 0.5);
    const std::string names[] = {out_ + "\\take.wav", out_ + "\\take.mp3", out_ + "\\take.wma"};
    static double wall[3];
    static int32_t positions[3];
    static int finishedDuringPlay = -1, playingAfter = -1;
    WatchedDialog dialog;
    // The window loads the stored WMA profile at start-up, as the WMA
    // settings dialog leaves it.
    const bool profileChosen = ChooseWmaProfile("128");
    RunDialog(dialog, [&] {
        for (int i = 0; i < 3; ++i) {
            SetOutputFile(names[i]);
            ClickButton(1000);
            DWORD start = GetTickCount();
            Sleep(2500);
            if (i == 0) bench::Screenshot("recording");
            while (GetTickCount() - start < 5000) Sleep(10);
            ClickButton(1004);
            wall[i] = (GetTickCount() - start) / 1000.0;
            // The stop's own wind-down is not part of the take.
            bench::PumpUntil([] { return !ReadOnWindow<bool>([] { return Dialog->CaptureActive; }); },
                             5000);
            if (i == 0) bench::Screenshot("recording-stopped");
        }
        // Play the WAV: the position moves on, and the end is reported.
        SetOutputFile(names[0]);
        ClickButton(1006);
        // The player may take a second to open the file on a slow machine;
        // from its first half second on it must keep moving.
        bench::PumpUntil([] { return ReadOnWindow<int32_t>([] { return Dialog->PlayPosition; }) > 500; },
                         6000);
        positions[0] = ReadOnWindow<int32_t>([] { return Dialog->PlayPosition; });
        Sleep(1500);
        positions[1] = ReadOnWindow<int32_t>([] { return Dialog->PlayPosition; });
        bench::Screenshot("playing");
        bench::PumpUntil([] { return Dialog->playbackFinished > 0; }, 8000);
        Sleep(300);
        finishedDuringPlay = Dialog->playbackFinished;
        playingAfter = ReadOnWindow<int>([] { return Dialog->IsPlaying; });
    });

    EXPECT_TRUE(profileChosen);
    // WAV: the tone, and as long as the time between the clicks.
    bench::Wav wav;
    std::string error;
    ASSERT_TRUE(bench::ReadWav(names[0], &wav, &error)) << error;
    EXPECT_EQ(44100, wav.rate);
    EXPECT_EQ(2, wav.channels);
    EXPECT_NEAR(wall[0], wav.Seconds(), 0.5);
    EXPECT_GT(ToneOf(wav), 0.3);
    EXPECT_LT(bench::LongestInnerZeroRun(wav), 441u);
    std::printf("WAV: %.2f s between the clicks, %.2f s in the file, tone %.2f\n", wall[0],
                wav.Seconds(), ToneOf(wav));
    // MP3 and WMA, decoded.
    for (int i = 1; i < 3; ++i) {
        SCOPED_TRACE(names[i]);
        bench::Wav decoded;
        ASSERT_TRUE(bench::DecodeWithFfmpeg(names[i], &decoded, 44100));
        EXPECT_NEAR(wall[i], decoded.Seconds(), 0.6);
        EXPECT_GT(ToneOf(decoded), 0.25);
        std::printf("%s: %.2f s between the clicks, %.2f s decoded, tone %.2f\n",
                    i == 1 ? "MP3" : "WMA", wall[i], decoded.Seconds(), ToneOf(decoded));
    }
    EXPECT_EQ("mp3", bench::Ffprobe(names[1], "stream=codec_name"));
    EXPECT_EQ("wmav2", bench::Ffprobe(names[2], "stream=codec_name"));

    // One history line for each stop, in order.
    std::vector<std::string> lines = ReadLines(DayFile());
    ASSERT_EQ(3u, lines.size()) << DayFile();
    const char* files[] = {"take.wav", "take.mp3", "take.wma"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(lines[i]);
        std::vector<std::string> f = Split(lines[i]);
        ASSERT_EQ(7u, f.size());
        EXPECT_EQ(files[i], f[0]);
        EXPECT_EQ(out_ + "\\", f[1]);
        EXPECT_EQ(8u, f[2].size());  // hh:mm:ss
        // The player measures what it can open; a file it cannot (WMA, no
        // decoder on the bench) gets the record clock's whole seconds, so a
        // take of a little over 5 s may show 0:06.
        EXPECT_TRUE(f[3] == "0:04" || f[3] == "0:05" || (i == 2 && f[3] == "0:06")) << f[3];
        EXPECT_EQ(std::to_string(line_ + 1) + " - " + lineName_, f[4]);
        EXPECT_EQ("", f[5]);
        EXPECT_EQ("", f[6]);
    }

    // Playback moved on and ended with its message.
    EXPECT_GT(positions[0], 500);
    EXPECT_GT(positions[1], positions[0] + 800);
    EXPECT_EQ(1, finishedDuringPlay);
    EXPECT_EQ(0, playingAfter);
}

// A pause of 2 s leaves the file 2 s shorter than the time between the
// clicks, and the sound on both sides of it meets without a gap.
TEST_F(RecordingBench, PauseLeavesOutItsTimeWithoutAGap) {
    auto tone = bench::PlayTone(1000, 60, 0.5);
    static double wall = 0;
    static int pausedState = -1;
    WatchedDialog dialog;
    RunDialog(dialog, [] {
        ClickButton(1000);
        DWORD start = GetTickCount();
        Sleep(1500);
        ClickButton(1003);
        Sleep(300);
        pausedState = ReadOnWindow<int>([] { return Dialog->IsPaused; });
        Sleep(1700);
        ClickButton(1003);
        Sleep(1500);
        ClickButton(1004);
        wall = (GetTickCount() - start) / 1000.0;
    });
    EXPECT_EQ(1, pausedState);
    bench::Wav wav;
    std::string error;
    ASSERT_TRUE(bench::ReadWav(out_ + "\\take.wav", &wav, &error)) << error;
    // The pause's 2 s are left out; the capture starting a moment after the
    // Record click (longer on a busy machine) may shorten the file further.
    EXPECT_LT(wav.Seconds(), wall - 2.0 + 0.4);
    EXPECT_GT(wav.Seconds(), wall - 2.0 - 1.2);
    EXPECT_GT(ToneOf(wav), 0.3);
    EXPECT_LT(bench::LongestInnerZeroRun(wav), 441u);
    EXPECT_EQ(1u, ReadLines(DayFile()).size());
}

// A pattern of silence and tone (alternating, silence first) for
// signal-activated recording, written with sox on the host. Returns its
// host path, for bench::PlayFile once the window is up.
std::string MakePattern(const std::string& folder, const std::vector<double>& silenceThenTone) {
    std::string dir = bench::UnixPath(folder);
    std::string cmd = "cd '" + dir + "' && ";
    std::string parts;
    for (size_t i = 0; i < silenceThenTone.size(); ++i) {
        char piece[200];
        if (i % 2 == 1)
            snprintf(piece, sizeof piece,
                     "sox -n -r 44100 -c 2 -b 16 p%zu.wav synth %.2f sine 1000 vol 0.5 && ", i,
                     silenceThenTone[i]);
        else
            snprintf(piece, sizeof piece, "sox -n -r 44100 -c 2 -b 16 p%zu.wav trim 0 %.2f && ", i,
                     silenceThenTone[i]);
        cmd += piece;
        parts += " p" + std::to_string(i) + ".wav";
    }
    cmd += "sox" + parts + " pattern.wav";
    EXPECT_EQ(0, bench::Host(cmd));
    return dir + "/pattern.wav";
}

struct RecordedFile {
    std::string name;
    double seconds = -1;
    double tone = 0;
};

std::vector<RecordedFile> WavFilesIn(const std::string& folder) {
    std::vector<RecordedFile> files;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\*.WAV").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return files;
    do {
        RecordedFile f;
        f.name = found.cFileName;
        bench::Wav wav;
        if (bench::ReadWav(folder + "\\" + f.name, &wav)) {
            f.seconds = wav.Seconds();
            f.tone = wav.samples.empty() ? 0 : bench::ToneLevel(wav, 0, 1000);
        }
        files.push_back(f);
    } while (FindNextFileA(h, &found));
    FindClose(h);
    std::sort(files.begin(), files.end(),
              [](const RecordedFile& a, const RecordedFile& b) { return a.name < b.name; });
    return files;
}

// Silence action 2: every silence after sound closes the file and the next
// one starts 300 ms later under the next number. Sound that comes once the
// next file waits for it is recorded whole, however short. Each burst plays
// when the window is ready for it: how soon a split comes after the sound
// ends depends on the machine's speed, not on what is tested here.
TEST_F(RecordingBench, SignalNewFileSplitsIntoNumberedFilesLosingNothing) {
    StoreDword("SignalType", 2);
    static std::vector<double> splitTimes;
    splitTimes.clear();
    WatchedDialog dialog;
    RunDialog(dialog, [] {
        auto name = [] { return ReadOnWindow<std::string>([] { return std::string(Dialog->OutputPath); }); };
        // Recording in signal mode, and the device's blocks arrive.
        auto waiting = [] {
            return ReadOnWindow<int>([] {
                       return Dialog->IsRecording && Dialog->SignalModeOn &&
                              RecordingSession.LastBlock.load() != nullptr;
                   }) != 0;
        };
        ClickButton(1050);
        const DWORD start = GetTickCount();
        for (double seconds : {2.0, 2.0, 0.5, 0.4}) {
            for (DWORD t = GetTickCount(); !waiting() && GetTickCount() - t < 30000;) Sleep(50);
            Sleep(1000);  // a start's own work on the window's thread is done
            const std::string before = name();
            auto tone = bench::PlayTone(1000, seconds, 0.5);
            // The silence after it closes the file; the next start names
            // the next one.
            for (DWORD t = GetTickCount(); name() == before && GetTickCount() - t < 30000;) Sleep(50);
            if (name() != before) splitTimes.push_back((GetTickCount() - start) / 1000.0);
        }
        ClickButton(1004);
    });
    std::vector<RecordedFile> files = WavFilesIn(out_);
    for (const RecordedFile& f : files)
        std::printf("%s: %.2f s, tone %.2f\n", f.name.c_str(), f.seconds, f.tone);
    std::printf("new files started at:");
    for (double t : splitTimes) std::printf(" %.2f", t);
    std::printf(" s\n");
    ASSERT_GE(files.size(), 4u);
    EXPECT_EQ("take_001.WAV", files[0].name);
    EXPECT_EQ("take_002.WAV", files[1].name);
    EXPECT_EQ("take_003.WAV", files[2].name);
    EXPECT_EQ("take_004.WAV", files[3].name);
    // Each burst in a file of its own, whole; silence is not recorded.
    const double bursts[] = {2.0, 2.0, 0.5, 0.4};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(files[i].name);
        EXPECT_NEAR(bursts[i], files[i].seconds, 0.25);
        EXPECT_GT(files[i].tone, 0.3);
    }
    // One history line for each file that was closed by a split or the
    // stop, with the file's length in whole seconds.
    const std::vector<std::string> lines = ReadLines(DayFile());
    EXPECT_EQ(files.size(), lines.size());
    for (size_t i = 0; i < lines.size() && i < files.size(); ++i) {
        const std::vector<std::string> f = Split(lines[i]);
        ASSERT_EQ(7u, f.size());
        EXPECT_NEAR(files[i].seconds, atoi(f[3].substr(2).c_str()), 1.0) << lines[i];
    }
    EXPECT_EQ(4u, splitTimes.size());
}

// Silence action 0 pauses after a second of silence and the next sound
// resumes; action 1 stops after sound was heard, and not before.
TEST_F(RecordingBench, SignalPauseResumesAndSignalStopWaitsForSound) {
    StoreDword("SignalType", 0);
    static int pausedInSilence = -1, resumedOnTone = -1;
    static std::string pattern;
    pattern = MakePattern(folder_, {0.8, 2.0, 2.5, 2.0, 3.0});
    {
        WatchedDialog dialog;
        RunDialog(dialog, [] {
            auto player = bench::PlayFile(pattern);
            ClickButton(1050);
            Sleep(4700);  // in the silence after the first burst
            pausedInSilence = ReadOnWindow<int>([] { return Dialog->IsPaused; });
            Sleep(1700);  // in the second burst
            resumedOnTone = ReadOnWindow<int>([] { return Dialog->IsPaused; });
            Sleep(1500);
            ClickButton(1004);
        });
    }
    EXPECT_EQ(1, pausedInSilence);
    EXPECT_EQ(0, resumedOnTone);
    bench::Wav wav;
    ASSERT_TRUE(bench::ReadWav(out_ + "\\take.wav", &wav));
    EXPECT_NEAR(4.0, wav.Seconds(), 0.4);
    EXPECT_GT(ToneOf(wav), 0.3);

    // Silence action 1.
    StoreDword("SignalType", 1);
    StoreText("LastName", out_ + "\\stop.wav");
    static int recordingBeforeSound = -1, signalAfter = -1, recordingAfter = -1;
    pattern = MakePattern(folder_, {2.5, 2.0, 4.0});
    {
        WatchedDialog dialog;
        RunDialog(dialog, [] {
            auto player = bench::PlayFile(pattern);
            ClickButton(1050);
            Sleep(2000);  // silence: nothing heard yet, still waiting
            recordingBeforeSound = ReadOnWindow<int>([] { return Dialog->IsRecording; });
            Sleep(4500);  // the burst, then silence: stopped
            signalAfter = ReadOnWindow<int>([] { return Dialog->SignalModeOn; });
            recordingAfter = ReadOnWindow<int>([] { return Dialog->IsRecording; });
        });
    }
    EXPECT_EQ(1, recordingBeforeSound);
    EXPECT_EQ(0, signalAfter);
    EXPECT_EQ(0, recordingAfter);
    ASSERT_TRUE(bench::ReadWav(out_ + "\\stop.wav", &wav));
    EXPECT_NEAR(2.0, wav.Seconds(), 0.3);
    EXPECT_EQ(2u, ReadLines(DayFile()).size());
}

}  // namespace

namespace {

// Both naming options through the face's check boxes, in a folder whose
// own name holds "_": numbered files stay in that folder, and two
// time-stamped recordings within one second get two files.
TEST_F(RecordingBench, NumberedAndTimeStampedNamesStayInTheirFolder) {
    auto tone = bench::PlayTone(1000, 60, 0.5);
    static std::string names[4];
    WatchedDialog dialog;
    RunDialog(dialog, [] {
        auto take = [](int i) {
            ClickButton(1000);
            Sleep(400);
            ClickButton(1004);
            bench::PumpUntil([] { return !ReadOnWindow<bool>([] { return Dialog->CaptureActive; }); },
                             5000);
            names[i] = ReadOnWindow<std::string>([] { return std::string(Dialog->OutputPath); });
        };
        ClickButton(1038);  // multiple files
        take(0);
        take(1);
        ClickButton(1073);  // time-stamped names (multiple files stays on)
        take(2);
        take(3);
    });
    EXPECT_EQ(out_ + "\\take_001.WAV", names[0]);
    EXPECT_EQ(out_ + "\\take_002.WAV", names[1]);
    // Two stamps of the same moment (or of consecutive seconds) differ.
    EXPECT_NE(names[2], names[3]);
    for (int i = 2; i < 4; ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(0u, names[i].find(out_ + "\\2"));
        EXPECT_EQ(".WAV", names[i].substr(names[i].size() - 4));
    }
    for (const std::string& name : names) {
        bench::Wav wav;
        EXPECT_TRUE(bench::ReadWav(name, &wav)) << name;
        EXPECT_NEAR(0.4, wav.Seconds(), 0.3) << name;
    }
    EXPECT_EQ(4u, ReadLines(DayFile()).size());
}

}  // namespace

namespace {

// A Stop clicked in the 300 ms between a file closed on silence and the
// next one's start is final: no new file, signal mode stays off.
TEST_F(RecordingBench, AStopBetweenTwoFilesIsNotUndone) {
    StoreDword("SignalType", 2);
    static std::string pattern;
    pattern = MakePattern(folder_, {1.0, 2.0, 5.0});
    static int sawGap = 0, recordingAfter = -1, signalAfter = -1;
    WatchedDialog dialog;
    RunDialog(dialog, [] {
        auto player = bench::PlayFile(pattern);
        ClickButton(1050);
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 7000 &&
               !ReadOnWindow<int>([] { return Dialog->RestartPending; }))
            Sleep(5);
        sawGap = ReadOnWindow<int>([] { return Dialog->RestartPending; });
        ClickButton(1004);
        Sleep(1500);
        recordingAfter = ReadOnWindow<int>([] { return Dialog->IsRecording; });
        signalAfter = ReadOnWindow<int>([] { return Dialog->SignalModeOn; });
    });
    EXPECT_EQ(1, sawGap);
    EXPECT_EQ(0, recordingAfter);
    EXPECT_EQ(0, signalAfter);
    std::vector<RecordedFile> files = WavFilesIn(out_);
    ASSERT_EQ(1u, files.size());
    EXPECT_EQ("take_001.WAV", files[0].name);
    EXPECT_NEAR(2.0, files[0].seconds, 0.25);
    EXPECT_EQ(1u, ReadLines(DayFile()).size());
}

}  // namespace

namespace {

// A background sound shorter than the recording: its end does not end the
// recording (action "stop background"), the rest is the capture alone.
TEST_F(RecordingBench, TheRecordingGoesOnWhenItsBackgroundEnds) {
    std::string dir = bench::UnixPath(folder_);
    ASSERT_EQ(0, bench::Host("sox -n -r 44100 -c 2 -b 16 '" + dir +
                             "/back.wav' synth 1.5 sine 440 vol 0.5"));
    StoreText("Background File", folder_ + "\\back.wav");
    StoreDword("Background Action", 2);
    auto tone = bench::PlayTone(1000, 60, 0.5);
    static int recordingAfterEnd = -1;
    WatchedDialog dialog;
    RunDialog(dialog, [] {
        ClickButton(1166);  // mix the background in
        ClickButton(1000);
        Sleep(4000);
        recordingAfterEnd = ReadOnWindow<int>([] { return Dialog->IsRecording; });
        ClickButton(1004);
    });
    EXPECT_EQ(1, recordingAfterEnd);
    bench::Wav wav;
    ASSERT_TRUE(bench::ReadWav(out_ + "\\take.wav", &wav));
    EXPECT_NEAR(4.0, wav.Seconds(), 0.5);
    const size_t rate = static_cast<size_t>(wav.rate);
    // The background in the first second, not in the last one; the capture
    // all through.
    EXPECT_GT(bench::ToneLevel(wav, 0, 440, rate / 4, rate), 0.1);
    EXPECT_LT(bench::ToneLevel(wav, 0, 440, wav.samples.size() / 2 - rate, rate), 0.02);
    EXPECT_GT(bench::ToneLevel(wav, 0, 1000, wav.samples.size() / 2 - rate, rate), 0.1);
    std::vector<std::string> lines = ReadLines(DayFile());
    ASSERT_EQ(1u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find("back.wav"));
}

}  // namespace

namespace {

// The face at 22050 Hz, 8-bit, recording MP3: the file is 44100 Hz from
// 16-bit sound and the face shows 16-bit afterwards. Record pressed while
// paused only arms; releasing pause starts it.
TEST_F(RecordingBench, ArmedMp3StartRaisesRateAndSampleWidth) {
    StoreDword("Freq", 4);  // 22050 Hz
    StoreDword("Bit", 0);
    auto tone = bench::PlayTone(1000, 60, 0.5);
    static int armedRecording = -1, armedButton = -1, bits16After = -1;
    static const std::string* file = nullptr;
    const std::string name = out_ + "\\armed.mp3";
    file = &name;
    WatchedDialog dialog;
    RunDialog(dialog, [] {
        SetOutputFile(*file);
        ClickButton(1003);  // pause down
        ClickButton(1000);  // record: armed only
        Sleep(1000);
        OnWindow([] {
            armedRecording = Dialog->IsRecording;
            armedButton = Dialog->ButtonDown(1000);
        });
        ClickButton(1003);  // release: the recording starts
        Sleep(3000);
        ClickButton(1004);
        Sleep(300);
        bits16After = ReadOnWindow<int>([] { return Dialog->Bits16On; });
    });
    EXPECT_EQ(0, armedRecording);
    EXPECT_EQ(1, armedButton);
    EXPECT_EQ(1, bits16After);
    EXPECT_EQ("44100", bench::Ffprobe(name, "stream=sample_rate"));
    bench::Wav wav;
    ASSERT_TRUE(bench::DecodeWithFfmpeg(name, &wav, 44100));
    EXPECT_NEAR(3.0, wav.Seconds(), 0.5);
    EXPECT_GT(ToneOf(wav), 0.25);
    EXPECT_EQ(1u, ReadLines(DayFile()).size());
}

// With the overwrite question on, an existing file is asked about; No
// leaves it as it was and starts nothing. Voice asks too, and its No
// switches Voice off as a failed start does.
TEST_F(RecordingBench, TheOverwriteQuestionKeepsTheFileOnNo) {
    StoreDword("Alert", 1);
    const std::string name = out_ + "\\take.wav";
    FILE* f = fopen(name.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    fputs("keep me", f);
    fclose(f);
    static bool asked = false;
    static int recording = -1, signal = -1;
    WatchedDialog dialog;
    RunDialog(dialog, [] {
        ClickButton(1000);
        HWND box = nullptr;
        bench::PumpUntil([&] { return (box = FindWindowA(nullptr, "File exist")) != nullptr; }, 5000);
        asked = box != nullptr;
        if (box) {
            bench::Screenshot("overwrite-question");
            PostMessageA(box, WM_COMMAND, IDNO, 0);
        }
        Sleep(500);
        recording = ReadOnWindow<int>([] { return Dialog->IsRecording; });
        ClickButton(1050);
        bench::PumpUntil([&] { return (box = FindWindowA(nullptr, "File exist")) != nullptr; }, 5000);
        if (box) PostMessageA(box, WM_COMMAND, IDNO, 0);
        bench::PumpUntil([&] { return !IsWindow(box); }, 5000);
        signal = ReadOnWindow<int>(
            [] { return Dialog->SignalModeOn || Dialog->ButtonDown(1050) || Dialog->IsRecording; });
    });
    EXPECT_TRUE(asked);
    EXPECT_EQ(0, recording);
    EXPECT_EQ(0, signal);
    std::vector<std::string> content = ReadLines(name);
    ASSERT_EQ(1u, content.size());
    EXPECT_EQ("keep me", content[0]);
    EXPECT_EQ(0u, ReadLines(DayFile()).size());
}

}  // namespace

namespace {

// The screen's pixels of a rectangle of the window (0x00RRGGBB each).
std::vector<uint32_t> FacePixels(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<uint32_t> pixels;
    if (dib) {
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, w, h, screen, kX + r.left, kY + r.top, SRCCOPY);
        GdiFlush();
        const uint32_t* p = static_cast<const uint32_t*>(bits);
        for (int i = 0; i < w * h; ++i) pixels.push_back(p[i] & 0xFFFFFF);
        SelectObject(mem, old);
        DeleteObject(dib);
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// The share of pixels of one colour.
double ShareOf(const std::vector<uint32_t>& pixels, COLORREF colour) {
    const uint32_t want = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    if (pixels.empty()) return 0;
    return double(std::count(pixels.begin(), pixels.end(), want)) / pixels.size();
}

// The share of near-white pixels: smoothed text has few pure white ones
// (a lone "0%" may have none).
double ShareOfLight(const std::vector<uint32_t>& pixels) {
    if (pixels.empty()) return 0;
    const auto light = [](uint32_t p) {
        return ((p >> 16) & 0xFF) >= 0xE0 && ((p >> 8) & 0xFF) >= 0xE0 && (p & 0xFF) >= 0xE0;
    };
    return double(std::count_if(pixels.begin(), pixels.end(), light)) / pixels.size();
}

// Drags a horizontal slider's thumb (read on the window's thread) to
// window x.
void DragThumb(std::function<const RECT&()> thumb, int toX) {
    RECT t = ReadOnWindow<RECT>([&] { return thumb(); });
    const int y = kY + (t.top + t.bottom) / 2;
    bench::Drag(kX + (t.left + t.right) / 2, y, kX + toX, y);
}

int64_t PlayerPositionMs() {
    return ReadOnWindow<int64_t>([] {
        LONGLONG now = 0;
        if (!PlayerGraph) return int64_t{-1};
        CPlayerGraph::Guard guard(PlayerGraph);
        IMediaSeeking* seeking = PlayerGraph->mediaSeeking.Get();
        if (!seeking || FAILED(seeking->GetCurrentPosition(&now))) return int64_t{-1};
        return static_cast<int64_t>(now / 10000);
    });
}

// A 10 s 440 Hz "back10.wav" in the folder as the stored background file.
void UseTenSecondBackground(const std::string& folder) {
    ASSERT_EQ(0, bench::Host("sox -n -r 44100 -c 2 -b 16 '" + bench::UnixPath(folder) +
                             "/back10.wav' synth 10 sine 440 vol 0.5"));
    StoreText("Background File", folder + "\\back10.wav");
}

const RECT kOutputLine{260, 70, 545, 83}, kBackgroundLine{260, 84, 545, 97};
const RECT kPlayReadout{460, 140, 545, 151}, kSizeReadout{462, 129, 545, 140};
const RECT kBackgroundShare{369, 161, 398, 178}, kRecordingShare{461, 161, 490, 178};

// Choosing the background line makes Play play it, at the length the line
// reported; the play thumb seeks it; a file that turns out unplayable stops
// the playback and says which file it was.
TEST_F(RecordingBench, AFileLineChoosesWhatPlaysAndTheThumbSeeksIt) {
    ASSERT_NO_FATAL_FAILURE(UseTenSecondBackground(folder_));
    static int rowMode = -1, length = -1, playingAfter = -1;
    static double backgroundLit = 0, outputPlain = 0;
    static int64_t seekedTo = -1;
    static bool readoutChanged = false;
    static std::string status1, status2;
    WatchedDialog dialog;
    RunDialog(dialog, [] {
        bench::Click(kX + 400, kY + 90);
        Sleep(300);
        rowMode = ReadOnWindow<int>([] { return Dialog->InfoRowMode; });
        length = ReadOnWindow<int>([] { return Dialog->PlayLength; });
        // The lines repaint when the window is next idle.
        bench::PumpUntil(
            [] {
                backgroundLit = ShareOf(FacePixels(kBackgroundLine), RGB(128, 255, 255));
                return backgroundLit > 0.5;
            },
            1000);
        outputPlain = ShareOf(FacePixels(kOutputLine), RGB(28, 210, 252));
        bench::Screenshot("background-line-chosen");

        ClickButton(1006);
        Sleep(1000);
        const std::vector<uint32_t> before = FacePixels(kPlayReadout);
        DragThumb([]() -> const RECT& { return Dialog->PlayPositionSlider.Thumb(); },
                  260 + (543 - 260) * 3 / 4 + 1);
        bench::PumpUntil([] { return (seekedTo = PlayerPositionMs()) >= 7000; }, 1000);
        readoutChanged = FacePixels(kPlayReadout) != before;
        bench::Screenshot("play-seeked");

        PostMessageA(MainWindow, WM_INVALIDFILE, 0, 0);
        Sleep(300);
        playingAfter = ReadOnWindow<int>([] { return Dialog->IsPlaying; });
        OnWindow([] {
            status1 = static_cast<const char*>(Dialog->StatusLine1);
            status2 = static_cast<const char*>(Dialog->StatusLine2);
        });
    });
    EXPECT_EQ(1, rowMode);
    EXPECT_NEAR(10000, length, 100);
    EXPECT_GT(backgroundLit, 0.5);
    EXPECT_GT(outputPlain, 0.5);
    EXPECT_GE(seekedTo, 7000);
    EXPECT_TRUE(readoutChanged);
    EXPECT_EQ(0, playingAfter);
    EXPECT_EQ(folder_ + "\\back10.wav", status1);
    EXPECT_EQ("The file cannot be played", status2);
}

// Moving the mix thumb to its end during a mixed recording takes the
// background out of what is recorded from then on, and the face shows the
// two shares.
TEST_F(RecordingBench, TheMixSliderTakesTheBackgroundOutOfTheRecording) {
    ASSERT_NO_FATAL_FAILURE(UseTenSecondBackground(folder_));
    StoreDword("Background Scale", 50);
    auto tone = bench::PlayTone(1000, 60, 0.3);
    static int percent = -1, playerVolume = -1;
    static double shareFill[2], shareWhite[2];
    static bool sizeMoves = false;
    WatchedDialog dialog;
    RunDialog(dialog, [] {
        ClickButton(1166);  // mix the background in
        ClickButton(1000);
        // Two seconds in the file, not on the clock: the writer holds the
        // capture until the background's first blocks arrive and mixes at
        // the balance of the moment it writes.
        bench::PumpUntil(
            [] {
                return RecordingSession.RecordedBytes >=
                       2 * ReadOnWindow<DWORD>([] { return WaveInFormat.nAvgBytesPerSec; });
            },
            20000);
        DragThumb([]() -> const RECT& { return Dialog->MixBalanceSlider.Thumb(); }, 470);
        Sleep(300);
        percent = ReadOnWindow<int>([] { return Dialog->MixBalancePercent; });
        playerVolume = ReadOnWindow<int>([] { return PlayerGraph ? PlayerGraph->volume : -1; });
        const RECT boxes[2] = {kBackgroundShare, kRecordingShare};
        for (int i = 0; i < 2; ++i) {
            const std::vector<uint32_t> box = FacePixels(boxes[i]);
            shareFill[i] = ShareOf(box, RGB(107, 101, 99));
            shareWhite[i] = ShareOfLight(box);
        }
        bench::Screenshot("mix-balance");
        const std::vector<uint32_t> size = FacePixels(kSizeReadout);
        Sleep(1000);
        sizeMoves = FacePixels(kSizeReadout) != size;
        Sleep(1500);
        ClickButton(1004);
    });
    EXPECT_EQ(0, percent);
    EXPECT_EQ(0, playerVolume);
    for (int i = 0; i < 2; ++i) {
        EXPECT_GT(shareFill[i], 0.5) << i;
        EXPECT_GT(shareWhite[i], 0.0) << i;
    }
    EXPECT_TRUE(sizeMoves);
    bench::Wav wav;
    ASSERT_TRUE(bench::ReadWav(out_ + "\\take.wav", &wav));
    const size_t rate = static_cast<size_t>(wav.rate);
    std::printf("mixed take: %.2f s\n", wav.Seconds());
    // Half and half at first; the recording alone in its last second.
    EXPECT_GT(bench::ToneLevel(wav, 0, 440, rate / 4, rate), 0.1);
    EXPECT_LT(bench::ToneLevel(wav, 0, 440, wav.samples.size() / 2 - rate, rate), 0.02);
    EXPECT_GT(bench::ToneLevel(wav, 0, 1000, wav.samples.size() / 2 - rate, rate), 0.1);
}

// A command line whose file name cannot be used records nothing: the
// stored name's file stays as it was, no file appears, the face says why,
// and the stored name is kept.
TEST_F(RecordingBench, ACommandLineNameThatCannotBeUsedRecordsNothing) {
    const std::string dir = "c:\\cl";
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string previous = dir + "\\previous.wav";
    const std::string kept = "RIFF kept as it was";
    {
        FILE* f = fopen(previous.c_str(), "wb");
        ASSERT_NE(nullptr, f);
        fputs(kept.c_str(), f);
        fclose(f);
    }
    StoreText("LastName", previous);
    auto tone = bench::PlayTone(1000, 30, 0.5);
    // The second line of the message says why.
    const struct {
        const char* line;
        const char* status1;
        const char* status2;
    } lines[] = {{"/r -filename c:\\cl\\wan\"ted.wav", "Cannot open the output file",
                  "Check the folder and the file name"},
                 {"/r -filename c:\\cl\\wanted.txt", "Cannot use that file name",
                  "It must end in .wav or .mp3"}};
    int index = 0;
    for (const auto& entry : lines) {
        const char* line = entry.line;
        SCOPED_TRACE(line);
        ParseCommandLine(line, &CommandLineOptions);
        static int recording = -1;
        static std::string status1, status2;
        static int shot = 0;
        shot = index++;
        WatchedDialog dialog;
        RunDialog(dialog, [] {
            Sleep(1500);
            OnWindow([] {
                recording = Dialog->IsRecording || Dialog->ButtonDown(1000);
                status1 = static_cast<const char*>(Dialog->StatusLine1);
                status2 = static_cast<const char*>(Dialog->StatusLine2);
            });
            bench::Screenshot("refused-name-" + std::to_string(shot));
        });
        CommandLineOptions = CommandLineOptionSet();
        EXPECT_EQ(0, recording);
        EXPECT_EQ(entry.status1, status1);
        EXPECT_EQ(entry.status2, status2);
        std::vector<std::string> content = ReadLines(previous);
        ASSERT_EQ(1u, content.size());
        EXPECT_EQ(kept, content[0]);
        EXPECT_EQ(previous, StoredText("LastName"));
        EXPECT_EQ(0u, ReadLines(DayFile()).size());
        // Nothing else came to the folder.
        WIN32_FIND_DATAA found;
        HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &found);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        std::vector<std::string> names;
        do {
            if (strcmp(found.cFileName, ".") && strcmp(found.cFileName, ".."))
                names.push_back(found.cFileName);
        } while (FindNextFileA(h, &found));
        FindClose(h);
        EXPECT_EQ(std::vector<std::string>{"previous.wav"}, names);
    }
    DeleteFileA(previous.c_str());
}

}  // namespace
