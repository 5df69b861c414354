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

// Clicks a dialog's OK or Cancel and waits for the dialog to be gone.
::testing::AssertionResult CloseWith(HWND dialog, POINT button) {
    Click(button);
    if (bench::PumpUntil([&] { return !IsWindow(dialog); }, 15000)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the dialog stayed open after the click";
}

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

uint64_t FileBytes(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

LRESULT TextLength(HWND dialog, int id) { return SendMessageA(GetDlgItem(dialog, id), WM_GETTEXTLENGTH, 0, 0); }

// Replaces an edit's text by typing into it, and waits until the program has
// taken every key it can hold (`expect` characters). Under emulation each
// step takes its time, so every step waits on what it needs and a step that
// did not take fails at once instead of sending keys somewhere else.
::testing::AssertionResult TypeInto(HWND dialog, int id, const std::string& text, LRESULT expect = -1) {
    if (expect < 0) expect = static_cast<LRESULT>(text.size());
    HWND edit = GetDlgItem(dialog, id);
    RECT r;
    GetWindowRect(edit, &r);
    bench::Click(r.left + 10, (r.top + r.bottom) / 2);
    const bool focused = bench::PumpUntil(
        [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return GetGUIThreadInfo(GetWindowThreadProcessId(edit, nullptr), &info) &&
                   info.hwndFocus == edit;
        },
        15000);
    if (!focused) return ::testing::AssertionFailure() << "edit " << id << " never took the focus";
    SendMessageA(edit, EM_SETSEL, 0, -1);
    bench::KeyPress(VK_DELETE);
    if (!bench::PumpUntil([&] { return TextLength(dialog, id) == 0; }, 15000))
        return ::testing::AssertionFailure() << "edit " << id << " kept its old text";
    bench::TypeText(text);
    if (!bench::PumpUntil([&] { return TextLength(dialog, id) >= expect; }, 30000))
        return ::testing::AssertionFailure() << "edit " << id << " holds " << TextLength(dialog, id)
                                             << " characters, not " << expect;
    bench::Pump(300);  // keys past a limit are refused, not held back
    return ::testing::AssertionSuccess();
}

// Picks entry `index` of a drop-down list the way a user's choice ends: the
// selection moves and the dialog hears of the change and of the list closing.
// Clicking the list open is what emulation makes unreliable (a list that
// drops late takes the next key as the dialog's Enter), and these dialogs
// read the selection only on OK.
// `shows` is a part of the entry's text the closed list must then show.
::testing::AssertionResult PickInList(HWND dialog, int id, LRESULT index, const std::string& shows = "") {
    HWND list = GetDlgItem(dialog, id);
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    if (index < 0 || index >= count)
        return ::testing::AssertionFailure() << "list " << id << " has " << count << " entries, not " << index + 1;
    SendMessageA(list, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_CLOSEUP), reinterpret_cast<LPARAM>(list));
    if (!IsWindow(dialog)) return ::testing::AssertionFailure() << "the dialog closed on the pick in " << id;
    if (Selected(dialog, id) != index)
        return ::testing::AssertionFailure() << "list " << id << " shows entry " << Selected(dialog, id)
                                             << ", not " << index;
    if (Text(dialog, id).find(shows) == std::string::npos)
        return ::testing::AssertionFailure() << "list " << id << " shows \"" << Text(dialog, id) << "\", not \""
                                             << shows << "\"";
    return ::testing::AssertionSuccess();
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
    // Records about `ms` into `file` from the face and stops, waiting for the
    // recording to have begun and for the finisher to have closed the file.
    ::testing::AssertionResult Record(const std::string& file, DWORD ms) {
        const std::string path = Path(file);
        DeleteFileA(path.c_str());
        Click(kRecord);
        // The encoders may hold their first bytes back: the file's creation
        // says the recording began.
        if (!bench::PumpUntil([&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; },
                              20000)) {
            bench::Screenshot("record-missed");
            return ::testing::AssertionFailure() << "the recording into " << file << " never began";
        }
        bench::Pump(ms);
        Click(kStop);
        const bool closed = bench::PumpUntil(
            [&] {
                HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
                if (h == INVALID_HANDLE_VALUE) return false;
                CloseHandle(h);
                return true;
            },
            20000);
        bench::Pump(500);
        if (!closed) return ::testing::AssertionFailure() << file << " was never closed";
        return ::testing::AssertionSuccess();
    }
    static long Exit(Program& p) {
        Click(kExit);
        return p.WaitExit(40000);
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
        HWND d = p.WaitForDialog("Set MP3 parameters", 20000);
        ASSERT_NE(nullptr, d);
        // With ID3 off the tag boxes wait for 1149.
        for (int id : {1141, 1183, 1140, 1142, 1151}) EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, id))) << id;
        Click(Face(57 + 8, 131 + 6));
        bench::PumpUntil([&] { return IsWindowEnabled(GetDlgItem(d, 1151)) != FALSE; }, 15000);
        for (int id : {1141, 1183, 1140, 1142, 1151}) EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, id))) << id;
        ASSERT_TRUE(PickInList(d, 1144, 7, "64"));
        ASSERT_TRUE(PickInList(d, 1150, 1, "Mono"));
        Click(Face(263 + 8, 102 + 6));  // Copyright
        ASSERT_TRUE(TypeInto(d, 1141, artist));
        ASSERT_TRUE(TypeInto(d, 1183, album));
        ASSERT_TRUE(TypeInto(d, 1140, title));
        ASSERT_TRUE(TypeInto(d, 1142, "20261", 4));
        EXPECT_EQ("2026", Text(d, 1142));  // the fifth key is refused, not kept unseen
        ASSERT_TRUE(PickInList(d, 1151, 8, "Jazz"));
        EXPECT_EQ(7, Selected(d, 1144));
        EXPECT_EQ(1, Selected(d, 1150));
        EXPECT_EQ(8, Selected(d, 1151));
        bench::Screenshot("mp3-dialog", d);
        ASSERT_TRUE(CloseWith(d, kOk));
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
        HWND d = p.WaitForDialog("Set MP3 parameters", 20000);
        ASSERT_NE(nullptr, d);
        EXPECT_EQ(7, Selected(d, 1144));
        EXPECT_EQ(1, Selected(d, 1150));
        EXPECT_EQ(8, Selected(d, 1151));
        EXPECT_EQ(artist.substr(0, 30), Text(d, 1141));
        EXPECT_EQ(album.substr(0, 30), Text(d, 1183));
        EXPECT_EQ(title.substr(0, 30), Text(d, 1140));
        EXPECT_EQ("2026", Text(d, 1142));
        // Another bitrate, then Cancel: nothing changes.
        ASSERT_TRUE(PickInList(d, 1144, 2, "16"));
        ASSERT_TRUE(CloseWith(d, kCancel));
        EXPECT_EQ(7, StoredDword("MP3Bitrate"));

        ASSERT_TRUE(Record("take.mp3", 3500));
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
    auto openFromMenu = [&](Program& p, DWORD ms = 15000) -> HWND {
        bench::RightClick(menuAt.x, menuAt.y);
        HWND menu = nullptr;
        if (!bench::PumpUntil([&] { return (menu = FindWindowA("#32768", nullptr)) && IsWindowVisible(menu); }, 15000)) {
            ADD_FAILURE() << "the pop-up menu never opened";
            return nullptr;
        }
        bench::Pump(800);
        bench::Click(menuAt.x + 40, menuAt.y + 10);  // "Select Audio Device", the first entry
        HWND d = p.WaitForDialog("Select Audio Device", ms);
        if (!d && ms > 5000) bench::Screenshot("device-menu-missed");
        return d;
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
        bench::Pump(1500);
        bench::Screenshot("device-row-clicked", d);
        ASSERT_TRUE(CloseWith(d, Face(390 + 36, 296 + 12)));  // Cancel
        ASSERT_TRUE(Record("dev.wav", 3000));
        EXPECT_LT(recordedTone(), 0.05) << "Cancel kept the recorded device";

        d = openFromMenu(p);
        ASSERT_NE(nullptr, d);
        Click(outRow);
        bench::Pump(1500);
        ASSERT_TRUE(CloseWith(d, Face(282 + 36, 296 + 12)));  // OK
        bench::Pump(500);
        ASSERT_TRUE(Record("dev.wav", 3000));
        EXPECT_GT(recordedTone(), 0.3);

        // While recording the entry opens nothing and the file grows on.
        DeleteFileA(Path("dev.wav").c_str());
        Click(kRecord);
        ASSERT_TRUE(bench::PumpUntil([&] { return FileBytes(Path("dev.wav")) > 0; }, 20000));
        EXPECT_EQ(nullptr, openFromMenu(p, 5000));
        const uint64_t before = FileBytes(Path("dev.wav"));
        EXPECT_TRUE(bench::PumpUntil([&] { return FileBytes(Path("dev.wav")) > before; }, 10000));
        Click(kStop);
        bench::Pump(3000);
        EXPECT_EQ(0, Exit(p));
    }
    EXPECT_EQ(outDevice_, StoredDword("Device"));
    {
        Program p;
        ASSERT_TRUE(Start(p, "dev.wav"));
        ASSERT_TRUE(Record("dev.wav", 3000));
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
        HWND d = p.WaitForDialog("Background Music Option", 20000);
        ASSERT_NE(nullptr, d);
        RECT before, after;
        GetWindowRect(d, &before);
        ASSERT_TRUE(TypeInto(d, 1156, background));
        // The thumb of Scale 50 sits at 258; the recording's share grows to
        // the right (about 70 % at 268).
        bench::Drag(Face(258, 107).x, Face(258, 107).y, Face(268, 107).x, Face(268, 107).y);
        GetWindowRect(d, &after);
        EXPECT_EQ(before.left, after.left);
        EXPECT_EQ(before.top, after.top);
        Click(Face(212 + 9, 209 + 9));  // Stop recording
        bench::Screenshot("background-dialog", d);
        ASSERT_TRUE(CloseWith(d, kOk));
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
        HWND d = p.WaitForDialog("Background Music Option", 20000);
        ASSERT_NE(nullptr, d);
        EXPECT_EQ(background, Text(d, 1156));
        // The edit takes no more than the engine keeps.
        ASSERT_TRUE(TypeInto(d, 1156, std::string(300, 'a'), 255));
        EXPECT_EQ(255, SendMessageA(GetDlgItem(d, 1156), WM_GETTEXTLENGTH, 0, 0));
        // A device is no background: OK says so and keeps the dialog open.
        ASSERT_TRUE(TypeInto(d, 1156, "c:\\t3\\COM1.wav"));
        Click(kOk);
        HWND box = bench::WaitForOwnedDialog(d, 10000);
        ASSERT_NE(nullptr, box);
        EXPECT_NE(std::string::npos, bench::MessageBoxText(box).find("name of a device"));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(bench::PumpUntil([&] { return !IsWindow(box); }, 10000));
        EXPECT_TRUE(IsWindow(d));
        ASSERT_TRUE(CloseWith(d, kCancel));
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
        HWND d = p.WaitForDialog("Set WMA parameters", 20000);
        ASSERT_NE(nullptr, d);
        ASSERT_TRUE(bench::PumpUntil([&] { return SendMessageA(GetDlgItem(d, 1178), CB_GETCOUNT, 0, 0) == 5; },
                                     15000))
            << "the stand-in's five audio profiles";
        for (int i = 0; i < 6; ++i) ASSERT_TRUE(TypeInto(d, edits[i], texts[i][1]));
        ASSERT_TRUE(PickInList(d, 1151, 8, "Jazz"));
        ASSERT_TRUE(PickInList(d, 1178, 1, "64 Kbps"));
        const LRESULT chosen = Selected(d, 1178);
        profile = SendMessageA(GetDlgItem(d, 1178), CB_GETITEMDATA, chosen, 0);
        EXPECT_NE(std::string::npos, Text(d, 1178).find("64 Kbps"));
        bench::Screenshot("wma-dialog", d);
        ASSERT_TRUE(CloseWith(d, kOk));
        EXPECT_EQ(0, Exit(p));
    }
    for (auto& t : texts) EXPECT_EQ(t[1], StoredText(t[0])) << t[0];
    EXPECT_EQ(8, StoredDword("WMAGenre"));
    EXPECT_EQ(profile, StoredDword("WMAFormat"));
    {
        Program p;
        ASSERT_TRUE(Start(p, "take.wma"));
        Click(Face(469 + 36, 308 + 12));
        HWND d = p.WaitForDialog("Set WMA parameters", 20000);
        ASSERT_NE(nullptr, d);
        ASSERT_TRUE(bench::PumpUntil([&] { return SendMessageA(GetDlgItem(d, 1178), CB_GETCOUNT, 0, 0) == 5; },
                                     15000));
        for (int i = 0; i < 6; ++i) EXPECT_EQ(texts[i][1], Text(d, edits[i]));
        EXPECT_EQ(8, Selected(d, 1151));
        EXPECT_NE(std::string::npos, Text(d, 1178).find("64 Kbps"));
        // Cancel after changes: no WMA value moves.
        ASSERT_TRUE(TypeInto(d, 1173, "Changed"));
        ASSERT_TRUE(PickInList(d, 1178, SendMessageA(GetDlgItem(d, 1178), CB_GETCOUNT, 0, 0) - 1));
        ASSERT_TRUE(CloseWith(d, kCancel));
        EXPECT_EQ("Bench Artist", StoredText("WMAArtist"));
        EXPECT_EQ(profile, StoredDword("WMAFormat"));

        ASSERT_TRUE(Record("take.wma", 3500));
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
