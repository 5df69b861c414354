#include "ui/XmlDocument.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/SafeString.h"

namespace {

// Longest file path put together here: a folder of up to 399 characters
// and a file name of up to 259.
constexpr size_t kPathBytes = 660;
// Element texts handed out by the caption, line and list look-ups.
constexpr size_t kCaptionBytes = 100;
constexpr size_t kLineBytes = 200;
constexpr size_t kBlockBytes = 1024;
constexpr size_t kLineWorkBytes = 501;
// Tag texts longer than this make an element list malformed.
constexpr size_t kTagBytes = 200;

// Control codes become blanks (compared unsigned, so accented letters of
// other code pages stay), then the blanks at both ends go.
void Clean(char* s) {
    for (unsigned char* p = reinterpret_cast<unsigned char*>(s); *p; ++p)
        if (*p < 32) *p = ' ';
    size_t length = strlen(s);
    while (length > 0 && s[length - 1] == ' ') s[--length] = '\0';
    size_t lead = 0;
    while (s[lead] == ' ') ++lead;
    if (lead) memmove(s, s + lead, length - lead + 1);
}

// Copies [begin, begin + length) cut to size - 1 characters, then cleans.
void CopyRange(char* out, size_t size, const char* begin, size_t length) {
    if (length >= size) length = size - 1;
    memcpy(out, begin, length);
    out[length] = '\0';
    Clean(out);
}

std::string OpenTag(const char* name) { return std::string("<") + name + ">"; }
std::string CloseTag(const char* name) { return std::string("</") + name + ">"; }

// The content of the first element of that name: [*begin, *end).
bool FindElement(const char* text, const char* name, const char** begin, const char** end) {
    if (!text || !name) return false;
    const std::string open = OpenTag(name), close = CloseTag(name);
    const char* o = strstr(text, open.c_str());
    if (!o) return false;
    const char* content = o + open.size();
    const char* c = strstr(content, close.c_str());
    if (!c) return false;
    *begin = content;
    *end = c;
    return true;
}

// Walks the tags between begin and end; calls onClose with the '<' of
// every closing tag. False when the run of tags is malformed.
template <class F>
bool WalkTags(const char* begin, const char* end, F onClose) {
    bool inTag = false;
    const char* tagStart = nullptr;
    for (const char* p = begin; p < end; ++p) {
        if (*p == '<') {
            if (inTag) return false;
            inTag = true;
            tagStart = p;
        } else if (*p == '>') {
            if (!inTag) return false;
            inTag = false;
            if (p - tagStart >= 2 && tagStart[1] == '/' && !onClose(tagStart)) return true;
        } else if (inTag && static_cast<size_t>(p - tagStart) >= kTagBytes - 1) {
            return false;
        }
    }
    return !inTag;
}

}  // namespace

bool GetElementText(const char* text, const char* name, char* out, size_t size) {
    if (!out || size == 0) return false;
    out[0] = '\0';
    const char *begin = nullptr, *end = nullptr;
    if (!FindElement(text, name, &begin, &end)) return false;
    CopyRange(out, size, begin, static_cast<size_t>(end - begin));
    return true;
}

bool MakeDocumentsFolder(const char* installPath, char* out, size_t size) {
    if (!out || size == 0) return false;
    std::string folder = installPath ? installPath : "";
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    if (folder.empty()) {
        // An empty install path, or one that was only separators.
        SafeCopy(out, size, "c:\\");
        return installPath && *installPath == '\0';
    }
    folder += '\\';
    if (folder.size() >= size) {
        SafeCopy(out, size, "c:\\");
        return false;
    }
    SafeCopy(out, size, folder.c_str());
    return true;
}

XmlDocument::XmlDocument(int documentKind) : text(nullptr), kind(documentKind) {
    SafeCopy(folder, "c:\\");
    text = BuiltIn();
}

XmlDocument::~XmlDocument() { Release(); }

const char* XmlDocument::BuiltIn() const {
    return kind == HotKeys ? BuiltInHotKeyDocument : BuiltInLanguageDocument;
}

bool XmlDocument::IsBuiltIn() const { return owned_ == nullptr; }

void XmlDocument::Release() {
    delete[] owned_;
    owned_ = nullptr;
    text = BuiltIn();
}

void XmlDocument::SetFolder(const char* path) { MakeDocumentsFolder(path, folder, sizeof folder); }

bool XmlDocument::Load(const char* path) {
    Release();
    if (!path) return true;
    FILE* file = fopen(path, "rb");
    if (!file) return false;
    bool ok = false;
    long size = -1;
    if (fseek(file, 0, SEEK_END) == 0) size = ftell(file);
    if (size >= 0 && size <= MaxFileBytes && fseek(file, 0, SEEK_SET) == 0) {
        char* buffer = new (std::nothrow) char[static_cast<size_t>(size) + 1];
        if (buffer) {
            size_t got = fread(buffer, 1, static_cast<size_t>(size), file);
            if (!ferror(file)) {
                buffer[got] = '\0';
                owned_ = buffer;
                text = owned_;
                ok = true;
            } else {
                delete[] buffer;
            }
        }
    }
    fclose(file);
    return ok;
}

