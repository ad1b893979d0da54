// A squared exponential sum convolved with a Gaussian of width s: every
// term pair j <= k once, with lambda = 1/t_j + 1/t_k. Numerical derivatives.

#include "fit/families/family_helpers.h"

namespace zentrel::family {

namespace {

int Count(int order, int) { return 2 * order + 3; }

std::string Name(int index) {
  if (index == 2) return "s";
  return Numbered(index % 2 == 1 ? "a" : "t", (index - 3) / 2);
}

double Value(ModelScope& scope, double u, const double* p) {
  const int n = scope.fit.order;
  const double s = p[2];
  double sum = 0;
  for (int j = 0; j < n; ++j) {
    for (int k = j; k < n; ++k) {
      const double lambda = 1 / p[4 + 2 * j] + 1 / p[4 + 2 * k];
      sum += p[3 + 2 * j] * p[3 + 2 * k] * Exp(-lambda * u) * Erfc((lambda * s - u / s) / kSqrt2);
    }
  }
  return sum + p[0];
}

std::string Equation(const Fit& fit, const std::string& v) {
  return "(" +
         JoinTerms(fit.order,
                   [&](int k) {
                     return CFormat("%1.4lg*exp(-%s/%1.4lg)", P(fit, 3 + 2 * k), v.c_str(), P(fit, 4 + 2 * k));
                   }) +
         ")^2" + CFormat(" convolved with gaussain sigma=%1.4lg", P(fit, 2));
}

}  // namespace

extern const ModelFamily kSquaredExpConvGaussianFamily;
const ModelFamily kSquaredExpConvGaussianFamily = {"Exponential squared convolved with Gaussian", Count, Name,
                                                   LargestOrder(Count), Value, nullptr, nullptr, Equation};

}  // namespace zentrel::family
