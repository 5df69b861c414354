// The history log on real files in a scratch folder: the exact bytes of a
// day file, records with commas read back field for field, odd lines and
// files, and the year/month/day tree filled into a real tree view.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "ui/HistoryLog.h"

namespace {

class HistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        char base[MAX_PATH];
        snprintf(base, sizeof base, "%sbrindle-history-%lu", temp, GetCurrentProcessId());
        base_ = base;
        RemoveTree(base_);
        CreateDirectoryA(base_.c_str(), nullptr);
        root_ = base_ + "\\Log";
    }
    void TearDown() override {
        if (tree_) DestroyWindow(tree_);
        RemoveTree(base_);
    }

    static void RemoveTree(const std::string& path) {
        WIN32_FIND_DATAA found;
        HANDLE h = FindFirstFileA((path + "\\*").c_str(), &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string name = found.cFileName;
                if (name == "." || name == "..") continue;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(path + "\\" + name);
                else
                    DeleteFileA((path + "\\" + name).c_str());
            } while (FindNextFileA(h, &found));
            FindClose(h);
        }
        RemoveDirectoryA(path.c_str());
    }
    static std::string ReadBytes(const std::string& path) {
        std::string bytes;
        FILE* f = fopen(path.c_str(), "rb");
        if (!f) return "(missing)";
        int c;
        while ((c = fgetc(f)) != EOF) bytes += static_cast<char>(c);
        fclose(f);
        return bytes;
    }
    static void WriteBytes(const std::string& path, const std::string& bytes) {
        FILE* f = fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr) << path;
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    static HistoryRecord Record(const char* name, const char* path, const char* start, const char* duration,
                                const char* line, const char* background) {
        HistoryRecord r;
        memset(&r, 0, sizeof r);
        strncpy(r.fileName, name, sizeof r.fileName - 1);
        strncpy(r.filePath, path, sizeof r.filePath - 1);
        strncpy(r.startTime, start, sizeof r.startTime - 1);
        strncpy(r.duration, duration, sizeof r.duration - 1);
        strncpy(r.audioLine, line, sizeof r.audioLine - 1);
        strncpy(r.backgroundFile, background, sizeof r.backgroundFile - 1);
        return r;
    }
    static std::string Fields(const HistoryRecord& r) {
        return std::string(r.fileName) + "|" + r.filePath + "|" + r.startTime + "|" + r.duration + "|" + r.audioLine +
               "|" + r.backgroundFile + "|" + r.dateKey;
    }
    HWND Tree() {
        if (!tree_) {
            INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TREEVIEW_CLASSES};
            InitCommonControlsEx(&icc);
            tree_ = CreateWindowExA(0, WC_TREEVIEWA, "", WS_POPUP, 0, 0, 200, 300, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        }
        return tree_;
    }
    // The tree as text: items in order, children in braces.
    static std::string Dump(HWND tree, HTREEITEM item) {
        std::string out;
        for (; item; item = TreeView_GetNextSibling(tree, item)) {
            char text[64] = "";
            TVITEMA tv = {};
            tv.mask = TVIF_TEXT;
            tv.hItem = item;
            tv.pszText = text;
            tv.cchTextMax = sizeof text;
            SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
            if (!out.empty()) out += ",";
            out += text;
            HTREEITEM child = TreeView_GetChild(tree, item);
            if (child) out += "{" + Dump(tree, child) + "}";
        }
        return out;
    }

    std::string base_, root_;
    HWND tree_ = nullptr;
};

