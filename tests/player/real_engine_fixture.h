#pragma once

// The runner driving the real engine library: fixtures are tone files written
// through the engine's own streams, real-time passes play on the null sound card.

#include "player/pallomi.h"
#include "tests/player/runner_test_support.h"

#include "engine/vocoder.h"
#include "soundfile/file_types.h"
#include "tests/engine/support/tone.h"
#include "tests/engine/support/vocoder_run.h"
#include "tests/soundfile/support/temp_dir.h"
#include "tests/soundfile/support/wav_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace realengine {

constexpr double kRate = kvtest::kTestRate;

// Where the null card writes what it plays, one file for the whole process: the
// card reads the name once per load of the engine.
inline std::string playedSoundPath() {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("pallomi-played-" + std::to_string(getpid()) + ".wav")).string();
  return path;
}

// Read by the engine when it opens its first sound device. Paced, so a real-time
// pass really waits for the card, but twenty times faster than real time.
inline void useNullSoundCard() {
  setenv("LENTARO_AUDIO", "null", 1);
  setenv("LENTARO_AUDIO_SPEED", "20", 1);
  setenv("LENTARO_AUDIO_CAPTURE", playedSoundPath().c_str(), 1);
}

// A 440 Hz tone of that length; with two channels the first is silent.
inline void writeTone(const std::string& file, std::size_t frames, int channels = 1, int bytesPerSample = 2,
                      int fileType = kv::kFileTypeWav) {
  std::vector<int32_t> samples = kvtest::sineSamples(440.0, kRate, frames, 0.5);
  if (channels == 2) samples = kvtest::interleave(std::vector<int32_t>(frames, 0), samples);
  kvtest::writeSoundFile(file, samples, channels, bytesPerSample, static_cast<float>(kRate), fileType);
}

inline int32_t startPass(const std::string& input, double timeFactor, const std::string& output, int32_t playFlag) {
  return KVPlayFileStart(input.c_str(), 1.0, timeFactor, 1024, 1, output.empty() ? nullptr : output.c_str(), playFlag,
                         0);
}

// What a pass that runs to its end writes for a mono input of that many frames.
inline std::size_t fullLength(double timeFactor, std::size_t frames, double pitchFactor = 1.0, int fftSize = 1024) {
  kv::VocoderSettings settings;
  settings.pitchFactor = pitchFactor;
  settings.timeFactor = timeFactor;
  settings.fftSize = fftSize;
  return static_cast<std::size_t>(kvtest::expectedOutputLength(settings, static_cast<int64_t>(frames)));
}

inline std::vector<CallBack> waitForCallBacks(std::size_t count) { return CallBackLog::waitFor(count, kHangLimit); }

// Until the file holds more than that many bytes, which a pass writes only once
// it has become one that a stop reaches. False if it never did.
inline bool waitUntilWritten(const std::string& file, std::uintmax_t bytes) {
  const auto deadline = std::chrono::steady_clock::now() + kHangLimit;
  std::error_code error;
  while (std::filesystem::file_size(file, error) <= bytes || error) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return true;
}

// A 16-bit mono WAV output whose header matches its data; its samples.
inline std::vector<int32_t> wholeOutput(const std::string& file) {
  const kvtest::SoundFile sound = kvtest::readSoundFile(file);
  EXPECT_EQ(sound.error, 0) << file;
  EXPECT_EQ(sound.channels, 1) << file;
  EXPECT_EQ(std::filesystem::file_size(file), 44 + 2 * sound.samples.size()) << file;
  return sound.samples;
}

}  // namespace realengine

// Loads the engine and registers the recording callback for each test, and lets
// the engine go afterwards, so the tests run in any order in one process.
class RealEngineTest : public kvtest::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    realengine::useNullSoundCard();
    takeShownBoxes();
    CallBackLog::clear();
    ASSERT_EQ(KVPlayFileInit(KELVOR_ENGINE_PATH), 1);
    KVPlayFileRegisterCallBack(&CallBackLog::record);
  }

  void TearDown() override {
    KVPlayFileCleanUp();
    EXPECT_EQ(takeShownBoxes(), std::vector<ShownBox>{});
    TempDirTest::TearDown();
  }

  // A tone file in the test's folder.
  std::string toneFile(const std::string& name, std::size_t frames, int channels = 1, int bytesPerSample = 2,
                       int fileType = kv::kFileTypeWav) {
    const std::string file = path(name);
    realengine::writeTone(file, frames, channels, bytesPerSample, fileType);
    return file;
  }
};
