// brindle.exe as a process of its own, its start-up question, about box and
// the noise-gate, output and track-splitter dialogs driven by real clicks
// and typing: what each shows, what OK stores and a restart shows again,
// what Cancel and bad values leave alone, and one measured effect of each
// on a recording.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench.h"
#include "registry_refusal.h"
#include "tests/app/brindle_process.h"
#include "engine/CaptureGraph.h"

namespace {

const char kWineDefaults[] = "Software\\Wine\\AppDefaults\\brindle.exe";

// Window texts of the dialogs' templates.
const char kStartupTitle[] = "Welcome to Brindle";
const char kAboutTitle[] = "About Brindle";
const char kNoiseTitle[] = "Noise Gating and Filters";
const char kOutputTitle[] = "Output Folder and File Name";
const char kSplitterTitle[] = "Track Splitter";

POINT ScreenOf(HWND w, int x, int y) {
    POINT p{x, y};
    ClientToScreen(w, &p);
    return p;
}

// A click on the middle of a dialog's control (a skinned button or an edit).
void ClickControl(HWND w, int id) {
    HWND control = GetDlgItem(w, id);
    ASSERT_NE(nullptr, control) << id;
    RECT r;
    GetWindowRect(control, &r);
    bench::Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    bench::Pump(150);
}

// The text of a control of the program, asked of the control itself.
std::string ControlText(HWND w, int id) {
    char text[300] = "";
    SendMessageA(GetDlgItem(w, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// The control's text once it reads `want`, or what it reads after a
// generous wait: on a busy bench the program takes typed keys and clicks
// from its queue long after they were sent, while a text asked for is
// answered at once.
std::string TextBecomes(HWND w, int id, const std::string& want) {
    bench::PumpUntil([&] { return ControlText(w, id) == want; }, 10000);
    return ControlText(w, id);
}

// Replaces an edit's text the way a user does: click, select from the end
// to the start, type over it; returns once the edit shows it.
void TypeInto(HWND w, int id, const std::string& text) {
    ClickControl(w, id);
    bench::KeyPress(VK_END);
    bench::KeyPress(VK_HOME, false, true);
    bench::TypeText(text);
    TextBecomes(w, id, text);
}

// Drags a slider's thumb along y from x0 to x1; true when the window stayed.
bool DragKeepsWindow(HWND w, int x0, int x1, int y) {
    RECT before, after;
    GetWindowRect(w, &before);
    POINT from = ScreenOf(w, x0, y), to = ScreenOf(w, x1, y);
    bench::Drag(from.x, from.y, to.x, to.y);
    bench::Pump(200);
    GetWindowRect(w, &after);
    return EqualRect(&before, &after) != FALSE;
}

HWND FocusOf(HWND w) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &info);
    return info.hwndFocus;
}

bool Gone(HWND w) {
    return bench::PumpUntil([&] { return !IsWindow(w) || !IsWindowVisible(w); }, 5000);
}

// Answers every message box the dialog raises within `ms`; how many came.
int AnswerBoxes(HWND dialog, DWORD ms, std::string* firstText = nullptr) {
    int count = 0;
    while (HWND box = bench::WaitForOwnedDialog(dialog, count ? 800 : ms)) {
        if (!count && firstText) *firstText = bench::MessageBoxText(box);
        ++count;
        SetForegroundWindow(box);
        bench::KeyPress(VK_RETURN);
        Gone(box);
        if (count > 5) break;
    }
    return count;
}

// A fingerprint of what a control shows on the screen.
unsigned long long Pixels(HWND w, int id) {
    RECT r;
    GetWindowRect(GetDlgItem(w, id), &r);
    unsigned long long sum = 0;
    HDC screen = GetDC(nullptr);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) sum = sum * 31 + GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return sum;
}

// Columns of white text pixels in a rectangle of a window's client area.
void WhiteColumns(HWND w, const RECT& box, int* first, int* last) {
    *first = INT_MAX;
    *last = INT_MIN;
    HDC screen = GetDC(nullptr);
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            POINT p = ScreenOf(w, x, y);
            COLORREF c = GetPixel(screen, p.x, p.y);
            if (GetRValue(c) > 240 && GetGValue(c) > 240 && GetBValue(c) > 240) {
                *first = std::min(*first, x);
                *last = std::max(*last, x);
            }
        }
    ReleaseDC(nullptr, screen);
}

