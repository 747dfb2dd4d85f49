#pragma once

#include "platform/mci/Device.h"

#include <QStringList>

#include <deque>
#include <map>
#include <optional>

namespace lentaro::test {

// A media device whose position the test scripts: each read in ms takes the next of
// `positions`, the last one staying; a read in the track format gives that last position as
// track 1's minutes and seconds (its disc has track 1 from 0). Play starts it playing, unless it ends after `refusesPastMs`; a track the test
// gave no start for is an error. Its commands go to `journal`, if given, as "<name> <command>"
// with the range asked ("play 1000-2000", "play 1000-" without an end).
class ScriptedDevice : public mci::Device
{
public:
    mutable std::deque<int> positions{0};
    std::map<int, std::pair<int, int>> trackStartAndLength;
    mci::Mode currentMode = mci::Mode::Stopped;
    int plays = 0;
    int mediaLength = 600000;
    std::optional<int> refusesPastMs;
    QString name;
    QStringList* journal = nullptr;

    bool supports(mci::TimeFormat) const override { return true; }
    bool canRecord() const override { return false; }
    bool canEject() const override { return false; }
    // It starts open, as the program's devices are once a file or disc is shown; Close closes it
    // as the real ones do, and Open opens it again.
    mci::Outcome open(const QString&) override
    {
        open_ = true;
        return {};
    }
    mci::Outcome close() override
    {
        open_ = false;
        return {};
    }
    mci::Outcome play(const mci::Range&) override;
    mci::Outcome record(const mci::Range&) override { return note(QStringLiteral("record")); }
    mci::Outcome pause() override { return note(QStringLiteral("pause")); }
    mci::Outcome stop() override;
    mci::Outcome cue() override { return note(QStringLiteral("cue")); }
    mci::Outcome seek(const std::optional<mci::TimeValue>&) override { return {}; }
    mci::Outcome move(mci::Move) override { return {}; }
    mci::Outcome save(const QString&) override { return {}; }
    mci::Outcome eject() override { return {}; }
    mci::Outcome setWaveFormat(const mci::WaveFormat&) override { return {}; }
    void waitUntilEnded() override {}
    bool isOpen() const override { return open_; }
    mci::Mode mode() const override { return open_ ? currentMode : mci::Mode::NotOpen; }
    mci::Reading position(mci::TimeFormat) const override;
    mci::Reading length(mci::TimeFormat) const override { return mci::Reading::of(mediaLength); }
    mci::Reading tracks() const override { return mci::Reading::of(10); }
    mci::Reading trackLength(int track, mci::TimeFormat) const override;
    mci::Reading trackPosition(int track, mci::TimeFormat) const override;

private:
    mci::Outcome note(const QString& command);

    mutable int lastMs_ = 0;
    bool open_ = true;
};

} // namespace lentaro::test
