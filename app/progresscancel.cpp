#include "app/progresscancel.h"

#include "app/pallomirunner.h"

namespace lentaro {

namespace {

// Before the main window exists only the engine pass can be running.
class RunnerCancelTargets : public ProgressCancelTargets
{
public:
    void stopEnginePass() override { runner_.stop(); }
    void stopDigitalRead() override {}
    void changeToCDView() override {}

private:
    PallomiRunner runner_;
};

ProgressCancelTargets* replacement = nullptr;

} // namespace

ProgressCancelTargets& progressCancelTargets()
{
    static RunnerCancelTargets runnerTargets;
    return replacement ? *replacement : runnerTargets;
}

ProgressCancelTargets* setProgressCancelTargets(ProgressCancelTargets* targets)
{
    ProgressCancelTargets* previous = replacement;
    replacement = targets;
    return previous;
}

} // namespace lentaro