TEST_F(HistoryTest, AppendWritesOneLineADayWithItsExactBytes) {
    const HistoryRecord r = Record("a.wav", "C:\\rec\\", "10:00:00", "1:05", "1 - Mic", "");
    EXPECT_EQ(AppendHistoryRecord(root_.c_str(), "20240105", r), 0u);
    const std::string day = root_ + "\\2024\\20240105.txt";
    EXPECT_EQ(ReadBytes(day), "a.wav,C:\\rec\\,10:00:00,1:05,1 - Mic,,\r\n");
    const HistoryRecord second = Record("b.mp3", "C:\\rec\\", "11:30:15", "12:00", "2 - Line In", "C:\\bg.wav");
    EXPECT_EQ(AppendHistoryRecord((root_ + "\\").c_str(), "20240105", second), 0u) << "trailing backslash";
    EXPECT_EQ(ReadBytes(day),
              "a.wav,C:\\rec\\,10:00:00,1:05,1 - Mic,,\r\n"
              "b.mp3,C:\\rec\\,11:30:15,12:00,2 - Line In,C:\\bg.wav,\r\n");
    EXPECT_EQ(AppendHistoryRecord(root_.c_str(), "20250101", r), 0u);
    EXPECT_NE(ReadBytes(root_ + "\\2025\\20250101.txt"), "(missing)");

    // Failures are told apart from success.
    const struct {
        const char* label;
        std::string root;
        const char* dateKey;
        DWORD error;
    } failures[] = {
        {"relative root", "Log", "20240105", ERROR_BAD_PATHNAME},
        {"empty root", "", "20240105", ERROR_BAD_PATHNAME},
        {"short date key", root_, "202", ERROR_INVALID_PARAMETER},
        {"date key with a path", root_, "2024\\..\\x", ERROR_INVALID_PARAMETER},
    };
    for (const auto& f : failures)
        EXPECT_EQ(AppendHistoryRecord(f.root.c_str(), f.dateKey, r), f.error) << f.label;
    // A file where the year folder should be.
    WriteBytes(root_ + "\\2030", "x");
    EXPECT_NE(AppendHistoryRecord(root_.c_str(), "20300101", r), 0u);
    // A day file that cannot be opened for appending.
    CreateDirectoryA((root_ + "\\2031").c_str(), nullptr);
    CreateDirectoryA((root_ + "\\2031\\20310101.txt").c_str(), nullptr);
    EXPECT_NE(AppendHistoryRecord(root_.c_str(), "20310101", r), 0u);
}

TEST_F(HistoryTest, RecordsWithCommasReadBackFieldForField) {
    const std::string long255(255, 'n');
    const std::string background255 = "C:\\" + std::string(252, 'b');  // as long as the setting holds
    const HistoryRecord records[] = {
        Record("a.wav", "C:\\rec\\", "10:00:00", "1:05", "1 - Mic", ""),
        Record("Live, at home.mp3", "C:\\My Music, old\\", "23:59:59", "125:07", "2 - Line In, Rear",
               "D:\\loops\\beat, slow.wav"),
        Record("x,y,z.wma", "\\\\server\\share, two\\", "00:00:01", "0:01", "3 - Stereo Mix", ""),
        Record("12:00:00,1:00,odd.wav", "C:\\a\\", "08:15:00", "0:30", "1 - Mic", ""),
        Record("", "C:\\empty name\\", "09:00:00", "0:02", "1 - Mic", "C:\\b.wav"),
        Record(long255.c_str(), "E:\\", "10:10:10", "1:00", "4 - What U Hear", ""),
        Record("mixed.wav", "E:\\", "10:20:00", "1:00", "1 - Mic", background255.c_str()),
        Record("plain.wav", "relative\\folder\\", "07:00:00", "2:00", "1 - Mic", ""),
    };
    for (const HistoryRecord& r : records) ASSERT_EQ(AppendHistoryRecord(root_.c_str(), "20240601", r), 0u);
    CHistoryLog log;
    const int n = log.ReadDayFile((root_ + "\\2024\\20240601.txt").c_str());
    ASSERT_EQ(n, static_cast<int>(sizeof records / sizeof records[0]));
    ASSERT_EQ(log.records.size(), static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) EXPECT_EQ(Fields(log.records[i]), Fields(records[i])) << i;
    EXPECT_EQ(log.records[6].backgroundFile, background255);
    // Reading again starts afresh.
    EXPECT_EQ(log.ReadDayFile((root_ + "\\2024\\20240601.txt").c_str()), n);
    EXPECT_EQ(log.ReadDayFile((root_ + "\\2024\\20240602.txt").c_str()), 0) << "a day with no file";
    EXPECT_TRUE(log.records.empty());
    EXPECT_EQ(log.ReadDayFile(nullptr), 0);
}

