#include "app/optionstargets.h"

namespace lentaro {

namespace {

class NoOptionsTargets : public OptionsTargets
{
public:
    void CDsetup() override {}
    bool showMixer() override { return false; }
    void btnLoopPlay_Click() override {}
    void checkTooltips() override {}
};

} // namespace

Service<OptionsTargets> optionsTargets{madeAtFirstUse<NoOptionsTargets>};

} // namespace lentaro
