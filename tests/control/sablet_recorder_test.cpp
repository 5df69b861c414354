// The control's recorder through the container host and real clicks on the
// panel: the tone plays into the recorded sink, Record and Stop are
// pressed, and the file in %TEMP% (the test's scratch folder) is checked;
// Pause, seeking, Export and starts that fail; two controls in one host.
// lame_enc.dll sits beside this program only (its own output folder).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "SabletHost.h"
#include <commctrl.h>

#include "control/resource.h"
#include "tests/support/bench.h"

using sablethost::ControlHost;
using sablethost::PropertyBag;

namespace {

// When the Stop button takes its click: the panel's work after it (the
// finished file measured by MCI) can hold this thread for seconds, so the
// time Press returns says little.
HWND g_watchedButton = nullptr;
DWORD g_buttonUpTick = 0;

LRESULT CALLBACK NoteButtonUp(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_LBUTTONUP &&
        msg->hwnd == g_watchedButton && g_buttonUpTick == 0)
        g_buttonUpTick = GetTickCount();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The time box of the fixed layout, where the panel shows format, size,
// clock and why a start failed (panel pixels).
constexpr RECT kTimeBox = {333, 89, 469, 115};

// Whether the panel's time box `box` shows `text` as the panel writes it
// (its status font, black on the box's light blue): the text is drawn here
// and looked for, pixel by pixel, in what the panel's window holds.
bool BoxShows(HWND panel, const RECT& box, const char* text) {
    const int w = box.right - box.left, h = box.bottom - box.top;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(panel);
    HDC mem = CreateCompatibleDC(screen);
    void* shownBits = nullptr;
    void* textBits = nullptr;
    HBITMAP shown = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &shownBits, nullptr, 0);
    HBITMAP ink = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &textBits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, shown);
    BitBlt(mem, 0, 0, w, h, screen, box.left, box.top, SRCCOPY);
    SelectObject(mem, ink);
    RECT all = {0, 0, w, h};
    FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SelectObject(mem, GetStockObject(ANSI_VAR_FONT));
    SetTextColor(mem, RGB(0, 0, 0));
    SetBkMode(mem, TRANSPARENT);
    SIZE size = {};
    GetTextExtentPoint32A(mem, text, static_cast<int>(strlen(text)), &size);
    TextOutA(mem, 0, 0, text, static_cast<int>(strlen(text)));
    GdiFlush();
    const auto* s = static_cast<const DWORD*>(shownBits);
    const auto* t = static_cast<const DWORD*>(textBits);
    // Smoothed text: a pixel is ink when it is nearer the text's black
    // than the background (the box's light blue there, white here).
    auto inkOnBox = [](DWORD p) { return (p & 0xFF) + ((p >> 8) & 0xFF) < 231; };
    auto inkOnWhite = [](DWORD p) { return (p & 0xFF) + ((p >> 8) & 0xFF) < 255; };
    int inked = 0;
    for (int y = 0; y < size.cy && y < h; ++y)
        for (int x = 0; x < size.cx && x < w; ++x) inked += inkOnWhite(t[y * w + x]);
    bool found = false;
    for (int dy = 0; !found && dy + size.cy <= h; ++dy)
        for (int dx = 0; !found && dx + size.cx <= w; ++dx) {
            int wrong = 0;
            for (int y = 0; y < size.cy && wrong <= inked / 8; ++y)
                for (int x = 0; x < size.cx; ++x)
                    if (inkOnWhite(t[y * w + x]) != inkOnBox(s[(y + dy) * w + x + dx])) ++wrong;
            found = inked > 0 && wrong <= inked / 8;
        }
    SelectObject(mem, old);
    DeleteObject(shown);
    DeleteObject(ink);
    DeleteDC(mem);
    ReleaseDC(panel, screen);
    return found;
}

BOOL CALLBACK NoteOwnWindow(HWND w, LPARAM found) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(w)) reinterpret_cast<std::set<HWND>*>(found)->insert(w);
    return TRUE;
}

