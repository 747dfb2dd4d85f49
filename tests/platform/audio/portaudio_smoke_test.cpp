#include "platform/audio/Devices.h"

#include <gtest/gtest.h>

#include "tests/support/standard_error.h"

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

namespace lentaro::audio {
namespace {

using namespace std::chrono_literals;

const Format cd{2, 44100, 16, Encoding::Pcm};

// Without LENTARO_AUDIO the real default devices are used. On a machine without sound they must
// fail with a hardware error, never pretend; with sound they play and record.
class PortAudioSmoke : public ::testing::Test {
 protected:
  void SetUp() override { unsetenv("LENTARO_AUDIO"); }

  template <class Device>
  void skipWithoutDevice(const OpenResult<Device>& opened) {
    if (opened) {
      EXPECT_NE(opened.device->name().rfind("Null", 0), 0u) << "the null card stood in for a real device";
      return;
    }
    EXPECT_TRUE(opened.status.error == Error::NoDevice || opened.status.error == Error::DeviceFailure)
        << errorText(opened.status.error) << ": " << opened.status.detail;
    GTEST_SKIP() << "no sound device: " << opened.status.detail;
  }
};

TEST_F(PortAudioSmoke, PlaysSilenceAndReportsItDone) {
  const auto opened = openOutput(cd);
  skipWithoutDevice(opened);
  if (!opened) return;
  OutputDevice& output = *opened.device;
  const std::vector<std::uint8_t> silence(44100 / 10 * 4);
  const Ticket first = output.write(silence.data(), silence.size()).ticket;
  const Ticket second = output.write(silence.data(), silence.size()).ticket;
  EXPECT_TRUE(output.waitUntilDone(first, 10s));
  EXPECT_EQ(output.reset(), Error::None);
  EXPECT_TRUE(output.isDone(second));
  EXPECT_EQ(output.close(), Error::None);
}

TEST_F(PortAudioSmoke, RecordsFromTheDefaultInput) {
  const auto opened = openInput(cd);
  skipWithoutDevice(opened);
  if (!opened) return;
  InputDevice& input = *opened.device;
  ASSERT_EQ(input.start(), Error::None);
  std::vector<std::uint8_t> buffer(4096);
  EXPECT_GT(input.read(buffer.data(), buffer.size(), 10s), 0u);
  EXPECT_EQ(input.stop(), Error::None);
  EXPECT_EQ(input.close(), Error::None);
}

// PortAudio starts at the first use of a device in the process (each test is a process of its
// own, ctest), and while it does ALSA and JACK describe what they look for and do not find.
TEST_F(PortAudioSmoke, StartsWithoutTheSoundLibrariesMessagesOnStandardError) {
  EXPECT_EQ(test::standardErrorOf([] { queryOutput(cd); }), "");
}

TEST_F(PortAudioSmoke, StartsWithTheSoundLibrariesMessagesWhenAsked) {
  showSoundSystemMessages(true);
  const std::string said = test::standardErrorOf([] { queryOutput(cd); });
  if (said.empty()) GTEST_SKIP() << "the sound libraries say nothing as PortAudio starts here";
  EXPECT_TRUE(said.find("ALSA lib") != std::string::npos || said.find("jack") != std::string::npos) << said;
}

}  // namespace
}  // namespace lentaro::audio
