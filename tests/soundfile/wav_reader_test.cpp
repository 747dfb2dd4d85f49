#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "soundfile/sound_stream.h"
#include "soundfile/wav_handler.h"
#include "tests/soundfile/support/memory_file.h"
#include "tests/soundfile/support/riff_builder.h"
#include "tests/soundfile/support/sample_patterns.h"

namespace {

using kvtest::Bytes;
using kvtest::chunk;
using kvtest::fmtBody;
using kvtest::riff;

const std::vector<int16_t> kRamp = kvtest::ramp16(100);
const Bytes kData = kvtest::pcm16(kRamp);

Bytes listChunk() { return chunk("LIST", {'I', 'N', 'F', 'O', 'I', 'S', 'F', 'T', 4, 0, 0, 0, 'l', 'a', 'v', 0}); }

std::unique_ptr<kv::SoundStream> open(const Bytes& bytes, int fileType = kv::kFileTypeDetect) {
  return kv::SoundStream::openRead(std::make_unique<kvtest::MemoryFile>(bytes), fileType);
}

struct WavCase {
  std::string name;
  Bytes file;
  int32_t error;
  int64_t length;  // samples expected when the file opens
};

void PrintTo(const WavCase& c, std::ostream* os) { *os << c.name; }

std::vector<WavCase> wavCases() {
  const Bytes fmtMono16 = chunk("fmt ", fmtBody(1, 1, 44100, 16));
  Bytes fmt18 = fmtBody(1, 1, 44100, 16);
  fmt18.insert(fmt18.end(), {0, 0});  // the extension size of the longer format block
  Bytes fmt17 = fmtBody(1, 1, 44100, 16);
  fmt17.push_back(0);
  Bytes provisional = riff({fmtMono16, chunk("data", kData, kv::kWavProvisionalDataSize)});
  Bytes truncated = riff({fmtMono16, chunk("data", kData, 1000)});
  Bytes shortFile = riff({fmtMono16, chunk("data", Bytes(20, 0))});
  const Bytes data = chunk("data", kData);
  const auto extensible = [&](const Bytes& subFormat, uint16_t containerBits, uint16_t validBits,
                              uint16_t extensionSize = 22) {
    return riff(
        {chunk("fmt ", kvtest::extensibleFmtBody(subFormat, 1, 44100, containerBits, validBits, extensionSize)), data});
  };
  Bytes longerExtension = kvtest::extensibleFmtBody(kvtest::tagGuid(1), 1, 44100, 16, 16, 24);
  longerExtension.insert(longerExtension.end(), {0, 0});
  Bytes extensionBeyondTheBlock = kvtest::extensibleFmtBody(kvtest::tagGuid(1), 1, 44100, 16, 16, 24);
  Bytes blockWithoutExtension = fmtBody(0xFFFE, 1, 44100, 16);
  blockWithoutExtension.insert(blockWithoutExtension.end(), {22, 0});

  return {
      {"Plain", riff({fmtMono16, chunk("data", kData)}), kv::kOk, 100},
      {"ListChunksAroundFormat", riff({listChunk(), fmtMono16, listChunk(), chunk("data", kData)}), kv::kOk, 100},
      {"OddChunkIsSkippedWithItsPad", riff({chunk("junk", {1, 2, 3}), fmtMono16, chunk("data", kData)}), kv::kOk, 100},
      {"LongerFormatBlock", riff({chunk("fmt ", fmt18), chunk("data", kData)}), kv::kOk, 100},
      {"OddFormatBlock", riff({chunk("fmt ", fmt17), chunk("data", kData)}), kv::kOk, 100},
      {"TruncatedDataHoldsWhatIsThere", truncated, kv::kOk, 100},
      {"ProvisionalHeaderReadsToTheEnd", provisional, kv::kOk, 100},
      {"ShorterThanTheProbe", shortFile, kv::kFileError, 0},
      {"RiffWithoutWave", riff({fmtMono16, chunk("data", kData)}, "AVI "), kv::kUnsupportedFormat, 0},
      {"NotRiff", Bytes(200, 'x'), kv::kUnsupportedFormat, 0},
      {"NoFormatChunk", riff({chunk("data", kData)}), kv::kFileError, 0},
      {"NoDataChunk", riff({fmtMono16, chunk("LIST", kData)}), kv::kFileError, 0},
      {"FormatTooShort", riff({chunk("fmt ", Bytes(14, 1)), chunk("data", kData)}), kv::kFileError, 0},
      {"RateZero", riff({chunk("fmt ", fmtBody(1, 1, 0, 16)), chunk("data", kData)}), kv::kFileError, 0},
      {"NoChannels", riff({chunk("fmt ", fmtBody(1, 0, 44100, 16)), chunk("data", kData)}), kv::kFileError, 0},
      {"Compressed", riff({chunk("fmt ", fmtBody(2, 1, 44100, 4)), chunk("data", kData)}), kv::kUnsupportedFormat, 0},
      {"ThirtyTwoBit", riff({chunk("fmt ", fmtBody(1, 1, 44100, 32)), chunk("data", kData)}), kv::kFileError, 0},
      // No wave file is written with samples smaller than a byte: the header guesses at its data.
      {"SevenBit", riff({chunk("fmt ", fmtBody(1, 1, 44100, 7, 1)), chunk("data", kData)}), kv::kFileError, 0},
      {"NoSampleSize", riff({chunk("fmt ", fmtBody(1, 1, 44100, 0, 1)), chunk("data", kData)}), kv::kFileError, 0},
      {"TwentyFourBitInFourBytes", riff({chunk("fmt ", fmtBody(1, 1, 44100, 24, 4)), chunk("data", kData)}),
       kv::kFileError, 0},
      {"SixteenBitMuLaw", riff({chunk("fmt ", fmtBody(7, 1, 8000, 16)), chunk("data", kData)}), kv::kFileError, 0},
      {"ChunkRunsPastTheEnd", riff({chunk("LIST", kData, 100000), fmtMono16}), kv::kFileError, 0},
      // The extensible format block: the format is the one its sub-format names.
      {"ExtensiblePcm", extensible(kvtest::tagGuid(1), 16, 16), kv::kOk, 100},
      {"ExtensionLongerThanItsFields", riff({chunk("fmt ", longerExtension), data}), kv::kOk, 100},
      {"ExtensibleFloat", extensible(kvtest::tagGuid(3), 16, 16), kv::kUnsupportedFormat, 0},
      {"ExtensibleOfAnotherTag", extensible(kvtest::tagGuid(2), 16, 16), kv::kUnsupportedFormat, 0},
      {"ExtensibleInsideExtensible", extensible(kvtest::tagGuid(0xFFFE), 16, 16), kv::kUnsupportedFormat, 0},
      {"SubFormatBeyondAnyTag", extensible(kvtest::tagGuid(0x10001), 16, 16), kv::kUnsupportedFormat, 0},
      {"SubFormatOfAnotherFamily", extensible(kvtest::bFormatPcmGuid(), 16, 16), kv::kUnsupportedFormat, 0},
      {"ExtensionSizeShort", extensible(kvtest::tagGuid(1), 16, 16, 21), kv::kFileError, 0},
      {"ExtensionSizeZero", extensible(kvtest::tagGuid(1), 16, 16, 0), kv::kFileError, 0},
      {"ExtensionBeyondTheFormatBlock", riff({chunk("fmt ", extensionBeyondTheBlock), data}), kv::kFileError, 0},
      {"ExtensibleBlockWithoutItsExtension", riff({chunk("fmt ", blockWithoutExtension), data}), kv::kFileError, 0},
      // The samples are read by their containers, whatever the valid bits say.
      {"ValidBitsBeyondTheContainer", extensible(kvtest::tagGuid(1), 16, 24), kv::kOk, 100},
      {"NoValidBits", extensible(kvtest::tagGuid(1), 16, 0), kv::kOk, 100},
      {"ContainerOfPartBytes", extensible(kvtest::tagGuid(1), 12, 12), kv::kOk, 100},
      {"ThirtyTwoBitContainer", extensible(kvtest::tagGuid(1), 32, 24), kv::kFileError, 0},
      {"ExtensibleSixteenBitMuLaw", extensible(kvtest::tagGuid(7), 16, 16), kv::kFileError, 0},
  };
}

class WavReading : public ::testing::TestWithParam<WavCase> {};

TEST_P(WavReading, GivesTheRightResult) {
  const WavCase& c = GetParam();
  auto stream = open(c.file);
  ASSERT_TRUE(stream);
  ASSERT_EQ(stream->lastError(), c.error);
  if (c.error != kv::kOk) return;
  EXPECT_EQ(stream->typeFound(), kv::kFileTypeWav);
  EXPECT_EQ(stream->handlerName(), "wav");
  EXPECT_EQ(stream->bytesPerSample(), 2);
  EXPECT_EQ(stream->encoding(), kv::kEncodingSigned);
  EXPECT_EQ(stream->channels(), 1);
  EXPECT_EQ(stream->sampleRate(), 44100.0f);
  EXPECT_EQ(stream->length(), c.length);

  std::vector<int32_t> samples(200);
  int64_t got = 0;
  EXPECT_EQ(stream->read(samples.data(), 200, got), kv::kEndOfFile);
  ASSERT_EQ(got, c.length);
  for (int64_t i = 0; i < got; ++i)
    ASSERT_EQ(samples[static_cast<std::size_t>(i)], kRamp[static_cast<std::size_t>(i)] * 65536) << i;
}

INSTANTIATE_TEST_SUITE_P(Files, WavReading, ::testing::ValuesIn(wavCases()),
                         [](const ::testing::TestParamInfo<WavCase>& info) { return info.param.name; });

// The extensible format block states a format the plain block could state as well: such a file
// reads sample for sample as the plain file with the same data.
struct ExtensibleCase {
  std::string name;
  uint16_t tag;  // of the plain file, and the extensible one's sub-format
  uint16_t channels;
  uint16_t containerBits;
  uint16_t validBits;
};

void PrintTo(const ExtensibleCase& c, std::ostream* os) { *os << c.name; }

class WavExtensible : public ::testing::TestWithParam<ExtensibleCase> {};

TEST_P(WavExtensible, ReadsAsThePlainFile) {
  const ExtensibleCase& c = GetParam();
  Bytes data(240);  // whole frames of every case
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 37 + 11);
  auto plain = open(riff({chunk("fmt ", fmtBody(c.tag, c.channels, 48000, c.containerBits)), chunk("data", data)}));
  auto extensible = open(riff({chunk("fmt ", kvtest::extensibleFmtBody(kvtest::tagGuid(c.tag), c.channels, 48000,
                                                                       c.containerBits, c.validBits)),
                               chunk("data", data)}));
  ASSERT_EQ(plain->lastError(), kv::kOk);
  ASSERT_EQ(extensible->lastError(), kv::kOk);
  EXPECT_EQ(extensible->typeFound(), kv::kFileTypeWav);
  EXPECT_EQ(extensible->bytesPerSample(), plain->bytesPerSample());
  EXPECT_EQ(extensible->encoding(), plain->encoding());
  EXPECT_EQ(extensible->channels(), c.channels);
  EXPECT_EQ(extensible->sampleRate(), 48000.0f);
  EXPECT_EQ(extensible->length(), plain->length());
  const std::vector<int32_t> expected = kvtest::readAllSamples(*plain);
  EXPECT_EQ(expected.size(), 240u / (c.containerBits / 8));
  EXPECT_EQ(kvtest::readAllSamples(*extensible), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, WavExtensible,
    ::testing::Values(ExtensibleCase{"Pcm16Mono", 1, 1, 16, 16}, ExtensibleCase{"Pcm16Stereo", 1, 2, 16, 16},
                      ExtensibleCase{"Pcm12In16Mono", 1, 1, 16, 12}, ExtensibleCase{"Pcm24Mono", 1, 1, 24, 24},
                      ExtensibleCase{"Pcm24Stereo", 1, 2, 24, 24}, ExtensibleCase{"Pcm20In24Stereo", 1, 2, 24, 20},
                      ExtensibleCase{"Pcm8Mono", 1, 1, 8, 8}, ExtensibleCase{"Pcm16FourChannels", 1, 4, 16, 16},
                      ExtensibleCase{"MuLawMono", 7, 1, 8, 8}, ExtensibleCase{"MuLawStereo", 7, 2, 8, 8},
                      ExtensibleCase{"ALawMono", 6, 1, 8, 8}, ExtensibleCase{"ALawStereo", 6, 2, 8, 8}),
    [](const ::testing::TestParamInfo<ExtensibleCase>& info) { return info.param.name; });

TEST(WavReading, AFileNamedAsWavIsCheckedByTheHandlerItself) {
  const Bytes fmtMono16 = chunk("fmt ", fmtBody(1, 1, 44100, 16));
  EXPECT_EQ(open(riff({fmtMono16, chunk("data", kData)}, "AVI "), kv::kFileTypeWav)->lastError(), kv::kFileError);
  EXPECT_EQ(open(Bytes(200, 'x'), kv::kFileTypeWav)->lastError(), kv::kUnsupportedFormat);

  // Without detection a small file is fine.
  auto tiny = open(riff({fmtMono16, chunk("data", kvtest::pcm16({1, 2, 3}))}), kv::kFileTypeWav);
  EXPECT_EQ(tiny->lastError(), kv::kOk);
  EXPECT_EQ(tiny->length(), 3);
}

TEST(WavReading, StereoSixteenBit) {
  const Bytes file = riff({chunk("fmt ", fmtBody(1, 2, 44100, 16)), chunk("data", kData)});
  auto stream = open(file);
  ASSERT_EQ(stream->lastError(), kv::kOk);
  EXPECT_EQ(stream->channels(), 2);
  EXPECT_EQ(stream->length(), 100);
  EXPECT_DOUBLE_EQ(stream->duration(), 50.0 / 44100.0);
}

TEST(WavReading, ACutOffFrameIsNotCounted) {
  Bytes data = kData;
  data.resize(198);  // 49 whole stereo frames and half of one
  auto stream = open(riff({chunk("fmt ", fmtBody(1, 2, 44100, 16)), chunk("data", data, 400)}));
  ASSERT_EQ(stream->lastError(), kv::kOk);
  EXPECT_EQ(stream->length(), 98);
}

TEST(WavReading, EightBitIsUnsigned) {
  Bytes data(150);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
  auto stream = open(riff({chunk("fmt ", fmtBody(1, 1, 11025, 8)), chunk("data", data)}));
  ASSERT_EQ(stream->lastError(), kv::kOk);
  EXPECT_EQ(stream->bytesPerSample(), 1);
  EXPECT_EQ(stream->encoding(), kv::kEncodingUnsigned);
  int32_t samples[3];
  int64_t got = 0;
  ASSERT_EQ(stream->seekFrame(127), kv::kOk);
  ASSERT_EQ(stream->read(samples, 3, got), kv::kOk);
  EXPECT_EQ(samples[0], -(1 << 24));
  EXPECT_EQ(samples[1], 0);
  EXPECT_EQ(samples[2], 1 << 24);
}

TEST(WavReading, CompandedEightBit) {
  const Bytes data(150, 0x80);  // the same byte means different levels under the two laws
  auto mu = open(riff({chunk("fmt ", fmtBody(7, 1, 8000, 8)), chunk("data", data)}));
  auto a = open(riff({chunk("fmt ", fmtBody(6, 1, 8000, 8)), chunk("data", data)}));
  ASSERT_EQ(mu->lastError(), kv::kOk);
  ASSERT_EQ(a->lastError(), kv::kOk);
  EXPECT_EQ(mu->encoding(), kv::kEncodingMuLaw);
  EXPECT_EQ(a->encoding(), kv::kEncodingALaw);
  int32_t sample = 0;
  int64_t got = 0;
  ASSERT_EQ(mu->read(&sample, 1, got), kv::kOk);
  EXPECT_EQ(sample, 32124 << 16);
  ASSERT_EQ(a->read(&sample, 1, got), kv::kOk);
  EXPECT_EQ(sample, 5504 << 16);  // A-law code 0x80 is 0xD5 ^ 0x55: segment 5, mantissa 5
}

// A refused sample size is named, so that a message can say more than "damaged".
TEST(WavReading, SaysWhichSampleSizeItRefuses) {
  const struct {
    uint16_t bits;
    uint16_t blockAlign;
    const char* problem;
  } cases[] = {
      {7, 1, "it says its samples have 7 bits, a size wave files do not have (theirs have 8 to 24 bits)"},
      {1, 1, "it says its samples have 1 bits, a size wave files do not have (theirs have 8 to 24 bits)"},
      {0, 1, "its header gives no sample size"},
      {32, 4, "it holds 32-bit samples, which this program does not read"},
      {24, 4, "it holds 24-bit samples stored in a way this program does not read"},
  };
  for (const auto& c : cases) {
    auto stream = open(riff({chunk("fmt ", fmtBody(1, 1, 44100, c.bits, c.blockAlign)), chunk("data", kData)}));
    EXPECT_EQ(stream->lastError(), kv::kFileError) << c.bits;
    EXPECT_EQ(stream->problem(), c.problem) << c.bits;
  }
  EXPECT_EQ(open(riff({chunk("fmt ", fmtBody(1, 1, 44100, 16)), chunk("data", kData)}))->problem(), "");
}

// A file cut short reads what it holds and tells what its header gave; a whole one gives its
// length, and an unfinished header gives none.
TEST(WavReading, TellsTheLengthItsHeaderGives) {
  const Bytes fmt = chunk("fmt ", fmtBody(1, 2, 44100, 16));
  const struct {
    const char* name;
    Bytes file;
    int64_t length;
    int64_t stated;
  } cases[] = {
      {"whole", riff({fmt, chunk("data", kData)}), 100, 100},
      {"cut short", riff({fmt, chunk("data", kData, 1000)}), 100, 500},
      {"cut inside a frame",
       riff({chunk("junk", Bytes(100, 0)), fmt, chunk("data", Bytes(kData.begin(), kData.begin() + 6), 1002)}), 2, 500},
      {"unfinished", riff({fmt, chunk("data", kData, kv::kWavProvisionalDataSize)}), 100, -1},
  };
  for (const auto& c : cases) {
    auto stream = open(c.file);
    ASSERT_EQ(stream->lastError(), kv::kOk) << c.name;
    EXPECT_EQ(stream->length(), c.length) << c.name;
    EXPECT_EQ(stream->statedLength(), c.stated) << c.name;
  }
}

TEST(WavReading, TwentyAndTwentyFourBitDataReadAsTwentyFourBit) {
  const Bytes data = {0x00, 0x10, 0x80, 0x56, 0x34, 0x12};  // two 3-byte samples, little-endian
  Bytes padded = data;
  padded.resize(150, 0);
  for (uint16_t bits : {20, 24}) {
    auto stream = open(riff({chunk("fmt ", fmtBody(1, 1, 48000, bits, 3)), chunk("data", padded)}));
    ASSERT_EQ(stream->lastError(), kv::kOk) << bits;
    EXPECT_EQ(stream->bytesPerSample(), 3);
    EXPECT_EQ(stream->encoding(), kv::kEncodingSigned);
    EXPECT_EQ(stream->length(), 50);
    int32_t samples[2];
    int64_t got = 0;
    ASSERT_EQ(stream->read(samples, 2, got), kv::kOk);
    EXPECT_EQ(samples[0], static_cast<int32_t>(0x80100000u));
    EXPECT_EQ(samples[1], 0x12345600);
  }
}

}  // namespace
