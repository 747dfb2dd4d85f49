// A private part of the audio layer, tested on its own: it carries the done rule of the PortAudio
// output too.
#include "platform/audio/src/PlayQueue.h"

#include "tests/platform/audio/audio_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

namespace lentaro::audio {
namespace {

using test::ramp16;

class PlayQueueTest : public ::testing::Test {
 protected:
  PlayQueue queue{2};
  std::vector<std::uint8_t> out = std::vector<std::uint8_t>(2000);
};

// A buffer is done once everything sent of it has been heard, not when it is sent: a sound card
// still holds a latency's worth of frames.
TEST_F(PlayQueueTest, ABufferIsDoneOnceHeardNotWhenSent) {
  const auto a = ramp16(100);
  const auto b = ramp16(50, 1, 100);
  EXPECT_EQ(queue.push(a.data(), a.size()).ticket, 1u);
  EXPECT_EQ(queue.push(b.data(), b.size()).ticket, 2u);

  EXPECT_EQ(queue.take(out.data(), 80, 0).frames, 80u);
  queue.heardUpTo(80);
  EXPECT_EQ(queue.done(), 0u);
  EXPECT_EQ(queue.framesHeard(), 80u);

  const PlayQueue::Taken rest = queue.take(out.data() + 160, 500, 80);
  EXPECT_EQ(rest.frames, 70u);
  EXPECT_TRUE(rest.emptied);
  EXPECT_EQ(test::slice(out, 0, 300), test::concat({a, b}));
  EXPECT_FALSE(queue.hasUntaken());
  queue.heardUpTo(120);
  EXPECT_TRUE(queue.isDone(1));
  EXPECT_FALSE(queue.isDone(2));
  EXPECT_EQ(queue.framesHeard(), 120u);

  queue.heardUpTo(150);
  EXPECT_EQ(queue.done(), 2u);
  EXPECT_EQ(queue.framesHeard(), 150u);
}

// Silence the card plays while the queue is dry moves the stream on but counts as nobody's frames.
TEST_F(PlayQueueTest, SilenceBetweenBuffersIsNotCountedAsPlayed) {
  const auto a = ramp16(10);
  queue.push(a.data(), a.size());
  queue.take(out.data(), 100, 0);
  queue.heardUpTo(500);
  queue.push(a.data(), a.size());
  EXPECT_EQ(queue.take(out.data(), 100, 1000).frames, 10u);
  queue.heardUpTo(1004);
  EXPECT_EQ(queue.framesHeard(), 14u);
  queue.heardUpTo(1010);
  EXPECT_EQ(queue.done(), 2u);
}

TEST_F(PlayQueueTest, AnEmptyBufferIsDoneWhenPlayReachesIt) {
  const auto a = ramp16(10);
  queue.push(a.data(), a.size());
  queue.push(nullptr, 0);
  queue.push(a.data(), a.size());
  const PlayQueue::Taken first = queue.take(out.data(), 10, 0);
  EXPECT_EQ(first.frames, 10u);
  EXPECT_FALSE(first.emptied);
  queue.heardUpTo(10);
  EXPECT_EQ(queue.done(), 2u);
  EXPECT_EQ(queue.take(out.data(), 10, 10).frames, 10u);
  queue.heardUpTo(20);
  EXPECT_EQ(queue.done(), 3u);
}

TEST_F(PlayQueueTest, DiscardingMakesEveryBufferDoneAndWakesWaiters) {
  const auto a = ramp16(100);
  for (int i = 0; i < 3; ++i) queue.push(a.data(), a.size());
  queue.take(out.data(), 150, 0);
  queue.heardUpTo(150);
  auto waiter = std::async(std::launch::async, [&] { return queue.waitUntilDone(3, std::chrono::minutes(1)); });
  queue.discardAll();
  EXPECT_TRUE(waiter.get());
  EXPECT_EQ(queue.done(), 3u);
  EXPECT_EQ(queue.framesHeard(), 0u);
  EXPECT_FALSE(queue.hasUntaken());

  EXPECT_EQ(queue.push(a.data(), a.size()).ticket, 4u);
  queue.close();
  EXPECT_TRUE(queue.isDone(4));
  EXPECT_EQ(queue.push(a.data(), a.size()).error, Error::NotOpen);
}

}  // namespace
}  // namespace lentaro::audio
