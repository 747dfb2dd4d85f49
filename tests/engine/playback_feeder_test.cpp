#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "engine/playback_feeder.h"
#include "engine/sound_output.h"
#include "platform/audio/FrameConverter.h"
#include "platform/audio/FrameSink.h"
#include "platform/audio/NullSoundCard.h"
#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"
#include "tests/soundfile/support/riff_builder.h"
#include "tests/soundfile/support/temp_dir.h"

namespace {

namespace audio = lentaro::audio;
using namespace std::chrono_literals;

constexpr int kRate = 8000;

kv::SampleFormat monoFormat(int bytesPerSample, int encoding) {
  kv::SampleFormat format;
  format.sampleRate = static_cast<float>(kRate);
  format.bytesPerSample = static_cast<int16_t>(bytesPerSample);
  format.encoding = encoding;
  format.channels = 1;
  return format;
}

// The vocoder's input: only its format and its stop flag matter to the feeder.
std::unique_ptr<kv::SoundStream> inputOf(const kv::SampleFormat& format) {
  return kv::SoundStream::createMemory(format, nullptr, 0);
}

// Full-scale samples that differ from their neighbours, so any loss, repetition or reordering shows.
std::vector<int32_t> noise(std::size_t count, uint32_t seed = 1) {
  std::vector<int32_t> samples(count);
  for (int32_t& sample : samples) {
    seed = seed * 1664525u + 1013904223u;
    sample = static_cast<int32_t>(seed);
  }
  return samples;
}

int32_t feedAll(kv::PlaybackFeeder& feeder, const std::vector<int32_t>& samples) {
  for (const int32_t sample : samples) {
    if (const int32_t result = feeder.feed(sample); result != kv::kOk) return result;
  }
  return kv::kOk;
}

// What the card played, as 32-bit samples (decoded by the audio layer, not by the engine).
std::vector<int32_t> decoded(const audio::MemorySink& sink) {
  const std::vector<uint8_t> bytes = sink.bytes();
  if (bytes.empty()) return {};
  const audio::Format played = *sink.format();
  audio::FrameConverter converter(played, {played.channels, played.sampleRate, 32, audio::Encoding::Pcm});
  std::vector<uint8_t> wide;
  converter.convert(bytes.data(), bytes.size(), wide);
  std::vector<int32_t> samples(wide.size() / 4);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int32_t>(kvtest::fieldLE32(wide, 4 * i));
  return samples;
}

class PlaybackTest : public ::testing::Test {
 protected:
  // A card that plays as fast as it is fed.
  void useUnpacedCard() {
    card = std::make_unique<audio::NullSoundCard>(audio::NullSoundCard::unpaced);
    card->setSink(sink);
  }
  // A card in real time whose clock moves only when the test moves it.
  void usePacedCard() {
    card = std::make_unique<audio::NullSoundCard>(1.0, clock);
    card->setSink(sink);
  }

