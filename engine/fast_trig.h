#pragma once
// Phase and phasor of a spectral bin without library calls or branches, so that loops over a
// frame's bins vectorise. Polynomials fitted to the reduced ranges, shorter than full precision
// needs: a bin's phase within 2e-12 radians and its phasor within 2e-14 lose nothing a listener or
// the vocoder's tuning could notice (an error in a phase shifts no frequency: the next hop's phase
// takes it back), and they save a division and a few terms on every bin of every hop.

#include <cstdint>
#include <cstring>

#include "engine/vector_clones.h"

namespace kv {

namespace trig {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHalfPi = kPi / 2.0;
constexpr double kQuarterPi = kPi / 4.0;
constexpr double kTanEighthPi = 0.41421356237309504880;
// π/2 in three parts, each exact in fewer bits than a double holds, for range reduction.
constexpr double kHalfPi1 = 1.57079625129699707031e+00;
constexpr double kHalfPi2 = 7.54978941586159635336e-08;
constexpr double kHalfPi3 = 5.39030285815811905290e-15;
// Adding and subtracting this rounds a double below 2^51 to the nearest integer; in between, the
// sum's lowest bits hold that integer (two's complement).
constexpr double kRoundingShift = 6755399441055744.0;  // 1.5 · 2^52

KV_INLINE double roundToInteger(double x) { return (x + kRoundingShift) - kRoundingShift; }

KV_INLINE std::uint64_t bitsOf(double x) {
  std::uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

KV_INLINE double fromBits(std::uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// atan(t) for |t| ≤ tan(π/8), within 1.3e-12.
KV_INLINE double atanReduced(double t) {
  const double z = t * t;
  // clang-format off: the polynomials keep their Horner layout.
  const double p = (((((-4.048241494558399e-02 * z + 7.137915010739149e-02) * z - 9.029485230862404e-02) * z +
                      1.1107539976838846e-01) *
                         z -
                     1.4285614325283683e-01) *
                        z +
                    1.9999998944177497e-01) *
                       z -
                   3.333333333150552e-01;
  // clang-format on
  return t + t * z * p;
}

}  // namespace trig

// std::atan2(y, x) within 2e-12 for finite arguments; 0 for (0, 0).
KV_INLINE double fastAtan2(double y, double x) {
  const double ax = x < 0.0 ? -x : x;
  const double ay = y < 0.0 ? -y : y;
  const double big = ax > ay ? ax : ay;
  const double small = ax > ay ? ay : ax;
  // The ratio a = small / big lies in [0, 1]; above tan(π/8), atan(a) = π/4 + atan((a - 1) / (a + 1))
  // keeps the polynomial's argument within ±tan(π/8). One division serves both.
  const bool upper = small > trig::kTanEighthPi * big;
  const double numerator = upper ? small - big : small;
  const double denominator = upper ? small + big : big;
  const double t = numerator / (denominator > 0.0 ? denominator : 1.0);  // (0, 0) gives 0
  double angle = trig::atanReduced(t) + (upper ? trig::kQuarterPi : 0.0);
  angle = ay > ax ? trig::kHalfPi - angle : angle;
  angle = x < 0.0 ? trig::kPi - angle : angle;
  return y < 0.0 ? -angle : angle;
}

// sin(x) and cos(x) within 2e-14 for |x| up to about 10^6.
KV_INLINE void fastSinCos(double x, double& sine, double& cosine) {
  const double shifted = x * (2.0 / trig::kPi) + trig::kRoundingShift;
  const double quadrant = shifted - trig::kRoundingShift;
  const std::uint64_t q = trig::bitsOf(shifted);  // the quadrant in the lowest bits
  const double r = ((x - quadrant * trig::kHalfPi1) - quadrant * trig::kHalfPi2) - quadrant * trig::kHalfPi3;
  const double z = r * r;
  // clang-format off: the polynomials keep their Horner layout.
  const double s = r + r * z *
                           ((((-2.4805623394449098e-08 * z + 2.755599075790857e-06) * z - 1.9841266916263234e-04) * z +
                             8.333333331078338e-03) *
                                z -
                            1.6666666666663885e-01);
  const double c = 1.0 - 0.5 * z +
                   z * z *
                       ((((2.0700557016928798e-09 * z - 2.7556369167039413e-07) * z + 2.4801585208864985e-05) * z -
                         1.3888888887273953e-03) *
                            z +
                        4.166666666666465e-02);
  // clang-format on
  // Quadrants 1 and 3 swap the two; the sine is negative in quadrants 2 and 3, the cosine in 1 and 2.
  const bool swap = (q & 1) != 0;
  const double sPart = swap ? c : s;
  const double cPart = swap ? s : c;
  sine = trig::fromBits(trig::bitsOf(sPart) ^ ((q & 2) << 62));
  cosine = trig::fromBits(trig::bitsOf(cPart) ^ (((q + 1) & 2) << 62));
}

}  // namespace kv
