// Sablet.dll as a page uses it, in our container: registration, the 22
// properties through IDispatch, persistence, lifetime, the Config dialog
// and the property page. This program has no encoder library beside it, so
// MP3 is available only to a copy of the DLL with the encoder beside it.
#include <gtest/gtest.h>

#include <olectl.h>

#include <string>
#include <thread>
#include <vector>

#include "SabletHost.h"
#include "bench.h"
#include "control/Sablet_h.h"
#include "control/resource.h"

using sablethost::ControlHost;
using sablethost::PropertyBag;

namespace {

std::string ReadKey(HKEY root, const std::string& key, const char* value = nullptr) {
    char text[MAX_PATH] = {};
    DWORD size = sizeof(text) - 1;
    if (RegGetValueA(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return "<missing>";
    return text;
}

class Sablet : public ::testing::Test {
protected:
    void SetUp() override { OleInitialize(nullptr); }
    void TearDown() override {
        if (HasFailure()) bench::Screenshot("failure");
        host.Destroy();
        OleUninitialize();
    }
    void Show(const wchar_t* how = sablethost::kSabletClsid, IPropertyBag* bag = nullptr,
              IStream* stream = nullptr, const wchar_t* page = L"http://pages.test/rec.htm") {
        ASSERT_EQ(S_OK, host.Create(how, page, bag, stream));
        bench::Pump(200);
    }
    ControlHost host;
};

const std::wstring kMiB(1 << 20, L'x');

}  // namespace

TEST(SabletRegistration, WritesBothScriptsTwiceRemovesThemAndReportsARootItCannotWrite) {
    OleInitialize(nullptr);
    std::string scratch = "Software\\BrindleTests\\Sablet" + std::to_string(GetCurrentProcessId());
    HKEY root = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, scratch.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &root, nullptr));
    HMODULE dll = LoadLibraryA(bench::WinPath(SABLET_DLL).c_str());
    ASSERT_NE(nullptr, dll);
    auto reg = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(dll, "DllRegisterServer"));
    auto unreg = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(dll, "DllUnregisterServer"));
    auto run = [&](HRESULT(STDAPICALLTYPE * call)()) {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, root);
        HRESULT hr = call();
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        return hr;
    };
    char path[MAX_PATH] = {};
    GetModuleFileNameA(dll, path, MAX_PATH);
    const std::string control = "CLSID\\{848B4094-6C23-4EC7-ACD7-8A7F0A4050BA}";
    const std::string page = "CLSID\\{A28E791F-113C-480F-83F6-4DC9515EDE9D}";

    RegSetKeyValueA(root, (control + "\\Stale").c_str(), nullptr, REG_SZ, "x", 2);
    EXPECT_EQ(S_OK, run(reg));
    EXPECT_EQ(S_OK, run(reg));
    EXPECT_EQ("Sablet2 Class", ReadKey(root, "Sablet.Sablet2"));
    EXPECT_EQ("Sablet.Sablet2.1", ReadKey(root, "Sablet.Sablet2\\CurVer"));
    EXPECT_EQ("{848B4094-6C23-4EC7-ACD7-8A7F0A4050BA}", ReadKey(root, "Sablet.Sablet2.1\\CLSID"));
    EXPECT_EQ("Sablet.SabletProp.1", ReadKey(root, "Sablet.SabletProp\\CurVer"));
    EXPECT_STRCASEEQ(path, ReadKey(root, control + "\\InprocServer32").c_str());
    EXPECT_EQ("Apartment", ReadKey(root, control + "\\InprocServer32", "ThreadingModel"));
    EXPECT_EQ("131473", ReadKey(root, control + "\\MiscStatus\\1"));
    EXPECT_EQ(std::string(path) + ", 102", ReadKey(root, control + "\\ToolboxBitmap32"));
    EXPECT_EQ("{98C75098-99BA-453D-9BD9-E98A27AA41B2}", ReadKey(root, control + "\\TypeLib"));
    EXPECT_EQ("Sablet.Sablet2", ReadKey(root, control + "\\VersionIndependentProgID"));
    EXPECT_EQ("Apartment", ReadKey(root, page + "\\InprocServer32", "ThreadingModel"));
    EXPECT_EQ("<missing>", ReadKey(root, control + "\\Stale")) << "the class key is replaced whole";
    EXPECT_NE("<missing>", ReadKey(root, "TypeLib\\{98C75098-99BA-453D-9BD9-E98A27AA41B2}\\1.0"));

    EXPECT_EQ(S_OK, run(unreg));
    for (const std::string& key : {control, page, std::string("Sablet.Sablet2"),
                                   std::string("Sablet.Sablet2.1"), std::string("Sablet.SabletProp"),
                                   std::string("Sablet.SabletProp.1")})
        EXPECT_EQ("<missing>", ReadKey(root, key)) << key;

    // A classes root deleted under its open handle takes no writes.
    RegDeleteTreeA(HKEY_CURRENT_USER, scratch.c_str());
    EXPECT_EQ(SELFREG_E_CLASS, run(reg));
    RegCloseKey(root);
    FreeLibrary(dll);
    OleUninitialize();
}

