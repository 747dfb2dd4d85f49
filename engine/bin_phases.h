#pragma once
// The phase vocoder's work on every bin of a hop: from the analysis spectrum to the synthesis
// spectrum, each bin at its magnitude and its accumulated synthesis phase.

namespace kv {

// Arrays of (bins + 1) values each. previous and phase carry over from hop to hop (the bin's last
// analysis phase and its synthesis phase); turn is room for every call's work (each bin's analysis
// phase, then its turn to the synthesis phase).
struct BinPhases {
  float* turn;
  double* previous;
  double* phase;
};

// spectrum: halfcomplex, fftSize points. Each bin 0..bins has its phase advanced by phaseScale
// times its phase advance since the last hop (taken between -π and π); a silent bin keeps its
// phases. synthesis: halfcomplex, synthesisSize points (at least 2 * bins), of which bins
// 0..bins are written, each at its magnitude and phase; the mean keeps its value with its sign,
// and a top bin that has no imaginary part in the synthesis takes the analysis's value where it
// has none there either, else the magnitude.
void trackBinPhases(const double* spectrum, int fftSize, int bins, double phaseScale, const BinPhases& phases,
                    double* synthesis, int synthesisSize);

}  // namespace kv
