#include <gtest/gtest.h>

#include "soundfile/g711.h"

namespace {

TEST(G711, EveryMuLawCodeSurvivesDecodeAndEncode) {
  for (int code = 0; code < 256; ++code) {
    const uint8_t c = static_cast<uint8_t>(code);
    if (c == 0x7F) continue;  // negative zero: decodes to 0, which encodes as positive zero
    EXPECT_EQ(kv::linearToMuLaw(kv::muLawToLinear(c)), c) << "code " << code;
  }
  EXPECT_EQ(kv::muLawToLinear(0x7F), 0);
  EXPECT_EQ(kv::muLawToLinear(0xFF), 0);
}

TEST(G711, EveryALawCodeSurvivesDecodeAndEncode) {
  for (int code = 0; code < 256; ++code) {
    const uint8_t c = static_cast<uint8_t>(code);
    EXPECT_EQ(kv::linearToALaw(kv::aLawToLinear(c)), c) << "code " << code;
  }
}

TEST(G711, SilenceHasTheStandardCodes) {
  EXPECT_EQ(kv::linearToMuLaw(0), 0xFF);
  EXPECT_EQ(kv::linearToALaw(0), 0xD5);
}

TEST(G711, LoudValuesSaturateAtTheLargestCode) {
  // Callers pass (sample >> 16) + 8, up to 32775: beyond 16 bits, which must not wrap.
  for (int value : {32635, 32767, 32775, 40000, 1 << 30}) {
    EXPECT_EQ(kv::linearToMuLaw(value), 0x80) << value;
    EXPECT_EQ(kv::linearToMuLaw(-value), 0x00) << -value;
    EXPECT_EQ(kv::linearToALaw(value), 0xAA) << value;
    EXPECT_EQ(kv::linearToALaw(-value), 0x2A) << -value;
  }
  EXPECT_EQ(kv::linearToMuLaw(INT32_MIN), 0x00);
  EXPECT_EQ(kv::linearToALaw(INT32_MIN), 0x2A);
  EXPECT_EQ(kv::muLawToLinear(0x80), 32124);
  EXPECT_EQ(kv::muLawToLinear(0x00), -32124);
  EXPECT_EQ(kv::aLawToLinear(0xAA), 32256);
  EXPECT_EQ(kv::aLawToLinear(0x2A), -32256);
}

TEST(G711, EncodingKeepsOrderAndStaysNearTheValue) {
  // Companding is monotonic, and a decoded code lies within its segment's step of the input.
  int previousMu = kv::muLawToLinear(kv::linearToMuLaw(-32768));
  int previousA = kv::aLawToLinear(kv::linearToALaw(-32768));
  for (int value = -32768; value <= 32767; ++value) {
    const int mu = kv::muLawToLinear(kv::linearToMuLaw(value));
    const int a = kv::aLawToLinear(kv::linearToALaw(value));
    ASSERT_GE(mu, previousMu) << value;
    ASSERT_GE(a, previousA) << value;
    const int step = std::abs(value) < 256 ? 16 : std::abs(value) / 8 + 1;
    if (std::abs(value) <= 32000) {
      ASSERT_LE(std::abs(mu - value), step) << value;
      ASSERT_LE(std::abs(a - value), step) << value;
    }
    previousMu = mu;
    previousA = a;
  }
}

}  // namespace
