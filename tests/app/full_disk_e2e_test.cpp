// Recording onto a volume that fills up, as a user would on a small or
// nearly full drive: a small tmpfs mounted into the prefix's Z: drive, a
// filler file leaving little room, then a WAV, an MP3 and a WMA recorded
// from the face while a tone plays. The recording must stop as Stop stops
// it, say that the disk is full, and leave a finished, readable file.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "window_bench.h"

namespace {

// A tmpfs of `kilobytes` mounted on a fresh folder; unmounted (lazily: the
// player may still hold the last take) when it goes.
class SmallVolume {
public:
    SmallVolume(const std::string& parent, int kilobytes) {
        folder_ = parent + "\\small";
        CreateDirectoryA(folder_.c_str(), nullptr);
        unix_ = bench::UnixPath(folder_);
        mounted_ = bench::Host("mount -t tmpfs -o size=" + std::to_string(kilobytes) + "k tmpfs " +
                               bench::ShellQuote(unix_)) == 0;
    }
    ~SmallVolume() {
        if (mounted_) bench::Host("umount -l " + bench::ShellQuote(unix_));
    }
    bool Mounted() const { return mounted_; }
    const std::string& Folder() const { return folder_; }
    // Fills the volume up to `freeKilobytes` of free room (a filler file).
    bool LeaveFree(int freeKilobytes) {
        bench::Host("rm -f " + bench::ShellQuote(unix_ + "/filler"));
        std::string avail;
        if (bench::Host("df -k --output=avail " + bench::ShellQuote(unix_) + " | tail -1", &avail) != 0)
            return false;
        const int fill = atoi(avail.c_str()) - freeKilobytes;
        return fill <= 0 || bench::Host("dd if=/dev/zero of=" + bench::ShellQuote(unix_ + "/filler") +
                                        " bs=1k count=" + std::to_string(fill) + " 2>/dev/null") == 0;
    }

private:
    std::string folder_, unix_;
    bool mounted_ = false;
};

struct FullDiskOutcome {
    std::string box, status1, status2;
    int recording = -1;
};

// Records into `path` from the face until the message box comes, reads it
// and the status line, and answers it; with a format button, the format
// is chosen with it.
FullDiskOutcome RecordUntilFull(const std::string& path, UINT formatButton,
                                const std::string& shot) {
    static FullDiskOutcome out;
    static std::string file, name;
    static UINT button;
    out = FullDiskOutcome();
    file = path;
    name = shot;
    button = formatButton;
    WatchedDialog dialog;
    RunDialog(dialog, [] {
        if (button)
            SetOutputFileWithButton(file, button);
        else
            SetOutputFile(file);
        ClickButton(1000);
        HWND box = bench::WaitForOwnedDialog(MainWindow, 90000);
        if (!box) {
            OnWindow([] {
                std::printf("no message; recording %d, status \"%s\" \"%s\", %u bytes recorded\n",
                            Dialog->IsRecording, static_cast<const char*>(Dialog->StatusLine1),
                            static_cast<const char*>(Dialog->StatusLine2),
                            static_cast<unsigned>(RecordingSession.RecordedBytes));
            });
            bench::Screenshot(name);
            return;
        }
        out.box = bench::MessageBoxText(box);
        OnWindow([] {
            out.recording = Dialog->IsRecording || Dialog->ButtonDown(1000);
            out.status1 = static_cast<const char*>(Dialog->StatusLine1);
            out.status2 = static_cast<const char*>(Dialog->StatusLine2);
        });
        bench::Screenshot(name);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        bench::PumpUntil([box] { return !IsWindow(box); }, 10000);
    });
    return out;
}

}  // namespace

TEST_F(RecordingBench, AFullDiskStopsTheRecordingAndKeepsTheFile) {
    SmallVolume volume(folder_, 1024);
    if (!volume.Mounted()) GTEST_SKIP() << "no small volume can be mounted here (mount needs root)";
    auto tone = bench::PlayTone(1000, 120, 0.5);
    bench::Pump(2500);

    // The window loads the stored WMA profile at start-up.
    ASSERT_TRUE(ChooseWmaProfile("128"));
    // Room for about 2 s of 112 kbit/s MP3, of 44100 Hz stereo WAV and of
    // 128 kbit/s WMA, chosen with its format button.
    const struct {
        const char* name;
        int freeKilobytes;
        UINT formatButton;
    } cases[] = {{"full.mp3", 36, 0}, {"full.wav", 360, 0}, {"full.WMA", 40, 1171}};
    size_t takes = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(volume.LeaveFree(c.freeKilobytes));
        const std::string path = volume.Folder() + "\\" + c.name;
        FullDiskOutcome o =
            RecordUntilFull(path, c.formatButton, std::string("full-disk-") + c.name);
        ASSERT_NE("", o.box) << "no message came: the recording went on as if it were written";
        EXPECT_NE(std::string::npos, o.box.find("disk is full")) << o.box;
        EXPECT_EQ(0, o.recording);
        EXPECT_EQ("The disk is full", o.status1);
        EXPECT_EQ("Recording stopped, the file is kept", o.status2);
        // Stopped as Stop stops it: the take is in the history.
        EXPECT_EQ(++takes, ReadLines(DayFile()).size());

        bench::Wav wav;
        if (std::string(c.name).find(".wav") != std::string::npos) {
            std::string error;
            ASSERT_TRUE(bench::ReadWav(path, &wav, &error)) << error;
            EXPECT_EQ(wav.fileSize - 8, wav.riffSize);
            EXPECT_EQ(wav.fileSize - 44, wav.dataSize);
            EXPECT_EQ(0u, wav.dataSize % 4);
        } else {
            if (std::string(c.name).find(".mp3") != std::string::npos) {
                // Whole frames from the first to the last: a decoder takes
                // a cut last frame without a word.
                const bench::Mp3Walk walk = bench::WalkMp3Frames(path);
                EXPECT_GT(walk.frames, 20u);
                EXPECT_EQ(walk.audioBytes, walk.frameBytes) << walk.frames << " frames";
            }
            std::string errors;
            bench::Host("ffmpeg -v error -i " + bench::ShellQuote(bench::UnixPath(path)) +
                            " -f null - 2>&1",
                        &errors);
            EXPECT_EQ("", errors);
            // Decoded beside a copy: the full volume takes no more files.
            const std::string copy = folder_ + "\\" + c.name;
            ASSERT_TRUE(CopyFileA(path.c_str(), copy.c_str(), FALSE));
            ASSERT_TRUE(bench::DecodeWithFfmpeg(copy, &wav));
        }
        std::printf("%s: %.2f s kept on the full volume\n", c.name, wav.Seconds());
        EXPECT_GT(wav.Seconds(), 1.0);
        EXPECT_GT(ToneOf(wav), 0.1);
    }
}
