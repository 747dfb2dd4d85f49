// Ending passes of the real engine early: stop, stop right after start,
// clean-up while a pass plays, and many short passes in a row.

#include "tests/player/real_engine_fixture.h"

#include "soundfile/result_codes.h"

#include <dlfcn.h>

#include <algorithm>
#include <iterator>
#include <ostream>
#include <system_error>

namespace {

using namespace realengine;

// Long enough that no pass here runs to its end unless a stop goes astray.
constexpr std::size_t kLongInput = 30 * 44100;
constexpr double kLongTimeFactor = 2.0;
// A second of written sound: the pass is well under way.
constexpr std::uintmax_t kUnderWay = 44 + 2 * 44100;
// A quarter of a second: a pass that runs whole in a moment.
constexpr std::size_t kShortInput = 11025;
constexpr int kRounds = 50;

int openFileCount() {
  const std::filesystem::directory_iterator files("/proc/self/fd");
  return static_cast<int>(std::distance(begin(files), end(files)));
}

struct StopCase {
  const char* label;
  int32_t playFlag;
};

void PrintTo(const StopCase& c, std::ostream* out) { *out << c.label; }

class StopDuringPassTest : public RealEngineTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StopDuringPassTest, EndsItAndTheCallBackComes) {
  const std::string input = toneFile("in.wav", kLongInput);
  const std::string output = path("out.wav");
  ASSERT_EQ(startPass(input, kLongTimeFactor, output, GetParam().playFlag), 1);
  ASSERT_TRUE(waitUntilWritten(output, kUnderWay));

  EXPECT_EQ(KVPlayFileStop(), kv::kOk);
  const std::vector<CallBack> callBacks = waitForCallBacks(1);
  ASSERT_EQ(callBacks.size(), 1u);
  EXPECT_EQ(callBacks[0].result, kv::kOk);
  // Cut short, and what was written is a whole file.
  EXPECT_LT(wholeOutput(output).size(), fullLength(kLongTimeFactor, kLongInput) / 2);
}

INSTANTIATE_TEST_SUITE_P(Cases, StopDuringPassTest, ::testing::Values(StopCase{"Rendered", 0}, StopCase{"RealTime", 1}),
                         [](const auto& info) { return std::string(info.param.label); });

// Samples in a 16-bit mono WAV output, from its size: none when the pass made no file.
std::size_t samplesWritten(const std::string& file) {
  std::error_code error;
  const std::uintmax_t bytes = std::filesystem::file_size(file, error);
  return error || bytes < 44 ? 0 : static_cast<std::size_t>((bytes - 44) / 2);
}

