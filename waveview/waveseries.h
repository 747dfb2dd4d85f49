#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace lentaro {

// The one data series of the waveform chart: 16-bit points numbered from 1, point i standing at
// X = i × step (X is implicit, never stored). Two bytes a point, plus a min/max summary of
// blocks of points so that a column of a long file is found without walking every point.
class WaveSeries
{
public:
    static constexpr std::int64_t summaryBlock = 256;

    WaveSeries() = default;
    WaveSeries(std::vector<std::int16_t> points, int step);

    std::int64_t count() const { return static_cast<std::int64_t>(points_.size()); }
    int step() const { return step_; }
    // Point i, 1 ≤ i ≤ count.
    std::int16_t point(std::int64_t i) const { return points_[static_cast<std::size_t>(i - 1)]; }
    double x(std::int64_t i) const { return static_cast<double>(i) * step_; }

    // The lowest and highest value of points first..last (1-based, both included, first ≤ last).
    std::pair<std::int16_t, std::int16_t> extent(std::int64_t first, std::int64_t last) const;

private:
    std::pair<std::int16_t, std::int16_t> walk(std::int64_t from, std::int64_t to) const;

    std::vector<std::int16_t> points_;
    std::vector<std::int16_t> blockMin_;
    std::vector<std::int16_t> blockMax_;
    int step_ = 1;
};

} // namespace lentaro
