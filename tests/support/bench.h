// Test-side helpers for the Wine bench: host commands, sound sinks, screen,
// input, and WAV analysis. Used only by test programs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace bench {

// Environment of the test process ("" when unset).
std::string Env(const char* name);

// Unix path -> the Windows path Wine maps it to (Z:\...), and back.
std::string WinPath(const std::string& unixPath);
std::string UnixPath(const std::string& winPath);

// This test run's id, unique across the bench's lanes (Windows process ids
// start anew in each lane's prefix): for names in places every lane shares.
std::string RunId();

// A folder under the build tree for screenshots and recordings a test leaves
// behind (Windows path, created on demand). Each test gets its own subfolder.
std::string ArtifactDir();
// A fresh empty scratch folder for this test (Windows path).
std::string ScratchDir();

// A text quoted for the host shell, and a file's whole content ("" when it
// cannot be read).
std::string ShellQuote(const std::string& s);
std::string ReadText(const std::string& winPath);
// The bytes of a file from `from` on (empty when it cannot be read).
std::vector<BYTE> FileBytes(const std::string& winPath, long from = 0);
// A message-only window of a class of its own (registered once) that hands
// its messages to `proc`; what the engine posts its notifications to.
HWND MessageWindow(const char* className, WNDPROC proc);
// A canonical 44-byte-header PCM WAV holding `pcm` (16-bit samples).
std::string WavBytes(int rate, int channels, const std::string& pcm);
// Writes 16-bit samples as such a WAV; false when the file cannot be made.
bool WriteWav(const std::string& winPath, int rate, int channels, const std::vector<int16_t>& samples);

// Runs a command of the host (Linux) shell and waits for it. Returns its exit
// code, or -1 when it could not be run or timed out. stdout goes to *out.
int Host(const std::string& shellCmd, std::string* out = nullptr, DWORD timeoutMs = 60000);

// Starts a host command in the background; Stop() (or the destructor) kills it.
class HostProcess {
public:
    explicit HostProcess(const std::string& shellCmd);
    ~HostProcess();
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;
    void Stop();
    bool Running() const;

private:
    std::string pid_;
};

// True when the test runs with private sound sinks (label SOUND).
bool HaveSound();
// The sink the default capture device records ("" without SOUND).
std::string RecordSink();
// The sink the program's own playback goes to.
std::string OutputSink();

// Plays a sine into a sink (default: the recorded one) for `seconds`, at
// 44100 Hz stereo 16-bit, amplitude `volume` of full scale. Returns the player.
std::unique_ptr<HostProcess> PlayTone(double freq, double seconds, double volume = 0.5,
                                      const std::string& sink = "");
// Plays a raw or WAV file (host path) into a sink; raw needs rate/channels.
std::unique_ptr<HostProcess> PlayFile(const std::string& unixPath, const std::string& sink = "",
                                      int rawRate = 0, int rawChannels = 0);

// WAV file contents as 16-bit or 8-bit PCM samples, interleaved.
struct Wav {
    int channels = 0;
    int rate = 0;
    int bits = 0;
    uint32_t riffSize = 0;
    uint32_t dataSize = 0;
    uint32_t fileSize = 0;
    std::vector<int> samples;  // 8-bit samples are centred (value - 128)
    double Seconds() const { return channels && rate ? double(samples.size()) / channels / rate : 0; }
};
// Reads a canonical 44-byte-header WAV (as the engine writes). False on error.
bool ReadWav(const std::string& winPath, Wav* wav, std::string* error = nullptr);

// Goertzel magnitude of `freq` in one channel, normalised so that a full-scale
// sine gives about 1.0.
double ToneLevel(const Wav& wav, int channel, double freq, size_t firstFrame = 0,
                 size_t frames = SIZE_MAX);
// Longest run of exactly-zero frames (all channels) strictly inside the
// recording (leading and trailing silence excluded).
size_t LongestInnerZeroRun(const Wav& wav);

// Decodes any audio file with ffmpeg into a 44100 Hz (or `rate`) WAV beside
// it and reads that. False when ffmpeg fails.
bool DecodeWithFfmpeg(const std::string& winPath, Wav* wav, int rate = 0);
// ffprobe's value of one field ("format=duration", "stream=codec_name", ...).
std::string Ffprobe(const std::string& winPath, const std::string& entry);

// An MP3 file walked by its Layer III frame headers from its start (past
// an ID3v2 tag) to its end or a closing 128-byte "TAG" block. A file of
// whole frames has frameBytes == audioBytes; a cut last frame makes the sum
// larger, a frame that does not follow its predecessor smaller.
struct Mp3Walk {
    size_t frames = 0;
    uint64_t audioBytes = 0;  // the file less its tags
    uint64_t frameBytes = 0;  // the sizes the walked headers give, added up
};
Mp3Walk WalkMp3Frames(const std::string& winPath);

// Screen: a PNG of the whole screen (or one window) into ArtifactDir().
std::string Screenshot(const std::string& name, HWND window = nullptr);

// Real input through the system's input queue.
void MouseMove(int x, int y);
void Click(int x, int y, bool doubleClick = false);
void Drag(int x0, int y0, int x1, int y1);
void RightClick(int x, int y);
void KeyPress(WORD vk, bool ctrl = false, bool shift = false, bool alt = false);
// Types text with real key strokes, all in one batch.
void TypeText(const std::string& text);

// Windows and dialogs.
std::string WindowText(HWND w);
// A visible top-level dialog ("#32770") of process `pid` with this title
// (any title when null), or null; with `visibleOnly` false a hidden one too.
HWND FindDialog(DWORD pid, const char* title, bool visibleOnly = true);
// Waits up to `ms` for FindDialog to find one.
HWND WaitForDialog(DWORD pid, const char* title, DWORD ms = 5000);
// A visible dialog owned by `owner` (a message box it opened), waited for
// up to `ms`; null when none came.
HWND WaitForOwnedDialog(HWND owner, DWORD ms = 5000);
// The message of a message box (its static with the most text).
std::string MessageBoxText(HWND box);
// Runs `drive` on a thread of its own while this thread runs `here` (a
// modal loop: menus, dialogs) and then pumps until the driver is done.
void WithDriver(const std::function<void()>& drive, const std::function<void()>& here);

// Pumps this thread's messages for `ms` milliseconds.
void Pump(DWORD ms);
// Pumps until pred() holds or the time is up. Returns pred().
template <class Pred>
bool PumpUntil(Pred pred, DWORD ms) {
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > ms) return pred();
        Pump(10);
    }
    return true;
}

}  // namespace bench
