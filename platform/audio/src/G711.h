#pragma once

#include <cstdint>

namespace lentaro::audio {

// G.711 codes expanded to 16-bit linear samples.
std::int16_t muLawToLinear(std::uint8_t code);
std::int16_t aLawToLinear(std::uint8_t code);

}  // namespace lentaro::audio
