#include "control/EncoderLibrary.h"

#include <cstring>

#include "engine/Mp3Encoder.h"
#include "filters/base/Module.h"
#include "framework/SafeString.h"

namespace {

// An encoder installed with the control sits beside the control's own DLL,
// which neither the system's search (the browser's folder) nor c:\ covers.
bool LoadBesideThisModule() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(filterbase::ThisModule(), path, sizeof path);
    if (n == 0 || n >= sizeof path) return false;
    char* slash = strrchr(path, '\\');
    if (!slash) return false;
    slash[1] = '\0';
    char library[MAX_PATH];
    return SafeFormat(library, "%slame_enc.dll", path) && LoadMp3EncoderFrom(library);
}

}  // namespace

bool EncoderLibraryLoad() {
    // Apartment-threaded: only the container's thread asks.
    static int available = -1;
    if (available < 0)
        available = Mp3EncoderAvailable() || LoadBesideThisModule() || LoadMp3EncoderOutsideCurrentDirectory() ? 1 : 0;
    return available == 1;
}
