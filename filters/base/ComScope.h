// COM for the length of one call (registration, say), whatever the caller
// (regsvr32, a test) set up on its thread: when COM is already initialised
// in another model the call runs in that one.
#pragma once

#include <objbase.h>

namespace filterbase {

class ComScope {
public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT hr_;
};

}  // namespace filterbase
