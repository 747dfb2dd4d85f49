#include "engine/fft.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>
#include <vector>

namespace {

using kv::FftPlan;

const long double kPi = 3.141592653589793238462643383279502884L;

// Single precision's rounding, grown with the length; a wrong twiddle or index shows as an
// error of the order of the data itself, far above this.
double tolerance(int n) { return 1e-7 * n; }

std::vector<float> randomValues(int count, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<float> value(-1.0f, 1.0f);
  std::vector<float> values(count);
  for (float& v : values) {
    v = value(generator);
  }
  return values;
}

// Reference transforms in long double, straight from the definition, returned in
// halfcomplex order. angle index m stands for 2*pi*m/n.
struct NaiveDft {
  explicit NaiveDft(int n) : n(n), cosine(n), sine(n) {
    for (int m = 0; m < n; ++m) {
      cosine[m] = std::cos(2 * kPi * m / n);
      sine[m] = std::sin(2 * kPi * m / n);
    }
  }

  std::vector<long double> forward(const std::vector<float>& x) const {
    std::vector<long double> spectrum(n);
    for (int k = 0; k <= n / 2; ++k) {
      long double re = 0;
      long double im = 0;
      for (int t = 0; t < n; ++t) {
        const int m = static_cast<int>(static_cast<long long>(k) * t % n);
        re += x[t] * cosine[m];
        im -= x[t] * sine[m];
      }
      spectrum[k] = re;
      if (k > 0 && k < n / 2) {
        spectrum[n - k] = im;
      }
    }
    return spectrum;
  }

  // Unscaled: n times the samples.
  std::vector<long double> inverse(const std::vector<float>& spectrum) const {
    std::vector<long double> samples(n);
    for (int t = 0; t < n; ++t) {
      long double sum = spectrum[0] + (t % 2 == 0 ? 1 : -1) * spectrum[n / 2];
      for (int k = 1; k < n / 2; ++k) {
        const int m = static_cast<int>(static_cast<long long>(k) * t % n);
        sum += 2 * (spectrum[k] * cosine[m] - spectrum[n - k] * sine[m]);
      }
      samples[t] = sum;
    }
    return samples;
  }

  int n;
  std::vector<long double> cosine;
  std::vector<long double> sine;
};

class FftLength : public ::testing::TestWithParam<int> {};

TEST_P(FftLength, ForwardMatchesTheDefinition) {
  const int n = GetParam();
  const auto plan = FftPlan::create(n);
  ASSERT_NE(plan, nullptr);
  ASSERT_EQ(plan->length(), n);

  const std::vector<float> input = randomValues(n, 1000u + n);
  const std::vector<long double> expected = NaiveDft(n).forward(input);
  std::vector<float> x = input;
  plan->forward(x.data());
  for (int i = 0; i < n; ++i) {
    ASSERT_NEAR(x[i], static_cast<double>(expected[i]), tolerance(n)) << "n = " << n << ", slot " << i;
  }
}

TEST_P(FftLength, InverseMatchesTheDefinition) {
  const int n = GetParam();
  const auto plan = FftPlan::create(n);
  ASSERT_NE(plan, nullptr);

  std::vector<float> spectrum = randomValues(n, 2000u + n);
  const std::vector<long double> expected = NaiveDft(n).inverse(spectrum);
  plan->inverse(spectrum.data());
  for (int t = 0; t < n; ++t) {
    ASSERT_NEAR(spectrum[t] * n, static_cast<double>(expected[t]), tolerance(n)) << "n = " << n << ", sample " << t;
  }
}

// The vocoder's buffers are two values longer than the transform; those two stay put.
TEST_P(FftLength, RoundTripGivesTheInputBackAndLeavesTheSpareValues) {
  const int n = GetParam();
  const auto plan = FftPlan::create(n);
  ASSERT_NE(plan, nullptr);

  const std::vector<float> input = randomValues(n, 3000u + n);
  std::vector<float> x = input;
  x.push_back(12345.0f);
  x.push_back(-678.0f);
  plan->forward(x.data());
  plan->inverse(x.data());
  for (int t = 0; t < n; ++t) {
    ASSERT_NEAR(x[t], input[t], 1e-6 * std::log2(2 * n)) << "n = " << n << ", sample " << t;
  }
  EXPECT_EQ(x[n], 12345.0f);
  EXPECT_EQ(x[n + 1], -678.0f);
}

TEST_P(FftLength, UnitImpulseHasAFlatSpectrumAndComesBack) {
  const int n = GetParam();
  const auto plan = FftPlan::create(n);
  ASSERT_NE(plan, nullptr);

  std::vector<float> x(n, 0.0f);
  x[0] = 1.0f;
  plan->forward(x.data());
  for (int i = 0; i < n; ++i) {
    const double expected = i <= n / 2 ? 1.0 : 0.0;  // real parts 1, imaginary parts 0
    ASSERT_NEAR(x[i], expected, 1e-7) << "n = " << n << ", slot " << i;
  }
  plan->inverse(x.data());
  for (int t = 0; t < n; ++t) {
    ASSERT_NEAR(x[t], t == 0 ? 1.0 : 0.0, 1e-7) << "n = " << n << ", sample " << t;
  }
}

INSTANTIATE_TEST_SUITE_P(PowersOfTwo, FftLength,
                         ::testing::Values(2, 4, 8, 16, 32, 64, 128, 256, 512, 1024, 2048, 4096),
                         [](const ::testing::TestParamInfo<int>& info) { return "n" + std::to_string(info.param); });

// A sinusoid of exactly k cycles puts n/2 into one slot of bin k: the real part for
// a cosine, the imaginary part (negative, for a sine) otherwise.
TEST(FftTone, WholeCyclesLandInTheirBin) {
  struct Case {
    int n;
    int k;
    bool sine;
  };
  const Case cases[] = {
      {8, 1, false},  {8, 3, false},      {8, 2, true},      {64, 5, false},     {64, 31, true},
      {512, 1, true}, {1024, 100, false}, {1024, 100, true}, {2048, 511, false}, {4096, 2047, false},
  };
  for (const Case& c : cases) {
    const auto plan = FftPlan::create(c.n);
    ASSERT_NE(plan, nullptr);
    std::vector<float> x(c.n);
    for (int t = 0; t < c.n; ++t) {
      const long double angle = 2 * kPi * c.k * t / c.n;
      x[t] = static_cast<float>(c.sine ? std::sin(angle) : std::cos(angle));
    }
    plan->forward(x.data());
    const int peak = c.sine ? c.n - c.k : c.k;
    const double height = c.sine ? -c.n / 2.0 : c.n / 2.0;
    for (int i = 0; i < c.n; ++i) {
      ASSERT_NEAR(x[i], i == peak ? height : 0.0, tolerance(c.n))
          << "n = " << c.n << ", k = " << c.k << (c.sine ? " sine" : " cosine") << ", slot " << i;
    }
  }
}

TEST(FftPlanCreation, RefusesLengthsItCannotTransform) {
  const int refused[] = {
      0,
      1,
      -1,
      -2,
      -1024,
      INT_MIN,  // nothing to transform
      3,
      6,
      12,
      1000,
      1023,
      1025,
      3 * 1024,
      INT_MAX,  // not a power of two
      FftPlan::kMaxLength * 2,
      1 << 30,  // absurdly large
  };
  for (const int n : refused) {
    EXPECT_EQ(FftPlan::create(n), nullptr) << "n = " << n;
  }
}

}  // namespace
