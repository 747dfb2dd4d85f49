#pragma once
// Runs a sound on past its last sample: a linear predictor fitted to its last stretch by Burg's
// method, which keeps the predictor stable, so that a steady tone goes on at its pitch and level
// and anything else fades.

namespace kv {

// The predictor of x[t] from the order samples before it, fitted over x[0..count): afterwards
// x[t] ≈ Σ coefficients[i] · x[t - 1 - i] for i < order. work holds 2 · count values. A count not
// above order, or silence, gives zero coefficients (the sound is run on as silence).
void fitPredictor(const double* x, int count, int order, double* coefficients, double* work);

// The next sample after past[-order..-1] by the predictor, walking the other way when step is -1:
// from past[1..order] to the sample before them.
inline double predictNext(const double* past, int step, const double* coefficients, int order) {
  double sum = 0.0;
  for (int i = 0; i < order; ++i) sum += coefficients[i] * past[-step * (i + 1)];
  return sum;
}

}  // namespace kv