// One row per put: the value, what the put answers, what a read gives then.
struct PutRow {
    const wchar_t* name;
    VARTYPE type;
    long number;
    std::wstring text;
    bool nullText;
    HRESULT result;
    std::wstring expect;
};

TEST_F(Sablet, PropertiesThroughDispatchFollowTheirRules) {
    Show();
    bench::Screenshot("active");
    ASSERT_NE(nullptr, host.ControlWindow());
    EXPECT_TRUE(IsWindowVisible(host.ControlWindow()));
    const std::wstring a300(300, L'a'), a600(600, L'b'), a200(200, L'c');
    const PutRow rows[] = {
        {L"FileName", VT_BSTR, 0, L"take.mp3", false, S_OK, L"take.mp3"},
        {L"FileName", VT_BSTR, 0, a300, false, S_OK, a300.substr(0, 255)},
        {L"FileName", VT_BSTR, 0, kMiB, false, S_OK, kMiB.substr(0, 255)},
        {L"FileName", VT_BSTR, 0, L"", true, S_OK, L""},
        {L"Location", VT_BSTR, 0, a600, false, S_OK, a600.substr(0, 500)},
        {L"Location", VT_BSTR, 0, kMiB, false, S_OK, kMiB.substr(0, 500)},
        {L"UseMP3", VT_I4, 1, L"", false, S_OK, L"0"},  // no encoder library here
        {L"Frequency", VT_I4, 8000, L"", false, S_OK, L"8000"},
        {L"Frequency", VT_I4, 44100, L"", false, DISP_E_OVERFLOW, L"8000"},
        {L"Frequency", VT_BSTR, 0, L"abc", false, DISP_E_TYPEMISMATCH, L"8000"},
        {L"SampleBit", VT_I4, 8, L"", false, S_OK, L"8"},
        {L"SampleBit", VT_I4, 24, L"", false, S_OK, L"8"},
        {L"Channel", VT_I4, 1, L"", false, S_OK, L"1"},
        {L"Channel", VT_I4, 0, L"", false, S_OK, L"2"},
        {L"Channel", VT_I4, 3, L"", false, S_OK, L"2"},
        {L"MP3Bitrate", VT_I4, 128, L"", false, S_OK, L"128"},
        {L"MP3Bitrate", VT_I4, 100, L"", false, S_OK, L"128"},
        {L"SampleRate", VT_I4, 70000, L"", false, S_OK, L"70000"},
        {L"Frequency", VT_EMPTY, 0, L"", false, S_OK, L"4464"},  // read only: the low 16 bits
        {L"SampleRate", VT_I4, -5, L"", false, S_OK, L"-5"},
        {L"UploadURL", VT_BSTR, 0, L"http://up.test/x", false, S_OK, L"http://up.test/x"},
        {L"UploadURL", VT_BSTR, 0, L"", true, S_OK, L""},
        {L"SampleFrequency", VT_I4, 44100, L"", false, S_OK, L"44100"},
        {L"SampleFrequency", VT_I4, 12345, L"", false, S_OK, L"16000"},
        {L"Frequency", VT_EMPTY, 0, L"", false, S_OK, L"16000"},
        {L"PubID", VT_I4, 77, L"", false, S_OK, L"77"},
        {L"AllowParaChange", VT_I4, 0, L"", false, S_OK, L"0"},
        {L"AdChannelID", VT_I4, 5, L"", false, S_OK, L"5"},
        {L"Domain", VT_BSTR, 0, L"d.test", false, S_OK, L"d.test"},
        {L"Resize", VT_I4, 1, L"", false, S_OK, L"1"},
        {L"MenuBar", VT_I4, 0, L"", false, S_OK, L"0"},
        {L"AddressBar", VT_I4, 0, L"", false, S_OK, L"0"},
        {L"ToolBar", VT_I4, 0, L"", false, S_OK, L"0"},
        {L"Align", VT_I4, 0, L"", false, S_OK, L"0"},
        {L"NewWindow", VT_I4, 0, L"", false, S_OK, L"0"},
        {L"TopOffset", VT_I4, 20, L"", false, S_OK, L"20"},
        {L"EmbedTag", VT_BSTR, 0, a200, false, S_OK, a200.substr(0, 127)},
        {L"EmbedTag", VT_BSTR, 0, kMiB, false, S_OK, kMiB.substr(0, 127)},
    };
    for (const PutRow& row : rows) {
        if (row.type != VT_EMPTY) {
            VARIANT v;
            VariantInit(&v);
            v.vt = row.type;
            if (row.type == VT_BSTR)
                v.bstrVal = row.nullText ? nullptr : SysAllocStringLen(row.text.data(), row.text.size());
            else
                v.lVal = row.number;
            EXPECT_EQ(row.result, host.Put(row.name, v)) << row.name;
            VariantClear(&v);
        }
        std::wstring got = host.GetText(row.name);
        EXPECT_TRUE(got == row.expect) << row.name << ": " << got.size() << " characters";
    }
    // A 1 MiB UploadURL is a copy of the whole string.
    EXPECT_EQ(S_OK, host.PutText(L"UploadURL", kMiB.c_str()));
    EXPECT_EQ(kMiB.size(), host.GetText(L"UploadURL").size());
    // VBScript reads with the method and get flags together.
    VARIANT v;
    ASSERT_EQ(S_OK, host.Get(L"TopOffset", &v, DISPATCH_METHOD | DISPATCH_PROPERTYGET));
    EXPECT_EQ(20, v.iVal);
}

