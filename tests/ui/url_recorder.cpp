// Stand-in browser for the launcher tests: writes its command line and its
// arguments as the C runtime splits them, one per line, to cmdline.txt
// beside itself, then exits.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cstdlib>

int main(int argc, char** argv) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    char* slash = n ? strrchr(path, '\\') : nullptr;
    if (!slash || static_cast<size_t>(slash - path) + 16 > sizeof path) return 2;
    strcpy(slash + 1, "cmdline.txt");
    FILE* f = fopen(path, "wb");
    if (!f) return 1;
    fprintf(f, "%s\n", GetCommandLineA());
    for (int i = 1; i < argc; ++i) fprintf(f, "%s\n", argv[i]);
    fclose(f);
    return 0;
}
