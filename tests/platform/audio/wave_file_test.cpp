#include "platform/audio/Devices.h"
#include "platform/audio/NullSoundCard.h"
#include "platform/audio/WaveFileSink.h"
#include "platform/audio/WaveFileSource.h"

#include "tests/platform/audio/audio_test_support.h"

#include "soundfile/file_types.h"
#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace lentaro::audio {
namespace {

using namespace std::chrono_literals;
using test::concat;
using test::mono16;
using test::ramp16;

const Format stereo16{2, 8000, 16, Encoding::Pcm};

struct WaveContents {
  int channels = 0;
  int bytesPerSample = 0;
  float sampleRate = 0;
  std::vector<std::int32_t> samples;
};

std::uint32_t le32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// The data size the header of a wave file gives, checked against the file's own size.
std::uint32_t headerDataBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_GE(bytes.size(), 44u) << path;
  if (bytes.size() < 44) return 0;
  const std::uint32_t data = le32(bytes, 40);
  const std::uint32_t padded = data + (data & 1);
  EXPECT_EQ(bytes.size(), 44 + padded) << path;
  EXPECT_EQ(le32(bytes, 4), 36 + padded) << path;
  return data;
}

// Reads a wave file the way the engine does, after checking that its header matches its data.
WaveContents readWave(const std::string& path) {
  WaveContents contents;
  const std::uint32_t dataBytes = headerDataBytes(path);
  const auto file = kv::SoundStream::openRead(path);
  EXPECT_EQ(file->lastError(), kv::kOk) << path;
  if (file->lastError() != kv::kOk) return contents;
  contents.channels = file->channels();
  contents.bytesPerSample = file->bytesPerSample();
  contents.sampleRate = file->sampleRate();
  EXPECT_EQ(dataBytes, file->length() * file->bytesPerSample());
  contents.samples.resize(static_cast<std::size_t>(file->length()));
  std::int64_t got = 0;
  file->read(contents.samples.data(), file->length(), got);
  EXPECT_EQ(got, file->length());
  return contents;
}

// 16-bit ramp samples as the engine reads them.
std::vector<std::int32_t> ramp16Samples(std::size_t frames, int channels = 1, int first = 0) {
  std::vector<std::int32_t> samples;
  for (std::size_t i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c)
      samples.push_back(static_cast<std::int32_t>((first + static_cast<int>(i)) << 16));
  return samples;
}

class WaveFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "wavefile-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string path(const char* name) const { return (dir_ / name).string(); }

  static void play(OutputDevice& output, const std::vector<std::uint8_t>& bytes) {
    const Ticket ticket = output.write(bytes.data(), bytes.size()).ticket;
    ASSERT_TRUE(output.waitUntilDone(ticket, 20s));
  }

  NullSoundCard card{NullSoundCard::unpaced};

 private:
  std::filesystem::path dir_;
};

// The file is a whole wave file at every moment: before anything plays, while sound plays, after.
TEST_F(WaveFileTest, SinkFileIsWholeBeforeDuringAndAfterPlay) {
  const std::string file = path("played.wav");
  const auto sink = std::make_shared<WaveFileSink>(file);
  EXPECT_EQ(headerDataBytes(file), 0u);

  card.setSink(sink);
  const auto output = std::move(card.openOutput(mono16).device);
  play(*output, ramp16(700));
  const WaveContents during = readWave(file);
  EXPECT_EQ(during.channels, 1);
  EXPECT_EQ(during.bytesPerSample, 2);
  EXPECT_EQ(during.sampleRate, 8000.0f);
  EXPECT_EQ(during.samples, ramp16Samples(700));

  play(*output, ramp16(301, 1, 700));
  EXPECT_TRUE(sink->close().ok());
  play(*output, ramp16(50, 1, 5000));  // after close: not written
  EXPECT_EQ(readWave(file).samples, ramp16Samples(1001));
}

