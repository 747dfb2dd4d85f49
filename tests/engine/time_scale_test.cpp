// A whole pass over files: which input it takes, what output it leaves, which channel it hears,
// and how the engine lock lets another thread stop it.

#include "engine/time_scale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "engine/pass_control.h"
#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"
#include "tests/engine/support/tone.h"
#include "tests/engine/support/vocoder_run.h"
#include "tests/soundfile/support/temp_dir.h"
#include "tests/soundfile/support/wav_files.h"

namespace {

using kvtest::kTestRate;

class TimeScalePass : public kvtest::TempDirTest {
 protected:
  kv::TimeScaleJob job(const std::string& input, const std::string& output) {
    inputPath_ = input;
    outputPath_ = output;
    kv::TimeScaleJob j;
    j.inputPath = inputPath_.c_str();
    j.outputPath = outputPath_.empty() ? nullptr : outputPath_.c_str();
    j.timeFactor = 2.0;
    j.pitchFactor = 1.0;
    j.fftSize = 1024;
    j.windowMode = 1;
    return j;
  }

  // A mono tone file of that length, stored at that many bytes per sample.
  std::string toneFile(const std::string& name, std::size_t frames, int bytesPerSample = 2) {
    const std::string file = path(name);
    kvtest::writeSoundFile(file, kvtest::sineSamples(440.0, kTestRate, frames, 0.5), 1, bytesPerSample);
    return file;
  }

  // A pass whose call begins now, with no player.
  int32_t runPass(const kv::TimeScaleJob& j) { return kv::timeScale(j, control_, control_.arrive(), nullptr); }

  kv::PassControl control_;

