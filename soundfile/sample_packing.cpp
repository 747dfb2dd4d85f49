#include "soundfile/sample_packing.h"

#include <cmath>
#include <cstring>

#include "soundfile/g711.h"
#include "soundfile/sample_format.h"

namespace kv {

namespace {

// Shifts are done on unsigned values so that negative samples never shift into undefined behaviour.
int32_t fromTop8(uint32_t byte) { return static_cast<int32_t>(byte << 24); }
int32_t fromTop16(uint32_t word) { return static_cast<int32_t>(word << 16); }

template <int Bytes, bool BigEndian>
void storeBits(uint32_t value, uint8_t* stored) {
  for (int i = 0; i < Bytes; ++i) {
    const int shift = BigEndian ? 8 * (Bytes - 1 - i) : 8 * i;
    stored[i] = static_cast<uint8_t>(value >> shift);
  }
}

template <int Bytes, bool BigEndian>
uint32_t loadBits(const uint8_t* stored) {
  uint32_t value = 0;
  for (int i = 0; i < Bytes; ++i) {
    const int shift = BigEndian ? 8 * (Bytes - 1 - i) : 8 * i;
    value |= static_cast<uint32_t>(stored[i]) << shift;
  }
  return value;
}

void packUnsigned8(int32_t s, uint8_t* p) { p[0] = static_cast<uint8_t>((s >> 24) ^ 0x80); }
int32_t unpackUnsigned8(const uint8_t* p) { return fromTop8(p[0] ^ 0x80u); }

void packSigned8(int32_t s, uint8_t* p) { p[0] = static_cast<uint8_t>(s >> 24); }
int32_t unpackSigned8(const uint8_t* p) { return fromTop8(p[0]); }

void packMuLaw(int32_t s, uint8_t* p) { p[0] = linearToMuLaw((s >> 16) + 8); }
int32_t unpackMuLaw(const uint8_t* p) { return fromTop16(static_cast<uint16_t>(muLawToLinear(p[0]))); }

void packALaw(int32_t s, uint8_t* p) { p[0] = linearToALaw((s >> 16) + 8); }
int32_t unpackALaw(const uint8_t* p) { return fromTop16(static_cast<uint16_t>(aLawToLinear(p[0]))); }

template <bool BE>
void packSigned16(int32_t s, uint8_t* p) {
  storeBits<2, BE>(static_cast<uint32_t>(s) >> 16, p);
}
template <bool BE>
int32_t unpackSigned16(const uint8_t* p) {
  return fromTop16(loadBits<2, BE>(p));
}

template <bool BE>
void packUnsigned16(int32_t s, uint8_t* p) {
  storeBits<2, BE>((static_cast<uint32_t>(s) >> 16) ^ 0x8000u, p);
}
template <bool BE>
int32_t unpackUnsigned16(const uint8_t* p) {
  return fromTop16(loadBits<2, BE>(p) ^ 0x8000u);
}

// 24-bit samples are the top three bytes of the engine sample.
template <bool BE>
void packSigned24(int32_t s, uint8_t* p) {
  storeBits<3, BE>(static_cast<uint32_t>(s) >> 8, p);
}
template <bool BE>
int32_t unpackSigned24(const uint8_t* p) {
  return static_cast<int32_t>(loadBits<3, BE>(p) << 8);
}

template <bool BE>
void packSigned32(int32_t s, uint8_t* p) {
  storeBits<4, BE>(static_cast<uint32_t>(s), p);
}
template <bool BE>
int32_t unpackSigned32(const uint8_t* p) {
  return static_cast<int32_t>(loadBits<4, BE>(p));
}

// Float samples are full scale at ±1.0; values beyond it saturate and NaN reads as silence.
template <bool BE>
void packFloat32(int32_t s, uint8_t* p) {
  const float value = static_cast<float>(s / 2147483648.0);
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  storeBits<4, BE>(bits, p);
}
template <bool BE>
int32_t unpackFloat32(const uint8_t* p) {
  const uint32_t bits = loadBits<4, BE>(p);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  if (std::isnan(value)) return 0;
  const double scaled = static_cast<double>(value) * 2147483648.0;
  if (scaled >= 2147483647.0) return INT32_MAX;
  if (scaled <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(scaled);
}

// A layout converts whole runs through its one-sample functions, which the compiler inlines into
// the loops (and vectorises, for the plain layouts).
template <int Bytes, void (*Pack)(int32_t, uint8_t*)>
void packRun(const int32_t* samples, uint8_t* stored, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) Pack(samples[i], stored + i * Bytes);
}

template <int Bytes, int32_t (*Unpack)(const uint8_t*)>
void unpackRun(const uint8_t* stored, int32_t* samples, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) samples[i] = Unpack(stored + i * Bytes);
}

template <int Bytes, void (*Pack)(int32_t, uint8_t*), int32_t (*Unpack)(const uint8_t*)>
constexpr SamplePacking kLayout{Bytes, packRun<Bytes, Pack>, unpackRun<Bytes, Unpack>};

constexpr const SamplePacking& kUnsigned8 = kLayout<1, packUnsigned8, unpackUnsigned8>;
constexpr const SamplePacking& kSigned8 = kLayout<1, packSigned8, unpackSigned8>;
constexpr const SamplePacking& kMuLaw8 = kLayout<1, packMuLaw, unpackMuLaw>;
constexpr const SamplePacking& kALaw8 = kLayout<1, packALaw, unpackALaw>;

template <bool BE>
struct WideLayouts {
  static constexpr const SamplePacking& signed16 = kLayout<2, packSigned16<BE>, unpackSigned16<BE>>;
  static constexpr const SamplePacking& unsigned16 = kLayout<2, packUnsigned16<BE>, unpackUnsigned16<BE>>;
  static constexpr const SamplePacking& signed24 = kLayout<3, packSigned24<BE>, unpackSigned24<BE>>;
  static constexpr const SamplePacking& signed32 = kLayout<4, packSigned32<BE>, unpackSigned32<BE>>;
  static constexpr const SamplePacking& float32 = kLayout<4, packFloat32<BE>, unpackFloat32<BE>>;
};

template <bool BE>
const SamplePacking* findWide(int sizeCode, bool isSigned, bool isUnsigned) {
  using L = WideLayouts<BE>;
  switch (sizeCode) {
    case 2:
      if (isSigned) return &L::signed16;
      return isUnsigned ? &L::unsigned16 : nullptr;
    case 3:
      return isSigned ? &L::signed24 : nullptr;
    case 4:
      return isSigned ? &L::signed32 : nullptr;
    case kSizeFloat32:
      return isSigned ? &L::float32 : nullptr;
    default:
      return nullptr;
  }
}

}  // namespace

const SamplePacking* findSamplePacking(int sizeCode, int encoding, bool bigEndian) {
  if (sizeCode == 1) {
    switch (encoding) {
      case kUnset:
      case kEncodingUnsigned:
        return &kUnsigned8;
      case kEncodingSigned:
        return &kSigned8;
      case kEncodingMuLaw:
        return &kMuLaw8;
      case kEncodingALaw:
        return &kALaw8;
      default:
        return nullptr;
    }
  }
  const bool isSigned = encoding == kUnset || encoding == kEncodingSigned;
  const bool isUnsigned = encoding == kEncodingUnsigned;
  return bigEndian ? findWide<true>(sizeCode, isSigned, isUnsigned) : findWide<false>(sizeCode, isSigned, isUnsigned);
}

void packSamples(const SamplePacking& packing, const int32_t* samples, uint8_t* stored, std::size_t count) {
  packing.pack(samples, stored, count);
}

void unpackSamples(const SamplePacking& packing, const uint8_t* stored, int32_t* samples, std::size_t count) {
  packing.unpack(stored, samples, count);
}

}  // namespace kv
