// The schedule file's reader, splitter and writer on real files, and the
// schedule run's decisions driven tick by tick by a simulated clock.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "app/ScheduleRules.h"
#include "bench.h"
#include "dialogs/ScheduleFile.h"

namespace {

// ---- the file ------------------------------------------------------------

// The scratch folder, emptied once per process: bench::ScratchDir() empties
// it on every call.
const std::string& Scratch() {
    static const std::string dir = bench::ScratchDir();
    return dir;
}

std::string WriteBytes(const std::string& name, const std::string& bytes) {
    const std::string path = Scratch() + "\\" + name;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    FILE* f = fopen(path.c_str(), "wb");
    if (f) {
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    return path;
}

std::string ReadBytes(const std::string& path) {
    std::string bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return "<missing>";
    for (int c = getc(f); c != EOF; c = getc(f)) bytes.push_back(static_cast<char>(c));
    fclose(f);
    return bytes;
}

TEST(ScheduleFile, ReadsWholeLinesAndReportsWhatItCannotHold) {
    const std::string longAddress = "http://127.0.0.1/" + std::string(150, 'a') + ".mp3";
    const std::string longLine = "20:00:00 - 21:00:00||" + longAddress + "|30";
    std::string bytes = "08:00:00 - 09:00:00\r\n\r\n" + longLine + "\r\n";
    bytes += std::string("10:00:00 - 11:00:00|Mon\0x", 25) + "\r\n";      // a NUL: unreadable
    bytes += std::string(100 * 1024, '7') + "\n";                         // too long: unreadable
    bytes += "12:00:00 - 13:00:00|\xFF\xFE\r\n";                           // 0xFF is text
    bytes += "22:00:00 - 23:00:00";                                        // no line end
    const ScheduleFileText text = ReadScheduleFile(WriteBytes("read.txt", bytes).c_str());
    ASSERT_TRUE(text.opened);
    const std::vector<std::string> expected = {"08:00:00 - 09:00:00", "", longLine,
                                               "12:00:00 - 13:00:00|\xFF\xFE",
                                               "22:00:00 - 23:00:00"};
    EXPECT_EQ(expected, text.lines);
    EXPECT_EQ(2, text.unreadableCount);
    EXPECT_EQ(4, text.firstUnreadable);

    EXPECT_FALSE(ReadScheduleFile((Scratch() + "\\none.txt").c_str()).opened);
    // One CR of a line end is dropped; another stays in the line.
    const std::vector<std::string> crs = {"a", "b\r", "c"};
    EXPECT_EQ(crs, ParseScheduleText("a\r\nb\r\r\nc", 8).lines);

    char path[400];
    ASSERT_TRUE(MakeScheduleFilePath("", path, sizeof path));
    EXPECT_STREQ("c:\\TimeSchedule.txt", path);
    ASSERT_TRUE(MakeScheduleFilePath("d:\\my app", path, sizeof path));
    EXPECT_STREQ("d:\\my app\\TimeSchedule.txt", path);
}

// A Ctrl-Z is one more unreadable character, not the file's end; a file
// with a byte-order mark keeps what it holds: UTF-8 reads as its ASCII
// lines, UTF-16 not at all (nor without its mark: it holds NULs), and no
// file may be replaced unless all of it was read.
TEST(ScheduleFile, CtrlZAndByteOrderMarksHideAndLoseNothing) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
        int unreadable, firstUnreadable, mark;
        bool replaceable, nul;
    } cases[] = {
        {"ctrl-z", "a\r\n\x1a\r\nb\x1a c\r\nd", {"a", "d"}, 2, 2, 0, false, false},
        {"utf-8", "\xef\xbb\xbf" "08:00:00 - 09:00:00\r\nx\r\n", {"08:00:00 - 09:00:00", "x"}, 0, 0, 8, true, false},
        {"utf-8 accent", "\xef\xbb\xbf" "a\r\n\xc3\xa9\r\nb", {"a", "b"}, 1, 2, 8, false, false},
        {"utf-16le", std::string("\xff\xfe" "a\0\r\0\n\0", 8), {}, 1, 1, 16, false, false},
        {"utf-16be", std::string("\xfe\xff\0a\0\r\0\n", 8), {}, 1, 1, 16, false, false},
        {"utf-16le unmarked", std::string("a\0\r\0\n\0b\0\r\0\n\0", 12), {}, 3, 1, 0, false, true},
        {"ansi", "\xef\xbb x\r\n", {"\xef\xbb x"}, 0, 0, 0, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScheduleFileText text = ReadScheduleFile(WriteBytes("marks.txt", c.bytes).c_str());
        ASSERT_TRUE(text.opened);
        EXPECT_EQ(c.lines, text.lines);
        EXPECT_EQ(c.unreadable, text.unreadableCount);
        EXPECT_EQ(c.firstUnreadable, text.firstUnreadable);
        EXPECT_EQ(c.mark, text.byteOrderMark);
        EXPECT_EQ(c.replaceable, ScheduleFileReplaceable(text));
        EXPECT_EQ(c.nul, text.holdsNul);
    }
}

TEST(ScheduleFile, WritesBesideAndKeepsTheOldFileOnFailure) {
    const std::string path = WriteBytes("write.txt", "old\r\n");
    const std::vector<std::string> lines = {"08:00:00 - 09:00:00|Mon,Fri",
                                            "20:00:00 - 21:00:00||http://a/b.mp3|30"};
    ASSERT_TRUE(WriteScheduleFile(path.c_str(), lines));
    EXPECT_EQ(lines[0] + "\r\n" + lines[1] + "\r\n", ReadBytes(path));
    EXPECT_EQ("<missing>", ReadBytes(path + ".new"));
    ASSERT_TRUE(WriteScheduleFile(path.c_str(), {}));
    EXPECT_EQ("", ReadBytes(path));

    // A read-only file is not replaced, and nothing is left beside it.
    const std::string locked = WriteBytes("locked.txt", "keep\r\n");
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(WriteScheduleFile(locked.c_str(), lines));
    EXPECT_EQ("keep\r\n", ReadBytes(locked));
    EXPECT_EQ("<missing>", ReadBytes(locked + ".new"));
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
    // A folder that does not exist.
    EXPECT_FALSE(WriteScheduleFile((Scratch() + "\\no\\such.txt").c_str(), lines));
}

TEST(ScheduleFile, TellsScheduleLinesFromOthers) {
    struct Case {
        const char* text;
        bool valid;
        const char* days;
        const char* address;
        int loading;
    } cases[] = {
        {"08:00:00 - 09:30:00", true, "", "", 0},
        {"08:00:00 - 09:30:00|Mon,Fri", true, "Mon,Fri", "", 0},
        {"20:00:00 - 21:00:00||http://a/b.mp3|30", true, "", "http://a/b.mp3", 30},
        {"20:00:00 - 21:00:00|7/4/2026|http://a|500", true, "7/4/2026", "http://a", 100},
        {"20:00:00 - 21:00:00||http://a|-100000", true, "", "http://a", 0},
        {"20:00:00 - 21:00:00||http://a|99999999999999999999", true, "", "http://a", 100},
        {"20:00:00 - 21:00:00||http://a|", true, "", "http://a", 0},
        {"23:00:00 - 01:00:00", true, "", "", 0},  // runs across midnight
        {"", false, "", "", 0},
        {"08:00:00 - 09:30:0", false, "", "", 0},
        {"25:00:00 - 26:00:00", false, "", "", 0},
        {"08:60:00 - 09:00:00", false, "", "", 0},
        {"08:00:00 - 09:00:61", false, "", "", 0},
        {"8:00:00 - 09:00:00|", false, "", "", 0},
        {"08:00:00 - 09:00:00x", false, "", "", 0},
        {"08:00:00 _ 09:00:00", false, "", "", 0},
        {"08:00:00 - 09:00:00|Mon|http://a|10|x", false, "", "", 0},  // a "|" in the address
        {"08:00:00 - 09:00:00|Mon|http://a|ten", false, "", "", 0},
    };
    for (const Case& c : cases) {
        ScheduleLine line;
        ASSERT_EQ(c.valid, ParseScheduleLine(c.text, &line)) << c.text;
        if (!c.valid) continue;
        EXPECT_EQ(c.days, line.days) << c.text;
        EXPECT_EQ(c.address, line.address) << c.text;
        EXPECT_EQ(c.loading, line.loadingSeconds) << c.text;
    }
    const ScheduleFields f = SplitScheduleFields("08:00:00 - 09:00:00||http://x");
    EXPECT_EQ(3, f.count);
    EXPECT_EQ("", f.days);
    EXPECT_EQ("http://x", f.address);
}

TEST(ScheduleFile, UntrustedFilesNeitherCrashNorHang) {
    std::mt19937 random(21);
    for (int i = 0; i < 1000; ++i) {
        std::string bytes;
        switch (i % 5) {
        case 0: {  // random bytes, NULs included
            bytes.resize(random() % 4096);
            for (char& c : bytes) c = static_cast<char>(random());
            break;
        }
        case 1:  // CR only
            for (int k = 0; k < 50; ++k) bytes += "08:00:00 - 09:00:00|Mon\r";
            break;
        case 2:  // one long line, no line end
            bytes.assign(100 * 1024 + random() % 100, static_cast<char>('0' + random() % 10));
            break;
        case 3:  // bars
            bytes = "08:00:00 - 09:00:00" + std::string(10000, '|');
            break;
        default: {  // near-lines with random damage
            bytes = "08:00:00 - 09:00:00|Sun,Sat|http://h/a.mp3|30\n";
            for (int k = 0; k < 5; ++k) bytes[random() % bytes.size()] = static_cast<char>(random());
            break;
        }
        }
        const std::string path = WriteBytes("fuzz.txt", bytes);
        const ScheduleFileText text = ReadScheduleFile(path.c_str());
        ASSERT_TRUE(text.opened);
        size_t held = 0;
        for (const std::string& line : text.lines) {
            held += line.size();
            ASSERT_LE(line.size(), kScheduleReadLimit);
            ScheduleLine parsed;
            if (ParseScheduleLine(line.c_str(), &parsed)) {
                ASSERT_LE(parsed.loadingSeconds, kLoadingTimeMaximum);
                ASSERT_GE(parsed.loadingSeconds, 0);
                ASSERT_LT(parsed.startSeconds, 86400);
            }
            SplitScheduleFields(line.c_str());
        }
        ASSERT_LE(held, bytes.size());
    }
}

// ---- the run -------------------------------------------------------------

// A clock reading from "yyyy-mm-dd hh:mm:ss" local; UTC runs with it unless
// `utcShift` says the local clock was moved against it.
ScheduleClock At(const char* local, int64_t utcShift = 0) {
    ScheduleClock c;
    sscanf(local, "%d-%d-%d %d:%d:%d", &c.year, &c.month, &c.day, &c.hour, &c.minute, &c.second);
    int y, m, d;
    const int64_t days = DaysFromCivil(c.year, c.month, c.day);
    CivilFromDays(days, &y, &m, &d, &c.weekday);
    c.utcSeconds = days * 86400 + c.hour * 3600 + c.minute * 60 + c.second + utcShift;
    return c;
}

struct Step {
    const char* clock;
    int64_t utcShift;
    // 'o' a window opens (line `line`), 'e' the open one ends, 'b' it ends
    // and line `line` opens in the same tick, '=' one stays open, '-'
    // nothing runs.
    char expect;
    int line;
    int announce;  // checked after an end
};

struct Scenario {
    const char* name;
    std::vector<std::string> lines;
    std::vector<Step> steps;
    bool relative = false;
    const char* stamp = nullptr;  // relative mode: when the mode went on
    bool multiFile = false;
};

TEST(ScheduleRun, OpensAndEndsWindowsWhateverTheClockDoes) {
    const Scenario scenarios[] = {
        {"two windows, one file",
         {"08:00:00 - 09:00:00", "10:00:00 - 11:00:00"},
         {{"2026-12-09 07:59:59", 0, '-', 0, 0},
          {"2026-12-09 08:00:00", 0, 'o', 0, 0},
          {"2026-12-09 08:59:59", 0, '=', 0, 0},
          {"2026-12-09 09:00:00", 0, 'e', 0, 1},
          {"2026-12-09 10:00:00", 0, 'o', 1, 0},
          {"2026-12-09 11:00:00", 0, 'e', 0, -1},
          {"2026-12-09 11:00:01", 0, '-', 0, 0}}},
        {"back to back, one file: the next opens in the same tick",
         {"08:00:00 - 09:00:00", "09:00:00 - 10:00:00"},
         {{"2026-12-09 08:00:00", 0, 'o', 0, 0}, {"2026-12-09 09:00:00", 0, 'b', 1, 1}}},
        {"back to back, multiple files: the end stops the tick",
         {"08:00:00 - 09:00:00", "09:00:00 - 10:00:00"},
         {{"2026-12-09 08:00:00", 0, 'o', 0, 0}, {"2026-12-09 09:00:00", 0, 'e', 0, 1},
          {"2026-12-09 09:00:00", 0, 'o', 1, 0}},
         false, nullptr, true},
        {"across midnight, the 00:00:00 tick missed",
         {"23:59:58 - 00:00:03"},
         {{"2026-12-09 23:59:58", 0, 'o', 0, 0},
          {"2026-12-10 00:00:01", 0, '=', 0, 0},
          {"2026-12-10 00:00:03", 0, 'e', 0, -1},
          {"2026-12-10 00:00:04", 0, '-', 0, 0}}},
        {"to the last second, the 23:59:59 tick missed",
         {"23:00:00 - 23:59:59"},
         {{"2026-12-09 23:59:58", 0, 'o', 0, 0}, {"2026-12-10 00:00:00", 0, 'e', 0, -1}}},
        {"fall-back: the repeated hour does not reopen a window",
         {"01:00:02 - 01:00:06"},
         {{"2026-10-25 01:00:02", 0, 'o', 0, 0},
          {"2026-10-25 01:00:06", 0, 'e', 0, -1},
          {"2026-10-25 01:00:00", 3600, '-', 0, 0},
          {"2026-10-25 01:00:03", 3600, '-', 0, 0}}},
        {"the local clock put back inside an open window: it still ends after its length",
         {"01:00:02 - 01:00:12"},
         {{"2026-10-25 01:00:02", 0, 'o', 0, 0},
          {"2026-10-25 01:00:08", 0, '=', 0, 0},
          {"2026-10-25 01:00:03", 6, '=', 0, 0},    // 7 s since the opening
          {"2026-10-25 01:00:05", 7, 'e', 0, -1}}},  // 10 s
        {"a jump forward past the end ends it at the next tick",
         {"08:00:00 - 09:00:00"},
         {{"2026-12-09 08:00:00", 0, 'o', 0, 0}, {"2026-12-09 09:30:00", 0, 'e', 0, -1}}},
        {"a jump back before the start ends it too",
         {"08:00:00 - 09:00:00"},
         {{"2026-12-09 08:10:00", 0, 'o', 0, 0}, {"2026-12-09 07:50:00", 0, 'e', 0, -1}}},
        {"weekdays and dates (2026-12-09 is a Wednesday)",
         {"08:00:00 - 09:00:00|Mon,Fri", "10:00:00 - 11:00:00|12/24/2026",
          "12:00:00 - 13:00:00|Wed"},
         {{"2026-12-09 08:30:00", 0, '-', 0, 0},
          {"2026-12-11 08:30:00", 0, 'o', 0, 0},
          {"2026-12-11 09:00:00", 0, 'e', 0, -1},  // neither the date nor Wed apply on Friday
          {"2026-12-23 10:30:00", 0, '-', 0, 0},
          {"2026-12-24 10:30:00", 0, 'o', 1, 0},
          {"2026-12-24 11:00:00", 0, 'e', 0, -1},
          {"2026-12-23 12:00:00", 0, 'o', 2, 0}}},
        {"a window across midnight belongs to the day it started",
         {"23:00:00 - 01:00:00|Wed"},
         {{"2026-12-10 00:30:00", 0, 'o', 0, 0},  // Thursday, but Wednesday's window
          {"2026-12-10 01:00:00", 0, 'e', 0, -1},
          {"2026-12-10 23:30:00", 0, '-', 0, 0},
          {"2026-12-16 23:30:00", 0, 'o', 0, 0}}},
        {"a line that is not a schedule line is skipped",
         {"", "25:00:00 - 26:00:00", "08:00:00 - 09:00:00"},
         {{"2026-12-09 08:00:00", 0, 'o', 2, 0}}},
        {"relative: counted from the stamp, across midnight",
         {"00:00:05 - 00:00:10"},
         {{"2026-12-09 23:59:59", 0, '-', 0, 0},
          {"2026-12-10 00:00:00", 0, 'o', 0, 0},
          {"2026-12-10 00:00:04", 0, '=', 0, 0},
          {"2026-12-10 00:00:05", 0, 'e', 0, -1}},
         true, "2026-12-09 23:59:55"},
        {"relative: elapsed seconds, not the local clock, across a fall-back",
         {"00:10:00 - 00:20:00"},
         {{"2026-10-25 01:55:00", 0, '-', 0, 0},
          {"2026-10-25 01:00:00", 3600, 'o', 0, 0},  // 02:00 put back to 01:00: 10 min since
          {"2026-10-25 01:10:00", 3600, 'e', 0, -1}},
         true, "2026-10-25 01:50:00"},
    };
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.name);
        const std::vector<ScheduleEntry> entries = ParseScheduleEntries(s.lines);
        ScheduleMode mode;
        mode.relative = s.relative;
        if (s.stamp) mode.stampUtc = At(s.stamp).utcSeconds;
        ScheduleRunState state;
        for (const Step& step : s.steps) {
            SCOPED_TRACE(step.clock);
            const ScheduleTick tick =
                RunScheduleTick(state, entries, mode, At(step.clock, step.utcShift), s.multiFile);
            const bool ends = step.expect == 'e' || step.expect == 'b';
            const bool opens = step.expect == 'o' || step.expect == 'b';
            EXPECT_EQ(ends, tick.ended);
            EXPECT_EQ(opens ? step.line : -1, tick.opened);
            EXPECT_EQ(opens || step.expect == '=', state.recording);
            EXPECT_EQ(state.recording, state.windowOpen);
            if (ends) {
                EXPECT_EQ(step.announce, tick.announceStart);
            }
        }
    }
}