TEST_F(HistoryTest, OddLinesAndFiles) {
    CreateDirectoryA(root_.c_str(), nullptr);
    const std::string file = root_ + "\\day.txt";
    const std::string over(3000, 'q');
    static const char kWithNul[] = "a.wav,C:\\r\\,10:00:00,1:05,1 - M\0c,,\r\n";
    const struct {
        const char* label;
        std::string bytes;
        std::vector<std::string> fields;
    } cases[] = {
        {"empty file", "", {}},
        {"ten characters are too few", "a,b,c,d,e,\r\n", {}},
        {"eleven are a record", "a,b,c,d,ef,\r\n", {"a|b|c|d|ef||"}},
        {"fewer than five commas", "a long line, but only, three commas\r\n", {}},
        {"start time of 25 characters is cut", "n,C:\\p\\," + std::string(25, '1') + ",1:00,1 - Mic,,\r\n",
         {"n|C:\\p\\|" + std::string(18, '1') + "|1:00|1 - Mic||"}},
        {"sixth field ends at the next comma", "a,b,c,d,e,f,g,h\r\n", {"a|b|c|d|e|f|"}},
        {"no line break at the end", "a.wav,C:\\r\\,10:00:00,1:05,1 - Mic,,", {"a.wav|C:\\r\\|10:00:00|1:05|1 - Mic||"}},
        {"line feeds only", "a.wav,C:\\r\\,10:00:00,1:05,1 - Mic,,\nb.wav,C:\\r\\,11:00:00,0:05,1 - Mic,,\n",
         {"a.wav|C:\\r\\|10:00:00|1:05|1 - Mic||", "b.wav|C:\\r\\|11:00:00|0:05|1 - Mic||"}},
        {"blank lines between", "\r\n\r\na.wav,C:\\r\\,10:00:00,1:05,1 - Mic,,\r\n\r\n",
         {"a.wav|C:\\r\\|10:00:00|1:05|1 - Mic||"}},
        {"over 2048 bytes goes on as the next line", "a,b,c,d,e," + over + "\r\n",
         {"a|b|c|d|e|" + std::string(255, 'q') + "|"}},
        {"a NUL byte", std::string(kWithNul, sizeof kWithNul - 1), {"a.wav|C:\\r\\|10:00:00|1:05|1 - M||"}},
        {"no duration comma", "name,C:\\p\\,10:00:00,1:05", {"name|C:\\p\\|10:00:00|1:05|||"}},
    };
    for (const auto& c : cases) {
        WriteBytes(file, c.bytes);
        CHistoryLog log;
        log.ReadDayFile(file.c_str());
        std::vector<std::string> got;
        for (const HistoryRecord& r : log.records) got.push_back(Fields(r));
        EXPECT_EQ(got, c.fields) << c.label;
    }
    // The long line: its first 2048 bytes are one record, the rest (952
    // bytes of q, no commas) holds none.
    WriteBytes(file, "a,b,c,d,e," + over + "\r\n");
    CHistoryLog log;
    EXPECT_EQ(log.ReadDayFile(file.c_str()), 1);
}

