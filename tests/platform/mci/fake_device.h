#pragma once

#include "platform/mci/Device.h"
#include "platform/mci/MciErrors.h"

#include <QMetaObject>
#include <QObject>

#include <new>
#include <optional>
#include <vector>

namespace lentaro::mci::test {

// A device that does what the test says: it keeps the commands it was given, refuses the next
// one when told, and ends a play or record when the test calls end() (or, with endsAtOnce, from
// the event loop right after it started, as a play of nothing does).
class FakeDevice : public Device
{
public:
    struct Call {
        QString verb;
        Range range;
    };

    std::vector<Call> calls;
    Mode currentMode = Mode::Stopped;
    bool opened = true;
    std::optional<Outcome> refuseNext;
    bool throwsNext = false; // the next command or read throws, as running out of memory does
    bool endsAtOnce = false;
    std::optional<WaveFormat> format; // the last one set

    void end(NotifyCode code, const Outcome& why = {})
    {
        currentMode = Mode::Stopped;
        events()->ended(code, why);
    }

    QStringList verbs() const
    {
        QStringList list;
        for (const Call& call : calls)
            list << call.verb;
        return list;
    }

    bool supports(TimeFormat format) const override { return format == TimeFormat::Milliseconds; }
    bool canRecord() const override { return true; }
    bool canEject() const override { return false; }

    Outcome open(const QString&) override { return command("Open", Mode::Stopped); }
    Outcome close() override
    {
        const Outcome outcome = command("Close", Mode::NotOpen);
        if (outcome.ok())
            opened = false;
        return outcome;
    }
    Outcome play(const Range& range) override { return sound("Play", range, Mode::Playing); }
    Outcome record(const Range& range) override { return sound("Record", range, Mode::Recording); }
    Outcome pause() override { return command("Pause", Mode::Paused); }
    Outcome stop() override { return command("Stop", Mode::Stopped); }
    Outcome cue() override { return command("Cue", currentMode); }
    Outcome seek(const std::optional<TimeValue>& to) override
    {
        Range range;
        range.to = to;
        return sound("Seek", range, Mode::Stopped);
    }
    Outcome move(Move move) override
    {
        static const char* const names[] = {"Back", "Step", "Prev", "Next"};
        return command(names[static_cast<int>(move)], currentMode);
    }
    Outcome save(const QString&) override { return command("Save", currentMode); }
    Outcome eject() override { return unsupported(QStringLiteral("eject")); }
    Outcome setWaveFormat(const WaveFormat& wanted) override
    {
        const Outcome outcome = command("Format", currentMode);
        if (outcome.ok())
            format = wanted;
        return outcome;
    }
    void waitUntilEnded() override
    {
        if (currentMode == Mode::Playing)
            end(NotifyCode::Successful);
    }

    bool isOpen() const override { return opened; }
    Mode mode() const override { return opened ? currentMode : Mode::NotOpen; }
    Reading position(TimeFormat) const override
    {
        maybeThrow();
        return Reading::of(0);
    }
    Reading length(TimeFormat) const override
    {
        return opened ? Reading::of(1000) : Reading::failure(notOpen());
    }
    Reading tracks() const override { return Reading::of(1); }
    Reading trackLength(int track, TimeFormat) const override
    {
        return track == 1 ? Reading::of(1000) : Reading::failure(outOfRange("no such track"));
    }
    Reading trackPosition(int track, TimeFormat) const override
    {
        return track == 1 ? Reading::of(0) : Reading::failure(outOfRange("no such track"));
    }

private:
    void maybeThrow() const
    {
        if (throwsNext)
            throw std::bad_alloc();
    }

    Outcome command(const char* verb, Mode after)
    {
        maybeThrow();
        if (refuseNext) {
            const Outcome refused = *refuseNext;
            refuseNext.reset();
            return refused;
        }
        calls.push_back({QLatin1String(verb), {}});
        currentMode = after;
        opened = true;
        return {};
    }

    Outcome sound(const char* verb, const Range& range, Mode after)
    {
        const Outcome outcome = command(verb, after);
        if (!outcome.ok())
            return outcome;
        calls.back().range = range;
        if (endsAtOnce && after != Mode::Stopped) {
            QMetaObject::invokeMethod(
                &context_, [this] { end(NotifyCode::Successful); }, Qt::QueuedConnection);
        }
        return outcome;
    }

    QObject context_;
};

} // namespace lentaro::mci::test
