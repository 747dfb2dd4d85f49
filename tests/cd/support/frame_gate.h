#pragma once

#include "cd/mp3decoder.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace lentaro::test {

// Holds a conversion's thread after a given number of frames until the test stops the
// conversion or lets it go on: the test then acts while the conversion is surely midway.
class FrameGate
{
public:
    explicit FrameGate(int framesLetThrough) : allowed_(framesLetThrough) {}

    Mp3Decoder::Pacing pacing()
    {
        return {[this] { arrive(); }, [this] { release(); }};
    }
    // Waits until the conversion is held; false when the deadline passed first.
    bool waitUntilHeld(std::chrono::seconds deadline = std::chrono::seconds(10))
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, deadline, [this] { return held_; });
    }
    void release()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

private:
    void arrive()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (arrivals_++ < allowed_)
            return;
        held_ = true;
        changed_.notify_all();
        // A test that forgets to release its gate fails instead of hanging.
        changed_.wait_for(lock, std::chrono::seconds(10), [this] { return released_; });
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    int allowed_;
    int arrivals_ = 0;
    bool held_ = false;
    bool released_ = false;
};

} // namespace lentaro::test
