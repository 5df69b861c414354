#include "control/EncoderLibrary.h"

#include <windows.h>

#include "engine/Mp3Encoder.h"

bool EncoderLibraryLoad() {
    // Apartment-threaded: only the container's thread asks.
    static int available = -1;
    if (available < 0) {
        char previous[MAX_PATH] = "";
        DWORD n = GetDllDirectoryA(sizeof previous, previous);
        bool restore = n > 0 && n < sizeof previous;
        // An empty DLL directory takes the current one out of the search.
        SetDllDirectoryA("");
        available = LoadMp3Encoder(nullptr) ? 1 : 0;
        SetDllDirectoryA(restore ? previous : nullptr);
    }
    return available == 1;
}
