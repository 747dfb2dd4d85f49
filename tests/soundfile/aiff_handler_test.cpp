#include "soundfile/aiff_handler.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "soundfile/sound_stream.h"
#include "tests/soundfile/support/aiff_builder.h"
#include "tests/soundfile/support/memory_file.h"
#include "tests/soundfile/support/sample_patterns.h"
#include "tests/soundfile/support/temp_dir.h"

namespace {

using kvtest::quantised;
using kvtest::readAllSamples;
using kvtest::sineLikeSamples;

using kvtest::Bytes;
using kvtest::commBody;
using kvtest::cutTo;
using kvtest::form;
using kvtest::iffChunk;
using kvtest::ssndBody;

const std::vector<int16_t> kRamp = kvtest::ramp16(100);
const Bytes kData = kvtest::pcm16BE(kRamp);
const Bytes kMono16 = iffChunk("COMM", commBody(1, 100, 16, kvtest::rate44100()));

std::unique_ptr<kv::SoundStream> openAiff(const Bytes& bytes, int fileType = kv::kFileTypeAiff) {
  return kv::SoundStream::openRead(std::make_unique<kvtest::MemoryFile>(bytes), fileType);
}

TEST(AiffReading, SixteenBitStereoAt44100) {
  auto stream =
      openAiff(form({iffChunk("COMM", commBody(2, 50, 16, kvtest::rate44100())), iffChunk("SSND", ssndBody(kData))}),
               kv::kFileTypeDetect);
  ASSERT_EQ(stream->lastError(), kv::kOk);
  EXPECT_EQ(stream->typeFound(), kv::kFileTypeAiff);
  EXPECT_EQ(stream->handlerName(), "aiff");
  EXPECT_EQ(stream->sampleRate(), 44100.0f);  // 400E AC44 0000 0000 0000
  EXPECT_EQ(stream->channels(), 2);
  EXPECT_EQ(stream->bytesPerSample(), 2);
  EXPECT_EQ(stream->encoding(), kv::kEncodingSigned);
  ASSERT_EQ(stream->length(), 100);
  const std::vector<int32_t> samples = readAllSamples(*stream);
  ASSERT_EQ(samples.size(), 100u);
  for (std::size_t i = 0; i < 100; ++i) ASSERT_EQ(samples[i], kRamp[i] * 65536) << "sample " << i;
}

TEST(AiffReading, UncompressedAifcReadsUnderItsOwnName) {
  const Bytes comm = iffChunk("COMM", kvtest::aifcCommBody(1, 100, 16, kvtest::rate8000(), "NONE", "not compressed"));
  auto stream =
      openAiff(form({iffChunk("FVER", {0xA2, 0x80, 0x51, 0x40}), comm, iffChunk("SSND", ssndBody(kData))}, "AIFC"),
               kv::kFileTypeDetect);
  ASSERT_EQ(stream->lastError(), kv::kOk);
  EXPECT_EQ(stream->typeFound(), kv::kFileTypeAifc);
  EXPECT_EQ(stream->handlerName(), "aifc (uncompressed)");
  EXPECT_EQ(stream->sampleRate(), 8000.0f);
  EXPECT_EQ(stream->length(), 100);
}

TEST(AiffReading, OffsetBytesAreSkippedAndEightAndTwentyFourBitSamplesRead) {
  const Bytes eightBit = {0x80, 0xFF, 0x00, 0x7F};
  auto stream = openAiff(
      form({iffChunk("COMM", commBody(1, 4, 8, kvtest::rate8000())), iffChunk("SSND", ssndBody(eightBit, 6))}));
  ASSERT_EQ(stream->lastError(), kv::kOk);
  EXPECT_EQ(stream->length(), 4);
  EXPECT_EQ(readAllSamples(*stream), (std::vector<int32_t>{INT32_MIN, -0x01000000, 0, 0x7F000000}));

  const Bytes twentyFourBit = {0x12, 0x34, 0x56, 0xFE, 0xDC, 0xBA};
  stream = openAiff(
      form({iffChunk("COMM", commBody(2, 1, 24, kvtest::rate8000())), iffChunk("SSND", ssndBody(twentyFourBit))}));
  ASSERT_EQ(stream->lastError(), kv::kOk);
  EXPECT_EQ(stream->bytesPerSample(), 3);
  EXPECT_EQ(readAllSamples(*stream), (std::vector<int32_t>{0x12345600, static_cast<int32_t>(0xFEDCBA00)}));
}

struct AiffCase {
  std::string name;
  Bytes file;
  int32_t error;
  int64_t length;  // samples expected when the file opens
};

void PrintTo(const AiffCase& c, std::ostream* os) { *os << c.name; }

Bytes marker() {
  Bytes body;
  kvtest::appendBE16(body, 1);   // one marker
  kvtest::appendBE16(body, 1);   // its id
  kvtest::appendBE32(body, 10);  // its position
  body.insert(body.end(), {3, 'c', 'u', 'e'});
  return iffChunk("MARK", body);
}

Bytes rate(uint16_t head, uint64_t mantissa) {
  Bytes out;
  kvtest::appendBE16(out, head);
  kvtest::appendBE32(out, static_cast<uint32_t>(mantissa >> 32));
  kvtest::appendBE32(out, static_cast<uint32_t>(mantissa));
  return out;
}

std::vector<AiffCase> aiffCases() {
  const Bytes ssnd = iffChunk("SSND", ssndBody(kData));
  const auto withComm = [&](uint16_t channels, uint16_t bits, const Bytes& rateBytes) {
    return form({iffChunk("COMM", commBody(channels, 100, bits, rateBytes)), ssnd});
  };
  Bytes alch = {0, 0, 0, 4};  // ALCH: an inner length, then its bytes
  alch.insert(alch.end(), {1, 2, 3, 4});
  Bytes oddSsnd = form({iffChunk("COMM", commBody(1, 7, 8, kvtest::rate8000())),
                        iffChunk("SSND", ssndBody(Bytes(7, 1))), iffChunk("ANNO", {'h', 'i'})});
  Bytes truncated = form({kMono16, iffChunk("SSND", ssndBody(kData), 2000 + 8)});
  Bytes commCutShort = cutTo(form({ssnd, iffChunk("COMM", commBody(1, 100, 16, kvtest::rate44100()))}),
                             12 + ssnd.size() + 8 + 12);  // the file ends inside the rate
  Bytes farOffset;
  kvtest::appendBE32(farOffset, 1000);  // offset, with no data after the fields
  kvtest::appendBE32(farOffset, 0);
  const auto aifc = [&](const std::string& type, const std::string& name) {
    return form({iffChunk("COMM", kvtest::aifcCommBody(1, 100, 16, kvtest::rate8000(), type, name)), ssnd}, "AIFC");
  };
  const Bytes aifcCommLast = form(
      {ssnd, iffChunk("COMM", kvtest::aifcCommBody(1, 100, 16, kvtest::rate8000(), "NONE", "not compressed"))}, "AIFC");
  Bytes strayBytes = form({kMono16});
  strayBytes.insert(strayBytes.end(), {'S', 'S', 'N'});

  return {
      {"SoundBeforeCommon", form({ssnd, kMono16}), kv::kOk, 100},
      {"MarkersWithoutInstrument", form({kMono16, marker(), ssnd}), kv::kOk, 100},
      {"InstrumentWithoutMarkers", form({kMono16, iffChunk("INST", Bytes(20, 0)), ssnd}), kv::kOk, 100},
      {"MarkersAndInstrument", form({marker(), kMono16, iffChunk("INST", Bytes(20, 0)), ssnd}), kv::kOk, 100},
      {"OddChunksAreFollowedByTheirPad",
       form({iffChunk("APPL", {'a', 'b', 'c'}), kMono16, iffChunk("NAME", {'x'}), ssnd}), kv::kOk, 100},
      {"OddSampleDataIsFollowedByItsPad", oddSsnd, kv::kOk, 7},
      {"AlchemyChunkIsSkipped", form({iffChunk("ALCH", alch), kMono16, ssnd}), kv::kOk, 100},
      {"TruncatedDataHoldsWhatIsThere", truncated, kv::kOk, 100},
      // Uncompressed data is named "not compressed" as well; another name is another compression.
      {"AifcWithAnEmptyCompressionName", aifc("NONE", ""), kv::kUnsupportedFormat, 0},
      {"AifcNamedOtherwise", aifc("NONE", "uncompressed"), kv::kUnsupportedFormat, 0},
      {"AifcNamedInOtherLetters", aifc("NONE", "Not Compressed"), kv::kUnsupportedFormat, 0},
      {"AifcCompressionNameCutShortByTheEnd", cutTo(aifcCommLast, aifcCommLast.size() - 6), kv::kMalformedInput, 0},
      {"AifcCompressed",
       form({iffChunk("COMM", kvtest::aifcCommBody(1, 100, 16, kvtest::rate8000(), "ulaw", "uLaw 2:1")), ssnd}, "AIFC"),
       kv::kUnsupportedFormat, 0},
      {"AifcCommonWithoutCompression", form({kMono16, ssnd}, "AIFC"), kv::kMalformedInput, 0},
      {"NotForm", Bytes(200, 'x'), kv::kMalformedInput, 0},
      {"FormOfAnotherType", form({kMono16, ssnd}, "8SVX"), kv::kMalformedInput, 0},
      {"NoSound", form({kMono16, iffChunk("APPL", kData)}), kv::kNoSoundData, 0},
      {"NoCommon", form({ssnd}), kv::kBadCall, 0},
      {"BlockSizeSet", form({kMono16, iffChunk("SSND", ssndBody(kData, 0, 4))}), kv::kFileError, 0},
      {"OffsetBeyondTheEnd", form({kMono16, iffChunk("SSND", farOffset)}), kv::kFileError, 0},
      {"TwelveBits", withComm(1, 12, kvtest::rate44100()), kv::kUnsupportedFormat, 0},
      {"ThirtyTwoBits", withComm(1, 32, kvtest::rate44100()), kv::kUnsupportedFormat, 0},
      {"ZeroRate", withComm(1, 16, Bytes(10, 0)), kv::kMalformedInput, 0},
      {"InfiniteRate", withComm(1, 16, rate(0x7FFF, 0)), kv::kMalformedInput, 0},
      {"NotANumberRate", withComm(1, 16, rate(0x7FFF, 0xC000000000000000)), kv::kMalformedInput, 0},
      {"NegativeRate", withComm(1, 16, rate(0xC00E, 0xAC44000000000000)), kv::kMalformedInput, 0},
      {"RateTooLargeForAFloat", withComm(1, 16, rate(0x43FE, 0x8000000000000000)), kv::kMalformedInput, 0},
      {"NoChannels", withComm(0, 16, kvtest::rate44100()), kv::kMalformedInput, 0},
      {"CommonCutShortByTheEnd", commCutShort, kv::kMalformedInput, 0},
      {"CutOffChunkBeforeAnySound", strayBytes, kv::kMalformedInput, 0},
  };
}

class AiffFiles : public ::testing::TestWithParam<AiffCase> {};

TEST_P(AiffFiles, OpenWithTheirCodeAndLength) {
  const AiffCase& c = GetParam();
  auto stream = openAiff(c.file);
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->lastError(), c.error);
  if (c.error == kv::kOk) {
    EXPECT_EQ(stream->length(), c.length);
  }
}

