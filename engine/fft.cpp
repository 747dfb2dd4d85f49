#include "engine/fft.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#include "engine/vector_clones.h"

// Split-radix decomposition for real data: after bit reversal, a block of m values
// holds the transform of its even samples in its first half and the transforms of
// samples 4k+1 and 4k+3 in its third and fourth quarters, each in halfcomplex order.
// The forward transform builds every block from the bottom up; the inverse splits
// from the top down, each split giving the sub-transforms twice (half) and four
// times (quarters) too large, so the inverse ends n times too large.
//
// The smallest blocks ("leaves", up to 32 values) are unrolled and worked four or
// eight at a time, one per vector lane; the bit-reversal permutation is folded into
// the leaves' loads (forward) or stores (inverse). Larger blocks work four or eight
// of their bins at a time. A whole transform is built twice, for four lanes (any
// processor) and for eight (AVX2), with the same arithmetic on every value, so both
// give the same results (engine/vector_clones.h).

namespace kv {

// What a transform works on: the data, the plan's tables and its work area.
struct FftLayout {
  // The starts of one size of leaves (see FftPlan::Leaves).
  struct LeafStarts {
    const std::int32_t* starts;
    int adjacent;
    int count;
  };

  float* data;
  float* work;
  const std::int32_t* reversed;
  const float* twiddles;
  LeafStarts full;
  LeafStarts half;
  const std::int32_t* blocks;  // start and size of each block
  int blockCount;
  int n;
};

namespace {

constexpr float kSqrtHalf = 0.70710678118654752f;
constexpr double kTwoPi = 6.283185307179586;
constexpr int kLeafSize = 32;

// Vectors of four lanes for any processor, of eight for AVX2.
using FourLanes = float __attribute__((vector_size(16)));
using EightLanes = float __attribute__((vector_size(32)));
constexpr int kMaxLanes = 8;

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// work(i) for i = 0, step, 2·step, … below count, unrolled at compile time: the leaves' loops
// then index their values with constants and keep them out of memory where registers allow.
template <int Step, typename Work, int... I>
KV_INLINE void unrolledSteps(Work&& work, std::integer_sequence<int, I...>) {
  (work(std::integral_constant<int, I * Step>{}), ...);
}

template <int Count, int Step = 1, typename Work>
KV_INLINE void unrolled(Work&& work) {
  unrolledSteps<Step>(work, std::make_integer_sequence<int, (Count + Step - 1) / Step>{});
}

// v's lane l set to lane(l), in registers. Through a reference, as loadVector below.
template <typename V, typename Lane, int... L>
KV_INLINE void gatherLanes(V& v, Lane&& lane, std::integer_sequence<int, L...>) {
  v = V{lane(std::integral_constant<int, L>{})...};
}

// The twiddles of block size m (m >= 8) are cos(j), sin(j), cos(3j) and sin(3j) for
// j = 0..m/8-1 in units of 2*pi/m, four runs of m/8 values; the sizes follow each
// other from 8 upward, so size m starts at m/2 - 4 and a plan for n needs n - 4,
// and a vector's lanes more: the blocks' last vectors read that far past their runs.
std::size_t twiddleOffset(int m) { return static_cast<std::size_t>(m / 2 - 4); }
std::size_t twiddleCount(int n) { return n >= 8 ? twiddleOffset(2 * n) + kMaxLanes : 0; }

// ---- Butterflies, for one value (float) or a leaf in each lane ----

template <typename T>
KV_INLINE void pairButterfly(T* x) {
  const T a = x[0];
  const T b = x[1];
  x[0] = a + b;
  x[1] = a - b;
}

// Forward, bins 0 and m/4 of a block of m values (quarter length q = m/4): each
// quarter transform contributes its real bin 0 only.
template <typename T>
KV_INLINE void forwardBinZero(T* x, int q) {
  const T t = x[3 * q] + x[2 * q];
  x[3 * q] -= x[2 * q];
  x[2 * q] = x[0] - t;
  x[0] += t;
}

// Forward, bins m/8 and 3m/8 (x points at slot m/8): twiddles of -45 and -135
// degrees on the quarters' real middle bins.
template <typename T>
KV_INLINE void forwardBinEighth(T* x, int q) {
  const T t1 = (x[2 * q] + x[3 * q]) * kSqrtHalf;
  const T t2 = (x[2 * q] - x[3 * q]) * kSqrtHalf;
  x[3 * q] = x[q] - t1;
  x[2 * q] = -x[q] - t1;
  x[q] = x[0] - t2;
  x[0] += t2;
}

// Forward, bin j (0 < j < m/8) with the bins m/4 - j, m/4 + j and m/2 - j that share
// its slots: x1 = slot j, x2 = m/4 + j, x3 = m/2 + j, x4 = 3m/4 + j, x5 = m/4 - j,
// x6 = m/2 - j, x7 = 3m/4 - j, x8 = m - j.
template <typename T, typename W>
KV_INLINE void forwardBins(T& x1, T& x2, T& x3, T& x4, T& x5, T& x6, T& x7, T& x8, const W& c1, const W& s1,
                           const W& c3, const W& s3) {
  // a = w^j Z[j] and c = w^3j Z'[j] with w = exp(-2*pi*i/m); Z, Z' the quarter
  // transforms (real parts x3, x4, imaginary parts x7, x8).
  const T ar = x3 * c1 + x7 * s1;
  const T ai = x7 * c1 - x3 * s1;
  const T cr = x4 * c3 + x8 * s3;
  const T ci = x8 * c3 - x4 * s3;
  const T sr = ar + cr;
  const T si = ai + ci;
  const T dr = ar - cr;
  const T di = ai - ci;
  // U[j] and U[m/4 - j] of the half transform.
  const T u1r = x1;
  const T u1i = x6;
  const T u2r = x5;
  const T u2i = x2;
  x1 = u1r + sr;
  x8 = u1i + si;
  x6 = u1r - sr;
  x3 = si - u1i;
  x2 = u2r + di;
  x7 = -u2i - dr;
  x5 = u2r - di;
  x4 = u2i - dr;
}

// Inverse of forwardBinZero, leaving the half transform doubled and the quarter
// transforms quadrupled.
template <typename T>
KV_INLINE void inverseBinZero(T* x, int q) {
  const T t = x[0] - x[2 * q];
  x[0] += x[2 * q];
  x[q] *= 2.0f;
  x[2 * q] = t - 2.0f * x[3 * q];
  x[3 * q] = t + 2.0f * x[3 * q];
}

template <typename T>
KV_INLINE void inverseBinEighth(T* x, int q) {
  const T t1 = x[0] - x[q];
  const T t2 = x[3 * q] + x[2 * q];
  x[0] += x[q];
  x[q] = x[3 * q] - x[2 * q];
  x[2 * q] = 2.0f * kSqrtHalf * (t1 - t2);
  x[3 * q] = -2.0f * kSqrtHalf * (t1 + t2);
}

template <typename T, typename W>
KV_INLINE void inverseBins(T& x1, T& x2, T& x3, T& x4, T& x5, T& x6, T& x7, T& x8, const W& c1, const W& s1,
                           const W& c3, const W& s3) {
  // With X the block's spectrum: A = X[j] - X[j + m/2], B = X[j + m/4] - X[j + 3m/4].
  const T ar = x1 - x6;
  const T ai = x8 + x3;
  const T br = x2 - x5;
  const T bi = x7 + x4;
  // 4 Z[j] = w^-j (A + iB), 4 Z'[j] = w^-3j (A - iB).
  const T pr = ar - bi;
  const T pi = ai + br;
  const T qr = ar + bi;
  const T qi = ai - br;
  // 2 U[j] and 2 U[m/4 - j].
  const T u1r = x1 + x6;
  const T u1i = x8 - x3;
  const T u2r = x5 + x2;
  const T u2i = x4 - x7;
  x1 = u1r;
  x6 = u1i;
  x5 = u2r;
  x2 = u2i;
  x3 = pr * c1 - pi * s1;
  x7 = pr * s1 + pi * c1;
  x4 = qr * c3 - qi * s3;
  x8 = qr * s3 + qi * c3;
}

// ---- Leaves: blocks of up to kLeafSize values, unrolled at compile time ----

template <typename T, int M>
KV_INLINE void forwardLeafBlock(T* x, const float* twiddles) {
  constexpr int q = M / 4;
  constexpr int eighth = M / 8;
  forwardBinZero(x, q);
  if constexpr (M >= 8) {
    forwardBinEighth(x + eighth, q);
    const float* const tw = twiddles + twiddleOffset(M);
    unrolled<eighth - 1>([&](auto i) KV_LAMBDA_INLINE {
      constexpr int j = i + 1;
      forwardBins(x[j], x[q + j], x[2 * q + j], x[3 * q + j], x[q - j], x[2 * q - j], x[3 * q - j], x[4 * q - j], tw[j],
                  tw[eighth + j], tw[2 * eighth + j], tw[3 * eighth + j]);
    });
  }
}

template <typename T, int M>
KV_INLINE void inverseLeafBlock(T* x, const float* twiddles) {
  constexpr int q = M / 4;
  constexpr int eighth = M / 8;
  inverseBinZero(x, q);
  if constexpr (M >= 8) {
    inverseBinEighth(x + eighth, q);
    const float* const tw = twiddles + twiddleOffset(M);
    unrolled<eighth - 1>([&](auto i) KV_LAMBDA_INLINE {
      constexpr int j = i + 1;
      inverseBins(x[j], x[q + j], x[2 * q + j], x[3 * q + j], x[q - j], x[2 * q - j], x[3 * q - j], x[4 * q - j], tw[j],
                  tw[eighth + j], tw[2 * eighth + j], tw[3 * eighth + j]);
    });
  }
}

template <typename T, int M>
KV_INLINE void forwardLeaf(T* x, const float* twiddles) {
  if constexpr (M == 2) {
    pairButterfly(x);
  } else if constexpr (M == 4) {
    pairButterfly(x);
    forwardLeafBlock<T, 4>(x, twiddles);
  } else {
    forwardLeaf<T, M / 2>(x, twiddles);
    forwardLeaf<T, M / 4>(x + M / 2, twiddles);
    forwardLeaf<T, M / 4>(x + 3 * M / 4, twiddles);
    forwardLeafBlock<T, M>(x, twiddles);
  }
}

template <typename T, int M>
KV_INLINE void inverseLeaf(T* x, const float* twiddles) {
  if constexpr (M == 2) {
    pairButterfly(x);
  } else if constexpr (M == 4) {
    inverseLeafBlock<T, 4>(x, twiddles);
    pairButterfly(x);
  } else {
    inverseLeafBlock<T, M>(x, twiddles);
    inverseLeaf<T, M / 2>(x, twiddles);
    inverseLeaf<T, M / 4>(x + M / 2, twiddles);
    inverseLeaf<T, M / 4>(x + 3 * M / 4, twiddles);
  }
}

// order[i] = i with its log2(M) bits reversed (its own inverse).
template <int M>
struct ReversedOrder {
  constexpr ReversedOrder() : order() {
    for (int i = 0; i < M; ++i) {
      for (int bit = 1, mirror = M / 2; bit < M; bit *= 2, mirror /= 2) {
        if (i & bit) {
          order[i] += mirror;
        }
      }
    }
  }
  int order[M];
};

// A leaf of M values starting at b (a multiple of M) takes the samples at
// reversed(b) + reversed_M(i) * (n / M), i = 0..M-1: the bit-reversal permutation
// happens as the leaf is loaded (forward) or stored (inverse). V holds one leaf per
// lane. Where the lanes' reversed starts follow each other, a sample of every lane
// lies side by side with the others', and one vector load or store moves them all;
// on the other side, each lane's leaf is a run of M values, which the vectors reach
// through transposes.

using OneLane = float __attribute__((vector_size(4)));

template <typename V>
constexpr int kLanes = sizeof(V) / sizeof(float);

// Rows r[0..L-1] of L lanes become columns: r[i][j] goes to r[j][i].
KV_INLINE void transpose(OneLane*) {}

KV_INLINE void transpose(FourLanes* r) {
  const FourLanes t0 = __builtin_shufflevector(r[0], r[1], 0, 4, 2, 6);
  const FourLanes t1 = __builtin_shufflevector(r[0], r[1], 1, 5, 3, 7);
  const FourLanes t2 = __builtin_shufflevector(r[2], r[3], 0, 4, 2, 6);
  const FourLanes t3 = __builtin_shufflevector(r[2], r[3], 1, 5, 3, 7);
  r[0] = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
  r[1] = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
  r[2] = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
  r[3] = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
}

// Neighbouring lanes of pairs of rows, then neighbouring pairs, then the halves.
KV_INLINE void transpose(EightLanes* r) {
  EightLanes t[8], u[8];
  for (int i = 0; i < 8; i += 2) {
    t[i] = __builtin_shufflevector(r[i], r[i + 1], 0, 8, 1, 9, 4, 12, 5, 13);
    t[i + 1] = __builtin_shufflevector(r[i], r[i + 1], 2, 10, 3, 11, 6, 14, 7, 15);
  }
  for (int i = 0; i < 8; i += 4) {
    u[i] = __builtin_shufflevector(t[i], t[i + 2], 0, 1, 8, 9, 4, 5, 12, 13);
    u[i + 1] = __builtin_shufflevector(t[i], t[i + 2], 2, 3, 10, 11, 6, 7, 14, 15);
    u[i + 2] = __builtin_shufflevector(t[i + 1], t[i + 3], 0, 1, 8, 9, 4, 5, 12, 13);
    u[i + 3] = __builtin_shufflevector(t[i + 1], t[i + 3], 2, 3, 10, 11, 6, 7, 14, 15);
  }
  for (int i = 0; i < 4; ++i) {
    r[i] = __builtin_shufflevector(u[i], u[i + 4], 0, 1, 2, 3, 8, 9, 10, 11);
    r[i + 4] = __builtin_shufflevector(u[i], u[i + 4], 4, 5, 6, 7, 12, 13, 14, 15);
  }
}

// A vector's lanes in memory, at any float's alignment; reads and writes through it are single
// vector moves (a memcpy into a vector, gcc moves in halves through the stack).
template <typename V>
struct UnalignedOf;
template <>
struct UnalignedOf<OneLane> {
  typedef float type __attribute__((vector_size(4), aligned(4), may_alias));
};
template <>
struct UnalignedOf<FourLanes> {
  typedef float type __attribute__((vector_size(16), aligned(4), may_alias));
};
template <>
struct UnalignedOf<EightLanes> {
  typedef float type __attribute__((vector_size(32), aligned(4), may_alias));
};
template <typename V>
using Unaligned = typename UnalignedOf<V>::type;

// Through references: a vector of eight lanes passed by value would change the calling
// convention between the builds.
template <typename V>
KV_INLINE void loadVector(V& v, const float* from) {
  v = *reinterpret_cast<const Unaligned<V>*>(from);
}

template <typename V>
KV_INLINE void storeVector(float* to, const V& v) {
  *reinterpret_cast<Unaligned<V>*>(to) = v;
}

// ---- Blocks larger than a leaf ----

KV_INLINE void reverseLanes(FourLanes& v) { v = __builtin_shufflevector(v, v, 3, 2, 1, 0); }
KV_INLINE void reverseLanes(EightLanes& v) { v = __builtin_shufflevector(v, v, 7, 6, 5, 4, 3, 2, 1, 0); }

// The bins 0 < j < m/8 of a block of m values read from in and written to out (the same
// block or another), a vector of bins at a time: four runs walk up from the slots after the
// quarter starts and four walk down from the slots before the quarter ends, never meeting.
// The last vector reaches bin m/8, which the caller works apart and writes afterwards; the
// twiddle table has room for its angles.
template <typename V, bool Forward, int M>
KV_INLINE void blockBins(const float* in, float* out, int size, const float* twiddles) {
  const int m = M != 0 ? M : size;
  constexpr int lanes = kLanes<V>;
  const int q = m / 4;
  const int eighth = m / 8;
  const float* const tw = twiddles + twiddleOffset(m);
  for (int j = 1; j < eighth; j += lanes) {
    V up[4], down[4], c1, s1, c3, s3;
    for (int r = 0; r < 4; ++r) {
      loadVector(up[r], in + r * q + j);
      loadVector(down[r], in + (r + 1) * q - j - (lanes - 1));
      reverseLanes(down[r]);
    }
    loadVector(c1, tw + j);
    loadVector(s1, tw + eighth + j);
    loadVector(c3, tw + 2 * eighth + j);
    loadVector(s3, tw + 3 * eighth + j);
    if constexpr (Forward) {
      forwardBins(up[0], up[1], up[2], up[3], down[0], down[1], down[2], down[3], c1, s1, c3, s3);
    } else {
      inverseBins(up[0], up[1], up[2], up[3], down[0], down[1], down[2], down[3], c1, s1, c3, s3);
    }
    for (int r = 0; r < 4; ++r) {
      storeVector(out + r * q + j, up[r]);
      reverseLanes(down[r]);
      storeVector(out + (r + 1) * q - j - (lanes - 1), down[r]);
    }
  }
}

// A whole block from in to out: bins 0 and m/8 (four slots each, a quarter apart) worked
// apart, read before and written after the others. M, when not 0, is m known at compile time.
template <typename V, bool Forward, int M = 0>
KV_INLINE void block(const float* in, float* out, int size, const float* twiddles) {
  const int m = M != 0 ? M : size;
  const int q = m / 4;
  const int eighth = m / 8;
  float zero[4], middle[4];
  for (int r = 0; r < 4; ++r) {
    zero[r] = in[r * q];
    middle[r] = in[r * q + eighth];
  }
  if constexpr (Forward) {
    forwardBinZero(zero, 1);
    forwardBinEighth(middle, 1);
  } else {
    inverseBinZero(zero, 1);
    inverseBinEighth(middle, 1);
  }
  blockBins<V, Forward, M>(in, out, m, twiddles);
  for (int r = 0; r < 4; ++r) {
    out[r * q] = zero[r];
    out[r * q + eighth] = middle[r];
  }
}

// The blocks of two, four and eight times a leaf, the most numerous and the shortest, at sizes
// known at compile time: their loops unroll and their offsets are constants.
template <typename V, bool Forward>
KV_INLINE void blockOfSize(const float* in, float* out, int m, const float* twiddles) {
  if (m == 2 * kLeafSize) {
    block<V, Forward, 2 * kLeafSize>(in, out, m, twiddles);
  } else if (m == 4 * kLeafSize) {
    block<V, Forward, 4 * kLeafSize>(in, out, m, twiddles);
  } else if (m == 8 * kLeafSize) {
    block<V, Forward, 8 * kLeafSize>(in, out, m, twiddles);
  } else {
    block<V, Forward>(in, out, m, twiddles);
  }
}

// ---- Leaves: their loads and stores ----

// The leaves' runs in data: v[i] lane j is value i of the leaf at starts[j].
template <typename V, int M>
KV_INLINE void loadRuns(V* v, const float* data, const std::int32_t* starts) {
  constexpr int lanes = kLanes<V>;
  unrolled<M, lanes>([&](auto i) KV_LAMBDA_INLINE {
    unrolled<lanes>([&](auto lane) KV_LAMBDA_INLINE { loadVector(v[i + lane], data + starts[lane] + i); });
    transpose(v + i);
  });
}

template <typename V, int M>
KV_INLINE void storeRuns(V* v, float* data, const std::int32_t* starts) {
  constexpr int lanes = kLanes<V>;
  unrolled<M, lanes>([&](auto i) KV_LAMBDA_INLINE {
    transpose(v + i);
    unrolled<lanes>([&](auto lane) KV_LAMBDA_INLINE { storeVector(data + starts[lane] + i, v[i + lane]); });
  });
}

// Forward, the leaves take their samples from where they lie (bit-reversed) and write their
// runs; the inverse reads the runs and writes the samples, scaled. All of a vector of leaves'
// values are read before any is written, so the two may be the same array when the leaf is the
// whole transform.
template <typename V, int M, bool Adjacent>
KV_INLINE void forwardLeaves(const FftLayout& t, const float* samples, float* runs, const std::int32_t* starts) {
  constexpr ReversedOrder<M> reversedOrder;
  constexpr int lanes = kLanes<V>;
  const int stride = t.n / M;
  V v[M] = {};  // every vector is set below, lane by lane where they lie apart: gcc cannot see that
  unrolled<M>([&](auto i) KV_LAMBDA_INLINE {
    const int at = reversedOrder.order[i] * stride;
    if constexpr (Adjacent) {
      loadVector(v[i], samples + t.reversed[starts[0]] + at);
    } else {
      gatherLanes(
          v[i], [&](auto lane) KV_LAMBDA_INLINE { return samples[t.reversed[starts[lane]] + at]; },
          std::make_integer_sequence<int, lanes>{});
    }
  });
  forwardLeaf<V, M>(v, t.twiddles);
  storeRuns<V, M>(v, runs, starts);
}

template <typename V, int M, bool Adjacent>
KV_INLINE void inverseLeaves(const FftLayout& t, const float* runs, float* samples, const std::int32_t* starts,
                             float scale) {
  constexpr ReversedOrder<M> reversedOrder;
  constexpr int lanes = kLanes<V>;
  const int stride = t.n / M;
  V v[M];
  loadRuns<V, M>(v, runs, starts);
  inverseLeaf<V, M>(v, t.twiddles);
  unrolled<M>([&](auto k) KV_LAMBDA_INLINE {
    const V w = v[reversedOrder.order[k]] * scale;
    if constexpr (Adjacent) {
      storeVector(samples + t.reversed[starts[0]] + k * stride, w);
    } else {
      unrolled<lanes>([&](auto lane) KV_LAMBDA_INLINE {
        samples[t.reversed[starts[lane]] + k * stride] = w[static_cast<int>(lane)];
      });
    }
  });
}

// The leaves of one size: from data into work (forward), from work into data (inverse).
template <typename V, int M>
KV_INLINE void forwardAll(const FftLayout& t, const FftLayout::LeafStarts& leaves) {
  int i = 0;
  for (; i < leaves.adjacent; i += kLanes<V>) {
    forwardLeaves<V, M, true>(t, t.data, t.work, leaves.starts + i);
  }
  for (; i < leaves.count; i += kLanes<V>) {
    forwardLeaves<V, M, false>(t, t.data, t.work, leaves.starts + i);
  }
}

template <typename V, int M>
KV_INLINE void inverseAll(const FftLayout& t, const FftLayout::LeafStarts& leaves, float scale) {
  int i = 0;
  for (; i < leaves.adjacent; i += kLanes<V>) {
    inverseLeaves<V, M, true>(t, t.work, t.data, leaves.starts + i, scale);
  }
  for (; i < leaves.count; i += kLanes<V>) {
    inverseLeaves<V, M, false>(t, t.work, t.data, leaves.starts + i, scale);
  }
}

// A transform of at most kLeafSize values is a single leaf, worked in one lane and in place.
template <int M = kLeafSize>
KV_INLINE void forwardWhole(const FftLayout& t) {
  if (t.n == M) {
    const std::int32_t start = 0;
    forwardLeaves<OneLane, M, true>(t, t.data, t.data, &start);
  } else if constexpr (M > 2) {
    forwardWhole<M / 2>(t);
  }
}

template <int M = kLeafSize>
KV_INLINE void inverseWhole(const FftLayout& t, float scale) {
  if (t.n == M) {
    const std::int32_t start = 0;
    inverseLeaves<OneLane, M, true>(t, t.data, t.data, &start, scale);
  } else if constexpr (M > 2) {
    inverseWhole<M / 2>(t, scale);
  }
}

// The transforms, for V of four or eight lanes. Larger than a leaf, they work in the work area
// between the leaves and the whole block, which reads it (forward) or writes it (inverse): the
// data is copied nowhere.

template <typename V>
KV_INLINE void forwardTransform(FftLayout t) {
  if (t.n <= kLeafSize) {
    forwardWhole(t);
    return;
  }
  forwardAll<V, kLeafSize>(t, t.full);
  forwardAll<V, kLeafSize / 2>(t, t.half);
  // Each block after its parts; the whole transform, the last, into data.
  for (int i = 0; i < t.blockCount; ++i) {
    float* const x = t.work + t.blocks[2 * i];
    blockOfSize<V, true>(x, i + 1 < t.blockCount ? x : t.data, t.blocks[2 * i + 1], t.twiddles);
  }
}

template <typename V>
KV_INLINE void inverseTransform(FftLayout t) {
  const float scale = 1.0f / t.n;
  if (t.n <= kLeafSize) {
    inverseWhole(t, scale);
    return;
  }
  // Each block before its parts; the whole transform, the first, from data.
  for (int i = t.blockCount - 1; i >= 0; --i) {
    float* const x = t.work + t.blocks[2 * i];
    blockOfSize<V, false>(i + 1 < t.blockCount ? x : t.data, x, t.blocks[2 * i + 1], t.twiddles);
  }
  inverseAll<V, kLeafSize>(t, t.full, scale);
  inverseAll<V, kLeafSize / 2>(t, t.half, scale);
}

// Below a block of m values at b (m > kLeafSize): the starts of its leaves, blocks
// of kLeafSize values and of half that size where they are quarters of a block of
// twice kLeafSize, and the start and size of every larger block, after its parts.
void collectBlocks(int b, int m, std::vector<std::int32_t>& full, std::vector<std::int32_t>& half,
                   std::vector<std::int32_t>& blocks) {
  if (m == kLeafSize) {
    full.push_back(b);
  } else if (m == kLeafSize / 2) {
    half.push_back(b);
  } else {
    collectBlocks(b, m / 2, full, half, blocks);
    collectBlocks(b + m / 2, m / 4, full, half, blocks);
    collectBlocks(b + 3 * m / 4, m / 4, full, half, blocks);
    blocks.push_back(b);
    blocks.push_back(m);
  }
}

}  // namespace

std::unique_ptr<FftPlan> FftPlan::create(int n) {
  if (n < kMinLength || n > kMaxLength || !isPowerOfTwo(n)) {
    return nullptr;
  }
  try {
    return std::unique_ptr<FftPlan>(new FftPlan(n));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

FftPlan::FftPlan(int n) : bitReversal_(n), twiddles_(twiddleCount(n)), work_(n), n_(n) {
  // Reverse-carry counter: j runs through the bit-reversed sequence of i.
  for (int i = 0; i < n; ++i) {
    bitReversal_[i] = i;
  }
  int j = 0;
  for (int i = 0; i < n - 1; ++i) {
    if (i < j) {
      std::swap(bitReversal_[i], bitReversal_[j]);
    }
    int m = n / 2;
    while (m <= j) {
      j -= m;
      m /= 2;
    }
    j += m;
  }

  // Angles i*2*pi/n, with the step rounded before it is multiplied by i.
  const double step = kTwoPi / n;
  for (int m = 8; m <= n; m *= 2) {
    float* const tw = twiddles_.data() + twiddleOffset(m);
    const int eighth = m / 8;
    const int spacing = n / m;
    for (int k = 0; k < eighth; ++k) {
      const double angle1 = (k * spacing) * step;
      const double angle3 = (3 * k * spacing) * step;
      tw[k] = static_cast<float>(std::cos(angle1));
      tw[eighth + k] = static_cast<float>(std::sin(angle1));
      tw[2 * eighth + k] = static_cast<float>(std::cos(angle3));
      tw[3 * eighth + k] = static_cast<float>(std::sin(angle3));
    }
  }

  if (n > kLeafSize) {
    std::vector<std::int32_t> full, half;
    collectBlocks(0, n, full, half, blocks_);
    fullLeaves_ = groupLeaves(full, bitReversal_);
    halfLeaves_ = groupLeaves(half, bitReversal_);
  }
}

// In order of their reversed starts, the leaves come in runs of reversed starts that follow each
// other; eights out of those runs go first, and the rest follow with the last start repeated up to a
// multiple of eight (it computes that leaf again, into the same slots).
FftPlan::Leaves FftPlan::groupLeaves(std::vector<std::int32_t> starts, const std::vector<std::int32_t>& reversed) {
  std::sort(starts.begin(), starts.end(), [&](std::int32_t a, std::int32_t b) { return reversed[a] < reversed[b]; });
  Leaves leaves;
  std::vector<std::int32_t> rest;
  std::size_t i = 0;
  while (i < starts.size()) {
    std::size_t run = 1;
    while (i + run < starts.size() && reversed[starts[i + run]] == reversed[starts[i]] + static_cast<int>(run)) {
      ++run;
    }
    const std::size_t eights = run / kMaxLanes * kMaxLanes;
    leaves.starts.insert(leaves.starts.end(), starts.begin() + i, starts.begin() + i + eights);
    rest.insert(rest.end(), starts.begin() + i + eights, starts.begin() + i + run);
    i += run;
  }
  leaves.adjacent = static_cast<int>(leaves.starts.size());
  while (rest.size() % kMaxLanes != 0) {
    rest.push_back(rest.back());
  }
  leaves.starts.insert(leaves.starts.end(), rest.begin(), rest.end());
  return leaves;
}

FftLayout FftPlan::layout(float* x) noexcept {
  const auto leafStarts = [](const Leaves& leaves) {
    return FftLayout::LeafStarts{leaves.starts.data(), leaves.adjacent, static_cast<int>(leaves.starts.size())};
  };
  return {x,
          work_.data(),
          bitReversal_.data(),
          twiddles_.data(),
          leafStarts(fullLeaves_),
          leafStarts(halfLeaves_),
          blocks_.data(),
          static_cast<int>(blocks_.size() / 2),
          n_};
}

void FftPlan::forward(float* x) noexcept {
  runOnVectorPath<forwardTransform<FourLanes>, forwardTransform<EightLanes>>(layout(x));
}

void FftPlan::inverse(float* x) noexcept {
  runOnVectorPath<inverseTransform<FourLanes>, inverseTransform<EightLanes>>(layout(x));
}

}  // namespace kv
