#pragma once
// The block sizes and hops of a phase-vocoder pass, derived from what the caller asks for.

#include <cstdint>

namespace kv {

struct VocoderSizes {
  int fftSize = 0;           // N: analysis transform length, a power of two
  int windowLength = 0;      // M = L: analysis and synthesis window length, odd
  int halfWindow = 0;        // Mh = Lh = (M - 1) / 2
  int analysisHop = 0;       // D: input frames between analyses
  int synthesisHop = 0;      // I: D stretched by the time factor
  double timeRatio = 0.0;    // T: I / D, the time factor actually applied
  int synthesisLength = 0;   // NO: N / p in whole samples, made even; sets the bins synthesised
  int inverseSize = 0;       // NS: power of two the frame is synthesised at, the smallest not below NO
  double pitchFactor = 0.0;  // p: as asked, the ratio every frequency moves by
  double pitchRatio = 0.0;   // P: N / NO, p as whole frame lengths give it: output length and hop follow it
  int outputHop = 0;         // IO: output samples per hop, I / P truncated
  int inputRingLength = 0;   // 4M
  int outputRingLength = 0;  // 4L
};

// Window modes: the analysis window is 4N, 2N, N or N/2 samples long (made odd).
constexpr int kWindowModes = 4;

// kOk with the sizes filled in, or kBadCall for arguments no pass can run with: factors that are
// not finite and positive, an FFT size that is not a power of two (an odd size is first raised
// by one), a window mode outside 0..3, or factors so extreme that a hop or a frame comes out empty
// or larger than the transform can take.
int32_t computeVocoderSizes(double pitchFactor, double timeFactor, int fftSize, int windowMode, VocoderSizes& sizes);

}  // namespace kv