INSTANTIATE_TEST_SUITE_P(Chunks, AiffFiles, ::testing::ValuesIn(aiffCases()),
                         [](const ::testing::TestParamInfo<AiffCase>& info) { return info.param.name; });

class AiffWriting : public kvtest::TempDirTest {};

TEST_F(AiffWriting, MonoSixteenBitHeaderStatesEveryChunkSize) {
  auto disk = std::make_unique<kvtest::MemoryFile>();
  const auto contents = disk->contents();
  auto out = kv::SoundStream::openWrite(kv::SampleFormat::make(44100.0f, 2, kv::kUnset, 1), std::move(disk),
                                        kv::kFileTypeAiff);
  ASSERT_EQ(out->lastError(), kv::kOk);
  const std::vector<int32_t> samples = sineLikeSamples(1000);
  ASSERT_EQ(out->write(samples.data(), 1000), kv::kOk);
  ASSERT_EQ(out->close(), kv::kOk);

  Bytes expected;
  kvtest::appendText(expected, "FORM");
  kvtest::appendBE32(expected, 46 + 2000);
  kvtest::appendText(expected, "AIFFCOMM");
  kvtest::appendBE32(expected, 18);
  kvtest::appendBE16(expected, 1);     // channels
  kvtest::appendBE32(expected, 1000);  // frames
  kvtest::appendBE16(expected, 16);    // bits
  kvtest::appendBytes(expected, kvtest::rate44100());
  kvtest::appendText(expected, "SSND");
  kvtest::appendBE32(expected, 2000 + 8);
  kvtest::appendBE32(expected, 0);  // offset
  kvtest::appendBE32(expected, 0);  // block size

  ASSERT_EQ(contents->size(), 54u + 2000u);
  EXPECT_EQ(Bytes(contents->begin(), contents->begin() + 54), expected);
  EXPECT_EQ((*contents)[54], static_cast<uint8_t>(samples[0] >> 24));  // most significant byte first
}

