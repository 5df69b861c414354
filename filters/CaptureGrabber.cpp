#include "filters/CaptureGrabber.h"

CaptureGrabber::CaptureGrabber()
    : WavTransServer(CLSID_CaptureWavTrans, EC_CAPTURE_BUFFER, 0, true) {}
