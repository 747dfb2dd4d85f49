#pragma once
// The engine heap: every engine object and sample buffer comes from this one private allocator,
// which is created on first use and counts what it hands out so a benchmark can report the peak.

#include <cstddef>
#include <limits>
#include <new>

namespace kv {

// Returns null when memory runs out; the caller turns that into kOutOfMemory.
void* heapAlloc(std::size_t bytes) noexcept;
// count × size bytes, cleared; null on overflow or when memory runs out.
void* heapAllocZeroed(std::size_t count, std::size_t size) noexcept;
// A null block is ignored.
void heapFree(void* block) noexcept;

// Bytes handed out and not yet freed, and the most that was ever out at once.
std::size_t heapBytesInUse() noexcept;
std::size_t heapPeakBytes() noexcept;
// Restarts the peak from the bytes now in use (to measure one pass).
void heapResetPeak() noexcept;

// Deleter for a std::unique_ptr to a block from heapAlloc or heapAllocZeroed.
struct HeapRelease {
  void operator()(void* block) const noexcept { heapFree(block); }
};

// Lets standard containers take their storage from the engine heap.
template <class T>
struct HeapAllocator {
  using value_type = T;

  HeapAllocator() noexcept = default;
  template <class U>
  HeapAllocator(const HeapAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) {
    if (n > std::numeric_limits<std::size_t>::max() / sizeof(T)) throw std::bad_array_new_length();
    void* block = heapAlloc(n * sizeof(T));
    if (!block) throw std::bad_alloc();
    return static_cast<T*>(block);
  }
  void deallocate(T* block, std::size_t) noexcept { heapFree(block); }
};

template <class T, class U>
bool operator==(const HeapAllocator<T>&, const HeapAllocator<U>&) noexcept {
  return true;
}
template <class T, class U>
bool operator!=(const HeapAllocator<T>&, const HeapAllocator<U>&) noexcept {
  return false;
}

}  // namespace kv
