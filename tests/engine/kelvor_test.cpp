// libkelvor as the engine-pass runner uses it: two plain C entry points, passes that render, play
// through the sound device (the null card here) and stop.

#include "engine/kelvor.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "soundfile/result_codes.h"
#include "tests/engine/support/refused_inputs.h"
#include "tests/engine/support/tone.h"
#include "tests/soundfile/support/temp_dir.h"
#include "tests/soundfile/support/wav_files.h"
#include "tests/support/non_regular_files.h"

namespace {

constexpr double kRate = 44100.0;

class Kelvor : public kvtest::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    setenv("LENTARO_AUDIO", "null", 1);
    setenv("LENTARO_AUDIO_SPEED", "max", 1);
  }

  std::string toneFile(const std::string& name, double seconds) {
    const std::string file = path(name);
    kvtest::writeSoundFile(file, kvtest::sineSamples(440.0, kRate, static_cast<std::size_t>(seconds * kRate), 0.5), 1);
    return file;
  }

  static std::size_t samplesIn(const std::string& file) {
    const kvtest::SoundFile sound = kvtest::readSoundFile(file);
    EXPECT_EQ(sound.error, kv::kOk);
    return sound.samples.size();
  }
};

TEST_F(Kelvor, ExportsTheTwoEntryPointsAndNothingOfTheEngine) {
  void* library = dlopen(KELVOR_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  EXPECT_NE(dlsym(library, "kv_TimeScale"), nullptr);
  EXPECT_NE(dlsym(library, "kv_StopTimeScale"), nullptr);
  // kv::runVocoder, which a careless build would export along with the rest of the engine.
  EXPECT_EQ(dlsym(library, "_ZN2kv10runVocoderERNS_11SoundStreamEPS0_PNS_12SamplePlayerERKNS_15VocoderSettingsE"),
            nullptr);
  dlclose(library);
}

TEST_F(Kelvor, RendersAPassToAFile) {
  const std::string in = toneFile("in.wav", 0.5);
  const std::string out = path("out.wav");
  EXPECT_EQ(kv_TimeScale(in.c_str(), 1.0, 2.0, 1024, 1, out.c_str(), 0, 0), kv::kOk);
  EXPECT_EQ(samplesIn(out), 44101u);  // round(2 × 22050) + 1
}

TEST_F(Kelvor, ReportsWhatItCannotWorkWith) {
  const std::string in = toneFile("in.wav", 0.5);
  const std::string out = path("out.wav");
  EXPECT_EQ(kv_TimeScale(path("missing.wav").c_str(), 1.0, 2.0, 1024, 1, out.c_str(), 0, 0), kv::kCannotOpen);
  EXPECT_EQ(kv_TimeScale(nullptr, 1.0, 2.0, 1024, 1, out.c_str(), 0, 0), kv::kCannotOpen);
  EXPECT_EQ(kv_TimeScale(in.c_str(), 1.0, 2.0, 1024, 9, out.c_str(), 0, 0), kv::kBadCall);
  EXPECT_EQ(kv_TimeScale(in.c_str(), 1.0, 2.0, 1000, 1, out.c_str(), 0, 0), kv::kBadCall);
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(Kelvor, StopWithNoPassRunningReturnsZero) { EXPECT_EQ(kv_StopTimeScale(), kv::kOk); }

TEST_F(Kelvor, PlaysWhileWritingAndReturnsOnceEverythingIsPlayed) {
  const std::string in = toneFile("in.wav", 1.0);
  const std::string out = path("out.wav");
  EXPECT_EQ(kv_TimeScale(in.c_str(), 1.0, 2.0, 1024, 1, out.c_str(), 1, 0), kv::kEndOfFile);
  EXPECT_EQ(samplesIn(out), 88201u);
}

TEST_F(Kelvor, PlaysWithoutAnOutputFile) {
  const std::string in = toneFile("in.wav", 1.0);
  EXPECT_EQ(kv_TimeScale(in.c_str(), 1.0, 2.0, 1024, 1, nullptr, 1, 0), kv::kEndOfFile);
}

TEST_F(Kelvor, StopCutsAPlayedPassShortAndLeavesAValidFile) {
  unsetenv("LENTARO_AUDIO_SPEED");  // played at the real rate: the pass lasts as long as its sound
  const std::string in = toneFile("in.wav", 10.0);
  const std::string out = path("out.wav");
  int32_t result = -100;
  std::thread pass([&] { result = kv_TimeScale(in.c_str(), 1.0, 1.0, 1024, 1, out.c_str(), 1, 0); });
  std::error_code error;
  while (!std::filesystem::exists(out, error) || std::filesystem::file_size(out, error) < 150000) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(kv_StopTimeScale(), kv::kOk);
  pass.join();

  EXPECT_NE(result, -100);
  const std::size_t written = samplesIn(out);
  EXPECT_EQ(std::filesystem::file_size(out), 44 + 2 * written);
  EXPECT_LT(written, static_cast<std::size_t>(5.0 * kRate));
}

// Anything but a regular file, named as the input or the output, is refused at once (a FIFO would
// otherwise hold the pass in its open, before any stop can reach it), and no file is made or
// replaced.
class KelvorNonRegular : public Kelvor, public ::testing::WithParamInterface<kvtest::NonRegularCase> {};

TEST_P(KelvorNonRegular, InputIsRefusedAndNoOutputTouched) {
  const kvtest::NonRegularFile special(GetParam().kind, path(""), "in.wav");
  ASSERT_TRUE(special.made());
  writeAll(path("old.wav"), std::vector<uint8_t>(5000, 0x55));
  const auto before = folder();
  for (const int16_t playFlag : {0, 1}) {
    for (const char* output : {"new.wav", "old.wav", static_cast<const char*>(nullptr)}) {
      SCOPED_TRACE(std::string(output ? output : "no output") + (playFlag ? ", played" : ""));
      const std::string out = output ? path(output) : "";
      EXPECT_EQ(kv_TimeScale(special.path().c_str(), 1.0, 2.0, 1024, 1, output ? out.c_str() : nullptr, playFlag, 0),
                kv::kCannotOpen);
      EXPECT_TRUE(folder() == before);
    }
  }
}

TEST_P(KelvorNonRegular, OutputIsRefusedAndLeftAsItWas) {
  const std::string in = toneFile("in.wav", 0.1);
  const kvtest::NonRegularFile special(GetParam().kind, path(""), "out.wav");
  ASSERT_TRUE(special.made());
  const auto before = folder();
  for (const int16_t playFlag : {0, 1}) {
    SCOPED_TRACE(playFlag);
    EXPECT_EQ(kv_TimeScale(in.c_str(), 1.0, 2.0, 1024, 1, special.path().c_str(), playFlag, 0), kv::kCannotOpen);
    EXPECT_TRUE(folder() == before);
    EXPECT_EQ(special.takeWritten(), "");
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, KelvorNonRegular, ::testing::ValuesIn(kvtest::nonRegularCases()),
                         kvtest::nonRegularCaseName);

// A header stating a channel count or sample format the engine has no use for is refused with the
// other bad headers, before the output is opened: an existing output keeps every byte, and none
// is made.
class KelvorRefusedInputs : public Kelvor, public ::testing::WithParamInterface<kvtest::RefusedInput> {};

TEST_P(KelvorRefusedInputs, AreRefusedBeforeTheOutputIsTouched) {
  writeAll(path("in"), GetParam().bytes);
  const std::string in = path("in"), out = path("out");
  for (const bool outputExists : {false, true}) {
    if (outputExists) writeAll(out, std::vector<uint8_t>(5000, 0x55));
    const auto before = folder();
    for (const int16_t playFlag : {0, 1}) {
      SCOPED_TRACE(playFlag);
      EXPECT_EQ(kv_TimeScale(in.c_str(), 1.0, 2.0, 1024, 1, out.c_str(), playFlag, 0), kv::kCannotOpen);
      EXPECT_TRUE(folder() == before);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Headers, KelvorRefusedInputs, ::testing::ValuesIn(kvtest::refusedInputs()),
                         kvtest::refusedInputName);

}  // namespace
