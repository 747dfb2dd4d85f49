#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "soundfile/heap.h"
#include "soundfile/sound_stream.h"

namespace {

const kv::SampleFormat kStereo16 = kv::SampleFormat::make(44100.0f, 2, kv::kEncodingSigned, 2);

std::vector<int32_t> distinctSamples(int count) {
  std::vector<int32_t> samples(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) samples[static_cast<std::size_t>(i)] = (i - count / 2) * 65536 * 7;
  return samples;
}

TEST(MemoryStream, StartsEmptyAndGrowsAsItIsWritten) {
  auto stream = kv::SoundStream::createMemory(kStereo16, nullptr, 0);
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->lastError(), kv::kOk);
  EXPECT_EQ(stream->length(), 0);
  EXPECT_EQ(stream->typeFound(), kv::kFileTypeMemory);
  EXPECT_EQ(stream->handlerName(), "mem");

  const std::vector<int32_t> samples = distinctSamples(3000);  // well past the first 1024
  ASSERT_EQ(stream->write(samples.data(), 1000), kv::kOk);
  ASSERT_EQ(stream->write(samples.data() + 1000, 2000), kv::kOk);
  EXPECT_EQ(stream->length(), 3000);
  EXPECT_DOUBLE_EQ(stream->duration(), 1500.0 / 44100.0);

  std::vector<int32_t> back(3000);
  int64_t got = 0;
  EXPECT_EQ(stream->read(back.data(), 3000, got), kv::kOk);
  EXPECT_EQ(got, 3000);
  EXPECT_EQ(back, samples);
}

TEST(MemoryStream, AShortReadReportsEndOfFile) {
  auto stream = kv::SoundStream::createMemory(kStereo16, nullptr, 0);
  ASSERT_TRUE(stream);
  const std::vector<int32_t> samples = distinctSamples(10);
  ASSERT_EQ(stream->write(samples.data(), 10), kv::kOk);

  std::vector<int32_t> back(16);
  int64_t got = 0;
  EXPECT_EQ(stream->read(back.data(), 6, got), kv::kOk);
  EXPECT_EQ(got, 6);
  EXPECT_EQ(stream->read(back.data(), 16, got), kv::kEndOfFile);
  EXPECT_EQ(got, 4);
  EXPECT_EQ(back[3], samples[9]);
  EXPECT_EQ(stream->read(back.data(), 16, got), kv::kEndOfFile);
  EXPECT_EQ(got, 0);
  EXPECT_EQ(stream->read(back.data(), 0, got), kv::kOk);  // nothing asked, nothing missing
}

TEST(MemoryStream, ABorrowedBufferIsReadAndNeverOverrun) {
  std::vector<uint8_t> buffer = {0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00};  // two stereo frames
  auto stream = kv::SoundStream::createMemory(kStereo16, buffer.data(), 2);
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->length(), 4);
  EXPECT_EQ(stream->buffer(), buffer.data());

  int32_t one = 0x7FFF0000;
  EXPECT_EQ(stream->write(&one, 1), kv::kOutOfMemory);  // full: nothing taken, and said so
  EXPECT_EQ(stream->length(), 4);

  int32_t back[4];
  int64_t got = 0;
  EXPECT_EQ(stream->read(back, 4, got), kv::kOk);
  EXPECT_EQ(back[0], 1 << 16);
  EXPECT_EQ(back[3], 4 << 16);
}