TEST(ScheduleRun, TheActiveLineIsFoundByItsTextAndTheModeSwitchEndsIt) {
    ScheduleRunState state;
    ScheduleMode absolute;
    std::vector<ScheduleEntry> lines = ParseScheduleEntries({"10:00:00 - 11:00:00"});
    ASSERT_EQ(0, RunScheduleTick(state, lines, absolute, At("2026-12-09 10:00:00"), false).opened);
    // The editor adds an earlier line: the list is re-sorted under the run.
    lines = ParseScheduleEntries({"09:00:00 - 12:00:00", "10:00:00 - 11:00:00"});
    ScheduleTick tick = RunScheduleTick(state, lines, absolute, At("2026-12-09 10:30:00"), false);
    EXPECT_FALSE(tick.ended);
    EXPECT_EQ(-1, tick.opened);
    tick = RunScheduleTick(state, lines, absolute, At("2026-12-09 11:00:00"), false);
    EXPECT_TRUE(tick.ended);
    // The wide line's window still runs and has not been recorded today.
    EXPECT_EQ(0, tick.opened);
    // Its line deleted: the window ends.
    lines = ParseScheduleEntries({"10:00:00 - 11:00:00"});
    tick = RunScheduleTick(state, lines, absolute, At("2026-12-09 11:00:01"), false);
    EXPECT_TRUE(tick.ended);
    EXPECT_FALSE(state.recording);

    // Switched to relative times while a window runs: it is judged anew.
    lines = ParseScheduleEntries({"10:00:00 - 11:00:00"});
    state.Reset();
    ASSERT_EQ(0, RunScheduleTick(state, lines, absolute, At("2026-12-10 10:30:00"), false).opened);
    ScheduleMode relative;
    relative.relative = true;
    relative.stampUtc = At("2026-12-10 10:30:00").utcSeconds;
    tick = RunScheduleTick(state, lines, relative, At("2026-12-10 10:30:01"), false);
    EXPECT_TRUE(tick.ended);
    EXPECT_FALSE(state.recording);
}

