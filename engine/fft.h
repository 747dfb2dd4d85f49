#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace kv {

struct FftLayout;

// In-place FFT of real data for power-of-two lengths (split-radix for real
// sequences), in single precision: the vocoder's spectra need no more, and a vector
// holds twice as many floats as doubles. The plan holds a bit-reversal table and a
// twiddle table built once, so the transforms evaluate no trigonometric function.
//
// A plan keeps a work area of n values, so one plan serves one transform at a time.
//
// Spectra use the halfcomplex order: for n points, x[k] is the real part of bin k
// for k = 0..n/2 and x[n-k] the imaginary part of bin k for k = 1..n/2-1 (bins 0
// and n/2 of a real sequence have no imaginary part).
class FftPlan {
 public:
  static constexpr int kMinLength = 2;
  // Far beyond any block the vocoder transforms; refusing more keeps the index
  // arithmetic inside int and the tables at a sane size.
  static constexpr int kMaxLength = 1 << 22;

  // The plan for n points, or none when n is not a power of two within
  // [kMinLength, kMaxLength] or memory runs out.
  static std::unique_ptr<FftPlan> create(int n);

  int length() const noexcept { return n_; }

  // Replaces the first length() values of x, real samples, by their spectrum,
  // unscaled: X[k] = sum over t of x[t] * exp(-2*pi*i*k*t/n), so x[0] becomes
  // the sum. Values past length() are neither read nor written.
  void forward(float* x) noexcept;

  // Replaces the first length() values of x, a spectrum, by the real samples,
  // scaled by 1/n so that inverse(forward(x)) gives x back.
  void inverse(float* x) noexcept;

 private:
  // The starts of the smallest blocks of one size, which the transforms unroll and work a few
  // at a time, one in each vector lane: first in eights whose bit-reversed starts follow each
  // other, so that their samples lie side by side, then the others, a multiple of eight of them.
  struct Leaves {
    std::vector<std::int32_t> starts;
    int adjacent = 0;  // how many of starts come in such eights
  };

  explicit FftPlan(int n);
  static Leaves groupLeaves(std::vector<std::int32_t> starts, const std::vector<std::int32_t>& reversed);
  FftLayout layout(float* x) noexcept;

  std::vector<std::int32_t> bitReversal_;  // entry i: i with its log2(n) bits reversed
  std::vector<float> twiddles_;            // the angles each block size needs, smallest size first
  Leaves fullLeaves_, halfLeaves_;         // the leaves in two sizes
  std::vector<std::int32_t> blocks_;       // start and size of each larger block, after its parts
  std::vector<float> work_;                // n values of room for the reordering
  int n_;
};

}  // namespace kv
