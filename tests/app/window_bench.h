// The main window run inside a test with a tone playing into the recorded
// sink: a fixture whose settings record the test's sink into scratch
// files, and helpers for the output file and the history log.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/VelorinDlg.h"
#include "bench.h"
#include "brindle_process.h"
#include "engine/CaptureGraph.h"
#include "engine/EngineState.h"
#include "engine/WmaWriter.h"
#include "framework/SafeString.h"
#include "watched_dialog.h"

namespace {

// Sets the output file (its extension chooses the format).
inline void SetOutputFile(const std::string& path) {
    OnWindow([path] {
        SafeCopy(Dialog->OutputPath, path.c_str());
        Dialog->SetDlgItemText(1001, path.c_str());
    });
}

// Sets `path` the way a user chooses a format: the name as a WAV, then the
// format button (1049 MP3, 1171 WMA), which gives it the format's extension
// in capitals.
inline void SetOutputFileWithButton(const std::string& path, UINT button) {
    SetOutputFile(path.substr(0, path.size() - 4) + ".wav");
    ClickButton(button);
    auto chosen = [&] { return _stricmp(path.c_str(), Dialog->OutputPath) == 0; };
    bench::PumpUntil([&] { return ReadOnWindow<bool>(chosen); }, 10000);
}

// Records into `path` from the face until the take holds `ms` of sound,
// then stops and waits for the capture to wind down. A loaded machine can
// start the capture seconds after the click, so the take is measured, not
// the time.
inline void RecordTake(const std::string& path, int64_t ms) {
    SetOutputFile(path);
    ClickButton(1000);
    bench::PumpUntil(
        [ms] { return ReadOnWindow<bool>([ms] { return Dialog->CaptureActive && TakenMilliseconds() >= ms; }); },
        60000);
    ClickButton(1004);
    bench::PumpUntil([] { return !ReadOnWindow<bool>([] { return Dialog->CaptureActive; }); }, 30000);
}

// Stores the last WMA profile whose name holds `part` as the one the
// window loads at start-up, as the WMA settings dialog leaves it.
inline bool ChooseWmaProfile(const char* part) {
    std::vector<WmaProfileName> profiles;
    bool chosen = false;
    if (SUCCEEDED(ListWmaProfiles(nullptr, &profiles)))
        for (const WmaProfileName& p : profiles)
            if (p.name.find(part) != std::string::npos) {
                StoreDword("WMAFormat", static_cast<DWORD>(p.index));
                chosen = true;
            }
    return chosen;
}

inline std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return lines;
    char buf[4096];
    while (fgets(buf, sizeof buf, f)) {
        std::string line(buf);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    fclose(f);
    return lines;
}

inline std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> parts;
    size_t from = 0;
    for (size_t at; (at = line.find(',', from)) != std::string::npos; from = at + 1)
        parts.push_back(line.substr(from, at - from));
    parts.push_back(line.substr(from));
    return parts;
}

inline std::string Today() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char key[16];
    snprintf(key, sizeof key, "%04d%02d%02d", t.wYear, t.wMonth, t.wDay);
    return key;
}

// A WAV's tone from its second tenth on (the device settles first).
inline double ToneOf(const bench::Wav& wav) {
    return bench::ToneLevel(wav, 0, 1000, static_cast<size_t>(wav.rate / 10));
}

class RecordingBench : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(bench::HaveSound());
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        folder_ = bench::ScratchDir();
        install_ = folder_ + "\\install";
        out_ = folder_ + "\\rec_files";
        CreateDirectoryA(install_.c_str(), nullptr);
        CreateDirectoryA(out_.c_str(), nullptr);
        ASSERT_TRUE(CopyFileA(bench::WinPath(LAME_DLL_PATH).c_str(),
                              (install_ + "\\lame_enc.dll").c_str(), FALSE));

        // The device and line that record the test's sink.
        int device = 0, line = 0;
        const std::string why = FindTestRecordingLine(&device, &line, &lineName_);
        if (why == kNoCaptureDevice) GTEST_SKIP() << "the capture device stand-in is not registered";
        ASSERT_EQ(why, "");
        line_ = line;
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Velorin");
        StoreDword("Device", static_cast<DWORD>(device));
        StoreDword("AudoLine", static_cast<DWORD>(line));
        StoreDword("Freq", 7);  // 44100 Hz
        StoreDword("Bit", 1);
        StoreDword("Channel", 1);
        StoreDword("Alert", 0);
        StoreDword("MP3Bitrate", 10);  // 128 kbit/s
        StoreText("InstallPath", install_);
        StoreText("LastName", out_ + "\\take.wav");
    }
    void TearDown() override { CoUninitialize(); }

    std::string DayFile() const {
        return install_ + "\\Log\\" + Today().substr(0, 4) + "\\" + Today() + ".txt";
    }

    std::string folder_, install_, out_, lineName_;
    int line_ = 0;
};

}  // namespace
