// The capture grabber: "WAV Trans" behind the capture device. Passes
// silence downstream until the program sets mode 1, so a what-you-hear
// line cannot record its own monitor; the monitor goes to the renderer on
// a thread of its own, so the device's thread never waits for it.
#pragma once

#include "engine/CaptureGrabber.h"
#include "filters/WavTransFilter.h"

class CaptureGrabber : public WavTransServer<ICaptureWavTrans> {
public:
    CaptureGrabber();

protected:
    const IID& ApiId() const override { return IID_ICaptureWavTrans; }
};
