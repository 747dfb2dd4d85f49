#include "waveview/waveseries.h"

#include <algorithm>

namespace lentaro {

WaveSeries::WaveSeries(std::vector<std::int16_t> points, int step)
    : points_(std::move(points)), step_(step)
{
    const std::size_t blocks = (points_.size() + summaryBlock - 1) / summaryBlock;
    blockMin_.resize(blocks);
    blockMax_.resize(blocks);
    for (std::size_t b = 0; b < blocks; ++b) {
        const auto begin = points_.begin() + static_cast<std::ptrdiff_t>(b * summaryBlock);
        const auto end =
            points_.begin()
            + static_cast<std::ptrdiff_t>(std::min(points_.size(), (b + 1) * summaryBlock));
        const auto [low, high] = std::minmax_element(begin, end);
        blockMin_[b] = *low;
        blockMax_[b] = *high;
    }
}

std::pair<std::int16_t, std::int16_t> WaveSeries::walk(std::int64_t from, std::int64_t to) const
{
    // Points from..to − 1, 0-based.
    const auto begin = points_.begin() + from;
    const auto [low, high] = std::minmax_element(begin, points_.begin() + to);
    return {*low, *high};
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