TEST(ScheduleRun, AnnouncesTheNextStartAndDueAddresses) {
    const std::vector<ScheduleEntry> lines = ParseScheduleEntries(
        {"07:00:00 - 07:30:00|Mon", "08:00:00 - 09:00:00", "10:00:00 - 11:00:00"});
    ScheduleMode absolute;
    EXPECT_EQ(1, NextScheduleStart(lines, absolute, At("2026-12-09 06:00:00")));  // Monday's skipped
    EXPECT_EQ(-1, NextScheduleStart(lines, absolute, At("2026-12-09 08:30:00")));
    EXPECT_EQ(2, NextScheduleStart(lines, absolute, At("2026-12-09 09:30:00")));
    EXPECT_EQ(-1, NextScheduleStart(lines, absolute, At("2026-12-09 11:30:00")));
    EXPECT_EQ(0, NextScheduleStart(lines, absolute, At("2026-12-07 06:00:00")));

    // Relative times are shown moved by the stamp's time of day.
    ScheduleMode relative;
    relative.relative = true;
    relative.stampLocalSeconds = 22 * 3600 + 30 * 60 + 15;
    char text[16];
    ShownScheduleTime(3600, relative, text, sizeof text);
    EXPECT_STREQ("23:30:15", text);
    ShownScheduleTime(2 * 3600, relative, text, sizeof text);
    EXPECT_STREQ("00:30:15", text);

    // An address is due from its start less the loading time to its end,
    // wrapping back over midnight.
    ScheduleLine line;
    ASSERT_TRUE(ParseScheduleLine("00:00:20 - 00:10:00||http://a/b.mp3|30", &line));
    EXPECT_FALSE(ViewAddressWindow(line, absolute, At("2026-12-09 23:59:49")).inside);
    EXPECT_TRUE(ViewAddressWindow(line, absolute, At("2026-12-09 23:59:50")).inside);
    EXPECT_TRUE(ViewAddressWindow(line, absolute, At("2026-12-10 00:09:59")).inside);
    EXPECT_FALSE(ViewAddressWindow(line, absolute, At("2026-12-10 00:10:00")).inside);

    // The page escapes the address; the media test follows the extension.
    const std::string page = StreamingUrlPageText("http://h/a&b.mp3?\"<x>");
    EXPECT_NE(std::string::npos, page.find("<p>http://h/a&amp;b.mp3?&quot;&lt;x&gt;</p>"));
    EXPECT_NE(std::string::npos, page.find("src=\"http://h/a&amp;b.mp3?&quot;&lt;x&gt;\""));
    EXPECT_TRUE(IsStreamingMediaAddress("http://h/a.MP3  "));
    EXPECT_TRUE(IsStreamingMediaAddress("http://h/a.rmvb"));
    EXPECT_FALSE(IsStreamingMediaAddress("http://h/a.ra"));
    EXPECT_FALSE(IsStreamingMediaAddress("http://h/index.html"));

    EXPECT_EQ("http://www.example.com/a.mp3", AddressWithScheme("www.example.com/a.mp3"));
    EXPECT_EQ("http://127.0.0.1:8080/a", AddressWithScheme("127.0.0.1:8080/a"));
    EXPECT_EQ("mms://h/a", AddressWithScheme("mms://h/a"));
    EXPECT_EQ("c:\\music\\a.mp3", AddressWithScheme("c:\\music\\a.mp3"));
    EXPECT_EQ("localhost/a", AddressWithScheme("localhost/a"));
}

}  // namespace