// The visible top-level windows of this process.
std::set<HWND> TopLevelWindows() {
    std::set<HWND> found;
    EnumWindows(NoteOwnWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Presses a button of a panel of this process or another, then moves the
// pointer off so that the next press is no double click.
void PressIn(HWND panel, int id) {
    RECT r;
    GetWindowRect(GetDlgItem(panel, id), &r);
    bench::Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    bench::MouseMove(5, 5);
}
bool EnabledIn(HWND panel, int id) { return IsWindowEnabled(GetDlgItem(panel, id)) != 0; }

// Presses Play in a panel and reads what reached the output sink until the
// panel was idle again (mono at `rate`, in `folder`\<name>.wav).
bool PlayAndHear(HWND panel, int rate, const std::string& folder, const std::string& name, bench::Wav* heard) {
    const std::string played = bench::UnixPath(folder + "\\" + name);
    const std::string format = "--rate=" + std::to_string(rate) + " --channels=1";
    bench::HostProcess sink("exec parec --device=" + bench::OutputSink() + ".monitor --raw --format=s16le " +
                            format + " > '" + played + ".raw'");
    PressIn(panel, IDC_PLAY);
    EXPECT_TRUE(bench::PumpUntil([&] { return !EnabledIn(panel, IDC_RECORD); }, 8000));
    EXPECT_TRUE(bench::PumpUntil([&] { return EnabledIn(panel, IDC_RECORD); }, 30000));
    sink.Stop();
    return bench::Host("sox -t raw -r " + std::to_string(rate) + " -e signed -b 16 -c 1 '" + played +
                       ".raw' '" + played + ".wav'") == 0 &&
           bench::ReadWav(folder + "\\" + name + ".wav", heard);
}

// Seconds of `wav` that carry the tone above `level`, in 50 ms steps.
double ToneSeconds(const bench::Wav& wav, double freq, double level = 0.05) {
    const size_t step = wav.rate / 20, frames = wav.samples.size() / wav.channels;
    double seconds = 0;
    for (size_t at = 0; at + step <= frames; at += step)
        if (bench::ToneLevel(wav, 0, freq, at, step) > level) seconds += 0.05;
    return seconds;
}

// The control of a container host in a process of its own, as a page in a
// second browser process shows it: started with a bag of PARAMs at (x, y),
// closed as a page is (its window), ended for good when it does not go.
struct PanelInOtherProcess {
    PanelInOtherProcess(const PropertyBag& params, const std::string& folder, int x, int y) {
        const std::string bag = folder + "\\other-params.txt";
        std::string command = "\"" + bench::WinPath(SABLET_HOST) + "\" /bag \"" + bag + "\" /at " +
                              std::to_string(x) + " " + std::to_string(y);
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        if (!params.SaveFile(bag) ||
            !CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return;
        bench::PumpUntil([&] {
            for (HWND top = nullptr; (top = FindWindowExA(nullptr, top, nullptr, "Sablet host"));) {
                DWORD pid = 0;
                HWND child = GetWindow(top, GW_CHILD);
                if (GetWindowThreadProcessId(top, &pid) && pid == pi.dwProcessId && GetDlgItem(child, IDC_RECORD))
                    panel = child;
            }
            return panel && IsWindowVisible(panel);
        }, 60000);
    }
    ~PanelInOtherProcess() {
        if (!pi.hProcess) return;
        if (!Close()) TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    // True once the process has ended.
    bool Close() {
        if (panel) PostMessageA(GetAncestor(panel, GA_ROOT), WM_CLOSE, 0, 0);
        return bench::PumpUntil([&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, 60000);
    }
    PROCESS_INFORMATION pi = {};
    HWND panel = nullptr;
};

class SabletRecorder : public ::testing::Test {
protected:
    void SetUp() override {
        OleInitialize(nullptr);
        temp = bench::ScratchDir();
        // The control writes %TEMP%\Sablet.*: nowhere but the scratch folder.
        SetEnvironmentVariableA("TMP", temp.c_str());
        SetEnvironmentVariableA("TEMP", temp.c_str());
    }
    void TearDown() override {
        if (HasFailure()) bench::Screenshot("failure");
        host.Destroy();
        OleUninitialize();
    }
    void Show(PropertyBag* bag) {
        ASSERT_EQ(S_OK, host.Create(sablethost::kSabletClsid, L"http://pages.test/rec.htm", bag));
        bench::Pump(300);
        panel = host.ControlWindow();
        ASSERT_NE(nullptr, panel);
    }
    HWND Item(int id) const { return GetDlgItem(panel, id); }
    void Press(int id) {
        RECT r;
        GetWindowRect(Item(id), &r);
        bench::Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // Presses a button and returns when its click has been taken from the
    // queue (the handler has run by then); the pointer then moves off, so
    // the next press of the same button is no double click.
    DWORD PressNoted(int id) {
        g_watchedButton = Item(id);
        g_buttonUpTick = 0;
        HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, NoteButtonUp, nullptr, GetCurrentThreadId());
        Press(id);
        EXPECT_TRUE(bench::PumpUntil([] { return g_buttonUpTick != 0; }, 8000)) << id;
        if (hook) UnhookWindowsHookEx(hook);
        bench::Pump(50);
        bench::MouseMove(5, 5);
        return g_buttonUpTick ? g_buttonUpTick : GetTickCount();
    }
    int Position() const { return static_cast<int>(SendMessageA(Item(IDC_POSITION), TBM_GETPOS, 0, 0)); }
    // Record for `seconds`, Stop, and wait until Play is offered (the file
    // is complete and measured). Returns the time from the recording's
    // start to the Stop button taking its click: input reaches an emulated
    // program late, so the times the clicks were sent say little.
    double RecordFor(double seconds) {
        Press(IDC_RECORD);
        EXPECT_TRUE(bench::PumpUntil([&] { return !IsWindowEnabled(Item(IDC_CONFIG)); }, 8000));
        DWORD start = GetTickCount();
        bench::Pump(static_cast<DWORD>(seconds * 1000));
        g_watchedButton = Item(IDC_STOP);
        g_buttonUpTick = 0;
        HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, NoteButtonUp, nullptr, GetCurrentThreadId());
        Press(IDC_STOP);
        EXPECT_TRUE(bench::PumpUntil([&] { return IsWindowEnabled(Item(IDC_CONFIG)) != 0; }, 8000));
        if (hook) UnhookWindowsHookEx(hook);
        EXPECT_NE(0u, g_buttonUpTick);
        double elapsed = ((g_buttonUpTick ? g_buttonUpTick : GetTickCount()) - start) / 1000.0;
        // MCI measuring an MP3 takes seconds on the emulated bench.
        EXPECT_TRUE(bench::PumpUntil([&] { return IsWindowEnabled(Item(IDC_PLAY)) != 0; }, 20000));
        return elapsed;
    }

    std::string temp;
    ControlHost host;
    HWND panel = nullptr;
};

TEST_F(SabletRecorder, WavRecordingsMatchTheirProperties) {
    ASSERT_TRUE(bench::HaveSound());
    struct Case {
        const wchar_t* rate;
        const wchar_t* bits;
        const wchar_t* channels;
        int r, b, c;
    } cases[] = {{L"44100", L"16", L"2", 44100, 16, 2}, {L"12000", L"8", L"1", 12000, 8, 1}};
    auto tone = bench::PlayTone(1000, 180);  // ended when the test ends
    for (const Case& c : cases) {
        SCOPED_TRACE(c.r);
        PropertyBag bag;
        bag.Set(L"UseMP3", L"0");
        bag.Set(L"Frequency", c.rate);
        bag.Set(L"SampleBit", c.bits);
        bag.Set(L"Channel", c.channels);
        Show(&bag);
        EXPECT_FALSE(IsWindowEnabled(Item(IDC_PLAY)));
        bench::Screenshot("idle");
        Press(IDC_RECORD);
        bench::Pump(1500);
        EXPECT_FALSE(IsWindowEnabled(Item(IDC_CONFIG)));
        bench::Screenshot("recording");
        Press(IDC_STOP);
        ASSERT_TRUE(bench::PumpUntil([&] { return IsWindowEnabled(Item(IDC_PLAY)) != 0; }, 8000));
        double elapsed = RecordFor(5.0);

        std::string path = temp + "\\Sablet.wav";
        bench::Wav wav;
        std::string error;
        ASSERT_TRUE(bench::ReadWav(path, &wav, &error)) << error;
        EXPECT_EQ(c.r, wav.rate);
        EXPECT_EQ(c.b, wav.bits);
        EXPECT_EQ(c.c, wav.channels);
        EXPECT_EQ(wav.dataSize + 36, wav.riffSize);
        EXPECT_EQ(0u, wav.dataSize % static_cast<uint32_t>(c.c * c.b / 8));
        EXPECT_NEAR(elapsed, wav.Seconds(), 0.5);
        EXPECT_GT(bench::ToneLevel(wav, 0, 1000, c.r / 2, c.r), 0.1);
        // A sine passes through exact zero now and then; a dropped block
        // would be a run of 10 ms or more.
        EXPECT_LT(bench::LongestInnerZeroRun(wav), static_cast<size_t>(c.r / 100));
        std::string soxRate;
        bench::Host("sox --i -r '" + bench::UnixPath(path) + "'", &soxRate);
        EXPECT_EQ(c.r, atoi(soxRate.c_str()));

        // Play runs to the end and offers Play and Record again.
        Press(IDC_PLAY);
        bench::Pump(1000);
        bench::Screenshot("playing");
        EXPECT_GT(SendMessageA(Item(IDC_POSITION), TBM_GETPOS, 0, 0), 0);
        EXPECT_TRUE(bench::PumpUntil([&] { return IsWindowEnabled(Item(IDC_RECORD)) != 0; },
                                     8000));
        host.Destroy();
    }
}

TEST_F(SabletRecorder, Mp3RecordingDecodesAndPlaysTheTone) {
    ASSERT_TRUE(bench::HaveSound());
    PropertyBag bag;
    bag.Set(L"UseMP3", L"1");
    bag.Set(L"Frequency", L"44100");
    bag.Set(L"SampleBit", L"8");
    bag.Set(L"Channel", L"2");
    bag.Set(L"MP3Bitrate", L"128");
    Show(&bag);
    auto tone = bench::PlayTone(1000, 20);
    double elapsed = RecordFor(5.0);
    std::string path = temp + "\\Sablet.mp3";
    std::string duration = bench::Ffprobe(path, "format=duration");
    // Nothing lost: no shorter than the time recorded. The emulated bench's
    // capture hands over up to about half a second from before the start.
    double seconds = atof(duration.c_str());
    EXPECT_GT(seconds, elapsed - 0.3) << duration;
    EXPECT_LT(seconds, elapsed + 1.0) << duration;
    bench::Wav wav;
    ASSERT_TRUE(bench::DecodeWithFfmpeg(path, &wav, 44100));
    EXPECT_GT(bench::ToneLevel(wav, 0, 1000, 22050, 44100), 0.1);

    // Play runs the take through the control's player: the position moves,
    // the recorded tone reaches the output sink, and at the end the panel
    // is idle again.
    std::string played = bench::UnixPath(temp + "\\played");
    bench::HostProcess sink(
        "exec parec --device=" + bench::OutputSink() +
        ".monitor --raw --format=s16le --rate=44100 --channels=2 > '" + played + ".raw'");
    Press(IDC_PLAY);
    DWORD playStart = GetTickCount();
    EXPECT_TRUE(bench::PumpUntil(
        [&] { return SendMessageA(Item(IDC_POSITION), TBM_GETPOS, 0, 0) > 0; }, 20000));
    bench::Screenshot("playing");
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_RECORD)));
    EXPECT_TRUE(bench::PumpUntil([&] { return IsWindowEnabled(Item(IDC_RECORD)) != 0; }, 30000));
    // Not cut short: idle only once the whole take has had its time.
    EXPECT_GT((GetTickCount() - playStart) / 1000.0, atof(duration.c_str()) - 0.5);
    sink.Stop();
    ASSERT_EQ(0, bench::Host("sox -t raw -r 44100 -e signed -b 16 -c 2 '" + played + ".raw' '" +
                             played + ".wav'"));
    bench::Wav heard;
    ASSERT_TRUE(bench::ReadWav(temp + "\\played.wav", &heard));
    EXPECT_GT(bench::ToneLevel(heard, 0, 1000), 0.05) << heard.Seconds() << " s heard";
    host.Destroy();

    // Formats the encoder cannot write as asked: the panel names what the
    // file holds; the page's values are kept.
    const struct { const wchar_t *rate, *kbps, *channels; } formats[] = {
        {L"8000", L"320", L"1"}, {L"48000", L"8", L"2"}, {L"22050", L"32", L"2"}};
    for (const auto& f : formats) {
        SCOPED_TRACE(testing::Message() << f.rate << " Hz " << f.kbps << " kb/s");
        bag.Set(L"Frequency", f.rate);
        bag.Set(L"MP3Bitrate", f.kbps);
        bag.Set(L"Channel", f.channels);
        Show(&bag);
        RecordFor(2.0);
        const std::string rate = bench::Ffprobe(path, "stream=sample_rate");
        const int kbps = atoi(bench::Ffprobe(path, "stream=bit_rate").c_str()) / 1000;
        const std::string shown[2] = {"MP3 " + rate + " Hz", std::to_string(kbps) + " kb/s"};
        for (const std::string& text : shown) EXPECT_TRUE(BoxShows(panel, kTimeBox, text.c_str())) << text;
        bench::Screenshot("format-" + std::to_string(&f - formats));
        EXPECT_EQ(f.rate, host.GetText(L"SampleRate"));
        EXPECT_EQ(f.kbps, host.GetText(L"MP3Bitrate"));
        host.Destroy();
    }
}

// Stop and Record again at once, many times: every file stays whole.
TEST_F(SabletRecorder, QuickStopThenRecordLosesNothing) {
    ASSERT_TRUE(bench::HaveSound());
    PropertyBag bag;
    bag.Set(L"UseMP3", L"0");
    bag.Set(L"Frequency", L"22050");
    Show(&bag);
    auto tone = bench::PlayTone(1000, 30);
    for (int i = 0; i < 20; ++i) {
        Press(IDC_RECORD);
        bench::Pump(150);
        Press(IDC_STOP);
        bench::Pump(50);
    }
    ASSERT_TRUE(bench::PumpUntil([&] { return IsWindowEnabled(Item(IDC_RECORD)) != 0; }, 5000));
    bench::Pump(500);
    bench::Wav wav;
    std::string error;
    ASSERT_TRUE(bench::ReadWav(temp + "\\Sablet.wav", &wav, &error)) << error;
    EXPECT_EQ(wav.dataSize + 36, wav.riffSize);
}

}  // namespace

