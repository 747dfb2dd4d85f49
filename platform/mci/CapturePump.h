#pragma once

#include "platform/audio/InputDevice.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace lentaro::mci {

// Records an input into sound held in memory, from a thread of its own. The frames go in from a
// given frame on, over what was there and on past its end, until the pump is stopped or, with a
// limit, until that many have come.
class CapturePump
{
public:
    // Called once, on the pump's thread, when the limit has been reached.
    using Reached = std::function<void()>;

    // `sound` holds whole frames of the input's format; the pump alone touches it while it runs.
    CapturePump(audio::InputDevice& input, std::vector<std::uint8_t>& sound, std::uint64_t from,
                std::optional<std::uint64_t> limit, Reached reached);
    ~CapturePump();
    CapturePump(const CapturePump&) = delete;
    CapturePump& operator=(const CapturePump&) = delete;

    audio::Error start();
    // Ends the capture, keeping every frame that came in; the thread has gone when it returns.
    void stop();
    // Returns once the limit has been reached or the pump stopped; at once without a limit.
    void waitUntilEnded();
    std::uint64_t framesRecorded() const { return recorded_.load(); }
    bool reachedLimit() const;

private:
    void run();
    void keep(const std::uint8_t* frames, std::size_t count);

    audio::InputDevice& input_;
    std::vector<std::uint8_t>& sound_;
    const std::uint64_t from_;
    const std::optional<std::uint64_t> limit_;
    const Reached reached_;
    const std::size_t frameBytes_;
    std::atomic<std::uint64_t> recorded_{0};

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;
    bool over_ = false;
    std::thread thread_;
};

} // namespace lentaro::mci
