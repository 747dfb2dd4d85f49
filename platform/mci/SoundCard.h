#pragma once

#include "platform/audio/Error.h"
#include "platform/audio/Format.h"
#include "platform/audio/InputDevice.h"
#include "platform/audio/NullSoundCard.h"
#include "platform/audio/OutputDevice.h"
#include "platform/shell/service.h"

namespace lentaro::mci {

// Where the devices get their sound outputs and inputs: the program's own (platform/audio's,
// as the environment chooses them) unless a test or benchmark puts a null card in place.
class SoundCard
{
public:
    virtual ~SoundCard() = default;

    virtual audio::Status queryOutput(const audio::Format& format) = 0;
    virtual audio::Status queryInput(const audio::Format& format) = 0;
    virtual audio::OpenResult<audio::OutputDevice> openOutput(const audio::Format& format) = 0;
    virtual audio::OpenResult<audio::InputDevice> openInput(const audio::Format& format) = 0;
};

// The devices platform/audio's environment chooses.
class SystemSoundCard final : public SoundCard
{
public:
    audio::Status queryOutput(const audio::Format& format) override;
    audio::Status queryInput(const audio::Format& format) override;
    audio::OpenResult<audio::OutputDevice> openOutput(const audio::Format& format) override;
    audio::OpenResult<audio::InputDevice> openInput(const audio::Format& format) override;
};

// A null card of the caller's, with its clock, sink and source.
class OnNullCard final : public SoundCard
{
public:
    explicit OnNullCard(audio::NullSoundCard& card) : card_(card) {}

    audio::Status queryOutput(const audio::Format& format) override;
    audio::Status queryInput(const audio::Format& format) override;
    audio::OpenResult<audio::OutputDevice> openOutput(const audio::Format& format) override;
    audio::OpenResult<audio::InputDevice> openInput(const audio::Format& format) override;

private:
    audio::NullSoundCard& card_;
};

extern Service<SoundCard> soundCard;

} // namespace lentaro::mci
