#pragma once
// The sample-rate converter's filter: a Kaiser-windowed sinc sampled at 120 table points to an
// input frame, in fixed point.

#include <cstdint>
#include <vector>

#include "engine/sample_rate_converter.h"
#include "soundfile/heap.h"

namespace kv {

constexpr int32_t kTablePointsPerFrame = 120;
constexpr int kCoefficientBits = 24;  // a coefficient of 1 << 24 passes a sample unchanged

struct ResamplingFilter {
  // Coefficients for table points -reach..reach, the furthest the taps of one output frame reach.
  std::vector<int32_t, HeapAllocator<int32_t>> coefficients;
  int32_t reach = 0;

  int32_t at(int32_t point) const { return coefficients[static_cast<std::size_t>(point + reach)]; }
};

// Builds the table for a plan. The taps of every phase k (table points 120m - k for
// m = -u..u+1, u = tapsPerFrame / 2 - 1) sum to exactly 1 << kCoefficientBits, and the table is
// symmetric, so that interpolating between neighbouring phases keeps that sum too.
// kOutOfMemory when the table cannot be had; kBadCall should the cutoff leave a phase without
// positive gain.
int32_t buildResamplingFilter(const SampleRateConversion& plan, float cutoff, ResamplingFilter& filter);

}  // namespace kv
