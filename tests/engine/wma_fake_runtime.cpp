#include "wma_fake_runtime.h"

#include <cstring>

namespace fakewm {
namespace {

Log g_log;

// Gives every fake a virtual destructor, so Release may delete it.
struct Fake {
    virtual ~Fake() = default;
};

#define FAKE_IUNKNOWN(first, ...)                                                      \
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }                     \
    ULONG STDMETHODCALLTYPE Release() override {                                      \
        ULONG r = --refs_;                                                            \
        if (!r) delete this;                                                          \
        return r;                                                                     \
    }                                                                                 \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {       \
        *out = nullptr;                                                               \
        if (iid == IID_IUnknown) *out = static_cast<first*>(this);                    \
        __VA_ARGS__                                                                   \
        if (!*out) return E_NOINTERFACE;                                              \
        AddRef();                                                                     \
        return S_OK;                                                                  \
    }                                                                                 \
    LONG refs_ = 1;

#define FAKE_IID(I) \
    if (iid == __uuidof(I)) *out = static_cast<I*>(this);

class Buffer : public INSSBuffer, public Fake {
public:
    explicit Buffer(DWORD size) : data_(size), length_(size) {}
    FAKE_IUNKNOWN(INSSBuffer, FAKE_IID(INSSBuffer))
    HRESULT STDMETHODCALLTYPE GetLength(DWORD* n) override { *n = length_; return S_OK; }
    HRESULT STDMETHODCALLTYPE SetLength(DWORD n) override {
        if (n > data_.size()) return E_INVALIDARG;
        length_ = n;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMaxLength(DWORD* n) override { *n = (DWORD)data_.size(); return S_OK; }
    HRESULT STDMETHODCALLTYPE GetBuffer(BYTE** p) override { *p = data_.data(); return S_OK; }
    HRESULT STDMETHODCALLTYPE GetBufferAndLength(BYTE** p, DWORD* n) override {
        *p = data_.data();
        *n = length_;
        return S_OK;
    }

private:
    std::vector<BYTE> data_;
    DWORD length_;
};

class InputProps : public IWMInputMediaProps, public Fake {
public:
    explicit InputProps(const WAVEFORMATEX& wf) : wf_(wf) {}
    FAKE_IUNKNOWN(IWMInputMediaProps, FAKE_IID(IWMMediaProps) FAKE_IID(IWMInputMediaProps))
    HRESULT STDMETHODCALLTYPE GetType(GUID* t) override { *t = kWmMediaTypeAudio; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMediaType(WM_MEDIA_TYPE* type, DWORD* size) override {
        DWORD need = sizeof(WM_MEDIA_TYPE) + sizeof(WAVEFORMATEX);
        if (!type) {
            *size = need;
            return S_OK;
        }
        if (*size < need) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
        memset(type, 0, sizeof *type);
        type->majortype = kWmMediaTypeAudio;
        type->formattype = kWmFormatWaveFormatEx;
        type->cbFormat = sizeof(WAVEFORMATEX);
        type->pbFormat = reinterpret_cast<BYTE*>(type + 1);
        memcpy(type->pbFormat, &wf_, sizeof wf_);
        return S_OK;
    }
    FAKE_NOTIMPL(SetMediaType, WM_MEDIA_TYPE*)
    FAKE_NOTIMPL(GetConnectionName, WCHAR*, WORD*)
    FAKE_NOTIMPL(GetGroupName, WCHAR*, WORD*)
    WAVEFORMATEX wf_;
};

// The header interface shared by the writer and the editor: a list of
// attributes (all of stream 0 here, plus a stream-1 attribute in files).
class HeaderStore : public IWMHeaderInfo3 {
public:
    virtual std::vector<Attr>& Attrs() = 0;
    HRESULT STDMETHODCALLTYPE GetAttributeByName(WORD* stream, LPCWSTR name, WMT_ATTR_DATATYPE* type,
                                                 BYTE* value, WORD* length) override {
        for (Attr& a : Attrs()) {
            if (a.name != name) continue;
            *type = a.type;
            if (!value) {
                *length = (WORD)a.value.size();
                return S_OK;
            }
            if (*length < a.value.size()) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
            memcpy(value, a.value.data(), a.value.size());
            *length = (WORD)a.value.size();
            (void)stream;
            return S_OK;
        }
        return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    }
    HRESULT STDMETHODCALLTYPE SetAttribute(WORD, LPCWSTR name, WMT_ATTR_DATATYPE type,
                                           const BYTE* value, WORD length) override {
        Attrs().push_back({name, type, std::vector<BYTE>(value, value + length)});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAttributeCountEx(WORD stream, WORD* count) override {
        *count = stream == 0 ? (WORD)Attrs().size() : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAttributeByIndexEx(WORD stream, WORD index, LPWSTR name,
                                                    WORD* nameLen, WMT_ATTR_DATATYPE* type,
                                                    WORD* lang, BYTE* value, DWORD* length) override {
        if (stream != 0 || index >= Attrs().size()) return E_INVALIDARG;
        const Attr& a = Attrs()[index];
        *type = a.type;
        *lang = 0;
        if (!name) {
            *nameLen = (WORD)(a.name.size() + 1);
            *length = (DWORD)a.value.size();
            return S_OK;
        }
        wcscpy(name, a.name.c_str());
        if (value) memcpy(value, a.value.data(), a.value.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ModifyAttribute(WORD stream, WORD index, WMT_ATTR_DATATYPE type, WORD,
                                              const BYTE* value, DWORD length) override {
        if (stream != 0 || index >= Attrs().size()) return E_INVALIDARG;
        Attrs()[index].type = type;
        Attrs()[index].value.assign(value, value + length);
        g_log.editorCalls.push_back("modify " + std::to_string(index));
        return S_OK;
    }
    FAKE_NOTIMPL(GetAttributeCount, WORD, WORD*)
    FAKE_NOTIMPL(GetAttributeByIndex, WORD, WORD*, WCHAR*, WORD*, WMT_ATTR_DATATYPE*, BYTE*, WORD*)
    FAKE_NOTIMPL(GetMarkerCount, WORD*)
    FAKE_NOTIMPL(GetMarker, WORD, WCHAR*, WORD*, QWORD*)
    FAKE_NOTIMPL(AddMarker, LPCWSTR_WMSDK_TYPE_SAFE, QWORD)
    FAKE_NOTIMPL(RemoveMarker, WORD)
    FAKE_NOTIMPL(GetScriptCount, WORD*)
    FAKE_NOTIMPL(GetScript, WORD, WCHAR*, WORD*, WCHAR*, WORD*, QWORD*)
    FAKE_NOTIMPL(AddScript, LPCWSTR_WMSDK_TYPE_SAFE, LPCWSTR_WMSDK_TYPE_SAFE, QWORD)
    FAKE_NOTIMPL(RemoveScript, WORD)
    FAKE_NOTIMPL(GetCodecInfoCount, DWORD*)
    FAKE_NOTIMPL(GetCodecInfo, DWORD, WORD*, WCHAR*, WORD*, WCHAR*, WMT_CODEC_INFO_TYPE*, WORD*, BYTE*)
    FAKE_NOTIMPL(GetAttributeIndices, WORD, LPCWSTR, WORD*, WORD*, WORD*)
    FAKE_NOTIMPL(AddAttribute, WORD, LPCWSTR, WORD*, WMT_ATTR_DATATYPE, WORD, const BYTE*, DWORD)
    FAKE_NOTIMPL(DeleteAttribute, WORD, WORD)
    FAKE_NOTIMPL(AddCodecInfo, LPCWSTR_WMSDK_TYPE_SAFE, LPCWSTR_WMSDK_TYPE_SAFE, WMT_CODEC_INFO_TYPE, WORD, BYTE*)
};

class Writer : public IWMWriter, public IWMWriterAdvanced, public HeaderStore, public Fake {
public:
    FAKE_IUNKNOWN(IWMWriter, FAKE_IID(IWMWriter) FAKE_IID(IWMWriterAdvanced)
                                 FAKE_IID(IWMHeaderInfo) FAKE_IID(IWMHeaderInfo2)
                                     FAKE_IID(IWMHeaderInfo3))
    std::vector<Attr>& Attrs() override { return g_log.attributes; }
    HRESULT STDMETHODCALLTYPE SetProfile(IWMProfile*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetInputProps(DWORD input, IWMInputMediaProps* props) override {
        if (input != 0 || !props) return E_INVALIDARG;
        auto* p = static_cast<InputProps*>(props);
        for (size_t i = 0; i < g_log.inputFormats.size(); ++i)
            if (!memcmp(&g_log.inputFormats[i], &p->wf_, sizeof p->wf_))
                g_log.setInputPropsIndex = (int)i;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetInputFormatCount(DWORD input, DWORD* count) override {
        if (input != 0) return E_INVALIDARG;
        *count = (DWORD)g_log.inputFormats.size();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetInputFormat(DWORD input, DWORD i, IWMInputMediaProps** props) override {
        if (input != 0 || i >= g_log.inputFormats.size()) return E_INVALIDARG;
        *props = new InputProps(g_log.inputFormats[i]);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE BeginWriting() override { ++g_log.beginWriting; return S_OK; }
    HRESULT STDMETHODCALLTYPE EndWriting() override { ++g_log.endWriting; return S_OK; }
    HRESULT STDMETHODCALLTYPE AllocateSample(DWORD size, INSSBuffer** sample) override {
        *sample = new Buffer(size);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE WriteSample(DWORD, QWORD time, DWORD, INSSBuffer* sample) override {
        DWORD n = 0;
        sample->GetLength(&n);
        g_log.samples.push_back({time, n});
        g_log.fileSize += n / 10;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AddSink(IWMWriterSink*) override { ++g_log.addSink; return S_OK; }
    FAKE_NOTIMPL(SetProfileByID, REFGUID)
    FAKE_NOTIMPL(SetOutputFilename, const WCHAR*)
    FAKE_NOTIMPL(GetInputCount, DWORD*)
    FAKE_NOTIMPL(GetInputProps, DWORD, IWMInputMediaProps**)
    FAKE_NOTIMPL(Flush)
    FAKE_NOTIMPL(GetSinkCount, DWORD*)
    FAKE_NOTIMPL(GetSink, DWORD, IWMWriterSink**)
    FAKE_NOTIMPL(RemoveSink, IWMWriterSink*)
    FAKE_NOTIMPL(WriteStreamSample, WORD, QWORD, DWORD, QWORD, DWORD, INSSBuffer*)
    FAKE_NOTIMPL(SetLiveSource, WINBOOL)
    FAKE_NOTIMPL(IsRealTime, WINBOOL*)
    FAKE_NOTIMPL(GetWriterTime, QWORD*)
    FAKE_NOTIMPL(GetStatistics, WORD, WM_WRITER_STATISTICS*)
    FAKE_NOTIMPL(SetSyncTolerance, DWORD)
    FAKE_NOTIMPL(GetSyncTolerance, DWORD*)
};

class Sink : public IWMWriterFileSink2, public Fake {
public:
    FAKE_IUNKNOWN(IWMWriterFileSink2, FAKE_IID(IWMWriterSink) FAKE_IID(IWMWriterFileSink)
                                          FAKE_IID(IWMWriterFileSink2))
    HRESULT STDMETHODCALLTYPE Open(const WCHAR* name) override {
        g_log.openedFile = name;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFileSize(QWORD* size) override {
        *size = g_log.fileSize;
        return S_OK;
    }
    FAKE_NOTIMPL(OnHeader, INSSBuffer*)
    FAKE_NOTIMPL(IsRealTime, WINBOOL*)
    FAKE_NOTIMPL(AllocateDataUnit, DWORD, INSSBuffer**)
    FAKE_NOTIMPL(OnDataUnit, INSSBuffer*)
    FAKE_NOTIMPL(OnEndWriting)
    FAKE_NOTIMPL(Start, QWORD)
    FAKE_NOTIMPL(Stop, QWORD)
    FAKE_NOTIMPL(IsStopped, WINBOOL*)
    FAKE_NOTIMPL(GetFileDuration, QWORD*)
    HRESULT STDMETHODCALLTYPE Close() override { return S_OK; }
    FAKE_NOTIMPL(IsClosed, WINBOOL*)
};

class Profile : public IWMProfile, public Fake {
public:
    explicit Profile(std::wstring name) : name_(std::move(name)) {}
    FAKE_IUNKNOWN(IWMProfile, FAKE_IID(IWMProfile))
    HRESULT STDMETHODCALLTYPE GetName(WCHAR* name, DWORD* chars) override {
        if (!name) {
            *chars = (DWORD)name_.size() + 1;
            return S_OK;
        }
        if (*chars < name_.size() + 1) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
        wcscpy(name, name_.c_str());
        return S_OK;
    }
    FAKE_NOTIMPL(GetVersion, WMT_VERSION*)
    FAKE_NOTIMPL(SetName, const WCHAR*)
    FAKE_NOTIMPL(GetDescription, WCHAR*, DWORD*)
    FAKE_NOTIMPL(SetDescription, const WCHAR*)
    FAKE_NOTIMPL(GetStreamCount, DWORD*)
    FAKE_NOTIMPL(GetStream, DWORD, IWMStreamConfig**)
    FAKE_NOTIMPL(GetStreamByNumber, WORD, IWMStreamConfig**)
    FAKE_NOTIMPL(RemoveStream, IWMStreamConfig*)
    FAKE_NOTIMPL(RemoveStreamByNumber, WORD)
    FAKE_NOTIMPL(AddStream, IWMStreamConfig*)
    FAKE_NOTIMPL(ReconfigStream, IWMStreamConfig*)
    FAKE_NOTIMPL(CreateNewStream, REFGUID, IWMStreamConfig**)
    FAKE_NOTIMPL(GetMutualExclusionCount, DWORD*)
    FAKE_NOTIMPL(GetMutualExclusion, DWORD, IWMMutualExclusion**)
    FAKE_NOTIMPL(RemoveMutualExclusion, IWMMutualExclusion*)
    FAKE_NOTIMPL(AddMutualExclusion, IWMMutualExclusion*)
    FAKE_NOTIMPL(CreateNewMutualExclusion, IWMMutualExclusion**)

private:
    std::wstring name_;
};

class ProfileManager : public IWMProfileManager2, public Fake {
public:
    FAKE_IUNKNOWN(IWMProfileManager2, FAKE_IID(IWMProfileManager) FAKE_IID(IWMProfileManager2))
    HRESULT STDMETHODCALLTYPE GetSystemProfileCount(DWORD* n) override {
        *n = (DWORD)g_log.profileNames.size();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE LoadSystemProfile(DWORD i, IWMProfile** p) override {
        if (i >= g_log.profileNames.size()) return E_INVALIDARG;
        *p = new Profile(g_log.profileNames[i]);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSystemProfileVersion(WMT_VERSION v) override {
        g_log.systemProfileVersion = v;
        return S_OK;
    }
    FAKE_NOTIMPL(CreateEmptyProfile, WMT_VERSION, IWMProfile**)
    FAKE_NOTIMPL(LoadProfileByID, REFGUID, IWMProfile**)
    FAKE_NOTIMPL(LoadProfileByData, const WCHAR*, IWMProfile**)
    FAKE_NOTIMPL(SaveProfile, IWMProfile*, WCHAR*, DWORD*)
    FAKE_NOTIMPL(GetSystemProfileVersion, WMT_VERSION*)
};

class Editor : public IWMMetadataEditor, public HeaderStore, public Fake {
public:
    FAKE_IUNKNOWN(IWMMetadataEditor, FAKE_IID(IWMMetadataEditor) FAKE_IID(IWMHeaderInfo)
                                         FAKE_IID(IWMHeaderInfo2) FAKE_IID(IWMHeaderInfo3))
    std::vector<Attr>& Attrs() override { return open_; }
    HRESULT STDMETHODCALLTYPE Open(const WCHAR* name) override {
        auto it = g_log.files.find(name);
        if (it == g_log.files.end()) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        file_ = name;
        open_ = it->second;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Close() override {
        file_.clear();
        open_.clear();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Flush() override {
        g_log.editorCalls.push_back("flush");
        g_log.files[file_] = open_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetAttribute(WORD stream, LPCWSTR name, WMT_ATTR_DATATYPE type,
                                           const BYTE* value, WORD length) override {
        g_log.editorCalls.push_back("add");
        return HeaderStore::SetAttribute(stream, name, type, value, length);
    }

private:
    std::wstring file_;
    std::vector<Attr> open_;
};

HRESULT WINAPI CreateWriter(IUnknown*, IWMWriter** w) {
    *w = new Writer;
    return S_OK;
}
HRESULT WINAPI CreateSink(IWMWriterFileSink** s) {
    *s = new Sink;
    return S_OK;
}
HRESULT WINAPI CreateManager(IWMProfileManager** m) {
    *m = new ProfileManager;
    return S_OK;
}
HRESULT WINAPI CreateEditor(IWMMetadataEditor** e) {
    *e = new Editor;
    return S_OK;
}

}  // namespace

Log& TheLog() { return g_log; }
void Reset() { g_log = Log(); }

WmaRuntime Runtime() {
    WmaRuntime r;
    r.CreateWriter = CreateWriter;
    r.CreateWriterFileSink = CreateSink;
    r.CreateProfileManager = CreateManager;
    r.CreateEditor = CreateEditor;
    return r;
}

}  // namespace fakewm
