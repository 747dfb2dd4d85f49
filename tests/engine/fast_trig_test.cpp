#include "engine/fast_trig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

// The approximations' promised precision (engine/fast_trig.h): a wrong digit in a coefficient or a
// misplaced quadrant shows far above it.
constexpr double kPhaseTolerance = 2e-12;
constexpr double kPhasorTolerance = 2e-14;

TEST(FastTrig, PhaseAgreesWithAtan2AllAroundTheCircle) {
  std::mt19937_64 generator(3);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  for (int i = 0; i < 200000; ++i) {
    // Magnitudes from 1e-6 to 1e6, as bins of quiet and loud frames have them.
    const double y = unit(generator) * std::pow(10.0, 6.0 * unit(generator));
    const double x = unit(generator) * std::pow(10.0, 6.0 * unit(generator));
    ASSERT_NEAR(kv::fastAtan2(y, x), std::atan2(y, x), kPhaseTolerance) << "y " << y << " x " << x;
  }
  for (const auto& [y, x] : {std::pair{0.0, 1.0}, {1.0, 0.0}, {0.0, -1.0}, {-1.0, 0.0}, {1.0, 1.0}, {-1.0, -1.0}}) {
    EXPECT_NEAR(std::fabs(kv::fastAtan2(y, x)), std::fabs(std::atan2(y, x)), kPhaseTolerance)
        << "y " << y << " x " << x;
  }
  EXPECT_EQ(kv::fastAtan2(0.0, 0.0), 0.0);
}

TEST(FastTrig, PhasorAgreesWithSinAndCos) {
  std::mt19937_64 generator(4);
  std::uniform_real_distribution<double> angle(-1000.0, 1000.0);
  for (int i = 0; i < 200000; ++i) {
    const double a = angle(generator);
    double s, c;
    kv::fastSinCos(a, s, c);
    ASSERT_NEAR(s, std::sin(a), kPhasorTolerance) << a;
    ASSERT_NEAR(c, std::cos(a), kPhasorTolerance) << a;
  }
}

}  // namespace
