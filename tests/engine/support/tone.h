#pragma once
// Test tones and what the tests measure of a sound: frequency, level, and how far it is from a
// clean sine.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kvtest {

constexpr double kTestPi = 3.14159265358979323846;

// amplitude × sin(2π·frequency·t) as 32-bit full-scale samples.
inline std::vector<int32_t> sineSamples(double frequency, double rate, std::size_t count, double amplitude) {
  std::vector<int32_t> samples(count);
  for (std::size_t t = 0; t < count; ++t) {
    samples[t] =
        static_cast<int32_t>(std::lround(amplitude * 2147483647.0 * std::sin(2.0 * kTestPi * frequency * t / rate)));
  }
  return samples;
}

// Two channels interleaved.
inline std::vector<int32_t> interleave(const std::vector<int32_t>& first, const std::vector<int32_t>& second) {
  std::vector<int32_t> frames;
  for (std::size_t i = 0; i < first.size() && i < second.size(); ++i) {
    frames.push_back(first[i]);
    frames.push_back(second[i]);
  }
  return frames;
}

inline std::vector<double> toReals(const std::vector<int32_t>& samples) {
  std::vector<double> reals(samples.size());
  for (std::size_t i = 0; i < samples.size(); ++i) reals[i] = samples[i] / 2147483647.0;
  return reals;
}

// The steady middle of a pass's output, [from, to): its first and last fifths hold the fade in
// and out.
struct Middle {
  std::size_t from, to;
};
inline Middle middleOf(const std::vector<double>& x) { return {x.size() / 5, x.size() - x.size() / 5}; }

inline double cents(double ratio) { return 1200.0 * std::log2(ratio); }
inline double decibels(double ratio) { return 20.0 * std::log10(ratio); }

// Frequency over [from, to) from the slope of a least-squares line through the upward zero
// crossings, each placed between its two samples by linear interpolation.
inline double measureFrequency(const std::vector<double>& x, double rate, std::size_t from, std::size_t to) {
  std::vector<double> crossings;
  for (std::size_t t = from + 1; t < to; ++t) {
    if (x[t - 1] < 0.0 && x[t] >= 0.0) crossings.push_back(t - 1 + x[t - 1] / (x[t - 1] - x[t]));
  }
  const double n = static_cast<double>(crossings.size());
  if (n < 3) return 0.0;
  double sumI = 0, sumT = 0, sumII = 0, sumIT = 0;
  for (std::size_t i = 0; i < crossings.size(); ++i) {
    sumI += i;
    sumT += crossings[i];
    sumII += static_cast<double>(i) * i;
    sumIT += i * crossings[i];
  }
  const double period = (n * sumIT - sumI * sumT) / (n * sumII - sumI * sumI);
  return rate / period;
}

// The sine of that frequency (with any offset) closest to x over [from, to): its amplitude, and
// the RMS of what is left relative to the sine's RMS.
struct SineFit {
  double amplitude = 0.0;
  double residual = 0.0;
};

inline SineFit fitSine(const std::vector<double>& x, double rate, double frequency, std::size_t from, std::size_t to) {
  // Normal equations of x ≈ a·cos + b·sin + c.
  double m[3][4] = {};
  const double w = 2.0 * kTestPi * frequency / rate;
  for (std::size_t t = from; t < to; ++t) {
    const double basis[3] = {std::cos(w * t), std::sin(w * t), 1.0};
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c) m[r][c] += basis[r] * basis[c];
      m[r][3] += basis[r] * x[t];
    }
  }
  for (int p = 0; p < 3; ++p) {
    for (int r = p + 1; r < 3; ++r) {
      const double f = m[r][p] / m[p][p];
      for (int c = p; c < 4; ++c) m[r][c] -= f * m[p][c];
    }
  }
  double coef[3];
  for (int r = 2; r >= 0; --r) {
    double v = m[r][3];
    for (int c = r + 1; c < 3; ++c) v -= m[r][c] * coef[c];
    coef[r] = v / m[r][r];
  }
  SineFit fit;
  fit.amplitude = std::hypot(coef[0], coef[1]);
  double error = 0.0;
  for (std::size_t t = from; t < to; ++t) {
    const double e = x[t] - (coef[0] * std::cos(w * t) + coef[1] * std::sin(w * t) + coef[2]);
    error += e * e;
  }
  fit.residual = std::sqrt(error / (to - from)) / (fit.amplitude / std::sqrt(2.0));
  return fit;
}

}  // namespace kvtest
