#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "soundfile/sound_stream.h"
#include "tests/soundfile/support/memory_file.h"
#include "tests/soundfile/support/riff_builder.h"
#include "tests/soundfile/support/sample_patterns.h"
#include "tests/soundfile/support/temp_dir.h"

namespace {

using kvtest::quantised;
using kvtest::readAllSamples;
using kvtest::sineLikeSamples;

using kvtest::Bytes;

class WavWriting : public kvtest::TempDirTest {};

TEST_F(WavWriting, MonoSixteenBitHeaderIsTheClassicFortyFourBytes) {
  const std::string file = path("out.wav");
  auto out = kv::SoundStream::openWrite(kv::SampleFormat::make(44100.0f, 2, kv::kUnset, 1), file, kv::kFileTypeWav);
  ASSERT_TRUE(out);
  ASSERT_EQ(out->lastError(), kv::kOk);
  const std::vector<int32_t> samples = sineLikeSamples(1000);
  ASSERT_EQ(out->write(samples.data(), 1000), kv::kOk);
  ASSERT_EQ(out->close(), kv::kOk);

  Bytes expected;
  kvtest::appendText(expected, "RIFF");
  kvtest::appendLE32(expected, 2000 + 36);
  kvtest::appendText(expected, "WAVEfmt ");
  kvtest::appendLE32(expected, 16);
  kvtest::appendLE16(expected, 1);      // PCM
  kvtest::appendLE16(expected, 1);      // mono
  kvtest::appendLE32(expected, 44100);  // rate
  kvtest::appendLE32(expected, 88200);  // bytes per second
  kvtest::appendLE16(expected, 2);      // block align
  kvtest::appendLE16(expected, 16);     // bits
  kvtest::appendText(expected, "data");
  kvtest::appendLE32(expected, 2000);

  const Bytes bytes = readAll(file);
  ASSERT_EQ(bytes.size(), 44u + 2000u);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 44), expected);
  EXPECT_EQ(bytes[44], static_cast<uint8_t>(samples[0] >> 16));
}

TEST_F(WavWriting, TwentyFourBitHeaderAgreesWithTheSamples) {
  const std::string file = path("out24.wav");
  auto out = kv::SoundStream::openWrite(kv::SampleFormat::make(48000.0f, 3, kv::kUnset, 2), file, kv::kFileTypeWav);
  ASSERT_EQ(out->lastError(), kv::kOk);
  const std::vector<int32_t> samples = sineLikeSamples(100);
  ASSERT_EQ(out->write(samples.data(), 100), kv::kOk);
  ASSERT_EQ(out->close(), kv::kOk);

  const Bytes bytes = readAll(file);
  ASSERT_EQ(bytes.size(), 44u + 300u);
  EXPECT_EQ(bytes[28] | bytes[29] << 8 | bytes[30] << 16, 48000 * 6);  // bytes per second
  EXPECT_EQ(bytes[32], 6);                                             // block align
  EXPECT_EQ(bytes[34], 24);                                            // bits
  EXPECT_EQ(bytes[40] | bytes[41] << 8, 300);                          // data size
}

TEST_F(WavWriting, OddDataGetsItsPadByte) {
  const std::string file = path("odd.wav");
  const std::vector<int32_t> samples = sineLikeSamples(151);
  {
    auto out = kv::SoundStream::openWrite(kv::SampleFormat::make(8000.0f, 1, kv::kUnset, 1), file, kv::kFileTypeWav);
    ASSERT_EQ(out->write(samples.data(), 151), kv::kOk);
  }
  const Bytes bytes = readAll(file);
  ASSERT_EQ(bytes.size(), 44u + 152u);
  EXPECT_EQ(bytes[4], 36 + 152);  // RIFF size counts the pad
  EXPECT_EQ(bytes[40], 151);      // data size does not
  EXPECT_EQ(bytes.back(), 0);
  auto in = kv::SoundStream::openRead(file);
  ASSERT_EQ(in->lastError(), kv::kOk);
  EXPECT_EQ(in->length(), 151);
}

