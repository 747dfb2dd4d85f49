#include "engine/vector_path.h"

#include <atomic>

#include "engine/vector_clones.h"

namespace kv {

namespace {

bool processorRunsAvx2() noexcept {
#if KV_AVX2_BUILD
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

std::atomic<VectorPath>& chosenPath() noexcept {
  static std::atomic<VectorPath> path{processorRunsAvx2() ? VectorPath::kAvx2 : VectorPath::kGeneric};
  return path;
}

}  // namespace

bool vectorPathAvailable(VectorPath path) noexcept {
  static const bool avx2 = processorRunsAvx2();
  return path == VectorPath::kGeneric || (path == VectorPath::kAvx2 && avx2);
}

VectorPath vectorPath() noexcept { return chosenPath().load(std::memory_order_relaxed); }

bool chooseVectorPath(VectorPath path) noexcept {
  if (!vectorPathAvailable(path)) return false;
  chosenPath().store(path, std::memory_order_relaxed);
  return true;
}

}  // namespace kv
