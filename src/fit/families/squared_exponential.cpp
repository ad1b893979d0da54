// Squared exponential: y0 + (sum a_k exp(-(x-x0)/t_k))^2.

#include "fit/families/exponential_sum.h"

namespace zentrel::family {

namespace {

double Value(ModelScope& scope, double u, const double* p) {
  const double s = ExponentialSum(scope.fit, u, p);
  return s * s + p[0];
}

// d(S^2) = 2 S dS.
double Square(ModelScope& scope, double u, double* p, double* out) {
  const int n = scope.fit.order;
  const double s = ExponentialSumDerivatives(p, n, u, out);
  for (int i = 1; i < 2 * n + 2; ++i) out[i] = 2 * s * out[i];
  return s;
}

void Derivatives(ModelScope& scope, double u, double* p, double* out) { Square(scope, u, p, out); }

double ValueAndDerivatives(ModelScope& scope, double u, double* p, double* out) {
  const double s = Square(scope, u, p, out);
  return s * s + p[0];
}

std::string Equation(const Fit& fit, const std::string& v) { return "(" + ExponentialSumText(fit, v, 2) + ")^2"; }

}  // namespace

extern const ModelFamily kSquaredExponentialFamily;
const ModelFamily kSquaredExponentialFamily = {
    "Squared Exponential", ExponentialSumCount, ExponentialSumName, LargestOrder(ExponentialSumCount),
    Value,                 Derivatives,         ValueAndDerivatives, Equation};

}  // namespace zentrel::family
