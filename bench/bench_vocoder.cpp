// A whole engine pass over a 60-second 44.1 kHz 16-bit file, stereo and mono: time factor 2, window
// mode 1, mono WAV output, no playback, at each FFT size the program offers. The engine mixes a
// stereo file's frames to one channel before it scales them, so the mono file (that same mix)
// gives it the same work and other time-stretchers half the work of the stereo one.
//
// Counters: real_time_factor is the pass's wall time over the sound's duration; heap_peak is the
// most the engine heap held during a pass; rss_growth is how far the process's resident set rose
// above what it held before the pass (its high-water mark is reset first).
//
// The fixtures are generated into a temporary folder. With LENTARO_BENCH_KEEP set to a folder they
// go there instead and stay (stereo.wav, mono.wav), so that other tools can run the same job on
// them.

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/pass_control.h"
#include "engine/time_scale.h"
#include "soundfile/heap.h"
#include "soundfile/sound_stream.h"

namespace {

constexpr double kSeconds = 60.0;
constexpr int kRate = 44100;

// Chords with vibrato in each channel over soft noise: every bin of the vocoder has work to do.
// One channel holds the mean of the two.
void writeFixture(const std::string& path, int channels) {
  auto out = kv::SoundStream::openWrite(kv::SampleFormat::make(kRate, 2, kv::kEncodingSigned, channels), path,
                                        kv::kFileTypeWav);
  if (!out || out->lastError() != kv::kOk) std::abort();
  const double pi = 3.14159265358979323846;
  const double left[] = {220.0, 277.18, 329.63, 440.0};
  const double right[] = {196.0, 246.94, 293.66, 392.0};
  std::mt19937 generator(11);
  std::normal_distribution<double> noise(0.0, 0.01);
  const int64_t frames = static_cast<int64_t>(kSeconds * kRate);
  std::vector<int32_t> block;
  for (int64_t t = 0; t < frames; ++t) {
    const double time = static_cast<double>(t) / kRate;
    const double wobble = 1.0 + 0.003 * std::sin(2.0 * pi * 5.0 * time);
    double l = noise(generator), r = noise(generator);
    for (int i = 0; i < 4; ++i) {
      l += 0.15 * std::sin(2.0 * pi * left[i] * wobble * time);
      r += 0.15 * std::sin(2.0 * pi * right[i] * wobble * time);
    }
    if (channels == 1) {
      block.push_back(static_cast<int32_t>((l + r) / 2.0 * 2147483647.0));
    } else {
      block.push_back(static_cast<int32_t>(l * 2147483647.0));
      block.push_back(static_cast<int32_t>(r * 2147483647.0));
    }
    if (block.size() == 8192 || t + 1 == frames) {
      if (out->write(block.data(), static_cast<int64_t>(block.size())) != kv::kOk) std::abort();
      block.clear();
    }
  }
  if (out->close() != kv::kOk) std::abort();
}

class Fixture {
 public:
  Fixture() {
    if (const char* keep = std::getenv("LENTARO_BENCH_KEEP")) {
      dir_ = keep;
      keep_ = true;
      std::filesystem::create_directories(dir_);
    } else {
      std::string pattern = (std::filesystem::temp_directory_path() / "lentaro-bench-XXXXXX").string();
      if (!mkdtemp(pattern.data())) std::abort();
      dir_ = pattern;
    }
    stereo_ = (dir_ / "stereo.wav").string();
    mono_ = (dir_ / "mono.wav").string();
    output_ = (dir_ / "output.wav").string();
    writeFixture(stereo_, 2);
    writeFixture(mono_, 1);
  }
  ~Fixture() {
    if (!keep_) std::filesystem::remove_all(dir_);
  }
  const std::string& input(int channels) const { return channels == 1 ? mono_ : stereo_; }
  const std::string& output() const { return output_; }

 private:
  std::filesystem::path dir_;
  std::string stereo_, mono_, output_;
  bool keep_ = false;
};

const Fixture& fixture() {
  static Fixture f;
  return f;
}

// A field of /proc/self/status in bytes.
double statusBytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(field) + ":";
  while (std::getline(status, line)) {
    if (line.compare(0, prefix.size(), prefix) == 0) return std::atof(line.c_str() + prefix.size()) * 1024.0;
  }
  return 0.0;
}

void resetResidentPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

void enginePass(benchmark::State& state) {
  const Fixture& f = fixture();
  kv::PassControl control;
  kv::TimeScaleJob job;
  job.inputPath = f.input(static_cast<int>(state.range(1))).c_str();
  job.outputPath = f.output().c_str();
  job.timeFactor = 2.0;
  job.pitchFactor = 1.0;
  job.fftSize = static_cast<int>(state.range(0));
  job.windowMode = 1;

  double heapPeak = 0.0, rssGrowth = 0.0;
  for (auto _ : state) {
    const std::size_t heapBefore = kv::heapBytesInUse();
    kv::heapResetPeak();
    resetResidentPeak();
    const double rssBefore = statusBytes("VmRSS");
    const int32_t result = kv::timeScale(job, control, control.arrive(), nullptr);
    if (result != kv::kOk) state.SkipWithError("the pass failed");
    heapPeak = std::max(heapPeak, static_cast<double>(kv::heapPeakBytes() - heapBefore));
    rssGrowth = std::max(rssGrowth, statusBytes("VmHWM") - rssBefore);
  }
  state.counters["real_time_factor"] =
      benchmark::Counter(kSeconds, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["heap_peak"] =
      benchmark::Counter(heapPeak, benchmark::Counter::kDefaults, benchmark::Counter::kIs1024);
  state.counters["rss_growth"] =
      benchmark::Counter(rssGrowth, benchmark::Counter::kDefaults, benchmark::Counter::kIs1024);
}

BENCHMARK(enginePass)
    ->ArgNames({"fft", "channels"})
    ->ArgsProduct({{512, 1024, 2048}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
