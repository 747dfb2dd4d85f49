#pragma once

#include <string>
#include <string_view>

namespace lentaro::cd {

// What is wrong with a cue sheet as an image drive's disc, or "" when nothing is. The image
// reader takes name.cue with name.bin beside it: one FILE line naming exactly binName as BINARY
// (little-endian) data, AUDIO and MODE1/2352 tracks, INDEX 00 pregaps. Frames the data file does
// not hold (PREGAP, POSTGAP) and other sector sizes would shift every frame after them, so they
// are refused too.
std::string cueSheetProblem(std::string_view text, std::string_view binName);

} // namespace lentaro::cd