namespace {

// The driver of the Export command: picks "Export Recording" from the
// Upload button's menu and saves as `target` in the dialog that opens.
void ExportAs(const std::string& target, std::string* stage) {
    HWND menu = nullptr;
    bench::PumpUntil([&] { return (menu = FindWindowA("#32768", nullptr)) && IsWindowVisible(menu); }, 20000);
    HMENU items = menu ? reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0)) : nullptr;
    RECT item;
    if (!items || GetMenuItemID(items, 1) != IDM_EXPORT_RECORDING || !GetMenuItemRect(nullptr, items, 1, &item)) {
        *stage = "no export item";
        bench::KeyPress(VK_ESCAPE);
        return;
    }
    bench::Click((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    HWND save = bench::WaitForDialog(GetCurrentProcessId(), nullptr, 20000);
    if (!save) {
        *stage = "no save dialog";
        return;
    }
    *stage = "save dialog";
    Sleep(300);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(save, nullptr), &gui);
    if (gui.hwndFocus) SendMessageA(gui.hwndFocus, EM_SETSEL, 0, -1);
    bench::KeyPress(VK_DELETE);
    bench::TypeText(target);
    bench::KeyPress(VK_RETURN);
    if (bench::PumpUntil([&] { return !IsWindow(save); }, 10000)) *stage = "saved";
}

}  // namespace

