// The engine's real FFT beside FFTW's single-precision one (both work in floats) at the vocoder's
// block sizes.
//
// Every iteration first copies a fixed input into the work buffer: the transforms
// work in place (FFTW's complex-to-real plan destroys its input too), and repeating
// an unscaled forward or a scaled inverse on its own output would drift towards
// overflow or denormals. Both sides pay the same copy.
//
// FFTW runs its real-to-complex (forward) and complex-to-real (inverse) plans, out
// of place as it is normally used, planned both with FFTW_MEASURE (the fastest
// plan it finds by trying) and FFTW_ESTIMATE (no trials).

#include "engine/fft.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

std::vector<float> noise(int count) {
  std::mt19937 generator(7);
  std::uniform_real_distribution<float> value(-1.0f, 1.0f);
  std::vector<float> values(count);
  for (float& v : values) {
    v = value(generator);
  }
  return values;
}

void kvForward(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto plan = kv::FftPlan::create(n);
  const std::vector<float> input = noise(n);
  std::vector<float> x(n + 2);
  for (auto _ : state) {
    std::copy(input.begin(), input.end(), x.begin());
    plan->forward(x.data());
    benchmark::DoNotOptimize(x.data());
    benchmark::ClobberMemory();
  }
}

void kvInverse(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto plan = kv::FftPlan::create(n);
  std::vector<float> spectrum = noise(n);
  plan->forward(spectrum.data());
  std::vector<float> x(n + 2);
  for (auto _ : state) {
    std::copy(spectrum.begin(), spectrum.end(), x.begin());
    plan->inverse(x.data());
    benchmark::DoNotOptimize(x.data());
    benchmark::ClobberMemory();
  }
}

void fftwForward(benchmark::State& state, unsigned planning) {
  const int n = static_cast<int>(state.range(0));
  float* in = fftwf_alloc_real(n);
  fftwf_complex* out = fftwf_alloc_complex(n / 2 + 1);
  const fftwf_plan plan = fftwf_plan_dft_r2c_1d(n, in, out, planning);
  const std::vector<float> input = noise(n);
  for (auto _ : state) {
    std::copy(input.begin(), input.end(), in);
    fftwf_execute(plan);
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
  }
  fftwf_destroy_plan(plan);
  fftwf_free(out);
  fftwf_free(in);
}

void fftwInverse(benchmark::State& state, unsigned planning) {
  const int n = static_cast<int>(state.range(0));
  fftwf_complex* in = fftwf_alloc_complex(n / 2 + 1);
  float* out = fftwf_alloc_real(n);
  const fftwf_plan plan = fftwf_plan_dft_c2r_1d(n, in, out, planning);
  std::vector<float> spectrum = noise(n + 2);
  spectrum[1] = 0.0f;  // bins 0 and n/2 of a real signal are real
  spectrum[n + 1] = 0.0f;
  for (auto _ : state) {
    std::copy(spectrum.begin(), spectrum.end(), &in[0][0]);
    fftwf_execute(plan);
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
  }
  fftwf_destroy_plan(plan);
  fftwf_free(out);
  fftwf_free(in);
}

}  // namespace

BENCHMARK(kvForward)->Arg(512)->Arg(1024)->Arg(2048);
BENCHMARK_CAPTURE(fftwForward, measure, FFTW_MEASURE)->Arg(512)->Arg(1024)->Arg(2048);
BENCHMARK_CAPTURE(fftwForward, estimate, FFTW_ESTIMATE)->Arg(512)->Arg(1024)->Arg(2048);
BENCHMARK(kvInverse)->Arg(512)->Arg(1024)->Arg(2048);
BENCHMARK_CAPTURE(fftwInverse, measure, FFTW_MEASURE)->Arg(512)->Arg(1024)->Arg(2048);
BENCHMARK_CAPTURE(fftwInverse, estimate, FFTW_ESTIMATE)->Arg(512)->Arg(1024)->Arg(2048);
