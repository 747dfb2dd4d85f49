#pragma once

#include "platform/audio/Error.h"
#include "platform/shell/service.h"

namespace lentaro::mci {

// Told, on the user-interface thread, when a device cannot have the sound output it plays through
// or the sound input it records from: there is none, or the sound system refused to open or start
// it. The command that needed it fails too, with the same reason.
class SoundTrouble
{
public:
    virtual ~SoundTrouble() = default;

    virtual void noOutput(const audio::Status& why) = 0;
    virtual void noInput(const audio::Status& why) = 0;
};

// Tells nobody unless the program puts its own in place.
extern Service<SoundTrouble> soundTrouble;

} // namespace lentaro::mci
