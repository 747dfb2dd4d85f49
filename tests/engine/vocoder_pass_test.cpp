// How a vocoder pass starts and ends: the player hears what is written and is drained or stopped,
// a stop ends the pass within one hop, failures come back at once and leave the output whole,
// settings no pass can run with are refused before any work.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "engine/sample_player.h"
#include "engine/vocoder.h"
#include "engine/vocoder_sizes.h"
#include "soundfile/heap.h"
#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"
#include "tests/engine/support/tone.h"
#include "tests/engine/support/vocoder_run.h"
#include "tests/soundfile/support/memory_file.h"
#include "tests/soundfile/support/riff_builder.h"

namespace {

using kvtest::kTestRate;

class RecordingPlayer final : public kv::SamplePlayer {
 public:
  int32_t open(const kv::SoundStream& input) override {
    ++opens;
    openedRate = input.sampleRate();
    return openResult;
  }
  int32_t feed(int32_t sample) override {
    if (static_cast<int64_t>(heard.size()) == failAt) return kv::kHardwareError;
    heard.push_back(sample);
    if (afterSample) afterSample(static_cast<int64_t>(heard.size()));
    return kv::kOk;
  }
  int32_t drain() override {
    ++drains;
    return kv::kEndOfFile;
  }
  int32_t stop() override {
    ++stops;
    return kv::kOk;
  }

  int32_t openResult = kv::kOk;
  int64_t failAt = -1;
  std::function<void(int64_t)> afterSample;

