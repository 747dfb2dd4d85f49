#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <vector>

namespace lentaro::cd::test {

// A wave file as read back through the sound-file core; for 16-bit stereo files, the disc sample
// index each pair carries (see cd_image_writer.h).
struct WaveContents {
    std::int32_t error = 0; // the stream's, 0 when the file read whole
    int channels = 0;
    float sampleRate = 0;
    int bytesPerSample = 0;
    std::vector<std::int64_t> indices;
};
WaveContents readWave(const std::filesystem::path& file);

// Whether indices are exactly first, first + 1, ... up to (not including) end.
::testing::AssertionResult holdsSamples(const std::vector<std::int64_t>& indices,
                                        std::int64_t first, std::int64_t end);
// Whether indices are first, first + 1, ... for as many as there are (a prefix of a read).
::testing::AssertionResult holdsSamplesFrom(const std::vector<std::int64_t>& indices,
                                            std::int64_t first);

} // namespace lentaro::cd::test
