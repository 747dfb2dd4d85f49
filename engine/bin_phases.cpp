#include "engine/bin_phases.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/fast_trig.h"
#include "engine/vector_clones.h"

// The steps per bin are loops over the bins that have an imaginary part in both spectra, without
// branches, so that they vectorise (short loops run faster than one long one, whose many live
// values no longer fit the registers); the few other bins (the mean, and the top bins) take the
// same steps one by one.

namespace kv {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
// Adding and subtracting this rounds a double below 2^51 to the nearest integer.
constexpr double kRoundingShift = 6755399441055744.0;  // 1.5 · 2^52

KV_INLINE double roundToInteger(double x) { return (x + kRoundingShift) - kRoundingShift; }

// Folded into [-π, π].
KV_INLINE double principal(double angle) { return angle - kTwoPi * roundToInteger(angle * (1.0 / kTwoPi)); }

// The bin's analysis phase, in single precision (engine/fast_trig.h).
KV_INLINE float phaseOf(double re, double im) { return fastAtan2(static_cast<float>(im), static_cast<float>(re)); }

KV_INLINE float powerOf(double re, double im) { return static_cast<float>(re * re + im * im); }

// The turn from the analysis phase to the synthesis phase once the synthesis phase has advanced by
// phaseScale times the analysis phase's advance since the last hop, where the analysis phase
// advanced once: by phaseScale - 1 times that advance more. A bin without a value keeps its
// phases.
KV_INLINE float advanceTurn(double re, double im, float angle, double phaseScale, double& previous, float turn) {
  const bool sounding = (re != 0.0) | (im != 0.0);
  double advance = angle - previous;
  advance = advance > kPi ? advance - kTwoPi : advance;
  advance = advance < -kPi ? advance + kTwoPi : advance;
  previous = sounding ? angle : previous;
  return static_cast<float>(principal(turn + (sounding ? advance * (phaseScale - 1.0) : 0.0)));
}

// The analysis value turned to the synthesis phase: its magnitude at that phase, without a square
// root.
KV_INLINE void turnValue(double re, double im, float turn, double& outRe, double& outIm) {
  float sine, cosine;
  fastSinCos(turn, sine, cosine);
  outRe = re * cosine - im * sine;
  outIm = re * sine + im * cosine;
}

// Eight bin numbers, as many as an AVX2 vector holds.
using Bins = int __attribute__((vector_size(32)));
constexpr int kBinLanes = 8;

KV_INLINE void loadBins(Bins& v, const int* from) { std::memcpy(&v, from, sizeof v); }
KV_INLINE void storeBins(int* to, const Bins& v) { std::memcpy(to, &v, sizeof v); }
KV_INLINE void keepLarger(Bins& a, const Bins& b) {
  const Bins larger = a > b;
  a = (a & larger) | (b & ~larger);
}
KV_INLINE void keepSmaller(Bins& a, const Bins& b) {
  const Bins smaller = a < b;
  a = (a & smaller) | (b & ~smaller);
}

// The peaks: bins louder than the two below them and no softer than the two above (a bin of a
// partial's main lobe, not a ripple on its slope or between two partials). For each bin 1..end-1,
// the last peak at or below it in last (the mean, bin 0, where there is none) and the next peak at
// or above it in next (end where there is none); power[end] and power[end + 1] must be below every
// bin's power. Both arrays hold kBinLanes more than end. Without branches: the last peak is the
// largest peak number so far, the next the smallest from here on, each a running extreme worked a
// vector at a time.
KV_INLINE void findPeaks(const float* __restrict power, int end, int* __restrict last, int* __restrict next) {
  const int padded = 1 + (end - 1 + kBinLanes - 1) / kBinLanes * kBinLanes;
  const auto mark = [&](int k, bool peak) {
    last[k] = peak ? k : 0;
    next[k] = peak ? k : end;
  };
  mark(1, (power[1] > power[0]) & (power[1] >= power[2]) & (power[1] >= power[3]));
  KV_VECTORISE
  for (int k = 2; k < end; ++k) {
    mark(k, (power[k] > power[k - 1]) & (power[k] > power[k - 2]) & (power[k] >= power[k + 1]) &
                (power[k] >= power[k + 2]));
  }
  for (int k = end; k < padded; ++k) {
    last[k] = 0;
    next[k] = end;
  }
  // Within a vector in three steps, then across vectors from the one before.
  const Bins none = {};
  Bins carry = none;
  for (int k = 1; k < padded; k += kBinLanes) {
    Bins v;
    loadBins(v, last + k);
    keepLarger(v, __builtin_shufflevector(v, none, 8, 0, 1, 2, 3, 4, 5, 6));
    keepLarger(v, __builtin_shufflevector(v, none, 8, 8, 0, 1, 2, 3, 4, 5));
    keepLarger(v, __builtin_shufflevector(v, none, 8, 8, 8, 8, 0, 1, 2, 3));
    keepLarger(v, __builtin_shufflevector(carry, carry, 7, 7, 7, 7, 7, 7, 7, 7));
    storeBins(last + k, v);
    carry = v;
  }
  const Bins beyond = none + end;
  carry = beyond;
  for (int k = padded - kBinLanes; k >= 1; k -= kBinLanes) {
    Bins v;
    loadBins(v, next + k);
    keepSmaller(v, __builtin_shufflevector(v, beyond, 1, 2, 3, 4, 5, 6, 7, 15));
    keepSmaller(v, __builtin_shufflevector(v, beyond, 2, 3, 4, 5, 6, 7, 15, 15));
    keepSmaller(v, __builtin_shufflevector(v, beyond, 4, 5, 6, 7, 15, 15, 15, 15));
    keepSmaller(v, __builtin_shufflevector(carry, carry, 0, 0, 0, 0, 0, 0, 0, 0));
    storeBins(next + k, v);
    carry = v;
  }
}

// Bins 1..end-1 turn by their peak's turn and, further from it, by slope per bin more: what the
// partial's phase there is, a bin that becomes a peak later goes on from. A bin's peak is the
// next one up while it lies on a slope up to one, else the last one.
KV_INLINE void lockToPeaks(const float* __restrict power, const int* __restrict last, const int* __restrict next,
                           int end, float slope, const float* __restrict advanced, float* __restrict turn) {
  KV_VECTORISE_EIGHT
  for (int k = 1; k < end; ++k) {
    const int peak = power[k] > power[k - 1] && next[k] < end ? next[k] : last[k];
    turn[k] = advanced[peak] + static_cast<float>(k - peak) * slope;
  }
}

// Bins first..end-1, each with its real part in real[k] and its imaginary part in imaginary[k]:
// each bin's turn once advanced, with its power.
KV_INLINE void advanceBins(const double* __restrict real, const double* __restrict imaginary, int first, int end,
                           double phaseScale, const BinPhases& phases) {
  float* __restrict advanced = phases.advanced;
  float* __restrict power = phases.power;
  double* __restrict previous = phases.previous;
  const float* __restrict turn = phases.turn;
  KV_VECTORISE_EIGHT
  for (int k = first; k < end; ++k) {
    advanced[k] = phaseOf(real[k], imaginary[k]);
    power[k] = powerOf(real[k], imaginary[k]);
  }
  KV_VECTORISE
  for (int k = first; k < end; ++k) {
    advanced[k] = advanceTurn(real[k], imaginary[k], advanced[k], phaseScale, previous[k], turn[k]);
  }
}

// The bins turned, their real parts into synthesis, their imaginary parts in place.
KV_INLINE void turnBins(const double* __restrict real, double* imaginary, int first, int end,
                        const float* __restrict turn, double* __restrict synthesis) {
  KV_VECTORISE_EIGHT
  for (int k = first; k < end; ++k) {
    double outIm;
    turnValue(real[k], imaginary[k], turn[k], synthesis[k], outIm);
    imaginary[k] = outIm;
  }
}

// The halfcomplex order keeps the imaginary parts from the end down (bin k's at end[-k]), which the
// loops above read and write upward: they go through an array in bin order (gcc vectorises no
// loop that walks down one array of doubles while it converts them to floats).
KV_INLINE void readImaginaryParts(double* __restrict parts, const double* __restrict end, int first, int last) {
  for (int k = first; k < last; ++k) parts[k] = end[-k];
}

KV_INLINE void writeImaginaryParts(double* __restrict end, const double* __restrict parts, int first, int last) {
  for (int k = first; k < last; ++k) end[-k] = parts[k];
}

KV_INLINE void trackAll(const double* spectrum, int fftSize, int bins, double phaseScale, double shift,
                        BinPhases phases, double* synthesis, int synthesisSize) {
  const int half = fftSize / 2;
  const int synthesisHalf = synthesisSize / 2;
  const int loopEnd = std::max(1, std::min({bins, half - 1, synthesisHalf - 1}) + 1);
  double* const synthesisEnd = synthesis + synthesisSize;
  readImaginaryParts(phases.imaginary, spectrum + fftSize, 1, loopEnd);
  advanceBins(spectrum, phases.imaginary, 1, loopEnd, phaseScale, phases);
  // The top bins keep their own phases; the mean stays real.
  for (int k = loopEnd; k <= bins; ++k) {
    const double re = spectrum[k];
    const double im = k < half ? spectrum[fftSize - k] : 0.0;
    phases.turn[k] = advanceTurn(re, im, phaseOf(re, im), phaseScale, phases.previous[k], phases.turn[k]);
  }
  phases.advanced[0] = 0.0f;
  phases.power[0] = powerOf(spectrum[0], 0.0);
  phases.power[loopEnd] = phases.power[loopEnd + 1] = -1.0f;
  findPeaks(phases.power, loopEnd, phases.last, phases.next);
  // A bin further from its peak by one turns by 2π·shift/N less, which moves what the frame holds
  // at the analysis window's centre to where the synthesis reads it.
  const float slope = static_cast<float>(-principal(kTwoPi * shift / fftSize));
  lockToPeaks(phases.power, phases.last, phases.next, loopEnd, slope, phases.advanced, phases.turn);
  turnBins(spectrum, phases.imaginary, 1, loopEnd, phases.turn, synthesis);
  writeImaginaryParts(synthesisEnd, phases.imaginary, 1, loopEnd);
  synthesis[0] = spectrum[0];  // the mean keeps its sign
  for (int k = loopEnd; k <= bins; ++k) {
    const double re = spectrum[k];
    const double im = k < half ? spectrum[fftSize - k] : 0.0;
    if (k < synthesisHalf) {
      turnValue(re, im, phases.turn[k], synthesis[k], synthesisEnd[-k]);
    } else {
      synthesis[k] = k == half ? re : std::sqrt(re * re + im * im);
    }
  }
}

}  // namespace

void trackBinPhases(const double* spectrum, int fftSize, int bins, double phaseScale, double shift,
                    const BinPhases& phases, double* synthesis, int synthesisSize) {
  runOnVectorPath<trackAll>(spectrum, fftSize, bins, phaseScale, shift, phases, synthesis, synthesisSize);
}

}  // namespace kv
