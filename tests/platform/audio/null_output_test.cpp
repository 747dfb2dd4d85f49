#include "platform/audio/NullSoundCard.h"

#include "tests/platform/audio/audio_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

namespace lentaro::audio {
namespace {

using namespace std::chrono_literals;
using test::concat;
using test::eventually;
using test::mono16;
using test::ramp16;
using test::slice;

constexpr std::size_t bufferFrames = 800;  // 100 ms of mono16

class NullOutputTest : public ::testing::Test {
 protected:
  // A card whose time moves only when the test moves it.
  std::unique_ptr<OutputDevice> openPaced(double speed) {
    card = std::make_unique<NullSoundCard>(speed, clock);
    card->setSink(sink);
    auto opened = card->openOutput(mono16);
    EXPECT_TRUE(opened) << opened.status.detail;
    return std::move(opened.device);
  }

  std::vector<std::vector<std::uint8_t>> writeBuffers(OutputDevice& device, int count) {
    std::vector<std::vector<std::uint8_t>> buffers;
    for (int i = 0; i < count; ++i) {
      buffers.push_back(ramp16(bufferFrames, 1, i * static_cast<int>(bufferFrames)));
      EXPECT_EQ(device.write(buffers.back().data(), buffers.back().size()).ticket, static_cast<Ticket>(i + 1));
    }
    return buffers;
  }

