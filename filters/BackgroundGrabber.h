// The background grabber: "WAV Trans" behind the background sound's PCM
// converter, feeding the null renderer (or, for metered playback, the
// played sound to the level meters).
#pragma once

#include "engine/BackgroundGrabber.h"
#include "filters/WavTransFilter.h"

class BackgroundGrabber : public WavTransServer<IBackgroundWavTrans> {
public:
    BackgroundGrabber();

protected:
    const IID& ApiId() const override { return IID_IBackgroundWavTrans; }
};