TEST_F(Sablet, SavedThroughBagAndStreamAndLoadedByNewInstances) {
    PropertyBag page;
    page.Set(L"Option", L"first take");
    page.Set(L"Frequency", L"44100");
    page.Set(L"SampleBit", L"8");
    page.Set(L"Channel", L"1");
    page.Set(L"EmbedTag", std::wstring(1 << 20, L'e'));
    page.Set(L"Location", L"");
    page.Set(L"PubID", L"abc");  // no number: the default stays
    Show(L"Sablet.Sablet2", &page);
    EXPECT_EQ(L"first take", host.GetText(L"FileName"));
    EXPECT_EQ(L"44100", host.GetText(L"SampleFrequency"));
    EXPECT_EQ(L"8", host.GetText(L"SampleBit"));
    EXPECT_EQ(L"0", host.GetText(L"PubID"));
    EXPECT_EQ(127u, host.GetText(L"EmbedTag").size());
    host.PutLong(L"TopOffset", 33);

    PropertyBag saved;
    ASSERT_EQ(S_OK, host.SaveToBag(&saved));
    EXPECT_EQ(L"first take", saved.Get(L"Option"));
    EXPECT_EQ(L"44100", saved.Get(L"Frequency"));
    EXPECT_TRUE(saved.Has(L"_cx") && saved.Has(L"_cy"));
    EXPECT_FALSE(saved.Has(L"UploadURL") || saved.Has(L"SampleRate") || saved.Has(L"Domain"));
    IStream* raw = nullptr;
    ASSERT_EQ(S_OK, host.SaveToStream(&raw));
    ComPtr<IStream> stream;
    *stream.GetAddressOf() = raw;

    Show(sablethost::kSabletClsid, &saved);
    EXPECT_EQ(L"33", host.GetText(L"TopOffset"));
    EXPECT_EQ(L"1", host.GetText(L"Channel"));

    Show(sablethost::kSabletClsid, nullptr, stream.Get());
    EXPECT_EQ(L"first take", host.GetText(L"FileName"));
    EXPECT_EQ(L"33", host.GetText(L"TopOffset"));
    EXPECT_EQ(L"44100", host.GetText(L"SampleFrequency"));

    // A stream cut short, or one of another layout, loads nothing.
    STATSTG stat = {};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::vector<BYTE> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER start = {};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ULONG got = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &got);
    ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(S_OK, host.Control()->QueryInterface(IID_IPersistStreamInit,
                                                   reinterpret_cast<void**>(persist.GetAddressOf())));
    host.PutLong(L"TopOffset", 5);
    for (size_t cut : {size_t(0), size_t(1), bytes.size() / 2, bytes.size() - 1}) {
        ComPtr<IStream> shortStream;
        CreateStreamOnHGlobal(nullptr, TRUE, shortStream.GetAddressOf());
        shortStream->Write(bytes.data(), static_cast<ULONG>(cut), nullptr);
        shortStream->Seek(start, STREAM_SEEK_SET, nullptr);
        EXPECT_TRUE(FAILED(persist->Load(shortStream.Get()))) << cut;
    }
    std::vector<BYTE> corrupt = bytes;
    corrupt[0] = 0x7F;  // another version
    ComPtr<IStream> bad;
    CreateStreamOnHGlobal(nullptr, TRUE, bad.GetAddressOf());
    bad->Write(corrupt.data(), static_cast<ULONG>(corrupt.size()), nullptr);
    bad->Seek(start, STREAM_SEEK_SET, nullptr);
    EXPECT_TRUE(FAILED(persist->Load(bad.Get())));
    EXPECT_EQ(L"5", host.GetText(L"TopOffset")) << "a failed load keeps the values";
}