TEST_F(AiffWriting, OddSampleDataGetsItsPadByte) {
  // Only mono data can have an odd size: every other channel count is even.
  struct Odd {
    int sampleBytes;
    int samples;
  };
  for (const Odd& odd : {Odd{1, 151}, Odd{3, 5}}) {
    const std::string file = path("odd.aiff");
    const std::vector<int32_t> samples = sineLikeSamples(odd.samples);
    {
      const kv::SampleFormat format = kv::SampleFormat::make(8000.0f, odd.sampleBytes, kv::kUnset, 1);
      auto out = kv::SoundStream::openWrite(format, file, kv::kFileTypeAiff);
      ASSERT_EQ(out->lastError(), kv::kOk);
      ASSERT_EQ(out->write(samples.data(), odd.samples), kv::kOk);
    }
    const Bytes bytes = readAll(file);
    const uint32_t dataBytes = static_cast<uint32_t>(odd.samples * odd.sampleBytes);
    ASSERT_EQ(bytes.size(), 54u + dataBytes + 1) << odd.sampleBytes;
    EXPECT_EQ(bytes.back(), 0);
    EXPECT_EQ(kvtest::fieldBE32(bytes, 4), 46 + dataBytes + 1);  // FORM counts the pad
    EXPECT_EQ(kvtest::fieldBE32(bytes, 42), dataBytes + 8);      // SSND does not

    auto in = kv::SoundStream::openRead(file, kv::kFileTypeAiff);
    ASSERT_EQ(in->lastError(), kv::kOk);
    EXPECT_EQ(in->length(), odd.samples);
  }
}

