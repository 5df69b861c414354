// The metadata editor of the stand-in: reads a file's header attributes on
// Open, rewrites the header on Flush.
#include "AttributeStore.h"

namespace {

class Editor : public IWMMetadataEditor, public AttributeStore, public StandinObject {
public:
    STANDIN_IUNKNOWN(IWMMetadataEditor, STANDIN_IID(IWMMetadataEditor) STANDIN_IID(IWMHeaderInfo)
                                            STANDIN_IID(IWMHeaderInfo2) STANDIN_IID(IWMHeaderInfo3))
    HRESULT STDMETHODCALLTYPE Open(const WCHAR* name) override {
        if (!name) return E_POINTER;
        if (!path_.empty()) return E_UNEXPECTED;  // one file at a time
        if (!ReadAsfAttributes(name, &attrs)) return HRESULT_FROM_WIN32(ERROR_OPEN_FAILED);
        path_ = name;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Close() override {
        path_.clear();
        attrs.clear();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Flush() override {
        if (path_.empty()) return E_UNEXPECTED;
        return WriteAsfAttributes(path_, attrs) ? S_OK : HRESULT_FROM_WIN32(ERROR_WRITE_FAULT);
    }

private:
    std::wstring path_;
};

}  // namespace

extern "C" HRESULT WINAPI WMCreateEditor(IWMMetadataEditor** editor) {
    if (!editor) return E_POINTER;
    *editor = new Editor;
    return S_OK;
}

// The stand-in has no reader. Wine's ASF reader filter asks for one when a
// Windows Media file is opened for playback; answering "not implemented"
// lets that open fail cleanly instead of ending the process on a missing
// export.
extern "C" HRESULT WINAPI WMCreateReader(IUnknown*, DWORD, IWMReader** reader) {
    if (reader) *reader = nullptr;
    return E_NOTIMPL;
}
