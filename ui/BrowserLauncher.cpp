#include "ui/BrowserLauncher.h"

#include <shellapi.h>

#include <cctype>
#include <cstring>
#include <string>

#include "framework/RegKey.h"
#include "framework/SafeString.h"

namespace {

constexpr size_t kCommandMax = 2048;  // a browser command line, NUL included
const char kClientsKey[] = "SOFTWARE\\Clients\\StartMenuInternet";

bool HasScheme(const char* address, const char* scheme) {
    size_t n = strlen(scheme);
    return _strnicmp(address, scheme, n) == 0 && address[n] == ':';
}

// The default value of root\subKey, terminated and expanded when stored as
// REG_EXPAND_SZ. False when missing, empty or cut.
bool ReadDefault(HKEY root, const char* subKey, char* out, DWORD capacity) {
    out[0] = '\0';
    RegKey key;
    if (key.Open(root, subKey, KEY_READ) != ERROR_SUCCESS) return false;
    char raw[256];
    if (key.QueryString(nullptr, raw, sizeof raw) != ERROR_SUCCESS || !raw[0]) return false;
    DWORD type = REG_SZ;
    RegQueryValueExA(key.Get(), nullptr, nullptr, &type, nullptr, nullptr);
    if (type != REG_EXPAND_SZ) return SafeCopy(out, capacity, raw);
    DWORD n = ExpandEnvironmentStringsA(raw, out, capacity);
    if (n == 0 || n > capacity) {
        out[0] = '\0';
        return false;
    }
    return out[0] != '\0';
}

bool ProgramExists(const std::string& program) {
    if (program.find_first_of("\\/:") != std::string::npos) {
        DWORD attributes = GetFileAttributesA(program.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    char found[MAX_PATH];
    return SearchPathA(nullptr, program.c_str(), ".exe", sizeof found, found, nullptr) > 0;
}

HANDLE StartCommand(const char* command) {
    char line[kCommandMax];
    if (!SafeCopy(line, command)) return nullptr;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

HANDLE StartRegistered(HKEY root, const char* address) {
    char name[256];
    if (!ReadDefault(root, kClientsKey, name, sizeof name)) return nullptr;
    char subKey[512];
    if (!SafeFormat(subKey, "%s\\%s\\shell\\open\\command", kClientsKey, name)) return nullptr;
    char command[kCommandMax];
    if (!ReadDefault(root, subKey, command, sizeof command)) return nullptr;
    char line[kCommandMax], program[MAX_PATH];
    if (!BuildBrowserCommand(command, address, line, sizeof line, program, sizeof program)) return nullptr;
    if (!ProgramExists(program)) return nullptr;
    return StartCommand(line);
}

}  // namespace

bool IsBrowsableAddress(const char* address) {
    if (!address || !address[0] || strlen(address) >= kCommandMax / 2) return false;
    for (const char* p = address; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c < 0x20 || c == 0x7f || c == '"') return false;
    }
    for (const char* scheme : {"http", "https", "file", "mms", "rtsp"})
        if (HasScheme(address, scheme)) return true;
    // A local file: a drive path or a UNC path that exists.
    bool local = (isalpha(static_cast<unsigned char>(address[0])) && address[1] == ':') ||
                 (address[0] == '\\' && address[1] == '\\');
    if (!local) return false;
    DWORD attributes = GetFileAttributesA(address);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool BuildBrowserCommand(const char* command, const char* address, char* out, size_t capacity,
                         char* programOut, size_t programCapacity) {
    if (out && capacity) out[0] = '\0';
    if (programOut && programCapacity) programOut[0] = '\0';
    if (!command || !address || !out || capacity == 0) return false;
    const char* p = command;
    while (*p == ' ' || *p == '\t') ++p;
    std::string program;
    if (*p == '"') {
        const char* end = strchr(p + 1, '"');
        if (!end) return false;
        program.assign(p + 1, end);
        p = end + 1;
    } else {
        // Unquoted: the program ends after the first ".exe" that ends a
        // word (so "C:\Program Files\b\b.exe -x" keeps its blanks), else at
        // the first blank.
        const char* end = nullptr;
        std::string lower(p);
        for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        for (size_t at = lower.find(".exe"); at != std::string::npos; at = lower.find(".exe", at + 1)) {
            char after = lower[at + 4];
            if (after == '\0' || after == ' ' || after == '\t') {
                end = p + at + 4;
                break;
            }
        }
        if (!end) {
            end = p;
            while (*end && *end != ' ' && *end != '\t') ++end;
        }
        program.assign(p, end);
        p = end;
    }
    while (!program.empty() && (program.back() == ' ' || program.back() == '\t')) program.pop_back();
    if (program.empty()) return false;

    std::string args(p), line = "\"" + program + "\"";
    bool placed = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == '%' && i + 1 < args.size() && args[i + 1] == '1') {
            bool quoted = i > 0 && args[i - 1] == '"' && i + 2 < args.size() && args[i + 2] == '"';
            line += quoted ? std::string(address) : "\"" + std::string(address) + "\"";
            placed = true;
            ++i;
        } else {
            line += args[i];
        }
    }
    if (!placed) {
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
        line += " \"" + std::string(address) + "\"";
    }
    if (programOut && programCapacity && !SafeCopy(programOut, programCapacity, program.c_str())) return false;
    return SafeCopy(out, capacity, line.c_str());
}

HANDLE OpenUrlInBrowser(const char* address) {
    if (!IsBrowsableAddress(address)) return nullptr;
    // The user's own choice first (the per-user key since Vista), then the
    // machine's.
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        if (HANDLE process = StartRegistered(root, address)) return process;
    // No usable registration: the system's open of the address.
    SHELLEXECUTEINFOA sei{};
    sei.cbSize = sizeof sei;
    sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    sei.lpVerb = "open";
    sei.lpFile = address;
    sei.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&sei)) return nullptr;
    return sei.hProcess;
}
