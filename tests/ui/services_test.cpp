// The browser launcher against registrations in a private registry (a
// stand-in browser records how it was started), and the folder checks on
// real folders.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench.h"
#include "ui/BrowserLauncher.h"
#include "ui/PathDialog.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::stringstream ss(text);
    std::string line;
    while (std::getline(ss, line)) out.push_back(line);
    return out;
}

std::string HereDir() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    *strrchr(path, '\\') = '\0';
    return path;
}

// HKCU, HKLM and HKCR of this process mapped onto empty scratch keys, so
// the launcher and the shell see only what a test registers.
class PrivateRegistry {
public:
    PrivateRegistry() {
        snprintf(base_, sizeof base_, "Software\\BrindleTests\\launcher-%lu", GetCurrentProcessId());
        RegDeleteTreeA(HKEY_CURRENT_USER, base_);
        const HKEY roots[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT};
        const char* names[] = {"hkcu", "hklm", "hkcr"};
        HKEY scratch[3] = {};
        for (int i = 0; i < 3; ++i) {
            std::string sub = std::string(base_) + "\\" + names[i];
            RegCreateKeyA(HKEY_CURRENT_USER, sub.c_str(), &scratch[i]);
        }
        for (int i = 0; i < 3; ++i) {
            RegOverridePredefKey(roots[i], scratch[i]);
            RegCloseKey(scratch[i]);
        }
    }
    ~PrivateRegistry() {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT})
            RegOverridePredefKey(root, nullptr);
        RegDeleteTreeA(HKEY_CURRENT_USER, base_);
    }
    static void SetDefault(HKEY root, const std::string& key, const std::string& value,
                           DWORD type = REG_SZ) {
        HKEY k = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(root, key.c_str(), &k));
        RegSetValueExA(k, nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(k);
    }
    static void RegisterBrowser(HKEY root, const std::string& name, const std::string& command,
                                DWORD type = REG_SZ) {
        SetDefault(root, "SOFTWARE\\Clients\\StartMenuInternet", name);
        SetDefault(root, "SOFTWARE\\Clients\\StartMenuInternet\\" + name + "\\shell\\open\\command", command,
                   type);
    }

private:
    char base_[96];
};

// The stand-in browser copied into a folder whose name has blanks.
struct FakeBrowser {
    FakeBrowser() {
        std::string scratch = bench::ScratchDir();
        CreateDirectoryA((scratch + "\\Program Files").c_str(), nullptr);
        dir = scratch + "\\Program Files\\Fake Browser";
        CreateDirectoryA(dir.c_str(), nullptr);
        exe = dir + "\\fake browser.exe";
        CopyFileA((HereDir() + "\\url_recorder.exe").c_str(), exe.c_str(), FALSE);
        log = dir + "\\cmdline.txt";
    }
    // Waits for the started process and returns its arguments (line 0: the
    // whole command line).
    std::vector<std::string> Run(HANDLE process) {
        if (!process) return {};
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 20000));
        CloseHandle(process);
        std::vector<std::string> lines = Lines(ReadFile(log));
        DeleteFileA(log.c_str());
        return lines;
    }
    std::string dir, exe, log;
};

}  // namespace

