#pragma once
// The phase vocoder's analysis and synthesis windows: raised cosines with zero ends, each stored
// as 2·half + 1 values with its centre at index half. They are worked out in double and stored in
// single precision, as the vocoder's loops take them.

namespace kv {

// Fills the analysis window for an FFT of fftSize points and scales it so its values sum to 2:
// a sinusoid of amplitude a then shows as a spectral peak of magnitude a. A window longer than
// the FFT is shaped by a sinc with zeros every fftSize samples, so that folding it into one
// transform does not smear the bins. Returns the scale applied.
double buildAnalysisWindow(float* window, int half, int fftSize);

// Fills the synthesis window for frames laid outputHop samples apart: the raised cosine shaped by
// a sinc with zeros every outputHop samples, so that overlapping frames add up to a flat gain,
// then multiplied by gain.
void buildSynthesisWindow(float* window, int half, int outputHop, double gain);

}  // namespace kv
