// The history log: one line for every finished recording, in a text file
// of its day, "<log root>\<yyyy>\<yyyymmdd>.txt", where the log root is the
// folder Log of the install folder. A line is
//   fileName,filePath,startTime,duration,audioLine,backgroundFile,CR LF
// with the fields as they are (no escaping). The reader anchors on the
// start time and on the drive or server prefix of the paths, so commas in
// names, paths and line names do not shift the fields.
//
// The history panel's tree shows "Files for playing" and "Record History",
// under it the years 2001 to 2049, their months and days, latest first. A
// day item shows its day of the month ("09"): the year and the month are
// the items above it, and a whole date does not fit beside three levels of
// indent in the panel's narrow tree. The item's data is the day's date key
// as a number (yyyymmdd); every other item's is 0.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <deque>

struct HistoryRecord {
    char fileName[256];
    char filePath[256];
    char dateKey[19];  // yyyymmdd: names the day file, not written into the line
    char startTime[19];
    char duration[50];
    char audioLine[255];
    char backgroundFile[256];  // holds the background setting whole
};

// The log root for an install folder: "<folder>\Log", "c:\Log" when the
// install folder is empty. False when it does not fit.
bool MakeLogRoot(const char* installPath, char* out, size_t size);

// Appends the record's line to its day file, making the year folder (and
// any missing folder above it). Returns 0 once the line is written, else a
// Win32 error code (ERROR_BAD_PATHNAME for a root with neither a drive nor
// a "\\" server prefix, ERROR_INVALID_PARAMETER for a bad date key).
DWORD AppendHistoryRecord(const char* logRoot, const char* dateKey, const HistoryRecord& record);

class CHistoryLog {
public:
    CHistoryLog() = default;
    virtual ~CHistoryLog() = default;

    HWND tree = nullptr;                // the history tree view of the main window
    HTREEITEM currentRoot = nullptr;    // "Record History"
    std::deque<HistoryRecord> records;  // filled by ReadDayFile, in file order

    // Reads every line of a day file into records; the number read (0 when
    // the file cannot be opened).
    int ReadDayFile(const char* path);
    // The two root items, then one item a year with its months and days.
    void FillTree(const char* logRoot);
    // Month and day items for the day files of one year folder.
    void AddYearFolder(HTREEITEM yearItem, const char* yearPath);
    // The day item of a date key (yyyymmdd) under currentRoot, with its
    // year and month items added in their places when the day is new (a
    // take logged while the tree is shown); null for a bad key.
    HTREEITEM AddDay(const char* dateKey);

    // One line into a zeroed record; false for a line that holds no record.
    static bool ParseLine(const char* line, HistoryRecord* record);
    // The day file of a day item's data (its date key); false for any other
    // item (roots, years, months: data 0).
    static bool DayFileOfItem(const char* logRoot, LPARAM itemData, char* out, size_t size);
    // A date key as day item data, 0 when it is no valid day.
    static LPARAM DayItemData(const char* dateKey);
};
