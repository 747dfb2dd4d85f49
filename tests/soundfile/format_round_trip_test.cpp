// Every writable file type reads back what was written, at every depth, mono and stereo.

#include <gtest/gtest.h>

#include <string>

#include "soundfile/sound_stream.h"
#include "tests/soundfile/support/sample_patterns.h"
#include "tests/soundfile/support/temp_dir.h"

namespace {

using kvtest::quantised;

struct RoundTrip {
  int fileType;
  const char* extension;
  int sampleBytes;
  int channels;
  int encodingWritten;  // unset lets the handler choose its linear default
  int encodingRead;     // how the file stores samples of that size
};

void PrintTo(const RoundTrip& r, std::ostream* os) {
  *os << r.extension << ", " << 8 * r.sampleBytes << " bits, " << r.channels << " channels";
}

class FormatRoundTrip : public kvtest::TempDirTest, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(FormatRoundTrip, ReadsBackWhatWasWritten) {
  const RoundTrip& r = GetParam();
  const std::string file = path(std::string("round.") + r.extension);
  const std::vector<int32_t> samples = kvtest::sineLikeSamples(2000 * r.channels);
  {
    auto out = kv::SoundStream::openWrite(
        kv::SampleFormat::make(22050.0f, r.sampleBytes, r.encodingWritten, r.channels), file, r.fileType);
    ASSERT_EQ(out->lastError(), kv::kOk);
    // Two writes, the first ending inside a frame, with the header completed between them.
    ASSERT_EQ(out->write(samples.data(), 999), kv::kOk);
    ASSERT_EQ(out->finish(), kv::kOk);
    ASSERT_EQ(out->write(samples.data() + 999, static_cast<int64_t>(samples.size()) - 999), kv::kOk);
  }  // closed by going out of scope

  auto in = kv::SoundStream::openRead(file);
  ASSERT_EQ(in->lastError(), kv::kOk);
  EXPECT_EQ(in->typeFound(), r.fileType);
  EXPECT_EQ(in->bytesPerSample(), r.sampleBytes);
  EXPECT_EQ(in->encoding(), r.encodingRead);
  EXPECT_EQ(in->channels(), r.channels);
  EXPECT_EQ(in->sampleRate(), 22050.0f);
  ASSERT_EQ(in->length(), static_cast<int64_t>(samples.size()));

  std::vector<int32_t> back(samples.size() + 10);
  int64_t got = 0;
  EXPECT_EQ(in->read(back.data(), static_cast<int64_t>(back.size()), got), kv::kEndOfFile);
  ASSERT_EQ(got, static_cast<int64_t>(samples.size()));
  for (std::size_t i = 0; i < samples.size(); ++i) {
    ASSERT_EQ(back[i], quantised(samples[i], r.sampleBytes)) << "sample " << i;
  }

  ASSERT_EQ(in->seekFrame(1000), kv::kOk);
  int32_t sample = 0;
  ASSERT_EQ(in->read(&sample, 1, got), kv::kOk);
  EXPECT_EQ(sample, quantised(samples[static_cast<std::size_t>(1000 * r.channels)], r.sampleBytes));
}

std::vector<RoundTrip> roundTrips() {
  std::vector<RoundTrip> cases;
  for (int channels : {1, 2}) {
    for (int bytes : {1, 2, 3}) {
      // WAV keeps 8-bit data unsigned; AIFF and au store every depth signed (au's 8-bit default
      // would be mu-law, so it is asked for signed).
      cases.push_back({kv::kFileTypeWav, "wav", bytes, channels, kv::kUnset,
                       bytes == 1 ? kv::kEncodingUnsigned : kv::kEncodingSigned});
      cases.push_back({kv::kFileTypeAiff, "aif", bytes, channels, kv::kUnset, kv::kEncodingSigned});
      cases.push_back({kv::kFileTypeAu, "au", bytes, channels, kv::kEncodingSigned, kv::kEncodingSigned});
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(TypesAndDepths, FormatRoundTrip, ::testing::ValuesIn(roundTrips()),
                         [](const ::testing::TestParamInfo<RoundTrip>& info) {
                           return std::string(info.param.extension) + std::to_string(8 * info.param.sampleBytes) +
                                  "bit" + std::to_string(info.param.channels) + "ch";
                         });

}  // namespace
