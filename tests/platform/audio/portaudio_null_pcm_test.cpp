#include "platform/audio/Devices.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace lentaro::audio {
namespace {

using namespace std::chrono_literals;

// PortAudio through ALSA's null PCM, made the default by a private ~/.asoundrc: the PortAudio
// devices run on any machine, sound card or not. Each test is a process of its own (ctest), so
// PortAudio starts with this configuration.
class PortAudioNullPcm : public ::testing::Test {
 protected:
  void SetUp() override {
    home = std::filesystem::temp_directory_path() /
           ("lentaro-audio-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(home);
    std::ofstream(home / ".asoundrc") << "pcm.!default { type null }\n";
    setenv("HOME", home.c_str(), 1);
    unsetenv("LENTARO_AUDIO");
  }

  void TearDown() override { std::filesystem::remove_all(home); }

  std::unique_ptr<OutputDevice> openOrSkip(const Format& format) {
    auto opened = openOutput(format);
    if (!opened) return nullptr;
    EXPECT_NE(opened.device->name().rfind("Null output", 0), 0u);
    return std::move(opened.device);
  }

  std::filesystem::path home;
};

TEST_F(PortAudioNullPcm, PlaysBuffersInOrderAndReportsEachDone) {
  for (const Format& format :
       {Format{2, 44100, 16, Encoding::Pcm}, Format{1, 8000, 8, Encoding::MuLaw}, Format{1, 22050, 8, Encoding::Pcm}}) {
    const auto output = openOrSkip(format);
    if (!output) GTEST_SKIP() << "ALSA's null PCM does not open here";
    std::size_t frames = 0;
    Ticket last = 0;
    for (int i = 1; i <= 8; ++i) {
      const std::vector<std::uint8_t> buffer(static_cast<std::size_t>(i * 300 * format.bytesPerFrame()));
      last = output->write(buffer.data(), buffer.size()).ticket;
      frames += static_cast<std::size_t>(i * 300);
    }
    EXPECT_EQ(last, 8u);
    ASSERT_TRUE(output->waitUntilDone(last, 20s));
    EXPECT_EQ(output->framesPlayed(), frames);
    EXPECT_EQ(output->close(), Error::None);
  }
}

TEST_F(PortAudioNullPcm, ResetReturnsEveryBufferAndPlayGoesOn) {
  const Format cd{2, 44100, 16, Encoding::Pcm};
  const auto output = openOrSkip(cd);
  if (!output) GTEST_SKIP() << "ALSA's null PCM does not open here";
  const std::vector<std::uint8_t> second(44100 * 4);
  Ticket last = 0;
  for (int i = 0; i < 60; ++i) last = output->write(second.data(), second.size()).ticket;
  EXPECT_EQ(output->reset(), Error::None);
  EXPECT_EQ(output->buffersDone(), last);
  EXPECT_EQ(output->framesPlayed(), 0u);

  const Ticket next = output->write(second.data(), 4000).ticket;
  EXPECT_TRUE(output->waitUntilDone(next, 20s));
  EXPECT_EQ(output->close(), Error::None);
  EXPECT_EQ(output->write(second.data(), 4000).error, Error::NotOpen);
  EXPECT_EQ(output->reset(), Error::NotOpen);
}

TEST_F(PortAudioNullPcm, RecordsUntilStopped) {
  auto opened = openInput({1, 44100, 16, Encoding::Pcm});
  if (!opened) GTEST_SKIP() << "ALSA's null PCM does not open here: " << opened.status.detail;
  InputDevice& input = *opened.device;
  ASSERT_EQ(input.start(), Error::None);
  std::vector<std::uint8_t> buffer(4096);
  EXPECT_EQ(input.read(buffer.data(), buffer.size(), 20s) % 2, 0u);
  EXPECT_GT(input.framesCaptured(), 0u);
  ASSERT_EQ(input.stop(), Error::None);
  while (input.read(buffer.data(), buffer.size(), 0s) > 0) {
  }
  EXPECT_EQ(input.read(buffer.data(), buffer.size(), 1min), 0u);
  EXPECT_EQ(input.close(), Error::None);
}

}  // namespace
}  // namespace lentaro::audio
