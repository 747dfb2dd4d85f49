// The file-to-file engine through its one export: what file it writes, how long and at what pitch,
// how a stereo input is mixed, and that its working file and its output are left right on every
// way out.

#include "engine/brennic.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "soundfile/file_types.h"
#include "soundfile/result_codes.h"
#include "tests/engine/support/refused_inputs.h"
#include "tests/engine/support/tone.h"
#include "tests/soundfile/support/aiff_builder.h"
#include "tests/soundfile/support/riff_builder.h"
#include "tests/soundfile/support/temp_dir.h"
#include "tests/soundfile/support/wav_files.h"
#include "tests/support/non_regular_files.h"

namespace {

using kvtest::Middle;
using kvtest::middleOf;

constexpr double kRate = 44100.0;
constexpr double kTone = 440.0;
constexpr int kFftSize = 1024;
constexpr int kWindowMode = 1;

class BrennicPass : public kvtest::TempDirTest {
 protected:
  int32_t scale(const std::string& in, const std::string& out, double timeFactor = 1.0, int fftSize = kFftSize,
                int windowMode = kWindowMode) {
    return kv_TimeScale(in.c_str(), timeFactor, static_cast<int16_t>(fftSize), static_cast<int16_t>(windowMode),
                        out.c_str());
  }

  // A tone in every channel of a new file.
  std::string toneFile(const std::string& name, int channels, std::size_t frames, int bytesPerSample = 2,
                       int fileType = kv::kFileTypeWav, float rate = static_cast<float>(kRate)) {
    const std::vector<int32_t> tone = kvtest::sineSamples(kTone, rate, frames, 0.5);
    const std::string file = path(name);
    kvtest::writeSoundFile(file, channels == 2 ? kvtest::interleave(tone, tone) : tone, channels, bytesPerSample, rate,
                           fileType);
    return file;
  }

  std::vector<std::string> names() const {
    std::vector<std::string> list;
    for (const auto& entry : folder()) list.push_back(entry.first);
    return list;
  }