  std::shared_ptr<audio::ManualClock> clock = std::make_shared<audio::ManualClock>();
  std::shared_ptr<audio::MemorySink> sink = std::make_shared<audio::MemorySink>();
  std::unique_ptr<audio::NullSoundCard> card;
};

// ---------------------------------------------------------------------------------------------
// Every sample fed comes out of the device, in order, in the form the device plays.

struct Form {
  const char* name;
  int bytesPerSample;
  int encoding;
  audio::Format played;
  uint32_t keptBits;  // the bits of a sample the device form keeps; 0 for companded forms
};

const Form kForms[] = {
    {"unsigned8", 1, kv::kEncodingUnsigned, {1, kRate, 8, audio::Encoding::Pcm}, 0xFF000000u},
    {"signed8", 1, kv::kEncodingSigned, {1, kRate, 8, audio::Encoding::Pcm}, 0xFF000000u},
    {"signed16", 2, kv::kEncodingSigned, {1, kRate, 16, audio::Encoding::Pcm}, 0xFFFF0000u},
    {"unsigned16", 2, kv::kEncodingUnsigned, {1, kRate, 16, audio::Encoding::Pcm}, 0xFFFF0000u},
    {"signed24", 3, kv::kEncodingSigned, {1, kRate, 16, audio::Encoding::Pcm}, 0xFFFF0000u},
    {"signed32", 4, kv::kEncodingSigned, {1, kRate, 32, audio::Encoding::Pcm}, 0xFFFFFFFFu},
    {"muLaw", 1, kv::kEncodingMuLaw, {1, kRate, 8, audio::Encoding::MuLaw}, 0},
    {"aLaw", 1, kv::kEncodingALaw, {1, kRate, 8, audio::Encoding::ALaw}, 0},
};

struct Length {
  const char* name;
  std::size_t (*samples)(int bytesPerSample);
};

void PrintTo(const Form& form, std::ostream* os) { *os << form.name; }
void PrintTo(const Length& length, std::ostream* os) { *os << length.name; }

// The first block is 0xC000 bytes of input samples, later ones 0x3000.
const Length kLengths[] = {
    {"shorterThanTheFirstBlock", [](int) -> std::size_t { return 1000; }},
    {"exactlyTheFirstBlock", [](int bytes) -> std::size_t { return 0xC000 / bytes; }},
    {"blocksAndATail", [](int bytes) -> std::size_t { return (0xC000 + 3 * 0x3000) / bytes + 777; }},
};

class PlaysEverySample : public PlaybackTest, public ::testing::WithParamInterface<std::tuple<Form, Length>> {};

TEST_P(PlaysEverySample, InOrderAndCompleteWhenDrained) {
  const auto& [form, length] = GetParam();
  useUnpacedCard();
  const auto input = inputOf(monoFormat(form.bytesPerSample, form.encoding));
  const std::vector<int32_t> fed = noise(length.samples(form.bytesPerSample));

  kv::PlaybackFeeder feeder(kv::SoundOutput::of(*card));
  ASSERT_EQ(feeder.open(*input), kv::kOk);
  ASSERT_EQ(feedAll(feeder, fed), kv::kOk);
  EXPECT_EQ(feeder.drain(), kv::kEndOfFile);

  EXPECT_EQ(sink->format(), form.played);
  const std::vector<int32_t> played = decoded(*sink);
  ASSERT_EQ(played.size(), fed.size());
  for (std::size_t i = 0; i < fed.size(); ++i) {
    if (form.keptBits != 0) {
      ASSERT_EQ(static_cast<uint32_t>(played[i]), static_cast<uint32_t>(fed[i]) & form.keptBits) << "sample " << i;
    } else {
      // G.711 keeps about four significant bits of the magnitude.
      const int64_t error = static_cast<int64_t>(played[i]) - fed[i];
      ASSERT_LE(std::llabs(error), std::llabs(static_cast<int64_t>(fed[i])) / 16 + (64 << 16)) << "sample " << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(FormsAndLengths, PlaysEverySample,
                         ::testing::Combine(::testing::ValuesIn(kForms), ::testing::ValuesIn(kLengths)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                         });

TEST_F(PlaybackTest, APassThatFedNothingDrainsAtOnce) {
  useUnpacedCard();
  const auto input = inputOf(monoFormat(2, kv::kEncodingSigned));
  kv::PlaybackFeeder feeder(kv::SoundOutput::of(*card));
  ASSERT_EQ(feeder.open(*input), kv::kOk);
  EXPECT_EQ(feeder.drain(), kv::kEndOfFile);
  EXPECT_TRUE(sink->bytes().empty());
  EXPECT_EQ(feeder.stop(), kv::kOk);
}

// ---------------------------------------------------------------------------------------------
// Stops, stalls and failures end the pass at once and leave the device closed.

// Gives a pass on another thread time to start waiting for the device, so that a stop arrives
// during the wait; a stop that comes sooner must have the same outcome.
void letThePassReachItsWait() { std::this_thread::sleep_for(50ms); }

constexpr std::size_t kFirst16 = 0xC000 / 2;  // samples of the first 16-bit block: four buffers
constexpr std::size_t kLater16 = 0x3000 / 2;  // of each later block: one buffer

// The card plays the first buffer; the next block takes its place, so all four are queued again.
// Then a stop arrives while the feeder waits for room for the block after: the feeder stops
// waiting, and nothing that was queued is heard.
TEST_F(PlaybackTest, AStopWhileWaitingForTheDeviceCutsTheSoundAtOnce) {
  usePacedCard();
  const auto input = inputOf(monoFormat(2, kv::kEncodingSigned));
  const std::vector<int32_t> fed = noise(kFirst16 + 2 * kLater16);
  kv::PlaybackFeeder feeder(kv::SoundOutput::of(*card));
  ASSERT_EQ(feeder.open(*input), kv::kOk);

  ASSERT_EQ(feedAll(feeder, {fed.begin(), fed.begin() + kFirst16}), kv::kOk);
  // One buffer's time, and less than a frame more.
  clock->advance(std::chrono::microseconds(kLater16 * 1000000 / kRate + 60));
  ASSERT_EQ(feedAll(feeder, {fed.begin() + kFirst16, fed.begin() + kFirst16 + kLater16}), kv::kOk);
  EXPECT_EQ(sink->bytes().size(), kLater16 * 2);

  int32_t waited = -100;
  std::thread pass([&] { waited = feedAll(feeder, {fed.begin() + kFirst16 + kLater16, fed.end()}); });
  letThePassReachItsWait();
  input->setStopFlag(1);
  pass.join();
  EXPECT_EQ(waited, kv::kOk);  // not the hardware error of a device that never makes room
  clock->advance(1h);          // whatever was still queued would play now
  EXPECT_EQ(feeder.feed(1), kv::kOk);
  EXPECT_EQ(feeder.drain(), kv::kOk);
  EXPECT_EQ(feeder.stop(), kv::kOk);

  const std::vector<int32_t> played = decoded(*sink);
  ASSERT_EQ(played.size(), kLater16);
  for (std::size_t i = 0; i < played.size(); ++i) ASSERT_EQ(played[i], fed[i] & ~0xFFFF);
}

TEST_F(PlaybackTest, AStopDuringTheDrainEndsItAndCutsTheSound) {
  usePacedCard();
  const auto input = inputOf(monoFormat(2, kv::kEncodingSigned));
  kv::PlaybackFeeder feeder(kv::SoundOutput::of(*card));
  ASSERT_EQ(feeder.open(*input), kv::kOk);
  ASSERT_EQ(feedAll(feeder, noise(kFirst16 + 100)), kv::kOk);

  int32_t drained = -100;
  std::thread pass([&] { drained = feeder.drain(); });
  letThePassReachItsWait();
  input->setStopFlag(1);
  pass.join();
  EXPECT_EQ(drained, kv::kOk);
  clock->advance(1h);
  EXPECT_EQ(feeder.stop(), kv::kOk);
  EXPECT_TRUE(sink->bytes().empty());
}

// A device whose clock never moves plays nothing: the feeder gives up rather than wait forever.
TEST_F(PlaybackTest, ADeviceThatStopsPlayingEndsThePassWithAHardwareError) {
  usePacedCard();
  const auto input = inputOf(monoFormat(2, kv::kEncodingSigned));

  kv::PlaybackFeeder waitingForRoom(kv::SoundOutput::of(*card), 20ms);
  ASSERT_EQ(waitingForRoom.open(*input), kv::kOk);
  EXPECT_EQ(feedAll(waitingForRoom, noise(kFirst16 + kLater16)), kv::kHardwareError);
  EXPECT_EQ(waitingForRoom.feed(1), kv::kHardwareError);
  EXPECT_EQ(waitingForRoom.drain(), kv::kHardwareError);
  EXPECT_EQ(waitingForRoom.stop(), kv::kOk);

  kv::PlaybackFeeder draining(kv::SoundOutput::of(*card), 20ms);
  ASSERT_EQ(draining.open(*input), kv::kOk);
  ASSERT_EQ(feedAll(draining, noise(100)), kv::kOk);
  EXPECT_EQ(draining.drain(), kv::kHardwareError);

  clock->advance(1h);
  EXPECT_TRUE(sink->bytes().empty());
}

// A device that refuses a buffer mid-pass (here: closed behind the feeder's back).
TEST_F(PlaybackTest, AWriteRefusedMidPassEndsThePass) {
  usePacedCard();
  audio::OutputDevice* opened = nullptr;
  kv::SoundOutput output = kv::SoundOutput::of(*card);
  output.open = [&](const audio::Format& format) {
    auto result = card->openOutput(format);
    opened = result.device.get();
    return result;
  };
  const auto input = inputOf(monoFormat(2, kv::kEncodingSigned));
  kv::PlaybackFeeder feeder(output);
  ASSERT_EQ(feeder.open(*input), kv::kOk);
  ASSERT_EQ(feedAll(feeder, noise(kFirst16)), kv::kOk);

  ASSERT_NE(opened, nullptr);
  opened->close();
  EXPECT_EQ(feedAll(feeder, noise(kLater16)), kv::kHardwareError);
  EXPECT_EQ(feeder.feed(1), kv::kHardwareError);
  EXPECT_EQ(feeder.drain(), kv::kHardwareError);
  EXPECT_EQ(feeder.stop(), kv::kOk);
}

// A pass that returns early without draining or stopping still silences and releases the device.
TEST_F(PlaybackTest, DestroyingTheFeederMidPassSilencesTheDevice) {
  usePacedCard();
  const auto input = inputOf(monoFormat(2, kv::kEncodingSigned));
  {
    kv::PlaybackFeeder feeder(kv::SoundOutput::of(*card));
    ASSERT_EQ(feeder.open(*input), kv::kOk);
    ASSERT_EQ(feedAll(feeder, noise(kFirst16 + 10)), kv::kOk);
  }
  clock->advance(1h);
  EXPECT_TRUE(sink->bytes().empty());
}

// ---------------------------------------------------------------------------------------------
// Opening: each refusal has its code, and a feeder that could not open plays nothing.

struct OpenCase {
  const char* name;
  kv::SampleFormat format;
  audio::Error query;  // what the output answers; None: the card's own answer
  bool openFails;
  int32_t expected;
};

void PrintTo(const OpenCase& c, std::ostream* os) { *os << c.name; }

class OpenFailures : public PlaybackTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenFailures, MapToTheirCodes) {
  const OpenCase& c = GetParam();
  useUnpacedCard();
  kv::SoundOutput output = kv::SoundOutput::of(*card);
  if (c.query != audio::Error::None) {
    output.query = [&](const audio::Format&) { return audio::Status::failure(c.query, "refused by the test"); };
  }
  if (c.openFails) {
    output.open = [](const audio::Format&) {
      return audio::OpenResult<audio::OutputDevice>{nullptr,
                                                    audio::Status::failure(audio::Error::DeviceFailure, "busy")};
    };
  }
  const auto input = inputOf(c.format);
  kv::PlaybackFeeder feeder(output);
  EXPECT_EQ(feeder.open(*input), c.expected);
  EXPECT_EQ(feeder.feed(1), c.expected);
  EXPECT_EQ(feeder.drain(), c.expected);
  EXPECT_EQ(feeder.stop(), kv::kOk);
  EXPECT_TRUE(sink->bytes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, OpenFailures,
    ::testing::Values(
        OpenCase{"unknownEncoding", monoFormat(2, 9), audio::Error::None, false, kv::kBadCall},
        OpenCase{"muLawOfTwoBytes", monoFormat(2, kv::kEncodingMuLaw), audio::Error::None, false, kv::kBadCall},
        OpenCase{"floatSamples", monoFormat(kv::kSizeFloat32, kv::kEncodingSigned), audio::Error::None, false,
                 kv::kBadCall},
        OpenCase{"noDevice", monoFormat(2, kv::kEncodingSigned), audio::Error::NoDevice, false, kv::kBadCall},
        OpenCase{"formatRefused", monoFormat(2, kv::kEncodingSigned), audio::Error::BadFormat, false, kv::kBadCall},
        OpenCase{"noMemory", monoFormat(2, kv::kEncodingSigned), audio::Error::OutOfMemory, false, kv::kOutOfMemory},
        OpenCase{"badConfiguration", monoFormat(2, kv::kEncodingSigned), audio::Error::BadConfiguration, false,
                 kv::kFailure},
        OpenCase{"deviceCannotOpen", monoFormat(2, kv::kEncodingSigned), audio::Error::None, true, kv::kFileError}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// The default feeder plays on the sound output the environment selects; the null card's capture
// file then holds the pass's sound.

class TempFile : public kvtest::TempDirTest {};

// Runs in a process of its own (ctest), so the environment it sets is its own.
TEST_F(TempFile, TheConfiguredNullCardCapturesThePassToAWaveFile) {
  const std::string capture = path("played.wav");
  setenv("LENTARO_AUDIO", "null", 1);
  setenv("LENTARO_AUDIO_SPEED", "max", 1);
  setenv("LENTARO_AUDIO_CAPTURE", capture.c_str(), 1);

  const auto input = inputOf(monoFormat(2, kv::kEncodingSigned));
  const std::vector<int32_t> fed = noise(kFirst16 + 2 * kLater16 + 333);
  kv::PlaybackFeeder feeder;
  ASSERT_EQ(feeder.open(*input), kv::kOk);
  ASSERT_EQ(feedAll(feeder, fed), kv::kOk);
  ASSERT_EQ(feeder.drain(), kv::kEndOfFile);

  const auto file = kv::SoundStream::openRead(capture);
  ASSERT_EQ(file->lastError(), kv::kOk);
  EXPECT_EQ(file->channels(), 1);
  EXPECT_EQ(file->bytesPerSample(), 2);
  EXPECT_EQ(file->sampleRate(), static_cast<float>(kRate));
  std::vector<int32_t> played(fed.size() + 1);
  int64_t got = 0;
  EXPECT_EQ(file->read(played.data(), static_cast<int64_t>(played.size()), got), kv::kEndOfFile);
  ASSERT_EQ(got, static_cast<int64_t>(fed.size()));
  for (std::size_t i = 0; i < fed.size(); ++i) ASSERT_EQ(played[i], fed[i] & ~0xFFFF) << "sample " << i;
}

}  // namespace
