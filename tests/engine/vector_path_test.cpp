// The engine's loops come in a build for any processor and one for AVX2 (engine/vector_path.h): a
// file scaled on a processor without AVX2 must come out as it does with it. Both builds are run
// here side by side; the tests skip where this processor has no AVX2.

#include "engine/vector_path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "engine/fft.h"
#include "engine/vocoder.h"
#include "soundfile/result_codes.h"
#include "tests/engine/support/tone.h"
#include "tests/engine/support/vocoder_run.h"

namespace {

using kv::VectorPath;

class BothVectorPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!kv::vectorPathAvailable(VectorPath::kAvx2)) GTEST_SKIP() << "this processor has no AVX2";
  }
  void TearDown() override { kv::chooseVectorPath(initial_); }

  // What work gives on each path: generic first, then AVX2.
  template <typename Work>
  auto onEachPath(Work work) {
    EXPECT_TRUE(kv::chooseVectorPath(VectorPath::kGeneric));
    auto generic = work();
    EXPECT_TRUE(kv::chooseVectorPath(VectorPath::kAvx2));
    auto avx2 = work();
    return std::make_pair(generic, avx2);
  }

 private:
  const VectorPath initial_ = kv::vectorPath();
};

std::vector<double> noise(int count, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  std::vector<double> values(count);
  for (double& v : values) v = value(generator);
  return values;
}

TEST_F(BothVectorPaths, TransformsAreTheSameToTheLastBit) {
  // Every leaf size and the block sizes above them, so that both lane counts meet every loop's
  // remainder.
  for (int n = 2; n <= 4096; n *= 2) {
    SCOPED_TRACE(n);
    const auto plan = kv::FftPlan::create(n);
    ASSERT_TRUE(plan);
    const std::vector<double> noisy = noise(n, static_cast<unsigned>(n));
    const std::vector<float> samples(noisy.begin(), noisy.end());
    const auto forward = onEachPath([&] {
      std::vector<float> x = samples;
      plan->forward(x.data());
      return x;
    });
    EXPECT_EQ(forward.first, forward.second);
    const auto inverse = onEachPath([&] {
      std::vector<float> x = forward.first;
      plan->inverse(x.data());
      return x;
    });
    EXPECT_EQ(inverse.first, inverse.second);
  }
}

struct PassCase {
  double timeFactor;
  double pitchFactor;
  int fftSize;
  int windowMode;
};

void PrintTo(const PassCase& c, std::ostream* os) {
  *os << "time " << c.timeFactor << " pitch " << c.pitchFactor << " N " << c.fftSize << " mode " << c.windowMode;
}

// A stereo chord over noise with a silent stretch in the middle (bins that fall silent keep their
// phases), loud enough that transposed peaks clip.
std::vector<int32_t> stereoMusic() {
  const std::size_t frames = 22050;
  const std::vector<double> hiss = noise(static_cast<int>(2 * frames), 11);
  std::vector<int32_t> samples(2 * frames);
  for (std::size_t t = 0; t < frames; ++t) {
    const bool silent = t >= 9000 && t < 13000;
    for (int c = 0; c < 2; ++c) {
      double v = 0.05 * hiss[2 * t + c];
      for (const double f : {220.0, 277.18 + 5.0 * c, 329.63, 440.0}) {
        v += 0.3 * std::sin(2.0 * kvtest::kTestPi * f * t / kvtest::kTestRate);
      }
      samples[2 * t + c] = silent ? 0 : static_cast<int32_t>(std::fmax(-1.0, std::fmin(1.0, v)) * 2147483647.0);
    }
  }
  return samples;
}

class BothVectorPathsPass : public BothVectorPaths, public ::testing::WithParamInterface<PassCase> {};

TEST_P(BothVectorPathsPass, GivesTheSameOutputWithinOneLeastSignificantBit) {
  const PassCase& c = GetParam();
  kv::VocoderSettings settings;
  settings.timeFactor = c.timeFactor;
  settings.pitchFactor = c.pitchFactor;
  settings.fftSize = c.fftSize;
  settings.windowMode = c.windowMode;
  const std::vector<int32_t> input = stereoMusic();
  const auto [generic, avx2] = onEachPath([&] { return kvtest::runVocoderOn(input, 2, settings); });
  ASSERT_EQ(generic.result, kv::kOk);
  ASSERT_EQ(avx2.result, kv::kOk);
  ASSERT_EQ(generic.output.size(), avx2.output.size());
  std::size_t differing = 0;
  for (std::size_t i = 0; i < generic.output.size(); ++i) {
    if (std::llabs(static_cast<long long>(generic.output[i]) - avx2.output[i]) > 1) ++differing;
  }
  EXPECT_EQ(differing, 0u) << "of " << generic.output.size() << " samples";
}

INSTANTIATE_TEST_SUITE_P(Cases, BothVectorPathsPass,
                         ::testing::Values(PassCase{2.0, 1.0, 2048, 1}, PassCase{0.5, 1.0, 512, 3},
                                           PassCase{1.0, 1.189207115002721, 1024, 1}, PassCase{1.5, 0.5, 512, 2},
                                           PassCase{6.0, 2.0, 1024, 0}));

}  // namespace
