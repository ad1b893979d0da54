// Exponential: y0 + sum a_k exp(-(x-x0)/t_k).

#include "fit/families/exponential_sum.h"

namespace zentrel::family {

namespace {

double Value(ModelScope& scope, double u, const double* p) { return ExponentialSum(scope.fit, u, p) + p[0]; }

void Derivatives(ModelScope& scope, double u, double* p, double* out) { ExponentialSumDerivatives(p, scope.fit.order, u, out); }

// The same operations in the same order as Value: the same number, for
// half the exps.
double ValueAndDerivatives(ModelScope& scope, double u, double* p, double* out) {
  return ExponentialSumDerivatives(p, scope.fit.order, u, out) + p[0];
}

std::string Equation(const Fit& fit, const std::string& v) { return ExponentialSumText(fit, v, 2); }

}  // namespace

extern const ModelFamily kExponentialFamily;
const ModelFamily kExponentialFamily = {
    "Exponential", ExponentialSumCount, ExponentialSumName, LargestOrder(ExponentialSumCount),
    Value,         Derivatives,         ValueAndDerivatives, Equation};

}  // namespace zentrel::family
