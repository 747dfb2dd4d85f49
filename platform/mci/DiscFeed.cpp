#include "platform/mci/DiscFeed.h"

#include "platform/cd/CdTime.h"

#include <algorithm>
#include <cstring>

namespace lentaro::mci {

namespace {

constexpr std::size_t bytesPerSample = 4; // a stereo pair of 16-bit samples

} // namespace

DiscFeed::DiscFeed(std::unique_ptr<cd::FrameReader> reader, DiscSample from, DiscSample to,
                   std::string drive)
    : reader_(std::move(reader)), next_(from), to_(to), drive_(std::move(drive))
{
}

FrameFeed::Filled DiscFeed::failed(const std::string& why) const
{
    Filled filled;
    filled.failed = true;
    filled.why = why;
    return filled;
}

FrameFeed::Filled DiscFeed::fill(std::uint8_t* frames, std::size_t maxFrames)
{
    if (next_ >= to_)
        return {};
    if (!reader_->discStillThere())
        return failed("The disc was taken out of the " + drive_ + ".");
    const cd::Toc& toc = reader_->toc();
    const DiscSample wantedEnd =
        std::min<DiscSample>(to_, next_ + static_cast<DiscSample>(maxFrames));
    const auto lsn = static_cast<cd::Lsn>(next_ / cd::samplesPerFrame);
    const cd::Lsn runEnd = toc.audioRunEnd(lsn);
    Filled filled;

    if (runEnd == lsn) {
        // No audio here: silence up to the next frame of audio.
        cd::Lsn quiet = lsn + 1;
        while (static_cast<DiscSample>(quiet) * cd::samplesPerFrame < wantedEnd
               && toc.audioRunEnd(quiet) == quiet)
            ++quiet;
        const DiscSample end =
            std::min<DiscSample>(wantedEnd, static_cast<DiscSample>(quiet) * cd::samplesPerFrame);
        filled.frames = static_cast<std::size_t>(end - next_);
        std::memset(frames, 0, filled.frames * bytesPerSample);
        next_ = end;
        return filled;
    }

    const DiscSample end =
        std::min<DiscSample>(wantedEnd, static_cast<DiscSample>(runEnd) * cd::samplesPerFrame);
    const int count = static_cast<int>((end + cd::samplesPerFrame - 1) / cd::samplesPerFrame - lsn);
    sectors_.resize(static_cast<std::size_t>(count) * cd::bytesPerFrame);
    const cd::FrameRead read = reader_->read(lsn, count, sectors_.data(), never_);
    if (read.problem != cd::ReadProblem::None || read.frames < count)
        return failed(read.detail.empty() ? "The " + drive_ + " could not be read." : read.detail);
    const std::size_t skip =
        static_cast<std::size_t>(next_ - static_cast<DiscSample>(lsn) * cd::samplesPerFrame);
    filled.frames = static_cast<std::size_t>(end - next_);
    std::memcpy(frames, sectors_.data() + skip * bytesPerSample, filled.frames * bytesPerSample);
    next_ = end;
    return filled;
}

} // namespace lentaro::mci
