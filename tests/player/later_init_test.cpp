// KVPlayFileInit while an engine is ready: a failure keeps the engine that
// works, a success switches to the new one and lets the old one go.

#include "tests/player/runner_fixture.h"

#include <dlfcn.h>

#include <ostream>
#include <string>

namespace {

struct FailedLaterInitCase {
  const char* label;
  const char* library;
  std::string box;
  const char* loadedAndDropped;  // a library the failed Init loaded, which must not stay
};

void PrintTo(const FailedLaterInitCase& c, std::ostream* out) { *out << c.label; }

class FailedLaterInitTest : public RunnerTest, public ::testing::WithParamInterface<FailedLaterInitCase> {};

TEST_P(FailedLaterInitTest, ShowsWhyAndLeavesTheWorkingEngineAndItsPassAlone) {
  const FailedLaterInitCase& c = GetParam();
  engine()->script("playing.wav", MockPassMode::RunUntilStopped, 5);
  ASSERT_EQ(startPass("playing.wav"), 1);
  engine()->waitForRunning(1);

  EXPECT_EQ(KVPlayFileInit(c.library), 0);
  EXPECT_EQ(takeShownBoxes(), std::vector<ShownBox>{runnerBox(c.box)});
  if (c.loadedAndDropped) {
    EXPECT_EQ(dlopen(c.loadedAndDropped, RTLD_NOW | RTLD_NOLOAD), nullptr);
  }

  // The pass went on untouched, and stop still reaches it through the engine it runs in.
  EXPECT_EQ(engine()->stopCalls(), 0);
  engine()->setStopResult(-1);
  EXPECT_EQ(KVPlayFileStop(), -1);
  EXPECT_EQ(CallBackLog::waitFor(1)[0].result, 5);

  engine()->script("next.wav", MockPassMode::FinishAtOnce, 9);
  ASSERT_EQ(startPass("next.wav"), 1);
  EXPECT_EQ(CallBackLog::waitFor(2)[1].result, 9);
  EXPECT_EQ(engine()->passes().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Cases, FailedLaterInitTest,
                         ::testing::Values(FailedLaterInitCase{"MissingLibrary", "/nonexistent/libkelvor.so",
                                                               "Unable to load /nonexistent/libkelvor.so", nullptr},
                                           FailedLaterInitCase{"EmptyName", "", "Unable to load ", nullptr},
                                           FailedLaterInitCase{"NullName", nullptr, "Unable to load ", nullptr},
                                           FailedLaterInitCase{"LibraryWithoutEntries", "libm.so.6",
                                                               "Unable to find function addresses", nullptr},
                                           FailedLaterInitCase{"LibraryWithStopEntryOnly", STOP_ONLY_ENGINE_PATH,
                                                               "Unable to find function addresses",
                                                               STOP_ONLY_ENGINE_PATH}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(RunnerTest, LaterInitStopsTheOldEnginesPassWhichStillReportsThenRunsTheNewEngine) {
  engine()->script("playing.wav", MockPassMode::RunUntilStopped, 5);
  ASSERT_EQ(startPass("playing.wav"), 1);
  engine()->waitForRunning(1);

  ASSERT_EQ(KVPlayFileInit(OTHER_MOCK_ENGINE_PATH), 1);
  EXPECT_GE(engine()->stopCalls(), 1);
  // Unlike a clean-up, replacing the engine keeps the program's reports coming.
  EXPECT_EQ(CallBackLog::waitFor(1)[0].result, 5);
  engine().dropReference();
  EXPECT_FALSE(MockEngine::loaded());

  const MockEngine other(OTHER_MOCK_ENGINE_PATH);
  ASSERT_TRUE(other.bound());
  other->reset();
  other->script("next.wav", MockPassMode::FinishAtOnce, 9);
  ASSERT_EQ(startPass("next.wav"), 1);
  EXPECT_EQ(CallBackLog::waitFor(2)[1].result, 9);
  EXPECT_EQ(other->passes().size(), 1u);
  other->setStopResult(-1);
  EXPECT_EQ(KVPlayFileStop(), -1);
}

TEST_F(RunnerTest, LaterInitOfTheSameEngineKeepsItLoadedAndReady) {
  engine().dropReference();
  ASSERT_EQ(KVPlayFileInit(MOCK_ENGINE_PATH), 1);
  ASSERT_TRUE(MockEngine::loaded());

  const MockEngine again;
  again->script("next.wav", MockPassMode::FinishAtOnce, 9);
  ASSERT_EQ(startPass("next.wav"), 1);
  EXPECT_EQ(CallBackLog::waitFor(1)[0].result, 9);
}

}  // namespace
