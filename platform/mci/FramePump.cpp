#include "platform/mci/FramePump.h"

#include <algorithm>

namespace lentaro::mci {

namespace {

// How long the thread waits for a buffer before it looks at the stop flag again; stop() wakes
// it sooner by resetting the output.
constexpr std::chrono::milliseconds patience{250};

} // namespace

std::size_t FramePump::bufferFrames(const audio::Format& format)
{
    return std::max<std::size_t>(1, static_cast<std::size_t>(format.sampleRate) / 20);
}

FramePump::FramePump(audio::OutputDevice& output, std::unique_ptr<FrameFeed> feed, Ended ended)
    : output_(output),
      feed_(std::move(feed)),
      onEnded_(std::move(ended)),
      frameBytes_(static_cast<std::size_t>(output.format().bytesPerFrame())),
      buffer_(bufferFrames(output.format()) * frameBytes_)
{
}

FramePump::~FramePump()
{
    stop();
}

void FramePump::start()
{
    output_.reset();
    // The first buffers go out from here: the sound starts before the thread is scheduled.
    Step step = Step::Queued;
    while (step == Step::Queued && queued_.size() < buffersAhead)
        step = queueOne();
    thread_ = std::thread([this, step] {
        if (step == Step::Failed) {
            silence();
            end(failure_.trouble, failure_.why);
            return;
        }
        run();
    });
}

FramePump::Step FramePump::queueOne()
{
    const FrameFeed::Filled filled = feed_->fill(buffer_.data(), buffer_.size() / frameBytes_);
    if (filled.failed) {
        failure_ = {Trouble::Feed, filled.why};
        return Step::Failed;
    }
    if (filled.frames == 0)
        return Step::FeedEnded;
    std::lock_guard<std::mutex> lock(mutex_);
    // Under the lock that stop() takes: nothing is queued once stop() has reset the output.
    if (stopping_)
        return Step::Stopped;
    const audio::Queued queued = output_.write(buffer_.data(), filled.frames * frameBytes_);
    if (queued.error != audio::Error::None) {
        failure_ = {Trouble::Output,
                    std::string("the sound device failed: ") + audio::errorText(queued.error)};
        return Step::Failed;
    }
    queued_.push_back(queued.ticket);
    return Step::Queued;
}

void FramePump::run()
{
    bool feedEnded = false;
    while (!stopping()) {
        if (!feedEnded && queued_.size() < buffersAhead) {
            switch (queueOne()) {
            case Step::Queued:
                continue;
            case Step::FeedEnded:
                feedEnded = true;
                continue;
            case Step::Failed:
                silence();
                return end(failure_.trouble, failure_.why);
            case Step::Stopped:
                return;
            }
        }
        if (queued_.empty())
            return end(Trouble::None, {});
        if (output_.waitUntilDone(queued_.front(), patience)) {
            queued_.pop_front();
            noteHeard();
        }
    }
}

void FramePump::end(Trouble trouble, const std::string& why)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_)
            return;
        over_ = true;
        result_ = {trouble, why};
    }
    changed_.notify_all();
    onEnded_();
}

bool FramePump::stopping() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return stopping_;
}

void FramePump::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    silence();
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void FramePump::waitUntilEnded()
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return over_ || stopping_; });
}

std::uint64_t FramePump::framesHeard() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return silenced_ ? heardWhenSilenced_ : output_.framesPlayed();
}

void FramePump::noteHeard()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!silenced_)
        heardSeen_ = std::max(heardSeen_, output_.framesPlayed());
}

void FramePump::silence()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (silenced_)
        return;
    silenced_ = true;
    heardWhenSilenced_ = std::max(heardSeen_, output_.framesPlayed());
    output_.reset();
}

FramePump::Result FramePump::result() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return result_;
}

} // namespace lentaro::mci