TEST_F(WavWriting, FinishingMidwayLetsWritingGoOn) {
  const std::string file = path("midway.wav");
  const std::vector<int32_t> samples = sineLikeSamples(300);
  auto out = kv::SoundStream::openWrite(kv::SampleFormat::make(8000.0f, 2, kv::kUnset, 1), file, kv::kFileTypeWav);
  ASSERT_EQ(out->write(samples.data(), 100), kv::kOk);
  ASSERT_EQ(out->finish(), kv::kOk);
  EXPECT_EQ(readAll(file)[40], 200);  // a valid file already
  ASSERT_EQ(out->write(samples.data() + 100, 200), kv::kOk);
  ASSERT_EQ(out->close(), kv::kOk);

  auto in = kv::SoundStream::openRead(file);
  ASSERT_EQ(in->length(), 300);
  std::vector<int32_t> back(300);
  int64_t got = 0;
  ASSERT_EQ(in->read(back.data(), 300, got), kv::kOk);
  EXPECT_EQ(back[100], quantised(samples[100], 2));
  EXPECT_EQ(back[299], quantised(samples[299], 2));
}

TEST_F(WavWriting, AFullDiskIsReportedAndLeavesAValidFile) {
  auto disk = std::make_unique<kvtest::MemoryFile>(Bytes{}, 44 + 501);  // room for 250.5 samples
  const auto contents = disk->contents();
  auto out =
      kv::SoundStream::openWrite(kv::SampleFormat::make(8000.0f, 2, kv::kUnset, 1), std::move(disk), kv::kFileTypeWav);
  ASSERT_EQ(out->lastError(), kv::kOk);
  const std::vector<int32_t> samples = sineLikeSamples(1000);
  EXPECT_EQ(out->write(samples.data(), 1000), kv::kFileError);
  EXPECT_EQ(out->length(), 250);
  EXPECT_EQ(out->write(samples.data(), 10), kv::kFileError);
  EXPECT_EQ(out->close(), kv::kOk);

  auto in = kv::SoundStream::openRead(std::make_unique<kvtest::MemoryFile>(*contents));
  ASSERT_EQ(in->lastError(), kv::kOk);
  EXPECT_EQ(in->length(), 250);
  std::vector<int32_t> back(250);
  int64_t got = 0;
  ASSERT_EQ(in->read(back.data(), 250, got), kv::kOk);
  EXPECT_EQ(back[249], quantised(samples[249], 2));
}

TEST_F(WavWriting, ReplacesAnExistingFile) {
  const std::string file = path("again.wav");
  writeAll(file, Bytes(5000, 0x55));
  {
    auto out = kv::SoundStream::openWrite(kv::SampleFormat::make(8000.0f, 2, kv::kUnset, 1), file, kv::kFileTypeWav);
    const std::vector<int32_t> samples = sineLikeSamples(100);
    ASSERT_EQ(out->write(samples.data(), 100), kv::kOk);
  }
  EXPECT_EQ(readAll(file).size(), 44u + 200u);
}

