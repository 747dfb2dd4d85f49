#include "soundfile/guarded_call.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <stdexcept>

namespace {

constexpr int32_t kOutOfMemory = -7;
constexpr int32_t kFailed = -9;

TEST(GuardedCall, GivesTheWorksResultOrTheValueNamedForWhatItThrew) {
  EXPECT_EQ(kv::guardedCall([] { return int32_t{42}; }, kOutOfMemory, kFailed), 42);
  EXPECT_EQ(kv::guardedCall([]() -> int32_t { throw std::bad_alloc(); }, kOutOfMemory, kFailed), kOutOfMemory);
  // A derived allocation failure is still running out of memory.
  EXPECT_EQ(kv::guardedCall([]() -> int32_t { throw std::bad_array_new_length(); }, kOutOfMemory, kFailed),
            kOutOfMemory);
  EXPECT_EQ(kv::guardedCall([]() -> int32_t { throw std::runtime_error("x"); }, kOutOfMemory, kFailed), kFailed);
  EXPECT_EQ(kv::guardedCall([]() -> int32_t { throw 3; }, kOutOfMemory, kFailed), kFailed);
}

TEST(GuardedCall, WorkThatReturnsNothingRunsAndWhatItThrowsStopsThere) {
  int runs = 0;
  kv::guardedCall([&] { ++runs; });
  EXPECT_NO_THROW(kv::guardedCall([&] {
    ++runs;
    throw std::runtime_error("x");
  }));
  EXPECT_EQ(runs, 2);
}

}  // namespace
