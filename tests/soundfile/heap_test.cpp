#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "soundfile/heap.h"

namespace {

TEST(EngineHeap, CountsWhatIsOutAndThePeak) {
  const std::size_t base = kv::heapBytesInUse();
  kv::heapResetPeak();
  void* a = kv::heapAlloc(1000);
  void* b = kv::heapAllocZeroed(10, 300);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(kv::heapBytesInUse(), base + 4000);
  kv::heapFree(a);
  EXPECT_EQ(kv::heapBytesInUse(), base + 3000);
  EXPECT_EQ(kv::heapPeakBytes(), base + 4000);
  kv::heapFree(b);
  kv::heapFree(nullptr);
  EXPECT_EQ(kv::heapBytesInUse(), base);
  kv::heapResetPeak();
  EXPECT_EQ(kv::heapPeakBytes(), base);
}

TEST(EngineHeap, ZeroedBlocksAreClearAndOverflowingRequestsFail) {
  auto* block = static_cast<unsigned char*>(kv::heapAllocZeroed(64, 8));
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 512; ++i) ASSERT_EQ(block[i], 0);
  kv::heapFree(block);
  EXPECT_EQ(kv::heapAllocZeroed(SIZE_MAX / 2, 4), nullptr);
}

TEST(EngineHeap, ContainersCanLiveOnIt) {
  const std::size_t base = kv::heapBytesInUse();
  {
    std::vector<double, kv::HeapAllocator<double>> values(1000, 1.5);
    EXPECT_GE(kv::heapBytesInUse(), base + 1000 * sizeof(double));
    values.resize(5000);
    EXPECT_EQ(values[999], 1.5);
  }
  EXPECT_EQ(kv::heapBytesInUse(), base);
}

}  // namespace
