#pragma once

#include "platform/audio/Format.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

namespace lentaro::audio::test {

inline const Format mono16{1, 8000, 16, Encoding::Pcm};

// 16-bit little-endian frames whose every sample is its frame number plus `first`, so any
// reordering, loss or repetition shows.
inline std::vector<std::uint8_t> ramp16(std::size_t frames, int channels = 1, int first = 0) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < frames; ++i) {
    const auto value = static_cast<std::uint16_t>(first + static_cast<int>(i));
    for (int c = 0; c < channels; ++c) {
      bytes.push_back(static_cast<std::uint8_t>(value));
      bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    }
  }
  return bytes;
}

inline std::vector<std::uint8_t> concat(const std::vector<std::vector<std::uint8_t>>& pieces) {
  std::vector<std::uint8_t> all;
  for (const auto& piece : pieces) all.insert(all.end(), piece.begin(), piece.end());
  return all;
}

inline std::vector<std::uint8_t> slice(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t count) {
  return {bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(from + count)};
}

// Waits for a condition that another thread makes true; false when it never comes.
inline bool eventually(const std::function<bool()>& condition) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > giveUp) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace lentaro::audio::test
