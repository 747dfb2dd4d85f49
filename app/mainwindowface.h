#pragma once

#include "platform/shell/service.h"

namespace lentaro {

// The main window as the frame's helpers and windows change it.
class MainWindowFace
{
public:
    // The controls that show the track information.
    enum class TrackInfo { lblTracks, lblTrackComments, Comments, tgTracks };

    virtual ~MainWindowFace() = default;

    // The whole window; the progress window disables it while it is up.
    virtual void setEnabled(bool enabled) = 0;

    virtual void setTrackInfoVisible(TrackInfo control, bool visible) = 0;
};

// The main window puts itself in place once it exists; until then nothing happens.
extern Service<MainWindowFace> mainWindowFace;

} // namespace lentaro
