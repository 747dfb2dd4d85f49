#pragma once
// The one guard of every exported function of the engine family: no exception may reach a C
// caller. Header-only, so any library of the family uses it without linking anything.

#include <new>
#include <type_traits>

namespace kv {

// work's result; outOfMemory when it threw std::bad_alloc, failed for anything else it threw.
template <class Work>
std::invoke_result_t<Work&> guardedCall(Work&& work, std::invoke_result_t<Work&> outOfMemory,
                                        std::invoke_result_t<Work&> failed) noexcept {
  try {
    return work();
  } catch (const std::bad_alloc&) {
    return outOfMemory;
  } catch (...) {
    return failed;
  }
}

// For exports that return nothing: whatever work throws ends here.
template <class Work>
void guardedCall(Work&& work) noexcept {
  static_assert(std::is_void_v<std::invoke_result_t<Work&>>, "name the results to give when work throws");
  try {
    work();
  } catch (...) {
  }
}

}  // namespace kv
