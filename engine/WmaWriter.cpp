#include "WmaWriter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "Id3Tag.h"
#include "framework/ComPtr.h"
#include "framework/SafeString.h"

CWmaWriter WmaWriter;
WmaAttribute FileTagAttributes[8];
char MediaInfoLines[6][512];
IWMMetadataEditor* MetadataEditor = nullptr;
const char WmaPublisherAddress[] = "http://www.cantabel.com/";

namespace {

void Trace(const char* fmt, ...) {
    char line[512];
    va_list args;
    va_start(args, fmt);
    vsnprintf(line, sizeof line, fmt, args);
    va_end(args);
    OutputDebugStringA(line);
}

void SetAttribute(WmaAttribute& a, const char* name, const char* value) {
    SafeCopy(a.name, name);
    SafeCopy(a.type, "string");
    SafeCopy(a.value, value);
}

// ANSI text of a wide string read from a file's header, bounded by `cap`
// bytes including the terminator. A string without a terminator inside its
// length is cut at the length.
void Narrow(const WCHAR* text, size_t wideChars, char* out, size_t cap) {
    out[0] = 0;
    if (!text || cap == 0) return;
    size_t len = 0;
    while (len < wideChars && text[len]) ++len;
    int n = WideCharToMultiByte(CP_ACP, 0, text, (int)len, out, (int)cap - 1, nullptr, nullptr);
    out[n > 0 ? n : 0] = 0;
}

bool ParseUnsigned(const char* text, unsigned long long limit, unsigned long long* value) {
    if (!text || !*text) return false;
    char* end = nullptr;
    errno = 0;
    unsigned long long v = strtoull(text, &end, 10);
    if (errno || *end || text[0] == '-' || v > limit) return false;
    *value = v;
    return true;
}

}  // namespace

std::wstring WmaWide(const char* text) {
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &w[0], n);
    w.resize(n - 1);
    return w;
}

CWmaWriter::CWmaWriter() {
    SetAttribute(attributes[0], "Author", "");
    SetAttribute(attributes[1], "Title", "");
    SetAttribute(attributes[2], "WM/AlbumTitle", "");
    SetAttribute(attributes[3], "Copyright", "");
    SetAttribute(attributes[4], "Description", WmaPublisherAddress);
    SetAttribute(attributes[5], "WM/Composer", "");
    SetAttribute(attributes[6], "WM/Genre", "");
}

bool WmaAvailable() { return WmaWriter.writer && WmaWriter.fileSink; }

HRESULT CreateWmaWriterObjects() {
    const WmaRuntime& rt = GetWmaRuntime();
    if (!rt.Complete()) return E_NOTIMPL;
    ReleaseWmaWriter();
    HRESULT hr = rt.CreateWriter(nullptr, &WmaWriter.writer);
    if (FAILED(hr)) {
        Trace("WMCreateWriter error 0x%08x\n", (unsigned)hr);
        return hr;
    }
    hr = rt.CreateWriterFileSink(&WmaWriter.fileSink);
    if (FAILED(hr)) {
        Trace("WMCreateWriterFileSink error 0x%08x\n", (unsigned)hr);
        ReleaseWmaWriter();
        return hr;
    }
    WmaWriter.fileSink->QueryInterface(__uuidof(IWMWriterFileSink2),
                                       reinterpret_cast<void**>(&WmaWriter.fileSink2));
    ComPtr<IWMWriterAdvanced> advanced;
    hr = WmaWriter.writer->QueryInterface(__uuidof(IWMWriterAdvanced),
                                          reinterpret_cast<void**>(advanced.GetAddressOf()));
    if (SUCCEEDED(hr)) hr = advanced->AddSink(WmaWriter.fileSink);
    if (FAILED(hr)) {
        Trace("AddSink error 0x%08x\n", (unsigned)hr);
        ReleaseWmaWriter();
        return hr;
    }
    hr = rt.CreateProfileManager(&WmaWriter.profileManager);
    if (FAILED(hr)) {
        Trace("WMCreateProfileManager error 0x%08x\n", (unsigned)hr);
        ReleaseWmaWriter();
        return hr;
    }
    if (SUCCEEDED(WmaWriter.profileManager->QueryInterface(
            __uuidof(IWMProfileManager2), reinterpret_cast<void**>(&WmaWriter.profileManager2))))
        WmaWriter.profileManager2->SetSystemProfileVersion(WMT_VER_8_0);
    if (!MetadataEditor) {
        hr = rt.CreateEditor(&MetadataEditor);
        if (FAILED(hr)) Trace("WMCreateEditor error 0x%08x\n", (unsigned)hr);
    }
    return S_OK;
}

