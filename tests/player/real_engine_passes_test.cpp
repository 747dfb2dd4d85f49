// Whole passes through the runner and the real engine: the file a rendered pass
// leaves, what a real-time pass plays, the result each callback carries.

#include "tests/player/real_engine_fixture.h"

#include "soundfile/result_codes.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace {

using namespace realengine;

class PlayedSoundRemoval : public ::testing::Environment {
 public:
  void TearDown() override { std::remove(playedSoundPath().c_str()); }
};

[[maybe_unused]] ::testing::Environment* const playedSoundRemoval =
    ::testing::AddGlobalTestEnvironment(new PlayedSoundRemoval);

struct RenderedCase {
  const char* label;
  std::size_t frames;
  int channels;
  int bytesPerSample;
  int fileType;
  double pitchFactor;
  double timeFactor;
  int16_t fftSize;
  int16_t channelChoice;
  bool audible;  // the chosen channel carries the tone, not the silent first one
};

void PrintTo(const RenderedCase& c, std::ostream* out) { *out << c.label; }

class RenderedPassTest : public RealEngineTest, public ::testing::WithParamInterface<RenderedCase> {};

TEST_P(RenderedPassTest, LeavesTheWholeOutputAndReportsSuccess) {
  const RenderedCase& c = GetParam();
  const std::string input = toneFile("in", c.frames, c.channels, c.bytesPerSample, c.fileType);
  const std::string output = path("out");
  ASSERT_EQ(
      KVPlayFileStart(input.c_str(), c.pitchFactor, c.timeFactor, c.fftSize, 1, output.c_str(), 0, c.channelChoice), 1);
  const std::vector<CallBack> callBacks = waitForCallBacks(1);
  ASSERT_EQ(callBacks.size(), 1u);
  EXPECT_EQ(callBacks[0].result, kv::kOk);

  const kvtest::SoundFile sound = kvtest::readSoundFile(output);
  ASSERT_EQ(sound.error, kv::kOk);
  EXPECT_EQ(sound.type, c.fileType);
  EXPECT_EQ(sound.channels, 1);
  EXPECT_EQ(sound.bytesPerSample, c.bytesPerSample);
  EXPECT_EQ(sound.rate, static_cast<float>(kRate));
  EXPECT_EQ(sound.samples.size(), fullLength(c.timeFactor, c.frames, c.pitchFactor, c.fftSize));
  const auto loudest = std::max_element(sound.samples.begin(), sound.samples.end());
  ASSERT_NE(loudest, sound.samples.end());
  EXPECT_EQ(*loudest > (1 << 29), c.audible) << *loudest;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenderedPassTest,
    ::testing::Values(RenderedCase{"HalfSpeed", 22050, 1, 2, kv::kFileTypeWav, 1.0, 2.0, 1024, 0, true},
                      RenderedCase{"DoubleSpeedEightBit", 22050, 1, 1, kv::kFileTypeWav, 1.0, 0.5, 512, 0, true},
                      RenderedCase{"OctaveUpAiff", 22050, 1, 2, kv::kFileTypeAiff, 2.0, 1.0, 2048, 0, true},
                      // The channel choice crosses both libraries in the low half of its word.
                      RenderedCase{"StereoSecondChannel", 22050, 2, 2, kv::kFileTypeWav, 1.0, 1.5, 1024, 2, true},
                      RenderedCase{"StereoFirstChannel", 22050, 2, 2, kv::kFileTypeWav, 1.0, 1.5, 1024, 1, false},
                      // Less input than one analysis window.
                      RenderedCase{"ShorterThanAWindow", 300, 1, 2, kv::kFileTypeWav, 1.0, 2.0, 1024, 0, true}),
    [](const auto& info) { return std::string(info.param.label); });

struct ResultCase {
  const char* label;
  const char* input;  // in the test's folder
  int16_t fftSize;
  const char* output;  // in the test's folder; null for none
  int32_t playFlag;
  int32_t result;
};

void PrintTo(const ResultCase& c, std::ostream* out) { *out << c.label; }

class PassResultTest : public RealEngineTest, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(PassResultTest, ReachesTheCallBack) {
  const ResultCase& c = GetParam();
  toneFile("tone.wav", 11025);
  const std::string output = c.output ? path(c.output) : "";
  ASSERT_EQ(KVPlayFileStart(path(c.input).c_str(), 1.0, 1.5, c.fftSize, 1, c.output ? output.c_str() : nullptr,
                            c.playFlag, 0),
            1);
  const std::vector<CallBack> callBacks = waitForCallBacks(1);
  ASSERT_EQ(callBacks.size(), 1u);
  EXPECT_EQ(callBacks[0].result, c.result);
  EXPECT_NE(callBacks[0].thread, std::this_thread::get_id());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PassResultTest,
    ::testing::Values(ResultCase{"Rendered", "tone.wav", 1024, "out.wav", 0, kv::kOk},
                      ResultCase{"RealTime", "tone.wav", 1024, "out.wav", 1, kv::kEndOfFile},
                      ResultCase{"RealTimeOnly", "tone.wav", 1024, nullptr, 1, kv::kEndOfFile},
                      ResultCase{"ComputedAndDropped", "tone.wav", 1024, nullptr, 0, kv::kEndOfFile},
                      // The play flag is read from the low half of its word only.
                      ResultCase{"PlayFlagInTheHighHalf", "tone.wav", 1024, nullptr, 0x10000, kv::kEndOfFile},
                      ResultCase{"MissingInput", "missing.wav", 1024, "out.wav", 0, kv::kCannotOpen},
                      ResultCase{"OutputFolderMissing", "tone.wav", 1024, "missing/out.wav", 0, kv::kCannotOpen},
                      ResultCase{"BadFftSize", "tone.wav", 1000, "out.wav", 1, kv::kBadCall}),
    [](const auto& info) { return std::string(info.param.label); });