  std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
  std::shared_ptr<MemorySink> sink = std::make_shared<MemorySink>();
  std::unique_ptr<NullSoundCard> card;
};

struct PaceCase {
  const char* what;
  double speed;
  Clock::Duration perBuffer;  // the time one 100 ms buffer takes at that speed
};

void PrintTo(const PaceCase& c, std::ostream* os) { *os << c.what; }

class NullOutputPace : public NullOutputTest, public ::testing::WithParamInterface<PaceCase> {};

// The card plays exactly as many frames as the format's rate times the speed allows in the time
// that passed, and a buffer is done exactly when its last frame has been played.
TEST_P(NullOutputPace, PlaysAtTheRateOfItsFormatTimesTheSpeed) {
  const auto device = openPaced(GetParam().speed);
  const auto buffers = writeBuffers(*device, 3);
  const auto step = GetParam().perBuffer;

  clock->advance(step);
  ASSERT_TRUE(device->waitUntilDone(1, 20s));
  EXPECT_EQ(device->framesPlayed(), bufferFrames);
  EXPECT_FALSE(device->isDone(2));
  EXPECT_EQ(sink->bytes(), buffers[0]);

  clock->advance(step);
  ASSERT_TRUE(device->waitUntilDone(2, 20s));
  EXPECT_EQ(device->framesPlayed(), bufferFrames * 2);
  EXPECT_FALSE(device->isDone(3));

  clock->advance(step * 10);
  ASSERT_TRUE(device->waitUntilDone(3, 20s));
  EXPECT_EQ(device->framesPlayed(), bufferFrames * 3);
  EXPECT_EQ(sink->bytes(), concat(buffers));
  EXPECT_EQ(sink->format(), mono16);
}

INSTANTIATE_TEST_SUITE_P(Speeds, NullOutputPace,
                         ::testing::Values(PaceCase{"realTime", 1, 100ms}, PaceCase{"hundredfold", 100, 1ms},
                                           PaceCase{"halfSpeed", 0.5, 200ms}),
                         [](const auto& info) { return std::string(info.param.what); });

// Time that passes while nothing is queued is not owed to the next buffer: it plays from when it
// arrives.
TEST_F(NullOutputTest, IdleTimeDoesNotHurryTheNextBuffer) {
  const auto device = openPaced(1);
  writeBuffers(*device, 1);
  clock->advance(100ms);
  ASSERT_TRUE(device->waitUntilDone(1, 20s));
  clock->advance(10s);
  const auto next = ramp16(bufferFrames);
  const Ticket ticket = device->write(next.data(), next.size()).ticket;
  clock->advance(50ms);
  ASSERT_TRUE(eventually([&] { return device->framesPlayed() == bufferFrames * 3 / 2; }));
  EXPECT_FALSE(device->isDone(ticket));
}

// Buffers of every size, empty ones included, written while play goes on, come out whole and in
// order, each done once and in turn.
TEST_F(NullOutputTest, UnpacedPlaysEveryBufferInOrder) {
  card = std::make_unique<NullSoundCard>(NullSoundCard::unpaced);
  card->setSink(sink);
  const auto device = std::move(card->openOutput(mono16).device);
  ASSERT_TRUE(device);
  std::vector<std::vector<std::uint8_t>> buffers;
  int first = 0;
  for (int i = 0; i < 60; ++i) {
    const std::size_t frames = (i % 9) * 1500;
    buffers.push_back(ramp16(frames, 1, first));
    first += static_cast<int>(frames);
    const Queued queued = device->write(buffers.back().data(), buffers.back().size());
    ASSERT_EQ(queued.error, Error::None);
    ASSERT_EQ(queued.ticket, static_cast<Ticket>(i + 1));
    // Done never runs ahead of what was played.
    const Ticket done = device->buffersDone();
    std::size_t playedBytes = 0;
    for (Ticket t = 0; t < done; ++t) playedBytes += buffers[t].size();
    EXPECT_GE(sink->bytes().size(), playedBytes);
  }
  ASSERT_TRUE(device->waitUntilDone(60, 20s));
  EXPECT_EQ(device->buffersDone(), 60u);
  EXPECT_EQ(sink->bytes(), concat(buffers));
}

TEST_F(NullOutputTest, ResetMidStreamReturnsEveryBufferAtOnce) {
  const auto device = openPaced(1);
  const auto buffers = writeBuffers(*device, 4);
  clock->advance(150ms);
  ASSERT_TRUE(eventually([&] { return device->framesPlayed() == bufferFrames * 3 / 2; }));

  auto waiter = std::async(std::launch::async, [&] { return device->waitUntilDone(4, 1min); });
  std::thread([&] { EXPECT_EQ(device->reset(), Error::None); }).join();
  EXPECT_TRUE(waiter.get());
  EXPECT_EQ(device->buffersDone(), 4u);
  EXPECT_EQ(device->framesPlayed(), 0u);
  const auto played = slice(concat(buffers), 0, bufferFrames * 3);
  EXPECT_EQ(sink->bytes(), played);

  // The device plays on after a reset, from the moment the next buffer comes.
  const auto next = ramp16(bufferFrames, 1, 5000);
  EXPECT_EQ(device->write(next.data(), next.size()).ticket, 5u);
  clock->advance(100ms);
  ASSERT_TRUE(device->waitUntilDone(5, 20s));
  EXPECT_EQ(sink->bytes(), concat({played, next}));
}

// Closing or destroying a device that still has sound queued returns without waiting for it,
// and whoever waits for a buffer is let go.
TEST_F(NullOutputTest, CloseAndDestructionWhilePlayingLetEveryoneGo) {
  auto device = openPaced(1);
  writeBuffers(*device, 4);
  clock->advance(50ms);
  auto waiter = std::async(std::launch::async, [&] { return device->waitUntilDone(4, 1min); });
  EXPECT_EQ(device->close(), Error::None);
  EXPECT_TRUE(waiter.get());
  EXPECT_EQ(device->close(), Error::None);

  auto playing = openPaced(1);
  writeBuffers(*playing, 4);
  clock->advance(50ms);
  playing.reset();
  SUCCEED();
}

// Speeds at the edge of what a double holds keep their arithmetic in range.
TEST_F(NullOutputTest, ExtremeSpeedsNeitherOverflowNorStall) {
  const auto fast = openPaced(1e300);
  writeBuffers(*fast, 2);
  clock->advance(1ns);
  EXPECT_TRUE(fast->waitUntilDone(2, 20s));

  const auto slow = openPaced(1e-300);
  writeBuffers(*slow, 1);
  clock->advance(24h);
  EXPECT_FALSE(slow->waitUntilDone(1, 0ms));
  EXPECT_EQ(slow->close(), Error::None);
}

TEST_F(NullOutputTest, RefusesPartialFramesAndUseAfterClose) {
  const auto device = openPaced(1);
  const std::uint8_t bytes[3] = {1, 2, 3};
  EXPECT_EQ(device->write(bytes, 3).error, Error::BadArgument);
  EXPECT_EQ(device->write(nullptr, 2).error, Error::BadArgument);
  EXPECT_EQ(device->buffersDone(), 0u);
  device->close();
  EXPECT_EQ(device->write(bytes, 2).error, Error::NotOpen);
  EXPECT_EQ(device->reset(), Error::NotOpen);
}

}  // namespace
}  // namespace lentaro::audio
