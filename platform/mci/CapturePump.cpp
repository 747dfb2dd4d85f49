#include "platform/mci/CapturePump.h"

#include <algorithm>
#include <cstring>

namespace lentaro::mci {

namespace {

// Frames taken from the input at a time.
constexpr std::size_t chunkFrames = 4096;
// How long a read waits for sound before the thread looks at the stop flag again.
constexpr std::chrono::milliseconds patience{100};

} // namespace

CapturePump::CapturePump(audio::InputDevice& input, std::vector<std::uint8_t>& sound,
                         std::uint64_t from, std::optional<std::uint64_t> limit, Reached reached)
    : input_(input),
      sound_(sound),
      from_(from),
      limit_(limit),
      reached_(std::move(reached)),
      frameBytes_(static_cast<std::size_t>(input.format().bytesPerFrame()))
{
}

CapturePump::~CapturePump()
{
    stop();
}

audio::Error CapturePump::start()
{
    const audio::Error started = input_.start();
    if (started == audio::Error::None)
        thread_ = std::thread([this] { run(); });
    return started;
}

void CapturePump::keep(const std::uint8_t* frames, std::size_t count)
{
    const std::size_t at = static_cast<std::size_t>(from_ + recorded_.load()) * frameBytes_;
    const std::size_t bytes = count * frameBytes_;
    if (sound_.size() < at + bytes)
        sound_.resize(at + bytes);
    std::memcpy(sound_.data() + at, frames, bytes);
    recorded_ += count;
}

void CapturePump::run()
{
    std::vector<std::uint8_t> chunk(chunkFrames * frameBytes_);
    for (;;) {
        const std::size_t bytes = input_.read(chunk.data(), chunk.size(), patience);
        if (bytes == 0) {
            std::lock_guard<std::mutex> lock(mutex_);
            // Once stopped, a read that finds nothing means everything captured is kept.
            if (stopping_)
                return;
            continue;
        }
        std::size_t count = bytes / frameBytes_;
        if (limit_)
            count = static_cast<std::size_t>(std::min<std::uint64_t>(count, *limit_ - recorded_));
        keep(chunk.data(), count);
        if (limit_ && recorded_ >= *limit_) {
            input_.stop();
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (stopping_)
                    return;
                over_ = true;
            }
            changed_.notify_all();
            reached_();
            return;
        }
    }
}

void CapturePump::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    input_.stop();
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void CapturePump::waitUntilEnded()
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return over_ || stopping_ || !limit_; });
}

bool CapturePump::reachedLimit() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return over_;
}

} // namespace lentaro::mci
