#pragma once
// The two builds of the loops over whole blocks and frames (FFT, per-bin phases, the vocoder's
// window loops), one for each VectorPath (engine/vector_path.h). The work is a KV_INLINE function;
// runOnVectorPath compiles it once for the baseline processor and once for AVX2, and calls the
// build of the chosen path. What the work calls takes its build's instructions only where it is
// inlined, so the work is inlined down to its loops (lambdas too: KV_LAMBDA_INLINE).
//
// The build is chosen at each call, not by the loader (target_clones): a test can run both, and
// ThreadSanitizer, whose runtime starts after the loader's resolvers have run, needs no exception.
// Neither build fuses multiply-adds (AVX2 without the fma target), so both round alike.

#include "engine/vector_path.h"

#if defined(__x86_64__) && (defined(__clang__) || defined(__GNUC__))
#define KV_AVX2_BUILD 1
#define KV_TARGET_AVX2 __attribute__((target("avx2")))
#else
#define KV_AVX2_BUILD 0
#define KV_TARGET_AVX2
#endif

// The work and its vector helpers are inlined into their build, so no vector crosses a call
// between builds: gcc's notes on how such a call would pass one do not apply.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

#define KV_INLINE inline __attribute__((always_inline))
// The same for a lambda, after its parameters: gcc inlines lambdas by its cost model alone, and a
// lambda left out of line is built for the baseline processor and fed through memory.
#define KV_LAMBDA_INLINE __attribute__((always_inline))

namespace kv {

namespace vector_builds {

template <auto Work, typename... Args>
KV_TARGET_AVX2 void avx2(Args... args) {
  Work(args...);
}

}  // namespace vector_builds

// Runs the work in the build of the chosen path: Generic, or Avx2 on that path (by default the
// same function; two when the work is a template over its vector width).
template <auto Generic, auto Avx2 = Generic, typename... Args>
inline void runOnVectorPath(Args... args) {
#if KV_AVX2_BUILD
  if (vectorPath() == VectorPath::kAvx2) {
    vector_builds::avx2<Avx2>(args...);
    return;
  }
#endif
  Generic(args...);
}

}  // namespace kv
