#pragma once

#include <cstdint>
#include <string>

namespace lentaro::wavesection {

// Why a cut made nothing. Every code is below zero, so a caller that takes a positive result as
// the written file's channel count never mistakes one for it.
enum CutFailure : std::int32_t {
    SourceUnreadable = -1,      // missing, no wave file, damaged, or a read that failed
    DestinationIsSource = -2,   // the same file, under whatever name
    EmptySection = -3,          // no whole sample frame between the two times
    DestinationUnwritable = -4, // read-only or a folder, none can be made there, or a write failed
    OutOfMemory = -5,
};

// Writes the sample frames of the wave file source from startMs up to endMs into a new wave file
// at destination, in the source's own format, and returns its channel count; a CutFailure when
// nothing was written.
//
// A time t in ms is frame floor(t × rate / 1000): the section holds frames floor(startMs × rate /
// 1000) up to but not including floor(endMs × rate / 1000), so cuts at adjacent times neither
// share a frame nor miss one. A start below 0 is taken as 0 and an end past the file as its end.
//
// The file is written under a temporary name beside the destination and renamed over it when
// whole: on failure no new file is left and an existing destination is as it was. The source is
// read from the section's start only, whatever the file's length.
std::int32_t cut(const std::string& source, const std::string& destination, std::int32_t startMs,
                 std::int32_t endMs);

} // namespace lentaro::wavesection
