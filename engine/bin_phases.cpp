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

constexpr double kPi = trig::kPi;
constexpr double kTwoPi = 2.0 * trig::kPi;

// The synthesis phase, advanced by phaseScale times the analysis phase's advance since the last
// hop; a bin without a value keeps both phases.
KV_INLINE void advancePhase(double re, double im, double angle, double phaseScale, double& previous, double& phase) {
  const bool sounding = (re != 0.0) | (im != 0.0);
  double advance = angle - previous;
  advance = advance > kPi ? advance - kTwoPi : advance;
  advance = advance < -kPi ? advance + kTwoPi : advance;
  previous = sounding ? angle : previous;
  // Folded back every hop, so that it keeps its precision however long the pass.
  const double p = phase + (sounding ? advance * phaseScale : 0.0);
  phase = p - kTwoPi * trig::roundToInteger(p * (1.0 / kTwoPi));
}

// The analysis value turned from its own phase to the synthesis phase: its magnitude at that phase,
// without a square root.
KV_INLINE void turnToPhase(double re, double im, double angle, double phase, double& outRe, double& outIm) {
  double sine, cosine;
  fastSinCos(phase - angle, sine, cosine);
  outRe = re * cosine - im * sine;
  outIm = re * sine + im * cosine;
}

// Bins first..end-1, each with an imaginary part in the analysis spectrum (slot n - k, which
// spectrumEnd points at for k = 0) and in the synthesis spectrum (likewise).
KV_INLINE void trackBins(const double* spectrum, const double* spectrumEnd, int first, int end, double phaseScale,
                         double* __restrict angle, double* __restrict previous, double* __restrict phase,
                         double* __restrict synthesis, double* __restrict synthesisEnd) {
  KV_VECTORISE
  for (int k = first; k < end; ++k) {
    angle[k] = fastAtan2(spectrumEnd[-k], spectrum[k]);
  }
  KV_VECTORISE
  for (int k = first; k < end; ++k) {
    advancePhase(spectrum[k], spectrumEnd[-k], angle[k], phaseScale, previous[k], phase[k]);
  }
  KV_VECTORISE
  for (int k = first; k < end; ++k) {
    turnToPhase(spectrum[k], spectrumEnd[-k], angle[k], phase[k], synthesis[k], synthesisEnd[-k]);
  }
}

KV_INLINE void trackAll(const double* spectrum, int fftSize, int bins, double phaseScale, BinPhases phases,
                        double* synthesis, int synthesisSize) {
  const int half = fftSize / 2;
  const int synthesisHalf = synthesisSize / 2;
  const int loopEnd = std::max(1, std::min({bins, half - 1, synthesisHalf - 1}) + 1);
  double* const synthesisEnd = synthesis + synthesisSize;
  trackBins(spectrum, spectrum + fftSize, 1, loopEnd, phaseScale, phases.angle, phases.previous, phases.phase,
            synthesis, synthesisEnd);
  for (int k = 0; k <= bins; k = k == 0 ? loopEnd : k + 1) {
    const double re = spectrum[k];
    const double im = k > 0 && k < half ? spectrum[fftSize - k] : 0.0;
    const double angle = fastAtan2(im, re);
    advancePhase(re, im, angle, phaseScale, phases.previous[k], phases.phase[k]);
    if (k == 0) {
      synthesis[0] = re;  // the mean keeps its sign
    } else if (k < synthesisHalf) {
      turnToPhase(re, im, angle, phases.phase[k], synthesis[k], synthesisEnd[-k]);
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
