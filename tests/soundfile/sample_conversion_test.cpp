#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "soundfile/sample_conversion.h"
#include "soundfile/sound_stream.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Conversion {
  int sizeCode;
  int encoding;
  int32_t sample;
  Bytes stored;      // little-endian
  int32_t readBack;  // what the stored form reads as
};

void PrintTo(const Conversion& c, std::ostream* os) {
  *os << "size " << c.sizeCode << ", encoding " << c.encoding << ", sample " << c.sample;
}

kv::SampleFormat formatOf(int sizeCode, int encoding) {
  kv::SampleFormat format;
  format.sampleRate = 8000.0f;
  format.bytesPerSample = static_cast<int16_t>(sizeCode);
  format.encoding = encoding;
  format.channels = 1;
  return format;
}

// One row per stored form; memory streams and block conversion must agree on every one.
const Conversion kConversions[] = {
    {1, kv::kUnset, 0x12345678, {0x92}, 0x12000000},
    {1, kv::kEncodingUnsigned, INT32_MIN, {0x00}, INT32_MIN},
    {1, kv::kEncodingUnsigned, 0x7FFFFFFF, {0xFF}, 0x7F000000},
    {1, kv::kEncodingSigned, -0x01000000, {0xFF}, -0x01000000},
    {1, kv::kEncodingMuLaw, 1000 << 16, {0xCE}, 988 << 16},
    {1, kv::kEncodingMuLaw, 0, {0xFE}, 8 << 16},
    {1, kv::kEncodingALaw, 1000 << 16, {0xFA}, 1008 << 16},
    {1, kv::kEncodingALaw, INT32_MAX, {0xAA}, 32256 << 16},
    {2, kv::kEncodingSigned, 0x12345678, {0x34, 0x12}, 0x12340000},
    {2, kv::kUnset, -1, {0xFF, 0xFF}, -0x10000},
    {2, kv::kEncodingUnsigned, 0, {0x00, 0x80}, 0},
    {3, kv::kEncodingSigned, 0x12345678, {0x56, 0x34, 0x12}, 0x12345600},
    {3, kv::kUnset, INT32_MIN, {0x00, 0x00, 0x80}, INT32_MIN},
    {3, kv::kEncodingSigned, -256, {0xFF, 0xFF, 0xFF}, -256},
    {4, kv::kEncodingSigned, 0x12345678, {0x78, 0x56, 0x34, 0x12}, 0x12345678},
    {4, kv::kUnset, INT32_MIN, {0x00, 0x00, 0x00, 0x80}, INT32_MIN},
    {kv::kSizeFloat32, kv::kEncodingSigned, 0x40000000, {0x00, 0x00, 0x00, 0x3F}, 0x40000000},
    {kv::kSizeFloat32, kv::kUnset, INT32_MIN, {0x00, 0x00, 0x80, 0xBF}, INT32_MIN},
};

class StoredForms : public ::testing::TestWithParam<Conversion> {};

TEST_P(StoredForms, MemoryStreamStoresAndReadsBack) {
  const Conversion& c = GetParam();
  auto stream = kv::SoundStream::createMemory(formatOf(c.sizeCode, c.encoding), nullptr, 0);
  ASSERT_TRUE(stream);
  ASSERT_EQ(stream->write(&c.sample, 1), kv::kOk);
  const uint8_t* stored = static_cast<const uint8_t*>(stream->buffer());
  EXPECT_EQ(Bytes(stored, stored + c.stored.size()), c.stored);

  int32_t sample = 0;
  int64_t got = 0;
  EXPECT_EQ(stream->read(&sample, 1, got), kv::kOk);
  EXPECT_EQ(got, 1);
  EXPECT_EQ(sample, c.readBack);
}

TEST_P(StoredForms, BlockConversionStoresTheSameBytes) {
  const Conversion& c = GetParam();
  auto stream = kv::SoundStream::createMemory(formatOf(c.sizeCode, c.encoding), nullptr, 0);
  ASSERT_TRUE(stream);
  Bytes block(c.stored.size(), 0xEE);
  EXPECT_EQ(kv::convertBlock(*stream, &c.sample, block.data(), 1, false), kv::kOk);
  EXPECT_EQ(block, c.stored);
}

TEST_P(StoredForms, ABorrowedBufferReadsAsStored) {
  const Conversion& c = GetParam();
  Bytes buffer = c.stored;
  auto stream = kv::SoundStream::createMemory(formatOf(c.sizeCode, c.encoding), buffer.data(), 1);
  ASSERT_TRUE(stream);
  int32_t sample = 0;
  int64_t got = 0;
  EXPECT_EQ(stream->read(&sample, 1, got), kv::kOk);
  EXPECT_EQ(sample, c.readBack);
}

INSTANTIATE_TEST_SUITE_P(SizesAndEncodings, StoredForms, ::testing::ValuesIn(kConversions));

struct Unstorable {
  int sizeCode;
  int encoding;
};

void PrintTo(const Unstorable& u, std::ostream* os) { *os << "size " << u.sizeCode << ", encoding " << u.encoding; }

class UnstorableForms : public ::testing::TestWithParam<Unstorable> {};

TEST_P(UnstorableForms, AreReportedInsteadOfSilentlyDropped) {
  const Unstorable& u = GetParam();
  kv::SampleFormat format = formatOf(u.sizeCode, u.encoding);
  Bytes buffer(16, 0);
  auto stream = kv::SoundStream::createMemory(format, buffer.data(), 2);
  ASSERT_TRUE(stream);
  const int32_t samples[2] = {1 << 20, -(1 << 20)};
  int32_t out[2];
  int64_t got = -1;

  EXPECT_EQ(kv::convertBlock(*stream, samples, buffer.data(), 2, false), kv::kInternalError);
  EXPECT_EQ(stream->lastError(), kv::kInternalError);
  EXPECT_EQ(stream->read(out, 2, got), kv::kInternalError);
  EXPECT_EQ(got, 0);

  auto growing = kv::SoundStream::createMemory(format, nullptr, 0);
  ASSERT_TRUE(growing);
  EXPECT_NE(growing->write(samples, 2), kv::kOk);
}

INSTANTIATE_TEST_SUITE_P(SizesAndEncodings, UnstorableForms,
                         ::testing::Values(Unstorable{2, kv::kEncodingMuLaw}, Unstorable{2, kv::kEncodingALaw},
                                           Unstorable{3, kv::kEncodingUnsigned}, Unstorable{4, kv::kEncodingUnsigned},
                                           Unstorable{4, kv::kEncodingALaw}, Unstorable{1, 7}));

TEST(BlockConversion, PlaysTwentyFourBitSamplesAsSixteenBit) {
  auto stream = kv::SoundStream::createMemory(formatOf(3, kv::kEncodingSigned), nullptr, 0);
  ASSERT_TRUE(stream);
  const int32_t samples[2] = {0x12345678, -0x10000};
  Bytes block(4, 0xEE);
  EXPECT_EQ(kv::convertBlock(*stream, samples, block.data(), 2, true), kv::kOk);
  EXPECT_EQ(block, (Bytes{0x34, 0x12, 0xFF, 0xFF}));
}

TEST(BlockConversion, SixteenBitFlagLeavesOtherSizesAlone) {
  auto stream = kv::SoundStream::createMemory(formatOf(1, kv::kUnset), nullptr, 0);
  ASSERT_TRUE(stream);
  const int32_t sample = 0;
  uint8_t stored = 0;
  EXPECT_EQ(kv::convertBlock(*stream, &sample, &stored, 1, true), kv::kOk);
  EXPECT_EQ(stored, 0x80);
}

}  // namespace
