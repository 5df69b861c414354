// The main window run inside a test: a message that runs a function on the
// window's thread (to read and set its state there), a count of finished
// playbacks, and clicks on its face buttons where a user would click.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

#include <cstring>
#include <string>

#include "app/VelorinDlg.h"
#include "bench.h"
#include "brindle_process.h"
#include "engine/CaptureGraph.h"
#include "recorded_device.h"

namespace {

// Where the main window places itself.
const int kX = 200, kY = 200;

inline void ClickButton(UINT id) {
    for (const FaceButtonSpec& b : FaceButtonTable)
        if (b.id == id) {
            bench::Click(kX + b.x + b.width / 2, kY + b.y + b.height / 2);
            return;
        }
    ADD_FAILURE() << "no face button " << id;
}

class WatchedDialog : public CVelorinDlg {
public:
    static constexpr UINT kRunHere = WM_APP + 210;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kRunHere) {
            (*reinterpret_cast<std::function<void()>*>(wParam))();
            return 0;
        }
        if (message == WM_PLAYBACK_FINISHED) ++playbackFinished;
        return CVelorinDlg::WindowProc(message, wParam, lParam);
    }
    std::atomic<int> playbackFinished{0};
};

WatchedDialog* Dialog = nullptr;

// Runs `f` on the window's thread and waits for it.
inline void OnWindow(std::function<void()> f) {
    SendMessageA(MainWindow, WatchedDialog::kRunHere, reinterpret_cast<WPARAM>(&f), 0);
}

template <class T>
T ReadOnWindow(std::function<T()> f) {
    T value{};
    OnWindow([&] { value = f(); });
    return value;
}

// What FindTestRecordingLine says when the machine has no capture device at
// all (the capture stand-in is not registered): the only case a test skips.
constexpr const char* kNoCaptureDevice = "no capture device";

// The capture device and line that record the test's sink (the names in
// BENCH_REC_DEVICE), with the line's name. Returns "" when found, else why
// not; a device that is listed but cannot be opened is a failure, not a skip.
inline std::string FindTestRecordingLine(int* device, int* line, std::string* lineName = nullptr) {
    CCaptureGraph graph;
    CaptureDeviceList devices;
    PinNameList pins;
    *device = *line = 0;
    if (graph.CreateGraph() != S_OK) return "the capture graph cannot be made";
    if (FillCaptureDeviceList(&devices) != S_OK) return "the capture devices cannot be listed";
    if (devices.Count() == 0) return kNoCaptureDevice;
    *device = bench::RecordedDeviceIn(devices);
    const std::string want = bench::Env("BENCH_REC_DEVICE");
    if (graph.SelectDevice(*device, &devices, &pins) != S_OK || !graph.HasCaptureOutput())
        return std::string("capture device \"") + devices.Name(*device) + "\" cannot be selected";
    if (pins.Count() == 0) return std::string("capture device \"") + devices.Name(*device) + "\" has no lines";
    for (int i = 0; i < pins.Count(); ++i)
        if (!want.empty() && strstr(pins.Name(i), want.c_str())) *line = i;
    if (lineName) *lineName = pins.Name(*line);
    graph.Shutdown();
    return "";
}

// Runs the dialog here while `drive` works it from another thread; the
// window is closed afterwards with its own button. `visible` false for a
// window that starts hidden in the tray.
inline void RunDialog(WatchedDialog& dialog, std::function<void()> drive, bool visible = true) {
    Dialog = &dialog;
    std::thread driver([drive, visible] { DriveShownWindow(&MainWindow, 800, drive, visible); });
    dialog.DoModal();
    driver.join();
    Dialog = nullptr;
}

}  // namespace