struct RealTimeCase {
  const char* label;
  std::size_t frames;
};

void PrintTo(const RealTimeCase& c, std::ostream* out) { *out << c.label; }

class RealTimePassTest : public RealEngineTest, public ::testing::WithParamInterface<RealTimeCase> {};

// The card is handed 24576 samples at first (four device buffers of 16-bit
// sound), 6144 at a time afterwards.
TEST_P(RealTimePassTest, EndsOnceTheCardHasPlayedEverySample) {
  const RealTimeCase& c = GetParam();
  const std::string input = toneFile("in.wav", c.frames);
  const std::string output = path("out.wav");
  ASSERT_EQ(startPass(input, 1.0, output, 1), 1);
  const std::vector<CallBack> callBacks = waitForCallBacks(1);
  ASSERT_EQ(callBacks.size(), 1u);
  EXPECT_EQ(callBacks[0].result, kv::kEndOfFile);

  const std::vector<int32_t> written = wholeOutput(output);
  EXPECT_EQ(written.size(), fullLength(1.0, c.frames));
  // The played sound ends with exactly what was written: nothing held back,
  // nothing played twice.
  const std::vector<int32_t> played = kvtest::readSoundFile(playedSoundPath()).samples;
  ASSERT_GE(played.size(), written.size());
  EXPECT_TRUE(std::equal(written.begin(), written.end(), played.end() - written.size()));
}

INSTANTIATE_TEST_SUITE_P(Cases, RealTimePassTest,
                         ::testing::Values(RealTimeCase{"ShorterThanTheFirstHandOver", 4410},
                                           RealTimeCase{"ExactlyTheFirstHandOver", 24575},
                                           RealTimeCase{"SeveralBlocks", 88200}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(RealEngineTest, TwoPassesAtOnceEachCallBackWithTheirOwnWholeOutput) {
  // Each pass alone first, for what it must write when the other runs beside it.
  const std::string inputs[2] = {toneFile("first.wav", 66150), toneFile("second.wav", 44100)};
  const double timeFactors[2] = {2.0, 1.5};
  std::vector<int32_t> alone[2];
  for (int i = 0; i < 2; ++i) {
    const std::string output = path("alone" + std::to_string(i) + ".wav");
    ASSERT_EQ(startPass(inputs[i], timeFactors[i], output, 0), 1);
    ASSERT_EQ(waitForCallBacks(i + 1).size(), i + 1u);
    alone[i] = wholeOutput(output);
  }
  CallBackLog::clear();

  const std::string outputs[2] = {path("together0.wav"), path("together1.wav")};
  ASSERT_EQ(startPass(inputs[0], timeFactors[0], outputs[0], 1), 1);
  ASSERT_EQ(startPass(inputs[1], timeFactors[1], outputs[1], 1), 1);
  const std::vector<CallBack> callBacks = waitForCallBacks(2);
  ASSERT_EQ(callBacks.size(), 2u);
  EXPECT_EQ(callBacks[0].result, kv::kEndOfFile);
  EXPECT_EQ(callBacks[1].result, kv::kEndOfFile);
  EXPECT_NE(callBacks[0].thread, callBacks[1].thread);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(wholeOutput(outputs[i]), alone[i]) << "pass " << i;
}

TEST_F(RealEngineTest, StopWithNoPassRunningReturnsZeroAndChangesNothing) {
  EXPECT_EQ(KVPlayFileStop(), kv::kOk);

  // Nor does a stop after a pass has ended reach the next one.
  const std::string input = toneFile("in.wav", 11025);
  ASSERT_EQ(startPass(input, 1.0, path("first.wav"), 0), 1);
  ASSERT_EQ(waitForCallBacks(1).size(), 1u);
  EXPECT_EQ(KVPlayFileStop(), kv::kOk);
  ASSERT_EQ(startPass(input, 1.0, path("second.wav"), 0), 1);
  const std::vector<CallBack> callBacks = waitForCallBacks(2);
  ASSERT_EQ(callBacks.size(), 2u);
  EXPECT_EQ(callBacks[1].result, kv::kOk);
  EXPECT_EQ(wholeOutput(path("second.wav")).size(), fullLength(1.0, 11025));
}

}  // namespace