// The version text is there and centred on x.
void ExpectVersionCentred(HWND w, const RECT& box, int centre) {
    int first = 0, last = 0;
    WhiteColumns(w, box, &first, &last);
    ASSERT_LT(first, last) << "no version text";
    // "RL 5.2" in the variable-pitch font is some 25 pixels wide.
    EXPECT_GT(last - first, 12);
    EXPECT_NEAR(centre, (first + last) / 2, 3);
}

std::map<std::string, std::string> SettingsSnapshot() {
    std::map<std::string, std::string> values;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[2048];
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        values[name] = std::string(reinterpret_cast<char*>(data), dataSize);
    }
    RegCloseKey(key);
    return values;
}

size_t LinesIn(const std::string& path) {
    size_t lines = 0;
    if (FILE* f = fopen(path.c_str(), "rb")) {
        char buf[4096];
        while (fgets(buf, sizeof buf, f))
            if (buf[0] != '\r' && buf[0] != '\n') ++lines;
        fclose(f);
    }
    return lines;
}

std::string Today() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char key[16];
    snprintf(key, sizeof key, "%04d%02d%02d", t.wYear, t.wMonth, t.wDay);
    return key;
}

class SettingsDialogs2 : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        folder_ = bench::ScratchDir();
    }
    void TearDown() override {
        program_.reset();
        RegDeleteTreeA(HKEY_CURRENT_USER, kWineDefaults);
    }

    // The stored device is the capture device that records this test's sink;
    // 44.1 kHz, 16 bits, mono; no overwrite question.
    void StoreRecordingSettings(const std::string& lastName) {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        int index = 0;
        {
            CaptureDeviceList devices;
            FillCaptureDeviceList(&devices);
            const std::string want = bench::Env("BENCH_REC_DEVICE");
            for (int i = 0; i < devices.Count(); ++i)
                if (!want.empty() && strstr(devices.Name(i), want.c_str())) index = i;
        }
        CoUninitialize();
        StoreDword("Device", static_cast<DWORD>(index));
        StoreDword("AudoLine", 0);  // a stand-in device's first line is its own input
        StoreDword("Freq", 7);
        StoreDword("Bit", 1);
        StoreDword("Channel", 0);
        StoreDword("Alert", 0);
        StoreText("LastName", lastName);
    }

    HWND Start() {
        program_ = std::make_unique<Program>();
        // A start on a busy bench can outlast the process helper's wait.
        auto shown = [&] {
            program_->window = program_->FindMainWindow();
            return program_->window && IsWindowVisible(program_->window);
        };
        const bool up = program_->Start("") || bench::PumpUntil(shown, 45000);
        EXPECT_TRUE(up);
        return program_->window;
    }
    // Closes the program through its close command; its exit code.
    long Close() {
        PostMessageA(program_->window, WM_COMMAND, 1014, 0);
        long code = program_->WaitExit(20000);
        program_.reset();
        return code;
    }
    HWND Restart() {
        EXPECT_EQ(0, Close());
        return Start();
    }
    HWND Open(int faceButton, const char* title) {
        ClickControl(program_->window, faceButton);
        HWND dialog = program_->WaitForDialog(title);
        EXPECT_NE(nullptr, dialog) << title;
        if (dialog) bench::Pump(300);
        return dialog;
    }
    // Records for `ms` with Record and Stop; the WAV it left, once it is
    // finished. The earlier take goes first, or a program slow to take the
    // clicks would have it read as this one.
    bool Record(DWORD ms, const std::string& file, bench::Wav* wav) {
        DeleteFileA(file.c_str());
        ClickControl(program_->window, 1000);
        if (!bench::PumpUntil([&] { return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES; },
                              20000))
            return false;
        bench::Pump(ms);
        ClickControl(program_->window, 1004);
        return Finished(file, wav);
    }
    // The WAV once its header is whole and it has stopped growing (a file
    // being written has a whole header each time its sizes are refreshed).
    static bool Finished(const std::string& file, bench::Wav* wav) {
        uint32_t size = 0;
        DWORD since = GetTickCount();
        return bench::PumpUntil(
            [&] {
                const bool whole = bench::ReadWav(file, wav) && wav->dataSize > 0 &&
                                   wav->fileSize - 44 == wav->dataSize;
                if (!whole || wav->fileSize != size) {
                    size = whole ? wav->fileSize : 0;
                    since = GetTickCount();
                    return false;
                }
                return GetTickCount() - since >= 2000;
            },
            20000);
    }
    // "About Brindle", the pop-up menu's last entry but one.
    void RightClickAbout() {
        POINT p = ScreenOf(program_->window, 150, 20);
        bench::RightClick(p.x, p.y);
        bench::Pump(400);
        bench::KeyPress(VK_UP);
        bench::KeyPress(VK_UP);
        bench::KeyPress(VK_RETURN);
    }

    std::unique_ptr<Program> program_;
    std::string folder_;
};

