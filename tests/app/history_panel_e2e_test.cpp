// The history panel on the real window: recordings made by clicks listed
// from the tree by keys, a row made the current file, files chosen for
// playing, and the panel opened and closed many times.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/VelorinDlg.h"
#include "app/resource.h"
#include "dialogs/DialogIds.h"
#include "bench.h"
#include "engine/WmaWriter.h"
#include "ui/TrackList.h"
#include "ui/UniButton.h"
#include "window_bench.h"

namespace {

HWND Tree() { return GetDlgItem(MainWindow, IDC_HISTORYTREE); }
HWND TrackList() { return GetDlgItem(MainWindow, kTrackListId); }

int RowCount() { return static_cast<int>(SendMessageA(TrackList(), TLM_GETCOUNT, 0, 0)); }

std::string RowName(int index) {
    TrackListRow row{};
    SendMessageA(TrackList(), TLM_GETROW, index, reinterpret_cast<LPARAM>(&row));
    return row.name;
}

// Clicks (or double-clicks) the middle of a tree item's text.
void ClickTreeItem(HTREEITEM item, bool doubleClick = false) {
    RECT r{};
    ASSERT_TRUE(TreeView_GetItemRect(Tree(), item, &r, TRUE));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(Tree(), &p);
    bench::Click(p.x, p.y, doubleClick);
    Sleep(200);
}

bool Expanded(HTREEITEM item) { return (TreeView_GetItemState(Tree(), item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0; }

HTREEITEM Root(int index) {
    HTREEITEM item = TreeView_GetRoot(Tree());
    for (int i = 0; i < index && item; ++i) item = TreeView_GetNextSibling(Tree(), item);
    return item;
}

// Clicks row `index` of the track list in its name column: rows start 6
// pixels below the header and are a text line and 4 pixels high.
void ClickRow(int index) {
    RECT header{};
    GetWindowRect(FindWindowExA(TrackList(), nullptr, WC_HEADERA, nullptr), &header);
    POINT origin{0, 0};
    ClientToScreen(TrackList(), &origin);
    HDC dc = GetDC(TrackList());
    HGDIOBJ old = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(TrackList(), dc);
    const int step = metrics.tmHeight + 4;
    const int top = origin.y + (header.bottom - header.top) + 1 + 6;
    bench::Click(origin.x + 60, top + step * index + step / 2);
    Sleep(300);
}

bool RegionIsShaped() {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const bool complex = GetWindowRgn(MainWindow, region) == COMPLEXREGION;
    DeleteObject(region);
    return complex;
}

int WindowHeight() {
    RECT r{};
    GetWindowRect(MainWindow, &r);
    return r.bottom - r.top;
}

// The face a skinned button last painted ends with `suffix` ("UP" for
// an enabled push button at rest).
bool PaintedFace(UINT id, const char* suffix) {
    return ReadOnWindow<bool>([id, suffix] {
        const CUniButton* b = CUniButton::FromHandle(GetDlgItem(MainWindow, id));
        const std::string face = b ? b->LastFace() : "";
        return face.size() >= strlen(suffix) && face.compare(face.size() - strlen(suffix), std::string::npos, suffix) == 0;
    });
}

// The rightmost column of a client rectangle of the window that holds
// dark text pixels on screen, or -1.
int InkRight(const RECT& rect) {
    POINT origin{rect.left, rect.top};
    ClientToScreen(MainWindow, &origin);
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    int right = -1;
    const auto* pixels = static_cast<const BYTE*>(bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const BYTE* p = pixels + 4 * (y * w + x);
            if (p[0] + p[1] + p[2] < 240 && x > right) right = x;
        }
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return right < 0 ? -1 : rect.left + right;
}

class HistoryBench : public RecordingBench {};

}  // namespace

// Two recordings of today, listed newest first by walking the tree with
// the keyboard; a click on a row makes it the current file, shown whole
// in the info rows and with Edit tag drawn enabled where the pointer never
// went; a third take made with the day listed shows up without a click.
TEST_F(HistoryBench, TodayIsListedNewestFirstAndARowBecomesTheCurrentFile) {
    auto tone = bench::PlayTone(1000, 60, 0.5);
    static int height = 0, rows = -1, infoRowMode = -1, rowsAfterTake = -1, inkRight = 0;
    static bool shaped = false, editTagEnabled = false, openedByDoubleClick = false, closedAgain = false;
    static bool editTagDrawnEnabled = false;
    static std::string first, second, current, playFile, info0, newest, deviceRow, longRow;
    const std::string mp3 = out_ + "\\take.mp3";
    WatchedDialog dialog;
    RunDialog(dialog, [this] {
        for (const char* name : {"\\take.wav", "\\take.mp3"}) {
            SetOutputFile(out_ + name);
            ClickButton(1000);
            Sleep(2000);
            ClickButton(1004);
            bench::PumpUntil([] { return !ReadOnWindow<bool>([] { return Dialog->CaptureActive; }); }, 5000);
        }
        bench::Click(489, 583);  // Archive
        bench::PumpUntil([] { return WindowHeight() == 608; }, 5000);
        height = WindowHeight();
        shaped = RegionIsShaped();
        // The roots keep no column for buttons: a double click opens and
        // closes Record History.
        ClickTreeItem(Root(1), true);
        openedByDoubleClick = bench::PumpUntil([] { return Expanded(Root(1)); }, 10000);
        ClickTreeItem(Root(1), true);
        closedAgain = bench::PumpUntil([] { return !Expanded(Root(1)); }, 10000);
        // Record History, then down its branches to the newest day.
        ClickTreeItem(Root(1));
        for (int level = 0; level < 3; ++level) {
            bench::KeyPress(VK_RIGHT);
            bench::KeyPress(VK_DOWN);
        }
        bench::PumpUntil([] { return RowCount() >= 2; }, 5000);
        rows = RowCount();
        first = RowName(0);
        second = RowName(1);
        ClickRow(0);
        bench::PumpUntil([] { return ReadOnWindow<int>([] { return Dialog->InfoRowMode; }) == 2; }, 5000);
        current = ReadOnWindow<std::string>([] { return std::string(Dialog->CurrentFile); });
        playFile = ReadOnWindow<std::string>([] { return std::string(Dialog->PlayFile); });
        infoRowMode = ReadOnWindow<int>([] { return Dialog->InfoRowMode; });
        info0 = ReadOnWindow<std::string>([] { return std::string(MediaInfoLines[0]); });
        editTagEnabled = IsWindowEnabled(GetDlgItem(MainWindow, 1139)) != FALSE;
        editTagDrawnEnabled = bench::PumpUntil([] { return PaintedFace(1139, "UP"); }, 5000);
        // The play-file row's long path gives way in its folders: the text
        // ends short of the row's right edge (545) instead of being cut there.
        const RECT playRow{260, 98, 545, 111};
        bench::PumpUntil([&] { return (inkRight = InkRight(playRow)) > 0 && inkRight < playRow.right - 2; }, 5000);
        RecordTake(out_ + "\\take2.wav", 1000);
        bench::PumpUntil([] { return RowCount() == 3; }, 10000);
        rowsAfterTake = RowCount();
        newest = RowName(0);
        bench::Screenshot("history-panel");
        // A row naming a device (a line an older version logged), or one
        // whose folder and name make a path past what the system opens, is
        // refused and never becomes the current file.
        auto openRow = [](const char* location, const char* name) {
            return ReadOnWindow<std::string>([location, name] {
                TrackListRow row{};
                SafeCopy(row.name, name);
                SafeCopy(row.location, location);
                SendMessageA(TrackList(), TLM_ADDROW, 0, reinterpret_cast<LPARAM>(&row));
                Dialog->OpenTrackListRow(RowCount() - 1);
                return std::string(Dialog->CurrentFile) + " / " + std::string(Dialog->StatusLine2);
            });
        };
        deviceRow = openRow("c:\\t3\\", "com1.wav");
        const std::string longFolder = "c:\\" + std::string(250, 'f') + "\\";
        longRow = openRow(longFolder.c_str(), "take.wav");
    });
    EXPECT_EQ(608, height);
    EXPECT_TRUE(shaped);
    EXPECT_TRUE(openedByDoubleClick);
    EXPECT_TRUE(closedAgain);
    EXPECT_EQ(2, rows);
    EXPECT_EQ("take.mp3", first);
    EXPECT_EQ("take.wav", second);
    EXPECT_EQ(mp3, current);
    EXPECT_EQ(mp3, playFile);
    EXPECT_EQ(2, infoRowMode);
    EXPECT_EQ(0u, info0.find("Artist :")) << info0;
    EXPECT_TRUE(editTagEnabled);
    EXPECT_TRUE(editTagDrawnEnabled);
    EXPECT_GT(inkRight, 0);
    EXPECT_LT(inkRight, 543);
    EXPECT_EQ(3, rowsAfterTake);
    EXPECT_EQ("take2.wav", newest);
    EXPECT_EQ(mp3 + " / It names a device (nul, con, com1...)", deviceRow);
    EXPECT_EQ(mp3 + " / The name is too long", longRow);
}

// "Files for playing": three files whose names together pass 260
// characters come back whole, from one dialog for one click, and the
// first becomes the current file.
TEST_F(HistoryBench, FilesForPlayingListsEveryChosenFileFromOneDialog) {
    const std::string dir = out_;
    std::vector<std::string> names;
    for (char c : {'a', 'b', 'c'}) {
        names.push_back(std::string(95, c) + ".wav");
        FILE* f = fopen((dir + "\\" + names.back()).c_str(), "wb");
        ASSERT_NE(nullptr, f);
        fputs("RIFF", f);
        fclose(f);
    }
    static int rows = -1, dialogsAfter = -1;
    static std::string current;
    static bool dialogSeen = false;
    WatchedDialog dialog;
    RunDialog(dialog, [dir, names] {
        bench::Click(489, 583);  // Archive
        bench::PumpUntil([] { return WindowHeight() == 608; }, 5000);
        ClickTreeItem(Root(0));
        HWND open = nullptr;
        bench::PumpUntil([&] { return (open = FindWindowA("#32770", "Open")) && IsWindowVisible(open); }, 10000);
        dialogSeen = open != nullptr;
        if (!open) return;
        Sleep(300);
        // The folder first, then the three names.
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        GetGUIThreadInfo(GetWindowThreadProcessId(open, nullptr), &gui);
        SendMessageA(gui.hwndFocus, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(dir.c_str()));
        bench::KeyPress(VK_RETURN);
        Sleep(500);
        GetGUIThreadInfo(GetWindowThreadProcessId(open, nullptr), &gui);
        const std::string chosen = "\"" + names[0] + "\" \"" + names[1] + "\" \"" + names[2] + "\"";
        SendMessageA(gui.hwndFocus, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen.c_str()));
        bench::KeyPress(VK_RETURN);
        bench::PumpUntil([&] { return !IsWindow(open); }, 5000);
        Sleep(1000);
        HWND again = FindWindowA("#32770", "Open");
        dialogsAfter = again && IsWindowVisible(again) ? 1 : 0;
        if (again) PostMessageA(again, WM_COMMAND, IDCANCEL, 0);
        rows = RowCount();
        current = ReadOnWindow<std::string>([] { return std::string(Dialog->CurrentFile); });
    });
    EXPECT_TRUE(dialogSeen);
    EXPECT_EQ(0, dialogsAfter);
    EXPECT_EQ(3, rows);
    EXPECT_EQ(dir + "\\" + names[0], current);
}

// Opening and closing the panel many times keeps the window shaped and
// holds no GDI objects on.
TEST_F(HistoryBench, OpeningAndClosingKeepsTheShapeAndNoHandles) {
    static DWORD before = 0, after = 0;
    static int openShaped = 0, closedShaped = 0, closedHeight = 0;
    WatchedDialog dialog;
    RunDialog(dialog, [] {
        // One round first: the first opening loads what every later one reuses.
        SendMessageA(MainWindow, WM_COMMAND, 1137, 0);
        SendMessageA(MainWindow, WM_COMMAND, 1138, 0);
        before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
        // Each click waits for the window to take its new height and shape,
        // and for the close button to be there: a click sent before the last
        // one took effect lands where no button is. The shape comes a moment
        // after the height, so the two are waited for together.
        HWND close = GetDlgItem(MainWindow, 1138);
        for (int i = 0; i < 20; ++i) {
            bench::Click(489, 583);  // Archive
            openShaped += bench::PumpUntil([close] {
                return WindowHeight() == 608 && RegionIsShaped() && IsWindowVisible(close) && IsWindowEnabled(close);
            }, 15000);
            bench::Click(489, 798);  // close (239,588)-(340,608)
            closedShaped += bench::PumpUntil([] { return WindowHeight() == 392 && RegionIsShaped(); }, 15000);
        }
        closedHeight = WindowHeight();
        after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    });
    EXPECT_EQ(20, openShaped);
    EXPECT_EQ(20, closedShaped);
    EXPECT_EQ(392, closedHeight);
    EXPECT_LE(after, before + 5) << before << " GDI objects before, " << after << " after";
}

// The open panel's tree, track list and file information are dark with
// light text, as the skin around them, not the system's white.
TEST_F(HistoryBench, TreeListAndInformationTakeTheSkinsColours) {
    static COLORREF treeBack = 0, treeText = 0, listPixel = 0, infoPixel = 0;
    WatchedDialog dialog;
    RunDialog(dialog, [] {
        ClickButton(1137);
        bench::PumpUntil([] { return WindowHeight() == 608; }, 30000);
        OnWindow([] {});
        HWND tree = GetDlgItem(MainWindow, IDC_HISTORYTREE);
        treeBack = TreeView_GetBkColor(tree);
        treeText = TreeView_GetTextColor(tree);
        // The list's empty lower right corner and the information area's,
        // in client pixels of the main window, once the grown window has
        // been painted there.
        POINT list{560, 520}, info{565, 575};
        ClientToScreen(MainWindow, &list);
        ClientToScreen(MainWindow, &info);
        auto dark = [&] {
            HDC screen = GetDC(nullptr);
            listPixel = GetPixel(screen, list.x, list.y);
            infoPixel = GetPixel(screen, info.x, info.y);
            ReleaseDC(nullptr, screen);
            return listPixel == RGB(26, 29, 34) && infoPixel == RGB(26, 29, 34);
        };
        if (!bench::PumpUntil(dark, 15000)) bench::Screenshot("panel-colours");
    });
    EXPECT_EQ(RGB(26, 29, 34), treeBack);
    EXPECT_EQ(RGB(228, 233, 240), treeText);
    EXPECT_EQ(RGB(26, 29, 34), listPixel);
    EXPECT_EQ(RGB(26, 29, 34), infoPixel);
}

// Edit tag writes the texts into an MP3's ID3 tag and a WMA file's own
// tags, each file still whole; on the file being recorded it is refused.
// Opens the tag dialog `caption` for `file` as a user would: the archive
// opened with the file current, then Edit tag once the panel shows it.
HWND OpenTagDialog(const std::string& file, const char* caption) {
    OnWindow([file] { SafeCopy(Dialog->CurrentFile, file.c_str()); });
    ClickButton(1137);  // Archive: the current file, tags editable
    // The panel shows its buttons before the window grows over them, and a
    // click that comes early lands beside the window; the round trip waits
    // for the whole opening to end.
    HWND button = GetDlgItem(MainWindow, 1139);
    bench::PumpUntil([button] { return WindowHeight() == 608 && IsWindowVisible(button) && IsWindowEnabled(button); },
                     30000);
    OnWindow([] {});
    ClickButton(1139);  // Edit tag
    HWND tags = nullptr;
    bench::PumpUntil([&] { return (tags = FindWindowA("#32770", caption)) && IsWindowVisible(tags); }, 30000);
    return tags;
}

// Closes a tag dialog with its OK and the archive with its button.
void CloseTagDialogAndArchive(HWND tags) {
    PostMessageA(tags, WM_COMMAND, 1032, 0);  // OK
    bench::PumpUntil([&] { return !IsWindow(tags); }, 30000);
    ClickButton(1138);
    bench::PumpUntil([] { return WindowHeight() < 608; }, 30000);
    OnWindow([] {});
}

TEST_F(HistoryBench, EditTagWritesMp3AndWmaTagsAndSparesTheFileBeingRecorded) {
    auto tone = bench::PlayTone(1000, 120, 0.5);
    const bool profileChosen = ChooseWmaProfile("128");
    static bool mp3DialogSeen = false, wmaDialogSeen = false, dialogWhileRecording = true;
    static std::string refusal, tagAfterEdit;
    const std::string mp3 = out_ + "\\take.mp3", wma = out_ + "\\take.wma";
    WatchedDialog dialog;
    RunDialog(dialog, [mp3, wma] {
        RecordTake(mp3, 2000);
        RecordTake(wma, 2000);

        HWND tags = OpenTagDialog(mp3, "Set MP3 parameters");
        mp3DialogSeen = tags != nullptr;
        if (!tags) return;
        SetDlgItemTextA(tags, IDC_MP3_ARTIST, "Bench Artist");
        SetDlgItemTextA(tags, IDC_MP3_ALBUM, "Bench Album");
        SetDlgItemTextA(tags, IDC_MP3_TITLE, "Bench Title");
        bench::Screenshot("edit-tag", tags);
        CloseTagDialogAndArchive(tags);
        if (FILE* f = fopen(mp3.c_str(), "rb")) {
            char tag[128] = {};
            if (fseek(f, -128, SEEK_END) == 0 && fread(tag, 1, sizeof tag, f) == sizeof tag)
                tagAfterEdit.assign(tag, sizeof tag);
            fclose(f);
        }

        tags = OpenTagDialog(wma, "Set WMA parameters");
        wmaDialogSeen = tags != nullptr;
        if (!tags) return;
        SetDlgItemTextA(tags, IDC_WMA_ARTIST, "Bench Artist");
        SetDlgItemTextA(tags, IDC_WMA_ALBUM, "Bench Album");
        SetDlgItemTextA(tags, IDC_WMA_TITLE, "Bench Title");
        bench::Screenshot("edit-wma-tag", tags);
        CloseTagDialogAndArchive(tags);

        // The same file recorded again: its tags are not the user's now.
        SetOutputFile(mp3);
        OnWindow([mp3] { SafeCopy(Dialog->CurrentFile, mp3.c_str()); });
        ClickButton(1000);
        bench::PumpUntil([] { return ReadOnWindow<bool>([] { return Dialog->CaptureActive; }); }, 60000);
        PostMessageA(MainWindow, WM_COMMAND, 1139, 0);
        // The refusal is the status line; a dialog would show first.
        bench::PumpUntil([] { return ReadOnWindow<std::string>([] { return std::string(Dialog->StatusLine1); }) ==
                                     "This file is being recorded"; },
                         30000);
        HWND during = FindWindowA("#32770", "Set MP3 parameters");
        dialogWhileRecording = during && IsWindowVisible(during);
        if (during) PostMessageA(during, WM_COMMAND, 1033, 0);
        refusal = ReadOnWindow<std::string>([] { return std::string(Dialog->StatusLine1); });
        ClickButton(1004);
        bench::PumpUntil([] { return !ReadOnWindow<bool>([] { return Dialog->CaptureActive; }); }, 30000);
    });
    ASSERT_TRUE(mp3DialogSeen);
    EXPECT_FALSE(dialogWhileRecording);
    EXPECT_EQ("This file is being recorded", refusal);
    // ID3v1: "TAG", then the title in 30 characters, the artist, the album.
    ASSERT_EQ(128u, tagAfterEdit.size());
    EXPECT_EQ("TAG", tagAfterEdit.substr(0, 3));
    EXPECT_EQ("Bench Title", std::string(tagAfterEdit.c_str() + 3));
    EXPECT_EQ("Bench Artist", std::string(tagAfterEdit.c_str() + 33));
    // The WMA file carries its new tags and still decodes whole.
    EXPECT_TRUE(profileChosen);
    ASSERT_TRUE(wmaDialogSeen);
    EXPECT_EQ("Bench Title", bench::Ffprobe(wma, "format_tags=title"));
    EXPECT_EQ("Bench Artist", bench::Ffprobe(wma, "format_tags=artist"));
    EXPECT_EQ("Bench Album", bench::Ffprobe(wma, "format_tags=album"));
    EXPECT_EQ("wmav2", bench::Ffprobe(wma, "stream=codec_name"));
    bench::Wav decoded;
    ASSERT_TRUE(bench::DecodeWithFfmpeg(wma, &decoded, 44100));
    EXPECT_GT(decoded.Seconds(), 1.5);
    EXPECT_GT(ToneOf(decoded), 0.25);
}
