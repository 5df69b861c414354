// The MP3, capture device, background and WMA settings dialogs opened from
// brindle.exe as a user does it: real clicks and typing, OK, an exit and a
// restart that shows the same choices, and a recording that carries them.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "bench.h"
#include "tests/app/brindle_process.h"
#include "engine/CaptureGraph.h"

namespace {

// Screen points of the main window's face buttons and of the dialogs' parts
// (both windows sit at 200,200).
POINT Face(int x, int y) { return {200 + x, 200 + y}; }
const POINT kRecord = Face(433 + 30, 187 + 27);
const POINT kStop = Face(253 + 30, 187 + 27);
const POINT kExit = Face(531 + 11, 1 + 12);
const POINT kOk = Face(271 + 36, 296 + 12);
const POINT kCancel = Face(381 + 36, 296 + 12);

void Click(POINT p) { bench::Click(p.x, p.y); }

std::vector<std::string> DeviceNames() {
    std::vector<std::string> names;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        CaptureDeviceList devices;
        FillCaptureDeviceList(&devices);
        for (int i = 0; i < devices.Count(); ++i) names.push_back(devices.Name(i));
    }
    CoUninitialize();
    return names;
}

int FirstNamed(const std::vector<std::string>& names, const std::string& part) {
    for (size_t i = 0; i < names.size(); ++i)
        if (!part.empty() && names[i].find(part) != std::string::npos) return static_cast<int>(i);
    return -1;
}

std::string Text(HWND dialog, int id) {
    char text[1024] = "";
    SendMessageA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

LRESULT Selected(HWND dialog, int id) { return SendMessageA(GetDlgItem(dialog, id), CB_GETCURSEL, 0, 0); }

// Replaces an edit's text by typing into it.
void TypeInto(HWND dialog, int id, const std::string& text) {
    HWND edit = GetDlgItem(dialog, id);
    RECT r;
    GetWindowRect(edit, &r);
    bench::Click(r.left + 10, (r.top + r.bottom) / 2);
    // Typing waits for the click to have put the focus in the edit: under
    // emulation the program may take a while to get there.
    bench::PumpUntil(
        [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return GetGUIThreadInfo(GetWindowThreadProcessId(edit, nullptr), &info) &&
                   info.hwndFocus == edit;
        },
        10000);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    bench::KeyPress(VK_DELETE);
    bench::TypeText(text);
}

// Opens a drop-down list with a click, picks with keys (a letter finds the
// next entry that starts with it), closes with Enter.
void PickInList(HWND dialog, int id, const std::vector<WORD>& keys) {
    RECT r;
    GetWindowRect(GetDlgItem(dialog, id), &r);
    HWND list = GetDlgItem(dialog, id);
    auto dropped = [&] { return SendMessageA(list, CB_GETDROPPEDSTATE, 0, 0) != 0; };
    bench::Click(r.left + 10, r.top + 8);
    bench::PumpUntil(dropped, 10000);
    for (WORD k : keys) bench::KeyPress(k);
    bench::KeyPress(VK_RETURN);
    bench::PumpUntil([&] { return !dropped(); }, 10000);
}

class SettingsDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(bench::HaveSound());
        ClearSettings();
        folder_ = bench::ScratchDir();
        names_ = DeviceNames();
        recDevice_ = FirstNamed(names_, bench::Env("BENCH_REC_DEVICE"));
        outDevice_ = FirstNamed(names_, bench::Env("BENCH_OUT_DEVICE"));
        ASSERT_GE(recDevice_, 0);
        StoreDword("Device", static_cast<DWORD>(recDevice_));
        StoreDword("AudoLine", 0);  // a stand-in device's first line is its own input
        StoreDword("Alert", 0);
        StoreDword("Freq", 7);  // 44100 Hz
        StoreDword("Bit", 1);
        StoreDword("Channel", 1);
        StoreText("InstallPath", bench::WinPath(bench::Env("BENCH_BUILD_DIR") + "/lame"));
    }

    // Starts the program on an output file of the scratch folder.
    bool Start(Program& p, const std::string& file) {
        StoreText("LastName", folder_ + "\\" + file);
        return p.Start("");
    }
    // Records about `ms` from the face and stops.
    void Record(DWORD ms) {
        Click(kRecord);
        bench::Pump(ms);
        Click(kStop);
        bench::Pump(1500);  // the finisher closes the file
    }
    static long Exit(Program& p) {
        Click(kExit);
        return p.WaitExit(20000);
    }
    std::string Path(const std::string& file) const { return folder_ + "\\" + file; }

    std::string folder_;
    std::vector<std::string> names_;
    int recDevice_ = -1, outDevice_ = -1;
};

