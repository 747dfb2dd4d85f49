#include "waveview/waveseries.h"

#include <algorithm>
#include <tuple>

namespace lentaro {

namespace {

// A plain loop rather than std::minmax_element, so that the compiler can compare many points at
// once.
std::pair<std::int16_t, std::int16_t> extentOf(const std::int16_t* begin, const std::int16_t* end)
{
    std::int16_t low = INT16_MAX;
    std::int16_t high = INT16_MIN;
    for (const std::int16_t* point = begin; point != end; ++point) {
        low = std::min(low, *point);
        high = std::max(high, *point);
    }
    return {low, high};
}

} // namespace

WaveSeries::WaveSeries(std::vector<std::int16_t> points, int step)
    : points_(std::move(points)), step_(step)
{
    const std::size_t blocks = (points_.size() + summaryBlock - 1) / summaryBlock;
    blockMin_.resize(blocks);
    blockMax_.resize(blocks);
    for (std::size_t b = 0; b < blocks; ++b) {
        const std::int16_t* begin = points_.data() + b * summaryBlock;
        const std::int16_t* end = points_.data() + std::min(points_.size(), (b + 1) * summaryBlock);
        std::tie(blockMin_[b], blockMax_[b]) = extentOf(begin, end);
    }
}

std::pair<std::int16_t, std::int16_t> WaveSeries::walk(std::int64_t from, std::int64_t to) const
{
    // Points from..to − 1, 0-based.
    return extentOf(points_.data() + from, points_.data() + to);
}

std::pair<std::int16_t, std::int16_t> WaveSeries::extent(std::int64_t first,
                                                         std::int64_t last) const
{
    const std::int64_t from = first - 1;
    const std::int64_t to = last;
    const std::int64_t firstWholeBlock = (from + summaryBlock - 1) / summaryBlock;
    const std::int64_t endWholeBlocks = to / summaryBlock;
    if (firstWholeBlock >= endWholeBlocks)
        return walk(from, to);

    std::int16_t low = INT16_MAX;
    std::int16_t high = INT16_MIN;
    const auto join = [&](std::pair<std::int16_t, std::int16_t> part) {
        low = std::min(low, part.first);
        high = std::max(high, part.second);
    };
    if (from < firstWholeBlock * summaryBlock)
        join(walk(from, firstWholeBlock * summaryBlock));
    for (std::int64_t b = firstWholeBlock; b < endWholeBlocks; ++b)
        join({blockMin_[static_cast<std::size_t>(b)], blockMax_[static_cast<std::size_t>(b)]});
    if (endWholeBlocks * summaryBlock < to)
        join(walk(endWholeBlocks * summaryBlock, to));
    return {low, high};
}

} // namespace lentaro
