#include "engine/linear_prediction.h"

#include <algorithm>

namespace kv {

void fitPredictor(const double* x, int count, int order, double* coefficients, double* work) {
  std::fill(coefficients, coefficients + order, 0.0);
  if (count <= order) return;
  // The forward and backward prediction errors; the error filter is 1 + Σ a[i]·z^-(i + 1), kept
  // in coefficients as -a until the end.
  double* forward = work;
  double* backward = work + count;
  std::copy(x, x + count, forward);
  std::copy(x, x + count, backward);
  double* a = coefficients;
  for (int m = 0; m < order; ++m) {
    double numerator = 0.0, denominator = 0.0;
    for (int t = m + 1; t < count; ++t) {
      numerator += forward[t] * backward[t - 1];
      denominator += forward[t] * forward[t] + backward[t - 1] * backward[t - 1];
    }
    if (!(denominator > 0.0)) break;
    const double reflection = -2.0 * numerator / denominator;
    // Downward, so that backward[t - 1] is still the last step's.
    for (int t = count - 1; t > m; --t) {
      const double f = forward[t];
      forward[t] = f + reflection * backward[t - 1];
      backward[t] = backward[t - 1] + reflection * f;
    }
    // a[i] += k · a[m - 1 - i] for i < m, pairwise in place, then a[m] = k.
    for (int i = 0, j = m - 1; i <= j; ++i, --j) {
      const double ai = a[i], aj = a[j];
      a[i] = ai + reflection * aj;
      if (i != j) a[j] = aj + reflection * ai;
    }
    a[m] = reflection;
  }
  for (int i = 0; i < order; ++i) a[i] = -a[i];
}

}  // namespace kv
