#include "platform/mci/Playback.h"

#include "platform/mci/MciErrors.h"
#include "platform/mci/SoundCard.h"
#include "platform/mci/SoundFormats.h"
#include "platform/mci/SoundTrouble.h"
#include "platform/shell/uihandover.h"

namespace lentaro::mci {

Playback::Playback(UiHandOver& handOver, Ended ended)
    : handOver_(handOver), ended_(std::move(ended))
{
}

Playback::~Playback()
{
    close();
}

Outcome Playback::prepare(const audio::Format& sound)
{
    if (output_ && outputFor_ == sound)
        return {};
    halt();
    output_.reset();
    audio::Status refused;
    for (const audio::Format& candidate : outputCandidates(sound)) {
        refused = soundCard().queryOutput(candidate);
        if (!refused.ok())
            continue;
        audio::OpenResult<audio::OutputDevice> opened = soundCard().openOutput(candidate);
        if (!opened) {
            soundTrouble().noOutput(opened.status);
            return hardwareFailure(opened.status);
        }
        output_ = std::move(opened.device);
        outputFor_ = sound;
        return {};
    }
    soundTrouble().noOutput(refused);
    return hardwareFailure(refused);
}

void Playback::start(std::unique_ptr<FrameFeed> feed, std::int64_t from, std::int64_t to)
{
    halt();
    ++serial_;
    from_ = from;
    to_ = to;
    auto pump = std::make_unique<FramePump>(*output_, std::move(feed), [this, serial = serial_] {
        handOver_.post([this, serial] {
            if (serial == serial_ && pump_)
                finish();
        });
    });
    // A pump that cannot start (no thread to be had) is no play under way.
    pump->start();
    pump_ = std::move(pump);
}

std::int64_t Playback::position() const
{
    return pump_ ? from_ + static_cast<std::int64_t>(pump_->framesHeard()) : to_;
}

std::int64_t Playback::halt()
{
    if (!pump_)
        return to_;
    pump_->stop();
    const std::int64_t reached = position();
    pump_.reset();
    ++serial_;
    return reached;
}

void Playback::finish()
{
    const FramePump::Result result = pump_->result();
    End end;
    end.trouble = result.trouble;
    end.why = result.why;
    end.reached = result.trouble == FramePump::Trouble::None ? to_ : halt();
    pump_.reset();
    ++serial_;
    ended_(end);
}

void Playback::waitUntilEnded()
{
    if (!pump_)
        return;
    pump_->waitUntilEnded();
    finish();
}

void Playback::close()
{
    halt();
    output_.reset();
}

} // namespace lentaro::mci
