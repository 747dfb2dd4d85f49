#include "engine/vocoder_sizes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

#include "soundfile/result_codes.h"

namespace {

struct SizeCase {
  double timeFactor;
  double pitchFactor;
  int fftSize;
  int windowMode;
  // expected
  int n, m, d, i, no, ns, io;
};

void PrintTo(const SizeCase& c, std::ostream* os) {
  *os << "time " << c.timeFactor << " pitch " << c.pitchFactor << " N " << c.fftSize << " mode " << c.windowMode;
}

class VocoderSizesFor : public ::testing::TestWithParam<SizeCase> {};

TEST_P(VocoderSizesFor, DerivesHopsAndLengths) {
  const SizeCase& c = GetParam();
  kv::VocoderSizes s;
  ASSERT_EQ(kv::computeVocoderSizes(c.pitchFactor, c.timeFactor, c.fftSize, c.windowMode, s), kv::kOk);
  EXPECT_EQ(s.fftSize, c.n);
  EXPECT_EQ(s.windowLength, c.m);
  EXPECT_EQ(s.halfWindow, (c.m - 1) / 2);
  EXPECT_EQ(s.analysisHop, c.d);
  EXPECT_EQ(s.synthesisHop, c.i);
  EXPECT_EQ(s.synthesisLength, c.no);
  EXPECT_EQ(s.inverseSize, c.ns);
  EXPECT_EQ(s.outputHop, c.io);
  EXPECT_DOUBLE_EQ(s.timeRatio, static_cast<double>(c.i) / c.d);
  EXPECT_DOUBLE_EQ(s.pitchRatio, static_cast<double>(c.n) / c.no);
  EXPECT_EQ(s.inputRingLength, 4 * c.m);
  EXPECT_EQ(s.outputRingLength, 4 * c.m);
}

const double kSemitone = std::pow(2.0, 1.0 / 12.0);

INSTANTIATE_TEST_SUITE_P(
    Cases, VocoderSizesFor,
    ::testing::Values(
        // Half speed: twice as long at the same pitch.
        SizeCase{2.0, 1.0, 1024, 1, 1024, 2047, 128, 256, 1024, 1024, 256},
        // An octave up at the same speed: stretched by 2, then played twice as fast.
        SizeCase{1.0, 2.0, 1024, 1, 1024, 2047, 128, 256, 512, 512, 128},
        // Double speed.
        SizeCase{0.5, 1.0, 1024, 1, 1024, 2047, 256, 128, 1024, 1024, 128},
        // A semitone up: NO is no power of two, so the frame is synthesised at 1024 points and resampled.
        SizeCase{1.0, kSemitone, 1024, 1, 1024, 2047, 242, 256, 968, 1024, 242},
        // The window modes: 4N, 2N, N and N/2, made odd.
        SizeCase{1.0, 1.0, 2048, 0, 2048, 8191, 1024, 1024, 2048, 2048, 1024},
        SizeCase{1.0, 1.0, 2048, 2, 2048, 2047, 256, 256, 2048, 2048, 256},
        SizeCase{1.0, 1.0, 2048, 3, 2048, 1023, 128, 128, 2048, 2048, 128},
        // An odd FFT size is raised by one.
        SizeCase{1.0, 1.0, 511, 1, 512, 1023, 128, 128, 512, 512, 128},
        // Slowed twenty times: the analysis hop shrinks so the synthesis hop stays a window's eighth.
        SizeCase{20.0, 1.0, 2048, 1, 2048, 4095, 26, 520, 2048, 2048, 520}));

struct RefusedCase {
  const char* what;
  double timeFactor;
  double pitchFactor;
  int fftSize;
  int windowMode;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.what; }

class VocoderSizesRefuse : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(VocoderSizesRefuse, ArgumentsNoPassCanRunWith) {
  const RefusedCase& c = GetParam();
  kv::VocoderSizes s;
  EXPECT_EQ(kv::computeVocoderSizes(c.pitchFactor, c.timeFactor, c.fftSize, c.windowMode, s), kv::kBadCall) << c.what;
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInfinity = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Cases, VocoderSizesRefuse,
    ::testing::Values(
        RefusedCase{"FFT size not a power of two", 1.0, 1.0, 1000, 1}, RefusedCase{"FFT size zero", 1.0, 1.0, 0, 1},
        RefusedCase{"FFT size negative", 1.0, 1.0, -1024, 1}, RefusedCase{"window mode below 0", 1.0, 1.0, 1024, -1},
        RefusedCase{"window mode above 3", 1.0, 1.0, 1024, 4},
        RefusedCase{"window too short to have a hop", 1.0, 1.0, 4, 3},
        RefusedCase{"pitch factor so large that NO is 0", 1.0, 1e9, 1024, 1},
        RefusedCase{"pitch factor so small that NO outgrows any transform", 1.0, 1e-9, 1024, 1},
        RefusedCase{"output hop IO of 0", 0.003, 100.0, 1024, 1},
        RefusedCase{"synthesis hop I of 0", 0.001, 1.0, 1024, 1}, RefusedCase{"analysis hop D of 0", 1e6, 1.0, 1024, 1},
        RefusedCase{"zero time factor", 0.0, 1.0, 1024, 1}, RefusedCase{"negative time factor", -2.0, 1.0, 1024, 1},
        RefusedCase{"zero pitch factor", 1.0, 0.0, 1024, 1}, RefusedCase{"negative pitch factor", 1.0, -2.0, 1024, 1},
        RefusedCase{"NaN time factor", kNaN, 1.0, 1024, 1}, RefusedCase{"NaN pitch factor", 1.0, kNaN, 1024, 1},
        RefusedCase{"infinite time factor", kInfinity, 1.0, 1024, 1},
        RefusedCase{"infinite pitch factor", 1.0, kInfinity, 1024, 1},
        RefusedCase{"factors whose product overflows", 1e300, 1e300, 1024, 1}));

}  // namespace