TEST_F(SettingsDialogs2, StartupQuestionAndAboutBox) {
    // The question is for systems before NT 6 only.
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kWineDefaults, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("winxp"), 6);
    RegCloseKey(key);

    // Exit leaves the program; nothing was chosen, so the next start asks again.
    Start();
    HWND startup = program_->WaitForDialog(kStartupTitle);
    ASSERT_NE(nullptr, startup) << "no start-up question on a first start";
    bench::Pump(300);
    bench::Screenshot("startup", startup);
    ExpectVersionCentred(startup, RECT{200, 65, 343, 81}, 271);
    ClickControl(startup, 1039);
    EXPECT_EQ(0, program_->WaitExit(20000));
    program_.reset();
    EXPECT_EQ(-1, StoredDword("Device"));

    // Later, then Continue: the main window goes on.
    Start();
    startup = program_->WaitForDialog(kStartupTitle);
    ASSERT_NE(nullptr, startup);
    // "Now" is chosen at first: choosing "later" swaps the two faces.
    // Both faces are read once the dialog has been painted and holds still.
    unsigned long long now = 0, later = 0;
    EXPECT_TRUE(bench::PumpUntil(
        [&] {
            const unsigned long long a = Pixels(startup, 1184), b = Pixels(startup, 1185);
            bench::Pump(300);
            if (a != Pixels(startup, 1184) || b != Pixels(startup, 1185)) return false;
            now = a;
            later = b;
            return a && b && a != b;
        },
        15000));
    ClickControl(startup, 1185);
    ClickControl(startup, 1185);  // a second click keeps it chosen
    bench::MouseMove(10, 10);     // no hover face
    bench::PumpUntil([&] { return Pixels(startup, 1184) == later && Pixels(startup, 1185) == now; },
                     10000);
    EXPECT_EQ(later, Pixels(startup, 1184));
    EXPECT_EQ(now, Pixels(startup, 1185));
    ClickControl(startup, 1040);
    EXPECT_TRUE(Gone(startup));
    EXPECT_TRUE(IsWindowVisible(program_->window));
    EXPECT_EQ(-1, program_->WaitExit(500));

    // The about box from the pop-up menu and from the system menu's
    // command; it changes nothing stored.
    const auto before = SettingsSnapshot();
    RightClickAbout();
    HWND about = program_->WaitForDialog(kAboutTitle);
    ASSERT_NE(nullptr, about);
    bench::Pump(300);
    bench::Screenshot("about", about);
    ExpectVersionCentred(about, RECT{156, 216, 389, 240}, 272);
    ClickControl(about, 1032);
    EXPECT_TRUE(Gone(about));
    PostMessageA(program_->window, WM_SYSCOMMAND, 0x10, 0);
    about = program_->WaitForDialog(kAboutTitle);
    ASSERT_NE(nullptr, about);
    bench::Pump(300);
    bench::KeyPress(VK_RETURN);
    EXPECT_TRUE(Gone(about));
    EXPECT_EQ(before, SettingsSnapshot());
    EXPECT_EQ(0, Close());

    // Esc is Continue without the line test.
    ClearSettings();
    Start();
    startup = program_->WaitForDialog(kStartupTitle);
    ASSERT_NE(nullptr, startup);
    bench::Pump(300);
    bench::KeyPress(VK_ESCAPE);
    EXPECT_TRUE(Gone(startup));
    EXPECT_EQ(-1, program_->WaitExit(500));
}