TEST_F(Sablet, HostilePageAddressesAndValuesNeitherOverrunNorCrash) {
    std::wstring longHost = L"http://" + std::wstring(2000, L'h');
    PropertyBag page;
    page.Set(L"Frequency", L"abc");
    page.Set(L"Option", kMiB);
    page.Set(L"Location", kMiB);
    Show(sablethost::kSabletClsid, &page, nullptr, longHost.c_str());
    EXPECT_EQ(L"12000", host.GetText(L"SampleFrequency"));
    EXPECT_EQ(255u, host.GetText(L"FileName").size());
    EXPECT_EQ(500u, host.GetText(L"Location").size());
    std::wstring query = L"http://h?q=" + std::wstring(3000, L'q');
    Show(sablethost::kSabletClsid, nullptr, nullptr, query.c_str());
    EXPECT_EQ(L"12000", host.GetText(L"SampleRate"));

    // A page's PARAMs meet the rules script's puts meet: ignored, clamped
    // or replaced alike. A rate no recording can have is kept, as script's
    // Frequency keeps it, for Record to refuse instead of recording at
    // another rate.
    const struct { const wchar_t *param, *value, *property, *expect; } params[] = {
        {L"Frequency", L"-1", L"SampleRate", L"-1"},
        {L"Frequency", L"70000", L"SampleRate", L"70000"},
        {L"Frequency", L"12345", L"SampleRate", L"16000"},
        {L"SampleBit", L"24", L"SampleBit", L"16"},
        {L"SampleBit", L"70000", L"SampleBit", L"16"},
        {L"Channel", L"0", L"Channel", L"2"},
        {L"MP3Bitrate", L"100", L"MP3Bitrate", L"32"},
        {L"UseMP3", L"5", L"UseMP3", L"0"},  // no encoder library here
    };
    for (const auto& p : params) {
        PropertyBag bag;
        bag.Set(p.param, p.value);
        Show(sablethost::kSabletClsid, &bag);
        EXPECT_EQ(p.expect, host.GetText(p.property)) << p.param << "=" << p.value;
    }
    // The same from a stream: the value is kept through a save and a load.
    ASSERT_EQ(S_OK, host.PutLong(L"SampleRate", -1));
    IStream* raw = nullptr;
    ASSERT_EQ(S_OK, host.SaveToStream(&raw));
    ComPtr<IStream> stream;
    *stream.GetAddressOf() = raw;
    Show(sablethost::kSabletClsid, nullptr, stream.Get());
    EXPECT_EQ(L"-1", host.GetText(L"SampleRate"));
}

TEST_F(Sablet, DllStaysWhileAControlOrALockLivesAndReloadsAfterUnload) {
    Show();
    ControlHost second;
    ASSERT_EQ(S_OK, second.Create(L"Sablet.Sablet2", L"http://pages.test/two.htm", nullptr, nullptr,
                                  60, 320));
    HMODULE dll = GetModuleHandleA("Sablet.dll");
    ASSERT_NE(nullptr, dll);
    auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(dll, "DllCanUnloadNow"));
    EXPECT_EQ(S_FALSE, canUnload());
    host.PutLong(L"PubID", 1);
    second.PutLong(L"PubID", 2);
    EXPECT_EQ(L"1", host.GetText(L"PubID"));
    EXPECT_EQ(L"2", second.GetText(L"PubID"));

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, CoGetClassObject(CLSID_Sablet2, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                     reinterpret_cast<void**>(factory.GetAddressOf())));
    factory->LockServer(TRUE);
    factory.Reset();
    host.Destroy();
    second.Destroy();
    EXPECT_EQ(S_FALSE, canUnload()) << "the server lock";
    ASSERT_EQ(S_OK, CoGetClassObject(CLSID_Sablet2, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                     reinterpret_cast<void**>(factory.GetAddressOf())));
    factory->LockServer(FALSE);
    factory.Reset();
    // The controls' host-information workers hold the DLL until they end.
    EXPECT_TRUE(bench::PumpUntil([&] { return canUnload() == S_OK; }, 90000));

    CoFreeUnusedLibraries();
    bench::Pump(100);
    EXPECT_EQ(nullptr, GetModuleHandleA("Sablet.dll")) << "unloaded";
    Show(L"Sablet.Sablet2");
    EXPECT_EQ(L"12000", host.GetText(L"SampleRate"));
    bench::Screenshot("reloaded");
}

