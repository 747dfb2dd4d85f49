#pragma once

#include "platform/cd/CdTime.h"
#include "tests/platform/cd/support/cd_image_writer.h"

#include <filesystem>

namespace lentaro::test {

// Four audio tracks of 15 s each (starts on frame counts divisible by 3): a one-minute disc.
cd::test::ImageSpec fourTrackDisc();
inline constexpr int trackSeconds = 15;
inline constexpr int trackFrames = trackSeconds * cd::framesPerSecond;

// The tone of each of fourTrackDisc's tracks, in Hz.
inline constexpr double trackTones[] = {311.0, 440.0, 587.0, 740.0};

// Fills each track of an image of fourTrackDisc with its own tone, left at half of full scale
// and right at a quarter, phase 0 at the track's start. False when the image cannot be written.
bool fillWithTones(const std::filesystem::path& cue);

} // namespace lentaro::test
