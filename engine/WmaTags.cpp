// Tags and file information of existing WMA, MP3 and WAV files.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "Id3Tag.h"
#include "WmaWriter.h"
#include "framework/ComPtr.h"
#include "framework/DeviceNames.h"
#include "framework/SafeString.h"

namespace {

void ResetFileTags() {
    static const char* const names[8] = {"WM/Year",     "Author",      "Title",
                                         "WM/AlbumTitle", "Copyright", "Description",
                                         "WM/Composer", "WM/Genre"};
    for (int i = 0; i < 8; ++i) {
        SafeCopy(FileTagAttributes[i].name, names[i]);
        SafeCopy(FileTagAttributes[i].type, "string");
        FileTagAttributes[i].value[0] = 0;
    }
}

WmaAttribute& FileTag(const char* name) {
    for (WmaAttribute& a : FileTagAttributes)
        if (!strcmp(a.name, name)) return a;
    return FileTagAttributes[0];
}

// Opens a file on the editor for the life of the object.
class EditorSession {
public:
    explicit EditorSession(const char* fileName) {
        if (!MetadataEditor) {
            hr_ = E_POINTER;
            return;
        }
        hr_ = MetadataEditor->Open(WmaWide(fileName).c_str());
    }
    ~EditorSession() {
        if (SUCCEEDED(hr_)) MetadataEditor->Close();
    }
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;
    HRESULT Result() const { return hr_; }

private:
    HRESULT hr_;
};

bool ReadWholeTag(const char* fileName, Id3Tag* tag) {
    memset(tag, 0, sizeof *tag);
    return ReadId3v1Tag(fileName, tag) == 1;
}

}  // namespace

