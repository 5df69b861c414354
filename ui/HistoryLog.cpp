#include "ui/HistoryLog.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/SafeString.h"
#include "ui/XmlDocument.h"

namespace {

// At most this many bytes make one line of a day file.
constexpr size_t kLineBytes = 2048;
// Years shown in the tree.
constexpr int kFirstYear = 2001;
constexpr int kLastYear = 2049;

const char* const kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};

bool IsDigits(const char* s, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (!isdigit(static_cast<unsigned char>(s[i]))) return false;
    return true;
}

int Number(const char* s, size_t count) {
    int n = 0;
    for (size_t i = 0; i < count; ++i) n = n * 10 + (s[i] - '0');
    return n;
}

// "X:\" (or "X:/") or "\\": where a stored path starts.
bool StartsLikePath(const char* s) {
    if (s[0] == '\\' && s[1] == '\\') return true;
    return isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':' && (s[2] == '\\' || s[2] == '/');
}

// ",hh:mm:ss," at p (p points at the first comma).
bool IsTimeAnchor(const char* p) {
    return p[0] == ',' && IsDigits(p + 1, 2) && p[3] == ':' && IsDigits(p + 4, 2) && p[6] == ':' &&
           IsDigits(p + 7, 2) && p[9] == ',';
}

template <size_t N>
void CopyField(char (&field)[N], const char* begin, const char* end) {
    size_t length = static_cast<size_t>(end - begin);
    if (length >= N) length = N - 1;
    memcpy(field, begin, length);
    field[length] = '\0';
}

// The line as the plain format has it: six fields at the first five
// commas, the last ending at the next comma.
bool SplitPlain(const char* line, HistoryRecord* r) {
    const char* marks[6];
    const char* p = line;
    for (int i = 0; i < 5; ++i) {
        p = strchr(p, ',');
        if (!p) return false;
        marks[i] = p++;
    }
    const char* sixthEnd = strchr(p, ',');
    if (!sixthEnd) sixthEnd = p + strlen(p);
    marks[5] = sixthEnd;
    CopyField(r->fileName, line, marks[0]);
    CopyField(r->filePath, marks[0] + 1, marks[1]);
    CopyField(r->startTime, marks[1] + 1, marks[2]);
    CopyField(r->duration, marks[2] + 1, marks[3]);
    CopyField(r->audioLine, marks[3] + 1, marks[4]);
    CopyField(r->backgroundFile, marks[4] + 1, marks[5]);
    return true;
}

