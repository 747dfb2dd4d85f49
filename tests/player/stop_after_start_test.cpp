// A stop that comes before a pass could be reached in the engine: the runner keeps a pass that
// has not gone in out of it, repeats the stop while a pass may still be on its way in, and lets
// passes started afterwards in only once those stops are over, so none of them is stopped.

#include "tests/player/runner_fixture.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

class StopAfterStartTest : public RunnerTest {
 protected:
  void SetUp() override {
    RunnerTest::SetUp();
    std::filesystem::remove(kNextOutput);
  }

  void TearDown() override {
    // Whatever a failed case left running ends, so clean-up finds nothing stuck.
    engine()->holdRegistration(false);
    for (const char* input : {"late.wav", "stubborn.wav", "next.wav"}) engine()->release(input);
    std::filesystem::remove(kNextOutput);
    RunnerTest::TearDown();
  }

  // A pass inside the engine that has been asked to stop but goes on until released: its stop
  // stays pending.
  void startStubbornPassAndStopIt() {
    engine()->script("stubborn.wav", MockPassMode::RunUntilReleased, 3);
    ASSERT_EQ(startPass("stubborn.wav"), 1);
    ASSERT_TRUE(engine()->waitFor(MockEvent::Running, 1, kHangLimit));
    ASSERT_EQ(KVPlayFileStop(), 0);
  }

  // Until the runner has repeated the stop a few more times.
  void waitForRepeatedStops() {
    ASSERT_TRUE(engine()->waitFor(MockEvent::StopCalls, engine()->stopCalls() + 3, kHangLimit));
  }

  // A pass that runs until released; the stand-in writes its output only if a stop reached it.
  void startNextPass() {
    engine()->script("next.wav", MockPassMode::RunUntilReleased, 9);
    ASSERT_EQ(KVPlayFileStart("next.wav", 1.0, 1.0, 1024, 1, kNextOutput, 0, 0), 1);
  }

  static constexpr char kNextOutput[] = TEST_OUTPUT_DIR "/stop_after_start_next.txt";
};

TEST_F(StopAfterStartTest, StopThatMissesAPassOnItsWayInIsRepeatedUntilThePassEnds) {
  engine()->holdRegistration(true);
  engine()->script("late.wav", MockPassMode::RunUntilStopped, 5);
  ASSERT_EQ(startPass("late.wav"), 1);
  ASSERT_TRUE(engine()->waitFor(MockEvent::Arrived, 1, kHangLimit));
  // Inside the engine's call, but not yet where a stop reaches it.
  EXPECT_EQ(KVPlayFileStop(), 0);
  engine()->holdRegistration(false);

  const std::vector<CallBack> callBacks = CallBackLog::waitFor(1, kHangLimit);
  ASSERT_EQ(callBacks.size(), 1u);
  EXPECT_EQ(callBacks[0].result, 5);
  EXPECT_GE(engine()->stopCalls(), 2);
}

TEST_F(StopAfterStartTest, PassStartedWhileAStopIsPendingGoesInAfterTheStoppedPassAndIsNotStopped) {
  startStubbornPassAndStopIt();
  startNextPass();
  waitForRepeatedStops();
  EXPECT_EQ(engine()->passes().size(), 1u);  // held back

  engine()->release("stubborn.wav");
  EXPECT_EQ(CallBackLog::waitFor(1, kHangLimit).at(0).result, 3);
  ASSERT_TRUE(engine()->waitFor(MockEvent::Running, 1, kHangLimit));
  const int stopCallsWhileItRuns = engine()->stopCalls();
  engine()->release("next.wav");
  EXPECT_EQ(CallBackLog::waitFor(2, kHangLimit).at(1).result, 9);
  EXPECT_EQ(engine()->stopCalls(), stopCallsWhileItRuns);
  EXPECT_FALSE(std::filesystem::exists(kNextOutput));
}

TEST_F(StopAfterStartTest, PassAskedToStopBeforeItWentInNeverGoesInAndReportsAsAStoppedPass) {
  startStubbornPassAndStopIt();
  startNextPass();
  EXPECT_EQ(KVPlayFileStop(), 0);
  // It reports at once, while the stopped pass before it still runs.
  EXPECT_EQ(CallBackLog::waitFor(1, kHangLimit).at(0).result, 0);

  engine()->release("stubborn.wav");
  EXPECT_EQ(CallBackLog::waitFor(2, kHangLimit).at(1).result, 3);
  EXPECT_EQ(engine()->passes().size(), 1u);
}

TEST_F(StopAfterStartTest, StopWithNoPassLeavesTheNextPassAlone) {
  EXPECT_EQ(KVPlayFileStop(), 0);
  startNextPass();
  ASSERT_TRUE(engine()->waitFor(MockEvent::Running, 1, kHangLimit));
  engine()->release("next.wav");
  EXPECT_EQ(CallBackLog::waitFor(1, kHangLimit).at(0).result, 9);
  EXPECT_EQ(engine()->stopCalls(), 1);
  EXPECT_FALSE(std::filesystem::exists(kNextOutput));
}

}  // namespace