// One take, its pause, its export and its playback paused and moved; then
// starts that fail, told in the panel's time box and nowhere else.
TEST_F(SabletRecorder, PauseExportSeekAndFailedStartsThroughThePanel) {
    ASSERT_TRUE(bench::HaveSound());
    PropertyBag bag;
    bag.Set(L"UseMP3", L"0");
    bag.Set(L"Frequency", L"44100");
    bag.Set(L"Channel", L"2");
    bag.Set(L"SampleBit", L"16");
    Show(&bag);

    // Record 1000 Hz, pause while 3000 Hz plays, resume on 1000 Hz again.
    auto tone = bench::PlayTone(1000, 120);
    Press(IDC_RECORD);
    ASSERT_TRUE(bench::PumpUntil([&] { return !IsWindowEnabled(Item(IDC_CONFIG)); }, 8000));
    DWORD started = GetTickCount();
    bench::Pump(2500);
    DWORD paused = PressNoted(IDC_PAUSE);
    tone = bench::PlayTone(3000, 120);
    bench::Pump(3000);
    bench::Screenshot("paused");
    tone = bench::PlayTone(1000, 120);
    // The sink's latency: what the device hears is 1000 Hz again before
    // the recording resumes.
    bench::Pump(2000);
    DWORD resumed = PressNoted(IDC_PAUSE);
    bench::Pump(2500);
    DWORD stopped = PressNoted(IDC_STOP);
    ASSERT_TRUE(bench::PumpUntil([&] { return IsWindowEnabled(Item(IDC_PLAY)) != 0; }, 20000));
    const std::string take = temp + "\\Sablet.wav";
    bench::Wav wav;
    std::string error;
    ASSERT_TRUE(bench::ReadWav(take, &wav, &error)) << error;
    double recorded = ((paused - started) + (stopped - resumed)) / 1000.0;
    EXPECT_NEAR(recorded, wav.Seconds(), 0.7) << "paused for " << (resumed - paused) / 1000.0 << " s";
    // No silence put in where the pause was, and of the paused span's tone
    // at most what a block at each end of the pause can carry.
    EXPECT_LT(bench::LongestInnerZeroRun(wav), static_cast<size_t>(wav.rate / 100));
    const size_t frames = wav.samples.size() / wav.channels;
    EXPECT_LT(ToneSeconds(wav, 3000, 0.1), 0.6);
    EXPECT_GT(bench::ToneLevel(wav, 0, 1000, 0, wav.rate), 0.1) << "before the pause";
    EXPECT_GT(bench::ToneLevel(wav, 0, 1000, frames - wav.rate, wav.rate), 0.1) << "after it";
    tone.reset();

    // Export from the Upload button's menu: the very bytes of the take.
    const std::string exported = temp + "\\exported.wav";
    std::string stage = "no menu";
    bench::WithDriver([&] { ExportAs(exported, &stage); },
                      [&] {
                          Press(IDC_UPLOAD);
                          bench::PumpUntil([&] { return stage == "saved" || stage.rfind("no ", 0) == 0; }, 60000);
                      });
    EXPECT_EQ("saved", stage);
    EXPECT_EQ(bench::FileBytes(take), bench::FileBytes(exported));
    EXPECT_FALSE(bench::FileBytes(exported).empty());

    // Pause the playback, move the position: it plays on from there.
    Press(IDC_PLAY);
    ASSERT_TRUE(bench::PumpUntil([&] { return Position() > 0; }, 20000));
    PressNoted(IDC_PAUSE);
    int held = Position();
    bench::Pump(1000);
    EXPECT_EQ(held, Position()) << "paused playback stands still";
    ASSERT_LT(held, 40);
    RECT slider, channel{};
    GetWindowRect(Item(IDC_POSITION), &slider);
    SendMessageA(Item(IDC_POSITION), TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    bench::Click(slider.left + channel.left + (channel.right - channel.left) * 6 / 10,
                 (slider.top + slider.bottom) / 2);
    int target = Position();
    EXPECT_GE(target, 55);
    int lowest = 100, highest = 0;
    EXPECT_TRUE(bench::PumpUntil(
        [&] {
            int p = Position();
            if (p > 0) {
                lowest = std::min(lowest, p);
                highest = std::max(highest, p);
            }
            return IsWindowEnabled(Item(IDC_RECORD)) != 0;
        },
        30000))
        << "the playback ran to its end";
    EXPECT_GE(lowest, target - 2) << "never back where it was paused";
    EXPECT_GT(highest, target) << "it played on from the new place";

    // A rate the sound layer must not see (a page's SampleRate): refused as
    // a format the card refuses, in the time box, the value kept.
    ASSERT_EQ(S_OK, host.PutLong(L"SampleRate", -5));
    const std::set<HWND> windows = TopLevelWindows();
    bench::MouseMove(5, 5);
    Press(IDC_RECORD);
    EXPECT_TRUE(bench::PumpUntil([&] { return BoxShows(panel, kTimeBox, "format not supported"); }, 10000));
    bench::Screenshot("refused-rate");
    EXPECT_EQ(windows, TopLevelWindows()) << "no window of the control's own";
    EXPECT_EQ(L"-5", host.GetText(L"SampleRate"));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_RECORD)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_CONFIG)));
    ASSERT_EQ(S_OK, host.PutLong(L"SampleRate", 22050));
    host.Destroy();
    // A page's PARAM of a rate no recording can have: refused the same way.
    PropertyBag refused;
    refused.Set(L"UseMP3", L"0");
    refused.Set(L"Frequency", L"-1");
    Show(&refused);
    Press(IDC_RECORD);
    EXPECT_TRUE(bench::PumpUntil([&] { return BoxShows(panel, kTimeBox, "format not supported"); }, 10000));
    EXPECT_EQ(L"-1", host.GetText(L"SampleRate"));
    host.Destroy();

    // No recording device at all: a copy of this program without sound
    // drivers runs the same panel.
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string command = std::string("\"") + self +
                          "\" --gtest_also_run_disabled_tests --gtest_filter=SabletRecorder.DISABLED_NoDeviceChild";
    const std::string log = temp + "\\no-device.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = out;
    PROCESS_INFORMATION pi = {};
    BOOL made = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(out);
    ASSERT_TRUE(made);
    DWORD code = 99;
    EXPECT_TRUE(bench::PumpUntil([&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, 120000));
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::string said = bench::ReadText(log);
    EXPECT_EQ(0u, code) << said;
    EXPECT_NE(std::string::npos, said.find("[  PASSED  ] 1 test")) << said;
}

