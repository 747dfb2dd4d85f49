// Passes started through the runner: what reaches the engine, what comes back
// through the callback, stopping.

#include "tests/player/runner_fixture.h"

#include <optional>
#include <ostream>
#include <string>
#include <thread>

namespace {

struct ArgumentsCase {
  const char* label;
  std::optional<std::string> input;
  double pitchFactor;
  double timeFactor;
  int16_t fftSize;
  int16_t windowMode;
  std::optional<std::string> output;  // as passed to KVPlayFileStart
  int16_t playFlag;
  int16_t channelChoice;
  std::optional<std::string> engineOutput;  // what the engine must receive
};

void PrintTo(const ArgumentsCase& c, std::ostream* out) { *out << c.label; }

const char* orNull(const std::optional<std::string>& text) { return text ? text->c_str() : nullptr; }

std::vector<ArgumentsCase> argumentsCases() {
  const std::string home = "/home/player/.local/share/lentaro/";
  // Beyond the 263 and 259 characters the job record once held.
  const std::string longInput = "/tmp/" + std::string(1000, 'i') + ".wav";
  const std::string longOutput = "/tmp/" + std::string(700, 'o') + ".wav";
  return {
      {"Rendered", home + "temp.wav", 1.0594630943592953, 1.25, 2048, 1, home + "tempslow.wav", 0, 0,
       home + "tempslow.wav"},
      {"RealTimeSecondChannel", home + "temp.wav", 0.5, 2.0, 512, 1, std::nullopt, 1, 2, std::nullopt},
      {"NegativeValues", "in.wav", -0.5, -2.0, -1, -32768, "out.wav", -1, -2, "out.wav"},
      {"NullOutput", "in.wav", 1.0, 1.0, 1024, 1, std::nullopt, 1, 0, std::nullopt},
      {"EmptyOutput", "in.wav", 1.0, 1.0, 1024, 1, "", 1, 0, std::nullopt},
      {"LongPaths", longInput, 1.0, 1.5, 1024, 1, longOutput, 0, 0, longOutput},
      {"NullInput", std::nullopt, 1.0, 1.0, 1024, 1, "out.wav", 0, 0, "out.wav"},
  };
}

class PassArgumentsTest : public RunnerTest, public ::testing::WithParamInterface<ArgumentsCase> {};

TEST_P(PassArgumentsTest, ReachTheEngineUnchanged) {
  const ArgumentsCase& c = GetParam();
  ASSERT_EQ(KVPlayFileStart(orNull(c.input), c.pitchFactor, c.timeFactor, c.fftSize, c.windowMode, orNull(c.output),
                            c.playFlag, c.channelChoice),
            1);
  CallBackLog::waitFor(1);

  const std::vector<MockPass> passes = engine()->passes();
  ASSERT_EQ(passes.size(), 1u);
  const MockPass& pass = passes[0];
  EXPECT_EQ(pass.inputPath, c.input);
  EXPECT_EQ(pass.pitchFactor, c.pitchFactor);
  EXPECT_EQ(pass.timeFactor, c.timeFactor);
  EXPECT_EQ(pass.fftSize, c.fftSize);
  EXPECT_EQ(pass.windowMode, c.windowMode);
  EXPECT_EQ(pass.outputPath, c.engineOutput);
  EXPECT_EQ(pass.playFlag, c.playFlag);
  EXPECT_EQ(pass.channelChoice, c.channelChoice);
}

INSTANTIATE_TEST_SUITE_P(Cases, PassArgumentsTest, ::testing::ValuesIn(argumentsCases()),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(RunnerTest, CallBackGetsEachPassResultOnItsWorkerThread) {
  const std::vector<int32_t> results{0, 12, -1, 13};
  for (std::size_t i = 0; i < results.size(); ++i) {
    const std::string input = "pass" + std::to_string(i) + ".wav";
    engine()->script(input.c_str(), MockPassMode::FinishAtOnce, results[i]);
    ASSERT_EQ(startPass(input.c_str()), 1);
    CallBackLog::waitFor(i + 1);
  }
  const std::vector<CallBack> callBacks = CallBackLog::all();
  ASSERT_EQ(callBacks.size(), results.size());
  for (std::size_t i = 0; i < results.size(); ++i) {
    EXPECT_EQ(callBacks[i].result, results[i]);
    EXPECT_NE(callBacks[i].thread, std::this_thread::get_id());
  }
}

TEST_F(RunnerTest, PassWithoutCallBackEndsSilently) {
  KVPlayFileRegisterCallBack(nullptr);
  ASSERT_EQ(startPass("quiet.wav"), 1);
  // Clean-up keeps a pass that has not yet reached the engine out of it.
  ASSERT_TRUE(engine()->waitFor(MockEvent::Arrived, 1, kHangLimit));
  // Clean-up waits for the worker, so a report would have come by now.
  EXPECT_EQ(KVPlayFileCleanUp(), 1);
  EXPECT_EQ(engine()->passes().size(), 1u);
  EXPECT_TRUE(CallBackLog::all().empty());
}

TEST_F(RunnerTest, TwoPassesRunAtOnceAndEachReportsItsOwnResult) {
  engine()->script("first.wav", MockPassMode::RunUntilReleased, 3);
  engine()->script("second.wav", MockPassMode::RunUntilReleased, 7);
  ASSERT_EQ(startPass("first.wav"), 1);
  ASSERT_EQ(startPass("second.wav"), 1);
  engine()->waitForRunning(2);

  engine()->release("second.wav");
  EXPECT_EQ(CallBackLog::waitFor(1)[0].result, 7);
  engine()->release("first.wav");
  const std::vector<CallBack> callBacks = CallBackLog::waitFor(2);
  EXPECT_EQ(callBacks[1].result, 3);
  EXPECT_NE(callBacks[0].thread, callBacks[1].thread);
}

TEST_F(RunnerTest, StopWithNoPassRunningReturnsTheEngineResultAndChangesNothing) {
  const std::vector<int32_t> stopResults{0, -1};
  for (std::size_t i = 0; i < stopResults.size(); ++i) {
    engine()->setStopResult(stopResults[i]);
    EXPECT_EQ(KVPlayFileStop(), stopResults[i]);
    EXPECT_EQ(engine()->stopCalls(), static_cast<int>(i + 1));
  }
  EXPECT_TRUE(engine()->passes().empty());
  EXPECT_TRUE(CallBackLog::all().empty());
}

TEST_F(RunnerTest, StoppedPassStillReports) {
  engine()->script("loop.wav", MockPassMode::RunUntilStopped, 5);
  ASSERT_EQ(startPass("loop.wav"), 1);
  engine()->waitForRunning(1);
  EXPECT_EQ(KVPlayFileStop(), 0);
  EXPECT_EQ(CallBackLog::waitFor(1)[0].result, 5);
}

TEST_F(RunnerTest, TwoHundredStartStopCyclesLeaveNoWorkerBehind) {
  const int threadsBefore = threadBaseline();
  engine()->script("loop.wav", MockPassMode::RunUntilStopped, 0);
  constexpr std::size_t kCycles = 200;
  for (std::size_t i = 0; i < kCycles; ++i) {
    ASSERT_EQ(startPass("loop.wav"), 1);
    engine()->waitForRunning(1);
    ASSERT_EQ(KVPlayFileStop(), 0);
    CallBackLog::waitFor(i + 1);
  }
  EXPECT_EQ(CallBackLog::all().size(), kCycles);
  EXPECT_EQ(KVPlayFileCleanUp(), 1);
  EXPECT_EQ(waitForThreadCount(threadsBefore), threadsBefore);
}

}  // namespace
