#pragma once
// For the loops over whole frames and blocks (vocoder, FFT). KV_VECTOR_CLONES compiles a function
// twice on x86-64, for the baseline and for AVX2, and the loader picks the one the processor runs;
// KV_VECTORISE asks clang to vectorise the loop that follows even where its cost model hesitates
// (loops of branch-free approximations, which it underrates).
//
// Not under ThreadSanitizer: the loader runs the clones' resolvers before the sanitizer's runtime
// is set up, and a program that links them then crashes before main.

#include "engine/thread_sanitizer.h"

#if defined(__x86_64__) && (defined(__clang__) || defined(__GNUC__)) && !defined(KV_THREAD_SANITIZER)
#define KV_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define KV_VECTOR_CLONES
#endif

#if defined(__clang__)
#define KV_VECTORISE _Pragma("clang loop vectorize(enable)")
#else
#define KV_VECTORISE
#endif
