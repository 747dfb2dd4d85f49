#pragma once
// The phase vocoder's work on every bin of a hop: from the analysis spectrum to each bin's
// magnitude and accumulated synthesis phase, given as the phasor (cosine, sine) of that phase.

namespace kv {

// Arrays of (bins + 1) values each. previous and phase carry over from hop to hop (the bin's last
// analysis phase and its synthesis phase); the others are filled by every call.
struct BinPhases {
  double* imaginary;
  double* magnitude;
  double* angle;
  double* previous;
  double* phase;
  double* cosine;
  double* sine;
};

// spectrum: halfcomplex, fftSize points. For bins 0..bins: the magnitude, and the phase advanced
// by phaseScale times the bin's phase advance since the last hop (taken between -π and π); a
// silent bin keeps its phases.
void trackBinPhases(const double* spectrum, int fftSize, int bins, double phaseScale, const BinPhases& phases);

}  // namespace kv