// Registered browsers: HKCU before HKLM; quoted, unquoted-with-blanks and
// expandable commands; "%1" replaced (quoted once) or the address
// appended; each time the address arrives as one argument.
TEST(BrowserLauncher, StartsTheRegisteredBrowserWithTheAddressAsOneArgument) {
    FakeBrowser fake;
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(fake.exe.c_str()));
    std::string page = fake.dir + "\\brindleurl.htm";  // a local file in a folder with blanks
    std::ofstream(page) << "<html></html>";
    PrivateRegistry reg;

    PrivateRegistry::RegisterBrowser(HKEY_LOCAL_MACHINE, "FakeBrowser.Machine",
                                     "\"" + fake.exe + "\" --machine \"%1\"");
    std::vector<std::string> args = fake.Run(OpenUrlInBrowser(page.c_str()));
    ASSERT_EQ(3u, args.size()) << (args.empty() ? "" : args[0]);
    EXPECT_EQ("--machine", args[1]);
    EXPECT_EQ(page, args[2]);

    // The user's own choice wins; an unquoted program path with blanks and
    // a bare %1 still give one argument.
    PrivateRegistry::RegisterBrowser(HKEY_CURRENT_USER, "FakeBrowser.User", fake.exe + " --user %1");
    args = fake.Run(OpenUrlInBrowser("http://127.0.0.1:8/a b?x=1&y=2"));
    ASSERT_EQ(3u, args.size()) << (args.empty() ? "" : args[0]);
    EXPECT_EQ("--user", args[1]);
    EXPECT_EQ("http://127.0.0.1:8/a b?x=1&y=2", args[2]);

    // An expandable command without a placeholder: the address is appended.
    SetEnvironmentVariableA("BRINDLE_FAKE_BROWSER_DIR", fake.dir.c_str());
    PrivateRegistry::RegisterBrowser(HKEY_CURRENT_USER, "FakeBrowser.Expand",
                                     "\"%BRINDLE_FAKE_BROWSER_DIR%\\fake browser.exe\" -nohome", REG_EXPAND_SZ);
    args = fake.Run(OpenUrlInBrowser("rtsp://media.example/live"));
    ASSERT_EQ(3u, args.size()) << (args.empty() ? "" : args[0]);
    EXPECT_EQ("-nohome", args[1]);
    EXPECT_EQ("rtsp://media.example/live", args[2]);
}

// Without a usable registration the address goes to the system's open,
// here the shell's http handler registered in the private registry; with
// none at all nothing starts. Addresses that could smuggle switches or
// that are not web addresses never reach a browser.
TEST(BrowserLauncher, FallsBackToTheShellAndRefusesBadAddresses) {
    FakeBrowser fake;
    PrivateRegistry reg;
    // A broken entry: the program does not exist.
    PrivateRegistry::RegisterBrowser(HKEY_CURRENT_USER, "Gone", "\"C:\\nowhere\\gone.exe\" \"%1\"");
    EXPECT_EQ(nullptr, OpenUrlInBrowser("http://127.0.0.1:8/help.htm")) << "no shell handler either";

    PrivateRegistry::SetDefault(HKEY_CLASSES_ROOT, "http", "URL:HyperText Transfer Protocol");
    PrivateRegistry::SetDefault(HKEY_CLASSES_ROOT, "http\\shell\\open\\command",
                                "\"" + fake.exe + "\" --shell \"%1\"");
    std::vector<std::string> args = fake.Run(OpenUrlInBrowser("http://127.0.0.1:8/help.htm"));
    ASSERT_EQ(3u, args.size()) << (args.empty() ? "" : args[0]);
    EXPECT_EQ("--shell", args[1]);
    EXPECT_EQ("http://127.0.0.1:8/help.htm", args[2]);

    PrivateRegistry::RegisterBrowser(HKEY_CURRENT_USER, "Fake", "\"" + fake.exe + "\" \"%1\"");
    const char* refused[] = {
        "http://x/\" --kiosk \"",   // a quote would end the argument
        "http://x/a\r\nb",          // control characters
        "javascript:alert(1)",      // not a web or media address
        "-new-instance",            // a switch, not an address
        "",
        "C:\\no\\such\\page.htm",  // a local file that is not there
    };
    for (const char* address : refused) {
        EXPECT_EQ(nullptr, OpenUrlInBrowser(address)) << address;
        EXPECT_FALSE(IsBrowsableAddress(address)) << address;
    }
    Sleep(200);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(fake.log.c_str())) << "nothing was started";
    EXPECT_EQ(nullptr, OpenUrlInBrowser(nullptr));
}

