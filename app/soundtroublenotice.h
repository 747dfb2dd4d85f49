#pragma once

#include "platform/mci/SoundTrouble.h"

namespace lentaro {

// What the program does when a device cannot have the sound output or input it needs: nothing
// plays, so the play state goes back to stopped at once; and the first time in the run for the
// output, and the first time for the input, a message says that none could be opened, with the
// sound system's reason and what to check. The message comes from the event loop, once the
// command that failed has returned.
class SoundTroubleNotice final : public mci::SoundTrouble
{
public:
    void noOutput(const audio::Status& why) override;
    void noInput(const audio::Status& why) override;

private:
    bool outputTold_ = false;
    bool inputTold_ = false;
};

} // namespace lentaro