HRESULT SelectWmaProfile(int index) {
    if (!WmaWriter.writer || !WmaWriter.profileManager || index < 0) return E_INVALIDARG;
    DWORD count = 0;
    HRESULT hr = WmaWriter.profileManager->GetSystemProfileCount(&count);
    if (FAILED(hr)) return hr;
    if ((DWORD)index >= count) return E_INVALIDARG;
    ComPtr<IWMProfile> profile;
    hr = WmaWriter.profileManager->LoadSystemProfile(index, profile.GetAddressOf());
    if (SUCCEEDED(hr)) hr = WmaWriter.writer->SetProfile(profile.Get());
    if (FAILED(hr)) Trace("SetProfile error 0x%08x\n", (unsigned)hr);
    return hr;
}

void ReleaseWmaWriter() {
    auto release = [](auto*& p) {
        if (p) p->Release();
        p = nullptr;
    };
    release(WmaWriter.fileSink2);
    release(WmaWriter.fileSink);
    release(WmaWriter.writer);
    release(WmaWriter.profileManager2);
    release(WmaWriter.profileManager);
    release(MetadataEditor);
}

HRESULT SetWmaAttribute(const WmaAttribute& a) {
    if (!WmaWriter.writer) return E_POINTER;
    WMT_ATTR_DATATYPE type;
    std::unique_ptr<BYTE[]> value;
    WORD length = 0;
    unsigned long long number = 0;
    auto numeric = [&](WMT_ATTR_DATATYPE t, size_t size, unsigned long long limit) {
        if (!ParseUnsigned(a.value, limit, &number)) return false;
        type = t;
        value.reset(new BYTE[size]);
        memcpy(value.get(), &number, size);  // little-endian: the low bytes
        length = (WORD)size;
        return true;
    };
    if (!_stricmp(a.type, "string")) {
        std::wstring w = WmaWide(a.value);
        if (w.empty() && a.value[0]) {
            Trace("Can not convert attribute value to wchar string (hr=0x%08x)\n",
                  (unsigned)HRESULT_FROM_WIN32(GetLastError()));
            return E_FAIL;
        }
        type = WMT_TYPE_STRING;
        length = (WORD)((w.size() + 1) * sizeof(WCHAR));
        value.reset(new BYTE[length]);
        memcpy(value.get(), w.c_str(), length);
    } else if (!_stricmp(a.type, "dword")) {
        if (!numeric(WMT_TYPE_DWORD, 4, 0xFFFFFFFFull)) {
            Trace("Invalid attribute value %s\n", a.value);
            return E_INVALIDARG;
        }
    } else if (!_stricmp(a.type, "qword")) {
        if (!numeric(WMT_TYPE_QWORD, 8, ~0ull)) {
            Trace("Invalid attribute value %s\n", a.value);
            return E_INVALIDARG;
        }
    } else if (!_stricmp(a.type, "word")) {
        if (!numeric(WMT_TYPE_WORD, 2, 0xFFFFull)) {
            Trace("Invalid attribute value %s\n", a.value);
            return E_INVALIDARG;
        }
    } else if (!_stricmp(a.type, "binary")) {
        type = WMT_TYPE_BINARY;
        length = (WORD)strlen(a.value);
        value.reset(new BYTE[length ? length : 1]);
        memcpy(value.get(), a.value, length);
    } else if (!_stricmp(a.type, "bool")) {
        BOOL b;
        if (!_stricmp(a.value, "true")) b = TRUE;
        else if (!_stricmp(a.value, "false")) b = FALSE;
        else {
            Trace("Invalid boolean attribute\n");
            return E_INVALIDARG;
        }
        type = WMT_TYPE_BOOL;
        length = sizeof(BOOL);
        value.reset(new BYTE[length]);
        memcpy(value.get(), &b, length);
    } else {
        Trace("Invalid attribute type\n");
        return E_INVALIDARG;
    }

    ComPtr<IWMHeaderInfo> header;
    HRESULT hr = WmaWriter.writer->QueryInterface(__uuidof(IWMHeaderInfo),
                                                  reinterpret_cast<void**>(header.GetAddressOf()));
    if (FAILED(hr)) {
        Trace("Failed to query IWMHeaderInfo interface (hr=0x%08x)\n", (unsigned)hr);
        return hr;
    }
    std::wstring name = WmaWide(a.name);
    if (name.empty()) {
        Trace("Failed to convert attribute name to wchar string (hr=0x%08x)\n", (unsigned)E_FAIL);
        return E_FAIL;
    }
    hr = header->SetAttribute(0, name.c_str(), type, value.get(), length);
    if (FAILED(hr)) Trace("Failed to set attribute %s (hr=0x%08x)\n", a.name, (unsigned)hr);
    return hr;
}