TEST_F(SettingsDialogs, Mp3FormatAndTagKeptAndRecorded) {
    const std::string artist = "An artist name of forty characters, long";  // 40
    const std::string album = "An album name of forty characters as well";
    const std::string title = "A title of forty characters, said plainly";
    StoreDword("ID3", 0);
    auto tone = bench::PlayTone(1000, 120, 0.5);
    {
        Program p;
        ASSERT_TRUE(Start(p, "take.mp3"));
        Click(Face(386 + 36, 308 + 12));  // 1046
        HWND d = p.WaitForDialog("Set MP3 parameters");
        ASSERT_NE(nullptr, d);
        // With ID3 off the tag boxes wait for 1149.
        for (int id : {1141, 1183, 1140, 1142, 1151}) EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, id))) << id;
        Click(Face(57 + 8, 131 + 6));
        bench::Pump(200);
        for (int id : {1141, 1183, 1140, 1142, 1151}) EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, id))) << id;
        PickInList(d, 1144, {VK_HOME, '6'});  // "64"
        PickInList(d, 1150, {VK_HOME, 'M'});  // "Mono"
        Click(Face(263 + 8, 102 + 6));  // Copyright
        TypeInto(d, 1141, artist);
        TypeInto(d, 1183, album);
        TypeInto(d, 1140, title);
        TypeInto(d, 1142, "20261");
        PickInList(d, 1151, {VK_HOME, 'J'});  // "Jazz", not "Jazz+Funk"
        EXPECT_EQ(7, Selected(d, 1144));
        EXPECT_EQ(1, Selected(d, 1150));
        EXPECT_EQ(8, Selected(d, 1151));
        bench::Screenshot("mp3-dialog", d);
        Click(kOk);
        bench::Pump(300);
        EXPECT_FALSE(IsWindow(d));
        EXPECT_EQ(0, Exit(p));
    }
    EXPECT_EQ(7, StoredDword("MP3Bitrate"));
    EXPECT_EQ(1, StoredDword("MP3Mode"));
    EXPECT_EQ(1, StoredDword("Copyright"));
    EXPECT_EQ(1, StoredDword("ID3"));
    EXPECT_EQ(8, StoredDword("Genre"));
    EXPECT_EQ(artist.substr(0, 30), StoredText("Artist"));
    EXPECT_EQ("2026", StoredText("Year"));
    {
        Program p;
        ASSERT_TRUE(Start(p, "take.mp3"));
        Click(Face(386 + 36, 308 + 12));
        HWND d = p.WaitForDialog("Set MP3 parameters");
        ASSERT_NE(nullptr, d);
        EXPECT_EQ(7, Selected(d, 1144));
        EXPECT_EQ(1, Selected(d, 1150));
        EXPECT_EQ(8, Selected(d, 1151));
        EXPECT_EQ(artist.substr(0, 30), Text(d, 1141));
        EXPECT_EQ(album.substr(0, 30), Text(d, 1183));
        EXPECT_EQ(title.substr(0, 30), Text(d, 1140));
        EXPECT_EQ("2026", Text(d, 1142));
        // Another bitrate, then Cancel: nothing changes.
        PickInList(d, 1144, {VK_HOME, '1'});
        Click(kCancel);
        bench::Pump(300);
        EXPECT_EQ(7, StoredDword("MP3Bitrate"));

        Record(3500);
        EXPECT_EQ(0, Exit(p));
    }
    EXPECT_EQ(7, StoredDword("MP3Bitrate"));  // the exit keeps the dialog's choice
    const std::string file = Path("take.mp3");
    EXPECT_EQ("64000", bench::Ffprobe(file, "stream=bit_rate"));
    EXPECT_EQ("1", bench::Ffprobe(file, "stream=channels"));
    EXPECT_EQ(artist.substr(0, 30), bench::Ffprobe(file, "format_tags=artist"));
    EXPECT_EQ("2026", bench::Ffprobe(file, "format_tags=date"));
    EXPECT_EQ("Jazz", bench::Ffprobe(file, "format_tags=genre"));
}

