// sablet_host: shows the control in our container, for demos and
// screenshots.
//   sablet_host [/progid] [/page URL] [/bag FILE] [/save FILE] [/at X Y]
// /progid creates it by "Sablet.Sablet2" (else by CLSID), /page gives the
// page address, /bag loads "Name=Value" lines, /save writes the control's
// bag there when the window is closed, /at places the window on the screen
// (another process's control beside a test's own).
#include <windows.h>

#include <cstdio>
#include <string>

#include "SabletHost.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    bool byProgId = false;
    std::wstring page = L"http://pages.test/rec.htm", bagFile, saveFile;
    int x = 60, y = 60;
    for (int i = 1; i < argc; ++i) {
        std::wstring a = argv[i];
        if (a == L"/progid") byProgId = true;
        else if (a == L"/page" && i + 1 < argc) page = argv[++i];
        else if (a == L"/bag" && i + 1 < argc) bagFile = argv[++i];
        else if (a == L"/save" && i + 1 < argc) saveFile = argv[++i];
        else if (a == L"/at" && i + 2 < argc) {
            x = _wtoi(argv[++i]);
            y = _wtoi(argv[++i]);
        }
    }
    LocalFree(argv);
    auto narrow = [](const std::wstring& w) {
        char text[MAX_PATH * 2] = "";
        WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, text, sizeof text, nullptr, nullptr);
        return std::string(text);
    };

    OleInitialize(nullptr);
    int code = 0;
    {
        sablethost::PropertyBag bag;
        if (!bagFile.empty() && !bag.LoadFile(narrow(bagFile))) {
            fprintf(stderr, "sablet_host: cannot read %ls\n", bagFile.c_str());
            code = 2;
        }
        sablethost::ControlHost host;
        HRESULT hr = code ? E_FAIL
                          : host.Create(byProgId ? L"Sablet.Sablet2" : sablethost::kSabletClsid,
                                        page.c_str(), bagFile.empty() ? nullptr : &bag, nullptr,
                                        x, y);
        if (!code && FAILED(hr)) {
            fprintf(stderr, "sablet_host: the control could not be shown (0x%08lX)\n",
                    static_cast<unsigned long>(hr));
            code = 1;
        }
        MSG msg;
        while (!code && IsWindowVisible(host.Window()) && GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (!code && !saveFile.empty()) {
            sablethost::PropertyBag saved;
            if (FAILED(host.SaveToBag(&saved)) || !saved.SaveFile(narrow(saveFile))) code = 3;
        }
    }
    OleUninitialize();
    return code;
}
