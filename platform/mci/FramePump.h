#pragma once

#include "platform/audio/OutputDevice.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lentaro::mci {

// Where a play's frames come from, in the output's format.
class FrameFeed
{
public:
    struct Filled {
        std::size_t frames = 0; // 0 without a failure: nothing is left
        bool failed = false;
        std::string why;
    };

    virtual ~FrameFeed() = default;
    virtual Filled fill(std::uint8_t* frames, std::size_t maxFrames) = 0;
};

// Plays a feed on an output: it keeps a few buffers queued ahead of what is heard, from a thread
// of its own, until the feed has nothing left and its last frame has been heard, or the feed or
// the output fails, or the pump is stopped.
class FramePump
{
public:
    // What ended a play that ended by itself.
    enum class Trouble { None, Feed, Output };
    struct Result {
        Trouble trouble = Trouble::None;
        std::string why;
    };
    // Called once, on the pump's thread, when the play ends by itself; result() then says how.
    using Ended = std::function<void()>;

    // Frames in a buffer of that format: a twentieth of a second.
    static std::size_t bufferFrames(const audio::Format& format);
    static constexpr std::size_t buffersAhead = 4;

    FramePump(audio::OutputDevice& output, std::unique_ptr<FrameFeed> feed, Ended ended);
    ~FramePump();
    FramePump(const FramePump&) = delete;
    FramePump& operator=(const FramePump&) = delete;

    // Starts the play from silence: queues the first buffers before it returns, so the sound
    // starts at once, and goes on on its thread. A failure to queue them is reported through
    // Ended, after start returns.
    void start();
    // Ends the play at once: nothing more is queued and the output drops what it holds. The
    // thread has gone when it returns, and framesHeard() stays as it was.
    void stop();
    // Returns once the play has ended by itself or been stopped.
    void waitUntilEnded();
    // Frames of this play heard so far.
    std::uint64_t framesHeard() const;
    // How the play ended by itself; Trouble::None while it runs or when it was stopped.
    Result result() const;

private:
    enum class Step { Queued, FeedEnded, Failed, Stopped };

    Step queueOne();
    void run();
    void end(Trouble trouble, const std::string& why);
    bool stopping() const;
    // Drops what the output holds, keeping the count of frames heard.
    void silence();
    // Keeps the count of frames heard as it grows: an output that fails may forget it.
    void noteHeard();

    audio::OutputDevice& output_;
    const std::unique_ptr<FrameFeed> feed_;
    const Ended onEnded_;
    const std::size_t frameBytes_;
    std::vector<std::uint8_t> buffer_;
    std::deque<audio::Ticket> queued_; // by the pump's thread (or start, before it runs)
    Result failure_;                   // of the last buffer that could not be queued

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;
    bool over_ = false; // ended by itself
    Result result_;
    bool silenced_ = false; // the output was reset, by stop() or on a failure
    std::uint64_t heardWhenSilenced_ = 0;
    std::uint64_t heardSeen_ = 0;
    std::thread thread_;
};

} // namespace lentaro::mci
