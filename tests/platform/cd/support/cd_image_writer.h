#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace lentaro::cd::test {

// One track of a generated image. Audio frames carry the disc sample index they stand at (LSN ×
// 588 + the pair's place in its frame): its low 16 bits in the left sample, its high bits in the
// right, so every sample read back tells where on the disc it came from. Data frames (MODE1/2352)
// carry bytes that sound like noise, not like any index.
struct ImageTrack {
    int frames = 0;
    int pregapFrames = 0; // an INDEX 00 pregap before the track, in the track's own mode
    bool data = false;
};

struct ImageSpec {
    std::vector<ImageTrack> tracks;
    std::optional<std::string> fileLineName; // the name the FILE line gives; name.bin by default
    std::optional<int> keepFrames;           // truncates the .bin to so many frames
    std::string extraCueLines;               // appended after the tracks
};

// Writes folder/name.cue and folder/name.bin; returns the .cue's path.
std::filesystem::path writeImage(const std::filesystem::path& folder, const std::string& name,
                                 const ImageSpec& spec);

// Fills a .bin with samples of a seeded random noise (no sample index in it).
std::filesystem::path writeNoiseImage(const std::filesystem::path& folder, const std::string& name,
                                      int frames, unsigned seed);

// The disc sample index a left and right 16-bit sample carry.
std::int64_t sampleIndexOf(std::int16_t left, std::int16_t right);

} // namespace lentaro::cd::test
