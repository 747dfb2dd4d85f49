#pragma once
// ADPCM decoders of ITU-T G.721 (32 kbit/s, 4-bit codes) and G.723 (24 kbit/s with 3-bit codes,
// 40 kbit/s with 5-bit codes), as compressed au files hold them.
//
// The decoders adapt to what they have decoded: every code updates the state it is given, so one
// state follows one sequence of codes from its first code on.
//
//   kv::G72xState state;
//   kv::resetG72xState(state);
//   for (uint8_t code : codes) samples.push_back(kv::g721Decode(code, kv::kG72xLinear, state));

#include <cstdint>

namespace kv {

// The decoder's memory, named as in the recommendations.
struct G72xState {
  int32_t yl;     // slow (locked) quantiser scale factor, 6 more fraction bits than yu
  int32_t yu;     // fast (unlocked) quantiser scale factor
  int32_t dms;    // short-term average of the speed weight F(I)
  int32_t dml;    // long-term average of F(I)
  int32_t ap;     // speed control: how far the scale factor follows yu rather than yl
  int32_t a[2];   // pole predictor coefficients, 2^14 = 1.0
  int32_t b[6];   // zero predictor coefficients, 2^14 = 1.0
  int32_t pk[2];  // signs of the last two partial signal estimates
  int32_t dq[6];  // last six quantised differences, 11-bit floating format
  int32_t sr[2];  // last two reconstructed signal values, 11-bit floating format
  int32_t td;     // tone detected
};

// The state before the first code: yl 34816, yu 544, no history (the floating-format zero is 32).
void resetG72xState(G72xState& state);

// What a decoder returns: an 8-bit mu-law or A-law code (adjusted so that a tandem encoder in the
// same state would send the same ADPCM code again) or a 16-bit linear sample.
enum G72xOutput : int { kG72xMuLaw = 1, kG72xALaw = 2, kG72xLinear = 3 };

// Each decodes the low bits of code; -1 for an output kind that is none of the above.
int g721Decode(int code, int outputKind, G72xState& state);
int g723_24Decode(int code, int outputKind, G72xState& state);
int g723_40Decode(int code, int outputKind, G72xState& state);

using G72xDecoder = int (*)(int code, int outputKind, G72xState& state);

}  // namespace kv