// Run by the case above in a process of its own: its user registry is a
// scratch key where Wine is told to load no sound driver, before anything
// of the sound system starts.
TEST_F(SabletRecorder, DISABLED_NoDeviceChild) {
    const std::string scratch = "Software\\BrindleTests\\NoSound" + std::to_string(GetCurrentProcessId());
    HKEY user = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, scratch.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &user, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(user, "Software\\Wine\\Drivers", "Audio", REG_SZ, "", 1));
    RegOverridePredefKey(HKEY_CURRENT_USER, user);
    ASSERT_EQ(0u, waveInGetNumDevs()) << "the sound drivers were to be left out";
    PropertyBag bag;
    bag.Set(L"UseMP3", L"0");
    Show(&bag);
    const std::set<HWND> windows = TopLevelWindows();
    for (int press = 0; press < 2; ++press) {
        SCOPED_TRACE(press);
        Press(IDC_RECORD);
        EXPECT_TRUE(bench::PumpUntil([&] { return BoxShows(panel, kTimeBox, "no recording device"); }, 10000));
        bench::Pump(500);
        EXPECT_EQ(windows, TopLevelWindows()) << "no message box";
        // Still usable: the buttons are there to press again.
        EXPECT_TRUE(IsWindowEnabled(Item(IDC_RECORD)));
        EXPECT_TRUE(IsWindowEnabled(Item(IDC_CONFIG)));
        EXPECT_FALSE(IsWindowEnabled(Item(IDC_PLAY)));
        bench::Screenshot("no-device");
        bench::MouseMove(5, 5);
    }
    host.Destroy();
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(user);
    RegDeleteTreeA(HKEY_CURRENT_USER, scratch.c_str());
}

