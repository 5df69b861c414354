#include "tests/sharing/service_standin.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace sharing_test {

namespace {

const char kInternetSettings[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

std::string Quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

}  // namespace

void IsolateUserRegistry() {
    static bool done = false;
    if (done) return;
    done = true;
    char name[128];
    snprintf(name, sizeof name, "Software\\BrindleTests\\sharing-%lu", GetCurrentProcessId());
    RegDeleteTreeA(HKEY_CURRENT_USER, name);
    HKEY scratch = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, name, &scratch) == ERROR_SUCCESS) {
        RegOverridePredefKey(HKEY_CURRENT_USER, scratch);
        RegCloseKey(scratch);
    }
}

void SetProxy(int port) {
    IsolateUserRegistry();
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, kInternetSettings, &key) != ERROR_SUCCESS) return;
    DWORD enable = port > 0 ? 1 : 0;
    RegSetValueExA(key, "ProxyEnable", 0, REG_DWORD, reinterpret_cast<BYTE*>(&enable), sizeof enable);
    char server[64];
    snprintf(server, sizeof server, "127.0.0.1:%d", port);
    RegSetValueExA(key, "ProxyServer", 0, REG_SZ, reinterpret_cast<BYTE*>(server),
                   static_cast<DWORD>(strlen(server) + 1));
    RegCloseKey(key);
}

ServiceStandIn::ServiceStandIn(const std::string& args, const std::string& site) : site_(site) {
    static int instance = 0;
    state_ = bench::ArtifactDir() + "\\standin-" + std::to_string(++instance);
    std::string unixState = bench::UnixPath(state_);
    bench::Host("rm -rf " + Quote(unixState) + " && mkdir -p " + Quote(unixState));
    std::string script = bench::Env("BENCH_SOURCE_DIR") + "/tools/sharing-service/sharing_service.py";
    process_ = std::make_unique<bench::HostProcess>(
        "exec python3 " + Quote(script) + " --state " + Quote(unixState) + " --site " + Quote(site) +
        " " + args + " 2>" + Quote(unixState + "/service.log"));
    std::string portFile = state_ + "\\port";
    bench::PumpUntil([&] { return GetFileAttributesA(portFile.c_str()) != INVALID_FILE_ATTRIBUTES; },
                     15000);
    port_ = atoi(ReadFileBytes(portFile).c_str());
    if (port_ > 0) SetProxy(port_);
}

ServiceStandIn::~ServiceStandIn() {
    process_.reset();
    SetProxy(0);
}

std::vector<LoggedRequest> ServiceStandIn::Requests() const {
    std::vector<LoggedRequest> out;
    std::istringstream lines(ReadFileBytes(state_ + "\\requests.txt"));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        LoggedRequest r;
        if (fields >> r.n >> r.endpoint >> r.host >> r.path >> r.stored) out.push_back(r);
    }
    return out;
}

std::vector<LoggedRequest> ServiceStandIn::Requests(const std::string& endpoint) const {
    std::vector<LoggedRequest> out;
    for (const LoggedRequest& r : Requests())
        if (r.endpoint == endpoint) out.push_back(r);
    return out;
}

std::string ServiceStandIn::Body(int n) const {
    return ReadFileBytes(state_ + "\\req-" + std::to_string(n) + ".body");
}

std::string ServiceStandIn::Head(int n) const {
    return ReadFileBytes(state_ + "\\req-" + std::to_string(n) + ".head");
}

std::string ServiceStandIn::Header(int n, const std::string& name) const {
    std::string head = Head(n);
    std::string want = name + ": ";
    size_t at = 0;
    while ((at = head.find("\r\n", at)) != std::string::npos) {
        at += 2;
        if (_strnicmp(head.c_str() + at, want.c_str(), want.size()) == 0) {
            size_t end = head.find("\r\n", at);
            return head.substr(at + want.size(), end - at - want.size());
        }
    }
    return "";
}

std::string ServiceStandIn::StoredFile(const std::string& relative) const {
    std::string win = relative;
    for (char& c : win)
        if (c == '/') c = '\\';
    return ReadFileBytes(state_ + "\\" + win);
}

std::string ReadFileBytes(const std::string& winPath) {
    std::ifstream f(winPath, std::ios::binary);
    if (!f) return "";
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

bool WriteFileBytes(const std::string& winPath, const std::string& bytes) {
    std::ofstream f(winPath, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

}  // namespace sharing_test