bool XmlDocument::Open(const char* folderPath, const char* languageName) {
    SetFolder(folderPath);
    char fileName[MAX_PATH];
    if (!languageName || !FindLanguageFile(languageName, fileName, sizeof fileName)) {
        Load(nullptr);
        return true;
    }
    char path[kPathBytes];
    if (!SafeFormat(path, "%s%s", folder, fileName) || !Load(path)) Load(nullptr);
    return true;
}

bool XmlDocument::FindLanguageFile(const char* languageName, char* outName, size_t size) {
    if (!outName || size == 0) return false;
    outName[0] = '\0';
    if (!languageName) return false;
    char pattern[kPathBytes];
    if (!SafeFormat(pattern, "%s*.xml", folder)) return false;
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    FindHandle find(FindFirstFileA(pattern, &found));
    if (!find) return false;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
    } while (FindNextFileA(find.Get(), &found));
    // The host file system's order differs from one machine to the next;
    // a fixed order makes the choice between two files of one language
    // the same everywhere.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        int byCase = lstrcmpiA(a.c_str(), b.c_str());
        return byCase != 0 ? byCase < 0 : a < b;
    });
    for (const std::string& name : names) {
        if (strlen(folder) + name.size() >= kPathBytes) continue;
        char candidate[kCaptionBytes];
        if (ReadLanguageName(name.c_str(), candidate, sizeof candidate) && strcmp(candidate, languageName) == 0 &&
            SafeCopy(outName, size, name.c_str()))
            return true;
    }
    outName[0] = '\0';
    return false;
}

bool XmlDocument::ReadLanguageName(const char* fileName, char* out, size_t size) {
    if (!out || size == 0) return false;
    out[0] = '\0';
    char path[kPathBytes];
    if (!fileName || !SafeFormat(path, "%s%s", folder, fileName)) return false;
    FILE* file = fopen(path, "rb");
    if (!file) return false;
    char head[1001];
    size_t got = fread(head, 1, 1000, file);
    fclose(file);
    head[got] = '\0';
    return GetElementText(head, "LanguageName", out, std::min(size, kCaptionBytes));
}

bool XmlDocument::GetText(const char* name, char* out, size_t size) const {
    return GetElementText(text, name, out, size);
}

bool XmlDocument::GetCaption(const char* name, char* out, size_t size) const {
    if (!out || size == 0) return false;
    char caption[kLineBytes];
    GetText(name, caption, sizeof caption);
    CopyRange(out, std::min(size, kCaptionBytes), caption, strlen(caption));
    return true;
}

bool XmlDocument::GetMessageLines(const char* block, char* line1, char* line2, char* line3, size_t lineSize) const {
    char body[kBlockBytes];
    GetText(block, body, sizeof body);
    char* lines[3] = {line1, line2, line3};
    const char* names[3] = {"Line1", "Line2", "Line3"};
    for (int i = 0; i < 3; ++i) {
        if (!lines[i] || lineSize == 0) continue;
        char work[kLineWorkBytes];
        GetElementText(body, names[i], work, sizeof work);
        CopyRange(lines[i], std::min(lineSize, kLineBytes), work, strlen(work));
    }
    return true;
}

bool XmlDocument::GetAllTexts(const char* name, char* out, size_t size) const {
    if (!out || size == 0) return false;
    out[0] = '\0';
    if (!name) return false;
    const size_t room = std::min(size, kCaptionBytes);
    const std::string open = OpenTag(name), close = CloseTag(name);
    bool found = false;
    const char* pos = text;
    while (const char* o = strstr(pos, open.c_str())) {
        const char* content = o + open.size();
        const char* c = strstr(content, close.c_str());
        if (!c) break;
        char piece[kCaptionBytes];
        CopyRange(piece, sizeof piece, content, static_cast<size_t>(c - content));
        if (found && !SafeAppend(out, room, ",")) break;
        found = true;
        if (!SafeAppend(out, room, piece)) break;
        pos = c + close.size();
    }
    return found;
}

int XmlDocument::Count(const char* name) const {
    const char *begin = nullptr, *end = nullptr;
    if (!FindElement(text, name, &begin, &end)) return 0;
    int count = 0;
    if (!WalkTags(begin, end, [&](const char*) {
            ++count;
            return true;
        }))
        return 0;
    return count;
}

bool XmlDocument::GetNth(const char* name, int n, char* outName, char* outText, size_t size) const {
    if (outName && size) outName[0] = '\0';
    if (outText && size) outText[0] = '\0';
    if (!outName || !outText || size == 0 || n < 0 || n >= Count(name)) return false;
    const char *begin = nullptr, *end = nullptr;
    FindElement(text, name, &begin, &end);
    const size_t room = std::min(size, kLineBytes);
    int seen = 0;
    bool done = false;
    WalkTags(begin, end, [&](const char* close) {
        if (seen++ < n) return true;
        const char* nameEnd = strchr(close, '>');
        CopyRange(outName, room, close + 2, static_cast<size_t>(nameEnd - close - 2));
        // The text runs from the nearest '>' before the closing tag.
        const char* from = close;
        while (from > begin - 1 && from[-1] != '>') --from;
        CopyRange(outText, room, from, static_cast<size_t>(close - from));
        done = true;
        return false;
    });
    return done;
}
