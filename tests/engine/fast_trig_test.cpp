#include "engine/fast_trig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <utility>

namespace {

// The approximations' promised precision (engine/fast_trig.h), against the double-precision
// functions on the same single-precision arguments: a wrong digit in a coefficient or a misplaced
// quadrant shows far above it.
constexpr double kPhaseTolerance = 3e-7;
constexpr double kPhasorTolerance = 1.5e-7;

TEST(FastTrig, PhaseAgreesWithAtan2AllAroundTheCircle) {
  std::mt19937_64 generator(3);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  for (int i = 0; i < 200000; ++i) {
    // Magnitudes from 1e-6 to 1e6, as bins of quiet and loud frames have them.
    const auto y = static_cast<float>(unit(generator) * std::pow(10.0, 6.0 * unit(generator)));
    const auto x = static_cast<float>(unit(generator) * std::pow(10.0, 6.0 * unit(generator)));
    ASSERT_NEAR(kv::fastAtan2(y, x), std::atan2(double{y}, double{x}), kPhaseTolerance) << "y " << y << " x " << x;
  }
  for (const auto& [y, x] : {std::pair{0.0f, 1.0f},
                             {1.0f, 0.0f},
                             {0.0f, -1.0f},
                             {-0.0f, -1.0f},
                             {-1.0f, 0.0f},
                             {1.0f, 1.0f},
                             {-1.0f, -1.0f}}) {
    EXPECT_NEAR(kv::fastAtan2(y, x), std::atan2(double{y}, double{x}), kPhaseTolerance) << "y " << y << " x " << x;
  }
  EXPECT_EQ(kv::fastAtan2(0.0f, 0.0f), 0.0f);
}

TEST(FastTrig, PhasorAgreesWithSinAndCos) {
  std::mt19937_64 generator(4);
  std::uniform_real_distribution<double> angle(-1000.0, 1000.0);
  for (int i = 0; i < 200000; ++i) {
    const auto a = static_cast<float>(angle(generator));
    float s, c;
    kv::fastSinCos(a, s, c);
    ASSERT_NEAR(s, std::sin(double{a}), kPhasorTolerance) << a;
    ASSERT_NEAR(c, std::cos(double{a}), kPhasorTolerance) << a;
  }
}

}  // namespace
