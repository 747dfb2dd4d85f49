#pragma once

#include "platform/shell/service.h"

namespace lentaro {

// What Cancel on the progress window (messages2) ends.
class ProgressCancelTargets
{
public:
    virtual ~ProgressCancelTargets() = default;

    // Source "KV": stops the running engine pass (the main window's stopDLL). Harmless when no
    // pass runs.
    virtual void stopEnginePass() = 0;

    // Source "ACD", answered Yes: ends the running digital CD read, when digital reading works
    // on this computer.
    virtual void stopDigitalRead() = 0;

    // Source "ACD", answered Yes: the main window changes to its "CD" view.
    virtual void changeToCDView() = 0;
};

// The main window and the CD side put their own in place once they exist; until then the
// engine pass is stopped through the engine runner (enginerunner.h) and the other two do
// nothing.
extern Service<ProgressCancelTargets> progressCancelTargets;

} // namespace lentaro