// Two controls in one host: each records into a take of its own, shows its
// own take's size, and plays its own take; while one records, the other's
// Record says the sound card is in use.
TEST_F(SabletRecorder, TwoControlsKeepTheirOwnTakes) {
    ASSERT_TRUE(bench::HaveSound());
    PropertyBag bag;
    bag.Set(L"UseMP3", L"0");
    bag.Set(L"Frequency", L"22050");
    bag.Set(L"Channel", L"1");
    Show(&bag);
    ControlHost second;
    ASSERT_EQ(S_OK, second.Create(sablethost::kSabletClsid, L"http://pages.test/rec.htm", &bag, nullptr, 60, 340));
    bench::Pump(300);
    HWND first = panel;
    HWND other = second.ControlWindow();
    ASSERT_NE(nullptr, other);
    auto press = PressIn;
    auto enabled = EnabledIn;

    auto tone = bench::PlayTone(1000, 120);
    press(first, IDC_RECORD);
    ASSERT_TRUE(bench::PumpUntil([&] { return !enabled(first, IDC_CONFIG); }, 8000));
    bench::Pump(2000);
    press(other, IDC_RECORD);
    EXPECT_TRUE(bench::PumpUntil([&] { return BoxShows(other, kTimeBox, "sound card in use"); }, 10000));
    EXPECT_TRUE(enabled(other, IDC_CONFIG)) << "the second panel stays idle";
    press(first, IDC_STOP);
    ASSERT_TRUE(bench::PumpUntil([&] { return enabled(first, IDC_PLAY); }, 20000));
    EXPECT_FALSE(enabled(other, IDC_PLAY)) << "nothing of its own to play yet";

    tone = bench::PlayTone(2500, 120);
    bench::Pump(1500);
    press(other, IDC_RECORD);
    ASSERT_TRUE(bench::PumpUntil([&] { return !enabled(other, IDC_CONFIG); }, 8000));
    bench::Pump(3500);
    press(other, IDC_STOP);
    ASSERT_TRUE(bench::PumpUntil([&] { return enabled(other, IDC_PLAY); }, 20000));
    tone.reset();

    bench::Wav a, b;
    ASSERT_TRUE(bench::ReadWav(temp + "\\Sablet.wav", &a));
    ASSERT_TRUE(bench::ReadWav(temp + "\\Sablet2.wav", &b));
    const size_t rate = 22050;
    EXPECT_GT(bench::ToneLevel(a, 0, 1000, rate / 2, rate), 0.1);
    EXPECT_LT(bench::ToneLevel(a, 0, 2500, rate / 2, rate), 0.05);
    EXPECT_GT(bench::ToneLevel(b, 0, 2500, rate, rate), 0.1);
    EXPECT_LT(bench::ToneLevel(b, 0, 1000, rate, rate), 0.05);
    // Each idle panel shows its own take's size.
    auto sizeText = [](const bench::Wav& w) { return std::to_string(w.dataSize / 1024) + "KB"; };
    ASSERT_NE(sizeText(a), sizeText(b));
    EXPECT_TRUE(BoxShows(first, kTimeBox, sizeText(a).c_str())) << sizeText(a);
    EXPECT_TRUE(BoxShows(other, kTimeBox, sizeText(b).c_str())) << sizeText(b);
    bench::Screenshot("two-controls");

    // Each plays its own take into the output sink.
    for (int which = 0; which < 2; ++which) {
        SCOPED_TRACE(which);
        HWND in = which == 0 ? first : other;
        bench::Wav heard;
        ASSERT_TRUE(PlayAndHear(in, 22050, temp, "played" + std::to_string(which), &heard));
        double own = bench::ToneLevel(heard, 0, which == 0 ? 1000 : 2500);
        double others = bench::ToneLevel(heard, 0, which == 0 ? 2500 : 1000);
        EXPECT_GT(own, 0.02) << heard.Seconds() << " s heard";
        EXPECT_GT(own, 4 * others);
    }
    second.Destroy();
}

