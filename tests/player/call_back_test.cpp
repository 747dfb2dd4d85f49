// Registering the completion callback: every pass that ends afterwards reports
// to the new one, and registering never waits for a report under way.

#include "tests/player/runner_fixture.h"

#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

namespace {

// A callback that holds its worker until the test opens the gate.
class HeldCallBack {
 public:
  static void call(int32_t result) {
    std::unique_lock<std::mutex> lock(mutex_);
    results_.push_back(result);
    changed_.notify_all();
    changed_.wait(lock, [] { return open_; });
  }

  static void close() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = false;
    results_.clear();
  }

  static void open() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      open_ = true;
    }
    changed_.notify_all();
  }

  // Blocks until a report has come in and is being held; throws after kHangLimit.
  static std::vector<int32_t> waitForHeld() {
    std::unique_lock<std::mutex> lock(mutex_);
    waitOrThrow(
        changed_, lock, [] { return !results_.empty(); }, "a held report");
    return results_;
  }

  static std::vector<int32_t> results() {
    std::lock_guard<std::mutex> lock(mutex_);
    return results_;
  }

 private:
  static inline std::mutex mutex_;
  static inline std::condition_variable changed_;
  static inline bool open_ = false;
  static inline std::vector<int32_t> results_;
};

class CallBackRegistrationTest : public RunnerTest {
 protected:
  void SetUp() override {
    HeldCallBack::close();
    RunnerTest::SetUp();
  }

  void TearDown() override {
    // A held report would keep clean-up waiting for its worker.
    HeldCallBack::open();
    RunnerTest::TearDown();
  }
};

TEST_F(CallBackRegistrationTest, ReturnsWhileTheOldCallBackIsStillRunning) {
  KVPlayFileRegisterCallBack(&HeldCallBack::call);
  engine()->script("first.wav", MockPassMode::FinishAtOnce, 3);
  ASSERT_EQ(startPass("first.wav"), 1);
  EXPECT_EQ(HeldCallBack::waitForHeld(), std::vector<int32_t>{3});

  // The user-interface thread registers; the first report is still held.
  KVPlayFileRegisterCallBack(&CallBackLog::record);
  engine()->script("second.wav", MockPassMode::FinishAtOnce, 4);
  ASSERT_EQ(startPass("second.wav"), 1);
  EXPECT_EQ(CallBackLog::waitFor(1)[0].result, 4);
  EXPECT_EQ(HeldCallBack::results(), std::vector<int32_t>{3});
}

struct ReplacementCase {
  const char* label;
  PlayFileCallBack replacement;
  std::vector<int32_t> replacementReports;  // what the replacement receives
};

void PrintTo(const ReplacementCase& c, std::ostream* out) { *out << c.label; }

class CallBackReplacementTest : public CallBackRegistrationTest,
                                public ::testing::WithParamInterface<ReplacementCase> {};

TEST_P(CallBackReplacementTest, PassEndingAfterwardsReportsOnlyToTheReplacement) {
  const ReplacementCase& c = GetParam();
  const int threadsBefore = threadBaseline();
  engine()->script("playing.wav", MockPassMode::RunUntilReleased, 6);
  ASSERT_EQ(startPass("playing.wav"), 1);
  engine()->waitForRunning(1);

  KVPlayFileRegisterCallBack(c.replacement);
  HeldCallBack::open();
  engine()->release("playing.wav");
  // Once its worker has gone, every report the pass was going to make has come.
  ASSERT_EQ(waitForThreadCount(threadsBefore), threadsBefore);
  EXPECT_EQ(HeldCallBack::results(), c.replacementReports);
  EXPECT_TRUE(CallBackLog::all().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, CallBackReplacementTest,
                         ::testing::Values(ReplacementCase{"Another", &HeldCallBack::call, {6}},
                                           ReplacementCase{"Null", nullptr, {}}),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
