#pragma once

#include "platform/cd/Toc.h"
#include "platform/mci/MciTypes.h"

#include <cstdint>
#include <optional>

namespace lentaro::mci {

// A place on a disc: the stereo sample counted from the first frame after the lead-in.
using DiscSample = std::int64_t;

// How the CD device writes times:
// - milliseconds from the disc's absolute start, lead-in included (the first track usually
//   starts at 2000 ms);
// - MSF, minutes | seconds << 8 | frames << 16, absolute;
// - TMSF, track | minutes << 8 | seconds << 16 | frames << 24, from the track's INDEX 01; the
//   next track's pregap counts to the track before it.

// The first sample at or after a time, so that the sample reads back as the same time; nothing
// for a TMSF time of a track not on the disc.
std::optional<DiscSample> discSampleAt(const TimeValue& time, const cd::Toc& toc);

// A place as a time in the format.
int timeAt(DiscSample sample, TimeFormat format, const cd::Toc& toc);

// A stretch of frames as a time: milliseconds, or MSF in formats 2 and 10.
int durationOf(std::int64_t frames, TimeFormat format);

} // namespace lentaro::mci
