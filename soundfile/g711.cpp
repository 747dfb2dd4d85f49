#include "soundfile/g711.h"

namespace kv {

namespace {

constexpr int kMuLawBias = 0x84;
constexpr int kMuLawClip = 32635;
constexpr int kALawClip = 0x7C00;

// Magnitude of a linear value, saturated at clip (safe for every int, INT_MIN included).
int clippedMagnitude(int linear, int clip) {
  if (linear >= 0) return linear < clip ? linear : clip;
  return linear > -clip ? -linear : clip;
}

// Index of the highest set bit of a value in 1..255, counted from 0.
int highestBit(int value) {
  int bit = 0;
  while (value >>= 1) ++bit;
  return bit;
}

}  // namespace

uint8_t linearToMuLaw(int linear) {
  const int sign = linear < 0 ? 0x80 : 0x00;
  const int biased = clippedMagnitude(linear, kMuLawClip) + kMuLawBias;
  const int exponent = highestBit(biased >> 7);
  const int mantissa = (biased >> (exponent + 3)) & 0x0F;
  return static_cast<uint8_t>(~(sign | (exponent << 4) | mantissa));
}

int16_t muLawToLinear(uint8_t code) {
  const int bits = ~code & 0xFF;
  const int exponent = (bits >> 4) & 0x07;
  const int mantissa = bits & 0x0F;
  const int magnitude = (((mantissa << 3) + kMuLawBias) << exponent) - kMuLawBias;
  return static_cast<int16_t>((bits & 0x80) ? -magnitude : magnitude);
}

uint8_t linearToALaw(int linear) {
  const int mask = linear >= 0 ? 0xD5 : 0x55;  // sign bit set for positive values, then even bits inverted
  const int magnitude = clippedMagnitude(linear, kALawClip);
  int code;
  if (magnitude < 256) {
    code = magnitude >> 4;
  } else {
    const int exponent = highestBit(magnitude >> 8) + 1;
    const int mantissa = (magnitude >> (exponent + 3)) & 0x0F;
    code = (exponent << 4) | mantissa;
  }
  return static_cast<uint8_t>(code ^ mask);
}

int16_t aLawToLinear(uint8_t code) {
  const int bits = code ^ 0x55;
  const int exponent = (bits >> 4) & 0x07;
  const int mantissa = bits & 0x0F;
  int magnitude = (mantissa << 4) + 8;
  if (exponent != 0) magnitude = (magnitude + 0x100) << (exponent - 1);
  return static_cast<int16_t>((bits & 0x80) ? magnitude : -magnitude);
}

}  // namespace kv
