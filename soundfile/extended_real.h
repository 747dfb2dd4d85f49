#pragma once
// 80-bit IEEE 754 extended reals as AIFF headers store sample rates: sign bit, 15-bit exponent
// biased by 16383, 64-bit mantissa with an explicit integer bit, most significant byte first.

#include <cstdint>

namespace kv {

constexpr int kExtendedBytes = 10;

// Zero for all zeros; infinity (with the sign) for the largest exponent, whatever the mantissa.
double readExtended(const uint8_t* bytes);
// Every finite double fits; infinities and NaN become the largest exponent with a zero mantissa.
void writeExtended(double value, uint8_t* bytes);

}  // namespace kv