HTREEITEM InsertItem(HWND tree, HTREEITEM parent, const char* text, bool withImages, LPARAM data = 0,
                     HTREEITEM after = TVI_LAST) {
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(text);
    insert.item.lParam = data;
    if (withImages) {
        insert.item.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        insert.item.iImage = 0;
        insert.item.iSelectedImage = 1;
    }
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

// A day item: its day of the month, the date key as its data.
HTREEITEM InsertDay(HWND tree, HTREEITEM month, const char* key, HTREEITEM after = TVI_LAST) {
    char text[3];
    SafeFormat(text, "%.2s", key + 6);
    return InsertItem(tree, month, text, false, CHistoryLog::DayItemData(key), after);
}

void TraceFindFailure() { printf("Invalid File Handle. Get Last Error reports %lu\n", GetLastError()); }

// The root without trailing separators, so "c:\Log\" and "c:\Log" name
// the same files.
std::string TrimmedRoot(const char* root) {
    std::string s = root ? root : "";
    while (s.size() > 1 && (s.back() == '\\' || s.back() == '/') && s[s.size() - 2] != ':') s.pop_back();
    return s;
}

// Creates every missing folder of `path` (ending in a backslash), after the
// drive or after the server and share of a "\\" path.
DWORD CreateFolders(const std::string& path) {
    size_t start;
    if (path.size() >= 3 && StartsLikePath(path.c_str()) && path[0] != '\\') {
        start = 3;
    } else if (path.compare(0, 2, "\\\\") == 0) {
        size_t server = path.find('\\', 2);
        size_t share = server == std::string::npos ? server : path.find('\\', server + 1);
        if (share == std::string::npos) return ERROR_BAD_PATHNAME;
        start = share + 1;
    } else {
        return ERROR_BAD_PATHNAME;
    }
    for (size_t slash = path.find('\\', start); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (GetFileAttributesA(prefix.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
        if (!CreateDirectoryA(prefix.c_str(), nullptr)) {
            DWORD error = GetLastError();
            if (error != ERROR_ALREADY_EXISTS) return error ? error : ERROR_CANNOT_MAKE;
        }
    }
    return 0;
}

}  // namespace

bool MakeLogRoot(const char* installPath, char* out, size_t size) {
    char folder[400];
    bool ok = MakeDocumentsFolder(installPath, folder, sizeof folder);
    return SafeFormatTo(out, size, "%sLog", folder) && ok;
}

DWORD AppendHistoryRecord(const char* logRoot, const char* dateKey, const HistoryRecord& record) {
    if (!logRoot || !dateKey || strlen(dateKey) < 4 || strpbrk(dateKey, "\\/:*?\"<>|.")) return ERROR_INVALID_PARAMETER;
    const std::string root = TrimmedRoot(logRoot);
    const std::string year(dateKey, 4);
    const std::string yearFolder = root + "\\" + year + "\\";
    if (GetFileAttributesA(yearFolder.c_str()) == INVALID_FILE_ATTRIBUTES) {
        DWORD error = CreateFolders(yearFolder);
        if (error) return error;
    }
    const std::string dayFile = root + "\\" + year + "\\" + dateKey + ".txt";
    FILE* file = fopen(dayFile.c_str(), "at");
    if (!file) {
        DWORD error = GetLastError();
        return error ? error : ERROR_OPEN_FAILED;
    }
    int written = fprintf(file, "%s,%s,%s,%s,%s,%s,\n", record.fileName, record.filePath, record.startTime,
                          record.duration, record.audioLine, record.backgroundFile);
    bool failed = written < 0 || ferror(file);
    if (fclose(file) != 0) failed = true;
    return failed ? ERROR_WRITE_FAULT : 0;
}

bool CHistoryLog::ParseLine(const char* line, HistoryRecord* r) {
    if (!line || !r) return false;
    memset(r, 0, sizeof *r);
    // The start time is the first ",hh:mm:ss," that has a name and a path
    // before it.
    const char* anchor = nullptr;
    for (const char* p = strchr(line, ','); p; p = strchr(p + 1, ',')) {
        if (IsTimeAnchor(p) && memchr(line, ',', static_cast<size_t>(p - line))) {
            anchor = p;
            break;
        }
    }
    if (!anchor) return SplitPlain(line, r);

    // Name and path: the path begins at the first comma followed by a
    // drive or "\\" (names may hold commas), else at the first comma.
    const char* split = nullptr;
    for (const char* p = line; p < anchor; ++p)
        if (*p == ',' && (p + 1 == anchor || StartsLikePath(p + 1))) {
            split = p;
            break;
        }
    if (!split) split = static_cast<const char*>(memchr(line, ',', static_cast<size_t>(anchor - line)));
    CopyField(r->fileName, line, split);
    CopyField(r->filePath, split + 1, anchor);
    CopyField(r->startTime, anchor + 1, anchor + 9);

    const char* rest = anchor + 10;
    const char* durationEnd = strchr(rest, ',');
    if (!durationEnd) {
        CopyField(r->duration, rest, rest + strlen(rest));
        return true;
    }
    CopyField(r->duration, rest, durationEnd);

    // Line name and background file; the line's own closing comma goes.
    const char* tail = durationEnd + 1;
    const char* tailEnd = tail + strlen(tail);
    if (tailEnd > tail && tailEnd[-1] == ',') --tailEnd;
    const char* background = nullptr;
    for (const char* p = tail; p < tailEnd; ++p)
        if (*p == ',' && (p + 1 == tailEnd || StartsLikePath(p + 1))) {
            background = p;
            break;
        }
    if (!background) background = std::find(tail, tailEnd, ',');
    CopyField(r->audioLine, tail, background);
    if (background < tailEnd) {
        const char* bgEnd = tailEnd;
        // Without a path prefix the field ends at the next comma, as written.
        if (!StartsLikePath(background + 1)) bgEnd = std::find(background + 1, tailEnd, ',');
        CopyField(r->backgroundFile, background + 1, bgEnd);
    }
    return true;
}

int CHistoryLog::ReadDayFile(const char* path) {
    records.clear();
    if (!path) return 0;
    FILE* file = fopen(path, "rb");
    if (!file) return 0;
    char line[kLineBytes + 1];
    size_t length = 0;
    auto finishLine = [&] {
        line[length] = '\0';
        // Lines this short hold no record (and a CR LF pair ends two lines).
        HistoryRecord record;
        if (length > 10 && ParseLine(line, &record)) records.push_back(record);
        length = 0;
    };
    // Read in blocks: a day can hold thousands of lines, and a call per
    // character made listing it slow.
    std::vector<char> block(64 * 1024);
    size_t got;
    while ((got = fread(block.data(), 1, block.size(), file)) > 0)
        for (size_t i = 0; i < got; ++i) {
            const char c = block[i];
            if (c == '\r' || c == '\n') {
                finishLine();
                continue;
            }
            line[length++] = c;
            if (length == kLineBytes) finishLine();  // a longer line goes on as the next
        }
    if (length) finishLine();
    fclose(file);
    return static_cast<int>(records.size());
}

void CHistoryLog::FillTree(const char* logRoot) {
    if (!tree) return;
    InsertItem(tree, TVI_ROOT, "Files for playing", false);
    currentRoot = InsertItem(tree, TVI_ROOT, "Record History", false);
    const std::string root = TrimmedRoot(logRoot);
    WIN32_FIND_DATAA found;
    FindHandle find(FindFirstFileA((root + "\\*").c_str(), &found));
    if (!find) {
        TraceFindFailure();
        return;
    }
    std::vector<int> years;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (strlen(found.cFileName) != 4 || !IsDigits(found.cFileName, 4)) continue;
        int year = Number(found.cFileName, 4);
        if (year >= kFirstYear && year <= kLastYear) years.push_back(year);
    } while (FindNextFileA(find.Get(), &found));
    std::sort(years.rbegin(), years.rend());
    for (int year : years) {
        char name[8];
        SafeFormat(name, "%d", year);
        HTREEITEM item = InsertItem(tree, currentRoot, name, true);
        AddYearFolder(item, (root + "\\" + name).c_str());
    }
}

void CHistoryLog::AddYearFolder(HTREEITEM yearItem, const char* yearPath) {
    if (!tree || !yearPath) return;
    WIN32_FIND_DATAA found;
    FindHandle find(FindFirstFileA((TrimmedRoot(yearPath) + "\\*.txt").c_str(), &found));
    if (!find) {
        TraceFindFailure();
        return;
    }
    // Only names yyyymmdd.txt with a real month and day are day files.
    std::vector<std::string> days;
    do {
        const char* name = found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (strlen(name) != 12 || !IsDigits(name, 8) || lstrcmpiA(name + 8, ".txt") != 0) continue;
        int month = Number(name + 4, 2), day = Number(name + 6, 2);
        if (month < 1 || month > 12 || day < 1 || day > 31) continue;
        days.emplace_back(name, 8);
    } while (FindNextFileA(find.Get(), &found));
    std::sort(days.rbegin(), days.rend());
    days.erase(std::unique(days.begin(), days.end()), days.end());

    HTREEITEM monthItem = nullptr;
    int currentMonth = 0;
    for (const std::string& key : days) {
        int month = Number(key.c_str() + 4, 2);
        if (month != currentMonth) {
            monthItem = InsertItem(tree, yearItem, kMonthNames[month - 1], true);
            currentMonth = month;
        }
        InsertDay(tree, monthItem, key.c_str());
    }
}

namespace {

// Where a child of `parent` ranked `rank` goes among children listed from
// the highest rank down: the existing child of that rank (*found), or the
// child to insert after (TVI_FIRST before them all).
template <class Rank>
HTREEITEM PlaceAmong(HWND tree, HTREEITEM parent, int rank, const Rank& rankOf, HTREEITEM* found) {
    *found = nullptr;
    HTREEITEM after = TVI_FIRST;
    for (HTREEITEM child = TreeView_GetChild(tree, parent); child; child = TreeView_GetNextSibling(tree, child)) {
        const int r = rankOf(child);
        if (r == rank) {
            *found = child;
            return child;
        }
        if (r < rank) break;
        after = child;
    }
    return after;
}

std::string ItemText(HWND tree, HTREEITEM item) {
    char text[64] = "";
    TVITEMA info = {};
    info.mask = TVIF_TEXT;
    info.hItem = item;
    info.pszText = text;
    info.cchTextMax = sizeof text;
    TreeView_GetItem(tree, &info);
    return text;
}

LPARAM ItemData(HWND tree, HTREEITEM item) {
    TVITEMA info = {};
    info.mask = TVIF_PARAM;
    info.hItem = item;
    return TreeView_GetItem(tree, &info) ? info.lParam : 0;
}

}  // namespace

HTREEITEM CHistoryLog::AddDay(const char* dateKey) {
    const LPARAM data = DayItemData(dateKey);
    if (!tree || !currentRoot || !data) return nullptr;
    const int year = Number(dateKey, 4), month = Number(dateKey + 4, 2);
    HTREEITEM item, after;
    after = PlaceAmong(tree, currentRoot, year, [this](HTREEITEM i) { return atoi(ItemText(tree, i).c_str()); }, &item);
    if (!item) {
        char name[8];
        SafeFormat(name, "%d", year);
        item = InsertItem(tree, currentRoot, name, true, 0, after);
    }
    HTREEITEM yearItem = item;
    after = PlaceAmong(tree, yearItem, month,
                       [this](HTREEITEM i) {
                           const std::string text = ItemText(tree, i);
                           for (int m = 0; m < 12; ++m)
                               if (text == kMonthNames[m]) return m + 1;
                           return 0;
                       },
                       &item);
    if (!item) item = InsertItem(tree, yearItem, kMonthNames[month - 1], true, 0, after);
    HTREEITEM monthItem = item;
    after = PlaceAmong(tree, monthItem, static_cast<int>(data),
                       [this](HTREEITEM i) { return static_cast<int>(ItemData(tree, i)); }, &item);
    return item ? item : InsertDay(tree, monthItem, dateKey, after);
}

LPARAM CHistoryLog::DayItemData(const char* dateKey) {
    if (!dateKey || strlen(dateKey) != 8 || !IsDigits(dateKey, 8)) return 0;
    const int year = Number(dateKey, 4), month = Number(dateKey + 4, 2), day = Number(dateKey + 6, 2);
    if (year < kFirstYear || year > kLastYear || month < 1 || month > 12 || day < 1 || day > 31) return 0;
    return static_cast<LPARAM>(Number(dateKey, 8));
}

bool CHistoryLog::DayFileOfItem(const char* logRoot, LPARAM itemData, char* out, size_t size) {
    if (!out || size == 0) return false;
    out[0] = '\0';
    char key[16];
    SafeFormat(key, "%ld", static_cast<long>(itemData));
    if (!logRoot || !DayItemData(key)) return false;
    const std::string root = TrimmedRoot(logRoot);
    if (!SafeFormatTo(out, size, "%s\\%.4s\\%s.txt", root.c_str(), key, key)) {
        out[0] = '\0';
        return false;
    }
    return true;
}
