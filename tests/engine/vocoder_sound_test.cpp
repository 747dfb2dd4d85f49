// What the vocoder does to sound: tones keep their frequency when stretched, move by exactly the
// asked ratio when transposed, keep their level and stay clean; the output has the promised
// length; the channel choice picks what is heard.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "engine/vocoder.h"
#include "soundfile/result_codes.h"
#include "tests/engine/support/tone.h"
#include "tests/engine/support/vocoder_run.h"

namespace {

using kvtest::cents;
using kvtest::decibels;
using kvtest::kTestRate;
using kvtest::Middle;
using kvtest::middleOf;

constexpr double kTone = 440.0;
constexpr double kLevel = 0.5;
// Level within 0.5 dB, frequency within half a cent (musicians tune their instruments to it), and
// what is not the tone at least 40 dB down.
constexpr double kLevelToleranceDb = 0.5;
constexpr double kPitchToleranceCents = 0.5;
constexpr double kCleanResidual = 0.01;
// Where the bins' phases and phasors come from fast approximations (engine/fast_trig.h), the tone
// must still come out as exact ones put it: a slowed or sped tone within a hundredth of a cent, a
// transposed one at its level within 0.2 dB.
constexpr double kStretchedPitchToleranceCents = 0.01;
constexpr double kTransposedLevelToleranceDb = 0.2;

kv::VocoderSettings settingsFor(double timeFactor, double pitchFactor, int fftSize, int windowMode) {
  kv::VocoderSettings s;
  s.timeFactor = timeFactor;
  s.pitchFactor = pitchFactor;
  s.fftSize = fftSize;
  s.windowMode = windowMode;
  return s;
}

struct ToneCase {
  double timeFactor;
  double pitchFactor;
  int fftSize;
  int windowMode;
  double seconds;  // of input
  double pitchToleranceCents = kPitchToleranceCents;
  double levelToleranceDb = kLevelToleranceDb;
};

std::string describe(const ToneCase& c) {
  char text[96];
  std::snprintf(text, sizeof text, "time %g pitch %.6g N %d mode %d", c.timeFactor, c.pitchFactor, c.fftSize,
                c.windowMode);
  return text;
}

void PrintTo(const ToneCase& c, std::ostream* os) { *os << describe(c); }

class VocoderTone : public ::testing::TestWithParam<ToneCase> {};

TEST_P(VocoderTone, ComesOutAtTheAskedPitchAndLengthAtTheInputLevelAndClean) {
  const ToneCase& c = GetParam();
  SCOPED_TRACE(describe(c));
  const kv::VocoderSettings settings = settingsFor(c.timeFactor, c.pitchFactor, c.fftSize, c.windowMode);
  const auto frames = static_cast<std::size_t>(c.seconds * kTestRate);
  const kvtest::VocoderRun run =
      kvtest::runVocoderOn(kvtest::sineSamples(kTone, kTestRate, frames, kLevel), 1, settings);
  ASSERT_EQ(run.result, kv::kOk);
  ASSERT_EQ(static_cast<int64_t>(run.output.size()), kvtest::expectedOutputLength(settings, frames));

  const std::vector<double> x = kvtest::toReals(run.output);
  const Middle m = middleOf(x);
  const double frequency = kvtest::measureFrequency(x, kTestRate, m.from, m.to);
  EXPECT_NEAR(cents(frequency / (kTone * c.pitchFactor)), 0.0, c.pitchToleranceCents)
      << "measured " << frequency << " Hz";
  const kvtest::SineFit fit = kvtest::fitSine(x, kTestRate, frequency, m.from, m.to);
  EXPECT_NEAR(decibels(fit.amplitude / kLevel), 0.0, c.levelToleranceDb);
  EXPECT_LT(fit.residual, kCleanResidual);
}

const double kSemitone = std::pow(2.0, 1.0 / 12.0);

INSTANTIATE_TEST_SUITE_P(Stretched, VocoderTone,
                         ::testing::Values(ToneCase{0.5, 1.0, 2048, 1, 1.0, kStretchedPitchToleranceCents},
                                           ToneCase{2.0, 1.0, 2048, 1, 1.0, kStretchedPitchToleranceCents},
                                           ToneCase{20.0, 1.0, 2048, 1, 0.5, kStretchedPitchToleranceCents},
                                           ToneCase{2.0, 1.0, 1024, 1, 1.0}, ToneCase{0.5, 1.0, 512, 1, 1.0},
                                           ToneCase{2.0, 1.0, 1024, 0, 1.0}, ToneCase{1.5, 1.0, 1024, 2, 1.0},
                                           ToneCase{3.0, 1.0, 1024, 3, 1.0}));

// Every FFT size the program offers with the intervals a musician asks for most. N / pitch is no
// whole even number for most of them: the frame length the vocoder works with is rounded, the
// pitch must not be.
std::vector<ToneCase> transposedAtEverySize() {
  const double factors[] = {1.0 / kSemitone, kSemitone, std::pow(kSemitone, 3), std::pow(kSemitone, 7), 0.5, 2.0};
  std::vector<ToneCase> cases;
  for (const int fftSize : {512, 1024, 2048}) {
    for (const double pitchFactor : factors) {
      cases.push_back(ToneCase{1.0, pitchFactor, fftSize, 1, 1.0, kPitchToleranceCents, kTransposedLevelToleranceDb});
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Transposed, VocoderTone, ::testing::ValuesIn(transposedAtEverySize()));

INSTANTIATE_TEST_SUITE_P(TransposedAndStretched, VocoderTone,
                         ::testing::Values(ToneCase{2.0, std::pow(kSemitone, 3), 2048, 1, 1.0},
                                           ToneCase{0.5, 1.0 / kSemitone, 2048, 1, 1.0},
                                           ToneCase{4.0, std::pow(kSemitone, 7), 512, 1, 0.5}));

struct LengthCase {
  double timeFactor;
  double pitchFactor;
  int fftSize;
  int windowMode;
  int channels;
  std::size_t frames;
};

void PrintTo(const LengthCase& c, std::ostream* os) {
  *os << "time " << c.timeFactor << " pitch " << c.pitchFactor << " N " << c.fftSize << " mode " << c.windowMode << ", "
      << c.frames << " frames of " << c.channels;
}

class VocoderLength : public ::testing::TestWithParam<LengthCase> {};

TEST_P(VocoderLength, IsRoundedScaledInputLengthPlusOne) {
  const LengthCase& c = GetParam();
  const kv::VocoderSettings settings = settingsFor(c.timeFactor, c.pitchFactor, c.fftSize, c.windowMode);
  const std::vector<int32_t> samples(c.frames * c.channels, 123456789);
  const kvtest::VocoderRun run = kvtest::runVocoderOn(samples, c.channels, settings);
  EXPECT_EQ(run.result, kv::kOk);
  EXPECT_EQ(static_cast<int64_t>(run.output.size()), kvtest::expectedOutputLength(settings, c.frames));
}

INSTANTIATE_TEST_SUITE_P(Cases, VocoderLength,
                         ::testing::Values(LengthCase{2.0, 1.0, 1024, 1, 1, 0},          // nothing in, one sample out
                                           LengthCase{2.0, 1.0, 1024, 1, 1, 100},        // shorter than one window
                                           LengthCase{2.0, 1.0, 1024, 1, 1, 128 * 100},  // whole analysis hops
                                           LengthCase{2.0, 1.0, 1024, 1, 2, 12345},      // stereo frames
                                           LengthCase{0.5, 1.0, 2048, 0, 1, 30001},      // sped up, longest window
                                           LengthCase{7.3, 1.0, 512, 3, 1,
                                                      5000},  // a factor that I/D only approximates
                                           LengthCase{1.0, 1.5, 1024, 1, 1, 20000},  // transposed: T/P is not 1
                                           LengthCase{1.25, 0.7, 2048, 2, 2, 44100}));

// Two tones, one per channel, told apart in the output by their frequencies.
struct ChannelCase {
  int choice;
  double leftLevel, rightLevel;  // expected in the output
};

void PrintTo(const ChannelCase& c, std::ostream* os) { *os << "choice " << c.choice; }

class VocoderChannels : public ::testing::TestWithParam<ChannelCase> {};

TEST_P(VocoderChannels, ChoiceTakesOneChannelOrMixesBoth) {
  const ChannelCase& c = GetParam();
  constexpr double kLeftTone = 440.0, kRightTone = 660.0;
  const std::size_t frames = 44100;
  const auto stereo = kvtest::interleave(kvtest::sineSamples(kLeftTone, kTestRate, frames, 0.5),
                                         kvtest::sineSamples(kRightTone, kTestRate, frames, 0.25));
  kv::VocoderSettings settings = settingsFor(1.0, 1.0, 1024, 1);
  settings.channelChoice = c.choice;
  const kvtest::VocoderRun run = kvtest::runVocoderOn(stereo, 2, settings);
  ASSERT_EQ(run.result, kv::kOk);
  const std::vector<double> x = kvtest::toReals(run.output);
  const Middle m = middleOf(x);
  const double left = kvtest::fitSine(x, kTestRate, kLeftTone, m.from, m.to).amplitude;
  const double right = kvtest::fitSine(x, kTestRate, kRightTone, m.from, m.to).amplitude;
  for (const auto& [measured, expected] : {std::pair{left, c.leftLevel}, std::pair{right, c.rightLevel}}) {
    if (expected == 0.0) {
      EXPECT_LT(measured, 0.002);
    } else {
      EXPECT_NEAR(decibels(measured / expected), 0.0, kLevelToleranceDb);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, VocoderChannels,
                         ::testing::Values(ChannelCase{0, 0.25, 0.125}, ChannelCase{1, 0.5, 0.0},
                                           ChannelCase{2, 0.0, 0.25},
                                           // Beyond the channel count: mixed.
                                           ChannelCase{3, 0.25, 0.125}));

TEST(VocoderChannels, MixesFullScaleChannelsWithoutOverflow) {
  const std::size_t frames = 44100;
  const auto tone = kvtest::sineSamples(kTone, kTestRate, frames, 0.95);
  const kvtest::VocoderRun run =
      kvtest::runVocoderOn(kvtest::interleave(tone, tone), 2, settingsFor(1.0, 1.0, 1024, 1));
  ASSERT_EQ(run.result, kv::kOk);
  const std::vector<double> x = kvtest::toReals(run.output);
  const Middle m = middleOf(x);
  const kvtest::SineFit fit = kvtest::fitSine(x, kTestRate, kTone, m.from, m.to);
  EXPECT_NEAR(decibels(fit.amplitude / 0.95), 0.0, kLevelToleranceDb);
  EXPECT_LT(fit.residual, kCleanResidual);
}

}  // namespace
