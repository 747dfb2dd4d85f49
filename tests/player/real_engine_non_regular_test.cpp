// Passes the runner starts on anything but a regular file end at once with the engine's -1: no
// worker is held in an open that no stop can reach, so clean-up releases the engine at once.

#include "tests/player/real_engine_fixture.h"

#include "soundfile/result_codes.h"
#include "tests/support/non_regular_files.h"

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace realengine;

class NonRegularFileTest : public RealEngineTest, public ::testing::WithParamInterface<kvtest::NonRegularCase> {};

TEST_P(NonRegularFileTest, AsInputEndsTheRenderedAndPlayedPassesAndLeavesTheOutputsAlone) {
  const kvtest::NonRegularFile special(GetParam().kind, path(""), "in.wav");
  ASSERT_TRUE(special.made());
  writeAll(path("old.wav"), std::vector<uint8_t>(5000, 0x55));
  const auto before = folder();
  struct Pass {
    const char* output;
    int32_t playFlag;
  };
  const Pass passes[] = {{"new.wav", 0}, {"old.wav", 0}, {"old.wav", 1}, {nullptr, 1}};
  for (const Pass& pass : passes) {
    ASSERT_EQ(startPass(special.path(), 1.5, pass.output ? path(pass.output) : "", pass.playFlag), 1);
  }
  const std::vector<CallBack> callBacks = waitForCallBacks(std::size(passes));
  ASSERT_EQ(callBacks.size(), std::size(passes));
  for (const CallBack& callBack : callBacks) EXPECT_EQ(callBack.result, kv::kCannotOpen);
  EXPECT_TRUE(folder() == before);
  EXPECT_EQ(KVPlayFileCleanUp(), 1);  // no worker is left inside the engine
}

TEST_P(NonRegularFileTest, AsOutputEndsThePassAndIsLeftAsItWas) {
  const std::string input = toneFile("in.wav", 4410);
  const kvtest::NonRegularFile special(GetParam().kind, path(""), "out.wav");
  ASSERT_TRUE(special.made());
  const auto before = folder();
  ASSERT_EQ(startPass(input, 1.5, special.path(), 0), 1);
  ASSERT_EQ(startPass(input, 1.5, special.path(), 1), 1);
  const std::vector<CallBack> callBacks = waitForCallBacks(2);
  ASSERT_EQ(callBacks.size(), 2u);
  for (const CallBack& callBack : callBacks) EXPECT_EQ(callBack.result, kv::kCannotOpen);
  EXPECT_TRUE(folder() == before);
  EXPECT_EQ(special.takeWritten(), "");
  EXPECT_EQ(KVPlayFileCleanUp(), 1);
}

INSTANTIATE_TEST_SUITE_P(Kinds, NonRegularFileTest, ::testing::ValuesIn(kvtest::nonRegularCases()),
                         kvtest::nonRegularCaseName);

}  // namespace
