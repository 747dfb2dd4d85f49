#include "soundfile/extended_real.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes written(double value) {
  Bytes bytes(kv::kExtendedBytes);
  kv::writeExtended(value, bytes.data());
  return bytes;
}

TEST(ExtendedReal, ReadsAndWritesTheClassicRateFields) {
  const Bytes rate44100 = {0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(kv::readExtended(rate44100.data()), 44100.0);
  EXPECT_EQ(written(44100.0), rate44100);
  EXPECT_EQ(written(8000.0), (Bytes{0x40, 0x0B, 0xFA, 0, 0, 0, 0, 0, 0, 0}));
  for (double rate : {1.0, 11025.0, 22050.5, 48000.0, 96000.0, 0.25, 1e300, -3.5}) {
    EXPECT_EQ(kv::readExtended(written(rate).data()), rate) << rate;
  }
}

TEST(ExtendedReal, ZeroAndTheLargestExponentAreSpecial) {
  EXPECT_EQ(written(0.0), Bytes(kv::kExtendedBytes, 0));
  EXPECT_EQ(kv::readExtended(Bytes(kv::kExtendedBytes, 0).data()), 0.0);

  // Whatever the mantissa, the largest exponent reads as infinity.
  EXPECT_EQ(kv::readExtended(Bytes{0x7F, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 1}.data()),
            std::numeric_limits<double>::infinity());
  EXPECT_EQ(kv::readExtended(Bytes{0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0}.data()),
            -std::numeric_limits<double>::infinity());
  // Beyond what a double holds reads as infinity too, below it as zero, never as anything undefined.
  EXPECT_TRUE(std::isinf(kv::readExtended(Bytes{0x7F, 0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0}.data())));
  EXPECT_EQ(kv::readExtended(Bytes{0x00, 0x01, 0x80, 0, 0, 0, 0, 0, 0, 0}.data()), 0.0);

  const Bytes infinity = {0x7F, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(written(std::numeric_limits<double>::infinity()), infinity);
  EXPECT_EQ(written(std::numeric_limits<double>::quiet_NaN()), infinity);
}

}  // namespace
