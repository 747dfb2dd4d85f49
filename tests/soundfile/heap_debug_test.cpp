// Its own program: the heap announces itself only once per process, at its first allocation.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "soundfile/heap.h"

namespace {

TEST(EngineHeapDebug, FirstAllocationAnnouncesTheHeapOnce) {
  ASSERT_EQ(kv::heapPeakBytes(), 0u) << "the heap was used before this test";
  setenv("LENTARO_ENGINE_DEBUG", "1", 1);
  testing::internal::CaptureStderr();
  void* first = kv::heapAlloc(16);
  void* second = kv::heapAlloc(16);
  const std::string said = testing::internal::GetCapturedStderr();
  kv::heapFree(first);
  kv::heapFree(second);
  EXPECT_TRUE(std::regex_match(said, std::regex("\\*\\* Tarnwick Heap Address = [0-9a-f]+\r\n"))) << said;
}

}  // namespace
