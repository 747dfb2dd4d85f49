#include "platform/mci/StreamFeed.h"

#include "platform/audio/EngineSamples.h"
#include "platform/mci/SoundFormats.h"

#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"

#include <algorithm>
#include <cstring>

namespace lentaro::mci {

StreamFeed::StreamFeed(kv::SoundStream& stream, std::int64_t from, std::int64_t to,
                       const audio::Format& output, std::string name)
    : stream_(stream),
      next_(from),
      to_(to),
      output_(output),
      name_(std::move(name)),
      channels_(stream.channels()),
      wide_(engineFormat(playedFormat(stream)))
{
    if (playedFormat(stream) != output)
        converter_.emplace(wide_, output);
}

StreamFeed::StreamFeed(std::unique_ptr<kv::SoundStream> stream, std::int64_t from, std::int64_t to,
                       const audio::Format& output, std::string name)
    : StreamFeed(*stream, from, to, output, std::move(name))
{
    owned_ = std::move(stream);
}

StreamFeed::~StreamFeed() = default;

FrameFeed::Filled StreamFeed::failed(const std::string& why) const
{
    Filled filled;
    filled.failed = true;
    filled.why = "cannot read " + name_ + ": " + why;
    return filled;
}

FrameFeed::Filled StreamFeed::fill(std::uint8_t* frames, std::size_t maxFrames)
{
    if (next_ >= to_)
        return {};
    if (!placed_) {
        if (stream_.seekFrame(next_) != kv::kOk)
            return failed("it is shorter than it was");
        placed_ = true;
    }
    const auto wanted = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(maxFrames), to_ - next_));
    samples_.resize(wanted * static_cast<std::size_t>(channels_));
    std::int64_t got = 0;
    const std::int32_t result =
        stream_.read(samples_.data(), static_cast<std::int64_t>(samples_.size()), got);
    const std::size_t count = static_cast<std::size_t>(got) / static_cast<std::size_t>(channels_);
    if (result != kv::kOk && result != kv::kEndOfFile)
        return failed(kv::resultText(result));
    if (count == 0)
        return failed("it is shorter than it was");
    next_ += static_cast<std::int64_t>(count);

    const std::size_t samples = count * static_cast<std::size_t>(channels_);
    if (!converter_) {
        kv::packSamples(audio::enginePacking(output_), samples_.data(), frames, samples);
    } else {
        wideFrames_.resize(samples * static_cast<std::size_t>(wide_.bytesPerSample()));
        kv::packSamples(audio::enginePacking(wide_), samples_.data(), wideFrames_.data(), samples);
        converted_.clear();
        converter_->convert(wideFrames_.data(), wideFrames_.size(), converted_);
        std::memcpy(frames, converted_.data(), converted_.size());
    }
    Filled filled;
    filled.frames = count;
    return filled;
}

} // namespace lentaro::mci
