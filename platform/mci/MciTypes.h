#pragma once

#include <QString>

#include <optional>

namespace lentaro::mci {

// How positions and lengths are given: milliseconds (every device), and for CD audio the packed
// forms MSF (minutes | seconds << 8 | frames << 16) and TMSF (track | minutes << 8 |
// seconds << 16 | frames << 24).
enum class TimeFormat { Milliseconds = 0, Msf = 2, Tmsf = 10 };

// What a device is doing, numbered as callers test it.
enum class Mode { NotOpen = 524, Stopped = 525, Playing = 526, Recording = 527, Paused = 529 };

// Why a notified command ended, the argument of the Done event.
enum class NotifyCode { Successful = 1, Superseded = 2, Aborted = 4, Failure = 8 };

// A time as the caller gave it, kept in the format that held when it was given.
struct TimeValue {
    int value = 0;
    TimeFormat format = TimeFormat::Milliseconds;
};

// The stretch a Play or Record covers; a missing end is the current position or the medium's end.
struct Range {
    std::optional<TimeValue> from;
    std::optional<TimeValue> to;
};

// The result of a command or a read: error 0, or an error number with a sentence saying why.
struct Outcome {
    int error = 0;
    QString message;

    bool ok() const { return error == 0; }
    static Outcome failure(int error, QString message) { return {error, std::move(message)}; }
};

// A value read from a device, or why there is none (the value is then 0).
struct Reading {
    int value = 0;
    Outcome outcome;

    static Reading of(int value) { return {value, {}}; }
    static Reading failure(Outcome why) { return {0, std::move(why)}; }
};

// A recording format as a wave file's format block states it.
struct WaveFormat {
    int formatTag = 1; // 1: PCM
    int channels = 1;
    int samplesPerSec = 44100;
    int avgBytesPerSec = 88200;
    int blockAlign = 2;
    int bitsPerSample = 16;
};

} // namespace lentaro::mci
