// Ending passes of the real engine early: stop, clean-up while a pass plays,
// and many short passes in a row.

#include "tests/player/real_engine_fixture.h"

#include "soundfile/result_codes.h"

#include <dlfcn.h>

#include <iterator>
#include <ostream>

namespace {

using namespace realengine;

// Long enough that no pass here runs to its end unless a stop goes astray.
constexpr std::size_t kLongInput = 30 * 44100;
constexpr double kLongTimeFactor = 2.0;
// A second of written sound: the pass is well under way.
constexpr std::uintmax_t kUnderWay = 44 + 2 * 44100;

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
    // Stop only once the pass can be reached: a stop before it began would
    // find nothing to stop.
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