  int opens = 0, drains = 0, stops = 0;
  float openedRate = 0.0f;
  std::vector<int32_t> heard;
};

kv::VocoderSettings halfSpeed() {
  kv::VocoderSettings s;
  s.timeFactor = 2.0;
  s.fftSize = 1024;
  s.windowMode = 1;
  return s;
}

int outputHop(const kv::VocoderSettings& s) {
  kv::VocoderSizes sizes;
  kv::computeVocoderSizes(s.pitchFactor, s.timeFactor, s.fftSize, s.windowMode, sizes);
  return sizes.outputHop;
}

std::vector<int32_t> halfSecondOfTone() { return kvtest::sineSamples(440.0, kTestRate, 22050, 0.5); }

TEST(VocoderPlayer, HearsWhatIsWrittenAndIsDrainedAtTheEnd) {
  kvtest::MemoryStreams streams(halfSecondOfTone(), 1);
  RecordingPlayer player;
  EXPECT_EQ(kv::runVocoder(*streams.input, streams.output.get(), &player, halfSpeed()), kv::kEndOfFile);
  EXPECT_EQ(player.opens, 1);
  EXPECT_EQ(player.openedRate, static_cast<float>(kTestRate));
  EXPECT_EQ(player.drains, 1);
  EXPECT_EQ(player.stops, 0);
  EXPECT_EQ(static_cast<int64_t>(player.heard.size()), kvtest::expectedOutputLength(halfSpeed(), 22050));
  EXPECT_EQ(player.heard, streams.written());
}

TEST(VocoderPlayer, PlaysAlsoWithoutAnOutputFile) {
  kvtest::MemoryStreams streams(halfSecondOfTone(), 1);
  RecordingPlayer player;
  EXPECT_EQ(kv::runVocoder(*streams.input, nullptr, &player, halfSpeed()), kv::kEndOfFile);
  EXPECT_EQ(static_cast<int64_t>(player.heard.size()), kvtest::expectedOutputLength(halfSpeed(), 22050));
}

TEST(VocoderPlayer, StopEndsThePassWithinOneHopAndCutsTheSound) {
  kvtest::MemoryStreams streams(halfSecondOfTone(), 1);
  RecordingPlayer player;
  constexpr int64_t kStopAt = 5000;
  player.afterSample = [&](int64_t count) {
    if (count == kStopAt) streams.input->setStopFlag(1);
  };
  EXPECT_EQ(kv::runVocoder(*streams.input, streams.output.get(), &player, halfSpeed()), kv::kOk);
  EXPECT_EQ(player.stops, 1);
  EXPECT_EQ(player.drains, 0);
  EXPECT_LE(static_cast<int64_t>(player.heard.size()), kStopAt + outputHop(halfSpeed()));
  EXPECT_EQ(player.heard, streams.written());
}

TEST(VocoderPlayer, FailingHandOverEndsThePassAndTheFileKeepsWhatWasHeard) {
  kvtest::MemoryStreams streams(halfSecondOfTone(), 1);
  RecordingPlayer player;
  player.failAt = 3000;
  EXPECT_EQ(kv::runVocoder(*streams.input, streams.output.get(), &player, halfSpeed()), kv::kHardwareError);
  EXPECT_EQ(player.heard.size(), 3000u);
  EXPECT_EQ(player.heard, streams.written());
  EXPECT_EQ(player.stops, 1);
}

TEST(VocoderPlayer, DeviceThatCannotOpenEndsThePassBeforeAnySample) {
  kvtest::MemoryStreams streams(halfSecondOfTone(), 1);
  RecordingPlayer player;
  player.openResult = kv::kHardwareError;
  EXPECT_EQ(kv::runVocoder(*streams.input, streams.output.get(), &player, halfSpeed()), kv::kHardwareError);
  EXPECT_TRUE(player.heard.empty());
  EXPECT_TRUE(streams.written().empty());
}

TEST(VocoderPass, RefusesSettingsOrAnOutputItCannotUseBeforeAnyWork) {
  kv::VocoderSettings badMode = halfSpeed();
  badMode.windowMode = 4;
  kv::VocoderSettings badFactor = halfSpeed();
  badFactor.pitchFactor = 0.0;
  for (const kv::VocoderSettings& settings : {badMode, badFactor}) {
    kvtest::MemoryStreams streams(halfSecondOfTone(), 1);
    RecordingPlayer player;
    EXPECT_EQ(kv::runVocoder(*streams.input, streams.output.get(), &player, settings), kv::kBadCall);
    EXPECT_EQ(player.opens, 0);
    EXPECT_TRUE(streams.written().empty());
  }

  kvtest::MemoryStreams streams(halfSecondOfTone(), 1);
  auto stereoOutput =
      kv::SoundStream::createMemory(kv::SampleFormat::make(44100.0f, 4, kv::kEncodingSigned, 2), nullptr, 0);
  EXPECT_EQ(kv::runVocoder(*streams.input, stereoOutput.get(), nullptr, halfSpeed()), kv::kBadCall);
  EXPECT_EQ(stereoOutput->length(), 0);
}

TEST(VocoderPass, EndsWithTheResultOfItsLastAction) {
  // Writing comes last when there is somewhere to write; otherwise the read that found the end.
  kvtest::MemoryStreams written(halfSecondOfTone(), 1);
  EXPECT_EQ(kv::runVocoder(*written.input, written.output.get(), nullptr, halfSpeed()), kv::kOk);
  kvtest::MemoryStreams dropped(halfSecondOfTone(), 1);
  EXPECT_EQ(kv::runVocoder(*dropped.input, nullptr, nullptr, halfSpeed()), kv::kEndOfFile);
}

TEST(VocoderPass, StopWhileRenderingEndsWithinOneHop) {
  const auto tone = kvtest::sineSamples(440.0, kTestRate, 44100, 0.5);
  std::vector<int16_t> pcm;
  for (int32_t s : tone) pcm.push_back(static_cast<int16_t>(s >> 16));
  const kvtest::Bytes wav = kvtest::riff(
      {kvtest::chunk("fmt ", kvtest::fmtBody(1, 1, 44100, 16)), kvtest::chunk("data", kvtest::pcm16(pcm))});

  std::unique_ptr<kv::SoundStream> input;
  auto output = kv::SoundStream::createMemory(kv::SampleFormat::make(44100.0f, 4, kv::kEncodingSigned, 1), nullptr, 0);
  int64_t writtenAtStop = -1;
  // The stop comes once a third of the file has been read.
  auto file = std::make_unique<kvtest::MemoryFile>(wav);
  file->onRead([&, read = std::size_t{0}](std::size_t n) mutable {
    const std::size_t before = read;
    read += n;
    if (before < wav.size() / 3 && read >= wav.size() / 3) {
      input->setStopFlag(1);
      writtenAtStop = output->length();
    }
  });
  input = kv::SoundStream::openRead(std::move(file));
  ASSERT_EQ(input->lastError(), kv::kOk);

  EXPECT_EQ(kv::runVocoder(*input, output.get(), nullptr, halfSpeed()), kv::kOk);
  ASSERT_GE(writtenAtStop, 0);
  EXPECT_LE(output->length() - writtenAtStop, outputHop(halfSpeed()));
}

TEST(VocoderPass, FailedWriteEndsThePassAndLeavesAWholeFile) {
  kvtest::MemoryStreams streams(halfSecondOfTone(), 1);
  auto disk = std::make_unique<kvtest::MemoryFile>(kvtest::Bytes{}, 44 + 1000);  // room for 500 samples
  const auto contents = disk->contents();
  auto output =
      kv::SoundStream::openWrite(kv::SampleFormat::make(44100.0f, 2, kv::kUnset, 1), std::move(disk), kv::kFileTypeWav);
  ASSERT_EQ(output->lastError(), kv::kOk);
  EXPECT_EQ(kv::runVocoder(*streams.input, output.get(), nullptr, halfSpeed()), kv::kFileError);
  output->close();

  auto reread = kv::SoundStream::openRead(std::make_unique<kvtest::MemoryFile>(*contents));
  ASSERT_EQ(reread->lastError(), kv::kOk);
  EXPECT_EQ(reread->length(), 500);
}

}  // namespace

