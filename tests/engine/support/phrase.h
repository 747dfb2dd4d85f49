#pragma once
// A short phrase whose every note the vocoder must keep at its level: three steady tones one after
// the other, a chord, and a tone that glides through an octave; where each note lies in a pass's
// output, and its level there.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/vocoder_sizes.h"
#include "tests/engine/support/tone.h"
#include "tests/engine/support/vocoder_run.h"

namespace kvtest {

constexpr double kToneFrequencies[] = {330.0, 440.0, 550.0};
// C, E and G two octaves above middle C, where the smallest FFT the program offers gives each note
// peaks of its own (its bins are 86 Hz apart, the notes 250 Hz or more).
constexpr double kChordFrequencies[] = {1046.50, 1318.51, 1567.98};
constexpr double kGlideFrom = 330.0;                 // rising to twice that
constexpr double kToneLevel = 0.35481338923357547;   // −9 dBFS
constexpr double kChordLevel = 0.17782794100389228;  // −15 dBFS each, so that the three never clip

// Every note's level is measured over this much of its middle in the output.
constexpr double kMeasuredSeconds = 0.05;
// The glide takes at least this long for its octave, a quick slide on a string.
constexpr double kGlideSeconds = 0.2;

// The parts of the phrase in order: the three tones, the chord, the glide.
enum class PhrasePart { kTone330, kTone440, kTone550, kChord, kGlide };
constexpr int kPhraseParts = 5;

// The phrase for a pass's sizes: each part long enough that the output holds kMeasuredSeconds of
// it that no analysis or synthesis window of a neighbouring part reaches, and the glide no faster
// than an octave in kGlideSeconds. Without the chord and the glide, the three tones alone.
struct Phrase {
  Phrase(const kv::VocoderSizes& sizes, bool withChordAndGlide)
      : z(sizes), parts(withChordAndGlide ? kPhraseParts : 3) {
    const double reach = 2.0 * z.halfWindow;  // input samples a change spreads over, both sides
    const double outputPerInput = z.timeRatio / z.pitchRatio;
    // Synthesis windows spread the change a further window in output samples.
    const std::size_t partLength = static_cast<std::size_t>(
        reach + 2.0 * z.analysisHop + (2.0 * z.halfWindow + kMeasuredSeconds * kTestRate) / outputPerInput);
    std::size_t at = 0;
    for (int i = 0; i < parts; ++i) {
      start[i] = at;
      length[i] = i == static_cast<int>(PhrasePart::kGlide)
                      ? std::max(partLength, static_cast<std::size_t>(kGlideSeconds * kTestRate))
                      : partLength;
      at += length[i];
    }
    samples.assign(at, 0.0);
    const double w = 2.0 * kTestPi / kTestRate;
    for (int i = 0; i < 3; ++i) {
      for (std::size_t t = 0; t < length[i]; ++t) {
        samples[start[i] + t] = kToneLevel * std::sin(w * kToneFrequencies[i] * t);
      }
    }
    if (parts == 3) return;
    const int chord = static_cast<int>(PhrasePart::kChord);
    for (std::size_t t = 0; t < length[chord]; ++t) {
      for (const double f : kChordFrequencies) samples[start[chord] + t] += kChordLevel * std::sin(w * f * t);
    }
    // Exponential: every part of the glide rises as fast, in musical terms.
    const int glide = static_cast<int>(PhrasePart::kGlide);
    double phase = 0.0;
    for (std::size_t t = 0; t < length[glide]; ++t) {
      samples[start[glide] + t] = kToneLevel * std::sin(phase);
      phase += w * kGlideFrom * std::pow(2.0, static_cast<double>(t) / length[glide]);
    }
  }

  std::vector<int32_t> fullScale() const {
    std::vector<int32_t> out(samples.size());
    for (std::size_t t = 0; t < samples.size(); ++t) {
      out[t] = static_cast<int32_t>(std::lround(samples[t] * 2147483647.0));
    }
    return out;
  }

  // Output samples [from, to) of the part's middle, which no neighbour reaches.
  Middle middle(PhrasePart part) const {
    const int i = static_cast<int>(part);
    const double centre = (start[i] + length[i] / 2.0) * z.timeRatio / z.pitchRatio;
    const double half = kMeasuredSeconds * kTestRate / 2.0;
    return {static_cast<std::size_t>(centre - half), static_cast<std::size_t>(centre + half)};
  }

  kv::VocoderSizes z;
  int parts;
  std::size_t start[kPhraseParts] = {}, length[kPhraseParts] = {};
  std::vector<double> samples;
};

// Each frequency's amplitude in x over [from, to), fitted together (with an offset), so that
// neighbouring notes do not leak into each other's figures.
inline std::vector<double> fitAmplitudes(const std::vector<double>& x, const std::vector<double>& frequencies,
                                         std::size_t from, std::size_t to) {
  const int k = static_cast<int>(frequencies.size());
  const int size = 2 * k + 1;
  std::vector<double> m(static_cast<std::size_t>(size * (size + 1)), 0.0);
  const auto at = [&](int r, int c) -> double& { return m[static_cast<std::size_t>(r * (size + 1) + c)]; };
  std::vector<double> basis(size);
  for (std::size_t t = from; t < to; ++t) {
    for (int i = 0; i < k; ++i) {
      const double a = 2.0 * kTestPi * frequencies[i] / kTestRate * static_cast<double>(t);
      basis[2 * i] = std::cos(a);
      basis[2 * i + 1] = std::sin(a);
    }
    basis[2 * k] = 1.0;
    for (int r = 0; r < size; ++r) {
      for (int c = 0; c < size; ++c) at(r, c) += basis[r] * basis[c];
      at(r, size) += basis[r] * x[t];
    }
  }
  for (int p = 0; p < size; ++p) {
    for (int r = p + 1; r < size; ++r) {
      const double f = at(r, p) / at(p, p);
      for (int c = p; c <= size; ++c) at(r, c) -= f * at(p, c);
    }
  }
  std::vector<double> coef(size);
  for (int r = size - 1; r >= 0; --r) {
    double v = at(r, size);
    for (int c = r + 1; c < size; ++c) v -= at(r, c) * coef[c];
    coef[r] = v / at(r, r);
  }
  std::vector<double> amplitudes(k);
  for (int i = 0; i < k; ++i) amplitudes[i] = std::hypot(coef[2 * i], coef[2 * i + 1]);
  return amplitudes;
}

// RMS of x over [from, to).
inline double rms(const std::vector<double>& x, std::size_t from, std::size_t to) {
  double sum = 0.0;
  for (std::size_t t = from; t < to; ++t) sum += x[t] * x[t];
  return std::sqrt(sum / static_cast<double>(to - from));
}

}  // namespace kvtest
