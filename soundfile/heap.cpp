#include "soundfile/heap.h"

#include <atomic>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kv {

namespace {

// Each block carries its size in front so that frees can be counted.
constexpr std::size_t kHeader = alignof(std::max_align_t);
static_assert(kHeader >= sizeof(std::size_t), "block header too small for its size field");

class EngineHeap {
 public:
  EngineHeap() {
    // One line a debugger's log can find the heap by; only on request, so normal runs stay quiet.
    if (std::getenv("LENTARO_ENGINE_DEBUG")) {
      std::fprintf(stderr, "** Tarnwick Heap Address = %" PRIxPTR "\r\n", reinterpret_cast<std::uintptr_t>(this));
    }
    created_.store(true, std::memory_order_release);
  }

  void* allocate(std::size_t bytes, bool zeroed) noexcept {
    if (bytes > SIZE_MAX - kHeader) return nullptr;
    void* raw = zeroed ? std::calloc(1, kHeader + bytes) : std::malloc(kHeader + bytes);
    if (!raw) return nullptr;
    std::memcpy(raw, &bytes, sizeof bytes);
    const std::size_t now = inUse_.fetch_add(bytes, std::memory_order_relaxed) + bytes;
    std::size_t peak = peak_.load(std::memory_order_relaxed);
    while (now > peak && !peak_.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
    }
    return static_cast<unsigned char*>(raw) + kHeader;
  }

  void release(void* block) noexcept {
    unsigned char* raw = static_cast<unsigned char*>(block) - kHeader;
    std::size_t bytes;
    std::memcpy(&bytes, raw, sizeof bytes);
    inUse_.fetch_sub(bytes, std::memory_order_relaxed);
    std::free(raw);
  }

  std::size_t inUse() const noexcept { return inUse_.load(std::memory_order_relaxed); }
  std::size_t peak() const noexcept { return peak_.load(std::memory_order_relaxed); }
  void resetPeak() noexcept { peak_.store(inUse(), std::memory_order_relaxed); }

  static bool created() noexcept { return created_.load(std::memory_order_acquire); }

 private:
  std::atomic<std::size_t> inUse_{0};
  std::atomic<std::size_t> peak_{0};
  static std::atomic<bool> created_;
};

std::atomic<bool> EngineHeap::created_{false};

EngineHeap& theHeap() {
  static EngineHeap heap;
  return heap;
}

}  // namespace

void* heapAlloc(std::size_t bytes) noexcept { return theHeap().allocate(bytes, false); }

void* heapAllocZeroed(std::size_t count, std::size_t size) noexcept {
  if (size != 0 && count > SIZE_MAX / size) return nullptr;
  return theHeap().allocate(count * size, true);
}

void heapFree(void* block) noexcept {
  if (!block || !EngineHeap::created()) return;
  theHeap().release(block);
}

std::size_t heapBytesInUse() noexcept { return EngineHeap::created() ? theHeap().inUse() : 0; }
std::size_t heapPeakBytes() noexcept { return EngineHeap::created() ? theHeap().peak() : 0; }
void heapResetPeak() noexcept {
  if (EngineHeap::created()) theHeap().resetPeak();
}

}  // namespace kv
