#pragma once
// The sum of stretched exponentials a_k exp(-(u/t_k)^b_k) (parameters a0,
// t0, b0, … from index 2): shared by the stretched exponential and its
// square.

#include <limits>

#include "fit/families/family_helpers.h"
#include "fit/model.h"

namespace zentrel::family {

inline int StretchedSumCount(int order, int) { return 3 * order + 2; }

inline std::string StretchedSumName(int index) {
  static const char* const stems[] = {"a", "t", "b"};
  return CycleName(stems, index);
}

inline double StretchedSum(const Fit& fit, double u, const double* p) {
  double sum = 0;
  for (int k = 0; k < fit.order; ++k) sum += p[2 + 3 * k] * Exp(-Pow(u / p[3 + 3 * k], p[4 + 3 * k]));
  return sum;
}

// Returns the sum S; out gets dS/dtheta for index >= 1. The stretch's
// derivative is numerical where u/t is not positive. At u = 0 (the first
// point of a decay) (u/t)^(b-1) has no value for b < 1, so the slopes are
// their limits there: 0 for t; for x0 0, a/t or, for b < 1, unbounded
// (infinity: usable only with x0 held, as it usually is).
inline double StretchedSumDerivatives(ModelScope& scope, double* p, int n, double u, double* out) {
  double s = 0, dx0 = 0;
  for (int k = 0; k < n; ++k) {
    const double a = p[2 + 3 * k], t = p[3 + 3 * k], b = p[4 + 3 * k];
    const double v = u / t;
    const double e = Exp(-Pow(v, b));
    s += a * e;
    if (u != 0) {
      dx0 += a * b * Pow(v, b - 1) * e / t;
      out[3 + 3 * k] = a * b * u * Pow(v, b - 1) * e / (t * t);
    } else {
      dx0 += b > 1 ? 0.0 : b == 1 ? a / t : std::numeric_limits<double>::infinity();
      out[3 + 3 * k] = 0;
    }
    out[2 + 3 * k] = e;
    out[4 + 3 * k] = v > 0 ? -a * Pow(v, b) * Log(v) * e : NumericalDerivative(scope, 4 + 3 * k, u, p, RiddersStep(p, 4 + 3 * k));
  }
  out[1] = dx0;
  return s;
}

inline std::string StretchedSumText(const Fit& fit, const std::string& v) {
  return JoinTerms(fit.order, [&](int k) {
    return CFormat("%1.4lg*exp(-(%s/%1.4lg)^%1.4lg)", P(fit, 2 + 3 * k), v.c_str(), P(fit, 3 + 3 * k),
                   P(fit, 4 + 3 * k));
  });
}

}  // namespace zentrel::family
