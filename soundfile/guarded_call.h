#pragma once
// What the engines' exported functions return when their work throws: no exception may reach
// their C callers.

#include <cstdint>
#include <new>

#include "soundfile/result_codes.h"

namespace kv {

// work's result, or kOutOfMemory / kInternalError for what it threw.
template <class Work>
int32_t guardedCall(Work&& work) noexcept {
  try {
    return work();
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  } catch (...) {
    return kInternalError;
  }
}

}  // namespace kv
