#include "platform/mci/SoundTrouble.h"

namespace lentaro::mci {

namespace {

class TellingNobody final : public SoundTrouble
{
public:
    void noOutput(const audio::Status&) override {}
    void noInput(const audio::Status&) override {}
};

} // namespace

Service<SoundTrouble> soundTrouble{madeAtFirstUse<TellingNobody>};

} // namespace lentaro::mci
