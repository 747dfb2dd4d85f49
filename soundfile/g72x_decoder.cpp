#include "soundfile/g72x_decoder.h"

#include <algorithm>
#include <cstdlib>

#include "soundfile/g711.h"

namespace kv {

namespace {

constexpr int kFloatZero = 32;  // 11-bit floating format of 0: mantissa 1 << 5, exponent 0
constexpr int kMinScale = 544;
constexpr int kMaxScale = 5120;

// The recommendations' signal registers are 16-bit two's complement and wrap.
int wrap16(int value) { return ((value & 0xFFFF) ^ 0x8000) - 0x8000; }

// Significant bits of a magnitude, 0 for 0: the exponent of the floating formats.
int bitLength(int magnitude) {
  int bits = 0;
  while (magnitude >> bits) ++bits;
  return bits;
}

// 11-bit floating format: sign (bit 10), 4-bit exponent, 6-bit mantissa with its leading one.
int toFloat11(bool negative, int magnitude) {
  const int exponent = bitLength(magnitude);
  const int mantissa = magnitude == 0 ? 1 << 5 : (magnitude << 6) >> exponent;
  return (negative ? 1 << 10 : 0) | (exponent << 6) | mantissa;
}

// A predictor coefficient times a value of the floating format, as a signal increment in half
// units (the predictor sums them and halves the total).
int floatMultiply(int coefficient, int value) {
  const bool coefficientNegative = coefficient < 0;
  const int magnitude = coefficientNegative ? (-(coefficient >> 2)) & 0x1FFF : coefficient >> 2;
  const int coefficientExponent = bitLength(magnitude);
  const int coefficientMantissa = magnitude == 0 ? 1 << 5 : (magnitude << 6) >> coefficientExponent;
  const int exponent = coefficientExponent + ((value >> 6) & 0xF);
  const int mantissa = (coefficientMantissa * (value & 0x3F) + 48) >> 4;
  const int product =
      exponent <= 26 ? (mantissa << 7) >> (26 - exponent) : ((mantissa << 7) << (exponent - 26)) & 0x7FFF;
  const bool valueNegative = (value >> 10) & 1;
  return valueNegative != coefficientNegative ? -product : product;
}

bool floatIsNegative(int value) { return (value >> 10) & 1; }

// The code an encoder in the same state would send for a difference d (the quantiser).
int quantise(int difference, int y, const G72xRate& rate) {
  const bool negative = difference < 0;
  const int magnitude = std::min(std::abs(difference), 0x7FFF);
  const int exponent = std::max(bitLength(magnitude) - 1, 0);
  const int logMagnitude = (exponent << 7) + (((magnitude << 7) >> exponent) & 127);
  const int normalised = logMagnitude - (y >> 2);
  const int levels = (1 << (rate.codeBits - 1)) - 1;
  int index = 0;
  while (index < levels && normalised >= rate.decisionLevels[index]) ++index;
  const int allOnes = (1 << rate.codeBits) - 1;
  if (negative) return allOnes - index;
  return index == 0 ? allOnes : index;  // an all-zero code is never sent
}

// The mu-law code of the next higher or lower level; the two codes of zero are one level.
int stepMuLaw(int code, bool up) {
  const bool positive = code & 0x80;  // positive codes count down as the value rises
  if (up) {
    if (positive) return code == 0x80 ? code : code - 1;
    return code == 0x7F ? 0xFE : code + 1;
  }
  if (positive) return code == 0xFF ? 0x7E : code + 1;
  return code == 0x00 ? code : code - 1;
}

// The A-law code of the next higher or lower level.
int stepALaw(int code, bool up) {
  const int bits = code ^ 0x55;  // sign bit set for positive values, magnitude rising with the rest
  const bool positive = bits & 0x80;
  int next;
  if (up) {
    next = positive ? (bits == 0xFF ? bits : bits + 1) : (bits == 0x00 ? 0x80 : bits - 1);
  } else {
    next = positive ? (bits == 0x80 ? 0x00 : bits - 1) : (bits == 0x7F ? bits : bits + 1);
  }
  return next ^ 0x55;
}

// Companded output: the G.711 code of the reconstructed signal, moved one level when an encoder
// would not quantise it back to the code that was received (synchronous coding adjustment).
int tandemAdjusted(int outputKind, int reconstructed, int estimate, int y, int code, const G72xRate& rate) {
  const bool muLaw = outputKind == kG72xMuLaw;
  const int pcm = muLaw ? linearToMuLaw(reconstructed * 4) : linearToALaw((reconstructed >> 1) * 8);
  const int back = (muLaw ? muLawToLinear(static_cast<uint8_t>(pcm)) : aLawToLinear(static_cast<uint8_t>(pcm))) >> 2;
  const int again = quantise(back - estimate, y, rate);
  if (again == code) return pcm;
  // Codes ordered by the value they stand for: flip the sign bit.
  const int signBit = 1 << (rate.codeBits - 1);
  const bool up = (again ^ signBit) < (code ^ signBit);
  return muLaw ? stepMuLaw(pcm, up) : stepALaw(pcm, up);
}

}  // namespace

void resetG72xState(G72xState& state) {
  state = G72xState{};
  state.yl = 34816;
  state.yu = kMinScale;
  for (int& value : state.dq) value = kFloatZero;
  for (int& value : state.sr) value = kFloatZero;
}

int decodeG72x(int code, int outputKind, G72xState& state, const G72xRate& rate) {
  if (outputKind != kG72xMuLaw && outputKind != kG72xALaw && outputKind != kG72xLinear) return -1;
  const int allOnes = (1 << rate.codeBits) - 1;
  code &= allOnes;
  const bool negative = code >> (rate.codeBits - 1);
  const int magnitudeIndex = negative ? allOnes - code : code;

  // Signal estimate from the zero and pole predictors.
  int zeroSum = 0;
  for (int i = 0; i < 6; ++i) zeroSum += floatMultiply(state.b[i], state.dq[i]);
  zeroSum = wrap16(zeroSum);
  const int fullSum = wrap16(zeroSum + floatMultiply(state.a[1], state.sr[1]) + floatMultiply(state.a[0], state.sr[0]));
  const int zeroEstimate = zeroSum >> 1;
  const int estimate = fullSum >> 1;

  // Quantiser scale factor: yu and yl mixed by the speed control.
  const int weight = state.ap >= 256 ? 64 : state.ap >> 2;
  const int slowScale = state.yl >> 6;
  const int spread = state.yu - slowScale;
  const int pull = (std::abs(spread) * weight) >> 6;
  const int y = slowScale + (spread < 0 ? -pull : pull);

  // Quantised difference, from its logarithm.
  const int logDifference = rate.reconstructionLevels[magnitudeIndex] + (y >> 2);
  const int differenceMagnitude =
      logDifference < 0 ? 0 : ((128 + (logDifference & 127)) << 7) >> (14 - ((logDifference >> 7) & 15));
  const int difference = negative ? -differenceMagnitude : differenceMagnitude;

  const int reconstructed = wrap16(estimate + difference);
  const int partial = wrap16(zeroEstimate + difference);

  int output;
  if (outputKind == kG72xLinear) {
    output = std::clamp(reconstructed * 4, -32768, 32767);  // 14-bit signal to 16 bits
  } else {
    output = tandemAdjusted(outputKind, reconstructed, estimate, y, code, rate);
  }

  // Transition from a tone: a difference well above the slow scale while a tone was detected.
  const int scaleInteger = state.yl >> 15;
  const int scaleFraction = (state.yl >> 10) & 31;
  const int threshold = scaleInteger > 9 ? 31 << 10 : (32 + scaleFraction) << scaleInteger;
  const bool transition = state.td != 0 && differenceMagnitude > (threshold + (threshold >> 1)) >> 1;

  // Scale factor adaptation.
  state.yu = std::clamp(y + ((rate.scaleMultipliers[magnitudeIndex] * 32 - y) >> 5), kMinScale, kMaxScale);
  state.yl += state.yu + ((-state.yl) >> 6);

  // Predictor adaptation, from the signs of the partial signal and the differences.
  const bool partialNegative = partial < 0;
  int a2 = 0;
  if (transition) {
    state.a[0] = state.a[1] = 0;
    for (int& coefficient : state.b) coefficient = 0;
  } else {
    const bool partialZero = partial == 0;
    const bool changedSign1 = partialNegative != (state.pk[0] != 0);
    const bool changedSign2 = partialNegative != (state.pk[1] != 0);

    a2 = state.a[1] - (state.a[1] >> 7);
    if (!partialZero) {
      const int bent = std::clamp(state.a[0], -8191, 8191) * 4;
      a2 += ((changedSign2 ? -16384 : 16384) + (changedSign1 ? bent : -bent)) >> 7;
    }
    a2 = std::clamp(wrap16(a2), -12288, 12288);

    int a1 = state.a[0] - (state.a[0] >> 8);
    if (!partialZero) a1 += changedSign1 ? -192 : 192;
    const int a1Limit = 15360 - a2;
    state.a[0] = std::clamp(wrap16(a1), -a1Limit, a1Limit);
    state.a[1] = a2;

    for (int i = 0; i < 6; ++i) {
      int b = state.b[i] - (state.b[i] >> rate.zeroLeakShift);
      if (differenceMagnitude != 0) b += negative == floatIsNegative(state.dq[i]) ? 128 : -128;
      state.b[i] = wrap16(b);
    }
  }

  for (int i = 5; i > 0; --i) state.dq[i] = state.dq[i - 1];
  state.dq[0] = toFloat11(negative, differenceMagnitude);
  state.sr[1] = state.sr[0];
  state.sr[0] = toFloat11(reconstructed < 0, reconstructed < 0 ? (-reconstructed) & 0x7FFF : reconstructed);
  state.pk[1] = state.pk[0];
  state.pk[0] = partialNegative;

  // Tone detection, then the speed control.
  state.td = !transition && a2 < -11776;
  const int speedWeight = rate.speedWeights[magnitudeIndex];
  state.dms += ((speedWeight << 9) - state.dms) >> 5;
  state.dml += ((speedWeight << 11) - state.dml) >> 7;
  if (transition) {
    state.ap = 256;
  } else {
    const bool fast = y < 1536 || state.td || std::abs((state.dms << 2) - state.dml) >= (state.dml >> 3);
    state.ap += ((fast ? 512 : 0) - state.ap) >> 4;
  }
  return output;
}

}  // namespace kv
