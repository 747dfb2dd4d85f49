#include "platform/mci/SoundCard.h"

#include "platform/audio/Devices.h"

namespace lentaro::mci {

Service<SoundCard> soundCard{madeAtFirstUse<SystemSoundCard>};

audio::Status SystemSoundCard::queryOutput(const audio::Format& format)
{
    return audio::queryOutput(format);
}

audio::Status SystemSoundCard::queryInput(const audio::Format& format)
{
    return audio::queryInput(format);
}

audio::OpenResult<audio::OutputDevice> SystemSoundCard::openOutput(const audio::Format& format)
{
    return audio::openOutput(format);
}

audio::OpenResult<audio::InputDevice> SystemSoundCard::openInput(const audio::Format& format)
{
    return audio::openInput(format);
}

audio::Status OnNullCard::queryOutput(const audio::Format& format)
{
    return card_.queryOutput(format);
}

audio::Status OnNullCard::queryInput(const audio::Format& format)
{
    return card_.queryInput(format);
}

audio::OpenResult<audio::OutputDevice> OnNullCard::openOutput(const audio::Format& format)
{
    return card_.openOutput(format);
}

audio::OpenResult<audio::InputDevice> OnNullCard::openInput(const audio::Format& format)
{
    return card_.openInput(format);
}

} // namespace lentaro::mci
