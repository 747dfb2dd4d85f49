#include "platform/mci/DiscTimes.h"

#include "platform/cd/CdTime.h"

namespace lentaro::mci {

namespace {

constexpr std::int64_t leadInSamples =
    static_cast<std::int64_t>(cd::leadInFrames) * cd::samplesPerFrame;

// Division rounding towards minus infinity, for places in the lead-in.
std::int64_t floorDivide(std::int64_t dividend, std::int64_t divisor)
{
    const std::int64_t quotient = dividend / divisor;
    return dividend % divisor != 0 && (dividend < 0) != (divisor < 0) ? quotient - 1 : quotient;
}

std::int64_t ceilDivide(std::int64_t dividend, std::int64_t divisor)
{
    return -floorDivide(-dividend, divisor);
}

int packedMsf(std::int64_t frames)
{
    const auto m = static_cast<int>(frames / (60 * cd::framesPerSecond));
    const auto s = static_cast<int>(frames / cd::framesPerSecond % 60);
    const auto f = static_cast<int>(frames % cd::framesPerSecond);
    return m | s << 8 | f << 16;
}

std::int64_t framesOfMsf(int m, int s, int f)
{
    return (static_cast<std::int64_t>(m) * 60 + s) * cd::framesPerSecond + f;
}

int byteOf(int packed, int k)
{
    return static_cast<int>(static_cast<unsigned>(packed) >> (8 * k) & 0xFF);
}

// The track a frame counts to: the last one starting at or before it, or the first.
const cd::TocTrack* trackHolding(cd::Lsn lsn, const cd::Toc& toc)
{
    const cd::TocTrack* holding = toc.empty() ? nullptr : &toc.tracks.front();
    for (const cd::TocTrack& track : toc.tracks) {
        if (track.start <= lsn)
            holding = &track;
    }
    return holding;
}

} // namespace

std::optional<DiscSample> discSampleAt(const TimeValue& time, const cd::Toc& toc)
{
    const int v = time.value;
    switch (time.format) {
    case TimeFormat::Milliseconds:
        return ceilDivide(static_cast<std::int64_t>(v) * 441, 10) - leadInSamples;
    case TimeFormat::Msf:
        return (framesOfMsf(byteOf(v, 0), byteOf(v, 1), byteOf(v, 2)) - cd::leadInFrames)
               * cd::samplesPerFrame;
    case TimeFormat::Tmsf: {
        const cd::TocTrack* track = toc.track(byteOf(v, 0));
        if (!track)
            return std::nullopt;
        return (track->start + framesOfMsf(byteOf(v, 1), byteOf(v, 2), byteOf(v, 3)))
               * cd::samplesPerFrame;
    }
    }
    return std::nullopt;
}

int timeAt(DiscSample sample, TimeFormat format, const cd::Toc& toc)
{
    const std::int64_t frame = floorDivide(sample, cd::samplesPerFrame);
    switch (format) {
    case TimeFormat::Milliseconds:
        return static_cast<int>(floorDivide((sample + leadInSamples) * 10, 441));
    case TimeFormat::Msf:
        return packedMsf(frame + cd::leadInFrames);
    case TimeFormat::Tmsf: {
        const cd::TocTrack* track = trackHolding(static_cast<cd::Lsn>(frame), toc);
        if (!track)
            return 0;
        const std::int64_t into = frame > track->start ? frame - track->start : 0;
        return track->number | packedMsf(into) << 8;
    }
    }
    return 0;
}

int durationOf(std::int64_t frames, TimeFormat format)
{
    if (format == TimeFormat::Milliseconds)
        return static_cast<int>(frames * 40 / 3);
    return packedMsf(frames);
}

} // namespace lentaro::mci
