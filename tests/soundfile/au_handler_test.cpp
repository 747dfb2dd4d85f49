#include "soundfile/au_handler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "soundfile/g711.h"
#include "soundfile/g72x.h"
#include "soundfile/sound_stream.h"
#include "tests/soundfile/support/au_builder.h"
#include "tests/soundfile/support/memory_file.h"
#include "tests/soundfile/support/sample_patterns.h"
#include "tests/soundfile/support/temp_dir.h"

namespace {

using kvtest::quantised;
using kvtest::readAllSamples;
using kvtest::sineLikeSamples;

using kvtest::auFile;
using kvtest::AuHeader;
using kvtest::Bytes;
using kvtest::cutTo;

std::unique_ptr<kv::SoundStream> openAu(const Bytes& bytes, int fileType = kv::kFileTypeAu) {
  return kv::SoundStream::openRead(std::make_unique<kvtest::MemoryFile>(bytes), fileType);
}

// Stored samples of a given width in either byte order.
Bytes stored(const std::vector<uint32_t>& values, int width, bool bigEndian) {
  Bytes out;
  for (uint32_t value : values) {
    for (int i = 0; i < width; ++i) {
      const int shift = bigEndian ? 8 * (width - 1 - i) : 8 * i;
      out.push_back(static_cast<uint8_t>(value >> shift));
    }
  }
  return out;
}

struct Encoding {
  const char* name;
  uint32_t code;
  int width;
  std::vector<uint32_t> values;
  std::vector<int32_t> samples;  // what they read as
};

void PrintTo(const Encoding& e, std::ostream* os) { *os << e.name; }

class AuByteOrders : public ::testing::TestWithParam<Encoding> {};

TEST_P(AuByteOrders, ReadAlike) {
  const Encoding& e = GetParam();
  for (bool bigEndian : {true, false}) {
    AuHeader header;
    header.bigEndian = bigEndian;
    header.encoding = e.code;
    header.rate = 22050;
    header.channels = 2;
    auto stream = openAu(auFile(header, stored(e.values, e.width, bigEndian)));
    ASSERT_EQ(stream->lastError(), kv::kOk) << bigEndian;
    EXPECT_EQ(stream->typeFound(), kv::kFileTypeAu);
    EXPECT_EQ(stream->sampleRate(), 22050.0f);
    EXPECT_EQ(stream->channels(), 2);
    EXPECT_EQ(stream->bytesPerSample(), e.width);
    EXPECT_EQ(stream->length(), static_cast<int64_t>(e.values.size()));
    EXPECT_EQ(readAllSamples(*stream), e.samples) << (bigEndian ? "big-endian" : "little-endian");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, AuByteOrders,
    ::testing::Values(
        Encoding{"MuLaw", kv::kAuMuLaw8, 1, {0x80, 0xFF, 0x00, 0x7F}, {32124 << 16, 0, -32124 * 65536, 0}},
        Encoding{"Linear8", kv::kAuLinear8, 1, {0x80, 0xFF, 0x00, 0x7F}, {INT32_MIN, -0x01000000, 0, 0x7F000000}},
        Encoding{"Linear16",
                 kv::kAuLinear16,
                 2,
                 {0x8000, 0xFFFF, 0x1234, 0x7FFF},
                 {INT32_MIN, -0x10000, 0x12340000, 0x7FFF0000}},
        Encoding{"Linear24",
                 kv::kAuLinear24,
                 3,
                 {0x800000, 0xFFFFFF, 0x123456, 0x7FFFFF},
                 {INT32_MIN, -0x100, 0x12345600, 0x7FFFFF00}}),
    [](const ::testing::TestParamInfo<Encoding>& info) { return std::string(info.param.name); });

TEST(AuReading, EveryMagicFormAndTheAnnotationBeforeTheData) {
  AuHeader header;
  header.headerBytes = 28;  // four bytes of annotation
  const Bytes data = stored({0x0102, 0x0304}, 2, true);
  Bytes file = auFile(header, data);
  auto stream = openAu(file);
  ASSERT_EQ(stream->lastError(), kv::kOk);
  EXPECT_EQ(readAllSamples(*stream), (std::vector<int32_t>{0x01020000, 0x03040000}));

  // The same forms with a zero in place of the n.
  Bytes zeroBig = file;
  zeroBig[2] = 'd';
  zeroBig[3] = 0;
  EXPECT_EQ(openAu(zeroBig)->lastError(), kv::kOk);
  header.bigEndian = false;
  Bytes zeroLittle = auFile(header, stored({0x0102, 0x0304}, 2, false));
  zeroLittle[0] = 0;
  zeroLittle[1] = 'd';
  zeroLittle.resize(200, 0);
  auto detected = openAu(zeroLittle, kv::kFileTypeDetect);
  ASSERT_EQ(detected->lastError(), kv::kOk);
  EXPECT_EQ(detected->handlerName(), "au");
  EXPECT_EQ(readAllSamples(*detected)[1], 0x03040000);
}

TEST(AuReading, LengthCountsWholeFramesOfTheDataThatIsThere) {
  AuHeader header;
  header.channels = 2;
  header.dataBytes = 4;  // the file holds more than the header says: all of it is read
  EXPECT_EQ(openAu(auFile(header, Bytes(4 * 10 + 3, 0)))->length(), 20);
  header.encoding = kv::kAuLinear24;
  EXPECT_EQ(openAu(auFile(header, Bytes(6 * 7 + 5, 0)))->length(), 14);
}

TEST(AuReading, ALongAnnotationIsSkippedNotRead) {
  AuHeader header;
  header.headerBytes = 1 << 20;
  std::size_t bytesRead = 0;
  const auto counted = [&bytesRead](Bytes bytes) {
    auto file = std::make_unique<kvtest::MemoryFile>(std::move(bytes));
    file->onRead([&bytesRead](std::size_t n) { bytesRead += n; });
    return file;
  };
  auto stream = kv::SoundStream::openRead(counted(auFile(header, Bytes(100, 1))), kv::kFileTypeAu);
  ASSERT_EQ(stream->lastError(), kv::kOk);
  EXPECT_EQ(stream->length(), 50);
  EXPECT_LT(bytesRead, 100u);

  // One that claims to run far beyond the end of the file is refused just as cheaply.
  Bytes huge = auFile(AuHeader{}, Bytes(100, 1));
  huge[4] = 0xFF;  // header length 0xFFFFFF18
  huge[5] = 0xFF;
  huge[6] = 0xFF;
  bytesRead = 0;
  stream = kv::SoundStream::openRead(counted(huge), kv::kFileTypeAu);
  EXPECT_EQ(stream->lastError(), kv::kMalformedInput);
  EXPECT_LT(bytesRead, 100u);
}

struct BadAu {
  const char* name;
  Bytes file;
  int32_t error;
};

void PrintTo(const BadAu& b, std::ostream* os) { *os << b.name; }

class AuRefusals : public ::testing::TestWithParam<BadAu> {};

TEST_P(AuRefusals, GiveTheirCode) { EXPECT_EQ(openAu(GetParam().file)->lastError(), GetParam().error); }

Bytes withHeader(void (*change)(AuHeader&)) {
  AuHeader header;
  change(header);
  return auFile(header, Bytes(16, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Headers, AuRefusals,
    ::testing::Values(
        BadAu{"WrongMagic", Bytes(64, 'x'), kv::kMalformedInput},
        BadAu{"ShortHeader", Bytes{'.', 's', 'n', 'd', 0, 0, 0, 24, 0, 0}, kv::kMalformedInput},
        BadAu{"HeaderLengthBelow24", withHeader([](AuHeader& h) { h.headerBytes = 20; }), kv::kMalformedInput},
        BadAu{"AnnotationBeyondTheEnd", cutTo(withHeader([](AuHeader& h) { h.headerBytes = 100; }), 99),
              kv::kMalformedInput},
        BadAu{"ThirtyTwoBitLinear", withHeader([](AuHeader& h) { h.encoding = 5; }), kv::kMalformedInput},
        BadAu{"ALaw", withHeader([](AuHeader& h) { h.encoding = 27; }), kv::kMalformedInput},
        BadAu{"RateZero", withHeader([](AuHeader& h) { h.rate = 0; }), kv::kMalformedInput},
        BadAu{"NoChannels", withHeader([](AuHeader& h) { h.channels = 0; }), kv::kMalformedInput},
        BadAu{"NegativeChannels", withHeader([](AuHeader& h) { h.channels = 0x80000000; }), kv::kMalformedInput},
        // Refused here, not by an allocation per channel later.
        BadAu{"OneChannelTooMany", withHeader([](AuHeader& h) { h.channels = 0x10000; }), kv::kMalformedInput},
        BadAu{"AbsurdChannels", withHeader([](AuHeader& h) { h.channels = 0x7FFFFFFF; }), kv::kMalformedInput}),
    [](const ::testing::TestParamInfo<BadAu>& info) { return std::string(info.param.name); });

// ADPCM data: codes packed least significant bits first.
struct Adpcm {
  const char* name;
  uint32_t encoding;
  kv::G72xDecoder decode;
  int codeBits;
};

void PrintTo(const Adpcm& a, std::ostream* os) { *os << a.name; }

class AuAdpcm : public ::testing::TestWithParam<Adpcm> {};

TEST_P(AuAdpcm, DecodesEveryCodeToTheEndOfTheFile) {
  const Adpcm& a = GetParam();
  Bytes data(301);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 37 + (i >> 3));
  AuHeader header;
  header.encoding = a.encoding;
  header.dataBytes = 10;  // not trusted
  auto stream = openAu(auFile(header, data));
  ASSERT_EQ(stream->lastError(), kv::kOk);
  EXPECT_EQ(stream->bytesPerSample(), 2);
  EXPECT_EQ(stream->encoding(), kv::kEncodingSigned);
  const int64_t codes = 301 * 8 / a.codeBits;
  EXPECT_EQ(stream->length(), codes);

  // What the decoder gives for the codes taken from the bytes, low bits first.
  std::vector<int32_t> expected;
  kv::G72xState state;
  kv::resetG72xState(state);
  for (int64_t i = 0; i < codes; ++i) {
    int code = 0;
    for (int bit = 0; bit < a.codeBits; ++bit) {
      const int64_t at = i * a.codeBits + bit;
      code |= ((data[static_cast<std::size_t>(at / 8)] >> (at % 8)) & 1) << bit;
    }
    expected.push_back(a.decode(code, kv::kG72xLinear, state) * 65536);
  }
  EXPECT_EQ(readAllSamples(*stream), expected);

  // Seeking decodes again from the start: the samples are the same as on the way through.
  ASSERT_EQ(stream->seekFrame(codes / 2), kv::kOk);
  std::vector<int32_t> tail(static_cast<std::size_t>(codes));
  int64_t got = 0;
  EXPECT_EQ(stream->read(tail.data(), codes, got), kv::kEndOfFile);
  ASSERT_EQ(got, codes - codes / 2);
  EXPECT_TRUE(std::equal(tail.begin(), tail.begin() + got, expected.begin() + codes / 2));
  ASSERT_EQ(stream->seekFrame(0), kv::kOk);
  EXPECT_EQ(readAllSamples(*stream), expected);

  // A seek forward from part-way through lands on the same samples.
  ASSERT_EQ(stream->seekFrame(0), kv::kOk);
  std::vector<int32_t> head(static_cast<std::size_t>(codes / 4));
  ASSERT_EQ(stream->read(head.data(), codes / 4, got), kv::kOk);
  ASSERT_EQ(stream->seekFrame(codes / 2), kv::kOk);
  ASSERT_EQ(stream->read(tail.data(), codes - codes / 2, got), kv::kOk);
  EXPECT_TRUE(std::equal(tail.begin(), tail.begin() + got, expected.begin() + codes / 2));
  EXPECT_EQ(got, codes - codes / 2);
}

INSTANTIATE_TEST_SUITE_P(Rates, AuAdpcm,
                         ::testing::Values(Adpcm{"G721", kv::kAuG721, kv::g721Decode, 4},
                                           Adpcm{"G723_24", kv::kAuG723_24, kv::g723_24Decode, 3},
                                           Adpcm{"G723_40", kv::kAuG723_40, kv::g723_40Decode, 5}),
                         [](const ::testing::TestParamInfo<Adpcm>& info) { return std::string(info.param.name); });

class AuWriting : public kvtest::TempDirTest {};

TEST_F(AuWriting, HeaderIsBigEndianAndStatesTheDataSizeOnceFinished) {
  auto disk = std::make_unique<kvtest::MemoryFile>();
  const auto contents = disk->contents();
  auto out =
      kv::SoundStream::openWrite(kv::SampleFormat::make(44100.0f, 2, kv::kUnset, 1), std::move(disk), kv::kFileTypeAu);
  ASSERT_EQ(out->lastError(), kv::kOk);
  const std::vector<int32_t> samples = sineLikeSamples(500);
  ASSERT_EQ(out->write(samples.data(), 500), kv::kOk);
  EXPECT_EQ(kvtest::fieldBE32(*contents, 8), kv::kAuUnknownDataSize);  // until finished
  EXPECT_EQ(openAu(*contents)->length(), 500);                         // and readable all the same
  ASSERT_EQ(out->close(), kv::kOk);

  Bytes expected;
  kvtest::appendText(expected, ".snd");
  for (uint32_t field : {24u, 1000u, kv::kAuLinear16, 44100u, 1u}) kvtest::appendBE32(expected, field);
  ASSERT_EQ(contents->size(), 24u + 1000u);
  EXPECT_EQ(Bytes(contents->begin(), contents->begin() + 24), expected);
  EXPECT_EQ((*contents)[24], static_cast<uint8_t>(samples[0] >> 24));
}

TEST_F(AuWriting, WhatAuCannotStoreBecomesMuLawAtTheSameRate) {
  struct Forced {
    int sampleBytes;
    int32_t encoding;
    float rate;
  };
  for (const Forced& f : {Forced{1, kv::kEncodingUnsigned, 22050.0f}, Forced{2, kv::kEncodingUnsigned, 44100.0f},
                          Forced{1, kv::kEncodingALaw, 11025.0f}, Forced{4, kv::kEncodingSigned, 48000.0f}}) {
    kv::SampleFormat format = kv::SampleFormat::make(f.rate, f.sampleBytes, kv::kUnset, 1);
    format.encoding = f.encoding;
    auto disk = std::make_unique<kvtest::MemoryFile>();
    const auto contents = disk->contents();
    auto out = kv::SoundStream::openWrite(format, std::move(disk), kv::kFileTypeAu);
    ASSERT_EQ(out->lastError(), kv::kOk);
    EXPECT_EQ(out->bytesPerSample(), 1);
    EXPECT_EQ(out->encoding(), kv::kEncodingMuLaw);
    EXPECT_EQ(out->sampleRate(), f.rate);
    const int32_t samples[2] = {0x12345678, -0x23456789};
    ASSERT_EQ(out->write(samples, 2), kv::kOk);
    ASSERT_EQ(out->close(), kv::kOk);
    EXPECT_EQ(kvtest::fieldBE32(*contents, 12), kv::kAuMuLaw8);
    EXPECT_EQ(kvtest::fieldBE32(*contents, 16), static_cast<uint32_t>(f.rate));  // plays at the right speed
    EXPECT_EQ((*contents)[24], kv::linearToMuLaw((samples[0] >> 16) + 8));
  }
}

TEST_F(AuWriting, UnsetEncodingsTakeTheNaturalAuEncoding) {
  for (int sampleBytes : {1, 2, 3}) {
    auto disk = std::make_unique<kvtest::MemoryFile>();
    const auto contents = disk->contents();
    auto out = kv::SoundStream::openWrite(kv::SampleFormat::make(8000.0f, sampleBytes, kv::kUnset, 1), std::move(disk),
                                          kv::kFileTypeAu);
    ASSERT_EQ(out->lastError(), kv::kOk);
    out->close();
    const uint32_t expected[] = {kv::kAuMuLaw8, kv::kAuLinear16, kv::kAuLinear24};
    EXPECT_EQ(kvtest::fieldBE32(*contents, 12), expected[sampleBytes - 1]) << sampleBytes;
  }
}

TEST_F(AuWriting, RefusesWhatItCannotWrite) {
  EXPECT_EQ(kv::SoundStream::openWrite(kv::SampleFormat::make(0.0f, 2, kv::kUnset, 1),
                                       std::make_unique<kvtest::MemoryFile>(), kv::kFileTypeAu)
                ->lastError(),
            kv::kBadCall);
  EXPECT_EQ(kv::SoundStream::openWrite(kv::SampleFormat::make(8000.0f, 2, kv::kUnset, 3),
                                       std::make_unique<kvtest::MemoryFile>(), kv::kFileTypeAu)
                ->lastError(),
            kv::kBadCall);
}

}  // namespace
