#include "engine/fft.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "engine/vector_clones.h"

// Split-radix decomposition for real data: after bit reversal, a block of m values
// holds the transform of its even samples in its first half and the transforms of
// samples 4k+1 and 4k+3 in its third and fourth quarters, each in halfcomplex order.
// The forward transform builds every block from the bottom up; the inverse splits
// from the top down, each split giving the sub-transforms twice (half) and four
// times (quarters) too large, so the inverse ends n times too large.
//
// The smallest blocks ("leaves", up to 32 values) are unrolled and worked two at a
// time, one per vector lane; the bit-reversal permutation is folded into the
// leaves' loads (forward) or stores (inverse) through a work copy. Larger blocks
// run their bins through vectorised loops.

namespace kv {

namespace {

constexpr double kSqrtHalf = 0.7071067811865476;
constexpr double kTwoPi = 6.283185307179586;
constexpr int kLeafSize = 32;

// Two leaves side by side.
using Lanes = double __attribute__((vector_size(16)));

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// The twiddles of block size m (m >= 8) are cos(j), sin(j), cos(3j) and sin(3j) for
// j = 0..m/8-1 in units of 2*pi/m, four runs of m/8 values; the sizes follow each
// other from 8 upward, so size m starts at m/2 - 4 and a plan for n needs n - 4.
std::size_t twiddleOffset(int m) { return static_cast<std::size_t>(m / 2 - 4); }
std::size_t twiddleCount(int n) { return n >= 8 ? twiddleOffset(2 * n) : 0; }

// ---- Butterflies, for one value (double) or two leaves at once (Lanes) ----

template <typename T>
inline void pairButterfly(T* x) {
  const T a = x[0];
  const T b = x[1];
  x[0] = a + b;
  x[1] = a - b;
}

// Forward, bins 0 and m/4 of a block of m values (quarter length q = m/4): each
// quarter transform contributes its real bin 0 only.
template <typename T>
inline void forwardBinZero(T* x, int q) {
  const T t = x[3 * q] + x[2 * q];
  x[3 * q] -= x[2 * q];
  x[2 * q] = x[0] - t;
  x[0] += t;
}

// Forward, bins m/8 and 3m/8 (x points at slot m/8): twiddles of -45 and -135
// degrees on the quarters' real middle bins.
template <typename T>
inline void forwardBinEighth(T* x, int q) {
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
template <typename T>
inline void forwardBins(T& x1, T& x2, T& x3, T& x4, T& x5, T& x6, T& x7, T& x8, double c1, double s1, double c3,
                        double s3) {
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
inline void inverseBinZero(T* x, int q) {
  const T t = x[0] - x[2 * q];
  x[0] += x[2 * q];
  x[q] *= 2.0;
  x[2 * q] = t - 2.0 * x[3 * q];
  x[3 * q] = t + 2.0 * x[3 * q];
}

template <typename T>
inline void inverseBinEighth(T* x, int q) {
  const T t1 = x[0] - x[q];
  const T t2 = x[3 * q] + x[2 * q];
  x[0] += x[q];
  x[q] = x[3 * q] - x[2 * q];
  x[2 * q] = 2.0 * kSqrtHalf * (t1 - t2);
  x[3 * q] = -2.0 * kSqrtHalf * (t1 + t2);
}

template <typename T>
inline void inverseBins(T& x1, T& x2, T& x3, T& x4, T& x5, T& x6, T& x7, T& x8, double c1, double s1, double c3,
                        double s3) {
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

// ---- Blocks larger than a leaf ----

// The bins 0 < j < m/8 of a block. Four runs walk up from the slots after the
// quarter starts (bin 1 at index 0) and four walk down from the slots before the
// quarter ends; the runs never meet, so the loop vectorises. Both runs also get an
// AVX2 build; neither build fuses multiply-adds, so both give the same results.
KV_VECTOR_CLONES void forwardRuns(double* __restrict up1, double* __restrict up2, double* __restrict up3,
                                  double* __restrict up4, double* __restrict down5, double* __restrict down6,
                                  double* __restrict down7, double* __restrict down8, const double* __restrict c1,
                                  const double* __restrict s1, const double* __restrict c3, const double* __restrict s3,
                                  int count) {
  for (int i = 0; i < count; ++i) {
    forwardBins(up1[i], up2[i], up3[i], up4[i], down5[-i], down6[-i], down7[-i], down8[-i], c1[i], s1[i], c3[i], s3[i]);
  }
}

KV_VECTOR_CLONES void inverseRuns(double* __restrict up1, double* __restrict up2, double* __restrict up3,
                                  double* __restrict up4, double* __restrict down5, double* __restrict down6,
                                  double* __restrict down7, double* __restrict down8, const double* __restrict c1,
                                  const double* __restrict s1, const double* __restrict c3, const double* __restrict s3,
                                  int count) {
  for (int i = 0; i < count; ++i) {
    inverseBins(up1[i], up2[i], up3[i], up4[i], down5[-i], down6[-i], down7[-i], down8[-i], c1[i], s1[i], c3[i], s3[i]);
  }
}

void forwardBlock(double* x, int m, const double* twiddles) {
  const int q = m / 4;
  const int eighth = m / 8;
  const double* const tw = twiddles + twiddleOffset(m) + 1;
  forwardBinZero(x, q);
  forwardBinEighth(x + eighth, q);
  forwardRuns(x + 1, x + q + 1, x + 2 * q + 1, x + 3 * q + 1, x + q - 1, x + 2 * q - 1, x + 3 * q - 1, x + 4 * q - 1,
              tw, tw + eighth, tw + 2 * eighth, tw + 3 * eighth, eighth - 1);
}

void inverseBlock(double* x, int m, const double* twiddles) {
  const int q = m / 4;
  const int eighth = m / 8;
  const double* const tw = twiddles + twiddleOffset(m) + 1;
  inverseBinZero(x, q);
  inverseBinEighth(x + eighth, q);
  inverseRuns(x + 1, x + q + 1, x + 2 * q + 1, x + 3 * q + 1, x + q - 1, x + 2 * q - 1, x + 3 * q - 1, x + 4 * q - 1,
              tw, tw + eighth, tw + 2 * eighth, tw + 3 * eighth, eighth - 1);
}

// ---- Leaves: blocks of up to kLeafSize values, unrolled at compile time ----

template <typename T, int M>
inline void forwardLeafBlock(T* x, const double* twiddles) {
  constexpr int q = M / 4;
  constexpr int eighth = M / 8;
  forwardBinZero(x, q);
  if constexpr (M >= 8) {
    forwardBinEighth(x + eighth, q);
    const double* const tw = twiddles + twiddleOffset(M);
    for (int j = 1; j < eighth; ++j) {
      forwardBins(x[j], x[q + j], x[2 * q + j], x[3 * q + j], x[q - j], x[2 * q - j], x[3 * q - j], x[4 * q - j], tw[j],
                  tw[eighth + j], tw[2 * eighth + j], tw[3 * eighth + j]);
    }
  }
}

template <typename T, int M>
inline void inverseLeafBlock(T* x, const double* twiddles) {
  constexpr int q = M / 4;
  constexpr int eighth = M / 8;
  inverseBinZero(x, q);
  if constexpr (M >= 8) {
    inverseBinEighth(x + eighth, q);
    const double* const tw = twiddles + twiddleOffset(M);
    for (int j = 1; j < eighth; ++j) {
      inverseBins(x[j], x[q + j], x[2 * q + j], x[3 * q + j], x[q - j], x[2 * q - j], x[3 * q - j], x[4 * q - j], tw[j],
                  tw[eighth + j], tw[2 * eighth + j], tw[3 * eighth + j]);
    }
  }
}

template <typename T, int M>
inline void forwardLeaf(T* x, const double* twiddles) {
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
inline void inverseLeaf(T* x, const double* twiddles) {
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
// happens as the leaf is loaded (forward) or stored (inverse).
struct LeafAccess {
  double* data;
  double* work;
  const std::int32_t* reversed;
  const double* twiddles;
  int n;

  template <int M>
  void forward(int b) const {
    constexpr ReversedOrder<M> reversedOrder;
    const double* const in = work + reversed[b];
    const int stride = n / M;
    double v[M];
    for (int i = 0; i < M; ++i) {
      v[i] = in[reversedOrder.order[i] * stride];
    }
    forwardLeaf<double, M>(v, twiddles);
    std::copy(v, v + M, data + b);
  }

  template <int M>
  void forward(int b1, int b2) const {
    constexpr ReversedOrder<M> reversedOrder;
    const double* const in1 = work + reversed[b1];
    const double* const in2 = work + reversed[b2];
    const int stride = n / M;
    Lanes v[M];
    for (int i = 0; i < M; ++i) {
      const int at = reversedOrder.order[i] * stride;
      v[i] = Lanes{in1[at], in2[at]};
    }
    forwardLeaf<Lanes, M>(v, twiddles);
    for (int i = 0; i < M; ++i) {
      data[b1 + i] = v[i][0];
      data[b2 + i] = v[i][1];
    }
  }

  template <int M>
  void inverse(int b, double scale) const {
    constexpr ReversedOrder<M> reversedOrder;
    double* const out = work + reversed[b];
    const int stride = n / M;
    double v[M];
    std::copy(data + b, data + b + M, v);
    inverseLeaf<double, M>(v, twiddles);
    for (int k = 0; k < M; ++k) {
      out[k * stride] = v[reversedOrder.order[k]] * scale;
    }
  }

  template <int M>
  void inverse(int b1, int b2, double scale) const {
    constexpr ReversedOrder<M> reversedOrder;
    double* const out1 = work + reversed[b1];
    double* const out2 = work + reversed[b2];
    const int stride = n / M;
    Lanes v[M];
    for (int i = 0; i < M; ++i) {
      v[i] = Lanes{data[b1 + i], data[b2 + i]};
    }
    inverseLeaf<Lanes, M>(v, twiddles);
    for (int k = 0; k < M; ++k) {
      const Lanes w = v[reversedOrder.order[k]] * scale;
      out1[k * stride] = w[0];
      out2[k * stride] = w[1];
    }
  }

  // A transform of at most kLeafSize values is a single leaf.
  template <int M = kLeafSize>
  void forwardWhole() const {
    if (n == M) {
      forward<M>(0);
    } else if constexpr (M > 2) {
      forwardWhole<M / 2>();
    }
  }

  template <int M = kLeafSize>
  void inverseWhole(double scale) const {
    if (n == M) {
      inverse<M>(0, scale);
    } else if constexpr (M > 2) {
      inverseWhole<M / 2>(scale);
    }
  }

  // The leaves of one size, two at a time.
  template <int M>
  void forwardAll(const std::vector<std::int32_t>& starts) const {
    std::size_t i = 0;
    for (; i + 1 < starts.size(); i += 2) {
      forward<M>(starts[i], starts[i + 1]);
    }
    if (i < starts.size()) {
      forward<M>(starts[i]);
    }
  }

  template <int M>
  void inverseAll(const std::vector<std::int32_t>& starts, double scale) const {
    std::size_t i = 0;
    for (; i + 1 < starts.size(); i += 2) {
      inverse<M>(starts[i], starts[i + 1], scale);
    }
    if (i < starts.size()) {
      inverse<M>(starts[i], scale);
    }
  }
};

// The blocks larger than a leaf, each after its parts (forward) or before them
// (inverse).
void forwardBlocks(double* x, int b, int m, const double* twiddles) {
  if (m <= kLeafSize) {
    return;
  }
  forwardBlocks(x, b, m / 2, twiddles);
  forwardBlocks(x, b + m / 2, m / 4, twiddles);
  forwardBlocks(x, b + 3 * m / 4, m / 4, twiddles);
  forwardBlock(x + b, m, twiddles);
}

void inverseBlocks(double* x, int b, int m, const double* twiddles) {
  if (m <= kLeafSize) {
    return;
  }
  inverseBlock(x + b, m, twiddles);
  inverseBlocks(x, b, m / 2, twiddles);
  inverseBlocks(x, b + m / 2, m / 4, twiddles);
  inverseBlocks(x, b + 3 * m / 4, m / 4, twiddles);
}

// Starts of the leaves below a block of m values at b (m > kLeafSize): blocks of
// kLeafSize values, and of half that size where they are quarters of a block of
// twice kLeafSize.
void collectLeaves(int b, int m, std::vector<std::int32_t>& full, std::vector<std::int32_t>& half) {
  if (m == kLeafSize) {
    full.push_back(b);
  } else if (m == kLeafSize / 2) {
    half.push_back(b);
  } else {
    collectLeaves(b, m / 2, full, half);
    collectLeaves(b + m / 2, m / 4, full, half);
    collectLeaves(b + 3 * m / 4, m / 4, full, half);
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
    double* const tw = twiddles_.data() + twiddleOffset(m);
    const int eighth = m / 8;
    const int spacing = n / m;
    for (int k = 0; k < eighth; ++k) {
      const double angle1 = (k * spacing) * step;
      const double angle3 = (3 * k * spacing) * step;
      tw[k] = std::cos(angle1);
      tw[eighth + k] = std::sin(angle1);
      tw[2 * eighth + k] = std::cos(angle3);
      tw[3 * eighth + k] = std::sin(angle3);
    }
  }

  if (n > kLeafSize) {
    collectLeaves(0, n, fullLeaves_, halfLeaves_);
  }
}

void FftPlan::forward(double* x) noexcept {
  std::copy(x, x + n_, work_.begin());
  const LeafAccess leaves{x, work_.data(), bitReversal_.data(), twiddles_.data(), n_};
  if (n_ <= kLeafSize) {
    leaves.forwardWhole();
    return;
  }
  leaves.forwardAll<kLeafSize>(fullLeaves_);
  leaves.forwardAll<kLeafSize / 2>(halfLeaves_);
  forwardBlocks(x, 0, n_, twiddles_.data());
}

void FftPlan::inverse(double* x) noexcept {
  const double scale = 1.0 / n_;
  const LeafAccess leaves{x, work_.data(), bitReversal_.data(), twiddles_.data(), n_};
  if (n_ <= kLeafSize) {
    leaves.inverseWhole(scale);
  } else {
    inverseBlocks(x, 0, n_, twiddles_.data());
    leaves.inverseAll<kLeafSize>(fullLeaves_, scale);
    leaves.inverseAll<kLeafSize / 2>(halfLeaves_, scale);
  }
  std::copy(work_.begin(), work_.end(), x);
}

}  // namespace kv
