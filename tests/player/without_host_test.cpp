// A host program without lentaroHostMessageBox: the runner's boxes go to stderr.

#include "player/pallomi.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(RunnerWithoutHostBoxTest, BoxTextGoesToStandardError) {
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(KVPlayFileInit("/nonexistent/libkelvor.so"), 0);
  const std::string written = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(written, "KVPlayFile Error: Unable to load /nonexistent/libkelvor.so\n");
}

}  // namespace