// The file keeps the format of the first sound; later sound of another format is converted.
TEST_F(WaveFileTest, SinkConvertsLaterFormatsToTheFirst) {
  const std::string file = path("mixed.wav");
  card.setSink(std::make_shared<WaveFileSink>(file));
  const auto mono = std::move(card.openOutput(mono16).device);
  const auto stereo = std::move(card.openOutput(stereo16).device);
  play(*mono, ramp16(100));
  play(*stereo, ramp16(100, 2, 100));
  play(*mono, ramp16(100, 1, 200));
  const WaveContents contents = readWave(file);
  EXPECT_EQ(contents.channels, 1);
  EXPECT_EQ(contents.samples, ramp16Samples(300));
}

struct SinkForm {
  const char* name;
  Format played;
  std::vector<std::uint8_t> bytes;
  int storedBytes;
  std::vector<std::int32_t> samples;
};

void PrintTo(const SinkForm& form, std::ostream* os) { *os << form.name; }

class SinkForms : public WaveFileTest, public ::testing::WithParamInterface<SinkForm> {};

TEST_P(SinkForms, KeepWhatWasPlayed) {
  const SinkForm& form = GetParam();
  const std::string file = path("form.wav");
  card.setSink(std::make_shared<WaveFileSink>(file));
  const auto output = std::move(card.openOutput(form.played).device);
  // Enough sound for a file the engine reads (it wants 132 bytes at least).
  constexpr int repeats = 50;
  std::vector<std::uint8_t> bytes;
  std::vector<std::int32_t> samples;
  for (int i = 0; i < repeats; ++i) {
    bytes.insert(bytes.end(), form.bytes.begin(), form.bytes.end());
    samples.insert(samples.end(), form.samples.begin(), form.samples.end());
  }
  play(*output, bytes);
  const WaveContents contents = readWave(file);
  EXPECT_EQ(contents.bytesPerSample, form.storedBytes);
  EXPECT_EQ(contents.samples, samples);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, SinkForms,
    ::testing::Values(
        SinkForm{"unsigned8", {1, 8000, 8, Encoding::Pcm}, {0x00, 0x80, 0xFF}, 1, {INT32_MIN, 0, 0x7F000000}},
        // Companded sound is kept decoded, exactly as it was heard.
        SinkForm{"muLaw", {1, 8000, 8, Encoding::MuLaw}, {0xFF, 0x80, 0x7F}, 2, {0, 32124 << 16, 0}},
        SinkForm{"aLaw", {1, 8000, 8, Encoding::ALaw}, {0xD5, 0x2A}, 2, {8 << 16, -(32256 << 16)}},
        SinkForm{"pcm24", {1, 8000, 24, Encoding::Pcm}, {0x56, 0x34, 0x12}, 3, {0x12345600}},
        // A wave file here holds 24 bits at most: 32-bit sound keeps its top 24.
        SinkForm{"pcm32", {1, 8000, 32, Encoding::Pcm}, {0x78, 0x56, 0x34, 0x12}, 3, {0x12345600}}),
    [](const auto& info) { return std::string(info.param.name); });

// A FIFO with nobody at its other end is refused at once rather than waited on.
TEST_F(WaveFileTest, SinkThatCannotCreateItsFileSaysWhy) {
  const std::string fifo = path("fifo.wav");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& file : {path("missing/folder/played.wav"), fifo}) {
    try {
      WaveFileSink sink(file);
      ADD_FAILURE() << "created " << file;
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(file), std::string::npos);
    }
  }
}

// Writes a 16-bit wave file of frames numbered from 0 (both channels alike).
void writeRampWave(const std::string& file, std::size_t frames, int channels) {
  const auto wave = kv::SoundStream::openWrite(kv::SampleFormat::make(8000, 2, kv::kEncodingSigned, channels), file,
                                               kv::kFileTypeWav);
  ASSERT_EQ(wave->lastError(), kv::kOk);
  const auto samples = ramp16Samples(frames, channels);
  ASSERT_EQ(wave->write(samples.data(), static_cast<std::int64_t>(samples.size())), kv::kOk);
  ASSERT_EQ(wave->close(), kv::kOk);
}

std::vector<std::uint8_t> readSource(FrameSource& source, const Format& format, std::size_t pieceBytes) {
  std::vector<std::uint8_t> all;
  std::vector<std::uint8_t> piece(pieceBytes);
  while (const std::size_t got = source.read(format, piece.data(), piece.size()))
    all.insert(all.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(got));
  return all;
}

