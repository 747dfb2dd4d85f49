#pragma once

namespace lentaro {

// What Cancel on the progress window (messages2) ends. The main window and the CD side put
// their own in place once they exist; until then the engine pass is stopped through the runner
// library and the other two do nothing.
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

// The targets in use.
ProgressCancelTargets& progressCancelTargets();
// Replaces them (nullptr: the runner library's again); returns the ones replaced (nullptr for
// the runner library's).
ProgressCancelTargets* setProgressCancelTargets(ProgressCancelTargets* targets);

} // namespace lentaro