  using Names = std::vector<std::string>;
};

TEST_F(BrennicPass, StereoAtTimeFactorOneGivesTheMixAtUnchangedLength) {
  // The tone on the left only: the mix holds it at half its level.
  const std::size_t frames = 22050;
  const std::vector<int32_t> tone = kvtest::sineSamples(kTone, kRate, frames, 0.5);
  kvtest::writeSoundFile(path("in.wav"), kvtest::interleave(tone, std::vector<int32_t>(frames, 0)), 2);

  ASSERT_EQ(scale(path("in.wav"), path("out.wav")), kv::kOk);
  EXPECT_EQ(names(), (Names{"in.wav", "out.wav"}));
  const kvtest::SoundFile out = kvtest::readSoundFile(path("out.wav"));
  ASSERT_EQ(out.error, kv::kOk);
  EXPECT_EQ(out.type, kv::kFileTypeWav);
  EXPECT_EQ(out.channels, 1);
  EXPECT_EQ(out.bytesPerSample, 2);
  EXPECT_EQ(out.rate, 44100.0f);
  ASSERT_EQ(out.samples.size(), frames + 1);

  const std::vector<double> x = kvtest::toReals(out.samples);
  const Middle m = middleOf(x);
  const double frequency = kvtest::measureFrequency(x, kRate, m.from, m.to);
  EXPECT_NEAR(kvtest::cents(frequency / kTone), 0.0, 1.0) << "measured " << frequency << " Hz";
  EXPECT_NEAR(kvtest::decibels(kvtest::fitSine(x, kRate, frequency, m.from, m.to).amplitude / 0.25), 0.0, 0.5);
}

TEST_F(BrennicPass, TimeFactorTwoDoublesTheLengthAtTheSamePitch) {
  for (int channels : {1, 2}) {
    SCOPED_TRACE(channels);
    const std::size_t frames = 44100;
    const std::string in = toneFile("in.wav", channels, frames);
    ASSERT_EQ(scale(in, path("out.wav"), 2.0), kv::kOk);
    EXPECT_EQ(names(), (Names{"in.wav", "out.wav"}));
    const kvtest::SoundFile out = kvtest::readSoundFile(path("out.wav"));
    ASSERT_EQ(out.error, kv::kOk);
    ASSERT_EQ(out.samples.size(), 2 * frames + 1);

    const std::vector<double> x = kvtest::toReals(out.samples);
    const Middle m = middleOf(x);
    const double frequency = kvtest::measureFrequency(x, kRate, m.from, m.to);
    EXPECT_NEAR(kvtest::cents(frequency / kTone), 0.0, 2.0) << "measured " << frequency << " Hz";
    EXPECT_NEAR(kvtest::decibels(kvtest::fitSine(x, kRate, frequency, m.from, m.to).amplitude / 0.5), 0.0, 0.5);
  }
}

// A mono output of the input's type, rate and sample size, that still holds the tone; AIFC, which
// is only read, gives AIFF.
TEST_F(BrennicPass, OutputTakesTheInputsTypeRateAndSampleSize) {
  struct Case {
    const char* what;
    int channels;
    int bytesPerSample;
    int type;
    float rate;
    int outputType;
  };
  const Case cases[] = {
      {"16-bit stereo WAV", 2, 2, kv::kFileTypeWav, 44100.0f, kv::kFileTypeWav},
      {"8-bit mono WAV", 1, 1, kv::kFileTypeWav, 22050.0f, kv::kFileTypeWav},
      {"24-bit stereo WAV", 2, 3, kv::kFileTypeWav, 48000.0f, kv::kFileTypeWav},
      {"16-bit stereo AIFF", 2, 2, kv::kFileTypeAiff, 44100.0f, kv::kFileTypeAiff},
      {"8-bit mono AIFF", 1, 1, kv::kFileTypeAiff, 44100.0f, kv::kFileTypeAiff},
      {"16-bit stereo au", 2, 2, kv::kFileTypeAu, 44100.0f, kv::kFileTypeAu},
      {"16-bit stereo AIFC", 2, 2, kv::kFileTypeAifc, 44100.0f, kv::kFileTypeAiff},
  };
  const std::size_t frames = 11025;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(path("in"));
    std::filesystem::remove(path("out"));
    if (c.type == kv::kFileTypeAifc) {
      std::vector<int16_t> stored;
      for (int32_t s : kvtest::sineSamples(kTone, c.rate, frames, 0.5)) {
        stored.insert(stored.end(), 2, static_cast<int16_t>(s >> 16));
      }
      writeAll(path("in"),
               kvtest::form({kvtest::iffChunk("FVER", {0xA2, 0x80, 0x51, 0x40}),
                             kvtest::iffChunk("COMM", kvtest::aifcCommBody(2, frames, 16, kvtest::rate44100(), "NONE",
                                                                           "not compressed")),
                             kvtest::iffChunk("SSND", kvtest::ssndBody(kvtest::pcm16BE(stored)))},
                            "AIFC"));
    } else {
      toneFile("in", c.channels, frames, c.bytesPerSample, c.type, c.rate);
    }

    ASSERT_EQ(scale(path("in"), path("out")), kv::kOk);
    EXPECT_EQ(names(), (Names{"in", "out"}));
    const kvtest::SoundFile out = kvtest::readSoundFile(path("out"));
    ASSERT_EQ(out.error, kv::kOk);
    EXPECT_EQ(out.type, c.outputType);
    EXPECT_EQ(out.channels, 1);
    EXPECT_EQ(out.bytesPerSample, c.bytesPerSample);
    EXPECT_EQ(out.rate, c.rate);
    ASSERT_EQ(out.samples.size(), frames + 1);
    const std::vector<double> x = kvtest::toReals(out.samples);
    const Middle m = middleOf(x);
    EXPECT_NEAR(kvtest::decibels(kvtest::fitSine(x, c.rate, kTone, m.from, m.to).amplitude / 0.5), 0.0, 1.0);
  }
}