TEST_F(HistoryTest, TreeShowsValidYearsMonthsAndDaysLatestFirst) {
    const std::string y2010 = root_ + "\\2010";
    ASSERT_EQ(AppendHistoryRecord(root_.c_str(), "20100105", Record("a", "C:\\", "10:00:00", "0:01", "1 - M", "")), 0u);
    for (const char* name : {"20101231.txt", "20100315.txt", "20100301.txt", "notes.txt", "20241399.txt",
                             "20240100.txt", "2010.txt", "2010010.txt", "201001051.txt", "2010a105.txt"})
        WriteBytes(y2010 + "\\" + name, "x");
    CreateDirectoryA((y2010 + "\\20100707.txt").c_str(), nullptr);  // a folder, not a day
    for (const char* year : {"2050", "2001", "1999", "abcd", "20011"}) CreateDirectoryA((root_ + "\\" + year).c_str(), nullptr);
    WriteBytes(root_ + "\\2011", "a file, not a year");

    char before[MAX_PATH], after[MAX_PATH];
    GetCurrentDirectoryA(sizeof before, before);
    CHistoryLog log;
    log.tree = Tree();
    log.FillTree(root_.c_str());
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_STREQ(after, before) << "the current folder is left alone";
    EXPECT_EQ(Dump(tree_, TreeView_GetRoot(tree_)),
              "Files for playing,Record History{2010{December{31},March{15,01},January{05}},2001}");
    char text[32] = "";
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = log.currentRoot;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    EXPECT_STREQ(text, "Record History");

    // No Log folder at all: the two roots only.
    TreeView_DeleteAllItems(tree_);
    CHistoryLog empty;
    empty.tree = tree_;
    empty.FillTree((base_ + "\\NoLog").c_str());
    EXPECT_EQ(Dump(tree_, TreeView_GetRoot(tree_)), "Files for playing,Record History");
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_STREQ(after, before);
}

TEST_F(HistoryTest, DaysOverSeveralYearsAreListedAndReadBack) {
    const struct {
        const char* dateKey;
        const char* name;
    } days[] = {{"20231231", "eve, part 1.wav"}, {"20231231", "eve, part 2.wav"}, {"20240101", "new year.mp3"},
                {"20240229", "leap.wma"},        {"20250615", "june.wav"}};
    for (const auto& d : days)
        ASSERT_EQ(AppendHistoryRecord(root_.c_str(), d.dateKey,
                                      Record(d.name, "C:\\rec, 2\\", "12:00:00", "3:00", "1 - Line In, Rear", "")),
                  0u);
    CHistoryLog log;
    log.tree = Tree();
    log.FillTree(root_.c_str());
    EXPECT_EQ(Dump(tree_, TreeView_GetRoot(tree_)),
              "Files for playing,Record History{2025{June{15}},2024{February{29},January{01}},2023{December{31}}}");

    // Takes logged while the tree is shown put their days in place: a new
    // year first, a month between two, a day before the other; a known
    // day is found, not added again, and a bad key adds nothing.
    const std::string before = Dump(tree_, TreeView_GetRoot(tree_));
    HTREEITEM june15 = TreeView_GetChild(tree_, TreeView_GetChild(tree_, TreeView_GetChild(tree_, log.currentRoot)));
    EXPECT_EQ(june15, log.AddDay("20250615"));
    EXPECT_EQ(nullptr, log.AddDay("2025061"));
    EXPECT_EQ(nullptr, log.AddDay("20501231"));
    EXPECT_EQ(before, Dump(tree_, TreeView_GetRoot(tree_)));
    for (const char* key : {"20260102", "20240115", "20240301", "20231130"}) EXPECT_NE(nullptr, log.AddDay(key)) << key;
    EXPECT_EQ(Dump(tree_, TreeView_GetRoot(tree_)),
              "Files for playing,Record History{2026{January{02}},2025{June{15}},2024{March{01},February{29},"
              "January{15,01}},2023{December{31},November{30}}}");

    const struct {
        LPARAM item;
        std::vector<std::string> names;
    } reads[] = {{20231231, {"eve, part 1.wav", "eve, part 2.wav"}},
                 {20240229, {"leap.wma"}},
                 {20250615, {"june.wav"}},
                 {20250616, {}}};
    for (const auto& r : reads) {
        char path[MAX_PATH];
        ASSERT_TRUE(CHistoryLog::DayFileOfItem(root_.c_str(), r.item, path, sizeof path)) << r.item;
        CHistoryLog reader;
        reader.ReadDayFile(path);
        std::vector<std::string> names;
        for (const HistoryRecord& rec : reader.records) {
            names.push_back(rec.fileName);
            EXPECT_STREQ(rec.filePath, "C:\\rec, 2\\");
            EXPECT_STREQ(rec.audioLine, "1 - Line In, Rear");
        }
        EXPECT_EQ(names, r.names) << r.item;
    }
}

