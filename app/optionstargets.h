#pragma once

#include "platform/shell/service.h"

namespace lentaro {

// What the settings dialog reaches outside the frame: the CD side's drive choice and mixer, the
// loop side's play button and the main window's tooltips.
class OptionsTargets
{
public:
    virtual ~OptionsTargets() = default;

    // The interactive choice and test of the CD audio drive.
    virtual void CDsetup() = 0;
    // Opens the system's mixer; false when none could be opened.
    virtual bool showMixer() = 0;
    // The loop-play button: in "SlowPlay" a new engine pass with the current settings.
    virtual void btnLoopPlay_Click() = 0;
    // Shows or blanks the main window's tooltips as gvShowTooltips says.
    virtual void checkTooltips() = 0;
};

// The main window puts itself in place once it exists; until then nothing happens.
extern Service<OptionsTargets> optionsTargets;

} // namespace lentaro