namespace {

// Waits for the modal dialog on another thread, looks at it, and ends it.
struct ConfigDriver {
    int selections[4] = {-2, -2, -2, -2};  // 206, 207, 223, 222
    bool mp3Enabled = true, wavChecked = false;
    bool found = false;
    void Run(bool pickAndOk) {
        HWND dialog = nullptr;
        for (int i = 0; i < 300 && !dialog; ++i) {
            dialog = FindWindowA(nullptr, "Recording Parameters");
            if (!dialog) Sleep(20);
        }
        found = dialog != nullptr;
        if (!dialog) return;
        Sleep(300);
        const int lists[4] = {IDC_FREQUENCY, IDC_BITS, IDC_CHANNEL, IDC_BITRATE};
        for (int i = 0; i < 4; ++i)
            selections[i] = static_cast<int>(SendDlgItemMessageA(dialog, lists[i], CB_GETCURSEL, 0, 0));
        mp3Enabled = IsWindowEnabled(GetDlgItem(dialog, IDC_MP3));
        wavChecked = IsDlgButtonChecked(dialog, IDC_WAV) == BST_CHECKED;
        bench::Screenshot(pickAndOk ? "config" : "config-cancel", dialog);
        if (pickAndOk) {
            SendDlgItemMessageA(dialog, IDC_FREQUENCY, CB_SETCURSEL, 3, 0);  // 16000
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_FREQUENCY, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_FREQUENCY)));
            SendDlgItemMessageA(dialog, IDC_CHANNEL, CB_SETCURSEL, 0, 0);  // stereo
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CHANNEL, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_CHANNEL)));
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        } else {
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }
};

}  // namespace

TEST_F(Sablet, ConfigShowsTheFormatTakesAChoiceOnOkAndNothingOnCancel) {
    Show();
    host.PutLong(L"SampleFrequency", 44100);
    host.PutLong(L"SampleBit", 8);
    host.PutLong(L"Channel", 1);
    host.PutLong(L"MP3Bitrate", 128);
    host.PutLong(L"UseMP3", 1);
    HWND config = GetDlgItem(host.ControlWindow(), IDC_CONFIG);
    ASSERT_NE(nullptr, config);
    RECT r;
    GetWindowRect(config, &r);

    ConfigDriver ok;
    std::thread driver([&] { ok.Run(true); });
    bench::Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    driver.join();
    ASSERT_TRUE(ok.found);
    EXPECT_EQ(7, ok.selections[0]);
    EXPECT_EQ(1, ok.selections[1]);
    EXPECT_EQ(1, ok.selections[2]);
    EXPECT_EQ(10, ok.selections[3]);
    EXPECT_FALSE(ok.mp3Enabled) << "without the encoder only WAV is offered";
    EXPECT_TRUE(ok.wavChecked);
    EXPECT_EQ(L"16000", host.GetText(L"SampleRate"));
    EXPECT_EQ(L"2", host.GetText(L"Channel"));
    EXPECT_EQ(L"8", host.GetText(L"SampleBit"));
    EXPECT_EQ(L"0", host.GetText(L"UseMP3"));

    host.PutLong(L"SampleRate", 9999);  // none of the list's: no selection, kept
    ConfigDriver cancel;
    std::thread second([&] { cancel.Run(false); });
    bench::Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    second.join();
    ASSERT_TRUE(cancel.found);
    EXPECT_EQ(-1, cancel.selections[0]);
    EXPECT_EQ(L"9999", host.GetText(L"SampleRate"));
    EXPECT_EQ(L"2", host.GetText(L"Channel"));
}