// Random lines built from the characters the anchors look for: every
// field ends inside its own array and nothing is written past the record.
TEST(HistoryLines, RandomLinesStayInsideTheRecord) {
    struct Guarded {
        HistoryRecord record;
        char canary[32];
    };
    std::mt19937 random(2024);
    const char alphabet[] = ",,,::\\\\C0123456789 ab";
    const char* pieces[] = {",12:34:56,", ",C:\\", ",\\\\srv\\", ",1:05,"};
    const std::string longPiece(300, 'x');
    for (int i = 0; i < 3000; ++i) {
        std::string line;
        const size_t length = random() % 2048;
        while (line.size() < length) {
            switch (random() % 4) {
            case 0: line += pieces[random() % 4]; break;
            case 1: line += longPiece; break;
            default: line += alphabet[random() % (sizeof alphabet - 1)];
            }
        }
        line.resize(std::min<size_t>(line.size(), 2048));
        Guarded g;
        memset(g.canary, '#', sizeof g.canary);
        CHistoryLog::ParseLine(line.c_str(), &g.record);
        ASSERT_EQ(std::string(g.canary, sizeof g.canary), std::string(32, '#')) << i;
        ASSERT_LT(strnlen(g.record.fileName, sizeof g.record.fileName), sizeof g.record.fileName);
        ASSERT_LT(strnlen(g.record.filePath, sizeof g.record.filePath), sizeof g.record.filePath);
        ASSERT_LT(strnlen(g.record.startTime, sizeof g.record.startTime), sizeof g.record.startTime);
        ASSERT_LT(strnlen(g.record.duration, sizeof g.record.duration), sizeof g.record.duration);
        ASSERT_LT(strnlen(g.record.audioLine, sizeof g.record.audioLine), sizeof g.record.audioLine);
        ASSERT_LT(strnlen(g.record.backgroundFile, sizeof g.record.backgroundFile), sizeof g.record.backgroundFile);
    }
}

TEST(HistoryPaths, LogRootAndDayItems) {
    const struct {
        const char* install;
        const char* root;
    } roots[] = {{"", "c:\\Log"}, {"C:\\Brindle", "C:\\Brindle\\Log"}, {"C:\\Brindle\\", "C:\\Brindle\\Log"}};
    for (const auto& r : roots) {
        char out[400];
        MakeLogRoot(r.install, out, sizeof out);
        EXPECT_STREQ(out, r.root) << r.install;
    }
    const struct {
        LPARAM item;
        const char* file;  // "" when the item is no day
    } items[] = {{20240105, "C:\\Log\\2024\\20240105.txt"},
                 {20491231, "C:\\Log\\2049\\20491231.txt"},
                 {0, ""},           // roots, years and months
                 {2024, ""},
                 {20241305, ""},
                 {20240100, ""},
                 {20000105, ""},
                 {-20240105, ""},
                 {202401051, ""}};
    for (const auto& i : items) {
        char out[MAX_PATH] = "stale";
        EXPECT_EQ(CHistoryLog::DayFileOfItem("C:\\Log\\", i.item, out, sizeof out), i.file[0] != '\0') << i.item;
        EXPECT_STREQ(out, i.file) << i.item;
    }
    char small[12];
    EXPECT_FALSE(CHistoryLog::DayFileOfItem("C:\\Log", 20240105, small, sizeof small));
    EXPECT_STREQ(small, "");
}

}  // namespace
