#include "engine/bin_phases.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "engine/fast_trig.h"
#include "engine/vector_clones.h"

// The bins that have an imaginary part in both spectra go through two loops written eight bins at
// a time, as an AVX2 vector holds floats: the first takes each bin's power and phase advance, the
// second, once the peaks are known, its synthesis value. Their values are laid out in bin order
// first, so that neither reads the halfcomplex order's imaginary parts downward; the last eight
// reach past the top bin, into zeros. The few other bins (the mean, and the top bin) take the same
// steps one by one.

namespace kv {

namespace {

constexpr int kLanes = 8;
using IntLanes = int __attribute__((vector_size(32)));

constexpr double kTwoPi = 6.28318530717958647692;
// 2π in two parts, the first exact in 8 bits, so that a whole number of turns up to 2^16 comes off
// an angle exactly.
constexpr float kTwoPi1 = 6.28125f;
constexpr float kTwoPi2 = 1.9353071795864769e-3f;
constexpr float kRoundingShift = 12582912.0f;  // 1.5 · 2^23: rounds a float below 2^22

template <typename V, typename T>
KV_INLINE V load(const T* from) {
  V v;
  std::memcpy(&v, from, sizeof v);
  return v;
}

template <typename T, typename V>
KV_INLINE void store(T* to, const V& v) {
  std::memcpy(to, &v, sizeof v);
}

KV_INLINE FloatLanes reversed(FloatLanes v) { return __builtin_shufflevector(v, v, 7, 6, 5, 4, 3, 2, 1, 0); }

// Eight bins' values: real parts upward from re, imaginary parts downward from imEnd (bin j of the
// eight at imEnd[-j]), as the halfcomplex order keeps them.
template <typename T>
struct BinValues {
  T* re;
  T* imEnd;
};

KV_INLINE void loadValues(const BinValues<const float>& values, FloatLanes& re, FloatLanes& im) {
  re = load<FloatLanes>(values.re);
  im = reversed(load<FloatLanes>(values.imEnd - (kLanes - 1)));
}

KV_INLINE void storeValues(const BinValues<float>& values, const FloatLanes& re, const FloatLanes& im) {
  store(values.re, re);
  store(values.imEnd - (kLanes - 1), reversed(im));
}

// Room for the last eight bins where fewer are left: they are worked here, the missing ones as
// silence.
struct LastBins {
  float re[kLanes];
  float im[kLanes];
  int count;

