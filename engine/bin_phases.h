#pragma once
// The phase vocoder's work on every bin of a hop: from the analysis spectrum to the synthesis
// spectrum, each bin at its magnitude and its synthesis phase.

namespace kv {

// The values each array of BinPhases holds for a spectrum of bins + 1 bins: the loops over the
// bins work eight at a time, and the last eight reach past the top bin.
constexpr int binPhasesLength(int bins) { return bins + 17; }

// previousReal, previousImaginary and turn carry over from hop to hop: the bin's last analysis
// value that was not silent (at first 1, so that a bin's first phase counts from zero) and its
// turn from there to its synthesis phase (at first 0). The others are room for every call's work.
struct BinPhases {
  float* previousReal;
  float* previousImaginary;
  float* turn;
  float* advanced;
  float* power;
  int* last;
};

// spectrum: halfcomplex, fftSize points. synthesis: halfcomplex, synthesisSize points (at least
// 2 * bins), of which bins 0..bins are written, each at its analysis magnitude.
//
// The bins of one partial keep the phases they have to each other in the analysis, so that they
// add up as they did however far the partial has come since it began: every peak of the magnitude
// spectrum advances its synthesis phase by phaseScale times its analysis phase's advance since the
// last hop (taken between -π and π), and every bin on the slopes down from a peak (to the lowest
// bins between it and the next) turns by as much as that peak, less 2π·shift/N for every bin it
// lies above it: what the analysis frame holds at the window's centre, the synthesis frame holds
// shift samples further on, where it is read. A silent bin keeps its phases. The mean keeps its
// value with its sign, and a top bin that has no imaginary part in the synthesis takes the
// analysis's value where it has none there either, else the magnitude.
void trackBinPhases(const float* spectrum, int fftSize, int bins, double phaseScale, double shift,
                    const BinPhases& phases, float* synthesis, int synthesisSize);

}  // namespace kv
