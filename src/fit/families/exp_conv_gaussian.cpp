// Exponentials convolved with a Gaussian of width s: y0 + sum a_k
// exp(-u/t_k) erfc((s/t_k - u/s)/sqrt 2). Numerical derivatives.

#include "fit/families/family_helpers.h"

namespace zentrel::family {

namespace {

int Count(int order, int) { return 2 * order + 3; }

std::string Name(int index) {
  if (index == 2) return "s";
  return Numbered(index % 2 == 1 ? "a" : "t", (index - 3) / 2);
}

double Value(ModelScope& scope, double u, const double* p) {
  const double s = p[2];
  double sum = 0;
  for (int k = 0; k < scope.fit.order; ++k) {
    const double t = p[4 + 2 * k];
    sum += p[3 + 2 * k] * Exp(-u / t) * Erfc((s / t - u / s) / kSqrt2);
  }
  return sum + p[0];
}

std::string Equation(const Fit& fit, const std::string& v) {
  return JoinTerms(fit.order,
                   [&](int k) {
                     return CFormat("%1.4lg*exp(-%s/%1.4lg)", P(fit, 3 + 2 * k), v.c_str(), P(fit, 4 + 2 * k));
                   }) +
         CFormat(" convolved with gaussain sigma=%1.4lg", P(fit, 2));
}

}  // namespace

extern const ModelFamily kExpConvGaussianFamily;
const ModelFamily kExpConvGaussianFamily = {"Exponential convolved with Gaussian", Count, Name, LargestOrder(Count),
                                            Value, nullptr, nullptr, Equation};

}  // namespace zentrel::family
