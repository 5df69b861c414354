#include "control/EncoderLibrary.h"

#include "engine/Mp3Encoder.h"

bool EncoderLibraryLoad() {
    // Apartment-threaded: only the container's thread asks.
    static int available = -1;
    if (available < 0) available = LoadMp3EncoderOutsideCurrentDirectory() ? 1 : 0;
    return available == 1;
}
