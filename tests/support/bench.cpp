#include "bench.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

namespace bench {
namespace {

std::atomic<int> g_serial{0};

std::string TestName() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!info) return "global";
    std::string n = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : n)
        if (c == '/' || c == '\\' || c == ':') c = '_';
    return n;
}

void MakeDirs(const std::string& winPath) {
    std::string cur;
    for (size_t i = 0; i < winPath.size(); ++i) {
        cur += winPath[i];
        if ((winPath[i] == '\\' || i + 1 == winPath.size()) && cur.size() > 3)
            CreateDirectoryA(cur.c_str(), nullptr);
    }
}

bool WriteText(const std::string& winPath, const std::string& text) {
    FILE* f = fopen(winPath.c_str(), "wb");
    if (!f) return false;
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
    return true;
}

// The host tools find their daemons through these; Wine hands a unix child
// the Windows environment, so they are set again in each script.
std::string HostPrelude() {
    std::string p = "export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin\n";
    for (const char* v : {"XDG_RUNTIME_DIR", "PULSE_RUNTIME_PATH", "DISPLAY", "HOME",
                          "BENCH_REC_SINK", "BENCH_OUT_SINK", "BENCH_BUILD_DIR",
                          "BENCH_SOURCE_DIR"}) {
        std::string val = Env(v);
        if (!val.empty()) p += std::string("export ") + v + "=" + ShellQuote(val) + "\n";
    }
    return p;
}

std::string ScriptBase() {
    std::string dir = WinPath(Env("BENCH_BUILD_DIR")) + "\\test-artifacts\\host";
    MakeDirs(dir);
    char name[96];
    snprintf(name, sizeof name, "\\%s_%lu_%d", RunId().c_str(), GetCurrentProcessId(), g_serial++);
    return dir + name;
}

// Wine hands back a handle for a unix child that is signalled when the child
// has been started, not when it ends; the script therefore leaves its exit
// code in a file, and we wait for that file.
bool RunUnix(const std::string& unixScript, const std::string& doneFile, DWORD timeoutMs,
             DWORD* exitCode) {
    DeleteFileA(doneFile.c_str());
    std::string cmd = "/bin/sh " + unixScript;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<char> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    if (!CreateProcessA(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    DWORD start = GetTickCount();
    while (GetFileAttributesA(doneFile.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start > timeoutMs + 5000) return false;
        Sleep(2);
    }
    std::string code = ReadText(doneFile);
    *exitCode = (DWORD)atoi(code.c_str());
    return true;
}

}  // namespace

std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    return q + "'";
}

