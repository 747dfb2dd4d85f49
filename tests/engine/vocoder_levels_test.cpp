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

// What a loop holds. A loop of whole cycles of a tone joins up itself: whatever the output does at
// its seam, the vocoder did. A loop cut anywhere else jumps there, as a passage marked by hand does:
// in the middle of a cycle of its one note, or from its second note back to its first.
enum class LoopSource { kWholeCycles, kCutMidCycle, kTwoNotes };
constexpr double kLoopTone = 440.0;
constexpr double kSecondNote = 587.33;             // the D above
constexpr double kLoopLevel = 0.5011872336272722;  // −6 dBFS
constexpr std::size_t kLoopFrames = 44100;
constexpr std::size_t kCutLoopFrames = 44100 + 317;
constexpr int kRepeats = 10;
constexpr double kWindowSeconds = 0.01;
// The windows at a seam within a decibel of those 50 to 150 ms away; no sample more than half a
// decibel above the loop's loudest.
constexpr double kSeamToleranceDb = 1.0;
constexpr double kPeakHeadroomDb = 0.5;

std::vector<int32_t> loopSamples(LoopSource source) {
  switch (source) {
    case LoopSource::kWholeCycles:
      return kvtest::sineSamples(kLoopTone, kTestRate, kLoopFrames, kLoopLevel);
    case LoopSource::kCutMidCycle:
      return kvtest::sineSamples(kLoopTone, kTestRate, kCutLoopFrames, kLoopLevel);
    case LoopSource::kTwoNotes: {
      std::vector<int32_t> loop = kvtest::sineSamples(kLoopTone, kTestRate, kCutLoopFrames / 2, kLoopLevel);
      const std::vector<int32_t> second =
          kvtest::sineSamples(kSecondNote, kTestRate, kCutLoopFrames - loop.size(), kLoopLevel);
      loop.insert(loop.end(), second.begin(), second.end());
      return loop;
    }
  }
  return {};
}

struct LoopCase {
  LoopSource source;
  double timeFactor;
  double pitchFactor;
  int fftSize;
  int windowMode;
};

void PrintTo(const LoopCase& c, std::ostream* os) {
  static const char* const sources[] = {"whole cycles", "cut mid-cycle", "two notes"};
  *os << sources[static_cast<int>(c.source)] << ", time " << c.timeFactor << " pitch " << c.pitchFactor << " N "
      << c.fftSize << " mode " << c.windowMode;
}

class VocoderLoop : public ::testing::TestWithParam<LoopCase> {};

TEST_P(VocoderLoop, RepeatsWithoutADipOrAPeakAtItsSeam) {
  const LoopCase& c = GetParam();
  kv::VocoderSettings settings;
  settings.timeFactor = c.timeFactor;
  settings.pitchFactor = c.pitchFactor;
  settings.fftSize = c.fftSize;
  settings.windowMode = c.windowMode;
  const std::vector<int32_t> loop = loopSamples(c.source);
  const kvtest::VocoderRun run = kvtest::runVocoderOn(loop, 1, settings);
  ASSERT_EQ(run.result, kv::kOk);
  const std::vector<double> once = kvtest::toReals(run.output);
  std::vector<double> played;
  for (int r = 0; r < kRepeats; ++r) played.insert(played.end(), once.begin(), once.end());

  double sourcePeak = 0.0;
  for (const int32_t s : loop) sourcePeak = std::max(sourcePeak, std::fabs(s / 2147483647.0));
  // Around every seam; and all through a loop of one note (the vocoder spreads a change of note
  // inside the loop over its windows, which is no seam's doing).
  const auto ms = [](double milliseconds) { return static_cast<std::ptrdiff_t>(milliseconds * kTestRate / 1000.0); };
  const auto peakOver = [&](std::ptrdiff_t from, std::ptrdiff_t to) {
    double peak = 0.0;
    for (std::ptrdiff_t t = std::max<std::ptrdiff_t>(from, 0); t < std::min<std::ptrdiff_t>(to, played.size()); ++t) {
      peak = std::max(peak, std::fabs(played[t]));
    }
    return peak;
  };
  if (c.source != LoopSource::kTwoNotes) {
    EXPECT_LE(decibels(peakOver(0, played.size()) / sourcePeak), kPeakHeadroomDb) << "the loop's peak, in dB";
  }

  const std::ptrdiff_t window = ms(1000.0 * kWindowSeconds);
  for (int r = 1; r < kRepeats; ++r) {
    const std::ptrdiff_t seam = r * static_cast<std::ptrdiff_t>(once.size());
    const double neighbours =
        (kvtest::rms(played, seam - ms(150), seam - ms(50)) + kvtest::rms(played, seam + ms(50), seam + ms(150))) / 2.0;
    // Every window that holds the seam or lies within 20 ms of it, a millisecond apart: the one
    // furthest from its neighbours' level.
    double worst = 0.0;
    std::ptrdiff_t worstAt = 0;
    for (std::ptrdiff_t from = seam - ms(30); from <= seam + ms(20); from += ms(1)) {
      const double off = decibels(kvtest::rms(played, from, from + window) / neighbours);
      if (std::fabs(off) > std::fabs(worst)) {
        worst = off;
        worstAt = from - seam;
      }
    }
    EXPECT_NEAR(worst, 0.0, kSeamToleranceDb) << "seam " << r << ", window at " << worstAt << " samples";
    EXPECT_LE(decibels(peakOver(seam - ms(150), seam + ms(150)) / sourcePeak), kPeakHeadroomDb)
        << "seam " << r << ": the peak around it, in dB";
  }
}

const double kWholeStep = std::pow(2.0, 2.0 / 12.0);

std::vector<LoopCase> everyLoop() {
  // Half speed, three times as fast, the slowest speed, a transposition, and other sizes and windows.
  const LoopCase jobs[] = {{LoopSource{}, 2.0, 1.0, 2048, 1},  {LoopSource{}, 1.0 / 3.0, 1.0, 2048, 1},
                           {LoopSource{}, 1.33, 1.0, 1024, 1}, {LoopSource{}, 2.0, kWholeStep, 2048, 1},
                           {LoopSource{}, 20.0, 1.0, 2048, 1}, {LoopSource{}, 4.0, 1.0, 512, 0},
                           {LoopSource{}, 2.0, 1.0, 2048, 3}};
  std::vector<LoopCase> cases;
  for (const LoopSource source : {LoopSource::kWholeCycles, LoopSource::kCutMidCycle, LoopSource::kTwoNotes}) {
    for (LoopCase job : jobs) {
      job.source = source;
      cases.push_back(job);
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, VocoderLoop, ::testing::ValuesIn(everyLoop()));

}  // namespace
