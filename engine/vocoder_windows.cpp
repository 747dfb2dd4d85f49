#include "engine/vocoder_windows.h"

#include <cmath>

namespace kv {

namespace {

constexpr double kPi = 3.14159265358979323846;

// w[0] = 1 and w[±i] = cos²(π·i / (2·half)).
void raisedCosine(float* window, int half) {
  float* centre = window + half;
  centre[0] = 1.0f;
  for (int i = 1; i <= half; ++i) {
    const double c = std::cos(kPi * i / (2.0 * half));
    centre[i] = centre[-i] = static_cast<float>(c * c);
  }
}

// Multiplies w[±i] by period·sin(π·i/period) / (π·i), which is 1 at the centre.
void shapeBySinc(float* window, int half, int period) {
  float* centre = window + half;
  for (int i = 1; i <= half; ++i) {
    const double x = kPi * i;
    const double sinc = period * std::sin(x / period) / x;
    centre[i] = static_cast<float>(centre[i] * sinc);
    centre[-i] = static_cast<float>(centre[-i] * sinc);
  }
}

}  // namespace

double buildAnalysisWindow(float* window, int half, int fftSize) {
  const int length = 2 * half + 1;
  raisedCosine(window, half);
  if (fftSize < length) shapeBySinc(window, half, fftSize);
  double sum = 0.0;
  for (int i = 0; i < length; ++i) sum += window[i];
  const double scale = 2.0 / sum;
  for (int i = 0; i < length; ++i) window[i] = static_cast<float>(window[i] * scale);
  return scale;
}

void buildSynthesisWindow(float* window, int half, int outputHop, double gain) {
  const int length = 2 * half + 1;
  raisedCosine(window, half);
  shapeBySinc(window, half, outputHop);
  for (int i = 0; i < length; ++i) window[i] = static_cast<float>(window[i] * gain);
}

}  // namespace kv
