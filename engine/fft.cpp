#include "engine/fft.h"

#include <cmath>
#include <new>

namespace kv {

namespace {

constexpr double kSqrtHalf = 0.7071067811865476;
constexpr double kTwoPi = 6.283185307179586;

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// Calls visit(start) for every block of size n2 that the split-radix stage of that
// size combines. The blocks lie on the L-shaped pattern the decomposition leaves
// behind after bit reversal: a half-size transform followed by two quarter-size ones.
template <typename Visit>
void forEachBlock(int n, int n2, Visit visit) {
    for (int first = 0, step = 2 * n2; first < n; first = 2 * step - n2, step *= 4) {
        for (int b = first; b < n; b += step) {
            visit(b);
        }
    }
}

// The size-two transforms at the bottom of the decomposition, on the same L-shaped
// pattern.
void pairButterflies(double* x, int n) {
    for (int first = 1, step = 4; first < n; first = 2 * step - 1, step *= 4) {
        for (int i = first; i < n; i += step) {
            const double a = x[i - 1];
            const double b = x[i];
            x[i - 1] = a + b;
            x[i] = a - b;
        }
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

FftPlan::FftPlan(int n) : bitReversal_(n), twiddles_(2 * static_cast<std::size_t>(n)), n_(n) {
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

    const double step = kTwoPi / n;
    for (int i = 0; i < n; ++i) {
        twiddles_[2 * i] = std::cos(i * step);
        twiddles_[2 * i + 1] = std::sin(i * step);
    }
}

void FftPlan::forward(double* x) const noexcept {
    permute(x);
    pairButterflies(x, n_);
    for (int n2 = 4; n2 <= n_; n2 *= 2) {
        forwardStage(x, n2);
    }
}

void FftPlan::inverse(double* x) const noexcept {
    for (int n2 = n_; n2 >= 4; n2 /= 2) {
        inverseStage(x, n2);
    }
    pairButterflies(x, n_);
    permute(x);
    const double scale = 1.0 / n_;
    for (int i = 0; i < n_; ++i) {
        x[i] *= scale;
    }
}

void FftPlan::permute(double* x) const noexcept {
    for (int i = n_ - 1; i >= 0; --i) {
        const int r = bitReversal_[i];
        if (i < r) {
            std::swap(x[i], x[r]);
        }
    }
}

// Combines, in every block of size n2, the halfcomplex spectra of the even samples
// (first half), of samples 4m+1 (third quarter) and of samples 4m+3 (last quarter)
// into the halfcomplex spectrum of the block.
void FftPlan::forwardStage(double* x, int n2) const noexcept {
    const int n4 = n2 / 4;
    const int n8 = n2 / 8;
    const int stride = 2 * (n_ / n2);  // twiddle index step, in doubles
    const double* tw = twiddles_.data();

    forEachBlock(n_, n2, [&](int b) {
        // Bins 0 and n2/4: both quarter spectra contribute their real bin 0 only.
        {
            double* const x1 = x + b;
            double* const x3 = x1 + 2 * n4;
            double* const x4 = x3 + n4;
            const double t = *x4 + *x3;
            *x4 -= *x3;
            *x3 = *x1 - t;
            *x1 += t;
        }
        if (n4 == 1) {
            return;
        }
        // Bins n2/8 and 3*n2/8: twiddles of +-45 degrees.
        {
            double* const x1 = x + b + n8;
            double* const x2 = x1 + n4;
            double* const x3 = x2 + n4;
            double* const x4 = x3 + n4;
            const double t1 = (*x3 + *x4) * kSqrtHalf;
            const double t2 = (*x3 - *x4) * kSqrtHalf;
            *x4 = *x2 - t1;
            *x3 = -*x2 - t1;
            *x2 = *x1 - t2;
            *x1 += t2;
        }
        // Bins j, n2/4 -+ j and n2/2 - j together.
        for (int j = 1; j < n8; ++j) {
            const double c1 = tw[j * stride];
            const double s1 = tw[j * stride + 1];
            const double c3 = tw[3 * j * stride];
            const double s3 = tw[3 * j * stride + 1];
            double& x1 = x[b + j];
            double& x2 = x[b + n4 + j];
            double& x3 = x[b + 2 * n4 + j];
            double& x4 = x[b + 3 * n4 + j];
            double& x5 = x[b + n4 - j];
            double& x6 = x[b + 2 * n4 - j];
            double& x7 = x[b + 3 * n4 - j];
            double& x8 = x[b + 4 * n4 - j];

            // a = w^j * Z[j], c = w^3j * Z'[j] with w = exp(-2*pi*i/n2)
            const double ar = x3 * c1 + x7 * s1;
            const double ai = x7 * c1 - x3 * s1;
            const double cr = x4 * c3 + x8 * s3;
            const double ci = x8 * c3 - x4 * s3;
            const double sr = ar + cr;
            const double si = ai + ci;
            const double dr = ar - cr;
            const double di = ai - ci;

            const double u1r = x1;
            const double u1i = x6;
            const double u2r = x5;
            const double u2i = x2;
            x1 = u1r + sr;
            x6 = u1r - sr;
            x8 = u1i + si;
            x3 = si - u1i;
            x2 = u2r + di;
            x5 = u2r - di;
            x4 = u2i - dr;
            x7 = -u2i - dr;
        }
    });
}

// Undoes forwardStage up to a factor: splits the spectrum of every block of size
// n2 into twice the spectrum of its even samples and four times those of samples
// 4m+1 and 4m+3, so the whole inverse comes out n times too large.
void FftPlan::inverseStage(double* x, int n2) const noexcept {
    const int n4 = n2 / 4;
    const int n8 = n2 / 8;
    const int stride = 2 * (n_ / n2);
    const double* tw = twiddles_.data();

    forEachBlock(n_, n2, [&](int b) {
        {
            double* const x1 = x + b;
            double* const x2 = x1 + n4;
            double* const x3 = x2 + n4;
            double* const x4 = x3 + n4;
            const double t = *x1 - *x3;
            *x1 += *x3;
            *x2 *= 2.0;
            *x3 = t - 2.0 * *x4;
            *x4 = t + 2.0 * *x4;
        }
        if (n4 == 1) {
            return;
        }
        {
            double* const x1 = x + b + n8;
            double* const x2 = x1 + n4;
            double* const x3 = x2 + n4;
            double* const x4 = x3 + n4;
            const double t1 = *x1 - *x2;
            const double t2 = *x4 + *x3;
            *x1 += *x2;
            *x2 = *x4 - *x3;
            *x3 = 2.0 * kSqrtHalf * (t1 - t2);
            *x4 = -2.0 * kSqrtHalf * (t1 + t2);
        }
        for (int j = 1; j < n8; ++j) {
            const double c1 = tw[j * stride];
            const double s1 = tw[j * stride + 1];
            const double c3 = tw[3 * j * stride];
            const double s3 = tw[3 * j * stride + 1];
            double& x1 = x[b + j];
            double& x2 = x[b + n4 + j];
            double& x3 = x[b + 2 * n4 + j];
            double& x4 = x[b + 3 * n4 + j];
            double& x5 = x[b + n4 - j];
            double& x6 = x[b + 2 * n4 - j];
            double& x7 = x[b + 3 * n4 - j];
            double& x8 = x[b + 4 * n4 - j];

            // With X the block's spectrum: A = X[j] - X[j + n2/2],
            // B = X[j + n2/4] - X[j + 3*n2/4].
            const double ar = x1 - x6;
            const double ai = x8 + x3;
            const double br = x2 - x5;
            const double bi = x7 + x4;
            const double u1r = x1 + x6;
            const double u1i = x8 - x3;
            const double u2r = x5 + x2;
            const double u2i = x4 - x7;

            // Z[j] = w^-j (A + iB), Z'[j] = w^-3j (A - iB)
            const double pr = ar - bi;
            const double pi = ai + br;
            const double qr = ar + bi;
            const double qi = ai - br;
            x1 = u1r;
            x6 = u1i;
            x5 = u2r;
            x2 = u2i;
            x3 = pr * c1 - pi * s1;
            x7 = pr * s1 + pi * c1;
            x4 = qr * c3 - qi * s3;
            x8 = qr * s3 + qi * c3;
        }
    });
}

}  // namespace kv
