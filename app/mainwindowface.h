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

    // Another start on this program folder asked for the running program: the window comes
    // out of its minimised state, to the front and active (and any modal window over it), once
    // start-up has shown it.
    virtual void comeForward() = 0;
};

// The main window puts itself in place once it exists; until then nothing happens.
extern Service<MainWindowFace> mainWindowFace;

} // namespace lentaro