// Pressing Stop straight after Play, before the pass can have got far enough into
// the engine for the engine's stop to reach it.
class StopRightAfterStartTest : public RealEngineTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StopRightAfterStartTest, EndsThePassAtOnce) {
  const std::string input = toneFile("in.wav", kLongInput);
  const std::string output = path("out.wav");
  for (int i = 0; i < kRounds; ++i) {
    SCOPED_TRACE(i);
    std::filesystem::remove(output);
    ASSERT_EQ(startPass(input, kLongTimeFactor, output, GetParam().playFlag), 1);
    ASSERT_EQ(KVPlayFileStop(), kv::kOk);
    const std::vector<CallBack> callBacks = waitForCallBacks(i + 1);
    ASSERT_EQ(callBacks.size(), static_cast<std::size_t>(i + 1));
    EXPECT_EQ(callBacks[i].result, kv::kOk);
    EXPECT_LT(samplesWritten(output), fullLength(kLongTimeFactor, kLongInput) / 2);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, StopRightAfterStartTest,
                         ::testing::Values(StopCase{"Rendered", 0}, StopCase{"RealTime", 1}),
                         [](const auto& info) { return std::string(info.param.label); });

struct PassAfterAStopCase {
  const char* label;
  int32_t playFlag;
  bool passStoppedRightAfterStart;  // else the stop came with no pass
  int32_t wholePassResult;
};

void PrintTo(const PassAfterAStopCase& c, std::ostream* out) { *out << c.label; }

class PassAfterAStopTest : public RealEngineTest, public ::testing::WithParamInterface<PassAfterAStopCase> {};

TEST_P(PassAfterAStopTest, RunsToItsEnd) {
  const PassAfterAStopCase& c = GetParam();
  const std::string longInput = toneFile("long.wav", kLongInput);
  const std::string shortInput = toneFile("short.wav", kShortInput);
  const std::string stopped = path("stopped.wav");
  const std::string next = path("next.wav");
  const std::size_t passesPerRound = c.passStoppedRightAfterStart ? 2 : 1;
  for (int i = 0; i < kRounds; ++i) {
    SCOPED_TRACE(i);
    std::filesystem::remove(stopped);
    if (c.passStoppedRightAfterStart) {
      ASSERT_EQ(startPass(longInput, kLongTimeFactor, stopped, c.playFlag), 1);
    }
    ASSERT_EQ(KVPlayFileStop(), kv::kOk);
    ASSERT_EQ(startPass(shortInput, 1.0, next, c.playFlag), 1);

    const std::vector<CallBack> callBacks = waitForCallBacks(passesPerRound * (i + 1));
    ASSERT_EQ(callBacks.size(), passesPerRound * (i + 1));
    std::vector<int32_t> results;
    for (std::size_t k = passesPerRound * i; k < callBacks.size(); ++k) results.push_back(callBacks[k].result);
    std::sort(results.begin(), results.end());
    std::vector<int32_t> expected{c.wholePassResult};
    if (c.passStoppedRightAfterStart) expected.insert(expected.begin(), kv::kOk);
    EXPECT_EQ(results, expected);
    EXPECT_EQ(wholeOutput(next).size(), fullLength(1.0, kShortInput));
    EXPECT_LT(samplesWritten(stopped), fullLength(kLongTimeFactor, kLongInput) / 2);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PassAfterAStopTest,
    ::testing::Values(PassAfterAStopCase{"RenderedAfterAStopWithNoPass", 0, false, kv::kOk},
                      PassAfterAStopCase{"RealTimeAfterAStopWithNoPass", 1, false, kv::kEndOfFile},
                      PassAfterAStopCase{"RenderedAfterAPassStoppedRightAfterStart", 0, true, kv::kOk},
                      PassAfterAStopCase{"RealTimeAfterAPassStoppedRightAfterStart", 1, true, kv::kEndOfFile}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(RealEngineTest, CleanUpDuringARealTimePassStopsItWaitsAndNothingReportsAfter) {
  const std::string input = toneFile("in.wav", kLongInput);
  const std::string output = path("out.wav");
  ASSERT_EQ(startPass(input, kLongTimeFactor, output, 1), 1);
  ASSERT_TRUE(waitUntilWritten(output, kUnderWay));

  EXPECT_EQ(KVPlayFileCleanUp(), 1);
  // The pass has ended and its output is closed: the worker is gone, and with
  // it any report it could have made.
  EXPECT_LT(wholeOutput(output).size(), fullLength(kLongTimeFactor, kLongInput) / 2);
  EXPECT_TRUE(CallBackLog::all().empty());
  EXPECT_EQ(startPass(input, 1.0, path("after.wav"), 1), 0);
  EXPECT_TRUE(CallBackLog::all().empty());
  // Unloaded for good: nothing of the pass was left inside it.
  EXPECT_EQ(dlopen(KELVOR_ENGINE_PATH, RTLD_NOW | RTLD_NOLOAD), nullptr);
}

// Passes started close together may overlap: the caller's stop for the first can
// come before that pass could be reached. A stop then ends every pass that runs.
class OverlappingPassesTest : public RealEngineTest {
 protected:
  void SetUp() override {
    RealEngineTest::SetUp();
    outputs_ = {path("first.wav"), path("second.wav")};
  }

  void startBoth() {
    const std::string input = toneFile("in.wav", kLongInput);
    for (const std::string& output : outputs_) {
      ASSERT_EQ(startPass(input, kLongTimeFactor, output, 1), 1);
      ASSERT_TRUE(waitUntilWritten(output, kUnderWay));
    }
  }

  void expectBothCutShort() {
    for (const std::string& output : outputs_)
      EXPECT_LT(wholeOutput(output).size(), fullLength(kLongTimeFactor, kLongInput) / 2) << output;
  }

  std::vector<std::string> outputs_;
};

TEST_F(OverlappingPassesTest, StopEndsBoth) {
  startBoth();
  EXPECT_EQ(KVPlayFileStop(), kv::kOk);
  const std::vector<CallBack> callBacks = waitForCallBacks(2);
  ASSERT_EQ(callBacks.size(), 2u);
  EXPECT_EQ(callBacks[0].result, kv::kOk);
  EXPECT_EQ(callBacks[1].result, kv::kOk);
  expectBothCutShort();
}

TEST_F(OverlappingPassesTest, CleanUpEndsBothAndReleasesTheEngine) {
  startBoth();
  EXPECT_EQ(KVPlayFileCleanUp(), 1);
  EXPECT_TRUE(CallBackLog::all().empty());
  expectBothCutShort();
}

TEST_F(RealEngineTest, TwoHundredStartStopCyclesLeaveNoThreadOrFileBehind) {
  const std::string input = toneFile("in.wav", kLongInput);
  const std::string output = path("out.wav");
  const int threadsBefore = threadBaseline();
  const int filesBefore = openFileCount();

  constexpr std::size_t kCycles = 200;
  for (std::size_t i = 0; i < kCycles; ++i) {
    SCOPED_TRACE(i);
    std::filesystem::remove(output);
    // Rendered and real-time passes in turn.
    ASSERT_EQ(startPass(input, kLongTimeFactor, output, static_cast<int32_t>(i % 2)), 1);
    // Stop only once the pass is inside the engine, so that every cycle opens
    // and closes the files and the sound device.
    ASSERT_TRUE(waitUntilWritten(output, 0));
    ASSERT_EQ(KVPlayFileStop(), kv::kOk);
    const std::vector<CallBack> callBacks = waitForCallBacks(i + 1);
    ASSERT_EQ(callBacks.size(), i + 1);
    ASSERT_EQ(callBacks[i].result, kv::kOk);
  }
  EXPECT_EQ(KVPlayFileCleanUp(), 1);
  EXPECT_EQ(openFileCount(), filesBefore);
  EXPECT_EQ(waitForThreadCount(threadsBefore), threadsBefore);
}

// The runner stops a running pass at exit, before the engine's own exit
// handlers take down what the pass still uses. The exiting program makes its
// own files, runs its pass and captures nothing, so it leaves nothing behind.
TEST(RealEngineExitTest, ExitDuringARealTimePassStopsItWhileTheEngineIsWhole) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string input = TEST_OUTPUT_DIR "/exit_during_pass_input.wav";
  const std::string output = TEST_OUTPUT_DIR "/exit_during_pass.wav";
  std::filesystem::remove(output);

  EXPECT_EXIT(
      {
        useNullSoundCard();
        unsetenv("LENTARO_AUDIO_CAPTURE");
        writeTone(input, kLongInput);
        KVPlayFileInit(KELVOR_ENGINE_PATH);
        startPass(input, kLongTimeFactor, output, 1);
        waitUntilWritten(output, kUnderWay);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");

  EXPECT_LT(wholeOutput(output).size(), fullLength(kLongTimeFactor, kLongInput) / 2);
  std::filesystem::remove(input);
  std::filesystem::remove(output);
}

}  // namespace
