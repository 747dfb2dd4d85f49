#include "platform/audio/Devices.h"

#include "tests/platform/audio/audio_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace lentaro::audio {
namespace {

using test::mono16;

// Each test runs in a process of its own (ctest), so the environment it sets is its own.
class DevicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("LENTARO_AUDIO", "null", 1);
    unsetenv("LENTARO_AUDIO_SPEED");
  }
};

TEST_F(DevicesTest, NullInTheEnvironmentSelectsTheNullCard) {
  const auto output = openOutput(mono16);
  ASSERT_TRUE(output) << output.status.detail;
  EXPECT_EQ(output.device->name(), "Null output");
  const auto input = openInput(mono16);
  ASSERT_TRUE(input) << input.status.detail;
  EXPECT_EQ(input.device->name(), "Null input (loopback)");
  EXPECT_TRUE(queryOutput(mono16).ok());
  EXPECT_TRUE(queryInput(mono16).ok());
}

TEST_F(DevicesTest, RefusedFormatsOpenNothing) {
  for (const Format& format :
       {Format{0, 8000, 16, Encoding::Pcm}, Format{1, 0, 16, Encoding::Pcm}, Format{1, 8000, 12, Encoding::Pcm}}) {
    EXPECT_EQ(queryOutput(format).error, Error::BadFormat);
    EXPECT_EQ(queryInput(format).error, Error::BadFormat);
    const auto output = openOutput(format);
    EXPECT_FALSE(output);
    EXPECT_EQ(output.status.error, Error::BadFormat);
    EXPECT_EQ(openInput(format).status.error, Error::BadFormat);
  }
  EXPECT_EQ(openInput({1, 8000, 8, Encoding::MuLaw}).status.error, Error::BadFormat);
}

// A value we do not know is named, and the devices are PortAudio's as without the variable: a
// real device, or without one NoDevice; never the null card, never a configuration error.
TEST_F(DevicesTest, AnUnknownDeviceNameIsNamedAndSetAsideForTheRealDevices) {
  for (const char* value : {"nul", "portaudio", "NULL"}) {
    SCOPED_TRACE(value);
    setenv("LENTARO_AUDIO", value, 1);
    const Status unknown = unknownAudioChoice();
    EXPECT_EQ(unknown.error, Error::BadConfiguration);
    EXPECT_NE(unknown.detail.find(std::string("\"") + value + "\""), std::string::npos) << unknown.detail;
    const auto output = openOutput(mono16);
    if (output) {
      EXPECT_NE(output.device->name().rfind("Null", 0), 0u);
    } else {
      EXPECT_EQ(output.status.error, Error::NoDevice) << output.status.detail;
    }
    EXPECT_NE(queryInput(mono16).error, Error::BadConfiguration);
  }
  for (const char* value : {"", "null"}) {
    setenv("LENTARO_AUDIO", value, 1);
    EXPECT_TRUE(unknownAudioChoice().ok()) << value;
  }
}

struct SpeedCase {
  const char* value;
  bool understood;
};

void PrintTo(const SpeedCase& c, std::ostream* os) { *os << '"' << c.value << '"'; }

class SpeedSetting : public DevicesTest, public ::testing::WithParamInterface<SpeedCase> {};

TEST_P(SpeedSetting, IsAFactorOfZeroOrMoreOrMax) {
  setenv("LENTARO_AUDIO_SPEED", GetParam().value, 1);
  const auto output = openOutput(mono16);
  EXPECT_EQ(static_cast<bool>(output), GetParam().understood) << output.status.detail;
  if (!GetParam().understood) {
    EXPECT_EQ(output.status.error, Error::BadConfiguration);
  }
}

INSTANTIATE_TEST_SUITE_P(Values, SpeedSetting,
                         ::testing::Values(SpeedCase{"", true}, SpeedCase{"1", true}, SpeedCase{"100", true},
                                           SpeedCase{"2.5", true}, SpeedCase{"0", true}, SpeedCase{"max", true},
                                           SpeedCase{"-1", false}, SpeedCase{"fast", false}, SpeedCase{"10x", false},
                                           SpeedCase{"nan", false}, SpeedCase{"inf", false}));

TEST_F(DevicesTest, TheProcessCardRunsAtTheSpeedOfTheEnvironment) {
  setenv("LENTARO_AUDIO_SPEED", "max", 1);
  EXPECT_EQ(nullSoundCard().speed(), NullSoundCard::unpaced);
}

}  // namespace
}  // namespace lentaro::audio