// The tone plays into the output sink only. A clicked row shows its lines
// but Cancel keeps the recorded device; OK switches, and the switch outlives
// a restart. While recording the menu entry does nothing.
TEST_F(SettingsDialogs, DeviceSwitchedOnlyOnOk) {
    ASSERT_GE(outDevice_, 0);
    ASSERT_LT(outDevice_, 9) << "the row must fit the dialog";
    auto tone = bench::PlayTone(1000, 120, 0.5, bench::OutputSink());
    bench::Pump(2500);
    const POINT outRow = Face(100, 54 + 30 * outDevice_);
    const POINT menuAt = Face(150, 20);
    auto openFromMenu = [&](Program& p) {
        bench::RightClick(menuAt.x, menuAt.y);
        bench::Pump(400);
        bench::Click(menuAt.x + 40, menuAt.y + 10);  // "Select Audio Device", the first entry
        return p.WaitForDialog("Select Audio Device", 3000);
    };
    auto recordedTone = [&]() {
        bench::Wav wav;
        if (!bench::ReadWav(Path("dev.wav"), &wav)) return -1.0;
        return bench::ToneLevel(wav, 0, 1000, static_cast<size_t>(wav.rate / 5));
    };
    {
        Program p;
        ASSERT_TRUE(Start(p, "dev.wav"));
        HWND d = openFromMenu(p);
        ASSERT_NE(nullptr, d);
        Click(outRow);
        bench::Pump(300);
        bench::Screenshot("device-row-clicked", d);
        Click(Face(390 + 36, 296 + 12));  // Cancel
        bench::Pump(300);
        Record(3000);
        EXPECT_LT(recordedTone(), 0.05) << "Cancel kept the recorded device";

        d = openFromMenu(p);
        ASSERT_NE(nullptr, d);
        Click(outRow);
        Click(Face(282 + 36, 296 + 12));  // OK
        bench::Pump(500);
        Record(3000);
        EXPECT_GT(recordedTone(), 0.3);

        // While recording the entry opens nothing and the file grows on.
        Click(kRecord);
        bench::Pump(1000);
        EXPECT_EQ(nullptr, openFromMenu(p));
        WIN32_FILE_ATTRIBUTE_DATA a{}, b{};
        GetFileAttributesExA(Path("dev.wav").c_str(), GetFileExInfoStandard, &a);
        bench::Pump(1000);
        GetFileAttributesExA(Path("dev.wav").c_str(), GetFileExInfoStandard, &b);
        EXPECT_GT(b.nFileSizeLow, a.nFileSizeLow);
        Click(kStop);
        bench::Pump(1500);
        EXPECT_EQ(0, Exit(p));
    }
    EXPECT_EQ(outDevice_, StoredDword("Device"));
    {
        Program p;
        ASSERT_TRUE(Start(p, "dev.wav"));
        Record(3000);
        EXPECT_GT(recordedTone(), 0.3);
        EXPECT_EQ(0, Exit(p));
    }
}

// A 440 Hz background at a 30 % balance, stopping the recording when it
// ends, over a 1 kHz tone.
TEST_F(SettingsDialogs, BackgroundChoicesKeptAndMixed) {
    const std::string background = Path("bg440.wav");
    ASSERT_EQ(0, bench::Host("sox -n -r 44100 -c 2 -b 16 " + bench::UnixPath(background) +
                             " synth 2 sine 440 vol 0.3"));
    auto tone = bench::PlayTone(1000, 120, 0.3);
    bench::Pump(2500);
    {
        Program p;
        ASSERT_TRUE(Start(p, "bg.wav"));
        Click(Face(119 + 36, 252 + 12));  // 1165
        HWND d = p.WaitForDialog("Background Music Option");
        ASSERT_NE(nullptr, d);
        RECT before, after;
        GetWindowRect(d, &before);
        TypeInto(d, 1156, background);
        // The thumb of Scale 50 sits at 258; the recording's share grows to
        // the right (about 70 % at 268).
        bench::Drag(Face(258, 107).x, Face(258, 107).y, Face(268, 107).x, Face(268, 107).y);
        GetWindowRect(d, &after);
        EXPECT_EQ(before.left, after.left);
        EXPECT_EQ(before.top, after.top);
        Click(Face(212 + 9, 209 + 9));  // Stop recording
        bench::Screenshot("background-dialog", d);
        Click(kOk);
        bench::Pump(300);
        EXPECT_EQ(0, Exit(p));
    }
    const int64_t scale = StoredDword("Background Scale");
    EXPECT_GE(scale, 28);
    EXPECT_LE(scale, 32);
    EXPECT_EQ(1, StoredDword("Background Action"));
    EXPECT_EQ(background, StoredText("Background File"));
    {
        Program p;
        ASSERT_TRUE(Start(p, "bg.wav"));
        Click(Face(119 + 36, 252 + 12));
        HWND d = p.WaitForDialog("Background Music Option");
        ASSERT_NE(nullptr, d);
        EXPECT_EQ(background, Text(d, 1156));
        // The edit takes no more than the engine keeps.
        TypeInto(d, 1156, std::string(300, 'a'));
        EXPECT_EQ(255, SendMessageA(GetDlgItem(d, 1156), WM_GETTEXTLENGTH, 0, 0));
        Click(kCancel);
        bench::Pump(300);
        EXPECT_EQ(background, StoredText("Background File"));

        Click(Face(207 + 36, 252 + 12));  // 1166: mix the background in
        Click(kRecord);
        bench::Pump(7000);  // the 2 s background ends the recording by itself
        EXPECT_EQ(0, Exit(p));
    }
    bench::Wav wav;
    ASSERT_TRUE(bench::ReadWav(Path("bg.wav"), &wav));
    EXPECT_LT(wav.Seconds(), 4.5);
    const size_t from = static_cast<size_t>(wav.rate * 3 / 10), frames = static_cast<size_t>(wav.rate);
    const double capture = bench::ToneLevel(wav, 0, 1000, from, frames);
    const double music = bench::ToneLevel(wav, 0, 440, from, frames);
    EXPECT_NEAR(0.3 * 1.4, capture, 0.3 * 1.4 * 0.25);
    EXPECT_NEAR(0.3 * 0.6, music, 0.3 * 0.6 * 0.25);
}

