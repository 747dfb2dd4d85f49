#pragma once
// Builds AIFF and AIFC files byte by byte (big-endian IFF chunks), so that tests can state exactly
// what a file holds.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/soundfile/support/riff_builder.h"

namespace kvtest {

inline void appendBE16(Bytes& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value));
}
inline void appendBE32(Bytes& out, uint32_t value) {
  appendBE16(out, value >> 16);
  appendBE16(out, value & 0xFFFF);
}

// The 32-bit big-endian field at byte at.
inline uint32_t fieldBE32(const Bytes& bytes, std::size_t at) {
  return static_cast<uint32_t>(bytes[at]) << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3];
}

// One chunk: id, stated size (the body's size unless given), body, and the pad byte an odd body needs.
inline Bytes iffChunk(const std::string& id, const Bytes& body, int64_t statedSize = -1) {
  Bytes out;
  appendText(out, id);
  appendBE32(out, statedSize >= 0 ? static_cast<uint32_t>(statedSize) : static_cast<uint32_t>(body.size()));
  appendBytes(out, body);
  if (body.size() % 2) out.push_back(0);
  return out;
}

// "FORM", the size of what follows, the form type, then the chunks in order.
inline Bytes form(const std::vector<Bytes>& chunks, const std::string& type = "AIFF") {
  Bytes body;
  appendText(body, type);
  for (const Bytes& c : chunks) appendBytes(body, c);
  Bytes out;
  appendText(out, "FORM");
  appendBE32(out, static_cast<uint32_t>(body.size()));
  appendBytes(out, body);
  return out;
}

// The 80-bit rates tests use, most significant byte first.
inline Bytes rate44100() { return {0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}; }
inline Bytes rate8000() { return {0x40, 0x0B, 0xFA, 0x00, 0, 0, 0, 0, 0, 0}; }

// The 18-byte COMM body; AIFC adds a compression type and name.
inline Bytes commBody(uint16_t channels, uint32_t frames, uint16_t bits, const Bytes& rate) {
  Bytes out;
  appendBE16(out, channels);
  appendBE32(out, frames);
  appendBE16(out, bits);
  appendBytes(out, rate);
  return out;
}
inline Bytes aifcCommBody(uint16_t channels, uint32_t frames, uint16_t bits, const Bytes& rate,
                          const std::string& compression, const std::string& name) {
  Bytes out = commBody(channels, frames, bits, rate);
  appendText(out, compression);
  out.push_back(static_cast<uint8_t>(name.size()));
  appendText(out, name);
  if ((name.size() + 1) % 2) out.push_back(0);  // the name is padded to even length
  return out;
}

inline Bytes ssndBody(const Bytes& data, uint32_t offset = 0, uint32_t blockSize = 0) {
  Bytes out;
  appendBE32(out, offset);
  appendBE32(out, blockSize);
  out.insert(out.end(), offset, 0xEE);  // bytes the offset skips
  appendBytes(out, data);
  return out;
}

// 16-bit big-endian sample data.
inline Bytes pcm16BE(const std::vector<int16_t>& samples) {
  Bytes out;
  for (int16_t s : samples) appendBE16(out, static_cast<uint16_t>(s));
  return out;
}

}  // namespace kvtest
