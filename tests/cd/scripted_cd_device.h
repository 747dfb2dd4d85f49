#pragma once

#include "platform/mci/DiscTimes.h"
#include "tests/platform/mci/fake_device.h"

#include <numeric>
#include <vector>

namespace lentaro::test {

// A CD device whose disc has tracks of the given lengths in ms, one after the other from 0, and
// that refuses as many plays as the test says. It answers in the time format asked, as the real
// one does: lengths and places in ms or packed minutes, seconds and frames, a track's start in
// the track format as that track at 00:00:00.
class ScriptedCdDevice : public mci::test::FakeDevice
{
public:
    explicit ScriptedCdDevice(std::vector<int> trackMs) : trackMs_(std::move(trackMs)) {}

    int refusePlays = 0;

    bool supports(mci::TimeFormat) const override { return true; }
    bool canEject() const override { return true; }
    mci::Outcome eject() override { return {}; }
    mci::Reading length(mci::TimeFormat format) const override
    {
        return mci::Reading::of(in(format, std::accumulate(trackMs_.begin(), trackMs_.end(), 0)));
    }
    mci::Reading tracks() const override
    {
        return mci::Reading::of(static_cast<int>(trackMs_.size()));
    }
    mci::Reading trackLength(int track, mci::TimeFormat format) const override
    {
        if (!exists(track))
            return mci::Reading::failure(mci::outOfRange(QStringLiteral("no such track")));
        return mci::Reading::of(in(format, trackMs_[track - 1]));
    }
    mci::Reading trackPosition(int track, mci::TimeFormat format) const override
    {
        if (!exists(track))
            return mci::Reading::failure(mci::outOfRange(QStringLiteral("no such track")));
        if (format == mci::TimeFormat::Tmsf)
            return mci::Reading::of(track);
        return mci::Reading::of(
            in(format, std::accumulate(trackMs_.begin(), trackMs_.begin() + track - 1, 0)));
    }
    mci::Outcome play(const mci::Range& range) override
    {
        if (refusePlays > 0) {
            --refusePlays;
            return mci::Outcome::failure(mci::errors::hardware,
                                         QStringLiteral("The drive does not answer."));
        }
        return FakeDevice::play(range);
    }

private:
    static int in(mci::TimeFormat format, int ms)
    {
        return format == mci::TimeFormat::Milliseconds
                   ? ms
                   : mci::durationOf(std::int64_t(ms) * 75 / 1000, format);
    }
    bool exists(int track) const
    {
        return track >= 1 && track <= static_cast<int>(trackMs_.size());
    }

    std::vector<int> trackMs_;
};

} // namespace lentaro::test
