// Releasing the engine: while passes run, after it, and at process exit.

#include "platform/shell/service.h"
#include "player/wait_clock.h"
#include "tests/player/runner_fixture.h"
#include "tests/player/skipping_wait_clock.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

TEST_F(RunnerTest, CleanUpDuringAPassStopsItWaitsAndNothingReportsAfter) {
  engine()->script("loop.wav", MockPassMode::RunUntilStopped, 0);
  ASSERT_EQ(startPass("loop.wav"), 1);
  engine()->waitForRunning(1);

  EXPECT_EQ(KVPlayFileCleanUp(), 1);
  EXPECT_GE(engine()->stopCalls(), 1);
  // The worker has ended, so a report it was going to make would be here already.
  EXPECT_TRUE(CallBackLog::all().empty());

  const int stopCalls = engine()->stopCalls();
  EXPECT_EQ(startPass("next.wav"), 0);
  EXPECT_EQ(KVPlayFileStop(), 1);
  EXPECT_EQ(engine()->passes().size(), 1u);
  EXPECT_EQ(engine()->stopCalls(), stopCalls);

  engine().dropReference();
  EXPECT_FALSE(MockEngine::loaded());
}

// The pass never ends by itself, so the clean-up waits its whole wait, on a clock that skips it.
TEST_F(RunnerTest, CleanUpKeepsTheEngineLoadedWhileAPassIgnoresStop) {
  engine()->script("stuck.wav", MockPassMode::RunUntilReleased, 4);
  ASSERT_EQ(startPass("stuck.wav"), 1);
  engine()->waitForRunning(1);
  // From here only the runner holds the engine: unloading it now would pull
  // the code out from under the blocked worker.
  engine().dropReference();

  {
    SkippingWaitClock skippingClock;
    const lentaro::ScopedOverride skipping(kv::waitClock, skippingClock);
    EXPECT_EQ(KVPlayFileCleanUp(), 0);
  }
  ASSERT_TRUE(MockEngine::loaded());
  EXPECT_GE(engine()->stopCalls(), 1);
  EXPECT_EQ(startPass("next.wav"), 0);

  engine()->release("stuck.wav");
  EXPECT_EQ(KVPlayFileCleanUp(), 1);
  EXPECT_FALSE(MockEngine::loaded());
  EXPECT_TRUE(CallBackLog::all().empty());
}

TEST_F(RunnerTest, InitAfterCleanUpRunsPassesAgain) {
  ASSERT_EQ(KVPlayFileCleanUp(), 1);
  ASSERT_EQ(KVPlayFileInit(MOCK_ENGINE_PATH), 1);
  engine()->script("again.wav", MockPassMode::FinishAtOnce, 6);
  ASSERT_EQ(startPass("again.wav"), 1);
  EXPECT_EQ(CallBackLog::waitFor(1)[0].result, 6);
}

TEST(RunnerExitTest, ExitStopsARunningPassAndLetsItFinish) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string output = TEST_OUTPUT_DIR "/exit_pass_output.txt";
  std::remove(output.c_str());

  EXPECT_EXIT(
      {
        KVPlayFileInit(MOCK_ENGINE_PATH);
        const MockEngine engine;
        engine->script("exit.wav", MockPassMode::RunUntilStopped, 0);
        KVPlayFileStart("exit.wav", 1.0, 1.0, 1024, 1, output.c_str(), 0, 0);
        engine->waitForRunning(1);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");

  // The stand-in writes its output only when stopped and left to finish.
  std::ifstream written(output);
  EXPECT_TRUE(written.is_open());
  std::remove(output.c_str());
}

}  // namespace
