// Cutting 10 seconds out of a 60-minute stereo 44.1 kHz 16-bit wave file, at its start and at its
// end: the cut seeks to the section, so both take the same time, whatever the file's length. The
// time includes flushing the new file to disk before it is renamed into place.
//
// The 635 MB fixture is generated into a temporary folder and removed afterwards.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/wavesection/WaveSection.h"
#include "soundfile/sound_stream.h"

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr int32_t kFileSeconds = 60 * 60;
constexpr int32_t kCutSeconds = 10;

// A sawtooth per channel (wrapping on purpose, in unsigned arithmetic): cheap to make, and no
// two neighbouring frames alike.
void writeFixture(const std::string& path) {
  auto out = kv::SoundStream::openWrite(kv::SampleFormat::make(kRate, 2, kv::kEncodingSigned, kChannels), path,
                                        kv::kFileTypeWav);
  if (!out || out->lastError() != kv::kOk) std::abort();
  std::vector<int32_t> second(kRate * kChannels);
  for (int32_t s = 0; s < kFileSeconds; ++s) {
    for (int32_t frame = 0; frame < kRate; ++frame) {
      second[frame * kChannels] = static_cast<int32_t>(static_cast<uint32_t>(frame + s) * 0x00100000u);
      second[frame * kChannels + 1] = static_cast<int32_t>(static_cast<uint32_t>(frame - s) * 0x00030000u);
    }
    if (out->write(second.data(), static_cast<int64_t>(second.size())) != kv::kOk) std::abort();
  }
  if (out->close() != kv::kOk) std::abort();
}

class Fixture {
 public:
  Fixture() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lentaro-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    dir_ = pattern;
    source_ = (dir_ / "hour.wav").string();
    destination_ = (dir_ / "section.wav").string();
    writeFixture(source_);
  }
  ~Fixture() { std::filesystem::remove_all(dir_); }
  const std::string& source() const { return source_; }
  const std::string& destination() const { return destination_; }

 private:
  std::filesystem::path dir_;
  std::string source_, destination_;
};

const Fixture& fixture() {
  static Fixture f;
  return f;
}

void cutTenSeconds(benchmark::State& state) {
  const Fixture& f = fixture();
  const int32_t startMs = static_cast<int32_t>(state.range(0)) * 1000;
  for (auto _ : state) {
    if (lentaro::wavesection::cut(f.source(), f.destination(), startMs, startMs + kCutSeconds * 1000) != kChannels) {
      state.SkipWithError("the cut failed");
    }
  }
  state.SetBytesProcessed(state.iterations() * int64_t{kCutSeconds} * kRate * kChannels * 2);
}

BENCHMARK(cutTenSeconds)
    ->ArgName("from_s")
    ->Arg(0)
    ->Arg(kFileSeconds - kCutSeconds)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
