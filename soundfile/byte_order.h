#pragma once
// Little- and big-endian fields of file headers, and exact reads and writes of them.

#include <cstddef>
#include <cstdint>

#include "soundfile/byte_file.h"

namespace kv {

inline uint16_t getLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t getLE32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
inline void putLE16(uint8_t* p, uint32_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
}
inline void putLE32(uint8_t* p, uint32_t value) {
  putLE16(p, value);
  putLE16(p + 2, value >> 16);
}

inline uint16_t getBE16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline uint32_t getBE32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}
inline void putBE16(uint8_t* p, uint32_t value) {
  p[0] = static_cast<uint8_t>(value >> 8);
  p[1] = static_cast<uint8_t>(value);
}
inline void putBE32(uint8_t* p, uint32_t value) {
  putBE16(p, value >> 16);
  putBE16(p + 2, value);
}

inline bool readExact(ByteFile& file, void* bytes, std::size_t count) { return file.read(bytes, count) == count; }
inline bool writeExact(ByteFile& file, const void* bytes, std::size_t count) {
  return file.write(bytes, count) == count;
}

}  // namespace kv
