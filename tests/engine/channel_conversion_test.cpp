#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

#include "engine/channel_conversion.h"
#include "soundfile/sound_stream.h"
#include "tests/soundfile/support/memory_file.h"
#include "tests/soundfile/support/riff_builder.h"
#include "tests/soundfile/support/sample_patterns.h"

namespace {

// 32-bit samples are stored whole, so every bit of what the conversion writes can be seen.
std::unique_ptr<kv::SoundStream> memoryOf(int channels, const std::vector<int32_t>& samples, float rate = 44100.0f) {
  auto stream =
      kv::SoundStream::createMemory(kv::SampleFormat::make(rate, 4, kv::kEncodingSigned, channels), nullptr, 0);
  if (!samples.empty()) stream->write(samples.data(), static_cast<int64_t>(samples.size()));
  return stream;
}

std::vector<int32_t> distinct(int count) {
  std::vector<int32_t> samples;
  for (int i = 0; i < count; ++i) samples.push_back(static_cast<int32_t>(static_cast<uint32_t>(i) * 0x9E3779B9u));
  return samples;
}

TEST(ChannelConversion, StereoToMonoAveragesTheUpperHalvesRoundingDown) {
  struct Case {
    int32_t left, right, mono;
  };
  const Case cases[] = {
      {3 << 16, 4 << 16, 3 << 16},
      {-3 * 65536, -4 * 65536, -4 * 65536},
      {0x0001FFFF, 0x0001FFFF, 1 << 16},  // the lower halves do not count
      {1 << 16, 0, 0},
      {-65536, 0, -65536},
      {INT32_MIN, INT32_MIN, INT32_MIN},
      {INT32_MAX, INT32_MAX, 0x7FFF0000},
      {INT32_MIN, INT32_MAX, -65536},
  };
  std::vector<int32_t> stereo;
  for (const Case& c : cases) {
    stereo.push_back(c.left);
    stereo.push_back(c.right);
  }
  auto in = memoryOf(2, stereo);
  auto out = memoryOf(1, {});
  ASSERT_EQ(kv::convertChannels(*in, *out), kv::kOk);
  const std::vector<int32_t> mono = kvtest::readAllSamples(*out);
  ASSERT_EQ(mono.size(), std::size(cases));
  for (size_t i = 0; i < mono.size(); ++i) {
    EXPECT_EQ(mono[i], cases[i].mono) << std::hex << cases[i].left << " and " << cases[i].right;
  }
}

TEST(ChannelConversion, MonoToStereoWritesEachSampleToBothChannels) {
  const std::vector<int32_t> mono = distinct(5000);  // several blocks
  auto in = memoryOf(1, mono);
  auto out = memoryOf(2, {});
  ASSERT_EQ(kv::convertChannels(*in, *out), kv::kOk);
  const std::vector<int32_t> stereo = kvtest::readAllSamples(*out);
  ASSERT_EQ(stereo.size(), 2 * mono.size());
  for (size_t i = 0; i < mono.size(); ++i) {
    ASSERT_EQ(stereo[2 * i], mono[i]) << "frame " << i;
    ASSERT_EQ(stereo[2 * i + 1], mono[i]) << "frame " << i;
  }
}

TEST(ChannelConversion, EqualChannelCountsAreCopiedSampleForSample) {
  for (int channels : {1, 2, 4}) {
    SCOPED_TRACE(channels);
    const std::vector<int32_t> samples = distinct(channels * 3000);
    auto in = memoryOf(channels, samples);
    auto out = memoryOf(channels, {});
    ASSERT_EQ(kv::convertChannels(*in, *out), kv::kOk);
    EXPECT_EQ(kvtest::readAllSamples(*out), samples);
  }
}

TEST(ChannelConversion, TheWholeInputIsReadWhereverItsPositionWas) {
  const std::vector<int32_t> samples = distinct(1000);
  auto in = memoryOf(1, samples);
  std::vector<int32_t> skipped(600);
  int64_t got = 0;
  ASSERT_EQ(in->read(skipped.data(), 600, got), kv::kOk);
  auto out = memoryOf(1, {});
  ASSERT_EQ(kv::convertChannels(*in, *out), kv::kOk);
  EXPECT_EQ(kvtest::readAllSamples(*out), samples);
}

TEST(ChannelConversion, DifferentRatesGoThroughTheSampleRateConverter) {
  auto in = memoryOf(2, distinct(2 * 1000), 22050.0f);
  auto out = memoryOf(1, {}, 44100.0f);
  ASSERT_EQ(kv::convertChannels(*in, *out), kv::kOk);
  EXPECT_EQ(out->length(), 2000);
}

TEST(ChannelConversion, RefusesChannelPairsItCannotMap) {
  const int pairs[][2] = {{2, 4}, {4, 1}, {1, 4}, {4, 2}};
  for (const auto& pair : pairs) {
    SCOPED_TRACE(testing::Message() << pair[0] << " to " << pair[1]);
    auto in = memoryOf(pair[0], distinct(pair[0] * 10));
    auto out = memoryOf(pair[1], {});
    EXPECT_EQ(kv::convertChannels(*in, *out), kv::kBadCall);
    EXPECT_EQ(out->length(), 0);
  }
}

TEST(ChannelConversion, RefusesStreamsInTheWrongRoles) {
  auto memory = memoryOf(1, distinct(100));
  EXPECT_EQ(kv::convertChannels(*memory, *memory), kv::kBadCall);

  // A stream being written is no input: it is refused without being moved.
  auto file = std::make_unique<kvtest::MemoryFile>();
  auto contents = file->contents();
  auto writing = kv::SoundStream::openWrite(kv::SampleFormat::make(44100.0f, 2, kv::kEncodingSigned, 1),
                                            std::move(file), kv::kFileTypeWav);
  const std::vector<int32_t> first = distinct(50);
  ASSERT_EQ(writing->write(first.data(), 50), kv::kOk);
  auto out = memoryOf(1, {});
  EXPECT_EQ(kv::convertChannels(*writing, *out), kv::kBadCall);
  ASSERT_EQ(writing->write(first.data(), 50), kv::kOk);
  ASSERT_EQ(writing->close(), kv::kOk);
  EXPECT_EQ(contents->size(), 44u + 200u);

  // A stream being read is no output.
  auto reading = kv::SoundStream::openRead(
      std::make_unique<kvtest::MemoryFile>(kvtest::riff({kvtest::chunk("fmt ", kvtest::fmtBody(1, 1, 44100, 16)),
                                                         kvtest::chunk("data", kvtest::pcm16(kvtest::ramp16(100)))})));
  ASSERT_EQ(reading->lastError(), kv::kOk);
  EXPECT_EQ(kv::convertChannels(*memory, *reading), kv::kBadCall);
}

// The header claims 3000 frames, the data holds 2500 and half a frame: the conversion ends at the
// last whole frame, keeping the part of a block that came, and says the input ended early.
TEST(ChannelConversion, AnInputShorterThanItsHeaderEndsAtItsLastWholeFrame) {
  const std::vector<int16_t> held = kvtest::ramp16(2 * 2500 + 1);
  auto in = kv::SoundStream::openRead(std::make_unique<kvtest::SizeUnknownFile>(
      kvtest::riff({kvtest::chunk("fmt ", kvtest::fmtBody(1, 2, 44100, 16)),
                    kvtest::chunk("data", kvtest::pcm16(held), 2 * 2 * 3000)})));
  ASSERT_EQ(in->lastError(), kv::kOk);
  ASSERT_EQ(in->length(), 2 * 3000);
  auto out = memoryOf(1, {});
  EXPECT_EQ(kv::convertChannels(*in, *out), kv::kEndOfFile);
  const std::vector<int32_t> mono = kvtest::readAllSamples(*out);
  ASSERT_EQ(mono.size(), 2500u);
  for (size_t i = 0; i < mono.size(); ++i) {
    ASSERT_EQ(mono[i], ((held[2 * i] + held[2 * i + 1]) >> 1) * 65536) << "frame " << i;
  }
}

// The output file's header tells what was written, with or without a failure, before it is closed.
TEST(ChannelConversion, CompletesTheHeaderOfAFileOutput) {
  struct Case {
    const char* what;
    size_t capacity;
    int32_t result;
    uint32_t dataBytes;
  };
  const Case cases[] = {
      {"room for all", SIZE_MAX, kv::kOk, 2 * 3000},
      {"disk full after 1000 samples", 44 + 2000, kv::kFileError, 2000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto in = memoryOf(2, distinct(2 * 3000));
    auto file = std::make_unique<kvtest::MemoryFile>(kvtest::Bytes{}, c.capacity);
    auto contents = file->contents();
    auto out = kv::SoundStream::openWrite(kv::SampleFormat::make(44100.0f, 2, kv::kEncodingSigned, 1), std::move(file),
                                          kv::kFileTypeWav);
    ASSERT_EQ(out->lastError(), kv::kOk);
    EXPECT_EQ(kv::convertChannels(*in, *out), c.result);
    EXPECT_EQ(kvtest::fieldLE32(*contents, 40), c.dataBytes);  // data size
    EXPECT_EQ(contents->size(), 44u + c.dataBytes);
  }
}

}  // namespace
