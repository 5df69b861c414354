// brindle.exe as a process of its own for the display tests, and the
// program's settings key in the test prefix's registry.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "bench.h"

namespace {

const char kSettingsKey[] = "Software\\Velorin\\Parameters";

inline std::string ProgramPath() {
    return bench::WinPath(bench::Env("BENCH_BUILD_DIR") + "/app/brindle.exe");
}

inline void ClearSettings() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Velorin"); }

inline void StoreDword(const char* name, DWORD value) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

// The stored value, or `missing` when there is none.
inline int64_t StoredDword(const char* name, int64_t missing = -999) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return missing;
    DWORD value = 0, size = sizeof value, type = 0;
    LONG r = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS && type == REG_DWORD ? static_cast<int32_t>(value) : missing;
}

inline void StoreText(const char* name, const std::string& text) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size()));
    RegCloseKey(key);
}

inline std::string StoredText(const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    char text[1000] = "";
    DWORD size = sizeof text - 1;
    LONG r = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS ? std::string(text, strnlen(text, size)) : "<missing>";
}

// For a main window run modally inside the test, on the driving thread:
// waits until `*window` is up and shown, lets it settle, runs `drive`, then
// closes the window with its own close command. A loaded, emulated machine
// may take many seconds to bring the window up; a driver that gave up early
// would click nothing and never close it, and the case would hang. A window
// started hidden (`visible` false) is waited for until it exists: it may be
// shown for a moment on its way to the tray, or not at all.
inline void DriveShownWindow(HWND* window, DWORD settleMs, const std::function<void()>& drive,
                             bool visible = true) {
    const DWORD begin = GetTickCount();
    auto shown = [window, visible] {
        HWND w = *static_cast<HWND volatile*>(window);
        return w && (!visible || IsWindowVisible(w));
    };
    while (!shown() && GetTickCount() - begin < 120000) Sleep(20);
    std::printf("main window shown after %lu ms\n", GetTickCount() - begin);
    if (!shown()) ADD_FAILURE() << "the main window did not show within 120 s";
    Sleep(settleMs);
    drive();
    Sleep(200);
    for (DWORD t = GetTickCount(); GetTickCount() - t < 60000; Sleep(50))
        if (HWND w = *static_cast<HWND volatile*>(window)) {
            PostMessageA(w, WM_COMMAND, 1014, 0);
            return;
        }
}

// brindle.exe as a process of its own.
class Program {
public:
    ~Program() {
        if (pi_.hProcess) {
            if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(pi_.hProcess, 99);
                WaitForSingleObject(pi_.hProcess, 5000);
            }
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
    }

    // Starts the program (brindle.exe of the build unless `program` names
    // another copy) and waits until its main window has come up.
    bool Start(const std::string& args, bool visible = true,
               const std::string& program = ProgramPath()) {
        std::string line = "\"" + program + "\" " + args;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi_))
            return false;
        return bench::PumpUntil(
            [&] {
                // The title comes near the end of the start-up.
                window = FindMainWindow();
                return window && (!visible || IsWindowVisible(window));
            },
            60000);  // an emulated start beside other tests can take half a minute
    }

    // The main window: the process's dialog titled "Brindle" (its settings
    // dialogs and message boxes are dialogs too).
    HWND FindMainWindow() const {
        Search s{pi_.dwProcessId, nullptr};
        EnumWindows(&Program::Visit, reinterpret_cast<LPARAM>(&s));
        return s.found;
    }

    // A visible dialog of the program with this title, waited for up to `ms`.
    HWND WaitForDialog(const char* title, DWORD ms = 5000) const {
        return bench::WaitForDialog(pi_.dwProcessId, title, ms);
    }

    DWORD Pid() const { return pi_.dwProcessId; }

    // The exit code, or -1 when the process is still running after `ms`.
    long WaitExit(DWORD ms) {
        DWORD start = GetTickCount();
        while (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
            if (GetTickCount() - start > ms) return -1;
            bench::Pump(20);
        }
        DWORD code = 0;
        GetExitCodeProcess(pi_.hProcess, &code);
        return static_cast<long>(code);
    }

    // Ends the process at once, as a crash or a power cut would: nothing
    // of the program runs any more.
    void Kill() {
        if (pi_.hProcess) TerminateProcess(pi_.hProcess, 9);
    }

    RECT Rect() const {
        RECT r{};
        GetWindowRect(window, &r);
        return r;
    }

    HWND window = nullptr;

private:
    struct Search {
        DWORD pid;
        HWND found;
    };
    static BOOL CALLBACK Visit(HWND w, LPARAM p) {
        auto* s = reinterpret_cast<Search*>(p);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        char cls[32] = "", title[32] = "";
        GetClassNameA(w, cls, sizeof cls);
        GetWindowTextA(w, title, sizeof title);
        if (pid == s->pid && strcmp(cls, "#32770") == 0 && strcmp(title, "Brindle") == 0) {
            s->found = w;
            return FALSE;
        }
        return TRUE;
    }
    PROCESS_INFORMATION pi_{};
};

}  // namespace