HRESULT WmaBeginWriting(int channels, int rate, int bits, const char* fileName) {
    if (!WmaAvailable() || !fileName) return E_POINTER;
    WmaWriter.WmaSampleTime = 0;
    WmaWriter.WmaBytesPerSecond = 0;
    std::wstring wide = WmaWide(fileName);
    HRESULT hr = WmaWriter.fileSink->Open(wide.c_str());
    if (FAILED(hr)) {
        Trace("SetOutputFilename error 0x%08x\n", (unsigned)hr);
        return hr;
    }
    DWORD count = 0;
    hr = WmaWriter.writer->GetInputFormatCount(0, &count);
    if (FAILED(hr)) {
        Trace("GetInputFormatCount error 0x%08x\n", (unsigned)hr);
        return hr;
    }
    ComPtr<IWMInputMediaProps> chosen;
    for (DWORD i = 0; i < count && !chosen; ++i) {
        ComPtr<IWMInputMediaProps> props;
        hr = WmaWriter.writer->GetInputFormat(0, i, props.GetAddressOf());
        if (FAILED(hr)) {
            Trace("GetInputFormat error 0x%08x\n", (unsigned)hr);
            return hr;
        }
        DWORD size = 0;
        if (FAILED(props->GetMediaType(nullptr, &size)) || size < sizeof(WM_MEDIA_TYPE)) continue;
        std::unique_ptr<BYTE[]> buffer(new BYTE[size]);
        auto* type = reinterpret_cast<WM_MEDIA_TYPE*>(buffer.get());
        if (FAILED(props->GetMediaType(type, &size))) continue;
        if (type->formattype != kWmFormatWaveFormatEx || !type->pbFormat ||
            type->cbFormat < sizeof(WAVEFORMATEX))
            continue;
        const auto* wf = reinterpret_cast<const WAVEFORMATEX*>(type->pbFormat);
        if (wf->nChannels == channels && (int)wf->nSamplesPerSec == rate &&
            wf->wBitsPerSample == bits && wf->nAvgBytesPerSec) {
            WmaWriter.WmaBytesPerSecond = wf->nAvgBytesPerSec;
            chosen = std::move(props);
        }
    }
    // Without an input of the recording's own format the writer would take
    // samples it misreads: refuse the start instead.
    if (!chosen) {
        Trace("No input format for %d channels %d Hz %d bits\n", channels, rate, bits);
        WmaWriter.fileSink2 ? (void)WmaWriter.fileSink2->Close() : (void)0;
        return kWmaInvalidInputFormat;
    }
    WmaWriter.WmaInputNumber = 0;
    hr = WmaWriter.writer->SetInputProps(0, chosen.Get());
    if (FAILED(hr)) {
        Trace("SetInputProps error 0x%08x\n", (unsigned)hr);
        return hr;
    }
    static const char* const order[] = {"Copyright", "Title", "Author", "Description",
                                        "WM/Genre", "WM/Composer", "WM/AlbumTitle"};
    for (const char* name : order) {
        for (const WmaAttribute& a : WmaWriter.attributes) {
            if (!strcmp(a.name, name)) SetWmaAttribute(a);  // a failure is traced and skipped
        }
    }
    hr = WmaWriter.writer->BeginWriting();
    if (FAILED(hr)) Trace("BeginWriting error 0x%08x\n", (unsigned)hr);
    return hr;
}

