#pragma once

#include "platform/cd/ReaderError.h"
#include "platform/cd/Toc.h"

#include <cstdint>

namespace lentaro::cd {

// Samples (stereo pairs) of a disc, counted from LSN 0: first up to but not including end.
struct SampleRange {
    std::int64_t first = 0;
    std::int64_t end = 0;
};

struct RangeChoice {
    SampleRange range;
    ReaderError error = ReaderError::None; // NoSuchTrack, NotAudio or OutsideAudio
};

// A whole audio track: from its start to the next track's start, or to where a following data
// track's pregap begins.
RangeChoice wholeTrackRange(const Toc& toc, int track);

// A section of lengthMs from startMs after the start of an audio track, on the CD device's scale
// and to the sample: the samples floor(ms × 44.1) of the section's start and end times. It may run
// on into later audio tracks and stops at the last frame of audio before a data track or the
// lead-out. A start before the track or past that audio, or a length below 1 ms, is refused.
RangeChoice sectionRange(const Toc& toc, int track, std::int64_t startMs, std::int64_t lengthMs);

} // namespace lentaro::cd
