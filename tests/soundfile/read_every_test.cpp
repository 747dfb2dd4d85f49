// Keeping every step-th sample of a stream gives what a full read would have given at those
// places, whether the samples are stored plainly (converted only where kept) or not, and leaves the
// stream where the passed-over samples end.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "soundfile/sound_stream.h"
#include "tests/soundfile/support/sample_patterns.h"
#include "tests/soundfile/support/temp_dir.h"

namespace {

struct EveryCase {
  const char* name;
  int fileType;  // kFileTypeMemory: a memory stream
  int sampleBytes;
  int encoding;
  int step;
  int64_t count;  // kept samples asked for in each call
};

void PrintTo(const EveryCase& c, std::ostream* os) { *os << c.name; }

constexpr int kSamples = 20011;  // a prime, so no step divides it

// Full-scale samples that all differ, in every byte.
std::vector<int32_t> scatteredSamples() {
  std::vector<int32_t> samples(static_cast<std::size_t>(kSamples));
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int32_t>((i + 1) * 2654435761u);
  return samples;
}

class ReadEvery : public kvtest::TempDirTest, public ::testing::WithParamInterface<EveryCase> {
 protected:
  std::unique_ptr<kv::SoundStream> openFilled(const std::vector<int32_t>& samples) {
    const EveryCase& c = GetParam();
    const kv::SampleFormat format = kv::SampleFormat::make(22050.0f, c.sampleBytes, c.encoding, 1);
    if (c.fileType == kv::kFileTypeMemory) {
      auto stream = kv::SoundStream::createMemory(format, nullptr, 0);
      stream->write(samples.data(), static_cast<int64_t>(samples.size()));
      return stream;
    }
    const std::string file = path("every");
    {
      auto out = kv::SoundStream::openWrite(format, file, c.fileType);
      EXPECT_EQ(out->write(samples.data(), static_cast<int64_t>(samples.size())), kv::kOk);
    }
    return kv::SoundStream::openRead(file);
  }
};

TEST_P(ReadEvery, KeepsTheSamplesAFullReadGivesAtThosePlaces) {
  const EveryCase& c = GetParam();
  const std::vector<int32_t> written = scatteredSamples();
  auto full = openFilled(written);
  ASSERT_EQ(full->lastError(), kv::kOk);
  const std::vector<int32_t> all = kvtest::readAllSamples(*full);

  auto stream = openFilled(written);
  std::vector<int32_t> kept;
  std::vector<int32_t> block(static_cast<std::size_t>(c.count));
  int32_t result = kv::kOk;
  while (result == kv::kOk) {
    int64_t got = -1;
    result = stream->readEvery(block.data(), c.count, c.step, got);
    ASSERT_GE(got, 0);
    ASSERT_EQ(result == kv::kOk, got == c.count);
    kept.insert(kept.end(), block.begin(), block.begin() + got);
  }
  ASSERT_EQ(result, kv::kEndOfFile);

  std::vector<int32_t> expected;
  for (std::size_t i = 0; i < static_cast<std::size_t>(kSamples); i += static_cast<std::size_t>(c.step))
    expected.push_back(all[i]);
  EXPECT_EQ(kept, expected);
}

TEST_P(ReadEvery, LeavesTheStreamAfterThePassedOverSamples) {
  const EveryCase& c = GetParam();
  const std::vector<int32_t> written = scatteredSamples();
  auto full = openFilled(written);
  const std::vector<int32_t> all = kvtest::readAllSamples(*full);

  auto stream = openFilled(written);
  std::vector<int32_t> block(static_cast<std::size_t>(c.count));
  int64_t got = 0;
  ASSERT_EQ(stream->readEvery(block.data(), 1, c.step, got), kv::kOk);
  int32_t next = 0;
  ASSERT_EQ(stream->read(&next, 1, got), kv::kOk);
  EXPECT_EQ(next, all[static_cast<std::size_t>(c.step)]);
}

const EveryCase kCases[] = {
    {"Wav16Step1", kv::kFileTypeWav, 2, kv::kEncodingSigned, 1, 1000},
    {"Wav16Step2", kv::kFileTypeWav, 2, kv::kEncodingSigned, 2, 1000},
    {"Wav16Step7", kv::kFileTypeWav, 2, kv::kEncodingSigned, 7, 333},
    {"Wav16StepPastAChunk", kv::kFileTypeWav, 2, kv::kEncodingSigned, 17011, 1},
    {"Wav8Step3", kv::kFileTypeWav, 1, kv::kEncodingUnsigned, 3, 4096},
    {"Wav24Step20", kv::kFileTypeWav, 3, kv::kEncodingSigned, 20, 50},
    {"Aiff16BigEndianStep5", kv::kFileTypeAiff, 2, kv::kEncodingSigned, 5, 700},
    {"AuMuLawStep4", kv::kFileTypeAu, 1, kv::kEncodingMuLaw, 4, 100},
    {"MemoryStep9", kv::kFileTypeMemory, 2, kv::kEncodingSigned, 9, 64},
};
INSTANTIATE_TEST_SUITE_P(Streams, ReadEvery, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<EveryCase>& info) { return info.param.name; });

struct RefusedCall {
  int64_t count;
  int64_t step;
};

TEST(ReadEveryCall, ACallThatCannotBeMetIsRefusedWithNothingRead) {
  const RefusedCall calls[] = {{1, 0}, {1, -3}, {INT64_MAX / 2 + 1, 2}};
  for (const RefusedCall& call : calls) {
    auto stream =
        kv::SoundStream::createMemory(kv::SampleFormat::make(22050.0f, 2, kv::kEncodingSigned, 1), nullptr, 0);
    const std::vector<int32_t> samples = scatteredSamples();
    ASSERT_EQ(stream->write(samples.data(), 10), kv::kOk);
    int32_t sample = 0;
    int64_t got = -1;
    EXPECT_EQ(stream->readEvery(&sample, call.count, call.step, got), kv::kBadCall) << call.count << " × " << call.step;
    EXPECT_EQ(got, 0);
    ASSERT_EQ(stream->read(&sample, 1, got), kv::kOk);
    EXPECT_EQ(sample, kvtest::quantised(samples[0], 2)) << "the refused call moved the stream";
  }
}

}  // namespace
