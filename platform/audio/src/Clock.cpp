#include "platform/audio/Clock.h"

namespace lentaro::audio {

void Clock::waitUntil(Duration deadline, const std::function<bool()>& interrupted) {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!interrupted() && now() < deadline) sleep(lock, deadline);
}

void Clock::wake() {
  std::lock_guard<std::mutex> lock(mutex_);
  ready_.notify_all();
}

Clock::Duration SteadyClock::now() const { return std::chrono::steady_clock::now().time_since_epoch(); }

void SteadyClock::sleep(std::unique_lock<std::mutex>& lock, Duration deadline) {
  if (deadline == never()) {
    ready_.wait(lock);
    return;
  }
  ready_.wait_until(lock, std::chrono::steady_clock::time_point(deadline));
}

Clock::Duration ManualClock::now() const { return Duration(now_.load()); }

void ManualClock::advance(Duration by) {
  std::lock_guard<std::mutex> lock(mutex_);
  now_ += by.count();
  ready_.notify_all();
}

void ManualClock::sleep(std::unique_lock<std::mutex>& lock, Duration) { ready_.wait(lock); }

}  // namespace lentaro::audio