// The data chunk claims twice the frames it holds: the pass scales what is there and finishes a
// whole file.
TEST_F(BrennicPass, ATruncatedInputIsScaledAsFarAsItsDataGoes) {
  for (int channels : {1, 2}) {
    SCOPED_TRACE(channels);
    const int frames = 6000;
    const std::vector<int16_t> held = kvtest::ramp16(channels * frames);
    writeAll(path("in.wav"), kvtest::riff({kvtest::chunk("fmt ", kvtest::fmtBody(1, channels, 44100, 16)),
                                           kvtest::chunk("data", kvtest::pcm16(held), 2 * 2 * channels * frames)}));

    ASSERT_EQ(scale(path("in.wav"), path("out.wav")), kv::kOk);
    EXPECT_EQ(names(), (Names{"in.wav", "out.wav"}));
    const kvtest::SoundFile out = kvtest::readSoundFile(path("out.wav"));
    ASSERT_EQ(out.error, kv::kOk);
    EXPECT_EQ(out.samples.size(), static_cast<std::size_t>(frames + 1));
    EXPECT_EQ(readAll(path("out.wav")).size(), 44u + 2u * (frames + 1));
  }
}

// Every refusal leaves the folder exactly as it was: no output, no working file, the input intact.
TEST_F(BrennicPass, FilesThatCannotBeOpenedOrCreatedGiveMinusOneAndLeaveNothingBehind) {
  enum class Also { kNothing, kLinkToInput, kFolderNamedAsWorkingFile };
  struct Case {
    const char* what;
    int inputChannels;  // 0: no input file; -1: a file that is no sound
    const char* output;
    Also also;
  };
  const Case cases[] = {
      {"missing input", 0, "out.wav", Also::kNothing},
      {"input that is no sound", -1, "out.wav", Also::kNothing},
      {"mono input, output in a missing folder", 1, "missing/out.wav", Also::kNothing},
      {"stereo input, output in a missing folder", 2, "missing/out.wav", Also::kNothing},
      {"output names the mono input", 1, "in.wav", Also::kNothing},
      {"output names the stereo input", 2, "in.wav", Also::kNothing},
      {"output names the input through a link", 1, "link.wav", Also::kLinkToInput},
      {"output names the working file", 2, "in.wav.mono.tmp", Also::kNothing},
      {"working file cannot be made", 2, "out.wav", Also::kFolderNamedAsWorkingFile},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const auto& entry : std::filesystem::directory_iterator(path(""))) std::filesystem::remove_all(entry);
    if (c.inputChannels > 0) toneFile("in.wav", c.inputChannels, 4410);
    if (c.inputChannels < 0) writeAll(path("in.wav"), std::vector<uint8_t>(1000, 'x'));
    if (c.also == Also::kLinkToInput) std::filesystem::create_symlink("in.wav", path("link.wav"));
    if (c.also == Also::kFolderNamedAsWorkingFile) std::filesystem::create_directory(path("in.wav.mono.tmp"));
    const auto before = folder();

    EXPECT_EQ(scale(path("in.wav"), path(c.output)), kv::kCannotOpen);
    EXPECT_TRUE(folder() == before);
  }
  EXPECT_EQ(kv_TimeScale(nullptr, 1.0, kFftSize, kWindowMode, path("out.wav").c_str()), kv::kCannotOpen);
  EXPECT_EQ(kv_TimeScale(path("in.wav").c_str(), 1.0, kFftSize, kWindowMode, nullptr), kv::kCannotOpen);
}

// Settings the vocoder cannot run with are refused before the working file is made or an existing
// output is replaced.
TEST_F(BrennicPass, UnusableSettingsAreRefusedBeforeAnyFileIsTouched) {
  struct Case {
    const char* what;
    double timeFactor;
    int fftSize;
    int windowMode;
  };
  const Case cases[] = {
      {"FFT size not a power of two", 1.0, 1000, kWindowMode},
      {"no FFT size", 1.0, 0, kWindowMode},
      {"window mode out of range", 1.0, kFftSize, 7},
      {"time factor 0", 0.0, kFftSize, kWindowMode},
      {"negative time factor", -2.0, kFftSize, kWindowMode},
      {"time factor not a number", std::numeric_limits<double>::quiet_NaN(), kFftSize, kWindowMode},
  };
  toneFile("in.wav", 2, 4410);
  writeAll(path("out.wav"), std::vector<uint8_t>(5000, 0x55));
  const auto before = folder();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(scale(path("in.wav"), path("out.wav"), c.timeFactor, c.fftSize, c.windowMode), kv::kBadCall);
    EXPECT_TRUE(folder() == before);
  }
}

