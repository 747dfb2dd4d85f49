#pragma once
// Decoding the ADPCM data of a compressed au file: codes of a fixed width packed least
// significant bits first, each byte's bits above those still held, decoded in order.

#include <cstddef>
#include <cstdint>

#include "soundfile/byte_file.h"
#include "soundfile/g72x.h"

namespace kv {

class AdpcmDecoding {
 public:
  // Decodes codes of that width (3, 4 or 5 bits) from the file's current position on.
  void start(G72xDecoder decoder, int codeBits);
  bool active() const { return decoder_ != nullptr; }
  // Back to the state before the first code; the next code comes from the file's current position.
  void restart();
  // The next sample, 16-bit linear; false at the end of the data.
  bool next(ByteFile& file, int16_t& sample);

 private:
  bool refill(ByteFile& file);

  G72xDecoder decoder_ = nullptr;
  int codeBits_ = 0;
  G72xState state_{};
  uint32_t bits_ = 0;  // codes not yet decoded, the oldest in the low bits
  int bitsHeld_ = 0;
  // Bytes read ahead of the codes.
  uint8_t bytes_[512] = {};
  std::size_t byteCount_ = 0;
  std::size_t bytePosition_ = 0;
};

}  // namespace kv
