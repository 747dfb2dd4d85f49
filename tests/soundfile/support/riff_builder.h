#pragma once
// Builds RIFF WAVE files byte by byte, so that tests can state exactly what a file holds.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kvtest {

using Bytes = std::vector<uint8_t>;

inline void appendLE16(Bytes& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}
inline void appendLE32(Bytes& out, uint32_t value) {
  appendLE16(out, value & 0xFFFF);
  appendLE16(out, value >> 16);
}
inline void appendText(Bytes& out, const std::string& text) {
  for (char c : text) out.push_back(static_cast<uint8_t>(c));
}
inline void appendBytes(Bytes& out, const Bytes& bytes) {
  for (uint8_t b : bytes) out.push_back(b);
}
// The 32-bit little-endian field at byte at.
inline uint32_t fieldLE32(const Bytes& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

// The file cut off after its first size bytes.
inline Bytes cutTo(Bytes bytes, std::size_t size) {
  bytes.resize(size);
  return bytes;
}

// One chunk: id, stated size (the body's size unless given), body, and the pad byte an odd body needs.
inline Bytes chunk(const std::string& id, const Bytes& body, int64_t statedSize = -1) {
  Bytes out;
  appendText(out, id);
  appendLE32(out, statedSize >= 0 ? static_cast<uint32_t>(statedSize) : static_cast<uint32_t>(body.size()));
  appendBytes(out, body);
  if (body.size() % 2) out.push_back(0);
  return out;
}

// The 16-byte format block; blockAlign 0 means channels × whole bytes per sample.
inline Bytes fmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, uint16_t blockAlign = 0) {
  const uint16_t align = blockAlign ? blockAlign : static_cast<uint16_t>(channels * ((bits + 7) / 8));
  Bytes out;
  appendLE16(out, tag);
  appendLE16(out, channels);
  appendLE32(out, rate);
  appendLE32(out, rate * align);
  appendLE16(out, align);
  appendLE16(out, bits);
  return out;
}

// The sub-format GUID of an extensible format block that stands for a format tag:
// {tag-0000-0010-8000-00AA00389B71}, stored as its fields are, little-endian first.
inline Bytes tagGuid(uint32_t tag) {
  Bytes out;
  appendLE32(out, tag);
  appendBytes(out, {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71});
  return out;
}

// A sub-format GUID of another family, which names no format tag:
// {00000001-0721-11D3-8644-C8C1CA000000}, ambisonic B-format PCM.
inline Bytes bFormatPcmGuid() {
  Bytes out;
  appendLE32(out, 1);
  appendBytes(out, {0x21, 0x07, 0xD3, 0x11, 0x86, 0x44, 0xC8, 0xC1, 0xCA, 0x00, 0x00, 0x00});
  return out;
}

// The 40-byte extensible format block (tag 0xFFFE): the plain block with the container's bits,
// then the extension's size (22 unless given), the valid bits, a channel mask and the sub-format.
inline Bytes extensibleFmtBody(const Bytes& subFormat, uint16_t channels, uint32_t rate, uint16_t containerBits,
                               uint16_t validBits, uint16_t extensionSize = 22) {
  Bytes out = fmtBody(0xFFFE, channels, rate, containerBits);
  appendLE16(out, extensionSize);
  appendLE16(out, validBits);
  appendLE32(out, channels == 2 ? 0x3 : 0x4);  // front left and right, or front centre
  appendBytes(out, subFormat);
  return out;
}

// "RIFF", the size of what follows, the form type, then the chunks in order.
inline Bytes riff(const std::vector<Bytes>& chunks, const std::string& form = "WAVE") {
  Bytes body;
  appendText(body, form);
  for (const Bytes& c : chunks) appendBytes(body, c);
  Bytes out;
  appendText(out, "RIFF");
  appendLE32(out, static_cast<uint32_t>(body.size()));
  appendBytes(out, body);
  return out;
}

// 16-bit little-endian sample data.
inline Bytes pcm16(const std::vector<int16_t>& samples) {
  Bytes out;
  for (int16_t s : samples) appendLE16(out, static_cast<uint16_t>(s));
  return out;
}

// A ramp of count 16-bit samples, distinct enough to show misplaced data.
inline std::vector<int16_t> ramp16(int count) {
  std::vector<int16_t> samples;
  for (int i = 0; i < count; ++i) samples.push_back(static_cast<int16_t>(i * 257 - 20000));
  return samples;
}

}  // namespace kvtest
