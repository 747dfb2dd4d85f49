#pragma once
// Phase and phasor of a spectral bin without library calls or branches, so that loops over a
// frame's bins vectorise. Both agree with std::atan2, std::sin and std::cos to within a few units
// in the last place: polynomial and rational approximations of the kind of the Cephes library.

#include <cstdint>

#include "engine/vector_clones.h"

namespace kv {

namespace trig {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHalfPi = kPi / 2.0;
constexpr double kQuarterPi = kPi / 4.0;
// π/2 in three parts, each exact in fewer bits than a double holds, for range reduction.
constexpr double kHalfPi1 = 1.57079625129699707031e+00;
constexpr double kHalfPi2 = 7.54978941586159635336e-08;
constexpr double kHalfPi3 = 5.39030285815811905290e-15;
// Adding and subtracting this rounds a double below 2^51 to the nearest integer.
constexpr double kRoundingShift = 6755399441055744.0;  // 1.5 · 2^52

KV_INLINE double roundToInteger(double x) { return (x + kRoundingShift) - kRoundingShift; }

// atan(t) for |t| ≤ 0.66.
KV_INLINE double atanReduced(double t) {
  const double z = t * t;
  // clang-format off: the polynomials keep their Horner layout.
  const double p =
      (((-8.750608600031904122785e-01 * z - 1.615753718733365076637e+01) * z - 7.500855792314704667340e+01) * z -
       1.228866684490136173410e+02) *
          z -
      6.485021904942025371773e+01;
  const double q =
      ((((z + 2.485846490142306297962e+01) * z + 1.650270098316988542046e+02) * z + 4.328810604912902668951e+02) * z +
       4.853903996359136964868e+02) *
          z +
      1.945506571482613964425e+02;
  // clang-format on
  return t + t * z * p / q;
}

}  // namespace trig

// std::atan2(y, x) for finite arguments; 0 for (0, 0).
KV_INLINE double fastAtan2(double y, double x) {
  const double ax = x < 0.0 ? -x : x;
  const double ay = y < 0.0 ? -y : y;
  const double big = ax > ay ? ax : ay;
  const double small = ax > ay ? ay : ax;
  // The ratio a = small / big lies in [0, 1]; above 0.66, atan(a) = π/4 + atan((a - 1) / (a + 1))
  // keeps the approximation's argument small. One division serves both.
  const bool upper = small > 0.66 * big;
  const double numerator = upper ? small - big : small;
  const double denominator = upper ? small + big : big;
  const double t = numerator / (denominator > 0.0 ? denominator : 1.0);  // (0, 0) gives 0
  double angle = trig::atanReduced(t) + (upper ? trig::kQuarterPi : 0.0);
  angle = ay > ax ? trig::kHalfPi - angle : angle;
  angle = x < 0.0 ? trig::kPi - angle : angle;
  return y < 0.0 ? -angle : angle;
}

// sin(x) and cos(x) for |x| up to about 10^6.
KV_INLINE void fastSinCos(double x, double& sine, double& cosine) {
  const double quadrant = trig::roundToInteger(x * (2.0 / trig::kPi));
  const double r = ((x - quadrant * trig::kHalfPi1) - quadrant * trig::kHalfPi2) - quadrant * trig::kHalfPi3;
  const double z = r * r;
  // clang-format off: the polynomials keep their Horner layout.
  const double s =
      r + r * z *
              (((((1.58962301576546568060e-10 * z - 2.50507477628578072866e-08) * z + 2.75573136213857245213e-06) * z -
                 1.98412698295895385996e-04) *
                    z +
                8.33333333332211858878e-03) *
                   z -
               1.66666666666666307295e-01);
  const double c =
      1.0 - 0.5 * z +
      z * z *
          (((((-1.13585365213876817300e-11 * z + 2.08757008419747316778e-09) * z - 2.75573141792967388112e-07) * z +
             2.48015872888517045348e-05) *
                z -
            1.38888888888730564116e-03) *
               z +
           4.16666666666665929218e-02);
  // clang-format on
  const int32_t q = static_cast<int32_t>(quadrant);
  const bool swap = (q & 1) != 0;
  const double sPart = swap ? c : s;
  const double cPart = swap ? s : c;
  sine = (q & 2) != 0 ? -sPart : sPart;
  cosine = ((q + 1) & 2) != 0 ? -cPart : cPart;
}

}  // namespace kv