TEST(MemoryStream, SeeksByFrameAndBySeconds) {
  auto stream = kv::SoundStream::createMemory(kv::SampleFormat::make(10.0f, 2, kv::kEncodingSigned, 2), nullptr, 0);
  ASSERT_TRUE(stream);
  const std::vector<int32_t> samples = distinctSamples(40);  // 20 frames, 2 seconds
  ASSERT_EQ(stream->write(samples.data(), 40), kv::kOk);

  int32_t frame[2];
  int64_t got = 0;
  ASSERT_EQ(stream->seekFrame(7), kv::kOk);
  ASSERT_EQ(stream->read(frame, 2, got), kv::kOk);
  EXPECT_EQ(frame[0], samples[14]);
  EXPECT_EQ(frame[1], samples[15]);

  ASSERT_EQ(stream->seekSeconds(1.55), kv::kOk);  // frame 15, truncated
  ASSERT_EQ(stream->read(frame, 2, got), kv::kOk);
  EXPECT_EQ(frame[0], samples[30]);

  EXPECT_EQ(stream->seekFrame(20), kv::kOk);  // the end itself
  EXPECT_EQ(stream->read(frame, 2, got), kv::kEndOfFile);
  EXPECT_EQ(stream->seekFrame(21), kv::kFailure);
  EXPECT_EQ(stream->lastError(), kv::kFailure);
  EXPECT_EQ(stream->seekFrame(-1), kv::kFailure);
}

TEST(MemoryStream, BadCallsAreRefused) {
  EXPECT_FALSE(kv::SoundStream::createMemory(kStereo16, nullptr, -1));

  auto noChannels =
      kv::SoundStream::createMemory(kv::SampleFormat::make(8000.0f, 2, kv::kEncodingSigned, 3), nullptr, 4);
  ASSERT_TRUE(noChannels);
  EXPECT_EQ(noChannels->lastError(), kv::kBadCall);
  int32_t sample = 0;
  int64_t got = 0;
  EXPECT_EQ(noChannels->write(&sample, 1), kv::kBadCall);
  EXPECT_EQ(noChannels->read(&sample, 1, got), kv::kBadCall);

  auto stream = kv::SoundStream::createMemory(kStereo16, nullptr, 0);
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->write(nullptr, 1), kv::kBadCall);
  EXPECT_EQ(stream->read(nullptr, 1, got), kv::kBadCall);
}

TEST(MemoryStream, GivesBackEverythingItTookFromTheEngineHeap) {
  const std::size_t before = kv::heapBytesInUse();
  {
    auto stream = kv::SoundStream::createMemory(kStereo16, nullptr, 0);
    ASSERT_TRUE(stream);
    const std::vector<int32_t> samples = distinctSamples(5000);
    ASSERT_EQ(stream->write(samples.data(), 5000), kv::kOk);
    EXPECT_GE(kv::heapBytesInUse(), before + 5000 * 2);
  }
  EXPECT_EQ(kv::heapBytesInUse(), before);
}

TEST(SampleFormat, TheSetterKeepsOnlyWhatStreamsCanUse) {
  const kv::SampleFormat good = kv::SampleFormat::make(22050.0f, 3, kv::kEncodingSigned, 4);
  EXPECT_EQ(good.sampleRate, 22050.0f);
  EXPECT_EQ(good.bytesPerSample, 3);
  EXPECT_EQ(good.encoding, kv::kEncodingSigned);
  EXPECT_EQ(good.channels, 4);

  const kv::SampleFormat odd = kv::SampleFormat::make(8000.0f, 5, kv::kEncodingMuLaw, 3);
  EXPECT_EQ(odd.bytesPerSample, kv::kUnset);
  EXPECT_EQ(odd.encoding, kv::kUnset);  // only signed is kept; handlers pick their default
  EXPECT_EQ(odd.channels, kv::kUnset);
  EXPECT_EQ(kv::SampleFormat::make(8000.0f, 0, kv::kEncodingUnsigned, 0).bytesPerSample, kv::kUnset);
}

TEST(StopFlag, SetOnAnotherThreadIsSeenByTheStream) {
  auto stream = kv::SoundStream::createMemory(kStereo16, nullptr, 0);
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->stopFlag(), 0);
  std::thread stopper([&] { stream->setStopFlag(1); });
  stopper.join();
  EXPECT_EQ(stream->stopFlag(), 1);
}

}  // namespace
