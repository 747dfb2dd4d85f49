#pragma once

#include <QString>

#include <cstdint>

namespace lentaro {

// Time texts of the form tt:mm:ss (track, minutes, seconds) and mm:ss.

// The minutes of a tt:mm:ss text: the number in its characters 4 and 5 (counted from 1);
// 0 when they are no number or the text is too short.
int minutes(const QString& A);
// The seconds of a tt:mm:ss text: characters 7 and 8, as minutes().
int seconds(const QString& A);

// A duration as minutes and seconds, each at least two digits, the seconds truncated:
// 65000 is "01:05", 999 is "00:00", 6000000 is "100:00"; a negative one gets a leading minus.
QString mmss(std::int64_t timeInMs);

// A length as mmss writes it, but to the nearest second, as a person reads a length: a loop of
// 9999 ms is "00:10", one of 2400 ms "00:02".
QString lengthMmss(std::int64_t lengthInMs);

} // namespace lentaro