// Pages in two browser processes: the other process's control records into
// a take of its own whether the two record at once or one after the other.
// Each take is whole (its header says what it holds), has its own rate,
// length and tone, and each panel plays its own.
TEST_F(SabletRecorder, TwoProcessesKeepTheirOwnTakes) {
    ASSERT_TRUE(bench::HaveSound());
    // The tone while the other process records.
    const struct { const char* name; bool atOnce; double otherTone; } rows[] = {
        {"at once", true, 1000}, {"one after the other", false, 2500}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PropertyBag bag;
        bag.Set(L"UseMP3", L"0");
        bag.Set(L"Frequency", L"22050");
        bag.Set(L"Channel", L"1");
        Show(&bag);
        // Another rate there: a shared file would contradict its header.
        bag.Set(L"Frequency", L"16000");
        PanelInOtherProcess process(bag, temp, 60, 340);
        HWND other = process.panel;
        ASSERT_NE(nullptr, other);

        // Each recording's time: from its panel taking Record to taking Stop.
        auto start = [](HWND in) {
            PressIn(in, IDC_RECORD);
            EXPECT_TRUE(bench::PumpUntil([&] { return !EnabledIn(in, IDC_CONFIG); }, 8000));
            return GetTickCount();
        };
        auto stop = [](HWND in) {
            PressIn(in, IDC_STOP);
            EXPECT_TRUE(bench::PumpUntil([&] { return EnabledIn(in, IDC_CONFIG); }, 8000));
            DWORD at = GetTickCount();
            EXPECT_TRUE(bench::PumpUntil([&] { return EnabledIn(in, IDC_PLAY); }, 20000));
            return at;
        };
        auto tone = bench::PlayTone(1000, 120);
        DWORD ownFrom = start(panel), ownTo = 0;
        bench::Pump(2500);
        if (!row.atOnce) {
            ownTo = stop(panel);
            tone = bench::PlayTone(row.otherTone, 120);
            bench::Pump(1500);
        }
        DWORD otherFrom = start(other);
        bench::Pump(2500);
        DWORD otherTo = stop(other);
        if (row.atOnce) {
            bench::Pump(1500);
            ownTo = stop(panel);
        }
        tone.reset();

        bench::Wav own, others;
        std::string error;
        ASSERT_TRUE(bench::ReadWav(temp + "\\Sablet.wav", &own, &error)) << error;
        ASSERT_TRUE(bench::ReadWav(temp + "\\Sablet2.wav", &others, &error)) << error;
        const struct {
            const bench::Wav& take;
            int rate;
            double seconds, tone;
        } takes[] = {{own, 22050, (ownTo - ownFrom) / 1000.0, 1000},
                     {others, 16000, (otherTo - otherFrom) / 1000.0, row.otherTone}};
        for (const auto& t : takes) {
            SCOPED_TRACE(t.rate);
            EXPECT_EQ(t.rate, t.take.rate);
            EXPECT_EQ(t.take.dataSize + 36, t.take.riffSize);
            EXPECT_EQ(t.take.dataSize, t.take.fileSize - 44);
            EXPECT_NEAR(t.seconds, t.take.Seconds(), 0.7);
            EXPECT_LT(bench::LongestInnerZeroRun(t.take), static_cast<size_t>(t.rate / 100)) << "no splice";
            EXPECT_GT(bench::ToneLevel(t.take, 0, t.tone, t.rate / 2, t.rate), 0.1);
        }
        EXPECT_LT(bench::ToneLevel(others, 0, 3500 - row.otherTone, 8000, 16000), 0.05) << "not the other's";
        bench::Screenshot(row.atOnce ? "two-processes-at-once" : "two-processes-one-after");
        // Each panel plays its own take: its tone, as long as its take.
        for (int which = 0; which < 2; ++which) {
            SCOPED_TRACE(which);
            bench::Wav heard;
            ASSERT_TRUE(PlayAndHear(which ? other : panel, 22050, temp, "heard" + std::to_string(which), &heard));
            EXPECT_NEAR(takes[which].take.Seconds(), ToneSeconds(heard, takes[which].tone), 1.0);
        }
        // The other page closed: its name is free again.
        EXPECT_TRUE(process.Close());
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((temp + "\\Sablet2.lck").c_str()));
        host.Destroy();
    }
}