std::string ReadText(const std::string& winPath) {
    std::ifstream in(winPath, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<BYTE> FileBytes(const std::string& winPath, long from) {
    std::vector<BYTE> out;
    FILE* f = fopen(winPath.c_str(), "rb");
    if (!f) return out;
    fseek(f, from, SEEK_SET);
    BYTE buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
    fclose(f);
    return out;
}

HWND MessageWindow(const char* className, WNDPROC proc) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    return CreateWindowA(className, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

std::string WavBytes(int rate, int channels, const std::string& pcm) {
    auto le32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto le16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    const uint32_t data = static_cast<uint32_t>(pcm.size());
    return "RIFF" + le32(36 + data) + "WAVEfmt " + le32(16) + le16(1) + le16(uint16_t(channels)) +
           le32(uint32_t(rate)) + le32(uint32_t(rate * channels * 2)) + le16(uint16_t(channels * 2)) +
           le16(16) + "data" + le32(data) + pcm;
}

bool WriteWav(const std::string& winPath, int rate, int channels, const std::vector<int16_t>& samples) {
    const std::string pcm(reinterpret_cast<const char*>(samples.data()), samples.size() * 2);
    return WriteText(winPath, WavBytes(rate, channels, pcm));
}

std::string Env(const char* name) {
    char buf[4096];
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    if (n == 0 || n >= sizeof buf) return "";
    return std::string(buf, n);
}

std::string WinPath(const std::string& unixPath) {
    std::string w = "Z:" + unixPath;
    std::replace(w.begin(), w.end(), '/', '\\');
    return w;
}

std::string UnixPath(const std::string& winPath) {
    std::string p = winPath;
    if (p.size() >= 2 && (p[0] == 'Z' || p[0] == 'z') && p[1] == ':') p = p.substr(2);
    std::replace(p.begin(), p.end(), '\\', '/');
    return p;
}

std::string RunId() {
    std::string id = Env("BENCH_RUN_ID");
    return id.empty() ? std::to_string(GetCurrentProcessId()) : id;
}

std::string ArtifactDir() {
    std::string dir = WinPath(Env("BENCH_BUILD_DIR")) + "\\test-artifacts\\" + TestName();
    MakeDirs(dir);
    return dir;
}

std::string ScratchDir() {
    std::string dir = ArtifactDir() + "\\scratch";
    Host("rm -rf " + ShellQuote(UnixPath(dir)));
    MakeDirs(dir);
    return dir;
}

int Host(const std::string& shellCmd, std::string* out, DWORD timeoutMs) {
    std::string base = ScriptBase();
    std::string inner = base + ".sh", outer = base + "-run.sh", outFile = base + ".out";
    WriteText(inner, HostPrelude() + shellCmd + "\n");
    char t[32];
    snprintf(t, sizeof t, "%lu", (unsigned long)(timeoutMs + 999) / 1000);
    std::string doneFile = base + ".done";
    WriteText(outer, "export PATH=/usr/sbin:/usr/bin:/sbin:/bin\ntimeout -k 2 " + std::string(t) +
                         " /bin/sh " + ShellQuote(UnixPath(inner)) + " >" +
                         ShellQuote(UnixPath(outFile)) + " 2>&1 </dev/null\necho $? >" +
                         ShellQuote(UnixPath(doneFile)) + ".tmp && mv " +
                         ShellQuote(UnixPath(doneFile)) + ".tmp " + ShellQuote(UnixPath(doneFile)) +
                         "\n");
    DWORD code = 0;
    bool done = RunUnix(UnixPath(outer), doneFile, timeoutMs, &code);
    if (out) *out = ReadText(outFile);
    if (!done) return -1;
    return (int)code;
}

HostProcess::HostProcess(const std::string& shellCmd) {
    std::string base = ScriptBase();
    std::string inner = base + ".sh", pidFile = base + ".pid";
    WriteText(inner, HostPrelude() + shellCmd + "\n");
    Host("setsid /bin/sh " + ShellQuote(UnixPath(inner)) + " >" +
         ShellQuote(UnixPath(base + ".log")) + " 2>&1 </dev/null & echo $! >" +
         ShellQuote(UnixPath(pidFile)));
    pid_ = ReadText(pidFile);
    while (!pid_.empty() && (pid_.back() == '\n' || pid_.back() == '\r')) pid_.pop_back();
}

HostProcess::~HostProcess() { Stop(); }

void HostProcess::Stop() {
    if (pid_.empty()) return;
    // The player runs as its own session, a pipe of two processes: the whole
    // group goes. The host shell is dash, whose kill takes "-PID" but fails on
    // "-- -PID", which used to end the shell alone and leave the tone playing.
    Host("kill -TERM -" + pid_ + " 2>/dev/null; kill -TERM " + pid_ + " 2>/dev/null; true");
    pid_.clear();
}

bool HostProcess::Running() const {
    return !pid_.empty() && Host("kill -0 " + pid_ + " 2>/dev/null") == 0;
}

bool HaveSound() { return !Env("BENCH_REC_SINK").empty(); }
std::string RecordSink() { return Env("BENCH_REC_SINK"); }
std::string OutputSink() { return Env("BENCH_OUT_SINK"); }

std::unique_ptr<HostProcess> PlayTone(double freq, double seconds, double volume,
                                      const std::string& sink) {
    char cmd[512];
    snprintf(cmd, sizeof cmd,
             "sox -n -t raw -r 44100 -c 2 -b 16 -e signed - synth %.3f sine %.3f vol %.4f | "
             "pacat -p --raw --rate=44100 --channels=2 --format=s16le --latency-msec=100 "
             "--device=%s",
             seconds, freq, volume, (sink.empty() ? RecordSink() : sink).c_str());
    return std::make_unique<HostProcess>(cmd);
}

std::unique_ptr<HostProcess> PlayFile(const std::string& unixPath, const std::string& sink,
                                      int rawRate, int rawChannels) {
    std::string dev = sink.empty() ? RecordSink() : sink;
    std::string cmd;
    if (rawRate > 0) {
        char fmt[160];
        snprintf(fmt, sizeof fmt, "pacat -p --raw --rate=%d --channels=%d --format=s16le ",
                 rawRate, rawChannels);
        cmd = fmt + std::string("--latency-msec=100 --device=") + dev + " " + ShellQuote(unixPath);
    } else {
        cmd = "paplay --latency-msec=100 --device=" + dev + " " + ShellQuote(unixPath);
    }
    return std::make_unique<HostProcess>(cmd);
}

bool ReadWav(const std::string& winPath, Wav* wav, std::string* error) {
    auto fail = [&](const char* why) {
        if (error) *error = why;
        return false;
    };
    std::string data = ReadText(winPath);
    *wav = Wav();
    wav->fileSize = (uint32_t)data.size();
    if (data.size() < 12 || memcmp(data.data(), "RIFF", 4) || memcmp(data.data() + 8, "WAVE", 4))
        return fail("not a RIFF/WAVE file");
    auto u32 = [&](size_t at) {
        uint32_t v;
        memcpy(&v, data.data() + at, 4);
        return v;
    };
    auto u16 = [&](size_t at) {
        uint16_t v;
        memcpy(&v, data.data() + at, 2);
        return v;
    };
    wav->riffSize = u32(4);
    size_t pos = 12;
    bool haveFmt = false;
    while (pos + 8 <= data.size()) {
        uint32_t len = u32(pos + 4);
        if (!memcmp(data.data() + pos, "fmt ", 4) && pos + 8 + 16 <= data.size()) {
            if (u16(pos + 8) != 1) return fail("not PCM");
            wav->channels = u16(pos + 10);
            wav->rate = (int)u32(pos + 12);
            wav->bits = u16(pos + 22);
            haveFmt = true;
        } else if (!memcmp(data.data() + pos, "data", 4)) {
            if (!haveFmt) return fail("data before fmt");
            wav->dataSize = len;
            size_t avail = std::min<size_t>(len, data.size() - pos - 8);
            const unsigned char* p = (const unsigned char*)data.data() + pos + 8;
            if (wav->bits == 16) {
                for (size_t i = 0; i + 1 < avail; i += 2) wav->samples.push_back((int16_t)(p[i] | p[i + 1] << 8));
            } else if (wav->bits == 8) {
                for (size_t i = 0; i < avail; ++i) wav->samples.push_back((int)p[i] - 128);
            } else {
                return fail("unsupported sample width");
            }
            return true;
        }
        pos += 8 + len + (len & 1);
    }
    return fail("no data chunk");
}

double ToneLevel(const Wav& wav, int channel, double freq, size_t firstFrame, size_t frames) {
    if (!wav.channels || !wav.rate) return 0;
    size_t total = wav.samples.size() / wav.channels;
    if (firstFrame >= total) return 0;
    size_t n = std::min(frames, total - firstFrame);
    double w = 2 * M_PI * freq / wav.rate;
    double coeff = 2 * cos(w), s1 = 0, s2 = 0;
    double full = wav.bits == 8 ? 128.0 : 32768.0;
    for (size_t i = 0; i < n; ++i) {
        double x = wav.samples[(firstFrame + i) * wav.channels + channel] / full;
        double s0 = x + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
    return n ? 2 * sqrt(std::max(0.0, power)) / n : 0;
}

size_t LongestInnerZeroRun(const Wav& wav) {
    if (!wav.channels) return 0;
    size_t frames = wav.samples.size() / wav.channels;
    auto silent = [&](size_t f) {
        for (int c = 0; c < wav.channels; ++c)
            if (wav.samples[f * wav.channels + c] != 0) return false;
        return true;
    };
    size_t first = 0;
    while (first < frames && silent(first)) ++first;
    size_t last = frames;
    while (last > first && silent(last - 1)) --last;
    size_t best = 0, run = 0;
    for (size_t f = first; f < last; ++f) {
        run = silent(f) ? run + 1 : 0;
        best = std::max(best, run);
    }
    return best;
}

bool DecodeWithFfmpeg(const std::string& winPath, Wav* wav, int rate) {
    std::string out = winPath + ".decoded.wav";
    std::string cmd = "ffmpeg -v error -y -i " + ShellQuote(UnixPath(winPath)) +
                      " -map_metadata -1 -fflags +bitexact -flags:a +bitexact -acodec pcm_s16le ";
    if (rate) cmd += "-ar " + std::to_string(rate) + " ";
    cmd += ShellQuote(UnixPath(out));
    std::string log;
    if (Host(cmd, &log) != 0) {
        fprintf(stderr, "ffmpeg: %s\n", log.c_str());
        return false;
    }
    return ReadWav(out, wav);
}

std::string Ffprobe(const std::string& winPath, const std::string& entry) {
    std::string out;
    Host("ffprobe -v error -show_entries " + entry + " -of default=nw=1:nk=1 " +
             ShellQuote(UnixPath(winPath)),
         &out);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

Mp3Walk WalkMp3Frames(const std::string& winPath) {
    static const int mpeg1Kbps[15] = {0,   32,  40,  48,  56,  64,  80, 96,
                                      112, 128, 160, 192, 224, 256, 320};
    static const int mpeg2Kbps[15] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    const std::vector<BYTE> b = FileBytes(winPath);
    size_t at = 0, end = b.size();
    if (end >= 10 && memcmp(b.data(), "ID3", 3) == 0)
        at = 10 + ((b[6] & 0x7F) << 21 | (b[7] & 0x7F) << 14 | (b[8] & 0x7F) << 7 | (b[9] & 0x7F));
    if (end >= 128 && memcmp(&b[end - 128], "TAG", 3) == 0) end -= 128;
    Mp3Walk walk;
    walk.audioBytes = end > at ? end - at : 0;
    for (; at + 4 <= end; ++walk.frames) {
        const BYTE* h = &b[at];
        const int version = h[1] >> 3 & 3;  // 3: MPEG 1, 2: MPEG 2, 0: MPEG 2.5
        const int bitrate = h[2] >> 4, rate = h[2] >> 2 & 3;
        if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0 || (h[1] >> 1 & 3) != 1 || version == 1 ||
            bitrate == 0 || bitrate == 15 || rate == 3)
            break;
        const int shift = version == 3 ? 0 : version == 2 ? 1 : 2;
        const int hz = (rate == 0 ? 44100 : rate == 1 ? 48000 : 32000) >> shift;
        const size_t bytes = version == 3 ? 144 * 1000 * mpeg1Kbps[bitrate] / hz
                                          : 72 * 1000 * mpeg2Kbps[bitrate] / hz;
        walk.frameBytes += bytes + (h[2] >> 1 & 1);
        at += bytes + (h[2] >> 1 & 1);
    }
    return walk;
}

std::string Screenshot(const std::string& name, HWND window) {
    RECT r;
    if (window) {
        GetWindowRect(window, &r);
    } else {
        r.left = r.top = 0;
        r.right = GetSystemMetrics(SM_CXSCREEN);
        r.bottom = GetSystemMetrics(SM_CYSCREEN);
    }
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return "";
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    int stride = (w * 3 + 3) & ~3;
    std::string bmpPath = ArtifactDir() + "\\" + name + ".bmp";
    FILE* f = fopen(bmpPath.c_str(), "wb");
    if (f) {
        BITMAPFILEHEADER fh = {};
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
        fh.bfSize = fh.bfOffBits + stride * h;
        fwrite(&fh, sizeof fh, 1, f);
        fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
        fwrite(bits, stride, h, f);
        fclose(f);
    }
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    std::string png = ArtifactDir() + "\\" + name + ".png";
    Host("convert " + ShellQuote(UnixPath(bmpPath)) + " " + ShellQuote(UnixPath(png)) + " && rm -f " +
         ShellQuote(UnixPath(bmpPath)));
    return png;
}

// The system pairs a press with the one before it into a double click when
// both fall inside the double-click rectangle and time. On a fast machine two
// separate clicks of one button can come that close (a dialog that lives
// 0.3 s, pressed open again), and the control then sees a double click, not
// a second click. So a press meant as a click of its own waits until the
// system can no longer pair it; `pairWithLast` asks for the double click.
struct LastPress {
    DWORD button = 0;
    DWORD tick = 0;
    int x = 0, y = 0;
};
static LastPress lastPress;

static void AwaitUnpairedPress(DWORD button, int x, int y) {
    const LastPress& last = lastPress;
    if (last.button != button) return;
    int dx = GetSystemMetrics(SM_CXDOUBLECLK) / 2 + 1, dy = GetSystemMetrics(SM_CYDOUBLECLK) / 2 + 1;
    if (abs(x - last.x) > dx || abs(y - last.y) > dy) return;
    DWORD wait = GetDoubleClickTime() + 50;
    DWORD since = GetTickCount() - last.tick;
    if (since < wait) Pump(wait - since);
}

static void SendMouse(DWORD flags, int x, int y, bool pairWithLast = false) {
    DWORD button = flags & (MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_MIDDLEDOWN);
    if (button && !pairWithLast) AwaitUnpairedPress(button, x, y);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = (x * 65535 + sw / 2) / (sw - 1);
    in.mi.dy = (y * 65535 + sh / 2) / (sh - 1);
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
    if (button) lastPress = {button, GetTickCount(), x, y};
}

void MouseMove(int x, int y) {
    SendMouse(MOUSEEVENTF_MOVE, x, y);
    Pump(30);
}

void Click(int x, int y, bool doubleClick) {
    MouseMove(x, y);
    for (int i = 0; i < (doubleClick ? 2 : 1); ++i) {
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, x, y, i > 0);
        Pump(20);
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, x, y);
        Pump(20);
    }
    Pump(50);
}

void Drag(int x0, int y0, int x1, int y1) {
    MouseMove(x0, y0);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, x0, y0);
    Pump(30);
    const int steps = 10;
    for (int i = 1; i <= steps; ++i) {
        SendMouse(MOUSEEVENTF_MOVE, x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
        Pump(15);
    }
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, x1, y1);
    Pump(50);
}

void RightClick(int x, int y) {
    MouseMove(x, y);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_RIGHTDOWN, x, y);
    Pump(30);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_RIGHTUP, x, y);
    Pump(50);
}

