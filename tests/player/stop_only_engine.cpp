// An engine library that has the stop entry but lacks the time-scale entry.

#include <atomic>
#include <cstdint>

namespace {
std::atomic<int> stopCalls{0};
}

extern "C" int32_t kv_StopTimeScale(void) {
  ++stopCalls;
  return -1;
}

extern "C" int stopOnlyEngineStopCalls(void) { return stopCalls; }
