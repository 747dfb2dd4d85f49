#include "engine/bin_phases.h"

#include <algorithm>
#include <cmath>

#include "engine/fast_trig.h"
#include "engine/vector_clones.h"

// Three steps per bin, each a loop over the bins that have an imaginary part in both spectra,
// without branches, so that they vectorise (three short loops run faster than one long one, whose
// many live values no longer fit the registers); the few other bins (the mean, and the top bins)
// take the same steps one by one.

namespace kv {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
// Adding and subtracting this rounds a double below 2^51 to the nearest integer.
constexpr double kRoundingShift = 6755399441055744.0;  // 1.5 · 2^52

KV_INLINE double roundToInteger(double x) { return (x + kRoundingShift) - kRoundingShift; }

// The bin's analysis phase, in single precision (engine/fast_trig.h).
KV_INLINE float phaseOf(double re, double im) { return fastAtan2(static_cast<float>(im), static_cast<float>(re)); }

// The synthesis phase, advanced by phaseScale times the analysis phase's advance since the last
// hop; a bin without a value keeps both phases. Returns the turn from the analysis phase to the
// synthesis phase.
KV_INLINE float advancePhase(double re, double im, double angle, double phaseScale, double& previous, double& phase) {
  const bool sounding = (re != 0.0) | (im != 0.0);
  double advance = angle - previous;
  advance = advance > kPi ? advance - kTwoPi : advance;
  advance = advance < -kPi ? advance + kTwoPi : advance;
  previous = sounding ? angle : previous;
  // Accumulated in double and folded back every hop, so that it keeps its precision however long
  // the pass.
  const double p = phase + (sounding ? advance * phaseScale : 0.0);
  phase = p - kTwoPi * roundToInteger(p * (1.0 / kTwoPi));
  return static_cast<float>(phase - angle);
}

// The analysis value turned to the synthesis phase: its magnitude at that phase, without a square
// root.
KV_INLINE void turnValue(double re, double im, float turn, double& outRe, double& outIm) {
  float sine, cosine;
  fastSinCos(turn, sine, cosine);
  outRe = re * cosine - im * sine;
  outIm = re * sine + im * cosine;
}

// Bins first..end-1, each with an imaginary part in the analysis spectrum (slot n - k, which
// spectrumEnd points at for k = 0) and in the synthesis spectrum (likewise). turn holds each bin's
// analysis phase, then its turn.
KV_INLINE void trackBins(const double* spectrum, const double* spectrumEnd, int first, int end, double phaseScale,
                         float* __restrict turn, double* __restrict previous, double* __restrict phase,
                         double* __restrict synthesis, double* __restrict synthesisEnd) {
  KV_VECTORISE_EIGHT
  for (int k = first; k < end; ++k) {
    turn[k] = phaseOf(spectrum[k], spectrumEnd[-k]);
  }
  KV_VECTORISE
  for (int k = first; k < end; ++k) {
    turn[k] = advancePhase(spectrum[k], spectrumEnd[-k], turn[k], phaseScale, previous[k], phase[k]);
  }
  KV_VECTORISE_EIGHT
  for (int k = first; k < end; ++k) {
    turnValue(spectrum[k], spectrumEnd[-k], turn[k], synthesis[k], synthesisEnd[-k]);
  }
}

KV_INLINE void trackAll(const double* spectrum, int fftSize, int bins, double phaseScale, BinPhases phases,
                        double* synthesis, int synthesisSize) {
  const int half = fftSize / 2;
  const int synthesisHalf = synthesisSize / 2;
  const int loopEnd = std::max(1, std::min({bins, half - 1, synthesisHalf - 1}) + 1);
  double* const synthesisEnd = synthesis + synthesisSize;
  trackBins(spectrum, spectrum + fftSize, 1, loopEnd, phaseScale, phases.turn, phases.previous, phases.phase, synthesis,
            synthesisEnd);
  for (int k = 0; k <= bins; k = k == 0 ? loopEnd : k + 1) {
    const double re = spectrum[k];
    const double im = k > 0 && k < half ? spectrum[fftSize - k] : 0.0;
    const float turn = advancePhase(re, im, phaseOf(re, im), phaseScale, phases.previous[k], phases.phase[k]);
    if (k == 0) {
      synthesis[0] = re;  // the mean keeps its sign
    } else if (k < synthesisHalf) {
      turnValue(re, im, turn, synthesis[k], synthesisEnd[-k]);
    } else {
      synthesis[k] = k == half ? re : std::sqrt(re * re + im * im);
    }
  }
}

}  // namespace

void trackBinPhases(const double* spectrum, int fftSize, int bins, double phaseScale, const BinPhases& phases,
                    double* synthesis, int synthesisSize) {
  runOnVectorPath<trackAll>(spectrum, fftSize, bins, phaseScale, phases, synthesis, synthesisSize);
}

}  // namespace kv