namespace {

class PageSite : public IPropertyPageSite {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyPageSite)) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP OnStatusChange(DWORD flags) override {
        lastStatus = flags;
        return S_OK;
    }
    STDMETHODIMP GetLocaleID(LCID* id) override {
        *id = 1033;
        return S_OK;
    }
    STDMETHODIMP GetPageContainer(IUnknown** out) override {
        *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP TranslateAccelerator(MSG*) override { return S_FALSE; }
    DWORD lastStatus = 0;
};

}  // namespace

TEST_F(Sablet, PropertyPageListsTheRatesAndAppliesNothing) {
    Show();
    host.PutLong(L"SampleFrequency", 22050);
    ComPtr<IPropertyPage> page;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_SabletProp, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IPropertyPage, reinterpret_cast<void**>(page.GetAddressOf())));
    PageSite site;
    ASSERT_EQ(S_OK, page->SetPageSite(&site));
    IUnknown* objects[1] = {host.Control()};
    ASSERT_EQ(S_OK, page->SetObjects(1, objects));
    PROPPAGEINFO info = {};
    ASSERT_EQ(S_OK, page->GetPageInfo(&info));
    EXPECT_STREQ(L"Wav", info.pszTitle);
    EXPECT_STREQ(L"Wav Setting", info.pszDocString);
    EXPECT_GT(info.size.cx, 0);
    CoTaskMemFree(info.pszTitle);
    CoTaskMemFree(info.pszDocString);
    CoTaskMemFree(info.pszHelpFile);

    RECT area = {10, 180, 10 + info.size.cx, 180 + info.size.cy};
    SetWindowPos(host.Window(), nullptr, 0, 0, 520, 420, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_EQ(S_OK, page->Activate(host.Window(), &area, FALSE));
    ASSERT_EQ(S_OK, page->Show(SW_SHOW));
    bench::Pump(200);
    HWND list = FindWindowExA(host.Window(), nullptr, nullptr, nullptr);
    HWND rates = nullptr;
    for (HWND child = list; child && !rates; child = FindWindowExA(host.Window(), child, nullptr, nullptr))
        rates = GetDlgItem(child, IDC_FREQUENCY);
    ASSERT_NE(nullptr, rates);
    EXPECT_EQ(9, SendMessageA(rates, CB_GETCOUNT, 0, 0));
    bench::Screenshot("page", host.Window());
    SendMessageA(rates, CB_SETCURSEL, 0, 0);
    SendMessageA(GetParent(rates), WM_COMMAND, MAKEWPARAM(IDC_FREQUENCY, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(rates));
    EXPECT_EQ(S_OK, page->IsPageDirty());
    EXPECT_EQ(static_cast<DWORD>(PROPPAGESTATUS_DIRTY), site.lastStatus);
    EXPECT_EQ(S_OK, page->Apply());
    EXPECT_EQ(S_FALSE, page->IsPageDirty());
    EXPECT_EQ(L"22050", host.GetText(L"SampleRate")) << "Apply writes nothing";
    EXPECT_EQ(S_OK, page->Deactivate());
    page->SetObjects(0, nullptr);
    page->SetPageSite(nullptr);
}

// An encoder installed beside the control's DLL (not beside the program
// that hosts it, nor in c:\) makes MP3 available; without one the control
// records WAV only.
TEST_F(Sablet, EncoderBesideTheControlsOwnDllIsFound) {
    Show();
    EXPECT_EQ(L"0", host.GetText(L"UseMP3")) << "no encoder beside the registered DLL";
    host.Destroy();

    const std::string dir = bench::ScratchDir();
    const std::string copy = dir + "\\Sablet.dll";
    ASSERT_TRUE(CopyFileA(bench::WinPath(SABLET_DLL).c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(bench::WinPath(LAME_DLL).c_str(), (dir + "\\lame_enc.dll").c_str(), FALSE));
    // Kept loaded to the end of the program: its threads may outlive the case.
    HMODULE dll = LoadLibraryA(copy.c_str());
    ASSERT_NE(nullptr, dll);
    auto getClass = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
        GetProcAddress(dll, "DllGetClassObject"));
    ASSERT_NE(nullptr, getClass);
    CLSID clsid;
    ASSERT_EQ(S_OK, CLSIDFromString(sablethost::kSabletClsid, &clsid));
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, getClass(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())));
    host.UseFactory(factory.Get());
    Show();
    EXPECT_EQ(L"1", host.GetText(L"UseMP3"));
    EXPECT_EQ(S_OK, host.PutLong(L"UseMP3", 1));
    EXPECT_EQ(L"1", host.GetText(L"UseMP3")) << "a page's choice of MP3 is kept";
    host.Destroy();
    host.UseFactory(nullptr);
}