TEST_F(SettingsDialogs2, NoiseGateAndFiltersStoreCheckAndAct) {
    ASSERT_TRUE(bench::HaveSound());
    const std::string take = folder_ + "\\gate.wav";
    StoreRecordingSettings(take);
    Start();

    HWND dialog = Open(1118, kNoiseTitle);
    ASSERT_NE(nullptr, dialog);
    const int edits[] = {1125, 1128, 1129, 1130, 1131};
    const char* const shownFirst[] = {"-48", "0", "0", "20000", "0"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(shownFirst[i], ControlText(dialog, edits[i])) << edits[i];
    bench::Screenshot("noise_gate", dialog);

    TypeInto(dialog, 1125, "-20");
    bench::KeyPress(VK_TAB);
    bench::KeyPress(VK_END);
    bench::KeyPress(VK_BACK);
    bench::TypeText("1");
    // The attack thumb from 0 to 3: its centre runs from left + 4 = 52 over
    // 201 pixels for 25 steps, so 3 is 24 pixels on; the thumb's middle is
    // 8 pixels above the track's bottom (207).
    EXPECT_TRUE(DragKeepsWindow(dialog, 52, 76, 199)) << "the thumb drag moved the window";
    EXPECT_EQ("3", TextBecomes(dialog, 1129, "3"));
    TypeInto(dialog, 1130, "12000");
    TypeInto(dialog, 1131, "2000");
    ClickControl(dialog, 1032);
    ASSERT_TRUE(Gone(dialog));
    EXPECT_EQ(28, StoredDword("NoiseThreshold"));
    EXPECT_EQ(1, StoredDword("ReleaseTime"));
    EXPECT_EQ(3, StoredDword("AttackTime"));
    EXPECT_EQ(12000, StoredDword("LowPass"));
    EXPECT_EQ(2000, StoredDword("HighPass"));

    Restart();
    dialog = Open(1118, kNoiseTitle);
    ASSERT_NE(nullptr, dialog);
    const char* const shownAgain[] = {"-20", "1", "3", "12000", "2000"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(shownAgain[i], ControlText(dialog, edits[i])) << edits[i];
    // Cancel after an edit writes nothing.
    TypeInto(dialog, 1128, "5");
    ClickControl(dialog, 1033);
    ASSERT_TRUE(Gone(dialog));
    EXPECT_EQ(1, StoredDword("ReleaseTime"));

    // A bad threshold left for the next edit: one box, and the focus back.
    dialog = Open(1118, kNoiseTitle);
    ASSERT_NE(nullptr, dialog);
    TypeInto(dialog, 1125, "0");
    ClickControl(dialog, 1128);
    std::string message;
    EXPECT_EQ(1, AnswerBoxes(dialog, 10000, &message));
    EXPECT_EQ("Please input the threshold volue between -48 and -1", message);
    EXPECT_EQ(GetDlgItem(dialog, 1125), FocusOf(dialog));
    // A bad low pass refuses OK, and Enter, which runs the same checks.
    TypeInto(dialog, 1125, "-10");
    TypeInto(dialog, 1130, "9999");
    ClickControl(dialog, 1032);
    EXPECT_GE(AnswerBoxes(dialog, 10000), 1);
    EXPECT_TRUE(IsWindowVisible(dialog));
    SetForegroundWindow(dialog);
    bench::KeyPress(VK_RETURN);
    EXPECT_GE(AnswerBoxes(dialog, 10000), 1);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(28, StoredDword("NoiseThreshold"));
    EXPECT_EQ(12000, StoredDword("LowPass"));
    bench::KeyPress(VK_ESCAPE);
    ASSERT_TRUE(Gone(dialog));

    // The high pass at 2000 Hz takes a 200 Hz tone down to a hundredth.
    bench::Wav wav;
    double open = 0, filtered = 0;
    {
        auto tone = bench::PlayTone(200, 30, 0.5);
        bench::Pump(1500);
        ASSERT_TRUE(Record(3000, take, &wav));
        open = bench::ToneLevel(wav, 0, 200, wav.rate / 2);
        ClickControl(program_->window, 1116);
        ASSERT_TRUE(Record(3000, take, &wav));
        filtered = bench::ToneLevel(wav, 0, 200, wav.rate / 2);
        ClickControl(program_->window, 1116);
    }
    EXPECT_GT(open, 0.1);
    EXPECT_LT(filtered, open * 0.05) << open << " " << filtered;

    // The gate at -20 dB with a second's release: -40 dBFS is silenced once
    // the second has passed, -6 dBFS goes through.
    ClickControl(program_->window, 1114);
    {
        auto quiet = bench::PlayTone(1000, 30, 0.01);
        bench::Pump(1500);
        ASSERT_TRUE(Record(6000, take, &wav));
    }
    // The gate times its release by the clock as blocks come in, so a take
    // that opened on the tail of the last one may pass a little more than a
    // second of sound where a busy bench hands the blocks over in bursts.
    int loudest = 0;
    size_t lastSound = 0;
    for (size_t i = 0; i < wav.samples.size(); ++i)
        if (wav.samples[i]) lastSound = i;
    for (size_t i = static_cast<size_t>(wav.rate) * 4; i + wav.rate / 5 < wav.samples.size(); ++i)
        loudest = std::max(loudest, std::abs(wav.samples[i]));
    EXPECT_EQ(0, loudest) << "sound until " << lastSound * 1.0 / wav.rate << " s of " << wav.Seconds();
    {
        auto loud = bench::PlayTone(1000, 30, 0.5);
        bench::Pump(1500);
        ASSERT_TRUE(Record(3000, take, &wav));
    }
    EXPECT_GT(bench::ToneLevel(wav, 0, 1000, wav.rate / 2), 0.2);
}

// Stored values act from the start, before their dialog was ever opened:
// the high pass at 2000 Hz takes a 200 Hz tone down to a hundredth. And OK
// on a dialog whose writes the registry refuses says so and stays open.
TEST_F(SettingsDialogs2, StoredFilterActsAtOnceAndARefusedSaveKeepsTheDialog) {
    ASSERT_TRUE(bench::HaveSound());
    const std::string take = folder_ + "\\stored.wav";
    StoreRecordingSettings(take);
    StoreDword("HighPass", 2000);
    Start();

    bench::Wav wav;
    double open = 0, filtered = 0;
    {
        auto tone = bench::PlayTone(200, 30, 0.5);
        bench::Pump(1500);
        ClickControl(program_->window, 1116);
        ASSERT_TRUE(Record(3000, take, &wav));
        filtered = bench::ToneLevel(wav, 0, 200, wav.rate / 2);
        ClickControl(program_->window, 1116);
        ASSERT_TRUE(Record(3000, take, &wav));
        open = bench::ToneLevel(wav, 0, 200, wav.rate / 2);
    }
    EXPECT_GT(open, 0.1);
    EXPECT_LT(filtered, open * 0.05) << open << " " << filtered;

    HWND dialog = Open(1118, kNoiseTitle);
    ASSERT_NE(nullptr, dialog);
    {
        bench::RegistryWriteRefusal refusal(HKEY_CURRENT_USER, kSettingsKey);
        ASSERT_TRUE(refusal.Active());
        TypeInto(dialog, 1128, "4");
        ClickControl(dialog, 1032);
        std::string message;
        EXPECT_EQ(1, AnswerBoxes(dialog, 10000, &message));
        EXPECT_NE(std::string::npos, message.find("could not all be saved")) << message;
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ("4", ControlText(dialog, 1128));
    }
    // With the registry writable again, the same OK stores and closes.
    ClickControl(dialog, 1032);
    ASSERT_TRUE(Gone(dialog));
    EXPECT_EQ(4, StoredDword("ReleaseTime"));
}

TEST_F(SettingsDialogs2, OutputFolderNameAndSwitches) {
    ASSERT_TRUE(bench::HaveSound());
    StoreRecordingSettings(folder_ + "\\old.wav");
    // The encoder library is found in the install folder.
    StoreText("InstallPath", bench::WinPath(bench::Env("BENCH_BUILD_DIR") + "/lame"));
    Start();

    HWND dialog = Open(1005, kOutputTitle);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(folder_ + "\\", ControlText(dialog, 1182));
    EXPECT_EQ("old.wav", ControlText(dialog, 1132));
    const std::string sub = folder_ + "\\My Recordings\\Sub";
    TypeInto(dialog, 1182, sub);
    TypeInto(dialog, 1132, "talk");
    ClickControl(dialog, 1049);
    EXPECT_EQ("talk.MP3", TextBecomes(dialog, 1132, "talk.MP3"));
    ClickControl(dialog, 1134);  // time-stamped names bring multiple files
    bench::Screenshot("output", dialog);
    ClickControl(dialog, 1032);
    ASSERT_TRUE(Gone(dialog));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(sub.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder_ + "\\My").c_str()));
    EXPECT_EQ(sub + "\\talk.MP3", StoredText("LastName"));
    EXPECT_EQ(1, StoredDword("BtnTimeStampedStatus"));
    EXPECT_EQ(1, StoredDword("BtnMultiFileStatus"));

    // After a restart a recording goes there, time-stamped, as MP3.
    Restart();
    {
        auto tone = bench::PlayTone(1000, 20, 0.5);
        bench::Pump(1500);
        ClickControl(program_->window, 1000);
        bench::Pump(3000);
        ClickControl(program_->window, 1004);
    }
    std::string made;
    auto findMade = [&] {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((sub + "\\*.MP3").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) return false;
        do {
            if (strcmp(found.cFileName, "talk.MP3") != 0 && found.nFileSizeLow > 0) made = found.cFileName;
        } while (FindNextFileA(find, &found));
        FindClose(find);
        return !made.empty();
    };
    ASSERT_TRUE(bench::PumpUntil(findMade, 20000)) << "no recording in " << sub;
    bench::Pump(2000);
    EXPECT_EQ("mp3", bench::Ffprobe(sub + "\\" + made, "stream=codec_name"));

    // Refused with a message, the dialog staying open and nothing written:
    // folder and name over 255 characters together, and device names,
    // which are no files.
    std::string lastName;
    const std::string longFolder = "C:\\" + std::string(200, 'a');
    const struct {
        std::string folder, name;
    } refusals[] = {{longFolder, std::string(60, 'b') + ".wav"}, {folder_, "nul.wav"}, {folder_, "COM1.mp3"}};
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.name);
        dialog = Open(1005, kOutputTitle);
        ASSERT_NE(nullptr, dialog);
        // Read once the window answers, when the last recording's name is in.
        if (lastName.empty()) lastName = StoredText("LastName");
        TypeInto(dialog, 1182, r.folder);
        TypeInto(dialog, 1132, r.name);
        ClickControl(dialog, 1032);
        EXPECT_EQ(1, AnswerBoxes(dialog, 10000));
        EXPECT_TRUE(IsWindowVisible(dialog));
        ClickControl(dialog, 1033);
        ASSERT_TRUE(Gone(dialog));
        EXPECT_EQ(lastName, StoredText("LastName"));
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(longFolder.c_str()));

    // A name without a folder stays without one; a radio keeps the dots of
    // the name; Cancel writes nothing.
    EXPECT_EQ(0, Close());
    StoreText("LastName", "talk.wav");
    Start();
    dialog = Open(1005, kOutputTitle);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("", ControlText(dialog, 1182));
    EXPECT_EQ("talk.wav", ControlText(dialog, 1132));
    ClickControl(dialog, 1032);
    ASSERT_TRUE(Gone(dialog));
    EXPECT_EQ("talk.wav", StoredText("LastName"));
    dialog = Open(1005, kOutputTitle);
    ASSERT_NE(nullptr, dialog);
    TypeInto(dialog, 1132, "v1.2 interview");
    ClickControl(dialog, 1049);
    ClickControl(dialog, 1170);
    EXPECT_EQ("v1.2 interview.WAV", TextBecomes(dialog, 1132, "v1.2 interview.WAV"));
    ClickControl(dialog, 1033);
    ASSERT_TRUE(Gone(dialog));
    EXPECT_EQ("talk.wav", StoredText("LastName"));
}