TEST(BrowserLauncher, CommandSplitting) {
    struct Case {
        const char* command;
        const char* address;
        const char* line;     // null: refused
        const char* program;
    } cases[] = {
        {"\"C:\\Program Files\\B\\b.exe\" -osint -url \"%1\"", "http://a/b c", "\"C:\\Program Files\\B\\b.exe\" -osint -url \"http://a/b c\"", "C:\\Program Files\\B\\b.exe"},
        {"C:\\Program Files\\B\\b.exe %1", "http://a", "\"C:\\Program Files\\B\\b.exe\" \"http://a\"", "C:\\Program Files\\B\\b.exe"},
        {"C:\\PROGRA~1\\B\\B.EXE", "http://a", "\"C:\\PROGRA~1\\B\\B.EXE\" \"http://a\"", "C:\\PROGRA~1\\B\\B.EXE"},
        {"browser -new %1 --again %1", "mms://m", "\"browser\" -new \"mms://m\" --again \"mms://m\"", "browser"},
        {"  \"C:\\x.exe\"   ", "http://a", "\"C:\\x.exe\" \"http://a\"", "C:\\x.exe"},
        {"\"C:\\unterminated.exe -x", "http://a", nullptr, nullptr},
        {"\"\" %1", "http://a", nullptr, nullptr},
        {"", "http://a", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        char line[512], program[MAX_PATH];
        bool ok = BuildBrowserCommand(c.command, c.address, line, sizeof line, program, sizeof program);
        EXPECT_EQ(c.line != nullptr, ok) << c.command;
        if (c.line && ok) {
            EXPECT_STREQ(c.line, line) << c.command;
            EXPECT_STREQ(c.program, program) << c.command;
        }
    }
    // A result that does not fit is refused rather than cut.
    char small[16];
    EXPECT_FALSE(BuildBrowserCommand("b.exe %1", "http://example.org/long", small, sizeof small));
}

// Folder checks over a table, and creation of every missing level.
TEST(FolderCheck, ValidatesAndCreates) {
    std::string p259 = "C:\\" + std::string(250, 'a') + "\\bcdefg";  // 3 + 250 + 7 = 260
    p259.pop_back();
    ASSERT_EQ(259u, p259.size());
    std::string p260 = p259 + "h";
    struct Case {
        std::string path;
        int result;
    } cases[] = {
        {"", 1}, {"C:", 1}, {"C:\\", 0}, {"c:\\Music", 0}, {"C:\\Music\\", 0}, {"C:\\Music\\\\x", 1},
        {"\\\\server\\share", 1}, {"1:\\x", 1}, {"C:/Music", 1}, {"C:\\a<b", 1}, {"C:\\a\\b>", 1},
        {"C:\\a|b", 1}, {"C:\\a?", 1}, {"C:\\a*", 1}, {"C:\\a\"b", 1}, {"C:\\a:b", 1}, {"C:\\a/b", 1},
        {"C:\\ lead", 1}, {"C:\\trail ", 1}, {"C:\\.hidden", 1}, {"C:\\dots.", 1}, {"C:\\..", 1},
        {"C:\\tab\t", 1}, {"C:\\My Music\\Live 2026", 0}, {p259, 0}, {p260, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(c.result, CPathDialog::CheckFolder(c.path.c_str(), false)) << c.path;
    EXPECT_EQ(1, CPathDialog::CheckFolder(nullptr, false));

    std::string root = bench::ScratchDir();
    std::string deep = root + "\\New Folder\\Level 2\\Level 3";
    EXPECT_EQ(0, CPathDialog::CheckFolder(deep.c_str(), true));
    DWORD attributes = GetFileAttributesA(deep.c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    // An invalid last level creates nothing at all.
    std::string bad = root + "\\Fresh\\bad<name";
    EXPECT_EQ(1, CPathDialog::CheckFolder(bad.c_str(), true));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((root + "\\Fresh").c_str()));
    // A level that is a file cannot become a folder.
    std::ofstream(root + "\\plain.txt") << "x";
    EXPECT_EQ(2, CPathDialog::CheckFolder((root + "\\plain.txt\\sub").c_str(), true));
    // A drive that is not there.
    char missing[] = "Q:\\";
    for (char d = 'Q'; d <= 'Y'; ++d) {
        missing[0] = d;
        if (GetDriveTypeA(missing) == DRIVE_NO_ROOT_DIR) break;
    }
    EXPECT_EQ(2, CPathDialog::CheckFolder(missing, true)) << missing;
    EXPECT_EQ(0, CPathDialog::CheckFolder(missing, false));
}
