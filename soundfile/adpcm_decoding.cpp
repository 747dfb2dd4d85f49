#include "soundfile/adpcm_decoding.h"

namespace kv {

void AdpcmDecoding::start(G72xDecoder decoder, int codeBits) {
  decoder_ = decoder;
  codeBits_ = codeBits;
  restart();
}

void AdpcmDecoding::restart() {
  resetG72xState(state_);
  bits_ = 0;
  bitsHeld_ = 0;
  byteCount_ = 0;
  bytePosition_ = 0;
}

bool AdpcmDecoding::refill(ByteFile& file) {
  if (bytePosition_ == byteCount_) {
    byteCount_ = file.read(bytes_, sizeof bytes_);
    bytePosition_ = 0;
    if (byteCount_ == 0) return false;
  }
  bits_ |= static_cast<uint32_t>(bytes_[bytePosition_++]) << bitsHeld_;
  bitsHeld_ += 8;
  return true;
}

bool AdpcmDecoding::next(ByteFile& file, int16_t& sample) {
  while (bitsHeld_ < codeBits_) {
    if (!refill(file)) return false;
  }
  const int code = static_cast<int>(bits_ & ((1u << codeBits_) - 1));
  bits_ >>= codeBits_;
  bitsHeld_ -= codeBits_;
  sample = static_cast<int16_t>(decoder_(code, kG72xLinear, state_));
  return true;
}

}  // namespace kv
