// Stretched exponential: y0 + sum a_k exp(-((x-x0)/t_k)^b_k).

#include "fit/families/stretched_sum.h"

namespace zentrel::family {

namespace {

double Value(ModelScope& scope, double u, const double* p) { return StretchedSum(scope.fit, u, p) + p[0]; }

void Derivatives(ModelScope& scope, double u, double* p, double* out) { StretchedSumDerivatives(scope, p, scope.fit.order, u, out); }

}  // namespace

extern const ModelFamily kStretchedExponentialFamily;
const ModelFamily kStretchedExponentialFamily = {
    "Stretched Exponential", StretchedSumCount, StretchedSumName, LargestOrder(StretchedSumCount),
    Value,                   Derivatives,       nullptr,          StretchedSumText};

}  // namespace zentrel::family