  LastBins(const float* re, const float* imEnd, int count) : count(count) {
    for (int j = 0; j < kLanes; ++j) {
      this->re[j] = j < count ? re[j] : 0.0f;
      im[kLanes - 1 - j] = j < count ? imEnd[-j] : 0.0f;
    }
  }
  BinValues<const float> input() const { return {re, im + kLanes - 1}; }
  BinValues<float> output() { return {re, im + kLanes - 1}; }
  void copyTo(float* toRe, float* toImEnd) const {
    for (int j = 0; j < count; ++j) {
      toRe[j] = re[j];
      toImEnd[-j] = im[kLanes - 1 - j];
    }
  }
};

// Folded into [-π, π].
template <typename F>
KV_INLINE F principal(F angle) {
  const F turns = (angle * static_cast<float>(1.0 / kTwoPi) + kRoundingShift) - kRoundingShift;
  return (angle - turns * kTwoPi1) - turns * kTwoPi2;
}

// The turn from the analysis phase to the synthesis phase once the synthesis phase has advanced by
// phaseScale times the analysis phase's advance, where the analysis phase advanced once: by
// phaseScale - 1 times that advance more (scaleLessOne). The advance is the angle from the bin's
// last value to its present one; a silent bin has none.
template <typename F>
KV_INLINE F advanceTurn(F turn, F advance, float scaleLessOne) {
  return principal(turn + advance * scaleLessOne);
}

// Bins k..k+7: each one's power, and its turn once advanced; a bin that is not silent keeps its
// value for the next hop.
KV_INLINE void analyseBins(const BinValues<const float>& values, const BinPhases& phases, int k, float scaleLessOne) {
  FloatLanes re, im;
  loadValues(values, re, im);
  const auto lastRe = load<FloatLanes>(phases.previousReal + k);
  const auto lastIm = load<FloatLanes>(phases.previousImaginary + k);
  store(phases.power + k, re * re + im * im);
  const FloatLanes advance = fastAtan2(im * lastRe - re * lastIm, re * lastRe + im * lastIm);
  const auto sounding = (re != 0.0f) | (im != 0.0f);
  store(phases.previousReal + k, sounding ? re : lastRe);
  store(phases.previousImaginary + k, sounding ? im : lastIm);
  store(phases.advanced + k, advanceTurn(load<FloatLanes>(phases.turn + k), advance, scaleLessOne));
}

// The same for one bin.
KV_INLINE float advanceBin(float re, float im, const BinPhases& phases, int k, float scaleLessOne) {
  float& lastRe = phases.previousReal[k];
  float& lastIm = phases.previousImaginary[k];
  const float advance = fastAtan2(im * lastRe - re * lastIm, re * lastRe + im * lastIm);
  if (re != 0.0f || im != 0.0f) {
    lastRe = re;
    lastIm = im;
  }
  return advanceTurn(phases.turn[k], advance, scaleLessOne);
}

using Bins = IntLanes;
constexpr Bins kLaneNumbers = {0, 1, 2, 3, 4, 5, 6, 7};

KV_INLINE Bins larger(Bins a, Bins b) { return a > b ? a : b; }
KV_INLINE Bins smaller(Bins a, Bins b) { return a < b ? a : b; }

// The peaks: bins louder than the two below them and no softer than the two above (a bin of a
// partial's main lobe, not a ripple on its slope or between two partials). For each bin 1..end-1,
// the last peak at or below it in last (the mean, bin 0, where there is none); power[end] and
// power[end + 1] must be below every bin's power. Without branches: the last peak is the largest
// peak number so far, a running maximum worked a vector at a time, within it in three steps and
// across vectors from the one before. The next peak at or above a bin, the smallest from there
// on, is worked the same way downward where it is used.
KV_INLINE void findLastPeaks(const float* power, int end, int* last) {
  Bins carry = {};
  for (int k = 1; k < end; k += kLanes) {
    const auto here = load<FloatLanes>(power + k);
    // Bin 1 has only the mean below it: it is compared with it twice.
    const FloatLanes twoBelow =
        k > 1 ? load<FloatLanes>(power + k - 2)
              : __builtin_shufflevector(here, load<FloatLanes>(power), 8, 8, 9, 10, 11, 12, 13, 14);
    const Bins bin = k + kLaneNumbers;
    const Bins peak = (here > load<FloatLanes>(power + k - 1)) & (here > twoBelow) &
                      (here >= load<FloatLanes>(power + k + 1)) & (here >= load<FloatLanes>(power + k + 2)) &
                      (bin < end);
    Bins v = peak ? bin : Bins{};
    const Bins none = {};
    v = larger(v, __builtin_shufflevector(v, none, 8, 0, 1, 2, 3, 4, 5, 6));
    v = larger(v, __builtin_shufflevector(v, none, 8, 8, 0, 1, 2, 3, 4, 5));
    v = larger(v, __builtin_shufflevector(v, none, 8, 8, 8, 8, 0, 1, 2, 3));
    v = larger(v, __builtin_shufflevector(carry, carry, 7, 7, 7, 7, 7, 7, 7, 7));
    store(last + k, v);
    carry = v;
  }
}

// Bins k..k+7 turned by their peak's turn and, further from it, by slope per bin more: what the
// partial's phase there is, a bin that becomes a peak later goes on from. A bin's peak is the next
// one up while it lies on a slope up to one, else the last one. next carries the next peak at or
// above the eight bins above these (end where there is none) and takes it on to these.
KV_INLINE void synthesiseBins(const BinValues<const float>& in, const BinValues<float>& out, const BinPhases& phases,
                              int k, int end, float slope, Bins& next) {
  const Bins bin = k + kLaneNumbers;
  const auto last = load<Bins>(phases.last + k);
  const Bins beyond = Bins{} + end;
  Bins v = last == bin ? bin : beyond;
  v = smaller(v, __builtin_shufflevector(v, beyond, 1, 2, 3, 4, 5, 6, 7, 15));
  v = smaller(v, __builtin_shufflevector(v, beyond, 2, 3, 4, 5, 6, 7, 15, 15));
  v = smaller(v, __builtin_shufflevector(v, beyond, 4, 5, 6, 7, 15, 15, 15, 15));
  v = smaller(v, __builtin_shufflevector(next, next, 0, 0, 0, 0, 0, 0, 0, 0));
  next = v;
  const Bins up = (load<FloatLanes>(phases.power + k) > load<FloatLanes>(phases.power + k - 1)) & (v < end);
  const Bins peak = up ? v : last;
  const float* advanced = phases.advanced;
  const FloatLanes peakTurn = {advanced[peak[0]], advanced[peak[1]], advanced[peak[2]], advanced[peak[3]],
                               advanced[peak[4]], advanced[peak[5]], advanced[peak[6]], advanced[peak[7]]};
  const FloatLanes turn = peakTurn + __builtin_convertvector(bin - peak, FloatLanes) * slope;
  store(phases.turn + k, turn);
  FloatLanes s, c;
  fastSinCos(turn, s, c);
  FloatLanes re, im;
  loadValues(in, re, im);
  storeValues(out, re * c - im * s, re * s + im * c);
}

// The same turn for one bin.
KV_INLINE void turnValue(float re, float im, float turn, float& outRe, float& outIm) {
  float s, c;
  fastSinCos(turn, s, c);
  outRe = re * c - im * s;
  outIm = re * s + im * c;
}

KV_INLINE void trackAll(const float* spectrum, int fftSize, int bins, double phaseScale, double shift, BinPhases phases,
                        float* synthesis, int synthesisSize) {
  const int half = fftSize / 2;
  const int synthesisHalf = synthesisSize / 2;
  const int loopEnd = std::max(1, std::min({bins, half - 1, synthesisHalf - 1}) + 1);
  const float* const spectrumEnd = spectrum + fftSize;
  float* const synthesisEnd = synthesis + synthesisSize;
  // Whole eights in place, the last few through LastBins.
  const int wholeEnd = 1 + (loopEnd - 1) / kLanes * kLanes;
  const auto inAt = [&](int k) KV_LAMBDA_INLINE { return BinValues<const float>{spectrum + k, spectrumEnd - k}; };
  const auto scaleLessOne = static_cast<float>(phaseScale - 1.0);
  for (int k = 1; k < wholeEnd; k += kLanes) analyseBins(inAt(k), phases, k, scaleLessOne);
  if (wholeEnd < loopEnd) {
    LastBins rest(spectrum + wholeEnd, spectrumEnd - wholeEnd, loopEnd - wholeEnd);
    analyseBins(rest.input(), phases, wholeEnd, scaleLessOne);
  }
  // The top bins keep their own phases; the locking below reads advanced only at peaks, so it holds
  // their turns meanwhile. The mean stays real.
  for (int k = loopEnd; k <= bins; ++k) {
    phases.advanced[k] = advanceBin(spectrum[k], k < half ? spectrumEnd[-k] : 0.0f, phases, k, scaleLessOne);
  }
  phases.advanced[0] = 0.0f;
  phases.power[0] = spectrum[0] * spectrum[0];
  phases.power[loopEnd] = phases.power[loopEnd + 1] = -1.0f;
  findLastPeaks(phases.power, loopEnd, phases.last);
  // A bin further from its peak by one turns by 2π·shift/N less, which moves what the frame holds
  // at the analysis window's centre to where the synthesis reads it.
  const auto slope = static_cast<float>(std::remainder(-kTwoPi * shift / fftSize, kTwoPi));
  Bins next = Bins{} + loopEnd;
  if (wholeEnd < loopEnd) {
    LastBins rest(spectrum + wholeEnd, spectrumEnd - wholeEnd, loopEnd - wholeEnd);
    synthesiseBins(rest.input(), rest.output(), phases, wholeEnd, loopEnd, slope, next);
    rest.copyTo(synthesis + wholeEnd, synthesisEnd - wholeEnd);
  }
  for (int k = wholeEnd - kLanes; k >= 1; k -= kLanes) {
    synthesiseBins(inAt(k), {synthesis + k, synthesisEnd - k}, phases, k, loopEnd, slope, next);
  }
  synthesis[0] = spectrum[0];  // the mean keeps its sign
  for (int k = loopEnd; k <= bins; ++k) {
    phases.turn[k] = phases.advanced[k];
    const float re = spectrum[k];
    const float im = k < half ? spectrumEnd[-k] : 0.0f;
    if (k < synthesisHalf) {
      turnValue(re, im, phases.turn[k], synthesis[k], synthesisEnd[-k]);
    } else {
      synthesis[k] = k == half ? re : std::sqrt(re * re + im * im);
    }
  }
}

}  // namespace

void trackBinPhases(const float* spectrum, int fftSize, int bins, double phaseScale, double shift,
                    const BinPhases& phases, float* synthesis, int synthesisSize) {
  runOnVectorPath<trackAll>(spectrum, fftSize, bins, phaseScale, shift, phases, synthesis, synthesisSize);
}

}  // namespace kv
