#include "engine/resampling_filter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

#include "soundfile/result_codes.h"

namespace kv {

namespace {

constexpr double kKaiserBeta = 6.8;
constexpr double kPi = 3.14159265358979323846;
constexpr int32_t kHalfPhases = kTablePointsPerFrame / 2;

// The modified Bessel function of the first kind and order 0, summed as its power series.
double besselI0(double x) {
  const double half = x / 2.0;
  double term = 1.0;
  double sum = 1.0;
  for (int k = 1; k <= 50; ++k) {
    term *= half / k;
    const double square = term * term;
    sum += square;
    if (square < 1e-17 * sum) break;
  }
  return sum;
}

// Sum of a table given by distance from the centre over the taps of phase k.
template <class Table>
double phaseSum(const Table& byDistance, int32_t k, int32_t taps) {
  double sum = 0.0;
  for (int32_t m = 1 - taps / 2; m <= taps / 2; ++m) {
    sum += byDistance[static_cast<std::size_t>(std::abs(kTablePointsPerFrame * m - k))];
  }
  return sum;
}

}  // namespace

int32_t buildResamplingFilter(const SampleRateConversion& plan, float cutoff, ResamplingFilter& filter) {
  const int32_t taps = plan.tapsPerFrame;
  const int32_t reach = kTablePointsPerFrame * (taps / 2);
  const double halfWidth = (plan.filterPoints - 1) / 2.0;
  const double scale = plan.filterScale;
  try {
    // The windowed sinc by distance from the centre; the window ends at halfLength.
    std::vector<double, HeapAllocator<double>> shape(static_cast<std::size_t>(reach) + 1, 0.0);
    const double windowPeak = besselI0(kKaiserBeta);
    for (int32_t j = 0; j < plan.halfLength; ++j) {
      const double r = j / halfWidth;
      const double window = besselI0(kKaiserBeta * std::sqrt(1.0 - r * r)) / windowPeak;
      const double sinc = j == 0 ? cutoff : scale * std::sin(kPi * j * cutoff / scale) / (kPi * j);
      shape[static_cast<std::size_t>(j)] = window * sinc;
    }

    // Each phase is scaled to unity gain on its own. Phases k and 120 - k are mirror images with
    // the same sum, so one factor serves both and the table stays symmetric.
    double phaseScale[kHalfPhases + 1];
    for (int32_t k = 0; k <= kHalfPhases; ++k) {
      const double sum = phaseSum(shape, k, taps);
      if (!(sum > 0.0)) return kBadCall;
      phaseScale[k] = static_cast<double>(1 << kCoefficientBits) / sum;
    }
    std::vector<int32_t, HeapAllocator<int32_t>> byDistance(shape.size());
    for (int32_t j = 0; j <= reach; ++j) {
      const int32_t r = j % kTablePointsPerFrame;
      const double value = shape[static_cast<std::size_t>(j)] * phaseScale[std::min(r, kTablePointsPerFrame - r)];
      byDistance[static_cast<std::size_t>(j)] = static_cast<int32_t>(std::lround(value));
    }
    // Rounding leaves a phase a few units off one; its centre-most tap takes up the difference.
    // Distance k is a tap of phases k and 120 - k only, so no other phase's sum moves. The middle
    // phase holds distance 60 twice, and its difference is even.
    for (int32_t k = 0; k <= kHalfPhases; ++k) {
      const int64_t sum = static_cast<int64_t>(phaseSum(byDistance, k, taps));
      const int32_t difference = static_cast<int32_t>((int64_t{1} << kCoefficientBits) - sum);
      byDistance[static_cast<std::size_t>(k)] += k == kHalfPhases ? difference / 2 : difference;
    }

    filter.reach = reach;
    filter.coefficients.assign(2 * static_cast<std::size_t>(reach) + 1, 0);
    for (int32_t point = -reach; point <= reach; ++point) {
      filter.coefficients[static_cast<std::size_t>(point + reach)] =
          byDistance[static_cast<std::size_t>(std::abs(point))];
    }
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  }
  return kOk;
}

}  // namespace kv
