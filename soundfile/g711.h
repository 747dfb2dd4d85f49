#pragma once
// G.711 companding of 16-bit linear samples to 8-bit mu-law and A-law codes and back.
// The encoders take an int: callers pass (sample >> 16) + 8, which may exceed the 16-bit range,
// and every value beyond the largest code's range saturates.

#include <cstdint>

namespace kv {

uint8_t linearToMuLaw(int linear);
int16_t muLawToLinear(uint8_t code);

uint8_t linearToALaw(int linear);
int16_t aLawToLinear(uint8_t code);

}  // namespace kv