TEST_F(SettingsDialogs2, TrackSplitterStoresChecksAndStopsARecording) {
    ASSERT_TRUE(bench::HaveSound());
    const std::string take = folder_ + "\\split.wav";
    const std::string install = folder_ + "\\install";
    CreateDirectoryA(install.c_str(), nullptr);
    StoreRecordingSettings(take);
    StoreText("InstallPath", install);
    StoreDword("SignalType", 5);
    StoreDword("NewFileDelay", 30);
    StoreDword("Threshold", 60);
    Start();

    HWND dialog = Open(1047, kSplitterTitle);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("-1", ControlText(dialog, 1125));
    EXPECT_EQ("0", ControlText(dialog, 1126));
    bench::Screenshot("track_splitter", dialog);
    // The delay thumb to the right end; the window stays where it is.
    EXPECT_TRUE(DragKeepsWindow(dialog, 58, 275, 145)) << "the thumb drag moved the window";
    EXPECT_EQ("25", TextBecomes(dialog, 1126, "25"));
    TypeInto(dialog, 1125, "-30");
    ClickControl(dialog, 1124);  // stop
    ClickControl(dialog, 1032);
    ASSERT_TRUE(Gone(dialog));
    EXPECT_EQ(18, StoredDword("Threshold"));
    EXPECT_EQ(1, StoredDword("SignalType"));
    EXPECT_EQ(25, StoredDword("NewFileDelay"));

    Restart();
    dialog = Open(1047, kSplitterTitle);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("-30", ControlText(dialog, 1125));
    EXPECT_EQ("25", ControlText(dialog, 1126));
    TypeInto(dialog, 1126, "26");
    ClickControl(dialog, 1125);
    std::string message;
    EXPECT_EQ(1, AnswerBoxes(dialog, 10000, &message));
    EXPECT_EQ("Please input the time delay volue between 0 and 25", message);
    bench::KeyPress(VK_ESCAPE);
    ASSERT_TRUE(Gone(dialog));
    EXPECT_EQ(25, StoredDword("NewFileDelay"));

    // Signal recording at -30 dB with Stop: a 2 s tone at -12 dBFS, then
    // silence, ends the recording by itself.
    ClickControl(program_->window, 1050);
    bench::Pump(1000);
    auto tone = bench::PlayTone(1000, 2.0, 0.25);
    bench::Wav wav;
    ASSERT_TRUE(bench::PumpUntil([&] { return bench::ReadWav(take, &wav) && wav.Seconds() > 1.0; },
                                 12000));
    bench::Pump(3000);  // the silence after the tone ends it
    ASSERT_TRUE(Finished(take, &wav));
    EXPECT_GE(wav.Seconds(), 1.7);
    EXPECT_LE(wav.Seconds(), 4.0);
    EXPECT_EQ(wav.fileSize - 44, wav.dataSize) << "the file was not finished";
    const std::string history = install + "\\Log\\" + Today().substr(0, 4) + "\\" + Today() + ".txt";
    bench::PumpUntil([&] { return LinesIn(history) > 0; }, 10000);
    EXPECT_EQ(1u, LinesIn(history));
}

}  // namespace
