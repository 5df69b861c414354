// The capture grabber: "WAV Trans" behind the capture device. Passes
// silence downstream until the program sets mode 1, so a what-you-hear
// line cannot record its own monitor.
#pragma once

#include "engine/CaptureGrabber.h"
#include "filters/WavTransFilter.h"

class CaptureGrabber : public WavTransServer<ICaptureWavTrans> {
public:
    CaptureGrabber();

protected:
    const IID& ApiId() const override { return IID_ICaptureWavTrans; }
};
