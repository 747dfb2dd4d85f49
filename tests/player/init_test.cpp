// KVPlayFileInit: finding the engine, failing, and what the runner does
// afterwards. Every test starts with its own Init, so they run in any order in
// one process.

#include "player/pallomi.h"
#include "tests/player/runner_test_support.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

const ShownBox kMustInitBox = runnerBox("KVPlayFileInit must be called first");

struct FailedInitCase {
  const char* label;
  const char* library;
  std::string box;
  int32_t stopResult;  // the stop entry's -1 where one was found, else the runner's 1
};

void PrintTo(const FailedInitCase& c, std::ostream* out) { *out << c.label; }

class InitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    takeShownBoxes();
    CallBackLog::clear();
    KVPlayFileRegisterCallBack(&CallBackLog::record);
  }
};

class FailedInitTest : public InitTest, public ::testing::WithParamInterface<FailedInitCase> {};

TEST_P(FailedInitTest, ShowsWhyAndLeavesTheRunnerNotReady) {
  const FailedInitCase& c = GetParam();
  EXPECT_EQ(KVPlayFileInit(c.library), 0);
  EXPECT_EQ(takeShownBoxes(), std::vector<ShownBox>{runnerBox(c.box)});

  EXPECT_EQ(KVPlayFileStart("in.wav", 1.0, 1.0, 1024, 1, "out.wav", 0, 0), 0);
  EXPECT_EQ(takeShownBoxes(), std::vector<ShownBox>{kMustInitBox});
  EXPECT_EQ(KVPlayFileStop(), c.stopResult);
  EXPECT_TRUE(CallBackLog::all().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, FailedInitTest,
                         ::testing::Values(FailedInitCase{"MissingLibrary", "/nonexistent/libkelvor.so",
                                                          "Unable to load /nonexistent/libkelvor.so", 1},
                                           FailedInitCase{"EmptyName", "", "Unable to load ", 1},
                                           FailedInitCase{"NullName", nullptr, "Unable to load ", 1},
                                           FailedInitCase{"LibraryWithoutEntries", "libm.so.6",
                                                          "Unable to find function addresses", 1},
                                           FailedInitCase{"LibraryWithStopEntryOnly", STOP_ONLY_ENGINE_PATH,
                                                          "Unable to find function addresses", -1}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(InitTest, EngineBesideTheRunnerIsFoundByItsBareName) {
  EXPECT_EQ(KVPlayFileInit("libmockkelvor.so"), 1);
  EXPECT_TRUE(MockEngine::loaded());
  EXPECT_EQ(KVPlayFileCleanUp(), 1);
  EXPECT_TRUE(takeShownBoxes().empty());
}

TEST_F(InitTest, GoodInitAfterAFailedOneMakesTheRunnerReady) {
  EXPECT_EQ(KVPlayFileInit("/nonexistent/libkelvor.so"), 0);
  ASSERT_EQ(KVPlayFileInit(MOCK_ENGINE_PATH), 1);
  ASSERT_EQ(KVPlayFileStart("in.wav", 1.0, 1.0, 1024, 1, nullptr, 0, 0), 1);
  EXPECT_EQ(CallBackLog::waitFor(1)[0].result, 0);
  EXPECT_EQ(KVPlayFileCleanUp(), 1);
  EXPECT_EQ(takeShownBoxes(), std::vector<ShownBox>{runnerBox("Unable to load /nonexistent/libkelvor.so")});
}

}  // namespace
