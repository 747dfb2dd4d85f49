#include "soundfile/extended_real.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

namespace kv {

namespace {
constexpr int kBias = 16383;
constexpr int kMaxExponent = 0x7FFF;
}  // namespace

double readExtended(const uint8_t* bytes) {
  const bool negative = bytes[0] & 0x80;
  const int exponent = ((bytes[0] & 0x7F) << 8) | bytes[1];
  uint64_t mantissa = 0;
  for (int i = 2; i < kExtendedBytes; ++i) mantissa = (mantissa << 8) | bytes[i];
  double magnitude;
  if (exponent == kMaxExponent) {
    magnitude = std::numeric_limits<double>::infinity();
  } else {
    // The mantissa's integer bit is bit 63.
    magnitude = std::ldexp(static_cast<double>(mantissa), exponent - kBias - 63);
  }
  return negative ? -magnitude : magnitude;
}

void writeExtended(double value, uint8_t* bytes) {
  std::memset(bytes, 0, kExtendedBytes);
  if (value == 0.0) return;
  const int sign = std::signbit(value) ? 0x8000 : 0;
  int exponent = kMaxExponent;
  uint64_t mantissa = 0;
  const double magnitude = std::fabs(value);
  if (magnitude <= DBL_MAX) {
    int binaryExponent = 0;
    const double fraction = std::frexp(magnitude, &binaryExponent);  // in [0.5, 1)
    mantissa = static_cast<uint64_t>(std::ldexp(fraction, 64));
    exponent = binaryExponent - 1 + kBias;
  }
  const int head = sign | exponent;
  bytes[0] = static_cast<uint8_t>(head >> 8);
  bytes[1] = static_cast<uint8_t>(head);
  for (int i = 0; i < 8; ++i) bytes[2 + i] = static_cast<uint8_t>(mantissa >> (56 - 8 * i));
}

}  // namespace kv
