// Numbered and time-stamped output file names.
#include "app/OutputNaming.h"

#include <mbstring.h>

#include <cctype>
#include <cstdio>
#include <cstring>

const char kDefaultOutputPath[] = "C:\\Velorin.wav";

namespace {

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Byte offset of the last `c` in `text` at or after `from`, or npos. The
// search steps over double-byte characters, so a trail byte that happens
// to equal "\" or "_" is never taken for one.
size_t LastOf(const std::string& text, unsigned char c, size_t from = 0) {
    if (from >= text.size()) return std::string::npos;
    const unsigned char* start = reinterpret_cast<const unsigned char*>(text.c_str()) + from;
    const unsigned char* hit = _mbsrchr(start, c);
    return hit ? static_cast<size_t>(hit - reinterpret_cast<const unsigned char*>(text.c_str()))
               : std::string::npos;
}

// Numbers go up to this; a name carrying more is not counted (one more
// would not fit the "%d" it is written with).
constexpr long long kLargestSuffix = 999999999;

}  // namespace

std::string OutputExtension(const std::string& path) {
    std::string ext = path.size() > 4 ? path.substr(path.size() - 4) : path;
    for (char& c : ext) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    if (ext == ".MP3" || ext == ".WAV" || ext == ".WMA") return ext;
    return "";
}

std::string FolderOf(const std::string& path) {
    size_t slash = LastOf(path, '\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

long long NumberSuffixOf(const char* fileName) {
    const unsigned char* name = reinterpret_cast<const unsigned char*>(fileName);
    const unsigned char* underscore = _mbsrchr(name, '_');
    if (!underscore || !strchr(reinterpret_cast<const char*>(underscore), '.')) return -1;
    long long value = 0;
    for (const unsigned char* p = underscore + 1; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > kLargestSuffix) return -1;
    }
    return value;
}

bool BuildNumberedPath(const std::string& path, std::string* out) {
    const std::string ext = OutputExtension(path);
    if (ext.empty()) return false;
    // The "_" that separates the number belongs to the file name: an
    // underscore in a folder name is not one.
    const std::string folder = FolderOf(path);
    size_t underscore = LastOf(path, '_', folder.size());
    const std::string base = path.substr(0, underscore != std::string::npos ? underscore
                                                                            : path.size() - 4);

    long long highest = 0;
    bool matched = false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((base + "_*" + ext).c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            matched = true;
            long long n = NumberSuffixOf(found.cFileName);
            if (n > highest) highest = n;
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    long long next = matched ? (highest < 1 ? 1 : highest) + 1 : 1;
    // A search that could not run (a pattern too long for it) finds
    // nothing: never take a number whose file is there.
    char number[24];
    for (;; ++next) {
        snprintf(number, sizeof number, "_%03lld", next);
        if (!Exists(base + number + ext) || next >= kLargestSuffix + 1) break;
    }
    *out = base + number + ext;
    return true;
}

bool BuildTimeStampedPath(const std::string& path, const SYSTEMTIME& now, std::string* out) {
    const std::string ext = OutputExtension(path);
    if (ext.empty()) return false;
    char stamp[40];
    snprintf(stamp, sizeof stamp, "%d%02d%02d-%02d%02d%02d", now.wYear, now.wMonth, now.wDay,
             now.wHour, now.wMinute, now.wSecond);
    const std::string stem = FolderOf(path) + stamp;
    std::string name = stem + ext;
    // Two starts within one second must not share a file.
    for (int n = 1; Exists(name) && n <= 999999; ++n) {
        char suffix[16];
        snprintf(suffix, sizeof suffix, "_%03d", n);
        name = stem + suffix + ext;
    }
    *out = name;
    return true;
}

bool WithFormatExtension(const char* path, const char* letters, char* out, size_t capacity) {
    if (!path || !letters || !out) return false;
    std::string result(path);
    // The same rule as the file information's: only "." and exactly three
    // characters make an extension, so short names keep their text.
    if (result.size() >= 4 && result[result.size() - 4] == '.') result.resize(result.size() - 3);
    else result += '.';
    result += letters;
    if (result.size() >= capacity) return false;
    memcpy(out, result.c_str(), result.size() + 1);
    return true;
}

bool SameFilePath(const char* a, const char* b) {
    if (!a || !b) return false;
    auto trimmed = [](const char* s) {
        std::string t(s);
        while (!t.empty() && isspace(static_cast<unsigned char>(t.back()))) t.pop_back();
        return t;
    };
    const std::string x = trimmed(a), y = trimmed(b);
    return !x.empty() && lstrcmpiA(x.c_str(), y.c_str()) == 0;
}
