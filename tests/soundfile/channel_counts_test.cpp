// Which channel counts a sound file may have: 1, 2 and 4 are read and written by every handler;
// a header stating any other count is malformed, and no file of another count is written.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"
#include "tests/soundfile/support/channel_files.h"
#include "tests/soundfile/support/memory_file.h"

namespace {

using kvtest::Bytes;

const int kFileTypes[] = {kv::kFileTypeWav, kv::kFileTypeAiff, kv::kFileTypeAu, kv::kFileTypeSf};
const uint32_t kCounts[] = {0, 1, 2, 3, 4, 5, 6, 8, 65535};

bool usable(uint32_t channels) { return channels == 1 || channels == 2 || channels == 4; }

// The code each reader gives a malformed header.
int32_t malformedCode(int fileType) { return fileType == kv::kFileTypeWav ? kv::kFileError : kv::kMalformedInput; }

std::vector<kvtest::StatedChannels> channelCases() {
  std::vector<kvtest::StatedChannels> cases;
  for (int fileType : kFileTypes) {
    for (uint32_t channels : kCounts) cases.push_back({fileType, channels});
  }
  return cases;
}

class ChannelCounts : public ::testing::TestWithParam<kvtest::StatedChannels> {};

TEST_P(ChannelCounts, AreReadOnlyWhenTheEngineCanUseThem) {
  const kvtest::StatedChannels& c = GetParam();
  auto stream = kv::SoundStream::openRead(
      std::make_unique<kvtest::MemoryFile>(kvtest::fileStatingChannels(c.fileType, c.channels)), c.fileType);
  ASSERT_TRUE(stream);
  if (!usable(c.channels)) {
    EXPECT_EQ(stream->lastError(), malformedCode(c.fileType));
    return;
  }
  ASSERT_EQ(stream->lastError(), kv::kOk);
  EXPECT_EQ(stream->channels(), static_cast<int>(c.channels));
  EXPECT_EQ(stream->length(), kvtest::kChannelFileSamples);
}

TEST_P(ChannelCounts, AreWrittenOnlyWhenTheyCanBeReadBack) {
  const kvtest::StatedChannels& c = GetParam();
  kv::SampleFormat format = kv::SampleFormat::make(8000.0f, 2, kv::kEncodingSigned, 1);
  format.channels = static_cast<int32_t>(c.channels);
  auto disk = std::make_unique<kvtest::MemoryFile>();
  const auto contents = disk->contents();
  auto out = kv::SoundStream::openWrite(format, std::move(disk), c.fileType);
  ASSERT_TRUE(out);
  if (!usable(c.channels)) {
    EXPECT_EQ(out->lastError(), kv::kBadCall);
    EXPECT_TRUE(contents->empty());
    return;
  }
  ASSERT_EQ(out->lastError(), kv::kOk);
  const std::vector<int32_t> samples(4 * c.channels, 0x12340000);
  ASSERT_EQ(out->write(samples.data(), static_cast<int64_t>(samples.size())), kv::kOk);
  ASSERT_EQ(out->close(), kv::kOk);
  auto in = kv::SoundStream::openRead(std::make_unique<kvtest::MemoryFile>(*contents), c.fileType);
  ASSERT_EQ(in->lastError(), kv::kOk);
  EXPECT_EQ(in->channels(), static_cast<int>(c.channels));
  EXPECT_EQ(in->length(), static_cast<int64_t>(samples.size()));
}

INSTANTIATE_TEST_SUITE_P(Files, ChannelCounts, ::testing::ValuesIn(channelCases()), kvtest::statedChannelsName);

}  // namespace
