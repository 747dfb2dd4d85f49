#include "platform/audio/NullSoundCard.h"

#include "tests/platform/audio/audio_test_support.h"

#include <gtest/gtest.h>

#include <chrono>

namespace lentaro::audio {
namespace {

using namespace std::chrono_literals;
using test::concat;
using test::mono16;
using test::ramp16;
using test::slice;

// Everything the input holds now, read until it has nothing more.
std::vector<std::uint8_t> readAll(InputDevice& input) {
  std::vector<std::uint8_t> all;
  std::vector<std::uint8_t> piece(3000);
  while (const std::size_t got = input.read(piece.data(), piece.size(), 0ms))
    all.insert(all.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(got));
  return all;
}

void play(OutputDevice& output, const std::vector<std::uint8_t>& bytes) {
  const Ticket ticket = output.write(bytes.data(), bytes.size()).ticket;
  ASSERT_TRUE(output.waitUntilDone(ticket, 20s));
}

class LoopbackTest : public ::testing::Test {
 protected:
  NullSoundCard card{NullSoundCard::unpaced};
};

// With no source, the input records what the card plays while it captures, and only then.
TEST_F(LoopbackTest, RecordsWhatWasPlayedWhileCapturing) {
  const auto output = std::move(card.openOutput(mono16).device);
  const auto input = std::move(card.openInput(mono16).device);
  ASSERT_TRUE(output && input);

  play(*output, ramp16(500, 1, 9000));
  ASSERT_EQ(input->start(), Error::None);
  const auto a = ramp16(700);
  const auto b = ramp16(300, 1, 700);
  play(*output, a);
  play(*output, b);
  ASSERT_EQ(input->stop(), Error::None);
  play(*output, ramp16(500, 1, 9000));

  EXPECT_EQ(readAll(*input), concat({a, b}));
  EXPECT_EQ(input->framesCaptured(), 1000u);
  EXPECT_EQ(input->framesDropped(), 0u);
}

TEST_F(LoopbackTest, ConvertsToTheInputsFormat) {
  const auto output = std::move(card.openOutput({2, 8000, 16, Encoding::Pcm}).device);
  const auto input = std::move(card.openInput(mono16).device);
  input->start();
  play(*output, std::vector<std::uint8_t>{0xE8, 0x03, 0xB8, 0x0B});     // left 1000, right 3000
  EXPECT_EQ(readAll(*input), (std::vector<std::uint8_t>{0xD0, 0x07}));  // 2000
}

// A reader that falls more than ten seconds behind loses what does not fit, counted.
TEST_F(LoopbackTest, DropsWhatDoesNotFitAndCountsIt) {
  const Format slow{1, 1000, 8, Encoding::Pcm};
  const auto output = std::move(card.openOutput(slow).device);
  const auto input = std::move(card.openInput(slow).device);
  input->start();
  std::vector<std::uint8_t> played(12000);
  for (std::size_t i = 0; i < played.size(); ++i) played[i] = static_cast<std::uint8_t>(i * 7);
  play(*output, played);
  EXPECT_EQ(input->framesCaptured(), 12000u);
  EXPECT_EQ(input->framesDropped(), 2000u);
  EXPECT_EQ(readAll(*input), slice(played, 0, 10000));
}

// A new capture starts empty; a closed input reads nothing and starts no more.
TEST_F(LoopbackTest, RestartDiscardsTheUnreadAndCloseEndsAll) {
  const auto output = std::move(card.openOutput(mono16).device);
  const auto input = std::move(card.openInput(mono16).device);
  input->start();
  play(*output, ramp16(100));
  input->start();
  EXPECT_EQ(input->framesCaptured(), 0u);
  const auto kept = ramp16(50, 1, 100);
  play(*output, kept);
  EXPECT_EQ(readAll(*input), kept);

  EXPECT_EQ(input->close(), Error::None);
  play(*output, ramp16(100));
  EXPECT_TRUE(readAll(*input).empty());
  EXPECT_EQ(input->start(), Error::NotOpen);
}

class SourceTest : public ::testing::Test {
 protected:
  std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
  std::vector<std::uint8_t> sound = ramp16(8000);
  std::shared_ptr<MemorySource> source = std::make_shared<MemorySource>(mono16, sound);
};

// The source's sound comes due at the input's rate from start(); what was due when the capture
// stopped can still be read, nothing after it.
TEST_F(SourceTest, DeliversTheSourceAtTheInputsRate) {
  NullSoundCard card(1, clock);
  card.setSource(source);
  const auto input = std::move(card.openInput(mono16).device);
  ASSERT_TRUE(input);
  ASSERT_EQ(input->start(), Error::None);
  std::vector<std::uint8_t> buffer(20000);

  clock->advance(100ms);
  ASSERT_EQ(input->read(buffer.data(), buffer.size(), 0ms), 1600u);
  EXPECT_EQ(slice(buffer, 0, 1600), slice(sound, 0, 1600));
  EXPECT_EQ(input->read(buffer.data(), buffer.size(), 0ms), 0u);

  clock->advance(50ms);
  input->stop();
  clock->advance(1s);
  EXPECT_EQ(readAll(*input), slice(sound, 1600, 800));
  EXPECT_EQ(input->framesCaptured(), 1200u);
}

TEST_F(SourceTest, UnpacedGivesTheWholeSourceConvertedThenNothing) {
  NullSoundCard card(NullSoundCard::unpaced);
  card.setSource(source);
  const auto input = std::move(card.openInput({2, 8000, 16, Encoding::Pcm}).device);
  input->start();
  EXPECT_EQ(readAll(*input), ramp16(8000, 2));
  std::uint8_t frame[4];
  EXPECT_EQ(input->read(frame, sizeof frame, 1min), 0u);
}

}  // namespace
}  // namespace lentaro::audio