void TypeText(const std::string& text) {
    std::vector<INPUT> ins;
    auto key = [&](WORD vk, bool up) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        ins.push_back(in);
    };
    for (char c : text) {
        SHORT vk = VkKeyScanA(c);
        bool shift = (HIBYTE(vk) & 1) != 0;
        if (shift) key(VK_SHIFT, false);
        key(LOBYTE(vk), false);
        key(LOBYTE(vk), true);
        if (shift) key(VK_SHIFT, true);
    }
    if (!ins.empty()) SendInput(static_cast<UINT>(ins.size()), ins.data(), sizeof(INPUT));
    Pump(100 + static_cast<DWORD>(text.size()) * 3);
}

std::string WindowText(HWND w) {
    char text[1024] = "";
    GetWindowTextA(w, text, sizeof text);
    return text;
}

namespace {
struct DialogSearch {
    DWORD pid;
    const char* title;
    HWND owner;
    HWND found;
    bool visibleOnly;
};

BOOL CALLBACK VisitDialog(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<DialogSearch*>(p);
    char cls[16] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (strcmp(cls, "#32770") != 0 || (s->visibleOnly && !IsWindowVisible(w))) return TRUE;
    if (s->owner) {
        if (w == s->owner || GetWindow(w, GW_OWNER) != s->owner) return TRUE;
    } else {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid != s->pid || (s->title && WindowText(w) != s->title)) return TRUE;
    }
    s->found = w;
    return FALSE;
}
}  // namespace

