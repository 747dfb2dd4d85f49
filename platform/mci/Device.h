#pragma once

#include "platform/mci/MciTypes.h"

#include <QString>

namespace lentaro::mci {

// What a device tells the control that drives it, on the user-interface thread.
class DeviceEvents
{
public:
    // The play or record under way ended by itself: it reached its end (Successful) or failed
    // (Failure, `why` saying so). A play or record that a command ends is not reported, and
    // nothing is reported from inside a command.
    virtual void ended(NotifyCode code, const Outcome& why) = 0;

protected:
    ~DeviceEvents() = default;
};

// The four stepping commands of the button bar.
enum class Move { Back, Step, Prev, Next };

// A media device as the control drives it: the control keeps its properties, notifications and
// buttons, and knows nothing of what the device plays. Every member is called on the
// user-interface thread and returns at once, having finished, except Play and Record, which run
// on until they end by themselves or a later command ends them. A command that fails changes
// nothing.
class Device
{
public:
    virtual ~Device() = default;

    void setEvents(DeviceEvents* events) { events_ = events; }

    virtual bool supports(TimeFormat format) const = 0;
    virtual bool canRecord() const = 0;
    virtual bool canEject() const = 0;

    // Opens the medium `fileName` names (a file, or a drive as "D:"); an open device closes first.
    // A wave device given a name with no file opens a new, empty element and still reports
    // "file not found".
    virtual Outcome open(const QString& fileName) = 0;
    // Stops, throws away what was recorded and not saved, and releases the medium.
    virtual Outcome close() = 0;
    // Plays from `from` (or the position) to `to` (or the end). A range outside the medium, or
    // one that runs backwards, is refused.
    virtual Outcome play(const Range& range) = 0;
    // Records from `from` (or the position) until `to`, or until stopped.
    virtual Outcome record(const Range& range) = 0;
    // Holds the position; Play goes on from it.
    virtual Outcome pause() = 0;
    // Ends a play or record, keeping the position. Stopping a stopped device is no error.
    virtual Outcome stop() = 0;
    // Readies the input so that Record starts capturing at once.
    virtual Outcome cue() = 0;
    // Moves to `to`, or to the start of the medium.
    virtual Outcome seek(const std::optional<TimeValue>& to) = 0;
    virtual Outcome move(Move move) = 0;
    virtual Outcome save(const QString& fileName) = 0;
    virtual Outcome eject() = 0;
    virtual Outcome setWaveFormat(const WaveFormat& format) = 0;
    // Returns once the play or record under way has ended by itself or failed, having reported
    // it through ended(); at once when nothing runs or nothing would end it (a record without
    // an end).
    virtual void waitUntilEnded() = 0;

    // Open, also when it holds no medium (a drive without a disc).
    virtual bool isOpen() const = 0;
    virtual Mode mode() const = 0;
    virtual Reading position(TimeFormat format) const = 0;
    virtual Reading length(TimeFormat format) const = 0;
    virtual Reading tracks() const = 0;
    virtual Reading trackLength(int track, TimeFormat format) const = 0;
    virtual Reading trackPosition(int track, TimeFormat format) const = 0;

protected:
    DeviceEvents* events() const { return events_; }

private:
    DeviceEvents* events_ = nullptr;
};

} // namespace lentaro::mci
