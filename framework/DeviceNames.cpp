#include "framework/DeviceNames.h"

#include <cctype>
#include <cstring>

bool IsDeviceFileName(const char* path) {
    if (!path) return false;
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || (*p == ':' && p == path + 1)) name = p + 1;
    // The base: up to the first ".", ":" or blank (trailing blanks and
    // everything after the first dot do not make it another name).
    char base[5] = "";
    size_t n = 0;
    for (const char* p = name; *p && *p != '.' && *p != ':'; ++p) {
        if (*p == ' ') {
            // Only blanks may follow before the dot or the end.
            const char* q = p;
            while (*q == ' ') ++q;
            if (*q && *q != '.' && *q != ':') return false;
            break;
        }
        if (n == 4) return false;
        base[n++] = static_cast<char>(tolower(static_cast<unsigned char>(*p)));
    }
    base[n] = '\0';
    if (n == 3)
        return !strcmp(base, "con") || !strcmp(base, "prn") || !strcmp(base, "aux") ||
               !strcmp(base, "nul");
    if (n == 4 && (!strncmp(base, "com", 3) || !strncmp(base, "lpt", 3)))
        return base[3] >= '1' && base[3] <= '9';
    return false;
}
