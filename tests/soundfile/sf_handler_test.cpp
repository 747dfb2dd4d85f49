#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "soundfile/sf_handler.h"
#include "soundfile/sound_stream.h"
#include "tests/soundfile/support/memory_file.h"
#include "tests/soundfile/support/riff_builder.h"
#include "tests/soundfile/support/sf_builder.h"
#include "tests/soundfile/support/temp_dir.h"

namespace {

using kvtest::appendLE32;
using kvtest::Bytes;
using kvtest::cutTo;
using kvtest::floatBits;
using kvtest::sfHeader;

std::unique_ptr<kv::SoundStream> openSf(const Bytes& bytes) {
  return kv::SoundStream::openRead(std::make_unique<kvtest::MemoryFile>(bytes), kv::kFileTypeSf);
}

TEST(SfReading, SixteenBitFileLengthComesFromTheFileSize) {
  Bytes file = sfHeader(kv::kSfMagic, 22050.0f, 1, 2);
  const Bytes data = kvtest::pcm16(kvtest::ramp16(1000));
  file.insert(file.end(), data.begin(), data.end());
  auto stream = openSf(file);
  ASSERT_EQ(stream->lastError(), kv::kOk);
  EXPECT_EQ(stream->typeFound(), kv::kFileTypeSf);
  EXPECT_EQ(stream->bytesPerSample(), 2);
  EXPECT_EQ(stream->encoding(), kv::kEncodingSigned);
  EXPECT_EQ(stream->channels(), 1);
  EXPECT_EQ(stream->sampleRate(), 22050.0f);
  EXPECT_EQ(stream->length(), 1000);
  int32_t samples[2];
  int64_t got = 0;
  ASSERT_EQ(stream->seekFrame(999), kv::kOk);
  EXPECT_EQ(stream->read(samples, 2, got), kv::kEndOfFile);
  ASSERT_EQ(got, 1);
  EXPECT_EQ(samples[0], kvtest::ramp16(1000)[999] * 65536);
}

TEST(SfReading, FloatSamplesAreFullScaleAtOne) {
  Bytes file = sfHeader(kv::kSfMagic, 44100.0f, 2, 4);
  for (float value : {0.5f, -0.25f, 1.5f, -1.0f}) appendLE32(file, floatBits(value));
  auto stream = openSf(file);
  ASSERT_EQ(stream->lastError(), kv::kOk);
  EXPECT_EQ(stream->bytesPerSample(), kv::kSizeFloat32);
  EXPECT_EQ(stream->length(), 4);
  int32_t samples[4];
  int64_t got = 0;
  ASSERT_EQ(stream->read(samples, 4, got), kv::kOk);
  EXPECT_EQ(samples[0], 0x40000000);
  EXPECT_EQ(samples[1], -0x20000000);
  EXPECT_EQ(samples[2], INT32_MAX);  // beyond full scale saturates
  EXPECT_EQ(samples[3], INT32_MIN);
}

struct BadSf {
  const char* name;
  Bytes file;
  int32_t error;
};

void PrintTo(const BadSf& b, std::ostream* os) { *os << b.name; }

class SfRefusals : public ::testing::TestWithParam<BadSf> {};

TEST_P(SfRefusals, GiveTheirCode) { EXPECT_EQ(openSf(GetParam().file)->lastError(), GetParam().error); }

Bytes byteSwapped(Bytes header) {
  std::swap(header[0], header[3]);
  std::swap(header[1], header[2]);
  return header;
}

INSTANTIATE_TEST_SUITE_P(
    Headers, SfRefusals,
    ::testing::Values(BadSf{"ShortHeader", cutTo(sfHeader(kv::kSfMagic, 8000.0f, 1, 2), 1000), kv::kMalformedInput},
                      BadSf{"WrongMagic", sfHeader(107365, 8000.0f, 1, 2), kv::kMalformedInput},
                      BadSf{"OtherByteOrder", byteSwapped(sfHeader(kv::kSfMagic, 8000.0f, 1, 2)), kv::kMalformedInput},
                      BadSf{"PackingThree", sfHeader(kv::kSfMagic, 8000.0f, 1, 3), kv::kUnsupportedFormat},
                      BadSf{"RateZero", sfHeader(kv::kSfMagic, 0.0f, 1, 2), kv::kMalformedInput},
                      BadSf{"NoChannels", sfHeader(kv::kSfMagic, 8000.0f, 0, 2), kv::kMalformedInput},
                      BadSf{"OneChannelTooMany", sfHeader(kv::kSfMagic, 8000.0f, 0x10000, 2), kv::kMalformedInput},
                      BadSf{"AbsurdChannels", sfHeader(kv::kSfMagic, 8000.0f, 0x7FFFFFFF, 2), kv::kMalformedInput}),
    [](const ::testing::TestParamInfo<BadSf>& info) { return std::string(info.param.name); });

class SfWriting : public kvtest::TempDirTest {};

TEST_F(SfWriting, HeaderHasTheFixedLayout) {
  auto disk = std::make_unique<kvtest::MemoryFile>();
  const auto contents = disk->contents();
  auto out =
      kv::SoundStream::openWrite(kv::SampleFormat::make(22050.0f, 2, kv::kUnset, 1), std::move(disk), kv::kFileTypeSf);
  ASSERT_EQ(out->lastError(), kv::kOk);
  ASSERT_EQ(out->close(), kv::kOk);

  Bytes expected = {0x64, 0xA3, 0x01, 0x00};
  appendLE32(expected, floatBits(22050.0f));
  expected.insert(expected.end(), {0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,    // channels, packing
                                   0x02, 0x00, 0x04, 0x00, 0x00, 0x00, 0x04, 0x00});  // comment, end
  expected.resize(kv::kSfHeaderBytes, 0);
  EXPECT_EQ(*contents, expected);
}

TEST_F(SfWriting, RoundTripsSixteenBitStereoAndWidensEightBit) {
  const std::string file = path("take.sf");
  std::vector<int32_t> samples(600);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int32_t>((i * 7919u) << 16);
  {
    auto out = kv::SoundStream::openWrite(kv::SampleFormat::make(32000.0f, 1, kv::kUnset, 2), file, kv::kFileTypeSf);
    ASSERT_EQ(out->lastError(), kv::kOk);
    EXPECT_EQ(out->bytesPerSample(), 2);  // sf stores 16-bit integers
    ASSERT_EQ(out->write(samples.data(), 600), kv::kOk);
  }
  EXPECT_EQ(readAll(file).size(), 1024u + 1200u);
  EXPECT_EQ(kv::SoundStream::openRead(file)->lastError(), kv::kUnsupportedFormat);  // never detected

  auto in = kv::SoundStream::openRead(file, kv::kFileTypeSf);
  ASSERT_EQ(in->lastError(), kv::kOk);
  EXPECT_EQ(in->channels(), 2);
  EXPECT_EQ(in->sampleRate(), 32000.0f);
  ASSERT_EQ(in->length(), 600);
  std::vector<int32_t> back(600);
  int64_t got = 0;
  ASSERT_EQ(in->read(back.data(), 600, got), kv::kOk);
  EXPECT_EQ(back, samples);
}

TEST_F(SfWriting, FloatFilesRoundTrip) {
  auto disk = std::make_unique<kvtest::MemoryFile>();
  const auto contents = disk->contents();
  kv::SampleFormat format = kv::SampleFormat::make(48000.0f, 2, kv::kEncodingSigned, 1);
  format.bytesPerSample = kv::kSizeFloat32;
  auto out = kv::SoundStream::openWrite(format, std::move(disk), kv::kFileTypeSf);
  ASSERT_EQ(out->lastError(), kv::kOk);
  const int32_t samples[3] = {0x40000000, -0x40000000, INT32_MIN};
  ASSERT_EQ(out->write(samples, 3), kv::kOk);
  out->close();
  EXPECT_EQ((*contents)[12], 4);  // packing: float

  auto in = openSf(*contents);
  ASSERT_EQ(in->lastError(), kv::kOk);
  int32_t back[3];
  int64_t got = 0;
  ASSERT_EQ(in->read(back, 3, got), kv::kOk);
  EXPECT_EQ(back[0], samples[0]);
  EXPECT_EQ(back[1], samples[1]);
  EXPECT_EQ(back[2], samples[2]);
}

TEST_F(SfWriting, AShortHeaderWriteIsReported) {
  auto disk = std::make_unique<kvtest::MemoryFile>(Bytes{}, 500);
  auto out =
      kv::SoundStream::openWrite(kv::SampleFormat::make(8000.0f, 2, kv::kUnset, 1), std::move(disk), kv::kFileTypeSf);
  EXPECT_EQ(out->lastError(), kv::kFileError);
  int32_t sample = 0;
  EXPECT_EQ(out->write(&sample, 1), kv::kFileError);
}

TEST_F(SfWriting, AShortSampleWriteIsReported) {
  auto disk = std::make_unique<kvtest::MemoryFile>(Bytes{}, 1024 + 100);
  auto out =
      kv::SoundStream::openWrite(kv::SampleFormat::make(8000.0f, 2, kv::kUnset, 1), std::move(disk), kv::kFileTypeSf);
  ASSERT_EQ(out->lastError(), kv::kOk);
  const std::vector<int32_t> samples(80, 1 << 20);
  EXPECT_EQ(out->write(samples.data(), 80), kv::kFileError);
  EXPECT_EQ(out->length(), 50);
}

}  // namespace
