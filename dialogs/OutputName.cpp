#include "dialogs/OutputName.h"

#include <windows.h>

#include <cctype>
#include <cstring>

const char kDefaultOutputName[] = "Velorin.wav";

namespace {

// Position of the last "\" of a text, stepping over double-byte
// characters whose second byte may look like one; npos when there is none.
size_t LastBackslash(const std::string& text) {
    size_t found = std::string::npos;
    const char* start = text.c_str();
    for (const char* p = start; *p; p = CharNextA(p))
        if (*p == '\\') found = static_cast<size_t>(p - start);
    return found;
}

bool IsBlank(char c) { return isspace(static_cast<unsigned char>(c)) != 0; }

std::string TrimRight(const std::string& text) {
    size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1])) --end;
    return text.substr(0, end);
}

// ".wav" 0, ".mp3" 1, ".wma" 2, else -1, for the last four characters of
// an already trimmed text.
int KnownExtension(const std::string& text) {
    const std::string tail = text.size() > 4 ? text.substr(text.size() - 4) : text;
    static const char* const kEndings[] = {".wav", ".mp3", ".wma"};
    for (int i = 0; i < 3; ++i)
        if (lstrcmpiA(tail.c_str(), kEndings[i]) == 0) return i;
    return -1;
}

}  // namespace

void SplitLastName(const std::string& lastName, std::string* folder, std::string* name) {
    if (lastName.empty()) {
        *folder = "C:\\";
        *name = kDefaultOutputName;
        return;
    }
    const size_t slash = LastBackslash(lastName);
    if (slash == std::string::npos) {
        folder->clear();
        *name = lastName;
        return;
    }
    *folder = lastName.substr(0, slash + 1);
    *name = lastName.substr(slash + 1);
}

int FormatOfName(const std::string& name) { return KnownExtension(TrimRight(name)); }

bool ApplyFormatToName(std::string* name, const char* ext) {
    std::string trimmed = TrimRight(*name);
    std::string result;
    if (trimmed.empty()) {
        result = std::string("Velorin.") + ext;
    } else {
        // Only an extension of ours is replaced: a dot inside the name
        // ("v1.2 interview") is part of the name.
        if (KnownExtension(trimmed) >= 0) trimmed.resize(trimmed.size() - 4);
        result = trimmed + "." + ext;
    }
    if (result.size() > kOutputEditMax) return false;
    *name = result;
    return true;
}

OutputPathCheck JoinOutputPath(const std::string& folder, const std::string& name,
                               std::string* folderOut, std::string* path) {
    std::string dir = TrimRight(folder);
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    const std::string file = TrimRight(name).empty() ? std::string(kDefaultOutputName) : name;
    *folderOut = dir;
    *path = dir + file;
    if (dir.size() > kOutputFolderMax) return OutputPathCheck::FolderTooLong;
    if (path->size() > kOutputPathMax) return OutputPathCheck::PathTooLong;
    return OutputPathCheck::Ok;
}
