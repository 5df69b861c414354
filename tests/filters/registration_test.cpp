// Self-registration of our COM DLLs, with the classes root of this process
// mapped to a scratch key so the prefix's own registration stays as it is.
#include <gtest/gtest.h>

#include <dshow.h>

#include <string>

#include "bench.h"

namespace {

std::string ReadString(HKEY root, const std::string& key, const char* value) {
    char text[MAX_PATH] = {};
    DWORD size = sizeof(text) - 1;
    if (RegGetValueA(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return "<missing>";
    return text;
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        std::string scratch = "Software\\BrindleTests\\Classes" + std::to_string(GetCurrentProcessId());
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, scratch.c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &root_, nullptr));
        scratch_ = scratch;
    }
    void TearDown() override {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        if (root_) RegCloseKey(root_);
        RegDeleteTreeA(HKEY_CURRENT_USER, scratch_.c_str());
        CoUninitialize();
    }

    // Runs an export of the DLL with the classes root redirected.
    HRESULT CallExport(const std::string& dll, const char* name, std::string* modulePath) {
        HMODULE module = LoadLibraryA(dll.c_str());
        if (!module) return HRESULT_FROM_WIN32(GetLastError());
        char path[MAX_PATH] = {};
        GetModuleFileNameA(module, path, MAX_PATH);
        if (modulePath) *modulePath = path;
        auto call = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(module, name));
        HRESULT hr = E_NOINTERFACE;
        if (call) {
            RegOverridePredefKey(HKEY_CLASSES_ROOT, root_);
            hr = call();
            RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        }
        FreeLibrary(module);
        return hr;
    }

    HKEY root_ = nullptr;
    std::string scratch_;
};

}  // namespace

TEST_F(Registration, GrabbersRegisterAsInProcessServersAndUnregister) {
    std::string dll = bench::WinPath(WAVTRANS_DLL), path;
    ASSERT_EQ(S_OK, CallExport(dll, "DllRegisterServer", &path));
    for (const char* clsid : {"{FB5E1359-2460-436E-9BF1-6F626D287183}",
                              "{71B69155-8C1A-4AF2-ACC0-E64F5E466BEF}"}) {
        std::string key = std::string("CLSID\\") + clsid;
        EXPECT_EQ("WAV Trans", ReadString(root_, key, nullptr)) << clsid;
        EXPECT_STRCASEEQ(path.c_str(), ReadString(root_, key + "\\InprocServer32", nullptr).c_str());
        EXPECT_EQ("Both", ReadString(root_, key + "\\InprocServer32", "ThreadingModel"));
    }
    ASSERT_EQ(S_OK, CallExport(dll, "DllUnregisterServer", nullptr));
    EXPECT_EQ("<missing>", ReadString(root_, "CLSID\\{FB5E1359-2460-436E-9BF1-6F626D287183}", nullptr));
}

TEST_F(Registration, ConverterIsListedInItsCategoryByName) {
    std::string dll = bench::WinPath(GRAPHFILTERS_DLL);
    ASSERT_EQ(S_OK, CallExport(dll, "DllRegisterServer", nullptr));
    const std::string instance =
        "CLSID\\{33D9A761-90C8-11D0-BD43-00A0C911CE86}\\Instance\\{58DE49C6-192E-4E7E-BB20-B63FD585B858}";
    EXPECT_EQ("PCM", ReadString(root_, instance, "FriendlyName"));
    EXPECT_EQ("Both", ReadString(root_, "CLSID\\{F8388A40-D5BB-11D0-BE5A-0080C706568E}\\InprocServer32",
                                 "ThreadingModel"));
    ASSERT_EQ(S_OK, CallExport(dll, "DllUnregisterServer", nullptr));
    EXPECT_EQ("<missing>", ReadString(root_, instance, "FriendlyName"));
}