// Files of this process stop growing at a size: writes beyond it fail as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    if (getrlimit(RLIMIT_FSIZE, &saved_) != 0 || saved_.rlim_max < bytes) return;
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    set_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    if (!set_) return;
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  bool set() const { return set_; }

 private:
  rlimit saved_{};
  void (*previousHandler_)(int) = SIG_DFL;
  bool set_ = false;
};

// A stereo second at half speed: the working file needs 88,244 bytes, the output 176,446.
TEST_F(BrennicPass, AFailureDuringThePassRemovesTheWorkingFileAndFinishesTheOutput) {
  struct Case {
    const char* what;
    rlim_t limit;
    int32_t result;
    bool outputLeft;
  };
  const Case cases[] = {
      {"mixing to mono fails", 40000, kv::kCannotOpen, false},
      {"writing the output fails", 120000, kv::kFileError, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(path("out.wav"));
    const std::string in = toneFile("in.wav", 2, 44100);
    int32_t result;
    {
      FileSizeLimit limit(c.limit);
      if (!limit.set()) GTEST_SKIP() << "the file size limit cannot be set here";
      result = scale(in, path("out.wav"), 2.0);
    }
    EXPECT_EQ(result, c.result);
    if (!c.outputLeft) {
      EXPECT_EQ(names(), (Names{"in.wav"}));
      continue;
    }
    EXPECT_EQ(names(), (Names{"in.wav", "out.wav"}));
    // What reached the output is a whole file whose header tells its length.
    const std::vector<uint8_t> bytes = readAll(path("out.wav"));
    ASSERT_GE(bytes.size(), 44u);
    const uint32_t dataBytes = kvtest::fieldLE32(bytes, 40);
    EXPECT_EQ(dataBytes, bytes.size() - 44);
    EXPECT_GT(dataBytes, 0u);
    const kvtest::SoundFile out = kvtest::readSoundFile(path("out.wav"));
    EXPECT_EQ(out.error, kv::kOk);
    EXPECT_EQ(out.channels, 1);
  }
}

// Mu-law and A-law samples decode to 16 bits, which the output keeps: it is 16-bit, and it is what
// the same pass makes of a 16-bit file holding the decoded samples.
TEST_F(BrennicPass, CompandedInputGivesASixteenBitOutputOfItsDecodedSound) {
  struct Case {
    const char* what;
    int encoding;
    int fileType;
    int channels;
  };
  const Case cases[] = {
      {"mu-law mono WAV", kv::kEncodingMuLaw, kv::kFileTypeWav, 1},
      {"A-law mono WAV", kv::kEncodingALaw, kv::kFileTypeWav, 1},
      {"mu-law stereo WAV", kv::kEncodingMuLaw, kv::kFileTypeWav, 2},
      {"A-law stereo WAV", kv::kEncodingALaw, kv::kFileTypeWav, 2},
      {"mu-law mono au", kv::kEncodingMuLaw, kv::kFileTypeAu, 1},
  };
  const std::vector<int32_t> tone = kvtest::sineSamples(kTone, kRate, 22050, 0.5);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    kvtest::writeCompandedFile(path("companded"), c.channels == 2 ? kvtest::interleave(tone, tone) : tone, c.channels,
                               c.encoding, c.fileType);
    const kvtest::SoundFile decoded = kvtest::readSoundFile(path("companded"));
    ASSERT_EQ(decoded.error, kv::kOk);
    kvtest::writeSoundFile(path("linear"), decoded.samples, c.channels, 2, static_cast<float>(kRate), c.fileType);
    ASSERT_EQ(scale(path("companded"), path("companded-out"), 2.0), kv::kOk);
    ASSERT_EQ(scale(path("linear"), path("linear-out"), 2.0), kv::kOk);

    const kvtest::SoundFile out = kvtest::readSoundFile(path("companded-out"));
    const kvtest::SoundFile expected = kvtest::readSoundFile(path("linear-out"));
    ASSERT_EQ(out.error, kv::kOk);
    EXPECT_EQ(out.type, c.fileType);
    EXPECT_EQ(out.bytesPerSample, 2);
    EXPECT_EQ(out.encoding, kv::kEncodingSigned);
    EXPECT_TRUE(kvtest::withinQuantisation(out.samples, expected.samples, 2));
  }
}

