// The runner before any KVPlayFileInit in the process: nothing here may call it.

#include "player/pallomi.h"
#include "tests/player/runner_test_support.h"

#include <gtest/gtest.h>

namespace {

TEST(RunnerBeforeInitTest, StartShowsOneBoxAndStartsNothing) {
  takeShownBoxes();
  KVPlayFileRegisterCallBack(&CallBackLog::record);
  const int threadsBefore = threadBaseline();

  EXPECT_EQ(KVPlayFileStart("in.wav", 1.0, 1.0, 1024, 1, "out.wav", 1, 0), 0);
  EXPECT_EQ(takeShownBoxes(), std::vector<ShownBox>{runnerBox("KVPlayFileInit must be called first")});
  EXPECT_EQ(threadCount(), threadsBefore);
  EXPECT_TRUE(CallBackLog::all().empty());
}

TEST(RunnerBeforeInitTest, StopAndCleanUpFindNoEngine) {
  takeShownBoxes();
  EXPECT_EQ(KVPlayFileStop(), 1);
  EXPECT_EQ(KVPlayFileCleanUp(), 0);
  EXPECT_TRUE(takeShownBoxes().empty());
}

}  // namespace
