#pragma once

#include "player/pallomi.h"
#include "tests/player/runner_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

// Loads the stand-in engine and registers the recording callback for each test,
// and lets the engine go afterwards, so the tests run in any order in one process.
class RunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    takeShownBoxes();
    CallBackLog::clear();
    ASSERT_EQ(KVPlayFileInit(MOCK_ENGINE_PATH), 1);
    KVPlayFileRegisterCallBack(&CallBackLog::record);
    engine_ = std::make_unique<MockEngine>();
    ASSERT_TRUE(engine_->bound());
    (*engine_)->reset();
  }

  void TearDown() override {
    KVPlayFileCleanUp();
    engine_.reset();
    EXPECT_EQ(takeShownBoxes(), std::vector<ShownBox>{});
  }

  MockEngine& engine() { return *engine_; }

  static int32_t startPass(const char* inputPath) {
    return KVPlayFileStart(inputPath, 1.0, 1.0, 1024, 1, nullptr, 0, 0);
  }

 private:
  std::unique_ptr<MockEngine> engine_;
};