TEST_F(WavWriting, RefusesWhatItCannotWriteWithoutTouchingTheFile) {
  const std::string file = path("keep.wav");
  const Bytes old(300, 0x55);
  writeAll(file, old);
  struct Refusal {
    kv::SampleFormat format;
    int fileType;
    int32_t error;
  };
  kv::SampleFormat thirtyTwoBit = kv::SampleFormat::make(8000.0f, 4, kv::kUnset, 1);
  kv::SampleFormat sixteenBitMuLaw = kv::SampleFormat::make(8000.0f, 2, kv::kUnset, 1);
  sixteenBitMuLaw.encoding = kv::kEncodingMuLaw;
  const Refusal refusals[] = {
      {thirtyTwoBit, kv::kFileTypeWav, kv::kUnsupportedFormat},
      {sixteenBitMuLaw, kv::kFileTypeWav, kv::kUnsupportedFormat},
      {kv::SampleFormat::make(0.0f, 2, kv::kUnset, 1), kv::kFileTypeWav, kv::kBadCall},
      {kv::SampleFormat::make(8000.0f, 2, kv::kUnset, 3), kv::kFileTypeWav, kv::kBadCall},
      {kv::SampleFormat::make(8000.0f, 2, kv::kUnset, 1), kv::kFileTypeAifc, kv::kUnsupportedFormat},
      {kv::SampleFormat::make(8000.0f, 2, kv::kUnset, 1), kv::kFileTypeMemory, kv::kUnsupportedFormat},
      {kv::SampleFormat::make(8000.0f, 2, kv::kUnset, 1), kv::kFileTypeSd2, kv::kUnsupportedFormat},
      {kv::SampleFormat::make(8000.0f, 2, kv::kUnset, 1), kv::kFileTypeRa, kv::kUnsupportedFormat},
      {kv::SampleFormat::make(8000.0f, 2, kv::kUnset, 1), 3, kv::kUnsupportedFormat},
  };
  for (const Refusal& r : refusals) {
    auto out = kv::SoundStream::openWrite(r.format, file, r.fileType);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->lastError(), r.error) << "type " << r.fileType;
    int32_t sample = 0;
    EXPECT_NE(out->write(&sample, 1), kv::kOk);
  }
  EXPECT_EQ(readAll(file), old);
}

TEST_F(WavWriting, AFileThatCannotBeCreatedIsAFileError) {
  auto out = kv::SoundStream::openWrite(kv::SampleFormat::make(8000.0f, 2, kv::kUnset, 1), path("no/such/dir.wav"),
                                        kv::kFileTypeWav);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->lastError(), kv::kFileError);
}

TEST_F(WavWriting, StreamsOnlyGoTheWayTheyWereOpened) {
  const std::string file = path("dir.wav");
  auto out = kv::SoundStream::openWrite(kv::SampleFormat::make(8000.0f, 2, kv::kUnset, 1), file, kv::kFileTypeWav);
  const std::vector<int32_t> samples = sineLikeSamples(200);
  ASSERT_EQ(out->write(samples.data(), 200), kv::kOk);
  int32_t sample = 0;
  int64_t got = 0;
  EXPECT_EQ(out->read(&sample, 1, got), kv::kBadCall);
  out->close();

  auto in = kv::SoundStream::openRead(file);
  ASSERT_EQ(in->lastError(), kv::kOk);
  EXPECT_EQ(in->write(&sample, 1), kv::kBadCall);
  EXPECT_EQ(in->read(&sample, 1, got), kv::kOk);
  in->close();
  EXPECT_EQ(in->read(&sample, 1, got), kv::kBadCall);  // closed
}

TEST_F(WavWriting, AMissingFileCannotBeRead) {
  auto in = kv::SoundStream::openRead(path("absent.wav"));
  ASSERT_TRUE(in);
  EXPECT_EQ(in->lastError(), kv::kFileError);
}

TEST_F(WavWriting, FileStreamsSeekByFrame) {
  const std::string file = path("seek.wav");
  const std::vector<int32_t> samples = sineLikeSamples(400);
  {
    auto out = kv::SoundStream::openWrite(kv::SampleFormat::make(100.0f, 3, kv::kUnset, 2), file, kv::kFileTypeWav);
    ASSERT_EQ(out->write(samples.data(), 400), kv::kOk);
  }
  auto in = kv::SoundStream::openRead(file);
  ASSERT_EQ(in->lastError(), kv::kOk);
  EXPECT_DOUBLE_EQ(in->duration(), 2.0);
  int32_t frame[2];
  int64_t got = 0;
  ASSERT_EQ(in->seekSeconds(1.234), kv::kOk);  // frame 123
  ASSERT_EQ(in->read(frame, 2, got), kv::kOk);
  EXPECT_EQ(frame[0], quantised(samples[246], 3));
  EXPECT_EQ(frame[1], quantised(samples[247], 3));
  EXPECT_EQ(in->seekFrame(201), kv::kFailure);
  ASSERT_EQ(in->seekFrame(0), kv::kOk);
  ASSERT_EQ(in->read(frame, 2, got), kv::kOk);
  EXPECT_EQ(frame[0], quantised(samples[0], 3));
}

}  // namespace
