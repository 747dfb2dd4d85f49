#pragma once

#include "platform/shell/service.h"

namespace lentaro {

// The waveform view as the frame's windows reach it.
class WaveformViewFace
{
public:
    virtual ~WaveformViewFace() = default;

    // Shows the view again on top of the main window when it is open; nothing when it is not.
    virtual void bringBack() = 0;
};

// The waveform view puts itself in place once it exists; until then nothing happens.
extern Service<WaveformViewFace> waveformViewFace;

} // namespace lentaro