void FileExtension3(const char* fileName, char ext[4]) {
    ext[0] = 0;
    if (!fileName) return;
    size_t len = strlen(fileName);
    if (len < 4 || fileName[len - 4] != '.') return;
    for (int i = 0; i < 3; ++i) {
        char c = fileName[len - 3 + i];
        ext[i] = (char)((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c);
    }
    ext[3] = 0;
}

HRESULT ReadWmaAttribute(WmaAttribute& attribute) {
    if (!MetadataEditor) return E_POINTER;
    ComPtr<IWMHeaderInfo> header;
    HRESULT hr = MetadataEditor->QueryInterface(__uuidof(IWMHeaderInfo),
                                                reinterpret_cast<void**>(header.GetAddressOf()));
    if (FAILED(hr)) return hr;
    std::wstring name = WmaWide(attribute.name);
    WORD stream = 0, length = 0;
    WMT_ATTR_DATATYPE type;
    hr = header->GetAttributeByName(&stream, name.c_str(), &type, nullptr, &length);
    if (FAILED(hr)) return hr;
    attribute.value[0] = 0;
    // Only text is shown; anything else from a file stays empty.
    if (type != WMT_TYPE_STRING || length < sizeof(WCHAR)) return S_OK;
    std::unique_ptr<BYTE[]> value(new BYTE[length + sizeof(WCHAR)]());
    hr = header->GetAttributeByName(&stream, name.c_str(), &type, value.get(), &length);
    if (FAILED(hr)) return hr;
    const WCHAR* text = reinterpret_cast<const WCHAR*>(value.get());
    size_t chars = length / sizeof(WCHAR), used = 0;
    while (used < chars && text[used]) ++used;
    int n = WideCharToMultiByte(CP_ACP, 0, text, (int)used, attribute.value,
                                sizeof attribute.value - 1, nullptr, nullptr);
    attribute.value[n > 0 ? n : 0] = 0;
    return S_OK;
}

HRESULT FindWmaAttributeIndex(IWMHeaderInfo3* header, const WCHAR* name, WORD* index) {
    *index = (WORD)-1;
    // The index is later used to modify stream 0's attribute, so the search
    // counts stream 0's attributes only.
    WORD count = 0;
    HRESULT hr = header->GetAttributeCountEx(0, &count);
    if (FAILED(hr)) return hr;
    for (WORD i = 0; i < count; ++i) {
        WORD nameLen = 0, language = 0;
        DWORD dataLen = 0;
        WMT_ATTR_DATATYPE type;
        if (FAILED(header->GetAttributeByIndexEx(0, i, nullptr, &nameLen, &type, &language,
                                                 nullptr, &dataLen)))
            continue;
        std::wstring attrName(nameLen + 1, L'\0');
        std::unique_ptr<BYTE[]> data(new BYTE[dataLen + 2]);
        if (FAILED(header->GetAttributeByIndexEx(0, i, &attrName[0], &nameLen, &type, &language,
                                                 data.get(), &dataLen)))
            continue;
        attrName.resize(wcsnlen(attrName.c_str(), attrName.size()));
        char line[300];
        snprintf(line, sizeof line, "%3d - %S (Language %d):\n\t ", i, attrName.c_str(), language);
        OutputDebugStringA(line);
        if (attrName == name) {
            *index = i;
            return S_OK;
        }
    }
    return S_OK;
}

HRESULT WriteWmaAttribute(const WmaAttribute& attribute) {
    if (!MetadataEditor) return E_POINTER;
    ComPtr<IWMHeaderInfo3> header;
    HRESULT hr = MetadataEditor->QueryInterface(__uuidof(IWMHeaderInfo3),
                                                reinterpret_cast<void**>(header.GetAddressOf()));
    if (FAILED(hr)) return hr;
    std::wstring name = WmaWide(attribute.name), value = WmaWide(attribute.value);
    DWORD length = (DWORD)((value.size() + 1) * sizeof(WCHAR));
    WORD index = 0;
    hr = FindWmaAttributeIndex(header.Get(), name.c_str(), &index);
    if (FAILED(hr)) return hr;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(value.c_str());
    if (index != (WORD)-1) return header->ModifyAttribute(0, index, WMT_TYPE_STRING, 0, bytes, length);
    ComPtr<IWMHeaderInfo> plain;
    hr = MetadataEditor->QueryInterface(__uuidof(IWMHeaderInfo),
                                        reinterpret_cast<void**>(plain.GetAddressOf()));
    if (FAILED(hr)) return hr;
    return plain->SetAttribute(0, name.c_str(), WMT_TYPE_STRING, bytes, (WORD)length);
}

HRESULT ReadWmaTags(const char* fileName, MediaTagRecord* tags) {
    char ext[4];
    FileExtension3(fileName, ext);
    memset(tags, 0, sizeof *tags);
    // A device name is no file: reading one waits on the device.
    if (IsDeviceFileName(fileName)) return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    if (!strcmp(ext, "wma")) {
        ResetFileTags();
        EditorSession session(fileName);
        if (FAILED(session.Result())) return session.Result();
        for (const char* name : {"WM/AlbumTitle", "Author", "WM/Composer", "Copyright",
                                 "Description", "WM/Genre", "Title", "WM/Year"})
            ReadWmaAttribute(FileTag(name));
        SafeCopy(tags->album, FileTag("WM/AlbumTitle").value);
        SafeCopy(tags->author, FileTag("Author").value);
        SafeCopy(tags->composer, FileTag("WM/Composer").value);
        SafeCopy(tags->copyright, FileTag("Copyright").value);
        SafeCopy(tags->description, FileTag("Description").value);
        SafeCopy(tags->genre, FileTag("WM/Genre").value);
        SafeCopy(tags->title, FileTag("Title").value);
        return S_OK;
    }
    if (!strcmp(ext, "mp3")) {
        Id3Tag tag;
        if (ReadWholeTag(fileName, &tag)) {
            SafeCopy(tags->title, tag.title);
            SafeCopy(tags->author, tag.artist);
            SafeCopy(tags->album, tag.album);
            SafeCopy(tags->description, tag.year);
            tags->genreNumber = tag.genre;
            SafeCopy(tags->genre, Id3GenreName(tag.genre));
        }
        return S_OK;
    }
    return E_INVALIDARG;
}

HRESULT WriteWmaTags(const char* fileName, const MediaTagRecord& tags) {
    if (IsDeviceFileName(fileName)) return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    char ext[4];
    FileExtension3(fileName, ext);
    if (!strcmp(ext, "wma")) {
        ResetFileTags();
        EditorSession session(fileName);
        if (FAILED(session.Result())) return session.Result();
        SafeCopy(FileTag("WM/AlbumTitle").value, tags.album);
        SafeCopy(FileTag("Author").value, tags.author);
        SafeCopy(FileTag("WM/Composer").value, tags.composer);
        SafeCopy(FileTag("Copyright").value, tags.copyright);
        SafeCopy(FileTag("Description").value, tags.description);
        SafeCopy(FileTag("WM/Genre").value, tags.genre);
        SafeCopy(FileTag("Title").value, tags.title);
        for (const char* name : {"WM/AlbumTitle", "Author", "WM/Composer", "Copyright", "Title",
                                 "WM/Genre", "Description"})
            WriteWmaAttribute(FileTag(name));
        return MetadataEditor->Flush();
    }
    if (!strcmp(ext, "mp3")) {
        Id3Tag tag = {};
        snprintf(tag.title, sizeof tag.title, "%.30s", tags.title);
        snprintf(tag.artist, sizeof tag.artist, "%.30s", tags.author);
        snprintf(tag.album, sizeof tag.album, "%.30s", tags.album);
        snprintf(tag.year, sizeof tag.year, "%.4s", tags.description);
        tag.genre = tags.genreNumber;
        FILE* f = fopen(fileName, "r+b");
        if (!f) return HRESULT_FROM_WIN32(ERROR_OPEN_FAILED);
        // An existing tag is overwritten in place, otherwise the tag is
        // appended; files shorter than a tag cannot hold one.
        char head[3] = {0, 0, 0};
        bool hasTag = fseek(f, -128, SEEK_END) == 0 && fread(head, 1, 3, f) == 3 &&
                      !memcmp(head, "TAG", 3);
        int sought = hasTag ? fseek(f, -128, SEEK_END) : fseek(f, 0, SEEK_END);
        int written = sought == 0 ? WriteId3v1Tag(f, tag) : 0;
        bool closed = fclose(f) == 0;
        return written == 1 && closed ? S_OK : E_FAIL;
    }
    return E_INVALIDARG;
}

HRESULT ReadMediaFileInfo(const char* fileName) {
    ResetFileTags();
    for (auto& line : MediaInfoLines) line[0] = 0;
    if (IsDeviceFileName(fileName)) return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    char ext[4];
    FileExtension3(fileName, ext);
    if (!strcmp(ext, "wav")) {
        unsigned char h[44];
        FILE* f = fopen(fileName, "rb");
        if (!f) return HRESULT_FROM_WIN32(ERROR_OPEN_FAILED);
        size_t n = fread(h, 1, sizeof h, f);
        fclose(f);
        if (n != sizeof h || memcmp(h, "RIFF", 4) || memcmp(h + 8, "WAVE", 4) ||
            memcmp(h + 12, "fmt ", 4))
            return E_FAIL;
        unsigned channels = h[22] | h[23] << 8;
        unsigned rate = h[24] | h[25] << 8 | h[26] << 16 | (unsigned)h[27] << 24;
        unsigned bits = h[34] | h[35] << 8;
        snprintf(MediaInfoLines[0], 512, "Samples per second : %u ", rate);
        snprintf(MediaInfoLines[2], 512, "Bits per Sample : %u ", bits);
        snprintf(MediaInfoLines[4], 512, "Channels : %s ", channels == 1 ? "Mono" : "Stereo");
        return 0;
    }
    if (!strcmp(ext, "mp3")) {
        Id3Tag tag;
        bool have = ReadWholeTag(fileName, &tag);
        snprintf(MediaInfoLines[0], 512, "Artist : %s", have ? tag.artist : "");
        snprintf(MediaInfoLines[1], 512, "Title : %s", have ? tag.title : "");
        snprintf(MediaInfoLines[2], 512, "Album : %s", have ? tag.album : "");
        snprintf(MediaInfoLines[3], 512, "Genre : %s", have ? Id3GenreName(tag.genre) : "");
        snprintf(MediaInfoLines[4], 512, "Year : %s", have ? tag.year : "");
        return 0;
    }
    if (!strcmp(ext, "wma")) {
        EditorSession session(fileName);
        if (FAILED(session.Result())) return session.Result();
        for (const char* name : {"Author", "Title", "WM/AlbumTitle", "WM/Genre", "WM/Composer",
                                 "Copyright"})
            ReadWmaAttribute(FileTag(name));
        snprintf(MediaInfoLines[0], 512, "Artist : %s", FileTag("Author").value);
        snprintf(MediaInfoLines[1], 512, "Title : %s", FileTag("Title").value);
        snprintf(MediaInfoLines[2], 512, "Album : %s", FileTag("WM/AlbumTitle").value);
        snprintf(MediaInfoLines[3], 512, "Genre : %s", FileTag("WM/Genre").value);
        snprintf(MediaInfoLines[4], 512, "Composer : %s", FileTag("WM/Composer").value);
        snprintf(MediaInfoLines[5], 512, "Copyright : %s", FileTag("Copyright").value);
        return 0;
    }
    return E_INVALIDARG;
}