// A header stating a channel count or sample format the engine has no use for is refused with the
// other bad headers, before the output is opened: an existing output keeps every byte, and none
// is made.
class BrennicRefusedInputs : public BrennicPass, public ::testing::WithParamInterface<kvtest::RefusedInput> {};

TEST_P(BrennicRefusedInputs, AreRefusedBeforeTheOutputIsTouched) {
  writeAll(path("in"), GetParam().bytes);
  EXPECT_EQ(scale(path("in"), path("out")), kv::kCannotOpen);
  EXPECT_EQ(names(), (Names{"in"}));
  writeAll(path("out"), std::vector<uint8_t>(5000, 0x55));
  const auto before = folder();
  EXPECT_EQ(scale(path("in"), path("out")), kv::kCannotOpen);
  EXPECT_TRUE(folder() == before);
}

INSTANTIATE_TEST_SUITE_P(Headers, BrennicRefusedInputs, ::testing::ValuesIn(kvtest::refusedInputs()),
                         kvtest::refusedInputName);

// Anything but a regular file, named as the input, the output or the working file, is refused at
// once (a FIFO would otherwise hold the call in its open for ever), and no file is made, replaced
// or left behind.
class BrennicNonRegular : public BrennicPass, public ::testing::WithParamInterface<kvtest::NonRegularCase> {};

TEST_P(BrennicNonRegular, InputIsRefusedAndNoOutputTouched) {
  const kvtest::NonRegularFile special(GetParam().kind, path(""), "in.wav");
  ASSERT_TRUE(special.made());
  writeAll(path("old.wav"), std::vector<uint8_t>(5000, 0x55));
  const auto before = folder();
  for (const char* output : {"new.wav", "old.wav"}) {
    SCOPED_TRACE(output);
    EXPECT_EQ(scale(special.path(), path(output)), kv::kCannotOpen);
    EXPECT_TRUE(folder() == before);
  }
}

TEST_P(BrennicNonRegular, OutputIsRefusedAndLeftAsItWas) {
  const kvtest::NonRegularFile special(GetParam().kind, path(""), "out.wav");
  ASSERT_TRUE(special.made());
  for (int channels : {1, 2}) {
    SCOPED_TRACE(channels);
    const std::string in = toneFile("in.wav", channels, 4410);
    const auto before = folder();
    EXPECT_EQ(scale(in, special.path()), kv::kCannotOpen);
    EXPECT_TRUE(folder() == before);
    EXPECT_EQ(special.takeWritten(), "");
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, BrennicNonRegular, ::testing::ValuesIn(kvtest::nonRegularCases()),
                         kvtest::nonRegularCaseName);

// The working file sits beside the input, so only what can be made there can take its name.
TEST_F(BrennicPass, AWorkingFileNameTakenByAFifoIsRefusedAndLeftAsItWas) {
  for (const kvtest::NonRegular kind : {kvtest::NonRegular::kFifo, kvtest::NonRegular::kFifoHeldOpen}) {
    SCOPED_TRACE(static_cast<int>(kind));
    for (const auto& entry : std::filesystem::directory_iterator(path(""))) std::filesystem::remove_all(entry);
    const std::string in = toneFile("in.wav", 2, 4410);
    const kvtest::NonRegularFile working(kind, path(""), "in.wav.mono.tmp");
    ASSERT_TRUE(working.made());
    const auto before = folder();
    EXPECT_EQ(scale(in, path("out.wav")), kv::kCannotOpen);
    EXPECT_TRUE(folder() == before);
    EXPECT_EQ(working.takeWritten(), "");
  }
}

TEST(BrennicLibrary, ExportsOnlyItsEntryPoint) {
  void* library = dlopen(BRENNIC_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  EXPECT_NE(dlsym(library, "kv_TimeScale"), nullptr);
  EXPECT_EQ(dlsym(library, "kv_StopTimeScale"), nullptr);
  // The engine's own code stays inside: here the channel conversion.
  EXPECT_EQ(dlsym(library, "_ZN2kv15convertChannelsERNS_11SoundStreamES1_"), nullptr);
  dlclose(library);
}

}  // namespace
