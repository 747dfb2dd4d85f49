#pragma once
// Phase and phasor of a spectral bin without library calls or branches, so that loops over a
// frame's bins vectorise, in single precision, which works twice as many bins an instruction as
// double. A phase within 3e-7 radians and a phasor within 1.5e-7 lose nothing a listener could
// hear (an error of that size is some 140 dB down) or the vocoder's tuning could show: an error in
// a bin's phase shifts no frequency, since the next hop's phase takes it back.

#include <cmath>
#include <cstdint>
#include <cstring>

#include "engine/vector_clones.h"

namespace kv {

namespace trig {

constexpr float kPi = 3.14159265358979323846f;
constexpr float kHalfPi = 1.57079632679489661923f;
constexpr float kQuarterPi = 0.78539816339744830962f;
constexpr float kTanEighthPi = 0.41421356237309504880f;
// π/2 in two parts, the first exact in 8 bits, so that a whole number of quarter turns up to
// 2^15 comes off x exactly.
constexpr float kHalfPi1 = 1.5703125f;
constexpr float kHalfPi2 = 4.8382679e-4f;
// Adding and subtracting this rounds a float below 2^22 to the nearest integer; in between, the
// sum's lowest bits hold that integer (two's complement).
constexpr float kRoundingShift = 12582912.0f;  // 1.5 · 2^23

KV_INLINE std::uint32_t bitsOf(float x) {
  std::uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

KV_INLINE float fromBits(std::uint32_t bits) {
  float x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// atan(t) for |t| ≤ tan(π/8), within 4e-8.
KV_INLINE float atanReduced(float t) {
  const float z = t * t;
  const float p = ((0.08529791f * z - 0.14026549f) * z + 0.19991393f) * z - 0.33333287f;
  return t + t * z * p;
}

}  // namespace trig

// std::atan2(y, x) within 3e-7 for finite arguments; ±0 for (±0, 0).
KV_INLINE float fastAtan2(float y, float x) {
  const float ax = std::fabs(x);
  const float ay = std::fabs(y);
  const float big = ax > ay ? ax : ay;
  const float small = ax > ay ? ay : ax;
  // The ratio a = small / big lies in [0, 1]; above tan(π/8), atan(a) = π/4 + atan((a - 1) / (a + 1))
  // keeps the polynomial's argument within ±tan(π/8). One division serves both.
  const bool upper = small > trig::kTanEighthPi * big;
  const float numerator = upper ? small - big : small;
  const float denominator = upper ? small + big : big;
  const float t = numerator / (denominator > 0.0f ? denominator : 1.0f);  // (0, 0) gives 0
  float angle = trig::atanReduced(t) + (upper ? trig::kQuarterPi : 0.0f);
  angle = ay > ax ? trig::kHalfPi - angle : angle;
  angle = x < 0.0f ? trig::kPi - angle : angle;
  return std::copysign(angle, y);
}

// sin(x) and cos(x) within 1.5e-7 for |x| up to 2^15 · π/2.
KV_INLINE void fastSinCos(float x, float& sine, float& cosine) {
  const float shifted = x * (2.0f / trig::kPi) + trig::kRoundingShift;
  const float quadrant = shifted - trig::kRoundingShift;
  const std::uint32_t q = trig::bitsOf(shifted);  // the quadrant in the lowest bits
  const float r = (x - quadrant * trig::kHalfPi1) - quadrant * trig::kHalfPi2;
  const float z = r * r;
  const float s = r + r * z * ((-1.9587950e-4f * z + 8.3327489e-3f) * z - 1.6666664e-1f);
  const float c = 1.0f - 0.5f * z + z * z * ((2.4547991e-5f * z - 1.3888304e-3f) * z + 4.1666664e-2f);
  // Quadrants 1 and 3 swap the two; the sine is negative in quadrants 2 and 3, the cosine in 1 and 2.
  const bool swap = (q & 1) != 0;
  const float sPart = swap ? c : s;
  const float cPart = swap ? s : c;
  sine = trig::fromBits(trig::bitsOf(sPart) ^ ((q & 2) << 30));
  cosine = trig::fromBits(trig::bitsOf(cPart) ^ (((q + 1) & 2) << 30));
}

}  // namespace kv
