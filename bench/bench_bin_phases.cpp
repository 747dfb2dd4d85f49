// The vocoder's per-bin work on one hop (engine/bin_phases.h) at each FFT size the program offers,
// in each build the processor runs (engine/vector_path.h): phase, phase advance, peak and synthesis
// value of every bin of a noise spectrum (a peak at every third bin or so, the most a frame holds).

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "engine/bin_phases.h"
#include "engine/vector_path.h"

namespace {

void binPhases(benchmark::State& state, kv::VectorPath path) {
  if (!kv::chooseVectorPath(path)) {
    state.SkipWithError("this processor cannot take that path");
    return;
  }
  const int n = static_cast<int>(state.range(0));
  const int bins = n / 2;
  std::mt19937 generator(5);
  std::uniform_real_distribution<float> value(-100.0f, 100.0f);
  std::vector<float> spectrum(n);
  for (float& v : spectrum) v = value(generator);
  const auto perBin = static_cast<std::size_t>(kv::binPhasesLength(bins));
  std::vector<float> previousReal(perBin, 1.0f), previousImaginary(perBin), synthesis(n);
  std::vector<float> turn(perBin), advanced(perBin), power(perBin);
  std::vector<int> last(perBin);
  for (auto _ : state) {
    // A time factor of 1.5: the phase advance is scaled by a fraction.
    kv::trackBinPhases(
        spectrum.data(), n, bins, 1.5, 0.0,
        {previousReal.data(), previousImaginary.data(), turn.data(), advanced.data(), power.data(), last.data()},
        synthesis.data(), n);
    benchmark::DoNotOptimize(synthesis.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * (bins + 1));
  kv::chooseVectorPath(kv::VectorPath::kAvx2) || kv::chooseVectorPath(kv::VectorPath::kGeneric);
}

}  // namespace

BENCHMARK_CAPTURE(binPhases, generic, kv::VectorPath::kGeneric)->Arg(512)->Arg(1024)->Arg(2048);
BENCHMARK_CAPTURE(binPhases, avx2, kv::VectorPath::kAvx2)->Arg(512)->Arg(1024)->Arg(2048);
