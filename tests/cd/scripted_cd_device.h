#pragma once

#include "tests/platform/mci/fake_device.h"

#include <numeric>
#include <vector>

namespace lentaro::test {

// A CD device whose disc has tracks of the given lengths in ms, one after the other from 0, the
// same in every time format, and that refuses as many plays as the test says.
class ScriptedCdDevice : public mci::test::FakeDevice
{
public:
    explicit ScriptedCdDevice(std::vector<int> trackMs) : trackMs_(std::move(trackMs)) {}

    int refusePlays = 0;

    bool supports(mci::TimeFormat) const override { return true; }
    bool canEject() const override { return true; }
    mci::Outcome eject() override { return {}; }
    mci::Reading length(mci::TimeFormat) const override
    {
        return mci::Reading::of(std::accumulate(trackMs_.begin(), trackMs_.end(), 0));
    }
    mci::Reading tracks() const override
    {
        return mci::Reading::of(static_cast<int>(trackMs_.size()));
    }
    mci::Reading trackLength(int track, mci::TimeFormat) const override
    {
        if (!exists(track))
            return mci::Reading::failure(mci::outOfRange(QStringLiteral("no such track")));
        return mci::Reading::of(trackMs_[track - 1]);
    }
    mci::Reading trackPosition(int track, mci::TimeFormat) const override
    {
        if (!exists(track))
            return mci::Reading::failure(mci::outOfRange(QStringLiteral("no such track")));
        return mci::Reading::of(std::accumulate(trackMs_.begin(), trackMs_.begin() + track - 1, 0));
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
    bool exists(int track) const
    {
        return track >= 1 && track <= static_cast<int>(trackMs_.size());
    }

    std::vector<int> trackMs_;
};

} // namespace lentaro::test
