#pragma once
// Sound files for tests, written and read through the engine's own streams.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "soundfile/sound_stream.h"

namespace kvtest {

// Interleaved 32-bit full-scale samples, stored at that many bytes per sample.
inline void writeSoundFile(const std::string& path, const std::vector<int32_t>& samples, int channels,
                           int bytesPerSample = 2, float rate = 44100.0f, int fileType = kv::kFileTypeWav) {
  auto out =
      kv::SoundStream::openWrite(kv::SampleFormat::make(rate, bytesPerSample, kv::kUnset, channels), path, fileType);
  ASSERT_TRUE(out);
  ASSERT_EQ(out->lastError(), kv::kOk);
  ASSERT_EQ(out->write(samples.data(), static_cast<int64_t>(samples.size())), kv::kOk);
  ASSERT_EQ(out->close(), kv::kOk);
}

// Interleaved 32-bit full-scale samples stored as 8-bit mu-law or A-law codes, in a file of a type
// that holds them (WAV holds both, au mu-law only).
inline void writeCompandedFile(const std::string& path, const std::vector<int32_t>& samples, int channels, int encoding,
                               int fileType, float rate = 44100.0f) {
  kv::SampleFormat format = kv::SampleFormat::make(rate, 1, kv::kUnset, channels);
  format.encoding = encoding;
  auto out = kv::SoundStream::openWrite(format, path, fileType);
  ASSERT_TRUE(out);
  ASSERT_EQ(out->lastError(), kv::kOk);
  ASSERT_EQ(out->encoding(), encoding);
  ASSERT_EQ(out->write(samples.data(), static_cast<int64_t>(samples.size())), kv::kOk);
  ASSERT_EQ(out->close(), kv::kOk);
}

struct SoundFile {
  int32_t error = kv::kOk;
  int channels = 0;
  int bytesPerSample = 0;
  int encoding = 0;
  float rate = 0.0f;
  int type = 0;
  std::vector<int32_t> samples;
};

inline SoundFile readSoundFile(const std::string& path) {
  SoundFile file;
  auto in = kv::SoundStream::openRead(path);
  if (!in || in->lastError() != kv::kOk) {
    file.error = in ? in->lastError() : kv::kOutOfMemory;
    return file;
  }
  file.channels = in->channels();
  file.bytesPerSample = in->bytesPerSample();
  file.encoding = in->encoding();
  file.rate = in->sampleRate();
  file.type = in->typeFound();
  file.samples.resize(static_cast<std::size_t>(in->length()));
  int64_t delivered = 0;
  const int32_t result = in->read(file.samples.data(), in->length(), delivered);
  if (result != kv::kOk || delivered != in->length()) file.error = result != kv::kOk ? result : kv::kFailure;
  return file;
}

// Whether two sample sequences are as long and nowhere further apart than one step of samples
// stored in that many bytes.
inline ::testing::AssertionResult withinQuantisation(const std::vector<int32_t>& actual,
                                                     const std::vector<int32_t>& expected, int sampleBytes) {
  if (actual.size() != expected.size()) {
    return ::testing::AssertionFailure() << actual.size() << " samples where " << expected.size() << " were expected";
  }
  const int64_t step = int64_t{1} << (32 - 8 * sampleBytes);
  for (std::size_t i = 0; i < actual.size(); ++i) {
    if (std::llabs(static_cast<int64_t>(actual[i]) - expected[i]) > step) {
      return ::testing::AssertionFailure()
             << "sample " << i << " is " << actual[i] << " where " << expected[i] << " was expected";
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace kvtest
