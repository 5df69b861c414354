// Stand-in browser for the schedule's streaming addresses: appends the time
// it was created (seconds since 1970; the creation, not the time main runs,
// which an emulated start delays by seconds), its process id and its command line to
// starts.txt beside itself, then stays up until it is ended.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main() {
    FILETIME now, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &now, &exited, &kernel, &user))
        GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER v;
    v.LowPart = now.dwLowDateTime;
    v.HighPart = now.dwHighDateTime;
    const double seconds = v.QuadPart / 1e7 - 11644473600.0;
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    char* slash = n ? strrchr(path, '\\') : nullptr;
    if (!slash || static_cast<size_t>(slash - path) + 16 > sizeof path) return 2;
    strcpy(slash + 1, "starts.txt");
    FILE* f = fopen(path, "ab");
    if (!f) return 1;
    fprintf(f, "%.3f %lu %s\n", seconds, GetCurrentProcessId(), GetCommandLineA());
    fclose(f);
    Sleep(120000);
    return 0;
}
