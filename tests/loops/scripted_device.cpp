#include "tests/loops/scripted_device.h"

namespace lentaro::test {

mci::Outcome ScriptedDevice::note(const QString& command)
{
    if (journal)
        *journal << name + QLatin1Char(' ') + command;
    return {};
}

mci::Outcome ScriptedDevice::play(const mci::Range& range)
{
    const auto at = [](const std::optional<mci::TimeValue>& value) {
        return value ? QString::number(value->value) : QString();
    };
    note(QStringLiteral("play %1-%2").arg(at(range.from), at(range.to)));
    if (refusesPastMs && range.to && range.to->value > *refusesPastMs)
        return mci::Outcome::failure(277, QStringLiteral("The end lies past the media."));
    ++plays;
    currentMode = mci::Mode::Playing;
    return {};
}

mci::Outcome ScriptedDevice::stop()
{
    currentMode = mci::Mode::Stopped;
    return note(QStringLiteral("stop"));
}

mci::Reading ScriptedDevice::position(mci::TimeFormat format) const
{
    if (format == mci::TimeFormat::Tmsf) {
        const int seconds = lastMs_ / 1000;
        return mci::Reading::of(1 | (seconds / 60) << 8 | (seconds % 60) << 16);
    }
    lastMs_ = positions.front();
    if (positions.size() > 1)
        positions.pop_front();
    return mci::Reading::of(lastMs_);
}

mci::Reading ScriptedDevice::trackLength(int track, mci::TimeFormat) const
{
    const auto found = trackStartAndLength.find(track);
    if (found == trackStartAndLength.end())
        return mci::Reading::failure(mci::Outcome::failure(263, QStringLiteral("no such track")));
    return mci::Reading::of(found->second.second);
}

mci::Reading ScriptedDevice::trackPosition(int track, mci::TimeFormat) const
{
    const auto found = trackStartAndLength.find(track);
    if (found == trackStartAndLength.end())
        return mci::Reading::failure(mci::Outcome::failure(263, QStringLiteral("no such track")));
    return mci::Reading::of(found->second.first);
}

} // namespace lentaro::test
