// Squared stretched exponential: y0 + (sum a_k exp(-((x-x0)/t_k)^b_k))^2.

#include "fit/families/stretched_sum.h"

namespace zentrel::family {

namespace {

double Value(ModelScope& scope, double u, const double* p) {
  const double s = StretchedSum(scope.fit, u, p);
  return s * s + p[0];
}

// d(S^2) = 2 S dS.
void Derivatives(ModelScope& scope, double u, double* p, double* out) {
  const int n = scope.fit.order;
  const double s = StretchedSumDerivatives(scope, p, n, u, out);
  for (int i = 1; i < 3 * n + 2; ++i) out[i] = 2 * s * out[i];
}

std::string Equation(const Fit& fit, const std::string& v) { return "(" + StretchedSumText(fit, v) + ")^2"; }

}  // namespace

extern const ModelFamily kSquaredStretchedExponentialFamily;
const ModelFamily kSquaredStretchedExponentialFamily = {
    "Str. Exp. Squared", StretchedSumCount, StretchedSumName, LargestOrder(StretchedSumCount),
    Value,               Derivatives,       nullptr,          Equation};

}  // namespace zentrel::family
