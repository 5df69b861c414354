#include "wma_fake_runtime.h"

#include "standins/wmvcore/AttributeStore.h"
#include "standins/wmvcore/MediaObjects.h"

#include <cstring>

namespace fakewm {
namespace {

Log g_log;


using wmstandin::Buffer;
using wmstandin::InputProps;

class Writer : public IWMWriter, public IWMWriterAdvanced, public AttributeStore, public StandinObject {
public:
    STANDIN_IUNKNOWN(IWMWriter, STANDIN_IID(IWMWriter) STANDIN_IID(IWMWriterAdvanced)
                                 STANDIN_IID(IWMHeaderInfo) STANDIN_IID(IWMHeaderInfo2)
                                     STANDIN_IID(IWMHeaderInfo3))
    std::vector<AsfAttribute>& Attrs() override { return g_log.attributes; }
    HRESULT STDMETHODCALLTYPE SetProfile(IWMProfile*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetInputProps(DWORD input, IWMInputMediaProps* props) override {
        if (input != 0 || !props) return E_INVALIDARG;
        auto* p = static_cast<InputProps*>(props);
        for (size_t i = 0; i < g_log.inputFormats.size(); ++i)
            if (!memcmp(&g_log.inputFormats[i], &p->wf, sizeof p->wf))
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
    STANDIN_NOTIMPL(SetProfileByID, REFGUID)
    STANDIN_NOTIMPL(SetOutputFilename, const WCHAR*)
    STANDIN_NOTIMPL(GetInputCount, DWORD*)
    STANDIN_NOTIMPL(GetInputProps, DWORD, IWMInputMediaProps**)
    STANDIN_NOTIMPL(Flush)
    STANDIN_NOTIMPL(GetSinkCount, DWORD*)
    STANDIN_NOTIMPL(GetSink, DWORD, IWMWriterSink**)
    STANDIN_NOTIMPL(RemoveSink, IWMWriterSink*)
    STANDIN_NOTIMPL(WriteStreamSample, WORD, QWORD, DWORD, QWORD, DWORD, INSSBuffer*)
    STANDIN_NOTIMPL(SetLiveSource, WINBOOL)
    STANDIN_NOTIMPL(IsRealTime, WINBOOL*)
    STANDIN_NOTIMPL(GetWriterTime, QWORD*)
    STANDIN_NOTIMPL(GetStatistics, WORD, WM_WRITER_STATISTICS*)
    STANDIN_NOTIMPL(SetSyncTolerance, DWORD)
    STANDIN_NOTIMPL(GetSyncTolerance, DWORD*)
};

class Sink : public IWMWriterFileSink2, public StandinObject {
public:
    STANDIN_IUNKNOWN(IWMWriterFileSink2, STANDIN_IID(IWMWriterSink) STANDIN_IID(IWMWriterFileSink)
                                          STANDIN_IID(IWMWriterFileSink2))
    HRESULT STDMETHODCALLTYPE Open(const WCHAR* name) override {
        g_log.openedFile = name;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFileSize(QWORD* size) override {
        *size = g_log.fileSize;
        return S_OK;
    }
    STANDIN_NOTIMPL(OnHeader, INSSBuffer*)
    STANDIN_NOTIMPL(IsRealTime, WINBOOL*)
    STANDIN_NOTIMPL(AllocateDataUnit, DWORD, INSSBuffer**)
    STANDIN_NOTIMPL(OnDataUnit, INSSBuffer*)
    STANDIN_NOTIMPL(OnEndWriting)
    STANDIN_NOTIMPL(Start, QWORD)
    STANDIN_NOTIMPL(Stop, QWORD)
    STANDIN_NOTIMPL(IsStopped, WINBOOL*)
    STANDIN_NOTIMPL(GetFileDuration, QWORD*)
    HRESULT STDMETHODCALLTYPE Close() override { return S_OK; }
    STANDIN_NOTIMPL(IsClosed, WINBOOL*)
};

class Profile : public IWMProfile, public StandinObject {
public:
    explicit Profile(std::wstring name) : name_(std::move(name)) {}
    STANDIN_IUNKNOWN(IWMProfile, STANDIN_IID(IWMProfile))
    HRESULT STDMETHODCALLTYPE GetName(WCHAR* name, DWORD* chars) override {
        if (!name) {
            *chars = (DWORD)name_.size() + 1;
            return S_OK;
        }
        if (*chars < name_.size() + 1) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
        wcscpy(name, name_.c_str());
        return S_OK;
    }
    STANDIN_NOTIMPL(GetVersion, WMT_VERSION*)
    STANDIN_NOTIMPL(SetName, const WCHAR*)
    STANDIN_NOTIMPL(GetDescription, WCHAR*, DWORD*)
    STANDIN_NOTIMPL(SetDescription, const WCHAR*)
    STANDIN_NOTIMPL(GetStreamCount, DWORD*)
    STANDIN_NOTIMPL(GetStream, DWORD, IWMStreamConfig**)
    STANDIN_NOTIMPL(GetStreamByNumber, WORD, IWMStreamConfig**)
    STANDIN_NOTIMPL(RemoveStream, IWMStreamConfig*)
    STANDIN_NOTIMPL(RemoveStreamByNumber, WORD)
    STANDIN_NOTIMPL(AddStream, IWMStreamConfig*)
    STANDIN_NOTIMPL(ReconfigStream, IWMStreamConfig*)
    STANDIN_NOTIMPL(CreateNewStream, REFGUID, IWMStreamConfig**)
    STANDIN_NOTIMPL(GetMutualExclusionCount, DWORD*)
    STANDIN_NOTIMPL(GetMutualExclusion, DWORD, IWMMutualExclusion**)
    STANDIN_NOTIMPL(RemoveMutualExclusion, IWMMutualExclusion*)
    STANDIN_NOTIMPL(AddMutualExclusion, IWMMutualExclusion*)
    STANDIN_NOTIMPL(CreateNewMutualExclusion, IWMMutualExclusion**)

private:
    std::wstring name_;
};

class ProfileManager : public IWMProfileManager2, public StandinObject {
public:
    STANDIN_IUNKNOWN(IWMProfileManager2, STANDIN_IID(IWMProfileManager) STANDIN_IID(IWMProfileManager2))
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
    STANDIN_NOTIMPL(CreateEmptyProfile, WMT_VERSION, IWMProfile**)
    STANDIN_NOTIMPL(LoadProfileByID, REFGUID, IWMProfile**)
    STANDIN_NOTIMPL(LoadProfileByData, const WCHAR*, IWMProfile**)
    STANDIN_NOTIMPL(SaveProfile, IWMProfile*, WCHAR*, DWORD*)
    STANDIN_NOTIMPL(GetSystemProfileVersion, WMT_VERSION*)
};

class Editor : public IWMMetadataEditor, public AttributeStore, public StandinObject {
public:
    STANDIN_IUNKNOWN(IWMMetadataEditor, STANDIN_IID(IWMMetadataEditor) STANDIN_IID(IWMHeaderInfo)
                                         STANDIN_IID(IWMHeaderInfo2) STANDIN_IID(IWMHeaderInfo3))
    std::vector<AsfAttribute>& Attrs() override { return open_; }
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
        return AttributeStore::SetAttribute(stream, name, type, value, length);
    }
    HRESULT STDMETHODCALLTYPE ModifyAttribute(WORD stream, WORD index, WMT_ATTR_DATATYPE type,
                                              WORD lang, const BYTE* value, DWORD length) override {
        g_log.editorCalls.push_back("modify " + std::to_string(index));
        return AttributeStore::ModifyAttribute(stream, index, type, lang, value, length);
    }

private:
    std::wstring file_;
    std::vector<AsfAttribute> open_;
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
