// The local sharing-service stand-in (tools/sharing-service) as the tests
// use it: started on a free loopback port, reached through WinInet's proxy
// setting in this process's own HKCU, and read back through its log.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/bench.h"

namespace sharing_test {

// Maps HKCU of this process to a fresh scratch key, so proxy settings and
// anything the code under test writes stay inside the test.
void IsolateUserRegistry();
// Points WinInet's proxy at 127.0.0.1:port (in the isolated HKCU); 0 turns
// the proxy off.
void SetProxy(int port);

struct LoggedRequest {
    int n = 0;
    std::string endpoint, host, path, stored;
};

class ServiceStandIn {
public:
    // `args`: extra options of sharing_service.py. `site` becomes the
    // upload host the host information names.
    explicit ServiceStandIn(const std::string& args, const std::string& site);
    ~ServiceStandIn();
    bool Ok() const { return port_ > 0; }
    int Port() const { return port_; }
    const std::string& Site() const { return site_; }
    // Windows path of the state folder.
    const std::string& State() const { return state_; }

    std::vector<LoggedRequest> Requests() const;
    std::vector<LoggedRequest> Requests(const std::string& endpoint) const;
    std::string Body(int n) const;
    std::string Head(int n) const;
    // A header's value from a logged request head ("" when missing).
    std::string Header(int n, const std::string& name) const;
    std::string StoredFile(const std::string& relative) const;

private:
    std::unique_ptr<bench::HostProcess> process_;
    std::string state_, site_;
    int port_ = 0;
};

// Whole file as bytes ("" when it cannot be read).
std::string ReadFileBytes(const std::string& winPath);
bool WriteFileBytes(const std::string& winPath, const std::string& bytes);

}  // namespace sharing_test
