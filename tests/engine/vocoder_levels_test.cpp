// Every note keeps its level whatever the vocoder makes of it: tones that follow each other, a
// chord and a glide, at every speed and pitch the program offers; and a slowed loop played over
// and over joins up without a dip or a peak at its seam.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "engine/vocoder.h"
#include "engine/vocoder_sizes.h"
#include "soundfile/result_codes.h"
#include "tests/engine/support/phrase.h"
#include "tests/engine/support/tone.h"
#include "tests/engine/support/vocoder_run.h"

namespace {

using kvtest::decibels;
using kvtest::kTestRate;
using kvtest::PhrasePart;

// Each tone within half a decibel of its level with the window the program uses (mode 1), within
// one with the others; the chord's notes and the glide, which share their bins with neighbours
// or move through them, within one.
constexpr double kToneToleranceDb = 0.5;
constexpr double kOtherWindowsToleranceDb = 1.0;
constexpr double kChordAndGlideToleranceDb = 1.0;
constexpr int kProgramWindowMode = 1;

// The speeds the program's presets reach, as time factors (5 % to 200 %).
constexpr double kTimeFactors[] = {0.5, 0.75, 1.0, 1.11, 1.33, 1.5, 2.0, 4.0, 20.0};
constexpr int kHalfSteps[] = {-12, -2, 0, 2, 7, 12};

struct PhraseCase {
  double timeFactor;
  int halfSteps;
  int fftSize;
  int windowMode;
};

std::string describe(const PhraseCase& c) {
  char text[96];
  std::snprintf(text, sizeof text, "time %g, %+d half-steps, N %d, mode %d", c.timeFactor, c.halfSteps, c.fftSize,
                c.windowMode);
  return text;
}

void PrintTo(const PhraseCase& c, std::ostream* os) { *os << describe(c); }

class VocoderPhrase : public ::testing::TestWithParam<PhraseCase> {};

TEST_P(VocoderPhrase, EveryNoteKeepsItsLevel) {
  const PhraseCase& c = GetParam();
  kv::VocoderSettings settings;
  settings.timeFactor = c.timeFactor;
  settings.pitchFactor = std::pow(2.0, c.halfSteps / 12.0);
  settings.fftSize = c.fftSize;
  settings.windowMode = c.windowMode;
  kv::VocoderSizes sizes;
  ASSERT_EQ(kv::computeVocoderSizes(settings.pitchFactor, settings.timeFactor, c.fftSize, c.windowMode, sizes),
            kv::kOk);
  // The chord's notes stand apart in the analysis only with the longer windows.
  const bool chordAndGlide = c.windowMode == kProgramWindowMode;
  const kvtest::Phrase phrase(sizes, chordAndGlide);
  const kvtest::VocoderRun run = kvtest::runVocoderOn(phrase.fullScale(), 1, settings);
  ASSERT_EQ(run.result, kv::kOk);
  const std::vector<double> x = kvtest::toReals(run.output);
  ASSERT_GE(x.size(), phrase.middle(chordAndGlide ? PhrasePart::kGlide : PhrasePart::kTone550).to);

  const double toneTolerance = c.windowMode == kProgramWindowMode ? kToneToleranceDb : kOtherWindowsToleranceDb;
  const PhrasePart tones[] = {PhrasePart::kTone330, PhrasePart::kTone440, PhrasePart::kTone550};
  for (int i = 0; i < 3; ++i) {
    const kvtest::Middle m = phrase.middle(tones[i]);
    const double frequency = kvtest::kToneFrequencies[i] * settings.pitchFactor;
    const double level = kvtest::fitAmplitudes(x, {frequency}, m.from, m.to)[0];
    EXPECT_NEAR(decibels(level / kvtest::kToneLevel), 0.0, toneTolerance) << kvtest::kToneFrequencies[i] << " Hz";
  }
  if (!chordAndGlide) return;
  const kvtest::Middle chord = phrase.middle(PhrasePart::kChord);
  std::vector<double> notes;
  for (const double f : kvtest::kChordFrequencies) notes.push_back(f * settings.pitchFactor);
  const std::vector<double> levels = kvtest::fitAmplitudes(x, notes, chord.from, chord.to);
  for (std::size_t i = 0; i < notes.size(); ++i) {
    EXPECT_NEAR(decibels(levels[i] / kvtest::kChordLevel), 0.0, kChordAndGlideToleranceDb)
        << "chord note " << kvtest::kChordFrequencies[i] << " Hz";
  }
  const kvtest::Middle glide = phrase.middle(PhrasePart::kGlide);
  EXPECT_NEAR(decibels(kvtest::rms(x, glide.from, glide.to) / (kvtest::kToneLevel / std::sqrt(2.0))), 0.0,
              kChordAndGlideToleranceDb)
      << "glide";
}

std::vector<PhraseCase> everySpeedPitchAndWindow() {
  std::vector<PhraseCase> cases;
  for (const double timeFactor : kTimeFactors) {
    for (const int halfSteps : kHalfSteps) {
      for (const int fftSize : {512, 1024, 2048}) {
        for (int mode = 0; mode < kv::kWindowModes; ++mode) cases.push_back({timeFactor, halfSteps, fftSize, mode});
      }
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, VocoderPhrase, ::testing::ValuesIn(everySpeedPitchAndWindow()));

// A loop of whole cycles of a tone, so that it joins up itself: whatever the output does at its
// seam, the vocoder did.
constexpr double kLoopTone = 440.0;
constexpr double kLoopLevel = 0.5011872336272722;  // −6 dBFS
constexpr std::size_t kLoopFrames = 44100;
constexpr int kRepeats = 10;
constexpr double kWindowSeconds = 0.01;
// The windows at a seam within a decibel of those 50 to 150 ms away; no sample more than half a
// decibel above the loop's loudest.
constexpr double kSeamToleranceDb = 1.0;
constexpr double kPeakHeadroomDb = 0.5;

struct LoopCase {
  double timeFactor;
  double pitchFactor;
  int fftSize;
  int windowMode;
};

void PrintTo(const LoopCase& c, std::ostream* os) {
  *os << "time " << c.timeFactor << " pitch " << c.pitchFactor << " N " << c.fftSize << " mode " << c.windowMode;
}

class VocoderLoop : public ::testing::TestWithParam<LoopCase> {};

TEST_P(VocoderLoop, RepeatsWithoutADipOrAPeakAtItsSeam) {
  const LoopCase& c = GetParam();
  kv::VocoderSettings settings;
  settings.timeFactor = c.timeFactor;
  settings.pitchFactor = c.pitchFactor;
  settings.fftSize = c.fftSize;
  settings.windowMode = c.windowMode;
  const std::vector<int32_t> loop = kvtest::sineSamples(kLoopTone, kTestRate, kLoopFrames, kLoopLevel);
  const kvtest::VocoderRun run = kvtest::runVocoderOn(loop, 1, settings);
  ASSERT_EQ(run.result, kv::kOk);
  const std::vector<double> once = kvtest::toReals(run.output);
  std::vector<double> played;
  for (int r = 0; r < kRepeats; ++r) played.insert(played.end(), once.begin(), once.end());

  double sourcePeak = 0.0;
  for (const int32_t s : loop) sourcePeak = std::max(sourcePeak, std::fabs(s / 2147483647.0));
  double peak = 0.0;
  for (const double s : played) peak = std::max(peak, std::fabs(s));
  EXPECT_LE(decibels(peak / sourcePeak), kPeakHeadroomDb);

  const auto ms = [](double milliseconds) { return static_cast<std::ptrdiff_t>(milliseconds * kTestRate / 1000.0); };
  const std::ptrdiff_t window = ms(1000.0 * kWindowSeconds);
  for (int r = 1; r < kRepeats; ++r) {
    const std::ptrdiff_t seam = r * static_cast<std::ptrdiff_t>(once.size());
    const double neighbours =
        (kvtest::rms(played, seam - ms(150), seam - ms(50)) + kvtest::rms(played, seam + ms(50), seam + ms(150))) / 2.0;
    // Every window that holds the seam or lies within 20 ms of it, a millisecond apart.
    for (std::ptrdiff_t from = seam - ms(30); from <= seam + ms(20); from += ms(1)) {
      const double level = kvtest::rms(played, from, from + window);
      EXPECT_NEAR(decibels(level / neighbours), 0.0, kSeamToleranceDb) << "seam " << r << ", window at " << from - seam;
    }
  }
}

const double kWholeStep = std::pow(2.0, 2.0 / 12.0);

INSTANTIATE_TEST_SUITE_P(Cases, VocoderLoop,
                         ::testing::Values(LoopCase{2.0, 1.0, 2048, 1},        // half speed
                                           LoopCase{1.0 / 3.0, 1.0, 2048, 1},  // three times as fast
                                           LoopCase{1.33, 1.0, 1024, 1}, LoopCase{2.0, kWholeStep, 2048, 1},
                                           LoopCase{20.0, 1.0, 2048, 1},  // the slowest speed
                                           LoopCase{4.0, 1.0, 512, 0}, LoopCase{2.0, 1.0, 2048, 3}));

}  // namespace
