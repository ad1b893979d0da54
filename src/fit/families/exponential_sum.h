#pragma once
// The sum of exponentials a_k exp(-u/t_k) (parameters a0, t0, a1, t1, …
// from index 2): shared by the exponential and its square.

#include "fit/families/family_helpers.h"

namespace zentrel::family {

inline int ExponentialSumCount(int order, int) { return 2 * order + 2; }

inline std::string ExponentialSumName(int index) { return Numbered(index % 2 == 0 ? "a" : "t", (index - 2) / 2); }

inline double ExponentialSum(const Fit& fit, double u, const double* p) {
  double sum = 0;
  for (int k = 0; k < fit.order; ++k) sum += p[2 + 2 * k] * Exp(-u / p[3 + 2 * k]);
  return sum;
}

// Returns the sum S; out gets dS/dtheta for index >= 1.
inline double ExponentialSumDerivatives(const double* p, int n, double u, double* out) {
  double s = 0, dx0 = 0;
  for (int k = 0; k < n; ++k) {
    const double a = p[2 + 2 * k], t = p[3 + 2 * k];
    const double e = Exp(-u / t);
    s += a * e;
    dx0 += a * e / t;
    out[2 + 2 * k] = e;
    out[3 + 2 * k] = a * u * e / (t * t);
  }
  out[1] = dx0;
  return s;
}

inline std::string ExponentialSumText(const Fit& fit, const std::string& v, int first) {
  return JoinTerms(fit.order, [&](int k) {
    return CFormat("%1.4lg*exp(-%s/%1.4lg)", P(fit, first + 2 * k), v.c_str(), P(fit, first + 1 + 2 * k));
  });
}

}  // namespace zentrel::family
