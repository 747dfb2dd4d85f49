#include "engine/vocoder_sizes.h"

#include <cmath>

#include "engine/fft.h"
#include "soundfile/result_codes.h"

namespace kv {

namespace {

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// Half away from zero for the positive values used here; refuses what does not fit the range.
bool roundPositive(double value, int limit, int& rounded) {
  const double r = std::floor(value + 0.5);
  if (!(r >= 1.0 && r <= limit)) return false;
  rounded = static_cast<int>(r);
  return true;
}

int windowLengthFor(int fftSize, int windowMode) {
  int length;
  switch (windowMode) {
    case 0:
      length = 4 * fftSize - 1;
      break;
    case 1:
      length = 2 * fftSize - 1;
      break;
    case 2:
      length = fftSize - 1;
      break;
    case 3:
      length = fftSize / 2 - 1;
      break;
    default:
      return 0;
  }
  if (length % 2 == 0) --length;
  return length;
}

}  // namespace

int32_t computeVocoderSizes(double pitchFactor, double timeFactor, int fftSize, int windowMode, VocoderSizes& sizes) {
  if (!std::isfinite(pitchFactor) || !std::isfinite(timeFactor) || pitchFactor <= 0.0 || timeFactor <= 0.0) {
    return kBadCall;
  }
  if (windowMode < 0 || windowMode >= kWindowModes) return kBadCall;
  // Four windows of the longest mode must fit an int, as must the transforms.
  if (fftSize < FftPlan::kMinLength || fftSize > FftPlan::kMaxLength) return kBadCall;
  VocoderSizes s;
  s.fftSize = fftSize % 2 ? fftSize + 1 : fftSize;
  if (!isPowerOfTwo(s.fftSize)) return kBadCall;

  s.windowLength = windowLengthFor(s.fftSize, windowMode);
  s.halfWindow = (s.windowLength - 1) / 2;
  if (s.halfWindow < 1) return kBadCall;

  const double stretch = pitchFactor != 1.0 ? timeFactor * pitchFactor : timeFactor;
  if (!std::isfinite(stretch) || stretch <= 0.0) return kBadCall;
  const double windowSpan = s.windowLength + 1.0;
  const double hop = stretch > 1.0 ? windowSpan / (8.0 * stretch) : windowSpan / 8.0;
  if (!roundPositive(hop, s.windowLength, s.analysisHop)) return kBadCall;
  if (!roundPositive(s.analysisHop * stretch, 4 * s.windowLength, s.synthesisHop)) return kBadCall;
  s.timeRatio = static_cast<double>(s.synthesisHop) / s.analysisHop;

  if (!roundPositive(s.fftSize / pitchFactor, FftPlan::kMaxLength, s.synthesisLength)) return kBadCall;
  if (s.synthesisLength % 2) ++s.synthesisLength;
  s.inverseSize = 1;
  while (s.inverseSize < s.synthesisLength) s.inverseSize *= 2;
  if (s.inverseSize < FftPlan::kMinLength || s.inverseSize > FftPlan::kMaxLength) return kBadCall;
  s.pitchFactor = pitchFactor;
  s.pitchRatio = static_cast<double>(s.fftSize) / s.synthesisLength;

  const double outputHop = std::trunc(s.synthesisHop / s.pitchRatio);
  if (!(outputHop >= 1.0 && outputHop <= FftPlan::kMaxLength)) return kBadCall;
  s.outputHop = static_cast<int>(outputHop);

  s.inputRingLength = 4 * s.windowLength;
  s.outputRingLength = 4 * s.windowLength;
  sizes = s;
  return kOk;
}

}  // namespace kv
