#pragma once
// The engine's loops over whole blocks and frames (the FFT, the per-bin phases, the vocoder's window
// loops) come in two builds: one for any x86-64 processor and one for AVX2, which works four
// doubles or eight floats at a time. Both
// do the same arithmetic in the same order, without fused multiply-adds, so a pass gives the same
// output whichever runs. Every call takes the build of the path chosen here: by default the
// fastest this processor runs.

namespace kv {

enum class VectorPath {
  kGeneric,  // any processor this program runs on
  kAvx2,
};

// Whether this processor, and this build of the engine, can take path.
bool vectorPathAvailable(VectorPath path) noexcept;

// The path the loops take.
VectorPath vectorPath() noexcept;

// Makes every later call take path, in the whole process: for the tests and benchmarks that set
// the builds side by side. False, with nothing changed, when path is not available.
bool chooseVectorPath(VectorPath path) noexcept;

}  // namespace kv