// An input of thousands of channels is read a part of a hop at a time: the pass needs no more
// memory for it than for a stereo one, and mixes every frame all the same. No sound file has that
// many channels (their readers refuse them), but a stream in memory may.
TEST(VocoderMemory, ManyChannelsNeedNoMoreMemoryThanTwo) {
  kv::VocoderSettings settings;
  settings.timeFactor = 2.0;
  settings.fftSize = 16384;
  settings.windowMode = 0;
  const int frames = 300;
  std::size_t peak[2] = {};
  const uint16_t channelCounts[2] = {2, 20000};
  for (int i = 0; i < 2; ++i) {
    const uint16_t channels = channelCounts[i];
    // Every channel holds the same ramp, so every mix is that ramp.
    std::vector<int16_t> pcm;
    for (int16_t value : kvtest::ramp16(frames)) pcm.insert(pcm.end(), channels, value);
    kv::SampleFormat format = kv::SampleFormat::make(44100.0f, 2, kv::kEncodingSigned, 1);
    format.channels = channels;
    auto input = kv::SoundStream::createMemory(format, pcm.data(), frames);
    ASSERT_EQ(input->lastError(), kv::kOk);
    auto output =
        kv::SoundStream::createMemory(kv::SampleFormat::make(44100.0f, 4, kv::kEncodingSigned, 1), nullptr, 0);

    kv::heapResetPeak();
    const std::size_t before = kv::heapBytesInUse();
    const int32_t result = kv::runVocoder(*input, output.get(), nullptr, settings);
    peak[i] = kv::heapPeakBytes() - before;
    EXPECT_TRUE(result == kv::kOk || result == kv::kEndOfFile) << channels << " channels: " << result;
    EXPECT_EQ(output->length(), kvtest::expectedOutputLength(settings, frames)) << channels << " channels";
  }
  EXPECT_LT(peak[1], peak[0] + (std::size_t{1} << 20)) << "stereo " << peak[0] << ", 20000 channels " << peak[1];
}