TEST_F(SettingsDialogs, WmaProfileAndTagsKeptAndRecorded) {
    const char* texts[6][2] = {{"WMAArtist", "Bench Artist"},       {"WMATitle", "Bench Title"},
                               {"WMAAlbum", "Bench Album"},         {"WMAComposer", "Bench Composer"},
                               {"WMACopyright", "Bench Copyright"}, {"WMADescription", "Bench notes"}};
    const int edits[6] = {1173, 1140, 1141, 1175, 1176, 1177};
    auto tone = bench::PlayTone(1000, 120, 0.5);
    LRESULT profile = -1;
    {
        Program p;
        ASSERT_TRUE(Start(p, "take.wma"));
        Click(Face(469 + 36, 308 + 12));  // 1172
        HWND d = p.WaitForDialog("Set WMA parameters");
        ASSERT_NE(nullptr, d);
        ASSERT_TRUE(bench::PumpUntil([&] { return SendMessageA(GetDlgItem(d, 1178), CB_GETCOUNT, 0, 0) == 5; },
                                     3000))
            << "the stand-in's five audio profiles";
        for (int i = 0; i < 6; ++i) TypeInto(d, edits[i], texts[i][1]);
        PickInList(d, 1151, {VK_HOME, 'J'});
        PickInList(d, 1178, {VK_HOME, VK_DOWN});  // the second: 64 Kbps
        const LRESULT chosen = Selected(d, 1178);
        profile = SendMessageA(GetDlgItem(d, 1178), CB_GETITEMDATA, chosen, 0);
        EXPECT_NE(std::string::npos, Text(d, 1178).find("64 Kbps"));
        bench::Screenshot("wma-dialog", d);
        Click(kOk);
        bench::Pump(300);
        EXPECT_EQ(0, Exit(p));
    }
    for (auto& t : texts) EXPECT_EQ(t[1], StoredText(t[0])) << t[0];
    EXPECT_EQ(8, StoredDword("WMAGenre"));
    EXPECT_EQ(profile, StoredDword("WMAFormat"));
    {
        Program p;
        ASSERT_TRUE(Start(p, "take.wma"));
        Click(Face(469 + 36, 308 + 12));
        HWND d = p.WaitForDialog("Set WMA parameters");
        ASSERT_NE(nullptr, d);
        bench::Pump(500);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(texts[i][1], Text(d, edits[i]));
        EXPECT_EQ(8, Selected(d, 1151));
        EXPECT_NE(std::string::npos, Text(d, 1178).find("64 Kbps"));
        // Cancel after changes: no WMA value moves.
        TypeInto(d, 1173, "Changed");
        PickInList(d, 1178, {VK_END});
        Click(kCancel);
        bench::Pump(300);
        EXPECT_EQ("Bench Artist", StoredText("WMAArtist"));
        EXPECT_EQ(profile, StoredDword("WMAFormat"));

        Record(3500);
        EXPECT_EQ(0, Exit(p));
    }
    const std::string file = Path("take.wma");
    const double rate = atof(bench::Ffprobe(file, "stream=bit_rate").c_str());
    EXPECT_NEAR(64000, rate, 640);
    EXPECT_EQ("Bench Artist", bench::Ffprobe(file, "format_tags=artist"));
    EXPECT_EQ("Bench Title", bench::Ffprobe(file, "format_tags=title"));
    EXPECT_EQ("Bench Album", bench::Ffprobe(file, "format_tags=album"));
    EXPECT_EQ("Bench Composer", bench::Ffprobe(file, "format_tags=composer"));
    EXPECT_EQ("Bench Copyright", bench::Ffprobe(file, "format_tags=copyright"));
    EXPECT_EQ("Bench notes", bench::Ffprobe(file, "format_tags=comment"));
    EXPECT_EQ("Jazz", bench::Ffprobe(file, "format_tags=genre"));
}

}  // namespace
