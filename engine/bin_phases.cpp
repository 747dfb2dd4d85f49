#include "engine/bin_phases.h"

#include <cmath>

#include "engine/fast_trig.h"
#include "engine/vector_clones.h"

// Every pass below runs over whole arrays without branches, so that it vectorises.

namespace kv {

KV_VECTOR_CLONES
void trackBinPhases(const double* spectrum, int fftSize, int bins, double phaseScale, const BinPhases& phases) {
  const double* re = spectrum;
  double* im = phases.imaginary;
  double* magnitude = phases.magnitude;
  double* angle = phases.angle;
  double* previous = phases.previous;
  double* phase = phases.phase;
  double* cosine = phases.cosine;
  double* sine = phases.sine;
  constexpr double pi = trig::kPi;
  constexpr double twoPi = 2.0 * trig::kPi;

  im[0] = 0.0;
  for (int k = 1; k <= bins; ++k) im[k] = k < fftSize / 2 ? re[fftSize - k] : 0.0;
  for (int k = 0; k <= bins; ++k) magnitude[k] = std::sqrt(re[k] * re[k] + im[k] * im[k]);
  KV_VECTORISE
  for (int k = 0; k <= bins; ++k) angle[k] = fastAtan2(im[k], re[k]);
  for (int k = 0; k <= bins; ++k) {
    const bool sounding = magnitude[k] != 0.0;
    double advance = angle[k] - previous[k];
    advance = advance > pi ? advance - twoPi : advance;
    advance = advance < -pi ? advance + twoPi : advance;
    previous[k] = sounding ? angle[k] : previous[k];
    // Folded back every hop, so that it keeps its precision however long the pass.
    const double p = phase[k] + (sounding ? advance * phaseScale : 0.0);
    phase[k] = p - twoPi * trig::roundToInteger(p * (1.0 / twoPi));
  }
  KV_VECTORISE
  for (int k = 0; k <= bins; ++k) fastSinCos(phase[k], sine[k], cosine[k]);
}

}  // namespace kv