 private:
  std::string inputPath_, outputPath_;
};

TEST_F(TimeScalePass, WritesAMonoFileOfTheInputsTypeRateAndSampleSize) {
  for (int bytes : {1, 2, 3}) {
    SCOPED_TRACE(bytes);
    const std::string in = toneFile("in.wav", 22050, bytes);
    const kv::TimeScaleJob j = job(in, path("out.wav"));
    ASSERT_EQ(runPass(j), kv::kOk);
    const kvtest::SoundFile out = kvtest::readSoundFile(path("out.wav"));
    ASSERT_EQ(out.error, kv::kOk);
    EXPECT_EQ(out.type, kv::kFileTypeWav);
    EXPECT_EQ(out.channels, 1);
    EXPECT_EQ(out.bytesPerSample, bytes);
    EXPECT_EQ(out.rate, 44100.0f);
    kv::VocoderSettings settings;
    settings.timeFactor = j.timeFactor;
    settings.fftSize = j.fftSize;
    EXPECT_EQ(static_cast<int64_t>(out.samples.size()), kvtest::expectedOutputLength(settings, 22050));
  }
}

// Mu-law and A-law samples decode to 16 bits, which the output keeps: it is 16-bit, and it is what
// the same pass makes of a 16-bit file holding the decoded samples.
TEST_F(TimeScalePass, CompandedInputGivesASixteenBitOutputOfItsDecodedSound) {
  struct Case {
    const char* what;
    int encoding;
    int fileType;
  };
  const Case cases[] = {
      {"mu-law WAV", kv::kEncodingMuLaw, kv::kFileTypeWav},
      {"A-law WAV", kv::kEncodingALaw, kv::kFileTypeWav},
      {"mu-law au", kv::kEncodingMuLaw, kv::kFileTypeAu},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    kvtest::writeCompandedFile(path("companded"), kvtest::sineSamples(440.0, kTestRate, 22050, 0.5), 1, c.encoding,
                               c.fileType);
    const kvtest::SoundFile decoded = kvtest::readSoundFile(path("companded"));
    ASSERT_EQ(decoded.error, kv::kOk);
    kvtest::writeSoundFile(path("linear"), decoded.samples, 1, 2, 44100.0f, c.fileType);
    ASSERT_EQ(runPass(job(path("companded"), path("companded-out"))), kv::kOk);
    ASSERT_EQ(runPass(job(path("linear"), path("linear-out"))), kv::kOk);

    const kvtest::SoundFile out = kvtest::readSoundFile(path("companded-out"));
    const kvtest::SoundFile expected = kvtest::readSoundFile(path("linear-out"));
    ASSERT_EQ(out.error, kv::kOk);
    EXPECT_EQ(out.type, c.fileType);
    EXPECT_EQ(out.bytesPerSample, 2);
    EXPECT_EQ(out.encoding, kv::kEncodingSigned);
    EXPECT_TRUE(kvtest::withinQuantisation(out.samples, expected.samples, 2));
  }
}

TEST_F(TimeScalePass, ReplacesAnExistingOutputFile) {
  const std::string in = toneFile("in.wav", 22050);
  const std::string out = path("out.wav");
  writeAll(out, std::vector<uint8_t>(200000, 0x55));
  ASSERT_EQ(runPass(job(in, out)), kv::kOk);
  const kvtest::SoundFile result = kvtest::readSoundFile(out);
  ASSERT_EQ(result.error, kv::kOk);
  EXPECT_EQ(std::filesystem::file_size(out), 44 + 2 * result.samples.size());
}

TEST_F(TimeScalePass, InputThatCannotBeReadAsSoundGivesMinusOneAndNoOutput) {
  writeAll(path("text.wav"), std::vector<uint8_t>(400, 'x'));
  std::vector<uint8_t> riffNotWave(400, 0);
  const std::string head("RIFF\x88\x01\0\0AVI ", 12);
  std::copy(head.begin(), head.end(), riffNotWave.begin());
  writeAll(path("avi.wav"), riffNotWave);
  for (const std::string& in : {path("missing.wav"), path("text.wav"), path("avi.wav"), path("")}) {
    SCOPED_TRACE(in);
    EXPECT_EQ(runPass(job(in, path("out.wav"))), kv::kCannotOpen);
    EXPECT_FALSE(std::filesystem::exists(path("out.wav")));
  }
  kv::TimeScaleJob noInput = job("", path("out.wav"));
  noInput.inputPath = nullptr;
  EXPECT_EQ(runPass(noInput), kv::kCannotOpen);
  control_.stop();  // the failed passes left nothing behind for a stop to reach
}

TEST_F(TimeScalePass, OutputThatCannotBeCreatedGivesMinusOne) {
  const std::string in = toneFile("in.wav", 22050);
  EXPECT_EQ(runPass(job(in, path("no/such/folder/out.wav"))), kv::kCannotOpen);
  control_.stop();
}

TEST_F(TimeScalePass, RefusesToWriteOverItsOwnInput) {
  const std::string in = toneFile("in.wav", 22050);
  const std::vector<uint8_t> before = readAll(in);
  EXPECT_EQ(runPass(job(in, in)), kv::kCannotOpen);
  EXPECT_EQ(readAll(in), before);
  control_.stop();
}

TEST_F(TimeScalePass, BadArgumentsGiveFourAndLeaveAnExistingOutputAlone) {
  const std::string in = toneFile("in.wav", 22050);
  const std::string out = path("out.wav");
  const std::vector<uint8_t> kept(1000, 0x55);
  writeAll(out, kept);
  kv::TimeScaleJob badMode = job(in, out);
  badMode.windowMode = 7;
  kv::TimeScaleJob badSize = job(in, out);
  badSize.fftSize = 1000;
  kv::TimeScaleJob badPitch = job(in, out);
  badPitch.pitchFactor = -1.0;
  for (const kv::TimeScaleJob& j : {badMode, badSize, badPitch}) {
    EXPECT_EQ(runPass(j), kv::kBadCall);
    EXPECT_EQ(readAll(out), kept);
  }
  control_.stop();
}

TEST_F(TimeScalePass, WithoutOutputOrPlayerComputesAndDropsTheResult) {
  const std::string in = toneFile("in.wav", 22050);
  EXPECT_EQ(runPass(job(in, "")), kv::kEndOfFile);
}

struct ChoiceCase {
  int choice;
  double leftLevel, rightLevel;
};

void PrintTo(const ChoiceCase& c, std::ostream* os) { *os << "choice " << c.choice; }

class TimeScaleChannels : public TimeScalePass, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(TimeScaleChannels, StereoInputIsMixedUnlessChannelOneOrTwoIsChosen) {
  constexpr double kLeftTone = 440.0, kRightTone = 660.0;
  const std::string in = path("stereo.wav");
  kvtest::writeSoundFile(in,
                         kvtest::interleave(kvtest::sineSamples(kLeftTone, kTestRate, 44100, 0.5),
                                            kvtest::sineSamples(kRightTone, kTestRate, 44100, 0.25)),
                         2);
  kv::TimeScaleJob j = job(in, path("out.wav"));
  j.channelChoice = GetParam().choice;
  ASSERT_EQ(runPass(j), kv::kOk);
  const kvtest::SoundFile out = kvtest::readSoundFile(path("out.wav"));
  ASSERT_EQ(out.error, kv::kOk);
  const std::vector<double> x = kvtest::toReals(out.samples);
  const kvtest::Middle m = kvtest::middleOf(x);
  const double left = kvtest::fitSine(x, kTestRate, kLeftTone, m.from, m.to).amplitude;
  const double right = kvtest::fitSine(x, kTestRate, kRightTone, m.from, m.to).amplitude;
  EXPECT_NEAR(left, GetParam().leftLevel, 0.01);
  EXPECT_NEAR(right, GetParam().rightLevel, 0.01);
}

INSTANTIATE_TEST_SUITE_P(Cases, TimeScaleChannels,
                         ::testing::Values(ChoiceCase{0, 0.25, 0.125}, ChoiceCase{1, 0.5, 0.0},
                                           ChoiceCase{2, 0.0, 0.25}, ChoiceCase{3, 0.25, 0.125},
                                           ChoiceCase{-1, 0.25, 0.125}, ChoiceCase{258, 0.25, 0.125}));

TEST_F(TimeScalePass, MonoInputIgnoresTheChannelChoice) {
  const std::string in = toneFile("in.wav", 22050);
  kv::TimeScaleJob j = job(in, path("out.wav"));
  j.channelChoice = 2;
  ASSERT_EQ(runPass(j), kv::kOk);
  const kvtest::SoundFile out = kvtest::readSoundFile(path("out.wav"));
  const std::vector<double> x = kvtest::toReals(out.samples);
  const kvtest::Middle m = kvtest::middleOf(x);
  EXPECT_NEAR(kvtest::fitSine(x, kTestRate, 440.0, m.from, m.to).amplitude, 0.5, 0.01);
}

TEST_F(TimeScalePass, StopFromAnotherThreadEndsThePassAndLeavesAValidShorterFile) {
  // Slowed twenty times, half a minute would take far longer than the wait for the first output.
  const std::string in = toneFile("long.wav", 30 * 44100);
  const std::string out = path("out.wav");
  kv::TimeScaleJob j = job(in, out);
  j.timeFactor = 20.0;
  int32_t result = -100;
  std::thread pass([&] { result = runPass(j); });
  std::error_code error;
  while (!std::filesystem::exists(out, error) || std::filesystem::file_size(out, error) < 100000) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(control_.stop(), kv::kOk);
  pass.join();

  EXPECT_EQ(result, kv::kOk);
  const kvtest::SoundFile written = kvtest::readSoundFile(out);
  ASSERT_EQ(written.error, kv::kOk);
  EXPECT_EQ(std::filesystem::file_size(out), 44 + 2 * written.samples.size());
  EXPECT_LT(written.samples.size(), 20u * 30 * 44100 / 10);
}

// A stop reaches a pass from the moment its call began, before its input is open; one made before
// the call does not.
struct StopTimingCase {
  const char* label;
  bool stopAfterTheCallBegan;
};

void PrintTo(const StopTimingCase& c, std::ostream* os) { *os << c.label; }

class TimeScaleStopTiming : public TimeScalePass, public ::testing::WithParamInterface<StopTimingCase> {};

TEST_P(TimeScaleStopTiming, StopEndsOnlyAPassWhoseCallHadBegun) {
  const std::string in = toneFile("in.wav", 22050);
  const std::string out = path("out.wav");
  const kv::TimeScaleJob j = job(in, out);
  const kv::PassControl::Arrival beforeTheStop = control_.arrive();
  ASSERT_EQ(control_.stop(), kv::kOk);
  const kv::PassControl::Arrival arrival = GetParam().stopAfterTheCallBegan ? beforeTheStop : control_.arrive();

  EXPECT_EQ(kv::timeScale(j, control_, arrival, nullptr), kv::kOk);
  // A 16-bit mono WAV file whose header counts the samples that follow it.
  const std::vector<uint8_t> written = readAll(out);
  ASSERT_GE(written.size(), 44u);
  const uint32_t dataBytes =
      written[40] | written[41] << 8 | written[42] << 16 | static_cast<uint32_t>(written[43]) << 24;
  EXPECT_EQ(written.size(), 44 + dataBytes);
  kv::VocoderSettings settings;
  settings.timeFactor = j.timeFactor;
  settings.fftSize = j.fftSize;
  // A pass that was stopped ended at its first hop, before it wrote anything.
  const int64_t expected = GetParam().stopAfterTheCallBegan ? 0 : kvtest::expectedOutputLength(settings, 22050);
  EXPECT_EQ(dataBytes / 2, expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TimeScaleStopTiming,
                         ::testing::Values(StopTimingCase{"StopBeforeTheCall", false},
                                           StopTimingCase{"StopAfterTheCallBegan", true}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(PassControl, StopWithNoPassRunningDoesNothing) {
  kv::PassControl control;
  EXPECT_EQ(control.stop(), kv::kOk);
}

TEST(PassControl, StopReachesEveryRunningPassAndNoneThatEnded) {
  kv::PassControl control;
  kvtest::MemoryStreams first({0}, 1), second({0}, 1), ended({0}, 1);
  ASSERT_TRUE(control.begin(*ended.input, control.arrive()));
  ASSERT_TRUE(control.end(*ended.input));
  ASSERT_TRUE(control.begin(*first.input, control.arrive()));
  ASSERT_TRUE(control.begin(*second.input, control.arrive()));
  EXPECT_EQ(control.stop(), kv::kOk);
  EXPECT_EQ(first.input->stopFlag(), 1);
  EXPECT_EQ(second.input->stopFlag(), 1);
  EXPECT_EQ(ended.input->stopFlag(), 0);
}

TEST(PassControl, OlderPassEndingLateLeavesTheNewerOneStoppable) {
  kv::PassControl control;
  kvtest::MemoryStreams older({0}, 1), newer({0}, 1);
  ASSERT_TRUE(control.begin(*older.input, control.arrive()));
  ASSERT_TRUE(control.begin(*newer.input, control.arrive()));
  ASSERT_TRUE(control.end(*older.input));
  EXPECT_EQ(control.stop(), kv::kOk);
  EXPECT_EQ(newer.input->stopFlag(), 1);
  EXPECT_EQ(older.input->stopFlag(), 0);

  ASSERT_TRUE(control.begin(*newer.input, control.arrive()));  // a new pass starts unstopped
  EXPECT_EQ(newer.input->stopFlag(), 0);
  ASSERT_TRUE(control.end(*newer.input));
  EXPECT_EQ(control.stop(), kv::kOk);
  EXPECT_EQ(newer.input->stopFlag(), 0);
}

}  // namespace