void LoadWmaWriterTags(const MediaTagRecord& tags) {
    auto set = [](const char* name, const char* value) {
        for (WmaAttribute& a : WmaWriter.attributes)
            if (!strcmp(a.name, name)) SafeCopy(a.value, value);
    };
    set("Author", tags.author);
    set("Title", tags.title);
    set("WM/Genre", tags.genre);
    set("WM/Composer", tags.composer);
    set("Copyright", tags.copyright);
    set("WM/AlbumTitle", tags.album);
    set("Description", tags.description[0] ? tags.description : WmaPublisherAddress);
}

HRESULT WmaWriteSample(const BYTE* data, DWORD len, DWORD* fileSize) {
    if (!WmaWriter.writer) return E_POINTER;
    if (!WmaWriter.WmaBytesPerSecond) return E_UNEXPECTED;
    ComPtr<INSSBuffer> sample;
    HRESULT hr = WmaWriter.writer->AllocateSample(len, sample.GetAddressOf());
    if (FAILED(hr)) return hr;
    BYTE* buffer = nullptr;
    DWORD capacity = 0;
    hr = sample->GetBufferAndLength(&buffer, &capacity);
    if (FAILED(hr)) return hr;
    if (capacity < len) return E_UNEXPECTED;
    hr = sample->SetLength(len);
    if (FAILED(hr)) return hr;
    memcpy(buffer, data, len);
    hr = WmaWriter.writer->WriteSample(WmaWriter.WmaInputNumber, WmaWriter.WmaSampleTime, 0,
                                       sample.Get());
    if (FAILED(hr)) return hr;
    if (fileSize && WmaWriter.fileSink2) {
        QWORD size = 0;
        if (SUCCEEDED(WmaWriter.fileSink2->GetFileSize(&size))) *fileSize = (DWORD)size;
    }
    WmaWriter.WmaSampleTime += (QWORD)len * 10000000ull / WmaWriter.WmaBytesPerSecond;
    return S_OK;
}

HRESULT WmaEndWriting() {
    if (!WmaWriter.writer) return E_POINTER;
    HRESULT hr = WmaWriter.writer->EndWriting();
    if (FAILED(hr)) Trace("EndWriting error 0x%08x\n", (unsigned)hr);
    return hr;
}

HRESULT ListWmaProfiles(HWND comboBox, std::vector<WmaProfileName>* names) {
    const WmaRuntime& rt = GetWmaRuntime();
    if (!rt.Complete()) return E_NOTIMPL;
    ComPtr<IWMProfileManager> manager;
    HRESULT hr = rt.CreateProfileManager(manager.GetAddressOf());
    if (FAILED(hr)) return hr;
    ComPtr<IWMProfileManager2> manager2;
    if (SUCCEEDED(manager->QueryInterface(__uuidof(IWMProfileManager2),
                                          reinterpret_cast<void**>(manager2.GetAddressOf()))))
        manager2->SetSystemProfileVersion(WMT_VER_8_0);
    Trace("Profile Indexes are as follows:\n");
    DWORD count = 0;
    hr = manager->GetSystemProfileCount(&count);
    if (FAILED(hr)) return hr;
    for (DWORD i = 0; i < count; ++i) {
        ComPtr<IWMProfile> profile;
        if (FAILED(manager->LoadSystemProfile(i, profile.GetAddressOf()))) continue;
        DWORD chars = 0;
        if (FAILED(profile->GetName(nullptr, &chars)) || chars == 0) continue;
        std::wstring wide(chars, L'\0');
        if (FAILED(profile->GetName(&wide[0], &chars))) continue;
        char name[256];
        Narrow(wide.c_str(), wide.size(), name, sizeof name);
        if (!strstr(name, "Audio")) continue;
        if (comboBox) {
            LRESULT item = SendMessageA(comboBox, CB_ADDSTRING, 0, (LPARAM)name);
            if (item >= 0) SendMessageA(comboBox, CB_SETITEMDATA, (WPARAM)item, (LPARAM)i);
        }
        if (names) names->push_back({name, (int)i});
    }
    return S_OK;
}