HWND FindDialog(DWORD pid, const char* title, bool visibleOnly) {
    DialogSearch s{pid, title, nullptr, nullptr, visibleOnly};
    EnumWindows(VisitDialog, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND WaitForDialog(DWORD pid, const char* title, DWORD ms) {
    HWND found = nullptr;
    PumpUntil([&] { return (found = FindDialog(pid, title)) != nullptr; }, ms);
    return found;
}

HWND WaitForOwnedDialog(HWND owner, DWORD ms) {
    DialogSearch s{0, nullptr, owner, nullptr, true};
    PumpUntil(
        [&] {
            EnumWindows(VisitDialog, reinterpret_cast<LPARAM>(&s));
            return s.found != nullptr;
        },
        ms);
    // Let it finish drawing before anyone photographs or answers it.
    if (s.found) Pump(200);
    return s.found;
}

std::string MessageBoxText(HWND box) {
    std::string best;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[32];
        GetClassNameA(c, cls, sizeof cls);
        std::string t = WindowText(c);
        if (_stricmp(cls, "Static") == 0 && t.size() > best.size()) best = t;
    }
    return best;
}

void WithDriver(const std::function<void()>& drive, const std::function<void()>& here) {
    std::atomic<bool> done{false};
    std::thread driver([&] {
        drive();
        done = true;
    });
    here();
    PumpUntil([&] { return done.load(); }, 20000);
    driver.join();
}

void KeyPress(WORD vk, bool ctrl, bool shift, bool alt) {
    std::vector<INPUT> ins;
    auto key = [&](WORD k, bool up) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = k;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        ins.push_back(in);
    };
    if (ctrl) key(VK_CONTROL, false);
    if (shift) key(VK_SHIFT, false);
    if (alt) key(VK_MENU, false);
    key(vk, false);
    key(vk, true);
    if (alt) key(VK_MENU, true);
    if (shift) key(VK_SHIFT, true);
    if (ctrl) key(VK_CONTROL, true);
    SendInput((UINT)ins.size(), ins.data(), sizeof(INPUT));
    Pump(50);
}

void Pump(DWORD ms) {
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

}  // namespace bench
