// The open-file dialog wrapper on the display: one typed name gives its
// full path, several quoted names give every path in the folder, and Cancel
// is no failure.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench.h"
#include "framework/FileDialog.h"

namespace {

const char kFilter[] = "WAV File ( *.wav)|*.wav|All Files(*.*)|*.*||";

void Touch(const std::string& path) {
    if (FILE* f = fopen(path.c_str(), "wb")) fclose(f);
}

// The system's dialog of this process ("Open"), waited for.
HWND WaitForOpen() {
    HWND w = nullptr;
    DWORD start = GetTickCount();
    while (!(w = bench::FindDialog(GetCurrentProcessId(), "Open")) && GetTickCount() - start < 60000)
        Sleep(20);
    Sleep(300);  // its list filled, the name box focused
    return w;
}

void EnsureClosed() {
    if (HWND w = bench::FindDialog(GetCurrentProcessId(), "Open")) {
        bench::Screenshot("stuck", w);
        PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
    }
}

TEST(FileDialog, OneManyOrNone) {
    const std::string folder = bench::ScratchDir();
    for (const char* name : {"one.wav", "two.wav", "three.wav"}) Touch(folder + "\\" + name);

    struct Case {
        const char* name;
        std::string typed;  // "" : Esc
        DWORD flags;
        INT_PTR result;
        std::vector<std::string> paths;
    };
    const Case cases[] = {
        {"one file", folder + "\\two.wav", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, IDOK,
         {folder + "\\two.wav"}},
        {"several files", "\"one.wav\" \"three.wav\"",
         OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT, IDOK,
         {folder + "\\one.wav", folder + "\\three.wav"}},
        {"one of a multiple choice", "\"two.wav\"",
         OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT, IDOK, {folder + "\\two.wav"}},
        {"cancelled", "", OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT, IDCANCEL, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The initial name chooses the folder and is longer than some answers.
        CFileDialog dialog(TRUE, nullptr, (folder + "\\*.wav").c_str(), c.flags, kFilter);
        INT_PTR result = 0;
        bench::WithDriver(
            [&] {
                HWND w = WaitForOpen();
                if (!w) return EnsureClosed();
                if (c.typed.empty()) {
                    bench::KeyPress(VK_ESCAPE);
                } else {
                    // The name box holds the initial pattern: replace it.
                    GUITHREADINFO gui{};
                    gui.cbSize = sizeof gui;
                    GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &gui);
                    if (gui.hwndFocus) SendMessageA(gui.hwndFocus, EM_SETSEL, 0, -1);
                    bench::KeyPress(VK_DELETE);
                    bench::TypeText(c.typed);
                    bench::KeyPress(VK_RETURN);
                }
                bench::Pump(300);
                EnsureClosed();
            },
            [&] { result = dialog.DoModal(); });
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(0u, dialog.ErrorCode());
        std::vector<CString> paths = dialog.GetPathNames();
        ASSERT_EQ(c.paths.size(), paths.size());
        for (size_t i = 0; i < paths.size(); ++i)
            EXPECT_EQ(0, lstrcmpiA(c.paths[i].c_str(), paths[i])) << paths[i].GetString();
        if (!c.paths.empty()) {
            EXPECT_STREQ(c.paths.front().c_str() + folder.size() + 1, dialog.GetFileName());
        }
    }
}

}  // namespace