TEST_F(AiffWriting, AnUnfinishedFileReadsWhatWasWritten) {
  auto disk = std::make_unique<kvtest::MemoryFile>();
  const auto contents = disk->contents();
  auto out =
      kv::SoundStream::openWrite(kv::SampleFormat::make(8000.0f, 2, kv::kUnset, 2), std::move(disk), kv::kFileTypeAiff);
  const std::vector<int32_t> samples = sineLikeSamples(300);
  ASSERT_EQ(out->write(samples.data(), 300), kv::kOk);

  // As a crash would leave it: the provisional header claims far more than is there.
  auto in = openAiff(*contents);
  ASSERT_EQ(in->lastError(), kv::kOk);
  EXPECT_EQ(in->length(), 300);
}

TEST_F(AiffWriting, MuLawIsWidenedAndOtherEncodingsStoredSigned) {
  kv::SampleFormat muLaw = kv::SampleFormat::make(8000.0f, 1, kv::kUnset, 1);
  muLaw.encoding = kv::kEncodingMuLaw;
  auto out = kv::SoundStream::openWrite(muLaw, std::make_unique<kvtest::MemoryFile>(), kv::kFileTypeAiff);
  ASSERT_EQ(out->lastError(), kv::kOk);
  EXPECT_EQ(out->bytesPerSample(), 2);
  EXPECT_EQ(out->encoding(), kv::kEncodingSigned);

  kv::SampleFormat unsignedFormat = kv::SampleFormat::make(8000.0f, 1, kv::kUnset, 1);
  unsignedFormat.encoding = kv::kEncodingUnsigned;
  out = kv::SoundStream::openWrite(unsignedFormat, std::make_unique<kvtest::MemoryFile>(), kv::kFileTypeAiff);
  ASSERT_EQ(out->lastError(), kv::kOk);
  EXPECT_EQ(out->bytesPerSample(), 1);
  EXPECT_EQ(out->encoding(), kv::kEncodingSigned);
}

TEST_F(AiffWriting, RefusesWhatItCannotWriteWithoutTouchingTheFile) {
  const std::string file = path("keep.aiff");
  const Bytes old(300, 0x55);
  writeAll(file, old);
  struct Refusal {
    kv::SampleFormat format;
    int fileType;
    int32_t error;
  };
  const Refusal refusals[] = {
      {kv::SampleFormat::make(8000.0f, 4, kv::kUnset, 1), kv::kFileTypeAiff, kv::kUnsupportedFormat},
      {kv::SampleFormat::make(8000.0f, 2, kv::kUnset, 1), kv::kFileTypeAifc, kv::kUnsupportedFormat},
      {kv::SampleFormat::make(0.0f, 2, kv::kUnset, 1), kv::kFileTypeAiff, kv::kBadCall},
      {kv::SampleFormat::make(8000.0f, 2, kv::kUnset, 3), kv::kFileTypeAiff, kv::kBadCall},  // channels unset
  };
  for (const Refusal& r : refusals) {
    auto out = kv::SoundStream::openWrite(r.format, file, r.fileType);
    EXPECT_EQ(out->lastError(), r.error);
    EXPECT_EQ(readAll(file), old);
  }
}

}  // namespace
