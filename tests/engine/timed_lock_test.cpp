// The engine lock: one holder at a time, waits that end, and hand-overs between threads that
// ThreadSanitizer sees (its build runs these tests too, and halts on a report).

#include "engine/timed_lock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Whether another thread gets the lock within wait (and lets it go again).
bool anotherThreadTakes(kv::TimedLock& lock, std::chrono::nanoseconds wait) {
  bool taken = false;
  std::thread([&] {
    taken = lock.try_lock_for(wait);
    if (taken) lock.unlock();
  }).join();
  return taken;
}

TEST(TimedLock, AHeldLockIsRefusedOnceTheWaitEndsAndTakenWhenLetGo) {
  kv::TimedLock lock;
  ASSERT_TRUE(lock.try_lock_for(0ns));
  EXPECT_FALSE(anotherThreadTakes(lock, 20ms));
  EXPECT_FALSE(anotherThreadTakes(lock, -1s));
  lock.unlock();
  EXPECT_TRUE(anotherThreadTakes(lock, 0ns));
  EXPECT_TRUE(anotherThreadTakes(lock, -1s));
}

TEST(TimedLock, HoldersTakeTurnsAndEachSeesWhatTheOnesBeforeItWrote) {
  kv::TimedLock lock;
  int count = 0;  // a plain int: only the lock orders the threads' updates
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 1000; ++i) {
        std::unique_lock<kv::TimedLock> held(lock, 10s);
        ASSERT_TRUE(held);
        ++count;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(count, 4000);
}

}  // namespace
