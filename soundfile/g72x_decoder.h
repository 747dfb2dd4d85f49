#pragma once
// The adaptive decoder the three ADPCM rates share; a rate brings its code width and tables.

#include "soundfile/g72x.h"

namespace kv {

// Tables are indexed by the code's magnitude |I| (2^(codeBits-1) entries).
struct G72xRate {
  int codeBits;
  const int16_t* reconstructionLevels;  // log2 of the quantised difference less the scale, 1/128 units
  const int16_t* scaleMultipliers;      // W(I), 1/16 units
  const int16_t* speedWeights;          // F(I)
  const int16_t* decisionLevels;        // quantiser thresholds of |I| = 1, 2, ..., 1/128 units
  int zeroLeakShift;                    // the zero predictor forgets 2^-shift of itself per sample
};

int decodeG72x(int code, int outputKind, G72xState& state, const G72xRate& rate);

}  // namespace kv
