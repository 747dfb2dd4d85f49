#pragma once

#include "platform/cd/FrameReader.h"
#include "platform/mci/DiscTimes.h"
#include "platform/mci/FramePump.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace lentaro::mci {

// The samples of a disc from one place up to another, 16-bit stereo at 44.1 kHz as the disc
// holds them. Frames that are no audio (a data track) come as silence. The reader, and with it
// the drive, is held only while the feed lives; once the disc has left the drive the feed fails
// at its next buffer.
class DiscFeed final : public FrameFeed
{
public:
    // `drive` names the drive in messages.
    DiscFeed(std::unique_ptr<cd::FrameReader> reader, DiscSample from, DiscSample to,
             std::string drive);

    Filled fill(std::uint8_t* frames, std::size_t maxFrames) override;

private:
    Filled failed(const std::string& why) const;

    const std::unique_ptr<cd::FrameReader> reader_;
    DiscSample next_;
    const DiscSample to_;
    const std::string drive_;
    std::vector<std::uint8_t> sectors_;
    const std::atomic<bool> never_{false}; // the pump stops between buffers, not within a read
};

} // namespace lentaro::mci