// The source delivers the file whole, in any piece size, in the reader's format; a read in
// another format starts again from the beginning.
TEST_F(WaveFileTest, SourceDeliversTheFileInTheReadersFormat) {
  const std::string file = path("source.wav");
  writeRampWave(file, 10000, 2);
  WaveFileSource source(file);
  EXPECT_EQ(readSource(source, stereo16, 4 * 333), ramp16(10000, 2));
  EXPECT_EQ(source.read(stereo16, std::vector<std::uint8_t>(64).data(), 64), 0u);
  EXPECT_EQ(readSource(source, mono16, 2 * 4999), ramp16(10000));
  const std::vector<std::uint8_t> bytes8 = readSource(source, {1, 8000, 8, Encoding::Pcm}, 1000);
  EXPECT_EQ(bytes8.size(), 10000u);
  EXPECT_EQ(bytes8[0], 0x80);
}

TEST_F(WaveFileTest, SourceRefusesWhatItCannotRead) {
  const std::string notSound = path("notes.txt");
  std::ofstream(notSound) << std::string(200, 'x');
  const std::string fourChannels = path("four.wav");
  writeRampWave(fourChannels, 100, 4);
  const std::string fifo = path("fifo.wav");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& file : {path("absent.wav"), notSound, fourChannels, fifo}) {
    try {
      WaveFileSource source(file);
      ADD_FAILURE() << "read " << file;
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(file), std::string::npos) << error.what();
    }
  }
}

// ---------------------------------------------------------------------------------------------
// The environment switches both on for the process's null card. Each test runs in a process of
// its own (ctest), so the environment it sets is its own.

class WaveFileEnvironmentTest : public WaveFileTest {
 protected:
  void SetUp() override {
    WaveFileTest::SetUp();
    setenv("LENTARO_AUDIO", "null", 1);
    setenv("LENTARO_AUDIO_SPEED", "max", 1);
  }
};

TEST_F(WaveFileEnvironmentTest, CaptureAndSourceFiles) {
  const std::string captured = path("captured.wav");
  const std::string recorded = path("recorded.wav");
  writeRampWave(recorded, 3000, 1);
  setenv("LENTARO_AUDIO_CAPTURE", captured.c_str(), 1);
  setenv("LENTARO_AUDIO_SOURCE", recorded.c_str(), 1);

  const auto output = openOutput(mono16);
  ASSERT_TRUE(output) << output.status.detail;
  play(*output.device, ramp16(1234));
  EXPECT_EQ(readWave(captured).samples, ramp16Samples(1234));

  const auto input = openInput(mono16);
  ASSERT_TRUE(input) << input.status.detail;
  ASSERT_EQ(input.device->start(), Error::None);
  std::vector<std::uint8_t> heard;
  std::vector<std::uint8_t> piece(1000);
  while (const std::size_t got = input.device->read(piece.data(), piece.size(), 1s))
    heard.insert(heard.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(got));
  EXPECT_EQ(heard, ramp16(3000));
}

TEST_F(WaveFileEnvironmentTest, UnusableFilesAreConfigurationErrors) {
  setenv("LENTARO_AUDIO_SOURCE", path("absent.wav").c_str(), 1);
  const auto output = openOutput(mono16);
  EXPECT_FALSE(output);
  EXPECT_EQ(output.status.error, Error::BadConfiguration);
  EXPECT_NE(output.status.detail.find("LENTARO_AUDIO_SOURCE"), std::string::npos);
  EXPECT_EQ(queryInput(mono16).error, Error::BadConfiguration);
}

TEST_F(WaveFileEnvironmentTest, UncreatableCaptureIsAConfigurationError) {
  setenv("LENTARO_AUDIO_CAPTURE", path("missing/captured.wav").c_str(), 1);
  EXPECT_EQ(queryOutput(mono16).error, Error::BadConfiguration);
  EXPECT_EQ(openInput(mono16).status.error, Error::BadConfiguration);
}

}  // namespace
}  // namespace lentaro::audio
