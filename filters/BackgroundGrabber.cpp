#include "filters/BackgroundGrabber.h"

BackgroundGrabber::BackgroundGrabber()
    : WavTransServer(CLSID_BackgroundWavTrans, EC_BACKGROUND_BUFFER, 1, false) {}
