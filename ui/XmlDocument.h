// Language and hot-key documents: a small XML text held whole in memory
// and searched by element name ("<name>" ... "</name>", first occurrence
// in the whole document). No parser: attributes, entities, comments and
// namespaces mean nothing here; texts are shown as the bytes they are.
//
// Every text handed out is cut to the caller's buffer and cleaned: codes 1
// to 31 become blanks, leading and trailing blanks go.
#pragma once

#include <cstddef>

// Control identifier 1000 + i has the name at index i ("NA": no control).
constexpr int ControlNameCount = 184;
extern const char* const ControlNameTable[ControlNameCount];
// The index of a control name, or -1 (never for "NA").
int FindControlName(const char* name);

// The two documents compiled into the program.
extern const char BuiltInLanguageDocument[];
extern const char BuiltInHotKeyDocument[];

// Text between the first "<name>" of text and the first "</name>" after
// it, at most size - 1 characters, cleaned; false and "" when a tag is
// missing.
bool GetElementText(const char* text, const char* name, char* out, size_t size);

// The documents folder: the install folder with one trailing backslash,
// or "c:\" when it is empty. False (and "c:\") when it does not fit.
bool MakeDocumentsFolder(const char* installPath, char* out, size_t size);

class XmlDocument {
public:
    enum Kind { Language = 0, HotKeys = 1 };
    // Larger files are refused (the built-in document stands in).
    static constexpr long MaxFileBytes = 1 << 20;

    explicit XmlDocument(int kind = Language);
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    const char* text;  // the whole document, never null
    int kind;          // selects the built-in document
    char folder[400];  // documents folder, ending in a backslash

    bool IsBuiltIn() const;
    void SetFolder(const char* path);

    // Null path: the built-in document, true. Otherwise the whole file;
    // a file that cannot be opened or read, or is larger than
    // MaxFileBytes, gives the built-in document and false.
    bool Load(const char* path);
    // Folder and language name (null: built-in); the matching language
    // file, or the built-in document when none matches. Always true.
    bool Open(const char* folderPath, const char* languageName);
    // First "*.xml" of the folder (names in case-blind order) whose
    // LanguageName is exactly languageName.
    bool FindLanguageFile(const char* languageName, char* outName, size_t size);
    // LanguageName from the first 1000 bytes of folder + fileName.
    bool ReadLanguageName(const char* fileName, char* out, size_t size = 100);

    bool GetText(const char* name, char* out, size_t size) const;
    // At most 99 characters (the out buffer holds 100).
    bool GetCaption(const char* name, char* out, size_t size = 100) const;
    // Line1..Line3 of a message block, at most 199 characters each ("" for
    // a missing line); each out buffer holds lineSize bytes.
    bool GetMessageLines(const char* block, char* line1, char* line2, char* line3, size_t lineSize = 200) const;
    // Every occurrence of the element, in document order, joined with ","
    // and cut to 99 characters.
    bool GetAllTexts(const char* name, char* out, size_t size = 100) const;
    // Elements inside the named one (counted by closing tags), 0 when the
    // element is missing or malformed.
    int Count(const char* name) const;
    // The n-th of them (0-based): its name and text, at most 199
    // characters each.
    bool GetNth(const char* name, int n, char* outName, char* outText, size_t size = 200) const;

private:
    void Release();
    const char* BuiltIn() const;
    char* owned_ = nullptr;
};
