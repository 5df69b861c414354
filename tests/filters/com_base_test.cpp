// The COM layer every DLL of ours stands on: the class factory's
// aggregation rule, the module lock, the module thread, and registry
// scripts written into a scratch classes root.
#include <gtest/gtest.h>

#include <string>

#include "filters/base/ClassFactory.h"
#include "filters/base/Module.h"
#include "filters/base/RegistryScript.h"
#include "framework/ComPtr.h"

using filterbase::RegScriptKey;

namespace {

IUnknown* lastOuter = nullptr;

// Creates a stand-in object: a fresh IUnknown of the system (a stream).
HRESULT CreateRecorded(IUnknown* outer, IUnknown** object) {
    lastOuter = outer;
    return CreateStreamOnHGlobal(nullptr, TRUE, reinterpret_cast<IStream**>(object));
}

DWORD WINAPI WaitForRelease(void* event) {
    return WaitForSingleObject(event, 10000) == WAIT_OBJECT_0 ? 7 : 1;
}

std::string Read(HKEY root, const char* key, const char* value = nullptr) {
    char text[MAX_PATH] = {};
    DWORD size = sizeof(text) - 1;
    if (RegGetValueA(root, key, value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return "<missing>";
    return text;
}

}  // namespace

TEST(ComLayer, FactoryTakesAnOuterUnknownOnlyForIUnknownAndHoldsTheModule) {
    ASSERT_FALSE(filterbase::ModuleInUse());
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, filterbase::GetClassObject(CreateRecorded, IID_IClassFactory,
                                               reinterpret_cast<void**>(factory.GetAddressOf())));
    EXPECT_TRUE(filterbase::ModuleInUse());

    IUnknown* outer = reinterpret_cast<IUnknown*>(0x1000);  // never called
    void* out = reinterpret_cast<void*>(1);
    lastOuter = nullptr;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer, IID_IStream, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(nullptr, lastOuter) << "the creator must not run";

    ComPtr<IUnknown> object;
    ASSERT_EQ(S_OK, factory->CreateInstance(outer, IID_IUnknown,
                                            reinterpret_cast<void**>(object.GetAddressOf())));
    EXPECT_EQ(outer, lastOuter);
    object.Reset();

    factory->LockServer(TRUE);
    factory.Reset();
    EXPECT_TRUE(filterbase::ModuleInUse());
    filterbase::UnlockModule();
    EXPECT_FALSE(filterbase::ModuleInUse());
}

TEST(ComLayer, ModuleThreadHoldsTheModuleUntilItsWorkReturns) {
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = filterbase::StartModuleThread(WaitForRelease, release);
    ASSERT_NE(nullptr, thread);
    EXPECT_TRUE(filterbase::ModuleInUse());
    SetEvent(release);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 10000));
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(7u, code);
    EXPECT_FALSE(filterbase::ModuleInUse());
    CloseHandle(thread);
    CloseHandle(release);
}

TEST(ComLayer, ScriptReplacesForcedKeysAndRemovesAllButSharedOnes) {
    HKEY root = nullptr;
    std::string scratch = "Software\\BrindleTests\\Script" + std::to_string(GetCurrentProcessId());
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, scratch.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &root, nullptr));
    const RegScriptKey script[] = {
        {0, L"Test.Prog", L"Test Class", 0, nullptr, nullptr},
        {1, L"CurVer", L"Test.Prog.1", 0, nullptr, nullptr},
        {0, L"CLSID", nullptr, filterbase::RegNoRemove, nullptr, nullptr},
        {1, L"{X}", L"Test Class", filterbase::RegForceRemove, nullptr, nullptr},
        {2, L"InprocServer32", L"%MODULE%", 0, L"ThreadingModel", L"Apartment"},
        {2, L"ToolboxBitmap32", L"%MODULE%, 102", 0, nullptr, nullptr},
        {0, L"Other", L"after", 0, nullptr, nullptr},
    };
    RegOverridePredefKey(HKEY_CLASSES_ROOT, root);
    RegSetKeyValueA(root, "CLSID\\{X}\\Stale", nullptr, REG_SZ, "old", 4);
    RegSetKeyValueA(root, "CLSID\\{Y}", nullptr, REG_SZ, "neighbour", 10);
    HRESULT first = filterbase::RegisterScript(script, L"Z:\\m.dll");
    HRESULT second = filterbase::RegisterScript(script, L"Z:\\m.dll");
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    EXPECT_EQ(S_OK, first);
    EXPECT_EQ(S_OK, second);
    EXPECT_EQ("Test.Prog.1", Read(root, "Test.Prog\\CurVer"));
    EXPECT_EQ("Z:\\m.dll", Read(root, "CLSID\\{X}\\InprocServer32"));
    EXPECT_EQ("Apartment", Read(root, "CLSID\\{X}\\InprocServer32", "ThreadingModel"));
    EXPECT_EQ("Z:\\m.dll, 102", Read(root, "CLSID\\{X}\\ToolboxBitmap32"));
    EXPECT_EQ("<missing>", Read(root, "CLSID\\{X}\\Stale")) << "a forced key is replaced whole";
    EXPECT_EQ("after", Read(root, "Other"));

    RegOverridePredefKey(HKEY_CLASSES_ROOT, root);
    HRESULT removed = filterbase::UnregisterScript(script);
    HRESULT again = filterbase::UnregisterScript(script);
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    EXPECT_EQ(S_OK, removed);
    EXPECT_EQ(S_OK, again) << "keys already gone are no failure";
    EXPECT_EQ("<missing>", Read(root, "Test.Prog"));
    EXPECT_EQ("<missing>", Read(root, "CLSID\\{X}"));
    EXPECT_EQ("<missing>", Read(root, "Other"));
    EXPECT_EQ("neighbour", Read(root, "CLSID\\{Y}")) << "the shared key stays";

    // A root deleted under its open handle refuses every write.
    RegDeleteTreeA(HKEY_CURRENT_USER, scratch.c_str());
    RegOverridePredefKey(HKEY_CLASSES_ROOT, root);
    HRESULT refused = filterbase::RegisterScript(script, L"Z:\\m.dll");
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    EXPECT_TRUE(FAILED(refused)) << std::hex << refused;
    RegCloseKey(root);
}
