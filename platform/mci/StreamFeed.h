#pragma once

#include "platform/audio/Format.h"
#include "platform/audio/FrameConverter.h"
#include "platform/mci/FramePump.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kv {
class SoundStream;
}

namespace lentaro::mci {

// The frames of a sound stream from one frame up to (not including) another, in an output's
// format of the same rate: the stream's own samples, or converted to the output's width and
// channels.
class StreamFeed final : public FrameFeed
{
public:
    // `name` says whose sound it is in messages.
    StreamFeed(kv::SoundStream& stream, std::int64_t from, std::int64_t to,
               const audio::Format& output, std::string name);
    // As above, keeping the stream for as long as the feed lives.
    StreamFeed(std::unique_ptr<kv::SoundStream> stream, std::int64_t from, std::int64_t to,
               const audio::Format& output, std::string name);
    ~StreamFeed() override;

    Filled fill(std::uint8_t* frames, std::size_t maxFrames) override;

private:
    Filled failed(const std::string& why) const;

    std::unique_ptr<kv::SoundStream> owned_;
    kv::SoundStream& stream_;
    std::int64_t next_;
    const std::int64_t to_;
    const audio::Format output_;
    const std::string name_;
    const int channels_;
    const audio::Format wide_; // the stream's samples as 32-bit PCM, which the converter takes
    bool placed_ = false;
    std::optional<audio::FrameConverter> converter_; // when the output is not the stream's format
    std::vector<std::int32_t> samples_;
    std::vector<std::uint8_t> wideFrames_;
    std::vector<std::uint8_t> converted_;
};

} // namespace lentaro::mci
