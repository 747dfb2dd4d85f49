#include "app/progresscancel.h"

#include "app/enginerunner.h"

namespace lentaro {

namespace {

// Before the main window exists only the engine pass can be running.
class RunnerCancelTargets : public ProgressCancelTargets
{
public:
    void stopEnginePass() override { engineRunner().stop(); }
    void stopDigitalRead() override {}
    void changeToCDView() override {}
};

} // namespace

Service<ProgressCancelTargets> progressCancelTargets{madeAtFirstUse<RunnerCancelTargets>};

} // namespace lentaro
